#!/usr/bin/env python3
"""Writes the small PNG, BMP, ICO and TGA files of the drawing-layer tests
(tests/graphics/gdi_*_test.cpp) and the PNG, BMP and ICO fuzz seeds. Run from anywhere;
the files are checked in, so this only needs to run when they change."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', '..', '..', 'fuzz', 'corpus', 'png')


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, color_type, depth, raw, extra=b'', interlace=0):
    ihdr = struct.pack('>IIBBBBB', width, height, depth, color_type, 0, 0, interlace)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + extra +
            chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def rows(pixel_rows):
    """Filter type 0 before each row of bytes."""
    return b''.join(b'\x00' + bytes(r) for r in pixel_rows)


# 3 x 2 RGBA: every pixel distinct, alpha from opaque to clear.
RGBA = [[(255, 0, 0, 255), (0, 255, 0, 128), (0, 0, 255, 0)],
        [(10, 20, 30, 40), (200, 150, 100, 255), (255, 255, 255, 1)]]
rgba_png = png(3, 2, 6, 8, rows([[c for p in r for c in p] for r in RGBA]))

# 4 x 1 palette with a transparency chunk: red, green, blue, white; the chunk
# covers entries 0 and 1 (1 half clear), the others stay opaque.
palette = bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255])
trns = bytes([255, 128])
palette_png = png(4, 1, 3, 8, rows([[0, 1, 2, 3]]),
                  extra=chunk(b'PLTE', palette) + chunk(b'tRNS', trns))

# 2 x 2 sixteen-bit grey.
grey16_png = png(2, 2, 0, 16, rows([[0x00, 0x00, 0xFF, 0xFF], [0x80, 0x00, 0x40, 0x00]]))

# 9 x 9 RGB, Adam7 interlaced: pixel (x, y) = (x * 20, y * 20, x + y).
def adam7(width, height, pixel):
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    out = b''
    for x0, y0, dx, dy in passes:
        sub = []
        for y in range(y0, height, dy):
            row = []
            for x in range(x0, width, dx):
                row.extend(pixel(x, y))
            if row:
                sub.append(row)
        if sub and sub[0]:
            out += rows(sub)
    return out

interlaced_png = png(9, 9, 2, 8, adam7(9, 9, lambda x, y: (x * 20, y * 20, x + y)), interlace=1)

# A picture too large to accept: the header claims 20000 x 1.
huge_png = png(20000, 1, 2, 8, rows([[0, 0, 0] * 20000]))

# Corrupt: the image data is damaged (its checksum still right).
good = zlib.compress(rows([[1, 2, 3, 255]]))
bad_idat = bytes([good[0], good[1]]) + bytes(b ^ 0x5A for b in good[2:])
corrupt_png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 1, 1, 8, 6, 0, 0, 0)) +
               chunk(b'IDAT', bad_idat) + chunk(b'IEND', b''))

files = {
    'gdi_rgba.png': rgba_png,
    'gdi_palette.png': palette_png,
    'gdi_grey16.png': grey16_png,
    'gdi_interlaced.png': interlaced_png,
    'gdi_huge.png': huge_png,
    'gdi_corrupt.png': corrupt_png,
    'gdi_truncated.png': rgba_png[:len(rgba_png) - 30],
}


def bmp_file(dib, palette_size=0):
    offset = 14 + 40 + palette_size
    return b'BM' + struct.pack('<IHHI', 14 + len(dib), 0, 0, offset) + dib


def info_header(width, height, bits, colors_used=0, size_image=0):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, size_image, 2835, 2835, colors_used, 0)


# 1 x 4, 24 bits, bottom-up: a vertical gradient like the meter brushes.
# Rows top to bottom: (0,0,255) (0,0,192) (0,0,128) (0,0,64) in RGB.
grad_rows_top_first = [(0, 0, 255), (0, 0, 192), (0, 0, 128), (0, 0, 64)]
grad = b''
for r, g, b in reversed(grad_rows_top_first):
    grad += bytes([b, g, r]) + b'\x00'  # padded to 4 bytes
files['gdi_gradient.bmp'] = bmp_file(info_header(1, 4, 24) + grad)

# 3 x 2, 8 bits with a 3-colour palette, top-down (negative height).
pal = bytes([0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0])  # red, green, blue (B, G, R, 0)
pix = bytes([0, 1, 2, 0]) + bytes([2, 1, 0, 0])
files['gdi_palette8.bmp'] = bmp_file(info_header(3, -2, 8, colors_used=3) + pal + pix, palette_size=12)


def ico(entries):
    """entries: list of (width, height, bits, data)."""
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    dirs = b''
    blobs = b''
    for w, h, bits, data in entries:
        dirs += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, bits, len(data), offset + len(blobs))
        blobs += data
    return head + dirs + blobs


def ico_dib(width, height, bits, pixel, mask):
    """pixel(x, y) -> (r, g, b, a); mask(x, y) -> 0 or 1; rows top first."""
    stride = ((width * bits + 31) // 32) * 4
    data = b''
    for y in reversed(range(height)):
        row = b''
        for x in range(width):
            r, g, b, a = pixel(x, y)
            row += bytes([b, g, r]) + (bytes([a]) if bits == 32 else b'')
        data += row + b'\x00' * (stride - len(row))
    mstride = ((width + 31) // 32) * 4
    for y in reversed(range(height)):
        bitsrow = bytearray(mstride)
        for x in range(width):
            if mask(x, y):
                bitsrow[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bitsrow)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    return header + data


# 4 x 4, 24 bits: a red square with a transparent left column.
small = ico_dib(4, 4, 24, lambda x, y: (0, 0, 0, 0) if x == 0 else (255, 0, 0, 0), lambda x, y: 1 if x == 0 else 0)
# 8 x 8, 32 bits with alpha: blue, alpha 128 on the top row, 255 elsewhere.
large = ico_dib(8, 8, 32, lambda x, y: (0, 0, 255, 128 if y == 0 else 255), lambda x, y: 0)
files['gdi_icon.ico'] = ico([(4, 4, 24, small), (8, 8, 32, large)])

# 2 x 2 TGA, 24 bits, top-down: red, green / blue, white.
tga = bytes([0, 0, 2]) + bytes(9) + struct.pack('<HHBB', 2, 2, 24, 0x20)
for r, g, b in [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]:
    tga += bytes([b, g, r])
files['gdi_sample.tga'] = tga

for name, data in files.items():
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)

os.makedirs(CORPUS, exist_ok=True)
seeds = {
    'rgba.png': rgba_png,
    'palette_trns.png': palette_png,
    'grey16.png': grey16_png,
    'interlaced.png': interlaced_png,
    'truncated.png': rgba_png[:len(rgba_png) - 30],
    'corrupt.png': corrupt_png,
}
for name, data in seeds.items():
    with open(os.path.join(CORPUS, name), 'wb') as f:
        f.write(data)

BMP_CORPUS = os.path.join(HERE, '..', '..', '..', 'fuzz', 'corpus', 'bmp')
os.makedirs(BMP_CORPUS, exist_ok=True)
bmp_seeds = {
    'gradient24.bmp': files['gdi_gradient.bmp'],
    'palette8_topdown.bmp': files['gdi_palette8.bmp'],
    'two_entries.ico': files['gdi_icon.ico'],
    'truncated.bmp': files['gdi_gradient.bmp'][:60],
}
for name, data in bmp_seeds.items():
    with open(os.path.join(BMP_CORPUS, name), 'wb') as f:
        f.write(data)
