// Which side of the card the editor shows and which objects on it are selected. The editor owns
// this; the undo history moves it when a step brings the user back to what it changed.
#pragma once

#include "document/CardDocument.h"

#include <cstdint>
#include <vector>

namespace bb {

struct EditedSide {
    EditedSide() = default;
    EditedSide(int32_t s, int32_t selected) : side(s), slot(selected) {}

    int32_t side = SideOutside;
    // The current object of the selection (the one the property panel shows and the commands
    // on one object act on): a slot of that side's table, 0 for none.
    int32_t slot = 0;
    // The further selected slots beside `slot`, ascending and without it; empty when `slot` is 0.
    std::vector<int32_t> also;

    // Selects `s` alone (0: nothing).
    void select(int32_t s) {
        slot = s;
        also.clear();
    }

    SlotTable& table(CardDocument& doc) const { return doc.sideSlots(side); }
    const SlotTable& table(const CardDocument& doc) const { return doc.sideSlots(side); }
    Background& background(CardDocument& doc) const { return doc.sideBackground(side); }
    const Background& background(const CardDocument& doc) const { return doc.sideBackground(side); }
};

}  // namespace bb
