// The one open card: its format, two sides of 10000 pre-allocated object records, the
// working side's slot table and backgrounds, and the view scale.
#pragma once

#include "document/CardFormat.h"
#include "document/RenderContext.h"
#include "document/Tobs.h"
#include "pictures/DibImage.h"

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
    int32_t BackgroundMode = BgNone;
    DibImage BackgroundPicture;
    QString BackgroundFile;
    uint32_t BackgroundColor = 0xFFFFFF;
};

// Slots 1..10000; index 0 is unused so that slot numbers index directly.
using SlotTable = std::array<Tobs*, kSlotCount + 1>;

class CardDocument {
public:
    CardDocument();  // creates the 2 × 10000 records, fills the tables, runs clearall()
    CardDocument(const CardDocument&) = delete;
    CardDocument& operator=(const CardDocument&) = delete;

    CardFormat Format;
    SlotTable WorkingSlots{};
    SlotTable OutsideSlots{};
    SlotTable InsideSlots{};
    int32_t CurrentSide = SideOutside;
    int32_t SelectedSlot = 0;
    Background Working, Outside, Inside;
    int32_t SideWidthUnits = 0;
    int32_t SideHeightUnits = 0;
    double ZoomFactor = 1.0;
    double UnitsPerPixel = 312.0;
    QString FileName;

    // Object coordinate accessors in pixels of the current drawing surface.
    int ViewX(const Tobs& o, const RenderContext& ctx) const { return toView(o.X, ctx); }
    int ViewY(const Tobs& o, const RenderContext& ctx) const { return toView(o.Y, ctx); }
    int ViewWidth(const Tobs& o, const RenderContext& ctx) const { return toView(o.Width, ctx); }
    int ViewHeight(const Tobs& o, const RenderContext& ctx) const {
        return toView(o.Height, ctx);
    }
    // Setters always use the screen scale.
    void SetViewX(Tobs& o, int px) const { o.X = fromView(px); }
    void SetViewY(Tobs& o, int px) const { o.Y = fromView(px); }
    void SetViewWidth(Tobs& o, int px) const { o.Width = fromView(px); }
    void SetViewHeight(Tobs& o, int px) const { o.Height = fromView(px); }
    int toView(int32_t units, const RenderContext& ctx) const;
    int32_t fromView(int px) const;
    // Screen length of u units: Trunc(u × ZoomFactor ÷ UnitsPerPixel).
    int screenPixels(int32_t units) const;

    // Empties both sides and the backgrounds; keeps format, sizes, scale and CurrentSide.
    void clearall();
    // Copies the working table and background into the side named by CurrentSide.
    void WriteBackObjects();
    // Writes back, then loads `side` (0 outside, 1 inside) into the working state.
    void PageControl2Change(int side);
    // Loads a side into the working state without writing back (after reading a file).
    void loadWorkingSide(int side);

    // Sets SideWidthUnits/SideHeightUnits from the card format.
    void updateSideUnits();

    // Lowest free slot of WorkingSlots, or 0 when all are used (then `dialogs`, when given,
    // shows "Es wurden zuviele Objekte erstellt!").
    int findFreeSlot(UserDialogs* dialogs = nullptr) const;
    // Frees an object: Kind := 0 and its picture released; other fields stay.
    static void freeObject(Tobs& o);

    // True when any working slot holds an object.
    bool workingSideUsed() const;
    int usedCount(const SlotTable& table) const;

    // Window title part: the file-name part of FileName, or "NONAME01".
    QString titleName() const;

    const SlotTable& sideSlots(int side) const { return side == SideInside ? InsideSlots : OutsideSlots; }
    Background& sideBackground(int side) { return side == SideInside ? Inside : Outside; }

private:
    std::vector<std::unique_ptr<Tobs>> records_;  // 2 × 10000, never reallocated
};

}  // namespace bb
