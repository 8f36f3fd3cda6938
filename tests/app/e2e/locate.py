#!/usr/bin/env python3
"""Finds the words of one line of text in a screenshot, for clicking on tabs and tool buttons
by their place in a row. Usage: locate.py IMAGE X0 Y0 X1 Y1 [GAP]
Prints one line "x y" per word group (dark pixels separated by at least GAP empty columns,
default 8), left to right, at the centre of the group."""
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
    path = sys.argv[1]
    x0, y0, x1, y1 = (int(v) for v in sys.argv[2:6])
    gap = int(sys.argv[6]) if len(sys.argv) > 6 else 8
    w, h, px = read_ppm(path)
    x0, y0, x1, y1 = max(0, x0), max(0, y0), min(w, x1), min(h, y1)

    def dark(x, y):
        i = (y * w + x) * 3
        return px[i] * 299 + px[i + 1] * 587 + px[i + 2] * 114 < 90000  # luma below 90

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
        print(x0 + (a + b) // 2, (rows[0] + rows[-1]) // 2)


if __name__ == "__main__":
    main()
