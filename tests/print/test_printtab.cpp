// The "Drucken" tab and the calibration dialog as widgets: clamps in the spin edits, zoom,
// the calibration fields and their file, print commands onto a PDF file.
#include "PdfPages.h"
#include "PrintTabFixture.h"

#include "document/RenderContext.h"
#include "merge/AddressList.h"
#include "merge/MergeSession.h"
#include "print/Calibration.h"
#include "print/PrinterTarget.h"
#include "print/SheetProgress.h"
#include "print/ui/CalibrationDialog.h"
#include "print/ui/PrintTab.h"
#include "print/ui/SheetPreview.h"
#include "support/ScriptedDialogs.h"
#include "support/SilentServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolBar>
#include <QtEndian>

using namespace bb;

namespace {

using Tab = printtest::TabFixture;

QByteArray doubles(std::initializer_list<double> values) {
    QByteArray out;
    for (double v : values) {
        char b[8];
        qToLittleEndian(v, b);
        out.append(b, 8);
    }
    return out;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(CalibrationDialogTest, FreshStartWritesTheDefaultsOnClose) {
    Tab t;
    CalibrationDialog& kal = t.tab->calibrationDialog();
    EXPECT_EQ(kal.windowTitle(), QStringLiteral("Drucker kalibrieren - Die Feineinstellung "));
    EXPECT_EQ(kal.values(), Calibration{});
    EXPECT_FALSE(QFile::exists(kal.filePath()));
    kal.show();
    kal.reject();  // "Zurück..."
    EXPECT_EQ(fileBytes(kal.filePath()), doubles({0, 0, 100, 100}));
}

TEST(CalibrationDialogTest, LoadedValuesAreClampedAndRoundedAndWrittenBackOnClose) {
    Tab t(doubles({3.14159, 0.5, 110, 96.123}));
    CalibrationDialog& kal = t.tab->calibrationDialog();
    // German decimal commas, whatever the desktop's language.
    EXPECT_EQ(kal.widthEdit->text(), QStringLiteral("105,00"));
    EXPECT_EQ(kal.leftEdit->text(), QStringLiteral("3,14"));
    EXPECT_DOUBLE_EQ(kal.values().measuredHeight, 96.12);
    // The close box stores the values as they are shown.
    kal.show();
    kal.close();
    EXPECT_EQ(fileBytes(kal.filePath()), doubles({3.14, 0.5, 105, 96.12}));
    // A short file leaves the defaults.
    Tab shortFile(doubles({1, 2}));
    EXPECT_EQ(shortFile.tab->calibrationDialog().values(), Calibration{});
}

TEST(CalibrationDialogTest, TestPrintGoesToTheChosenPdf) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    t.dialogs.saveAnswers.push_back({t.dir.file("square.pdf"), 1});
    t.tab->calibrationDialog().printTestPage();
    ASSERT_EQ(t.dialogs.saveRequests.size(), 1);
    EXPECT_EQ(printtest::pdfPageCount(t.dir.file("square.pdf")), 1);
    // Cancelling the file question prints nothing.
    t.tab->calibrationDialog().printTestPage();
    EXPECT_EQ(t.dialogs.saveRequests.size(), 2);
    EXPECT_TRUE(t.dialogs.messages.isEmpty());
}

TEST(PrintTabSettings, SpinEditsAreClamped) {
    Tab t;
    QSpinBox* used = t.spin("UsedED");
    QSpinBox* copies = t.spin("KopiesED");
    QSpinBox* page = t.spin("PageEd");
    ASSERT_TRUE(used && copies && page);
    used->setValue(25);
    EXPECT_EQ(used->value(), 9);  // N − 1 of the 2 × 5 format
    used->setValue(4);
    copies->setValue(25);
    page->setValue(5);
    EXPECT_EQ(page->value(), 3);  // positions 4..28 need three sheets
    copies->setValue(3);
    EXPECT_EQ(page->value(), 1);  // the shown sheet follows the copies down
    copies->setValue(25);
    EXPECT_EQ(page->value(), 1);  // and is never raised
    EXPECT_EQ(t.tab->settings().usedPositions, 4);
}

TEST(PrintTabSettings, PreviewBoxFollowsTheZoom) {
    Tab t;
    t.tab->printerTarget().usePdf(t.dir.file("x.pdf"));
    t.tab->refreshPreview();
    const DeviceGeometry g = t.tab->printerTarget().geometry();
    ASSERT_EQ(g.dpiX, 600);
    EXPECT_EQ(t.preview()->wantedSize(), QSize(g.pageW / 17, g.pageH / 17));
    for (int i = 0; i < 6; ++i) t.button("ZoominBtn")->click();
    EXPECT_EQ(t.tab->previewZoom(), 262);  // the sixth click is refused
    EXPECT_EQ(t.preview()->wantedSize(), QSize(g.pageW / 2, g.pageH / 2));
    for (int i = 0; i < 8; ++i) t.button("ZoomOutBtn")->click();
    EXPECT_EQ(t.tab->previewZoom(), 14);  // 262 → 174 → 116 → 77 → 51 → 34 → 22 → 14
    // The check boxes follow their accessors (the window restores them at start-up).
    t.tab->setCutLines(true);
    t.tab->setFoldLines(true);
    EXPECT_TRUE(t.tab->cutLines());
    EXPECT_TRUE(t.tab->foldLines());
}

TEST(PrintTabCommands, OutsideAndInsideRunsSwitchSidesAndPrint) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    QSignalSpy printed(t.tab.get(), &PrintTab::printed);
    t.spin("KopiesED")->setValue(12);
    t.editedSide = SideInside;
    t.dialogs.saveAnswers.push_back({t.dir.file("outside.pdf"), 1});
    t.tab->printOutside();
    EXPECT_EQ(t.sidesSelected, std::vector<int>{SideOutside});
    EXPECT_EQ(t.editedSide, SideOutside);
    EXPECT_EQ(printed.count(), 1);
    EXPECT_EQ(printtest::pdfPageCount(t.dir.file("outside.pdf")), 2);

