// Sheet layout arithmetic: clamps, positions, page breaks, calibration, mirror, preview box
// and zoom steps.
#include "print/PdfPages.h"
#include "print/SheetLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace bb;

namespace {

DeviceGeometry a4At600() {
    DeviceGeometry d;
    d.dpiX = d.dpiY = 600;
    d.physW = 4960;
    d.physOffX = 83;
    d.pageW = 4794;
    d.pageH = 6850;
    return d;
}

}  // namespace

TEST(SheetClamps, UsedPositionsAndShownSheet) {
    const CardFormat f = printtest::twoByFive();
    // Too many used positions are reduced to N − 1, so one position is always printed.
    EXPECT_EQ(clampSettings({25, 1, 1}, f).usedPositions, 9);
    EXPECT_EQ(clampSettings({9, 1, 1}, f).usedPositions, 9);
    EXPECT_EQ(clampSettings({8, 1, 1}, f).usedPositions, 8);
    EXPECT_EQ(clampSettings({-3, 1, 1}, f).usedPositions, 0);
    // A one-card format forces UsedED to 0; every card is its own sheet.
    CardFormat one = f;
    one.cardsAcross = one.cardsDown = 1;
    EXPECT_EQ(clampSettings({5, 1, 1}, one).usedPositions, 0);
    EXPECT_EQ(sheetCount(0, 7, 1), 7);
    // The shown sheet is pulled back to the run's last sheet and never raised.
    EXPECT_EQ(clampSettings({4, 25, 5}, f).shownSheet, 3);
    EXPECT_EQ(clampSettings({4, 25, 2}, f).shownSheet, 2);
    EXPECT_EQ(clampSettings({0, 1, 0}, f).shownSheet, 1);
    // Lowering the copies drops the sheet count: 3 used + 30 copies need 4 sheets, + 7 one.
    EXPECT_EQ(sheetCount(3, 30, 10), 4);
    EXPECT_EQ(clampSettings({3, 7, 4}, f).shownSheet, 1);
    // A broken format with no cards still has one position per sheet.
    CardFormat broken = f;
    broken.cardsAcross = 0;
    broken.cardsDown = -4;
    EXPECT_EQ(positionsPerSheet(broken), 1);
}

TEST(PrintPlacements, PositionsRowByRowWithPageBreaks) {
    const CardFormat f = printtest::twoByFive();
    const DeviceGeometry dev = a4At600();
    // One card: top-left position, one sheet, no page break.
    auto one = printPlacements(f, {0, 1, 1}, 0, Calibration{}, dev);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].column, 0);
    EXPECT_EQ(one[0].row, 0);
    EXPECT_FALSE(one[0].newPage);
    EXPECT_EQ(one[0].cardX, int(10 / 25.39995 * 600));
    EXPECT_EQ(one[0].cardY, int(12.5 / 25.39995 * 600));

    // 9 used, 2 copies: the last position of sheet 1, then a new page and the top-left.
    auto two = printPlacements(f, {9, 2, 1}, 0, Calibration{}, dev);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].column, 1);
    EXPECT_EQ(two[0].row, 4);
    EXPECT_EQ(two[0].page, 0);
    EXPECT_FALSE(two[0].newPage);
    EXPECT_TRUE(two[1].newPage);
    EXPECT_EQ(two[1].page, 1);
    EXPECT_EQ(two[1].column, 0);
    EXPECT_EQ(two[1].row, 0);
    EXPECT_EQ(two[1].cardX, one[0].cardX);
    EXPECT_EQ(two[1].cardY, one[0].cardY);
    EXPECT_EQ(two[0].cardX, int(10 / 25.39995 * 600 + 95 / 25.39995 * 600 * 1));
    EXPECT_EQ(two[0].cardY, int(12.5 / 25.39995 * 600 + 55 / 25.39995 * 600 * 4));

    // 3 used, 30 copies: positions 3..32 on four sheets, three page breaks; the last sheet
    // holds 30, 31 in its first row and 32 in the first column of its second row.
    auto run = printPlacements(f, {3, 30, 1}, 0, Calibration{}, dev);
    ASSERT_EQ(run.size(), 30u);
    EXPECT_EQ(run.front().position, 3);
    EXPECT_EQ(run.back().position, 32);
    int breaks = 0;
    for (const auto& c : run) breaks += c.newPage;
    EXPECT_EQ(breaks, 3);
    EXPECT_TRUE(run[7].newPage);  // position 10
    EXPECT_EQ(run[7].position, 10);
    EXPECT_EQ(run.back().page, 3);
    EXPECT_EQ(run[27].column, 0);  // position 30
    EXPECT_EQ(run[27].row, 0);
    EXPECT_EQ(run[28].column, 1);
    EXPECT_EQ(run.back().column, 0);
    EXPECT_EQ(run.back().row, 1);
}

TEST(PrintPlacements, DeviceSizesAndCalibration) {
    CardFormat f = printtest::twoByFive();
    f.cardWidth = 148;
    f.cardHeight = 105;
    const DeviceGeometry dev = a4At600();
    auto c = printPlacements(f, {0, 1, 1}, 0, Calibration{}, dev).at(0);
    EXPECT_EQ(c.width, 3496);
    EXPECT_EQ(c.height, int(105 / 25.39995 * 600));

    // Offsets: LinksEd 3 with leftMargin 10 puts the card 7 mm from the printable area.
    Calibration cal;
    cal.leftOffset = 3;
    cal.topOffset = 2.5;
    c = printPlacements(f, {0, 1, 1}, 0, cal, dev).at(0);
    EXPECT_EQ(c.cardX, 165);  // trunc(7 / 25.39995 × 600)
    EXPECT_EQ(c.cardY, int(10 / 25.39995 * 600));

    // Scale: a square that came out 101 mm wide shrinks every horizontal distance by 1/101;
    // vertical distances follow HochEd alone.
    cal = Calibration{};
    cal.measuredWidth = 101;
    cal.measuredHeight = 99;
    const double mmX = 101 * 25.39995 / 100, mmY = 99 * 25.39995 / 100;
    auto cards = printPlacements(f, {1, 1, 1}, 0, cal, dev);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].width, int(148 / mmX * 600));
    EXPECT_EQ(cards[0].height, int(105 / mmY * 600));
    EXPECT_EQ(cards[0].cardX, int(10 / mmX * 600 + 95 / mmX * 600));
    EXPECT_LT(cards[0].width, 3496);
    EXPECT_GT(cards[0].height, int(105 / 25.39995 * 600));
}

