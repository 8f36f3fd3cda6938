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

    def hole(self, cx, cy, r):
        """A circle drawn the other way round, to cut a hole with either fill rule."""
        return self.M(cx + r, cy).arc(cx, cy, r, r, 0, -360).Z()

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

    def paint(self, colour, x1, y1, x2, y2):
        """A plain colour, or a metal ('gold', 'silver', 'rosegold') as a diagonal gradient
        over the given box."""
        metals = {"gold": GOLD, "silver": SILVER, "rosegold": ROSEGOLD}
        if colour in metals:
            return self.lin(x1, y1, x2, y2, metals[colour])
        return colour

    def trim(self, left, top, right, bottom):
        """Cuts the given margins off the canvas (negative values add room); the drawing moves
        with the canvas, so the viewBox keeps its origin at 0 0."""
        self.w -= left + right
        self.h -= top + bottom
        self.body = [group(self.body, transform=f"translate({num(-left)} {num(-top)})")]

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


# Canvas corrections (left, top, right, bottom) after looking at the rendered drawings, so that
# every ornament fills its box up to a small margin.
TRIM = {
    "flaeschchen": (13, 0, 13, 0), "fussabdruecke": (5, 24, 6, 10), "fussabdruecke-rosa": (5, 24, 6, 10),
    "fussabdruecke-blau": (5, 24, 6, 10), "geschenk": (15, 27, 15, 0), "geschenk-rot": (15, 27, 15, 0),
    "geschenk-blau": (15, 27, 15, 0), "geschenk-gruen": (15, 27, 15, 0), "geschenk-gestreift": (15, 27, 15, 0),
    "glocken": (-6, 0, -6, 24), "glocken-einfarbig": (-6, 0, -6, 24), "kerzenleuchter": (20, 43, 20, 0), "kueken": (27, 12, 24, 0),
    "ostereier-drei": (6, 32, 6, -5), "rose-rot": (26, 17, 17, 9), "stechpalme": (6, 30, 6, 16),
    "taube-weiss": (5, 5, 4, 20), "taube": (0, 3, 9, 27), "tauben-herz": (2, 22, 2, 12),
    "trauerschleife": (20, 0, 20, 0), "tulpe-rot": (33, 0, 21, 0), "tulpe-gelb": (33, 0, 21, 0),
    "osterhase": (25, -10, 25, -4), "partyhut": (0, 0, 0, -6), "rahmen-herz": (0, -6, 0, -6),
    "ranke": (0, 13, -4, 13), "adventskerzen": (0, 36, 0, -26), "blatt": (26, 8, 5, 0), "blatt-gruen": (26, 8, 5, 0),
    "blatt-herbst": (26, 8, 5, 0), "kerze": (14, 11, 14, 3), "kerze-rot": (14, 11, 14, 3), "kerze-weiss": (14, 11, 14, 3),
    "olivenzweig": (8, -6, -8, 12), "teelicht": (13, -8, 13, 0), "schleife": (0, -8, 0, 6), "schleife-rot": (0, -8, 0, 6), "sektglaeser": (30, -6, 30, 0),
}


def reg(name, category, label, doc):
    if name in TRIM:
        doc.trim(*TRIM[name])
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
    glow = doc.rad(cx, base_y - h * 0.45, h * 0.72,
                   [(0, "#fff3a0", 0.55), (1, "#ffd24a", 0)])
    outer = doc.lin(cx, base_y - h, cx, base_y, [(0, "#ffb000"), (0.6, "#ff8a00"), (1, "#e0420c")])
    inner = doc.lin(cx, base_y - h * 0.7, cx, base_y, [(0, "#ffffff"), (0.5, "#fff6b0"), (1, "#ffd54a")])
    s = h / 1.75
    t = T(cx, base_y - 0.75 * s) @ S(s)
    return [circle(cx, base_y - h * 0.45, h * 0.72, fill=glow),
            path(teardrop(t), fill=outer),
            path(teardrop(T(cx, base_y - 0.08 * h) @ S(s * 0.55) @ T(0, -0.75)), fill=inner)]


def sparkle(t):
    """A four-pointed sparkle with concave sides, tips at distance 1."""
    p = P(t).M(0, -1)
    for a in range(4):
        x1, y1 = polar(0, 0, 1, -90 + a * 90)
        x2, y2 = polar(0, 0, 1, a * 90)
        p.Q(0.12 * (x1 + x2), 0.12 * (y1 + y2), x2, y2)
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

    d = Doc(300, 140)
    for cx, cy, w in [(52, 78, 84), (150, 68, 110), (248, 78, 84)]:
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
        p = P().M(200, 84 + off - w / 2).C(130, 84 + off * 1.2 - w / 3, 60, 104 + off * 1.5, 8, 128 + off * 1.6)
        p.C(64, 112 + off * 1.5, 132, 96 + off * 1.2 + w / 3, 200, 84 + off + w / 2).Z()
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
    d.add(path(P().ellipse(130, 222, 100, 20), fill="#2f6a34"))

    def wreath_leaves(a0, a1):
        out = []
        for i in range(12):
            a = a0 + (i + 0.5) * (a1 - a0) / 12
            x, y = 130 + 96 * math.cos(math.radians(a)), 222 + 18 * math.sin(math.radians(a))
            out.append(path(leaf(T(x, y) @ R(a + 90 + (i % 3 - 1) * 25) @ S(30, 32), 0.32),
                            fill=("#2e7d32", "#1b5e20", "#3f8f3a")[i % 3]))
        return out

    d.add(*wreath_leaves(180, 360))
    for i, (cx, top) in enumerate([(58, 120), (106, 100), (154, 100), (202, 120)]):
        d.add(*candle(d, "#c8102e", cx, top, 218, 34, with_flame=i < 2))
    d.add(*wreath_leaves(0, 180))
    for x in (70, 130, 190):
        d.add(circle(x, 236, 7, fill="#d62839", stroke="#7a0f1a", stroke_width=1))
    reg("adventskerzen", "Kerzen", "Adventskerzen", d)


# --------------------------------------------------------------------------------------------
# Geschenke


def bow(doc, col, cx, cy, size, tails=True):
    """A ribbon bow whose knot sits on (cx, cy)."""
    fill = CC if col == CC else doc.paint(col, cx - size, cy - size, cx + size, cy + size)
    ek = edge_kw(col, 1.4)
    out = []
    if tails:
        for sx in (-1, 1):
            t = T(cx, cy) @ S(sx * size, size)
            out.append(path(P(t).M(-0.08, 0.05).L(0.38, 0.78).L(0.5, 0.62).L(0.62, 0.86).L(0.14, 0.02).Z(),
                            fill=fill, stroke_linejoin="round", **ek))
    for sx in (-1, 1):
        t = T(cx, cy) @ S(sx * size, size)
        loop = P(t).M(0, 0).C(0.3, -0.85, 1.1, -0.95, 1.02, -0.36).C(0.96, 0.02, 0.42, 0.1, 0, 0).Z()
        out.append(path(loop, fill=fill, stroke_linejoin="round", **ek))
        inner = P(t).M(0.1, -0.06).C(0.36, -0.55, 0.86, -0.66, 0.84, -0.34).C(0.8, -0.12, 0.42, -0.04, 0.1, -0.06).Z()
        out.append(path(inner, fill="#000000", fill_opacity=0.16))
    out.append(path(P().ellipse(cx, cy - size * 0.02, size * 0.2, size * 0.17), fill=fill, **ek))
    return out


def gift(doc, box, ribbon, x, y, w, h, stripes=None):
    lid_h = h * 0.22
    cx = x + w / 2
    rw = w * 0.16
    bx = body_paint(doc, box, (x, y, x + w, y + h))
    out = [rect(x, y + lid_h, w, h - lid_h, fill=bx, **edge_kw(box, 1.5))]
    if stripes:
        n = 7
        for k in range(1, n, 2):
            out.append(rect(x + w * k / n, y + lid_h, w / n, h - lid_h, fill=stripes))
    out.append(rect(x + w * 0.72, y + lid_h, w * 0.28, h - lid_h, fill="#000000", fill_opacity=0.12))
    rf = CC if ribbon == CC else doc.paint(ribbon, cx - rw, 0, cx + rw, 0)
    out.append(rect(cx - rw / 2, y + lid_h, rw, h - lid_h, fill=rf, **edge_kw(ribbon, 1)))
    out.append(rect(x - w * 0.05, y, w * 1.1, lid_h, rx=3, fill=bx, **edge_kw(box, 1.5)))
    if stripes:
        for k in range(1, 8, 2):
            out.append(rect(x - w * 0.05 + w * 1.1 * k / 8, y + 1, w * 1.1 / 8, lid_h - 2, fill=stripes))
    out.append(rect(x - w * 0.05, y + lid_h * 0.72, w * 1.1, lid_h * 0.28, fill="#000000", fill_opacity=0.14))
    out.append(rect(cx - rw / 2, y, rw, lid_h, fill=rf, **edge_kw(ribbon, 1)))
    out.extend(bow(doc, ribbon, cx, y, w * 0.36))
    return out


def gifts():
    for name, label, box, ribbon in [("geschenk", "Geschenk", CC, "#ffffff"), ("geschenk-rot", "Geschenk rot", "#c8102e", "gold"),
                                     ("geschenk-blau", "Geschenk blau", "#2f6db5", "silver"),
                                     ("geschenk-gruen", "Geschenk grün", "#2e8b57", "#c8102e")]:
        d = Doc(220, 220)
        d.add(*gift(d, box, ribbon, 30, 76, 160, 136))
        reg(name, "Geschenke", label, d)

    d = Doc(220, 220)
    d.add(*gift(d, "#f2c230", "#e63946", 30, 76, 160, 136, stripes="#f7dd7a"))
    reg("geschenk-gestreift", "Geschenke", "Geschenk gestreift", d)

    d = Doc(280, 260)
    d.add(*gift(d, "#2f6db5", "#f2c230", 20, 120, 150, 130))
    d.add(group(gift(d, "#e05a8a", "#ffffff", 150, 150, 106, 100), transform="rotate(-6 200 200)"))
    d.add(group(gift(d, "#3a9d4a", "gold", 52, 52, 86, 70), transform="rotate(8 95 90)"))
    reg("geschenke-stapel", "Geschenke", "Geschenkestapel", d)

    d = Doc(240, 190)
    d.add(*bow(d, CC, 120, 80, 112))
    reg("schleife", "Geschenke", "Schleife", d)

    d = Doc(240, 190)
    d.add(*bow(d, "#c8102e", 120, 80, 112))
    reg("schleife-rot", "Geschenke", "Schleife rot", d)


# --------------------------------------------------------------------------------------------
# Blumen und Blätter


