// The object menu's enabling and marks, the whole-object commands, the property panel and the
// object dialogs (text, effects, transparency, colour, font), rotations, and the picture-open
// and background dialogs.
#include "EditingFixture.h"

#include "editor/BackgroundDialog.h"
#include "editor/ColorCombo.h"
#include "editor/PictureOpenDialog.h"
#include "editor/TextEffectsDialog.h"
#include "editor/TextEntryDialog.h"
#include "editor/TransparencyDialog.h"
#include "pictures/PictureOps.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <limits>

using namespace bb;
using bbtest::EditingFixture;

namespace {

using EditingMenus = EditingFixture;

TEST_F(EditingMenus, EnablingAndMarksFollowTheKind) {
    ObjectMenu& m = ed->menus();
    const QStringList always = {"Lschen1", "Nachvorne1", "NachHinen1"};
    const QStringList figureItems = {
        "KreisM", "EllipseM",         "QuadratM",       "RechteckM",      "Rund1M",
        "Rund2M", "Liniehorizontal1", "Linievertikal1", "Lnieschrghoch1", "Linieschrgrunter1"};
    struct Row {
        const char* item;
        bool fig, txt, pic;
    };
    const Row table[] = {
        {"FarbeM", true, true, false},
        {"SchriftartM", false, true, false},
        {"Texteffekte1", false, true, false},
        {"Linksbnig1", false, true, false},
        {"Zentriert1", false, true, false},
        {"Rechtsbndig1", false, true, false},
        {"Transparenz1", false, false, true},
        {"SverhM", false, false, true},
        {"Nachlinksrotieren1", false, true, true},
        {"Nachrechtsrotieren1", false, true, true},
    };
    CardObject o;
    for (int kind : {KindFigure, KindText, KindPicture}) {
        o.kind = kind;
        o.figureKind = FigLineUp;
        o.alignment = 1;
        o.keepAspect = kind == KindPicture;
        m.prepare(o);
        for (const Row& r : table) {
            const bool want = kind == KindFigure ? r.fig : kind == KindText ? r.txt : r.pic;
            EXPECT_EQ(m.item(QString::fromLatin1(r.item))->isEnabled(), want) << r.item << kind;
        }
        for (const QString& n : figureItems) EXPECT_EQ(m.item(n)->isEnabled(), kind == KindFigure);
        for (const QString& n : always) EXPECT_TRUE(m.item(n)->isEnabled());
        // Exactly one figure mark, also on texts and pictures.
        for (int k = 0; k < 10; ++k) EXPECT_EQ(m.item(figureItems[k])->isChecked(), k == FigLineUp);
        EXPECT_EQ(m.item("SverhM")->isChecked(), kind == KindPicture);
    }
    o.kind = KindText;
    o.alignment = 2;
    m.prepare(o);
    EXPECT_FALSE(m.item("Linksbnig1")->isChecked());
    EXPECT_FALSE(m.item("Zentriert1")->isChecked());
    EXPECT_TRUE(m.item("Rechtsbndig1")->isChecked());
    EXPECT_EQ(m.item("Lschen1")->text(), QStringLiteral("&Löschen..."));
    EXPECT_EQ(m.item("Hintergrundbild1")->text(), QStringLiteral("&Hintergrundbild..."));
}

TEST_F(EditingMenus, FrontAndBackExchangeSlotsAndFigureItemsSetTheKind) {
    put(3, KindFigure, 10, 10, 5, 5).color = 1;
    put(kSlotCount, KindText, 20, 20, 5, 5).color = 2;
    ed->edited().slot = 3;
    ed->menus().item("Nachvorne1")->trigger();
    EXPECT_EQ(ed->selectedSlot(), kSlotCount);
    EXPECT_EQ(ed->editedSlots()[kSlotCount]->color, 1u);
    EXPECT_EQ(ed->editedSlots()[3]->color, 2u);  // the front object went to slot 3
    ed->menus().item("Nachvorne1")->trigger();   // already in front: nothing changes
    EXPECT_EQ(ed->editedSlots()[kSlotCount]->color, 1u);
    // To the back when slot 1 is free: the free slot takes the old place.
    ed->commands().sendToBack();
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_EQ(ed->editedSlots()[1]->color, 1u);
    EXPECT_EQ(ed->editedSlots()[kSlotCount]->kind, KindFree);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 2);
    ed->menus().item("Linievertikal1")->trigger();
    EXPECT_EQ(ed->editedSlots()[1]->figureKind, FigLineVertical);
    ed->menus().item("Linieschrgrunter1")->trigger();
    EXPECT_EQ(ed->editedSlots()[1]->figureKind, FigLineDown);
}

