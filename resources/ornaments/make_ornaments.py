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
# Ballons und Feier


def balloon(doc, col, cx, cy, rx, string_to=None, string=True):
    """A balloon with its centre at (cx, cy) and half width rx; returns the elements and the
    point where its string starts."""
    ry = rx * 1.2
    t = T(cx, cy) @ S(rx, ry)
    body = (P(t).M(0, -1).C(0.6, -1, 1, -0.6, 1, -0.08).C(1, 0.5, 0.42, 0.93, 0, 1)
            .C(-0.42, 0.93, -1, 0.5, -1, -0.08).C(-1, -0.6, -0.6, -1, 0, -1).Z())
    fill = body_paint(doc, col, (cx - rx, cy - ry, cx + rx, cy + ry)) if col != CC else CC
    out = [path(body, fill=fill, **edge_kw(col, 1.5) if col != CC else {})]
    kx, ky = cx, cy + ry
    out.append(polygon([(kx, ky - 2), (kx - rx * 0.1, ky + rx * 0.13), (kx + rx * 0.1, ky + rx * 0.13)],
                       fill=fill, stroke_linejoin="round", **edge_kw(col, 1.5)))
    hx, hy = cx - rx * 0.45, cy - ry * 0.45
    out.append(path(P(R(-35, hx, hy)).ellipse(hx, hy, rx * 0.16, rx * 0.3), fill="#ffffff", fill_opacity=0.45))
    sx, sy = kx, ky + rx * 0.13
    if string:
        ex, ey = string_to if string_to else (cx + rx * 0.1, sy + rx * 1.6)
        dx, dy = ex - sx, ey - sy
        p = P().M(sx, sy).C(sx + dy * 0.18, sy + dy * 0.3, sx + dx * 0.6 - dy * 0.2, sy + dy * 0.55, ex, ey)
        out.insert(0, path(p, fill="none", stroke="#6d6d6d", stroke_width=1.8, stroke_linecap="round"))
    return out


CONFETTI_COLOURS = ["#e63946", "#f4a261", "#f2c230", "#2a9d8f", "#457b9d", "#9b5de5", "#f15bb5", "#00bbf9"]


def confetti(doc, w, h, colours, count, seed):
    rnd = random.Random(seed)
    out = []
    placed = []
    tries = 0
    while len(out) < count and tries < count * 60:
        tries += 1
        x, y = rnd.uniform(14, w - 14), rnd.uniform(14, h - 14)
        if any((x - a) ** 2 + (y - b) ** 2 < 34 ** 2 for a, b in placed):
            continue
        placed.append((x, y))
        col, op = colours[len(out) % len(colours)]
        kind = len(out) % 4
        ang = rnd.uniform(0, 180)
        if kind == 0:
            pts = [R(ang, x, y).ap(x + dx, y + dy) for dx, dy in [(-12, -6), (12, -6), (12, 6), (-12, 6)]]
            out.append(polygon(pts, fill=col, fill_opacity=op))
        elif kind == 1:
            out.append(circle(x, y, rnd.uniform(6, 9), fill=col, fill_opacity=op))
        elif kind == 2:
            t = R(ang, x, y)
            p = P(t).M(x - 14, y).C(x - 9, y - 11, x - 3, y - 11, x, y).C(x + 3, y + 11, x + 9, y + 11, x + 14, y)
            out.append(path(p, fill="none", stroke=col, stroke_opacity=op, stroke_width=4.5, stroke_linecap="round"))
        else:
            out.append(polygon(star_pts(x, y, 12, 5, 5, ang), fill=col, fill_opacity=op))
    return out


