// DrawDib: the source clipping arithmetic and the pixels of the row-by-row copy.
#include "render/DrawDib.h"

#include "RenderFixtures.h"

#include <gtest/gtest.h>

using namespace bb;
using namespace rendertest;

namespace {

// The row-by-row rule written out per pixel: destination (i, j) shows source column
// srcX + srcWidth × i div destWidth and source row srcY + srcHeight − 1 − srcHeight × j div
// destHeight counted from the bottom.
QRgb expectedPixel(const DibImage& pic, const DibDrawRect& r, int i, int j) {
    const int column = r.srcX + r.srcWidth * i / r.destWidth;
    const int rowFromBottom = r.srcY + r.srcHeight - 1 - r.srcHeight * j / r.destHeight;
    return rgbOf(pixelColor(pic, getPixel(pic, column, pic.height() - 1 - rowFromBottom)));
}

}  // namespace

TEST(DrawDibClip, SourceInsideThePictureIsUnchanged) {
    const DibDrawRect r{3, 4, 50, 60, 1, 2, 5, 6};
    EXPECT_EQ(clipDibSource(r, 10, 10), r);
}

TEST(DrawDibClip, EachEdgeShrinksAndShiftsTheDestinationInProportion) {
    // Right edge: the right half of the destination goes, nothing moves.
    EXPECT_EQ(clipDibSource({0, 0, 100, 100, 5, 0, 10, 10}, 10, 10),
              (DibDrawRect{0, 0, 50, 100, 5, 0, 5, 10}));
    // Below the bottom row (srcY < 0): the bottom of the destination goes.
    EXPECT_EQ(clipDibSource({0, 0, 100, 100, 0, -5, 10, 10}, 10, 10),
              (DibDrawRect{0, 0, 100, 50, 0, 0, 10, 5}));
    // Above the top row: the top of the destination goes, so it moves down.
    EXPECT_EQ(clipDibSource({0, 0, 100, 100, 0, 5, 10, 10}, 10, 10),
              (DibDrawRect{0, 50, 100, 50, 0, 5, 10, 5}));
    // Left of column 0: the left part goes, the destination moves right.
    EXPECT_EQ(clipDibSource({0, 0, 100, 100, -4, 0, 10, 10}, 10, 10),
              (DibDrawRect{40, 0, 60, 100, 0, 0, 6, 10}));
}

TEST(DrawDibClip, HalvesRoundToTheEvenNeighbour) {
    // 5 × 1/2 = 2.5 → 2, 7 × 1/2 = 3.5 → 4, 9 × 2/3 = 6.
    EXPECT_EQ(clipDibSource({0, 0, 5, 5, 1, 0, 2, 2}, 2, 2).destWidth, 2);
    EXPECT_EQ(clipDibSource({0, 0, 7, 7, 1, 0, 2, 2}, 2, 2).destWidth, 4);
    const DibDrawRect top = clipDibSource({0, 0, 9, 7, 0, 1, 3, 2}, 3, 2);
    EXPECT_EQ(top.destHeight, 4);  // 7 × 1/2 = 3.5 → 4
    EXPECT_EQ(top.destY, 3);
    EXPECT_EQ(clipDibSource({0, 0, 9, 9, 0, 0, 3, 3}, 2, 3).destWidth, 6);
}

TEST(DrawDib, StretchedPixelsFollowTheRowByRowRule) {
    const DibImage pic = rampPicture(7, 5);
    for (const QSize size : {QSize(17, 13), QSize(3, 2), QSize(7, 5)}) {
        QImage image = whiteImage(40, 30);
        {
            QPainter p(&image);
            DrawDib(p, 2, 3, size.width(), size.height(), pic);
        }
        const DibDrawRect r{2, 3, size.width(), size.height(), 0, 0, 7, 5};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = QRect(2, 3, size.width(), size.height()).contains(x, y);
                const QRgb want =
                    inside ? expectedPixel(pic, r, x - 2, y - 3) : qRgb(255, 255, 255);
                ASSERT_EQ(at(image, x, y), want) << x << "," << y << " size " << size.width();
            }
    }
}

TEST(DrawDib, SourceRegionPastThePictureDrawsOnlyThePartInside) {
    const DibImage pic = solidPicture(4, 4, rgbRef(255, 0, 0));
    QImage image = whiteImage(20, 20);
    {
        QPainter p(&image);
        // Columns 2..5 of a 4-wide picture: the right half is outside, so only the left
        // half of the 8 × 8 destination is drawn.
        DrawDib(p, 0, 0, 8, 8, pic, 2, 0, 4, 4);
    }
    EXPECT_EQ(inkBounds(image), QRect(0, 0, 4, 8));
}