def flower(doc, col, cx, cy, r, n=5, width=0.5, centre="#f2c230", rot=0.0):
    out = []
    if col == CC:
        for k in range(n):
            t = T(cx, cy) @ R(rot + k * 360 / n) @ S(r)
            out.append(path(petal(t, width), fill=CC, stroke="#000000", stroke_opacity=0.2, stroke_width=1))
            out.append(path(petal(t @ S(0.55), width * 0.8), fill="#ffffff", fill_opacity=0.25))
    else:
        fill = doc.rad(cx, cy, r, [(0, shade(col, -0.2)), (0.35, col), (1, shade(col, 0.35))])
        for k in range(n):
            t = T(cx, cy) @ R(rot + k * 360 / n) @ S(r)
            out.append(path(petal(t, width), fill=fill, stroke=shade(col, -0.35), stroke_width=1))
    cr = r * 0.24
    out.append(circle(cx, cy, cr, fill=doc.rad(cx - cr * 0.3, cy - cr * 0.3, cr * 1.3,
                                               [(0, shade(centre, 0.4)), (1, shade(centre, -0.3))])))
    for k in range(7):
        x, y = polar(cx, cy, cr * 0.55 if k else 0, k * 60)
        out.append(circle(x, y, cr * 0.14, fill=shade(centre, -0.45), fill_opacity=0.7))
    return out


def veined_leaf(doc, col, t, width=0.38, veins=5):
    fill = CC if col == CC else doc.lin(*t.ap(-width, 0), *t.ap(width, -1), [(0, shade(col, 0.25)), (1, shade(col, -0.25))])
    out = [path(leaf(t, width), fill=fill, stroke_linejoin="round", **edge_kw(col, 1.2))]
    vein = P(t).M(0, 0.02).Q(0.04, -0.5, 0, -0.92)
    for k in range(1, veins + 1):
        y = -0.12 - 0.72 * k / (veins + 1)
        reach = width * 0.9 * math.sin(math.pi * (-y) ** 0.8)
        for sx in (-1, 1):
            vein.M(0.02, y).Q(sx * reach * 0.5, y - 0.04, sx * reach, y - 0.14)
    out.append(path(vein, fill="none", stroke="#ffffff", stroke_opacity=0.45, stroke_width=max(1.0, t.scale() * 0.018),
                    stroke_linecap="round"))
    return out


def tulip(doc, col, cx, top, stem_bottom):
    out = []
    out.append(path(P().M(cx, top + 70).C(cx + 4, top + 120, cx - 8, stem_bottom - 50, cx - 2, stem_bottom), fill="none",
                    stroke="#3f8f3a", stroke_width=7, stroke_linecap="round"))
    lf = P().M(cx - 2, stem_bottom - 6).C(cx - 50, stem_bottom - 40, cx - 58, stem_bottom - 110, cx - 40, stem_bottom - 150)
    lf.C(cx - 30, stem_bottom - 100, cx - 14, stem_bottom - 50, cx - 2, stem_bottom - 6).Z()
    out.append(path(lf, fill=doc.lin(cx - 50, 0, cx, 0, [(0, "#6abf5e"), (1, "#2f7a2c")])))
    fill = doc.lin(cx - 46, top, cx + 46, top + 90, [(0, shade(col, 0.3)), (0.5, col), (1, shade(col, -0.3))])
    t = T(cx, top + 45) @ S(46, 45)
    cup = P(t).M(-0.92, -0.7).C(-1.1, 0.2, -0.7, 1, 0, 1).C(0.7, 1, 1.1, 0.2, 0.92, -0.7)
    cup.L(0.5, -0.22).L(0, -1).L(-0.5, -0.22).Z()
    out.append(path(cup, fill=fill, stroke=shade(col, -0.4), stroke_width=1.4, stroke_linejoin="round"))
    mid = P(t).M(-0.42, -0.3).C(-0.46, 0.3, -0.2, 0.85, 0, 0.98).C(0.2, 0.85, 0.46, 0.3, 0.42, -0.3).L(0, -0.95).Z()
    out.append(path(mid, fill="#ffffff", fill_opacity=0.18, stroke=shade(col, -0.3), stroke_width=1))
    return out


def round_petal(t, w):
    """A petal from (0, 0) with a round end at (0, -1)."""
    return P(t).M(0, 0).C(w, -0.15, w, -1, 0, -1).C(-w, -1, -w, -0.15, 0, 0).Z()


def rose(doc, col, cx, cy, r):
    out = []
    for rr, n, w, rot, sh in [(1.0, 5, 0.85, 0, -0.12), (0.74, 5, 0.8, 36, 0.0), (0.5, 4, 0.8, 15, 0.1)]:
        for j in range(n):
            t = T(cx, cy) @ R(rot + j * 360 / n) @ S(r * rr)
            out.append(path(round_petal(t, w), fill=shade(col, sh), stroke=shade(col, -0.45), stroke_width=1.2,
                            stroke_linejoin="round"))
    out.append(circle(cx, cy, r * 0.3, fill=shade(col, 0.05), stroke=shade(col, -0.45), stroke_width=1.2))
    bud = spiral(cx, cy, r * 0.26, -60, 1.6, 0.85, 22)
    out.append(path(smooth(bud), fill="none", stroke=shade(col, -0.45), stroke_width=1.8, stroke_linecap="round"))
    out.append(path(P().arc(cx, cy, r * 0.22, r * 0.22, 200, 260, move=True), fill="none", stroke="#ffffff",
                    stroke_opacity=0.4, stroke_width=2.5, stroke_linecap="round"))
    return out


def holly_leaf(t, spikes=4):
    """A holly leaf from its stalk at (0, 0) to its tip at (0, -1): sharp spikes joined by
    curves that bend in toward the midrib."""
    half = lambda f: 0.23 * math.sin(math.pi * f) ** 0.6
    fs = [(i + 0.5) / (spikes + 0.5) for i in range(spikes)]
    side = [(half(f) * 1.12, -f) for f in fs]
    p = P(t).M(0, 0)
    prev_f = 0.0
    for (x, y), f in zip(side + [(0, -1)], fs + [1.0]):
        mid = (prev_f + f) / 2
        p.Q(half(mid) * 0.62, -mid, x, y)
        prev_f = f
    back = list(reversed(side))
    prev_f = 1.0
    for (x, y), f in zip([(-sx, sy) for sx, sy in back] + [(0, 0)], list(reversed(fs)) + [0.0]):
        mid = (prev_f + f) / 2
        p.Q(-half(mid) * 0.62, -mid, x, y)
        prev_f = f
    return p.Z()


def flowers():
    for name, label, col, n, w in [("blume", "Blume", CC, 5, 0.62), ("blume-rosa", "Blume rosa", "#ee7fa0", 5, 0.62),
                                   ("blume-blau", "Blume blau", "#4a7fd6", 6, 0.55),
                                   ("blume-gelb", "Blume gelb", "#f7c928", 8, 0.45)]:
        d = Doc(200, 200)
        d.add(*flower(d, col, 100, 100, 94, n, w, centre="#f2c230" if col != "#f7c928" else "#d9692a"))
        reg(name, "Blumen und Blätter", label, d)

    d = Doc(200, 200)
    for k in range(18):
        t = T(100, 100) @ R(k * 20) @ S(94)
        d.add(path(petal(t, 0.26), fill="#ffffff", stroke="#b9b9b9", stroke_width=1.2))
    d.add(circle(100, 100, 24, fill=d.rad(92, 92, 32, [(0, "#ffe37a"), (1, "#e8a317")])))
    reg("margerite", "Blumen und Blätter", "Margerite", d)

    for name, label, col in [("tulpe-rot", "Tulpe rot", "#d62839"), ("tulpe-gelb", "Tulpe gelb", "#f4c430")]:
        d = Doc(160, 300)
        d.add(*tulip(d, col, 88, 8, 292))
        reg(name, "Blumen und Blätter", label, d)

    d = Doc(220, 220)
    for a in (130, 210, 320):
        d.add(*veined_leaf(d, "#3f8f3a", T(110, 110) @ R(a) @ S(108), 0.34))
    d.add(*rose(d, "#d62839", 110, 110, 64))
    reg("rose-rot", "Blumen und Blätter", "Rose rot", d)

    for name, label, col in [("blatt", "Blatt", CC), ("blatt-gruen", "Blatt grün", "#3f8f3a"),
                             ("blatt-herbst", "Blatt herbstlich", "#e0782a")]:
        d = Doc(170, 240)
        d.add(line(82, 230, 84, 200, stroke=CC if col == CC else shade(col, -0.35), stroke_width=5, stroke_linecap="round"))
        d.add(*veined_leaf(d, col, T(84, 204) @ R(6) @ S(190), 0.36))
        reg(name, "Blumen und Blätter", label, d)

    d = Doc(220, 260)
    d.add(path(P().M(110, 120).C(112, 170, 130, 210, 150, 252), fill="none", stroke="#2f7a2c", stroke_width=6,
               stroke_linecap="round"))
    for k in range(4):
        t = T(110, 112) @ R(45 + k * 90) @ S(-1, -1)
        hf = heart_tf(0, 0, 92)
        tf = t @ T(0, -heart_height(92) / 2) @ hf
        d.add(path(heart_path(tf), fill=d.lin(0, 0, 220, 220, [(0, "#6cc35e"), (1, "#2e8b3a")]), stroke="#1f6a28",
                   stroke_width=1.5))
        x0, y0 = tf.ap(0, 1)
        x1, y1 = tf.ap(0, -0.2)
        d.add(line(x0, y0, x1, y1, stroke="#ffffff", stroke_opacity=0.4, stroke_width=2, stroke_linecap="round"))
    reg("kleeblatt", "Blumen und Blätter", "Kleeblatt", d)

    d = Doc(400, 140)
    stem = P().M(8, 70)
    segs = []
    for k in range(4):
        x = 8 + k * 96
        seg = ((x, 70), (x + 32, 20), (x + 64, 120), (x + 96, 70))
        segs.append(seg)
        stem.C(*seg[1], *seg[2], *seg[3])
    d.add(path(stem, fill="none", stroke=CC, stroke_width=5, stroke_linecap="round"))
    for seg in segs:
        for t_, up in ((0.22, True), (0.78, False)):
            x, y = _cubic(*seg, t_)
            d.add(path(leaf(T(x, y) @ R(-25 if up else 205) @ S(40), 0.4), fill=CC, fill_opacity=0.85))
            x2, y2 = _cubic(*seg, t_ + 0.14)
            sgn = -1 if up else 1
            curl = spiral(x2 + 6, y2 + sgn * 12, 8, 180, 1.1, 0.7, 10, sense=1 if up else -1)
            d.add(path(smooth([(x2, y2)] + curl), fill="none", stroke=CC, stroke_width=2.5, stroke_linecap="round"))
    reg("ranke", "Blumen und Blätter", "Ranke", d)

    d = Doc(220, 220)
    for ring, (rr, w, col) in enumerate([(104, 0.3, "#f2a516"), (92, 0.3, "#f7c928")]):
        for k in range(22):
            t = T(110, 110) @ R(k * 360 / 22 + ring * 8) @ S(rr)
            d.add(path(petal(t, w), fill=col, stroke="#c77d0a", stroke_width=1))
    d.add(circle(110, 110, 44, fill=d.rad(110, 110, 44, [(0, "#3b220f"), (1, "#6b3e1a")])))
    for k in range(1, 120):
        rr = 42 * math.sqrt(k / 120)
        x, y = polar(110, 110, rr, k * 137.508)
        d.add(circle(x, y, 1.6, fill="#c9913d", fill_opacity=0.8))
    reg("sonnenblume", "Blumen und Blätter", "Sonnenblume", d)