def lantern(doc, col, cx, cy, rx, ry):
    body = doc.rad(cx, cy, rx * 1.1, [(0, shade(col, 0.55)), (0.55, shade(col, 0.1)), (1, shade(col, -0.3))])
    rib = shade(col, -0.35)
    out = [line(cx, 4, cx, cy - ry - 6, stroke="#444444", stroke_width=2)]
    out.append(ellipse(cx, cy, rx, ry, fill=body, stroke=rib, stroke_width=1.5))
    for k in (0.25, 0.55, 0.82):
        out.append(path(P().arc(cx, cy, rx * k, ry, -90, 90, move=True), fill="none", stroke=rib, stroke_width=1.3))
        out.append(path(P().arc(cx, cy, rx * k, ry, 90, 270, move=True), fill="none", stroke=rib, stroke_width=1.3))
    for y in (cy - ry * 0.5, cy, cy + ry * 0.5):
        hw = rx * math.sqrt(1 - ((y - cy) / ry) ** 2)
        out.append(path(P().M(cx - hw, y).Q(cx, y + 6, cx + hw, y), fill="none", stroke=rib, stroke_width=1, stroke_opacity=0.6))
    cap = doc.lin(cx - rx * 0.4, 0, cx + rx * 0.4, 0, [(0, "#3a3a3a"), (0.5, "#777777"), (1, "#2a2a2a")])
    out.append(rect(cx - rx * 0.38, cy - ry - 8, rx * 0.76, 12, rx=2, fill=cap))
    out.append(rect(cx - rx * 0.3, cy + ry - 4, rx * 0.6, 10, rx=2, fill=cap))
    out.append(line(cx, cy + ry + 6, cx, cy + ry + 20, stroke="#c8102e", stroke_width=3, stroke_linecap="round"))
    return out


def flute(doc, cx, base_y, h, liquid=True):
    """A champagne flute standing on (cx, base_y), h high, upright."""
    bowl_h, rim = h * 0.62, h * 0.13
    top, bottom = base_y - h, base_y - h + bowl_h
    bowl = [(cx - rim, top)]
    for i in range(1, 13):
        f = i / 12
        bowl.append((cx - rim * (1 - f ** 2.4), top + bowl_h * f))
    bowl += [(2 * cx - x, y) for x, y in reversed(bowl)]
    out = []
    if liquid:
        lvl = top + bowl_h * 0.22
        liq = clip_convex([(cx - rim * 2, lvl), (cx + rim * 2, lvl), (cx + rim * 2, bottom + 5), (cx - rim * 2, bottom + 5)], bowl)
        out.append(polygon(liq, fill=doc.lin(0, lvl, 0, bottom, [(0, "#fbe9a0"), (1, "#e2b53f")])))
        for bx, by, br in [(cx - rim * 0.3, lvl + bowl_h * 0.3, 2.4), (cx + rim * 0.35, lvl + bowl_h * 0.5, 2),
                           (cx, lvl + bowl_h * 0.15, 1.8), (cx - rim * 0.1, lvl + bowl_h * 0.62, 1.6)]:
            out.append(circle(bx, by, br, fill="#ffffff", fill_opacity=0.8))
    out.append(polygon(bowl, fill="#dfeef7", fill_opacity=0.35, stroke="#6d8aa0", stroke_width=2, stroke_linejoin="round"))
    out.append(line(cx - rim * 0.55, top + 8, cx - rim * 0.4, top + bowl_h * 0.6, stroke="#ffffff", stroke_width=3,
                    stroke_linecap="round", stroke_opacity=0.8))
    out.append(path(P().M(cx - 3, bottom).L(cx - 2.5, base_y - 6).L(cx + 2.5, base_y - 6).L(cx + 3, bottom).Z(),
                    fill="#dfeef7", stroke="#6d8aa0", stroke_width=1.6, stroke_linejoin="round"))
    out.append(ellipse(cx, base_y - 4, rim * 1.1, 4.5, fill="#dfeef7", stroke="#6d8aa0", stroke_width=1.8))
    return out


