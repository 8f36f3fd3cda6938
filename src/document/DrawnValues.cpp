#include "document/DrawnValues.h"

namespace bb {

void settleBackground(Background& bg) {
    if (bg.backgroundPicture.isNull() && bg.backgroundMode != BgColor) bg.backgroundMode = BgNone;
}

void settleObject(CardObject& o) {
    if (o.kind != KindPicture || !o.transparent || !o.autoTransparent || o.picture.isNull()) return;
    o.transparentColor = int32_t(getPixel(o.picture, 0, o.picture.height() - 1));
}

void settleSide(SlotTable& table, Background& bg) {
    settleBackground(bg);
    for (int slot = 1; slot <= kSlotCount; ++slot) settleObject(*table[slot]);
}

void settleCard(CardDocument& doc) {
    for (int side : {SideOutside, SideInside})
        settleSide(doc.sideSlots(side), doc.sideBackground(side));
}

}  // namespace bb
