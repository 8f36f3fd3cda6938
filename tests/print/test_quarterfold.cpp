// Quarter-fold sheets: whether a card fits half the paper, where both halves go (also
// calibrated), a run onto a PDF checked on the page picture, the preview, and the tab's
// "Viertelfalz".
#include "PdfPages.h"

#include "document/CardObject.h"
#include "document/RenderContext.h"
#include "print/PreviewPaint.h"
#include "print/PrinterTarget.h"
#include "print/QuarterFold.h"
#include "print/ui/PrintTab.h"
#include "print/ui/SheetPreview.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSpinBox>
#include <QToolButton>

#include <cmath>
#include <limits>

using namespace bb;
using namespace printtest;

namespace {

const QSizeF kA4(210, 297);
const QSizeF kLetter(215.9, 279.4);

CardFormat cardOf(double width, double height) {
    CardFormat f;
    f.cardWidth = width;
    f.cardHeight = height;
    return f;
}

DeviceGeometry device600() {
    DeviceGeometry g;
    g.dpiX = g.dpiY = 600;
    return g;
}

// Device pixels of `mm` at `mmPerInch` and 600 dpi, truncated.
int px(double mm, double mmPerInch = kNominalMmPerInch) {
    return int(std::trunc(mm / mmPerInch * 600));
}

// The outside (working): green, with a small red square in its top-left corner, an eighth of
// the card each way. The work area is three cards wide and high, the card in its middle.
void markOutsideCorner(CardDocument& doc) {
    doc.workingBackground.backgroundColor = rgbRef(0, 160, 0);
    CardObject& mark = *doc.workingSlots[doc.findFreeSlot()];
    mark.kind = KindFigure;
    mark.figureKind = FigRectangle;
    mark.fillMode = FillSolid;
    mark.color = mark.borderColor = rgbRef(255, 0, 0);
    mark.x = doc.sideWidthUnits / 3;
    mark.y = doc.sideHeightUnits / 3;
    mark.width = doc.sideWidthUnits / 24;
    mark.height = doc.sideHeightUnits / 24;
}

}  // namespace

TEST(QuarterFold, FitsWhenTheUnfoldedCardTakesAtMostHalfTheSheet) {
    // Half of A4 is 210 × 148.5 mm, half of Letter 215.9 × 139.7 mm.
    EXPECT_TRUE(quarterFoldFits(cardOf(210, 148.5), kA4));
    EXPECT_TRUE(quarterFoldFits(cardOf(150, 100), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(210.5, 100), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(150, 149), kA4));
    EXPECT_TRUE(quarterFoldFits(cardOf(215.9, 139.7), kLetter));
    EXPECT_FALSE(quarterFoldFits(cardOf(210, 145), kLetter));  // fits A4, not Letter
    EXPECT_FALSE(quarterFoldFits(cardOf(216, 100), kLetter));
    // A landscape sheet: its height is halved.
    EXPECT_TRUE(quarterFoldFits(cardOf(297, 105), kA4.transposed()));
    EXPECT_FALSE(quarterFoldFits(cardOf(148, 106), kA4.transposed()));
    // Broken card sizes and papers never fit.
    EXPECT_FALSE(quarterFoldFits(cardOf(0, 100), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(100, -5), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(std::numeric_limits<double>::quiet_NaN(), 100), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(100, 100), QSizeF()));

    // The paper of a device, in its orientation.
    bbtest::TempFolder dir;
    QPdfWriter writer(dir.file("size.pdf"));
    writer.setPageSize(QPageSize(QPageSize::Letter));
    EXPECT_NEAR(paperSizeMm(writer).width(), 215.9, 0.01);
    EXPECT_NEAR(paperSizeMm(writer).height(), 279.4, 0.01);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    EXPECT_EQ(paperSizeMm(writer), QSizeF(297, 210));
}

