#!/usr/bin/env python3
"""Makes the bundled sample package samples/sample.chP and its CG samples/sample.bmp:
the character drawings of sample_art.py packed into one 24-bit sheet, and a definition
with the fifteen animes that have buttons.

    tools/make_sample.py [FOLDER]    (default: samples/ beside tools/)
"""
import pathlib
import struct
import sys

sys.dont_write_bytecode = True  # no cache folder beside the generator
import sample_art as art  # noqa: E402

VIEW_W, VIEW_H = 121, 271
GROUND = 237  # the row under the character's feet in the view
CX = 60       # the view's centre column
SHEET_W = 4 * VIEW_W
STAND_H = 250
STAND_SCALE = 1.25
FRAME_WAIT = 80

POSES = {  # name -> keyword arguments of art.character
    "neutral": {}, "half": {"eyes": "half"}, "closed": {"eyes": "closed"},
    "look_l": {"look": -3.5}, "look_r": {"look": 3.5}, "talk": {"mouth": "talk"},
    "happy": {"eyes": "happy", "mouth": "open", "hands": "cheer", "blush": 0.65},
    "joy": {"eyes": "happy", "mouth": "laugh", "hands": "up", "blush": 0.8},
    "shock": {"eyes": "shock", "mouth": "o", "hands": "side", "blush": 0.2},
    "wince": {"eyes": "x", "mouth": "teeth", "hands": "in", "blush": 0.3},
    "dizzy": {"eyes": "swirl", "mouth": "wavy", "blush": 0.3},
    "sad": {"brows": "sad", "mouth": "frown", "blush": 0.3},
    "cry": {"eyes": "tight", "brows": "sad", "mouth": "wail", "tears": True},
    "determined": {"brows": "angry", "mouth": "grin", "hands": "cheer"},
    "wink": {"eyes": ("open", "happy"), "mouth": "tongue", "hands": "up", "blush": 0.7},
    "nervous": {"eyes": "small", "brows": "sad", "mouth": "wavy", "hands": "in", "blush": 0.2},
}
STANDS = {"stand_open": {}, "stand_closed": {"eyes": "closed"}, "stand_happy": {"eyes": "happy"}}


class Sheet:
    """The CG: cells placed on a sheet, and the pattern number of every rectangle."""

    def __init__(self):
        self.cells = {}      # name -> (x, y, w, h)
        self.jobs = []       # (shapes, x, y, w, h, scale, dx, dy)
        self.patterns = []   # rectangles; pattern n is patterns[n - 1]
        self.height = 0

    def add(self, name, rect, shapes, scale=1.0, dx=0.0, dy=0.0):
        if name in self.cells:
            raise SystemExit("two cells named " + name)
        self.cells[name] = rect
        self.jobs.append((shapes,) + rect + (scale, dx, dy))
        self.height = max(self.height, rect[1] + rect[3])
        self.number(rect)

    def number(self, rect):
        """The pattern number of a rectangle, defining it on first use."""
        if rect not in self.patterns:
            self.patterns.append(rect)
            if len(self.patterns) > 255:
                raise SystemExit("more than 255 patterns")
        return self.patterns.index(rect) + 1

    def pixels(self):
        canvas = art.Canvas(SHEET_W, self.height + 1)  # a free last row keeps the key colour bottom right
        for shapes, x, y, w, h, scale, dx, dy in self.jobs:
            canvas.render(shapes, x, y, w, h, scale, dx, dy)
        return canvas


