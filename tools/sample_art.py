"""The drawings of the bundled sample package: a small anti-aliased shape renderer and
the background, the character and the effect cells drawn with it."""
import math

KEY = (255, 0, 255)  # the CG's colour key; nothing drawn may have this colour
SAMPLES = 3  # samples per pixel along each axis


# ---- shapes: (left, top, right, bottom, fn); fn(x, y) gives a colour, (r, g, b, alpha) or None

def _paint(paint):
    return paint if callable(paint) else (lambda x, y: paint)


def ellipse(cx, cy, rx, ry, paint, angle=0.0):
    colour = _paint(paint)
    ca, sa = math.cos(angle), math.sin(angle)
    r = max(rx, ry)

    def fn(x, y):
        dx, dy = x - cx, y - cy
        u, v = (dx * ca + dy * sa) / rx, (dy * ca - dx * sa) / ry
        return colour(x, y) if u * u + v * v <= 1.0 else None
    return (cx - r, cy - r, cx + r, cy + r, fn)


def polygon(points, paint):
    colour = _paint(paint)
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def fn(x, y):
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return colour(x, y) if inside else None
    return (min(xs), min(ys), max(xs), max(ys), fn)


def stroke(points, width, paint):
    colour = _paint(paint)
    half = width / 2.0
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    segments = list(zip(points, points[1:]))

    def fn(x, y):
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            length = dx * dx + dy * dy
            t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
            px, py = ax + t * dx - x, ay + t * dy - y
            if px * px + py * py <= half * half:
                return colour(x, y)
        return None
    return (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half, fn)


def clipped(shape, keep):
    left, top, right, bottom, fn = shape
    return (left, top, right, bottom, lambda x, y: fn(x, y) if keep(x, y) else None)


def arc(cx, cy, rx, ry, start, end, steps=14):
    """Points on an ellipse from angle start to end in degrees (y grows downwards)."""
    return [(cx + rx * math.cos(math.radians(a)), cy + ry * math.sin(math.radians(a)))
            for a in (start + (end - start) * i / steps for i in range(steps + 1))]


def outlined(cx, cy, rx, ry, paint, line, width=1.5, angle=0.0):
    """An ellipse over a slightly larger one in the line colour."""
    return [ellipse(cx, cy, rx + width, ry + width, line, angle), ellipse(cx, cy, rx, ry, paint, angle)]


def lit(cx, cy, rx, ry, base, ambient=0.58, shine=0.45):
    """Paint of a lit ball: light from the upper left, a soft highlight, darker rim."""
    def paint(x, y):
        u, v = (x - cx) / rx, (y - cy) / ry
        nz = math.sqrt(max(0.0, 1.0 - u * u - v * v))
        light = max(0.0, -0.48 * u - 0.62 * v + 0.62 * nz)
        k = ambient + (1.0 - ambient) * light
        glow = shine * math.exp(-((u + 0.36) ** 2 + (v + 0.46) ** 2) / 0.035)
        return tuple(min(255.0, c * k + 255 * glow) for c in base)
    return paint


def vertical(stops):
    """Paint of a vertical gradient through (y, colour) stops."""
    def paint(x, y):
        for (y0, c0), (y1, c1) in zip(stops, stops[1:]):
            if y <= y1:
                t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
                return tuple(a + (b - a) * t for a, b in zip(c0, c1))
        return stops[-1][1]
    return paint


# ---- rendering

