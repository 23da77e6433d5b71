#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Sanity-check zeluvar.ico against the layout Windows expects.

Parses the file independently of make_icon.py and exits non-zero on the first
problem: nine images (16/32/48 px at 4, 8 and 32 bpp, ordered by size then
depth), consistent directory entries and DIB headers, and 32-bit images whose
pixels and AND masks match the PNG of the same size (catches flipped rows,
swapped channels or a mask that disagrees with alpha).

Usage: python3 check_icon.py   (reads next to this script)
"""

import os
import struct
import sys
import zlib

VGA16 = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)
EXPECTED = [(s, b) for s in (16, 32, 48) for b in (4, 8, 32)]


def fail(msg):
    sys.exit('zeluvar.ico: ' + msg)


def stride(bits):
    return (bits + 31) // 32 * 4


def read_png_rgba(path):
    """Decode an 8-bit RGBA, non-interlaced PNG (all filter types)."""
    data = open(path, 'rb').read()
    pos, idat = 8, b''
    while pos < len(data):
        n, tag = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if tag == b'IHDR':
            w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if (depth, ctype, interlace) != (8, 6, 0):
                fail('%s is not 8-bit RGBA' % path)
        elif tag == b'IDAT':
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    rows, prev, bpr = [], bytearray(w * 4), w * 4
    for y in range(h):
        f = raw[y * (bpr + 1)]
        line = bytearray(raw[y * (bpr + 1) + 1:(y + 1) * (bpr + 1)])
        for i in range(bpr):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(w)])
        prev = line
    return rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = open(os.path.join(here, 'zeluvar.ico'), 'rb').read()
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    if (reserved, kind) != (0, 1):
        fail('bad header %r' % ((reserved, kind),))
    if count != len(EXPECTED):
        fail('%d images, expected %d' % (count, len(EXPECTED)))
    end = 6 + 16 * count
    for i, (size, bpp) in enumerate(EXPECTED):
        w, h, colours, res, planes, bits, length, offset = struct.unpack_from(
            '<BBBBHHII', data, 6 + 16 * i)
        where = 'entry %d (%dpx %dbpp)' % (i, size, bpp)
        if (w, h, bits) != (size, size, bpp):
            fail('%s: directory says %dx%d %dbpp' % (where, w, h, bits))
        if colours != (16 if bpp == 4 else 0) or res != 0 or planes != 1:
            fail('%s: bColorCount/reserved/planes = %d/%d/%d' % (where, colours, res, planes))
        if offset != end or offset + length > len(data):
            fail('%s: image data not contiguous or out of bounds' % where)
        end = offset + length
        (hsize, dw, dh, dplanes, dbits, comp, _, _, _, used, _) = struct.unpack_from(
            '<IiiHHIIiiII', data, offset)
        if (hsize, dw, dh, dplanes, dbits, comp) != (40, size, 2 * size, 1, bpp, 0):
            fail('%s: DIB header %r' % (where, (hsize, dw, dh, dplanes, dbits, comp)))
        ncolours = 0 if bpp == 32 else (used or 1 << bpp)
        xor_size = stride(size * bpp) * size
        and_size = stride(size) * size
        if length != 40 + 4 * ncolours + xor_size + and_size:
            fail('%s: %d bytes, layout needs %d' % (
                where, length, 40 + 4 * ncolours + xor_size + and_size))
        pal_at = offset + 40
        palette = [(data[pal_at + 4 * k + 2], data[pal_at + 4 * k + 1], data[pal_at + 4 * k])
                   for k in range(ncolours)]
        if bpp == 4 and tuple(palette) != VGA16:
            fail('%s: palette is not the standard 16-colour palette' % where)
        xor_at = pal_at + 4 * ncolours
        and_at = xor_at + xor_size
        png = read_png_rgba(os.path.join(here, 'icons', 'zeluvar-%d.png' % size))
        for y in range(size):
            src = png[size - 1 - y]  # DIB rows run bottom-up
            mask_row = data[and_at + y * stride(size):]
            for x in range(size):
                masked = (mask_row[x >> 3] >> (7 - (x & 7))) & 1
                if masked != (src[x][3] < 128):
                    fail('%s: AND mask wrong at (%d,%d)' % (where, x, size - 1 - y))
                if bpp == 32:
                    b, g, r, a = data[xor_at + y * stride(size * 32) + 4 * x:][:4]
                    if a != src[x][3] or (a and (r, g, b) != src[x][:3]):
                        fail('%s: pixel (%d,%d) differs from the PNG' % (where, x, size - 1 - y))
    if end != len(data):
        fail('%d trailing bytes' % (len(data) - end))
    print('zeluvar.ico: OK, %d images' % count)


if __name__ == '__main__':
    main()
