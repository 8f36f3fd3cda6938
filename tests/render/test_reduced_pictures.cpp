// Outputs drawn from reduced decodes of a large photo file against the same outputs drawn
// from the photo's full pixels: export, side renders, the stored preview and backgrounds in
// every mode match within a small tolerance; pictures drawn near their own size stay
// bit-identical; the picture pass of an output asks for exactly what its draw asks for, at the
// device's pixels; one file used by ten objects is decoded once.
#include "render/Export.h"
#include "render/PicturePrefetch.h"
#include "render/Preview.h"
#include "render/Renderer.h"

#include "pictures/ScaledPictures.h"
#include "render/PhotoFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <mutex>

using namespace bb;
using phototest::meanDifference;

namespace {

// Mean absolute difference per channel allowed between a drawing from the reduced decode and
// one from the full pixels: the full pixels are sampled (nearest pixel), the reduced copy
// averages, so they differ by the photo's noise and at the edges of its blocks and discs.
constexpr double kTolerance = 6.0;

constexpr int kPhotoWidth = 3000;
constexpr int kPhotoHeight = 2000;

// A 148 × 105 mm card.
std::unique_ptr<CardDocument> makeCard() {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 148;
    doc->format.cardHeight = 105;
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
    o.content = QStringLiteral("foto.jpg");
    o.picture = picture;
    o.x = int32_t(cw * (1 + x));
    o.y = int32_t(ch * (1 + y));
    o.width = int32_t(cw * w);
    o.height = int32_t(ch * h);
    return o;
}

QImage exportImage(const CardDocument& doc) {
    return renderExportPicture(doc, SideOutside, RenderContext{}).toQImage().copy();
}

QImage previewImage(const CardDocument& doc) {
    return createCardPreview(doc, RenderContext{}).toQImage().copy();
}

class ReducedPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new bbtest::TempFolder;
        path_ = folder_->file(QStringLiteral("foto.jpg"));
        ASSERT_TRUE(phototest::writePhoto(path_, kPhotoWidth, kPhotoHeight));
        full_ = new DibImage(phototest::fullPixels(path_));
        ASSERT_FALSE(full_->isNull());
    }
    static void TearDownTestSuite() {
        delete full_;
        delete folder_;
    }
    void SetUp() override { clearScaledPictures(); }

    // The photo as a card reads it: drawn small, from a reduced decode of its file.
    static DibImage fromFile() {
        return deferredPictureFile(path_, QSize(kPhotoWidth, kPhotoHeight), 0);
    }

    // The same card twice: with the photo from its file and with its full pixels.
    template <typename Build>
    static std::pair<std::unique_ptr<CardDocument>, std::unique_ptr<CardDocument>> cards(
        Build build) {
        auto reduced = makeCard();
        auto reference = makeCard();
        build(*reduced, fromFile());
        build(*reference, *full_);
        return {std::move(reduced), std::move(reference)};
    }

    static inline bbtest::TempFolder* folder_ = nullptr;
    static inline QString path_;
    static inline DibImage* full_ = nullptr;
};

TEST_F(ReducedPictures, ExportRenderAndStoredPreviewMatchTheFullDecode) {
    auto [reduced, reference] = cards([](CardDocument& doc, const DibImage& photo) {
        addPicture(doc, photo, 0.05, 0.1, 0.57, 0.6);  // about 84 mm wide
        CardObject& round = addPicture(doc, photo, 0.65, 0.5, 0.3, 0.4);
        round.roundFrame = true;
        round.keepAspect = true;
    });
    const QImage exported = exportImage(*reduced);
    EXPECT_GE(scaledPictureStats().decodes, 2);  // both objects drawn from reduced copies
    const QImage exportedFull = exportImage(*reference);
    ASSERT_EQ(exported.size(), exportedFull.size());
    EXPECT_NE(exported, exportedFull);
    EXPECT_LE(meanDifference(exported, exportedFull), kTolerance);

    for (double dpi : {50.0, 150.0}) {
        const QImage side = renderSide(*reduced, SideOutside, RenderContext{}, dpi);
        const QImage sideFull = renderSide(*reference, SideOutside, RenderContext{}, dpi);
        EXPECT_LE(meanDifference(side, sideFull), kTolerance) << dpi << " dpi";
    }

    // About 90 pixels across: the photo drawn about 50 pixels wide from 3000.
    const QImage preview = previewImage(*reduced);
    const QImage previewFull = previewImage(*reference);
    EXPECT_LE(meanDifference(preview, previewFull), 2 * kTolerance);
}

