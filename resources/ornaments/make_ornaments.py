#!/usr/bin/env python3
"""Draws the ornaments the program ships and writes them as SVG Tiny files.

Every ornament is built here from geometry: Bezier paths, polar points, rotations and mirror
symmetry. The script writes svg/<name>.svg and the catalogue ornaments.csv next to itself and
removes SVG files that no longer belong to the catalogue. Only the standard library is used and
the output is deterministic (numbers rounded to two decimals, fixed seeds), so a second run gives
byte-identical files.

Recolourable ornaments paint the parts that take the object's colour with the word
`currentColor`; the program replaces it by the chosen colour before drawing. Fixed-colour
ornaments never contain that word.

Usage: python3 make_ornaments.py [OUT_DIR]   (default: the folder of this script)
"""

import math
import os
import random
import re
import sys

CATEGORIES = [
    "Herzen", "Sterne", "Ballons und Feier", "Kerzen", "Geschenke", "Blumen und Blätter",
    "Weihnachten", "Ostern", "Hochzeit", "Baby", "Glaube und Trauer", "Rahmen", "Bordüren",
    "Ecken",
]
CC = "currentColor"

# --------------------------------------------------------------------------------------------
# Numbers, transforms and paths


def num(v):
    s = f"{v:.2f}"
    s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


class Aff:
    """Affine map x' = a x + c y + e, y' = b x + d y + f."""

    def __init__(self, a=1.0, b=0.0, c=0.0, d=1.0, e=0.0, f=0.0):
        self.m = (a, b, c, d, e, f)

    def __matmul__(self, o):
        a, b, c, d, e, f = self.m
        A, B, C, D, E, F = o.m
        return Aff(a * A + c * B, b * A + d * B, a * C + c * D, b * C + d * D,
                   a * E + c * F + e, b * E + d * F + f)

    def ap(self, x, y):
        a, b, c, d, e, f = self.m
        return a * x + c * y + e, b * x + d * y + f

    def scale(self):
        a, b, c, d, _, _ = self.m
        return math.sqrt(abs(a * d - b * c))


def T(dx, dy):
    return Aff(e=dx, f=dy)


def S(sx, sy=None):
    return Aff(a=sx, d=sx if sy is None else sy)


def R(deg, cx=0.0, cy=0.0):
    r = math.radians(deg)
    c, s = math.cos(r), math.sin(r)
    return T(cx, cy) @ Aff(c, s, -s, c) @ T(-cx, -cy)


ID = Aff()
FLIPX = S(-1, 1)
KAPPA = 0.5522847498


class P:
    """Path data; every point goes through the transform before it is rounded."""

    def __init__(self, t=ID):
        self.t = t
        self.parts = []

    def _p(self, x, y):
        X, Y = self.t.ap(x, y)
        return f"{num(X)} {num(Y)}"

    def M(self, x, y):
        self.parts.append("M" + self._p(x, y))
        return self

    def L(self, x, y):
        self.parts.append("L" + self._p(x, y))
        return self

    def C(self, x1, y1, x2, y2, x, y):
        self.parts.append(f"C{self._p(x1, y1)} {self._p(x2, y2)} {self._p(x, y)}")
        return self

    def Q(self, x1, y1, x, y):
        self.parts.append(f"Q{self._p(x1, y1)} {self._p(x, y)}")
        return self

    def Z(self):
        self.parts.append("Z")
        return self

    def poly(self, pts, close=True):
        self.M(*pts[0])
        for q in pts[1:]:
            self.L(*q)
        return self.Z() if close else self

    def arc(self, cx, cy, rx, ry, a0, a1, move=False):
        """Elliptic arc from angle a0 to a1 (degrees) as cubic Beziers of at most 90 degrees."""
        steps = max(1, int(math.ceil(abs(a1 - a0) / 90.0 - 1e-9)))
        da = math.radians(a1 - a0) / steps
        k = 4.0 / 3.0 * math.tan(da / 4.0)
        t = math.radians(a0)
        x0, y0 = cx + rx * math.cos(t), cy + ry * math.sin(t)
        if move:
            self.M(x0, y0)
        for _ in range(steps):
            t1 = t + da
            x1, y1 = cx + rx * math.cos(t1), cy + ry * math.sin(t1)
            self.C(x0 - k * rx * math.sin(t), y0 + k * ry * math.cos(t),
                   x1 + k * rx * math.sin(t1), y1 - k * ry * math.cos(t1), x1, y1)
            t, x0, y0 = t1, x1, y1
        return self

    def ellipse(self, cx, cy, rx, ry):
        return self.arc(cx, cy, rx, ry, 0, 360, move=True).Z()

    def circle(self, cx, cy, r):
        return self.ellipse(cx, cy, r, r)

    def __str__(self):
        return " ".join(self.parts)


