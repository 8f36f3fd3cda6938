// Print runs onto PDF files, checked on the pages as pictures: cards, cut and fold lines,
// the mirrored inside, page breaks; the preview's drawing on an image.
#include "PdfPages.h"

#include "document/RenderContext.h"
#include "print/PreviewPaint.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>

using namespace bb;
using namespace printtest;

namespace {

constexpr int kDpi = 150;

// A PDF printer at 150 dpi whose printable area starts a whole number of pixels inside the
// paper (0.5 inch), so device pixels and page-picture pixels line up.
void setUpPdf(PrinterTarget& target, const QString& file) {
    target.usePdf(file);
    target.printer().setResolution(kDpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    target.printer().setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);
}

struct Fixture {
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    std::unique_ptr<CardDocument> doc = std::make_unique<CardDocument>();
    PrinterTarget target;
    QString pdf = dir.file("run.pdf");

    Fixture() {
        doc->format = twoByFive();
        colourSides(*doc);
        setUpPdf(target, pdf);
    }
    PrintRunResult print(int side, PrintOptions options) {
        return printCards(target.printer(), *doc, side, ctx, options, dialogs);
    }
};

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

}  // namespace

TEST(PrintRunPdf, OutsideCardsWithCutAndFoldLines) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Fixture f;
    PrintOptions options;
    options.settings = {4, 3, 1};
    options.cutLines = true;
    options.foldLines = true;
    const PrintRunResult result = f.print(SideOutside, options);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.cards, 3);
    EXPECT_EQ(result.pages, 1);

    const DeviceGeometry g = deviceGeometry(f.target.printer());
    EXPECT_EQ(g.physOffX, 75);
    const QImage page = pdfPage(f.pdf, 1, kDpi);
    ASSERT_FALSE(page.isNull());
    const auto cards =
        printPlacements(f.doc->format, options.settings, SideOutside, Calibration{}, g);
    ASSERT_EQ(cards.size(), 3u);
    const int off = g.physOffX;  // the same 0.5 inch at the top
    for (const CardPlacement& c : cards) {
        const QRect expected(off + c.cardX, off + c.cardY, c.width, c.height);
        // Cards abut vertically (pitch = height): look only around this card's columns.
        const QRect box = colourBox(page, kRed, expected.adjusted(-20, 0, 20, 0));
        // The red card fills its rectangle; its outermost rows and columns carry the lines.
        EXPECT_NEAR(box.left(), expected.left(), 2) << c.position;
        EXPECT_NEAR(box.right(), expected.right(), 2);
        const QRect column =
            colourBox(page, kRed, QRect(expected.left() + c.width / 4, 0, 1, page.height()));
        EXPECT_LE(column.top(), expected.top() + 2);
        EXPECT_GE(column.bottom(), expected.bottom() - 2);
        // Cut line along the top edge: dots with white gaps, no red left between them.
        const PixelRun top =
            rowRun(page, expected.top(), expected.left() + 3, expected.right() - 3);
        EXPECT_GT(top.dark, c.width / 5);
        EXPECT_GT(top.white, c.width / 5);
        EXPECT_LT(top.other, c.width / 10);
        // Right edge outline at cardX + Wd, the bottom at cardY + Hd.
        const PixelRun right =
            columnRun(page, expected.left() + c.width, expected.top() + 3, expected.bottom() - 3);
        EXPECT_GT(right.dark, c.height / 5);
        const PixelRun bottom =
            rowRun(page, expected.top() + c.height, expected.left() + 3, expected.right() - 3);
        EXPECT_GT(bottom.dark, c.width / 5);
        // Fold line down the middle, dash-dot with white gaps over the red.
        const PixelRun fold = columnRun(page, expected.left() + c.width / 2, expected.top() + 3,
                                        expected.bottom() - 3);
        EXPECT_GT(fold.dark, c.height / 3);
        EXPECT_GT(fold.white, c.height / 10);
        EXPECT_LT(fold.other, c.height / 10);
        // Between the lines the card is plain red.
        const PixelRun inner = rowRun(page, expected.center().y(), expected.left() + 5,
                                      expected.left() + c.width / 2 - 5);
        EXPECT_EQ(inner.dark, 0);
    }
    // Used positions 0..3 and the rest of the sheet stay white.
    const QImage used = page.copy(0, 0, page.width(), off + cards[0].cardY - 5);
    EXPECT_TRUE(colourBox(used, kRed).isNull());
    EXPECT_TRUE(
        colourBox(page, kRed,
                  QRect(0, off + cards[2].cardY + cards[2].height + 5, page.width(), page.height()))
            .isNull());
}