class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [KEY] * (width * height)

    def render(self, shapes, left, top, width, height, scale=1.0, dx=0.0, dy=0.0):
        """Draws shapes (bottom first) into the box; the point (px, py) of the box shows the
        shape point ((px - dx) / scale, (py - dy) / scale). A pixel that shapes cover at
        least half gets the mean of the covered samples; the others stay as they are, so a
        sprite keeps a hard edge against the key colour."""
        step = 1.0 / SAMPLES
        for py in range(height):
            for px in range(width):
                x0, y0 = (px - dx) / scale, (py - dy) / scale
                x1, y1 = (px + 1 - dx) / scale, (py + 1 - dy) / scale
                near = [s[4] for s in shapes if s[0] <= x1 and s[2] >= x0 and s[1] <= y1 and s[3] >= y0]
                if not near:
                    continue
                hits = []
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        x = (px + (sx + 0.5) * step - dx) / scale
                        y = (py + (sy + 0.5) * step - dy) / scale
                        colour = None
                        for fn in near:
                            c = fn(x, y)
                            if c is None:
                                continue
                            if len(c) == 4 and colour is not None:
                                a = c[3]
                                colour = tuple(o * (1 - a) + n * a for o, n in zip(colour, c[:3]))
                            else:
                                colour = c[:3]
                        if colour is not None:
                            hits.append(colour)
                if 2 * len(hits) >= SAMPLES * SAMPLES:
                    mean = tuple(int(round(sum(c[i] for c in hits) / len(hits))) for i in range(3))
                    self.pixels[(top + py) * self.width + left + px] = (254, 0, 254) if mean == KEY else mean


# ---- the background: a night sky with the moon over a meadow

def _random(seed):
    state = seed
    while True:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        yield state / 0x7FFFFFFF


def background(width, height):
    sky = vertical([(0, (14, 18, 52)), (110, (38, 38, 98)), (180, (104, 66, 128)), (222, (214, 128, 132))])
    shapes = [(0, 0, width, height, sky)]
    rnd = _random(7)
    for _ in range(46):
        x, y, b = next(rnd) * width, next(rnd) * 175, next(rnd)
        if (x - 86) ** 2 + (y - 46) ** 2 < 32 ** 2:
            continue
        c = (200 + 55 * b, 200 + 50 * b, 170 + 70 * b, 0.45 + 0.55 * b)
        shapes.append(ellipse(x, y, 0.55 + 0.5 * b, 0.55 + 0.5 * b, c))
    for x, y in ((18, 30), (44, 88), (106, 118), (30, 150)):
        shapes += [stroke([(x - 4, y), (x + 4, y)], 1.0, (255, 250, 210, 0.8)),
                   stroke([(x, y - 4), (x, y + 4)], 1.0, (255, 250, 210, 0.8)),
                   ellipse(x, y, 1.3, 1.3, (255, 255, 235))]
    shapes += [ellipse(86, 46, 34, 34, (255, 236, 190, 0.07)), ellipse(86, 46, 25, 25, (255, 236, 190, 0.10))]
    moon = clipped(ellipse(86, 46, 18, 18, lit(86, 46, 18, 18, (255, 240, 190), 0.75, 0.2)),
                   lambda x, y: (x - 94) ** 2 + (y - 40) ** 2 > 16 ** 2)
    shapes.append(moon)
    for cx, cy, r in ((76, 52, 2.2), (80, 40, 1.4)):
        shapes.append(clipped(ellipse(cx, cy, r, r, (226, 208, 160)), moon[4]))

    def hill(base, waves, paint):
        points = [(x, base + sum(a * math.sin(x / p + o) for a, p, o in waves)) for x in range(-2, width + 3, 3)]
        return polygon(points + [(width + 2, height + 1), (-2, height + 1)], paint)
    shapes.append(hill(196, ((7, 17, 0), (4, 7, 1)), vertical([(180, (70, 52, 112)), (230, (44, 36, 80))])))
    shapes.append(hill(214, ((6, 23, 2), (2, 9, 0)), vertical([(200, (46, 86, 98)), (240, (30, 58, 72))])))
    grass = vertical([(224, (112, 190, 96)), (236, (76, 150, 74)), (271, (36, 92, 56))])
    shapes.append(hill(229, ((3, 30, 0.5),), grass))
    for x in range(3, width, 7):
        h = 3 + 3 * next(rnd)
        y = 234 + 30 * next(rnd)
        shapes.append(stroke([(x, y), (x + 1.5, y - h)], 1.2, (40, 110, 58)))
    for x, y, c in ((14, 250, (255, 236, 250)), (34, 262, (255, 196, 214)), (92, 255, (255, 236, 250)),
                    (108, 242, (255, 214, 120)), (70, 266, (255, 196, 214))):
        shapes += [ellipse(x + dx, y + dy, 1.6, 1.6, c) for dx, dy in ((-1.6, 0), (1.6, 0), (0, -1.6), (0, 1.6))]
        shapes.append(ellipse(x, y, 1.1, 1.1, (255, 220, 80)))
    return shapes