    t.dialogs.saveAnswers.push_back({t.dir.file("inside.pdf"), 1});
    t.tab->printInside();
    EXPECT_EQ(t.editedSide, SideInside);
    const QImage in = printtest::pdfPage(t.dir.file("inside.pdf"), 1, 20);
    EXPECT_FALSE(printtest::colourBox(in, qRgb(0, 0, 255)).isNull());
    EXPECT_TRUE(printtest::colourBox(in, qRgb(255, 0, 0)).isNull());
    EXPECT_EQ(t.ctx.renderMode, RenderScreen);

    // Cancelling the file question cancels the run.
    t.tab->printOutside();
    EXPECT_EQ(printed.count(), 2);
    // The only message: the first run's note that there is no printer.
    EXPECT_EQ(t.dialogs.texts(), QStringList{kNoPrinterNotice});
}

TEST(PrintTabCommands, BothSidesWithAListPrintAChosenRowsCards) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    t.tab->printOutside();  // the first run tells that there is no printer
    const QString single = t.answerFile("single.pdf");
    t.tab->printBothSides();
    const QRect oneCard = printtest::colourBox(printtest::pdfPage(single, 1, 20), qRgb(255, 0, 0));
    ASSERT_FALSE(oneCard.isNull());

    // With a list of three, rows 1 and 3 chosen, two copies each: four cards, not the one
    // record shown.
    MergeSession session;
    auto list = std::make_shared<AddressList>();
    list->columns = {QStringLiteral("Vorname")};
    list->rows = {{QStringLiteral("Anna")}, {QStringLiteral("Eva")}, {QStringLiteral("Ute")}};
    session.setList(list);
    session.setRangeText(QStringLiteral("1, 3"));
    session.setRowChoice(MergeSession::Rows::Range);
    session.setCopies(2);
    t.tab->setMergeSession(session);
    const QString merged = t.answerFile("merged.pdf");
    t.tab->printBothSides();
    const QRect front = printtest::colourBox(printtest::pdfPage(merged, 1, 20), qRgb(255, 0, 0));
    const QRect back = printtest::colourBox(printtest::pdfPage(merged, 2, 20), qRgb(0, 0, 255));
    // Two cards across, two rows down on each side of the sheet.
    EXPECT_GT(front.width(), oneCard.width() * 3 / 2);
    EXPECT_GT(front.height(), oneCard.height() * 3 / 2);
    EXPECT_EQ(back.size(), front.size());
    EXPECT_EQ(printtest::pdfPageCount(merged), 2);

    // No rows chosen: the reason, and nothing printed.
    session.setRowChoice(MergeSession::Rows::Ticked);
    t.tab->printBothSides();
    EXPECT_EQ(t.dialogs.messages.size(), 2);
    EXPECT_EQ(t.dialogs.saveRequests.size(), 3);
}

