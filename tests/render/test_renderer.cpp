// drawCardSide: pixels of small renders against values worked out by hand.
#include "document/DrawnValues.h"
#include "render/FigureRenderer.h"
#include "render/Renderer.h"
#include "render/TextRenderer.h"

#include "RenderFixtures.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPicture>

#include <limits>
#include <random>

using namespace bb;
using namespace rendertest;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const ColorRef kRed = rgbRef(255, 0, 0);
const ColorRef kGreen = rgbRef(0, 160, 0);
const ColorRef kBlue = rgbRef(0, 0, 255);

class RendererTest : public ::testing::Test {
protected:
    std::unique_ptr<CardDocument> doc = makeDocument();
    RenderContext ctx;

    // Editor mode on a 300 × 300 work area (card 100..199), one pixel per 100 units.
    QImage drawEditor(int w = 300, int h = 300) {
        QImage image = whiteImage(w, h);
        QPainter p(&image);
        ctx.renderMode = RenderScreen;
        drawCardSide(p, *doc, SideOutside, ctx, 300, 300, 0, 0, 1.0 / kUnitsPerPixel, true);
        return image;
    }
    // Output mode: a card of 100 × 80 pixels at (0, 0) of a larger image. Objects of the
    // card's top-left corner lie at (100, 80) in work-area pixels: use addOnCard().
    QImage drawOutput(int w = 150, int h = 120) {
        QImage image = whiteImage(w, h);
        QPainter p(&image);
        const RenderContext output = atOutputDpi(ctx, 20000.0 / kUnitsPerPixel);
        drawCardSide(p, *doc, SideOutside, output, 100, 80, 100, 80, output.outputScale, false);
        return image;
    }
    CardObject& addOnCard(int kind, int x, int y, int w, int h) {
        return addObject(*doc, kind, x + 100, y + 80, w, h);
    }
    CardObject& addFigure(int figureKind, int x, int y, int w, int h, int fillMode = FillSolid) {
        CardObject& o = addObject(*doc, KindFigure, x, y, w, h);
        o.figureKind = figureKind;
        o.fillMode = fillMode;
        o.color = kGreen;
        o.borderColor = kRed;
        o.lineWidth = 0;
        return o;
    }
};

}  // namespace

// ---- figures -----------------------------------------------------------------------------

TEST_F(RendererTest, OnePixelRectangleLeavesOutItsRightAndBottomEdge) {
    addFigure(FigRectangle, 10, 10, 20, 10, FillBorderOnly);
    const QImage image = drawEditor();
    EXPECT_EQ(inkBounds(image), QRect(10, 10, 20, 10));  // columns 10..29, rows 10..19
    for (QPoint pt : {QPoint(10, 10), QPoint(29, 10), QPoint(10, 19), QPoint(29, 19),
                      QPoint(20, 10), QPoint(29, 15)})
        EXPECT_EQ(at(image, pt.x(), pt.y()), rgbOf(kRed)) << pt.x() << "," << pt.y();
    EXPECT_EQ(at(image, 15, 15), kWhite);  // border only: no fill
    EXPECT_EQ(at(image, 28, 18), kWhite);
}

TEST_F(RendererTest, FillModesChooseBorderAndFillColours) {
    addFigure(FigRectangle, 10, 10, 20, 10, FillSolid);
    addFigure(FigRectangle, 40, 10, 20, 10, FillWithBorder);
    addFigure(FigSquare, 70, 10, 30, 10, FillSolid);  // s = 10
    const QImage image = drawEditor();
    EXPECT_EQ(at(image, 10, 10), rgbOf(kGreen));
    EXPECT_EQ(at(image, 20, 15), rgbOf(kGreen));
    EXPECT_EQ(at(image, 30, 10), kWhite);
    EXPECT_EQ(at(image, 40, 10), rgbOf(kRed));
    EXPECT_EQ(at(image, 45, 15), rgbOf(kGreen));
    EXPECT_EQ(at(image, 59, 19), rgbOf(kRed));
    EXPECT_EQ(inkBounds(image.copy(65, 0, 100, 40)), QRect(5, 10, 10, 10));
}

