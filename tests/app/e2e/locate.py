#!/usr/bin/env python3
"""Finds the words of text in a screenshot, for clicking on tabs, buttons and lists by their
place in a row or a column. Usage: locate.py IMAGE X0 Y0 X1 Y1 [GAP] [--lines]
Prints one line "x y" per word group (dark pixels separated by at least GAP empty columns,
default 8), left to right, at the centre of the group. With --lines the box is first cut into
lines of text (rows of dark pixels between empty rows) and every group is printed as
"LINE x y", LINE counted from 1 at the top."""
import subprocess
import sys


def read_ppm(path):
    data = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
    # Header: P6, width, height, maxval, each separated by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def main():
    args = [a for a in sys.argv[1:] if a != "--lines"]
    path = args[0]
    x0, y0, x1, y1 = (int(v) for v in args[1:5])
    gap = int(args[5]) if len(args) > 5 else 8
    w, h, px = read_ppm(path)
    x0, y0, x1, y1 = max(0, x0), max(0, y0), min(w, x1), min(h, y1)

    def dark(x, y):
        i = (y * w + x) * 3
        return px[i] * 299 + px[i + 1] * 587 + px[i + 2] * 114 < 90000  # luma below 90

    if "--lines" in sys.argv:
        ink_rows = [any(dark(x, y) for x in range(x0, x1)) for y in range(y0, y1)]
        line, start = 0, None
        for i, ink in enumerate(ink_rows + [False]):
            if ink and start is None:
                start = i
            elif not ink and start is not None:
                line += 1
                for gx, gy in groups_in(dark, x0, y0 + start, x1, y0 + i, gap):
                    print(line, gx, gy)
                start = None
        return
    for gx, gy in groups_in(dark, x0, y0, x1, y1, gap):
        print(gx, gy)


def groups_in(dark, x0, y0, x1, y1, gap):
    out = []
    ink_cols = [any(dark(x, y) for y in range(y0, y1)) for x in range(x0, x1)]
    groups, start, empty = [], None, 0
    for i, ink in enumerate(ink_cols + [False] * gap):
        if ink:
            if start is None:
                start = i
            empty, end = 0, i
        elif start is not None:
            empty += 1
            if empty >= gap:
                groups.append((start, end))
                start = None
    for a, b in groups:
        rows = [y for y in range(y0, y1) if any(dark(x, y) for x in range(x0 + a, x0 + b + 1))]
        out.append((x0 + (a + b) // 2, (rows[0] + rows[-1]) // 2))
    return out


if __name__ == "__main__":
    try:
        main()
    except BrokenPipeError:  # the caller took the lines it wanted
        pass
