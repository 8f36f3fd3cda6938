// Stored previews, the thumbnail size rule and the downscaling for each depth.
#include "CardFiles.h"
#include "browser/StoredPreview.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace bb;

TEST(ThumbnailSize, WideGets80WideAndTallGets80High) {
    EXPECT_EQ(thumbnailSize(86, 64), QSize(80, 59));  // 64 × 80 div 86 = 59
    EXPECT_EQ(thumbnailSize(64, 86), QSize(59, 80));
    EXPECT_EQ(thumbnailSize(100, 100), QSize(80, 80));
    EXPECT_EQ(thumbnailSize(40, 20), QSize(80, 40));  // small pictures are enlarged to the box
    EXPECT_EQ(thumbnailSize(81, 80), QSize(80, 79));
    EXPECT_EQ(thumbnailSize(80, 81), QSize(79, 80));
    // A larger box for the command-line tool.
    EXPECT_EQ(thumbnailSize(86, 64, 43), QSize(43, 32));
}

TEST(ThumbnailSize, LargerBoxesNeverEnlargeBeyondTheStoredPicture) {
    EXPECT_EQ(thumbnailBoxFor(80, 30, 20), 80);  // the browser's own rule enlarges
    EXPECT_EQ(thumbnailBoxFor(40, 86, 64), 40);
    EXPECT_EQ(thumbnailBoxFor(200, 86, 64), 86);
    EXPECT_EQ(thumbnailBoxFor(200, 64, 300), 200);
    EXPECT_EQ(thumbnailBoxFor(200, 30, 20), 80);
}

TEST(ThumbnailSize, ExtremeShapesKeepOnePixelAndBadSizesGiveNothing) {
    EXPECT_EQ(thumbnailSize(1000, 5), QSize(80, 1));  // 5 × 80 div 1000 would be 0
    EXPECT_EQ(thumbnailSize(3, 32768), QSize(1, 80));
    EXPECT_TRUE(thumbnailSize(0, 10).isEmpty());
    EXPECT_TRUE(thumbnailSize(10, -1).isEmpty());
    EXPECT_TRUE(thumbnailSize(32768, 32768, 0).isEmpty());
}

class DownscaleDepth : public ::testing::TestWithParam<int> {};

// A 100 × 50 picture becomes 80 × 40 with steps of 1280/1024: destination column x takes
// source column trunc(1.25 x); likewise for rows.
TEST_P(DownscaleDepth, PicksTheNearestSourcePixelAndKeepsDepthAndColours) {
    const int bits = GetParam();
    const DibImage source = bbtest::patternPicture(100, 50, bits);
    const DibImage thumb = makeThumbnail(source);
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.width(), 80);
    EXPECT_EQ(thumb.height(), 40);
    EXPECT_EQ(thumb.bitCount(), bits);
    EXPECT_EQ(thumb.colourTable(), source.colourTable());
    const std::pair<int, int> columns[] = {{0, 0}, {1, 1}, {3, 3}, {4, 5}, {5, 6}, {79, 98}};
    const std::pair<int, int> rows[] = {{0, 0}, {4, 5}, {7, 8}, {39, 48}};
    for (auto [x, xs] : columns) {
        for (auto [y, ys] : rows) {
            EXPECT_EQ(getPixel(thumb, x, y), bbtest::patternValue(xs, ys, bits))
                << "bits " << bits << " at " << x << "," << y;
        }
    }
}

// Odd source and destination columns: for 4 bits the nibbles must land on the right side.
TEST_P(DownscaleDepth, OddWidthsTakeEveryPixelFromItsOwnColumn) {
    const int bits = GetParam();
    const DibImage source = bbtest::patternPicture(7, 3, bits);
    const DibImage small = downscaleDib(source, 5, 3);  // sx = 1433: columns 0, 1, 2, 4, 5
    ASSERT_FALSE(small.isNull());
    const int expected[] = {0, 1, 2, 4, 5};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(getPixel(small, x, y), bbtest::patternValue(expected[x], y, bits))
                << "bits " << bits << " at " << x << "," << y;
    // Enlarging stays within the source (and within the padding of its rows).
    const DibImage large = downscaleDib(source, 15, 7);
    ASSERT_FALSE(large.isNull());
    EXPECT_EQ(getPixel(large, 14, 6), bbtest::patternValue(6, 2, bits));
}

INSTANTIATE_TEST_SUITE_P(AllDepths, DownscaleDepth, ::testing::Values(1, 4, 8, 24));

