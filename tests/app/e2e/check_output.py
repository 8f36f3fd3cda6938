#!/usr/bin/env python3
"""Checks the printed pages and the exported picture of the user's day.
Usage: check_output.py EXPORTED OUTSIDE_PAGE INSIDE_PAGE W_MM H_MM [SIDE:R,G,B ...]
- the exported picture has the card's proportions (W_MM x H_MM);
- every SIDE:R,G,B ("outside" or "inside") names a colour that the card's objects on that
  side carry: it must appear (at least 20 pixels of its hue) in the exported
  picture (outside only) and on that side's printed page, and the inside's colours must not
  be on the outside's page."""
import sys

from locate import read_ppm


def count(path, rgb):
    """Pixels of the colour's hue: their differences between the channels point the way the
    colour's do (text edges blend with the white paper, which only shortens them) and are at
    least 40 % as large."""
    w, h, px = read_ppm(path)
    target = (rgb[0] - rgb[1], rgb[1] - rgb[2], rgb[2] - rgb[0])
    t_len = sum(v * v for v in target) ** 0.5
    n = 0
    for i in range(0, w * h * 3, 3):
        r, g, b = px[i], px[i + 1], px[i + 2]
        d = (r - g, g - b, b - r)
        d_len = sum(v * v for v in d) ** 0.5
        if d_len < 0.4 * t_len:
            continue
        if sum(a * b for a, b in zip(d, target)) / (d_len * t_len) > 0.97:
            n += 1
    return n


def main():
    exported, outside, inside = sys.argv[1:4]
    w_mm, h_mm = float(sys.argv[4]), float(sys.argv[5])
    ok = True
    w, h, _ = read_ppm(exported)
    if abs(w / h - w_mm / h_mm) > 0.01 * (w_mm / h_mm):
        print(f"exported picture is {w} x {h}, the card {w_mm} x {h_mm} mm")
        ok = False
    for expectation in sys.argv[6:]:
        side, rgb_text = expectation.split(":")
        rgb = tuple(int(v) for v in rgb_text.split(","))
        pages = {"outside": outside, "inside": inside}
        own = pages[side]
        other = pages["inside" if side == "outside" else "outside"]
        found = {"own page": count(own, rgb)}
        if side == "outside":
            found["exported picture"] = count(exported, rgb)
        for where, n in found.items():
            print(f"{side} colour {rgb}: {n} pixels in the {where}")
            if n < 20:
                ok = False
        if side == "inside":
            n = count(other, rgb)
            print(f"inside colour {rgb}: {n} pixels on the outside's page")
            if n >= 20:
                ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