def party():
    for name, label, col in [("ballon", "Ballon", CC), ("ballon-rot", "Ballon rot", "#d62839"),
                             ("ballon-blau", "Ballon blau", "#2f6db5"), ("ballon-gruen", "Ballon grün", "#3a9d4a")]:
        d = Doc(160, 300)
        d.add(*balloon(d, col, 80, 84, 68, string_to=(84, 292)))
        reg(name, "Ballons und Feier", label, d)

    d = Doc(260, 320)
    knot = (132, 300)
    for col, cx, cy, rx in [("#2f6db5", 186, 100, 58), ("#f2c230", 74, 104, 58), ("#d62839", 130, 82, 62)]:
        d.add(*balloon(d, col, cx, cy, rx, string_to=knot))
    bow = P().M(132, 298).C(116, 284, 108, 300, 118, 306).Z().M(132, 298).C(148, 284, 156, 300, 146, 306).Z()
    d.add(path(bow, fill="#c8102e"))
    reg("ballontraube", "Ballons und Feier", "Ballontraube", d)

    d = Doc(300, 200)
    d.add(*confetti(d, 300, 200, [(c, 1) for c in CONFETTI_COLOURS], 40, 7))
    reg("konfetti", "Ballons und Feier", "Konfetti bunt", d)

    d = Doc(300, 200)
    d.add(*confetti(d, 300, 200, [(CC, 1), (CC, 0.55), (CC, 0.8), (CC, 0.4)], 40, 11))
    reg("konfetti-einfarbig", "Ballons und Feier", "Konfetti einfarbig", d)

    for name, label, col in [("lampion-orange", "Lampion orange", "#f28c1e"), ("lampion-rot", "Lampion rot", "#d62839")]:
        d = Doc(180, 220)
        d.add(*lantern(d, col, 90, 112, 80, 66))
        reg(name, "Ballons und Feier", label, d)

    d = Doc(400, 150)

    def sag(x):
        t = x / 400
        return (1 - t) ** 2 * 14 + 2 * (1 - t) * t * 74 + t ** 2 * 14

    d.add(path(P().M(0, 14).Q(200, 74, 400, 14), fill="none", stroke="#555555", stroke_width=2.2))
    cols = ["#e63946", "#f2c230", "#2a9d8f", "#457b9d", "#f15bb5", "#f4a261"]
    for i in range(6):
        x0 = 14 + i * 64
        x1 = x0 + 54
        y0, y1 = sag(x0), sag(x1)
        tip = ((x0 + x1) / 2, (y0 + y1) / 2 + 92)
        col = cols[i % len(cols)]
        d.add(polygon([(x0, y0), (x1, y1), tip], fill=col, stroke=shade(col, -0.3), stroke_width=1.4,
                      stroke_linejoin="round"))
        d.add(circle((x0 + x1) / 2, (y0 + y1) / 2 + 30, 7, fill="#ffffff", fill_opacity=0.75))
    reg("wimpelkette", "Ballons und Feier", "Wimpelkette", d)

    d = Doc(180, 240)
    cone = [(90, 40), (160, 226), (20, 226)]
    d.add(polygon(cone, fill=d.lin(20, 0, 160, 0, [(0, "#7b4fd6"), (1, "#5a2fb0")])))
    for k in range(-3, 6):
        band = [(20 + k * 40, 240), (60 + k * 40, 240), (160 + k * 40, 0), (120 + k * 40, 0)]
        part = clip_convex(band, cone)
        if len(part) >= 3 and k % 2 == 0:
            d.add(polygon(part, fill="#f2c230"))
    for x, y in [(90, 120), (68, 175), (116, 185), (92, 84)]:
        d.add(circle(x, y, 5, fill="#ffffff"))
    d.add(path(P().M(14, 226).Q(90, 246, 166, 226), fill="none", stroke="#f15bb5", stroke_width=8, stroke_linecap="round"))
    for a in range(0, 360, 30):
        x, y = polar(90, 28, 22, a)
        d.add(line(90, 28, x, y, stroke="#f15bb5", stroke_width=6, stroke_linecap="round"))
    d.add(circle(90, 28, 10, fill="#ff8cc6"))
    reg("partyhut", "Ballons und Feier", "Partyhut", d)

    d = Doc(240, 250)
    d.add(group(flute(d, 66, 242, 212), transform="rotate(13 66 242)"))
    d.add(group(flute(d, 174, 242, 212), transform="rotate(-13 174 242)"))
    for a, l in [(-90, 22), (-50, 16), (-130, 16), (-20, 10), (-160, 10)]:
        x0, y0 = polar(120, 30, 8, a)
        x1, y1 = polar(120, 30, 8 + l, a)
        d.add(line(x0, y0, x1, y1, stroke="#e2b53f", stroke_width=3, stroke_linecap="round"))
    reg("sektglaeser", "Ballons und Feier", "Sektgläser", d)

    d = Doc(240, 240)
    tiers = [(30, 150, 180, 76, "#f7d6e0", "#ffffff"), (60, 92, 120, 60, "#f7d6e0", "#ffffff")]
    d.add(ellipse(120, 228, 112, 10, fill="#d9d9d9"))
    for x, y, w, h, base, icing in tiers:
        d.add(rect(x, y, w, h, rx=6, fill=d.lin(x, 0, x + w, 0, [(0, shade(base, 0.3)), (1, shade(base, -0.12))])))
        p = P().M(x, y + 8).Q(x, y, x + 8, y).L(x + w - 8, y).Q(x + w, y, x + w, y + 8)
        n = 6
        for i in range(n, 0, -1):
            xa = x + w * i / n
            xb = x + w * (i - 0.5) / n
            p.L(xa, y + 12).Q(xa, y + 24, xb, y + 22 + (i % 2) * 6).Q(xa - w / n, y + 24, xa - w / n, y + 12)
        d.add(path(p.Z(), fill=icing, stroke="#e8b9c8", stroke_width=1))
        for i in range(5):
            d.add(circle(x + w * (i + 0.5) / 5, y + h - 14, 4, fill="#e05a8a"))
    for cx, col in [(96, "#2f6db5"), (120, "#f2c230"), (144, "#3a9d4a")]:
        d.add(rect(cx - 4, 58, 8, 36, rx=2, fill=col))
        d.add(*flame(d, cx, 56, 30))
    reg("torte", "Ballons und Feier", "Geburtstagstorte", d)

    d = Doc(240, 190)
    gold = d.paint("gold", 20, 30, 220, 180)
    pts = [(24, 150), (16, 52), (66, 104), (120, 30), (174, 104), (224, 52), (216, 150)]
    d.add(polygon(pts, fill=gold, stroke="#8c5f0c", stroke_width=2.5, stroke_linejoin="round"))
    d.add(rect(18, 140, 204, 36, rx=5, fill=gold, stroke="#8c5f0c", stroke_width=2.5))
    for x, y in [(16, 52), (120, 30), (224, 52)]:
        d.add(circle(x, y, 11, fill=gold, stroke="#8c5f0c", stroke_width=2))
    for x, col in [(60, "#2f6db5"), (120, "#c8102e"), (180, "#2a9d5f")]:
        d.add(path(P().M(x, 146).L(x + 10, 158).L(x, 170).L(x - 10, 158).Z(), fill=col, stroke="#ffffff",
                   stroke_width=1.5, stroke_linejoin="round"))
    d.add(path(P().ellipse(120, 104, 12, 16), fill="#c8102e", stroke="#8c5f0c", stroke_width=2))
    reg("krone", "Ballons und Feier", "Krone", d)


