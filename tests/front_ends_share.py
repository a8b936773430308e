#!/usr/bin/env python3
"""Lists what the Qt and Win32 front ends both spell out: string literals and
four-number rectangles. Window texts, places and menus are described once in the core;
a text or a rectangle written in both front ends is a second copy that will drift.
Exits 1 and prints each shared item with where it stands when there is any."""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
STRING = re.compile(r'(?:u8|L|u|U)?"((?:[^"\\\n]|\\.)*)"')
RECT = re.compile(r"[({]\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*[)}]")
# Toolkit words that both toolkits happen to need; none of them is a window's text.
TOOLKIT = {"", " ", "\\n", "\\r\\n", "%s", "%d"}


def design_names():
    """Names the core's window tables give their controls and menu items: a front end
    that looks a control up by its name refers to the table, it does not copy it."""
    names = set()
    for path in (ROOT / "core" / "presenters").glob("*design*.cpp"):
        names.update(t for t in STRING.findall(path.read_text(encoding="utf-8")) if re.fullmatch(r"[A-Za-z_]\w*", t))
    return names


def items(front_end):
    found = {}
    for path in sorted((ROOT / "front-ends" / front_end).rglob("*")):
        if path.suffix not in {".cpp", ".h"}:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            code = line.split("//", 1)[0]
            if code.lstrip().startswith("#include"):
                continue
            where = f"{path.relative_to(ROOT)}:{number}"
            for text in STRING.findall(code):
                if text not in TOOLKIT:
                    found.setdefault(("text", text), where)
            for rect in RECT.findall(code):
                numbers = tuple(int(n) for n in rect)
                if any(numbers[2:]) and numbers != (0, 0, 0, 0):
                    found.setdefault(("rectangle", numbers), where)
    return found


qt, win32 = items("qt"), items("win32")
names = design_names()
shared = sorted((item for item in set(qt) & set(win32) if not (item[0] == "text" and item[1] in names)), key=str)
for kind, value in shared:
    print(f"{kind} {value!r}: {qt[(kind, value)]} and {win32[(kind, value)]}")
print(f"{len(shared)} texts and rectangles are written in both front ends")
sys.exit(1 if shared else 0)