TEST(PrintTabCommands, WithoutAPrinterTheFirstRunSaysSoBeforeTheFileQuestion) {
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    // Shown although the file question is then cancelled.
    t.tab->printOutside();
    ASSERT_EQ(t.dialogs.messages.size(), 1);
    EXPECT_EQ(t.dialogs.messages[0].text, QString::fromUtf8("Es ist kein Drucker eingerichtet. "
                                                            "Die Karten werden als PDF-Datei "
                                                            "gespeichert."));
    EXPECT_EQ(t.dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(t.dialogs.saveRequests.size(), 1);
    // Once per program run.
    t.tab->printInside();
    EXPECT_EQ(t.dialogs.messages.size(), 1);
    EXPECT_EQ(t.dialogs.saveRequests.size(), 2);
}

TEST(PrintTabCommands, FailedRunIsReported) {
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    t.dialogs.saveAnswers.push_back({t.dir.file("missing/folder/out.pdf"), 1});
    t.tab->printOutside();
    ASSERT_EQ(t.dialogs.messages.size(), 2);  // the note that there is no printer first
    EXPECT_EQ(t.dialogs.messages[1].caption, kAppTitle);
    EXPECT_EQ(t.dialogs.messages[1].icon, MsgIcon::Error);
}

TEST(PrintTabPreview, ShowsTheShownSheetOnceSized) {
    Tab t;
    t.tab->printerTarget().usePdf(t.dir.file("x.pdf"));
    t.tab->resize(900, 700);
    t.tab->show();
    t.spin("UsedED")->setValue(3);
    t.spin("KopiesED")->setValue(9);  // positions 3..11: sheet 2 holds 10 and 11
    t.spin("PageEd")->setValue(2);
    t.tab->setCutLines(true);
    QCoreApplication::processEvents();
    SheetPreview* vpaint = t.preview();
    ASSERT_EQ(vpaint->size(), vpaint->wantedSize());
    const QImage shot = vpaint->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(vpaint->lastCardCount(), 2);
    const auto cards =
        previewPlacements(t.doc->format, t.tab->settings(), SideOutside, 35, vpaint->width());
    ASSERT_EQ(cards.size(), 2u);
    const QRect red = printtest::colourBox(shot, qRgb(255, 0, 0));
    EXPECT_EQ(red.left(), cards[0].cardX + 1);  // the cut outline covers the outer pixels
    EXPECT_EQ(red.top(), cards[0].cardY + 1);
    EXPECT_EQ(red.right(), cards[1].cardX + cards[1].width - 1);
    EXPECT_EQ(red.bottom(), cards[0].cardY + cards[0].height - 1);
    // A zoom step resizes the box first; the new paint then shows the larger cards.
    t.button("ZoominBtn")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(vpaint->size(), vpaint->wantedSize());
    const QImage big = vpaint->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(printtest::colourBox(big, qRgb(255, 0, 0)).left(), int(10 / 25.39995 * 52) + 1);
}

// A 50-sheet run on the PDF path with the progress dialog up at once: the dialog counts sheets,
// blocks the window, and "Abbrechen" at sheet 3 stops the run before its next page. No file is
// left, the cancel is told as information, and the tab and preview work as before.
TEST(PrintTabProgress, CancelAtSheetThreeOfFifty) {
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    t.tab->resize(900, 700);
    t.tab->show();
    t.spin("KopiesED")->setValue(500);  // ten cards a sheet
    t.tab->setProgressDelay(0);
    QStringList labels;
    bool shownModal = false, toolBarOff = false, secondRunRefused = false;
    t.tab->setPageHook([&](const SheetStep& step, QProgressDialog& dialog) {
        labels << dialog.labelText();
        if (step.sheet == 2) {
            toolBarOff = !t.tab->findChild<QToolBar*>("PrintToolBar")->isEnabled();
            // A print command reached meanwhile neither switches the side nor starts a run.
            const qsizetype asked = t.dialogs.saveRequests.size();
            t.tab->printInside();
            secondRunRefused = t.tab->isPrinting() && t.editedSide == SideOutside &&
                               t.dialogs.saveRequests.size() == asked;
        }
        if (step.sheet == 3) {
            shownModal = dialog.isVisible() && dialog.windowModality() == Qt::WindowModal &&
                         dialog.objectName() == QStringLiteral("DruckFortschritt");
            dialog.findChild<QPushButton*>("DruckAbbrechenBtn")->click();
        }
    });
    QSignalSpy printed(t.tab.get(), &PrintTab::printed);
    t.dialogs.saveAnswers.push_back({t.dir.file("fifty.pdf"), 1});
    t.tab->printOutside();

    EXPECT_EQ(labels, (QStringList{"Drucke Blatt 1 von 50", "Drucke Blatt 2 von 50",
                                   "Drucke Blatt 3 von 50"}));
    EXPECT_TRUE(shownModal);
    EXPECT_TRUE(toolBarOff);
    EXPECT_TRUE(secondRunRefused);
    EXPECT_FALSE(QFile::exists(t.dir.file("fifty.pdf")));
    // After the note that there is no printer, the cancel is told.
    ASSERT_EQ(t.dialogs.messages.size(), 2);
    EXPECT_EQ(t.dialogs.messages[1].text, QStringLiteral("Der Druck wurde abgebrochen."));
    EXPECT_EQ(t.dialogs.messages[1].icon, MsgIcon::Information);
    EXPECT_EQ(printed.count(), 1);

    // Afterwards: no dialog, the commands on, the context free, the preview painting again.
    const QProgressDialog* left = t.tab->findChild<QProgressDialog*>("DruckFortschritt");
    EXPECT_TRUE(!left || !left->isVisible());
    EXPECT_FALSE(t.tab->isPrinting());
    EXPECT_TRUE(t.tab->findChild<QToolBar*>("PrintToolBar")->isEnabled());
    EXPECT_EQ(t.ctx.renderMode, RenderScreen);
    EXPECT_EQ(t.editedSide, SideOutside);
    const QImage shot = t.preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(printtest::colourBox(shot, qRgb(255, 0, 0)).isNull());
}

// With the normal delay a one-sheet run ends before the dialog could appear; the whole file is
// written and nothing is said.
TEST(PrintTabProgress, ShortRunShowsNoDialog) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    t.tab->show();
    bool everShown = false;
    t.tab->setPageHook([&](const SheetStep&, QProgressDialog& d) { everShown |= d.isVisible(); });
    t.dialogs.saveAnswers.push_back({t.dir.file("one.pdf"), 1});
    t.tab->printOutside();
    EXPECT_FALSE(everShown);
    EXPECT_EQ(t.dialogs.texts(), QStringList{kNoPrinterNotice});
    EXPECT_EQ(printtest::pdfPageCount(t.dir.file("one.pdf")), 1);
}

