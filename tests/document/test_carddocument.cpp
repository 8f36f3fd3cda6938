// The document: start state, coordinate accessors, side switching, free-slot search,
// clearing, the record of unsaved changes, fitting the objects to a new card size, the
// card-type dialog's gap conversion and the program folder.
#include "document/CardDocument.h"
#include "document/CardFormat.h"
#include "document/CardResize.h"
#include "document/CardTypeFields.h"
#include "document/ProgramFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>

using namespace bb;

namespace {

// Fills `n` outside slots from slot 1 with figures.
void fillWorking(CardDocument& doc, int n) {
    for (int s = 1; s <= n; ++s) doc.outsideSlots[s]->kind = KindFigure;
}

}  // namespace

TEST(CardDocument, StartState) {
    auto doc = std::make_unique<CardDocument>();
    EXPECT_EQ(doc->usedCount(doc->outsideSlots), 0);
    EXPECT_EQ(doc->usedCount(doc->insideSlots), 0);
    EXPECT_EQ(doc->titleName(), QStringLiteral("NONAME01"));
    EXPECT_EQ(doc->sideWidthUnits, 472441);
    EXPECT_EQ(doc->sideHeightUnits, 354331);
    for (const Background* b :
         {&doc->sideBackground(SideOutside), &doc->outsideBackground, &doc->insideBackground}) {
        EXPECT_EQ(b->backgroundMode, BgNone);
        EXPECT_EQ(b->backgroundColor, 0xFFFFFFu);
        EXPECT_TRUE(b->backgroundPicture.isNull());
    }
    // 20000 distinct records; the outside is edited first.
    for (int s = 1; s <= kSlotCount; ++s) {
        ASSERT_EQ(doc->sideSlots(SideOutside)[s], doc->outsideSlots[s]);
        ASSERT_NE(doc->outsideSlots[s], doc->insideSlots[s]);
        ASSERT_EQ(doc->outsideSlots[s]->shadowDx, 5);
    }
    EXPECT_NE(doc->outsideSlots[1], doc->outsideSlots[2]);
    doc->fileName = QStringLiteral("/home/u/Karten/Geburtstag.kar");
    EXPECT_EQ(doc->titleName(), QStringLiteral("Geburtstag.kar"));
}

TEST(CardDocument, AccessorArithmetic) {
    auto doc = std::make_unique<CardDocument>();
    RenderContext ctx;
    doc->zoomFactor = 1;
    doc->unitsPerPixel = 312;
    CardObject o;
    o.x = 20000;  // one inch
    EXPECT_EQ(doc->viewX(o, ctx), 64);
    doc->setViewWidth(o, 50);
    EXPECT_EQ(o.width, 15600);
    // Negative values truncate toward zero.
    o.y = -20000;
    EXPECT_EQ(doc->viewY(o, ctx), -64);
    // The order of the operations shows at 59 with zoom 7 and 7 units per pixel: product
    // first 59 × 7 ÷ 7 is exactly 59, division first 59 ÷ 7 × 7 lies just below 59.
    doc->zoomFactor = 7;
    doc->unitsPerPixel = 7;
    o.height = 59;
    EXPECT_EQ(doc->viewHeight(o, ctx), 59);
    doc->setViewX(o, 59);
    EXPECT_EQ(o.x, 58);
    // Output mode uses the output scale; setters stay on the screen scale.
    ctx.renderMode = RenderOutput;
    ctx.outputScale = 0.5;
    o.x = 20001;
    EXPECT_EQ(doc->viewX(o, ctx), 10000);
    doc->zoomFactor = 1;
    doc->unitsPerPixel = 312;
    doc->setViewX(o, 1);
    EXPECT_EQ(o.x, 312);
    // A zero scale saturates instead of dividing into undefined conversions.
    doc->unitsPerPixel = 0;
    ctx.renderMode = RenderScreen;
    EXPECT_EQ(doc->viewX(o, ctx), INT32_MAX);
}