def attrs(kw):
    out = []
    for k, v in kw.items():
        if v is None:
            continue
        k = k.rstrip("_").replace("_", "-")
        out.append(f'{k}="{num(v) if isinstance(v, (int, float)) else v}"')
    return " ".join(out)


def el(tag, **kw):
    return f"<{tag} {attrs(kw)}/>"


def path(d, **kw):
    return el("path", d=str(d), **kw)


def circle(cx, cy, r, **kw):
    return el("circle", cx=cx, cy=cy, r=r, **kw)


def ellipse(cx, cy, rx, ry, **kw):
    return el("ellipse", cx=cx, cy=cy, rx=rx, ry=ry, **kw)


def rect(x, y, w, h, rx=None, **kw):
    return el("rect", x=x, y=y, width=w, height=h, rx=rx, **kw)


def line(x1, y1, x2, y2, **kw):
    return el("line", x1=x1, y1=y1, x2=x2, y2=y2, **kw)


def polygon(pts, **kw):
    return el("polygon", points=" ".join(f"{num(x)},{num(y)}" for x, y in pts), **kw)


def group(items, transform=None, **kw):
    head = f"<g {attrs(dict(transform=transform, **kw))}>" if (transform or kw) else "<g>"
    return head + "".join(items) + "</g>"


def polar(cx, cy, r, deg):
    a = math.radians(deg)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def star_pts(cx, cy, R_, r, n, rot=-90.0):
    return [polar(cx, cy, R_ if i % 2 == 0 else r, rot + i * 180.0 / n) for i in range(2 * n)]


def clip_convex(subject, clip):
    """Sutherland-Hodgman: the part of polygon `subject` inside the convex polygon `clip`
    (counter-clockwise in screen coordinates is not required; the orientation is detected)."""
    area = sum(clip[i][0] * clip[i - 1][1] - clip[i - 1][0] * clip[i][1] for i in range(len(clip)))
    sign = 1 if area > 0 else -1

    def inside(p, a, b):
        return sign * ((b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])) <= 0

    def cut(p, q, a, b):
        x1, y1 = p
        x2, y2 = q
        x3, y3 = a
        x4, y4 = b
        den = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4)
        t = ((x1 - x3) * (y3 - y4) - (y1 - y3) * (x3 - x4)) / den
        return x1 + t * (x2 - x1), y1 + t * (y2 - y1)

    out = subject
    for i in range(len(clip)):
        a, b = clip[i - 1], clip[i]
        inp, out = out, []
        if not inp:
            break
        s = inp[-1]
        for e in inp:
            if inside(e, a, b):
                if not inside(s, a, b):
                    out.append(cut(s, e, a, b))
                out.append(e)
            elif inside(s, a, b):
                out.append(cut(s, e, a, b))
            s = e
    return out


# --------------------------------------------------------------------------------------------
# Documents, paints and the catalogue

GOLD = [(0, "#fff4b8"), (0.45, "#e2b53f"), (0.75, "#c08a1e"), (1, "#8c5f0c")]
SILVER = [(0, "#ffffff"), (0.45, "#d3d6dc"), (0.8, "#9a9fa8"), (1, "#6c717a")]
ROSEGOLD = [(0, "#fde3d8"), (0.5, "#e0a08a"), (1, "#a4604c")]


