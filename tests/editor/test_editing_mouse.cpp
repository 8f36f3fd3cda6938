// Selection, dragging, menus on the right button, the double click, keys, zoom, pan and
// creation, driven through mouse and key events on both editor views.
#include "EditingFixture.h"

#include "editor/Cursors.h"
#include "editor/PictureOpenDialog.h"
#include "editor/TextEntryDialog.h"
#include "editor/ToolPalette.h"

#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyleHints>
#include <QToolButton>

#include <array>

using namespace bb;
using bbtest::EditingFixture;

namespace {

class EditingMouse : public EditingFixture, public ::testing::WithParamInterface<int> {};

TEST_P(EditingMouse, PressSelectsSecondPressDragsOutlineOnlyReleaseRepaints) {
    const int side = GetParam();
    tab->selectSide(side);
    QApplication::processEvents();
    CardObject& a = put(4, KindFigure, 100, 100, 50, 40);
    // First press selects and does not move, even when the mouse moves before release.
    press(side, 120, 110);
    EXPECT_EQ(ed->selectedSlot(), 4);
    move(side, 200, 200);
    release(side, 200, 200);
    EXPECT_EQ(a.x, 10000);
    EXPECT_EQ(a.y, 10000);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 1);  // the pointer creates nothing

    // Second press on the body starts a move; moves change the object but never re-render.
    press(side, 120, 110);
    EXPECT_EQ(ed->cursorNumber(), CursorDrag);  // the body is taken
    const int renders = view(side)->renderCount();
    for (int i = 1; i <= 20; ++i) move(side, 120 + i, 110 + 2 * i);
    QApplication::processEvents();
    EXPECT_EQ(view(side)->renderCount(), renders);
    EXPECT_EQ(a.x, (140 - 20) * 100);
    EXPECT_EQ(a.y, (150 - 10) * 100);
    // The outline is drawn over the kept bitmap, inverted: a white pixel turns black.
    QImage shot = view(side)->grab(QRect(120, 140, 50, 40)).toImage();
    EXPECT_EQ(QColor(shot.pixel(0, 20)).lightness(), 0);
    release(side, 125, 115);
    EXPECT_GT(view(side)->renderCount(), renders);
    EXPECT_EQ(a.x, 10500);
    EXPECT_EQ(a.y, 10500);
    // After the release the object no longer follows the mouse.
    move(side, 300, 300);
    EXPECT_EQ(a.x, 10500);

    // A press on empty space drops the selection.
    click(side, 600, 20);
    EXPECT_EQ(ed->selectedSlot(), 0);
}

TEST_P(EditingMouse, HandleDragMirrorsAndCursorsFollowTheTool) {
    const int side = GetParam();
    CardObject& a = put(1, KindFigure, 100, 100, 50, 40);
    click(side, 120, 110);
    // Hover feedback on both views: handle, body, empty space.
    move(side, 98, 98);
    EXPECT_EQ(ed->cursorNumber(), DragTopLeft);
    EXPECT_EQ(view(1 - side)->cursor().shape(), Qt::SizeFDiagCursor);
    move(side, 120, 110);
    EXPECT_EQ(ed->cursorNumber(), CursorDrag);
    EXPECT_EQ(view(side)->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(view(side)->cursor().hotSpot(), QPoint(15, 16));
    move(side, 400, 400);
    EXPECT_EQ(ed->cursorNumber(), CursorArrow);

    // Right edge pulled leftwards past the left edge: a left-edge drag with positive width.
    press(side, 150, 120);
    EXPECT_EQ(ed->cursorNumber(), DragRight);
    move(side, 80, 120);
    release(side, 70, 120);
    EXPECT_EQ(a.x, 7000);
    EXPECT_EQ(a.width, 3000);

    ed->tools().setCurrent(ToolZoom);
    move(side, 10, 10);
    EXPECT_EQ(ed->cursorNumber(), CursorLupe);
    EXPECT_EQ(view(side)->cursor().hotSpot(), QPoint(0, 0));
    ed->tools().setCurrent(ToolHand);
    EXPECT_EQ(ed->cursorNumber(), CursorDrag);
    ed->tools().setCurrent(ToolText);
    EXPECT_EQ(ed->cursorNumber(), CursorMultiDrag);
    ed->tools().setCurrent(ToolContent);
    EXPECT_EQ(view(side)->cursor().shape(), Qt::IBeamCursor);
    click(side, 120, 110);  // the content tool does nothing
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 1);
}

