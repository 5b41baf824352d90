#!/usr/bin/env python3
# Draws the window's icon, a smiling pomelo with a leaf, into pomelune.png (64 x 64,
# RGBA). Run from this folder; the output is committed beside it.
import math
import struct
import zlib

SIZE = 64


def pixel(x, y):
    cx, cy, r = 31.5, 35.5, 25.0
    dx, dy = x - cx, y - cy
    d = math.hypot(dx, dy)
    # Leaf: an ellipse tilted over the top right.
    lx, ly = x - 42, y - 10
    u = (lx * math.cos(0.6) + ly * math.sin(0.6)) / 11
    v = (-lx * math.sin(0.6) + ly * math.cos(0.6)) / 5
    if u * u + v * v <= 1 and d > r - 2:
        shade = 0.8 + 0.2 * (1 - abs(v))
        return (int(60 * shade), int(150 * shade), int(50 * shade), 255)
    if d > r + 0.5:
        return (0, 0, 0, 0)
    alpha = int(255 * min(1.0, r + 0.5 - d))
    # Eyes and mouth.
    if math.hypot(x - 23, y - 32) < 2.6 or math.hypot(x - 40, y - 32) < 2.6:
        return (60, 40, 20, alpha)
    if 3 < math.hypot(x - 31.5, y - 38) < 6.2 and y > 40:
        return (150, 60, 40, alpha)
    if math.hypot(x - 18, y - 41) < 3.5 or math.hypot(x - 45, y - 41) < 3.5:
        return (250, 160, 120, alpha)
    # Rind: lit from the top left, dimpled.
    light = max(0.0, 1 - math.hypot(x - 22, y - 24) / 40)
    dimple = 0.04 * math.sin(x * 1.7) * math.sin(y * 1.9)
    k = 0.72 + 0.35 * light + dimple
    return (min(255, int(240 * k)), min(255, int(215 * k)), min(255, int(70 * k)), alpha)


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


with open("pomelune.png", "wb") as out:
    out.write(png([[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]))