# --------------------------------------------------------------------------------------------
# Weihnachten


def fir_branch(doc, pts, needle=18, spacing=5.0, cols=("#2e6b30", "#3f8a3c", "#1f5124")):
    """Needles along a polyline of stem points, both sides, leaning toward the tip."""
    out = [path(P().poly(pts, close=False), fill="none", stroke="#6b4a2a", stroke_width=3, stroke_linecap="round",
                stroke_linejoin="round")]
    segs = []
    total = 0.0
    for a, b in zip(pts, pts[1:]):
        ln = math.dist(a, b)
        segs.append((a, b, ln))
        total += ln
    s = 0.0
    i = 0
    dist = 0.0
    needles = {c: P() for c in cols}
    front = P()
    while dist < total - 2:
        while segs[i][2] + s < dist:
            s += segs[i][2]
            i += 1
        a, b, ln = segs[i]
        f = (dist - s) / ln
        x, y = a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f
        ang = math.degrees(math.atan2(b[1] - a[1], b[0] - a[0]))
        k = int(round(dist / spacing))
        ln_n = needle * (0.55 + 0.45 * min(1.0, (total - dist) / (total * 0.35))) * (0.85 + 0.15 * ((k * 7) % 3))
        for side, col_i in ((1, 0), (-1, 1)):
            col = cols[(k + col_i) % len(cols)]
            ex, ey = polar(x, y, ln_n, ang + side * (44 + 8 * ((k + col_i) % 2)))
            needles[col].M(x, y).L(ex, ey)
            if k % 2 == 0:
                fx, fy = polar(x, y, ln_n * 0.55, ang + side * 22)
                front.M(x, y).L(fx, fy)
        dist += spacing
    for c, p in needles.items():
        if p.parts:
            out.append(path(p, fill="none", stroke=c, stroke_width=2.6, stroke_linecap="round"))
    if front.parts:
        out.append(path(front, fill="none", stroke="#5a9e4b", stroke_width=2.2, stroke_linecap="round"))
    return out


def bauble(doc, col, cx, cy, r, hook=True):
    out = []
    if hook:
        out.append(path(P().ellipse(cx, cy - r - 14, 7, 9), fill="none", stroke="#8c8c8c", stroke_width=2))
    cap = doc.lin(cx - r * 0.28, 0, cx + r * 0.28, 0, GOLD)
    out.append(rect(cx - r * 0.25, cy - r - 8, r * 0.5, 14, rx=2, fill=cap, stroke="#8c5f0c", stroke_width=1))
    if col == CC:
        out.append(circle(cx, cy, r, fill=CC))
    else:
        out.append(circle(cx, cy, r, fill=body_paint(doc, col, (cx - r, cy - r, cx + r, cy + r)), stroke=edge(col), stroke_width=1))
    out.append(circle(cx, cy, r, fill=doc.rad(cx, cy, r, [(0.6, "#000000", 0), (1, "#000000", 0.3)])))
    out.append(circle(cx, cy, r, fill=doc.rad(cx - r * 0.35, cy - r * 0.38, r * 0.7,
                                             [(0, "#ffffff", 0.85), (0.35, "#ffffff", 0.35), (1, "#ffffff", 0)])))
    return out


def snowflake(col, cx, cy, r, style):
    p = P()
    for k in range(6):
        t = T(cx, cy) @ R(k * 60 - 90)
        p.parts.extend(P(t).M(r * 0.12, 0).L(r, 0).parts)
        if style == 0:
            for f, ln in ((0.4, 0.26), (0.66, 0.2), (0.86, 0.1)):
                p.parts.extend(P(t).M(r * f, 0).L(r * (f + ln * 0.7), -r * ln).M(r * f, 0).L(r * (f + ln * 0.7), r * ln).parts)
        else:
            for f, ln in ((0.3, 0.16), (0.55, 0.28), (0.8, 0.14)):
                p.parts.extend(P(t).M(r * f, 0).L(r * (f + ln * 0.5), -r * ln).M(r * f, 0).L(r * (f + ln * 0.5), r * ln).parts)
    out = [path(p, fill="none", stroke=col, stroke_width=r * 0.07, stroke_linecap="round", stroke_linejoin="round")]
    inner = [polar(cx, cy, r * (0.2 if i % 2 == 0 else 0.12), i * 30 - 90) for i in range(12)]
    out.append(polygon(inner, fill=col))
    return out


def christmas():
    d = Doc(320, 200)
    main = [(14, 180), (80, 140), (150, 104), (220, 72), (306, 24)]
    d.add(*fir_branch(d, [(110, 122), (140, 150), (186, 170)], needle=20, spacing=6))
    d.add(*fir_branch(d, main, needle=28, spacing=6))
    reg("tannenzweig", "Weihnachten", "Tannenzweig", d)

    d = Doc(320, 260)
    d.add(line(176, 86, 176, 150, stroke="#b08a2e", stroke_width=1.6))
    d.add(*fir_branch(d, [(110, 122), (140, 150), (186, 170)], needle=20, spacing=6))
    d.add(*fir_branch(d, main, needle=28, spacing=6))
    d.add(*bauble(d, "#c8102e", 176, 202, 44, hook=False))
    reg("tannenzweig-kugel", "Weihnachten", "Tannenzweig mit Kugel", d)

    for name, label, col in [("kugel", "Christbaumkugel", CC), ("kugel-rot", "Christbaumkugel rot", "#c8102e"),
                             ("kugel-gold", "Christbaumkugel gold", "gold"), ("kugel-blau", "Christbaumkugel blau", "#1f4fa0")]:
        d = Doc(180, 210)
        d.add(*bauble(d, col, 90, 122, 82))
        reg(name, "Weihnachten", label, d)

    for name, label, col, style in [("schneeflocke", "Schneeflocke", CC, 0), ("schneeflocke-blau", "Schneeflocke blau", "#5aa0d8", 1),
                                    ("schneeflocke-zart", "Schneeflocke zart", CC, 1)]:
        d = Doc(200, 200)
        d.add(*snowflake(col, 100, 100, 92, style))
        reg(name, "Weihnachten", label, d)

    d = Doc(220, 280)
    d.add(rect(96, 236, 28, 36, fill="#7a4a24"))
    for top, bottom, half in [(150, 244, 100), (92, 184, 78), (30, 124, 56)]:
        p = P().M(110, top).L(110 + half, bottom)
        n = 5
        for i in range(n, 0, -1):
            xa = 110 - half + 2 * half * (i - 1) / n
            p.Q(xa + half / n, bottom + 10, xa, bottom)
        p.L(110, top).Z()
        d.add(path(p, fill=d.lin(10, 0, 210, 0, [(0, "#3f9a44"), (1, "#1e5e25")]), stroke="#174d1d", stroke_width=1.5,
                   stroke_linejoin="round"))
    d.add(path(P().M(60, 190).Q(110, 214, 170, 176), fill="none", stroke="#f2c230", stroke_width=4, stroke_linecap="round"))
    d.add(path(P().M(76, 128).Q(112, 148, 150, 118), fill="none", stroke="#f2c230", stroke_width=4, stroke_linecap="round"))
    for x, y, col in [(70, 220, "#c8102e"), (150, 214, "#2f6db5"), (104, 170, "#f2c230"), (138, 150, "#c8102e"),
                      (86, 112, "#2f6db5"), (120, 90, "#c8102e")]:
        d.add(circle(x, y, 8, fill=col), circle(x - 2.5, y - 2.5, 2.5, fill="#ffffff", fill_opacity=0.7))
    d.add(*faceted_star(d, "gold", 110, 28, 26, 11, stroke_w=1.2))
    reg("tannenbaum", "Weihnachten", "Tannenbaum", d)

    d = Doc(220, 280)
    d.add(rect(96, 236, 28, 36, fill=CC))
    for top, bottom, half in [(150, 244, 100), (92, 184, 78), (30, 124, 56)]:
        d.add(polygon([(110, top), (110 + half, bottom), (110 - half, bottom)], fill=CC, stroke=CC, stroke_width=6,
                      stroke_linejoin="round"))
        d.add(polygon([(110, top + 10), (110 + half * 0.25, bottom - 8), (110, bottom - 8)], fill="#ffffff", fill_opacity=0.18))
    for x, y in [(70, 224), (150, 218), (104, 170), (138, 152), (86, 114), (120, 92)]:
        d.add(circle(x, y, 6, fill="#ffffff", fill_opacity=0.75))
    d.add(polygon(star_pts(110, 30, 26, 11, 5), fill=CC, stroke="#ffffff", stroke_width=3, stroke_linejoin="round"))
    reg("tannenbaum-einfarbig", "Weihnachten", "Tannenbaum einfarbig", d)

    d = Doc(260, 220)
    for a in (-52, 52, -6):
        t = T(130, 184) @ R(a) @ S(148)
        d.add(path(holly_leaf(t), fill=d.lin(0, 0, 260, 200, [(0, "#3c9a43"), (1, "#1c5a22")]), stroke="#134018",
                   stroke_width=1.5, stroke_linejoin="round"))
        x0, y0 = t.ap(0, 0)
        x1, y1 = t.ap(0, -0.95)
        d.add(line(x0, y0, x1, y1, stroke="#ffffff", stroke_opacity=0.35, stroke_width=2))
    for x, y in [(116, 182), (144, 184), (130, 162)]:
        d.add(circle(x, y, 14, fill=d.rad(x - 4, y - 4, 16, [(0, "#ff5a5a"), (1, "#a00d1c")])))
        d.add(circle(x - 4, y - 5, 3.5, fill="#ffffff", fill_opacity=0.7))
    reg("stechpalme", "Weihnachten", "Stechpalme", d)


# --------------------------------------------------------------------------------------------
# Ostern


def egg_outline(cx, cy, a, b, k=0.16, n=180):
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        pts.append((cx + a * math.sin(t) * (1 - k * math.cos(t)), cy - b * math.cos(t)))
    return pts