TEST_F(RendererTest, EllipseAndCircleStayInsideTheDeviceRectangle) {
    addFigure(FigEllipse, 10, 10, 21, 11, FillBorderOnly);
    addFigure(FigCircle, 50, 10, 30, 12, FillSolid);  // s = 12
    const QImage image = drawEditor();
    EXPECT_EQ(inkBounds(image.copy(0, 0, 45, 40)), QRect(10, 10, 21, 11));
    EXPECT_EQ(inkBounds(image.copy(45, 0, 60, 40)), QRect(5, 10, 12, 12));
    EXPECT_EQ(at(image, 56, 16), rgbOf(kGreen));  // filled centre
    EXPECT_EQ(at(image, 50, 10), kWhite);         // corner outside the circle
}

TEST_F(RendererTest, LinesDrawInColourOnePixelWideWithoutTheirEndPoint) {
    // Fill mode 1 would use borderColor for a closed figure; lines always use Color.
    addFigure(FigLineHorizontal, 10, 10, 20, 0, FillBorderOnly);
    addFigure(FigLineVertical, 10, 30, 0, 20, FillBorderOnly);
    addFigure(FigLineDown, 40, 30, 20, 20, FillBorderOnly);
    addFigure(FigLineUp, 70, 30, 20, 20, FillBorderOnly);
    const QImage image = drawEditor();
    EXPECT_EQ(inkBounds(image.copy(0, 0, 35, 20)), QRect(10, 10, 20, 1));
    EXPECT_EQ(at(image, 10, 10), rgbOf(kGreen));
    EXPECT_EQ(at(image, 29, 10), rgbOf(kGreen));
    EXPECT_EQ(inkBounds(image.copy(0, 25, 35, 40)), QRect(10, 5, 1, 20));
    EXPECT_EQ(inkBounds(image.copy(35, 25, 30, 40)), QRect(5, 5, 20, 20));
    EXPECT_EQ(at(image, 40, 30), rgbOf(kGreen));
    EXPECT_EQ(at(image, 71, 49), rgbOf(kGreen));  // rising line starts at the bottom left
    EXPECT_EQ(at(image, 70, 30), kWhite);
}

TEST_F(RendererTest, PenWidthCountsFifthsOfAMillimetre) {
    EXPECT_EQ(figurePenWidth(0, 0.01, kNominalMmPerInch), 1);
    EXPECT_EQ(figurePenWidth(1, 1.0 / 312, kNominalMmPerInch), 1);  // 0.5 → at least 1
    EXPECT_EQ(figurePenWidth(5, 0.01, kNominalMmPerInch), 7);       // 7.87
    EXPECT_EQ(figurePenWidth(5, 0.03, 25.0), 24);                   // calibrated mm/inch
    addFigure(FigLineVertical, 50, 10, 0, 40).lineWidth = 5;
    const QImage image = drawEditor();
    int covered = 0;
    for (int x = 30; x < 70; ++x) covered += at(image, x, 30) == rgbOf(kGreen);
    EXPECT_EQ(covered, 7);
}

TEST_F(RendererTest, RoundedSquareUsesTheCornerOfTheObjectsBox) {
    // A 300 × 100 box: the square is 100 × 100, the corner ellipse 100 wide and 33 high.
    addFigure(FigRoundSquare, 10, 10, 300, 100, FillSolid);
    const QImage image = drawEditor(400, 300);
    const QRgb g = rgbOf(kGreen);
    EXPECT_EQ(inkBounds(image), QRect(10, 10, 100, 100));
    EXPECT_EQ(at(image, 60, 10), g);  // top middle: no straight edge left of it is needed
    EXPECT_EQ(at(image, 10, 60), g);  // left middle
    EXPECT_EQ(at(image, 10, 10), kWhite);
    EXPECT_EQ(at(image, 10, 20), kWhite);  // 16 rows of corner: x = 10 reached below row 26
    EXPECT_EQ(at(image, 20, 20), g);
    EXPECT_EQ(at(image, 30, 11), kWhite);  // one row down the corner is 33 pixels wide
    EXPECT_EQ(at(image, 55, 11), g);
    EXPECT_EQ(at(image, 10, 30), g);
    EXPECT_EQ(at(image, 109, 105), kWhite);  // bottom right corner is rounded too
    EXPECT_EQ(at(image, 90, 105), g);
}

