"""Checks a screenshot of the window's client area for the whole border of every control that has
one: Frame1, the two path boxes, the encoding buttons' group and 执行. At the given scaling each of
a control's four edges must be a line of pixels darker than the window's background, near where
the layout table in ui/main_window.cpp puts it. Fractional scalings once lost bottom or right
edges, where a control's last row or column of device pixels fell outside what it may paint.
Usage: frame_edges.py SHOT.ppm PERCENT"""

import os
import re
import sys

LAYOUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../ui/main_window.cpp")
BORDERED = ("Frame", "TextBox", "PushButton")
NEAR = 3  # device pixels either side of where the edge should be
COVERED = 0.9  # share of the edge's length that must be drawn


def bordered_controls():
    """Name and rectangle (left, top, width, height at 100 %, in the window) of each control with
    a border, from the layout table: the controls in Frame1 are placed relative to it."""
    entry = re.compile(r'\{"(\w+)",\s*\w+,\s*Kind::(\w+),\s*u"[^"]*",\s*'
                       r'\{(\d+), (\d+), (\d+), (\d+)\},\s*\w+,\s*Parent::(\w+)\}')
    with open(LAYOUT, encoding="utf-8") as source:
        entries = entry.findall(source.read())
    frame_left, frame_top = next((int(e[2]), int(e[3])) for e in entries if e[1] == "Frame")
    controls = []
    for name, kind, left, top, width, height, parent in entries:
        if kind not in BORDERED:
            continue
        left, top = int(left), int(top)
        if parent != "Form1":
            left, top = left + frame_left, top + frame_top
        controls.append((name, (left, top, int(width), int(height))))
    return controls


def read_ppm(path):
    with open(path, "rb") as file:
        data = file.read()
    fields, at = [], 0
    while len(fields) < 4:  # P6, width, height, maximum; comments do not occur in ours
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    return width, height, lambda x, y: pixels[3 * (y * width + x):3 * (y * width + x) + 3]


def missing_edges(rect, scale, width, height, pixel, background):
    left, top, w, h = rect
    x0, y0 = round(left * scale), round(top * scale)
    x1, y1 = round((left + w) * scale) - 1, round((top + h) * scale) - 1

    # Darker than the background: a box's white inside is not its border.
    def drawn(x, y):
        return sum(background) - sum(pixel(x, y)) > 24

    def row_drawn(y):
        xs = range(x0 + NEAR + 1, x1 - NEAR)
        return sum(drawn(x, y) for x in xs) >= COVERED * len(xs)

    def column_drawn(x):
        ys = range(y0 + NEAR + 1, y1 - NEAR)
        return sum(drawn(x, y) for y in ys) >= COVERED * len(ys)

    edges = {
        "top": any(row_drawn(y) for y in range(y0 - NEAR, y0 + NEAR + 1)),
        "bottom": any(row_drawn(y) for y in range(y1 - NEAR, min(y1 + NEAR + 1, height))),
        "left": any(column_drawn(x) for x in range(x0 - NEAR, x0 + NEAR + 1)),
        "right": any(column_drawn(x) for x in range(x1 - NEAR, min(x1 + NEAR + 1, width))),
    }
    return [edge for edge, found in edges.items() if not found], (x0, y0, x1, y1)


def main():
    path, percent = sys.argv[1], int(sys.argv[2])
    width, height, pixel = read_ppm(path)
    background = pixel(2, 2)
    failed = False
    for name, rect in bordered_controls():
        missing, (x0, y0, x1, y1) = missing_edges(rect, percent / 100, width, height, pixel,
                                                  background)
        if missing:
            print(f"frame_edges: at {percent} % {name}'s {', '.join(missing)} edge is not drawn "
                  f"({width}x{height}, expected at {x0},{y0}-{x1},{y1})", file=sys.stderr)
            failed = True
    if failed:
        return 1
    print(f"frame_edges: {percent} %: every control's four edges drawn ({width}x{height})")
    return 0


sys.exit(main())