def smooth(pts, closed=False, t=ID, ends=None):
    """Catmull-Rom through the points, written as cubic Beziers. `ends` gives the neighbours
    before the first and after the last point of an open curve (for curves that must join)."""
    p = P(t).M(*pts[0])
    n = len(pts)
    rng = range(n) if closed else range(n - 1)
    for i in rng:
        p0 = pts[(i - 1) % n] if closed or i > 0 else (ends[0] if ends else pts[i])
        p1, p2 = pts[i], pts[(i + 1) % n]
        p3 = pts[(i + 2) % n] if closed or i + 2 < n else (ends[1] if ends else pts[(i + 1) % n])
        p.C(p1[0] + (p2[0] - p0[0]) / 6, p1[1] + (p2[1] - p0[1]) / 6,
            p2[0] - (p3[0] - p1[0]) / 6, p2[1] - (p3[1] - p1[1]) / 6, p2[0], p2[1])
    return p.Z() if closed else p


def easter_egg(doc, base, deco, kind, cx, cy, a, b):
    outline = egg_outline(cx, cy, a, b)
    fill = CC if base == CC else doc.lin(cx - a, cy - b, cx + a, cy + b, [(0, shade(base, 0.35)), (0.5, base), (1, shade(base, -0.2))])
    out = [path(smooth(outline, closed=True), fill=fill)]
    dk = dict(fill=deco[0], fill_opacity=deco[1] if len(deco) > 1 else None)
    dk2 = dict(fill=deco[2] if len(deco) > 2 else deco[0], fill_opacity=deco[1] if len(deco) > 1 else None)
    if kind == "streifen":
        for k, (y0, y1) in enumerate([(-0.55, -0.42), (-0.12, 0.08), (0.38, 0.5)]):
            band = [(cx - 2 * a, cy + y0 * b), (cx + 2 * a, cy + y0 * b), (cx + 2 * a, cy + y1 * b), (cx - 2 * a, cy + y1 * b)]
            out.append(polygon(clip_convex(band, outline), **(dk if k != 1 else dk2)))
    elif kind == "zickzack":
        for k, (yc, amp, hw) in enumerate([(-0.35, 0.1, 0.06), (0.12, 0.13, 0.12), (0.55, 0.08, 0.05)]):
            teeth = 9
            top = [(cx - 1.2 * a + 2.4 * a * i / (2 * teeth), cy + (yc - hw + (amp if i % 2 else 0)) * b) for i in range(2 * teeth + 1)]
            bot = [(x, y + 2 * hw * b) for x, y in top]
            out.append(polygon(clip_convex(top + list(reversed(bot)), outline), **(dk if k != 1 else dk2)))
    elif kind == "punkte":
        rnd = random.Random(5)
        placed = []
        while len(placed) < 18:
            x, y = rnd.uniform(cx - a, cx + a), rnd.uniform(cy - b, cy + b)
            r = rnd.choice((0.09, 0.13)) * a
            f = ((x - cx) / (a * (1 - 0.16 * (cy - y) / b))) ** 2 + ((y - cy) / b) ** 2
            if f > 0.72 or any(math.dist((x, y), q[:2]) < r + q[2] + a * 0.08 for q in placed):
                continue
            placed.append((x, y, r))
            out.append(circle(x, y, r, **(dk if len(placed) % 2 else dk2)))
    elif kind == "blumen":
        for x, y, r in [(cx - a * 0.35, cy - b * 0.2, a * 0.28), (cx + a * 0.38, cy + b * 0.25, a * 0.3),
                        (cx + a * 0.15, cy - b * 0.62, a * 0.18), (cx - a * 0.3, cy + b * 0.55, a * 0.2)]:
            for k in range(5):
                out.append(path(petal(T(x, y) @ R(k * 72) @ S(r), 0.6), fill=deco[0]))
            out.append(circle(x, y, r * 0.28, fill=deco[2]))
    hx, hy = cx - a * 0.42, cy - b * 0.4
    out.append(path(P(R(-25, hx, hy)).ellipse(hx, hy, a * 0.14, b * 0.24), fill="#ffffff", fill_opacity=0.35))
    out.append(path(smooth(outline, closed=True), fill="none", **edge_kw(base, 1.5)))
    return out


def easter():
    for name, label, base, deco, kind in [
            ("osterei", "Osterei", CC, ("#ffffff", 0.85), "streifen"),
            ("osterei-streifen", "Osterei gestreift", "#f7d14a", ("#2f6db5", 1, "#d62839"), "streifen"),
            ("osterei-zickzack", "Osterei Zickzack", "#8fd18a", ("#7b4fd6", 1, "#ffffff"), "zickzack"),
            ("osterei-punkte", "Osterei gepunktet", "#4a90d9", ("#ffffff", 1, "#f7d14a"), "punkte"),
            ("osterei-blumen", "Osterei mit Blumen", "#f6a6c1", ("#ffffff", 1, "#f7d14a"), "blumen"),
            ("osterei-zickzack-einfarbig", "Osterei Zickzack einfarbig", CC, ("#ffffff", 0.8), "zickzack")]:
        d = Doc(160, 210)
        d.add(*easter_egg(d, base, deco, kind, 80, 106, 66, 96))
        reg(name, "Ostern", label, d)

    d = Doc(280, 200)
    d.add(ellipse(140, 178, 128, 16, fill="#8bc34a", fill_opacity=0.6))
    for (x, y, a, b, base, deco, kind, rot) in [
            (78, 112, 52, 74, "#f7d14a", ("#2f6db5", 1, "#d62839"), "streifen", -14),
            (200, 112, 52, 74, "#4a90d9", ("#ffffff", 1, "#f7d14a"), "punkte", 12),
            (140, 120, 56, 78, "#f6a6c1", ("#7b4fd6", 1, "#ffffff"), "zickzack", 0)]:
        d.add(group(easter_egg(d, base, deco, kind, x, y, a, b), transform=f"rotate({rot} {x} {y})"))
    reg("ostereier-drei", "Ostern", "Drei Ostereier", d)

    d = Doc(220, 280)
    fur, light, pink = "#c9a47e", "#f3e6d6", "#f2a7b8"
    for sx in (-1, 1):
        t = T(110 + sx * 30, 70) @ R(sx * 12) @ S(1)
        d.add(path(P(t).ellipse(0, -20, 20, 58), fill=fur, stroke="#8a6a4a", stroke_width=1.5))
        d.add(path(P(t).ellipse(0, -18, 10, 44), fill=pink))
    d.add(ellipse(110, 206, 78, 68, fill=fur, stroke="#8a6a4a", stroke_width=1.5))
    d.add(ellipse(110, 214, 46, 50, fill=light))
    d.add(ellipse(110, 116, 56, 48, fill=fur, stroke="#8a6a4a", stroke_width=1.5))
    for sx in (-1, 1):
        d.add(ellipse(110 + sx * 42, 266, 30, 12, fill=light, stroke="#8a6a4a", stroke_width=1.5))
        d.add(circle(110 + sx * 20, 108, 6.5, fill="#2b2b2b"), circle(110 + sx * 20 - 2, 106, 2, fill="#ffffff"))
        d.add(ellipse(110 + sx * 30, 130, 10, 6, fill=pink, fill_opacity=0.7))
        for dy in (-4, 4):
            d.add(line(110 + sx * 14, 130 + dy * 0.5, 110 + sx * 52, 126 + dy * 2, stroke="#8a6a4a", stroke_width=1.2))
    d.add(path(P().M(104, 124).L(116, 124).L(110, 131).Z(), fill="#e57a94", stroke_linejoin="round"))
    d.add(path(P().M(110, 131).Q(104, 140, 98, 136).M(110, 131).Q(116, 140, 122, 136), fill="none", stroke="#8a6a4a",
               stroke_width=1.5, stroke_linecap="round"))
    reg("osterhase", "Ostern", "Osterhase", d)

    d = Doc(220, 220)
    yellow = d.rad(100, 90, 90, [(0, "#fff28a"), (1, "#f2c230")])
    d.add(path(P().M(150, 150).L(190, 150).L(176, 160).Z(), fill="#f2c230"))
    d.add(ellipse(110, 138, 70, 58, fill=yellow, stroke="#d19a12", stroke_width=1.5))
    d.add(circle(110, 70, 44, fill=yellow, stroke="#d19a12", stroke_width=1.5))
    d.add(path(P().M(74, 40).Q(86, 18, 96, 30).Q(104, 12, 112, 28), fill="none", stroke="#f2c230", stroke_width=5,
               stroke_linecap="round"))
    d.add(path(P(R(-20, 70, 132)).ellipse(70, 132, 26, 16), fill="#f7d44a", stroke="#d19a12", stroke_width=1.2))
    d.add(circle(126, 64, 6, fill="#2b2b2b"), circle(124, 62, 2, fill="#ffffff"))
    d.add(path(P().M(148, 70).L(172, 78).L(148, 86).Z(), fill="#f28c1e", stroke="#c9600a", stroke_width=1, stroke_linejoin="round"))
    d.add(ellipse(134, 86, 8, 5, fill="#f2a7b8", fill_opacity=0.7))
    shell = P().M(34, 150)
    for i in range(9):
        shell.L(34 + (i + 0.5) * 152 / 9, 150 + (12 if i % 2 == 0 else -4) + 4)
    shell.L(186, 150).C(186, 190, 160, 212, 110, 212).C(60, 212, 34, 190, 34, 150).Z()
    d.add(path(shell, fill=d.lin(34, 0, 186, 0, [(0, "#ffffff"), (1, "#e6e0d4")]), stroke="#b5ab98", stroke_width=1.5,
               stroke_linejoin="round"))
    reg("kueken", "Ostern", "Küken im Ei", d)


# --------------------------------------------------------------------------------------------
# Hochzeit


def ring_path(cx, cy, R_, r):
    return P().circle(cx, cy, R_).hole(cx, cy, r)


def ring_sector(cx, cy, R_, r, a0, a1):
    p = P().arc(cx, cy, R_, R_, a0, a1, move=True)
    x, y = polar(cx, cy, r, a1)
    p.L(x, y)
    p.arc(cx, cy, r, r, a1, a0)
    return p.Z()


