#!/usr/bin/env python3
"""Checks the printed pages and the exported picture of the user's day.
Usage: check_output.py EXPORTED OUTSIDE_PAGE INSIDE_PAGE W_MM H_MM [SIDE:R,G,B ...]
- the exported picture has the card's proportions (W_MM x H_MM);
- every SIDE:R,G,B ("outside" or "inside") names a colour that the card's objects on that
  side carry: it must appear (at least 20 pixels within a small tolerance) in the exported
  picture (outside only) and on that side's printed page, and the inside's colours must not
  be on the outside's page."""
import sys

from locate import read_ppm


def count(path, rgb, tol=40):
    w, h, px = read_ppm(path)
    r0, g0, b0 = rgb
    n = 0
    for i in range(0, w * h * 3, 3):
        if abs(px[i] - r0) <= tol and abs(px[i + 1] - g0) <= tol and abs(px[i + 2] - b0) <= tol:
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
    for spec in sys.argv[6:]:
        side, rgb_text = spec.split(":")
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
