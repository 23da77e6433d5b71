#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the packages of scripts/windows-package under Wine, each in a fresh Chinese-locale
# prefix. The installer, run silently, puts the shipped files into Program Files with a
# Start-menu shortcut and an uninstall entry. While Zeluvar runs, the installer and uninstaller
# change nothing: silent, they fail; shown, they ask to close it. The installed program works; an
# uninstall that cannot remove a file keeps its entry; the silent uninstall leaves nothing of ours
# but a user's own file. Installing again upgrades a folder the user chose in place. The portable
# zip, unpacked into a folder with Chinese and spaces in its name, works too. Needs DISPLAY, and
# the helpers of the test build.
set -Eeuo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/windows.sh"

trap report_failure ERR

step "find the packages"
[ -n "${DISPLAY:-}" ] || fail "no X display: set DISPLAY"
version=$(project_version) || fail "no version"
setup=$windows_dir/Zeluvar-$version-win64-setup.exe
zip=$windows_dir/Zeluvar-$version-win64.zip
for package in "$setup" "$zip"; do
  [ -f "$package" ] || fail "$package is missing: run scripts/windows-package"
done
# The packaged program must find its libraries beside it, not where the test suites found theirs.
unset WINEPATH
# Wine would otherwise copy the installer's shortcuts into this machine's own application menu.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
helpers=$windows_build/tests/windows
# Runs a command line as it stands: `wine program args` quotes each argument with a space in it,
# and NSIS takes neither /D= nor _?= in quotes.
run_command_line() { wine_run "$helpers/run_command_line.exe" "$1"; }
# Runs an installer or uninstaller that must succeed, and waits for Wine to settle.
succeed() { "$@" || fail "$* exited with status $?"; wine_wait; }
# The uninstaller, started as usual, runs on from a copy of itself and returns at once; it removes
# the install folder ($1, as Windows names it) last. Waits until $2 is gone.
uninstall() {
  wine_run "$1\\Uninstall.exe" /S || fail "the uninstaller exited with status $?"
  wait_for 60 "the uninstaller to remove $2" test ! -e "$2"
  wine_wait
}

step "install silently into a fresh prefix"
make_wine_prefix "$windows_dir/wine-installer"
installed=$WINEPREFIX/drive_c/Program\ Files/Zeluvar
installed_windows='C:\Program Files\Zeluvar'
succeed wine_run "$setup" /S

step "check the installed files"
diff -r --exclude=Uninstall.exe "$shipped" "$installed" ||
  fail "the files in $installed are not those of $shipped"
[ -f "$installed/Uninstall.exe" ] || fail "no Uninstall.exe in $installed"
# The notices name every file the installer put there, its uninstaller too.
/usr/bin/python3 "$root/scripts/lib/shipped_notices.py" check "$installed/THIRD-PARTY-NOTICES.txt" \
  $(cd "$installed" && find . -type f -printf '%P\n') || fail "a file in $installed has no entry in its notices"

step "check the uninstall entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zeluvar'
# reg prints in the ANSI code page, 936 here.
read_entry() { wine_run reg query "$key" | iconv -f CP936 -t UTF-8 | tr -d '\r'; }
value_of() {
  local value
  value=$(sed -n "s/^    $1    REG_[A-Z]*    //p" <<<"$entry")
  [ -n "$value" ] || fail "$key has no value $1; it holds:$entry"
  echo "$value"
}
# Reads the entry; each argument is NAME=VALUE.
expect_values() {
  local pair value
  entry=$(read_entry) || fail "no registry key $key"
  for pair; do
    value=$(value_of "${pair%%=*}")
    [ "$value" = "${pair#*=}" ] || fail "$key: ${pair%%=*} is '$value', expected '${pair#*=}'"
  done
}
expect_values DisplayName=Zeluvar "DisplayVersion=$version" Publisher=Zeluvar NoModify=0x1 NoRepair=0x1 \
  "DisplayIcon=$installed_windows\\zeluvar.exe" "InstallLocation=$installed_windows" \
  "UninstallString=\"$installed_windows\\Uninstall.exe\"" \
  "QuietUninstallString=\"$installed_windows\\Uninstall.exe\" /S"
