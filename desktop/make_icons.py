#!/usr/bin/env python3
# Draws the program's icon at the other sizes of the hicolor theme into
# icons/pomelune-SIZE.png, from the 64 x 64 drawing in app/icon/make_icon.py, each
# pixel averaged over 4 x 4 samples. Run from this folder; the output is committed.
import ast
import pathlib

SIZES = (16, 32, 48, 128, 256)
SAMPLES = 4

# The drawing's functions without its own write of the 64 x 64 file.
script = pathlib.Path(__file__).resolve().parent.parent / "app" / "icon" / "make_icon.py"
tree = ast.parse(script.read_text())
tree.body = [node for node in tree.body if not isinstance(node, ast.With)]
drawing = {}
exec(compile(tree, str(script), "exec"), drawing)
BASE = drawing["SIZE"]


def averaged(x, y, size):
    """The pixel at x, y of the icon at this size, alpha-weighted over its samples."""
    red = green = blue = alpha = 0
    for i in range(SAMPLES):
        for j in range(SAMPLES):
            r, g, b, a = drawing["pixel"]((x + (i + 0.5) / SAMPLES) * BASE / size - 0.5,
                                          (y + (j + 0.5) / SAMPLES) * BASE / size - 0.5)
            red, green, blue, alpha = red + r * a, green + g * a, blue + b * a, alpha + a
    if alpha == 0:
        return (0, 0, 0, 0)
    return (round(red / alpha), round(green / alpha), round(blue / alpha), round(alpha / SAMPLES**2))


pathlib.Path("icons").mkdir(exist_ok=True)
for size in SIZES:
    drawing["SIZE"] = size  # the header size png() writes
    rows = [[averaged(x, y, size) for x in range(size)] for y in range(size)]
    pathlib.Path(f"icons/pomelune-{size}.png").write_bytes(drawing["png"](rows))
