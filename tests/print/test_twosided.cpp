// Both sides on one sheet: the back position for either turning edge, the duplex mode choice,
// the two-sided job and the alignment sheet, two-sided PDF files checked as pictures, and the
// print tab's "Beide Seiten drucken" on the PDF path, on a duplex printer and by turning sheets.
#include "PdfPages.h"
#include "PrintTabFixture.h"

#include "document/RenderContext.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/TwoSided.h"
#include "print/ui/PrintTab.h"
#include "print/ui/TurnSheetsDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace bb;
using namespace printtest;

namespace {

// An A4 sheet at 600 dpi whose printable area starts at different distances from the left
// and the top edge, so that a sign or an axis taken wrongly shows.
DeviceGeometry a4Device() {
    DeviceGeometry g;
    g.physW = 4960;
    g.physH = 7016;
    g.physOffX = 100;
    g.physOffY = 170;
    g.pageW = 4960 - 2 * 100;
    g.pageH = 7016 - 2 * 170;
    return g;
}

// The rectangle on the paper, counted from the paper's own top-left corner as seen from the
// side the page is printed on.
QRect onPaper(int x, int y, int w, int h, const DeviceGeometry& g) {
    return QRect(x + g.physOffX, y + g.physOffY, w, h);
}

bool isRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}
bool isBlue(QRgb p) {
    return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60;
}

// Pixels of `front` that are red, and how many of them differ from "blue" in `behind` (the
// back page as seen through the paper from the front), both ways.
struct Overlap {
    int red = 0, blue = 0, mismatched = 0;
};
Overlap overlap(const QImage& front, const QImage& behind) {
    Overlap o;
    for (int y = 0; y < std::min(front.height(), behind.height()); ++y)
        for (int x = 0; x < std::min(front.width(), behind.width()); ++x) {
            const bool r = isRed(front.pixel(x, y)), b = isBlue(behind.pixel(x, y));
            o.red += r;
            o.blue += b;
            o.mismatched += r != b;
        }
    return o;
}

constexpr int kDpi = 150;

// A PDF printer at 150 dpi whose printable area starts 0.5 inch inside the paper.
void setUpPdf(PrinterTarget& target, const QString& file) {
    target.usePdf(file);
    target.printer().setResolution(kDpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    target.printer().setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);
}

}  // namespace

TEST(TwoSidedPlacement, BackOfAnOffCentreCardForBothEdges) {
    const DeviceGeometry g = a4Device();
    const QRect front(300, 500, 1000, 600);
    const QRect frontPaper = onPaper(300, 500, 1000, 600, g);

    // About the vertical axis the back's paper x runs from the right edge: the card's right
    // edge on the back lies as far from the paper's right edge as its left edge from the
    // paper's left edge on the front; same height, upright.
    const PageCard v = backOf(front, TurnAxis::Vertical, g, SideInside);
    const QRect vPaper = onPaper(v.x, v.y, v.width, v.height, g);
    EXPECT_EQ(g.physW - 1 - vPaper.right(), frontPaper.left());
    EXPECT_EQ(vPaper.top(), frontPaper.top());
    EXPECT_EQ(vPaper.size(), frontPaper.size());
    EXPECT_FALSE(v.turned);
    EXPECT_EQ(v.side, SideInside);

    // About the horizontal axis the bottom edge comes up: mirrored in height, same x, turned.
    const PageCard h = backOf(front, TurnAxis::Horizontal, g, SideInside);
    const QRect hPaper = onPaper(h.x, h.y, h.width, h.height, g);
    EXPECT_EQ(g.physH - 1 - hPaper.bottom(), frontPaper.top());
    EXPECT_EQ(hPaper.left(), frontPaper.left());
    EXPECT_EQ(hPaper.size(), frontPaper.size());
    EXPECT_TRUE(h.turned);

    // About the vertical axis the insides go exactly where "Innen drucken" puts them, with the
    // calibration applied to both sides alike.
    CardFormat f = twoByFive();
    const Calibration cal{3, 2, 101, 99};
    const PrintSettings s{3, 9, 1};
    const auto cards = twoSidedCards(f, s, cal, g, TurnAxis::Vertical);
    const auto insides = printPlacements(f, s, SideInside, cal, g);
    ASSERT_EQ(cards.size(), insides.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i].back.x, insides[i].cardX) << i;
        EXPECT_EQ(cards[i].back.y, insides[i].cardY) << i;
        EXPECT_EQ(cards[i].back.width, insides[i].width);
    }
}