TEST(CardDocument, EachSideIsEditedInItsOwnTables) {
    int side = SideOutside;
    auto doc = std::make_unique<CardDocument>();
    // Outside: two objects, swapped into the order 2, 1, and a coloured background.
    doc->sideSlots(side)[1]->kind = KindText;
    doc->sideSlots(side)[1]->content = QStringLiteral("vorn");
    doc->sideSlots(side)[2]->kind = KindFigure;
    std::swap(doc->sideSlots(side)[1], doc->sideSlots(side)[2]);
    doc->sideBackground(side).backgroundMode = BgColor;
    doc->sideBackground(side).backgroundColor = 0x123456;
    doc->sideBackground(side).backgroundPicture = newDib(4, 4, 24);
    const void* pictureId = doc->sideBackground(side).backgroundPicture.sharedId();
    CardObject* first = doc->sideSlots(side)[1];

    side = SideInside;
    EXPECT_FALSE(doc->sideUsed(side));
    EXPECT_EQ(doc->sideBackground(side).backgroundMode, BgNone);
    doc->sideSlots(side)[5]->kind = KindPicture;
    doc->sideBackground(side).backgroundColor = 0xABCDEF;

    side = SideOutside;
    EXPECT_EQ(doc->sideSlots(side)[1], first);
    EXPECT_EQ(doc->sideSlots(side)[1]->kind, KindFigure);
    EXPECT_EQ(doc->sideSlots(side)[2]->content, QStringLiteral("vorn"));
    EXPECT_EQ(doc->sideBackground(side).backgroundMode, BgColor);
    EXPECT_EQ(doc->sideBackground(side).backgroundColor, 0x123456u);
    // The picture is shared, never copied.
    EXPECT_EQ(doc->sideBackground(side).backgroundPicture.sharedId(), pictureId);
    EXPECT_EQ(doc->outsideBackground.backgroundPicture.sharedId(), pictureId);
    EXPECT_EQ(doc->insideSlots[5]->kind, KindPicture);
    EXPECT_EQ(doc->insideBackground.backgroundColor, 0xABCDEFu);

    // Any side value but the inside names the outside's tables.
    EXPECT_EQ(&doc->sideSlots(7), &doc->outsideSlots);
    EXPECT_EQ(&doc->sideBackground(7), &doc->outsideBackground);
}

TEST(CardDocument, ClearAllEmptiesBothSidesAndKeepsFormatAndScale) {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 90;
    doc->zoomFactor = 2;
    doc->sideSlots(SideOutside)[3]->kind = KindPicture;
    doc->sideSlots(SideOutside)[3]->picture = newDib(2, 2, 24);
    doc->sideSlots(SideOutside)[3]->shadowDx = 9;
    doc->sideSlots(SideOutside)[3]->color = 77;
    doc->insideSlots[9]->kind = KindText;
    doc->sideBackground(SideOutside).backgroundPicture = newDib(2, 2, 24);
    doc->outsideBackground.backgroundPicture = doc->sideBackground(SideOutside).backgroundPicture;
    doc->insideBackground.backgroundPicture = newDib(2, 2, 8);
    doc->insideBackground.backgroundFile = QStringLiteral("a.bmp");
    doc->fileName = QStringLiteral("x.kar");
    std::swap(doc->sideSlots(SideOutside)[1], doc->sideSlots(SideOutside)[2]);
    CardObject* swapped = doc->sideSlots(SideOutside)[1];

    doc->clearAll();
    EXPECT_EQ(doc->usedCount(doc->outsideSlots) + doc->usedCount(doc->insideSlots), 0);
    EXPECT_TRUE(doc->sideSlots(SideOutside)[3]->picture.isNull());
    EXPECT_EQ(doc->sideSlots(SideOutside)[3]->shadowDx, 5);
    EXPECT_EQ(doc->sideSlots(SideOutside)[3]->color, 0u);  // every field back to its default
    EXPECT_EQ(doc->sideSlots(SideOutside)[1], swapped);    // the table order stays
    for (const Background* b :
         {&doc->sideBackground(SideOutside), &doc->outsideBackground, &doc->insideBackground}) {
        EXPECT_TRUE(b->backgroundPicture.isNull());
        EXPECT_TRUE(b->backgroundFile.isEmpty());
    }
    EXPECT_TRUE(doc->fileName.isEmpty());
    EXPECT_EQ(doc->format.cardWidth, 90);
    EXPECT_EQ(doc->zoomFactor, 2);
}