TEST(Downscale, RefusesNullPicturesAndEmptySizes) {
    EXPECT_TRUE(downscaleDib(DibImage(), 10, 10).isNull());
    const DibImage p = bbtest::patternPicture(10, 10, 24);
    EXPECT_TRUE(downscaleDib(p, 0, 10).isNull());
    EXPECT_TRUE(downscaleDib(p, 10, -3).isNull());
    EXPECT_TRUE(makeThumbnail(DibImage()).isNull());
}

TEST(DibToImage, ShowsTheColoursOfEveryDepth) {
    for (int bits : {1, 4, 8, 24}) {
        const DibImage p = bbtest::patternPicture(9, 4, bits);
        const QImage image = dibToImage(p);
        ASSERT_EQ(image.size(), QSize(9, 4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                const ColorRef c = pixelColor(p, getPixel(p, x, y));
                EXPECT_EQ(image.pixel(x, y), qRgb(refRed(c), refGreen(c), refBlue(c)))
                    << "bits " << bits << " at " << x << "," << y;
            }
    }
}

TEST(StoredPreviewRead, ReadsEveryDepthBackFromACardFile) {
    bbtest::TempFolder dir;
    for (int bits : {1, 4, 8, 24}) {
        const DibImage original = bbtest::patternPicture(86, 64, bits);
        const QString path = dir.file(QStringLiteral("card%1.kar").arg(bits));
        ASSERT_TRUE(bbtest::writeBytes(path, bbtest::cardBytes(original)));
        const StoredPreview stored = readStoredPreview(path);
        ASSERT_EQ(stored.status, PreviewStatus::Ok) << bits;
        ASSERT_EQ(stored.picture.bitCount(), bits);
        ASSERT_EQ(stored.picture.byteCount(), original.byteCount());
        EXPECT_EQ(0, memcmp(stored.picture.bits(), original.bits(), size_t(original.byteCount())));
        EXPECT_EQ(stored.picture.colourTable(), original.colourTable());
    }
}

TEST(StoredPreviewRead, ForeignAndUnopenableFilesAreToldOnceDamagedOnesSilently) {
    bbtest::TempFolder dir;
    QByteArray card = bbtest::cardBytes(bbtest::patternPicture(86, 64, 24));
    QByteArray foreign = card;
    foreign[30] = '1';  // "1.1" instead of "1.0"
    ASSERT_TRUE(bbtest::writeBytes(dir.file("foreign.kar"), foreign));
    ASSERT_TRUE(bbtest::writeBytes(dir.file("short.kar"), card.left(20)));
    ASSERT_TRUE(bbtest::writeBytes(dir.file("cut.kar"), card.left(32 + 8 + 40 + 1000)));
    QByteArray huge = card;
    huge[32] = char(0xFF);  // header size far beyond the file
    huge[33] = char(0xFF);
    huge[34] = char(0xFF);
    huge[35] = char(0x7F);
    ASSERT_TRUE(bbtest::writeBytes(dir.file("huge.kar"), huge));
    QDir(dir.path()).mkdir("folder.kar");

    bbtest::ScriptedDialogs dialogs;
    EXPECT_TRUE(readStoredPreviewReporting(dir.file("foreign.kar"), dialogs).isNull());
    EXPECT_TRUE(readStoredPreviewReporting(dir.file("short.kar"), dialogs).isNull());
    EXPECT_TRUE(readStoredPreviewReporting(dir.file("missing.kar"), dialogs).isNull());
    EXPECT_TRUE(readStoredPreviewReporting(dir.file("folder.kar"), dialogs).isNull());
    ASSERT_EQ(dialogs.messages.size(), 4);
    for (int i : {0, 1}) {
        EXPECT_EQ(dialogs.messages[i].caption, "Dateikennung falsch");
        EXPECT_EQ(dialogs.messages[i].text,
                  "Es handelt sich nicht um eine Grußkarte im Tovarin Brisella-Bildwerker "
                  "1.0-Format!");
        EXPECT_EQ(dialogs.messages[i].icon, MsgIcon::Information);
    }
    for (int i : {2, 3}) {
        EXPECT_EQ(dialogs.messages[i].caption, "Fehler: Datei konnte nicht geöffnet werden");
        EXPECT_EQ(dialogs.messages[i].text, "Beim Öffnen der Datei ist ein Fehler aufgetreten!");
    }

    dialogs.messages.clear();
    EXPECT_TRUE(readStoredPreviewReporting(dir.file("cut.kar"), dialogs).isNull());
    EXPECT_TRUE(readStoredPreviewReporting(dir.file("huge.kar"), dialogs).isNull());
    EXPECT_EQ(readStoredPreview(dir.file("cut.kar")).status, PreviewStatus::NoPicture);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