# ---- the character: a round pomelo with a leaf, drawn in an 80 x 80 cell

CELL = 80
LINE = (86, 56, 40)
SKIN = (255, 222, 110)
DARK = (60, 36, 44)
MOUTH = (140, 36, 52)
TONGUE = (240, 118, 128)
EYE_Y, EYE_DX, FACE_X, MOUTH_Y = 42, 11, 40, 55

HANDS = {
    "down": ((12, 56), (68, 56)),
    "up": ((9, 24), (71, 24)),
    "cheer": ((12, 56), (71, 22)),
    "side": ((5, 42), (75, 42)),
    "in": ((24, 67), (56, 67)),
}


def _eye(kind, x, y, side):
    """One eye; side is -1 for the left eye, 1 for the right."""
    if kind == "open":
        return [ellipse(x, y, 4.3, 6.0, DARK), ellipse(x - 1.3, y - 2.5, 1.7, 1.7, (255, 255, 255)),
                ellipse(x + 1.3, y + 2.2, 0.9, 0.9, (255, 255, 255))]
    if kind == "half":
        return [clipped(ellipse(x, y, 4.3, 6.0, DARK), lambda px, py: py >= y - 0.5),
                stroke([(x - 5, y - 0.8), (x + 5, y - 0.8)], 1.8, DARK),
                ellipse(x - 1.2, y + 1.2, 1.2, 1.2, (255, 255, 255))]
    if kind == "closed":
        return [stroke(arc(x, y - 1, 5, 3, 15, 165), 1.9, DARK)]
    if kind == "happy":
        return [stroke(arc(x, y + 2, 5, 4.5, 195, 345), 2.1, DARK)]
    if kind == "tight":
        return [stroke([(x - 5.5, y - 2 * side), (x, y + 0.5), (x + 5.5, y + 2 * side)], 2.1, DARK)]
    if kind == "x":
        back = x + 3.5 * side
        return [stroke([(back, y - 4), (x - 3.5 * side, y), (back, y + 4)], 2.1, DARK)]
    if kind == "swirl":
        points = [(x + 0.6 * a * math.cos(a * side), y + 0.6 * a * math.sin(a * side)) for a in
                  (i * 0.35 for i in range(1, 30))]
        return [stroke(points, 1.4, DARK)]
    if kind in ("shock", "small"):
        pupil = 1.9 if kind == "shock" else 1.3
        return [ellipse(x, y, 6.2, 7.2, DARK), ellipse(x, y, 4.9, 5.9, (255, 255, 255)),
                ellipse(x + 0.5 * side, y + 0.5, pupil, pupil * 1.2, DARK)]
    raise ValueError(kind)


