"""Prints gcovr's JSON summary as lines and branches covered per folder, then for core/
as a whole and for everything: coverage_table.py SUMMARY.json"""
import collections
import json
import os
import sys

files = json.load(open(sys.argv[1]))["files"]
sums = collections.defaultdict(lambda: [0, 0, 0, 0])


def add(key, f):
    s = sums[key]
    s[0] += f["line_covered"]
    s[1] += f["line_total"]
    s[2] += f["branch_covered"]
    s[3] += f["branch_total"]


for f in files:
    add(os.path.dirname(f["filename"]) + "/", f)
    if f["filename"].startswith("core/"):
        add("core/ (all)", f)
    add("all", f)


def pct(a, b):
    return "%6.1f %%" % (100.0 * a / b) if b else "     -  "


print("%-28s %9s %9s %8s %8s" % ("folder", "lines", "branches", "lines", "branches"))
order = sorted(k for k in sums if k.endswith("/")) + ["core/ (all)", "all"]
for key in order:
    if key not in sums:
        continue
    c, t, bc, bt = sums[key]
    print("%-28s %9s %9s %8d %8d" % (key, pct(c, t), pct(bc, bt), t, bt))
