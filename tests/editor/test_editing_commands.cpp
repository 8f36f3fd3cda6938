// The object menu's enabling and marks, the whole-object commands, the property panel and the
// object dialogs (text, effects, transparency, colour, font), rotations, and the picture-open
// and background dialogs.
#include "EditingFixture.h"

#include "editor/ColorCombo.h"
#include "editor/TBMPOpenForm.h"
#include "editor/TEffektForm.h"
#include "editor/TTransForm.h"
#include "editor/TTxtForm.h"
#include "editor/Tbkgndform.h"
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
    Tobs o;
    for (int kind : {KindFigure, KindText, KindPicture}) {
        o.Kind = kind;
        o.FigureKind = FigLineUp;
        o.Alignment = 1;
        o.KeepAspect = kind == KindPicture;
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
    o.Kind = KindText;
    o.Alignment = 2;
    m.prepare(o);
    EXPECT_FALSE(m.item("Linksbnig1")->isChecked());
    EXPECT_FALSE(m.item("Zentriert1")->isChecked());
    EXPECT_TRUE(m.item("Rechtsbndig1")->isChecked());
    EXPECT_EQ(m.item("Lschen1")->text(), QStringLiteral("&Löschen..."));
    EXPECT_EQ(m.item("Hintergrundbild1")->text(), QStringLiteral("&Hintergrundbild..."));
}

TEST_F(EditingMenus, FrontAndBackExchangeSlotsAndFigureItemsSetTheKind) {
    put(3, KindFigure, 10, 10, 5, 5).Color = 1;
    put(kSlotCount, KindText, 20, 20, 5, 5).Color = 2;
    doc->SelectedSlot = 3;
    ed->menus().item("Nachvorne1")->trigger();
    EXPECT_EQ(doc->SelectedSlot, kSlotCount);
    EXPECT_EQ(doc->WorkingSlots[kSlotCount]->Color, 1u);
    EXPECT_EQ(doc->WorkingSlots[3]->Color, 2u);  // the front object went to slot 3
    ed->menus().item("Nachvorne1")->trigger();   // already in front: nothing changes
    EXPECT_EQ(doc->WorkingSlots[kSlotCount]->Color, 1u);
    // To the back when slot 1 is free: the free slot takes the old place.
    ed->NachHinen1Click();
    EXPECT_EQ(doc->SelectedSlot, 1);
    EXPECT_EQ(doc->WorkingSlots[1]->Color, 1u);
    EXPECT_EQ(doc->WorkingSlots[kSlotCount]->Kind, KindFree);
    EXPECT_EQ(doc->usedCount(doc->WorkingSlots), 2);
    ed->menus().item("Linievertikal1")->trigger();
    EXPECT_EQ(doc->WorkingSlots[1]->FigureKind, FigLineVertical);
    ed->menus().item("Linieschrgrunter1")->trigger();
    EXPECT_EQ(doc->WorkingSlots[1]->FigureKind, FigLineDown);
}

using EditingPanel = EditingFixture;