TEST(TwoSidedPlacement, DuplexModeFromOfferedModesAndOrientation) {
    using M = QPrinter::DuplexMode;
    constexpr auto P = QPageLayout::Portrait, L = QPageLayout::Landscape;
    EXPECT_EQ(turnAxis(FlipEdge::Long, P), TurnAxis::Vertical);
    EXPECT_EQ(turnAxis(FlipEdge::Short, L), TurnAxis::Vertical);
    EXPECT_EQ(turnAxis(FlipEdge::Short, P), TurnAxis::Horizontal);
    EXPECT_EQ(turnAxis(FlipEdge::Long, L), TurnAxis::Horizontal);

    struct Case {
        QList<M> offered;
        QPageLayout::Orientation orientation;
        std::optional<FlipEdge> forced;
        DuplexChoice expected;
    };
    const Case cases[] = {
        // The fold's edge when offered.
        {{M::DuplexNone, M::DuplexLongSide, M::DuplexShortSide},
         P,
         {},
         {M::DuplexLongSide, TurnAxis::Vertical}},
        {{M::DuplexLongSide, M::DuplexShortSide}, L, {}, {M::DuplexShortSide, TurnAxis::Vertical}},
        // Only the other edge: used, with the turned placement.
        {{M::DuplexNone, M::DuplexShortSide}, P, {}, {M::DuplexShortSide, TurnAxis::Horizontal}},
        {{M::DuplexLongSide}, L, {}, {M::DuplexLongSide, TurnAxis::Horizontal}},
        // The explicit other edge before automatic duplex, which follows the orientation.
        {{M::DuplexLongSide, M::DuplexAuto}, L, {}, {M::DuplexLongSide, TurnAxis::Horizontal}},
        {{M::DuplexNone, M::DuplexAuto}, L, {}, {M::DuplexAuto, TurnAxis::Vertical}},
        // No duplex: turned by hand, also when an edge is forced.
        {{M::DuplexNone}, P, {}, {}},
        {{}, P, FlipEdge::Long, {}},
        // A forced edge on a duplex printer.
        {{M::DuplexLongSide}, P, FlipEdge::Short, {M::DuplexShortSide, TurnAxis::Horizontal}},
    };
    for (const Case& c : cases) {
        const DuplexChoice got = chooseDuplex(c.offered, c.orientation, c.forced);
        EXPECT_EQ(got.mode, c.expected.mode) << c.offered.size() << " " << int(c.orientation);
        EXPECT_EQ(got.axis, c.expected.axis) << c.offered.size() << " " << int(c.orientation);
    }
}