using EditingPanel = EditingFixture;

TEST_F(EditingPanel, SheetsFollowTheSelectionAndLoadingChangesNothing) {
    PropertyPanel& p = ed->panel();
    ed->beforePaint();
    EXPECT_FALSE(p.sheetVisible(p.generalSheet));
    EXPECT_FALSE(p.sheetVisible(p.figureSheet));

    CardObject& line = put(1, KindFigure, 10, 10, 50, 5);
    line.figureKind = FigLineHorizontal;
    line.fillMode = FillWithBorder;
    line.lineWidth = 0;  // a hairline, outside the widths the panel offers
    click(0, 20, 12);
    EXPECT_TRUE(p.sheetVisible(p.figureSheet));
    EXPECT_TRUE(p.sheetVisible(p.generalSheet));
    EXPECT_FALSE(p.sheetVisible(p.textSheet));
    EXPECT_FALSE(p.sheetVisible(p.pictureSheet));
    EXPECT_EQ(p.sheetTabs->currentWidget(), p.figureSheet);
    EXPECT_TRUE(p.figureRadios[FigLineHorizontal]->isChecked());
    EXPECT_TRUE(p.borderColorCombo->isHidden());
    EXPECT_FALSE(p.filledRadio->isEnabled());
    EXPECT_FALSE(p.filledWithBorderRadio->isEnabled());
    // The panel shows the width the figure has, and choosing 1 gives it width 1.
    EXPECT_EQ(p.lineWidthEdit->value(), 0);
    EXPECT_EQ(line.lineWidth, 0);
    p.lineWidthEdit->stepUp();
    EXPECT_EQ(line.lineWidth, 1);
    ed->beforePaint();
    EXPECT_EQ(p.lineWidthEdit->minimum(), 1);
    EXPECT_EQ(p.lineWidthEdit->maximum(), 20);

    // Back to a rectangle: the fill mode that was kept shows again.
    p.figureRadios[FigRectangle]->click();
    EXPECT_EQ(line.figureKind, FigRectangle);
    EXPECT_FALSE(p.borderColorCombo->isHidden());
    EXPECT_TRUE(p.filledWithBorderRadio->isChecked());
    p.borderOnlyRadio->click();
    EXPECT_EQ(line.fillMode, FillBorderOnly);
    p.lineWidthEdit->setValue(7);
    EXPECT_EQ(line.lineWidth, 7);

    // "Allgemein" stays in front only until the next repaint.
    p.sheetTabs->setCurrentWidget(p.generalSheet);
    tab->views().paintBoth();
    EXPECT_EQ(p.sheetTabs->currentWidget(), p.figureSheet);

    // The colour boxes load on selection and write the object when changed.
    CardObject& txt = put(2, KindText, 200, 200, 40, 20);
    txt.color = rgbRef(255, 0, 0);
    txt.alignment = 1;
    click(0, 210, 210);
    EXPECT_EQ(p.textColorCombo->currentText(), QStringLiteral("Rot"));
    EXPECT_EQ(txt.color, rgbRef(255, 0, 0));
    EXPECT_TRUE(p.alignCenterRadio->isChecked());
    EXPECT_EQ(p.sheetTabs->currentWidget(), p.textSheet);
    p.textColorCombo->setColor(rgbRef(0, 0, 255));
    EXPECT_EQ(txt.color, rgbRef(0, 0, 255));
    p.alignRightRadio->click();
    EXPECT_EQ(txt.alignment, 2);

    CardObject& pic = put(3, KindPicture, 400, 400, 40, 20);
    pic.keepAspect = false;
    pic.roundFrame = true;
    click(0, 410, 410);
    EXPECT_TRUE(p.sheetVisible(p.pictureSheet));
    EXPECT_FALSE(p.keepAspectCheck->isChecked());
    EXPECT_TRUE(p.roundFrameCheck->isChecked());
    p.keepAspectCheck->click();
    EXPECT_TRUE(pic.keepAspect);
    ed->commands().toggleKeepAspect();
    EXPECT_FALSE(pic.keepAspect);
    ed->commands().toggleKeepAspect();
    EXPECT_TRUE(pic.keepAspect);
    p.roundFrameCheck->click();
    EXPECT_FALSE(pic.roundFrame);
}