TEST_F(EditingPanel, SheetsFollowTheSelectionAndLoadingChangesNothing) {
    PropertyPanel& p = ed->panel();
    ed->beforePaint();
    EXPECT_FALSE(p.sheetVisible(p.AllgemeinSheet));
    EXPECT_FALSE(p.sheetVisible(p.FigurSheet));

    Tobs& line = put(1, KindFigure, 10, 10, 50, 5);
    line.FigureKind = FigLineHorizontal;
    line.FillMode = FillWithBorder;
    line.LineWidth = 0;  // outside the spin box's range
    click(0, 20, 12);
    EXPECT_TRUE(p.sheetVisible(p.FigurSheet));
    EXPECT_TRUE(p.sheetVisible(p.AllgemeinSheet));
    EXPECT_FALSE(p.sheetVisible(p.TextSheet));
    EXPECT_FALSE(p.sheetVisible(p.BildSheet));
    EXPECT_EQ(p.PageControl3->currentWidget(), p.FigurSheet);
    EXPECT_TRUE(p.FigureRadios[FigLineHorizontal]->isChecked());
    EXPECT_TRUE(p.ColorCombo2->isHidden());
    EXPECT_FALSE(p.FilledCheck->isEnabled());
    EXPECT_FALSE(p.FilledBorderCheck->isEnabled());
    EXPECT_EQ(p.LinieEd->value(), 1);
    EXPECT_EQ(line.LineWidth, 0);

    // Back to a rectangle: the fill mode that was kept shows again.
    p.FigureRadios[FigRectangle]->click();
    EXPECT_EQ(line.FigureKind, FigRectangle);
    EXPECT_FALSE(p.ColorCombo2->isHidden());
    EXPECT_TRUE(p.FilledBorderCheck->isChecked());
    p.BorderCheck->click();
    EXPECT_EQ(line.FillMode, FillBorderOnly);
    p.LinieEd->setValue(7);
    EXPECT_EQ(line.LineWidth, 7);

    // "Allgemein" stays in front only until the next repaint.
    p.PageControl3->setCurrentWidget(p.AllgemeinSheet);
    tab->views().paintBoth();
    EXPECT_EQ(p.PageControl3->currentWidget(), p.FigurSheet);

    // The colour boxes load on selection and write the object when changed.
    Tobs& txt = put(2, KindText, 200, 200, 40, 20);
    txt.Color = rgbRef(255, 0, 0);
    txt.Alignment = 1;
    click(0, 210, 210);
    EXPECT_EQ(p.ColorCombo3->currentText(), QStringLiteral("Rot"));
    EXPECT_EQ(txt.Color, rgbRef(255, 0, 0));
    EXPECT_TRUE(p.CenterAlign->isChecked());
    EXPECT_EQ(p.PageControl3->currentWidget(), p.TextSheet);
    p.ColorCombo3->setColor(rgbRef(0, 0, 255));
    EXPECT_EQ(txt.Color, rgbRef(0, 0, 255));
    p.RightAlign->click();
    EXPECT_EQ(txt.Alignment, 2);

    Tobs& pic = put(3, KindPicture, 400, 400, 40, 20);
    pic.KeepAspect = false;
    pic.RoundFrame = true;
    click(0, 410, 410);
    EXPECT_TRUE(p.sheetVisible(p.BildSheet));
    EXPECT_FALSE(p.SVerhCheck->isChecked());
    EXPECT_TRUE(p.RunderCheck->isChecked());
    p.SVerhCheck->click();
    EXPECT_TRUE(pic.KeepAspect);
    ed->SverhMClick();
    EXPECT_FALSE(pic.KeepAspect);
    ed->SverhMClick();
    EXPECT_TRUE(pic.KeepAspect);
    p.RunderCheck->click();
    EXPECT_FALSE(pic.RoundFrame);
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

    Tobs& t = put(1, KindText, 10, 10, 50, 20);
    const QString text = QStringLiteral("Erstes") + QChar(13) + QStringLiteral("Zweites");
    t.Content = text;
    doc->SelectedSlot = 1;
    answer = [](QDialog&) { return int(QDialog::Accepted); };
    ed->EditTextNow();
    EXPECT_EQ(ed->txtForm().memo()->document()->blockCount(), 2);
    EXPECT_EQ(t.Content, text);  // unchanged OK stores the same string

    answer = [&](QDialog&) {
        ed->txtForm().memo()->setPlainText(QStringLiteral("neu\nzwei\ndrei"));
        return int(QDialog::Rejected);
    };
    ed->EditTextNow();
    EXPECT_EQ(t.Content, text);
    answer = [&](QDialog&) {
        ed->txtForm().memo()->setPlainText(QStringLiteral("neu\nzwei"));
        return int(QDialog::Accepted);
    };
    ed->EditTextNow();
    EXPECT_EQ(t.Content, QStringLiteral("neu") + QChar(13) + QStringLiteral("zwei"));
    answer = [&](QDialog&) {
        ed->txtForm().memo()->clear();
        return int(QDialog::Accepted);
    };
    ed->EditTextNow();
    EXPECT_TRUE(t.Content.isEmpty());
}

