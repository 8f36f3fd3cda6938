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
    outsideSlots[0] = insideSlots[0] = nullptr;
    for (int s = 1; s <= kSlotCount; ++s) {
        outsideSlots[s] = records_[s - 1].get();
        insideSlots[s] = records_[kSlotCount + s - 1].get();
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
    // Pictures are shared by reference count: dropping every holder releases each distinct
    // picture exactly once.
    for (Background* b : {&outsideBackground, &insideBackground}) {
        b->backgroundMode = BgNone;
        releaseDib(b->backgroundPicture);
        b->backgroundColor = 0xFFFFFF;
        b->backgroundFile.clear();
    }
    fileName.clear();
    pictureSource.clear();
    extensionChunks.clear();
    ++clearCount_;
    markSaved();
}

void CardDocument::updateSideUnits() {
    sideWidthUnits = sideUnits(format.cardWidth);
    sideHeightUnits = sideUnits(format.cardHeight);
}

int CardDocument::findFreeSlot(int side, UserDialogs* dialogs) const {
    const SlotTable& table = sideSlots(side);
    for (int s = 1; s <= kSlotCount; ++s) {
        if (table[s]->kind == KindFree) return s;
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

bool CardDocument::sideUsed(int side) const {
    return usedCount(sideSlots(side)) > 0;
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
    for (int side : {SideOutside, SideInside}) {
        writeSnapshot(s, sideBackground(side));
        writeSnapshot(s, sideSlots(side));
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