TEST(EditingColorCombo, StandardColoursByGermanNameAndAnyOther) {
    bbtest::ScriptedDialogs dialogs;
    ColorCombo c(nullptr, &dialogs);
    EXPECT_EQ(c.count(), ColorCombo::kStandardCount + 1);
    EXPECT_EQ(c.itemText(0), QStringLiteral("Schwarz"));
    EXPECT_EQ(c.itemText(15), QStringLiteral("Weiß"));
    int changes = 0;
    QObject::connect(&c, &ColorCombo::colorChanged, [&] { ++changes; });
    c.setColor(rgbRef(255, 255, 0));
    EXPECT_EQ(c.currentText(), QStringLiteral("Gelb"));
    c.setColor(rgbRef(1, 2, 3));
    EXPECT_EQ(c.currentIndex(), ColorCombo::kStandardCount);
    EXPECT_EQ(c.color(), rgbRef(1, 2, 3));
    EXPECT_EQ(changes, 2);
    // Picking the other-colour entry asks the colour dialog; cancel keeps the colour.
    dialogs.colorAnswers = {QColor(), QColor(10, 20, 30)};
    emit c.activated(ColorCombo::kStandardCount);
    EXPECT_EQ(c.color(), rgbRef(1, 2, 3));
    emit c.activated(ColorCombo::kStandardCount);
    EXPECT_EQ(c.color(), rgbRef(10, 20, 30));
}

using EditingDialogs = EditingFixture;