class Doc:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.defs = []
        self.body = []

    def add(self, *items):
        self.body.extend(items)
        return self

    def _stops(self, stops):
        out = []
        for s in stops:
            off, col = s[0], s[1]
            op = s[2] if len(s) > 2 else None
            out.append(el("stop", offset=off, stop_color=col, stop_opacity=op))
        return "".join(out)

    def lin(self, x1, y1, x2, y2, stops):
        gid = f"g{len(self.defs) + 1}"
        self.defs.append(f'<linearGradient {attrs(dict(id=gid, gradientUnits="userSpaceOnUse", x1=x1, y1=y1, x2=x2, y2=y2))}>'
                         f"{self._stops(stops)}</linearGradient>")
        return f"url(#{gid})"

    def rad(self, cx, cy, r, stops, fx=None, fy=None):
        gid = f"g{len(self.defs) + 1}"
        self.defs.append(f'<radialGradient {attrs(dict(id=gid, gradientUnits="userSpaceOnUse", cx=cx, cy=cy, r=r, fx=fx, fy=fy))}>'
                         f"{self._stops(stops)}</radialGradient>")
        return f"url(#{gid})"

    def paint(self, spec, x1, y1, x2, y2):
        """A plain colour, or a metal ('gold', 'silver', 'rosegold') as a diagonal gradient
        over the given box."""
        metals = {"gold": GOLD, "silver": SILVER, "rosegold": ROSEGOLD}
        if spec in metals:
            return self.lin(x1, y1, x2, y2, metals[spec])
        return spec

    def svg(self):
        head = (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
                f'viewBox="0 0 {self.w} {self.h}" width="{self.w}" height="{self.h}">')
        lines = ['<?xml version="1.0" encoding="UTF-8"?>', head]
        if self.defs:
            lines.append("<defs>")
            lines.extend(self.defs)
            lines.append("</defs>")
        lines.extend(self.body)
        lines.append("</svg>")
        return "\n".join(lines) + "\n"


ORNAMENTS = []


def reg(name, category, label, doc):
    ORNAMENTS.append((name, category, label, doc))


def shade(col, k):
    """Mixes a #rrggbb colour toward white (k > 0) or black (k < 0)."""
    r, g, b = (int(col[i:i + 2], 16) for i in (1, 3, 5))
    if k >= 0:
        r, g, b = (round(v + (255 - v) * k) for v in (r, g, b))
    else:
        r, g, b = (round(v * (1 + k)) for v in (r, g, b))
    return f"#{r:02x}{g:02x}{b:02x}"


def body_paint(doc, col, box):
    """Fill for a coloured body: currentColor as is, a metal as gradient, a plain colour with a
    soft light-to-dark gradient."""
    if col == CC:
        return CC
    if col in ("gold", "silver", "rosegold"):
        return doc.paint(col, *box)
    x1, y1, x2, y2 = box
    return doc.lin(x1, y1, x2, y2, [(0, shade(col, 0.3)), (0.55, col), (1, shade(col, -0.3))])


def edge(col):
    """A darker outline colour that fits the body colour."""
    metals = {"gold": "#8c5f0c", "silver": "#6c717a", "rosegold": "#a4604c"}
    if col == CC:
        return "#000000"
    return metals.get(col) or shade(col, -0.45)


def edge_kw(col, width):
    """Outline attributes: black at low opacity for recolourable bodies, a darker shade else."""
    if col == CC:
        return dict(stroke="#000000", stroke_opacity=0.35, stroke_width=width)
    return dict(stroke=edge(col), stroke_width=width)


# --------------------------------------------------------------------------------------------
# Shapes used by several ornaments (unit shapes, placed with a transform)

HEART = [((0, -0.5), (0.5, -1.35), (1.55, -0.45), (0, 1))]


def _cubic(p0, p1, p2, p3, t):
    u = 1 - t
    return (u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
            u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1])


def _heart_box():
    pts = [_cubic(*HEART[0], i / 400) for i in range(401)]
    xs = [abs(p[0]) for p in pts]
    ys = [p[1] for p in pts]
    return max(xs), min(ys), max(ys)


HEART_HALF_W, HEART_TOP, HEART_BOTTOM = _heart_box()


def heart_tf(cx, cy, w):
    """Transform that puts the unit heart with its box centred on (cx, cy), width w."""
    s = w / (2 * HEART_HALF_W)
    return T(cx, cy) @ S(s) @ T(0, -(HEART_TOP + HEART_BOTTOM) / 2)


def heart_path(t):
    """A heart from two mirrored cubic Beziers."""
    (p0, p1, p2, p3), = HEART
    return (P(t).M(*p0).C(*p1, *p2, *p3)
            .C(-p2[0], p2[1], -p1[0], p1[1], -p0[0], p0[1]).Z())


def heart_height(w):
    return w / (2 * HEART_HALF_W) * (HEART_BOTTOM - HEART_TOP)


def teardrop(t):
    """A flame or drop, tip at (0, -1), round bottom at y = 0.75."""
    return (P(t).M(0, -1).C(0.25, -0.55, 0.45, -0.15, 0.45, 0.2).C(0.45, 0.55, 0.2, 0.75, 0, 0.75)
            .C(-0.2, 0.75, -0.45, 0.55, -0.45, 0.2).C(-0.45, -0.15, -0.25, -0.55, 0, -1).Z())


