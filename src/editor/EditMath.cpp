#include "editor/EditMath.h"

#include "document/Trunc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace bb {

PixelBox pixelBox(const CardDocument& doc, const CardObject& o) {
    return {doc.screenPixels(o.x), doc.screenPixels(o.y), doc.screenPixels(o.width),
            doc.screenPixels(o.height)};
}

HandlePoint handlePoint(const PixelBox& b, int mode) {
    switch (mode) {
        case DragTopLeft:
            return {b.left, b.top};
        case DragTopRight:
            return {b.left + b.width, b.top};
        case DragBottomLeft:
            return {b.left, b.top + b.height};
        case DragBottomRight:
            return {b.left + b.width, b.top + b.height};
        case DragTop:
            return {b.left + b.width / 2, b.top};
        case DragBottom:
            return {b.left + b.width / 2, b.top + b.height};
        case DragLeft:
            return {b.left, b.top + b.height / 2};
        case DragRight:
            return {b.left + b.width, b.top + b.height / 2};
        default:
            return {b.left, b.top};
    }
}

DragGrab classifyHandle(const PixelBox& b, int x, int y) {
    for (int mode = DragTopLeft; mode <= DragRight; ++mode) {
        const HandlePoint p = handlePoint(b, mode);
        if (std::abs(x - p.x) > 3 || std::abs(y - p.y) > 3) continue;
        DragGrab g{mode, 0, 0};
        // Offsets from the grabbed edge(s); zero on an axis the mode does not move.
        const bool movesX = mode != DragTop && mode != DragBottom;
        const bool movesY = mode != DragLeft && mode != DragRight;
        if (movesX) g.grabX = x - p.x;
        if (movesY) g.grabY = y - p.y;
        return g;
    }
    if (b.contains(x, y)) return {DragMove, x - b.left, y - b.top};
    return {};
}

int cursorForDragMode(int mode) {
    return mode >= 1 && mode <= 9 ? mode : CursorArrow;
}

namespace {
int32_t toUnits(const CardDocument& doc, int px) {
    return int32_t(std::trunc(static_cast<long double>(px) / doc.zoomFactor * doc.unitsPerPixel));
}
}  // namespace

CardGeometry cardGeometry(const CardDocument& doc) {
    const int64_t w = doc.sideWidthUnits, h = doc.sideHeightUnits;
    return {clampInt32(w / 3), clampInt32(h / 3), clampInt32(w * 2 / 3), clampInt32(h * 2 / 3),
            clampInt32(w / 2)};
}

int64_t workAreaLimit(const CardDocument& doc, int viewPixels) {
    return int64_t(
        std::trunc(static_cast<long double>(viewPixels) / doc.zoomFactor * doc.unitsPerPixel - 1));
}

int32_t dragObject(const CardDocument& doc, CardObject& o, const DragGrab& grab, int x, int y,
                   const DragLimits& limits) {
    const int32_t f = toUnits(doc, x - grab.grabX);
    const int32_t g = toUnits(doc, y - grab.grabY);
    // Arithmetic in 64 bits: a drag far outside the area must not overflow.
    int64_t X = o.x, Y = o.y, W = o.width, H = o.height;
    const int64_t x0 = X, y0 = Y, w0 = W, h0 = H;
    int32_t mode = grab.mode;
    switch (mode) {
        case DragTopLeft:
            W = w0 + x0 - f;
            H = h0 + y0 - g;
            X = f;
            Y = g;
            break;
        case DragTopRight:
            W = f - x0;
            H = h0 + y0 - g;
            Y = g;
            break;
        case DragBottomLeft:
            W = w0 + x0 - f;
            H = g - y0;
            X = f;
            break;
        case DragBottomRight:
            W = f - x0;
            H = g - y0;
            break;
        case DragTop:
            H = h0 + y0 - g;
            Y = g;
            break;
        case DragBottom:
            H = g - y0;
            break;
        case DragLeft:
            W = w0 + x0 - f;
            X = f;
            break;
        case DragRight:
            W = f - x0;
            break;
        case DragMove:
            X = f;
            Y = g;
            break;
        default:
            break;
    }
    if (W < 0) {
        W = -W;
        X -= W;
        static constexpr int32_t mirrorX[] = {0, 2, 1, 4, 3, 5, 6, 8, 7, 9};
        mode = mirrorX[mode];
    }
    if (H < 0) {
        H = -H;
        Y -= H;
        static constexpr int32_t mirrorY[] = {0, 3, 4, 1, 2, 6, 5, 7, 8, 9};
        mode = mirrorY[mode];
    }
    if (X + W < 0) X = -W;
    if (Y + H < 0) Y = -H;
    const int64_t maxX = workAreaLimit(doc, limits.viewWidth);
    const int64_t maxY = workAreaLimit(doc, limits.viewHeight);
    if (X > maxX) X = maxX;
    if (Y > maxY) Y = maxY;
    o.x = clampInt32(X);
    o.y = clampInt32(Y);
    o.width = clampInt32(W);
    o.height = clampInt32(H);
    return mode;
}

