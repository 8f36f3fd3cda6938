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
        drawCardSide(p, *doc, ctx, 300, 300, 0, 0, 1.0 / kUnitsPerPixel, true);
        return image;
    };
    {
        const MissingPicturesGuard guard(ctx);
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
    EXPECT_TRUE(inkBounds(editor()).isNull());  // without the flag: the white stand-in

    ctx.showMissingPictures = true;
    EXPECT_TRUE(inkBounds(renderSide(*doc, ctx, 96)).isNull());
    EXPECT_TRUE(inkBounds(createCardPreview(*doc, ctx).toQImage()).isNull());
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
    const MissingPicturesGuard guard(ctx);
    TextRecorder recorder(400, 400);
    {
        QPainter p(&recorder);
        drawCardSide(p, *doc, ctx, 400, 400, 0, 0, 1.0 / kUnitsPerPixel, true);
    }
    EXPECT_EQ(recorder.lines(), QStringList({"riesig.png", "Bild zu groß"}));
}