def petal(t, width=0.42):
    """A petal from the centre (0, 0) to its tip at (0, -1)."""
    w = width
    return P(t).M(0, 0).C(w * 0.9, -0.2, w, -0.75, 0, -1).C(-w, -0.75, -w * 0.9, -0.2, 0, 0).Z()


def leaf(t, width=0.38):
    """A pointed leaf from its stalk at (0, 0) to its tip at (0, -1)."""
    w = width
    return P(t).M(0, 0).C(w * 1.3, -0.25, w * 0.9, -0.75, 0, -1).C(-w * 0.9, -0.75, -w * 1.3, -0.25, 0, 0).Z()


def flame(doc, cx, base_y, h):
    """A candle flame standing on (cx, base_y), h high, with a soft glow."""
    glow = doc.rad(cx, base_y - h * 0.45, h * 0.9,
                   [(0, "#fff3a0", 0.55), (1, "#ffd24a", 0)])
    outer = doc.lin(cx, base_y - h, cx, base_y, [(0, "#ffb000"), (0.6, "#ff8a00"), (1, "#e0420c")])
    inner = doc.lin(cx, base_y - h * 0.7, cx, base_y, [(0, "#ffffff"), (0.5, "#fff6b0"), (1, "#ffd54a")])
    s = h / 1.75
    t = T(cx, base_y - 0.75 * s) @ S(s)
    return [circle(cx, base_y - h * 0.45, h * 0.9, fill=glow),
            path(teardrop(t), fill=outer),
            path(teardrop(T(cx, base_y - 0.08 * h) @ S(s * 0.55) @ T(0, -0.75)), fill=inner)]


def sparkle(t):
    """A four-pointed sparkle with concave sides, tips at distance 1."""
    p = P(t).M(0, -1)
    for a in range(4):
        x1, y1 = polar(0, 0, 1, -90 + a * 90)
        x2, y2 = polar(0, 0, 1, a * 90)
        p.Q(0.12 * (x1 + x2) * 0.5 * 2, 0.12 * (y1 + y2) * 0.5 * 2, x2, y2)
    return p.Z()


# --------------------------------------------------------------------------------------------
# Herzen


def heart_fill(doc, col, cx, cy, w):
    if col == CC:
        return CC
    if col in ("gold", "silver", "rosegold"):
        return doc.paint(col, cx - w / 2, cy - w / 2, cx + w / 2, cy + w / 2)
    return doc.rad(cx - w * 0.2, cy - w * 0.25, w * 0.85, [(0, shade(col, 0.35)), (1, shade(col, -0.2))])


def heart_with_light(doc, col, cx, cy, w, stroke_w=None):
    t = heart_tf(cx, cy, w)
    s = w / 1.63
    out = [path(heart_path(t), fill=heart_fill(doc, col, cx, cy, w),
                **(edge_kw(col, stroke_w) if stroke_w else {}), stroke_linejoin="round")]
    hx, hy = t.ap(-0.42, -0.52)
    out.append(path(P(R(-40, hx, hy)).ellipse(hx, hy, s * 0.22, s * 0.11), fill="#ffffff", fill_opacity=0.38))
    return out


