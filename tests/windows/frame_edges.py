"""Checks a screenshot of the window's client area for the whole frame around the controls: at
the given scaling, each of its four edges must be a line of pixels unlike the window's
background, near where the layout puts it. Usage: frame_edges.py SHOT.ppm PERCENT"""

import sys

FRAME = (14, 14, 561, 243)  # left, top, width, height at 100 %
NEAR = 3  # device pixels either side of where the edge should be
COVERED = 0.9  # share of the edge's length that must be drawn


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


def main():
    path, percent = sys.argv[1], int(sys.argv[2])
    width, height, pixel = read_ppm(path)
    scale = percent / 100
    left, top, w, h = FRAME
    x0, y0 = round(left * scale), round(top * scale)
    x1, y1 = round((left + w) * scale) - 1, round((top + h) * scale) - 1
    background = pixel(2, 2)

    def drawn(x, y):
        return sum(abs(a - b) for a, b in zip(pixel(x, y), background)) > 24

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
    missing = [edge for edge, found in edges.items() if not found]
    if missing:
        print(f"frame_edges: at {percent} % the frame's {', '.join(missing)} edge is not drawn "
              f"({width}x{height}, frame expected at {x0},{y0}-{x1},{y1})", file=sys.stderr)
        return 1
    print(f"frame_edges: {percent} %: all four edges drawn ({width}x{height})")
    return 0


sys.exit(main())
