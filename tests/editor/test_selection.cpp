// Several objects at once: Shift+ and Ctrl+click, the rubber band, Ctrl+A and Escape, moving,
// scaling, nudging, deleting and colouring them together as one undo step, groups, lining up
// and spreading out, and the object list "Ebenen" with its order and locks.
#include "EditingFixture.h"

#include "editor/Alignment.h"
#include "editor/ColorCombo.h"
#include "editor/CommandRegistry.h"
#include "editor/EditMath.h"
#include "editor/EditorCommands.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectList.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>

using namespace bb;
using bbtest::EditingFixture;

namespace {

class Selection : public EditingFixture {
protected:
    void mouseWith(QEvent::Type type, int x, int y, Qt::KeyboardModifiers mods) {
        EditorView* v = view(0);
        const QPointF local(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::MouseButtons(Qt::LeftButton) : Qt::NoButton;
        QMouseEvent e(type, local, v->mapToGlobal(local), button, held, mods);
        QApplication::sendEvent(v, &e);
    }
    void clickWith(int x, int y, Qt::KeyboardModifiers mods) {
        mouseWith(QEvent::MouseButtonPress, x, y, mods);
        mouseWith(QEvent::MouseButtonRelease, x, y, mods);
    }
    // A press at (x0, y0), the mouse pulled in steps to (x1, y1), and the release there.
    void pull(int x0, int y0, int x1, int y1, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        mouseWith(QEvent::MouseButtonPress, x0, y0, mods);
        for (int i = 1; i <= 4; ++i)
            mouseWith(QEvent::MouseMove, x0 + (x1 - x0) * i / 4, y0 + (y1 - y0) * i / 4, mods);
        mouseWith(QEvent::MouseButtonRelease, x1, y1, mods);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(view(0), &e);
    }
    int steps() { return ed->history().stack().count(); }
    CardObject& at(int slot) { return *ed->editedSlots()[slot]; }
    using Slots = std::vector<int>;
};

TEST_F(Selection, ModifierClicksAddAndRemoveCtrlASelectsAllAndEscapeClears) {
    put(1, KindFigure, 100, 100, 50, 40);
    put(2, KindFigure, 200, 100, 50, 40);
    put(3, KindText, 300, 100, 50, 40);
    click(0, 120, 110);
    EXPECT_EQ(ed->selection(), Slots({1}));
    clickWith(220, 110, Qt::ShiftModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 2}));
    EXPECT_EQ(ed->selectedSlot(), 2);  // the one clicked last is the panel's
    clickWith(320, 110, Qt::ControlModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 2, 3}));
    clickWith(220, 110, Qt::ControlModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 3}));
    EXPECT_NE(ed->selectedSlot(), 2);
    // Shift on empty area starts an adding band; a click there takes nothing away.
    clickWith(600, 20, Qt::ShiftModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 3}));
    // A plain press on one of several selected objects keeps them all.
    press(0, 120, 110);
    release(0, 120, 110);
    EXPECT_EQ(ed->selection(), Slots({1, 3}));

    key(Qt::Key_Escape);
    EXPECT_TRUE(ed->selection().empty());
    EXPECT_EQ(ed->selected(), nullptr);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 2, 3}));
    // Locked objects are not picked on the card, so not by Ctrl+A either.
    at(2).extras.locked = true;
    key(Qt::Key_Escape);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 3}));
    // A plain click on empty area clears the selection.
    click(0, 600, 20);
    EXPECT_TRUE(ed->selection().empty());
}

TEST_F(Selection, CtrlAWhileTypingOnATextSelectsItsCharactersNotTheObjects) {
    CardObject& t = put(1, KindText, 100, 100, 80, 40);
    t.content = QStringLiteral("Hallo");
    put(2, KindFigure, 300, 100, 50, 40);
    click(0, 120, 110);
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(view(0), &typed);
    ASSERT_TRUE(ed->textEditing());
    // The command of the menu item (whose key the window takes) reaches the text first.
    ed->commandRegistry().trigger(cmd::kSelectAll);
    EXPECT_EQ(ed->selection(), Slots({1}));
    EXPECT_EQ(ed->inlineText().selectionStart(), 0);
    EXPECT_EQ(std::abs(ed->inlineText().caret() - ed->inlineText().anchor()),
              int(t.content.size()));
    key(Qt::Key_Escape);  // ends the typing
    ASSERT_FALSE(ed->textEditing());
    ed->commandRegistry().trigger(cmd::kSelectAll);
    EXPECT_EQ(ed->selection(), Slots({1, 2}));
    // With several objects selected, typing starts on none of them.
    QApplication::sendEvent(view(0), &typed);
    EXPECT_FALSE(ed->textEditing());
    EXPECT_EQ(t.content.size(), 6);
}