def build_sheet():
    sheet = Sheet()
    sheet.add("background", (0, 0, VIEW_W, VIEW_H), art.background(VIEW_W, VIEW_H))
    dx, dy = CX + 0.5 - art.CELL / 2 * STAND_SCALE, GROUND - art.CELL * STAND_SCALE
    for i, (name, pose) in enumerate(STANDS.items()):
        sheet.add(name, ((i + 1) * VIEW_W, 0, VIEW_W, STAND_H), art.character(**pose), STAND_SCALE, dx, dy)
    per_row = SHEET_W // art.CELL
    for i, (name, pose) in enumerate(POSES.items()):
        rect = ((i % per_row) * art.CELL, VIEW_H + (i // per_row) * art.CELL, art.CELL, art.CELL)
        sheet.add(name, rect, art.character(**pose))
    x, y, shelf = 0, sheet.height, 0
    for name, (w, h, shapes) in sorted(art.effects().items(), key=lambda e: -e[1][1]):
        if x + w > SHEET_W:
            x, y, shelf = 0, y + shelf, 0
        sheet.add(name, (x, y, w, h), shapes)
        x, shelf = x + w, max(shelf, h)
    return sheet


# ---- placements: where a cell lands in the view, and how large

def body(cx=CX, bottom=GROUND, sx=1.0, sy=1.0):
    w, h = round(art.CELL * sx), round(art.CELL * sy)
    return (round(cx - w / 2), round(bottom) - h, w, h)


def spot(size, cx, cy, scale=1.0):
    w, h = max(1, round(size[0] * scale)), max(1, round(size[1] * scale))
    return (round(cx - w / 2), round(cy - h / 2), w, h)


def head_top(place):
    """The view point on top of the character's head in a body placement."""
    x, y, w, h = place
    return x + w / 2, y + h * 14 / art.CELL


class Anime:
    """The frames of one anime: a cell with its placement (None: point copy), and a layer."""

    def __init__(self, number, role, loop=0):
        self.number, self.role, self.loop = number, role, loop
        self.frames = []

    def add(self, cell, place=None, layer=None, layer_place=None, repeat=1):
        self.frames += [(cell, place, layer, layer_place)] * repeat
        return self


def animes(effect_size):
    size = lambda name: effect_size[name][2:]
    breath = [(1, 1), (1.01, .99), (1.02, .978), (1.03, .968), (1.02, .978), (1.01, .99), (1, 1), (.995, 1.008)]
    hop = [GROUND, GROUND - 6, GROUND - 10, GROUND - 12, GROUND - 10, GROUND - 6, GROUND]
    result = []

    a = Anime(1, "通常１: 呼吸とまばたき、空の星がまたたく")
    for i in range(32):
        sx, sy = breath[i % 8]
        eyes = {20: "half", 21: "closed", 22: "closed", 23: "half"}.get(i, "neutral")
        twinkle = {8: .35, 9: .7, 10: 1.0, 11: .7, 12: .35}.get(i)
        a.add(eyes, body(sx=sx, sy=sy), "sparkle" if twinkle else None,
              spot(size("sparkle"), 44, 88, twinkle) if twinkle else None)
    result.append(a)

    a = Anime(2, "通常２: きょろきょろして、鼻歌")
    a.add("neutral", body(), repeat=4).add("look_l", body(CX - 2), repeat=8).add("neutral", body(), repeat=3)
    a.add("look_r", body(CX + 2), repeat=8).add("neutral", body(), repeat=3)
    for i in range(10):
        a.add("talk" if i % 4 < 2 else "neutral", body(sy=1 - .015 * (i % 2)), "note",
              spot(size("note"), 92 + i, 150 - 5 * i))
    result.append(a)

    a = Anime(3, "おじゃま: おじゃまブロックを投げる")
    for i in range(12):
        bottom = hop[i % 6] if i >= 6 else GROUND
        block = spot(size("block"), 92 + 6 * i, 176 - 30 * i) if i < 6 else None
        a.add("determined", body(bottom=bottom, sy=.94 if i == 6 else 1), "block" if block else None, block)
    result.append(a)

    a = Anime(4, "ミス: びっくりして、冷や汗")
    a.add("shock", body(sx=1.08, sy=.92), "bang", spot(size("bang"), CX, 142, .6))
    for bottom, scale in ((228, 1.2), (224, 1.0), (226, 1.0)):
        a.add("shock", body(bottom=bottom, sx=.96, sy=1.05), "bang", spot(size("bang"), CX, bottom - 98, scale))
    a.add("shock", body(sx=1.1, sy=.9), "bang", spot(size("bang"), CX, 142))
    for i in range(9):
        a.add("sad", body(sy=1 - .01 * (i % 2)), "sweat", spot(size("sweat"), 90, 168 + 2 * i))
    result.append(a)

    a = Anime(5, "立ち: 全身の絵をそのまま表示（点コピー）")
    a.add("stand_open", repeat=18).add("stand_closed", repeat=2).add("stand_open", repeat=10)
    a.add("stand_happy", repeat=8).add("stand_open", repeat=4)
    result.append(a)

    a = Anime(6, "喜び１: 二回跳ねて、ハート")
    for i in range(14):
        a.add("happy", body(bottom=hop[i % 7]), "heart", spot(size("heart"), 94, 156 - 4 * i, .6 + .04 * i))
    result.append(a)

    a = Anime(7, "喜び２: 大ジャンプ")
    jump = [(GROUND, 1.12, .86), (GROUND, 1.12, .86), (226, .9, 1.12), (202, .95, 1.06), (184, 1, 1), (174, 1, 1),
            (172, 1, 1), (177, 1, 1), (190, .97, 1.03), (212, .92, 1.1), (GROUND, 1.16, .82), (GROUND, 1.06, .93)]
    for i, (bottom, sx, sy) in enumerate(jump):
        sparkle = 4 <= i <= 11
        a.add("joy" if 2 <= i <= 9 else "happy", body(bottom=bottom, sx=sx, sy=sy), "sparkles" if sparkle else None,
              spot(size("sparkles"), CX, 96 + 4 * (i - 4), .8 + .1 * (i % 3)) if sparkle else None)
    a.add("happy", body(), repeat=4)
    result.append(a)

    a = Anime(8, "喜び３: くるりと回ってウインク")
    spin = [("neutral", 1), ("look_r", .65), ("look_r", .3), ("look_l", .3), ("look_l", .65), ("neutral", 1)]
    for i, (cell, sx) in enumerate(spin + spin):
        bottom = GROUND - [0, 10, 18, 22, 24, 22, 18, 14, 10, 6, 3, 0][i]
        a.add(cell, body(bottom=bottom, sx=sx), "sparkle", spot(size("sparkle"), 30 + 5 * i, 120 - 3 * i, .5 + .05 * i))
    for i in range(8):
        a.add("wink", body(sy=1 - .02 * (i % 2)), "heart", spot(size("heart"), 92, 146 - 3 * i, .8))
    result.append(a)

    a = Anime(10, "ダメージ１: 小さくよろける")
    for i, cx in enumerate((55, 65, 56, 63, 58, 61, 60, 60)):
        a.add("wince", body(cx), "sweat" if i >= 3 else None, spot(size("sweat"), 92, 170 + 2 * i) if i >= 3 else None)
    result.append(a)

    a = Anime(11, "ダメージ２: 衝撃でつぶれる")
    for i, (cx, sx, sy, scale) in enumerate(((60, 1.14, .84, .7), (54, 1.12, .86, 1.2), (50, 1.06, .92, 1.0),
                                             (51, 1, 1, .6), (54, 1, 1, 0), (57, 1, 1, 0), (59, 1, 1, 0))):
        a.add("wince", body(cx, sx=sx, sy=sy), "burst" if scale else None,
              spot(size("burst"), cx + 8, 192, scale) if scale else None)
    a.add("sad", body(), repeat=5)
    result.append(a)

    a = Anime(12, "ダメージ３: 吹き飛んで目を回す")
    for i, bottom in enumerate((GROUND, 224, 206, 196, 194, 202, 220)):
        a.add("wince", body(CX - i, bottom, sx=1.12 if i == 0 else .95, sy=.86 if i == 0 else 1.05),
              "burst" if i < 3 else None, spot(size("burst"), CX + 4, 190 - 8 * i, 1.4 - .2 * i) if i < 3 else None)
    a.add("dizzy", body(sx=1.2, sy=.76)).add("dizzy", body(sx=1.08, sy=.9))
    for i in range(14):
        place = body(sy=1 - .02 * (i % 2))
        hx, hy = head_top(place)
        a.add("dizzy", place, "stars", spot(size("stars"), hx + (-4, 0, 4, 0)[i % 4], hy - 13))
    result.append(a)

    a = Anime(15, "勝ち: 跳び上がってから、ＷＩＮで跳ね続ける", loop=6)
    for i, (bottom, sx, sy, scale) in enumerate(((GROUND, 1.1, .88, .3), (220, .92, 1.1, .6), (204, 1, 1, .9),
                                                 (210, 1, 1, 1.15), (228, .95, 1.06, 1.05), (GROUND, 1.12, .86, 1))):
        a.add("joy", body(bottom=bottom, sx=sx, sy=sy), "win", spot(size("win"), CX, 108, scale))
    for i, bottom in enumerate(hop + [GROUND]):
        a.add("joy" if i < 7 else "happy", body(bottom=bottom, sx=1.08 if i == 7 else 1, sy=.9 if i == 7 else 1),
              "win", spot(size("win"), CX, 108 + (i % 2), 1 + .04 * (i % 2)))
    result.append(a)

    a = Anime(16, "負け: しょんぼりして、泣き続ける", loop=6)
    a.add("shock", body(), repeat=2).add("sad", body(), repeat=2).add("sad", body(sx=1.06, sy=.93))
    a.add("cry", body(sx=1.1, sy=.88))
    for i in range(6):
        place = body(CX + (-1, 1)[i % 2], sx=1.1, sy=.88 + .02 * (i % 2))
        hx, hy = head_top(place)
        a.add("cry", place, "cloud", spot(size("cloud"), hx, hy - 26 + (i % 3)))
    result.append(a)

    a = Anime(17, "完全勝利: ＰＥＲＦＥＣＴ！のあと、王冠で跳ねる", loop=10)
    for i, (bottom, sx, sy) in enumerate(((GROUND, 1.12, .86), (222, .92, 1.1), (196, 1, 1.04), (180, 1, 1),
                                          (176, 1, 1), (182, 1, 1), (198, 1, 1.02), (220, .94, 1.08),
                                          (GROUND, 1.16, .84), (GROUND, 1.04, .96))):
        a.add("joy", body(bottom=bottom, sx=sx, sy=sy), "perfect",
              spot(size("perfect"), CX, 92, (.2, .45, .7, .95, 1.15, 1.05, 1, 1, 1, 1)[i]))
    for i, bottom in enumerate(hop + [GROUND]):
        place = body(bottom=bottom, sx=1.08 if i == 7 else 1, sy=.9 if i == 7 else 1)
        hx, hy = head_top(place)
        a.add("wink", place, "crown", spot(size("crown"), hx - 1, hy - 12, .8))
    result.append(a)

    a = Anime(18, "おじゃまされてる: 降ってくるおじゃまにおびえる")
    for i in range(12):
        a.add("nervous", body(CX + (0, -1, 0, 1)[i % 4]), "blocks", spot(size("blocks"), CX, 6 + 13 * i))
    result.append(a)
    return result


# ---- output

def bmp24(canvas):
    stride = (canvas.width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for r, g, b in canvas.pixels[y * canvas.width:(y + 1) * canvas.width]:
            row += bytes((b, g, r))
        rows.append(bytes(row.ljust(stride, b"\0")))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54) + info + data


def pairs(numbers):
    return "".join("%02X" % n for n in numbers)


def anime_lines(sheet, a):
    """The lines of one anime; numbers its placements on the sheet."""
    number = lambda cell: sheet.number(sheet.cells[cell]) if cell else 0
    lines = ["", "// %02d %s" % (a.number, a.role)]
    src = pairs(number(f[0]) for f in a.frames)
    if a.frames[0][1] is None:
        lines.append("#PATERN %02d %s" % (a.number, src))
    else:
        lines.append("#PATERN %02d %s %s" % (a.number, src, pairs(sheet.number(f[1]) for f in a.frames)))
    if any(f[2] for f in a.frames):
        dst = pairs(sheet.number(f[3]) if f[2] else 0 for f in a.frames)
        lines.append("#LAYER %02d %s %s" % (a.number, pairs(number(f[2]) for f in a.frames), dst))
    if a.loop:
        lines.append("#LOOP %02d %d" % (a.number, a.loop))
    return lines


def definition(sheet, anime_list):
    animes_text = [line for a in anime_list for line in anime_lines(sheet, a)]
    names = {rect: name for name, rect in sheet.cells.items()}
    lines = ["// ぽめるん: Pomelune! の見本キャラクター（tools/make_sample.py が作るファイルです）",
             "#CHARNAME ぽめるん", "#ARTIST Pomelune!", "#CHARBMP sample.bmp", "#SIZE %d" % VIEW_W,
             "#ANIME %d" % FRAME_WAIT, "",
             "// パターン番号は16進数。01は背景、名前のない矩形は描画先の配置にだけ使う",
             "#DATA 16"]
    for n, rect in enumerate(sheet.patterns, 1):
        lines.append("#%02X %d %d %d %d" % ((n,) + rect) + ("   / " + names[rect] if rect in names else ""))
    return ("\r\n".join(lines + animes_text) + "\r\n").encode("cp932")


def main(folder):
    sheet = build_sheet()
    anime_list = animes(sheet.cells)
    chp = definition(sheet, anime_list)  # numbers the placements before the sheet is drawn
    out = pathlib.Path(folder)
    out.mkdir(parents=True, exist_ok=True)
    (out / "sample.bmp").write_bytes(bmp24(sheet.pixels()))
    (out / "sample.chP").write_bytes(chp)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent / "samples")