TEST(SheetProgressSteps, PagesCountAsSheets) {
    EXPECT_EQ(sheetStep(3, 50, 1), (SheetStep{3, 50, true}));
    // Two-sided: the back of a sheet is no new sheet.
    EXPECT_EQ(sheetStep(1, 5, 2), (SheetStep{1, 3, true}));
    EXPECT_EQ(sheetStep(2, 5, 2), (SheetStep{1, 3, false}));
    EXPECT_EQ(sheetStep(5, 5, 2), (SheetStep{3, 3, true}));
    EXPECT_EQ(sheetStep(2, 2, 0), (SheetStep{2, 2, true}));
    EXPECT_EQ(sheetProgressText(sheetStep(3, 100, 2)), QStringLiteral("Drucke Blatt 2 von 50"));
}

TEST(PrintTabPaper, ALandscapeTypePrintsWholeCardsOnLandscapeSheets) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    // 2 × 2 cards of 120 × 80 mm reach 270 × 190 mm: A4 only holds them turned.
    CardFormat& f = t.doc->format;
    f.cardWidth = 120;
    f.cardHeight = 80;
    f.pitchX = 130;
    f.pitchY = 90;
    f.leftMargin = f.topMargin = 20;
    f.cardsAcross = f.cardsDown = 2;
    QPrinter& printer = t.tab->printerTarget().printer();
    printer.setPageOrientation(QPageLayout::Portrait);
    t.tab->takeCardPaper();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    const QSize box = t.preview()->wantedSize();
    EXPECT_GT(box.width(), box.height());

    const DeviceGeometry g = t.tab->printerTarget().geometry();
    constexpr int kDpi = 30;
    const auto onPage = [&](double devicePixels, int offset) {
        return (devicePixels + offset) * kDpi / g.dpiX;
    };
    const auto px = [&](double mm) { return mm / kNominalMmPerInch * g.dpiX; };
    const QRect grid(QPoint(onPage(px(20), g.physOffX), onPage(px(20), g.physOffY)),
                     QPoint(onPage(px(270), g.physOffX), onPage(px(190), g.physOffY)));
    const auto expectWhole = [&](const QImage& page, QRgb colour, QSize size) {
        EXPECT_FALSE(page.isNull());
        EXPECT_GT(page.width(), page.height());
        const QRect found = printtest::colourBox(page, colour);
        EXPECT_NEAR(found.width(), size.width(), 2);
        EXPECT_NEAR(found.height(), size.height(), 2);
        EXPECT_TRUE(page.rect().adjusted(1, 1, -1, -1).contains(found));
        return found;
    };

    t.spin("KopiesED")->setValue(4);
    t.tab->printOutside();  // the first run tells that there is no printer
    const QString one = t.answerFile("one.pdf");
    t.tab->printOutside();
    const QRect red = expectWhole(printtest::pdfPage(one, 1, kDpi), qRgb(255, 0, 0), grid.size());
    EXPECT_NEAR(red.left(), grid.left(), 2);
    EXPECT_NEAR(red.top(), grid.top(), 2);

    // Both sides: the insides stand behind the outsides, whole, on the landscape back.
    const QString both = t.answerFile("both.pdf");
    t.tab->printBothSides();
    expectWhole(printtest::pdfPage(both, 1, kDpi), qRgb(255, 0, 0), grid.size());
    expectWhole(printtest::pdfPage(both, 2, kDpi), qRgb(0, 0, 255), grid.size());

    // The quarter fold: one card's outside above the sheet's middle, its inside below.
    const QString quarter = t.answerFile("quarter.pdf");
    t.spin("KopiesED")->setValue(1);
    t.tab->printQuarterFold();
    const QSize card(onPage(px(120), 0), onPage(px(80), 0));
    const QImage sheet = printtest::pdfPage(quarter, 1, kDpi);
    const QRect outside = expectWhole(sheet, qRgb(255, 0, 0), card);
    const QRect inside = expectWhole(sheet, qRgb(0, 0, 255), card);
    EXPECT_NEAR(outside.bottom() + 1, inside.top(), 2);
}

