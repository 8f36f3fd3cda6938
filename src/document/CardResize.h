// Carrying a card's objects over to a new card size.
#pragma once

#include "document/CardDocument.h"

namespace bb {

// Moves the objects of both sides from a card of fromWidth × fromHeight mm to one of
// toWidth × toHeight mm. Object coordinates count from the work area's corner, and the card
// sits one card size in from it, so without `scale` every object moves with the card's
// top-left corner and keeps its size. With `scale`, positions and sizes follow the card's
// change of width and height; texts and pictures take the smaller of the two factors about
// the centre of their scaled box, so that they keep their aspect and stay within it, and a
// text's font size and shadow distance scale with it. Backgrounds are laid out on the card
// by their mode and need nothing. Sizes that are not positive numbers leave the objects as
// they are.
void fitContentToCard(CardDocument& doc, double fromWidth, double fromHeight, double toWidth,
                      double toHeight, bool scale);

}  // namespace bb
