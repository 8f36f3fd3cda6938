#include "document/CardResize.h"

#include "document/CardFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace bb {

namespace {

int32_t toUnits(double v) {
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::llround(std::clamp(v, lo, hi)));
}

// Document units from the work area's corner to the card's, for a card length in mm.
double cardOffset(double mm) {
    return mm * 20000.0 / kNominalMmPerInch;
}

bool usable(double mm) {
    return std::isfinite(mm) && mm > 0;
}

// Scales a length that must not vanish when it was there before (font sizes).
int32_t scaleKeepingSign(int32_t v, double factor) {
    const int32_t scaled = toUnits(v * factor);
    if (v != 0 && scaled == 0) return v > 0 ? 1 : -1;
    return scaled;
}

void scaleObject(CardObject& o, double sx, double sy) {
    if (o.kind != KindText && o.kind != KindPicture) {
        o.x = toUnits(o.x * sx);
        o.y = toUnits(o.y * sy);
        o.width = toUnits(o.width * sx);
        o.height = toUnits(o.height * sy);
        return;
    }
    const double s = std::min(sx, sy);
    const double cx = (o.x + o.width / 2.0) * sx;
    const double cy = (o.y + o.height / 2.0) * sy;
    o.width = toUnits(o.width * s);
    o.height = toUnits(o.height * s);
    o.x = toUnits(cx - o.width / 2.0);
    o.y = toUnits(cy - o.height / 2.0);
    if (o.kind == KindText) {
        o.fontSize = scaleKeepingSign(o.fontSize, s);
        o.fontHeight = scaleKeepingSign(o.fontHeight, s);
        o.shadowDx = toUnits(o.shadowDx * s);
        o.shadowDy = toUnits(o.shadowDy * s);
    }
}

}  // namespace

void fitContentToCard(CardDocument& doc, double fromWidth, double fromHeight, double toWidth,
                      double toHeight, bool scale) {
    if (!usable(fromWidth) || !usable(fromHeight) || !usable(toWidth) || !usable(toHeight)) return;
    const double sx = toWidth / fromWidth;
    const double sy = toHeight / fromHeight;
    const double dx = cardOffset(toWidth) - cardOffset(fromWidth);
    const double dy = cardOffset(toHeight) - cardOffset(fromHeight);
    // The working table shares its records with its side: the two side tables reach every
    // object once.
    for (int side : {SideOutside, SideInside}) {
        const SlotTable& table = doc.sideSlots(side);
        for (int s = 1; s <= kSlotCount; ++s) {
            CardObject& o = *table[s];
            if (!o.used()) continue;
            if (scale) {
                // The card's corner lies one card size in, so scaling about the work area's
                // corner keeps objects in place on the card.
                scaleObject(o, sx, sy);
            } else {
                o.x = toUnits(o.x + dx);
                o.y = toUnits(o.y + dy);
            }
        }
    }
}

}  // namespace bb