TEST(PrintTabCommands, ToolBarKeepsItsOrderAndTheFurtherCommandsSitInThePanel) {
    Tab t;
    auto* bar = t.tab->findChild<QToolBar*>("PrintToolBar");
    ASSERT_NE(bar, nullptr);
    QStringList order;
    for (QAction* a : bar->actions())
        if (QWidget* w = bar->widgetForAction(a)) order << w->objectName();
    // A click by habit on the second button prints the outside, not a quarter-fold sheet.
    EXPECT_EQ(order,
              (QStringList{"PrintSetupBtn", "PrintBtn", "Druck2Btn", "VFormatBtn", "EMailBtn"}));
    QAbstractButton* quarter = t.button("ViertelfalzBtn");
    ASSERT_NE(quarter, nullptr);
    EXPECT_FALSE(bar->isAncestorOf(quarter));
    EXPECT_EQ(quarter->text(), QStringLiteral("Viertelfalz"));
}

// The print service takes the connection and never answers: the tab is made at once, asks in
// the background, then says so, prints to a PDF file and opens no set-up dialog.
TEST(PrintTabService, StartsAtOnceAndTellsThatTheServiceIsSilent) {
    bbtest::SilentServer server(bbtest::SilentServer::AcceptAndStaySilent);
    ASSERT_TRUE(server.ok());
    // Before the first printer query of this test program.
    qputenv("CUPS_SERVER", server.address().toUtf8());
    Tab t;
    // The question is under way; its answer can only arrive through the event loop.
    EXPECT_FALSE(t.tab->printService().has_value());
    EXPECT_TRUE(t.tab->printerTarget().isPdf());
    auto* label = t.tab->findChild<QLabel*>("DruckdienstLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isVisibleTo(t.tab.get()));
    ASSERT_TRUE(bbtest::runUntil([&] { return t.tab->printService().has_value(); }));
    EXPECT_EQ(*t.tab->printService(), ServiceState::Silent);
    EXPECT_TRUE(label->isVisibleTo(t.tab.get()));
    EXPECT_EQ(label->text(), QStringLiteral("Der Druckdienst antwortet nicht"));

    // The cards go to a PDF file, and the first run says why.
    const QString pdf = t.answerFile("still.pdf");
    t.tab->printOutside();
    EXPECT_EQ(t.dialogs.texts(), QStringList{kServiceSilentNotice});
    EXPECT_TRUE(QFile::exists(pdf));
    // "Einrichten" would wait on the service inside Qt's dialog: it says why it does not open.
    t.tab->setUpPrinter();
    ASSERT_EQ(t.dialogs.messages.size(), 2);
    EXPECT_TRUE(t.dialogs.messages[1].text.startsWith(kServiceSilentText));
    qunsetenv("CUPS_SERVER");
}

// A print run started while the question is still under way waits for its answer (a gate:
// the answer comes only once the event loop runs, which the run's wait does).
TEST(PrintTabService, ARunWaitsForTheQuestionsAnswer) {
    Tab t;  // CUPS_SERVER points nowhere: the answer is "unreachable"
    ASSERT_FALSE(t.tab->printService().has_value());
    t.tab->printOutside();  // the file question is cancelled
    ASSERT_TRUE(t.tab->printService().has_value());
    EXPECT_EQ(*t.tab->printService(), ServiceState::Unreachable);
    EXPECT_EQ(t.dialogs.texts(), QStringList{kNoPrinterNotice});
}

// The orientation chosen in "Einrichten" stays for the session: a new or opened card whose
// cards fit that way keeps it; a card that fits only the other way turns the paper, and the
// next card that fits goes back to the choice.
TEST(PrintTabPaper, TheOrientationChosenInTheSetUpStays) {
    Tab t;
    QPrinter& printer = t.tab->printerTarget().printer();
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    t.tab->keepPrinterChoice();   // what the set-up dialog's OK does
    t.doc->format.cardsDown = 2;  // 2 × 2 cards of 90 × 55 mm: they fit both ways
    t.tab->takeCardPaper();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

    // Only portrait holds 1 × 3 cards of 180 × 90 mm.
    const CardFormat small = t.doc->format;
    CardFormat& f = t.doc->format;
    f.cardWidth = 180;
    f.cardHeight = 90;
    f.pitchX = 180;
    f.pitchY = 90;
    f.leftMargin = f.topMargin = 10;
    f.cardsAcross = 1;
    f.cardsDown = 3;
    t.tab->takeCardPaper();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    t.doc->format = small;
    t.tab->takeCardPaper();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);

    // Without a choice, portrait wherever the cards fit so.
    Tab fresh;
    fresh.doc->format = small;
    fresh.tab->printerTarget().printer().setPageOrientation(QPageLayout::Landscape);
    fresh.tab->takeCardPaper();
    EXPECT_EQ(fresh.tab->printerTarget().printer().pageLayout().orientation(),
              QPageLayout::Portrait);
}

// A PDF page has no unprintable margin: the printable area is the whole sheet, so the
// preview's white page is the paper and a card at margin 0 lies at its corner.
TEST(PrintTabPreview, APdfSheetIsPrintableToItsEdges) {
    Tab t;
    t.tab->printerTarget().usePdf(QString());
    const DeviceGeometry g = t.tab->printerTarget().geometry();
    EXPECT_EQ(g.physOffX, 0);
    EXPECT_EQ(g.physOffY, 0);
    EXPECT_EQ(g.pageW, g.physW);
    EXPECT_EQ(g.pageH, g.physH);
    t.tab->refreshPreview();
    EXPECT_EQ(t.preview()->wantedSize(),
              previewBoxSize(g.physW, g.physH, int(g.dpiX), int(g.dpiY), t.tab->previewZoom()));
}