def rings_pair(doc, cols, c1, c2, R_, r, stone=True):
    out = []
    fills = []
    for col, (cx, cy) in zip(cols, (c1, c2)):
        if col == CC:
            fills.append(CC)
        else:
            metal = {"gold": GOLD, "silver": SILVER, "rosegold": ROSEGOLD}[col]
            fills.append(doc.lin(cx - R_, cy - R_, cx + R_, cy + R_, metal))
    ek = [edge_kw(c, 1.5) for c in cols]
    # middle radius crossing: where ring 1 passes over ring 2
    m = (R_ + r) / 2
    dx, dy = c2[0] - c1[0], c2[1] - c1[1]
    dd = math.hypot(dx, dy)
    base = math.degrees(math.atan2(dy, dx))
    half = math.degrees(math.acos(dd / (2 * m)))
    out.append(path(ring_path(*c1, R_, r), fill=fills[0], fill_rule="evenodd", **ek[0]))
    out.append(path(ring_path(*c2, R_, r), fill=fills[1], fill_rule="evenodd", **ek[1]))
    span = 22
    out.append(path(ring_sector(*c1, R_, r, base - half - span, base - half + span), fill=fills[0], **ek[0]))
    for (cx, cy) in (c1, c2):
        out.append(path(P().arc(cx, cy, (R_ + r) / 2, (R_ + r) / 2, 200, 250, move=True), fill="none", stroke="#ffffff",
                        stroke_opacity=0.55, stroke_width=(R_ - r) * 0.3, stroke_linecap="round"))
    if stone:
        sx, sy = polar(*c1, R_, -100)
        gem = [(sx - 14, sy - 4), (sx - 8, sy - 14), (sx + 8, sy - 14), (sx + 14, sy - 4), (sx, sy + 12)]
        out.append(polygon(gem, fill="#eaf6ff", stroke="#7fa6c2", stroke_width=1.5, stroke_linejoin="round"))
        out.append(polygon([(sx - 14, sy - 4), (sx + 14, sy - 4), (sx, sy + 12)], fill="#bcdcf2"))
        out.append(polygon([(sx - 8, sy - 14), (sx, sy - 4), (sx + 8, sy - 14)], fill="#ffffff"))
    return out


def bell(doc, col, t):
    fill = body_paint(doc, col, (*t.ap(-1, -1), *t.ap(1, 1)))
    body = (P(t).M(0, -1).C(0.45, -1, 0.55, -0.6, 0.58, -0.2).C(0.6, 0.3, 0.7, 0.55, 0.95, 0.72).L(0.95, 0.84)
            .L(-0.95, 0.84).L(-0.95, 0.72).C(-0.7, 0.55, -0.6, 0.3, -0.58, -0.2).C(-0.55, -0.6, -0.45, -1, 0, -1).Z())
    out = [path(P(t).circle(0, 0.95, 0.16), fill=fill, **edge_kw(col, 1.2))]
    out.append(path(body, fill=fill, stroke_linejoin="round", **edge_kw(col, 1.5)))
    out.append(path(P(t).M(-0.95, 0.72).Q(0, 0.62, 0.95, 0.72), fill="none", stroke="#000000", stroke_opacity=0.25, stroke_width=1.5))
    out.append(path(P(t).M(-0.3, -0.75).C(-0.42, -0.4, -0.42, 0.1, -0.55, 0.6), fill="none", stroke="#ffffff",
                    stroke_opacity=0.5, stroke_width=t.scale() * 0.08, stroke_linecap="round"))
    return out


def wedding():
    for name, label, cols in [("ringe-gold", "Eheringe gold", ("gold", "gold")), ("ringe-silber", "Eheringe silber", ("silver", "silver")),
                              ("ringe-gold-silber", "Eheringe gold und silber", ("gold", "silver")), ("ringe", "Eheringe", (CC, CC))]:
        d = Doc(260, 200)
        d.add(*rings_pair(d, cols, (96, 116), (170, 100), 76, 62))
        reg(name, "Hochzeit", label, d)

    d = Doc(260, 230)
    d.add(*bell(d, "gold", T(84, 122) @ R(16, 0, -1) @ S(72)))
    d.add(*bell(d, "gold", T(176, 122) @ R(-16, 0, -1) @ S(72)))
    d.add(*bow(d, "#ffffff", 130, 42, 50))
    reg("glocken", "Hochzeit", "Hochzeitsglocken", d)

    d = Doc(180, 210)
    d.add(*bell(d, CC, T(90, 100) @ S(86)))
    reg("glocke", "Hochzeit", "Glocke", d)

    d = Doc(260, 230)
    d.add(*bell(d, CC, T(84, 122) @ R(16, 0, -1) @ S(72)))
    d.add(*bell(d, CC, T(176, 122) @ R(-16, 0, -1) @ S(72)))
    d.add(*bow(d, CC, 130, 42, 50))
    reg("glocken-einfarbig", "Hochzeit", "Hochzeitsglocken einfarbig", d)

    d = Doc(300, 220)
    d.add(*heart_with_light(d, "#d62839", 150, 150, 90, 1.5))
    d.add(*dove(d, "#ffffff", T(80, 104) @ S(68, 68)))
    d.add(*dove(d, "#ffffff", T(220, 104) @ S(-68, 68)))
    reg("tauben-herz", "Hochzeit", "Tauben mit Herz", d)

    d = Doc(220, 280)
    d.add(ellipse(110, 266, 100, 10, fill="#d9d9d9"))
    for x, y, w, h in [(20, 190, 180, 74), (44, 126, 132, 64), (68, 74, 84, 52)]:
        d.add(rect(x, y, w, h, rx=4, fill=d.lin(x, 0, x + w, 0, [(0, "#ffffff"), (1, "#e7e3dc")]), stroke="#c9c2b6",
                   stroke_width=1.2))
        n = int(w / 12)
        for i in range(n):
            d.add(circle(x + w * (i + 0.5) / n, y + 5, 3.2, fill="#f3efe8", stroke="#c9c2b6", stroke_width=0.8))
        d.add(path(P().M(x, y + h * 0.55).Q(x + w / 4, y + h * 0.8, x + w / 2, y + h * 0.55).Q(x + 3 * w / 4, y + h * 0.8, x + w, y + h * 0.55),
                   fill="none", stroke="#e2b53f", stroke_width=2.5))
    d.add(*heart_with_light(d, "#d62839", 110, 44, 56, 1))
    reg("hochzeitstorte", "Hochzeit", "Hochzeitstorte", d)


# --------------------------------------------------------------------------------------------
# Baby


def pram(doc, col, ox=0.0):
    out = []
    body = CC if col == CC else body_paint(doc, col, (40, 60, 200, 190))
    ek = edge_kw(col, 1.5)
    for wx in (78, 170):
        out.append(line(wx, 196, 120, 150, stroke="#5a5a5a", stroke_width=4, stroke_linecap="round"))
    out.append(path(P().M(198, 110).L(222, 50).L(236, 50), fill="none", stroke="#5a5a5a", stroke_width=6,
                    stroke_linecap="round", stroke_linejoin="round"))
    basket = P().M(28, 110).L(212, 110).C(212, 160, 170, 184, 120, 184).C(70, 184, 28, 160, 28, 110).Z()
    out.append(path(basket, fill=body, stroke_linejoin="round", **ek))
    hood = P().M(118, 110).L(28, 110).C(28, 58, 70, 20, 118, 20).Z()
    out.append(path(hood, fill=body, stroke_linejoin="round", **ek))
    out.append(path(hood, fill="#000000", fill_opacity=0.18))
    for a in (205, 230, 255):
        x, y = polar(118, 110, 86, a)
        out.append(line(118, 110, x, y, stroke="#000000", stroke_opacity=0.25, stroke_width=2))
    scal = P().M(28, 110)
    for i in range(10):
        x0 = 28 + i * 18.4
        scal.Q(x0 + 9.2, 124, x0 + 18.4, 110)
    out.append(path(scal, fill="none", stroke="#ffffff", stroke_width=3, stroke_opacity=0.9))
    for wx in (78, 170):
        out.append(circle(wx, 196, 22, fill="#ffffff", fill_opacity=0.5, stroke="#3d3d3d", stroke_width=6))
        for a in range(0, 180, 45):
            x1, y1 = polar(wx, 196, 19, a)
            x2, y2 = polar(wx, 196, 19, a + 180)
            out.append(line(x1, y1, x2, y2, stroke="#6d6d6d", stroke_width=1.8))
        out.append(circle(wx, 196, 4, fill="#3d3d3d"))
    return out


def foot(t):
    sole = P(t).M(0, -0.55).C(0.32, -0.58, 0.42, -0.2, 0.36, 0.15).C(0.3, 0.5, 0.3, 0.9, 0.02, 0.98)
    sole.C(-0.3, 1.02, -0.32, 0.6, -0.3, 0.3).C(-0.28, 0.0, -0.4, -0.52, 0, -0.55).Z()
    toes = [P(t).circle(x, y, r) for x, y, r in [(-0.2, -0.72, 0.15), (0.06, -0.8, 0.12), (0.24, -0.74, 0.1),
                                                 (0.36, -0.6, 0.085), (0.44, -0.44, 0.07)]]
    return sole, toes


