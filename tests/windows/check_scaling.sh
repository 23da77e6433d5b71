#!/usr/bin/env bash
# Shows the real window at 100, 125, 150 and 175 % screen scaling and checks in each picture that
# the frame around the controls is whole: fractional scalings once lost its bottom or right edge.
# Needs DISPLAY from scripts/test-windows. Usage: check_scaling.sh zeluvar.exe
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/windows.sh"

make_wine_prefix "$windows_dir/wine-scaling"
for dpi in 96 120 144 168; do
  shot=$windows_dir/scaling-$dpi
  window_screenshot "$exe" "$dpi" "$shot.png"
  convert "$shot.png" "$shot.ppm"
  /usr/bin/python3 "$here/frame_edges.py" "$shot.ppm" $((dpi * 100 / 96))
done
