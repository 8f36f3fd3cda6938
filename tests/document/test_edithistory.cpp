// The undo history on the document alone: what a step keeps, merging, the clean state, turned
// pictures and a card-type change over both sides.
#include "document/EditHistory.h"

#include "pictures/PictureOps.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstring>

using namespace bb;

namespace {

QByteArray pixels(const DibImage& p) {
    return QByteArray(reinterpret_cast<const char*>(p.bits()), qsizetype(p.byteCount()));
}

class History : public ::testing::Test {
protected:
    CardDocument doc;
    EditHistory history{doc};

    CardObject& object(int slot) { return *doc.sideSlots(history.editedSide().side)[slot]; }
    void moveBy(int slot, int dx, int mergeKey) {
        history.begin();
        object(slot).x += dx;
        history.end(QStringLiteral("Objekt verschieben"), mergeKey);
    }
};

TEST_F(History, StepsNestAndOnlyChangesAreRecorded) {
    object(4).kind = KindFigure;
    doc.markSaved();
    history.begin();
    history.begin();
    object(4).x = 10;
    history.end(QStringLiteral("innen"));
    EXPECT_EQ(history.stack().count(), 0) << "the inner step records nothing";
    object(4).y = 20;
    history.end(QStringLiteral("außen"));
    ASSERT_EQ(history.stack().count(), 1);
    EXPECT_EQ(history.stack().undoText(), QStringLiteral("außen"));
    history.begin();
    history.end(QStringLiteral("nichts"));
    EXPECT_EQ(history.stack().count(), 1);

    // Undo is refused while a step is open (a drag under way).
    history.begin();
    history.undo();
    EXPECT_EQ(object(4).x, 10);
    history.end(QStringLiteral("nichts"));
    history.undo();
    EXPECT_EQ(object(4).x, 0);
    EXPECT_EQ(object(4).y, 0);
    EXPECT_FALSE(history.isModified());
}

TEST_F(History, HeldKeyMovesMergeIntoOneStepOfTheSameObject) {
    object(1).kind = KindFigure;
    object(2).kind = KindFigure;
    moveBy(1, 5, 0);
    moveBy(1, 1, -7);  // first press of the key: a step of its own
    moveBy(1, 1, 7);   // auto-repeats join it
    moveBy(1, 1, 7);
    moveBy(2, 1, 7);   // another object: no merge
    moveBy(2, 1, -7);  // a new press: no merge
    EXPECT_EQ(history.stack().count(), 4);
    history.undo();
    history.undo();
    history.undo();
    EXPECT_EQ(object(1).x, 5);
    EXPECT_EQ(object(2).x, 0);
}

TEST_F(History, CleanStateFollowsSaveUndoAndChangesOutsideSteps) {
    object(1).kind = KindFigure;
    moveBy(1, 5, 0);
    doc.markSaved();
    history.markSaved();
    EXPECT_FALSE(history.isModified());
    history.undo();
    EXPECT_TRUE(history.isModified());
    history.redo();
    EXPECT_FALSE(history.isModified());
    object(1).y = 3;  // not through a step: still a change to save
    EXPECT_TRUE(history.isModified());
    object(1).y = 0;
    history.undo();
    moveBy(1, 2, 0);  // a new branch: the saved state can no longer be reached
    history.undo();
    EXPECT_TRUE(history.isModified());
}

TEST_F(History, TurnedPicturesAreTurnedBackWithoutKeepingCopies) {
    CardObject& o = object(3);
    o.kind = KindPicture;
    o.picture = newDib(5, 3, 24);
    for (int y = 0; y < 3; ++y) {
        for (int b = 0; b < 15; ++b) o.picture.rowFromTop(y)[b] = uint8_t(y * 31 + b * 7);
    }
    o.picture.markModified();
    const QByteArray original = pixels(o.picture);
    DibImage kept = o.picture;  // the only other holder of the original pixels
    for (bool left : {true, true, false}) {
        history.begin();
        ASSERT_TRUE(left ? turnPictureLeft(o.picture) : turnPictureRight(o.picture));
        history.noteQuarterTurn(3, left);
        history.end(QStringLiteral("Objekt drehen"));
    }
    EXPECT_EQ(o.picture.width(), 3);
    EXPECT_EQ(kept.useCount(), 1) << "no step holds the picture it turned";
    const QByteArray turned = pixels(o.picture);
    history.undo();
    history.undo();
    history.undo();
    EXPECT_EQ(o.picture.width(), 5);
    EXPECT_EQ(pixels(o.picture), original);
    history.redo();
    history.redo();
    history.redo();
    EXPECT_EQ(pixels(o.picture), turned);
}

TEST_F(History, ACardTypeChangeOverBothSidesIsOneStep) {
    object(1).kind = KindFigure;
    object(1).width = 1000;
    history.editedSide().side = SideInside;
    object(2).kind = KindText;
    object(2).width = 2000;
    doc.insideBackground.backgroundMode = BgColor;
    doc.sideBackground(history.editedSide().side).backgroundMode = BgColor;
    doc.markSaved();
    bool formatSeen = false;
    QObject::connect(&history, &EditHistory::applied, [&](bool f) { formatSeen = f; });

    history.begin();
    doc.format.cardWidth = 100;
    doc.updateSideUnits();
    doc.outsideSlots[1]->width = 500;
    object(2).width = 1000;
    doc.sideBackground(history.editedSide().side).backgroundColor = 0x123456;
    history.end(QStringLiteral("Kartenformat ändern"));

    history.undo();
    EXPECT_TRUE(formatSeen);
    EXPECT_EQ(doc.format.cardWidth, 200);
    EXPECT_EQ(doc.sideWidthUnits, sideUnits(200));
    EXPECT_EQ(doc.outsideSlots[1]->width, 1000);
    EXPECT_EQ(object(2).width, 2000);
    EXPECT_EQ(history.editedSide().side, SideInside) << "a step over both sides switches nothing";
    EXPECT_FALSE(history.isModified());
    history.redo();
    EXPECT_EQ(doc.outsideSlots[1]->width, 500);
    EXPECT_EQ(doc.sideBackground(history.editedSide().side).backgroundColor, 0x123456u);
}

}  // namespace