TEST_F(EditingDialogs, EffectsAndTransparencyStoreOnOkOnly) {
    Tobs& t = put(1, KindText, 10, 10, 50, 20);
    t.OutlineColor() = rgbRef(1, 1, 1);
    t.ShadowColor() = int32_t(rgbRef(2, 2, 2));
    t.ShadowDX = 5;
    doc->SelectedSlot = 1;
    TEffektForm& f = ed->effektForm();
    dialogs.colorAnswers = {QColor(200, 0, 0), QColor(0, 200, 0)};
    answer = [&](QDialog&) {
        f.chooseOutlineColor();
        f.chooseShadowColor();
        f.UmrCheck->setChecked(true);
        f.SchattED1->setValue(-12);
        return int(QDialog::Rejected);
    };
    ed->Texteffekte1Click();
    EXPECT_EQ(t.OutlineColor(), rgbRef(1, 1, 1));
    EXPECT_EQ(t.ShadowColor(), int32_t(rgbRef(2, 2, 2)));
    EXPECT_FALSE(t.Outline());
    EXPECT_EQ(t.ShadowDX, 5);
    // The next opening shows the object's colours again; OK stores everything.
    answer = [&](QDialog&) {
        EXPECT_EQ(f.outlineColor, rgbRef(1, 1, 1));
        f.SchattCheck->setChecked(true);
        f.SchattEd2->setValue(40);
        f.shadowColor = rgbRef(9, 9, 9);
        return int(QDialog::Accepted);
    };
    ed->Texteffekte1Click();
    EXPECT_TRUE(t.Shadow);
    EXPECT_EQ(t.ShadowDY, 40);
    EXPECT_EQ(t.ShadowColor(), int32_t(rgbRef(9, 9, 9)));

    Tobs& p = put(2, KindPicture, 100, 100, 20, 20);
    doc->SelectedSlot = 2;
    TTransForm& tf = ed->transForm();
    answer = [&](QDialog&) {
        tf.TransCheck->setChecked(true);
        tf.color = rgbRef(0, 255, 0);
        return int(QDialog::Rejected);
    };
    ed->Transparenz1Click();
    EXPECT_FALSE(p.Transparent);
    answer = [&](QDialog&) {
        tf.TransCheck->setChecked(true);
        tf.AutoCheck->setChecked(true);
        tf.color = rgbRef(0, 255, 0);
        return int(QDialog::Accepted);
    };
    ed->Transparenz1Click();
    EXPECT_TRUE(p.Transparent);
    EXPECT_TRUE(p.AutoTransparent);
    EXPECT_EQ(p.TransparentColor(), int32_t(rgbRef(0, 255, 0)));
}