# Each file counts in whole kilobytes, rounded up.
read -r least_kb file_count < <(find "$shipped" -type f -printf '%s\n' |
  awk '{ bytes += $1; files++ } END { print int((bytes + 1023) / 1024), files }')
estimated_kb=$(($(value_of EstimatedSize)))
((estimated_kb >= least_kb && estimated_kb <= least_kb + file_count)) ||
  fail "EstimatedSize is $estimated_kb KB, but the program's files take $least_kb KB"

step "check the shortcuts"
start_menu_link=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Zeluvar.lnk
desktop_link=$WINEPREFIX/drive_c/users/Public/Desktop/Zeluvar.lnk
[ -f "$start_menu_link" ] || fail "no Start-menu shortcut $start_menu_link"
# The shortcut holds its target in the ANSI code page, 936 here, between zero bytes.
expect_shortcut_to() {
  /usr/bin/python3 -c 'import sys; sys.exit(b"\0" + sys.argv[2].encode("gbk") + b"\0" not in open(sys.argv[1], "rb").read())' \
    "$start_menu_link" "$1" || fail "the Start-menu shortcut does not point to $1"
}
expect_shortcut_to "$installed_windows\\zeluvar.exe"
[ ! -e "$desktop_link" ] || fail "a desktop shortcut was made, though it is not chosen by default"

step "install and uninstall while Zeluvar runs"
# What an install or uninstall may change: the files, their times, the entry and the shortcut.
state() {
  (cd "$installed" && find . -printf '%p %s %T@\n' | sort)
  read_entry
  ls "$start_menu_link"
}
expect_unchanged() { [ "$(state)" = "$before" ] || fail "$1 changed the installed Zeluvar"; }
# Runs $2... , which must find Zeluvar running, end with exit code 3 and change nothing; $1 says
# what it is.
expect_refusal() {
  local what=$1 status=0
  shift
  "$@" || status=$?
  ((status == 3)) || fail "$what exited with status $status over a running Zeluvar, not 3"
  expect_unchanged "$what"
}
# Presses Escape in the visible box titled $1, if there is one; true once none is left. Wine 10
# now and then maps a box anew as it shows it, and the window xdotool found is gone by the key.
escape_box() {
  local box
  for box in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    timeout 5 xdotool windowfocus --sync "$box" key Escape 2>/dev/null || true
  done
  ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}
# Shows the box asking to close Zeluvar, checks its text, and answers 取消.
expect_close_request() {
  local title=$1 shown
  shown=$(wine_run "$helpers/message_box_text.exe" "$title") || fail "$title showed no message box"
  [ "$shown" = "$title"$'\nZeluvar 正在运行。请先关闭 Zeluvar，再点「重试」；点「取消」则退出，什么也不改动。' ] ||
    fail "the message box shows (title, text): '$shown'"
  wait_for 30 "the box '$title' to close" escape_box "$title"
}
# Programs in the background report their own ends, not this script's failure.
(trap - ERR; wine_run "$installed_windows\\zeluvar.exe") &
wait_for 60 "the installed Zeluvar's window" xdotool search --onlyvisible --name '^Zeluvar$'
before=$(state)
expect_refusal "the silent installer" wine_run "$setup" /S
(trap - ERR; wine_run "$setup") &
expect_close_request "Zeluvar 安装"
expect_refusal "the installer, cancelled" wait $!
# In place (_?=), the uninstaller is the process that ends with its exit code.
in_place="\"$installed_windows\\Uninstall.exe\" /S _?=$installed_windows"
expect_refusal "the silent uninstaller" run_command_line "$in_place"
# Started as usual, it runs on from a copy of itself and returns at once.
uninstaller_copy_ends() { ! pgrep -f '~nsu\.tmp' >/dev/null; }
wine_run "$installed_windows\\Uninstall.exe"
expect_close_request "Zeluvar 卸载"
wait_for 60 "the uninstaller's copy to end" uninstaller_copy_ends
expect_unchanged "the uninstaller, cancelled,"
wineserver -k
wine_wait