def _mouth(kind, x, y):
    if kind == "smile":
        return [stroke(arc(x, y - 2, 5, 3.5, 20, 160), 1.9, DARK)]
    if kind in ("open", "laugh", "grin"):
        rx, ry = {"open": (6, 7), "laugh": (8.5, 9.5), "grin": (7.5, 5)}[kind]
        top = y - 1
        inner = ellipse(x, top, rx, ry, MOUTH)
        return [clipped(ellipse(x, top, rx + 1.5, ry + 1.5, DARK), lambda px, py: py >= top - 1.5),
                clipped(inner, lambda px, py: py >= top),
                clipped(ellipse(x, top + ry * 0.8, rx * 0.6, ry * 0.38, TONGUE),
                        lambda px, py: py >= top and inner[4](px, py) is not None)]
    if kind in ("o", "talk", "wail"):
        rx, ry = {"o": (3.3, 4.2), "talk": (3.6, 2.7), "wail": (7, 6.5)}[kind]
        cy = y + ry - 2
        shapes = outlined(x, cy, rx, ry, MOUTH, DARK, 1.4)
        if kind == "wail":
            shapes.append(clipped(ellipse(x, cy + ry * 0.6, rx * 0.6, ry * 0.4, TONGUE), shapes[1][4]))
        return shapes
    if kind == "frown":
        return [stroke(arc(x, y + 4, 5, 3.5, 200, 340), 1.9, DARK)]
    if kind == "wavy":
        return [stroke([(x - 6 + i * 0.5, y + 1.5 * math.sin(i * 0.5 * 1.2)) for i in range(25)], 1.7, DARK)]
    if kind == "teeth":
        return [polygon([(x - 7.5, y - 2), (x + 7.5, y - 2), (x + 7.5, y + 5), (x - 7.5, y + 5)], DARK),
                polygon([(x - 6, y - 0.7), (x + 6, y - 0.7), (x + 6, y + 3.7), (x - 6, y + 3.7)], (255, 252, 240)),
                stroke([(x - 6, y + 1.5), (x + 6, y + 1.5)], 1.0, DARK)] + \
               [stroke([(x + dx, y - 0.7), (x + dx, y + 3.7)], 0.9, DARK) for dx in (-3, 0, 3)]
    if kind == "tongue":
        return [ellipse(x + 2.5, y + 2.5, 3.0, 3.5, DARK), ellipse(x + 2.5, y + 2.6, 2.0, 2.6, TONGUE)] + \
            _mouth("smile", x, y)
    raise ValueError(kind)


def character(eyes="open", mouth="smile", hands="down", brows=None, look=0.0, blush=0.5, tears=False):
    """The shapes of one pose in cell coordinates (0..80, feet at the bottom)."""
    shapes = [stroke([(40, 18), (40.5, 11), (43, 7.5)], 3.0, (70, 110, 44))]
    shapes += outlined(48, 9, 9.5, 4.2, lit(48, 9, 9.5, 4.2, (112, 190, 80), 0.6, 0.25),
                       (40, 82, 38), 1.4, -0.45)
    shapes.append(stroke([(41.5, 10.5), (54.5, 7.0)], 0.8, (70, 140, 60)))
    for fx in (28, 52):
        shapes += outlined(fx, 74, 8.5, 4.5, lit(fx, 74, 8.5, 4.5, (236, 160, 78), 0.7, 0.2), LINE, 1.4)
    shapes += outlined(40, 45, 31, 29, lit(40, 45, 31, 29, SKIN, 0.7, 0.4), LINE, 1.8)
    for hx, hy in HANDS[hands]:
        shapes += outlined(hx, hy, 6, 5.4, lit(hx, hy, 6, 5.4, SKIN, 0.72, 0.3), LINE, 1.4)
    fx = FACE_X + look
    for side in (-1, 1):
        shapes.append(ellipse(fx + side * 18, 53, 6, 3.4, (250, 120, 110, blush)))
    eye_kinds = eyes if isinstance(eyes, tuple) else (eyes, eyes)
    for side, kind in zip((-1, 1), eye_kinds):
        shapes += _eye(kind, fx + side * EYE_DX, EYE_Y, side)
        if brows:
            inner = 1 if brows == "angry" else -1
            shapes.append(stroke([(fx + side * 15, 32 - 1.5 * inner), (fx + side * 6, 32 + 1.5 * inner)], 1.8, DARK))
        if tears:
            x = fx + side * EYE_DX
            shapes.append(stroke([(x, 47), (x - side * 1.5, 56), (x - side * 0.5, 64)], 3.2, (120, 190, 255, 0.85)))
    return shapes + _mouth(mouth, fx, MOUTH_Y)


