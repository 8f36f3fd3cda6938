// Grid arithmetic (columns, height, hit test, key moves, scrolling) and the painted cell.
#include "CardFiles.h"
#include "browser/PreviewGrid.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

using namespace bb;

TEST(GridGeometry, ColumnsAndHeight) {
    EXPECT_EQ(gridColumns(0), 1);
    EXPECT_EQ(gridColumns(179), 1);  // under 180 pixels: one column
    EXPECT_EQ(gridColumns(180), 2);
    EXPECT_EQ(gridColumns(899), 9);
    // count div n full rows and one more row: an empty folder still has one row's height.
    EXPECT_EQ(gridHeight(0, 3), 110);
    EXPECT_EQ(gridHeight(2, 3), 110);
    EXPECT_EQ(gridHeight(3, 3), 220);
    EXPECT_EQ(gridHeight(4, 3), 220);
    EXPECT_EQ(cellOrigin(1, 3), QPoint(0, 0));
    EXPECT_EQ(cellOrigin(3, 3), QPoint(180, 0));
    EXPECT_EQ(cellOrigin(4, 3), QPoint(0, 110));
    EXPECT_EQ(cellOrigin(5, 1), QPoint(0, 440));
}

TEST(GridGeometry, HitTestUsesTheFrameWithBothEdges) {
    const int n = 3, count = 5;
    EXPECT_EQ(entryAt({2, 2}, n, count), 1);
    EXPECT_EQ(entryAt({88, 108}, n, count), 1);
    EXPECT_EQ(entryAt({1, 50}, n, count), 0);    // left of the frame
    EXPECT_EQ(entryAt({89, 50}, n, count), 0);   // between two frames
    EXPECT_EQ(entryAt({50, 109}, n, count), 0);  // below the frame
    EXPECT_EQ(entryAt({92, 2}, n, count), 2);
    EXPECT_EQ(entryAt({92, 112}, n, count), 5);
    EXPECT_EQ(entryAt({182, 112}, n, count), 0);  // cell 6 does not exist
    EXPECT_EQ(entryAt({272, 50}, n, count), 0);   // right of the last column
    EXPECT_EQ(entryAt({-5, 50}, n, count), 0);
}

TEST(GridGeometry, KeysMoveByRowOrByOneAndStayInside) {
    const int n = 3, count = 7;
    EXPECT_EQ(moveSelection(5, GridKey::Up, n, count), 2);
    EXPECT_EQ(moveSelection(2, GridKey::Up, n, count), 2);
    EXPECT_EQ(moveSelection(4, GridKey::Down, n, count), 7);
    EXPECT_EQ(moveSelection(5, GridKey::Down, n, count), 5);  // 8 is beyond the count
    EXPECT_EQ(moveSelection(4, GridKey::Left, n, count), 3);  // wraps to the row above
    EXPECT_EQ(moveSelection(1, GridKey::Left, n, count), 1);
    EXPECT_EQ(moveSelection(3, GridKey::Right, n, count), 4);
    EXPECT_EQ(moveSelection(7, GridKey::Right, n, count), 7);
    EXPECT_EQ(moveSelection(1, GridKey::Right, n, 0), 1);  // empty grid: nothing moves
}

TEST(GridGeometry, ScrollIntoViewShowsTheWholeFrame) {
    // Entry 10 of 3 columns is in row 3: frame from 332 to 438.
    EXPECT_EQ(scrollIntoView(10, 3, 0, 300), 138);
    EXPECT_EQ(scrollIntoView(10, 3, 400, 300), 332);
    EXPECT_EQ(scrollIntoView(10, 3, 200, 300), 200);
    EXPECT_EQ(scrollIntoView(1, 3, 50, 300), 2);
}

class CellPainting : public ::testing::Test {
protected:
    QImage paint(bool selected, const DibImage& thumb) {
        QImage image(200, 130, QImage::Format_RGB32);
        image.fill(QColor(10, 20, 30));
        QPainter p(&image);
        paintCell(p, QPoint(100, 10), thumb, QStringLiteral("karte.kar"), selected, QFont());
        return image;
    }
    static QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }
};