// ---- clipping ------------------------------------------------------------------------------

TEST_F(RendererTest, OutputClipsToTheCardTheEditorDoesNot) {
    CardObject& o = addOnCard(KindFigure, -10, -10, 200, 200);
    o.figureKind = FigRectangle;
    o.color = kGreen;
    EXPECT_EQ(inkBounds(drawOutput()), QRect(0, 0, 100, 80));
    EXPECT_EQ(inkBounds(drawEditor(400, 400)), QRect(90, 70, 200, 200));
}

TEST_F(RendererTest, CardClipSurvivesTiledBackgroundAndRoundFrame) {
    doc->sideBackground(SideOutside).backgroundMode = BgTiled;
    doc->sideBackground(SideOutside).backgroundPicture = solidPicture(10, 10, kBlue);
    CardObject& pic = addOnCard(KindPicture, 10, 10, 20, 20);
    pic.picture = solidPicture(5, 5, kRed);
    pic.roundFrame = true;
    CardObject& o = addOnCard(KindFigure, 50, 40, 100, 100);
    o.figureKind = FigRectangle;
    o.color = kGreen;
    const QImage image = drawOutput();
    EXPECT_EQ(inkBounds(image), QRect(0, 0, 100, 80));
    EXPECT_EQ(at(image, 99, 79), rgbOf(kGreen));
    EXPECT_EQ(at(image, 0, 0), rgbOf(kBlue));
    EXPECT_EQ(at(image, 20, 20), rgbOf(kRed));
    EXPECT_EQ(at(image, 10, 10), rgbOf(kBlue));  // outside the round frame
}

// ---- backgrounds ---------------------------------------------------------------------------

TEST_F(RendererTest, PictureModesWithoutPictureDrawAsNoneColourFillsTheCard) {
    for (int mode : {BgStretched, BgFit, BgCover, BgTiled}) {
        doc->sideBackground(SideOutside).backgroundMode = mode;
        EXPECT_TRUE(inkBounds(drawOutput()).isNull());
        EXPECT_EQ(doc->sideBackground(SideOutside).backgroundMode,
                  mode);                                     // drawing changes nothing
        settleBackground(doc->sideBackground(SideOutside));  // reading or editing does
        EXPECT_EQ(doc->sideBackground(SideOutside).backgroundMode, BgNone);
    }
    doc->sideBackground(SideOutside).backgroundMode = BgColor;
    doc->sideBackground(SideOutside).backgroundColor = kBlue;
    const QImage image = drawOutput();
    EXPECT_EQ(inkBounds(image), QRect(0, 0, 100, 80));
    EXPECT_EQ(at(image, 50, 50), rgbOf(kBlue));
    EXPECT_EQ(doc->sideBackground(SideOutside).backgroundMode, BgColor);
}

TEST_F(RendererTest, StretchedBackgroundCoversTheCard) {
    doc->sideBackground(SideOutside).backgroundMode = BgStretched;
    doc->sideBackground(SideOutside).backgroundPicture = solidPicture(3, 2, kBlue);
    EXPECT_EQ(inkBounds(drawOutput()), QRect(0, 0, 100, 80));
}

TEST_F(RendererTest, TilesAbutAtTheirDrawnSize) {
    // Card 100 × 80: W = 101, H = 81. A 10 × 5 picture: A = 5 × 101 div 10 = 50 < 81, so
    // tiles of 101 × 50 drawn 100 × 49 at rows 0, 49, 98, ...
    DibImage pic = solidPicture(10, 5, kRed);
    for (int x = 0; x < 10; ++x) setPixel(pic, x, 0, kBlue);  // top row blue
    doc->sideBackground(SideOutside).backgroundMode = BgTiled;
    doc->sideBackground(SideOutside).backgroundPicture = pic;
    const QImage image = drawOutput();
    // Within a tile of 49 rows the top source row covers rows j with 5 × j div 49 = 0.
    for (int y = 0; y < 80; ++y) {
        const int j = y % 49;
        const QRgb want = (5 * j / 49 == 0) ? rgbOf(kBlue) : rgbOf(kRed);
        ASSERT_EQ(at(image, 50, y), want) << y;
    }
    EXPECT_EQ(inkBounds(image), QRect(0, 0, 100, 80));
}