TEST(PrintRunPdf, InsideIsMirroredAboutThePaper) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Fixture f;
    PrintOptions options;
    options.settings = {0, 1, 1};
    ASSERT_TRUE(f.print(SideOutside, options).ok);
    const QImage outside = pdfPage(f.pdf, 1, kDpi);
    ASSERT_TRUE(f.print(SideInside, options).ok);
    const QImage inside = pdfPage(f.pdf, 1, kDpi);
    ASSERT_FALSE(outside.isNull());
    ASSERT_FALSE(inside.isNull());

    const QRect out = colourBox(outside, kRed);
    const QRect in = colourBox(inside, kBlue);
    ASSERT_FALSE(out.isNull());
    ASSERT_FALSE(in.isNull());
    EXPECT_TRUE(colourBox(inside, kRed).isNull());
    // Column 0 of the inside sits on the right: its right edge as far from the paper's right
    // edge as the outside's left edge from the paper's left edge; same height on the sheet.
    const int paperWidth = inside.width();
    EXPECT_NEAR(paperWidth - 1 - in.right(), out.left(), 3);
    EXPECT_NEAR(in.top(), out.top(), 2);
    EXPECT_NEAR(in.width(), out.width(), 2);
    EXPECT_GT(in.center().x(), paperWidth / 2);
}

TEST(PrintRunPdf, PageBreaksCalibrationAndRestoredContext) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Fixture f;
    PrintOptions options;
    options.settings = {3, 30, 9};
    options.calibration = Calibration{3, 2, 101, 99};
    const PrintRunResult result = f.print(SideOutside, options);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.pages, 4);
    EXPECT_EQ(result.cards, 30);
    EXPECT_EQ(result.settings.shownSheet, 4);  // clamped to the last sheet
    EXPECT_EQ(pdfPageCount(f.pdf), 4);
    // The run leaves the screen scale and mode as it found them.
    EXPECT_EQ(f.ctx.renderMode, RenderScreen);
    EXPECT_DOUBLE_EQ(f.ctx.mmPerInchX, kNominalMmPerInch);
    EXPECT_DOUBLE_EQ(f.ctx.mmPerInchY, kNominalMmPerInch);

    // Sheet 4 holds positions 30, 31 in its first row and 32 below the first; calibrated.
    const QImage last = pdfPage(f.pdf, 4, kDpi);
    const DeviceGeometry g = deviceGeometry(f.target.printer());
    const auto cards =
        printPlacements(f.doc->format, result.settings, SideOutside, options.calibration, g);
    const CardPlacement& p32 = cards.back();
    const int off = g.physOffX;
    const QRect box = colourBox(last, kRed);
    EXPECT_NEAR(box.left(), off + cards[27].cardX, 2);
    EXPECT_NEAR(box.bottom(), off + p32.cardY + p32.height - 1, 2);
    EXPECT_EQ(p32.cardX, int((10 - 3) / (101 * 25.39995 / 100) * kDpi));
    EXPECT_NEAR(box.left(), off + p32.cardX, 2);
}

TEST(PrintRunPdf, UnwritableFileIsReportedNotPrinted) {
    Fixture f;
    f.target.usePdf(f.dir.file("no/such/folder/run.pdf"));
    RenderContext before = f.ctx;
    const PrintRunResult result = f.print(SideOutside, PrintOptions{});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(f.ctx.renderMode, before.renderMode);
    EXPECT_DOUBLE_EQ(f.ctx.mmPerInchX, kNominalMmPerInch);
}

// A job of both sides on one page, cancelled by the progress hook before its third page: the
// earlier PDF stays as it was, and the views are free again.
TEST(PrintRunPdf, MixedSidesTurnedCardsAndCancelBeforeAPage) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Fixture f;
    PrintJob job;
    PrintPage page;
    page.cards.push_back(PageCard{SideInside, 100, 100, 300, 200, false});
    page.cards.push_back(PageCard{SideOutside, 100, 400, 300, 200, true});
    page.foldLines.emplace_back(100, 400, 399, 400);
    job.pages = {page};
    const PrintRunResult one = runPrintJob(f.target.printer(), *f.doc, f.ctx, job, f.dialogs);
    ASSERT_TRUE(one.ok) << one.error.toStdString();
    QFile written(f.pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray earlier = written.readAll();
    written.close();
    EXPECT_EQ(one.cards, 2);
    const QImage image = pdfPage(f.pdf, 1, kDpi);
    const int off = deviceGeometry(f.target.printer()).physOffX;
    EXPECT_EQ(colourBox(image, kBlue), QRect(off + 100, off + 100, 300, 200));
    EXPECT_EQ(colourBox(image, kRed, QRect(off + 100, off + 401, 300, 199)),
              QRect(off + 100, off + 401, 300, 199));

    struct StopAtThree : PrintProgress {
        QList<int> seen;
        bool pageStarting(int p, int pages) override {
            EXPECT_EQ(pages, 4);
            seen << p;
            return p < 3;
        }
    } stop;
    job.pages = {page, page, page, page};
    const PrintRunResult cancelled =
        runPrintJob(f.target.printer(), *f.doc, f.ctx, job, f.dialogs, &stop);
    EXPECT_FALSE(cancelled.ok);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.error, kPrintCancelledText);
    EXPECT_EQ(stop.seen, (QList<int>{1, 2, 3}));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), earlier);
    EXPECT_EQ(
        QDir(f.dir.path()).entryList({QStringLiteral(".run.pdf*")}, QDir::Files | QDir::Hidden),
        QStringList());
    EXPECT_EQ(f.ctx.renderMode, RenderScreen);
}