TEST_F(ReducedPictures, BackgroundsInEveryModeMatchTheFullDecode) {
    for (int mode : {BgStretched, BgFit, BgCover, BgTiled}) {
        auto [reduced, reference] = cards([mode](CardDocument& doc, const DibImage& photo) {
            doc.outsideBackground.backgroundMode = mode;
            doc.outsideBackground.backgroundPicture = photo;
        });
        // A wide card, so that fitted pictures leave a margin and tiles repeat.
        for (CardDocument* doc : {reduced.get(), reference.get()}) {
            doc->format.cardWidth = mode == BgTiled ? 60 : 200;
            doc->format.cardHeight = mode == BgTiled ? 150 : 80;
            doc->updateSideUnits();
        }
        clearScaledPictures();
        const QImage side = renderSide(*reduced, SideOutside, RenderContext{}, 150);
        EXPECT_EQ(scaledPictureStats().decodes, 1) << mode;  // tiles share one copy
        const QImage sideFull = renderSide(*reference, SideOutside, RenderContext{}, 150);
        EXPECT_LE(meanDifference(side, sideFull), kTolerance) << mode;
    }
}

TEST_F(ReducedPictures, PicturesDrawnNearTheirOwnSizeStayBitIdentical) {
    const QString small = folder_->file(QStringLiteral("klein.jpg"));
    ASSERT_TRUE(phototest::writePhoto(small, 400, 300));
    const DibImage file = deferredPictureFile(small, QSize(400, 300), 0);
    const DibImage full = phototest::fullPixels(small);
    auto build = [](const DibImage& photo) {
        auto doc = makeCard();
        addPicture(*doc, photo, 0.1, 0.1, 0.5, 0.6);  // about 280 pixels wide at 96 dpi
        doc->outsideBackground.backgroundMode = BgTiled;
        doc->outsideBackground.backgroundPicture = photo;
        return doc;
    };
    EXPECT_EQ(exportImage(*build(file)), exportImage(*build(full)));
    EXPECT_EQ(scaledPictureStats().decodes, 0);
}

// Records every picture a draw asks for and answers with the pixels outputs use.
struct Recording : PicturePixels {
    DibImage pixels(const DibImage& picture, QSize size) const override {
        std::lock_guard lock(mutex);
        asked.push_back({picture, size});
        return scaledPicture(picture, size);
    }
    mutable std::mutex mutex;
    mutable std::vector<PictureRequest> asked;
};

std::vector<std::pair<const void*, QSize>> ids(const std::vector<PictureRequest>& requests) {
    std::vector<std::pair<const void*, QSize>> result;
    for (const PictureRequest& r : requests)
        if (std::find(result.begin(), result.end(), std::pair(r.picture.sharedId(), r.size)) ==
            result.end())
            result.emplace_back(r.picture.sharedId(), r.size);
    return result;
}

