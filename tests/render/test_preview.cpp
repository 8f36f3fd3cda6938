// createCardPreview and the side renders: sizes, the side drawn, white ground, restored mode.
#include "render/Preview.h"

#include "RenderFixtures.h"
#include "document/CardFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace bb;
using namespace rendertest;

namespace {

bool allPixels(const DibImage& pic, ColorRef colour) {
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (getPixel(pic, x, y) != colour) return false;
    return true;
}

}  // namespace

TEST(createCardPreview, DrawsTheOutsideAtAbout90PixelsAndRestoresTheMode) {
    auto doc = makeDocument();
    doc->format.cardWidth = 200;
    doc->format.cardHeight = 150;
    doc->updateSideUnits();
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = rgbRef(255, 0, 0);
    doc->insideBackground.backgroundMode = BgColor;
    doc->insideBackground.backgroundColor = rgbRef(0, 0, 255);

    RenderContext ctx;
    ctx.outputScale = 0.5;
    const DibImage preview = createCardPreview(*doc, ctx);
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.width(), 86);  // r = 11 pixels per inch
    EXPECT_EQ(preview.height(), 64);
    EXPECT_EQ(preview.bitCount(), 24);
    EXPECT_TRUE(allPixels(preview, rgbRef(255, 0, 0)));
    EXPECT_EQ(doc->insideBackground.backgroundColor, rgbRef(0, 0, 255));
    EXPECT_EQ(ctx.renderMode, RenderScreen);
    EXPECT_EQ(ctx.outputScale, 0.5);
}

TEST(createCardPreview, EmptyCardIsWhiteAndObjectsLandOnTheCard) {
    auto doc = makeDocument();
    RenderContext ctx;
    EXPECT_TRUE(allPixels(createCardPreview(*doc, ctx), rgbRef(255, 255, 255)));

    // A figure covering the card's left half: X from the card's left edge (one card width
    // into the work area), in document units.
    CardObject& o = *doc->sideSlots(SideOutside)[doc->findFreeSlot(SideOutside)];
    o.kind = KindFigure;
    o.figureKind = FigRectangle;
    o.color = 0;
    o.x = int32_t(200 / kNominalMmPerInch * 20000);
    o.y = int32_t(150 / kNominalMmPerInch * 20000);
    o.width = int32_t(100 / kNominalMmPerInch * 20000);
    o.height = int32_t(150 / kNominalMmPerInch * 20000);
    const DibImage preview = createCardPreview(*doc, ctx);
    EXPECT_EQ(getPixel(preview, 0, 0), 0u);
    EXPECT_EQ(getPixel(preview, 41, 63), 0u);
    EXPECT_EQ(getPixel(preview, 44, 0), rgbRef(255, 255, 255));
}

TEST(createCardPreview, AbsurdCardSizesGiveAOnePixelPicture) {
    auto doc = makeDocument();
    RenderContext ctx;
    for (double width : {0.0, -5.0, 1e9}) {
        doc->format.cardWidth = width;
        const DibImage preview = createCardPreview(*doc, ctx);
        ASSERT_FALSE(preview.isNull());
        EXPECT_EQ(preview.width(), 1);
        EXPECT_EQ(preview.height(), 1);
    }
}

TEST(RenderSide, SizeFollowsTheCardAndTheResolution) {
    CardFormat format;
    format.cardWidth = 100;
    format.cardHeight = 70;
    EXPECT_EQ(sideImageSize(format, 96), QSize(377, 264));
    format.cardWidth = 210;
    format.cardHeight = 148;
    EXPECT_EQ(sideImageSize(format, 96), QSize(793, 559));
    format.cardWidth = 0;
    EXPECT_TRUE(sideImageSize(format, 96).isEmpty());

    auto doc = makeDocument();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->sideBackground(SideOutside).backgroundMode = BgColor;
    doc->sideBackground(SideOutside).backgroundColor = rgbRef(0, 0, 255);
    RenderContext ctx;
    const QImage image = renderSide(*doc, SideOutside, ctx, 96);
    EXPECT_EQ(image.size(), QSize(377, 264));
    EXPECT_EQ(inkBounds(image), QRect(0, 0, 377, 264));
    EXPECT_EQ(ctx.renderMode, RenderScreen);
    doc->format.cardWidth = 1e7;  // beyond the picture limits
    EXPECT_TRUE(renderSide(*doc, SideOutside, ctx, 96).isNull());
}

TEST(RenderSide, DrawSideAtPlacesAndClipsTheCard) {
    auto doc = makeDocument();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    CardObject& o = *doc->sideSlots(SideOutside)[1];
    o.kind = KindFigure;
    o.figureKind = FigRectangle;
    o.x = 0;  // covers the whole work area, far beyond the card
    o.y = 0;
    o.width = int32_t(300 / kNominalMmPerInch * 20000);
    o.height = int32_t(210 / kNominalMmPerInch * 20000);
    RenderContext ctx;
    QImage image = whiteImage(500, 400);
    {
        QPainter p(&image);
        drawSideAt(p, *doc, SideOutside, ctx, 96.0, 30, 40);
    }
    EXPECT_EQ(inkBounds(image), QRect(30, 40, 377, 264));
}

TEST(createCardPreview, SavedCardStoresTheRenderedOutside) {
    // The card writer with the renderer's preview: the stored picture is the drawn outside.
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    auto doc = makeDocument();
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = rgbRef(0, 128, 255);
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, dir.path(), &createCardPreview, {}, {}};
    ASSERT_TRUE(saveCardFile(*doc, dir.file(QStringLiteral("k.kar")), fc));
    const CardPreview stored = readCardPreview(dir.file(QStringLiteral("k.kar")));
    ASSERT_TRUE(stored.ok()) << stored.error.toStdString();
    EXPECT_EQ(stored.picture.width(), 86);
    EXPECT_EQ(stored.picture.height(), 64);
    EXPECT_TRUE(allPixels(stored.picture, rgbRef(0, 128, 255)));
    EXPECT_EQ(ctx.renderMode, RenderScreen);
}