def baby():
    for name, label, col in [("kinderwagen", "Kinderwagen", CC), ("kinderwagen-blau", "Kinderwagen blau", "#7fb2e5"),
                             ("kinderwagen-rosa", "Kinderwagen rosa", "#f4a6c0")]:
        d = Doc(250, 230)
        d.add(*pram(d, col))
        reg(name, "Baby", label, d)

    d = Doc(130, 270)
    d.add(path(P().M(44, 50).C(44, 20, 54, 8, 65, 8).C(76, 8, 86, 20, 86, 50).Z(), fill="#f3c98b", stroke="#c99a50",
               stroke_width=1.5))
    d.add(rect(30, 48, 70, 26, rx=6, fill="#7fb2e5", stroke="#4f86c2", stroke_width=1.5))
    glass = P().M(30, 80).L(100, 80).Q(110, 80, 110, 92).L(110, 246).Q(110, 262, 94, 262).L(36, 262).Q(20, 262, 20, 246)
    glass.L(20, 92).Q(20, 80, 30, 80).Z()
    d.add(path(glass, fill="#eaf4fb", stroke="#8fb2cc", stroke_width=2))
    d.add(path(P().M(21, 140).L(109, 140).L(109, 246).Q(109, 261, 94, 261).L(36, 261).Q(21, 261, 21, 246).Z(), fill="#fffdf5"))
    for i in range(6):
        y = 110 + i * 24
        d.add(line(84, y, 100, y, stroke="#8fb2cc", stroke_width=2, stroke_linecap="round"))
    d.add(path(heart_path(heart_tf(56, 196, 40)), fill="#f4a6c0"))
    d.add(line(30, 96, 30, 240, stroke="#ffffff", stroke_width=5, stroke_linecap="round", stroke_opacity=0.8))
    reg("flaeschchen", "Baby", "Fläschchen", d)

    for name, label, col in [("fussabdruecke", "Fußabdrücke", CC), ("fussabdruecke-rosa", "Fußabdrücke rosa", "#e88aa8"),
                             ("fussabdruecke-blau", "Fußabdrücke blau", "#5c93d1")]:
        d = Doc(200, 240)
        for t in (T(62, 138) @ R(-10) @ S(-88, 88), T(138, 110) @ R(8) @ S(88, 88)):
            sole, toes = foot(t)
            d.add(path(sole, fill=col))
            for toe in toes:
                d.add(path(toe, fill=col))
        reg(name, "Baby", label, d)

    d = Doc(160, 280)
    d.add(path(P(R(-20, 80, 140)).M(70, 120).L(70, 236).L(90, 236).L(90, 120).Z(), fill="#f2c230", stroke="#c99a12",
               stroke_width=1.5))
    d.add(path(P().circle(120, 250, 22).hole(120, 250, 12), fill="#f2c230", fill_rule="evenodd",
               stroke="#c99a12", stroke_width=1.5))
    d.add(circle(66, 76, 58, fill=d.rad(50, 60, 70, [(0, "#a9d3ff"), (1, "#4a90d9")]), stroke="#2f6db5", stroke_width=1.5))
    for a in range(0, 360, 60):
        x, y = polar(66, 76, 34, a + 15)
        d.add(circle(x, y, 8, fill="#ffffff"))
    d.add(circle(66, 76, 10, fill="#f2c230"))
    d.add(path(P().ellipse(66, 76, 58, 14), fill="none", stroke="#f4a6c0", stroke_width=5))
    reg("rassel", "Baby", "Rassel", d)

    d = Doc(200, 190)
    d.add(path(P().circle(100, 140, 36).hole(100, 140, 24), fill="#f4a6c0", fill_rule="evenodd",
               stroke="#d07896", stroke_width=1.5))
    shield = P().M(100, 84).C(60, 40, 10, 70, 20, 104).C(30, 128, 70, 118, 100, 110).C(130, 118, 170, 128, 180, 104)
    shield.C(190, 70, 140, 40, 100, 84).Z()
    d.add(path(shield, fill=d.lin(20, 60, 180, 120, [(0, "#cfe6ff"), (1, "#7fb2e5")]), stroke="#4f86c2", stroke_width=1.5))
    d.add(path(P().M(88, 92).C(86, 40, 92, 10, 100, 10).C(108, 10, 114, 40, 112, 92).Z(), fill="#f3e2b8", fill_opacity=0.9,
               stroke="#c99a50", stroke_width=1.2))
    d.add(circle(100, 96, 14, fill="#ffffff", stroke="#4f86c2", stroke_width=1.5))
    reg("schnuller", "Baby", "Schnuller", d)

    d = Doc(220, 220)
    # crescent from two circles: the big one less the offset one
    c1, r1, c2, r2 = (104, 110), 96, (150, 82), 84
    dd = math.dist(c1, c2)
    a = (r1 * r1 - r2 * r2 + dd * dd) / (2 * dd)
    h = math.sqrt(r1 * r1 - a * a)
    ux, uy = (c2[0] - c1[0]) / dd, (c2[1] - c1[1]) / dd
    px, py = c1[0] + a * ux, c1[1] + a * uy
    i1 = (px - h * uy, py + h * ux)
    i2 = (px + h * uy, py - h * ux)
    ang = lambda c, p: math.degrees(math.atan2(p[1] - c[1], p[0] - c[0]))
    a1s, a1e = ang(c1, i1), ang(c1, i2)
    while a1e < a1s:
        a1e += 360
    a2s, a2e = ang(c2, i2), ang(c2, i1)
    while a2e > a2s:
        a2e -= 360
    moon = P().arc(*c1, r1, r1, a1s, a1e, move=True).arc(*c2, r2, r2, a2s, a2e).Z()
    d.add(path(moon, fill=d.lin(20, 20, 200, 200, [(0, "#fff3b0"), (1, "#f2c230")]), stroke="#d19a12", stroke_width=1.5))
    d.add(path(P().M(54, 120).Q(62, 128, 70, 120), fill="none", stroke="#8a6a1a", stroke_width=2.5, stroke_linecap="round"))
    for cx, cy, R_ in [(176, 156, 20), (150, 198, 11), (196, 110, 10)]:
        d.add(polygon(star_pts(cx, cy, R_, R_ * 0.45, 5), fill="#f2c230", stroke="#d19a12", stroke_width=1, stroke_linejoin="round"))
    reg("mond-schlaf", "Baby", "Schlafender Mond", d)


# --------------------------------------------------------------------------------------------
# Glaube und Trauer


def dove(doc, col, t):
    fill = CC if col == CC else col
    line_col = "#000000" if col == CC else ("#8b97a3" if col == "#ffffff" else shade(col, -0.4))
    lk = dict(stroke=line_col, stroke_opacity=0.35 if col == CC else None, stroke_width=1.6, stroke_linejoin="round")
    back = (P(t).M(0.25, -0.12).C(0.2, -0.5, 0.0, -0.82, -0.3, -0.95).L(-0.22, -0.8).L(-0.38, -0.76).L(-0.22, -0.62)
            .L(-0.36, -0.55).C(-0.1, -0.35, 0.05, -0.15, 0.1, -0.05).Z())
    out = [path(back, fill=fill, **lk), path(back, fill="#000000", fill_opacity=0.12)]
    body = (P(t).M(1.0, -0.3).C(0.94, -0.5, 0.72, -0.56, 0.61, -0.4).C(0.52, -0.24, 0.24, -0.14, -0.2, -0.1)
            .L(-0.9, -0.3).L(-1.02, -0.17).L(-0.96, -0.05).L(-1.04, 0.07).L(-0.92, 0.17).L(-0.24, 0.12)
            .C(0.1, 0.36, 0.56, 0.28, 0.7, -0.06).C(0.78, -0.2, 0.9, -0.26, 1.0, -0.3).Z())
    out.append(path(body, fill=fill, **lk))
    for y in (-0.12, 0.02):
        out.append(path(P(t).M(-0.92, y - 0.04).L(-0.5, y), fill="none", stroke=line_col, stroke_opacity=0.35,
                        stroke_width=1.2))
    wing = (P(t).M(0.4, -0.16).C(0.26, -0.62, -0.1, -0.98, -0.56, -1.1).L(-0.42, -0.92).L(-0.62, -0.86)
            .L(-0.42, -0.72).L(-0.6, -0.64).L(-0.36, -0.52).L(-0.48, -0.42).C(-0.2, -0.26, 0.0, -0.12, 0.1, -0.06).Z())
    out.append(path(wing, fill=fill, **lk))
    out.append(path(P(t).M(1.0, -0.3).L(1.12, -0.26).L(0.98, -0.22).Z(), fill="#f2a23a" if col != CC else CC,
                    stroke_linejoin="round", **({} if col != CC else dict(stroke="#000000", stroke_opacity=0.35, stroke_width=1))))
    ex, ey = t.ap(0.76, -0.36)
    out.append(circle(ex, ey, max(1.5, t.scale() * 0.035), fill="#2b2b2b"))
    return out


def olive_branch(doc, pts, leaf_len, col="#6f8f4e", olive="#3f4f2a"):
    out = [path(smooth(pts), fill="none", stroke="#6b5a3a", stroke_width=3, stroke_linecap="round")]
    for i in range(1, len(pts)):
        (x0, y0), (x1, y1) = pts[i - 1], pts[i]
        ang = math.degrees(math.atan2(y1 - y0, x1 - x0))
        for side in (-1, 1):
            out.append(path(leaf(T(x1, y1) @ R(ang + 90 + side * 55) @ S(leaf_len), 0.22), fill=col, stroke=shade(col, -0.3),
                            stroke_width=1))
    x, y = pts[-1]
    ang = math.degrees(math.atan2(pts[-1][1] - pts[-2][1], pts[-1][0] - pts[-2][0]))
    out.append(path(leaf(T(x, y) @ R(ang + 90) @ S(leaf_len), 0.22), fill=col, stroke=shade(col, -0.3), stroke_width=1))
    if olive:
        for i in (1, 3):
            (x0, y0), (x1, y1) = pts[i], pts[i + 1]
            mx, my = (x0 + x1) / 2, (y0 + y1) / 2
            out.append(path(P(R(30, mx, my + 12)).ellipse(mx, my + 12, 9, 12), fill=olive))
    return out


def cross_pts(x, y, w, h, bar, arm_y, arm_w):
    cx = x + w / 2
    return [(cx - bar / 2, y), (cx + bar / 2, y), (cx + bar / 2, arm_y), (cx + arm_w / 2, arm_y), (cx + arm_w / 2, arm_y + bar),
            (cx + bar / 2, arm_y + bar), (cx + bar / 2, y + h), (cx - bar / 2, y + h), (cx - bar / 2, arm_y + bar),
            (cx - arm_w / 2, arm_y + bar), (cx - arm_w / 2, arm_y), (cx - bar / 2, arm_y)]


def faith():
    for name, label, col in [("kreuz", "Kreuz", CC), ("kreuz-gold", "Kreuz gold", "gold"), ("kreuz-silber", "Kreuz silber", "silver")]:
        d = Doc(160, 240)
        pts = cross_pts(0, 8, 160, 224, 32, 56, 128)
        d.add(polygon(pts, fill=body_paint(d, col, (16, 8, 144, 232)), stroke_linejoin="round", **edge_kw(col, 1.5)))
        inner = cross_pts(0, 16, 160, 208, 16, 64, 112)
        d.add(polygon(inner, fill="none", stroke="#ffffff", stroke_opacity=0.4, stroke_width=2, stroke_linejoin="round"))
        reg(name, "Glaube und Trauer", label, d)

    d = Doc(160, 240)
    d.add(polygon(cross_pts(0, 12, 160, 216, 30, 58, 124), fill="none", stroke=CC, stroke_width=8, stroke_linejoin="round"))
    reg("kreuz-umriss", "Glaube und Trauer", "Kreuz Umriss", d)

    d = Doc(170, 250)
    wood = d.lin(0, 0, 170, 0, [(0, "#a8743f"), (0.5, "#8b5a2b"), (1, "#6b4220")])
    d.add(rect(69, 8, 32, 234, rx=3, fill=wood, stroke="#4a2c12", stroke_width=1.5))
    d.add(rect(14, 58, 142, 30, rx=3, fill=wood, stroke="#4a2c12", stroke_width=1.5))
    grain = P()
    for k, x in enumerate((76, 85, 94)):
        grain.M(x, 96).C(x + 3, 140, x - 3, 190, x + (k - 1) * 2, 236)
        grain.M(x, 14).Q(x + 2, 34, x, 56)
    for k, y in enumerate((66, 74, 81)):
        grain.M(20, y).C(40, y + 3, 50, y - 3, 66, y).M(104, y).C(120, y - 2, 140, y + 3, 150, y)
    d.add(path(grain, fill="none", stroke="#4a2c12", stroke_opacity=0.45, stroke_width=1.3))
    reg("kreuz-holz", "Glaube und Trauer", "Holzkreuz", d)

    d = Doc(240, 180)
    d.add(*dove(d, CC, T(112, 120) @ S(100)))
    reg("taube", "Glaube und Trauer", "Taube", d)

    d = Doc(270, 190)
    d.add(*dove(d, "#ffffff", T(116, 122) @ S(100)))
    d.add(*olive_branch(d, [(222, 96), (230, 108), (238, 118), (242, 132), (244, 146)], 17, olive=None))
    reg("taube-weiss", "Glaube und Trauer", "Taube mit Zweig", d)

    d = Doc(140, 280)
    d.add(*candle(d, "#f4ecd6", 70, 110, 270, 70))
    d.add(polygon(cross_pts(0, 150, 140, 80, 8, 166, 38), fill="#5a5a5a"))
    reg("trauerkerze", "Glaube und Trauer", "Kerze mit Kreuz", d)

    d = Doc(300, 200)
    d.add(*olive_branch(d, [(16, 180), (70, 150), (120, 118), (170, 90), (216, 66), (256, 48)], 50, col="#7d8f74", olive="#4a4f45"))
    reg("olivenzweig", "Glaube und Trauer", "Olivenzweig", d)

    d = Doc(180, 260)
    left = P().M(40, 248).L(100, 118).C(124, 66, 112, 20, 90, 20).C(68, 20, 56, 66, 80, 118)
    right = P().M(80, 118).L(140, 248)
    for p in (left, right):
        d.add(path(p, fill="none", stroke="#5a5a5a", stroke_width=30, stroke_linejoin="round"))
        d.add(path(p, fill="none", stroke="#1e1e1e", stroke_width=26, stroke_linejoin="round"))
    d.add(path(P().M(30, 248).L(50, 248).L(40, 234).Z().M(130, 248).L(150, 248).L(140, 234).Z(), fill="#1e1e1e"))
    reg("trauerschleife", "Glaube und Trauer", "Trauerschleife", d)


