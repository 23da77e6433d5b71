#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real Windows window once under Wine, as a user would: pastes a Chinese input path as
# Explorer's 复制为路径 copies it (in quotes, here with a line end) and its output path (with
# spaces after it), presses 执行 with the mouse but slides off it before letting go, presses Return
# and compares the vCard bytes; drags files onto the input box from an X drag source, as a Linux
# file manager does (Wine turns it into an OLE file drop, as Explorer's), reads and answers each
# refusal and presses 执行 to see what the boxes hold; converts a list dragged in with Shift held;
# closes with Alt+F4 and checks that the browser was asked for the home page. The keys are the UI
# suites' (which run under Wine too).
# Needs WINEPREFIX and DISPLAY from scripts/test-windows.
# Usage: drive_window.sh zeluvar.exe
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/windows.sh"
source "$windows_build/identity.sh"

scratch=$(mktemp -d)
# On every exit, failed or not: the program ends, the scratch folder goes.
cleanup() {
  [ -z "${program:-}" ] || kill "$program" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
folder="$WINEPREFIX/drive_c/用户数据"
mkdir -p "$folder" "$scratch/bin"
printf '姓名,公司名称,业务电话,住宅电话,手机\r\n张三,某公司,010-1234,,138\r\n李四,"北京,海淀"\r\n' |
  iconv -f UTF-8 -t CP936 >"$folder/通讯录.csv"
printf 'BEGIN:VCARD\r\nVERSION:2.1\r\nN:张;三;;\r\nFN:张三\r\nORG:某公司\r\nTEL;WORK;VOICE:010-1234\r\nTEL;HOME;VOICE:\r\nTEL;CELL;VOICE:138\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:李;四;;\r\nFN:李四\r\nORG:北京,海淀\r\nEND:VCARD\r\n' >"$scratch/expected.vcf"

# The browser Wine's shell hands web addresses to on Linux.
printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$scratch" >"$scratch/bin/xdg-open"
chmod +x "$scratch/bin/xdg-open"

windows() { xdotool search --onlyvisible --name '^Zeluvar$' 2>/dev/null; }
window_count_is() { [ "$(windows | wc -l)" -eq "$1" ]; }
# Where the window places control $1, in client coordinates at 100 % scaling: its centre, and with
# `below` the point as far below the centre as the control is high, off the control.
window_layout "$scratch/layout"
point_of() {
  local point
  point=$(awk -v name="$1" -v below="${2:-}" '$1 == name {
    print $3 + int($5 / 2), $4 + int($6 / 2) + (below ? $6 : 0) }' "$scratch/layout")
  [ -n "$point" ] || fail "the window has no control $1"
  echo "$point"
}
input_box=$(point_of csvfile)
output_box=$(point_of vcardfile)
execute=$(point_of Command1)
below_execute=$(point_of Command1 below)
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# Pastes the text, as xdotool's typing loses characters outside the keyboard map.
type_into() {
  printf '%s' "$3" | wine_run "$windows_build/tests/windows/clipboard_text.exe"
  click "$1" "$2"
  xdotool key --clearmodifiers ctrl+a ctrl+v
}

# Drags files of the prefix's C: drive onto the input box and drops them there; with --shift
# first, as a file manager moves them. Either way the drop must be answered as a copy.
drag_in() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local options=()
  [ "$1" != --shift ] || { options+=(--shift); shift; }
  # Each name given, inside $folder.
  local x y
  read -r x y <<<"$input_box"
  /usr/bin/python3 "$here/xdnd_drag.py" "${options[@]}" $((X + x)) $((Y + y)) "${@/#/$folder/}"
}
# Expects exactly one message box, titled Zeluvar and saying $1: reads it and answers it.
answer_box() {
  wait_for 30 "the message box" window_count_is 2
  local box shown
  box=$(windows | grep -v "^$window\$")
  shown=$(wine_run "$windows_build/tests/windows/message_box_text.exe")
  [ "$shown" = "Zeluvar"$'\n'"$1" ] || fail "the message box shows (title, text): '$shown'"
  xdotool windowfocus --sync "$box" key Return
  wait_for 30 "the message box to close" window_count_is 1
  sleep 1
  window_count_is 1 || fail "a second message box followed the first"
}
refusal='    不支持的文件，请重新拖入CSV文件! '

PATH="$scratch/bin:$PATH" wine_run "$exe" &
program=$!
wait_for 60 "the window to be shown" window_count_is 1
window=$(windows)
xdotool windowfocus --sync "$window"

type_into $input_box $'"C:\\用户数据\\通讯录.csv"\r\n'
type_into $output_box 'C:\用户数据\通讯录.vcf  '
import -window root "$windows_dir/drive-typed.png"
# As on Windows, pressing 执行 gives it the focus, even when the pointer slides off it before the
# release, which then runs nothing; Return then presses it.
xdotool mousemove --window "$window" $execute mousedown 1 mousemove --window "$window" $below_execute mouseup 1
sleep 1
[ ! -e "$folder/通讯录.vcf" ] || fail "执行 ran though the pointer slid off it before the release"
xdotool key Return
wait_for 30 "the vCard file with the expected bytes" cmp -s "$folder/通讯录.vcf" "$scratch/expected.vcf"

# What 执行 does after each drop shows what the boxes hold. A refused drop leaves them as they
# were, naming a file that is not there; of a.csv, b.txt and c.csv, c.csv is taken.
type_into $input_box 'C:\用户数据\没有这个文件.csv'
touch "$folder/a.txt" "$folder/a.csv" "$folder/b.txt" "$folder/c.csv"
rm -f "$folder/c.vcf"
drag_in a.txt
answer_box "$refusal"
click $execute
answer_box '文件不存在!   '
drag_in a.csv b.txt c.csv
answer_box "$refusal"
click $execute
wait_for 30 "c.vcf, converted from the dropped c.csv" test -f "$folder/c.vcf"
rm "$folder/通讯录.vcf"
drag_in --shift 通讯录.csv
[ -f "$folder/通讯录.csv" ] || fail "the list dragged in with Shift is gone"
click $execute
wait_for 30 "the vCard file of the dropped list" cmp -s "$folder/通讯录.vcf" "$scratch/expected.vcf"

xdotool windowfocus --sync "$window" key alt+F4
wait_for 30 "the program to end" bash -c "! kill -0 $program"
wait "$program"
wait_for 30 "the browser to be asked for the home page" grep -qxF "$zeluvar_home_page" "$scratch/opened"
wine_wait
echo "drive_window: converted pasted paths, took dragged files and refused others in message boxes, closed and opened the home page"