TEST_P(EditingMouse, RightPressOpensTheObjectMenuOrTheViewMenu) {
    const int side = GetParam();
    put(1, KindPicture, 100, 100, 80, 80);
    put(9, KindText, 120, 120, 80, 80);  // in front of slot 1
    // Select slot 1 where it is alone, then right press on the overlap: the menu is for it.
    click(side, 105, 105);
    ASSERT_EQ(ed->selectedSlot(), 1);
    press(side, 150, 150, Qt::RightButton);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus.back(), ed->menus().objectMenu());
    EXPECT_TRUE(menus.back()->isVisible());
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_TRUE(ed->menus().item("Transparenz1")->isEnabled());
    menus.back()->close();

    // Right press on an unselected object selects it and opens the menu for it.
    press(side, 190, 190, Qt::RightButton);
    EXPECT_EQ(ed->selectedSlot(), 9);
    EXPECT_EQ(menus.back(), ed->menus().objectMenu());
    EXPECT_FALSE(ed->menus().item("Transparenz1")->isEnabled());
    menus.back()->close();

    // Empty space: the selection goes and the view menu opens.
    press(side, 500, 30, Qt::RightButton);
    EXPECT_EQ(ed->selectedSlot(), 0);
    EXPECT_EQ(menus.back(), ed->menus().viewMenu());
    menus.back()->close();

    // With the zoom tool a right press zooms out and opens nothing.
    ed->tools().setCurrent(ToolZoom);
    const size_t opened = menus.size();
    press(side, 500, 30, Qt::RightButton);
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, 150.0);
    EXPECT_EQ(menus.size(), opened);
}

TEST_P(EditingMouse, DoubleClickOnTextOpensTheTextDialogOnceAndItsSecondPressCountsForNothing) {
    const int side = GetParam();
    CardObject& t = put(3, KindText, 100, 100, 60, 30);
    t.content = QStringLiteral("Hallo") + QChar(13) + QStringLiteral("Welt");
    QStringList shown;
    answer = [&](QDialog&) {
        shown = ed->commands().textEntryDialog().lines();
        return int(QDialog::Rejected);
    };
    click(side, 110, 110);
    // The platform's order: the second press, then the double click, then the release; the
    // mouse wanders a pixel between press and double click.
    press(side, 110, 110);
    move(side, 111, 111);
    mouse(side, QEvent::MouseButtonDblClick, Qt::LeftButton, 111, 111);
    release(side, 111, 111);
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(shown, QStringList({QStringLiteral("Hallo"), QStringLiteral("Welt")}));
    EXPECT_EQ(ed->selectedSlot(), 3);
    // The second press's drag is undone and over: the text stays where it was.
    move(side, 150, 150);
    EXPECT_EQ(t.x, 10000);
    EXPECT_EQ(t.y, 10000);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 1);
    // The next press is an ordinary one again.
    press(side, 110, 110);
    move(side, 125, 110);
    EXPECT_EQ(t.x, 11500);
    release(side, 125, 110);

    // On a figure a double click opens nothing and leaves the second press's drag alone.
    put(5, KindFigure, 300, 300, 40, 40);
    click(side, 310, 310);
    press(side, 310, 310);
    mouse(side, QEvent::MouseButtonDblClick, Qt::LeftButton, 310, 310);
    EXPECT_EQ(dialogRuns, 1);
    release(side, 320, 310);
    EXPECT_EQ(ed->editedSlots()[5]->x, 31000);
}