# --------------------------------------------------------------------------------------------
# Rahmen, Ecken und Bordüren

SWAP = Aff(0, 1, 1, 0)  # mirror on the diagonal: x <-> y


def spiral(cx, cy, r0, a0, turns, inward=0.75, n=28, sense=1):
    return [polar(cx, cy, r0 * (1 - inward * i / n), a0 + sense * 360 * turns * i / n) for i in range(n + 1)]


def corner_scroll(col, t, size, width):
    """A corner flourish for the corner at (0, 0) of a frame that lies toward +x and +y: along
    each edge an arm that ends in a curl toward the inside, a smaller curl branching back toward
    the corner, and a leaf on the diagonal."""
    L = size
    out = []
    for tf in (t, t @ SWAP):
        arm = [(L * 0.06, L * 0.06), (L * 0.12, L * 0.025)]
        arm += [(L * (0.16 + 0.04 * k), -L * 0.012 * math.sin(math.pi * k / 8)) for k in range(17)]
        arm += spiral(L * 0.8, L * 0.1, L * 0.1, -90, 1.2, 0.8, 20)[1:]
        out.append(path(smooth(arm, t=tf), fill="none", stroke=col, stroke_width=width, stroke_linecap="round"))
        branch = [(L * 0.5, L * 0.02), (L * 0.42, L * 0.1)] + spiral(L * 0.35, L * 0.16, L * 0.065, -30, 1.0, 0.75, 12)[1:]
        out.append(path(smooth(branch, t=tf), fill="none", stroke=col, stroke_width=width * 0.75, stroke_linecap="round"))
        out.append(path(leaf(tf @ T(L * 0.6, L * 0.0) @ R(125) @ S(L * 0.13), 0.34), fill=col))
    out.append(path(leaf(t @ T(L * 0.1, L * 0.1) @ R(135) @ S(L * 0.26), 0.3), fill=col))
    for sx in (-1, 1):
        x, y = t.ap(*((L * 0.2, L * 0.08) if sx < 0 else (L * 0.08, L * 0.2)))
        out.append(circle(x, y, width * 1.1, fill=col))
    x, y = t.ap(L * 0.06, L * 0.06)
    out.append(circle(x, y, width * 1.5, fill=col))
    return out


def corners4(w, h, m):
    """Transforms for the four corners of a w x h box with margin m; each maps the top-left motif."""
    return [T(m, m), T(w - m, m) @ S(-1, 1), T(m, h - m) @ S(1, -1), T(w - m, h - m) @ S(-1, -1)]


def frames():
    d = Doc(300, 220)
    d.add(rect(8, 8, 284, 204, rx=6, fill="none", stroke=CC, stroke_width=6))
    d.add(rect(20, 20, 260, 180, rx=2, fill="none", stroke=CC, stroke_width=2))
    for x, y in [(20, 20), (280, 20), (20, 200), (280, 200)]:
        d.add(path(P().M(x, y - 7).L(x + 7, y).L(x, y + 7).L(x - 7, y).Z(), fill=CC))
    reg("rahmen-rechteck", "Rahmen", "Rahmen rechteckig", d)

    d = Doc(240, 300)
    d.add(ellipse(120, 150, 110, 140, fill="none", stroke=CC, stroke_width=6))
    d.add(ellipse(120, 150, 98, 128, fill="none", stroke=CC, stroke_width=2))
    for a in range(0, 360, 30):
        x, y = 120 + 104 * math.cos(math.radians(a)), 150 + 134 * math.sin(math.radians(a))
        d.add(circle(x, y, 4.5 if a % 90 else 7, fill=CC))
    reg("rahmen-oval", "Rahmen", "Rahmen oval", d)

    d = Doc(320, 240)
    d.add(rect(34, 34, 252, 172, fill="none", stroke=CC, stroke_width=2.5))
    for t in corners4(320, 240, 12):
        d.add(*corner_scroll(CC, t, 92, 3.2))
    for y, sy in ((34, -1), (206, 1)):
        t = T(160, y) @ S(1, sy)
        for sx in (-1, 1):
            arm = [(0, 0), (sx * 14, 4), (sx * 34, 2)] + spiral(sx * 44, -2, 10, 90, 1.0, 0.75, 12, sense=-sx)
            d.add(path(smooth(arm, t=t), fill="none", stroke=CC, stroke_width=2.6, stroke_linecap="round"))
        d.add(path(heart_path(t @ T(0, 14) @ S(1, -1) @ heart_tf(0, 0, 22)), fill=CC))
    reg("rahmen-schnoerkel", "Rahmen", "Rahmen mit Schnörkeln", d)

    d = Doc(300, 220)
    o, i_ = (8, 8, 292, 212), (44, 44, 256, 176)
    faces = [([(o[0], o[1]), (o[2], o[1]), (i_[2], i_[1]), (i_[0], i_[1])], (0, o[1], 0, i_[1]), GOLD),
             ([(o[0], o[1]), (i_[0], i_[1]), (i_[0], i_[3]), (o[0], o[3])], (o[0], 0, i_[0], 0), GOLD),
             ([(o[2], o[1]), (o[2], o[3]), (i_[2], i_[3]), (i_[2], i_[1])], (o[2], 0, i_[2], 0), GOLD[::-1]),
             ([(o[0], o[3]), (i_[0], i_[3]), (i_[2], i_[3]), (o[2], o[3])], (0, o[3], 0, i_[3]), GOLD[::-1])]
    for pts, (x1, y1, x2, y2), stops in faces:
        stops = [(k / (len(stops) - 1), c[1]) for k, c in enumerate(stops)]
        d.add(polygon(pts, fill=d.lin(x1, y1, x2, y2, stops), stroke="#8c5f0c", stroke_width=1, stroke_linejoin="round"))
    d.add(rect(26, 26, 248, 168, fill="none", stroke="#8c5f0c", stroke_width=1.5, stroke_opacity=0.6))
    d.add(rect(i_[0], i_[1], i_[2] - i_[0], i_[3] - i_[1], fill="none", stroke="#5e3f06", stroke_width=2))
    for x, y in [(26, 26), (274, 26), (26, 194), (274, 194)]:
        d.add(circle(x, y, 9, fill=d.rad(x - 3, y - 3, 11, [(0, "#fff4b8"), (1, "#b07d1a")]), stroke="#8c5f0c", stroke_width=1))
    reg("rahmen-gold", "Rahmen", "Bilderrahmen gold", d)

    d = Doc(300, 220)
    x0, y0, x1, y1, step = 14, 14, 286, 206, 17
    for (ax, ay, bx, by) in [(x0, y0, x1, y0), (x1, y0, x1, y1), (x1, y1, x0, y1), (x0, y1, x0, y0)]:
        n = int(round(math.hypot(bx - ax, by - ay) / step))
        for j in range(n):
            x, y = ax + (bx - ax) * j / n, ay + (by - ay) * j / n
            d.add(circle(x, y, 6 if j % 2 == 0 else 3, fill=CC))
    reg("rahmen-punkte", "Rahmen", "Punkterahmen", d)

    d = Doc(300, 220)
    cx, cy, rx, ry = 150, 110, 128, 92
    d.add(ellipse(cx, cy, rx, ry, fill="none", stroke="#4f7d3a", stroke_width=3))
    for k in range(36):
        a = k * 10 + 5
        x, y = cx + rx * math.cos(math.radians(a)), cy + ry * math.sin(math.radians(a))
        tang = math.degrees(math.atan2(ry * math.cos(math.radians(a)), -rx * math.sin(math.radians(a))))
        side = 1 if k % 2 else -1
        d.add(path(leaf(T(x, y) @ R(tang + 90 + side * 50) @ S(22), 0.38), fill="#5f9a46" if k % 2 else "#3f7a34"))
    for a in (270, 90, 0, 180):
        x, y = cx + rx * math.cos(math.radians(a)), cy + ry * math.sin(math.radians(a))
        d.add(*flower(d, "#f29bb7", x, y, 14, 5, 0.7, rot=a))
    reg("rahmen-ranken", "Rahmen", "Rankenrahmen", d)

    d = Doc(240, 230)
    d.add(path(heart_path(heart_tf(120, 116, 200)), fill="none", stroke=CC, stroke_width=7, stroke_linejoin="round"))
    d.add(path(heart_path(heart_tf(120, 114, 176)), fill="none", stroke=CC, stroke_width=2, stroke_linejoin="round"))
    reg("rahmen-herz", "Rahmen", "Herzrahmen", d)

    d = Doc(240, 240)
    for k in range(40):
        a = k * 9
        ring = 98 + (6 if k % 2 else -6)
        x, y = polar(120, 120, ring, a)
        d.add(path(leaf(T(x, y) @ R(a + 180 + (35 if k % 2 else -35)) @ S(34), 0.36),
                   fill=("#2f7a34", "#4f9a46", "#3a6f30")[k % 3]))
    for a in (30, 150, 270):
        for dx, dy in [(0, 0), (9, 4), (3, 10)]:
            x, y = polar(120, 120, 98, a)
            d.add(circle(x + dx - 4, y + dy - 4, 6, fill="#c8102e", stroke="#7a0f1a", stroke_width=0.8))
    reg("rahmen-kranz", "Rahmen", "Blätterkranz", d)


