#!/usr/bin/env python3
"""Draws Veskar's icon and the sample PNG files that ship with the project.

The outputs are committed; run this again only to change the artwork:
    tools/make_artwork.py
"""
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def icon_pixels(size):
    """A rounded tile holding four chunk bars of different lengths, as the
    chunk list shows them; returns rows of (r, g, b) or None for transparent."""
    tile = (22, 78, 110)
    edge = (12, 46, 66)
    bars = [(242, 196, 64), (232, 104, 80), (110, 200, 140), (140, 170, 235)]
    lengths = [0.78, 0.55, 0.92, 0.40]
    radius = size * 0.18
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            cx = min(max(x + 0.5, radius), size - radius)
            cy = min(max(y + 0.5, radius), size - radius)
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if d > radius:
                row.append(None)
                continue
            colour = edge if d > radius - max(1.0, size / 24) else tile
            margin = size * 0.17
            band = (size - 2 * margin) / 4
            inside_x = x + 0.5 - margin
            inside_y = y + 0.5 - margin
            if 0 <= inside_y < 4 * band and inside_x >= 0:
                i = int(inside_y // band)
                within = inside_y - i * band
                if band * 0.18 <= within <= band * 0.82 and inside_x <= (size - 2 * margin) * lengths[i]:
                    colour = bars[i]
            row.append(colour)
        rows.append(row)
    return rows


def ico_image(size):
    rows = icon_pixels(size)
    palette = []
    for row in rows:
        for c in row:
            if c is not None and c not in palette:
                palette.append(c)
    assert len(palette) <= 256
    palette += [(0, 0, 0)] * (256 - len(palette))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    xor = b''
    mask = b''
    stride_mask = ((size + 31) // 32) * 4
    for row in reversed(rows):
        xor += bytes(palette.index(c) if c is not None else 0 for c in row)
        bits = 0
        line = bytearray(stride_mask)
        for x, c in enumerate(row):
            if c is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + pal + xor + mask


def write_ico(path, sizes):
    images = [ico_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)


def write_png(path, width, height, colour_type, raw_rows, extra_before=(), extra_after=(), idat_parts=1):
    ihdr = struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0)
    data = zlib.compress(b''.join(b'\x00' + r for r in raw_rows), 9)
    step = (len(data) + idat_parts - 1) // idat_parts
    out = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr)
    for kind, payload in extra_before:
        out += chunk(kind, payload)
    for i in range(0, len(data), step):
        out += chunk(b'IDAT', data[i:i + step])
    for kind, payload in extra_after:
        out += chunk(kind, payload)
    out += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(out)


def main():
    write_ico(os.path.join(ROOT, 'viewer', 'A_MAIN.ico'), [48, 32, 16])

    # A true-colour picture of the icon's tile, split into three IDAT chunks.
    w, h = 160, 120
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            row += bytes((22 + x * 220 // w, 78 + y * 150 // h, 110 + (x + y) % 64))
        rows.append(bytes(row))
    write_png(os.path.join(ROOT, 'samples', 'sample.png'), w, h, 2, rows,
              extra_before=[(b'gAMA', struct.pack('>I', 45455)),
                            (b'pHYs', struct.pack('>IIB', 3780, 3780, 1)),
                            (b'tEXt', b'Software\x00Tovrin artwork generator')],
              extra_after=[(b'tIME', struct.pack('>HBBBBB', 2026, 12, 7, 6, 0, 0))],
              idat_parts=3)

    # A paletted picture with transparency.
    w, h = 48, 48
    palette = b''.join(bytes(c) for c in [(22, 78, 110), (242, 196, 64), (232, 104, 80), (110, 200, 140)])
    rows = [bytes(((x // 12) + (y // 12)) % 4 for x in range(w)) for y in range(h)]
    write_png(os.path.join(ROOT, 'samples', 'palette.png'), w, h, 3, rows,
              extra_before=[(b'PLTE', palette), (b'tRNS', b'\xff\xff\xff\x80')])


if __name__ == '__main__':
    main()
