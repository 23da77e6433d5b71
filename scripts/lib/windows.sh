# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the Windows scripts: where the Qt SDK and the cross build live, and how Wine is run.
# Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"
windows_dir=$root/build-windows
windows_build=$windows_dir/build
shipped=$windows_dir/Zeluvar  # the folder a user gets: zeluvar.exe and what it needs

# A Qt for Windows is used with the host's Qt tools (moc, rcc, uic), which write code for their own
# version only: Qt 6.8's moc includes headers that Qt 6.4 lacks. So the one picked is always of
# the host tools' version.
host_qt_version() {
  local moc=/usr/lib/qt6/libexec/moc version
  version=$("$moc" --version 2>/dev/null | sed -n 's/^moc \([0-9.]*\)$/\1/p')
  [ -n "$version" ] || { echo "no Qt tools at $moc: scripts/install-deps windows installs them" >&2; return 1; }
  echo "$version"
}

# The Qt version of the Qt for Windows in prefix $1.
sdk_qt_version() {
  sed -n 's/^set(PACKAGE_VERSION "\([0-9.]*\)")$/\1/p' "$1/lib/cmake/Qt6/Qt6ConfigVersionImpl.cmake" 2>/dev/null
}

# Succeeds when prefix $1 holds a Qt for Windows of version $2; says what it found otherwise.
check_sdk_version() {
  local prefix=$1 needed=$2 found
  found=$(sdk_qt_version "$prefix")
  [ "$found" = "$needed" ] && return 0
  echo "The Qt for Windows in $prefix is ${found:-of no version we can read (no lib/cmake/Qt6/Qt6ConfigVersionImpl.cmake)};" \
    "the host's Qt tools are $needed, and a Qt for Windows must be of their version." >&2
  return 1
}

# Where scripts/windows-sdk builds Qt for Windows of version $1 when no prepared one is at hand;
# one folder per version.
windows_sdk_dir() {
  echo "${ZELUVAR_SDK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zeluvar}/windows-sdk/$1"
}

# What each SDK carries beside its DLLs: the Debian source it was built from.
sdk_source_file=qt-source.txt

# The record of what a Qt for Windows was built from and what it compiled in, beside its
# qt-source.txt: the notices and bills of materials of the downloads are made from it, and a
# release ships the source it names.
sdk_record_file=qt-build.json

# Writes the record into prefix $1, from the source in folder $2 and the build script $3; the Wine
# whose Wintab headers it took is the host's, of the same Debian release as its Qt tools.
make_sdk_record() {
  local wine_version
  wine_version=$(dpkg-query -W -f='${source:Version}' wine) ||
    { echo "no Wine installed: scripts/install-deps windows installs it" >&2; return 1; }
  /usr/bin/python3 "$root/scripts/lib/qt_record.py" "$1" "$2" "$3" "$wine_version"
}

# The script a prepared archive of Qt $1 was built with: the toolchains' own one for that Qt
# (build-qt6.8-*.sh), else this project's scripts/windows-sdk.
prepared_sdk_build_script() {
  local own
  own=$(ls "$root/../shared/toolchains/build-qt${1%.*}-"*.sh 2>/dev/null | head -1)
  echo "${own:-$root/scripts/windows-sdk}"
}

