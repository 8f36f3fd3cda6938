// A picture whose file was not found: a crossed frame in the editor views, white as before in
// every output, even with the editor's flag left set.
#include "render/Preview.h"
#include "render/Renderer.h"

#include "pictures/PictureOps.h"

#include "RenderFixtures.h"
#include "TextRecorder.h"

#include <gtest/gtest.h>

using namespace bb;
using namespace rendertest;

TEST(MissingPicture, CrossedFrameInTheEditorOnly) {
    auto doc = makeDocument();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->updateSideUnits();
    CardObject& o = addObject(*doc, KindPicture, 10, 10, 100, 60);
    o.content = QStringLiteral("C:\\Bilder\\fehlt.jpg");
    ASSERT_FALSE(loadPictureOrBlank(o.picture, QStringLiteral("/kein/ordner/fehlt.jpg"), {}));
    ASSERT_TRUE(turnPictureRight(o.picture));  // the mark survives a quarter turn
    RenderContext ctx;
    const auto editor = [&] {
        QImage image = whiteImage(300, 300);
        QPainter p(&image);
        drawCardSide(p, *doc, SideOutside, ctx, 300, 300, 0, 0, 1.0 / kUnitsPerPixel, true);
        return image;
    };
    {
        ctx.showMissingPictures = true;
        const QImage shown = editor();
        // The frame (one pixel smaller than the box), a diagonal's ends, the name's ink.
        EXPECT_EQ(inkBounds(shown), QRect(10, 10, 99, 59));
        for (const QPoint p : {QPoint(10, 10), QPoint(108, 68), QPoint(59, 10), QPoint(10, 39)})
            EXPECT_EQ(at(shown, p.x(), p.y()), kMissingPictureFrame.rgb()) << p.x() << "," << p.y();
        EXPECT_EQ(at(shown, 20, 40), qRgb(255, 255, 255));
        bool crossed = false;  // the diagonal from the top left passes (20, 16) give or take one
        for (int y = 15; y <= 17; ++y) crossed |= at(shown, 20, y) == kMissingPictureFrame.rgb();
        EXPECT_TRUE(crossed);
        int dark = 0;
        for (int y = 30; y < 50; ++y)
            for (int x = 30; x < 90; ++x) dark += qGray(at(shown, x, y)) < 128;
        EXPECT_GT(dark, 10);
    }
    ctx.showMissingPictures = false;
    EXPECT_TRUE(inkBounds(editor()).isNull());  // without the flag: the white stand-in

    ctx.showMissingPictures = true;
    EXPECT_TRUE(inkBounds(renderSide(*doc, SideOutside, ctx, 96)).isNull());
    EXPECT_TRUE(inkBounds(createCardPreview(*doc, ctx).toQImage()).isNull());
}

// The names of the card's halves: above the card in the editor views only.
TEST(HalfNames, AboveTheCardInTheEditorOnly) {
    int side = SideOutside;
    auto doc = makeDocument();
    doc->format.cardWidth = 148;
    doc->format.cardHeight = 105;
    doc->updateSideUnits();
    RenderContext ctx;
    const int w = doc->screenPixels(doc->sideWidthUnits);
    const int h = doc->screenPixels(doc->sideHeightUnits);
    const auto editorImage = [&] {
        QImage image = whiteImage(w, h);
        QPainter p(&image);
        drawCardSide(p, *doc, side, ctx, w, h, 0, 0, 1.0 / kUnitsPerPixel, true);
        return image;
    };
    const auto editorLines = [&] {
        TextRecorder recorder(w, h);
        QPainter p(&recorder);
        drawCardSide(p, *doc, side, ctx, w, h, 0, 0, 1.0 / kUnitsPerPixel, true);
        p.end();
        return recorder.lines();
    };
    const QImage plain = editorImage();
    EXPECT_TRUE(editorLines().isEmpty());

    ctx.showHalfLabels = true;
    // Back left, front right on the outside, in one row above the card.
    EXPECT_EQ(editorLines(), QStringList({QStringLiteral("RückseiteVorderseite")}));
    const QImage named = editorImage();
    const QRect card(w / 3, h / 3, w / 3, h / 3);
    int changedAbove = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (named.pixel(x, y) == plain.pixel(x, y)) continue;
            // Nothing changes on the card or beside or below it.
            ASSERT_LT(y, card.top()) << x << "," << y;
            ASSERT_GE(x, card.left()) << x << "," << y;
            ASSERT_LT(x, card.left() + card.width()) << x << "," << y;
            ++changedAbove;
        }
    }
    EXPECT_GT(changedAbove, 20);

    side = SideInside;
    EXPECT_EQ(editorLines(), QStringList({QStringLiteral("Innen linksInnen rechts")}));

    // No output shows them, even with the editor's flag left set.
    for (double dpi : {96.0, 300.0}) {
        const QSize size = sideImageSize(doc->format, dpi);
        TextRecorder recorder(size.width(), size.height());
        QPainter p(&recorder);
        drawSideAt(p, *doc, side, ctx, dpi, 0, 0);
        p.end();
        EXPECT_TRUE(recorder.lines().isEmpty()) << dpi;
    }
}

// A picture left out because it is too large says so on its stand-in, also after a turn.
TEST(MissingPicture, AStandInForAPictureTooLargeSaysSo) {
    auto doc = makeDocument();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->updateSideUnits();
    CardObject& o = addObject(*doc, KindPicture, 10, 10, 200, 120);
    o.content = QStringLiteral("/fotos/riesig.png");
    makeStandIn(o.picture, QStringLiteral("Bild zu groß"));
    ASSERT_TRUE(turnPictureRight(o.picture));
    RenderContext ctx;
    ctx.showMissingPictures = true;
    TextRecorder recorder(400, 400);
    {
        QPainter p(&recorder);
        drawCardSide(p, *doc, SideOutside, ctx, 400, 400, 0, 0, 1.0 / kUnitsPerPixel, true);
    }
    EXPECT_EQ(recorder.lines(), QStringList({"riesig.png", "Bild zu groß"}));
}