def corners():
    d = Doc(160, 160)
    d.add(*corner_scroll(CC, T(8, 8), 152, 4))
    reg("ecke-schnoerkel", "Ecken", "Ecke Schnörkel", d)

    d = Doc(160, 160)
    for m, ln, w in [(8, 150, 4), (20, 118, 2), (30, 88, 2)]:
        d.add(path(P().M(ln, m).L(m, m).L(m, ln), fill="none", stroke=CC, stroke_width=w, stroke_linejoin="miter"))
    d.add(path(P().M(48, 36).L(60, 48).L(48, 60).L(36, 48).Z(), fill=CC))
    for x, y in [(ln_, 20) for ln_ in (128, 140)] + [(20, ln_) for ln_ in (128, 140)]:
        d.add(circle(x, y, 3, fill=CC))
    reg("ecke-linien", "Ecken", "Ecke Linien", d)

    d = Doc(160, 160)
    d.add(path(P().M(150, 10).L(10, 10).L(10, 150), fill="none", stroke=CC, stroke_width=3, stroke_linejoin="round"))
    d.add(path(P().M(150, 20).L(56, 20).M(20, 56).L(20, 150), fill="none", stroke=CC, stroke_width=1.5))
    d.add(path(heart_path(T(44, 44) @ R(-45) @ heart_tf(0, 0, 38)), fill=CC))
    reg("ecke-herz", "Ecken", "Ecke mit Herz", d)

    d = Doc(170, 170)
    for tf in (ID, SWAP):
        stem = [(28, 28), (60, 20), (100, 24), (136, 16), (156, 20)]
        d.add(path(smooth(stem, t=tf), fill="none", stroke="#4f7d3a", stroke_width=3, stroke_linecap="round"))
        for j, (x, y) in enumerate(stem[1:-1] + [(146, 18)]):
            for side in (-1, 1):
                d.add(path(leaf(tf @ T(x, y) @ R(90 + side * 55) @ S(22 - j * 2), 0.4), fill="#5f9a46" if side > 0 else "#3f7a34"))
    d.add(*flower(d, "#f29bb7", 34, 34, 26, 5, 0.7, rot=15))
    reg("ecke-ranke", "Ecken", "Ecke Ranke", d)

    d = Doc(160, 160)
    g = d.lin(0, 0, 160, 160, GOLD)
    bar = [(8, 8), (150, 8), (150, 26), (26, 26), (26, 150), (8, 150)]
    d.add(polygon(bar, fill=g, stroke="#8c5f0c", stroke_width=1.5, stroke_linejoin="round"))
    d.add(path(P().M(146, 17).L(17, 17).L(17, 146), fill="none", stroke="#8c5f0c", stroke_width=1.2, stroke_opacity=0.7))
    d.add(circle(17, 17, 14, fill=d.rad(12, 12, 16, [(0, "#fff4b8"), (1, "#b07d1a")]), stroke="#8c5f0c", stroke_width=1.2))
    for x, y in [(150, 17), (17, 150)]:
        d.add(circle(x, y, 8, fill=d.rad(x - 2, y - 2, 9, [(0, "#fff4b8"), (1, "#b07d1a")]), stroke="#8c5f0c", stroke_width=1))
    d.add(path(P().M(46, 34).L(58, 46).L(46, 58).L(34, 46).Z(), fill=g, stroke="#8c5f0c", stroke_width=1))
    reg("ecke-gold", "Ecken", "Ecke gold", d)

    d = Doc(160, 160)
    for k, (dist, r) in enumerate([(26, 18), (66, 12), (98, 9), (124, 7), (146, 5)]):
        pts = [(dist, 24), (24, dist)] if k else [(24, 24)]
        for x, y in pts:
            d.add(polygon(star_pts(x, y, r, r * 0.45, 5), fill=CC, stroke=CC, stroke_width=1, stroke_linejoin="round"))
    reg("ecke-sterne", "Ecken", "Ecke Sterne", d)

    d = Doc(160, 160)
    p = P().M(6, 6).L(154, 6)
    n = 8
    for j in range(n):
        ax, ay = 154 - 148 * j / n, 6 + 148 * j / n
        bx, by = 154 - 148 * (j + 1) / n, 6 + 148 * (j + 1) / n
        mx, my = (ax + bx) / 2, (ay + by) / 2
        p.Q(mx + 9, my + 9, bx, by)
    p.Z()
    for j in range(n):
        x, y = 154 - 148 * (j + 0.5) / n - 14, 6 + 148 * (j + 0.5) / n - 14
        if min(x, y) > 14:
            p.hole(x, y, 3.5)
    for x, y, r in [(34, 34, 9), (60, 28, 4), (28, 60, 4), (78, 22, 3.5), (22, 78, 3.5)]:
        p.hole(x, y, r)
    d.add(path(p, fill=CC, fill_rule="evenodd"))
    reg("ecke-spitze", "Ecken", "Fotoecke Spitze", d)


def wave_pts(x0, x1, cy, amp, period, phase=0.0, step=None):
    step = step or period / 8
    n = int(round((x1 - x0) / step))
    f = lambda x: (x, cy - amp * math.sin(2 * math.pi * (x / period) + phase))
    pts = [f(x0 + i * step) for i in range(n + 1)]
    return pts, (f(x0 - step), f(x1 + step))


def borders():
    W = 400
    d = Doc(W, 60)
    pts, ends = wave_pts(0, W, 30, 14, 50)
    d.add(path(smooth(pts, ends=ends), fill="none", stroke=CC, stroke_width=4))
    pts, ends = wave_pts(0, W, 30, 14, 50, math.pi)
    d.add(path(smooth(pts, ends=ends), fill="none", stroke=CC, stroke_width=2, stroke_opacity=0.6))
    for k in range(8):
        d.add(circle(k * 50 + 25, 30, 3.5, fill=CC), circle(k * 50 + 12.5, 30 - 24, 2.5, fill=CC), circle(k * 50 + 37.5, 30 + 24, 2.5, fill=CC))
    reg("bordure-wellen", "Bordüren", "Bordüre Wellen", d)

    d = Doc(W, 60)
    d.add(line(0, 5, W, 5, stroke=CC, stroke_width=2), line(0, 55, W, 55, stroke=CC, stroke_width=2))
    for k in range(10):
        d.add(path(heart_path(heart_tf(k * 40 + 20, 30, 30)), fill=CC, fill_opacity=1 if k % 2 == 0 else 0.6))
    reg("bordure-herzen", "Bordüren", "Bordüre Herzen", d)

    d = Doc(W, 60)
    for k in range(8):
        d.add(*faceted_star(d, "gold", k * 50 + 16, 32, 22, 9, stroke_w=1))
        d.add(polygon(star_pts(k * 50 + 41, 28, 9, 4, 5), fill="#e2b53f", stroke="#8c5f0c", stroke_width=0.8, stroke_linejoin="round"))
    reg("bordure-sterne", "Bordüren", "Bordüre Sterne", d)

    d = Doc(W, 80)
    pts, ends = wave_pts(0, W, 40, 14, 100, step=10)
    d.add(path(smooth(pts, ends=ends), fill="none", stroke="#4f7d3a", stroke_width=3))
    for k in range(4):
        x = k * 100
        d.add(path(leaf(T(x + 25, 26) @ R(-40) @ S(26), 0.4), fill="#5f9a46"))
        d.add(path(leaf(T(x + 25, 26) @ R(40) @ S(22), 0.4), fill="#3f7a34"))
        d.add(path(leaf(T(x + 75, 54) @ R(140) @ S(26), 0.4), fill="#5f9a46"))
        d.add(path(leaf(T(x + 75, 54) @ R(220) @ S(22), 0.4), fill="#3f7a34"))
        for dx, dy in [(0, 0), (6, 4), (-2, 7)]:
            d.add(circle(x + 50 + dx, 40 + dy - 3, 4, fill="#c8102e"))
    reg("bordure-ranke", "Bordüren", "Bordüre Ranke", d)

    d = Doc(W, 60)
    for y0, sgn in ((30, -1), (30, 1)):
        pts = [(i * 10, y0 + sgn * (22 if i % 2 else 4)) for i in range(41)]
        d.add(path(P().poly(pts, close=False), fill="none", stroke=CC, stroke_width=3, stroke_linejoin="miter"))
    for k in range(20):
        d.add(circle(k * 20 + 10, 30, 3, fill=CC))
    reg("bordure-zickzack", "Bordüren", "Bordüre Zickzack", d)

    d = Doc(W, 50)
    d.add(line(0, 25, W, 25, stroke=CC, stroke_width=2))
    for k in range(8):
        d.add(circle(k * 50 + 12.5, 25, 9, fill=CC), circle(k * 50 + 37.5, 25, 4.5, fill=CC))
    reg("bordure-punkte", "Bordüren", "Bordüre Punkte", d)

    d = Doc(W, 80)
    for k in range(4):
        for x, hgt in ((k * 100 + 22, 64), (k * 100 + 78, 50)):
            base = 74
            d.add(rect(x - 3, base - 6, 6, 8, fill="#7a4a24"))
            for j in range(3):
                half = (hgt * 0.36) * (1 - j * 0.25)
                top = base - 6 - hgt + j * hgt * 0.08
                yb = base - 6 - j * hgt * 0.28
                d.add(polygon([(x, top + j * hgt * 0.2), (x + half, yb), (x - half, yb)], fill="#2f7a34" if j % 2 == 0 else "#3f8a3c"))
        d.add(polygon(star_pts(k * 100 + 50, 22, 9, 4, 5), fill="#e2b53f", stroke="#8c5f0c", stroke_width=0.8))
    reg("bordure-tannen", "Bordüren", "Bordüre Tannen", d)

    d = Doc(W, 60)
    d.add(line(0, 30, W, 30, stroke="#4f7d3a", stroke_width=2.5))
    for k in range(4):
        x = k * 100
        d.add(path(leaf(T(x + 50, 30) @ R(-60) @ S(20), 0.4), fill="#5f9a46"))
        d.add(path(leaf(T(x + 50, 30) @ R(60) @ S(20), 0.4), fill="#5f9a46"))
        d.add(path(leaf(T(x + 50, 30) @ R(-120) @ S(20), 0.4), fill="#3f7a34"))
        d.add(path(leaf(T(x + 50, 30) @ R(120) @ S(20), 0.4), fill="#3f7a34"))
        d.add(*flower(d, "#f29bb7", x + 25, 30, 22, 5, 0.66))
        d.add(*flower(d, "#7fa8e6", x + 75, 30, 22, 5, 0.66, rot=36))
    reg("bordure-blumen", "Bordüren", "Bordüre Blumen", d)

    d = Doc(W, 50)
    p = P().M(0, 12)
    for k in range(10):
        p.C(k * 40 + 6, 44, k * 40 + 34, 44, k * 40 + 40, 12)
    d.add(path(p, fill="none", stroke=CC, stroke_width=3, stroke_linejoin="round"))
    d.add(line(0, 6, W, 6, stroke=CC, stroke_width=2))
    for k in range(10):
        d.add(circle(k * 40 + 20, 24, 4, fill=CC))
    reg("bordure-bogen", "Bordüren", "Bordüre Bögen", d)


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


DRAWERS = [hearts, stars, party, candles, gifts, flowers, christmas, easter, wedding, baby, faith, frames, corners, borders]

if __name__ == "__main__":
    main()
