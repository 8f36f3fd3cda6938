#include "content/DesignPainters.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <tuple>
#include <utility>

namespace bb {

namespace {

constexpr double kPi = std::numbers::pi;

QColor alpha(QColor c, int a) {
    c.setAlpha(a);
    return c;
}

double rnd(QRandomGenerator& rng, double lo, double hi) {
    return lo + rng.generateDouble() * (hi - lo);
}

// A soft round spot: full colour at the centre fading to nothing at radius r.
void softSpot(QPainter& p, QPointF c, double r, const QColor& colour, int centreAlpha) {
    QRadialGradient g(c, r);
    g.setColorAt(0, alpha(colour, centreAlpha));
    g.setColorAt(0.55, alpha(colour, centreAlpha * 2 / 3));
    g.setColorAt(1, alpha(colour, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

// Fine paper grain: a seeded tile of light and dark specks laid over the area.
void grain(QPainter& p, const QRectF& area, quint32 seed, int strength) {
    QImage tile(256, 256, QImage::Format_ARGB32_Premultiplied);
    QRandomGenerator rng(seed ^ 0x9e3779b9U);
    for (int y = 0; y < tile.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
            const int a = int(rng.bounded(strength + 1));
            const int v = rng.bounded(2) ? 255 : 0;
            row[x] = qPremultiply(qRgba(v, v, v, a));
        }
    }
    p.save();
    p.setClipRect(area);
    for (double y = area.top(); y < area.bottom(); y += tile.height())
        for (double x = area.left(); x < area.right(); x += tile.width())
            p.drawImage(QPointF(x, y), tile);
    p.restore();
}

void verticalGradient(QPainter& p, const QRectF& area, const QColor& top, const QColor& bottom) {
    QLinearGradient g(area.topLeft(), area.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(area, g);
}

// A leaf from `base` to `tip`, `width` across at its widest, with a lighter midrib.
void leaf(QPainter& p, QPointF base, QPointF tip, double width, const QColor& colour) {
    const QPointF d = tip - base;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    const QPointF n(-d.y() / len * width / 2, d.x() / len * width / 2);
    QPainterPath path(base);
    path.cubicTo(base + d * 0.25 + n * 1.3, base + d * 0.7 + n * 0.9, tip);
    path.cubicTo(base + d * 0.7 - n * 0.9, base + d * 0.25 - n * 1.3, base);
    QLinearGradient g(base + n, base - n);
    g.setColorAt(0, colour.lighter(118));
    g.setColorAt(1, colour.darker(112));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.setPen(QPen(alpha(colour.lighter(150), 150), std::max(0.6, width * 0.06)));
    p.drawLine(base + d * 0.05, base + d * 0.85);
}

QPainterPath heartPath(const QRectF& r) {
    QPainterPath path;
    const double cx = r.center().x(), w = r.width(), h = r.height();
    path.moveTo(cx, r.top() + h * 0.98);
    path.cubicTo(r.left() - w * 0.05, r.top() + h * 0.58, r.left() + w * 0.02, r.top() - h * 0.02,
                 cx, r.top() + h * 0.24);
    path.cubicTo(r.right() - w * 0.02, r.top() - h * 0.02, r.right() + w * 0.05, r.top() + h * 0.58,
                 cx, r.top() + h * 0.98);
    return path;
}

QPolygonF starPolygon(QPointF c, double outer, double inner, int points, double turn = 0) {
    QPolygonF star;
    for (int i = 0; i < points * 2; ++i) {
        const double a = -kPi / 2 + turn + i * kPi / points;
        const double r = i % 2 ? inner : outer;
        star << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    return star;
}

// A candle flame with its glow.
void flame(QPainter& p, QPointF bottom, double h, const QColor& colour, const QColor& glow) {
    softSpot(p, bottom - QPointF(0, h * 0.5), h * 2.2, glow, 90);
    QPainterPath f(bottom);
    f.cubicTo(bottom + QPointF(-h * 0.42, -h * 0.2), bottom + QPointF(-h * 0.1, -h * 0.7),
              bottom + QPointF(0, -h));
    f.cubicTo(bottom + QPointF(h * 0.1, -h * 0.7), bottom + QPointF(h * 0.42, -h * 0.2), bottom);
    QRadialGradient g(bottom - QPointF(0, h * 0.3), h * 0.7);
    g.setColorAt(0, QColor(255, 252, 230));
    g.setColorAt(0.5, colour);
    g.setColorAt(1, colour.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(f);
}

// ---- Backgrounds ----

void bgPaper(QPainter& p, const QRectF& a, const PaintParams& pp) {
    const QColor ground = pp.colour(0, QColor(250, 246, 238));
    p.fillRect(a, ground);
    QRandomGenerator rng(pp.seed);
    const QColor fibre = pp.colour(1, ground.darker(106));
    const int fibres = int(a.width() * a.height() / 6000);
    for (int i = 0; i < fibres; ++i) {
        const QPointF s(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom()));
        const double len = rnd(rng, 4, 16), turn = rnd(rng, 0, kPi);
        QPainterPath f(s);
        f.quadTo(s + QPointF(len * 0.5 * std::cos(turn + 0.5), len * 0.5 * std::sin(turn + 0.5)),
                 s + QPointF(len * std::cos(turn), len * std::sin(turn)));
        p.setPen(QPen(alpha(fibre, 40 + int(rng.bounded(50))), 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(f);
    }
    grain(p, a, pp.seed, 6);
}

// One patch of watercolour: an irregular outline, pigment thin in the middle and gathered at
// the edge where it dried.
void washBlob(QPainter& p, QPointF c, double r, const QColor& colour, QRandomGenerator& rng) {
    const double ph[] = {rnd(rng, 0, 6.3), rnd(rng, 0, 6.3), rnd(rng, 0, 6.3)};
    const double squash = rnd(rng, 0.7, 1.0);
    QPainterPath path;
    constexpr int kPoints = 72;
    for (int k = 0; k <= kPoints; ++k) {
        const double a = 2 * kPi * k / kPoints;
        const double rr = r * (1 + 0.13 * std::sin(3 * a + ph[0]) + 0.07 * std::sin(5 * a + ph[1]) +
                               0.035 * std::sin(11 * a + ph[2]));
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a) * squash);
        if (k == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    QRadialGradient g(c, r * 1.2);
    g.setColorAt(0, alpha(colour, 30));
    g.setColorAt(0.7, alpha(colour, 45));
    g.setColorAt(0.95, alpha(colour, 66));
    p.setPen(QPen(alpha(colour.darker(108), 22), std::max(1.0, r * 0.008)));
    p.setBrush(g);
    p.drawPath(path);
}

void bgWash(QPainter& p, const QRectF& a, const PaintParams& pp) {
    PaintParams paper = pp;
    paper.colours = {pp.colour(0, QColor(252, 249, 243))};
    bgPaper(p, a, paper);
    QRandomGenerator rng(pp.seed * 7 + 3);
    const int spots = pp.count > 0 ? pp.count : 5;
    const double size = std::max(a.width(), a.height());
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    for (int c = 1; c < pp.colours.size(); ++c) {
        for (int i = 0; i < spots; ++i) {
            const QPointF centre(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom()));
            const double r = size * rnd(rng, 0.08, 0.2);
            // Layers of a few washes over each other, each a little off the one below.
            for (int layer = 0; layer < 3; ++layer) {
                const QPointF off(rnd(rng, -r, r) * 0.25, rnd(rng, -r, r) * 0.25);
                washBlob(p, centre + off, r * rnd(rng, 0.65, 1.0), pp.colours[c], rng);
            }
        }
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void bgGradient(QPainter& p, const QRectF& a, const PaintParams& pp) {
    verticalGradient(p, a, pp.colour(0, QColor(250, 245, 235)),
                     pp.colour(1, QColor(235, 225, 210)));
    grain(p, a, pp.seed, 5);
}

void bgBokeh(QPainter& p, const QRectF& a, const PaintParams& pp) {
    verticalGradient(p, a, pp.colour(0, QColor(20, 24, 48)), pp.colour(1, QColor(60, 30, 60)));
    QRandomGenerator rng(pp.seed);
    const int lights = pp.count > 0 ? pp.count : 45;
    const QList<QColor> colours =
        pp.colours.size() > 2 ? pp.colours.mid(2) : QList<QColor>{QColor(255, 210, 120)};
    for (int i = 0; i < lights; ++i) {
        const QColor c = colours[int(rng.bounded(int(colours.size())))];
        const double r = a.width() * rnd(rng, 0.008, 0.05);
        const QPointF centre(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom()));
        QRadialGradient g(centre, r);
        const int peak = 30 + int(rng.bounded(80));
        g.setColorAt(0, alpha(c, peak));
        g.setColorAt(0.8, alpha(c, peak * 3 / 4));
        g.setColorAt(0.93, alpha(c.lighter(120), peak));
        g.setColorAt(1, alpha(c, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(centre, r, r);
    }
    grain(p, a, pp.seed, 4);
}

void bgSnow(QPainter& p, const QRectF& a, const PaintParams& pp) {
    verticalGradient(p, a, pp.colour(0, QColor(40, 70, 120)), pp.colour(1, QColor(140, 170, 205)));
    QRandomGenerator rng(pp.seed);
    const QColor flake = pp.colour(2, Qt::white);
    const int flakes = pp.count > 0 ? pp.count : 420;
    for (int i = 0; i < flakes; ++i) {
        const double r =
            a.width() * (rng.bounded(10) == 0 ? rnd(rng, 0.005, 0.009) : rnd(rng, 0.0012, 0.0035));
        softSpot(p, QPointF(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom())), r, flake,
                 150 + int(rng.bounded(100)));
    }
}

void bgNight(QPainter& p, const QRectF& a, const PaintParams& pp) {
    verticalGradient(p, a, pp.colour(0, QColor(10, 16, 44)), pp.colour(1, QColor(36, 52, 100)));
    QRandomGenerator rng(pp.seed);
    const QColor star = pp.colour(2, QColor(255, 250, 225));
    const int stars = pp.count > 0 ? pp.count : 360;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < stars; ++i) {
        const double r = a.width() * rnd(rng, 0.0006, 0.0018);
        p.setBrush(alpha(star, 90 + int(rng.bounded(160))));
        p.drawEllipse(QPointF(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom())), r, r);
    }
    for (int i = 0; i < stars / 30; ++i) {
        const QPointF c(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom()));
        const double r = a.width() * rnd(rng, 0.006, 0.012);
        softSpot(p, c, r * 1.4, star, 120);
        p.setBrush(star);
        p.drawPolygon(starPolygon(c, r, r * 0.18, 4));
    }
}

void bgConfetti(QPainter& p, const QRectF& a, const PaintParams& pp) {
    PaintParams paper = pp;
    paper.colours = {pp.colour(0, QColor(255, 252, 245))};
    bgPaper(p, a, paper);
    QRandomGenerator rng(pp.seed);
    const QList<QColor> colours =
        pp.colours.size() > 1 ? pp.colours.mid(1) : QList<QColor>{QColor(230, 80, 90)};
    const int pieces = pp.count > 0 ? pp.count : 160;
    const double unit = a.width() * 0.006;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < pieces; ++i) {
        p.save();
        p.translate(rnd(rng, a.left(), a.right()), rnd(rng, a.top(), a.bottom()));
        p.rotate(rnd(rng, 0, 180));
        p.setBrush(alpha(colours[int(rng.bounded(int(colours.size())))], 200));
        if (rng.bounded(3) == 0)
            p.drawEllipse(QPointF(0, 0), unit * 0.9, unit * 0.9);
        else
            p.drawRect(QRectF(-unit * 1.4, -unit * 0.5, unit * 2.8, unit));
        p.restore();
    }
}

void bgStripes(QPainter& p, const QRectF& a, const PaintParams& pp) {
    p.fillRect(a, pp.colour(0, QColor(252, 248, 240)));
    const int stripes = pp.count > 0 ? pp.count : 40;
    const double w = a.width() / stripes;
    for (int i = 0; i < stripes; i += 2)
        p.fillRect(QRectF(a.left() + i * w, a.top(), w, a.height()),
                   pp.colour(1, QColor(236, 226, 210)));
    grain(p, a, pp.seed, 5);
}

void bgDots(QPainter& p, const QRectF& a, const PaintParams& pp) {
    p.fillRect(a, pp.colour(0, QColor(252, 248, 240)));
    const int across = pp.count > 0 ? pp.count : 36;
    const double step = a.width() / across;
    p.setPen(Qt::NoPen);
    p.setBrush(pp.colour(1, QColor(235, 200, 200)));
    int row = 0;
    for (double y = a.top() + step / 2; y < a.bottom(); y += step * 0.866, ++row)
        for (double x = a.left() + (row % 2 ? step : step / 2); x < a.right(); x += step)
            p.drawEllipse(QPointF(x, y), step * 0.13, step * 0.13);
    grain(p, a, pp.seed, 5);
}

void bgSunset(QPainter& p, const QRectF& a, const PaintParams& pp) {
    const double horizon = a.top() + a.height() * 0.62;
    verticalGradient(p, QRectF(a.left(), a.top(), a.width(), horizon - a.top() + 2),
                     pp.colour(0, QColor(120, 150, 200)), pp.colour(1, QColor(250, 200, 150)));
    softSpot(p,
             QPointF(a.left() + a.width() * (pp.mirror ? 0.3 : 0.72), horizon - a.height() * 0.06),
             a.height() * 0.22, pp.colour(2, QColor(255, 225, 160)), 255);
    p.setBrush(pp.colour(2, QColor(255, 225, 160)).lighter(108));
    p.drawEllipse(
        QPointF(a.left() + a.width() * (pp.mirror ? 0.3 : 0.72), horizon - a.height() * 0.03),
        a.height() * 0.06, a.height() * 0.06);
    QRandomGenerator rng(pp.seed);
    const QColor hills[] = {pp.colour(3, QColor(140, 150, 170)),
                            pp.colour(4, QColor(100, 125, 120)), pp.colour(5, QColor(70, 100, 80))};
    for (int row = 0; row < 3; ++row) {
        QPainterPath path(QPointF(a.left(), a.bottom()));
        const double base = horizon + row * a.height() * 0.09, phase = rnd(rng, 0, 6);
        for (double x = 0; x <= a.width() + 10; x += a.width() / 80)
            path.lineTo(a.left() + x, base - a.height() * 0.06 *
                                                 (std::sin(x / (a.width() * 0.13) + phase) * 0.7 +
                                                  std::sin(x / (a.width() * 0.047) + row) * 0.3));
        path.lineTo(a.right(), a.bottom());
        p.setPen(Qt::NoPen);
        p.setBrush(hills[row]);
        p.drawPath(path);
    }
    grain(p, a, pp.seed, 4);
}

using Painter = std::function<void(QPainter&, const QRectF&, const PaintParams&)>;

const std::map<QString, Painter>& backgrounds() {
    static const std::map<QString, Painter> table = {
        {QStringLiteral("paper"), bgPaper},       {QStringLiteral("wash"), bgWash},
        {QStringLiteral("gradient"), bgGradient}, {QStringLiteral("bokeh"), bgBokeh},
        {QStringLiteral("snow"), bgSnow},         {QStringLiteral("night"), bgNight},
        {QStringLiteral("confetti"), bgConfetti}, {QStringLiteral("stripes"), bgStripes},
        {QStringLiteral("dots"), bgDots},         {QStringLiteral("sunset"), bgSunset},
    };
    return table;
}

// ---- Motifs ----

QPointF at(const QRectF& b, double fx, double fy) {
    return {b.left() + b.width() * fx, b.top() + b.height() * fy};
}

double unitOf(const QRectF& b) {
    return std::min(b.width(), b.height());
}

void rose(QPainter& p, QPointF c, double r, const QColor& petal, const QColor& dark) {
    // Rings of cupped petals seen from above, each ring smaller and turned against the one
    // below: dark at the petal's base, light at its rim.
    for (int ring = 0; ring < 5; ++ring) {
        const double rr = r * (1.0 - ring * 0.19);
        const int petals = 5 + (ring % 2);
        for (int k = 0; k < petals; ++k) {
            const double a = (k + ring * 0.5) * 2 * kPi / petals + ring * 0.4;
            const QPointF dir(std::cos(a), std::sin(a));
            const QPointF centre = c + dir * rr * 0.42;
            p.save();
            p.translate(centre);
            p.rotate(a * 180 / kPi);
            QRadialGradient g(QPointF(-rr * 0.35, 0), rr * 0.75);
            g.setColorAt(0, dark);
            g.setColorAt(0.6, petal);
            g.setColorAt(1, petal.lighter(112));
            p.setPen(QPen(alpha(dark, 110), std::max(0.6, r * 0.02)));
            p.setBrush(g);
            p.drawEllipse(QPointF(0, 0), rr * 0.5, rr * 0.42);
            p.restore();
        }
    }
    softSpot(p, c, r * 0.22, dark.darker(125), 170);
}

void mRoses(QPainter& p, const QRectF& b, const PaintParams& pp) {
    struct Spot {
        double x, y, r;
    };
    static const Spot spots[] = {{0.5, 0.48, 0.24},
                                 {0.24, 0.62, 0.17},
                                 {0.77, 0.63, 0.18},
                                 {0.38, 0.8, 0.12},
                                 {0.64, 0.28, 0.12}};
    const int n = std::clamp(pp.count > 0 ? pp.count : 3, 1, 5);
    const double u = unitOf(b);
    const QColor leafColour = pp.colour(2, QColor(90, 130, 90));
    QRandomGenerator rng(pp.seed);
    for (int i = 0; i < n + 3; ++i) {
        const double a = rnd(rng, 0, 2 * kPi);
        const QPointF c = n == 1 ? b.center() : at(b, spots[i % n].x, spots[i % n].y);
        const double len = n == 1 ? 0.46 : 0.33;
        leaf(p, c, c + QPointF(std::cos(a), std::sin(a)) * u * len, u * len * 0.4, leafColour);
    }
    if (n == 1) {  // a single rose fills its box
        rose(p, b.center(), u * 0.36, pp.colour(0, QColor(225, 140, 155)),
             pp.colour(1, QColor(180, 80, 100)));
        return;
    }
    for (int i = 0; i < n; ++i)
        rose(p, at(b, spots[i].x, spots[i].y), u * spots[i].r, pp.colour(0, QColor(225, 140, 155)),
             pp.colour(1, QColor(180, 80, 100)));
}

void mBranch(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor leafColour = pp.colour(0, QColor(120, 150, 120));
    const QColor stem = pp.colour(1, leafColour.darker(130));
    const QColor berry = pp.colour(2, QColor());
    const auto pt = [&](double fx, double fy) { return at(b, pp.mirror ? 1 - fx : fx, fy); };
    QPainterPath path(pt(0.08, 0.95));
    path.cubicTo(pt(0.35, 0.7), pt(0.45, 0.35), pt(0.9, 0.05));
    p.setPen(QPen(stem, std::max(1.0, unitOf(b) * 0.012), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    const int leaves = (pp.count > 0 ? pp.count : 11) * 3 / 2;
    const double u = unitOf(b);
    for (int i = 0; i < leaves; ++i) {
        const double t = 0.08 + 0.9 * i / leaves;
        const QPointF base = path.pointAtPercent(t);
        const double a = path.angleAtPercent(t) * kPi / 180;
        const QPointF dir(std::cos(a), -std::sin(a));
        const double side = i % 2 ? 1 : -1, len = u * (0.24 - 0.1 * t);
        const QPointF normal(-dir.y() * side, dir.x() * side);
        leaf(p, base, base + (normal * 0.8 + dir * 0.6) * len, len * 0.45,
             i % 3 ? leafColour : leafColour.lighter(110));
        if (berry.isValid() && i % 3 == 1) {
            p.setPen(Qt::NoPen);
            p.setBrush(berry);
            p.drawEllipse(base - normal * u * 0.03, u * 0.018, u * 0.018);
        }
    }
}

void mWreath(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor leafColour = pp.colour(0, QColor(110, 140, 100));
    const QColor berry = pp.colour(1, QColor());
    const QPointF c = b.center();
    const double r = unitOf(b) * 0.4, u = unitOf(b);
    const int perSide = pp.count > 0 ? pp.count : 12;
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < perSide; ++i) {
            // From the bottom up each side, leaves pointing up along the ring.
            const double a = kPi / 2 + side * (0.25 + 2.55 * i / perSide);
            const QPointF base = c + QPointF(std::cos(a), std::sin(a)) * r;
            const QPointF along(-std::sin(a) * side, std::cos(a) * side);
            const QPointF out(std::cos(a), std::sin(a));
            const double len = u * 0.12;
            leaf(p, base, base - along * len + out * len * 0.35 * (i % 2 ? 1 : -1), len * 0.42,
                 i % 2 ? leafColour : leafColour.darker(110));
            if (berry.isValid() && i % 4 == 2) {
                p.setPen(Qt::NoPen);
                p.setBrush(berry);
                p.drawEllipse(base + out * u * 0.03, u * 0.014, u * 0.014);
            }
        }
    }
}

void mBalloons(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const int n = std::clamp(pp.count > 0 ? pp.count : 3, 1, 7);
    const QList<QColor> colours =
        pp.colours.isEmpty()
            ? QList<QColor>{QColor(230, 80, 90), QColor(70, 150, 220), QColor(250, 190, 60)}
            : pp.colours;
    QRandomGenerator rng(pp.seed);
    const QPointF knotAll = at(b, 0.5, 0.98);
    const double w = b.width() / (n * 0.8 + 0.4), h = w * 1.22;
    for (int i = 0; i < n; ++i) {
        const double fx = n == 1 ? 0.5 : 0.2 + 0.6 * i / (n - 1);
        const QPointF c(b.left() + b.width() * fx + rnd(rng, -w, w) * 0.1,
                        b.top() + h * 0.55 + (i % 2) * h * 0.35 + rnd(rng, 0, h * 0.15));
        const QColor col = colours[i % colours.size()];
        QPainterPath string(c + QPointF(0, h * 0.5));
        string.cubicTo(c + QPointF(w * 0.15, h * 0.9), knotAll + QPointF(-w * 0.1, -h * 0.6),
                       knotAll);
        p.setPen(QPen(QColor(120, 110, 100), std::max(0.8, w * 0.012)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(string);
        QPolygonF knot;
        knot << c + QPointF(0, h * 0.45) << c + QPointF(-w * 0.06, h * 0.55)
             << c + QPointF(w * 0.06, h * 0.55);
        p.setPen(Qt::NoPen);
        p.setBrush(col.darker(115));
        p.drawPolygon(knot);
        QRadialGradient g(c - QPointF(w * 0.15, h * 0.18), w * 0.75);
        g.setColorAt(0, col.lighter(135));
        g.setColorAt(0.6, col);
        g.setColorAt(1, col.darker(125));
        p.setBrush(g);
        p.drawEllipse(c, w * 0.45, h * 0.48);
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawEllipse(c - QPointF(w * 0.2, h * 0.22), w * 0.07, h * 0.1);
    }
}

void mCandles(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const int n = std::clamp(pp.count > 0 ? pp.count : 1, 1, 5);
    const QColor wax = pp.colour(0, QColor(245, 238, 225));
    const QColor fire = pp.colour(1, QColor(250, 180, 60));
    const QColor glow = pp.colour(2, QColor(255, 220, 150));
    const double slot = b.width() / n;
    for (int i = 0; i < n; ++i) {
        const double heightShare = n == 1 ? 0.62 : 0.45 + 0.17 * ((i * 7 + 3) % n) / n;
        const double w = std::min(slot * 0.45, b.height() * 0.2);
        const double h = b.height() * heightShare;
        const QRectF body(b.left() + slot * (i + 0.5) - w / 2, b.bottom() - h, w, h);
        flame(p, QPointF(body.center().x(), body.top() - h * 0.04), b.height() * 0.14, fire, glow);
        p.setPen(QPen(QColor(60, 50, 40), std::max(0.8, w * 0.04)));
        p.drawLine(QPointF(body.center().x(), body.top()),
                   QPointF(body.center().x(), body.top() - h * 0.05));
        QLinearGradient g(body.topLeft(), body.topRight());
        g.setColorAt(0, wax.darker(108));
        g.setColorAt(0.4, wax.lighter(104));
        g.setColorAt(1, wax.darker(118));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(body, w * 0.1, w * 0.1);
    }
}

void mHeart(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    const QRectF r(b.center().x() - s / 2, b.center().y() - s / 2, s, s);
    const QColor c = pp.colour(0, QColor(205, 45, 70));
    QRadialGradient g(r.center() - QPointF(s * 0.15, s * 0.15), s * 0.75);
    g.setColorAt(0, c.lighter(125));
    g.setColorAt(1, pp.colour(1, c.darker(125)));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(heartPath(r));
}

void mHearts(QPainter& p, const QRectF& b, const PaintParams& pp) {
    QRandomGenerator rng(pp.seed);
    const QList<QColor> colours =
        pp.colours.isEmpty() ? QList<QColor>{QColor(215, 60, 80)} : pp.colours;
    const int n = pp.count > 0 ? pp.count : 14;
    const double u = unitOf(b);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < n; ++i) {
        const double s = u * rnd(rng, 0.08, 0.2);
        p.save();
        p.translate(rnd(rng, b.left() + s, b.right() - s), rnd(rng, b.top() + s, b.bottom() - s));
        p.rotate(rnd(rng, -25, 25));
        p.setBrush(alpha(colours[i % colours.size()], 150 + int(rng.bounded(105))));
        p.drawPath(heartPath(QRectF(-s / 2, -s / 2, s, s)));
        p.restore();
    }
}

void firBranch(QPainter& p, QPointF from, QPointF to, double needle, const QColor& green) {
    QPainterPath stem(from);
    stem.quadTo((from + to) / 2 + QPointF(0, needle * 0.8), to);
    p.setPen(QPen(QColor(110, 80, 50), needle * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stem);
    QRandomGenerator rng(quint32(from.x() * 13 + to.y() * 7));
    const int steps = int(stem.length() / (needle * 0.07));
    for (int i = 0; i < steps; ++i) {
        const double t = double(i) / steps;
        const QPointF c = stem.pointAtPercent(t);
        const double a = stem.angleAtPercent(t) * kPi / 180;
        const QPointF dir(std::cos(a), -std::sin(a)), normal(-dir.y(), dir.x());
        // Needles shorter towards the tip, laid forward along the twig, in two greens.
        const double len = needle * (0.7 + 0.3 * (1 - t)) * rnd(rng, 0.8, 1.1);
        const double side = i % 2 ? 1 : -1, spread = rnd(rng, 0.55, 0.9);
        const QPointF tip = c + (normal * side * spread + dir * 0.75) * len;
        p.setPen(QPen(rng.bounded(3) ? green : green.lighter(135), needle * 0.045, Qt::SolidLine,
                      Qt::RoundCap));
        QPainterPath n(c);
        n.quadTo(c + (normal * side * spread * 0.6 + dir * 0.2) * len, tip);
        p.setBrush(Qt::NoBrush);
        p.drawPath(n);
    }
}

void bauble(QPainter& p, QPointF c, double r, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 170, 90));
    p.drawRect(QRectF(c.x() - r * 0.22, c.y() - r * 1.15, r * 0.44, r * 0.25));
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.35), r * 1.3);
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(0.5, colour);
    g.setColorAt(1, colour.darker(150));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void mFir(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor green = pp.colour(0, QColor(40, 100, 70));
    const double u = unitOf(b);
    const auto pt = [&](double fx, double fy) { return at(b, pp.mirror ? 1 - fx : fx, fy); };
    firBranch(p, pt(0.05, 0.3), pt(0.7, 0.12), u * 0.1, green.darker(112));
    firBranch(p, pt(0.0, 0.08), pt(0.95, 0.2), u * 0.13, green);
    firBranch(p, pt(0.2, 0.02), pt(0.55, 0.42), u * 0.09, green.lighter(108));
    const QList<QColor> baubles =
        pp.colours.size() > 1 ? pp.colours.mid(1) : QList<QColor>{QColor(190, 40, 50)};
    // Baubles hang on threads of different lengths below the branches.
    const double spots[][3] = {{0.5, 0.2, 0.62}, {0.3, 0.17, 0.5}, {0.72, 0.2, 0.45}};
    const int n = std::clamp(pp.count > 0 ? pp.count : 2, 0, 3);
    for (int i = 0; i < n; ++i) {
        const double r = u * (i ? 0.065 : 0.09);
        const QPointF hook = pt(spots[i][0], spots[i][1]), c = pt(spots[i][0], spots[i][2]);
        p.setPen(QPen(QColor(150, 120, 70), std::max(0.8, u * 0.005)));
        p.drawLine(hook, c - QPointF(0, r * 1.1));
        bauble(p, c, r, baubles[i % baubles.size()]);
    }
}

// An egg standing upright: narrow at the top, round at the bottom, widest a little below the
// middle.
QPainterPath eggPath(QPointF c, double w, double h) {
    QPainterPath e(c + QPointF(0, -h / 2));
    e.cubicTo(c + QPointF(w * 0.3, -h / 2), c + QPointF(w / 2, -h * 0.2),
              c + QPointF(w / 2, h * 0.1));
    e.cubicTo(c + QPointF(w / 2, h * 0.36), c + QPointF(w * 0.28, h / 2), c + QPointF(0, h / 2));
    e.cubicTo(c + QPointF(-w * 0.28, h / 2), c + QPointF(-w / 2, h * 0.36),
              c + QPointF(-w / 2, h * 0.1));
    e.cubicTo(c + QPointF(-w / 2, -h * 0.2), c + QPointF(-w * 0.3, -h / 2), c + QPointF(0, -h / 2));
    return e;
}

void mEggs(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const int n = std::clamp(pp.count > 0 ? pp.count : 3, 1, 5);
    const QList<QColor> colours =
        pp.colours.isEmpty()
            ? QList<QColor>{QColor(240, 180, 190), QColor(170, 210, 230), QColor(245, 220, 140)}
            : pp.colours;
    const double w = std::min(b.width() / (n * 0.9 + 0.2), b.height() * 0.62), h = w * 1.3;
    for (int i = 0; i < n; ++i) {
        const QPointF c(b.left() + b.width() * (i + 0.5) / n,
                        b.bottom() - h / 2 - (i % 2 ? 0 : h * 0.08));
        const QPainterPath egg = eggPath(c, w, h);
        const QColor col = colours[i % colours.size()];
        QRadialGradient g(c - QPointF(w * 0.15, h * 0.2), h * 0.7);
        g.setColorAt(0, col.lighter(120));
        g.setColorAt(1, col.darker(112));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(egg);
        p.save();
        p.setClipPath(egg);
        const QColor deco = QColor(255, 255, 255, 200);
        p.setPen(QPen(deco, h * 0.025, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF zig;
        for (int k = 0; k <= 12; ++k)
            zig << QPointF(c.x() - w / 2 + w * k / 12, c.y() + (k % 2 ? -1 : 1) * h * 0.05);
        p.drawPolyline(zig);
        p.setPen(Qt::NoPen);
        p.setBrush(deco);
        for (int k = 0; k < 5; ++k) {
            p.drawEllipse(QPointF(c.x() - w * 0.3 + w * 0.15 * k, c.y() - h * 0.2), h * 0.025,
                          h * 0.025);
            p.drawEllipse(QPointF(c.x() - w * 0.3 + w * 0.15 * k, c.y() + h * 0.2), h * 0.02,
                          h * 0.02);
        }
        p.restore();
    }
}

void mRings(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double u = unitOf(b);
    const QColor gold = pp.colour(0, QColor(205, 165, 80));
    const QColor light = pp.colour(1, QColor(250, 225, 160));
    const double r = u * 0.28;
    const QPointF c1 = b.center() - QPointF(r * 0.5, 0),
                  c2 = b.center() + QPointF(r * 0.5, r * 0.12);
    for (const QPointF& c : {c1, c2}) {
        QLinearGradient g(c - QPointF(r, r), c + QPointF(r, r));
        g.setColorAt(0, light);
        g.setColorAt(0.45, gold);
        g.setColorAt(0.7, light);
        g.setColorAt(1, gold.darker(130));
        p.setPen(QPen(QBrush(g), u * 0.06));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r, r * 0.92);
    }
    // The first ring passes over the second on the upper crossing.
    p.save();
    p.setClipRect(QRectF(b.center().x() - r * 0.3, b.top(), r * 0.8, b.height() / 2));
    QLinearGradient g(c1 - QPointF(r, r), c1 + QPointF(r, r));
    g.setColorAt(0, light);
    g.setColorAt(0.45, gold);
    g.setColorAt(1, gold.darker(130));
    p.setPen(QPen(QBrush(g), u * 0.06));
    p.drawEllipse(c1, r, r * 0.92);
    p.restore();
    const QPointF stone = c2 - QPointF(0, r * 0.92 + u * 0.045);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 245, 255));
    p.drawPolygon(starPolygon(stone, u * 0.045, u * 0.03, 4, kPi / 4));
    softSpot(p, stone, u * 0.07, Qt::white, 160);
}

void mDove(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    p.save();
    p.translate(b.center());
    if (pp.mirror) p.scale(-1, 1);
    p.scale(s / 100, s / 100);
    const QColor body = pp.colour(0, Qt::white), shade = pp.colour(1, QColor(200, 205, 215));
    QPainterPath wing(QPointF(-5, -2));
    wing.cubicTo(QPointF(-20, -30), QPointF(-5, -45), QPointF(22, -48));
    wing.cubicTo(QPointF(8, -38), QPointF(12, -25), QPointF(6, -6));
    wing.closeSubpath();
    QPainterPath dove(QPointF(30, -10));  // the beak
    dove.cubicTo(QPointF(22, -18), QPointF(12, -16), QPointF(8, -6));
    dove.cubicTo(QPointF(-8, 0), QPointF(-28, 4), QPointF(-46, 18));  // the back to the tail
    dove.lineTo(QPointF(-36, 22));
    dove.cubicTo(QPointF(-20, 20), QPointF(0, 18), QPointF(14, 8));
    dove.cubicTo(QPointF(20, 3), QPointF(24, -4), QPointF(30, -10));
    p.setPen(QPen(shade, 1.2));
    p.setBrush(body);
    p.drawPath(dove);
    QLinearGradient wg(QPointF(0, -48), QPointF(0, 0));
    wg.setColorAt(0, body);
    wg.setColorAt(1, shade);
    p.setBrush(wg);
    p.drawPath(wing);
    p.setPen(Qt::NoPen);
    p.setBrush(shade.darker(170));
    p.drawEllipse(QPointF(21, -10), 1.4, 1.4);
    const QColor olive = pp.colour(2, QColor(110, 140, 90));
    if (pp.colours.size() > 2) {
        p.setPen(QPen(olive.darker(130), 1.2));
        p.drawLine(QPointF(29, -9), QPointF(42, -2));
        for (int i = 0; i < 3; ++i) {
            const QPointF base(32 + i * 4, -7.5 + i * 2);
            leaf(p, base, base + QPointF(4, i % 2 ? 6 : -6), 3, olive);
        }
    }
    p.restore();
}

void mCake(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor lower = pp.colour(0, QColor(245, 200, 210)),
                 upper = pp.colour(1, QColor(250, 235, 215));
    const QColor icing = pp.colour(2, Qt::white);
    const double w = b.width() * 0.8, h = b.height() * 0.26;
    const QRectF base(b.center().x() - w / 2, b.bottom() - h, w, h);
    const QRectF top(b.center().x() - w * 0.33, base.top() - h * 0.85, w * 0.66, h * 0.85);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 225, 230));
    p.drawEllipse(QRectF(base.left() - w * 0.08, base.bottom() - h * 0.15, w * 1.16, h * 0.3));
    for (const auto& [tier, colour] : {std::pair{base, lower}, std::pair{top, upper}}) {
        p.setBrush(colour);
        p.drawRoundedRect(tier, w * 0.02, w * 0.02);
        QPainterPath drips(tier.topLeft());
        const int n = 9;
        for (int i = 0; i < n; ++i) {
            const double x = tier.left() + tier.width() * (i + 0.5) / n;
            drips.quadTo(QPointF(x, tier.top() + tier.height() * (i % 2 ? 0.45 : 0.3)),
                         QPointF(tier.left() + tier.width() * (i + 1) / n, tier.top()));
        }
        drips.lineTo(tier.topLeft());
        p.setBrush(icing);
        p.drawPath(drips);
    }
    const int n = std::clamp(pp.count > 0 ? pp.count : 3, 1, 9);
    const QColor candle = pp.colour(3, QColor(120, 170, 220));
    for (int i = 0; i < n; ++i) {
        const double x = top.left() + top.width() * (i + 0.5) / n;
        const QRectF c(x - w * 0.018, top.top() - h * 0.6, w * 0.036, h * 0.6);
        p.setPen(Qt::NoPen);
        p.setBrush(candle);
        p.drawRect(c);
        flame(p, QPointF(x, c.top() - h * 0.03), h * 0.3, QColor(250, 180, 60),
              QColor(255, 220, 150));
    }
}

void mStars(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor gold = pp.colour(0, QColor(225, 185, 80));
    const int n = pp.count > 0 ? pp.count : 1;
    QRandomGenerator rng(pp.seed);
    for (int i = 0; i < n; ++i) {
        const double r = n == 1 ? unitOf(b) * 0.45 : unitOf(b) * rnd(rng, 0.04, 0.1);
        const QPointF c = n == 1 ? b.center()
                                 : QPointF(rnd(rng, b.left() + r, b.right() - r),
                                           rnd(rng, b.top() + r, b.bottom() - r));
        if (n == 1) softSpot(p, c, r * 1.6, pp.colour(1, gold.lighter(130)), 110);
        QRadialGradient g(c, r);
        g.setColorAt(0, gold.lighter(140));
        g.setColorAt(1, gold.darker(110));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPolygon(starPolygon(c, r, r * 0.42, 5, rnd(rng, -0.2, 0.2)));
    }
}

void mFireworks(QPainter& p, const QRectF& b, const PaintParams& pp) {
    QRandomGenerator rng(pp.seed);
    const QList<QColor> colours = pp.colours.isEmpty()
                                      ? QList<QColor>{QColor(250, 200, 90), QColor(240, 110, 140)}
                                      : pp.colours;
    const int n = pp.count > 0 ? pp.count : 4;
    for (int i = 0; i < n; ++i) {
        const double r = unitOf(b) * rnd(rng, 0.15, 0.3);
        const QPointF c(rnd(rng, b.left() + r, b.right() - r),
                        rnd(rng, b.top() + r, b.bottom() - r));
        const QColor col = colours[i % colours.size()];
        softSpot(p, c, r * 0.5, col, 60);
        const int rays = 28;
        for (int k = 0; k < rays; ++k) {
            const double a = k * 2 * kPi / rays + rnd(rng, -0.05, 0.05);
            const double len = r * rnd(rng, 0.75, 1.0);
            const QPointF dir(std::cos(a), std::sin(a));
            QLinearGradient g(c + dir * len * 0.2, c + dir * len);
            g.setColorAt(0, alpha(col, 0));
            g.setColorAt(1, col);
            p.setPen(QPen(QBrush(g), r * 0.025, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + dir * len * 0.2, c + dir * len);
            p.setPen(Qt::NoPen);
            p.setBrush(col.lighter(130));
            p.drawEllipse(c + dir * (len + r * 0.06), r * 0.022, r * 0.022);
        }
    }
}

void mPram(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    p.save();
    p.translate(b.center());
    p.scale(s / 100, s / 100);
    const QColor body = pp.colour(0, QColor(160, 200, 230)), hood = pp.colour(1, body.darker(115));
    const QColor wheel = pp.colour(2, QColor(90, 100, 120));
    p.setPen(QPen(wheel, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(34, -6), QPointF(44, -34));
    p.drawLine(QPointF(44, -34), QPointF(52, -34));
    for (const double x : {-22.0, 24.0}) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(wheel, 3.2));
        p.drawEllipse(QPointF(x, 34), 11, 11);
        p.setPen(QPen(wheel, 1.2));
        for (int k = 0; k < 4; ++k) {
            const double a = k * kPi / 4;
            p.drawLine(QPointF(x + 10 * std::cos(a), 34 + 10 * std::sin(a)),
                       QPointF(x - 10 * std::cos(a), 34 - 10 * std::sin(a)));
        }
    }
    QPainterPath tub(QPointF(-42, -6));
    tub.lineTo(QPointF(40, -6));
    tub.cubicTo(QPointF(40, 20), QPointF(20, 26), QPointF(0, 26));
    tub.cubicTo(QPointF(-22, 26), QPointF(-42, 20), QPointF(-42, -6));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(tub);
    QPainterPath cover(QPointF(-42, -6));
    cover.cubicTo(QPointF(-42, -36), QPointF(-14, -46), QPointF(-2, -44));
    cover.lineTo(QPointF(-2, -6));
    cover.closeSubpath();
    p.setBrush(hood);
    p.drawPath(cover);
    p.setPen(QPen(Qt::white, 1.6, Qt::DashLine));
    p.drawLine(QPointF(-40, 6), QPointF(38, 6));
    p.restore();
}

void mCross(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor colour = pp.colour(0, QColor(200, 165, 90));
    const double h = b.height() * 0.9, w = h * 0.62, t = h * 0.085;
    const QPointF c = b.center();
    softSpot(p, c - QPointF(0, h * 0.12), h * 0.6, pp.colour(1, QColor(255, 240, 200)), 160);
    QLinearGradient g(c - QPointF(w / 2, 0), c + QPointF(w / 2, 0));
    g.setColorAt(0, colour.darker(115));
    g.setColorAt(0.5, colour.lighter(125));
    g.setColorAt(1, colour.darker(115));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(c.x() - t / 2, c.y() - h / 2, t, h), t * 0.2, t * 0.2);
    p.drawRoundedRect(QRectF(c.x() - w / 2, c.y() - h * 0.22, w, t), t * 0.2, t * 0.2);
}

