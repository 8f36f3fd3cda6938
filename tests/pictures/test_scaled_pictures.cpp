// Large photos read deferred and drawn from reduced copies: nothing decoded while drawn
// small, reduced copies close to the full decode reduced, one decode per file and size for
// every holder and thread, the cache bound, rewritten and damaged files, and deferred
// pictures giving exactly the eager picture's pixels to every operation that needs them.
#include "pictures/Halftone.h"
#include "pictures/PictureCache.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureOps.h"
#include "pictures/QtCodec.h"
#include "pictures/ScaledPictures.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSemaphore>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

using namespace bb;
using namespace bbtest;

namespace {

constexpr int kWidth = 3000;
constexpr int kHeight = 2000;

// A photo-like picture: smooth gradients with stripes, circles and text for detail.
QImage photo(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int wave = int(40 * std::sin((x + seed * 50) / 90.0) * std::cos(y / 70.0));
            line[x] = qRgb(std::clamp(x * 200 / w + wave + 20, 0, 255),
                           std::clamp(y * 220 / h - wave + 10, 0, 255), (x + y + seed * 30) % 256);
        }
    }
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 6));
    for (int i = 0; i < 12; ++i) p.drawEllipse(QPoint(200 + i * 230, 300 + (i % 4) * 380), 90, 90);
    QFont font;
    font.setPixelSize(120);
    p.setFont(font);
    p.drawText(QRect(0, h - 400, w, 300), Qt::AlignCenter, QStringLiteral("Grüße %1").arg(seed));
    return image;
}

void writePhoto(const QString& file, int seed = 0) {
    ASSERT_TRUE(photo(kWidth, kHeight, seed).save(file, "JPEG", 90));
}

// Mean and largest absolute difference per channel of two 24-bit pictures of one size.
struct Difference {
    double mean = 0;
    int max = 0;
};
Difference difference(const DibImage& a, const DibImage& b) {
    Difference d;
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    if (a.width() != b.width() || a.height() != b.height()) return {1e9, 255};
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uint8_t* p = a.rowFromTop(y);
        const uint8_t* q = b.rowFromTop(y);
        for (int i = 0; i < a.width() * 3; ++i) {
            const int diff = std::abs(int(p[i]) - int(q[i]));
            total += diff;
            d.max = std::max(d.max, diff);
        }
    }
    d.mean = total / (double(a.width()) * a.height() * 3);
    return d;
}

// The full decode reduced smoothly: what a reduced copy should look like.
DibImage reducedFull(const DibImage& full, QSize size) {
    return dibFromQImage(
        qimageFromDib(full).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

bool samePixels(const DibImage& a, const DibImage& b) {
    return a.width() == b.width() && a.height() == b.height() && a.bitCount() == b.bitCount() &&
           a.byteCount() == b.byteCount() &&
           std::memcmp(a.bits(), b.bits(), size_t(a.byteCount())) == 0;
}

// Tolerance of a reduced copy against the full decode reduced the same way: DCT scaling
// filters differently from smooth scaling, so edges differ a little; the picture as a whole
// must not (mean below 1.5 of 255 per channel, no pixel off by more than a quarter).
constexpr double kMeanTolerance = 1.5;
constexpr int kMaxTolerance = 64;

class ScaledPicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        writePhoto(folder_->file(QStringLiteral("foto.jpg")));
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    void SetUp() override { clearScaledPictures(); }
    void TearDown() override {
        setScaledPictureDecodeHook({});
        setScaledPictureCacheBytes(kScaledPictureCacheBytes);
        clearScaledPictures();
    }
    static QString photoFile() { return folder_->file(QStringLiteral("foto.jpg")); }
    QString file(const char* name) const { return dir.file(QString::fromLatin1(name)); }

    static TempFolder* folder_;
    TempFolder dir;
};
TempFolder* ScaledPicturesTest::folder_ = nullptr;

TEST_F(ScaledPicturesTest, ALargePhotoIsReadDeferredAndDrawnSmallWithoutDecodingIt) {
    PictureCache card;
    const DibImage picture = card.load(photoFile(), 0);
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.isDeferred());
    EXPECT_EQ(picture.width(), kWidth);
    EXPECT_EQ(picture.height(), kHeight);
    EXPECT_EQ(picture.bitCount(), 24);
    EXPECT_EQ(card.usedBytes(), 0);

    const DibImage small = scaledPicture(picture, QSize(300, 200));
    EXPECT_EQ(small.width(), 300);
    EXPECT_EQ(small.height(), 200);
    EXPECT_TRUE(picture.isDeferred());
    bool exact = false;
    EXPECT_EQ(cachedScaledPicture(picture, QSize(300, 200), &exact).sharedId(), small.sharedId());
    EXPECT_TRUE(exact);
    // Another size is not held yet: the largest held stands in; the full size needs a decode.
    EXPECT_EQ(cachedScaledPicture(picture, QSize(600, 400), &exact).sharedId(), small.sharedId());
    EXPECT_FALSE(exact);
    EXPECT_TRUE(cachedScaledPicture(picture, QSize(kWidth, kHeight)).isNull());
    EXPECT_TRUE(picture.isDeferred());

    // Asked for at its own size, the picture itself is decoded and given.
    const DibImage whole = scaledPicture(picture, QSize(kWidth, kHeight));
    EXPECT_EQ(whole.sharedId(), picture.sharedId());
    EXPECT_FALSE(picture.isDeferred());
    EXPECT_TRUE(samePixels(whole, loadPictureFile(photoFile())));
}

