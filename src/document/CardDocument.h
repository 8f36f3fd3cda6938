// The one open card: its format, two sides of 10000 pre-allocated object records with their
// slot tables and backgrounds, and the view scale.
#pragma once

#include "document/CardFormat.h"
#include "document/CardObject.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace bb {

class UserDialogs;

inline constexpr int kSlotCount = 10000;
inline constexpr int32_t kListEnd = 10001;

enum CardSide : int32_t { SideOutside = 0, SideInside = 1 };

enum BackgroundModeValue : int32_t {
    BgNone = -1,
    BgStretched = 0,
    BgFit = 1,
    BgCover = 2,
    BgTiled = 3,
    BgColor = 4,
};

struct Background {
    int32_t backgroundMode = BgNone;
    DibImage backgroundPicture;
    QString backgroundFile;
    uint32_t backgroundColor = 0xFFFFFF;
};

// Slots 1..10000; index 0 is unused so that slot numbers index directly.
using SlotTable = std::array<CardObject*, kSlotCount + 1>;

class CardDocument {
public:
    CardDocument();  // creates the 2 × 10000 records, fills the tables, runs clearAll()
    CardDocument(const CardDocument&) = delete;
    CardDocument& operator=(const CardDocument&) = delete;

    CardFormat format;
    SlotTable outsideSlots{};
    SlotTable insideSlots{};
    Background outsideBackground, insideBackground;
    int32_t sideWidthUnits = 0;
    int32_t sideHeightUnits = 0;
    double zoomFactor = 1.0;
    double unitsPerPixel = 312.0;
    QString fileName;
    // A card without a file of its own that was made from another card file (a design): the
    // pictures it names are found beside that file until the card is saved. Empty otherwise.
    QString pictureSource;
    // Chunks of the card file's extension area that this version does not know, as read;
    // written back unchanged on save.
    std::vector<QByteArray> extensionChunks;

    // Object coordinate accessors in pixels of the current drawing surface.
    int viewX(const CardObject& o, const RenderContext& ctx) const { return toView(o.x, ctx); }
    int viewY(const CardObject& o, const RenderContext& ctx) const { return toView(o.y, ctx); }
    int viewWidth(const CardObject& o, const RenderContext& ctx) const {
        return toView(o.width, ctx);
    }
    int viewHeight(const CardObject& o, const RenderContext& ctx) const {
        return toView(o.height, ctx);
    }
    // Setters always use the screen scale.
    void setViewX(CardObject& o, int px) const { o.x = fromView(px); }
    void setViewY(CardObject& o, int px) const { o.y = fromView(px); }
    void setViewWidth(CardObject& o, int px) const { o.width = fromView(px); }
    void setViewHeight(CardObject& o, int px) const { o.height = fromView(px); }
    int toView(int32_t units, const RenderContext& ctx) const;
    int32_t fromView(int px) const;
    // Screen length of u units: Trunc(u × zoomFactor ÷ unitsPerPixel).
    int screenPixels(int32_t units) const;

    // Empties both sides and the backgrounds; keeps format, sizes and scale.
    // The empty card counts as saved.
    void clearAll();
    // Rises with every clearAll, also one that a damaged file leaves behind, so that a caller
    // can tell whether an operation emptied the document.
    uint64_t clearCount() const { return clearCount_; }
    // Sets sideWidthUnits/sideHeightUnits from the card format.
    void updateSideUnits();

    // Lowest free slot of the side's table, or 0 when all are used (then `dialogs`, when
    // given, shows "Es wurden zuviele Objekte erstellt!").
    int findFreeSlot(int side, UserDialogs* dialogs = nullptr) const;
    // Frees an object: its picture is released and every field returns to its default.
    static void freeObject(CardObject& o);

    // True when any slot of the side holds an object.
    bool sideUsed(int side) const;
    int usedCount(const SlotTable& table) const;

    // Window title part: the file-name part of fileName, or "NONAME01".
    QString titleName() const;

    // What a card file keeps of the card, apart from the view scale: the card format, both
    // sides' backgrounds and objects and which pictures are loaded. Equal snapshots mean there is
    // nothing new to save.
    QByteArray contentSnapshot() const;
    // Takes the current content as the saved one (after saving, opening and clearing).
    void markSaved();
    // Takes the content as never saved (a card brought back from a recovery file).
    void markUnsaved() { savedContent_.clear(); }
    // True when the content differs from the one last saved, opened or cleared, on either
    // side.
    bool hasUnsavedChanges() const;

    // A side's tables (0 outside, 1 inside; any other value means the outside). Editing
    // writes straight into them; drawing reads them through the const overloads.
    const SlotTable& sideSlots(int side) const {
        return side == SideInside ? insideSlots : outsideSlots;
    }
    SlotTable& sideSlots(int side) { return side == SideInside ? insideSlots : outsideSlots; }
    const Background& sideBackground(int side) const {
        return side == SideInside ? insideBackground : outsideBackground;
    }
    Background& sideBackground(int side) {
        return side == SideInside ? insideBackground : outsideBackground;
    }

private:
    uint64_t clearCount_ = 0;
    std::vector<std::unique_ptr<CardObject>> records_;  // 2 × 10000, never reallocated
    QByteArray savedContent_;
};

}  // namespace bb