TEST_F(EditingDialogs, ColourAndFontDialogsAndTheFontNewTextsTake) {
    Tobs& t = put(1, KindText, 10, 10, 50, 20);
    t.FontName = QStringLiteral("Arial");
    t.FontSize = 20;
    doc->SelectedSlot = 1;
    ed->FarbBtnClick();  // no scripted answer: cancel
    EXPECT_EQ(t.Color, 0u);
    dialogs.colorAnswers = {QColor(0, 0, 255)};
    ed->FarbBtnClick();
    EXPECT_EQ(t.Color, rgbRef(0, 0, 255));
    EXPECT_EQ(ed->panel().ColorCombo3->currentText(), QStringLiteral("Blau"));

    ed->FontBtnClick();  // cancel
    EXPECT_EQ(t.FontName, QStringLiteral("Arial"));
    QFont chosen(QStringLiteral("Courier New"));
    chosen.setPointSize(24);
    chosen.setBold(true);
    chosen.setUnderline(true);
    dialogs.fontAnswers = {{chosen, QColor(255, 0, 0)}};
    ed->FontBtnClick();
    EXPECT_EQ(t.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t.FontSize, 24);
    EXPECT_EQ(t.FontHeight, -32);
    EXPECT_EQ(t.FontStyle, StyleBold | StyleUnderline);
    EXPECT_EQ(t.Color, rgbRef(255, 0, 0));
    // A new text takes the font last chosen.
    ed->tools().setCurrent(ToolText);
    release(0, 300, 300);
    Tobs& n = *doc->WorkingSlots[2];
    EXPECT_EQ(n.FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(n.FontSize, 24);
    EXPECT_EQ(n.FontColor, rgbRef(255, 0, 0));
    EXPECT_EQ(n.Color, 0u);
}

TEST_F(EditingDialogs, RotationsTurnPicturesAndExchangeTheirBox) {
    Tobs& p = put(1, KindPicture, 10, 20, 100, 50);
    p.Picture = newdib(8, 4, 24);
    ASSERT_FALSE(p.Picture.isNull());
    doc->SelectedSlot = 1;
    ed->Nachlinksrotieren1Click();
    EXPECT_EQ(p.Width, 5000);
    EXPECT_EQ(p.Height, 10000);
    EXPECT_EQ(p.X, 1000);
    EXPECT_EQ(p.Y, 2000);
    EXPECT_EQ(p.Rotation, 3);
    EXPECT_EQ(p.Picture.width(), 4);
    for (int i = 0; i < 3; ++i) ed->Nachlinksrotieren1Click();
    EXPECT_EQ(p.Rotation, 0);
    ed->panel().RotRightBtn->click();
    EXPECT_EQ(p.Rotation, 1);
    EXPECT_EQ(p.Width, 5000);

    Tobs& t = put(2, KindText, 10, 20, 100, 50);
    doc->SelectedSlot = 2;
    ed->panel().BitBtn2->click();
    EXPECT_EQ(t.Rotation, 3);
    EXPECT_EQ(t.Width, 10000);
    EXPECT_EQ(t.Height, 5000);
}

// ---- picture-open and background dialogs ----

TEST(EditingOpenDialog, ProgramFolderPathsAndPreviewGeometry) {
    EXPECT_EQ(SubProgPath("/opt/prog/blume.bmp", "/opt/prog"), QStringLiteral("blume.bmp"));
    EXPECT_EQ(SubProgPath("/opt/prog/blume.bmp", "/opt/prog/"), QStringLiteral("blume.bmp"));
    EXPECT_EQ(SubProgPath("/opt/prog/Bilder/blume.bmp", "/opt/prog/"),
              QStringLiteral("/opt/prog/Bilder/blume.bmp"));
    EXPECT_EQ(SubProgPath("/x/opt/prog/blume.bmp", "/opt/prog/"),
              QStringLiteral("/x/opt/prog/blume.bmp"));
    EXPECT_EQ(SubProgPath("/d/blume.bmp", "/opt/prog/"), QStringLiteral("/d/blume.bmp"));
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
    TBMPOpenForm f(dir.path());
    f.prepare(dir.path(), QStringLiteral("Alle|*.bmp;*.png|Bitmap|*.bmp"));
    EXPECT_EQ(f.FilterComboBox1->count(), 2);
    EXPECT_EQ(f.nameFilters(), QStringList({"*"}));  // the mask changes only on a choice
    f.filterChosen(0);
    EXPECT_EQ(f.nameFilters(), QStringList({"*.bmp", "*.png"}));
    f.prepare(dir.path(), QStringLiteral("Bitmap|*.bmp"));
    EXPECT_EQ(f.nameFilters(), QStringList({"*.bmp", "*.png"}));
    EXPECT_TRUE(f.FileNameEdit->text().isEmpty());

    f.fileSelected("a.bmp");
    EXPECT_EQ(f.FileNameEdit->text(), QStringLiteral("a.bmp"));
    EXPECT_EQ(f.PreviewBitmap.size(), QSize(40, 20));
    f.fileSelected("kaputt.bmp");
    EXPECT_TRUE(f.PreviewBitmap.isNull());
    f.VSchauCheck->setChecked(false);
    f.fileSelected("a.bmp");
    EXPECT_TRUE(f.PreviewBitmap.isNull());

    f.itemDoubleClicked("a.bmp");
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(f.ChosenPicturePath, QStringLiteral("a.bmp"));
    QDir(dir.path()).mkdir("sub");
    f.itemDoubleClicked("sub");
    EXPECT_EQ(f.folder(), QDir::cleanPath(dir.file("sub")));
    f.FileNameEdit->setText("b.bmp");
    f.OpenBtnClick();
    EXPECT_EQ(f.ChosenPicturePath, QDir::cleanPath(dir.file("sub")) + "/b.bmp");
    f.upClick();
    EXPECT_EQ(f.folder(), QDir::cleanPath(dir.path()));
    // "Öffnen" with no name chosen keeps the dialog open; a typed folder is opened in the list.
    f.ChosenPicturePath.clear();
    f.setResult(QDialog::Rejected);
    f.FileNameEdit->clear();
    f.OpenBtnClick();
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_TRUE(f.ChosenPicturePath.isEmpty());
    f.FileNameEdit->setText("sub");
    f.OpenBtnClick();
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_EQ(f.folder(), QDir::cleanPath(dir.file("sub")));
}

using EditingBackground = EditingFixture;

TEST_F(EditingBackground, ModesPicturesAndNone) {
    QImage img(400, 100, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(folder.file("hg.bmp"), "BMP"));
    Tbkgndform& b = ed->backgroundForm();
    const int before = view(0)->renderCount();

    // Solid colour without a picture: mode 4 with the colour.
    answer = [&](QDialog&) {
        b.modeButton(BgColor)->setChecked(true);
        b.colorCombo()->setColor(rgbRef(255, 0, 0));
        return int(QDialog::Accepted);
    };
    ed->Hintergrundbild1Click();
    EXPECT_EQ(doc->Working.BackgroundMode, BgColor);
    EXPECT_EQ(doc->Working.BackgroundColor, rgbRef(255, 0, 0));
    EXPECT_GT(view(0)->renderCount(), before);

    // "Zentriert größer" without a picture: none.
    answer = [&](QDialog&) {
        EXPECT_TRUE(b.modeButton(BgColor)->isChecked());  // loaded from the side
        b.modeButton(BgCover)->setChecked(true);
        return int(QDialog::Rejected);
    };
    ed->Hintergrundbild1Click();
    EXPECT_EQ(doc->Working.BackgroundMode, BgNone);

    // "Ö&ffnen..." takes effect at once; a picture that cannot be read leaves the placeholder.
    int opened = 0;
    answer = [&](QDialog& d) {
        if (&d == &ed->openForm()) {
            ed->openForm().FileNameEdit->setText(opened++ ? "fehlt.bmp" : "hg.bmp");
            ed->openForm().OpenBtnClick();
            return int(QDialog::Accepted);
        }
        b.OeffnenClick(ed->runModal);
        EXPECT_EQ(doc->Working.BackgroundFile, QStringLiteral("hg.bmp"));
        EXPECT_EQ(doc->Working.BackgroundPicture.width(), 400);
        b.modeButton(BgStretched)->setChecked(true);
        return int(QDialog::Accepted);
    };
    ed->Hintergrundbild1Click();
    EXPECT_EQ(doc->Working.BackgroundMode, BgStretched);
    EXPECT_EQ(doc->Working.BackgroundFile, QStringLiteral("hg.bmp"));
    answer = [&](QDialog& d) {
        if (&d == &ed->openForm()) {
            ed->openForm().FileNameEdit->setText("fehlt.bmp");
            ed->openForm().OpenBtnClick();
            return int(QDialog::Accepted);
        }
        b.OeffnenClick(ed->runModal);
        return int(QDialog::Accepted);
    };
    ed->Hintergrundbild1Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Konnte Bild (fehlt.bmp) nicht Laden."));
    EXPECT_EQ(dialogs.messages[0].caption, kAppTitle);
    EXPECT_TRUE(doc->Working.BackgroundFile.isEmpty());
    EXPECT_FALSE(doc->Working.BackgroundPicture.isNull());

    // "&Keins", then closing with "Angepasst an Karte": no picture, no background.
    answer = [&](QDialog&) {
        b.KeinsBtn->click();
        EXPECT_TRUE(doc->Working.BackgroundPicture.isNull());
        b.modeButton(BgStretched)->setChecked(true);
        return int(QDialog::Accepted);
    };
    ed->Hintergrundbild1Click();
    EXPECT_EQ(doc->Working.BackgroundMode, BgNone);
    EXPECT_TRUE(doc->Working.BackgroundPicture.isNull());
}

}  // namespace
