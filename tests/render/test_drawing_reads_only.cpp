// Drawing only reads the card: no output changes what a save would write, and the values that
// follow from the pictures (a background without its picture, a transparent colour taken from
// the picture) are settled where the card is read or edited instead.
#include "document/CardFile.h"
#include "document/DrawnValues.h"
#include "render/Export.h"
#include "render/Preview.h"
#include "render/Renderer.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include "RenderFixtures.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace bb;
using namespace rendertest;

namespace {

const ColorRef kRed = rgbRef(255, 0, 0);
const ColorRef kWhite = rgbRef(255, 255, 255);

// A picture of white with a red bottom-left pixel: its transparent colour is red.
DibImage redCornerPicture() {
    DibImage pic = solidPicture(4, 3, kWhite);
    setPixel(pic, 0, 2, kRed);
    return pic;
}

// On `side`: an AutoTransparent picture whose stored transparent colour is still white, and
// a stretched background without a picture.
CardObject& unsettledSide(CardDocument& doc, int side) {
    CardObject& o = addObject(doc, KindPicture, 110, 110, 40, 30, side);
    o.picture = redCornerPicture();
    o.content = QStringLiteral("ecke.bmp");
    o.transparent = true;
    o.autoTransparent = true;
    o.transparentColor = int32_t(kWhite);
    doc.sideBackground(side).backgroundMode = BgStretched;
    return o;
}

}  // namespace

TEST(DrawingReadsOnly, NoOutputChangesWhatASaveWrites) {
    auto doc = makeDocument();
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->updateSideUnits();
    unsettledSide(*doc, SideOutside);
    unsettledSide(*doc, SideInside);
    const QByteArray before = cardFileBytes(*doc, DibImage());
    RenderContext ctx;
    for (int side : {SideOutside, SideInside}) {
        QImage editor = whiteImage(300, 300);
        QPainter p(&editor);
        drawCardSide(p, *doc, side, withEditorMarks(ctx), 300, 300, 0, 0, 1.0 / kUnitsPerPixel,
                     true);
        p.end();
        EXPECT_FALSE(renderSide(*doc, side, ctx, 96).isNull());
        EXPECT_FALSE(renderExportPicture(*doc, side, ctx).isNull());
    }
    EXPECT_FALSE(createCardPreview(*doc, ctx).isNull());
    EXPECT_EQ(cardFileBytes(*doc, DibImage()), before);
}

TEST(DrawingReadsOnly, TheTransparentColourIsTakenFromThePictureWhenDrawn) {
    auto doc = makeDocument();
    CardObject& o = unsettledSide(*doc, SideOutside);
    RenderContext ctx;
    QImage image = whiteImage(300, 300);
    image.fill(qRgb(0, 0, 255));
    QPainter p(&image);
    drawCardSide(p, *doc, SideOutside, ctx, 300, 300, 0, 0, 1.0 / kUnitsPerPixel, true);
    p.end();
    // Red is see-through, the white pixels are drawn although the stored colour says white.
    EXPECT_EQ(image.pixel(110, 139), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(130, 115), qRgb(255, 255, 255));
    EXPECT_EQ(o.transparentColor, int32_t(kWhite));  // the card itself is unchanged
}

TEST(DrawnValues, SettlingFollowsThePictures) {
    auto doc = makeDocument();
    CardObject& o = unsettledSide(*doc, SideInside);
    CardObject& opaque = addObject(*doc, KindPicture, 0, 0, 10, 10);
    opaque.picture = redCornerPicture();
    opaque.autoTransparent = true;  // not drawn transparent: its colour stays
    opaque.transparentColor = 77;
    doc->outsideBackground.backgroundMode = BgColor;  // a colour needs no picture
    settleCard(*doc);
    EXPECT_EQ(o.transparentColor, int32_t(kRed));
    EXPECT_EQ(opaque.transparentColor, 77);
    EXPECT_EQ(doc->insideBackground.backgroundMode, BgNone);
    EXPECT_EQ(doc->outsideBackground.backgroundMode, BgColor);
}

// A card opened and saved gives the same bytes whichever side was looked at before saving.
TEST(DrawnValues, ACardIsSettledWhereItIsRead) {
    bbtest::TempFolder dir;
    ASSERT_EQ(savePictureFile(redCornerPicture(), dir.file("ecke.bmp"), 3), 1);
    auto written = makeDocument();
    written->format.cardWidth = 100;
    written->format.cardHeight = 70;
    written->updateSideUnits();
    unsettledSide(*written, SideInside);
    QFile card(dir.file("karte.kar"));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write(cardFileBytes(*written, DibImage()));
    card.close();

    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, dir.path(), {}, {}, {}};
    auto doc = makeDocument();
    ASSERT_TRUE(openCardFile(*doc, dir.file("karte.kar"), fc));
    const CardObject& o = *doc->insideSlots[1];
    ASSERT_FALSE(o.picture.isNull());
    EXPECT_EQ(o.transparentColor, int32_t(kRed));
    EXPECT_EQ(doc->insideBackground.backgroundMode, BgNone);

    const QByteArray unseen = cardFileBytes(*doc, DibImage());
    EXPECT_FALSE(renderSide(*doc, SideInside, ctx, 96).isNull());
    EXPECT_EQ(cardFileBytes(*doc, DibImage()), unseen);
}