def hearts():
    for name, label, col in [("herz", "Herz", CC), ("herz-rot", "Herz rot", "#c8102e"),
                             ("herz-rosa", "Herz rosa", "#ee7fa0"), ("herz-gold", "Herz gold", "gold")]:
        d = Doc(200, 210)
        d.add(*heart_with_light(d, col, 100, 105, 176, stroke_w=2 if col != CC else None))
        reg(name, "Herzen", label, d)

    d = Doc(200, 210)
    d.add(path(heart_path(heart_tf(100, 105, 164)), fill="none", stroke=CC, stroke_width=12,
               stroke_linejoin="round"))
    reg("herz-umriss", "Herzen", "Herz Umriss", d)

    d = Doc(260, 210)
    d.add(group(heart_with_light(d, "#ee7fa0", 160, 100, 140, 2), transform="rotate(14 160 100)"))
    d.add(group(heart_with_light(d, "#c8102e", 96, 112, 150, 2), transform="rotate(-12 96 112)"))
    reg("herzen-paar", "Herzen", "Zwei Herzen", d)

    d = Doc(260, 220)
    # arrow behind the heart, heart, arrow tip in front
    ax0, ay0, ax1, ay1 = 14, 190, 246, 40
    d.add(line(ax0, ay0, 130, ay0 + (ay1 - ay0) * (116 / 232), stroke="#8b5a2b", stroke_width=6,
               stroke_linecap="round"))
    for k in range(3):  # fletching
        bx, by = ax0 + 10 + k * 11, ay0 - (10 + k * 11) * 150 / 232
        d.add(path(P().M(bx, by).L(bx - 14, by - 18).M(bx, by).L(bx + 6, by + 20), fill="none",
                   stroke="#c8102e", stroke_width=4, stroke_linecap="round"))
    d.add(*heart_with_light(d, "#c8102e", 130, 112, 160, 2))
    ang = math.atan2(ay1 - ay0, ax1 - ax0)
    mx, my = 185, ay0 + (ay1 - ay0) * ((185 - ax0) / 232)
    d.add(line(mx, my, ax1 - 14 * math.cos(ang), ay1 - 14 * math.sin(ang), stroke="#8b5a2b",
               stroke_width=6, stroke_linecap="round"))
    tip = (ax1, ay1)
    l1 = (ax1 - 26 * math.cos(ang) + 11 * math.sin(ang), ay1 - 26 * math.sin(ang) - 11 * math.cos(ang))
    l2 = (ax1 - 26 * math.cos(ang) - 11 * math.sin(ang), ay1 - 26 * math.sin(ang) + 11 * math.cos(ang))
    d.add(polygon([tip, l1, l2], fill="#9a9fa8", stroke="#5a5f66", stroke_width=1.5, stroke_linejoin="round"))
    reg("herz-pfeil", "Herzen", "Herz mit Pfeil", d)

    d = Doc(300, 130)
    for cx, cy, w in [(52, 72, 84), (150, 62, 110), (248, 72, 84)]:
        d.add(path(heart_path(heart_tf(cx, cy, w)), fill=CC))
        hx, hy = heart_tf(cx, cy, w).ap(-0.42, -0.52)
        d.add(path(P(R(-40, hx, hy)).ellipse(hx, hy, w * 0.13, w * 0.065), fill="#ffffff", fill_opacity=0.35))
    reg("herzen-drei", "Herzen", "Drei Herzen", d)

    d = Doc(200, 210)
    t = heart_tf(100, 105, 176)
    d.add(path(heart_path(t), fill=heart_fill(d, "#9b5a2a", 100, 105, 176), stroke="#6b3a16", stroke_width=2))
    d.add(path(heart_path(heart_tf(100, 103, 146)), fill="none", stroke="#ffffff", stroke_width=5,
               stroke_linejoin="round"))
    for i in range(14):  # icing dots along an inner heart
        a = i / 14
        x, y = _cubic(*HEART[0], a)
        X, Y = heart_tf(100, 103, 118).ap(x, y)
        X2, Y2 = heart_tf(100, 103, 118).ap(-x, y)
        d.add(circle(X, Y, 3.2, fill="#ffffff"), circle(X2, Y2, 3.2, fill="#ffffff"))
    for cx, col in [(78, "#d6204a"), (100, "#2c8f4a"), (122, "#f2c230")]:
        d.add(circle(cx, 112, 8, fill=col, stroke="#ffffff", stroke_width=2))
    reg("lebkuchenherz", "Weihnachten", "Lebkuchenherz", d)


# --------------------------------------------------------------------------------------------
# Sterne


def faceted_star(doc, col, cx, cy, R_, r, n=5, rot=-90.0, stroke_w=2.0):
    pts = star_pts(cx, cy, R_, r, n, rot)
    fill = body_paint(doc, col, (cx - R_, cy - R_, cx + R_, cy + R_))
    out = [polygon(pts, fill=fill)]
    for i in range(0, 2 * n, 2):
        tip, right, left = pts[i], pts[(i + 1) % (2 * n)], pts[i - 1]
        out.append(polygon([(cx, cy), tip, right], fill="#ffffff", fill_opacity=0.26))
        out.append(polygon([(cx, cy), tip, left], fill="#000000", fill_opacity=0.1))
    out.append(polygon(pts, fill="none", stroke_linejoin="round", **edge_kw(col, stroke_w)))
    return out