void tulip(QPainter& p, QPointF top, double s, const QColor& colour) {
    QPainterPath cup(top + QPointF(-s * 0.5, -s * 0.2));
    cup.cubicTo(top + QPointF(-s * 0.55, s * 0.5), top + QPointF(s * 0.55, s * 0.5),
                top + QPointF(s * 0.5, -s * 0.2));
    cup.lineTo(top + QPointF(s * 0.25, 0));
    cup.lineTo(top + QPointF(0, -s * 0.35));
    cup.lineTo(top + QPointF(-s * 0.25, 0));
    cup.closeSubpath();
    QLinearGradient g(top + QPointF(-s * 0.5, 0), top + QPointF(s * 0.5, 0));
    g.setColorAt(0, colour.darker(115));
    g.setColorAt(0.45, colour.lighter(115));
    g.setColorAt(1, colour.darker(110));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(cup);
}

void mTulips(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const int n = std::clamp(pp.count > 0 ? pp.count : 5, 1, 9);
    const QColor a = pp.colour(0, QColor(230, 110, 130)), c = pp.colour(1, QColor(250, 190, 90));
    const QColor green = pp.colour(2, QColor(100, 150, 90));
    const QPointF foot = at(b, 0.5, 1.0);
    const double s = unitOf(b) * 0.2;
    for (int i = 0; i < n; ++i) {
        const double fx = n == 1 ? 0.5 : 0.15 + 0.7 * i / (n - 1);
        const QPointF head = at(b, fx, 0.15 + 0.18 * std::abs(fx - 0.5) + (i % 2) * 0.08);
        QPainterPath stem(foot);
        stem.quadTo(QPointF(head.x(), foot.y() - b.height() * 0.3), head + QPointF(0, s * 0.3));
        p.setPen(QPen(green, s * 0.08, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stem);
        if (i % 2 == 0)
            leaf(p, stem.pointAtPercent(0.3),
                 stem.pointAtPercent(0.3) + QPointF(fx < 0.5 ? -s : s, -s * 1.4), s * 0.45, green);
        tulip(p, head, s, i % 2 ? c : a);
    }
}

void daisy(QPainter& p, QPointF c, double r, const QColor& petal, const QColor& centre) {
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 12; ++k) {
        p.save();
        p.translate(c);
        p.rotate(k * 30);
        p.setBrush(k % 2 ? petal : petal.darker(105));
        p.drawEllipse(QPointF(r * 0.55, 0), r * 0.48, r * 0.16);
        p.restore();
    }
    QRadialGradient g(c - QPointF(r * 0.08, r * 0.08), r * 0.3);
    g.setColorAt(0, centre.lighter(125));
    g.setColorAt(1, centre.darker(120));
    p.setBrush(g);
    p.drawEllipse(c, r * 0.26, r * 0.26);
}