TEST(TwoSidedJob, FrontAndBackPagePerSheetSplitAndAlignmentSheet) {
    const DeviceGeometry g = a4Device();
    PrintOptions options;
    options.settings = {7, 6, 1};  // positions 7..9 on sheet 1, 10..12 on sheet 2
    options.cutLines = true;
    options.foldLines = true;
    const PrintJob job = twoSidedJob(twoByFive(), options, g, TurnAxis::Horizontal);
    EXPECT_EQ(job.pagesPerSheet, 2);
    ASSERT_EQ(job.pages.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const PrintPage& page = job.pages[i];
        ASSERT_EQ(page.cards.size(), 3u) << i;
        EXPECT_EQ(page.cutOutlines.size(), 3u);
        EXPECT_EQ(page.foldLines.size(), 3u);
        for (size_t k = 0; k < 3; ++k) {
            const PageCard& c = page.cards[k];
            EXPECT_EQ(c.side, i % 2 == 0 ? SideOutside : SideInside);
            EXPECT_EQ(c.turned, i % 2 == 1);
            // Lines follow the card on both pages.
            EXPECT_EQ(page.cutOutlines[k], QRect(c.x, c.y, c.width, c.height));
            EXPECT_EQ(page.foldLines[k], cardFoldLine(c.x, c.y, c.width, c.height));
        }
    }
    // The back of sheet 2's first card is behind the front's first card.
    const PageCard& f = job.pages[2].cards[0];
    const PageCard& b = job.pages[3].cards[0];
    EXPECT_EQ(b.x, f.x);
    EXPECT_EQ(b.y, g.physH - (f.y + f.height) - 2 * g.physOffY);

    const SplitJobs split = splitSides(job);
    ASSERT_EQ(split.fronts.pages.size(), 2u);
    ASSERT_EQ(split.backs.pages.size(), 2u);
    EXPECT_EQ(split.fronts.pages[1].cards, job.pages[2].cards);
    EXPECT_EQ(split.backs.pages[1].cards, job.pages[3].cards);
    EXPECT_EQ(split.backs.pagesPerSheet, 1);

    // The alignment sheet: each back cross lies behind its front cross; the calibration moves
    // the crosses like cards.
    for (TurnAxis axis : {TurnAxis::Vertical, TurnAxis::Horizontal}) {
        const PrintJob sheet = alignmentJob(g, Calibration{}, axis);
        ASSERT_EQ(sheet.pages.size(), 2u);
        const auto& front = sheet.pages[0].marks;
        const auto& back = sheet.pages[1].marks;
        ASSERT_EQ(front.size(), back.size());
        int crosses = 0;
        for (size_t i = 0; i < front.size(); ++i) {
            const QRect fp = onPaper(front[i].rect.x(), front[i].rect.y(), front[i].rect.width(),
                                     front[i].rect.height(), g);
            const QRect bp = onPaper(back[i].rect.x(), back[i].rect.y(), back[i].rect.width(),
                                     back[i].rect.height(), g);
            if (axis == TurnAxis::Vertical) {
                EXPECT_EQ(fp.left() + bp.right() + 1, g.physW);
                EXPECT_EQ(fp.top(), bp.top());
            } else {
                EXPECT_EQ(fp.top() + bp.bottom() + 1, g.physH);
                EXPECT_EQ(fp.left(), bp.left());
            }
            EXPECT_EQ(back[i].turned, axis == TurnAxis::Horizontal);
            crosses += front[i].kind == PageMark::Cross;
        }
        EXPECT_EQ(crosses, 5);
        const auto label = [](const std::vector<PageMark>& marks, const QString& text) {
            return std::any_of(marks.begin(), marks.end(),
                               [&](const PageMark& m) { return m.text == text; });
        };
        EXPECT_TRUE(label(front, QStringLiteral("Vorderseite")));
        EXPECT_TRUE(label(front, QStringLiteral("oben")));
        EXPECT_TRUE(label(back, QStringLiteral("Rückseite")));
        EXPECT_FALSE(label(back, QStringLiteral("Vorderseite")));
    }
    const QRect plain = alignmentJob(g, Calibration{}, TurnAxis::Vertical).pages[0].marks[0].rect;
    const QRect moved =
        alignmentJob(g, Calibration{3, 2, 100, 100}, TurnAxis::Vertical).pages[0].marks[0].rect;
    EXPECT_EQ(plain.left() - moved.left(), mmToPixels(3, kNominalMmPerInch, g.dpiX) + 1);
    EXPECT_NEAR(plain.top() - moved.top(), mmToPixels(2, kNominalMmPerInch, g.dpiY), 1);
}

