#!/usr/bin/env bash
# Checks the packages of scripts/windows-package under Wine, each in a fresh Chinese-locale
# prefix. The installer, run silently, puts the shipped files into Program Files with a
# Start-menu shortcut and an uninstall entry. The installed program works, and the silent
# uninstall leaves nothing of ours but a user's own file. The portable zip, unpacked into a
# folder with Chinese and spaces in its name, works too. Prints sizes and times. Needs DISPLAY.
set -Eeuo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/windows.sh"

step() { echo "== check_packages: $1"; current_step=$1; }
fail() { echo "check_packages FAILED in step: $current_step: $1" >&2; exit 1; }
trap 'echo "check_packages FAILED in step: ${current_step:-setup}" >&2' ERR
now() { date +%s.%N; }
seconds_since() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.1f", to - from }'; }
megabytes() { awk -v bytes="$1" 'BEGIN { printf "%.1f MB (%d bytes)", bytes / 1e6, bytes }'; }
folder_bytes() { find "$1" -type f -printf '%s\n' | awk '{ total += $1 } END { print total + 0 }'; }

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

step "install silently into a fresh prefix"
make_wine_prefix "$windows_dir/wine-installer"
# Wine alone, for comparison with the install and uninstall times, which include its start.
started=$(now)
wine_run cmd /c exit
wine_start_seconds=$(seconds_since "$started")
wine_wait
installed=$WINEPREFIX/drive_c/Program\ Files/Zeluvar
installed_windows='C:\Program Files\Zeluvar'
started=$(now)
wine_run "$setup" /S || fail "the installer exited with status $?"
install_seconds=$(seconds_since "$started")
wine_wait

step "check the installed files"
diff -r --exclude=Uninstall.exe "$shipped" "$installed" ||
  fail "the files in $installed are not those of $shipped"
[ -f "$installed/Uninstall.exe" ] || fail "no Uninstall.exe in $installed"

step "check the uninstall entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zeluvar'
entry=$(wine_run reg query "$key" | tr -d '\r') || fail "no registry key $key"
wine_wait
value_of() {
  local value
  value=$(sed -n "s/^    $1    REG_[A-Z]*    //p" <<<"$entry")
  [ -n "$value" ] || fail "$key has no value $1; it holds:$entry"
  echo "$value"
}
expect_value() {
  local value
  value=$(value_of "$1")
  [ "$value" = "$2" ] || fail "$key: $1 is '$value', expected '$2'"
}
expect_value DisplayName Zeluvar
expect_value DisplayVersion "$version"
expect_value Publisher Zeluvar
expect_value DisplayIcon "$installed_windows\\zeluvar.exe"
expect_value UninstallString "\"$installed_windows\\Uninstall.exe\""
expect_value QuietUninstallString "\"$installed_windows\\Uninstall.exe\" /S"
expect_value NoModify 0x1
expect_value NoRepair 0x1
# Each file counts in whole kilobytes, rounded up.
shipped_bytes=$(folder_bytes "$shipped")
file_count=$(find "$shipped" -type f | wc -l)
estimated_kb=$(value_of EstimatedSize)
estimated_kb=$((estimated_kb))
least_kb=$(((shipped_bytes + 1023) / 1024))
((estimated_kb >= least_kb && estimated_kb <= least_kb + file_count)) ||
  fail "EstimatedSize is $estimated_kb KB, but the program's files take $least_kb KB"

step "check the shortcuts"
start_menu_link=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Zeluvar.lnk
desktop_link=$WINEPREFIX/drive_c/users/Public/Desktop/Zeluvar.lnk
[ -f "$start_menu_link" ] || fail "no Start-menu shortcut $start_menu_link"
strings -a "$start_menu_link" | grep -qxF "$installed_windows\\zeluvar.exe" ||
  fail "the Start-menu shortcut does not point to $installed_windows\\zeluvar.exe"
[ ! -e "$desktop_link" ] || fail "a desktop shortcut was made, though it is not chosen by default"

step "drive the installed program"
"$here/drive_window.sh" "$installed_windows\\zeluvar.exe"

step "uninstall silently"
# The uninstaller runs on from a copy of itself and returns at once; it removes the folder last.
started=$(now)
wine_run "$installed_windows\\Uninstall.exe" /S || fail "the uninstaller exited with status $?"
wait_for 60 "the uninstaller to remove $installed" test ! -e "$installed"
uninstall_seconds=$(seconds_since "$started")
wine_wait

step "check that the uninstall left nothing"
[ ! -e "$start_menu_link" ] || fail "the Start-menu shortcut is still there"
[ ! -e "$desktop_link" ] || fail "a desktop shortcut is there"
if wine_run reg query "$key" >/dev/null 2>&1; then
  fail "the registry key $key is still there"
fi
wine_wait

step "install again and uninstall with a file of the user's in the folder"
wine_run "$setup" /S || fail "the installer exited with status $?"
wine_wait
echo '用户自己的笔记' >"$installed/我的笔记.txt"
wine_run "$installed_windows\\Uninstall.exe" /S || fail "the uninstaller exited with status $?"
wait_for 60 "the uninstaller to remove Uninstall.exe" test ! -e "$installed/Uninstall.exe"
wine_wait
[ -d "$installed" ] || fail "the uninstaller removed $installed with the user's file in it"
left=$(cd "$installed" && find . -mindepth 1)
[ "$left" = ./我的笔记.txt ] || fail "after uninstalling, $installed holds '$left' instead of only the user's file"

step "unpack the zip into a folder with Chinese and spaces in its name"
make_wine_prefix "$windows_dir/wine-portable"
unpacked=$WINEPREFIX/drive_c/用户\ 文件/绿色\ 版
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
[ "$(ls -A "$unpacked")" = Zeluvar ] || fail "the zip holds more than the folder Zeluvar"
diff -r "$shipped" "$unpacked/Zeluvar" || fail "the files in the zip are not those of $shipped"

step "drive the unpacked program"
"$here/drive_window.sh" 'C:\用户 文件\绿色 版\Zeluvar\zeluvar.exe'

echo "installer:          $(megabytes "$(stat -c %s "$setup")")"
echo "zip, packed:        $(megabytes "$(stat -c %s "$zip")")"
echo "zip, unpacked:      $(megabytes "$(folder_bytes "$unpacked/Zeluvar")")"
echo "install under Wine:   $install_seconds s (silent)"
echo "uninstall under Wine: $uninstall_seconds s (silent)"
echo "Wine starting a program that ends at once: $wine_start_seconds s"
echo "check_packages: installer, uninstaller and portable zip work"
