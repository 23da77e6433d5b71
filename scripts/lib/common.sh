# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts that build packages or drive windows on a virtual display. Sourced, not
# run.

# Every time a build and its packages carry comes from the commit, so that the same commit gives
# the same bytes: SOURCE_DATE_EPOCH (read by rcc, dpkg-deb and the packing steps) is the committer
# time of HEAD, unless the caller set it.
export_source_date_epoch() {
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct)
  fi
  export SOURCE_DATE_EPOCH
}

# Waits until the command succeeds, for at most $1 seconds; says what it waited for otherwise.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ]; then
      echo "timed out after ${seconds}s waiting for $what" >&2
      return 1
    fi
    sleep 0.2
  done
}

# Runs the calling script ($2, with the arguments after it) again on a virtual display of its
# own of size $1, unless it already runs on one. -noreset: Wine's programs come and go, and the
# display must outlive each of them.
on_virtual_display() {
  local size=$1 script=$2
  shift 2
  [ -n "${ZELUVAR_VIRTUAL_DISPLAY:-}" ] && return
  ZELUVAR_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-noreset -nolisten tcp -screen 0 $size" \
    "$script" "$@"
}