TEST_F(ScaledPicturesTest, ReducedCopiesLookLikeTheFullDecodeReduced) {
    const DibImage full = loadPictureFile(photoFile());
    ASSERT_FALSE(full.isNull());
    const DibImage deferred = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 0);
    for (const QSize size :
         {QSize(375, 250), QSize(750, 500), QSize(640, 427), QSize(1984, 1323)}) {
        const Difference d = difference(scaledPicture(deferred, size), reducedFull(full, size));
        EXPECT_LT(d.mean, kMeanTolerance) << size.width();
        EXPECT_LE(d.max, kMaxTolerance) << size.width();
    }
    // Turned pictures are reduced before the turn.
    DibImage fullTurned = full;
    ASSERT_TRUE(turnByRotation(fullTurned, 1));
    const DibImage turned = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 1);
    ASSERT_EQ(turned.width(), kHeight);
    const Difference d = difference(scaledPicture(turned, QSize(250, 375)),
                                    reducedFull(fullTurned, QSize(250, 375)));
    EXPECT_LT(d.mean, kMeanTolerance);
    EXPECT_LE(d.max, kMaxTolerance);
    EXPECT_TRUE(deferred.isDeferred());
    EXPECT_TRUE(turned.isDeferred());
}

TEST_F(ScaledPicturesTest, EveryHolderOfOneFileSharesOneDecodePerSize) {
    PictureCache card;
    std::vector<DibImage> objects;
    for (int i = 0; i < 10; ++i) objects.push_back(card.load(photoFile(), 0));
    for (const DibImage& o : objects) EXPECT_EQ(o.sharedId(), objects[0].sharedId());
    // The same file read for another card (the other side's background, say) also shares.
    PictureCache other;
    objects.push_back(other.load(photoFile(), 0));
    for (const DibImage& o : objects) scaledPicture(o, QSize(400, 266));
    for (const DibImage& o : objects) scaledPicture(o, QSize(200, 133));
    const ScaledPictureStats stats = scaledPictureStats();
    EXPECT_EQ(stats.decodes, 2);
    EXPECT_EQ(stats.hits, 20);
    EXPECT_EQ(stats.bytes, dibBytesPerRow(400, 24) * 266 + dibBytesPerRow(200, 24) * 133);
    for (const DibImage& o : objects) EXPECT_TRUE(o.isDeferred());
}