TEST_F(EditingDialogs, TextEntryRoundTripsCarriageReturnsAndCancelKeepsIt) {
    EXPECT_EQ(splitTextLines(QString()), QStringList());
    EXPECT_EQ(splitTextLines(QStringLiteral("a\r")), QStringList({"a"}));
    EXPECT_EQ(joinTextLines({"a", "", "b"}), QStringLiteral("a\r\rb"));

    CardObject& t = put(1, KindText, 10, 10, 50, 20);
    const QString text = QStringLiteral("Erstes") + QChar(13) + QStringLiteral("Zweites");
    t.content = text;
    ed->edited().slot = 1;
    answer = [](QDialog&) { return int(QDialog::Accepted); };
    ed->commands().editText();
    EXPECT_EQ(ed->commands().textEntryDialog().textEdit()->document()->blockCount(), 2);
    EXPECT_EQ(t.content, text);  // unchanged OK stores the same string

    answer = [&](QDialog&) {
        ed->commands().textEntryDialog().textEdit()->setPlainText(
            QStringLiteral("neu\nzwei\ndrei"));
        return int(QDialog::Rejected);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, text);
    answer = [&](QDialog&) {
        ed->commands().textEntryDialog().textEdit()->setPlainText(QStringLiteral("neu\nzwei"));
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, QStringLiteral("neu") + QChar(13) + QStringLiteral("zwei"));
    answer = [&](QDialog&) {
        ed->commands().textEntryDialog().textEdit()->clear();
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_TRUE(t.content.isEmpty());
}

TEST_F(EditingDialogs, TextEntryKeepsLineFeedsAndAnEnterAtTheEndAddsNothing) {
    CardObject& t = put(1, KindText, 10, 10, 50, 20);
    ed->edited().slot = 1;
    QPlainTextEdit* memo = ed->commands().textEntryDialog().textEdit();
    // Unedited, OK gives back exactly what was stored: line feeds inside a line, a carriage
    // return at the end, empty lines.
    for (const QString& stored : {QStringLiteral("Zeile\nmit Umbruch\rzwei"), QStringLiteral("a\r"),
                                  QStringLiteral("\r\r"), QStringLiteral("x\r\n\ry")}) {
        t.content = stored;
        answer = [](QDialog&) { return int(QDialog::Accepted); };
        ed->commands().editText();
        EXPECT_EQ(t.content, stored);
    }

    // The line feed stays a line break inside its line, and is kept through an edit.
    t.content = QStringLiteral("A\nB\rC");
    answer = [&](QDialog&) {
        EXPECT_EQ(memo->document()->blockCount(), 2);
        memo->moveCursor(QTextCursor::Start);
        QTest::keyClicks(memo, QStringLiteral("x"));
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, QStringLiteral("xA\nB\rC"));

    // Enter at the very end, and Shift+Enter inside a line.
    t.content = QStringLiteral("Hallo\rWelt");
    answer = [&](QDialog&) {
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, QStringLiteral("Hallo\rWelt"));
    answer = [&](QDialog&) {
        memo->moveCursor(QTextCursor::Start);
        memo->moveCursor(QTextCursor::EndOfBlock);
        QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(memo, QStringLiteral("!"));
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, QStringLiteral("Hallo\n!\rWelt"));
}

TEST_F(EditingDialogs, EffectsAndTransparencyStoreOnOkOnly) {
    CardObject& t = put(1, KindText, 10, 10, 50, 20);
    t.outlineColor = rgbRef(1, 1, 1);
    t.shadowColor = int32_t(rgbRef(2, 2, 2));
    t.shadowDx = 5;
    ed->edited().slot = 1;
    TextEffectsDialog& f = ed->commands().textEffectsDialog();
    dialogs.colorAnswers = {QColor(200, 0, 0), QColor(0, 200, 0)};
    answer = [&](QDialog&) {
        f.chooseOutlineColor();
        f.chooseShadowColor();
        f.outlineCheck->setChecked(true);
        f.shadowDxEdit->setValue(-12);
        return int(QDialog::Rejected);
    };
    ed->commands().editTextEffects();
    EXPECT_EQ(t.outlineColor, rgbRef(1, 1, 1));
    EXPECT_EQ(t.shadowColor, int32_t(rgbRef(2, 2, 2)));
    EXPECT_FALSE(t.outline);
    EXPECT_EQ(t.shadowDx, 5);
    // The next opening shows the object's colours again; OK stores everything.
    answer = [&](QDialog&) {
        EXPECT_EQ(f.outlineColor, rgbRef(1, 1, 1));
        f.shadowCheck->setChecked(true);
        f.shadowDyEdit->setValue(40);
        f.shadowColor = rgbRef(9, 9, 9);
        return int(QDialog::Accepted);
    };
    ed->commands().editTextEffects();
    EXPECT_TRUE(t.shadow);
    EXPECT_EQ(t.shadowDy, 40);
    EXPECT_EQ(t.shadowColor, int32_t(rgbRef(9, 9, 9)));

    // Distances beyond the work area (three card widths or heights, in tenths of a millimetre)
    // are refused with a message and change nothing.
    doc->format.cardWidth = 165;
    doc->format.cardHeight = 121;
    const qsizetype before = dialogs.messages.size();
    answer = [&](QDialog&) {
        f.shadowDxEdit->setValue(std::numeric_limits<int>::max());
        return int(QDialog::Accepted);
    };
    ed->commands().editTextEffects();
    EXPECT_EQ(t.shadowDx, 5);
    ASSERT_EQ(dialogs.messages.size(), before + 1);
    EXPECT_TRUE(
        dialogs.messages.back().text.contains(QStringLiteral("höchstens 4950 und vertikal "
                                                             "höchstens 3630")));
    f.shadowDxEdit->setValue(-4951);
    f.accept();
    EXPECT_NE(f.result(), QDialog::Accepted);
    f.shadowDxEdit->setValue(-4950);
    f.accept();
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages.size(), before + 2);

    CardObject& p = put(2, KindPicture, 100, 100, 20, 20);
    ed->edited().slot = 2;
    TransparencyDialog& tf = ed->commands().transparencyDialog();
    answer = [&](QDialog&) {
        tf.transparentCheck->setChecked(true);
        tf.color = rgbRef(0, 255, 0);
        return int(QDialog::Rejected);
    };
    ed->commands().editTransparency();
    EXPECT_FALSE(p.transparent);
    answer = [&](QDialog&) {
        tf.transparentCheck->setChecked(true);
        tf.autoCheck->setChecked(true);
        tf.color = rgbRef(0, 255, 0);
        return int(QDialog::Accepted);
    };
    ed->commands().editTransparency();
    EXPECT_TRUE(p.transparent);
    EXPECT_TRUE(p.autoTransparent);
    EXPECT_EQ(p.transparentColor, int32_t(rgbRef(0, 255, 0)));
}

