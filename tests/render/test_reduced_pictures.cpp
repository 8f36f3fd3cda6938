// Outputs drawn from reduced decodes of a large photo file against the same outputs drawn
// from the photo's full pixels, within a small tolerance; pictures drawn near their own size
// stay bit-identical; the picture pass asks for what the draw asks for, at device pixels.
#include "pictures/ScaledPictures.h"
#include "render/Export.h"
#include "render/PhotoFiles.h"
#include "render/PicturePrefetch.h"
#include "render/Preview.h"
#include "render/Renderer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace bb;
using phototest::meanDifference;

namespace {

// Mean absolute difference per channel allowed against the full pixels: those are sampled
// (nearest pixel), a reduced copy averages, so they differ by the photo's noise and edges.
// Measured: export 2.2, side at 50/150 dpi 3.3/1.7, backgrounds 1.6 to 4.7, stored preview 6.8.
constexpr double kTolerance = 6.0;
constexpr QSize kPhoto(3000, 2000);

// Answers "not yet" as the window's background decoding does; outputs must not use it.
struct NeverReady : PicturePixels {
    DibImage pixels(const DibImage& /*picture*/, QSize /*size*/) const override { return {}; }
};

RenderContext windowContext() {
    RenderContext ctx;
    ctx.pictures = std::make_shared<NeverReady>();
    return ctx;
}

std::unique_ptr<CardDocument> makeCard(double widthMm = 148, double heightMm = 105) {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = widthMm;
    doc->format.cardHeight = heightMm;
    doc->updateSideUnits();
    return doc;
}

// A picture object covering the fractions (x, y, w, h) of the card (the middle third of the
// side's units).
CardObject& addPicture(CardDocument& doc, const DibImage& picture, double x, double y, double w,
                       double h) {
    CardObject& o = *doc.outsideSlots[doc.findFreeSlot(SideOutside)];
    const double cw = doc.sideWidthUnits / 3.0, ch = doc.sideHeightUnits / 3.0;
    o.kind = KindPicture;
    o.picture = picture;
    o.x = int32_t(cw * (1 + x));
    o.y = int32_t(ch * (1 + y));
    o.width = int32_t(cw * w);
    o.height = int32_t(ch * h);
    return o;
}

QImage exportImage(const CardDocument& doc, const RenderContext& ctx = {}) {
    return renderExportPicture(doc, SideOutside, ctx).toQImage().copy();
}

class ReducedPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new bbtest::TempFolder;
        path_ = folder_->file(QStringLiteral("foto.jpg"));
        ASSERT_TRUE(phototest::writePhoto(path_, kPhoto.width(), kPhoto.height()));
        full_ = new DibImage(phototest::fullPixels(path_));
    }
    static void TearDownTestSuite() {
        delete full_;
        delete folder_;
    }
    void SetUp() override { clearScaledPictures(); }

    // The photo as a card reads it, drawn small from a reduced decode of its file.
    static DibImage fromFile() { return deferredPictureFile(path_, kPhoto, 0); }

    static inline bbtest::TempFolder* folder_ = nullptr;
    static inline QString path_;
    static inline DibImage* full_ = nullptr;
};

TEST_F(ReducedPictures, ExportRenderAndStoredPreviewMatchTheFullDecode) {
    auto reduced = makeCard(), reference = makeCard();
    for (auto [doc, photo] :
         {std::pair(reduced.get(), fromFile()), std::pair(reference.get(), *full_)}) {
        addPicture(*doc, photo, 0.05, 0.1, 0.57, 0.6);  // about 84 mm wide
        CardObject& round = addPicture(*doc, photo, 0.65, 0.5, 0.3, 0.4);
        round.roundFrame = round.keepAspect = true;
    }
    const QImage exported = exportImage(*reduced, windowContext());
    EXPECT_EQ(scaledPictureStats().decodes, 2);  // both objects from reduced copies
    const QImage exportedFull = exportImage(*reference);
    EXPECT_NE(exported, exportedFull);
    EXPECT_LE(meanDifference(exported, exportedFull), kTolerance);
    for (double dpi : {50.0, 150.0})
        EXPECT_LE(meanDifference(renderSide(*reduced, SideOutside, windowContext(), dpi),
                                 renderSide(*reference, SideOutside, {}, dpi)),
                  kTolerance)
            << dpi;
    // About 90 pixels across: the photo drawn about 50 pixels wide from 3000.
    EXPECT_LE(meanDifference(createCardPreview(*reduced, windowContext()).toQImage(),
                             createCardPreview(*reference, {}).toQImage()),
              2 * kTolerance);
}