TEST(CardDocument, FreeSlotSearchAndFullTable) {
    auto doc = std::make_unique<CardDocument>();
    bbtest::ScriptedDialogs dialogs;
    EXPECT_EQ(doc->findFreeSlot(SideOutside, &dialogs), 1);
    fillWorking(*doc, kSlotCount);
    EXPECT_EQ(doc->findFreeSlot(SideOutside, &dialogs), 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Es wurden zuviele Objekte erstellt!"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Fehler: Kein freies Objekt mehr"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, int(BtnOk));

    // Freeing one object makes room for exactly one more; the slot keeps nothing of it.
    CardObject& freed = *doc->sideSlots(SideOutside)[4711];
    freed.picture = newDib(1, 1, 24);
    freed.color = 99;
    freed.rotation = 1;
    freed.shadow = true;
    freed.shadowDx = -40;
    freed.fontName = QStringLiteral("Arial");
    CardDocument::freeObject(freed);
    EXPECT_TRUE(freed.picture.isNull());
    EXPECT_EQ(freed.color, 0u);
    EXPECT_EQ(freed.rotation, 0);
    EXPECT_FALSE(freed.shadow);
    EXPECT_EQ(freed.shadowDx, 5);
    EXPECT_TRUE(freed.fontName.isEmpty());
    EXPECT_EQ(doc->findFreeSlot(SideOutside, &dialogs), 4711);
    freed.kind = KindText;
    EXPECT_EQ(doc->findFreeSlot(SideOutside, nullptr), 0);
    EXPECT_EQ(dialogs.messages.size(), 1);  // no dialogs given: silent
}

TEST(CardDocument, UnsavedChangesOnEitherSideWhicheverIsShown) {
    int side = SideOutside;
    auto doc = std::make_unique<CardDocument>();
    EXPECT_FALSE(doc->hasUnsavedChanges());

    // An object on the inside while the outside is shown, and taking it away again.
    doc->insideSlots[3]->kind = KindText;
    EXPECT_TRUE(doc->hasUnsavedChanges());
    doc->insideSlots[3]->kind = KindFree;
    EXPECT_FALSE(doc->hasUnsavedChanges());

    // A text edited on the inside, then the outside shown.
    side = SideInside;
    CardObject& text = *doc->sideSlots(side)[2];
    text.kind = KindText;
    text.content = QStringLiteral("Grüße");
    doc->markSaved();
    text.content += QStringLiteral(" 🎂");
    side = SideOutside;
    EXPECT_TRUE(doc->hasUnsavedChanges());
    doc->markSaved();
    EXPECT_FALSE(doc->hasUnsavedChanges());

    // The side being edited counts before it is written back: its stacking order and its
    // background.
    doc->sideSlots(side)[1]->kind = KindFigure;
    doc->markSaved();
    std::swap(doc->sideSlots(side)[1], doc->sideSlots(side)[5]);
    EXPECT_TRUE(doc->hasUnsavedChanges());
    std::swap(doc->sideSlots(side)[1], doc->sideSlots(side)[5]);
    doc->sideBackground(side).backgroundMode = BgColor;
    EXPECT_TRUE(doc->hasUnsavedChanges());
    doc->sideBackground(side).backgroundMode = BgNone;
    EXPECT_FALSE(doc->hasUnsavedChanges());

    // The other side's background, and the card type.
    doc->insideBackground.backgroundColor = 0x123456;
    EXPECT_TRUE(doc->hasUnsavedChanges());
    doc->insideBackground.backgroundColor = 0xFFFFFF;
    doc->format.cardWidth = 148;
    EXPECT_TRUE(doc->hasUnsavedChanges());
    doc->format.cardWidth = 200;
    EXPECT_FALSE(doc->hasUnsavedChanges());

    // A picture replaced under the same name.
    CardObject& picture = *doc->insideSlots[4];
    picture.kind = KindPicture;
    picture.content = QStringLiteral("bild.bmp");
    picture.picture = newDib(4, 4, 24);
    doc->markSaved();
    picture.picture = newDib(4, 4, 24);
    EXPECT_TRUE(doc->hasUnsavedChanges());
    doc->markSaved();

    // Not content: the view scale, and a picture mode without a picture, which draws as none.
    doc->unitsPerPixel = 100;
    doc->zoomFactor = 2;
    doc->outsideBackground.backgroundMode = BgTiled;
    doc->insideBackground.backgroundMode = 77;  // as a damaged file may give
    EXPECT_FALSE(doc->hasUnsavedChanges());

    // A cleared card has nothing to save.
    doc->insideSlots[9]->kind = KindFigure;
    doc->clearAll();
    EXPECT_FALSE(doc->hasUnsavedChanges());
}