# ---- effect cells

def _star(cx, cy, outer, inner, points, rotation=-90.0):
    result = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(rotation + i * 180.0 / points)
        result.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return result


def _sparkle(cx, cy, r, colour=(255, 246, 170)):
    return [polygon(_star(cx, cy, r + 1.2, r * 0.3 + 1.0, 4), (150, 110, 40)),
            polygon(_star(cx, cy, r, r * 0.3, 4), colour), ellipse(cx, cy, r * 0.22, r * 0.22, (255, 255, 255))]


def _drop(cx, cy, r, colour):
    tip = (cx, cy - 2.4 * r)
    shape = lambda d: [ellipse(cx, cy, r + d, r + d, colour if d == 0 else (40, 70, 120)),
                       polygon([(cx - (r + d) * 0.72, cy - (r + d) * 0.7), (tip[0], tip[1] - d * 1.6),
                                (cx + (r + d) * 0.72, cy - (r + d) * 0.7)], colour if d == 0 else (40, 70, 120))]
    return shape(1.2) + shape(0) + [ellipse(cx - r * 0.35, cy - r * 0.2, r * 0.25, r * 0.4, (255, 255, 255))]


def _heart(cx, cy, s):
    return [(cx + s * 16 * math.sin(t) ** 3 / 17,
               cy - s * (13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)) / 17)
            for t in (i * math.pi / 24 for i in range(48))]


def _block(cx, cy, r):
    grey = lit(cx, cy, r, r, (176, 168, 200), 0.6, 0.4)
    return outlined(cx, cy, r, r, grey, (60, 52, 84), 1.4) + [
        stroke([(cx - r * 0.35, cy - r * 0.35), (cx + r * 0.35, cy + r * 0.35)], 1.6, (80, 70, 110)),
        stroke([(cx + r * 0.35, cy - r * 0.35), (cx - r * 0.35, cy + r * 0.35)], 1.6, (80, 70, 110))]


def _note(colour, grow):
    return [ellipse(7, 20, 5 + grow, 3.8 + grow, colour, -0.4), stroke([(11, 19), (11, 3)], 2.0 + 2 * grow, colour),
            stroke([(11, 3), (17, 7), (17, 11)], 2.4 + 2 * grow, colour)]


GLYPHS = {  # 5 x 7 pixel letters, rows top to bottom
    "W": ("10001", "10001", "10001", "10101", "10101", "11011", "10001"),
    "I": ("11111", "00100", "00100", "00100", "00100", "00100", "11111"),
    "N": ("10001", "11001", "10101", "10011", "10001", "10001", "10001"),
    "!": ("00100", "00100", "00100", "00100", "00100", "00000", "00100"),
    "P": ("11110", "10001", "10001", "11110", "10000", "10000", "10000"),
    "E": ("11111", "10000", "10000", "11110", "10000", "10000", "11111"),
    "R": ("11110", "10001", "10001", "11110", "10100", "10010", "10001"),
    "F": ("11111", "10000", "10000", "11110", "10000", "10000", "10000"),
    "C": ("01110", "10001", "10000", "10000", "10000", "10001", "01110"),
    "T": ("11111", "00100", "00100", "00100", "00100", "00100", "00100"),
}


def text_size(text, unit):
    return len(text) * 6 * unit + 2 * unit, 9 * unit


def text(message, unit, top_colour, bottom_colour):
    """Pixel letters with a dark outline and a vertical gradient."""
    paint = vertical([(unit, top_colour), (8 * unit, bottom_colour)])
    cells = [(unit + i * 6 * unit + c * unit, unit + r * unit)
             for i, ch in enumerate(message) for r, row in enumerate(GLYPHS[ch]) for c, bit in enumerate(row) if bit == "1"]
    square = lambda x, y, g, p: polygon([(x - g, y - g), (x + unit + g, y - g), (x + unit + g, y + unit + g),
                                         (x - g, y + unit + g)], p)
    return [square(x, y, unit * 0.7, (70, 30, 20)) for x, y in cells] + [square(x, y, 0, paint) for x, y in cells]