TEST_F(ReducedPictures, BackgroundsInEveryModeMatchTheFullDecode) {
    for (int mode : {BgStretched, BgFit, BgCover, BgTiled}) {
        // A wide card, so that a fitted picture leaves a margin; a tall one for tiles.
        const double w = mode == BgTiled ? 60 : 200, h = mode == BgTiled ? 150 : 80;
        auto reduced = makeCard(w, h), reference = makeCard(w, h);
        for (auto [doc, photo] :
             {std::pair(reduced.get(), fromFile()), std::pair(reference.get(), *full_)}) {
            doc->outsideBackground.backgroundMode = mode;
            doc->outsideBackground.backgroundPicture = photo;
        }
        clearScaledPictures();
        const QImage side = renderSide(*reduced, SideOutside, {}, 150);
        EXPECT_EQ(scaledPictureStats().decodes, 1) << mode;  // tiles share one copy
        EXPECT_LE(meanDifference(side, renderSide(*reference, SideOutside, {}, 150)), kTolerance)
            << mode;
    }
}

TEST_F(ReducedPictures, PicturesDrawnNearTheirOwnSizeStayBitIdentical) {
    const QString small = folder_->file(QStringLiteral("klein.jpg"));
    ASSERT_TRUE(phototest::writePhoto(small, 400, 300));
    auto card = [](const DibImage& photo) {
        auto doc = makeCard();
        addPicture(*doc, photo, 0.1, 0.1, 0.5, 0.6);  // about 280 pixels wide at 96 dpi
        doc->outsideBackground.backgroundMode = BgTiled;
        doc->outsideBackground.backgroundPicture = photo;
        return doc;
    };
    EXPECT_EQ(exportImage(*card(deferredPictureFile(small, QSize(400, 300), 0))),
              exportImage(*card(phototest::fullPixels(small))));
    EXPECT_EQ(scaledPictureStats().decodes, 0);
}

// Notes every (picture, size) a draw asks for and answers with the pixels outputs use.
struct Recording : PicturePixels {
    DibImage pixels(const DibImage& picture, QSize size) const override {
        const auto id = std::pair(picture.sharedId(), size);
        if (std::find(asked.begin(), asked.end(), id) == asked.end()) asked.push_back(id);
        return scaledPicture(picture, size);
    }
    mutable std::vector<std::pair<const void*, QSize>> asked;
};