TEST(QuarterFold, HalvesMirrorEachOtherAboutTheSheetsMiddle) {
    const CardFormat f = cardOf(150, 100);
    const auto cards = quarterFoldPlacements(f, 3, Calibration{}, device600(), kA4);
    ASSERT_EQ(cards.size(), 6u);
    // Uncalibrated: millimetres from the paper's edges at the nominal millimetres per inch.
    const int middle = px(148.5);
    for (int sheet = 0; sheet < 3; ++sheet) {
        const QuarterFoldCard& out = cards[size_t(sheet) * 2];
        const QuarterFoldCard& in = cards[size_t(sheet) * 2 + 1];
        EXPECT_EQ(out.side, SideOutside);
        EXPECT_TRUE(out.turned);
        EXPECT_EQ(in.side, SideInside);
        EXPECT_FALSE(in.turned);
        EXPECT_EQ(out.card.page, sheet);
        EXPECT_EQ(in.card.page, sheet);
        EXPECT_EQ(out.card.newPage, sheet > 0);
        EXPECT_FALSE(in.card.newPage);
        EXPECT_EQ(out.card.row, 0);
        EXPECT_EQ(in.card.row, 1);
        // Centred across: 30 mm on either side of the card.
        EXPECT_EQ(in.card.cardX, px(30));
        EXPECT_EQ(in.card.width, px(150));
        EXPECT_EQ(in.card.height, px(100));
        // The inside hangs from the middle, the outside stands on it, edge to edge.
        EXPECT_EQ(in.card.cardY, middle);
        EXPECT_EQ(out.card.cardY + out.card.height, middle);
        EXPECT_EQ(out.card.cardX, in.card.cardX);
        EXPECT_EQ(out.card.width, in.card.width);
        EXPECT_EQ(out.card.height, in.card.height);
    }

    // Calibrated: offsets taken off the millimetres, lengths at the measured scale.
    const Calibration cal{3, 2, 101, 99};
    const auto calibrated = quarterFoldPlacements(f, 1, cal, device600(), kA4);
    ASSERT_EQ(calibrated.size(), 2u);
    const CardPlacement& in = calibrated[1].card;
    EXPECT_EQ(in.cardX, px(30 - 3, cal.mmPerInchX()));
    EXPECT_EQ(in.cardY, px(148.5 - 2, cal.mmPerInchY()));
    EXPECT_EQ(in.width, px(150, cal.mmPerInchX()));
    EXPECT_EQ(in.height, px(100, cal.mmPerInchY()));
    EXPECT_EQ(calibrated[0].card.cardY, in.cardY - in.height);

    // Letter: centred across 215.9 mm, the middle at 139.7 mm.
    const auto letter = quarterFoldPlacements(f, 1, Calibration{}, device600(), kLetter);
    EXPECT_EQ(letter[1].card.cardX, px((215.9 - 150) / 2));
    EXPECT_EQ(letter[1].card.cardY, px(139.7));

    // A copy count below one still gives one sheet.
    EXPECT_EQ(quarterFoldPlacements(f, 0, Calibration{}, device600(), kA4).size(), 2u);
}

TEST(QuarterFold, PagesOutlineBothHalvesAndFoldAcrossAndDown) {
    const auto cards = quarterFoldPlacements(cardOf(150, 100), 2, Calibration{}, device600(), kA4);
    const CardPlacement& in = cards[1].card;
    const int x = in.cardX, mid = in.cardY, w = in.width, h = in.height;

    const auto pages = quarterFoldPages(cards, true, true);
    ASSERT_EQ(pages.size(), 2u);
    for (const PrintPage& page : pages) {
        ASSERT_EQ(page.cards.size(), 2u);
        EXPECT_EQ(page.cards[0], (PageCard{SideOutside, x, mid - h, w, h, true}));
        EXPECT_EQ(page.cards[1], (PageCard{SideInside, x, mid, w, h, false}));
        EXPECT_EQ(page.cutOutlines, (std::vector<QRect>{QRect(x, mid - h, w, 2 * h)}));
        EXPECT_EQ(page.foldLines,
                  (std::vector<QLine>{QLine(x, mid, x + w, mid),
                                      QLine(x + w / 2, mid - h, x + w / 2, mid + h)}));
    }
    const auto plain = quarterFoldPages(cards, false, false);
    EXPECT_TRUE(plain[0].cutOutlines.empty());
    EXPECT_TRUE(plain[0].foldLines.empty());
}

