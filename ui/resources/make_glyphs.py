#!/usr/bin/env python3
"""Writes the tool-bar and menu glyphs (16 x 16) and the program icon (32 x 32) as XPM files.

Run from anywhere: python3 make_glyphs.py [--preview sheet.png]. The pictures are drawn below as
character art over one 16-colour palette; the XPM files it writes are committed beside it.
"""

import struct
import sys
import zlib
from pathlib import Path

PALETTE = {
    ".": None,  # transparent
    "k": "#000000",
    "w": "#FFFFFF",
    "g": "#C0C0C0",
    "d": "#808080",
    "r": "#FF0000",
    "R": "#800000",
    "G": "#008000",
    "l": "#00C000",
    "b": "#0000FF",
    "B": "#000080",
    "y": "#FFFF00",
    "Y": "#C0A000",
    "o": "#804000",
    "f": "#FFE080",
    "c": "#00C0C0",
}

# Numbered as the commands use them.
GLYPHS = {
    # 0: leave the program: a door with an arrow going out.
    0: """
................
.kkkkkkkk.......
.kooooook.......
.kooooook.......
.kooooook...G...
.kooooook...GG..
.kooooookGGGGGG.
.kooooykokGGGGGG
.kooooookGGGGGG.
.kooooook...GG..
.kooooook...G...
.kooooook.......
.kooooook.......
.kooooook.......
.kkkkkkkk.......
................
""",
    # 1: save the image: a diskette.
    1: """
................
.kkkkkkkkkkkkkk.
.kBkwwwwwwwwkBk.
.kBkwwwwwwwwkBk.
.kBkwddddddwkBk.
.kBkwwwwwwwwkBk.
.kBkwddddddwkBk.
.kBBkkkkkkkkBBk.
.kBBBBBBBBBBBBk.
.kBBkkkkkkkkBBk.
.kBBkggggddgkBk.
.kBBkggggddgkBk.
.kBBkggggddgkBk.
.kkkkkkkkkkkkkk.
................
................
""",
    # 2: open an image: an open folder.
    2: """
................
................
................
.kkkkk..........
kfffffk.........
kfyyyyfkkkkkkk..
kfyyyyyyyyyyyk..
kfyyykkkkkkkkkkk
kfyykYYYYYYYYYYk
kfyykYYYYYYYYYk.
kfykYYYYYYYYYYk.
kfykYYYYYYYYYk..
kfkYYYYYYYYYYk..
kkYYYYYYYYYYk...
kkkkkkkkkkkk....
................
""",
    # 3: new image: a blank page with a spark.
    3: """
y.y.............
.y..kkkkkkk.....
y.y.kwwwwwkk....
....kwwwwwkwk...
....kwwwwwkkkk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kwwwwwwwwk..
....kkkkkkkkkk..
................
""",
    # 4: restore a save: a green arrow turning back.
    4: """
................
................
.....GGGGG......
...GGGGGGGGG....
..GGG.....GGG...
.GG.........GG..
.GG.........GG..
GGGGGG......GG..
.GGGG.......GG..
..GG........GG..
...........GG...
.........GGG....
......GGGGG.....
......GGG.......
................
................
""",
    # 5: remove a save: a red cross.
    5: """
................
.rr..........rr.
.rrr........rrr.
..rrr......rrr..
...rrr....rrr...
....rrr..rrr....
.....rrrrrr.....
......rrrr......
......rrrr......
.....rrrrrr.....
....rrr..rrr....
...rrr....rrr...
..rrr......rrr..
.rrr........rrr.
.rr..........rr.
................
""",
    # 6: purge removed saves: a waste bin.
    6: """
................
......kkkk......
..kkkkkddkkkkk..
..kggggggggggk..
..kkkkkkkkkkkk..
...kgdgdgdgdk...
...kgdgdgdgdk...
...kgdgdgdgdk...
...kgdgdgdgdk...
...kgdgdgdgdk...
...kgdgdgdgdk...
...kgdgdgdgdk...
...kgdgdgdgdk...
...kkkkkkkkkk...
................
................
""",
    # 7: write the card: a red arrow going into a memory card.
    7: """
................
kkkkkkk.........
kggggggk........
kgwwwwggk.......
kgwbbwgggk......
kgwwwwgggk..r...
kgwbbwgggk.rr...
kgwwwwgggkrrrrrr
kggggggggrrrrrrr
kgdgdgdggkrrrrrr
kgdgdgdggk.rr...
kggggggggk..r...
kggggggggk......
kkkkkkkkkk......
................
................
""",
    # 8: region JP: the flag of Japan.
    8: """
................
................
kkkkkkkkkkkkkkkk
kwwwwwwwwwwwwwwk
kwwwwwwwwwwwwwwk
kwwwwwwrrwwwwwwk
kwwwwwrrrrwwwwwk
kwwwwrrrrrrwwwwk
kwwwwrrrrrrwwwwk
kwwwwwrrrrwwwwwk
kwwwwwwrrwwwwwwk
kwwwwwwwwwwwwwwk
kwwwwwwwwwwwwwwk
kkkkkkkkkkkkkkkk
................
................
""",
    # 9: read the card: a green arrow coming out of a memory card.
    9: """
................
kkkkkkk.........
kggggggk........
kgwwwwggk.......
kgwbbwgggk......
kgwwwwgggk..G...
kgwbbwgggk..GG..
kgwwwwgggGGGGGG.
kggggggggGGGGGGG
kgdgdgdggGGGGGG.
kgdgdgdggk..GG..
kggggggggk..G...
kggggggggk......
kkkkkkkkkk......
................
................
""",
    # 10: region EU: a ring of yellow stars on blue.
    10: """
................
................
kkkkkkkkkkkkkkkk
kBBBBBBBBBBBBBBk
kBBBBBByBBBBBBBk
kBBBByBBBByBBBBk
kBBBBBBBBBBBBBBk
kBBByBBBBBByBBBk
kBBBBBBBBBBBBBBk
kBBBByBBBByBBBBk
kBBBBBByBBBBBBBk
kBBBBBBBBBBBBBBk
kBBBBBBBBBBBBBBk
kkkkkkkkkkkkkkkk
................
................
""",
    # 11: region US: stripes and a starred field.
    11: """
................
................
kkkkkkkkkkkkkkkk
kBwBwBwrrrrrrrrk
kBBBBBBwwwwwwwwk
kBwBwBwrrrrrrrrk
kBBBBBBwwwwwwwwk
kBwBwBwrrrrrrrrk
kwwwwwwwwwwwwwwk
krrrrrrrrrrrrrrk
kwwwwwwwwwwwwwwk
krrrrrrrrrrrrrrk
kwwwwwwwwwwwwwwk
kkkkkkkkkkkkkkkk
................
................
""",
    # 12: format the card: a memory card struck by a flash.
    12: """
................
kkkkkkk......kk.
kggggggk....kyk.
kgwwwwggk..kyk..
kgwbbwgggkkyk...
kgwwwwgggkykkkk.
kgwbbwgggkyyyyk.
kgwwwwgggkkkyk..
kggggggggk.kyk..
kgdgdgdggkkyk...
kgdgdgdggkyk....
kggggggggkk.....
kggggggggk......
kkkkkkkkkk......
................
................
""",
    # 13: open a single save: a folder with one save block in it.
    13: """
.....kkkkkk.....
.....kgwwgk.....
.....kgbbgk.....
.kkkkkgwwgk.....
kfffffkggkk.....
kfyyyykkkkkkkk..
kfyyyyyyyyyyyk..
kfyyykkkkkkkkkkk
kfyykYYYYYYYYYYk
kfyykYYYYYYYYYk.
kfykYYYYYYYYYYk.
kfykYYYYYYYYYk..
kfkYYYYYYYYYYk..
kkYYYYYYYYYYk...
kkkkkkkkkkkk....
................
""",
    # 14: save a single save: one save block and a diskette.
    14: """
kkkkkk..........
kgwwgk..........
kgbbgk..........
kgwwgk..........
kggggkkkkkkkkkk.
kkkkkkBkwwwwkBk.
.....kBkwddwkBk.
.....kBkwwwwkBk.
.....kBBkkkkBBk.
.....kBBBBBBBBk.
.....kBkggddgBk.
.....kBkggddgBk.
.....kBkggddgBk.
.....kkkkkkkkkk.
................
................
""",
    # 15: save the icon: a framed picture of a little figure.
    15: """
................
kkkkkkkkkkkkkkk.
kwwwwwwwwwwwwwk.
kwccccccccccwwk.
kwccccyyyyccwwk.
kwcccyyyyyycwwk.
kwcccykyykycwwk.
kwcccyyyyyycwwk.
kwcccyrrrrycwwk.
kwccccyyyyccwwk.
kwGGGGGGGGGGwwk.
kwGGGGGGGGGGwwk.
kwwwwwwwwwwwwwk.
kkkkkkkkkkkkkkk.
................
................
""",
}


