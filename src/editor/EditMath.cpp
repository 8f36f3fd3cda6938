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
        if (o.kind > 0 && !o.extras.locked && pixelBox(doc, o).contains(x, y)) return slot;
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
