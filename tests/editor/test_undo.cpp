// Undo and redo of every kind of editing step, judged by the card file: after an undo the card
// saves to the very bytes it saved to before the step, after a redo to those after it.
#include "EditingFixture.h"

#include "document/CardFile.h"
#include "editor/BackgroundDialog.h"
#include "editor/ColorCombo.h"
#include "editor/TextEffectsDialog.h"
#include "editor/TextEntryDialog.h"
#include "editor/TransparencyDialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

using namespace bb;
using namespace bbtest;

namespace {

class UndoSteps : public EditingFixture {
protected:
    QByteArray cardBytes() { return cardFileBytes(*doc, DibImage()); }

    // A figure (slot 1), a text (slot 2) and a picture (slot 3) with distinct pixels; the
    // history starts empty with this card as the saved one.
    void makeCard() {
        put(1, KindFigure, 20, 20, 60, 40).lineWidth = 1;
        CardObject& t = put(2, KindText, 120, 20, 80, 30);
        t.content = QStringLiteral("Grüße");
        t.fontName = QStringLiteral("Sans");
        t.fontHeight = -20;
        CardObject& p = put(3, KindPicture, 40, 120, 30, 20);
        p.picture = newDib(3, 2, 24);
        for (int i = 0; i < 3 * 2; ++i) p.picture.rowFromTop(i / 3)[(i % 3) * 3] = uint8_t(i * 40);
        p.picture.markModified();
        p.content = QStringLiteral("bild.bmp");
        doc->markSaved();
        ed->history().clear();
        ed->edited().slot = 0;
    }

    void pressKey(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view(0), &e);
    }
};

