// Values that follow from what a card's pictures hold, kept in the card's fields: a
// background that needs a picture and has none is "Keins", and a picture drawn transparent
// with its colour taken from the picture holds that colour (its bottom-left pixel). They are
// settled where a card is read or edited, so drawing only reads the card.
#pragma once

#include "document/CardDocument.h"

namespace bb {

// Mode −1 when the mode needs a picture (0..3) and there is none.
void settleBackground(Background& bg);
// The transparent colour of an AutoTransparent picture drawn transparent: its bottom-left
// pixel value (a palette index for pictures with a palette).
void settleObject(CardObject& o);
// Both sides' backgrounds and every used object.
void settleSide(SlotTable& table, Background& bg);
void settleCard(CardDocument& doc);

}  // namespace bb