TEST_F(ReducedPictures, ThePicturePassAsksWhatTheDrawAsksAtTheDevicePixels) {
    auto doc = makeCard();
    const DibImage photo = fromFile();
    addPicture(*doc, photo, 0.05, 0.1, 0.5, 0.5);
    addPicture(*doc, photo, 0.6, 0.6, 0.3, 0.3).transparent = true;  // asks for its full size
    addPicture(*doc, photo, 1.5, 0.1, 0.3, 0.3);                     // beyond the card
    doc->outsideBackground.backgroundMode = BgCover;
    doc->outsideBackground.backgroundPicture = photo;
    const RenderContext ctx = atOutputDpi(RenderContext{}, 96);
    const QSize card = sideImageSize(doc->format, 96);
    const int w = card.width(), h = card.height();
    QSize plain;
    // Device pixel ratio 1 and 2, and a card turned upside down.
    for (auto [ratio, turned] : {std::pair(1, false), std::pair(2, false), std::pair(1, true)}) {
        QImage image(card * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        if (turned) {
            painter.translate(w, h);
            painter.rotate(180);
        }
        const auto planned = sidePictureRequests(painter, *doc, SideOutside, ctx, w, h, w, h,
                                                 ctx.outputScale, false);
        auto recording = std::make_shared<Recording>();
        RenderContext drawing = ctx;
        drawing.pictures = recording;
        drawCardSide(painter, *doc, SideOutside, drawing, w, h, w, h, ctx.outputScale, false);
        ASSERT_EQ(planned.size(), 3u);  // background, object, transparent object
        ASSERT_EQ(recording->asked.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(recording->asked[i],
                      std::pair(planned[i].picture.sharedId(), planned[i].size));
        if (plain.isEmpty()) {
            plain = planned[1].size;
            EXPECT_NEAR(plain.width(), 0.5 * w - 1, 1.5);
            EXPECT_NEAR(plain.height(), 0.5 * h - 1, 1.5);
        }
        EXPECT_EQ(planned[1].size, plain * ratio);
        EXPECT_EQ(planned[2].size, kPhoto);
    }
}

TEST_F(ReducedPictures, ATurnedOrCroppedPictureAsksForItsBoxNotItsBounds) {
    auto doc = makeCard();
    const DibImage photo = fromFile();
    CardObject& upright = addPicture(*doc, photo, 0.05, 0.1, 0.4, 0.4);
    CardObject& turned = addPicture(*doc, photo, 0.5, 0.1, 0.4, 0.4);
    turned.extras.fineAngle = 30;
    CardObject& cropped = addPicture(*doc, photo, 0.05, 0.5, 0.4, 0.4);
    cropped.extras.crop = QRectF(0.25, 0.25, 0.5, 0.5);
    cropped.extras.fineAngle = -20;
    ASSERT_EQ(upright.width, turned.width);
    const RenderContext ctx = atOutputDpi(RenderContext{}, 96);
    const QSize card = sideImageSize(doc->format, 96);
    const int w = card.width(), h = card.height();
    QImage image(card, QImage::Format_RGB32);
    QPainter painter(&image);
    const auto planned =
        sidePictureRequests(painter, *doc, SideOutside, ctx, w, h, w, h, ctx.outputScale, false);
    auto recording = std::make_shared<Recording>();
    RenderContext drawing = ctx;
    drawing.pictures = recording;
    drawCardSide(painter, *doc, SideOutside, drawing, w, h, w, h, ctx.outputScale, false);
    // The upright and the turned picture share one request; the crop asks for the whole
    // picture at twice the size, so that its middle half fills the box.
    ASSERT_EQ(planned.size(), 2u);
    ASSERT_EQ(recording->asked.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(recording->asked[i], std::pair(planned[i].picture.sharedId(), planned[i].size));
    EXPECT_NEAR(planned[1].size.width(), 2 * planned[0].size.width(), 2);
    EXPECT_NEAR(planned[1].size.height(), 2 * planned[0].size.height(), 2);
}

TEST_F(ReducedPictures, DecodingFirstDrawsWhatDecodingOnTheWayDrawsAndDecodesAFileOnce) {
    auto doc = makeCard();
    const DibImage photo = fromFile();
    for (int i = 0; i < 10; ++i) addPicture(*doc, photo, 0.02 + 0.09 * i, 0.05, 0.08, 0.1);
    addPicture(*doc, photo, 0.5, 0.3, 0.2, 0.3);
    CardObject& clear = addPicture(*doc, *full_, 0.5, 0.5, 0.4, 0.4);
    clear.transparent = clear.autoTransparent = true;
    doc->outsideBackground.backgroundMode = BgFit;
    doc->outsideBackground.backgroundPicture = photo;

    const QImage prepared = renderSide(*doc, SideOutside, {}, 120);
    // The background, the ten small objects of one size and the larger one.
    EXPECT_EQ(scaledPictureStats().decodes, 3);
    renderSide(*doc, SideOutside, {}, 120);  // a second output finds them held
    EXPECT_EQ(scaledPictureStats().decodes, 3);
    clearScaledPictures();
    QImage onTheWay(prepared.size(), QImage::Format_RGB32);
    onTheWay.fill(Qt::white);
    QPainter painter(&onTheWay);
    const RenderContext ctx = atOutputDpi(RenderContext{}, 120);
    const int w = onTheWay.width(), h = onTheWay.height();
    drawCardSide(painter, *doc, SideOutside, ctx, w, h, w, h, ctx.outputScale, false);
    painter.end();
    EXPECT_EQ(prepared, onTheWay);
}

}  // namespace
