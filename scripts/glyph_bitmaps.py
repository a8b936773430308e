#!/usr/bin/env python3
"""Writes the player's button glyphs (resources/glyphs/*.xpm) as 16-colour Windows
bitmaps into a folder, with a resource script naming each bitmap by its glyph's name
("EN_MPPLAY" ...), for the Windows program's resources. Run by the Windows build.

  glyph_bitmaps.py GLYPH_FOLDER OUT_FOLDER
"""
import os
import struct
import sys

# The 16 colours of the Windows palette, in its order; every glyph colour is one of them.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def read_xpm(path):
    with open(path, encoding="ascii") as f:
        strings = [line.strip().rstrip(",").rstrip("};").strip().strip('"') for line in f if line.strip().startswith('"')]
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    colours = {}
    for line in strings[1:1 + ncolours]:
        key, rest = line[:cpp], line[cpp:].split()
        value = rest[rest.index("c") + 1]
        colours[key] = tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
    rows = strings[1 + ncolours:1 + ncolours + height]
    pixels = [[colours[row[x * cpp:(x + 1) * cpp]] for x in range(width)] for row in rows]
    return width, height, pixels


def bitmap_bytes(width, height, pixels):
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray(stride)
        for x, colour in enumerate(row):
            if colour not in PALETTE:
                raise SystemExit(f"colour {colour} is not one of the 16 Windows colours")
            index = PALETTE.index(colour)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + info + palette + bytes(data)


def main(glyphs, out):
    os.makedirs(out, exist_ok=True)
    lines = []
    for name in sorted(os.listdir(glyphs)):
        if not name.endswith(".xpm"):
            continue
        base = name[:-4]
        with open(os.path.join(out, base + ".bmp"), "wb") as f:
            f.write(bitmap_bytes(*read_xpm(os.path.join(glyphs, name))))
        lines.append(f'{base} BITMAP "{base}.bmp"\n')
    with open(os.path.join(out, "glyphs.rc"), "w", encoding="ascii") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main(*sys.argv[1:3])