# --------------------------------------------------------------------------------------------
# Kerzen


def candle(doc, col, cx, top, bottom, w, with_flame=True):
    x = cx - w / 2
    if col == CC:
        fill = CC
    else:
        fill = doc.lin(x, 0, x + w, 0, [(0, shade(col, 0.25)), (0.45, col), (1, shade(col, -0.28))])
    out = [path(P().M(x, top).L(x, bottom - 4).Q(x, bottom, x + 4, bottom).L(x + w - 4, bottom)
                .Q(x + w, bottom, x + w, bottom - 4).L(x + w, top).Z(), fill=fill, **edge_kw(col, 1.4))]
    if col == CC:
        out.append(rect(x + w * 0.68, top, w * 0.32, bottom - top - 4, fill="#000000", fill_opacity=0.14))
        out.append(rect(x + w * 0.1, top + 6, w * 0.12, bottom - top - 14, fill="#ffffff", fill_opacity=0.25))
    out.append(ellipse(cx, top, w / 2, w * 0.12, fill=CC if col == CC else shade(col, 0.2), **edge_kw(col, 1.2)))
    out.append(ellipse(cx, top, w * 0.4, w * 0.08, fill="#ffffff", fill_opacity=0.25))
    drip = P().M(x + w * 0.62, top).L(x + w * 0.62, top + w * 0.5).Q(x + w * 0.7, top + w * 0.62, x + w * 0.78, top + w * 0.5).L(x + w * 0.8, top).Z()
    out.append(path(drip, fill=CC if col == CC else shade(col, 0.15), fill_opacity=None if col != CC else 1,
                    **edge_kw(col, 1)))
    out.append(line(cx, top - 2, cx, top - w * 0.22, stroke="#333333", stroke_width=2.2, stroke_linecap="round"))
    if with_flame:
        out.extend(flame(doc, cx, top - w * 0.18, w * 1.1))
    return out