TEST_P(EditingMouse, TheSecondPressOfADoubleClickBelongsToTheObjectTheFirstOneHit) {
    const int side = GetParam();
    const int reach = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    ASSERT_GE(reach, 3);
    CardObject& a = put(3, KindText, 100, 100, 60, 30);
    a.content = QStringLiteral("erster");
    CardObject& b = put(4, KindText, 162, 100, 60, 30);  // two pixels right of a
    b.content = QStringLiteral("zweiter");
    QStringList shown;
    answer = [&](QDialog&) {
        shown << ed->commands().textEntryDialog().lines().join(u'|');
        return int(QDialog::Rejected);
    };
    const auto doubleClick = [&](QPoint first, QPoint second) {
        click(side, first.x(), first.y());
        press(side, second.x(), second.y());
        mouse(side, QEvent::MouseButtonDblClick, Qt::LeftButton, second.x(), second.y());
        release(side, second.x(), second.y());
    };

    // The second press lands just below the text, on empty space.
    doubleClick({112, 127}, {112, 127 + reach});
    EXPECT_EQ(shown, QStringList({QStringLiteral("erster")}));
    EXPECT_EQ(ed->selectedSlot(), 3);
    // The second press lands on the neighbouring text.
    ed->edited().slot = 0;
    doubleClick({157, 110}, {157 + reach, 110});
    EXPECT_EQ(shown, QStringList({QStringLiteral("erster"), QStringLiteral("erster")}));
    EXPECT_EQ(ed->selectedSlot(), 3);
    // First press beside both texts: the double click opens nothing and selects nothing.
    ed->edited().slot = 0;
    doubleClick({112, 132}, {112, 129});
    EXPECT_EQ(shown.size(), 2);
    EXPECT_EQ(ed->selectedSlot(), 0);
    // Beyond the double-click distance the second press is an ordinary one.
    doubleClick({130, 110}, {190 + reach, 110});
    EXPECT_EQ(shown.size(), 2);
    EXPECT_EQ(ed->selectedSlot(), 4);
    EXPECT_EQ(a.x, 10000);
    EXPECT_EQ(b.x, 16200);
}

TEST_P(EditingMouse, KeysStepThroughObjectsAndDeleteAsks) {
    const int side = GetParam();
    view(side)->setFocus();
    QTest::keyClick(view(side), Qt::Key_Down);  // nothing selected: nothing happens
    EXPECT_EQ(ed->selectedSlot(), 0);
    put(3, KindFigure, 10, 10, 5, 5);
    put(7, KindText, 30, 30, 5, 5);
    put(kSlotCount, KindFigure, 50, 50, 5, 5);
    ed->edited().slot = 7;
    QTest::keyClick(view(side), Qt::Key_Down);
    EXPECT_EQ(ed->selectedSlot(), kSlotCount);
    QTest::keyClick(view(side), Qt::Key_Up);
    EXPECT_EQ(ed->selectedSlot(), 3);

    dialogs.answers = {BtnNo, BtnYes};
    QTest::keyClick(view(side), Qt::Key_Delete);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Wollen Sie das Element löschen?"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Element löschen"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo);
    EXPECT_EQ(ed->editedSlots()[3]->kind, KindFigure);
    EXPECT_EQ(ed->selectedSlot(), 3);
    QTest::keyClick(view(side), Qt::Key_Delete);
    EXPECT_EQ(ed->editedSlots()[3]->kind, KindFree);
    EXPECT_EQ(ed->selectedSlot(), 0);
    QTest::keyClick(view(side), Qt::Key_Delete);  // nothing selected: no question
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_P(EditingMouse, ZoomClickCentresThePointAndHandPans) {
    const int side = GetParam();
    ed->tools().setCurrent(ToolZoom);
    const QSize before = view(side)->size();
    press(side, 300, 200);
    EXPECT_NEAR(doc->unitsPerPixel, 100.0 / 1.5, 1e-9);
    EXPECT_GT(view(side)->width(), before.width());
    // Both views have the new size after an inside click (the outside one always).
    EXPECT_EQ(view(0)->size(), tab->views().paintBoxSize());
    if (side == 1) {
        EXPECT_EQ(view(1)->size(), view(0)->size());
        EXPECT_EQ(view(0)->scrollX(), view(1)->scrollX());
    }
    const int sx = doc->screenPixels(30000) - view(side)->scrollBox()->width() / 2;
    EXPECT_EQ(view(side)->scrollX(), std::clamp(sx, 0, view(side)->scrollRangeX() - 1));
    for (int i = 0; i < 20; ++i) press(side, 10, 10);
    EXPECT_LE(doc->unitsPerPixel, 50.0);
    EXPECT_GT(doc->unitsPerPixel, 50.0 / 1.5);

    ed->tools().setCurrent(ToolHand);
    view(side)->setScroll(100, 100);
    const int x0 = view(side)->scrollX(), y0 = view(side)->scrollY();
    press(side, 400, 300);
    move(side, 380, 290);
    EXPECT_EQ(view(side)->scrollX(), x0 + 20);
    EXPECT_EQ(view(side)->scrollY(), y0 + 10);
    release(side, 380, 290);
    // After the release the view no longer follows the mouse.
    const QPoint released(view(side)->scrollX(), view(side)->scrollY());
    move(side, 300, 200);
    EXPECT_EQ(QPoint(view(side)->scrollX(), view(side)->scrollY()), released);
}

