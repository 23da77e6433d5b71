#!/usr/bin/env bash
# Drives the real Windows window once under Wine, as a user would: enters a Chinese input path and
# its output path, presses 执行 and compares the vCard bytes; presses 执行 on a missing file and
# answers the message box; closes with Alt+F4 and checks that the browser was asked for the home
# page. Needs WINEPREFIX and DISPLAY from scripts/test-windows. Usage: drive_window.sh zeluvar.exe
set -euo pipefail
exe=$1
source "$(dirname "$0")/../../scripts/lib/windows.sh"

scratch=$(mktemp -d)
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
# Client coordinates at 100 % scaling: the input box, the output box and 执行.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# Pastes the text, as xdotool's typing loses characters outside the keyboard map.
type_into() {
  [ -n "${clipboard:-}" ] && kill "$clipboard"
  printf '%s' "$3" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
  clipboard=$!
  wait_for 10 "the clipboard" bash -c '[ "$(xclip -o -selection clipboard)" = "$1" ]' clip "$3"
  click "$1" "$2"
  xdotool key --clearmodifiers ctrl+a ctrl+v
}

started=$(date +%s%N)
PATH="$scratch/bin:$PATH" wine_run "$exe" &
program=$!
wait_for 60 "the window to be shown" window_count_is 1
echo "window shown $((($(date +%s%N) - started) / 1000000)) ms after the process started"
window=$(windows)
xdotool windowfocus --sync "$window"

type_into 338 120 'C:\用户数据\通讯录.csv'
type_into 338 160 'C:\用户数据\通讯录.vcf'
import -window root "$windows_dir/drive-typed.png"
click 296 285
wait_for 30 "the vCard file with the expected bytes" cmp -s "$folder/通讯录.vcf" "$scratch/expected.vcf"

type_into 338 120 'C:\用户数据\没有这个文件.csv'
click 296 285
wait_for 30 "the message box" window_count_is 2
box=$(windows | grep -v "^$window\$")
import -window root "$windows_dir/drive-message.png"
xdotool windowfocus --sync "$box" key Return
wait_for 30 "the message box to close" window_count_is 1
cmp "$folder/通讯录.vcf" "$scratch/expected.vcf"

xdotool windowfocus --sync "$window" key alt+F4
wait_for 30 "the program to end" bash -c "! kill -0 $program"
wait "$program"
wait_for 30 "the browser to be asked for the home page" grep -qx 'https://zeluvar.example/' "$scratch/opened"
wine_wait
kill "$clipboard"
rm -rf "$scratch"
echo "drive_window: converted, showed the message box, closed and opened the home page"