void mFlowers(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const int n = std::clamp(pp.count > 0 ? pp.count : 5, 1, 12);
    const QColor petal = pp.colour(0, Qt::white), centre = pp.colour(1, QColor(240, 190, 60));
    const QColor green = pp.colour(2, QColor(110, 150, 90));
    QRandomGenerator rng(pp.seed);
    const double r = unitOf(b) * 0.13;
    const QPointF foot = at(b, 0.5, 1.0);
    struct Head {
        QPointF c;
        double r;
    };
    QList<Head> heads;
    for (int i = 0; i < n; ++i) {
        const double fx = n == 1 ? 0.5 : 0.14 + 0.72 * i / (n - 1);
        heads.append(
            {at(b, fx + rnd(rng, -0.03, 0.03), rnd(rng, 0.15, 0.45)), r * rnd(rng, 0.75, 1.1)});
        QPainterPath stem(foot);
        stem.quadTo(QPointF(heads.last().c.x(), b.bottom() - b.height() * 0.25), heads.last().c);
        p.setPen(QPen(green, r * 0.1, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stem);
        if (i % 2)
            leaf(p, stem.pointAtPercent(0.45),
                 stem.pointAtPercent(0.45) + QPointF(rnd(rng, -1, 1) * r * 1.5, -r), r * 0.5,
                 green);
    }
    for (const Head& h : heads) daisy(p, h.c, h.r, petal, centre);
}

void mCup(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    p.save();
    p.translate(b.center());
    p.scale(s / 100, s / 100);
    const QColor cup = pp.colour(0, QColor(245, 245, 240)),
                 steam = pp.colour(1, QColor(200, 200, 200));
    const QColor deco = pp.colour(2, QColor(220, 110, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(cup.darker(110));
    p.drawEllipse(QPointF(0, 38), 44, 8);
    p.setPen(QPen(cup.darker(125), 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(32, 8), 12, 11);
    QPainterPath body(QPointF(-34, -12));
    body.lineTo(QPointF(34, -12));
    body.cubicTo(QPointF(34, 22), QPointF(20, 34), QPointF(0, 34));
    body.cubicTo(QPointF(-20, 34), QPointF(-34, 22), QPointF(-34, -12));
    QLinearGradient g(QPointF(-34, 0), QPointF(34, 0));
    g.setColorAt(0, cup.darker(112));
    g.setColorAt(0.4, cup);
    g.setColorAt(1, cup.darker(118));
    p.setPen(QPen(cup.darker(130), 0.8));
    p.setBrush(g);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 110, 60));
    p.drawEllipse(QPointF(0, -12), 34, 5);
    p.setBrush(deco);
    p.drawPath(heartPath(QRectF(-8, 4, 16, 15)));
    p.setPen(QPen(steam, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (const double x : {-12.0, 0.0, 12.0}) {
        QPainterPath w(QPointF(x, -20));
        w.cubicTo(QPointF(x - 8, -30), QPointF(x + 8, -38), QPointF(x, -48));
        p.drawPath(w);
    }
    p.restore();
}

void mTie(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    p.save();
    p.translate(b.center());
    p.scale(s / 100, s / 100);
    const QColor tie = pp.colour(0, QColor(40, 70, 120)),
                 stripe = pp.colour(1, QColor(200, 170, 90));
    QPolygonF knot;
    knot << QPointF(-9, -46) << QPointF(9, -46) << QPointF(6, -32) << QPointF(-6, -32);
    QPainterPath blade(QPointF(-6, -32));
    blade.lineTo(QPointF(6, -32));
    blade.lineTo(QPointF(16, 34));
    blade.lineTo(QPointF(0, 48));
    blade.lineTo(QPointF(-16, 34));
    blade.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(tie);
    p.drawPath(blade);
    p.save();
    p.setClipPath(blade);
    p.setPen(QPen(stripe, 3.2));
    for (int k = -6; k < 8; ++k) p.drawLine(QPointF(-30, k * 10), QPointF(30, k * 10 - 22));
    p.restore();
    p.setBrush(tie.darker(120));
    p.drawPolygon(knot);
    p.restore();
}

void mPlane(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor paper = pp.colour(0, Qt::white), fold = pp.colour(1, QColor(180, 190, 205));
    const QColor trail = pp.colour(2, QColor(120, 140, 170));
    const double s = unitOf(b);
    QPainterPath path(at(b, 0.02, 0.9));
    path.cubicTo(at(b, 0.3, 0.95), at(b, 0.45, 0.45), at(b, 0.2, 0.5));
    path.cubicTo(at(b, 0.0, 0.55), at(b, 0.3, 0.25), at(b, 0.62, 0.32));
    p.setPen(QPen(trail, s * 0.012, Qt::DashLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.save();
    p.translate(at(b, 0.75, 0.25));
    p.rotate(-18);
    p.scale(s / 100, s / 100);
    QPolygonF top, under;
    top << QPointF(-28, 2) << QPointF(30, -10) << QPointF(-6, 10);
    under << QPointF(-6, 10) << QPointF(30, -10) << QPointF(-2, 20);
    p.setPen(QPen(fold.darker(120), 0.8));
    p.setBrush(paper);
    p.drawPolygon(top);
    p.setBrush(fold);
    p.drawPolygon(under);
    p.restore();
}

void mSun(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor sun = pp.colour(0, QColor(250, 200, 80));
    const double r = unitOf(b) * 0.22;
    const QPointF c = b.center();
    softSpot(p, c, r * 2.2, sun.lighter(120), 120);
    p.setPen(QPen(sun, r * 0.08, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 16; ++k) {
        const double a = k * kPi / 8;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(c + dir * r * 1.25, c + dir * r * (k % 2 ? 1.6 : 1.85));
    }
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.2);
    g.setColorAt(0, sun.lighter(130));
    g.setColorAt(1, pp.colour(1, sun.darker(115)));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void mMoon(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor moon = pp.colour(0, QColor(250, 225, 140)), star = pp.colour(1, moon);
    const double r = unitOf(b) * 0.3;
    const QPointF c = at(b, 0.45, 0.45);
    QPainterPath full;
    full.addEllipse(c, r, r);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(r * 0.45, -r * 0.25), r * 0.85, r * 0.85);
    softSpot(p, c, r * 1.6, moon, 70);
    p.setPen(Qt::NoPen);
    p.setBrush(moon);
    p.drawPath(full.subtracted(bite));
    QRandomGenerator rng(pp.seed);
    for (int i = 0; i < (pp.count > 0 ? pp.count : 6); ++i) {
        const QPointF s(rnd(rng, b.left(), b.right()), rnd(rng, b.top(), b.bottom()));
        if (std::hypot(s.x() - c.x(), s.y() - c.y()) < r * 1.3) continue;
        const double sr = unitOf(b) * rnd(rng, 0.025, 0.05);
        p.setBrush(star);
        p.drawPolygon(starPolygon(s, sr, sr * 0.45, 5));
    }
    const QColor cloud = pp.colour(2, QColor());
    if (cloud.isValid()) {
        p.setBrush(cloud);
        const QPointF cc = at(b, 0.62, 0.78);
        for (const auto& [dx, dy, rr] : {std::tuple{-0.18, 0.0, 0.1}, std::tuple{0.0, -0.04, 0.13},
                                         std::tuple{0.17, 0.0, 0.1}})
            p.drawEllipse(cc + QPointF(dx, dy) * unitOf(b), rr * unitOf(b), rr * unitOf(b));
        p.drawRect(QRectF(cc.x() - 0.18 * unitOf(b), cc.y(), 0.35 * unitOf(b), 0.1 * unitOf(b)));
    }
}

void mGlasses(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    const QColor glass = pp.colour(0, QColor(200, 170, 100)),
                 drink = pp.colour(1, QColor(245, 215, 130));
    for (int side = -1; side <= 1; side += 2) {
        p.save();
        p.translate(b.center() + QPointF(side * s * 0.15, s * 0.1));
        p.rotate(-side * 14);
        p.scale(s / 100, s / 100);
        QPainterPath bowl(QPointF(-11, -44));
        bowl.lineTo(QPointF(11, -44));
        bowl.cubicTo(QPointF(11, -14), QPointF(6, -4), QPointF(0, -2));
        bowl.cubicTo(QPointF(-6, -4), QPointF(-11, -14), QPointF(-11, -44));
        p.setPen(Qt::NoPen);
        p.setBrush(drink);
        p.save();
        p.setClipRect(QRectF(-20, -34, 40, 40));
        p.drawPath(bowl);
        p.restore();
        p.setBrush(Qt::white);
        for (int k = 0; k < 4; ++k) p.drawEllipse(QPointF(-3 + (k % 2) * 5, -10 - k * 5), 1.1, 1.1);
        p.setPen(QPen(glass, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(bowl);
        p.drawLine(QPointF(0, -2), QPointF(0, 30));
        p.drawLine(QPointF(-12, 31), QPointF(12, 31));
        p.restore();
    }
    const QPointF clink = b.center() + QPointF(0, -s * 0.38);
    p.setPen(QPen(glass, s * 0.012, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 5; ++k) {
        const double a = -kPi / 2 + (k - 2) * 0.45;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(clink + dir * s * 0.05, clink + dir * s * 0.11);
    }
}

void mGift(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const double s = unitOf(b);
    const QColor box = pp.colour(0, QColor(80, 140, 200)),
                 ribbon = pp.colour(1, QColor(240, 200, 80));
    const QRectF body(b.center().x() - s * 0.38, b.center().y() - s * 0.1, s * 0.76, s * 0.48);
    const QRectF lid(body.left() - s * 0.04, body.top() - s * 0.13, body.width() + s * 0.08,
                     s * 0.13);
    p.setPen(Qt::NoPen);
    p.setBrush(box);
    p.drawRect(body);
    p.setBrush(box.lighter(112));
    p.drawRect(lid);
    p.setBrush(ribbon);
    p.drawRect(QRectF(b.center().x() - s * 0.05, lid.top(), s * 0.1, body.bottom() - lid.top()));
    p.drawRect(QRectF(body.left(), body.center().y() - s * 0.04, body.width(), s * 0.08));
    const QPointF knot(b.center().x(), lid.top());
    for (int side = -1; side <= 1; side += 2) {
        QPainterPath loop(knot);
        loop.cubicTo(knot + QPointF(side * s * 0.28, -s * 0.25),
                     knot + QPointF(side * s * 0.3, s * 0.02), knot);
        p.setBrush(ribbon.darker(108));
        p.drawPath(loop);
    }
    p.setBrush(ribbon.darker(118));
    p.drawEllipse(knot, s * 0.04, s * 0.035);
}

void mClover(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor green = pp.colour(0, QColor(70, 140, 80));
    const double s = unitOf(b) * 0.42;
    const QPointF c = b.center() - QPointF(0, s * 0.2);
    p.setPen(QPen(green.darker(120), s * 0.06, Qt::SolidLine, Qt::RoundCap));
    QPainterPath stem(c);
    stem.quadTo(c + QPointF(s * 0.1, s * 0.8), c + QPointF(s * 0.45, s * 1.15));
    p.setBrush(Qt::NoBrush);
    p.drawPath(stem);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 4; ++k) {
        p.save();
        p.translate(c);
        p.rotate(45 + k * 90);
        QLinearGradient g(QPointF(0, 0), QPointF(0, -s));
        g.setColorAt(0, green.darker(115));
        g.setColorAt(1, green.lighter(120));
        p.setBrush(g);
        p.drawPath(heartPath(QRectF(-s * 0.5, -s * 1.0, s, s)).translated(0, 0));
        p.restore();
    }
}

void mFrame(QPainter& p, const QRectF& b, const PaintParams& pp) {
    const QColor c = pp.colour(0, QColor(180, 150, 100));
    const double u = unitOf(b);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, std::max(1.0, u * 0.006)));
    p.drawRect(b);
    const double gap = u * 0.025;
    p.setPen(QPen(c, std::max(0.8, u * 0.003)));
    p.drawRect(b.adjusted(gap, gap, -gap, -gap));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (const QPointF& corner : {b.topLeft(), b.topRight(), b.bottomLeft(), b.bottomRight()})
        p.drawPolygon(starPolygon(corner, u * 0.025, u * 0.008, 4));
}

const std::map<QString, Painter>& motifs() {
    static const std::map<QString, Painter> table = {
        {QStringLiteral("roses"), mRoses},     {QStringLiteral("branch"), mBranch},
        {QStringLiteral("wreath"), mWreath},   {QStringLiteral("balloons"), mBalloons},
        {QStringLiteral("candles"), mCandles}, {QStringLiteral("heart"), mHeart},
        {QStringLiteral("hearts"), mHearts},   {QStringLiteral("fir"), mFir},
        {QStringLiteral("eggs"), mEggs},       {QStringLiteral("rings"), mRings},
        {QStringLiteral("dove"), mDove},       {QStringLiteral("cake"), mCake},
        {QStringLiteral("stars"), mStars},     {QStringLiteral("fireworks"), mFireworks},
        {QStringLiteral("pram"), mPram},       {QStringLiteral("cross"), mCross},
        {QStringLiteral("tulips"), mTulips},   {QStringLiteral("flowers"), mFlowers},
        {QStringLiteral("cup"), mCup},         {QStringLiteral("tie"), mTie},
        {QStringLiteral("plane"), mPlane},     {QStringLiteral("sun"), mSun},
        {QStringLiteral("moon"), mMoon},       {QStringLiteral("glasses"), mGlasses},
        {QStringLiteral("gift"), mGift},       {QStringLiteral("clover"), mClover},
        {QStringLiteral("frame"), mFrame},
    };
    return table;
}

}  // namespace

bool paintBackground(QPainter& p, const QRectF& area, const QString& name,
                     const PaintParams& params) {
    const auto it = backgrounds().find(name);
    if (it == backgrounds().end()) return false;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    it->second(p, area, params);
    p.restore();
    return true;
}

bool paintMotif(QPainter& p, const QRectF& box, const QString& name, const PaintParams& params) {
    const auto it = motifs().find(name);
    if (it == motifs().end()) return false;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    it->second(p, box, params);
    p.restore();
    return true;
}

QStringList motifPainterNames() {
    QStringList out;
    for (const auto& [name, painter] : motifs()) out << name;
    return out;
}

QStringList backgroundPainterNames() {
    QStringList out;
    for (const auto& [name, painter] : backgrounds()) out << name;
    return out;
}

}  // namespace bb