TEST_F(Selection, RubberBandTakesWhatLiesWhollyInsideAndAddsWithShift) {
    put(1, KindFigure, 100, 100, 50, 40);
    put(2, KindFigure, 200, 100, 50, 40);
    put(3, KindFigure, 100, 300, 50, 40);
    put(4, KindFigure, 255, 105, 50, 30);  // reaches out of the first band on the right
    put(5, KindFigure, 120, 110, 10, 10).extras.locked = true;
    pull(90, 90, 260, 150);
    EXPECT_EQ(ed->selection(), Slots({1, 2}));
    EXPECT_TRUE(ed->rubberBand().isEmpty());  // gone with the release
    // The band is drawn while it is pulled.
    mouseWith(QEvent::MouseButtonPress, 90, 290, Qt::ShiftModifier);
    mouseWith(QEvent::MouseMove, 170, 350, Qt::ShiftModifier);
    EXPECT_EQ(ed->rubberBand(), QRect(QPoint(90, 290), QPoint(170, 350)));
    // Escape drops the band and keeps the selection.
    key(Qt::Key_Escape);
    EXPECT_TRUE(ed->rubberBand().isEmpty());
    EXPECT_EQ(ed->selection(), Slots({1, 2}));
    mouseWith(QEvent::MouseButtonRelease, 170, 350, Qt::ShiftModifier);
    pull(90, 290, 170, 350, Qt::ShiftModifier);
    EXPECT_EQ(ed->selection(), Slots({1, 2, 3}));
    // A band over nothing selects nothing.
    pull(500, 400, 560, 450);
    EXPECT_TRUE(ed->selection().empty());
}

TEST_F(Selection, SeveralMoveAndScaleTogetherAsOneStepAndLockedOnesStay) {
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    CardObject& b = put(2, KindFigure, 200, 150, 50, 40);
    ed->setSelection({1, 2});
    const int before = steps();
    pull(120, 110, 130, 125);
    EXPECT_EQ(a.x, 11000);
    EXPECT_EQ(a.y, 11500);
    EXPECT_EQ(b.x, 21000);
    EXPECT_EQ(b.y, 16500);
    EXPECT_EQ(steps(), before + 1);
    ed->history().undo();
    EXPECT_EQ(a.x, 10000);
    EXPECT_EQ(b.y, 15000);
    EXPECT_EQ(ed->selection(), Slots({1, 2}));  // undo brings the selection back

    // The bottom-right handle of the box around both (100..250, 100..190) doubles it.
    pull(250, 190, 400, 280);
    EXPECT_EQ(a.x, 10000);
    EXPECT_EQ(a.width, 10000);
    EXPECT_EQ(a.height, 8000);
    EXPECT_EQ(b.x, 30000);
    EXPECT_EQ(b.y, 20000);
    EXPECT_EQ(b.width, 10000);
    EXPECT_EQ(steps(), before + 1);  // the undone move is gone, the scaling is one step
    ed->history().undo();

    // A locked object of the selection stays where it is; the others move.
    b.extras.locked = true;
    pull(120, 110, 140, 110);
    EXPECT_EQ(a.x, 12000);
    EXPECT_EQ(b.x, 20000);
    // Alone, a locked object is not dragged at all.
    ed->selectSlot(2);
    pull(220, 160, 260, 160);
    EXPECT_EQ(b.x, 20000);
}