TEST_F(UndoSteps, EveryKindOfStepUndoesAndRedoesToTheSameCardBytes) {
    struct Case {
        const char* name;
        int select;
        std::function<void()> step;
    };
    const std::vector<Case> cases = {
        {"drag", 1,
         [&] {
             press(0, 40, 40);
             move(0, 50, 47);
             move(0, 70, 61);
             release(0, 70, 61);
         }},
        {"resize at the bottom right handle", 1,
         [&] {
             press(0, 79, 59);
             move(0, 99, 89);
             release(0, 99, 89);
         }},
        {"create a figure", 0,
         [&] {
             ed->tools().setCurrent(ToolFigure);
             click(0, 300, 300);
         }},
        {"delete with the key", 2,
         [&] {
             dialogs.answers = {BtnYes};
             pressKey(Qt::Key_Delete);
         }},
        {"to front", 1, [&] { ed->commands().bringToFront(); }},
        {"to back", 3, [&] { ed->commands().sendToBack(); }},
        {"figure kind", 1, [&] { ed->commands().setFigureKind(FigEllipse); }},
        {"fill", 1, [&] { ed->commands().setFillMode(FillWithBorder); }},
        {"line width", 1, [&] { ed->commands().setLineWidth(7); }},
        {"colour", 1, [&] { ed->commands().setColor(rgbRef(1, 2, 3)); }},
        {"border colour", 1, [&] { ed->commands().setBorderColor(rgbRef(4, 5, 6)); }},
        {"alignment", 2, [&] { ed->commands().setAlignment(2); }},
        {"keep aspect", 3, [&] { ed->commands().toggleKeepAspect(); }},
        {"round frame", 3, [&] { ed->commands().setRoundFrame(true); }},
        {"colour dialog", 2,
         [&] {
             dialogs.colorAnswers = {QColor(10, 20, 30)};
             ed->commands().chooseColor();
         }},
        {"font dialog", 2,
         [&] {
             QFont f(QStringLiteral("Serif"));
             f.setPointSize(31);
             f.setBold(true);
             dialogs.fontAnswers = {{f, QColor(0, 0, 200)}};
             ed->commands().chooseFont();
         }},
        {"text dialog", 2,
         [&] {
             answer = [&](QDialog&) {
                 ed->commands().textEntryDialog().textEdit()->setPlainText(
                     QStringLiteral("Alles\nGute"));
                 return int(QDialog::Accepted);
             };
             ed->commands().editText();
         }},
        {"text effects", 2,
         [&] {
             answer = [&](QDialog&) {
                 TextEffectsDialog& f = ed->commands().textEffectsDialog();
                 f.shadowCheck->setChecked(true);
                 f.outlineCheck->setChecked(true);
                 f.shadowDxEdit->setValue(-12);
                 return int(QDialog::Accepted);
             };
             ed->commands().editTextEffects();
         }},
        {"text effect colours", 2,
         [&] {
             answer = [&](QDialog&) {
                 TextEffectsDialog& f = ed->commands().textEffectsDialog();
                 f.outlineColor = rgbRef(200, 0, 0);
                 f.shadowColor = rgbRef(0, 0, 200);
                 return int(QDialog::Accepted);
             };
             ed->commands().editTextEffects();
         }},
        {"transparent colour", 3,
         [&] {
             answer = [&](QDialog&) {
                 ed->commands().transparencyDialog().color = rgbRef(9, 8, 7);
                 return int(QDialog::Accepted);
             };
             ed->commands().editTransparency();
         }},
        {"transparency", 3,
         [&] {
             answer = [&](QDialog&) {
                 ed->commands().transparencyDialog().transparentCheck->setChecked(true);
                 return int(QDialog::Accepted);
             };
             ed->commands().editTransparency();
         }},
        {"turn a picture left", 3, [&] { ed->commands().rotateLeft(); }},
        {"turn a text right", 2, [&] { ed->commands().rotateRight(); }},
        {"background colour", 0,
         [&] {
             answer = [&](QDialog&) {
                 ed->backgroundDialog().modeButton(BgColor)->setChecked(true);
                 ed->backgroundDialog().colorCombo()->setColor(rgbRef(0, 128, 0));
                 return int(QDialog::Accepted);
             };
             ed->editBackground();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int slot = 1; slot <= kSlotCount; ++slot)
            CardDocument::freeObject(*ed->editedSlots()[slot]);
        ed->editedBackground() = Background{};
        ed->tools().setCurrent(ToolPointer);
        makeCard();
        if (c.select) ed->selectSlot(c.select);
        const QByteArray before = cardBytes();
        c.step();
        const QByteArray after = cardBytes();
        ASSERT_TRUE(after != before) << "the step changed nothing";
        ASSERT_EQ(ed->history().stack().count(), 1) << "one command is one step";
        EXPECT_TRUE(ed->history().isModified());
        ed->history().undo();
        EXPECT_TRUE(cardBytes() == before);
        EXPECT_FALSE(ed->history().isModified()) << "undone back to the saved card";
        ed->history().redo();
        EXPECT_TRUE(cardBytes() == after);
        // Twice more: a turned picture is turned back from the one that is there.
        ed->history().undo();
        ed->history().redo();
        EXPECT_TRUE(cardBytes() == after);
        ed->history().undo();
        EXPECT_TRUE(cardBytes() == before);
    }
}

TEST_F(UndoSteps, UndoAfterSwitchingSidesRestoresTheOtherSideAndShowsIt) {
    makeCard();
    ed->selectSlot(1);
    ed->commands().setColor(rgbRef(9, 9, 9));
    const QByteArray changed = cardBytes();
    tab->selectSide(SideInside);
    ASSERT_EQ(ed->editedSide(), SideInside);
    put(5, KindFigure, 10, 10, 10, 10);  // an object of the inside, outside any step
    ed->history().undo();
    EXPECT_EQ(ed->editedSide(), SideOutside);
    EXPECT_EQ(ed->editedSlots()[1]->color, 0u);
    EXPECT_EQ(doc->insideSlots[5]->kind, KindFigure) << "the other side is left alone";
    EXPECT_EQ(ed->selectedSlot(), 1);
    ed->history().redo();
    doc->insideSlots[5]->kind = KindFree;
    EXPECT_TRUE(cardBytes() == changed);
}

TEST_F(UndoSteps, AFailedOrCancelledCommandRecordsNothing) {
    makeCard();
    ed->selectSlot(2);
    answer = [](QDialog&) { return int(QDialog::Rejected); };
    ed->commands().editText();
    ed->commands().editTextEffects();
    dialogs.colorAnswers = {QColor()};
    ed->commands().chooseColor();
    dialogs.answers = {BtnNo};
    pressKey(Qt::Key_Delete);
    click(0, 130, 30);  // a click on the selected text: a drag of no distance
    EXPECT_EQ(ed->history().stack().count(), 0);
    EXPECT_FALSE(ed->history().isModified());
}

}  // namespace
