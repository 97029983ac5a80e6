#!/usr/bin/env python3
"""Ready-to-draw twins of the skin PNGs the main window shows in its first paint.

The main window paints before GDI+ is loaded, so the few pictures it needs then (the tabs, the
arrows, the command buttons) are also kept as 32-bit premultiplied pixels that GDI can blend
without a decoder. Each twin is a resource of type "SKIN" with the PNG's own number: a little-endian
width and height (32 bits each), then the rows top-down as B, G, R, A bytes with the colour
premultiplied by alpha.

  make-skins.py RESOURCE_H SONADESK_RC OUT_DIR NAME...
writes OUT_DIR/skins/<id>.skin for each named PNG resource and OUT_DIR/skins.rc listing them.
"""
import os
import re
import struct
import sys
import zlib


def read_png_rgba(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(f'{path}: not a PNG')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        elif kind == b'IEND':
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        raise ValueError(f'{path}: only 8-bit RGBA, not interlaced (depth {depth}, type {colour})')
    raw = zlib.decompress(idat)
    stride, bpp = width * 4, 4
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 255
            elif kind != 0:
                raise ValueError(f'{path}: unknown filter {kind}')
        rows.append(line)
        prev = line
    return width, height, rows


def premultiplied_bgra(width, height, rows):
    out = bytearray(struct.pack('<II', width, height))
    for line in rows:
        for x in range(width):
            r, g, b, a = line[x * 4:x * 4 + 4]
            out += bytes(((b * a + 127) // 255, (g * a + 127) // 255, (r * a + 127) // 255, a))
    return bytes(out)


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    header, rc, out_dir, names = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    ids = dict(re.findall(r'^#define\s+(\w+)\s+(\d+)', open(header).read(), re.M))
    files = dict(re.findall(r'^(\w+)\s+PNG\s+"([^"]+)"', open(rc).read(), re.M))
    os.makedirs(os.path.join(out_dir, 'skins'), exist_ok=True)
    lines = ['// Made by scripts/make-skins.py from the PNG skins: premultiplied twins for the first paint.']
    for name in names:
        if name not in ids or name not in files:
            sys.exit(f'make-skins: {name} is not a PNG resource of {rc}')
        png = os.path.join(os.path.dirname(rc), files[name])
        blob = premultiplied_bgra(*read_png_rgba(png))
        target = os.path.join(out_dir, 'skins', f'{ids[name]}.skin')
        with open(target + '.tmp', 'wb') as f:
            f.write(blob)
        os.replace(target + '.tmp', target)
        lines.append(f'{ids[name]} SKIN "skins/{ids[name]}.skin"')
    listing = os.path.join(out_dir, 'skins.rc')
    with open(listing + '.tmp', 'w') as f:
        f.write('\n'.join(lines) + '\n')
    os.replace(listing + '.tmp', listing)


if __name__ == '__main__':
    main()