step "drive the installed program"
"$here/drive_window.sh" "$installed_windows\\zeluvar.exe"

step "uninstall while another program holds a file"
(trap - ERR; wine_run "$helpers/hold_open.exe" "$installed_windows\\Qt6Core.dll" 30) >"$windows_dir/held" &
holder=$!
wait_for 30 "Qt6Core.dll to be held" grep -q '^held' "$windows_dir/held"
status=0
run_command_line "$in_place" || status=$?
((status == 4)) || fail "the uninstaller exited with status $status, not 4, though it could not remove Qt6Core.dll"
wine_run reg query "$key" >/dev/null || fail "the uninstaller removed its entry, though Qt6Core.dll stays"
for kept in "$installed/Qt6Core.dll" "$installed/Uninstall.exe" "$start_menu_link"; do
  [ -e "$kept" ] || fail "$kept is gone, though the uninstall could not be finished"
done
wineserver -k  # ends the holder
wait "$holder" || true
wine_wait
rm -f "$windows_dir/held"

step "uninstall silently"
uninstall "$installed_windows" "$installed"

step "check that the uninstall left nothing"
[ ! -e "$start_menu_link" ] || fail "the Start-menu shortcut is still there"
[ ! -e "$desktop_link" ] || fail "a desktop shortcut is there"
! wine_run reg query "$key" >/dev/null 2>&1 || fail "the registry key $key is still there"
wine_wait

step "install again and uninstall with a file of the user's in the folder"
succeed wine_run "$setup" /S
echo '用户自己的笔记' >"$installed/我的笔记.txt"
uninstall "$installed_windows" "$installed/Uninstall.exe"
[ -d "$installed" ] || fail "the uninstaller removed $installed with the user's file in it"
left=$(cd "$installed" && find . -mindepth 1)
[ "$left" = ./我的笔记.txt ] || fail "after uninstalling, $installed holds '$left' instead of only the user's file"

step "install into a folder of the user's, then again, which upgrades that folder"
chosen_windows='C:\我的 软件\Zeluvar'
chosen=$WINEPREFIX/drive_c/我的\ 软件/Zeluvar
succeed run_command_line "\"Z:$(tr / '\\' <<<"$setup")\" /S /D=$chosen_windows"
[ -f "$chosen/zeluvar.exe" ] || fail "/D=$chosen_windows did not install into it"
succeed wine_run "$setup" /S
diff -r --exclude=Uninstall.exe "$shipped" "$chosen" || fail "$chosen does not hold the shipped files"
[ ! -e "$installed/zeluvar.exe" ] || fail "installing again put a second copy into $installed"
expect_values "InstallLocation=$chosen_windows" "UninstallString=\"$chosen_windows\\Uninstall.exe\""
expect_shortcut_to "$chosen_windows\\zeluvar.exe"
uninstall "$chosen_windows" "$chosen"

step "unpack the zip into a folder with Chinese and spaces in its name"
make_wine_prefix "$windows_dir/wine-portable"
unpacked=$WINEPREFIX/drive_c/用户\ 文件/绿色\ 版
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
[ "$(ls -A "$unpacked")" = Zeluvar ] || fail "the zip holds more than the folder Zeluvar"
diff -r "$shipped" "$unpacked/Zeluvar" || fail "the files in the zip are not those of $shipped"

step "drive the unpacked program"
"$here/drive_window.sh" 'C:\用户 文件\绿色 版\Zeluvar\zeluvar.exe'
finish_step
echo "check_packages: installer, uninstaller and portable zip work"
