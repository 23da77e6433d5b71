# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks a screenshot of the window's client area for the whole border of every control that has
one: Frame1, the two path boxes and 执行 (the encoding buttons' group draws none). At the given
scaling each of a control's four edges must be a line of pixels darker than the window's
background, near where the window places it. Fractional scalings once lost bottom or right edges,
where a control's last row or column of device pixels fell outside what it may paint.
LAYOUT is what tests/windows/window_layout.exe prints: where the window places each control.
Usage: convert SHOT.png -depth 8 rgb:- | frame_edges.py LAYOUT WIDTH PERCENT"""

import sys

BORDERED = ("Frame", "TextBox", "PushButton")
NEAR = 3  # device pixels either side of where the edge should be
COVERED = 0.9  # share of the edge's length that must be drawn


def bordered_controls(layout):
    """Name and rectangle (left, top, width, height at 100 %, in the window) of each control with
    a border, from the lines "name kind left top width height" in the file `layout`."""
    with open(layout, encoding="utf-8") as lines:
        controls = [line.split() for line in lines]
    bordered = [(name, tuple(map(int, rect))) for name, kind, *rect in controls if kind in BORDERED]
    if not bordered:
        sys.exit(f"frame_edges: {layout} names no control with a border")
    return bordered


def main():
    layout, width, percent = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    pixels = sys.stdin.buffer.read()  # red, green and blue bytes, row by row
    height, scale = len(pixels) // (3 * width), percent / 100

    def brightness(x, y):
        return sum(pixels[3 * (y * width + x):3 * (y * width + x) + 3])

    background = brightness(2, 2)

    # Most of the line darker than the background: a box's white inside is not its border.
    def drawn(line):
        return sum(background - brightness(x, y) > 24 for x, y in line) >= COVERED * len(line)

    def near(at, end):  # the rows or columns within NEAR of `at`, inside the picture
        return range(at - NEAR, min(at + NEAR + 1, end))

    failed = False
    for name, (left, top, w, h) in bordered_controls(layout):
        x0, y0 = round(left * scale), round(top * scale)
        x1, y1 = round((left + w) * scale) - 1, round((top + h) * scale) - 1
        xs, ys = range(x0 + NEAR + 1, x1 - NEAR), range(y0 + NEAR + 1, y1 - NEAR)
        edges = {
            "top": any(drawn([(x, y) for x in xs]) for y in near(y0, height)),
            "bottom": any(drawn([(x, y) for x in xs]) for y in near(y1, height)),
            "left": any(drawn([(x, y) for y in ys]) for x in near(x0, width)),
            "right": any(drawn([(x, y) for y in ys]) for x in near(x1, width)),
        }
        missing = [edge for edge, found in edges.items() if not found]
        if missing:
            print(f"frame_edges: at {percent} % {name}'s {', '.join(missing)} edge is not drawn "
                  f"({width}x{height}, expected at {x0},{y0}-{x1},{y1})", file=sys.stderr)
            failed = True
    if failed:
        return 1
    print(f"frame_edges: {percent} %: every control's four edges drawn ({width}x{height})")
    return 0


sys.exit(main())