TEST_F(CellPainting, FrameCellColourAndCentredThumbnail) {
    // An 80 × 40 thumbnail of one colour sits at (x0 + 5, y0 + 25).
    DibImage thumb = newDib(80, 40, 24);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) setPixel(thumb, x, y, rgbRef(200, 100, 50));
    const int x0 = 100, y0 = 10;
    for (bool selected : {false, true}) {
        const QImage img = paint(selected, thumb);
        const QColor cell = selected ? kSelectedCell : kCellColour;
        EXPECT_EQ(at(img, x0 + 2, y0 + 2), kFrameLight);
        EXPECT_EQ(at(img, x0 + 87, y0 + 2), kFrameLight);
        EXPECT_EQ(at(img, x0 + 88, y0 + 2), kFrameShadow);
        EXPECT_EQ(at(img, x0 + 88, y0 + 108), kFrameShadow);
        EXPECT_EQ(at(img, x0 + 2, y0 + 108), kFrameLight);
        EXPECT_EQ(at(img, x0 + 50, y0 + 108), kFrameShadow);
        EXPECT_EQ(at(img, x0 + 3, y0 + 3), cell);
        EXPECT_EQ(at(img, x0 + 86, y0 + 24), cell);
        EXPECT_EQ(at(img, x0 + 5, y0 + 25), QColor(200, 100, 50));
        EXPECT_EQ(at(img, x0 + 84, y0 + 64), QColor(200, 100, 50));
        EXPECT_EQ(at(img, x0 + 85, y0 + 64), cell);
        EXPECT_EQ(at(img, x0 + 5, y0 + 65), cell);
        // Outside the cell nothing is touched.
        EXPECT_EQ(at(img, x0 + 1, y0 + 50), QColor(10, 20, 30));
        EXPECT_EQ(at(img, x0 + 89, y0 + 50), QColor(10, 20, 30));
        // The file name is written into the lower part.
        bool text = false;
        for (int y = y0 + 90; y < y0 + 108 && !text; ++y)
            for (int x = x0 + 3; x < x0 + 87; ++x) text = text || at(img, x, y) != cell;
        EXPECT_TRUE(text);
    }
}

TEST_F(CellPainting, TallThumbnailIsCentredAcross) {
    DibImage thumb = newDib(40, 80, 8);
    const QImage img = paint(false, thumb);  // index 0 of the grey ramp: black
    EXPECT_EQ(at(img, 100 + 25, 10 + 5), QColor(0, 0, 0));
    EXPECT_EQ(at(img, 100 + 64, 10 + 84), QColor(0, 0, 0));
    EXPECT_EQ(at(img, 100 + 24, 10 + 5), kCellColour);
    EXPECT_EQ(at(img, 100 + 65, 10 + 5), kCellColour);
}

// File names fit their cell: a smaller font first, then an ellipsis in the middle; no text
// runs into the cell's right edge.
TEST_F(CellPainting, FileNamesFitTheCell) {
    const QFont font;
    for (const char* n : {"karte.kar", "Einladung.kar", "Dankeskarte.kar", "Weihnachten.kar"}) {
        const QString name = QString::fromUtf8(n);
        const QFont nameFont = cellNameFont(font, name);
        EXPECT_EQ(cellNameText(nameFont, name), name) << n;
        EXPECT_LE(QFontMetricsF(nameFont).horizontalAdvance(name), kCellNameWidth) << n;
        EXPECT_GE(QFontInfo(nameFont).pixelSize(), QFontInfo(font).pixelSize() * 2 / 3) << n;
    }
    const QString longName(60, QLatin1Char('W'));
    const QFont longFont = cellNameFont(font, longName);
    const QString elided = cellNameText(longFont, longName);
    EXPECT_TRUE(elided.contains(QChar(0x2026)));
    EXPECT_LE(QFontMetricsF(longFont).horizontalAdvance(elided), kCellNameWidth);

    QImage image(200, 130, QImage::Format_RGB32);
    image.fill(kCellColour);
    QPainter p(&image);
    paintCell(p, QPoint(100, 10), DibImage(), longName, false, font);
    p.end();
    for (int y = 10 + 90; y < 10 + 108; ++y) EXPECT_EQ(at(image, 100 + 86, y), kCellColour) << y;
}
