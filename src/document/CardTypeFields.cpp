#include "document/CardTypeFields.h"

#include "document/Trunc.h"

namespace bb {

CardTypeFields cardTypeFieldsFrom(const CardFormat& f) {
    CardTypeFields v;
    v.name = f.TypeName;
    v.left = f.LeftMargin;
    v.top = f.TopMargin;
    v.width = f.CardWidth;
    v.height = f.CardHeight;
    v.hgap = f.PitchX - f.CardWidth;
    v.vgap = f.PitchY - f.CardHeight;
    v.across = f.CardsAcross;
    v.down = f.CardsDown;
    return v;
}

CardFormat cardFormatFrom(const CardTypeFields& v) {
    CardFormat f;
    f.PitchX = v.width + v.hgap;
    f.PitchY = v.height + v.vgap;
    f.CardWidth = v.width;
    f.CardHeight = v.height;
    f.LeftMargin = v.left;
    f.TopMargin = v.top;
    f.CardsAcross = truncInt32(v.across);
    f.CardsDown = truncInt32(v.down);
    f.TypeName = v.name.left(kTypeNameMax);
    return f;
}

}  // namespace bb
