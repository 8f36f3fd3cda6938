#include "document/CardDocument.h"

#include "document/Trunc.h"
#include "document/UserDialogs.h"

#include <QDataStream>
#include <QFileInfo>

namespace bb {

namespace {

void writeSnapshot(QDataStream& s, const Background& b) {
    // Any mode but a colour draws as none without a picture, and the renderer makes it none.
    const bool none = b.backgroundMode != BgColor && b.backgroundPicture.isNull();
    const int32_t mode = none ? BgNone : b.backgroundMode;
    s << mode << b.backgroundFile << b.backgroundColor << quintptr(b.backgroundPicture.sharedId());
}

void writeSnapshot(QDataStream& s, const SlotTable& table) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const CardObject& o = *table[slot];
        if (o.kind <= 0) continue;
        s << slot;
        writeSnapshotFields(s, o);
    }
    s << kListEnd;
}

}  // namespace

CardDocument::CardDocument() {
    records_.reserve(2 * kSlotCount);
    for (int i = 0; i < 2 * kSlotCount; ++i) records_.push_back(std::make_unique<CardObject>());
    outsideSlots[0] = insideSlots[0] = workingSlots[0] = nullptr;
    for (int s = 1; s <= kSlotCount; ++s) {
        outsideSlots[s] = records_[s - 1].get();
        insideSlots[s] = records_[kSlotCount + s - 1].get();
        workingSlots[s] = outsideSlots[s];
    }
    updateSideUnits();
    clearAll();
}

int CardDocument::toView(int32_t units, const RenderContext& ctx) const {
    if (ctx.renderMode == RenderOutput)
        return truncInt32(static_cast<long double>(units) * ctx.outputScale);
    return screenPixels(units);
}

int CardDocument::screenPixels(int32_t units) const {
    // Product before the division, in extended precision.
    const long double product = static_cast<long double>(units) * zoomFactor;
    return truncInt32(product / static_cast<long double>(unitsPerPixel));
}

int32_t CardDocument::fromView(int px) const {
    // Division before the product, in extended precision.
    const long double quotient = static_cast<long double>(px) / zoomFactor;
    return truncInt32(quotient * static_cast<long double>(unitsPerPixel));
}

void CardDocument::clearAll() {
    for (int s = 1; s <= kSlotCount; ++s) {
        for (CardObject* o : {outsideSlots[s], insideSlots[s]}) freeObject(*o);
    }
    selectedSlot = 0;
    // Pictures are shared by reference count: dropping every holder releases each distinct
    // picture exactly once.
    for (Background* b : {&outsideBackground, &insideBackground, &workingBackground}) {
        b->backgroundMode = BgNone;
        releaseDib(b->backgroundPicture);
        b->backgroundColor = 0xFFFFFF;
        b->backgroundFile.clear();
    }
    fileName.clear();
    ++clearCount_;
    markSaved();
}

void CardDocument::writeBackWorkingSide() {
    if (currentSide != SideOutside && currentSide != SideInside) return;
    SlotTable& side = currentSide == SideOutside ? outsideSlots : insideSlots;
    for (int s = 1; s <= kSlotCount; ++s) side[s] = workingSlots[s];
    sideBackground(currentSide) = workingBackground;
}

void CardDocument::switchSide(int side) {
    writeBackWorkingSide();
    loadWorkingSide(side);
}

void CardDocument::loadWorkingSide(int side) {
    if (side != SideOutside && side != SideInside) return;
    const SlotTable& from = sideSlots(side);
    for (int s = 1; s <= kSlotCount; ++s) workingSlots[s] = from[s];
    workingBackground = sideBackground(side);
    currentSide = side;
}

void CardDocument::updateSideUnits() {
    sideWidthUnits = sideUnits(format.cardWidth);
    sideHeightUnits = sideUnits(format.cardHeight);
}

int CardDocument::findFreeSlot(UserDialogs* dialogs) const {
    for (int s = 1; s <= kSlotCount; ++s) {
        if (workingSlots[s]->kind == KindFree) return s;
    }
    if (dialogs) {
        dialogs->message(QStringLiteral("Es wurden zuviele Objekte erstellt!"),
                         QStringLiteral("Fehler: Kein freies Objekt mehr"), MsgIcon::Information,
                         BtnOk);
    }
    return 0;
}

void CardDocument::freeObject(CardObject& o) {
    releaseDib(o.picture);
    // A freed slot holds a fresh record: the next object made in it inherits nothing.
    o = CardObject{};
}

bool CardDocument::workingSideUsed() const {
    for (int s = 1; s <= kSlotCount; ++s) {
        if (workingSlots[s]->kind > 0) return true;
    }
    return false;
}

int CardDocument::usedCount(const SlotTable& table) const {
    int n = 0;
    for (int s = 1; s <= kSlotCount; ++s) {
        if (table[s]->kind > 0) ++n;
    }
    return n;
}

QByteArray CardDocument::contentSnapshot() const {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << format.leftMargin << format.topMargin << format.pitchX << format.pitchY << format.cardWidth
      << format.cardHeight << format.cardsAcross << format.cardsDown << format.typeName;
    const bool working = currentSide == SideOutside || currentSide == SideInside;
    for (int side : {SideOutside, SideInside}) {
        // The side being edited lives in the working state until it is written back.
        const bool edited = working && side == currentSide;
        writeSnapshot(s, edited ? workingBackground
                                : (side == SideInside ? insideBackground : outsideBackground));
        writeSnapshot(s, edited ? workingSlots : sideSlots(side));
    }
    return out;
}

void CardDocument::markSaved() {
    savedContent_ = contentSnapshot();
}

bool CardDocument::hasUnsavedChanges() const {
    return contentSnapshot() != savedContent_;
}

QString CardDocument::titleName() const {
    if (fileName.isEmpty()) return QStringLiteral("NONAME01");
    return QFileInfo(fileName).fileName();
}

}  // namespace bb
