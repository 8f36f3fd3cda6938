// Quarter-fold sheets: whether a card fits half the paper, where both halves go (also
// calibrated), a run onto a PDF checked on the page picture, and the tab's "Viertelfalz" with
// its preview.
#include "PdfPages.h"

#include "document/CardObject.h"
#include "document/RenderContext.h"
#include "print/PrinterTarget.h"
#include "print/QuarterFold.h"
#include "print/ui/PrintTab.h"
#include "print/ui/SheetPreview.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QPrinter>
#include <QSpinBox>
#include <QToolButton>

#include <cmath>

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

// Truncated device pixels of `mm` at 600 dpi.
int px(double mm, double mmPerInch = kNominalMmPerInch) {
    return int(std::trunc(mm / mmPerInch * 600));
}

// Red outside with a small red square in its top-left corner over green, blue inside; the
// card's corner lies a third into the work area, which is three cards wide and high.
std::unique_ptr<CardDocument> markedCard(const CardFormat& format) {
    auto doc = std::make_unique<CardDocument>();
    doc->format = format;
    colourSides(*doc);
    doc->outsideBackground.backgroundColor = rgbRef(0, 160, 0);
    CardObject& mark = *doc->outsideSlots[doc->findFreeSlot(SideOutside)];
    mark.kind = KindFigure;
    mark.figureKind = FigRectangle;
    mark.color = mark.borderColor = rgbRef(255, 0, 0);
    mark.x = doc->sideWidthUnits / 3;
    mark.y = doc->sideHeightUnits / 3;
    mark.width = doc->sideWidthUnits / 24;
    mark.height = doc->sideHeightUnits / 24;
    return doc;
}

}  // namespace

TEST(QuarterFold, FitsHalfTheSheetAndMirrorsAboutItsMiddle) {
    // Half of A4 is 210 × 148.5 mm, half of Letter 215.9 × 139.7 mm.
    EXPECT_TRUE(quarterFoldFits(cardOf(210, 148.5), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(210.5, 100), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(150, 149), kA4));
    EXPECT_TRUE(quarterFoldFits(cardOf(215.9, 139.7), kLetter));
    EXPECT_FALSE(quarterFoldFits(cardOf(210, 145), kLetter));
    EXPECT_FALSE(quarterFoldFits(cardOf(0, 100), kA4));
    EXPECT_FALSE(quarterFoldFits(cardOf(NAN, 100), kA4));

    // Uncalibrated on A4: centred across (30 mm either side), the inside hanging from the
    // middle, the outside standing on it, turned; one sheet per copy.
    DeviceGeometry dev;
    const auto cards = quarterFoldPlacements(cardOf(150, 100), 2, Calibration{}, dev, kA4);
    ASSERT_EQ(cards.size(), 4u);
    const QuarterFoldCard &out = cards[2], &in = cards[3];
    EXPECT_EQ(std::tuple(out.side, out.turned, out.card.page, out.card.newPage, out.card.row),
              std::tuple(int(SideOutside), true, 1, true, 0));
    EXPECT_EQ(std::tuple(in.side, in.turned, in.card.page, in.card.newPage, in.card.row),
              std::tuple(int(SideInside), false, 1, false, 1));
    EXPECT_EQ(QRect(in.card.cardX, in.card.cardY, in.card.width, in.card.height),
              QRect(px(30), px(148.5), px(150), px(100)));
    EXPECT_EQ(QRect(out.card.cardX, out.card.cardY, out.card.width, out.card.height),
              QRect(px(30), px(148.5) - px(100), px(150), px(100)));

    // Calibrated on Letter: the offsets come off the millimetres, lengths at the measured scale.
    const Calibration cal{3, 2, 101, 99};
    const auto letter = quarterFoldPlacements(cardOf(150, 100), 1, cal, dev, kLetter);
    const CardPlacement& c = letter[1].card;
    EXPECT_EQ(c.cardX, px((215.9 - 150) / 2 - 3, cal.mmPerInchX()));
    EXPECT_EQ(c.cardY, px(139.7 - 2, cal.mmPerInchY()));
    EXPECT_EQ(c.height, px(100, cal.mmPerInchY()));
    EXPECT_EQ(letter[0].card.cardY + letter[0].card.height, c.cardY);
}