TEST_P(EditingMouse, AClickWithinTheDragDistanceMovesNothingAndRecordsNothing) {
    const int side = GetParam();
    tab->selectSide(side);
    QApplication::processEvents();
    // A box that does not start on a whole view pixel.
    CardObject& a = put(4, KindFigure, 100, 100, 50, 40);
    a.x += 50;
    a.y += 70;
    const auto box = [&] { return std::array<int32_t, 4>{a.x, a.y, a.width, a.height}; };
    const auto before = box();
    click(side, 120, 110);
    ASSERT_EQ(ed->selectedSlot(), 4);
    const int steps = ed->history().stack().count();
    const int near = QApplication::startDragDistance() - 1;
    ASSERT_GE(near, 1);

    // On the body and on a handle: a click, and a press that wanders less than the drag
    // distance before its release.
    for (QPoint at : {QPoint(120, 110), QPoint(151, 141)}) {
        click(side, at.x(), at.y());
        press(side, at.x(), at.y());
        EXPECT_EQ(ed->cursorNumber(), at.x() == 120 ? int(CursorDrag) : int(DragBottomRight));
        move(side, at.x() + near, at.y());
        release(side, at.x(), at.y() + near);
        EXPECT_EQ(box(), before) << at.x();
    }
    EXPECT_EQ(ed->history().stack().count(), steps);

    // Beyond the distance the object follows the mouse, the whole way, as one step.
    press(side, 120, 110);
    move(side, 120 + near + 1, 110);
    move(side, 130, 110);
    release(side, 130, 110);
    EXPECT_EQ(doc->screenPixels(a.x), 110);
    EXPECT_EQ(ed->history().stack().count(), steps + 1);
    EXPECT_EQ(ed->history().stack().undoText(), QStringLiteral("Objekt verschieben"));
}

INSTANTIATE_TEST_SUITE_P(BothViews, EditingMouse, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Inside" : "Outside"; });

// ---- the double click as the platform delivers it ----

// Mouse events through the window, so that Qt itself makes the double click out of two
// presses and the views get what the platform gives them.
class PlatformDoubleClick : public EditingFixture {
protected:
    // A point of the outside view inside its visible part, in view pixels.
    QPoint shown(int dx, int dy) { return {view(0)->scrollX() + dx, view(0)->scrollY() + dy}; }
    QPoint inWindow(QPoint viewPoint) { return view(0)->mapTo(window.get(), viewPoint); }
    void windowDoubleClick(QPoint viewPoint) {
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, inWindow(viewPoint));
    }
};

