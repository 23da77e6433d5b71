#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draw the Zeluvar icon and write zeluvar.svg, icons/zeluvar-<N>.png and zeluvar.ico.

Standard library only, so anyone can regenerate the committed files; the
output is byte-identical on every run (no timestamps, fixed palettes, integer
colour arithmetic).

Usage: python3 make_icon.py   (writes next to this script)
"""

import math
import os
import struct
import zlib

# Design grid. At 16 px one pixel is 16 units, so edges placed on multiples
# of 16 land on pixel boundaries and stay sharp at the smallest sizes.
UNITS = 256
SUPERSAMPLE = 8  # samples per pixel along each axis

PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 32, 48)
ICO_DEPTHS = (4, 8, 32)

TRANSPARENT = (0, 0, 0, 0)
BLUE = (25, 104, 210, 255)
WHITE = (255, 255, 255, 255)
GREEN = (24, 158, 72, 255)
SCREEN = (208, 240, 218, 255)
DARK_GREEN = (14, 98, 44, 255)

# Shapes: ('rect', x0, y0, x1, y1, radius), ('circle', cx, cy, r),
# ('dome', cx, cy, rx, ry) = upper half of an ellipse (the shoulders).
# Layers are painted in order; a TRANSPARENT layer erases what lies below,
# which cuts a clean gap between the card and the phone behind it.
LAYERS = (
    # Phone, behind the card.
    (('rect', 128, 16, 240, 240, 28), GREEN),
    (('rect', 144, 48, 224, 192, 8), SCREEN),
    (('rect', 168, 28, 200, 36, 4), DARK_GREEN),   # earpiece
    (('circle', 184, 216, 10), DARK_GREEN),         # home button
    # Gap around the card so it reads as lying on top of the phone.
    (('rect', 0, 64, 176, 224, 32), TRANSPARENT),
    # Contact card: person on the left, two text lines on the right.
    (('rect', 16, 80, 160, 208, 20), BLUE),
    (('circle', 56, 120, 26), WHITE),
    (('dome', 56, 192, 36, 40), WHITE),
    (('rect', 96, 112, 144, 128, 6), WHITE),
    (('rect', 96, 144, 144, 160, 6), WHITE),
)


# ---------------------------------------------------------------- rendering

def span(shape, y):
    """Return the (x_left, x_right) extent of a convex shape on row y, or None."""
    kind = shape[0]
    if kind == 'rect':
        _, x0, y0, x1, y1, r = shape
        if y < y0 or y > y1:
            return None
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        half = math.sqrt(max(r * r - dy * dy, 0.0))
        return (x0 + r - half, x1 - r + half)
    if kind == 'circle':
        _, cx, cy, r = shape
        dy = y - cy
        if abs(dy) > r:
            return None
        half = math.sqrt(r * r - dy * dy)
        return (cx - half, cx + half)
    if kind == 'dome':
        _, cx, cy, rx, ry = shape
        if y > cy or y < cy - ry:
            return None
        t = (y - cy) / ry
        half = rx * math.sqrt(max(1.0 - t * t, 0.0))
        return (cx - half, cx + half)
    raise ValueError(kind)


def render(size, flat=None):
    """Render the layers at size x size; return rows of straight-alpha RGBA tuples.

    With flat (a dict mapping layer colours to replacements) each pixel takes
    the replacement colour of the layer covering most of it, without
    anti-aliasing: blended edges would only turn into stray colours in a
    16-colour image.
    """
    ss = SUPERSAMPLE
    n = size * ss                 # samples per axis
    scale = n / UNITS             # samples per design unit
    per_pixel = ss * ss
    colours = [TRANSPARENT] + [colour for _, colour in LAYERS]
    rows = []
    for py in range(size):
        # Ids (index into colours) of the topmost layer for every sample of
        # this pixel row, grouped per pixel.
        groups = [[] for _ in range(size)]
        for sy in range(py * ss, (py + 1) * ss):
            y = (sy + 0.5) / scale
            ids = [0] * n
            for layer_id, (shape, _) in enumerate(LAYERS, 1):
                ext = span(shape, y)
                if ext is None:
                    continue
                # Sample k sits at (k + 0.5) / scale.
                k0 = max(math.ceil(ext[0] * scale - 0.5), 0)
                k1 = min(math.floor(ext[1] * scale - 0.5), n - 1)
                if k1 >= k0:
                    ids[k0:k1 + 1] = [layer_id] * (k1 - k0 + 1)
            for px in range(size):
                groups[px].extend(ids[px * ss:(px + 1) * ss])
        row = []
        for g in groups:
            if flat is not None:
                # Most samples wins; ties go to the upper layer.
                top = max(set(g), key=lambda i: (g.count(i), i))
                c = colours[top]
                row.append(TRANSPARENT if c[3] == 0 else flat[c])
                continue
            # Integer averaging keeps the output exact and platform independent.
            covered = r = gr = b = 0
            for layer_id in set(g):
                c = colours[layer_id]
                if c[3] == 0:
                    continue
                count = g.count(layer_id)
                covered += count
                r += count * c[0]
                gr += count * c[1]
                b += count * c[2]
            if covered == 0:
                row.append(TRANSPARENT)
            else:
                half = covered // 2
                alpha = (255 * covered + per_pixel // 2) // per_pixel
                row.append(((r + half) // covered, (gr + half) // covered,
                            (b + half) // covered, alpha))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------- SVG

def num(v):
    return str(int(v)) if float(v).is_integer() else repr(float(v))


def hex_colour(c):
    return '#%02x%02x%02x' % c[:3]


def svg_shape(shape, fill):
    kind = shape[0]
    if kind == 'rect':
        _, x0, y0, x1, y1, r = shape
        return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"/>'
                % (num(x0), num(y0), num(x1 - x0), num(y1 - y0), num(r), fill))
    if kind == 'circle':
        _, cx, cy, r = shape
        return ('<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                % (num(cx), num(cy), num(r), fill))
    if kind == 'dome':
        _, cx, cy, rx, ry = shape
        return ('<path d="M%s %sA%s %s 0 0 1 %s %sZ" fill="%s"/>'
                % (num(cx - rx), num(cy), num(rx), num(ry), num(cx + rx), num(cy), fill))
    raise ValueError(kind)


def make_svg():
    defs = []
    body = []
    for shape, colour in LAYERS:
        if colour[3] == 0:
            # An eraser becomes a luminance mask over everything drawn so far.
            mid = 'cut%d' % len(defs)
            defs.append('<mask id="%s" maskUnits="userSpaceOnUse" x="0" y="0" '
                        'width="%d" height="%d"><rect width="%d" height="%d" fill="#fff"/>%s</mask>'
                        % (mid, UNITS, UNITS, UNITS, UNITS, svg_shape(shape, '#000')))
            body = ['<g mask="url(#%s)">' % mid] + body + ['</g>']
        else:
            body.append(svg_shape(shape, hex_colour(colour)))
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
             'viewBox="0 0 %d %d">' % (UNITS, UNITS, UNITS, UNITS),
             '<title>Zeluvar</title>']
    if defs:
        lines += ['<defs>'] + defs + ['</defs>']
    lines += body + ['</svg>', '']
    return '\n'.join(lines).encode('ascii')


# ---------------------------------------------------------------------- PNG

def png_chunk(tag, data):
    return (struct.pack('>I', len(data)) + tag + data
            + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff))


def make_png(rows):
    h = len(rows)
    w = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for px in row:
            raw.extend(px)
    return (b'\x89PNG\r\n\x1a\n'
            + png_chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + png_chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + png_chunk(b'IEND', b''))


# ---------------------------------------------------------------------- ICO

# The standard 16-colour Windows/VGA palette, in index order.
VGA16 = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)


# Stand-ins for the 16-colour images, picked by hand: plain nearest-colour
# matching turns both the card and the phone teal.
VGA_COLOURS = {
    BLUE: (0, 0, 255, 255),
    WHITE: (255, 255, 255, 255),
    GREEN: (0, 128, 0, 255),
    SCREEN: (192, 192, 192, 255),
    DARK_GREEN: (0, 0, 0, 255),
}


def palette256(rows):
    """Exact colours of the image's flat areas first, then a 6x6x6 cube and greys."""
    freq = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= 128:
                freq[(r, g, b)] = freq.get((r, g, b), 0) + 1
    # Most frequent first; ties broken by colour value so the order is fixed.
    ranked = sorted(freq, key=lambda c: (-freq[c], c))
    pal = []
    seen = set()

    def add(c):
        if c not in seen and len(pal) < 256:
            seen.add(c)
            pal.append(c)

    add((0, 0, 0))  # index 0: colour under the transparent AND-mask pixels
    for c in ranked[:24]:
        add(c)
    levels = (0, 51, 102, 153, 204, 255)
    for r in levels:
        for g in levels:
            for b in levels:
                add((r, g, b))
    for i in range(1, 32):
        v = i * 8
        add((v, v, v))
    return pal