TEST(QuarterFoldPdf, OutsideTurnedAboveTheMiddleInsideBelow) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    constexpr int kDpi = 150;
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    doc->format = cardOf(150, 100);
    colourSides(*doc);
    markOutsideCorner(*doc);

    // A4 at 150 dpi with a printable area 12 pt (25 pixels) inside the paper, and the
    // calibration that measured exactly that margin.
    PrinterTarget target;
    const QString pdf = dir.file("quarter.pdf");
    target.usePdf(pdf);
    target.printer().setResolution(kDpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    target.printer().setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Point);
    PrintOptions options;
    options.settings.copies = 2;
    options.foldLines = true;
    options.calibration = Calibration{12 / 72.0 * 25.4, 12 / 72.0 * 25.4, 100, 100};
    const PrintJob job =
        quarterFoldJob(doc->format, options, target.geometry(), paperSizeMm(target.printer()));
    const PrintRunResult result = runPrintJob(target.printer(), *doc, ctx, job, dialogs);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(result.cards, 4);
    EXPECT_EQ(pdfPageCount(pdf), 2);

    const QImage page = pdfPage(pdf, 2, kDpi);
    ASSERT_FALSE(page.isNull());
    const double pxPerMm = kDpi / 25.4;
    const double middle = 148.5 * pxPerMm;  // the sheet's middle, in page pixels
    const double left = 30 * pxPerMm, right = 180 * pxPerMm;
    const double cardH = 100 * pxPerMm;

    // The inside fills the lower half from the middle down, centred across.
    const QRect blue = colourBox(page, qRgb(0, 0, 255));
    ASSERT_FALSE(blue.isNull());
    EXPECT_NEAR(blue.top(), middle, 1.0);
    EXPECT_NEAR(blue.left(), left, 1.0);
    EXPECT_NEAR(blue.right() + 1, right, 1.0);
    EXPECT_NEAR(blue.bottom() + 1, middle + cardH, 2.0);
    // The outside above it, bottom edge on the middle.
    const QRect green = colourBox(page, qRgb(0, 160, 0));
    ASSERT_FALSE(green.isNull());
    EXPECT_NEAR(green.bottom() + 1, middle, 1.0);
    EXPECT_NEAR(green.top(), middle - cardH, 1.0);
    EXPECT_NEAR(green.left(), left, 1.0);
    // Turned: the mark of the outside's top-left corner sits in the lower-right corner of the
    // upper half, an eighth of the card in size.
    const QRect red = colourBox(page, qRgb(255, 0, 0));
    ASSERT_FALSE(red.isNull());
    EXPECT_NEAR(red.right() + 1, right, 1.0);
    EXPECT_NEAR(red.bottom() + 1, middle, 1.0);
    EXPECT_NEAR(red.width(), 150 * pxPerMm / 8, 2.0);
    EXPECT_NEAR(red.height(), cardH / 8, 2.0);

    // Fold lines: across the middle over the card's width, down the card's middle through
    // both halves; dash-dot, so dark with gaps.
    const int foldRow = blue.top();
    const PixelRun across = rowRun(page, foldRow, int(left) + 2, int(right) - 2);
    EXPECT_GT(across.dark, int(150 * pxPerMm / 3));
    EXPECT_GT(across.white, int(150 * pxPerMm / 10));
    const int foldColumn = (blue.left() + blue.right() + 1) / 2;
    for (const auto& [from, to] :
         {std::pair{middle - cardH + 2, middle - 2}, std::pair{middle + 2, middle + cardH - 2}}) {
        const PixelRun down = columnRun(page, foldColumn, int(from), int(to));
        EXPECT_GT(down.dark, int(cardH / 3));
        EXPECT_GT(down.white, int(cardH / 10));
    }
    // Beside the card the sheet stays white.
    EXPECT_EQ(rowRun(page, int(middle), 0, int(left) - 2).white, int(left) - 2);
}