// 2 × 5 cards with used positions over two sheets, for both turning edges: four pages, and on
// each back page the blue insides exactly behind the red outsides of its front page.
TEST(TwoSidedPdf, BackPagesCarryTheInsidesBehindTheirOutsides) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    doc->format = twoByFive();
    colourSides(*doc);
    PrintOptions options;
    options.settings = {7, 6, 1};
    for (TurnAxis axis : {TurnAxis::Vertical, TurnAxis::Horizontal}) {
        const QString pdf = dir.file(axis == TurnAxis::Vertical ? "long.pdf" : "short.pdf");
        PrinterTarget target;
        setUpPdf(target, pdf);
        const PrintJob job = twoSidedJob(doc->format, options, target.geometry(), axis);
        const PrintRunResult result = runPrintJob(target.printer(), *doc, ctx, job, dialogs);
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(result.cards, 12);
        ASSERT_EQ(pdfPageCount(pdf), 4);
        for (int sheet = 0; sheet < 2; ++sheet) {
            const QImage front = pdfPage(pdf, 2 * sheet + 1, kDpi);
            const QImage back = pdfPage(pdf, 2 * sheet + 2, kDpi);
            ASSERT_FALSE(front.isNull());
            ASSERT_FALSE(back.isNull());
            EXPECT_TRUE(colourBox(front, qRgb(0, 0, 255)).isNull());
            EXPECT_TRUE(colourBox(back, qRgb(255, 0, 0)).isNull());
            // Seen through the paper from the front.
            const QImage behind = axis == TurnAxis::Vertical ? back.mirrored(true, false)
                                                             : back.mirrored(false, true);
            const Overlap o = overlap(front, behind);
            // Three cards of 531 × 324 pixels each (the last row runs off the paper).
            EXPECT_GT(o.red, 2 * 531 * 324) << sheet;
            EXPECT_LT(o.mismatched, o.red / 50) << sheet << " " << int(axis);
        }
        // Used positions 0..6 stay white on both sides of the first sheet.
        const QImage first = pdfPage(pdf, 1, kDpi);
        const int firstTop = 75 + job.pages[0].cards[0].y;
        EXPECT_TRUE(
            colourBox(first, qRgb(255, 0, 0), QRect(0, 0, first.width(), firstTop - 2)).isNull());
    }
}

namespace {

struct Tab : TabFixture {
    int turnQuestions = 0;
    bool turnAnswer = false;

    Tab() {
        tab->setTurnSheetsAsker([this] {
            ++turnQuestions;
            return turnAnswer;
        });
        tab->printerTarget().usePdf(QString());
        spin("KopiesED")->setValue(12);  // two sheets
    }
};

// Red only, blue only or both on a page.
QString coloursOn(const QString& pdf, int page) {
    const QImage img = pdfPage(pdf, page, 20);
    QString s;
    if (!colourBox(img, qRgb(255, 0, 0)).isNull()) s += "red";
    if (!colourBox(img, qRgb(0, 0, 255)).isNull()) s += "blue";
    return s;
}

}  // namespace

TEST(PrintTabBothSides, PdfPathWritesOneFileWithFrontAndBackAlternating) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.editedSide = SideInside;
    const QString pdf = t.answerFile("both.pdf");
    ASSERT_NE(t.button("BeideSeitenBtn"), nullptr);
    t.button("BeideSeitenBtn")->click();
    EXPECT_EQ(t.dialogs.saveRequests.size(), 1);
    EXPECT_EQ(t.turnQuestions, 0);
    ASSERT_EQ(pdfPageCount(pdf), 4);
    EXPECT_EQ(coloursOn(pdf, 1), "red");
    EXPECT_EQ(coloursOn(pdf, 2), "blue");
    EXPECT_EQ(coloursOn(pdf, 3), "red");
    EXPECT_EQ(coloursOn(pdf, 4), "blue");
    // The card keeps the side it showed.
    EXPECT_EQ(t.editedSide, SideInside);
    EXPECT_EQ(t.dialogs.texts(), QStringList{kNoPrinterNotice});
}