TEST_F(RendererTest, FitAndCoverAreCentredOnePixelSmaller) {
    // 20 × 10 picture, left half red, right half blue. Card W × H = 101 × 81.
    DibImage pic = solidPicture(20, 10, kRed);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x) setPixel(pic, x, y, kBlue);
    doc->sideBackground(SideOutside).backgroundPicture = pic;

    // Fit: f = 10 × 101 div 20 = 50 < 81: 101 × 50 at (0, 15), drawn 100 × 49.
    doc->sideBackground(SideOutside).backgroundMode = BgFit;
    EXPECT_EQ(inkBounds(drawOutput()), QRect(0, 15, 100, 49));

    // Cover: f = 50 is not above 81, so g = 20 × 81 div 10 = 162: 162 × 81 at
    // (0 + (101 − 162) div 2, 0) = (−30, 0), drawn 161 × 80. Column i of the drawing shows
    // source column 20 × i div 161; blue starts at i = 81, device x = 51.
    doc->sideBackground(SideOutside).backgroundMode = BgCover;
    const QImage cover = drawOutput();
    EXPECT_EQ(inkBounds(cover), QRect(0, 0, 100, 80));
    EXPECT_EQ(at(cover, 50, 40), rgbOf(kRed));
    EXPECT_EQ(at(cover, 51, 40), rgbOf(kBlue));

    // In the editor the cover picture is cut at the card as well.
    EXPECT_EQ(inkBounds(drawEditor()), QRect(100, 100, 100, 100));
}

// ---- pictures ------------------------------------------------------------------------------

TEST_F(RendererTest, KeepAspectShrinksTheBoxAndDrawsOnePixelLess) {
    CardObject& o = addObject(*doc, KindPicture, 10, 10, 100, 100);
    o.picture = solidPicture(200, 100, kRed);
    o.keepAspect = true;
    EXPECT_EQ(inkBounds(drawEditor()), QRect(10, 10, 99, 49));
    o.keepAspect = false;
    EXPECT_EQ(inkBounds(drawEditor()), QRect(10, 10, 99, 99));
}

TEST_F(RendererTest, RoundFrameClipsToTheInscribedEllipse) {
    CardObject& o = addObject(*doc, KindPicture, 10, 10, 41, 31);
    o.picture = solidPicture(4, 4, kRed);
    o.roundFrame = true;
    const QImage image = drawEditor();
    const QRegion ellipse(QRect(10, 10, 40, 30), QRegion::Ellipse);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(at(image, x, y), ellipse.contains(QPoint(x, y)) ? rgbOf(kRed) : kWhite)
                << x << "," << y;
}

namespace {

// The transparent rule written per pixel: box of cw × ch device pixels at (x, y), pixel
// (i, j) from source (pw × i div cw, ph × j div ch), left alone where it equals t.
QImage transparentReference(QImage under, const DibImage& pic, int x, int y, int cw, int ch,
                            qint64 t) {
    for (int j = 0; j < ch; ++j)
        for (int i = 0; i < cw; ++i) {
            const uint32_t v = getPixel(pic, pic.width() * i / cw, pic.height() * j / ch);
            if (qint64(v) != t) under.setPixel(x + i, y + j, rgbOf(pixelColor(pic, v)));
        }
    return under;
}

}  // namespace