def stars():
    for name, label, col in [("stern", "Stern", CC), ("stern-gold", "Stern gold", "gold"),
                             ("stern-silber", "Stern silber", "silver"), ("stern-rot", "Stern rot", "#c8102e")]:
        d = Doc(200, 196)
        d.add(*faceted_star(d, col, 100, 105, 97, 40))
        reg(name, "Sterne", label, d)

    d = Doc(200, 200)
    d.add(*faceted_star(d, CC, 100, 100, 96, 48, n=6))
    reg("stern-sechs", "Sterne", "Stern sechszackig", d)

    d = Doc(200, 196)
    d.add(polygon(star_pts(100, 106, 88, 36, 5), fill="none", stroke=CC, stroke_width=10, stroke_linejoin="round"))
    reg("stern-umriss", "Sterne", "Stern Umriss", d)

    d = Doc(200, 200)
    d.add(path(sparkle(T(92, 108) @ S(84)), fill=CC))
    d.add(path(sparkle(T(160, 40) @ S(32)), fill=CC, fill_opacity=0.75))
    d.add(path(sparkle(T(170, 150) @ S(18)), fill=CC, fill_opacity=0.6))
    reg("funkeln", "Sterne", "Funkeln", d)

    d = Doc(300, 180)
    for k, (w, op) in enumerate([(20, 0.9), (14, 0.7), (9, 0.5)]):
        off = (k - 1) * 26
        p = P().M(200, 84 + off - w / 2).C(130, 84 + off * 1.3 - w / 3, 60, 110 + off * 2, 8, 150 + off * 2.2)
        p.C(64, 118 + off * 2, 132, 96 + off * 1.3 + w / 3, 200, 84 + off + w / 2).Z()
        d.add(path(p, fill=d.lin(200, 0, 0, 0, [(0, "#f7d774", op), (1, "#f7d774", 0)])))
    d.add(*faceted_star(d, "gold", 226, 80, 70, 29, rot=-100))
    reg("sternschnuppe", "Sterne", "Sternschnuppe", d)

    d = Doc(260, 200)
    for cx, cy, R_ in [(82, 118, 74), (196, 62, 52), (204, 160, 34)]:
        d.add(polygon(star_pts(cx, cy, R_, R_ * 0.42, 5), fill=CC, stroke=CC, stroke_width=4, stroke_linejoin="round"))
    reg("sterne-drei", "Sterne", "Drei Sterne", d)

    d = Doc(220, 220)
    cx = cy = 110
    rays = []
    for i in range(16):
        a = i * 22.5
        ro = 104 if i % 2 == 0 else 88
        rays.append([polar(cx, cy, 56, a - 9), polar(cx, cy, ro, a), polar(cx, cy, 56, a + 9)])
    ray = d.rad(cx, cy, 104, [(0.5, "#ffb300"), (1, "#ff8f00")])
    for tri in rays:
        d.add(polygon(tri, fill=ray, stroke="#e07000", stroke_width=1.5, stroke_linejoin="round"))
    d.add(circle(cx, cy, 60, fill=d.rad(cx - 18, cy - 18, 70, [(0, "#fff3a0"), (0.7, "#ffd23a"), (1, "#ffb300")]),
                 stroke="#e58e00", stroke_width=2))
    reg("sonne", "Sterne", "Sonne", d)


# --------------------------------------------------------------------------------------------
# Writing and checking

FORBIDDEN = re.compile(r"<(style|filter|mask|clipPath|pattern|text|image|marker|use|script)\b|url\((?!#)|href")


def check(name, category, label, svg):
    assert re.fullmatch(r"[a-z0-9-]+", name), name
    assert category in CATEGORIES, (name, category)
    assert "," not in label and '"' not in label, label
    assert not FORBIDDEN.search(svg), name


def main():
    for fn in DRAWERS:
        fn()
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    svg_dir = os.path.join(out, "svg")
    os.makedirs(svg_dir, exist_ok=True)
    names = set()
    rows = ["name,category,label,recolourable"]
    for name, category, label, doc in ORNAMENTS:
        svg = doc.svg()
        check(name, category, label, svg)
        assert name not in names, f"duplicate {name}"
        names.add(name)
        rc = 1 if CC in svg else 0
        rows.append(f"{name},{category},{label},{rc}")
        with open(os.path.join(svg_dir, name + ".svg"), "w", encoding="utf-8", newline="\n") as f:
            f.write(svg)
    for old in os.listdir(svg_dir):
        if old.endswith(".svg") and old[:-4] not in names:
            os.remove(os.path.join(svg_dir, old))
    with open(os.path.join(out, "ornaments.csv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(rows) + "\n")
    counts = {c: sum(1 for o in ORNAMENTS if o[1] == c) for c in CATEGORIES}
    print(f"{len(ORNAMENTS)} ornaments, {sum(1 for r in rows[1:] if r.endswith(',1'))} recolourable")
    for c in CATEGORIES:
        print(f"  {c}: {counts[c]}")


DRAWERS = [hearts, stars]

if __name__ == "__main__":
    main()
