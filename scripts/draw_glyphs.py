#!/usr/bin/env python3
"""Draws the player's 27 button glyphs as XPM files in resources/glyphs/.

Each button has three glyphs: enabled (a black shape), disabled (the shape's edges
only) and coloured (the shape filled with the button's colour). Every shape has a dark
grey edge on its upper and left sides and a white edge on its lower and right sides;
olive pixels are the background, which the player leaves out when it draws.
Run it again after changing a shape; the XPM files are what the program is built with.
"""
import os

OLIVE, GREY, WHITE, BLACK = "o", "g", "w", "k"
COLOURS = {OLIVE: "#808000", GREY: "#808080", WHITE: "#FFFFFF", BLACK: "#000000",
           "G": "#00FF00", "Y": "#FFFF00", "R": "#FF0000", "B": "#0000FF"}


def triangle_right(x0, x1, top, bottom):
    """Filled triangle: upright side in column x0 from top to bottom, point in column x1."""
    mid = (top + bottom + 1) / 2
    half = (bottom + 1 - top) / 2
    def inside(x, y):
        if not (x0 <= x <= x1):
            return False
        return abs(y + 0.5 - mid) <= half * (1 - (x + 0.5 - x0) / (x1 + 1 - x0)) + 0.25
    return inside


def triangle_left(x0, x1, top, bottom):
    right = triangle_right(x0, x1, top, bottom)
    return lambda x, y: right(x0 + x1 - x, y)


def triangle_up(x0, x1, top, bottom):
    """Filled triangle: flat side in row bottom from x0 to x1, point in row top."""
    mid = (x0 + x1 + 1) / 2
    half = (x1 + 1 - x0) / 2
    def inside(x, y):
        if not (top <= y <= bottom):
            return False
        return abs(x + 0.5 - mid) <= half * (y + 0.5 - top) / (bottom + 1 - top) + 0.25
    return inside


def bar(x0, x1, top, bottom):
    return lambda x, y: x0 <= x <= x1 and top <= y <= bottom


def union(*parts):
    return lambda x, y: any(p(x, y) for p in parts)


def circle(cx, cy, r):
    """Filled circle around the point (cx, cy), pixel centres inside radius r."""
    return lambda x, y: (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


# name: (size, shape, colour, disabled size)
GLYPHS = {
    "MPPLAY": ((17, 16), triangle_right(5, 12, 2, 13), "G", None),
    "MPPAUSE": ((13, 16), union(bar(3, 5, 2, 13), bar(8, 10, 2, 13)), "Y", (12, 16)),
    "MPSTOP": ((17, 16), bar(4, 12, 3, 12), "R", None),
    "MPNEXT": ((21, 16), union(triangle_right(4, 11, 2, 13), bar(13, 15, 2, 13)), "B", None),
    "MPPREV": ((20, 16), union(bar(4, 6, 2, 13), triangle_left(8, 15, 2, 13)), "B", None),
    "MPSTEP": ((21, 16), union(bar(4, 6, 2, 13), triangle_right(8, 15, 2, 13)), "B", None),
    "MPBACK": ((21, 16), union(triangle_left(4, 11, 2, 13), bar(13, 15, 2, 13)), "B", None),
    "MPRECORD": ((13, 13), circle(6.5, 6.5, 5.5), "R", None),
    "MPEJECT": ((19, 16), union(triangle_up(3, 15, 2, 9), bar(3, 15, 11, 13)), "B", None),
}


def draw(size, shape, fill):
    w, h = size
    rows = []
    for y in range(h):
        row = ""
        for x in range(w):
            if not shape(x, y):
                row += OLIVE
            elif not shape(x, y - 1) or not shape(x - 1, y):
                row += GREY
            elif not shape(x, y + 1) or not shape(x + 1, y):
                row += WHITE
            else:
                row += fill
        rows.append(row)
    return rows


def xpm(name, rows):
    used = sorted({c for r in rows for c in r})
    lines = [f"/* XPM */", f"static const char *{name}[] = {{",
             f'"{len(rows[0])} {len(rows)} {len(used)} 1",']
    lines += [f'"{c} c {COLOURS[c]}",' for c in used]
    lines += [f'"{r}",' for r in rows[:-1]] + [f'"{rows[-1]}"', "};", ""]
    return "\n".join(lines)


def main():
    folder = os.path.join(os.path.dirname(__file__), "..", "resources", "glyphs")
    os.makedirs(folder, exist_ok=True)
    for base, (size, shape, colour, disabled_size) in GLYPHS.items():
        for kind, fill, kind_size in (("EN", BLACK, size), ("DI", OLIVE, disabled_size or size),
                                      ("CL", colour, size)):
            name = f"{kind}_{base}"
            with open(os.path.join(folder, name + ".xpm"), "w") as out:
                out.write(xpm(name, draw(kind_size, shape, fill)))


if __name__ == "__main__":
    main()