TEST_F(RendererTest, TransparentPicturesMatchThePerPixelRule) {
    doc->sideBackground(SideOutside).backgroundMode = BgColor;
    doc->sideBackground(SideOutside).backgroundColor = kGreen;
    DibImage pic = rampPicture(5, 4);
    CardObject& o = addOnCard(KindPicture, 7, 9, 23, 13);
    o.picture = pic;
    o.transparent = true;
    o.transparentColor = int32_t(rgbRef(2, 1, 7));

    QImage under = whiteImage(150, 120);
    under.fill(Qt::white);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) under.setPixel(x, y, rgbOf(kGreen));
    // Output: the full 23 × 13 box.
    EXPECT_EQ(drawOutput(), transparentReference(under, pic, 7, 9, 23, 13, rgbRef(2, 1, 7)));

    // Editor: (w − 1) × (h − 1), showing what lies below where transparent.
    doc->clearAll();
    doc->sideBackground(SideOutside).backgroundMode = BgColor;
    doc->sideBackground(SideOutside).backgroundColor = kGreen;
    CardObject& e = addObject(*doc, KindPicture, 110, 120, 23, 13);
    e.picture = pic;
    e.transparent = true;
    e.transparentColor = int32_t(rgbRef(4, 3, 7));
    QImage editorUnder = whiteImage(300, 300);
    for (int y = 100; y < 200; ++y)
        for (int x = 100; x < 200; ++x) editorUnder.setPixel(x, y, rgbOf(kGreen));
    EXPECT_EQ(drawEditor(),
              transparentReference(editorUnder, pic, 110, 120, 22, 12, rgbRef(4, 3, 7)));

    // A negative value makes nothing transparent.
    e.transparentColor = -1;
    EXPECT_EQ(drawEditor(), transparentReference(editorUnder, pic, 110, 120, 22, 12, -1));
}

TEST_F(RendererTest, AutoTransparentTakesTheBottomLeftPixel) {
    DibImage pic = rampPicture(6, 6);
    CardObject& o = addObject(*doc, KindPicture, 10, 10, 13, 13);
    o.picture = pic;
    o.transparent = true;
    o.autoTransparent = true;
    o.transparentColor = 12345;
    const QImage image = drawEditor();
    EXPECT_EQ(o.transparentColor, 12345);
    EXPECT_EQ(image,
              transparentReference(whiteImage(300, 300), pic, 10, 10, 12, 12, rgbRef(0, 5, 7)));
    settleObject(o);  // what reading or editing the card stores
    EXPECT_EQ(o.transparentColor, int32_t(rgbRef(0, 5, 7)));
    EXPECT_EQ(drawEditor(), image);
}

TEST_F(RendererTest, PalettePicturesCompareTheFirstMatchingIndex) {
    // Indices 1 and 2 are both green; green as transparent colour means index 1 only.
    const RgbQuad colours[3] = {{0, 0, 255, 0}, {0, 160, 0, 0}, {0, 160, 0, 0}};
    DibImage pic = newDib(3, 1, 8, colours, 3);
    setPixel(pic, 0, 0, 0);
    setPixel(pic, 1, 0, 1);
    setPixel(pic, 2, 0, 2);
    CardObject& o = addObject(*doc, KindPicture, 10, 10, 4, 2);
    o.picture = pic;
    o.transparent = true;
    o.transparentColor = int32_t(kGreen);
    const QImage image = drawEditor();
    EXPECT_EQ(at(image, 10, 10), rgbOf(kRed));
    EXPECT_EQ(at(image, 11, 10), kWhite);
    EXPECT_EQ(at(image, 12, 10), rgbOf(kGreen));
    EXPECT_EQ(o.transparentColor, int32_t(kGreen));  // the colour itself is kept

    // autoTransparent on a palette picture takes (and settling stores) the index.
    o.autoTransparent = true;
    const QImage automatic = drawEditor();
    EXPECT_EQ(at(automatic, 10, 10), kWhite);
    EXPECT_EQ(at(automatic, 11, 10), rgbOf(kGreen));
    settleObject(o);
    EXPECT_EQ(o.transparentColor, 0);
}

// ---- texts ---------------------------------------------------------------------------------

TEST(RendererArithmetic, FontPixelSizeAndOutlineThickness) {
    RenderContext ctx;
    EXPECT_EQ(textPixelSize(12, 1.0 / 312, ctx), 8);  // 8.01
    ctx.screenDpi = 120;
    EXPECT_EQ(textPixelSize(12, 1.0 / 312, ctx), 5);  // 5.13
    EXPECT_EQ(textPixelSize(0, 1.0 / 312, ctx), 1);
    ctx.screenDpi = 96;
    // Whole sizes stay whole although the factors are inexact in binary: the export at 96
    // pixels per inch draws a size 12 with 12 pixels, like the editor at 100 %.
    EXPECT_EQ(textPixelSize(12, 96 / 20000.0, ctx), 12);
    EXPECT_EQ(textPixelSize(3, 96 / 20000.0, ctx), 3);
    EXPECT_EQ(textPixelSize(24, 96 / 20000.0, ctx), 24);
    EXPECT_EQ(textPixelSize(12, 600 / 20000.0, ctx), 75);
    EXPECT_EQ(textPixelSize(12, 300 / 20000.0, ctx), 37);  // 37.5
    EXPECT_EQ(outlineThickness(1.0 / 312, kNominalMmPerInch), 1);
    EXPECT_EQ(outlineThickness(600.0 / 20000, kNominalMmPerInch), 4);  // 4.72
    EXPECT_EQ(cardRect(300, 300, 10, 20, true), (CardRect{90, 80, 190, 180}));
    EXPECT_EQ(cardRect(100, 80, 100 - 5, 80 - 7, false), (CardRect{5, 7, 105, 87}));
}

