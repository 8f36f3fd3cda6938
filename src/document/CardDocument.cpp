#include "document/CardDocument.h"

#include "document/Trunc.h"
#include "document/UserDialogs.h"

#include <QFileInfo>

namespace bb {

CardDocument::CardDocument() {
    records_.reserve(2 * kSlotCount);
    for (int i = 0; i < 2 * kSlotCount; ++i) records_.push_back(std::make_unique<Tobs>());
    OutsideSlots[0] = InsideSlots[0] = WorkingSlots[0] = nullptr;
    for (int s = 1; s <= kSlotCount; ++s) {
        OutsideSlots[s] = records_[s - 1].get();
        InsideSlots[s] = records_[kSlotCount + s - 1].get();
        WorkingSlots[s] = OutsideSlots[s];
    }
    updateSideUnits();
    clearall();
}

int CardDocument::toView(int32_t units, const RenderContext& ctx) const {
    if (ctx.RenderMode == RenderOutput)
        return truncInt32(static_cast<long double>(units) * ctx.OutputScale);
    return screenPixels(units);
}

int CardDocument::screenPixels(int32_t units) const {
    // Product before the division, in extended precision.
    const long double product = static_cast<long double>(units) * ZoomFactor;
    return truncInt32(product / static_cast<long double>(UnitsPerPixel));
}

int32_t CardDocument::fromView(int px) const {
    // Division before the product, in extended precision.
    const long double quotient = static_cast<long double>(px) / ZoomFactor;
    return truncInt32(quotient * static_cast<long double>(UnitsPerPixel));
}

void CardDocument::clearall() {
    for (int s = 1; s <= kSlotCount; ++s) {
        for (Tobs* o : {OutsideSlots[s], InsideSlots[s]}) {
            o->Kind = KindFree;
            deldib(o->Picture);
            o->ShadowDX = 5;
            o->ShadowDY = 5;
        }
    }
    SelectedSlot = 0;
    // Pictures are shared by reference count: dropping every holder releases each distinct
    // picture exactly once.
    for (Background* b : {&Outside, &Inside, &Working}) {
        b->BackgroundMode = BgNone;
        deldib(b->BackgroundPicture);
        b->BackgroundColor = 0xFFFFFF;
        b->BackgroundFile.clear();
    }
    FileName.clear();
}

void CardDocument::WriteBackObjects() {
    if (CurrentSide != SideOutside && CurrentSide != SideInside) return;
    SlotTable& side = CurrentSide == SideOutside ? OutsideSlots : InsideSlots;
    for (int s = 1; s <= kSlotCount; ++s) side[s] = WorkingSlots[s];
    sideBackground(CurrentSide) = Working;
}

void CardDocument::PageControl2Change(int side) {
    WriteBackObjects();
    loadWorkingSide(side);
}

void CardDocument::loadWorkingSide(int side) {
    if (side != SideOutside && side != SideInside) return;
    const SlotTable& from = sideSlots(side);
    for (int s = 1; s <= kSlotCount; ++s) WorkingSlots[s] = from[s];
    Working = sideBackground(side);
    CurrentSide = side;
}

void CardDocument::updateSideUnits() {
    SideWidthUnits = sideUnits(Format.CardWidth);
    SideHeightUnits = sideUnits(Format.CardHeight);
}

int CardDocument::findFreeSlot(UserDialogs* dialogs) const {
    for (int s = 1; s <= kSlotCount; ++s) {
        if (WorkingSlots[s]->Kind == KindFree) return s;
    }
    if (dialogs) {
        dialogs->message(QStringLiteral("Es wurden zuviele Objekte erstellt!"),
                         QStringLiteral("Fehler: Kein freies Objekt mehr"), MsgIcon::Information,
                         BtnOk);
    }
    return 0;
}

void CardDocument::freeObject(Tobs& o) {
    o.Kind = KindFree;
    deldib(o.Picture);
}

bool CardDocument::workingSideUsed() const {
    for (int s = 1; s <= kSlotCount; ++s) {
        if (WorkingSlots[s]->Kind > 0) return true;
    }
    return false;
}

int CardDocument::usedCount(const SlotTable& table) const {
    int n = 0;
    for (int s = 1; s <= kSlotCount; ++s) {
        if (table[s]->Kind > 0) ++n;
    }
    return n;
}

QString CardDocument::titleName() const {
    if (FileName.isEmpty()) return QStringLiteral("NONAME01");
    return QFileInfo(FileName).fileName();
}

}  // namespace bb