namespace {

// Document units from the work area's corner to the card's for a card length in mm.
double cardOffset(double mm) {
    return mm * 20000.0 / kNominalMmPerInch;
}

CardObject& place(CardDocument& doc, int side, int slot, int32_t kind, double x, double y, double w,
                  double h) {
    CardObject& o = *doc.sideSlots(side)[slot];
    o.kind = kind;
    o.x = int32_t(x);
    o.y = int32_t(y);
    o.width = int32_t(w);
    o.height = int32_t(h);
    return o;
}

}  // namespace

TEST(CardResize, ScalingKeepsObjectsOnTheCardAndTextsAndPicturesInShape) {
    auto doc = std::make_unique<CardDocument>();
    const double mm = cardOffset(1);
    // A figure covering the card, a text on the inside and a picture at the card's right
    // edge, on a card of 165 × 121 mm.
    CardObject& cover =
        place(*doc, SideOutside, 1, KindFigure, 165 * mm, 121 * mm, 165 * mm, 121 * mm);
    cover.lineWidth = 3;
    CardObject& text = place(*doc, SideInside, 2, KindText, 175 * mm, 131 * mm, 100 * mm, 20 * mm);
    text.fontSize = 24;
    text.fontHeight = -32;
    text.shadowDx = 20;
    CardObject& picture =
        place(*doc, SideInside, 3, KindPicture, 290 * mm, 200 * mm, 40 * mm, 30 * mm);

    fitContentToCard(*doc, 165, 121, 148, 105, true);
    const double sx = 148.0 / 165, sy = 105.0 / 121, s = std::min(sx, sy);
    EXPECT_NEAR(cover.x, 148 * mm, 1);
    EXPECT_NEAR(cover.y, 105 * mm, 1);
    EXPECT_NEAR(cover.width, 148 * mm, 1);
    EXPECT_NEAR(cover.height, 105 * mm, 1);
    EXPECT_EQ(cover.lineWidth, 3);
    // Texts and pictures keep their aspect, centred in the box they would have had.
    EXPECT_NEAR(text.width, 100 * mm * s, 1);
    EXPECT_NEAR(text.height, 20 * mm * s, 1);
    EXPECT_NEAR(text.x + text.width / 2.0, 225 * mm * sx, 2);
    EXPECT_NEAR(text.y + text.height / 2.0, 141 * mm * sy, 2);
    EXPECT_EQ(text.fontSize, 21);  // 24 × 0.868
    EXPECT_EQ(text.fontHeight, -28);
    EXPECT_EQ(text.shadowDx, 17);
    EXPECT_NEAR(double(picture.width) / picture.height, 40.0 / 30, 1e-4);
    // Everything stays within the new card.
    for (const CardObject* o : {&cover, &text, &picture}) {
        EXPECT_GE(o->x, 148 * mm - 1);
        EXPECT_GE(o->y, 105 * mm - 1);
        EXPECT_LE(o->x + o->width, 2 * 148 * mm + 1);
        EXPECT_LE(o->y + o->height, 2 * 105 * mm + 1);
    }
}

