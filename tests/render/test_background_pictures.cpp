// The editor's background decoder: one decode per picture and size, the previous size while a
// new one decodes, failures that do not loop, and work for pictures no card holds dropped.
#include "pictures/ScaledPictures.h"
#include "render/BackgroundPictures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <atomic>
#include <semaphore>

using namespace bb;

namespace {

// A photo file large enough to be drawn from reduced copies, read as a deferred picture.
DibImage largePhoto(const QString& folder, const QString& name, QColor colour) {
    QImage image(1800, 1200, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = folder + QLatin1Char('/') + name;
    EXPECT_TRUE(image.save(path, "JPEG", 90));
    return deferredPictureFile(path, image.size(), 0);
}

// A decoder that waits at a gate and counts its calls; `fail` answers with nothing.
struct GatedDecoder {
    std::counting_semaphore<64> gate{0};
    std::atomic<int> calls{0};
    std::atomic<bool> fail{false};
    BackgroundPictures::Decoder function() {
        return [this](const DibImage& picture, QSize size) {
            ++calls;
            gate.acquire();
            if (fail) return DibImage();
            DibImage reduced = newDib(size.width(), size.height(), 24);
            (void)picture;
            return reduced;
        };
    }
    // Opens the gate for good when it goes out of scope: declared after the decoder's user,
    // it lets running decodes end before that user waits for them.
    auto openOnExit() {
        struct Opener {
            GatedDecoder* d;
            ~Opener() { d->gate.release(32); }
        };
        return Opener{this};
    }
};

class BackgroundDecoding : public ::testing::Test {
protected:
    bbtest::TempFolder folder;
    GatedDecoder decoder;
};

}  // namespace

TEST_F(BackgroundDecoding, OneDecodePerSizeAndThePreviousSizeMeanwhile) {
    DibImage photo = largePhoto(folder.path(), QStringLiteral("a.jpg"), Qt::darkGreen);
    ASSERT_FALSE(photo.isNull());
    BackgroundPictures pictures(decoder.function(), 1);
    const auto opener = decoder.openOnExit();
    int arrived = 0;
    QObject::connect(&pictures, &BackgroundPictures::arrived, [&arrived] { ++arrived; });

    // Asked twice before anything arrived: nothing to draw yet, one decode.
    EXPECT_TRUE(pictures.pixels(photo, QSize(180, 120)).isNull());
    EXPECT_TRUE(pictures.pixels(photo, QSize(180, 120)).isNull());
    EXPECT_EQ(pictures.pending(), 1);
    decoder.gate.release();
    ASSERT_TRUE(bbtest::runUntil([&, before = arrived] { return arrived > before; }));
    EXPECT_EQ(decoder.calls.load(), 1);
    const DibImage small = pictures.pixels(photo, QSize(180, 120));
    ASSERT_FALSE(small.isNull());
    EXPECT_EQ(small.width(), 180);

    // Zoomed in: the smaller pixels stand in until the sharper ones arrive.
    const DibImage meanwhile = pictures.pixels(photo, QSize(360, 240));
    EXPECT_EQ(meanwhile.sharedId(), small.sharedId());
    decoder.gate.release();
    ASSERT_TRUE(bbtest::runUntil([&, before = arrived] { return arrived > before; }));
    EXPECT_EQ(pictures.pixels(photo, QSize(360, 240)).width(), 360);
    EXPECT_EQ(decoder.calls.load(), 2);

    // A picture drawn from its own pixels never goes to the worker.
    const DibImage own = newDib(50, 40, 24);
    EXPECT_EQ(pictures.pixels(own, QSize(10, 8)).sharedId(), own.sharedId());
    EXPECT_EQ(decoder.calls.load(), 2);
}

TEST_F(BackgroundDecoding, AFailedDecodeDrawsThePictureAsItIsAndIsNotRepeated) {
    DibImage photo = largePhoto(folder.path(), QStringLiteral("b.jpg"), Qt::red);
    BackgroundPictures pictures(decoder.function(), 1);
    const auto opener = decoder.openOnExit();
    int arrived = 0;
    QObject::connect(&pictures, &BackgroundPictures::arrived, [&arrived] { ++arrived; });
    decoder.fail = true;
    EXPECT_TRUE(pictures.pixels(photo, QSize(90, 60)).isNull());
    decoder.gate.release();
    ASSERT_TRUE(bbtest::runUntil([&, before = arrived] { return arrived > before; }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pictures.pixels(photo, QSize(90, 60)).sharedId(), photo.sharedId());
    EXPECT_EQ(decoder.calls.load(), 1);
    EXPECT_EQ(pictures.pending(), 0);
}

TEST_F(BackgroundDecoding, PicturesNoCardHoldsAndClearedWorkAreDropped) {
    BackgroundPictures pictures(decoder.function(), 1);
    const auto opener = decoder.openOnExit();
    int arrived = 0;
    QObject::connect(&pictures, &BackgroundPictures::arrived, [&arrived] { ++arrived; });
    DibImage first = largePhoto(folder.path(), QStringLiteral("c.jpg"), Qt::blue);
    DibImage second = largePhoto(folder.path(), QStringLiteral("d.jpg"), Qt::yellow);
    // The only worker is held by the first picture; the second waits in the queue and its
    // card lets go of it meanwhile.
    pictures.pixels(first, QSize(90, 60));
    pictures.pixels(second, QSize(90, 60));
    second = DibImage();
    decoder.gate.release();
    ASSERT_TRUE(bbtest::runUntil([&, before = arrived] { return arrived > before; }));
    // The queue is empty once the second picture's turn has come and gone.
    ASSERT_TRUE(bbtest::runUntil([&] { return pictures.pending() == 0; }));
    EXPECT_EQ(decoder.calls.load(), 1);

    // Cleared (another card): a decode still running is not delivered, a new request is.
    DibImage third = largePhoto(folder.path(), QStringLiteral("e.jpg"), Qt::cyan);
    pictures.pixels(third, QSize(90, 60));
    ASSERT_TRUE(bbtest::runUntil([&] { return decoder.calls.load() == 2; }));
    pictures.clear();
    decoder.gate.release();
    pictures.pixels(first, QSize(45, 30));
    decoder.gate.release();
    ASSERT_TRUE(bbtest::runUntil([&, before = arrived] { return arrived > before; }));
    EXPECT_EQ(arrived, 2);
    EXPECT_TRUE(pictures.pixels(third, QSize(90, 60)).isNull() || decoder.calls.load() > 3);
    EXPECT_EQ(pictures.pixels(first, QSize(45, 30)).width(), 45);
}