# Prints the prefix of Qt for Windows, of the host Qt tools' version: ZELUVAR_WINDOWS_QT, else the
# prepared archive of that version beside the project (unpacked into the build folder once), else
# the one scripts/windows-sdk builds, which it builds first if need be.
windows_qt() {
  local needed
  needed=$(host_qt_version)
  if [ -n "${ZELUVAR_WINDOWS_QT:-}" ]; then
    check_sdk_version "$ZELUVAR_WINDOWS_QT" "$needed" || { echo "  (from ZELUVAR_WINDOWS_QT)" >&2; return 1; }
    echo "$ZELUVAR_WINDOWS_QT"
    return
  fi
  local archive=$root/../shared/toolchains/qt$needed-mingw64.tar.xz folder=$windows_dir/qt$needed
  local unpacked=$folder/qt6-mingw64
  # A newer archive (the same Qt rebuilt with more of Debian's patches, say) replaces what an
  # older one left here.
  if [ -f "$archive" ] && { [ ! -f "$folder/unpacked" ] || [ "$archive" -nt "$folder/unpacked" ]; }; then
    rm -rf "$folder"
    mkdir -p "$folder"
    tar -xJf "$archive" -C "$folder"
    [ -f "$unpacked/$sdk_source_file" ] ||
      { echo "$archive holds no $sdk_source_file: which source its Qt was built from is unknown" >&2; return 1; }
    touch "$folder/unpacked"
  fi
  if [ -f "$unpacked/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    # Made afresh when what makes it, or the script it names, changed since.
    local script
    script=$(prepared_sdk_build_script "$needed")
    [ -f "$unpacked/$sdk_record_file" ] && [ ! "$root/scripts/lib/qt_record.py" -nt "$unpacked/$sdk_record_file" ] &&
      [ ! "$script" -nt "$unpacked/$sdk_record_file" ] ||
      make_sdk_record "$unpacked" "$root/../shared/toolchains/source" "$script" >&2 ||
      { echo "  (the prepared Qt $needed for Windows in $archive)" >&2; return 1; }
    check_sdk_version "$unpacked" "$needed" || { echo "  (unpacked from $archive)" >&2; return 1; }
    echo "$unpacked"
    return
  fi
  local built
  built=$(windows_sdk_dir "$needed")/qt6-mingw64
  if [ ! -f "$built/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "No prepared Qt $needed for Windows beside the project: building it now with scripts/windows-sdk" \
      "into $(windows_sdk_dir "$needed"). This takes half an hour or more once (see the README); later runs reuse it." >&2
    "$root/scripts/windows-sdk" >&2
  fi
  check_sdk_version "$built" "$needed" || return 1
  echo "$built"
}

# Configures the cross build with preset $1 of CMakePresets.json (windows or windows-tests), which
# reads the Qt for Windows from ZELUVAR_WINDOWS_QT; extra arguments go to cmake.
configure_windows() {
  local preset=$1 qt
  shift
  qt=$(windows_qt)
  # A build folder configured with another Qt (the host's Qt changed) starts afresh: CMake reads
  # the toolchain file on the first run only.
  if [ -f "$windows_build/CMakeCache.txt" ] &&
     [ "$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$windows_build/CMakeCache.txt")" != "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    rm -rf "$windows_build"
  fi
  (cd "$root" && ZELUVAR_WINDOWS_QT=$qt cmake --preset "$preset" "$@" >/dev/null)
}

# Wine's commands are looked up when used, not when this file is sourced: the scripts that source
# it may install Wine only afterwards.
wine_program() {
  type -P "$1" || type -P "$1-stable" || { [ -x "/usr/lib/wine/$1" ] && echo "/usr/lib/wine/$1"; } ||
    { echo "$1 not found: scripts/install-deps windows installs Wine" >&2; return 1; }
}

# Runs a Windows program; Wine's own chatter stays out of the test output.
wine_run() {
  local wine
  wine=$(wine_program wine)
  WINEDEBUG=-all "$wine" "$@"
}

wineserver() {
  local server
  server=$(wine_program wineserver)
  "$server" "$@"
}

wine_wait() {
  wineserver -w
}

# A fresh Wine prefix in $1, set up as a Chinese Windows desktop: code page 936 (from the
# locale), and the Windows UI font names mapped to a font that holds Chinese, as a Chinese
# Windows has Microsoft YaHei UI. The program keeps Qt's default GDI font engine, as on Windows;
# with Wine's own UI font (Tahoma, no Chinese) that engine draws nothing in a line edit once it is
# edited, with these fonts it draws as on Windows. Scaling starts at 100 %; window_screenshot
# sets others.
make_wine_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$prefix"
  export WINEPREFIX=$prefix WINEARCH=win64 LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  # No Mono or Gecko installer dialogs: nothing here needs .NET or an HTML engine.
  WINEDLLOVERRIDES="mscoree,mshtml=" wine_run wineboot --init
  wine_wait
  # All settings in one program: Debian's Wine server ends the moment its last program does, and
  # a program starting just then loses its connection (recvmsg: connection reset).
  local settings=$prefix/drive_c/zeluvar-settings.reg font
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" SimSun NSimSun \
                "Microsoft YaHei" "Microsoft YaHei UI" "Segoe UI"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$font"
    done
  } >"$settings"
  wine_run reg import 'C:\zeluvar-settings.reg' >/dev/null
  wine_wait
  rm "$settings"
}

# Starts $1 (a zeluvar.exe) in the current prefix at screen scaling $2 (dots per inch, 96 = 100 %),
# takes a picture of its window into $3 and ends it.
window_screenshot() {
  local exe=$1 dpi=$2 out=$3 window
  wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wine_wait
  wine_run "$exe" &
  wait_for 60 "the window" xdotool search --onlyvisible --name '^Zeluvar$'
  window=$(xdotool search --onlyvisible --name '^Zeluvar$')
  sleep 1  # the first paint follows the window's mapping
  import -window "$window" "$out"
  wineserver -k
  wine_wait
}

# The Windows PATH for the test programs: Qt from the SDK, where its Test library and offscreen
# plugin are, and the compiler's runtime from the shipped folder.
windows_test_path() {
  printf 'Z:%s;Z:%s' "$(windows_qt)/bin" "$shipped" | tr / '\\'
}

# Writes into $1 where the window places its controls (tests/windows/window_layout.cpp): one line
# per control, "name kind left top width height" in its client area at 100 % scaling. Into a
# file, not a pipe: Wine's background services inherit the program's handles and hold them open.
window_layout() {
  (
    export WINEPATH
    WINEPATH=$(windows_test_path)
    wine_run "$windows_build/tests/windows/window_layout.exe" >"$1"
  )
}

# Prints the prefix of GoogleTest for Windows, built once from Debian's googletest source with
# the same cross compiler.
windows_googletest() {
  local prefix=$windows_dir/googletest qt
  if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    qt=$(windows_qt)
    cmake -S /usr/src/googletest -B "$windows_dir/googletest-build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/mingw-w64.toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF >/dev/null
    cmake --build "$windows_dir/googletest-build" >/dev/null
    cmake --install "$windows_dir/googletest-build" >/dev/null
  fi
  echo "$prefix"
}

# The version of the one project() line, which every package carries.
project_version() {
  local version
  version=$(sed -n 's/^project(Zeluvar VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
  [ -n "$version" ] || { echo "no version in the project() line of $root/CMakeLists.txt" >&2; return 1; }
  echo "$version"
}