TEST_F(PlatformDoubleClick, OnATextOpensTheTextDialogOnceAndMovesNothing) {
    const QPoint at = shown(100, 100);
    CardObject& t = put(3, KindText, at.x() - 10, at.y() - 10, 80, 30);
    t.content = QStringLiteral("Hallo");
    const int32_t x = t.x, y = t.y;
    answer = [](QDialog&) { return int(QDialog::Rejected); };

    // On the text not yet selected, and again on the selected one.
    windowDoubleClick(at);
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(ed->selectedSlot(), 3);
    windowDoubleClick(at + QPoint(5, 0));
    EXPECT_EQ(dialogRuns, 2);
    // No drag is left running: the text does not follow the mouse.
    QTest::mouseMove(window->windowHandle(), inWindow(at + QPoint(40, 20)));
    EXPECT_EQ(t.x, x);
    EXPECT_EQ(t.y, y);

    // While typing on it too; the session ends first.
    QTest::keyClicks(view(0), QStringLiteral("!"));
    ASSERT_TRUE(ed->textEditing());
    windowDoubleClick(at);
    EXPECT_EQ(dialogRuns, 3);
    EXPECT_FALSE(ed->textEditing());
}

TEST_F(PlatformDoubleClick, ElsewhereItIsAPressLikeAnyOther) {
    const QPoint at = shown(100, 100);
    CardObject& f = put(5, KindFigure, at.x() - 10, at.y() - 10, 40, 40);
    const int32_t x = f.x;
    // On a figure: nothing opens, the figure is selected and stays where it is.
    windowDoubleClick(at);
    EXPECT_EQ(dialogRuns, 0);
    EXPECT_EQ(ed->selectedSlot(), 5);
    EXPECT_EQ(f.x, x);
    // Two quick clicks of the zoom tool zoom in twice.
    ed->tools().setCurrent(ToolZoom);
    windowDoubleClick(shown(300, 300));
    EXPECT_DOUBLE_EQ(doc->unitsPerPixel, zoomInStep(zoomInStep(100.0)));
    EXPECT_EQ(dialogRuns, 0);
}

// ---- creation ----

using EditingCreation = EditingFixture;

