#!/usr/bin/env bash
# Makes the bitmap fixtures of the definition check's CG warnings, 8 x 4 pixels each,
# written as paint programs write them: ImageMagick's convert for the header
# variants, run-length compression and 5-6-5 pixels, and a small Python writer for
# what convert does not write (rows stored top down, a palette shorter than the
# indices used, a file cut short). The output under tests/fixtures/bitmaps is
# committed, so the tests need neither.
set -eu

out=$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/bitmaps
rm -rf "$out"
mkdir -p "$out"
cd "$out"

# 32 colours, one per pixel: red across, green down.
picture=(-size 8x4 xc: -channel R -fx i/7 -channel G -fx j/3 +channel)
convert "${picture[@]}" -type Palette -compress none BMP3:plain8.bmp
convert "${picture[@]}" -type TrueColor -compress none BMP3:plain24.bmp
convert "${picture[@]}" -type TrueColor -compress none BMP:info124-24bit.bmp
convert "${picture[@]}" -define bmp:subtype=RGB555 BMP:rgb555.bmp
convert "${picture[@]}" -type Palette -compress none -intent undefined BMP:info108.bmp
convert "${picture[@]}" -type Palette -compress none BMP:info124.bmp
convert "${picture[@]}" -type Palette -compress RLE BMP3:rle8.bmp
convert "${picture[@]}" -define bmp:subtype=RGB565 BMP:rgb565.bmp

python3 - <<'PY'
import struct

def bmp(name, bits, height, palette, pixel, keep=None):
    """An 8-pixel-wide BMP with a 40-byte header; pixel(x, y) gives the stored value."""
    width, rows = 8, abs(height)
    stride = (width * bits // 8 + 3) & ~3
    offset = 54 + 4 * len(palette)
    data = b""
    for r in range(rows):
        y = r if height < 0 else rows - 1 - r  # stored rows: top-down when the height is negative
        row = b"".join(pixel(x, y).to_bytes(bits // 8, "little") for x in range(width))
        data += row.ljust(stride, b"\0")
    body = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(palette), 0)
    body += b"".join(struct.pack("<I", c) for c in palette) + data
    file = b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body
    with open(name, "wb") as f:
        f.write(file[:keep])

colour = lambda x, y: (x * 32) << 16 | (y * 64) << 8
bmp("topdown.bmp", 24, -4, [], colour)
bmp("short.bmp", 24, 4, [], colour, keep=54 + 24 * 3 + 10)
bmp("palette4.bmp", 8, 4, [0x000000, 0xFF0000, 0x00FF00, 0x0000FF], lambda x, y: x)
PY