TEST(QuarterFoldPdf, OutsideTurnedAboveTheMiddleInsideBelow) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    constexpr int kDpi = 150;
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = markedCard(cardOf(150, 100));
    // A4 at 150 dpi, the printable area 12 pt (25 pixels) inside the paper, and the
    // calibration that measured exactly that margin.
    PrinterTarget target;
    const QString pdf = dir.file("quarter.pdf");
    target.usePdf(pdf);
    target.printer().setResolution(kDpi);
    target.printer().setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Point);
    PrintOptions options;
    options.settings.copies = 2;
    options.cutLines = true;
    options.foldLines = true;
    options.calibration = Calibration{12 / 72.0 * 25.4, 12 / 72.0 * 25.4, 100, 100};
    const PrintRunResult result = runPrintJob(
        target.printer(), *doc, ctx,
        quarterFoldJob(doc->format, options, target.geometry(), paperSizeMm(target.printer())),
        dialogs);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(pdfPageCount(pdf), 2);

    const QImage page = pdfPage(pdf, 2, kDpi);
    const double mm = kDpi / 25.4;  // page pixels per millimetre
    const double middle = 148.5 * mm, left = 30 * mm, right = 180 * mm, cardH = 100 * mm;
    // The inside from the sheet's middle down, centred across; the outside above it.
    const QRect blue = colourBox(page, qRgb(0, 0, 255));
    EXPECT_NEAR(blue.top(), middle, 1.0);
    EXPECT_NEAR(blue.left(), left, 1.0);
    EXPECT_NEAR(blue.right() + 1, right, 1.0);
    EXPECT_NEAR(blue.bottom() + 1, middle + cardH, 2.0);
    const QRect green = colourBox(page, qRgb(0, 160, 0));
    EXPECT_NEAR(green.bottom() + 1, middle, 1.0);
    EXPECT_NEAR(green.top(), middle - cardH, 2.0);
    // Turned: the mark of the outside's top-left corner is in the upper half's lower right.
    const QRect red = colourBox(page, qRgb(255, 0, 0));
    EXPECT_NEAR(red.right() + 1, right, 1.0);
    EXPECT_NEAR(red.bottom() + 1, middle, 1.0);
    EXPECT_NEAR(red.height(), cardH / 8, 2.0);

    // The lines, looked for within a pixel of where they belong: one dotted outline around
    // both halves, dash-dot folds across the middle and down the card's middle.
    const auto row = [&](double y) {
        int most = 0;
        for (int r = int(y) - 1; r <= int(y) + 1; ++r)
            most = std::max(most, rowRun(page, r, int(left) + 2, int(right) - 2).dark);
        return most;
    };
    const auto column = [&](double x, double y0, double y1) {
        int most = 0;
        for (int c = int(x) - 1; c <= int(x) + 1; ++c)
            most = std::max(most, columnRun(page, c, int(y0) + 2, int(y1) - 2).dark);
        return most;
    };
    EXPECT_GT(row(middle - cardH), int(30 * mm));
    EXPECT_GT(row(middle + cardH), int(30 * mm));
    EXPECT_GT(row(middle), int(50 * mm));
    EXPECT_GT(column(105 * mm, middle - cardH, middle), int(33 * mm));
    EXPECT_GT(column(105 * mm, middle, middle + cardH), int(33 * mm));
    // Across a half's own middle only the fold down crosses.
    EXPECT_LE(row(middle - cardH / 2), 3);
}

TEST(PrintTabQuarterFold, OfferedWhileHalfTheSheetHoldsTheCardAndPreviewedOnHover) {
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = markedCard(twoByFive());  // 90 × 55 mm
    PrintTab tab(*doc, ctx, dialogs, dir.path());
    tab.printerTarget().usePdf(QString());
    tab.refreshPreview();
    auto* button = tab.findChild<QToolButton*>("ViertelfalzBtn");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());

    // The copies of the spin edit, one sheet each.
    tab.findChild<QSpinBox*>("KopiesED")->setValue(3);
    dialogs.saveAnswers.push_back({dir.file("q.pdf"), 1});
    button->click();
    EXPECT_EQ(dialogs.texts(), QStringList{kNoPrinterNotice});
    if (havePdftoppm()) {
        EXPECT_EQ(pdfPageCount(dir.file("q.pdf")), 3);
    }

    // While the pointer is on the command the preview shows the quarter-fold sheet: the
    // outside's corner mark turned into the upper half's lower right, above the inside.
    tab.resize(900, 700);
    tab.show();
    auto* preview = tab.findChild<SheetPreview*>("VPaint");
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &enter);
    QImage shot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(preview->lastCardCount(), 2);
    const QRect red = colourBox(shot, qRgb(255, 0, 0));
    const QRect blue = colourBox(shot, qRgb(0, 0, 255));
    EXPECT_EQ(red.right(), blue.right());
    EXPECT_EQ(red.bottom() + 1, blue.top());
    QCoreApplication::sendEvent(button, &leave);
    shot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(preview->lastCardCount(), 3);
    EXPECT_TRUE(colourBox(shot, qRgb(0, 0, 255)).isNull());

    // A card wider than A4: off, saying why; reached anyway (the window's menu), refused
    // without asking for a file. Landscape A4 (297 × 105 mm a half) holds it.
    doc->format.cardWidth = 250;
    tab.refreshPreview();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), QStringLiteral("Die Karte ist für einen halben Bogen zu groß"));
    const qsizetype asked = dialogs.saveRequests.size();
    tab.printQuarterFold();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text, kQuarterFoldTooLargeText);
    EXPECT_EQ(dialogs.saveRequests.size(), asked);
    tab.printerTarget().printer().setPageOrientation(QPageLayout::Landscape);
    tab.refreshPreview();
    EXPECT_TRUE(button->isEnabled());
}