TEST_F(EditingCreation, FigureAndTextTakeTheTableFieldsAndDefaultsForTheRest) {
    ed->tools().setCurrent(ToolFigure);
    release(0, 100, 40);
    CardObject& f = *ed->editedSlots()[1];
    EXPECT_EQ(f.kind, KindFigure);
    EXPECT_EQ(f.x, 10000);
    EXPECT_EQ(f.y, 4000);
    EXPECT_EQ(f.width, 5000);
    EXPECT_EQ(f.height, 5000);
    EXPECT_EQ(f.figureKind, FigRectangle);
    // The line width the panel shows is the one the figure has.
    EXPECT_EQ(f.lineWidth, 1);
    QApplication::processEvents();
    EXPECT_EQ(ed->panel().lineWidthEdit->value(), f.lineWidth);
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_EQ(ed->tools().current(), ToolPointer);
    EXPECT_TRUE(ed->tools().button(ToolPointer)->isChecked());

    // Whatever a free slot still holds, the new text starts from the defaults.
    CardObject& old = *ed->editedSlots()[2];
    old.alignment = 2;
    old.rotation = 1;
    old.shadow = true;
    old.shadowDx = 77;
    old.content = QStringLiteral("alt");
    ed->tools().setCurrent(ToolText);
    release(1, 200, 200);
    EXPECT_EQ(old.kind, KindText);
    EXPECT_EQ(old.alignment, 0);
    EXPECT_EQ(old.rotation, 0);
    EXPECT_FALSE(old.shadow);
    EXPECT_EQ(old.shadowDx, 5);
    EXPECT_TRUE(old.content.isEmpty());
    EXPECT_EQ(old.fontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(old.fontHeight, -16);
    EXPECT_EQ(old.fontSize, 12);
    ed->tools().setCurrent(ToolText);
    release(1, 300, 200);
    EXPECT_EQ(ed->editedSlots()[3]->alignment, 0);
    EXPECT_EQ(ed->editedSlots()[3]->shadowDx, 5);
}

TEST_F(EditingCreation, PictureToolStartsInTheCardsFolderThenWhereThePictureCameFrom) {
    bbtest::TempFolder cards, pictures;
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(pictures.file(QStringLiteral("blau.bmp")), "BMP"));
    PictureOpenDialog& open = ed->pictureOpenDialog();
    open.startFolder().setCardFolder(cards.path());
    QStringList shownIn;
    answer = [&](QDialog&) {
        shownIn << open.folder();
        return int(QDialog::Rejected);
    };
    ed->tools().setCurrent(ToolPicture);
    release(0, 50, 60);  // a new card: the card folder
    doc->fileName = QDir(folder.path()).filePath(QStringLiteral("Geburtstag.kar"));
    release(0, 50, 60);  // a saved card: its own folder
    answer = [&](QDialog&) {
        shownIn << open.folder();
        open.fileNameEdit->setText(pictures.file(QStringLiteral("blau.bmp")));
        open.openChosen();
        return int(QDialog::Accepted);
    };
    release(0, 50, 60);
    ASSERT_EQ(ed->editedSlots()[1]->kind, KindPicture);
    ed->tools().setCurrent(ToolPicture);
    answer = [&](QDialog&) {
        shownIn << open.folder();
        return int(QDialog::Rejected);
    };
    release(0, 200, 60);  // where the last picture came from
    EXPECT_EQ(shownIn,
              (QStringList{QDir::cleanPath(cards.path()), QDir::cleanPath(folder.path()),
                           QDir::cleanPath(folder.path()), QDir::cleanPath(pictures.path())}));
}

TEST_F(EditingCreation, ObjectsMadeAfterADeletionOrANewCardInheritNothing) {
    // A turned, shadowed, outlined text is deleted; the next text reuses its slot.
    CardObject& t = put(1, KindText, 100, 100, 60, 30);
    t.rotation = 1;
    t.shadow = true;
    t.shadowDx = -30;
    t.outline = true;
    t.outlineColor = rgbRef(255, 0, 0);
    t.alignment = 2;
    ed->edited().slot = 1;
    dialogs.answers = {BtnYes};
    ed->commands().deleteSelected();
    ASSERT_EQ(ed->editedSlots()[1]->kind, KindFree);
    ed->tools().setCurrent(ToolText);
    release(0, 300, 300);
    const CardObject& n = *ed->editedSlots()[1];
    ASSERT_EQ(n.kind, KindText);
    EXPECT_EQ(n.rotation, 0);
    EXPECT_FALSE(n.shadow);
    EXPECT_EQ(n.shadowDx, 5);
    EXPECT_FALSE(n.outline);
    EXPECT_EQ(n.outlineColor, 0u);
    EXPECT_EQ(n.alignment, 0);

    // A picture in a round frame on the inside, then a new card: a figure made in its slot
    // has the figure defaults.
    CardObject& in = *doc->insideSlots[1];
    in.kind = KindPicture;
    in.roundFrame = true;
    in.transparentColor = int32_t(rgbRef(1, 2, 3));
    in.keepAspect = false;
    doc->clearAll();
    tab->selectSide(1);
    QApplication::processEvents();
    ed->tools().setCurrent(ToolFigure);
    release(1, 50, 50);
    const CardObject& f = *ed->editedSlots()[1];
    ASSERT_EQ(f.kind, KindFigure);
    EXPECT_EQ(f.lineWidth, 1);
    EXPECT_FALSE(f.roundFrame);
    EXPECT_EQ(f.fillMode, FillSolid);
}