namespace {

CardObject& addText(CardDocument& doc, const QString& content, int x, int y, int w, int h) {
    CardObject& o = addObject(doc, KindText, x, y, w, h);
    o.content = content;
    o.fontName = QStringLiteral("Liberation Sans");
    o.fontSize = 12;  // 20000 / 96 × 12 × 0.01 = 25 pixels
    o.color = rgbRef(0, 0, 0);
    return o;
}

}  // namespace

TEST_F(RendererTest, ShadowIsOffsetByTenthsOfAMillimetre) {
    CardObject& o = addText(*doc, QStringLiteral("Hallo"), 20, 20, 200, 60);
    const QRect plain = inkBounds(drawEditor());
    ASSERT_FALSE(plain.isNull());
    o.color = rgbRef(255, 255, 255);  // the text itself invisible: only the shadow shows
    o.shadow = true;
    o.shadowColor = int32_t(kBlue);
    o.shadowDx = 20;  // 2 mm: 0.01 × 20 × 2000 / 25.39995 = 15.7 → 15 pixels
    o.shadowDy = 10;  // 7.87 → 7
    const QImage image = drawEditor();
    EXPECT_EQ(inkBounds(image), plain.translated(15, 7));
}

TEST_F(RendererTest, OutlineAtOnePixelIsFourDiagonalCopies) {
    CardObject& o = addText(*doc, QStringLiteral("l"), 20, 20, 100, 60);
    const QImage plain = drawEditor();
    o.outline = true;
    o.outlineColor = kRed;
    const QImage outlined = drawEditor();
    // Around the text, a pixel is touched exactly when one of its diagonal neighbours holds
    // ink of the plain text: the copies at (±1, ±1), none on the centre row or column.
    int touched = 0;
    for (int y = 10; y < 90; ++y)
        for (int x = 10; x < 130; ++x) {
            if (at(plain, x, y) != kWhite) continue;
            bool diagonal = false;
            for (int i : {-1, 1})
                for (int j : {-1, 1}) diagonal |= at(plain, x - i, y - j) != kWhite;
            const bool changed = at(outlined, x, y) != kWhite;
            ASSERT_EQ(changed, diagonal) << x << "," << y;
            touched += changed;
        }
    EXPECT_GT(touched, 20);
}

TEST_F(RendererTest, UprightTextBreaksAtCarriageReturnsAndAligns) {
    addText(*doc, QStringLiteral("Ab\rAb"), 20, 20, 250, 100);
    const QRect twoLines = inkBounds(drawEditor(300, 300));
    const int lineHeight = QFontMetrics([] {
                               QFont f(QStringLiteral("Liberation Sans"));
                               f.setPixelSize(25);
                               return f;
                           }())
                               .lineSpacing();
    EXPECT_GE(twoLines.height(), lineHeight);
    EXPECT_GE(twoLines.top(), 20);
    EXPECT_LT(twoLines.left(), 25);

    doc->sideSlots(SideOutside)[1]->content = QStringLiteral("Ab\r\nAb");
    EXPECT_EQ(inkBounds(drawEditor(300, 300)), twoLines);

    doc->sideSlots(SideOutside)[1]->alignment = 2;
    const QRect right = inkBounds(drawEditor(300, 300));
    EXPECT_GT(right.left(), 150);
    EXPECT_LE(right.right(), 270);
    doc->sideSlots(SideOutside)[1]->alignment = 1;
    const QRect centred = inkBounds(drawEditor(300, 300));
    EXPECT_NEAR(centred.center().x(), 145, 3);
}