int hitTest(const CardDocument& doc, int side, int x, int y) {
    for (int slot = kSlotCount; slot >= 1; --slot) {
        const CardObject& o = *doc.sideSlots(side)[slot];
        if (o.kind > 0 && !o.extras.locked &&
            turnedContains(pixelBox(doc, o), o.extras.fineAngle, x, y))
            return slot;
    }
    return 0;
}

int nextUsedSlot(const CardDocument& doc, int side, int slot) {
    if (slot < 1 || slot > kSlotCount) return 0;
    int s = slot;
    for (int i = 0; i < kSlotCount; ++i) {
        s = s == kSlotCount ? 1 : s + 1;
        if (s == slot) break;
        if (doc.sideSlots(side)[s]->kind > 0) return s;
    }
    return slot;
}

double zoomInStep(double upp) {
    return upp > 50 ? upp / 1.5 : upp;
}
double zoomOutStep(double upp) {
    return upp < 1000 ? upp * 1.5 : upp;
}

ScrollPos zoomScrollTarget(int32_t ux, int32_t uy, double zoomFactor, double upp, int boxWidth,
                           int boxHeight, int rangeX, int rangeY) {
    auto px = [&](int32_t u) {
        return int(std::trunc(static_cast<long double>(u) * zoomFactor / upp));
    };
    const int sx = px(ux) - boxWidth / 2;
    const int sy = px(uy) - boxHeight / 2;
    return {std::clamp(sx, 0, std::max(0, rangeX - 1)), std::clamp(sy, 0, std::max(0, rangeY - 1))};
}

ScrollPos panTarget(ScrollPos current, int startX, int startY, int x, int y, int rangeX,
                    int rangeY) {
    const int h = current.x + startX - x;
    const int v = current.y + startY - y;
    return {std::clamp(h, 0, std::max(0, rangeX - 1)), std::clamp(v, 0, std::max(0, rangeY - 1))};
}

}  // namespace bb