TEST_F(History, UndoAndRedoMoveTheEditorsSideAndSelectionNotTheCard) {
    EditedSide shown;  // the editor's own state, handed to the history
    history.setEditedSide(shown);
    doc.insideSlots[4]->kind = KindFigure;
    doc.insideSlots[6]->kind = KindText;
    shown = {SideInside, 4};
    history.begin();
    doc.insideSlots[4]->x = 500;
    shown.slot = 6;
    history.end(QStringLiteral("Objekt verschieben"));
    const QByteArray afterStep = doc.contentSnapshot();

    shown = {SideOutside, 0};
    history.undo();
    EXPECT_EQ(doc.insideSlots[4]->x, 0);
    EXPECT_EQ(shown.side, SideInside) << "the step's side is shown";
    EXPECT_EQ(shown.slot, 4) << "the selection before the step";
    EXPECT_EQ(&history.editedSide(), &shown);

    history.redo();
    EXPECT_EQ(doc.contentSnapshot(), afterStep);
    EXPECT_EQ(shown.slot, 6) << "the selection after the step";

    // A selection that no longer holds an object is dropped.
    history.undo();
    doc.insideSlots[6]->kind = KindFree;
    history.redo();
    EXPECT_EQ(shown.slot, 0);
}

TEST_F(History, TheWholeSelectionOfSeveralObjectsComesBackWithItsStep) {
    EditedSide shown;
    history.setEditedSide(shown);
    for (int s : {2, 3, 5}) doc.outsideSlots[s]->kind = KindFigure;
    shown.slot = 2;
    shown.also = {3, 5};
    history.begin();
    for (int s : {2, 3, 5}) doc.outsideSlots[s]->x = 100;
    shown.select(3);
    history.end(QStringLiteral("Objekte verschieben"));
    history.undo();
    EXPECT_EQ(shown.slot, 2);
    EXPECT_EQ(shown.also, (std::vector<int32_t>{3, 5}));
    history.redo();
    EXPECT_EQ(shown.slot, 3);
    EXPECT_TRUE(shown.also.empty());
}