TEST(QuarterFoldPreview, BothHalvesOnTheBoxTheOutsideTurned) {
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    doc->format = cardOf(150, 100);
    colourSides(*doc);
    markOutsideCorner(*doc);
    doc->switchSide(SideInside);
    constexpr int kZoom = 35;
    const QSize box(290, 410);
    QImage img(box, QImage::Format_RGB32);
    PreviewOptions options;
    options.zoom = kZoom;
    options.foldLines = true;
    options.quarterFoldPaperMm = kA4;
    {
        QPainter p(&img);
        EXPECT_EQ(paintSheetPreview(p, box, *doc, ctx, options), 2);
    }
    EXPECT_EQ(doc->currentSide, SideInside);  // the working side comes back
    EXPECT_EQ(ctx.renderMode, RenderScreen);

    const int middle = mmToPixels(148.5, kNominalMmPerInch, kZoom);
    const int left = mmToPixels(30, kNominalMmPerInch, kZoom);
    const int w = mmToPixels(150, kNominalMmPerInch, kZoom);
    const int h = mmToPixels(100, kNominalMmPerInch, kZoom);
    // The fold across lies on the inside's top row, so the blue starts one row lower.
    const QRect blue = colourBox(img, qRgb(0, 0, 255));
    EXPECT_EQ(blue.top(), middle + 1);
    EXPECT_EQ(blue.bottom(), middle + h - 1);
    EXPECT_EQ(blue.left(), left);
    EXPECT_EQ(blue.right(), left + w - 1);
    const QRect red = colourBox(img, qRgb(255, 0, 0));
    ASSERT_FALSE(red.isNull());
    EXPECT_EQ(red.right(), left + w - 1);
    EXPECT_EQ(red.bottom(), middle - 1);
    EXPECT_GT(rowRun(img, middle, left, left + w).dark, w / 3);
}

TEST(PrintTabQuarterFold, OfferedOnlyWhileHalfTheSheetHoldsTheCard) {
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    doc->format = twoByFive();  // 90 × 55 mm
    colourSides(*doc);
    PrintTab tab(*doc, ctx, dialogs, dir.path());
    tab.printerTarget().usePdf(QString());
    tab.refreshPreview();
    QToolButton* button = tab.findChild<QToolButton*>("ViertelfalzBtn");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Viertelfalz"));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(tab.quarterFoldRefusal().isEmpty());

    // The copies of the spin edit, one sheet each, both sides on every sheet.
    tab.findChild<QSpinBox*>("KopiesED")->setValue(3);
    dialogs.saveAnswers.push_back({dir.file("q.pdf"), 1});
    button->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    if (havePdftoppm()) {
        EXPECT_EQ(pdfPageCount(dir.file("q.pdf")), 3);
        const QImage sheet = pdfPage(dir.file("q.pdf"), 3, 20);
        const QRect red = colourBox(sheet, qRgb(255, 0, 0));
        const QRect blue = colourBox(sheet, qRgb(0, 0, 255));
        ASSERT_FALSE(red.isNull());
        ASSERT_FALSE(blue.isNull());
        EXPECT_LT(red.bottom(), blue.top() + 1);
    }

    // The pointer on the command shows the quarter-fold sheet in the preview, and leaving it
    // the shown sheet again.
    tab.resize(900, 700);
    tab.show();
    QCoreApplication::processEvents();
    auto* preview = tab.findChild<SheetPreview*>("VPaint");
    ASSERT_NE(preview, nullptr);
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &enter);
    QImage shot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(preview->lastCardCount(), 2);
    const QRect shownRed = colourBox(shot, qRgb(255, 0, 0));
    const QRect shownBlue = colourBox(shot, qRgb(0, 0, 255));
    ASSERT_FALSE(shownRed.isNull());
    ASSERT_FALSE(shownBlue.isNull());
    EXPECT_LT(shownRed.bottom(), shownBlue.top());
    QCoreApplication::sendEvent(button, &leave);
    shot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(preview->lastCardCount(), 3);
    EXPECT_TRUE(colourBox(shot, qRgb(0, 0, 255)).isNull());

    // A card wider than A4: the command is off and says why; reached anyway (the window's
    // menu), it refuses without asking for a file.
    doc->format.cardWidth = 250;
    doc->format.cardHeight = 100;
    tab.refreshPreview();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), QStringLiteral("Die Karte ist für einen halben Bogen zu groß"));
    const qsizetype asked = dialogs.saveRequests.size();
    tab.printQuarterFold();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, kQuarterFoldTooLargeText);
    EXPECT_EQ(dialogs.saveRequests.size(), asked);

    // Landscape A4 (297 × 105 mm a half) holds it.
    tab.printerTarget().printer().setPageOrientation(QPageLayout::Landscape);
    tab.refreshPreview();
    EXPECT_TRUE(button->isEnabled());
}