namespace bb {

namespace {

QPointF boxCentre(const PixelBox& b) {
    return {b.left + b.width / 2.0, b.top + b.height / 2.0};
}

QPointF turnAbout(QPointF centre, double degrees, QPointF p) {
    const double a = degrees * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const QPointF d = p - centre;
    // Clockwise on the screen, whose y axis points down.
    return centre + QPointF(d.x() * c - d.y() * s, d.x() * s + d.y() * c);
}

}  // namespace

// A damaged card's angle that is no number counts as upright, as the renderer draws it.
QPointF unturnPoint(const PixelBox& box, double angle, QPointF p) {
    return angle == 0 || !std::isfinite(angle) ? p : turnAbout(boxCentre(box), -angle, p);
}

QPointF turnPoint(const PixelBox& box, double angle, QPointF p) {
    return angle == 0 || !std::isfinite(angle) ? p : turnAbout(boxCentre(box), angle, p);
}

QPolygonF turnedOutline(const PixelBox& b, double angle) {
    QPolygonF poly;
    for (const QPointF corner :
         {QPointF(b.left, b.top), QPointF(b.left + b.width, b.top),
          QPointF(b.left + b.width, b.top + b.height), QPointF(b.left, b.top + b.height)})
        poly << turnPoint(b, angle, corner);
    return poly;
}

QRect turnedBounds(const PixelBox& b, double angle) {
    if (angle == 0 || !std::isfinite(angle)) return QRect(b.left, b.top, b.width + 1, b.height + 1);
    const QRectF r = turnedOutline(b, angle).boundingRect();
    return QRect(QPoint(int(std::floor(r.left())), int(std::floor(r.top()))),
                 QPoint(int(std::ceil(r.right())), int(std::ceil(r.bottom()))));
}

bool turnedContains(const PixelBox& b, double angle, int x, int y) {
    if (angle == 0 || !std::isfinite(angle)) return b.contains(x, y);
    const QPointF p = unturnPoint(b, angle, QPointF(x, y));
    constexpr double kSlack = 1e-9;
    return p.x() >= b.left - kSlack && p.x() <= b.left + b.width + kSlack &&
           p.y() >= b.top - kSlack && p.y() <= b.top + b.height + kSlack;
}

DragGrab classifyTurnedHandle(const PixelBox& b, double angle, int x, int y) {
    if (angle == 0 || !std::isfinite(angle)) return classifyHandle(b, x, y);
    const QPointF p = unturnPoint(b, angle, QPointF(x, y));
    DragGrab g = classifyHandle(b, int(std::lround(p.x())), int(std::lround(p.y())));
    // The body is dragged by the view position; the handles in the box's frame.
    if (g.mode == DragMove) {
        g.grabX = x - b.left;
        g.grabY = y - b.top;
    }
    return g;
}

int oppositeHandle(int mode) {
    static constexpr int opposite[] = {0, 4, 3, 2, 1, 6, 5, 8, 7, 9};
    return mode >= 0 && mode <= 9 ? opposite[mode] : DragNone;
}

int32_t dragTurnedObject(const CardDocument& doc, CardObject& o, const DragGrab& grab, int x, int y,
                         const DragLimits& limits, double angle) {
    if (angle == 0 || !std::isfinite(angle) || grab.mode < DragTopLeft || grab.mode > DragRight)
        return dragObject(doc, o, grab, x, y, limits);
    const PixelBox before = pixelBox(doc, o);
    const HandlePoint a0 = handlePoint(before, oppositeHandle(grab.mode));
    const QPointF anchor = turnPoint(before, angle, QPointF(a0.x, a0.y));
    const QPointF local = unturnPoint(before, angle, QPointF(x, y));
    const int32_t mode =
        dragObject(doc, o, grab, int(std::lround(local.x())), int(std::lround(local.y())), limits);
    // Sizing keeps the opposite handle in the box's frame, but the box turns about its new
    // centre: moved back so that the opposite handle stays where it was on the screen.
    const PixelBox after = pixelBox(doc, o);
    const HandlePoint a1 = handlePoint(after, oppositeHandle(mode));
    const QPointF shift = anchor - turnPoint(after, angle, QPointF(a1.x, a1.y));
    const double unitsPerPx = doc.unitsPerPixel / doc.zoomFactor;
    o.x = clampInt32(int64_t(o.x) + std::llround(shift.x() * unitsPerPx));
    o.y = clampInt32(int64_t(o.y) + std::llround(shift.y() * unitsPerPx));
    return mode;
}

QPointF turnHandlePoint(const PixelBox& b, double angle) {
    return turnPoint(b, angle, QPointF(b.left + b.width / 2.0, b.top - kTurnHandleGap));
}

bool onTurnHandle(const PixelBox& b, double angle, int x, int y) {
    const QPointF h = turnHandlePoint(b, angle);
    return std::hypot(x - h.x(), y - h.y()) <= kTurnHandleRadius + 1;
}

double handleAngle(const PixelBox& b, double x, double y, bool snap, double start) {
    const QPointF c = boxCentre(b);
    const double dx = x - c.x(), dy = y - c.y();
    if (dx == 0 && dy == 0) return start;
    // Straight up is 0; clockwise on a screen whose y axis points down.
    double a = std::atan2(dx, -dy) * 180.0 / M_PI;
    if (snap) a = 15.0 * std::round(a / 15.0);
    a = std::fmod(a, 360.0);
    if (a < 0) a += 360.0;
    if (a >= 360.0 - 1e-9) a = 0;
    return a;
}

}  // namespace bb