TEST(PrintPlacements, InsideMirrorsAboutThePhysicalSheet) {
    CardFormat f = printtest::twoByFive();
    const DeviceGeometry dev = a4At600();
    auto out = printPlacements(f, {0, 2, 1}, 0, Calibration{}, dev);
    auto in = printPlacements(f, {0, 2, 1}, 1, Calibration{}, dev);
    ASSERT_EQ(in.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(in[i].cardX, dev.physW - (out[i].cardX + out[i].width) - 2 * dev.physOffX);
        EXPECT_EQ(in[i].cardY, out[i].cardY);
    }
    // Column 0 lands on the right: its right edge on the paper lies as far from the paper's
    // right edge as the outside's left edge lies from the left edge.
    const int outsideLeftOnPaper = dev.physOffX + out[0].cardX;
    const int insideRightOnPaper = dev.physOffX + in[0].cardX + in[0].width;
    EXPECT_EQ(dev.physW - insideRightOnPaper, outsideLeftOnPaper);
    EXPECT_GT(in[0].cardX, in[1].cardX);

    // A format centred on the paper prints inside and outside at the same place.
    CardFormat centred;
    centred.cardWidth = 110;
    centred.cardHeight = 100;
    centred.leftMargin = 50;  // A4 is 210 mm: 50 + 110 + 50
    centred.cardsAcross = centred.cardsDown = 1;
    DeviceGeometry exact = dev;
    exact.physW = 7000;  // a sheet width that splits evenly around the card
    exact.physOffX = 100;
    const int x0 = printPlacements(centred, {0, 1, 1}, 0, Calibration{}, exact)[0].cardX;
    const int w0 = printPlacements(centred, {0, 1, 1}, 0, Calibration{}, exact)[0].width;
    exact.physW = 2 * (exact.physOffX + x0) + w0;
    EXPECT_EQ(printPlacements(centred, {0, 1, 1}, 1, Calibration{}, exact)[0].cardX, x0);
}

TEST(PrintPlacements, BrokenFormatsStayFinite) {
    CardFormat f = printtest::twoByFive();
    f.leftMargin = std::numeric_limits<double>::quiet_NaN();
    f.cardWidth = 1e300;
    f.pitchY = -std::numeric_limits<double>::infinity();
    auto cards = printPlacements(f, {0, 3, 1}, 1, Calibration{}, a4At600());
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].width, std::numeric_limits<int>::max());
    EXPECT_EQ(cards[2].cardY, std::numeric_limits<int>::min());
}

TEST(SheetPreview, BoxSizeAndShownSheet) {
    // 600 dpi at zoom 35: page width div 17.
    EXPECT_EQ(previewBoxSize(4794, 6850, 600, 600, 35), QSize(4794 / 17, 6850 / 17));
    // A resolution below the zoom does not divide by zero.
    EXPECT_EQ(previewBoxSize(500, 700, 100, 100, 262), QSize(500, 700));

    const CardFormat f = printtest::twoByFive();
    auto first = previewPlacements(f, {0, 1, 1}, 0, 35, 282);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].cardX, int(10 / 25.39995 * 35));
    EXPECT_EQ(first[0].cardY, int(12.5 / 25.39995 * 35));
    EXPECT_EQ(first[0].width, int(90 / 25.39995 * 35));

    auto some = previewPlacements(f, {4, 3, 1}, 0, 35, 282);
    ASSERT_EQ(some.size(), 3u);
    EXPECT_EQ(some[0].position, 4);
    EXPECT_EQ(some[2].position, 6);

    auto third = previewPlacements(f, {4, 25, 3}, 0, 35, 282);
    ASSERT_EQ(third.size(), 9u);
    EXPECT_EQ(third.front().position, 20);
    EXPECT_EQ(third.back().position, 28);
    EXPECT_EQ(third.front().row, 0);

    // Inside: mirrored within the box, column 0 on the right.
    auto in = previewPlacements(f, {0, 2, 1}, 1, 35, 282);
    EXPECT_EQ(in[0].cardX, 282 - (first[0].cardX + first[0].width));
    EXPECT_GT(in[0].cardX, in[1].cardX);
}

TEST(SheetPreview, ZoomSteps) {
    int z = kPreviewZoomStart;
    std::vector<int> in;
    while (auto next = zoomInStep(z)) in.push_back(z = *next);
    EXPECT_EQ(in, (std::vector<int>{52, 78, 117, 175, 262}));
    z = kPreviewZoomStart;
    std::vector<int> out;
    while (auto next = zoomOutStep(z)) out.push_back(z = *next);
    EXPECT_EQ(out, (std::vector<int>{23, 15}));
    EXPECT_EQ(zoomOutStep(52), 34);  // not symmetric
}

TEST(SheetPreview, TestSquare) {
    EXPECT_EQ(testSquarePixels(600, 600), QSize(2362, 2362));
    EXPECT_EQ(testSquarePixels(300, 1200), QSize(1181, 4724));
}