TEST_F(ScaledPicturesTest, TheBoundDropsCopiesNobodyHoldsAndKeepsThoseInUse) {
    const DibImage picture = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 0);
    const qint64 big = dibBytesPerRow(900, 24) * 600;
    const qint64 middle = dibBytesPerRow(600, 24) * 400;
    setScaledPictureCacheBytes(middle + 1000);
    DibImage held = scaledPicture(picture, QSize(900, 600));  // in use
    scaledPicture(picture, QSize(300, 200));                  // unused, within the bound
    scaledPicture(picture, QSize(600, 400));                  // unused; both no longer fit
    // Copies are dropped when the next one is stored (the new one is its asker's).
    scaledPicture(picture, QSize(150, 100));
    bool exact = false;
    cachedScaledPicture(picture, QSize(900, 600), &exact);
    EXPECT_TRUE(exact);
    cachedScaledPicture(picture, QSize(600, 400), &exact);
    EXPECT_TRUE(exact);  // the most recent unused copy stays
    cachedScaledPicture(picture, QSize(300, 200), &exact);
    EXPECT_FALSE(exact);  // the older one went
    EXPECT_EQ(scaledPictureStats().bytes, big + middle + dibBytesPerRow(150, 24) * 100);

    // Once released, the copy in use counts too and goes first when least recently used.
    releaseDib(held);
    setScaledPictureCacheBytes(0);
    EXPECT_EQ(scaledPictureStats().bytes, 0);
    EXPECT_EQ(scaledPictureStats().decodes, 4);
}

TEST_F(ScaledPicturesTest, ARewrittenFileIsDecodedAgain) {
    const QString path = file("wechsel.jpg");
    writePhoto(path, 1);
    const DibImage picture = deferredPictureFile(path, QSize(kWidth, kHeight), 0);
    const DibImage before = scaledPicture(picture, QSize(300, 200));
    scaledPicture(picture, QSize(300, 200));
    EXPECT_EQ(scaledPictureStats().decodes, 1);

    writePhoto(path, 7);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    f.close();
    const DibImage after = scaledPicture(picture, QSize(300, 200));
    EXPECT_EQ(scaledPictureStats().decodes, 2);
    EXPECT_GT(difference(before, after).mean, 5.0);
}

TEST_F(ScaledPicturesTest, DeferredPicturesGiveOperationsTheEagerPixelsExactly) {
    const DibImage eager = loadPictureFile(photoFile());
    ASSERT_FALSE(eager.isNull());
    for (int32_t turn = 0; turn < 4; ++turn) {
        DibImage expected = eager;
        ASSERT_TRUE(turnByRotation(expected, turn));
        const DibImage deferred = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), turn);
        ASSERT_TRUE(deferred.isDeferred());
        EXPECT_EQ(deferred.width(), expected.width()) << turn;
        EXPECT_TRUE(samePixels(deferred, expected)) << turn;
        EXPECT_FALSE(deferred.isDeferred());
        EXPECT_EQ(deferred.sourceTurn(), turn);
    }
    // A turn of a deferred picture stays deferred and decodes to the eager turn.
    DibImage turned = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 1);
    ASSERT_TRUE(turnPictureRight(turned));
    EXPECT_TRUE(turned.isDeferred());
    EXPECT_EQ(turned.sourceTurn(), 2);
    DibImage half = eager;
    ASSERT_TRUE(turnPictureHalf(half));
    EXPECT_TRUE(samePixels(turned, half));

    // The transparent colour (the bottom-left pixel), halftone and saving as a bitmap.
    const DibImage a = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 0);
    EXPECT_EQ(getPixel(a, 0, kHeight - 1), getPixel(eager, 0, kHeight - 1));
    const DibImage b = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 0);
    EXPECT_TRUE(samePixels(halftoneDibXY(b, 300, 200), halftoneDibXY(eager, 300, 200)));
    const DibImage c = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 0);
    ASSERT_EQ(savePictureFile(c, file("a.bmp"), DibBMP), 1);
    ASSERT_EQ(savePictureFile(eager, file("b.bmp"), DibBMP), 1);
    QFile fa(file("a.bmp")), fb(file("b.bmp"));
    ASSERT_TRUE(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fa.readAll() == fb.readAll());
}

