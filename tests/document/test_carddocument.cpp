// The document: start state, coordinate accessors, side switching, free-slot search,
// clearing, the card-type dialog's gap conversion and the program folder.
#include "document/CardDocument.h"
#include "document/CardTypeFields.h"
#include "document/ProgramFolder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>

#include <memory>

using namespace bb;

namespace {

// Fills `n` working slots from slot 1 with figures.
void fillWorking(CardDocument& doc, int n) {
    for (int s = 1; s <= n; ++s) doc.WorkingSlots[s]->Kind = KindFigure;
}

}  // namespace

TEST(CardDocument, StartState) {
    auto doc = std::make_unique<CardDocument>();
    EXPECT_EQ(doc->usedCount(doc->OutsideSlots), 0);
    EXPECT_EQ(doc->usedCount(doc->InsideSlots), 0);
    EXPECT_EQ(doc->CurrentSide, SideOutside);
    EXPECT_EQ(doc->titleName(), QStringLiteral("NONAME01"));
    EXPECT_EQ(doc->SideWidthUnits, 472441);
    EXPECT_EQ(doc->SideHeightUnits, 354331);
    for (const Background* b : {&doc->Working, &doc->Outside, &doc->Inside}) {
        EXPECT_EQ(b->BackgroundMode, BgNone);
        EXPECT_EQ(b->BackgroundColor, 0xFFFFFFu);
        EXPECT_TRUE(b->BackgroundPicture.isNull());
    }
    // 20000 distinct records; the working table shares the outside's.
    for (int s = 1; s <= kSlotCount; ++s) {
        ASSERT_EQ(doc->WorkingSlots[s], doc->OutsideSlots[s]);
        ASSERT_NE(doc->OutsideSlots[s], doc->InsideSlots[s]);
        ASSERT_EQ(doc->OutsideSlots[s]->ShadowDX, 5);
    }
    EXPECT_NE(doc->OutsideSlots[1], doc->OutsideSlots[2]);
    doc->FileName = QStringLiteral("/home/u/Karten/Geburtstag.kar");
    EXPECT_EQ(doc->titleName(), QStringLiteral("Geburtstag.kar"));
}

TEST(CardDocument, AccessorArithmetic) {
    auto doc = std::make_unique<CardDocument>();
    RenderContext ctx;
    doc->ZoomFactor = 1;
    doc->UnitsPerPixel = 312;
    Tobs o;
    o.X = 20000;  // one inch
    EXPECT_EQ(doc->ViewX(o, ctx), 64);
    doc->SetViewWidth(o, 50);
    EXPECT_EQ(o.Width, 15600);
    // Negative values truncate toward zero.
    o.Y = -20000;
    EXPECT_EQ(doc->ViewY(o, ctx), -64);
    // The order of the operations shows at 59 with zoom 7 and 7 units per pixel: product
    // first 59 × 7 ÷ 7 is exactly 59, division first 59 ÷ 7 × 7 lies just below 59.
    doc->ZoomFactor = 7;
    doc->UnitsPerPixel = 7;
    o.Height = 59;
    EXPECT_EQ(doc->ViewHeight(o, ctx), 59);
    doc->SetViewX(o, 59);
    EXPECT_EQ(o.X, 58);
    // Output mode uses the output scale; setters stay on the screen scale.
    ctx.RenderMode = RenderOutput;
    ctx.OutputScale = 0.5;
    o.X = 20001;
    EXPECT_EQ(doc->ViewX(o, ctx), 10000);
    doc->ZoomFactor = 1;
    doc->UnitsPerPixel = 312;
    doc->SetViewX(o, 1);
    EXPECT_EQ(o.X, 312);
    // A zero scale saturates instead of dividing into undefined conversions.
    doc->UnitsPerPixel = 0;
    ctx.RenderMode = RenderScreen;
    EXPECT_EQ(doc->ViewX(o, ctx), INT32_MAX);
}