TEST(CardResize, WithoutScalingObjectsMoveWithTheCardCorner) {
    auto doc = std::make_unique<CardDocument>();
    const double mm = cardOffset(1);
    CardObject& text = place(*doc, SideOutside, 1, KindText, 175 * mm, 131 * mm, 50 * mm, 9 * mm);
    text.fontSize = 12;
    place(*doc, SideInside, 7, KindFigure, 170 * mm, 130 * mm, 30 * mm, 30 * mm);

    fitContentToCard(*doc, 165, 121, 999, 121, false);
    EXPECT_NEAR(text.x, 1009 * mm, 1);  // 10 mm from the card's left edge, as before
    EXPECT_NEAR(text.y, 131 * mm, 1);
    EXPECT_EQ(text.width, int32_t(50 * mm));
    EXPECT_EQ(text.fontSize, 12);
    EXPECT_NEAR(doc->insideSlots[7]->x, 1004 * mm, 1);
    EXPECT_EQ(doc->insideSlots[7]->width, int32_t(30 * mm));

    // Sizes that are no card change nothing; extreme factors stay within the coordinates.
    const int32_t x = text.x;
    for (double bad : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        fitContentToCard(*doc, 999, 121, bad, 121, true);
        fitContentToCard(*doc, bad, 121, 999, 121, false);
    }
    EXPECT_EQ(text.x, x);
    fitContentToCard(*doc, 1e9, 121, 0.001, 121, true);
    EXPECT_EQ(text.fontSize, 1);  // a font never shrinks to nothing
    text.x = 1000;
    fitContentToCard(*doc, 0.001, 121, 1e9, 121, true);
    EXPECT_EQ(text.x, std::numeric_limits<int32_t>::max());
}

TEST(CardTypeFields, GapsAndPitches) {
    CardTypeFields v;
    v.name = QString(60, QLatin1Char('n'));
    v.width = 90;
    v.height = 55;
    v.hgap = 5;
    v.vgap = 0;
    v.left = 10;
    v.top = 12.5;
    v.across = 2.9;
    v.down = 5;
    const CardFormat f = cardFormatFrom(v);
    EXPECT_EQ(f.pitchX, 95);
    EXPECT_EQ(f.pitchY, 55);
    EXPECT_EQ(f.cardsAcross, 2);
    EXPECT_EQ(f.typeName.size(), 50);
    const CardTypeFields back = cardTypeFieldsFrom(f);
    EXPECT_EQ(back.hgap, 5);
    EXPECT_EQ(back.vgap, 0);
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.top, 12.5);
}

TEST(programFolder, WritableProgramFolderOrUserData) {
    QStandardPaths::setTestModeEnabled(true);
    bbtest::TempFolder tmp;
    EXPECT_EQ(programFolder(tmp.file(QStringLiteral("brisella-bildwerker"))), tmp.path());
    // A folder that does not exist cannot hold the catalogue: the per-user folder is used
    // and created.
    const QString fallback = programFolder(tmp.file(QStringLiteral("missing/brisella")));
    EXPECT_EQ(fallback, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    // An installed program keeps its data in the user's folder even where the install
    // folder is writable, as /usr/bin is for root.
    EXPECT_EQ(programFolder(QStringLiteral("/usr/bin/brisella-bildwerker")), fallback);
}