def effects():
    """Name -> (width, height, shapes) of every effect cell."""
    cloud = (150, 158, 186)
    win = text_size("WIN!", 4)
    perfect = text_size("PERFECT!", 2)
    return {
        "sweat": (14, 20, _drop(7, 13, 4.8, (150, 210, 255))),
        "sparkle": (24, 24, _sparkle(12, 12, 10)),
        "sparkles": (56, 44, _sparkle(12, 30, 9) + _sparkle(38, 12, 10, (255, 255, 220)) + _sparkle(46, 36, 6)),
        "heart": (22, 20, [polygon(_heart(11, 10.5, 10.5), (110, 20, 50)), polygon(_heart(11, 10.5, 9),
                           lit(11, 8, 10, 9, (255, 92, 128), 0.7, 0.45))]),
        "burst": (44, 44, [polygon(_star(22, 22, 21, 11, 9), (150, 40, 20)), polygon(_star(22, 22, 19, 10, 9),
                           (255, 140, 40)), polygon(_star(22, 22, 11, 6, 9, -70), (255, 236, 120))]),
        "block": (24, 24, _block(12, 12, 10.5)),
        "blocks": (84, 26, _block(13, 13, 10.5) + _block(42, 13, 10.5) + _block(71, 13, 10.5)),
        "stars": (60, 20, [s for x, y in ((8, 12), (30, 7), (52, 12)) for s in
                           (polygon(_star(x, y, 7.2, 3.4, 5), (120, 80, 20)), polygon(_star(x, y, 6, 2.6, 5), (255, 222, 70)))]),
        "note": (20, 26, _note((70, 40, 90), 1.4) + _note((255, 214, 236), 0)),
        "crown": (40, 28, [polygon([(2, 26), (2, 7), (11, 15), (20, 2), (29, 15), (38, 7), (38, 26)], (110, 70, 10)),
                           polygon([(4, 24), (4, 11), (11, 18), (20, 6), (29, 18), (36, 11), (36, 24)],
                                   vertical([(6, (255, 240, 150)), (24, (230, 160, 30))])),
                           ellipse(20, 20, 3, 3, (230, 40, 70)), ellipse(10, 21, 2.2, 2.2, (60, 150, 240)),
                           ellipse(30, 21, 2.2, 2.2, (60, 200, 120))]),
        "bang": (14, 30, [polygon([(1, 1), (13, 1), (9.5, 20), (4.5, 20)], (110, 20, 20)),
                          polygon([(3, 2.5), (11, 2.5), (8.3, 18.5), (5.7, 18.5)], (255, 70, 60)),
                          ellipse(7, 25.5, 4, 4, (110, 20, 20)), ellipse(7, 25.5, 2.7, 2.7, (255, 70, 60))]),
        "cloud": (56, 40, [stroke([(x, 24), (x - 2, 37)], 1.6, (120, 180, 255)) for x in (15, 27, 39)] +
                  [ellipse(x, y, r + 1.4, r + 1.4, (60, 64, 90)) for x, y, r in ((14, 18, 10), (28, 13, 12), (42, 18, 10))] +
                  [ellipse(x, y, r, r, lit(x, y, r, r, cloud, 0.7, 0.3)) for x, y, r in ((14, 18, 10), (28, 13, 12), (42, 18, 10))]),
        "win": (win[0], win[1], text("WIN!", 4, (255, 250, 170), (255, 150, 40))),
        "perfect": (perfect[0], perfect[1], text("PERFECT!", 2, (255, 255, 200), (255, 110, 150))),
    }
