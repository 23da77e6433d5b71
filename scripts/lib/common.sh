# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts and the checks they run: steps and failures, the commit's time for
# packages, waiting, and a virtual display. Sourced, not run.

# The name a script reports under: its file name without .sh.
script_name() {
  local name=${0##*/}
  echo "${name%.sh}"
}

# A long script is run in steps: `step "what it does"` prints the name, and the time the step
# before took; fail and report_failure then say in which step the script stopped.
step() {
  finish_step
  current_step=$1 step_started=$SECONDS
  echo "== $(script_name): $1"
}

# Ends the current step, if one runs: prints its time and keeps it for print_step_times.
finish_step() {
  [ -n "${current_step:-}" ] || return 0
  local seconds=$((SECONDS - step_started))
  echo "   ($seconds s)"
  step_names+=("$current_step") step_seconds+=("$seconds")
  current_step=""
}

# Every finished step's time, and the script's.
print_step_times() {
  local i
  for i in "${!step_names[@]}"; do
    printf '   %-14s %5d s\n' "${step_names[i]}" "${step_seconds[i]}"
  done
  printf '   %-14s %5d s\n' total "$SECONDS"
}

# Stops the script, saying why and in which step.
fail() {
  echo "$(script_name) FAILED${current_step:+ in step: $current_step}: $*" >&2
  failure_reported=1
  exit 1
}

# For an ERR or EXIT trap: says in which step the script stopped, unless fail said so already.
# $1, if given, says more (an exit status, say).
report_failure() {
  [ -z "${failure_reported:-}" ] || return 0
  failure_reported=1
  echo "$(script_name) FAILED in step: ${current_step:-setup}${1:+ ($1)}" >&2
}

# Every time a build and its packages carry comes from the commit, so that the same commit gives
# the same bytes: SOURCE_DATE_EPOCH (read by rcc, dpkg-deb and the packing steps) is the committer
# time of HEAD, unless the caller set it.
export_source_date_epoch() {
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct)
  fi
  export SOURCE_DATE_EPOCH
}

# Gives every file and folder in tree $1 the time SOURCE_DATE_EPOCH and modes the umask has no say
# in, so that an archive of it is the same bytes from the same commit.
normalise_tree() {
  chmod -R go=u,go-w "$1"
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
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
