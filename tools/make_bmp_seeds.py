#!/usr/bin/env python3
"""Writes the seed inputs of the LoadBMP fuzz target: two bytes giving the
surfaces' size (width - 1, height - 1), then a small BMP file."""
import pathlib
import struct
import sys


def bmp(width, height, bits, pixel):
    """A BMP of `bits` per pixel; pixel(x, y) gives the stored value, rows top-down."""
    palette = b"".join(struct.pack("<I", (i * 0x010203) & 0xFFFFFF) for i in range(256)) if bits == 8 else b""
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = b"".join(pixel(x, y).to_bytes(bits // 8, "little") for x in range(width))
        rows.append(row.ljust(stride, b"\0"))
    if height > 0:
        rows.reverse()  # stored bottom-up
    offset = 54 + len(palette)
    data = palette + b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 2835, 2835, len(palette) // 4, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(data), 0, 0, offset) + info + data


def main(folder):
    out = pathlib.Path(folder)
    out.mkdir(parents=True, exist_ok=True)
    seeds = {
        "seed_8bit_5x3": (bytes([4, 2]), bmp(5, 3, 8, lambda x, y: x * 40 + y)),
        "seed_16bit_7x4": (bytes([6, 3]), bmp(7, 4, 16, lambda x, y: (x << 10) | (y << 5) | (x ^ y))),
        "seed_24bit_6x5": (bytes([5, 4]), bmp(6, 5, 24, lambda x, y: (x * 40 << 16) | (y * 50 << 8) | 0x80)),
        "seed_32bit_3x3": (bytes([2, 2]), bmp(3, 3, 32, lambda x, y: 0xFF000000 | (x * 80 << 16) | (y * 80))),
        "seed_24bit_bigger_than_surface": (bytes([1, 1]), bmp(9, 7, 24, lambda x, y: x * 0x102030 + y)),
        "seed_24bit_negative_height": (bytes([3, 3]), bmp(4, -4, 24, lambda x, y: (x << 20) | (y << 4))),
        "seed_24bit_truncated": (bytes([7, 7]), bmp(8, 8, 24, lambda x, y: x * 0x030507 + y)[:54 + 40]),
    }
    for name, (prefix, body) in seeds.items():
        (out / name).write_bytes(prefix + body)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "fuzz/corpus/loadbmp_fuzz")