TEST(CardDocument, SideSwitchRoundTrip) {
    auto doc = std::make_unique<CardDocument>();
    // Outside: two objects, swapped into the order 2, 1, and a coloured background.
    doc->WorkingSlots[1]->Kind = KindText;
    doc->WorkingSlots[1]->Content = QStringLiteral("vorn");
    doc->WorkingSlots[2]->Kind = KindFigure;
    std::swap(doc->WorkingSlots[1], doc->WorkingSlots[2]);
    doc->Working.BackgroundMode = BgColor;
    doc->Working.BackgroundColor = 0x123456;
    doc->Working.BackgroundPicture = newdib(4, 4, 24);
    const void* pictureId = doc->Working.BackgroundPicture.sharedId();
    Tobs* first = doc->WorkingSlots[1];
    doc->SelectedSlot = 2;

    doc->PageControl2Change(SideInside);
    EXPECT_EQ(doc->CurrentSide, SideInside);
    EXPECT_FALSE(doc->workingSideUsed());
    EXPECT_EQ(doc->Working.BackgroundMode, BgNone);
    EXPECT_EQ(doc->SelectedSlot, 2);  // the selection stays
    doc->WorkingSlots[5]->Kind = KindPicture;
    doc->Working.BackgroundColor = 0xABCDEF;

    doc->PageControl2Change(SideOutside);
    EXPECT_EQ(doc->WorkingSlots[1], first);
    EXPECT_EQ(doc->WorkingSlots[1]->Kind, KindFigure);
    EXPECT_EQ(doc->WorkingSlots[2]->Content, QStringLiteral("vorn"));
    EXPECT_EQ(doc->Working.BackgroundMode, BgColor);
    EXPECT_EQ(doc->Working.BackgroundColor, 0x123456u);
    // The picture is shared, never copied.
    EXPECT_EQ(doc->Working.BackgroundPicture.sharedId(), pictureId);
    EXPECT_EQ(doc->Outside.BackgroundPicture.sharedId(), pictureId);
    EXPECT_EQ(doc->InsideSlots[5]->Kind, KindPicture);
    EXPECT_EQ(doc->Inside.BackgroundColor, 0xABCDEFu);

    // An invalid side value writes nothing back.
    doc->CurrentSide = 7;
    doc->Working.BackgroundColor = 0;
    doc->WriteBackObjects();
    EXPECT_EQ(doc->Outside.BackgroundColor, 0x123456u);
    EXPECT_EQ(doc->Inside.BackgroundColor, 0xABCDEFu);
}

TEST(CardDocument, ClearallEmptiesBothSidesAndKeepsFormatAndScale) {
    auto doc = std::make_unique<CardDocument>();
    doc->Format.CardWidth = 90;
    doc->ZoomFactor = 2;
    doc->WorkingSlots[3]->Kind = KindPicture;
    doc->WorkingSlots[3]->Picture = newdib(2, 2, 24);
    doc->WorkingSlots[3]->ShadowDX = 9;
    doc->WorkingSlots[3]->Color = 77;
    doc->InsideSlots[9]->Kind = KindText;
    doc->Working.BackgroundPicture = newdib(2, 2, 24);
    doc->Outside.BackgroundPicture = doc->Working.BackgroundPicture;
    doc->Inside.BackgroundPicture = newdib(2, 2, 8);
    doc->Inside.BackgroundFile = QStringLiteral("a.bmp");
    doc->FileName = QStringLiteral("x.kar");
    doc->SelectedSlot = 3;
    std::swap(doc->WorkingSlots[1], doc->WorkingSlots[2]);
    Tobs* swapped = doc->WorkingSlots[1];

    doc->clearall();
    EXPECT_EQ(doc->usedCount(doc->OutsideSlots) + doc->usedCount(doc->InsideSlots), 0);
    EXPECT_TRUE(doc->WorkingSlots[3]->Picture.isNull());
    EXPECT_EQ(doc->WorkingSlots[3]->ShadowDX, 5);
    EXPECT_EQ(doc->WorkingSlots[3]->Color, 77u);  // other fields stay
    EXPECT_EQ(doc->WorkingSlots[1], swapped);     // the table order stays
    for (const Background* b : {&doc->Working, &doc->Outside, &doc->Inside}) {
        EXPECT_TRUE(b->BackgroundPicture.isNull());
        EXPECT_TRUE(b->BackgroundFile.isEmpty());
    }
    EXPECT_EQ(doc->SelectedSlot, 0);
    EXPECT_TRUE(doc->FileName.isEmpty());
    EXPECT_EQ(doc->Format.CardWidth, 90);
    EXPECT_EQ(doc->ZoomFactor, 2);
}

TEST(CardDocument, FreeSlotSearchAndFullTable) {
    auto doc = std::make_unique<CardDocument>();
    bbtest::ScriptedDialogs dialogs;
    EXPECT_EQ(doc->findFreeSlot(&dialogs), 1);
    fillWorking(*doc, kSlotCount);
    EXPECT_EQ(doc->findFreeSlot(&dialogs), 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Es wurden zuviele Objekte erstellt!"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Fehler: Kein freies Objekt mehr"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, int(BtnOk));

    // Freeing one object makes room for exactly one more; its other fields stay.
    Tobs& freed = *doc->WorkingSlots[4711];
    freed.Picture = newdib(1, 1, 24);
    freed.Color = 99;
    CardDocument::freeObject(freed);
    EXPECT_TRUE(freed.Picture.isNull());
    EXPECT_EQ(freed.Color, 99u);
    EXPECT_EQ(doc->findFreeSlot(&dialogs), 4711);
    freed.Kind = KindText;
    EXPECT_EQ(doc->findFreeSlot(nullptr), 0);
    EXPECT_EQ(dialogs.messages.size(), 1);  // no dialogs given: silent
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
    EXPECT_EQ(f.PitchX, 95);
    EXPECT_EQ(f.PitchY, 55);
    EXPECT_EQ(f.CardsAcross, 2);
    EXPECT_EQ(f.TypeName.size(), 50);
    const CardTypeFields back = cardTypeFieldsFrom(f);
    EXPECT_EQ(back.hgap, 5);
    EXPECT_EQ(back.vgap, 0);
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.top, 12.5);
}

TEST(ProgramFolder, WritableProgramFolderOrUserData) {
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