namespace bb {

double objectAngle(const CardObject& o) {
    return totalAngle(o.rotation, o.extras.fineAngle);
}

int quarterTurnsTo(const CardObject& o, double degrees) {
    const int d = (((splitAngle(degrees).quarterTurns - o.rotation) % 4) + 4) % 4;
    return d == 3 ? -1 : d;
}

void setObjectAngle(CardObject& o, double degrees) {
    const SplitAngle split = splitAngle(degrees);
    if (quarterTurnsTo(o, degrees) % 2 != 0) {
        const int64_t w = o.width, h = o.height;
        o.x = clampInt32(int64_t(o.x) + (w - h) / 2);
        o.y = clampInt32(int64_t(o.y) + (h - w) / 2);
        o.width = clampInt32(h);
        o.height = clampInt32(w);
        if (o.kind == KindFigure) {
            switch (o.figureKind) {
                case FigLineHorizontal:
                    o.figureKind = FigLineVertical;
                    break;
                case FigLineVertical:
                    o.figureKind = FigLineHorizontal;
                    break;
                case FigLineUp:
                    o.figureKind = FigLineDown;
                    break;
                case FigLineDown:
                    o.figureKind = FigLineUp;
                    break;
                default:
                    break;
            }
        }
    }
    o.rotation = split.quarterTurns;
    o.extras.fineAngle = split.fineAngle;
}

}  // namespace bb

namespace bb {

namespace {

QRectF wholeIfEmpty(const QRectF& crop) {
    return crop.isEmpty() ? QRectF(0, 0, 1, 1) : crop;
}

// Shifts `r` (no larger than the picture) back inside 0..1.
QRectF keptInside(QRectF r) {
    r.setWidth(std::min(r.width(), 1.0));
    r.setHeight(std::min(r.height(), 1.0));
    r.moveLeft(std::clamp(r.left(), 0.0, 1.0 - r.width()));
    r.moveTop(std::clamp(r.top(), 0.0, 1.0 - r.height()));
    return r;
}

}  // namespace

QRectF cropDragged(const QRectF& crop, double dx, double dy, double boxW, double boxH) {
    QRectF r = wholeIfEmpty(crop);
    if (boxW <= 0 || boxH <= 0) return crop;
    r.translate(-dx / boxW * r.width(), -dy / boxH * r.height());
    return keptInside(r);
}

QRectF cropZoomed(const QRectF& crop, double factor, QPointF at) {
    const QRectF r = wholeIfEmpty(crop);
    if (!(factor > 0) || !std::isfinite(factor)) return crop;
    constexpr double kSmallest = 0.01;
    // One factor for both sides, so that the shown part keeps its shape.
    double f = factor;
    f = std::min(f, std::min(r.width(), r.height()) / kSmallest);
    f = std::max(f, std::max(r.width(), r.height()));
    const double w = r.width() / f, h = r.height() / f;
    const QPointF fixed(r.left() + at.x() * r.width(), r.top() + at.y() * r.height());
    return keptInside(QRectF(fixed.x() - at.x() * w, fixed.y() - at.y() * h, w, h));
}

QRectF cropAfterQuarterTurn(const QRectF& crop, bool left) {
    if (crop.isEmpty()) return crop;
    // Turned right, the point (u, v) of the picture lies at (1 − v, u); turned left at
    // (v, 1 − u). Width and height exchange.
    if (left) return {crop.top(), 1.0 - crop.right(), crop.height(), crop.width()};
    return {1.0 - crop.bottom(), crop.left(), crop.height(), crop.width()};
}

QRectF storedCrop(const QRectF& crop) {
    constexpr double kNear = 1e-9;
    if (crop.isEmpty() || (crop.left() <= kNear && crop.top() <= kNear &&
                           crop.width() >= 1 - kNear && crop.height() >= 1 - kNear))
        return QRectF();
    return crop;
}

}  // namespace bb