TEST_F(Selection, NudgeColourDeleteAndOrderActOnAllAsOneStep) {
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    put(3, KindFigure, 200, 100, 50, 40);
    CardObject& t = put(5, KindText, 300, 100, 50, 40);
    put(7, KindFigure, 400, 100, 50, 40);
    ed->setSelection({1, 3, 5});
    const int before = steps();
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(a.x, 10100);
    EXPECT_EQ(t.x, 30100);
    EXPECT_EQ(at(7).x, 40000);
    ed->commands().setColor(0x0000FF);
    EXPECT_EQ(a.color, 0x0000FFu);
    EXPECT_EQ(t.color, 0x0000FFu);
    EXPECT_EQ(at(7).color, 0u);
    EXPECT_EQ(steps(), before + 2);
    ed->history().undo();
    EXPECT_EQ(t.color, 0u);
    EXPECT_EQ(at(3).color, 0u);

    // To the front: the chosen ones go before all others, keeping their own order.
    CardObject* const objects[] = {&at(1), &at(3), &at(5), &at(7)};
    ed->setSelection({1, 5});
    ed->commands().bringToFront();
    EXPECT_EQ(&at(1), objects[1]);
    EXPECT_EQ(&at(3), objects[3]);
    EXPECT_EQ(&at(5), objects[0]);
    EXPECT_EQ(&at(7), objects[2]);
    EXPECT_EQ(ed->selection(), Slots({5, 7}));  // the selection follows its objects
    ed->commands().sendToBack();
    EXPECT_EQ(at(1).x, objects[0]->x);
    EXPECT_EQ(at(3).x, 30100);
    ed->history().undo();
    ed->history().undo();
    EXPECT_EQ(at(1).x, 10100);
    EXPECT_EQ(at(7).x, 40000);

    // Delete asks once for all of them.
    ed->setSelection({1, 3});
    dialogs.answers = {BtnYes};
    key(Qt::Key_Delete);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Wollen Sie die 2 Elemente löschen?"));
    EXPECT_FALSE(at(1).used());
    EXPECT_FALSE(at(3).used());
    EXPECT_TRUE(at(5).used());
    ed->history().undo();
    EXPECT_TRUE(at(1).used() && at(3).used());
    EXPECT_EQ(ed->selection(), Slots({1, 3}));
}

TEST_F(Selection, GroupsSelectMoveAndCopyAsOne) {
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    CardObject& b = put(2, KindText, 200, 100, 50, 40);
    put(3, KindFigure, 300, 100, 50, 40);
    put(4, KindFigure, 400, 100, 50, 40).extras.group = 7;  // a group of one elsewhere
    ed->setSelection({1, 2});
    ed->commands().group();
    EXPECT_EQ(a.extras.group, 8);
    EXPECT_EQ(b.extras.group, 8);
    EXPECT_EQ(at(3).extras.group, 0);
    click(0, 600, 20);
    // A click on one member selects the group; Ctrl+click adds and takes away all of it.
    click(0, 220, 110);
    EXPECT_EQ(ed->selection(), Slots({1, 2}));
    EXPECT_EQ(ed->selectedSlot(), 2);
    clickWith(320, 110, Qt::ControlModifier);
    clickWith(120, 110, Qt::ControlModifier);
    EXPECT_EQ(ed->selection(), Slots({3}));
    // A band over one member takes the whole group.
    pull(90, 90, 160, 150);
    EXPECT_EQ(ed->selection(), Slots({1, 2}));
    // The group moves as one.
    pull(120, 110, 120, 130);
    EXPECT_EQ(a.y, 12000);
    EXPECT_EQ(b.y, 12000);

    // Copy and paste: the copies form a group of their own and are selected.
    ASSERT_TRUE(ed->clipboard().copy());
    const int pasted = ed->clipboard().pasteMime(*QGuiApplication::clipboard()->mimeData());
    ASSERT_GT(pasted, 0);
    const Slots copies = ed->selection();
    ASSERT_EQ(copies.size(), 2u);
    for (int s : copies) {
        EXPECT_NE(s, 1);
        EXPECT_NE(s, 2);
        EXPECT_EQ(at(s).extras.group, 9);
    }
    EXPECT_EQ(a.extras.group, 8);
    // Duplicating gives yet another group.
    ASSERT_TRUE(ed->clipboard().duplicate());
    for (int s : ed->selection()) EXPECT_EQ(at(s).extras.group, 10);

    // Ungrouped, a click selects one object again; one undo brings the group back.
    ed->setSelection({1});
    ed->commands().ungroup();
    EXPECT_EQ(a.extras.group, 0);
    EXPECT_EQ(b.extras.group, 0);
    click(0, 600, 20);
    click(0, 120, 130);
    EXPECT_EQ(ed->selection(), Slots({1}));
    ed->history().undo();
    EXPECT_EQ(a.extras.group, 8);
    EXPECT_EQ(b.extras.group, 8);
}