def candles():
    for name, label, col in [("kerze", "Kerze", CC), ("kerze-rot", "Kerze rot", "#c8102e"),
                             ("kerze-weiss", "Kerze weiß", "#f4ecd6")]:
        d = Doc(140, 280)
        d.add(*candle(d, col, 70, 110, 270, 64))
        reg(name, "Kerzen", label, d)

    d = Doc(260, 260)
    for cx, top, col in [(56, 130, "#f4ecd6"), (130, 84, "#c8102e"), (204, 150, "#e2b53f")]:
        d.add(*candle(d, col, cx, top, 250, 54))
    reg("kerzen-drei", "Kerzen", "Drei Kerzen", d)

    d = Doc(200, 170)
    d.add(path(P().M(20, 96).L(30, 152).Q(100, 172, 170, 152).L(180, 96).Z(),
               fill=d.lin(20, 0, 180, 0, SILVER), stroke="#6c717a", stroke_width=1.5, stroke_linejoin="round"))
    d.add(ellipse(100, 96, 80, 16, fill="#f6efdc", stroke="#6c717a", stroke_width=2))
    d.add(ellipse(100, 98, 62, 10, fill="#efe3c2"))
    d.add(line(100, 96, 100, 84, stroke="#333333", stroke_width=2.4, stroke_linecap="round"))
    d.add(*flame(d, 100, 88, 78))
    reg("teelicht", "Kerzen", "Teelicht", d)

    d = Doc(140, 300)
    g = d.paint("gold", 20, 180, 120, 300)
    d.add(*candle(d, "#f4ecd6", 70, 92, 220, 26))
    d.add(path(P().M(34, 216).Q(70, 232, 106, 216).L(100, 228).Q(70, 240, 40, 228).Z(), fill=g, stroke="#8c5f0c", stroke_width=1.5))
    d.add(path(P().M(62, 232).L(58, 270).L(82, 270).L(78, 232).Z(), fill=g, stroke="#8c5f0c", stroke_width=1.5))
    d.add(circle(70, 250, 10, fill=g, stroke="#8c5f0c", stroke_width=1.5))
    d.add(path(P().M(36, 292).Q(40, 270, 70, 268).Q(100, 270, 104, 292).Z(), fill=g, stroke="#8c5f0c", stroke_width=1.5))
    reg("kerzenleuchter", "Kerzen", "Kerzenleuchter", d)

    d = Doc(260, 250)
    d.add(path(P().ellipse(130, 222, 122, 22), fill="#2f6a34"))
    for i in range(22):
        a = 180 + i * 180 / 21
        x, y = polar(130, 222, 118, a)
        d.add(path(leaf(T(x, y) @ R(a + 90 + (i % 3 - 1) * 20) @ S(30, 34), 0.3), fill="#2e7d32" if i % 2 else "#1b5e20"))
    for i, (cx, top) in enumerate([(50, 120), (104, 100), (158, 100), (212, 120)]):
        d.add(*candle(d, "#c8102e", cx, top, 214, 34, with_flame=i < 2))
    for x in (70, 130, 190):
        d.add(circle(x, 226, 7, fill="#d62839", stroke="#7a0f1a", stroke_width=1))
    reg("adventskerzen", "Kerzen", "Adventskerzen", d)


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


DRAWERS = [hearts, stars, party, candles]

if __name__ == "__main__":
    main()