TEST_F(EditingDialogs, ColourAndFontDialogsAndTheFontNewTextsTake) {
    CardObject& t = put(1, KindText, 10, 10, 50, 20);
    t.fontName = QStringLiteral("Arial");
    t.fontSize = 20;
    ed->edited().slot = 1;
    ed->commands().chooseColor();  // no scripted answer: cancel
    EXPECT_EQ(t.color, 0u);
    dialogs.colorAnswers = {QColor(0, 0, 255)};
    ed->commands().chooseColor();
    EXPECT_EQ(t.color, rgbRef(0, 0, 255));
    EXPECT_EQ(ed->panel().textColorCombo->currentText(), QStringLiteral("Blau"));

    ed->commands().chooseFont();  // cancel
    EXPECT_EQ(t.fontName, QStringLiteral("Arial"));
    QFont chosen(QStringLiteral("Courier New"));
    chosen.setPointSize(24);
    chosen.setBold(true);
    chosen.setUnderline(true);
    dialogs.fontAnswers = {{chosen, QColor(255, 0, 0)}};
    ed->commands().chooseFont();
    EXPECT_EQ(t.fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t.fontSize, 24);
    EXPECT_EQ(t.fontHeight, -32);
    EXPECT_EQ(t.fontStyle, StyleBold | StyleUnderline);
    EXPECT_EQ(t.color, rgbRef(255, 0, 0));
    // A new text takes the font last chosen.
    ed->tools().setCurrent(ToolText);
    release(0, 300, 300);
    CardObject& n = *ed->editedSlots()[2];
    EXPECT_EQ(n.fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(n.fontSize, 24);
    EXPECT_EQ(n.fontColor, rgbRef(255, 0, 0));
    EXPECT_EQ(n.color, 0u);
}

TEST_F(EditingDialogs, RotationsTurnPicturesAndExchangeTheirBox) {
    CardObject& p = put(1, KindPicture, 10, 20, 100, 50);
    p.picture = newDib(8, 4, 24);
    ASSERT_FALSE(p.picture.isNull());
    ed->edited().slot = 1;
    ed->commands().rotateLeft();
    EXPECT_EQ(p.width, 5000);
    EXPECT_EQ(p.height, 10000);
    EXPECT_EQ(p.x, 1000);
    EXPECT_EQ(p.y, 2000);
    EXPECT_EQ(p.rotation, 3);
    EXPECT_EQ(p.picture.width(), 4);
    for (int i = 0; i < 3; ++i) ed->commands().rotateLeft();
    EXPECT_EQ(p.rotation, 0);
    ed->panel().rotateRightButton->click();
    EXPECT_EQ(p.rotation, 1);
    EXPECT_EQ(p.width, 5000);

    CardObject& t = put(2, KindText, 10, 20, 100, 50);
    ed->edited().slot = 2;
    ed->panel().textRotateLeftButton->click();
    EXPECT_EQ(t.rotation, 3);
    EXPECT_EQ(t.width, 10000);
    EXPECT_EQ(t.height, 5000);
}

// ---- picture-open and background dialogs ----

TEST(EditingOpenDialog, ProgramFolderPathsAndPreviewGeometry) {
    EXPECT_EQ(nameInProgramFolder("/opt/prog/blume.bmp", "/opt/prog"), QStringLiteral("blume.bmp"));
    EXPECT_EQ(nameInProgramFolder("/opt/prog/blume.bmp", "/opt/prog/"),
              QStringLiteral("blume.bmp"));
    EXPECT_EQ(nameInProgramFolder("/opt/prog/Bilder/blume.bmp", "/opt/prog/"),
              QStringLiteral("/opt/prog/Bilder/blume.bmp"));
    EXPECT_EQ(nameInProgramFolder("/x/opt/prog/blume.bmp", "/opt/prog/"),
              QStringLiteral("/x/opt/prog/blume.bmp"));
    EXPECT_EQ(nameInProgramFolder("/d/blume.bmp", "/opt/prog/"), QStringLiteral("/d/blume.bmp"));
    EXPECT_EQ(openPreviewRect(228, 331, 400, 100), QRect(0, 0, 228, 57));
    EXPECT_EQ(openPreviewRect(228, 331, 100, 400), QRect(0, 0, 82, 331));
    EXPECT_TRUE(openPreviewRect(228, 331, 0, 0).isEmpty());
    EXPECT_EQ(backgroundPreviewRect(388, 281, 400, 100), QRect(0, 92, 388, 97));
}

TEST(EditingOpenDialog, FileChoicePreviewAndTypeMask) {
    bbtest::TempFolder dir;
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(dir.file("a.bmp"), "BMP"));
    PictureOpenDialog f(dir.path());
    f.prepare(dir.path(), QStringLiteral("Alle|*.bmp;*.png|Bitmap|*.bmp"));
    EXPECT_EQ(f.filterCombo->count(), 2);
    EXPECT_EQ(f.nameFilters(), QStringList({"*.bmp", "*.png"}));
    f.filterChosen(1);
    EXPECT_EQ(f.nameFilters(), QStringList({"*.bmp"}));
    EXPECT_TRUE(f.fileNameEdit->text().isEmpty());

    f.fileSelected("a.bmp");
    EXPECT_EQ(f.fileNameEdit->text(), QStringLiteral("a.bmp"));
    EXPECT_EQ(f.previewBitmap.size(), QSize(40, 20));
    f.fileSelected("kaputt.bmp");
    EXPECT_TRUE(f.previewBitmap.isNull());
    f.previewCheck->setChecked(false);
    f.fileSelected("a.bmp");
    EXPECT_TRUE(f.previewBitmap.isNull());

    f.itemDoubleClicked("a.bmp");
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(f.chosenPath, QStringLiteral("a.bmp"));
    QDir(dir.path()).mkdir("sub");
    f.itemDoubleClicked("sub");
    EXPECT_EQ(f.folder(), QDir::cleanPath(dir.file("sub")));
    f.fileNameEdit->setText("b.bmp");
    f.openChosen();
    EXPECT_EQ(f.chosenPath, QDir::cleanPath(dir.file("sub")) + "/b.bmp");
    f.goToParentFolder();
    EXPECT_EQ(f.folder(), QDir::cleanPath(dir.path()));
    // "Öffnen" with no name chosen keeps the dialog open; a typed folder is opened in the list.
    f.chosenPath.clear();
    f.setResult(QDialog::Rejected);
    f.fileNameEdit->clear();
    f.openChosen();
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_TRUE(f.chosenPath.isEmpty());
    f.fileNameEdit->setText("sub");
    f.openChosen();
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_EQ(f.folder(), QDir::cleanPath(dir.file("sub")));
}

