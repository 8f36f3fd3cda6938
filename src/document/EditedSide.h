// Which side of the card the editor shows and which object on it is selected. The editor owns
// this; the undo history moves it when a step brings the user back to what it changed.
#pragma once

#include "document/CardDocument.h"

#include <cstdint>

namespace bb {

struct EditedSide {
    int32_t side = SideOutside;
    int32_t slot = 0;  // selected slot of that side's table, 0 for none

    SlotTable& table(CardDocument& doc) const { return doc.sideSlots(side); }
    const SlotTable& table(const CardDocument& doc) const { return doc.sideSlots(side); }
    Background& background(CardDocument& doc) const { return doc.sideBackground(side); }
    const Background& background(const CardDocument& doc) const { return doc.sideBackground(side); }
};

}  // namespace bb