TEST(PrintTabBothSides, WithoutDuplexTheSheetsAreTurnedBetweenTwoJobs) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.tab->setDuplexModesOverride(QList<QPrinter::DuplexMode>{QPrinter::DuplexNone});

    // Cancel: only the outsides are printed.
    const QString fronts = t.answerFile("fronts.pdf");
    t.turnAnswer = false;
    t.tab->printBothSides();
    EXPECT_EQ(t.turnQuestions, 1);
    EXPECT_EQ(t.dialogs.saveRequests.size(), 1);
    ASSERT_EQ(pdfPageCount(fronts), 2);
    EXPECT_EQ(coloursOn(fronts, 1), "red");
    EXPECT_EQ(coloursOn(fronts, 2), "red");

    // OK: the insides follow as a second job, where "Innen drucken" puts them.
    const QString fronts2 = t.answerFile("fronts2.pdf");
    const QString backs = t.answerFile("backs.pdf");
    t.turnAnswer = true;
    t.tab->printBothSides();
    EXPECT_EQ(t.turnQuestions, 2);
    EXPECT_EQ(t.dialogs.saveRequests.size(), 3);
    ASSERT_EQ(pdfPageCount(backs), 2);
    EXPECT_EQ(coloursOn(backs, 1), "blue");
    EXPECT_EQ(coloursOn(backs, 2), "blue");
    const Overlap o = overlap(pdfPage(fronts2, 1, 30), pdfPage(backs, 1, 30).mirrored(true, false));
    EXPECT_GT(o.red, 0);
    EXPECT_LT(o.mismatched, o.red / 20);
    EXPECT_EQ(t.dialogs.texts(), QStringList{kNoPrinterNotice});
}

// A printer offering only the short edge on portrait paper: one job, the insides placed for a
// turn about the horizontal axis. (A PDF file keeps no duplex setting, so the mode itself is
// seen only on a real print queue.)
TEST(PrintTabBothSides, DuplexPrinterGetsOneJobWithTheOfferedEdge) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    t.tab->setDuplexModesOverride(
        QList<QPrinter::DuplexMode>{QPrinter::DuplexNone, QPrinter::DuplexShortSide});
    const QString pdf = t.answerFile("duplex.pdf");
    t.tab->printBothSides();
    EXPECT_EQ(t.turnQuestions, 0);
    ASSERT_EQ(pdfPageCount(pdf), 4);
    const Overlap o = overlap(pdfPage(pdf, 1, 30), pdfPage(pdf, 2, 30).mirrored(false, true));
    EXPECT_GT(o.red, 0);
    EXPECT_LT(o.mismatched, o.red / 20);
}

TEST(PrintTabBothSides, AlignmentSheetHasCrossesBehindEachOther) {
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    Tab t;
    const QString pdf = t.answerFile("align.pdf");
    ASSERT_NE(t.button("AusrichtungBtn"), nullptr);
    t.button("AusrichtungBtn")->click();
    ASSERT_EQ(pdfPageCount(pdf), 2);
    constexpr int dpi = 60;
    const QImage front = pdfPage(pdf, 1, dpi);
    const QImage behind = pdfPage(pdf, 2, dpi).mirrored(true, false);
    ASSERT_FALSE(front.isNull());
    // The middle cross of the front, and the back's middle cross right behind it.
    const QRect middle(front.width() / 2 - 30, front.height() / 2 - 30, 60, 60);
    const QRect frontCross = colourBox(front, qRgb(0, 0, 0), middle);
    const QRect backCross = colourBox(behind, qRgb(0, 0, 0), middle);
    ASSERT_FALSE(frontCross.isNull());
    EXPECT_NEAR(backCross.center().x(), frontCross.center().x(), 1);
    EXPECT_NEAR(backCross.center().y(), frontCross.center().y(), 1);
    // A cross near the top-left corner on the front, behind it one on the back.
    const QRect corner(0, 0, front.width() / 4, front.height() / 8);
    EXPECT_FALSE(colourBox(front, qRgb(0, 0, 0), corner).isNull());
    EXPECT_FALSE(colourBox(behind, qRgb(0, 0, 0), corner).isNull());
}

TEST(TurnSheetsDialogTest, AsksWithAPictureAndOkOrCancel) {
    TurnSheetsDialog dialog;
    EXPECT_EQ(dialog.findChild<QLabel*>("TurnSheetsText")->text(), kTurnSheetsText);
    auto* picture = dialog.findChild<QWidget*>("TurnSheetsPicture");
    ASSERT_NE(picture, nullptr);
    picture->resize(picture->sizeHint());
    const QImage drawn = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(colourBox(drawn, qRgb(200, 0, 0)).isNull());  // the edge that goes in first
    auto* ok = dialog.findChild<QPushButton*>("OKBtn");
    auto* cancel = dialog.findChild<QPushButton*>("CancelBtn");
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(cancel->text(), QStringLiteral("Abbrechen"));
    dialog.show();
    cancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.show();
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