TEST_F(EditingCreation, PictureToolLoadsThroughTheOpenDialog) {
    QImage img(600, 300, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(folder.file(QStringLiteral("bild.bmp")), "BMP"));
    ed->tools().setCurrent(ToolPicture);
    // Cancel: nothing, no message, the picture tool stays.
    release(0, 50, 60);
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 0);
    EXPECT_EQ(ed->tools().current(), ToolPicture);

    answer = [&](QDialog&) {
        ed->pictureOpenDialog().fileNameEdit->setText(QStringLiteral("fehlt.bmp"));
        ed->pictureOpenDialog().openChosen();
        return int(QDialog::Accepted);
    };
    release(0, 50, 60);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Konnte Bild (fehlt.bmp) nicht Laden."));
    EXPECT_TRUE(dialogs.messages[0].caption.isEmpty());
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 0);
    EXPECT_TRUE(ed->editedSlots()[1]->picture.isNull());
    EXPECT_EQ(ed->tools().current(), ToolPicture);

    answer = [&](QDialog&) {
        ed->pictureOpenDialog().fileNameEdit->setText(QStringLiteral("bild.bmp"));
        ed->pictureOpenDialog().openChosen();
        return int(QDialog::Accepted);
    };
    release(0, 50, 60);
    CardObject& p = *ed->editedSlots()[1];
    ASSERT_EQ(p.kind, KindPicture);
    EXPECT_EQ(p.content, QStringLiteral("bild.bmp"));  // in the program folder: bare name
    EXPECT_EQ(p.picture.width(), 600);
    const int px = int(10000.0 / 96 * 600 * 1.0 / 100.0);
    EXPECT_EQ(p.width, px * 100);
    EXPECT_EQ(p.height, int(10000.0 / 96 * 300 / 100.0) * 100);
    EXPECT_EQ(ed->tools().current(), ToolPointer);
    EXPECT_TRUE(dialogs.openRequests.isEmpty());  // our own dialog, not the platform's
}

TEST_F(EditingCreation, FullSideComplainsOnlyWithACreationTool) {
    for (int s = 1; s <= kSlotCount; ++s) ed->editedSlots()[s]->kind = KindFigure;
    release(0, 700, 20);  // pointer tool
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ed->tools().setCurrent(ToolFigure);
    release(0, 700, 20);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Es wurden zuviele Objekte erstellt!"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Fehler: Kein freies Objekt mehr"));
}

TEST_F(EditingCreation, ShowingTheOtherSideDropsTheSelection) {
    put(2, KindFigure, 100, 100, 40, 40);
    click(0, 110, 110);
    ASSERT_EQ(ed->selectedSlot(), 2);
    tab->selectSide(1);
    EXPECT_EQ(ed->selectedSlot(), 0);
    // A stale slot number never reaches the commands: a free slot counts as no selection.
    ed->edited().slot = 2;
    EXPECT_EQ(ed->selected(), nullptr);
    ed->commands().deleteSelected();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(EditingCursors, ProgramCursorsAreDrawnWithTheirHotSpots) {
    const QImage hand = dragHandImage();
    const QImage lupe = magnifierImage();
    EXPECT_EQ(hand.size(), QSize(32, 32));
    EXPECT_EQ(lupe.size(), QSize(32, 32));
    // Both have opaque and transparent pixels; the magnifier's glass reaches the hot spot.
    EXPECT_GT(qAlpha(hand.pixel(15, 16)), 0);
    EXPECT_EQ(qAlpha(hand.pixel(0, 0)), 0);
    EXPECT_GT(qAlpha(lupe.pixel(2, 9)), 0);
    EXPECT_EQ(editorCursor(CursorLupe).hotSpot(), QPoint(0, 0));
    EXPECT_EQ(editorCursor(CursorDrag).hotSpot(), QPoint(15, 16));
    EXPECT_EQ(editorCursor(DragTopRight).shape(), Qt::SizeBDiagCursor);
    EXPECT_EQ(editorCursor(DragBottom).shape(), Qt::SizeVerCursor);
}

}  // namespace