TEST(DrawDib, RespectsTranslationAndClipRegion) {
    const DibImage pic = rampPicture(6, 6);
    QImage image = whiteImage(30, 30);
    {
        QPainter p(&image);
        p.translate(5, 4);
        p.setClipRegion(QRegion(QRect(0, 0, 12, 12), QRegion::Ellipse));
        DrawDib(p, 0, 0, 12, 12, pic);
    }
    const QRegion clip = QRegion(QRect(0, 0, 12, 12), QRegion::Ellipse).translated(5, 4);
    const DibDrawRect r{0, 0, 12, 12, 0, 0, 6, 6};
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const QRgb want = clip.contains(QPoint(x, y)) ? expectedPixel(pic, r, x - 5, y - 4)
                                                          : qRgb(255, 255, 255);
            ASSERT_EQ(at(image, x, y), want) << x << "," << y;
        }
}

TEST(DrawDib, PalettePicturesOfEveryDepthDrawTheirColours) {
    const RgbQuad colours[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}};  // red, blue
    for (int depth : {1, 4, 8}) {
        DibImage pic = newDib(9, 3, depth, colours, 2);
        ASSERT_FALSE(pic.isNull());
        for (int x = 0; x < 9; ++x) setPixel(pic, x, 1, x % 2);
        QImage image = whiteImage(9, 3);
        {
            QPainter p(&image);
            DrawDib(p, 0, 0, 9, 3, pic);
        }
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(at(image, x, 0), qRgb(255, 0, 0)) << depth;
            EXPECT_EQ(at(image, x, 1), x % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0)) << depth;
        }
    }
}

TEST(DrawDib, OtherDevicesGetTheSamePictureScaled) {
    // A painter that scales takes the general path; at 1:1 it must match the direct copy.
    const DibImage pic = rampPicture(8, 6);
    QImage direct = whiteImage(20, 20), scaled = whiteImage(20, 20);
    {
        QPainter p(&direct);
        DrawDib(p, 2, 2, 8, 6, pic);
    }
    {
        QPainter p(&scaled);
        p.scale(2, 2);
        DrawDib(p, 1, 1, 4, 3, pic);  // 8 × 6 device pixels at (2, 2)
    }
    EXPECT_EQ(inkBounds(scaled), QRect(2, 2, 8, 6));
    EXPECT_EQ(at(scaled, 2, 2), at(direct, 2, 2));
}

TEST(DrawDib, DegenerateArgumentsDrawNothing) {
    const DibImage pic = solidPicture(4, 4, 0);
    QImage image = whiteImage(10, 10);
    {
        QPainter p(&image);
        DrawDib(p, 0, 0, 0, 5, pic);
        DrawDib(p, 0, 0, 5, -5, pic);
        DrawDib(p, 0, 0, 5, 5, pic, 0, 0, 0, 4);
        DrawDib(p, 0, 0, 5, 5, pic, 10, 0, 4, 4);   // entirely right of the picture
        DrawDib(p, 0, 0, 5, 5, pic, 0, -10, 4, 4);  // entirely below
        DrawDib(p, 0, 0, 5, 5, DibImage());
        DrawDib(p, -100000, -100000, 2000000, 2000000, pic);  // huge, mostly off the image
    }
    EXPECT_EQ(at(image, 9, 9), qRgb(0, 0, 0));  // the huge one covers the image
    QImage untouched = whiteImage(10, 10);
    {
        QPainter p(&untouched);
        DrawDib(p, 0, 0, 0, 5, pic);
        DrawDib(p, 0, 0, 5, 5, pic, 10, 0, 4, 4);
        DrawDib(p, 0, 0, 5, 5, pic, 0, -10, 4, 4);
    }
    EXPECT_TRUE(inkBounds(untouched).isNull());
}

TEST(DrawDib, ScreenDrawingNeverConvertsTheWholePicturePrintingConvertsItOnce) {
    // On a raster image the rows come straight from the picture's bits (no drawing copy of
    // the picture is made); other devices draw the cached copy, made once and shared.
    const DibImage pic = rampPicture(64, 48);
    QImage image = whiteImage(100, 100);
    {
        QPainter p(&image);
        DrawDib(p, 0, 0, 100, 100, pic);
    }
    EXPECT_FALSE(pic.drawingImageCached());
    QImage scaledTarget = whiteImage(100, 100);
    {
        QPainter p(&scaledTarget);
        p.scale(0.5, 0.5);
        DrawDib(p, 0, 0, 200, 200, pic);
        EXPECT_TRUE(pic.drawingImageCached());
        const void* first = pic.toQImage().constBits();
        DrawDib(p, 0, 0, 100, 100, pic);
        EXPECT_EQ(pic.toQImage().constBits(), first);
    }
    EXPECT_EQ(at(scaledTarget, 99, 99), at(image, 99, 99));
}
