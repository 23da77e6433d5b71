#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what Windows reads from the shipped folder without running it: the nine-image icon
# Explorer shows, the version the file properties show, the manifest (per-monitor DPI, paths
# longer than 260 characters), UI Automation for screen readers, that nothing in the folder
# needs ICU, and that the folder says which Debian source its Qt was built from. Usage: check_executable.sh <shipped folder> <version>
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
folder=$1 version=$2
exe=$folder/zeluvar.exe

icons=$(wrestool -x -t14 "$exe" | icotool -l - | sed -E 's/.*--width=([0-9]+).*--bit-depth=([0-9]+).*/\1x\2/' |
  sort -t x -k1,1n -k2,2n | paste -sd' ') || fail "no icon group in zeluvar.exe"
[ "$icons" = "16x4 16x8 16x32 32x4 32x8 32x32 48x4 48x8 48x32" ] ||
  fail "icon images are '$icons', expected 16, 32 and 48 px at 4, 8 and 32 bits"

# The value of field $2 in the version resource of $1.
version_field() {
  wrestool -x --raw -t16 "$1" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -c '[:print:]' '\n' |
    grep -v '^$' | grep -A1 -x "$2" | tail -1
}
for field in FileVersion ProductVersion; do
  [ "$(version_field "$exe" $field)" = "$version" ] || fail "$field is not $version"
done
manifest=$(wrestool -x --raw -t24 "$exe")
grep -q '<dpiAwareness[^>]*>PerMonitorV2<' <<<"$manifest" || fail "the manifest does not declare per-monitor DPI awareness"
grep -q '<longPathAware[^>]*>true<' <<<"$manifest" || fail "the manifest does not declare long path awareness"
# Windows screen readers read Qt windows through UI Automation, which the platform plugin serves.
grep -qa QWindowsUiaAccessibility "$folder/platforms/qwindows.dll" ||
  fail "the platform plugin has no UI Automation"

# objdump names each file before its imports.
icu=$(find "$folder" \( -name zeluvar.exe -o -name '*.dll' \) -exec x86_64-w64-mingw32-objdump -p {} + |
  awk '/file format/ { file = $1 } tolower($0) ~ /dll name: .*icu/ { print file, $3 }')
[ -z "$icu" ] || fail "links ICU: $icu"
# Whoever asks which Qt the folder ships, and with which fixes, reads it beside the DLLs; it must
# be the Qt of those DLLs.
dll_qt=$(version_field "$folder/Qt6Core.dll" FileVersion | sed 's/\.0$//')
[ -n "$dll_qt" ] || fail "Qt6Core.dll has no file version"
grep -q "^Qt $dll_qt for Windows, built from Debian's qt6-base $dll_qt+" "$folder/qt-source.txt" 2>/dev/null ||
  fail "qt-source.txt does not say which Debian source Qt $dll_qt was built from: $(head -1 "$folder/qt-source.txt" 2>&1)"
echo "check_executable: icon, version $version, manifest, UI Automation, no ICU, Qt $dll_qt from $(head -1 "$folder/qt-source.txt" | sed 's/.*qt6-base \([^ ]*\).*/qt6-base \1/')"
