#include "document/CardTypeFields.h"

#include "document/Trunc.h"

namespace bb {

CardTypeFields cardTypeFieldsFrom(const CardFormat& f) {
    CardTypeFields v;
    v.name = f.typeName;
    v.left = f.leftMargin;
    v.top = f.topMargin;
    v.width = f.cardWidth;
    v.height = f.cardHeight;
    v.hgap = f.pitchX - f.cardWidth;
    v.vgap = f.pitchY - f.cardHeight;
    v.across = f.cardsAcross;
    v.down = f.cardsDown;
    return v;
}

CardFormat cardFormatFrom(const CardTypeFields& v) {
    CardFormat f;
    f.pitchX = v.width + v.hgap;
    f.pitchY = v.height + v.vgap;
    f.cardWidth = v.width;
    f.cardHeight = v.height;
    f.leftMargin = v.left;
    f.topMargin = v.top;
    f.cardsAcross = truncInt32(v.across);
    f.cardsDown = truncInt32(v.down);
    f.typeName = v.name.left(kTypeNameMax);
    return f;
}

}  // namespace bb