TEST_F(RendererTest, TurnedTextWrapsInsideItsBoxTurnedClockwiseByQuarterTurns) {
    CardObject& o = addText(*doc, QStringLiteral("AAAA\rBBBB"), 100, 100, 80, 120);
    const QRect upright = inkBounds(drawEditor(400, 400));
    EXPECT_GT(upright.height(), 40);  // two lines
    const int lines = upright.height(), along = upright.width();
    const QRect box(100, 100, 80, 120);

    // A quarter clockwise: the lines run downwards, their tops towards the box's right edge,
    // the first line starting at the box's top.
    o.rotation = 1;
    const QRect down = inkBounds(drawEditor(400, 400));
    EXPECT_TRUE(box.contains(down));
    EXPECT_NEAR(down.width(), lines, 2);
    EXPECT_NEAR(down.height(), along, 2);
    EXPECT_GT(down.right(), 170);
    EXPECT_LT(down.top(), 106);

    // Upside down: the tops towards the bottom edge, starting at the right.
    o.rotation = 2;
    const QRect turned = inkBounds(drawEditor(400, 400));
    EXPECT_TRUE(box.contains(turned));
    EXPECT_NEAR(turned.height(), lines, 2);
    EXPECT_GT(turned.bottom(), 210);
    EXPECT_GT(turned.right(), 174);

    // Three quarters: the lines run upwards, their tops towards the left edge.
    o.rotation = 3;
    const QRect up = inkBounds(drawEditor(400, 400));
    EXPECT_TRUE(box.contains(up));
    EXPECT_NEAR(up.width(), lines, 2);
    EXPECT_LT(up.left(), 110);
    EXPECT_GT(up.bottom(), 214);

    // A line longer than the box's height wraps along it, as upright text wraps at its width.
    o.rotation = 1;
    o.content = QStringLiteral("AAAA BBBB CCCC DDDD");
    const QRect wrapped = inkBounds(drawEditor(400, 400));
    EXPECT_TRUE(box.contains(wrapped));
    EXPECT_GT(wrapped.width(), lines);
}

// ---- robustness and state ------------------------------------------------------------------

TEST_F(RendererTest, ExtremeValuesDrawWithoutFault) {
    CardObject& f = addObject(*doc, KindFigure, 0, 0, 0, 0);
    f.x = std::numeric_limits<int32_t>::max();
    f.width = std::numeric_limits<int32_t>::min();
    f.figureKind = FigRoundRect;
    f.lineWidth = std::numeric_limits<int32_t>::max();
    CardObject& t = addText(*doc, QStringLiteral("x"), 0, 0, 10, 10);
    t.fontSize = std::numeric_limits<int32_t>::max();
    t.shadow = true;
    t.shadowDx = std::numeric_limits<int32_t>::min();
    CardObject& p = addObject(*doc, KindPicture, 5, 5, 10, 10);
    p.picture = solidPicture(1, 1, kRed);
    p.transparent = true;
    p.y = std::numeric_limits<int32_t>::min();
    doc->sideBackground(SideOutside).backgroundMode = BgTiled;
    doc->sideBackground(SideOutside).backgroundPicture =
        solidPicture(1000, 1, kBlue);  // tile height 0
    drawEditor();
    ctx.mmPerInchX = 0;  // a broken calibration: widths saturate, nothing divides by zero
    ctx.mmPerInchY = 0;
    drawEditor();
    ctx.mmPerInchX = ctx.mmPerInchY = kNominalMmPerInch;
    const QImage image = drawOutput();
    EXPECT_EQ(ctx.renderMode, RenderScreen);
    EXPECT_EQ(at(image, 120, 100), kWhite);
}

TEST_F(RendererTest, TextsOutsideTheViewAreSkippedButShadowsReachingInAreDrawn) {
    // Only the shadow of this text falls into the 300 × 300 view.
    CardObject& o = addText(*doc, QStringLiteral("Hallo"), -120, 20, 100, 60);
    o.shadow = true;
    o.shadowColor = int32_t(kBlue);
    o.shadowDx = 200;  // 157 pixels
    EXPECT_FALSE(inkBounds(drawEditor()).isNull());
    o.shadow = false;
    EXPECT_TRUE(inkBounds(drawEditor()).isNull());
}