def program_icon():
    """32 x 32: a memory card with the program's V on its label."""
    size = 32
    rows = [["." for _ in range(size)] for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                rows[y][x] = colour

    # Card body with its cut top-right corner.
    rect(4, 1, 27, 30, "k")
    rect(5, 2, 26, 29, "g")
    cut = 6
    for step in range(cut):
        y, edge = 1 + step, 27 - cut + 1 + step
        for x in range(edge + 1, 28):
            rows[y][x] = "."
        rows[y][edge] = "k"
    # Label.
    rect(7, 4, 21, 19, "k")
    rect(8, 5, 20, 18, "w")
    for y in range(6, 17):
        offset = (y - 6) // 2
        rows[y][9 + offset] = "B"
        rows[y][10 + offset] = "b"
        rows[y][19 - offset] = "B"
        rows[y][18 - offset] = "b"
    # Ridges of the grip.
    for x in range(7, 25, 2):
        rect(x, 22, x, 27, "d")
    rect(5, 29, 26, 29, "d")
    return ["".join(row) for row in rows]


def parse(art):
    rows = art.strip("\n").split("\n")
    if len(rows) != 16 or any(len(row) != 16 for row in rows):
        raise ValueError("a glyph must be 16 rows of 16 characters")
    return rows


def xpm(name, rows):
    used = sorted({c for row in rows for c in row})
    lines = [f'"{len(rows[0])} {len(rows)} {len(used)} 1",']
    for c in used:
        colour = PALETTE[c]
        lines.append(f'"{c} c {colour if colour else "None"}",')
    lines += [f'"{row}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    return "/* XPM */\nstatic const char* " + name + "[] = {\n" + "\n".join(lines) + "\n};\n"


def preview(pictures, path, scale=6):
    """All pictures side by side, enlarged, on grey: for looking at the art."""
    width = sum(len(rows[0]) for rows in pictures) * scale + 4 * (len(pictures) + 1)
    height = 32 * scale + 8
    canvas = [[(212, 208, 200)] * width for _ in range(height)]
    left = 4
    for rows in pictures:
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                colour = PALETTE[c]
                if colour is None:
                    continue
                rgb = tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))
                for dy in range(scale):
                    for dx in range(scale):
                        canvas[4 + y * scale + dy][left + x * scale + dx] = rgb
        left += len(rows[0]) * scale + 4
    raw = b"".join(b"\0" + bytes(v for px in line for v in px) for line in canvas)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def main():
    folder = Path(__file__).resolve().parent
    pictures = []
    for number, art in sorted(GLYPHS.items()):
        rows = parse(art)
        pictures.append(rows)
        (folder / f"glyph{number:02d}.xpm").write_text(xpm(f"glyph{number:02d}", rows))
    icon = program_icon()
    pictures.append(icon)
    (folder / "vexilor.xpm").write_text(xpm("vexilor", icon))
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview(pictures, sys.argv[2])


if __name__ == "__main__":
    main()