TEST_F(Selection, AlignAndDistributeOnTheSelectionOrOneObjectOnItsHalf) {
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    CardObject& b = put(2, KindFigure, 180, 130, 30, 20);
    CardObject& c = put(3, KindFigure, 300, 90, 60, 60);
    key(Qt::Key_A, Qt::ControlModifier);
    const int before = steps();
    ed->alignSelected(AlignEdge::Right);
    EXPECT_EQ(a.x + a.width, 36000);
    EXPECT_EQ(b.x + b.width, 36000);
    EXPECT_EQ(c.x, 30000);
    EXPECT_EQ(steps(), before + 1);
    ed->history().undo();
    ed->alignSelected(AlignEdge::Bottom);
    EXPECT_EQ(a.y + a.height, 15000);
    EXPECT_EQ(b.y, 13000);
    ed->history().undo();
    ed->distributeSelected(true);
    EXPECT_EQ(a.x, 10000);
    EXPECT_EQ(b.x, 21000);  // gaps of 60 pixels on both sides
    EXPECT_EQ(c.x, 30000);
    ed->history().undo();

    // A group lines up as one box: its members keep their places among themselves.
    ed->setSelection({1, 2});
    ed->commands().group();
    key(Qt::Key_A, Qt::ControlModifier);
    ed->alignSelected(AlignEdge::Left);
    EXPECT_EQ(a.x, 10000);
    EXPECT_EQ(b.x, 18000);
    EXPECT_EQ(c.x, 10000);

    // One object lines up on the half of the card it lies in.
    const CardGeometry card = cardGeometry(*doc);
    CardObject& d = put(4, KindFigure, 0, 0, 20, 10);
    d.x = card.left + 1000;
    d.y = card.top + 1000;
    ed->setSelection({4});
    ed->alignSelected(AlignEdge::Right);
    EXPECT_EQ(d.x + d.width, card.fold);
    ed->alignSelected(AlignEdge::Bottom);
    EXPECT_EQ(d.y + d.height, card.bottom);
    d.x = card.fold + 500;
    ed->alignSelected(AlignEdge::Right);
    EXPECT_EQ(d.x + d.width, card.right);
    // Several objects centred on the card stay together.
    ed->setSelection({1, 3});
    ed->centreSelected(EditorController::CentreOn::CardHorizontally);
    EXPECT_EQ(b.x - a.x, 8000);
    EXPECT_EQ(c.x, a.x);
    const int64_t right = std::max(int64_t(b.x) + b.width, int64_t(c.x) + c.width);
    EXPECT_LE(std::abs((a.x - card.left) - (card.right - right)), 1);
}

TEST_F(Selection, TheObjectListShowsSelectsReordersAndLocks) {
    put(1, KindText, 100, 100, 50, 40).content =
        QStringLiteral("Hallo Welt, wie geht es dir heute?");
    put(2, KindFigure, 200, 100, 50, 40).figureKind = 3;
    put(3, KindFigure, 300, 100, 50, 40).figureKind = 0;
    ed->repaintBoth();
    QApplication::processEvents();
    QListWidget* list = ed->objectList().list();
    ASSERT_EQ(list->count(), 3);
    // The front object at the top.
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Figur: Kreis"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Figur: Rechteck"));
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("Text: Hallo Welt, wie geht es…"));
    CardObject picture;
    picture.kind = KindPicture;
    picture.content = QStringLiteral("/home/anna/Bilder/Urlaub 2026.jpg");
    EXPECT_EQ(ObjectList::rowText(picture), QStringLiteral("Bild: Urlaub 2026.jpg"));

    // The card's selection shows in the list, and rows chosen in the list select on the card.
    click(0, 220, 110);
    ed->objectList().refresh();
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_FALSE(list->item(0)->isSelected());
    list->clearSelection();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    EXPECT_EQ(ed->selection(), Slots({1, 3}));

    // Dragging the text's row to the top puts it in front of all: one step of the history.
    CardObject* text = &at(1);
    const int before = steps();
    ASSERT_TRUE(list->model()->moveRow(QModelIndex(), 2, QModelIndex(), 0));
    QApplication::processEvents();
    EXPECT_EQ(&at(3), text);
    EXPECT_EQ(at(1).figureKind, 3);
    EXPECT_EQ(steps(), before + 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Text: Hallo Welt, wie geht es…"));
    ed->history().undo();
    EXPECT_EQ(at(1).kind, KindText);

    // The lock: the object is no longer picked on the card, but the list still selects it.
    ed->repaintBoth();
    ed->objectList().refresh();
    QListWidgetItem* rectangle = list->item(1);
    ASSERT_EQ(ObjectList::slotOf(rectangle), 2);
    rectangle->setCheckState(Qt::Checked);
    EXPECT_TRUE(at(2).extras.locked);
    click(0, 600, 20);
    click(0, 220, 110);
    EXPECT_TRUE(ed->selection().empty());
    ed->objectList().refresh();
    list->clearSelection();
    list->item(1)->setSelected(true);
    EXPECT_EQ(ed->selection(), Slots({2}));
    pull(220, 110, 260, 150);
    EXPECT_EQ(at(2).x, 20000);
    ed->history().undo();
    EXPECT_FALSE(at(2).extras.locked);
}