TEST_F(ScaledPicturesTest, AFileGoneOrChangedLeavesAWhiteStandInOfTheAnnouncedSize) {
    const QString path = file("weg.jpg");
    writePhoto(path);
    PictureCache card;
    const DibImage gone = card.load(path, 1);
    ASSERT_TRUE(gone.isDeferred());
    const QByteArray bytes = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(getPixel(gone, 5, 5), rgbRef(255, 255, 255));
    EXPECT_TRUE(gone.isStandIn());
    EXPECT_EQ(gone.standInNote(), pictureErrorText(PictureError::NotFound));
    EXPECT_EQ(gone.width(), kHeight);  // turned as announced
    // Its stand-in is drawn as it is, never reduced.
    EXPECT_EQ(scaledPicture(gone, QSize(100, 100)).sharedId(), gone.sharedId());

    // Rewritten as another size, or cut inside its header: "beschädigt".
    ASSERT_TRUE(photo(800, 600, 3).save(path, "JPEG"));
    const DibImage resized = deferredPictureFile(path, QSize(kWidth, kHeight), 0);
    EXPECT_EQ(resized.bits()[0], 0xFF);
    EXPECT_EQ(resized.standInNote(), pictureErrorText(PictureError::Damaged));
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cut.write(bytes.left(100));
    cut.close();
    const DibImage damaged = deferredPictureFile(path, QSize(kWidth, kHeight), 0);
    EXPECT_EQ(scaledPicture(damaged, QSize(300, 200)).sharedId(), damaged.sharedId());
    EXPECT_TRUE(damaged.isStandIn());
    EXPECT_FALSE(damaged.standInNote().isEmpty());

    // A body cut short after a sound header decodes (the decoder fills the rest) or stands
    // in; either way at the announced size and without a crash.
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cut.write(bytes.left(bytes.size() / 3));
    cut.close();
    const DibImage shortBody = deferredPictureFile(path, QSize(kWidth, kHeight), 0);
    EXPECT_EQ(scaledPicture(shortBody, QSize(300, 200)).width(), 300);
    (void)shortBody.bits();
    EXPECT_EQ(shortBody.width(), kWidth);
    EXPECT_NE(shortBody.bits(), nullptr);
}

TEST_F(ScaledPicturesTest, TwoThreadsAskingForOneCopyDecodeItOnce) {
    const DibImage picture = deferredPictureFile(photoFile(), QSize(kWidth, kHeight), 0);
    QSemaphore entered, release;
    setScaledPictureDecodeHook([&] {
        entered.release();
        release.acquire();
    });
    DibImage first, second;
    std::thread a([&] { first = scaledPicture(picture, QSize(500, 333)); });
    const bool held = entered.tryAcquire(1, kHangGuardMs);  // a is decoding, held at the gate
    std::thread b([&] { second = scaledPicture(picture, QSize(500, 333)); });
    const bool waiting = held && runUntil([] { return scaledPictureStats().waits == 1; });
    release.release(2);  // two, so that nothing stays held should b reach the gate too
    a.join();
    b.join();
    ASSERT_TRUE(held);
    ASSERT_TRUE(waiting);
    EXPECT_FALSE(first.isNull());
    EXPECT_EQ(first.sharedId(), second.sharedId());
    EXPECT_EQ(scaledPictureStats().decodes, 1);
    EXPECT_EQ(scaledPictureStats().hits, 1);
    EXPECT_TRUE(picture.isDeferred());
}

TEST_F(ScaledPicturesTest, SmallPicturesAreLoadedAtOnceAndDrawnFromTheirOwnPixels) {
    const QString path = file("klein.jpg");
    ASSERT_TRUE(photo(1000, 700, 2).save(path, "JPEG"));  // 2.1 MB of pixels
    PictureCache card;
    const DibImage picture = card.load(path, 0);
    EXPECT_FALSE(picture.isDeferred());
    EXPECT_EQ(picture.sourceFile(), path);
    EXPECT_TRUE(samePixels(picture, loadPictureFile(path)));
    EXPECT_FALSE(drawsReduced(picture, QSize(100, 70)));
    EXPECT_EQ(scaledPicture(picture, QSize(100, 70)).sharedId(), picture.sharedId());
    EXPECT_EQ(scaledPictureStats().decodes, 0);
}

}  // namespace