TEST_F(ReducedPictures, ThePicturePassAsksWhatTheDrawAsksAtTheDevicePixels) {
    auto doc = makeCard();
    const DibImage photo = fromFile();
    addPicture(*doc, photo, 0.05, 0.1, 0.5, 0.5);
    CardObject& clear = addPicture(*doc, photo, 0.6, 0.6, 0.3, 0.3);
    clear.transparent = true;
    addPicture(*doc, photo, 1.5, 0.1, 0.3, 0.3);  // beyond the card: never asked for
    doc->outsideBackground.backgroundMode = BgCover;
    doc->outsideBackground.backgroundPicture = photo;
    const RenderContext ctx = atOutputDpi(RenderContext{}, 96);
    const QSize card = sideImageSize(doc->format, 96);
    const int w = card.width(), h = card.height();

    struct Device {
        qreal ratio;
        int turn;
    };
    QSize objectAtRatio1;
    for (const Device& device : {Device{1, 0}, Device{2, 0}, Device{1, 180}}) {
        QImage image(card * device.ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(device.ratio);
        QPainter painter(&image);
        if (device.turn) {
            painter.translate(w, h);
            painter.rotate(device.turn);
        }
        const std::vector<PictureRequest> planned = sidePictureRequests(
            painter, *doc, SideOutside, ctx, w, h, w, h, ctx.outputScale, false);
        auto recording = std::make_shared<Recording>();
        RenderContext drawing = ctx;
        drawing.pictures = recording;
        drawCardSide(painter, *doc, SideOutside, drawing, w, h, w, h, ctx.outputScale, false);
        EXPECT_EQ(ids(planned), ids(recording->asked)) << device.ratio << " " << device.turn;
        // The background, the object and the transparent object at the photo's full size.
        ASSERT_EQ(planned.size(), 3u);
        if (device.ratio == 1 && device.turn == 0) {
            objectAtRatio1 = planned[1].size;
            EXPECT_NEAR(objectAtRatio1.width(), 0.5 * w - 1, 1.5);
            EXPECT_NEAR(objectAtRatio1.height(), 0.5 * h - 1, 1.5);
        } else {
            EXPECT_EQ(planned[1].size, objectAtRatio1 * device.ratio);
        }
        EXPECT_EQ(planned[2].size, QSize(kPhotoWidth, kPhotoHeight));
    }
}

TEST_F(ReducedPictures, DecodingFirstDrawsWhatDecodingOnTheWayDraws) {
    auto doc = makeCard();
    const DibImage photo = fromFile();
    addPicture(*doc, photo, 0.05, 0.1, 0.4, 0.5);
    addPicture(*doc, photo, 0.5, 0.1, 0.2, 0.3);
    CardObject& clear = addPicture(*doc, *full_, 0.5, 0.5, 0.4, 0.4);
    clear.transparent = true;
    clear.autoTransparent = true;
    doc->outsideBackground.backgroundMode = BgFit;
    doc->outsideBackground.backgroundPicture = photo;

    const QImage prepared = renderSide(*doc, SideOutside, RenderContext{}, 120);
    EXPECT_EQ(scaledPictureStats().decodes, 3);  // the background and two sizes of the photo
    clearScaledPictures();
    QImage onTheWay(prepared.size(), QImage::Format_RGB32);
    onTheWay.fill(Qt::white);
    {
        const RenderContext ctx = atOutputDpi(RenderContext{}, 120);
        const int w = onTheWay.width(), h = onTheWay.height();
        QPainter painter(&onTheWay);
        drawCardSide(painter, *doc, SideOutside, ctx, w, h, w, h, ctx.outputScale, false);
    }
    EXPECT_EQ(prepared, onTheWay);
}

TEST_F(ReducedPictures, TenObjectsOfOneFileDecodeItOnce) {
    auto doc = makeCard();
    const DibImage photo = fromFile();
    for (int i = 0; i < 10; ++i) addPicture(*doc, photo, 0.02 + 0.09 * i, 0.3, 0.08, 0.1);
    const QSize card = exportPictureSize(doc->format);
    QImage image(card, QImage::Format_RGB32);
    QPainter painter(&image);
    const RenderContext ctx = atOutputDpi(RenderContext{}, kExportResolution);
    const auto requests =
        sidePictureRequests(painter, *doc, SideOutside, ctx, card.width(), card.height(),
                            card.width(), card.height(), ctx.outputScale, false);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(preparePictures(requests)->decoded(), 1);
    painter.end();

    clearScaledPictures();
    exportImage(*doc);
    EXPECT_EQ(scaledPictureStats().decodes, 1);
    exportImage(*doc);  // a second output finds it held
    EXPECT_EQ(scaledPictureStats().decodes, 1);
}

// The window's picture source answers "not yet" while it decodes; an output handed the
// window's settings still waits for every picture and never draws a loading box.
struct NeverReady : PicturePixels {
    DibImage pixels(const DibImage& /*picture*/, QSize /*size*/) const override { return {}; }
};

TEST_F(ReducedPictures, OutputsWaitWhateverPictureSourceTheWindowHas) {
    auto [card, unused] = cards([](CardDocument& doc, const DibImage& photo) {
        addPicture(doc, photo, 0.1, 0.1, 0.5, 0.5);
        doc.outsideBackground.backgroundMode = BgTiled;
        doc.outsideBackground.backgroundPicture = photo;
    });
    RenderContext window;
    window.pictures = std::make_shared<NeverReady>();
    EXPECT_EQ(renderExportPicture(*card, SideOutside, window).toQImage(), exportImage(*card));
    EXPECT_EQ(renderSide(*card, SideOutside, window, 72),
              renderSide(*card, SideOutside, RenderContext{}, 72));
    EXPECT_EQ(createCardPreview(*card, window).toQImage(), previewImage(*card));
}

}  // namespace