TEST_F(Selection, ThePanelShowsWhatTheObjectsShareAndSetsItOnAll) {
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    CardObject& b = put(2, KindFigure, 200, 100, 50, 40);
    a.figureKind = 0;
    b.figureKind = 3;
    a.color = b.color = 0x00FF00;
    ed->setSelection({1, 2}, 2);
    ed->repaintBoth();
    PropertyPanel& p = ed->panel();
    // The colour they share shows; the figure kinds differ, so no kind is checked.
    EXPECT_EQ(p.figureColorCombo->color(), 0x00FF00u);
    for (QRadioButton* r : p.figureRadios) EXPECT_FALSE(r->isChecked());
    const int before = steps();
    p.figureRadios[5]->click();
    EXPECT_EQ(a.figureKind, 5);
    EXPECT_EQ(b.figureKind, 5);
    EXPECT_EQ(steps(), before + 1);
    // Colours that differ show no entry; choosing the current object's own colour still
    // reaches the other one.
    a.color = 0x0000FF;
    ed->setSelection({1, 2}, 2);
    EXPECT_EQ(p.figureColorCombo->currentIndex(), -1);
    p.figureColorCombo->setColor(0x00FF00);
    EXPECT_EQ(a.color, 0x00FF00u);
    EXPECT_EQ(b.color, 0x00FF00u);

    // Two pictures, one of them kept in proportion: the box shows the third state, and a
    // click keeps both in proportion.
    CardObject& c = put(3, KindPicture, 100, 300, 40, 20);
    CardObject& d = put(4, KindPicture, 200, 300, 40, 20);
    c.keepAspect = true;
    d.keepAspect = false;
    ed->setSelection({3, 4}, 4);
    ed->repaintBoth();
    EXPECT_EQ(p.keepAspectCheck->checkState(), Qt::PartiallyChecked);
    p.keepAspectCheck->click();
    EXPECT_TRUE(c.keepAspect);
    EXPECT_TRUE(d.keepAspect);
    ed->repaintBoth();
    EXPECT_EQ(p.keepAspectCheck->checkState(), Qt::Checked);
    EXPECT_FALSE(p.keepAspectCheck->isTristate());
}

TEST_F(Selection, DamagedListsOfObjectsPasteNothingOrOnlyTheirWholeObjects) {
    CardObject fig;
    fig.kind = KindFigure;
    fig.width = fig.height = 1000;
    const QByteArray good = objectPayload(fig);
    std::vector<QByteArray> read;
    EXPECT_FALSE(objectListFromPayload("junk", read));
    EXPECT_FALSE(objectListFromPayload(objectListPayload({}), read));
    QByteArray cut = objectListPayload({good, good});
    cut.chop(3);
    EXPECT_FALSE(objectListFromPayload(cut, read));
    // A count beyond a side's slots is refused before anything is read.
    QByteArray huge = objectListPayload({good});
    huge[4] = char(0x7f);
    EXPECT_FALSE(objectListFromPayload(huge, read));
    EXPECT_TRUE(read.empty());

    QMimeData junk;
    junk.setData(kObjectListMimeType, "junk");
    EXPECT_EQ(ed->clipboard().pasteMime(junk), 0);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 0);
    // One entry that is no object is passed over; the whole ones are pasted and selected.
    QMimeData mixed;
    mixed.setData(kObjectListMimeType, objectListPayload({good, "no object", good}));
    EXPECT_GT(ed->clipboard().pasteMime(mixed), 0);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 2);
    EXPECT_EQ(ed->selection().size(), 2u);
}

}  // namespace
