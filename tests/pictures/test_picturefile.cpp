// Opening picture files: only regular files of the offered formats, the header checked before
// the file is read whole, the reason for every refusal, pictures too large for the limits read
// at a smaller size, and one decoded picture per file and turn for all objects of a card.
#include "pictures/DibImage.h"
#include "pictures/PictureCache.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureOps.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <sys/stat.h>

using namespace bb;

namespace {

QString savedPng(const bbtest::TempFolder& dir, const char* name, int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.file(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

PictureError loadError(const QString& path) {
    PictureError why = PictureError::None;
    const DibImage picture = loadPictureFile(path, &why);
    EXPECT_EQ(picture.isNull(), why != PictureError::None) << path.toStdString();
    return why;
}

// A bitmap file header and info header announcing w x h at 24 bits, and no pixels.
QByteArray bitmapHeaderOnly(int32_t w, int32_t h) {
    QByteArray b("BM");
    const auto le32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    le32(54 + 64);  // file size
    le32(0);
    le32(54);  // pixels offset
    le32(40);
    le32(uint32_t(w));
    le32(uint32_t(h));
    b.append(char(1)).append(char(0)).append(char(24)).append(char(0));
    b.append(QByteArray(24 + 64, '\0'));
    return b;
}

}  // namespace

// Qt's guessing of a format handed any file to any plugin: an SVG drew other local pictures
// into the output, and one naming a FIFO hung the program for good.
TEST(PictureFile, OnlyTheOfferedFormatsAreReadAndAnSvgNeverOpensWhatItNames) {
    bbtest::TempFolder dir;
    const QString red = savedPng(dir, "rot.png", 4, 4, qRgb(255, 0, 0));
    const QString fifo = dir.file("rohr");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& target : {red, fifo}) {
        const QByteArray svg =
            "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
            "width='4' height='4'><image width='4' height='4' xlink:href='" +
            QFile::encodeName(target) + "'/></svg>";
        for (const char* name : {"bild.svg", "bild.png"}) {
            writeFile(dir.file(name), svg);
            EXPECT_EQ(loadError(dir.file(name)), PictureError::UnknownFormat) << name;
            QImage preview;
            EXPECT_FALSE(loadBitmapOrBlank(preview, dir.file(name), dir.path())) << name;
        }
    }
    // XPM is text Qt reads by itself; it is not among the offered formats either.
    writeFile(dir.file("a.xpm"),
              "/* XPM */\nstatic char *a[] = {\"1 1 1 1\", \"a c #FF0000\", \"a\"};\n");
    EXPECT_EQ(loadError(dir.file("a.xpm")), PictureError::UnknownFormat);
    EXPECT_EQ(loadError(red), PictureError::None);
}

TEST(PictureFile, PipesDevicesAndSystemFilesAreNotOpened) {
    bbtest::TempFolder dir;
    const QString fifo = dir.file("rohr.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(loadError(fifo), PictureError::NotRegularFile);  // returns: nobody writes to it
    EXPECT_EQ(probePictureFile(fifo).error, PictureError::NotRegularFile);
    ASSERT_TRUE(QFile::link(fifo, dir.file("verweis.png")));
    EXPECT_EQ(loadError(dir.file("verweis.png")), PictureError::NotRegularFile);
    EXPECT_EQ(loadError(QStringLiteral("/proc/self/environ")), PictureError::NotRegularFile);
    EXPECT_EQ(loadError(QStringLiteral("/dev/zero")), PictureError::NotRegularFile);
    EXPECT_EQ(loadError(dir.path()), PictureError::NotRegularFile);
    EXPECT_EQ(loadError(dir.file("fehlt.png")), PictureError::NotFound);
}

TEST(PictureFile, EveryRefusalSaysWhy) {
    bbtest::TempFolder dir;
    writeFile(dir.file("text.png"), "kein Bild\n");
    EXPECT_EQ(loadError(dir.file("text.png")), PictureError::UnknownFormat);
    writeFile(dir.file("leer.png"), QByteArray());
    EXPECT_EQ(loadError(dir.file("leer.png")), PictureError::Damaged);

    // A sound header, the pixel data cut off.
    const QByteArray png = readFile(savedPng(dir, "ganz.png", 300, 200, qRgb(1, 2, 3)));
    writeFile(dir.file("halb.png"), png.left(png.size() / 2));
    EXPECT_EQ(loadError(dir.file("halb.png")), PictureError::Damaged);

    // The header announces 30000 x 30000 at 24 bits (2.5 GB) in a file of 150 bytes.
    writeFile(dir.file("riesig.bmp"), bitmapHeaderOnly(30000, 30000));
    EXPECT_EQ(loadError(dir.file("riesig.bmp")), PictureError::TooLarge);
    const PictureProbe probe = probePictureFile(dir.file("riesig.bmp"));
    EXPECT_EQ(probe.size, QSize(30000, 30000));
    EXPECT_FALSE(probe.canScale);

    // A file beyond the file limit is refused by its size alone (sparse: nothing is written).
    QFile big(dir.file("gross.bmp"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(bitmapHeaderOnly(10, 10));
    ASSERT_TRUE(big.resize(kMaxPictureFileBytes + 1));
    big.close();
    EXPECT_EQ(loadError(dir.file("gross.bmp")), PictureError::TooLarge);

    EXPECT_EQ(pictureLoadMessage("a.png", PictureError::TooLarge),
              QStringLiteral("Konnte Bild (a.png) nicht Laden.\nGrund: zu groß"));
    EXPECT_EQ(pictureLoadMessage("a.png", PictureError::Damaged),
              QStringLiteral("Konnte Bild (a.png) nicht Laden.\nGrund: beschädigt"));
    EXPECT_EQ(pictureLoadMessage("a.png", PictureError::UnknownFormat),
              QStringLiteral("Konnte Bild (a.png) nicht Laden.\nGrund: unbekanntes Format"));
    EXPECT_EQ(pictureLoadMessage("a.png", PictureError::NotFound),
              QStringLiteral("Konnte Bild (a.png) nicht Laden."));
}

TEST(PictureFile, APictureBeyondTheLimitsLoadsAtTheLargestSizeThatFits) {
    EXPECT_EQ(largestLoadableSize(QSize(40000, 10)), QSize(32768, 8));
    EXPECT_EQ(largestLoadableSize(QSize(640, 480)), QSize(640, 480));
    const QSize photo = largestLoadableSize(QSize(20000, 15000));
    EXPECT_TRUE(dibSizeAllowed(photo.width(), photo.height(), 24));
    EXPECT_FALSE(dibSizeAllowed(photo.width() + 2, photo.height() + 2, 24));
    EXPECT_NEAR(double(photo.width()) / photo.height(), 4.0 / 3.0, 0.001);

    bbtest::TempFolder dir;
    const QString wide = savedPng(dir, "breit.png", 40000, 10, qRgb(0, 128, 255));
    const PictureProbe probe = probePictureFile(wide);
    EXPECT_EQ(probe.error, PictureError::TooLarge);
    EXPECT_EQ(probe.size, QSize(40000, 10));
    EXPECT_TRUE(probe.canScale);
    EXPECT_EQ(loadError(wide), PictureError::TooLarge);
    PictureError why = PictureError::TooLarge;
    const DibImage scaled = loadPictureFileScaled(wide, QSize(32768, 8), &why);
    EXPECT_EQ(why, PictureError::None);
    ASSERT_FALSE(scaled.isNull());
    EXPECT_EQ(scaled.width(), 32768);
    EXPECT_EQ(scaled.height(), 8);
    EXPECT_EQ(pixelColor(scaled, getPixel(scaled, 100, 3)), rgbRef(0, 128, 255));
}

TEST(PictureCache, EachFileIsDecodedOnceAndEveryTurnOnce) {
    bbtest::TempFolder dir;
    const QString path = savedPng(dir, "rose.png", 30, 20, qRgb(9, 8, 7));
    PictureCache cache;
    const DibImage first = cache.load(path, 0);
    ASSERT_FALSE(first.isNull());
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(cache.load(dir.path() + "/./rose.png", 0).sharedId(), first.sharedId());
    EXPECT_EQ(cache.usedBytes(), first.byteCount());

    const DibImage turned = cache.load(path, 1);
    EXPECT_EQ(turned.width(), 20);
    EXPECT_EQ(turned.height(), 30);
    EXPECT_NE(turned.sharedId(), first.sharedId());
    EXPECT_EQ(cache.load(path, 1).sharedId(), turned.sharedId());
    EXPECT_EQ(cache.usedBytes(), first.byteCount() + turned.byteCount());
}

TEST(PictureCache, BeyondTheBudgetNothingMoreIsDecoded) {
    bbtest::TempFolder dir;
    const QString a = savedPng(dir, "a.png", 100, 100, qRgb(1, 1, 1));
    const QString b = savedPng(dir, "b.png", 100, 100, qRgb(2, 2, 2));
    const qint64 one = dibBytesPerRow(100, 24) * 100;
    PictureCache cache(one + one / 2);
    EXPECT_FALSE(cache.load(a, 0).isNull());
    PictureError why = PictureError::None;
    EXPECT_TRUE(cache.load(b, 0, &why).isNull());
    EXPECT_EQ(why, PictureError::OverBudget);
    EXPECT_TRUE(cache.load(a, 2, &why).isNull());  // a turned copy would not fit either
    EXPECT_EQ(why, PictureError::OverBudget);
    EXPECT_FALSE(cache.load(a, 0, &why).isNull());  // what is held stays shared
    EXPECT_EQ(why, PictureError::None);
    EXPECT_EQ(cache.usedBytes(), one);
    EXPECT_EQ(pictureErrorText(PictureError::OverBudget), QStringLiteral("Bild zu groß"));
}