TEST_F(RendererTest, RandomObjectsAndArgumentsDrawWithoutFault) {
    // Damaged cards can hold any value in any field; drawing must stay inside its buffers
    // and free of undefined arithmetic (checked by the sanitizer build).
    std::mt19937 rng(20261208);
    auto any = [&] {
        switch (rng() % 4) {
            case 0:
                return int32_t(rng());
            case 1:
                return int32_t(rng() % 200000) - 50000;
            case 2:
                return std::numeric_limits<int32_t>::min() + int32_t(rng() % 3);
            default:
                return std::numeric_limits<int32_t>::max() - int32_t(rng() % 3);
        }
    };
    const DibImage pictures[] = {rampPicture(3, 2), solidPicture(1, 1, kRed),
                                 newDib(5, 3, 4, nullptr, 0), newDib(9, 2, 1, nullptr, 0)};
    for (int round = 0; round < 6; ++round) {
        doc->clearAll();
        for (int i = 0; i < 60; ++i) {
            CardObject& o = *doc->sideSlots(SideOutside)[1 + int(rng() % 200)];
            o.kind = int32_t(rng() % 5);
            o.x = any();
            o.y = any();
            o.width = any();
            o.height = any();
            if (rng() % 2) {  // sometimes a sane box so that something is really drawn
                o.x = int32_t(rng() % 30000);
                o.y = int32_t(rng() % 30000);
                o.width = int32_t(rng() % 8000);
                o.height = int32_t(rng() % 8000);
            }
            o.figureKind = int32_t(rng() % 12) - 1;
            o.fillMode = rng() % 2 ? int32_t(rng() % 4) : any();
            o.lineWidth = rng() % 2 ? int32_t(rng() % 10) : any();
            o.rotation = int32_t(rng() % 6) - 1;
            o.alignment = any();
            o.shadowDx = any();
            o.shadowDy = any();
            o.shadow = rng() % 2;
            o.roundFrame = rng() % 2;
            o.keepAspect = rng() % 2;
            o.transparent = rng() % 2;
            o.autoTransparent = rng() % 2;
            o.fontSize = int32_t(rng() % 40);
            o.content = QStringLiteral("a\rb\r\nc");
            o.picture = o.kind == KindPicture && rng() % 5 ? pictures[rng() % 4] : DibImage();
            o.transparentColor = rng() % 2 ? int32_t(rng() % 10) : any();
            o.outlineColor = uint32_t(any());
            o.shadowColor = any();
            o.outline = rng() % 2;
        }
        doc->sideBackground(SideOutside).backgroundMode = int32_t(rng() % 7) - 1;
        doc->sideBackground(SideOutside).backgroundPicture = pictures[rng() % 4];
        ctx.mmPerInchX = rng() % 3 ? kNominalMmPerInch : 24.0;
        drawEditor(120, 90);
        drawOutput(120, 90);
    }
}

TEST_F(RendererTest, FiguresOnOtherDevicesMatchTheRasterSpans) {
    // Printers and PDF files get ellipses and rounded rectangles as paths; recorded into a
    // picture and replayed they must cover (nearly) the pixels that the spans cover.
    int k = 0;
    for (int kind : {FigCircle, FigEllipse, FigRoundSquare, FigRoundRect})
        for (int fill : {FillSolid, FillBorderOnly, FillWithBorder}) {
            CardObject& o = addFigure(kind, 10 + 45 * (k % 6), 10 + 45 * (k / 6), 37, 29, fill);
            o.lineWidth = k % 4;
            ++k;
        }
    const QImage raster = drawEditor();
    QPicture recording;
    {
        QPainter p(&recording);
        drawCardSide(p, *doc, SideOutside, ctx, 300, 300, 0, 0, 1.0 / kUnitsPerPixel, true);
    }
    QImage replayed = whiteImage(300, 300);
    {
        QPainter p(&replayed);
        recording.play(&p);
    }
    int differing = 0, inked = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            differing += at(raster, x, y) != at(replayed, x, y);
            inked += at(raster, x, y) != kWhite;
        }
    EXPECT_GT(inked, 5000);
    EXPECT_LT(differing, inked / 50);  // only single boundary pixels may differ
}