using EditingBackground = EditingFixture;

TEST_F(EditingBackground, ModesPicturesAndNone) {
    QImage img(400, 100, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(folder.file("hg.bmp"), "BMP"));
    BackgroundDialog& b = ed->backgroundDialog();
    const int before = view(0)->renderCount();

    // Solid colour without a picture: mode 4 with the colour.
    answer = [&](QDialog&) {
        b.modeButton(BgColor)->setChecked(true);
        b.colorCombo()->setColor(rgbRef(255, 0, 0));
        return int(QDialog::Accepted);
    };
    ed->editBackground();
    EXPECT_EQ(ed->editedBackground().backgroundMode, BgColor);
    EXPECT_EQ(ed->editedBackground().backgroundColor, rgbRef(255, 0, 0));
    EXPECT_GT(view(0)->renderCount(), before);

    // "Zentriert größer" without a picture: none.
    answer = [&](QDialog&) {
        EXPECT_TRUE(b.modeButton(BgColor)->isChecked());  // loaded from the side
        b.modeButton(BgCover)->setChecked(true);
        return int(QDialog::Rejected);
    };
    ed->editBackground();
    EXPECT_EQ(ed->editedBackground().backgroundMode, BgNone);

    // "Ö&ffnen..." takes effect at once; a picture that cannot be read leaves the placeholder.
    int opened = 0;
    answer = [&](QDialog& d) {
        if (&d == &ed->pictureOpenDialog()) {
            ed->pictureOpenDialog().fileNameEdit->setText(opened++ ? "fehlt.bmp" : "hg.bmp");
            ed->pictureOpenDialog().openChosen();
            return int(QDialog::Accepted);
        }
        b.choosePicture([this](QDialog& dlg) { return ed->modal(dlg); });
        EXPECT_EQ(ed->editedBackground().backgroundFile, QStringLiteral("hg.bmp"));
        EXPECT_EQ(ed->editedBackground().backgroundPicture.width(), 400);
        b.modeButton(BgStretched)->setChecked(true);
        return int(QDialog::Accepted);
    };
    ed->editBackground();
    EXPECT_EQ(ed->editedBackground().backgroundMode, BgStretched);
    EXPECT_EQ(ed->editedBackground().backgroundFile, QStringLiteral("hg.bmp"));
    answer = [&](QDialog& d) {
        if (&d == &ed->pictureOpenDialog()) {
            ed->pictureOpenDialog().fileNameEdit->setText("fehlt.bmp");
            ed->pictureOpenDialog().openChosen();
            return int(QDialog::Accepted);
        }
        b.choosePicture([this](QDialog& dlg) { return ed->modal(dlg); });
        return int(QDialog::Accepted);
    };
    ed->editBackground();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Konnte Bild (fehlt.bmp) nicht Laden."));
    EXPECT_EQ(dialogs.messages[0].caption, kAppTitle);
    EXPECT_TRUE(ed->editedBackground().backgroundFile.isEmpty());
    EXPECT_FALSE(ed->editedBackground().backgroundPicture.isNull());

    // "&Keins", then closing with "Angepasst an Karte": no picture, no background.
    answer = [&](QDialog&) {
        b.noneButton->click();
        EXPECT_TRUE(ed->editedBackground().backgroundPicture.isNull());
        b.modeButton(BgStretched)->setChecked(true);
        return int(QDialog::Accepted);
    };
    ed->editBackground();
    EXPECT_EQ(ed->editedBackground().backgroundMode, BgNone);
    EXPECT_TRUE(ed->editedBackground().backgroundPicture.isNull());
}

TEST_F(EditingBackground, APictureChosenUnderTheSolidColourTakesTheFirstArrangement) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(folder.file("blau.bmp"), "BMP"));
    BackgroundDialog& b = ed->backgroundDialog();
    int chosenMode = BgNone;  // the arrangement checked before "Ö&ffnen..."
    answer = [&](QDialog& d) {
        if (&d == &ed->pictureOpenDialog()) {
            ed->pictureOpenDialog().fileNameEdit->setText("blau.bmp");
            ed->pictureOpenDialog().openChosen();
            return int(QDialog::Accepted);
        }
        b.modeButton(chosenMode)->setChecked(true);
        b.openButton->click();
        b.backButton->click();
        return d.result();
    };
    chosenMode = BgColor;
    ed->editBackground();
    EXPECT_EQ(ed->editedBackground().backgroundMode, BgCover);
    EXPECT_TRUE(b.modeButton(BgCover)->isChecked());
    EXPECT_EQ(ed->editedBackground().backgroundFile, QStringLiteral("blau.bmp"));
    // A picture arrangement already checked stays.
    chosenMode = BgTiled;
    ed->editBackground();
    EXPECT_EQ(ed->editedBackground().backgroundMode, BgTiled);
}

}  // namespace