def quantise(rows, pal):
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(len(pal)), key=lambda i: (
                (pal[i][0] - c[0]) ** 2 + (pal[i][1] - c[1]) ** 2
                + (pal[i][2] - c[2]) ** 2, i))
        return cache[c]

    return [[nearest(px[:3]) if px[3] >= 128 else 0 for px in row] for row in rows]


def row_stride(bits):
    return (bits + 31) // 32 * 4


def make_dib(rows, bpp):
    size = len(rows)
    xor = bytearray()
    palette = b''
    if bpp == 32:
        for row in reversed(rows):  # DIB rows are stored bottom-up
            for r, g, b, a in row:
                xor.extend((b, g, r, a) if a else (0, 0, 0, 0))
    else:
        pal = list(VGA16) if bpp == 4 else palette256(rows)
        pal += [(0, 0, 0)] * ((1 << bpp) - len(pal))
        palette = b''.join(bytes((b, g, r, 0)) for r, g, b in pal)
        stride = row_stride(size * bpp)
        for row in reversed(quantise(rows, pal)):
            line = bytearray(stride)
            for x, idx in enumerate(row):
                if bpp == 8:
                    line[x] = idx
                else:
                    line[x >> 1] |= idx << (4 if x % 2 == 0 else 0)
            xor.extend(line)
    # AND mask: 1 = transparent, most significant bit first.
    mask = bytearray()
    stride = row_stride(size)
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] < 128:
                line[x >> 3] |= 0x80 >> (x & 7)
        mask.extend(line)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + palette + bytes(xor) + bytes(mask)


def make_ico(images):
    """images: list of (size, bpp, dib) in directory order."""
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, dib in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256,
                           16 if bpp == 4 else 0, 0, 1, bpp, len(dib), offset)
        offset += len(dib)
    for _, _, dib in images:
        out += dib
    return bytes(out)


# --------------------------------------------------------------------- main

def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(here, 'icons'), exist_ok=True)
    write(os.path.join(here, 'zeluvar.svg'), make_svg())
    rendered = {}
    for size in PNG_SIZES:
        rendered[size] = render(size)
        write(os.path.join(here, 'icons', 'zeluvar-%d.png' % size),
              make_png(rendered[size]))
    images = []
    for size in ICO_SIZES:
        for bpp in ICO_DEPTHS:
            rows = render(size, VGA_COLOURS) if bpp == 4 else rendered[size]
            images.append((size, bpp, make_dib(rows, bpp)))
    write(os.path.join(here, 'zeluvar.ico'), make_ico(images))


if __name__ == '__main__':
    main()
