#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows the real window at 100, 125, 150, 175 and 200 % screen scaling and checks in each picture
# that every control with a border is whole: fractional scalings once lost bottom or right edges.
# Needs DISPLAY from scripts/test-windows. Usage: check_scaling.sh zeluvar.exe
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/windows.sh"

make_wine_prefix "$windows_dir/wine-scaling"
layout=$windows_dir/window-layout.txt
window_layout "$layout"
for dpi in 96 120 144 168 192; do
  shot=$windows_dir/scaling-$dpi
  window_screenshot "$exe" "$dpi" "$shot.png"
  convert "$shot.png" -depth 8 rgb:- |
    /usr/bin/python3 "$here/frame_edges.py" "$layout" "$(identify -format %w "$shot.png")" $((dpi * 100 / 96))
done