TEST(PrintRunPdf, TestSquareIsOneHundredMillimetres) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    bbtest::TempFolder dir;
    PrinterTarget target;
    setUpPdf(target, dir.file("square.pdf"));
    ASSERT_TRUE(printTestSquare(target.printer()).ok);
    const QImage page = pdfPage(dir.file("square.pdf"), 1, kDpi);
    const QRect grey = colourBox(page, qRgb(192, 192, 192));
    const QSize expected = testSquarePixels(kDpi, kDpi);  // 590 × 590
    EXPECT_NEAR(grey.left(), 75 + 1, 2);
    EXPECT_NEAR(grey.top(), 75 + 1, 2);
    EXPECT_NEAR(grey.width(), expected.width() - 2, 3);
    EXPECT_NEAR(grey.height(), expected.height() - 2, 3);
    EXPECT_TRUE(dark(page.pixel(75, 75 + expected.height() / 2)));
}

TEST(PreviewPaint, ShownSheetMirrorAndLines) {
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    doc->format = twoByFive();
    colourSides(*doc);
    const QSize box = previewBoxSize(4794, 6850, 600, 600, 35);
    QImage img(box, QImage::Format_RGB32);
    img.fill(Qt::black);

    PreviewOptions options;
    options.settings = {4, 25, 3};  // positions 20..28 on the third sheet
    options.cutLines = true;
    {
        QPainter p(&img);
        EXPECT_EQ(paintSheetPreview(p, box, *doc, ctx, options), 9);
    }
    const auto cards =
        previewPlacements(doc->format, options.settings, SideOutside, 35, box.width());
    // Position 29 (second column, last row) is not part of the run: white.
    const CardPlacement& c0 = cards.front();
    const QRect lastRow(cards[1].cardX, cards.back().cardY, c0.width, c0.height);
    EXPECT_TRUE(colourBox(img, kRed, lastRow.adjusted(3, 3, -3, -3)).isNull());
    for (const CardPlacement& c : cards) {
        const QRect inner(c.cardX + 2, c.cardY + 2, c.width - 4, c.height - 4);
        EXPECT_EQ(colourBox(img, kRed, inner), inner) << c.position;
        // The raster preview shows the exact dotted pattern: one on, two off, white gaps.
        const PixelRun top = rowRun(img, c.cardY, c.cardX, c.cardX + c.width);
        EXPECT_NEAR(top.dark, (c.width + 2) / 3, 2);
        EXPECT_EQ(top.dark + top.white, c.width);
    }
    EXPECT_EQ(ctx.renderMode, RenderScreen);

    // The inside, mirrored in the box, with fold lines only.
    options.side = SideInside;
    options.settings = {0, 1, 1};
    options.cutLines = false;
    options.foldLines = true;
    img.fill(Qt::black);
    {
        QPainter p(&img);
        EXPECT_EQ(paintSheetPreview(p, box, *doc, ctx, options), 1);
    }
    const auto in = previewPlacements(doc->format, options.settings, SideInside, 35, box.width());
    const QRect blue = colourBox(img, kBlue);
    EXPECT_EQ(blue.left(), in[0].cardX);
    EXPECT_EQ(blue.right(), in[0].cardX + in[0].width - 1);
    EXPECT_EQ(box.width() - 1 - blue.right(), int(10 / 25.39995 * 35));
    const PixelRun fold =
        columnRun(img, in[0].cardX + in[0].width / 2, in[0].cardY, in[0].cardY + in[0].height);
    EXPECT_GT(fold.dark, in[0].height / 3);
    EXPECT_GT(fold.white, 0);
    EXPECT_EQ(fold.dark + fold.white, in[0].height);
}
