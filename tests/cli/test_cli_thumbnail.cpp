// brisella-cli thumbnail, run as a separate process on generated cards.
#include "browser/CardFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>
#include "cli/CliProcess.h"

namespace {

using bbtest::CliRun;
using bbtest::runCli;

// Pattern colour of source pixel (x, y) of a 24-bit test preview.
QColor source(int x, int y) {
    return QColor(x % 256, y % 256, (x * 3 + y) % 256);
}

}  // namespace

TEST(CliThumbnail, WritesTheBrowsersThumbnailAndLargerSizesUpToThePreview) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(bbtest::writeCard(dir.file("card.kar"), 86, 64, 24));

    CliRun r = runCli({"thumbnail", dir.file("card.kar"), "-o", dir.file("t.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QImage t(dir.file("t.png"));
    ASSERT_EQ(t.size(), QSize(80, 59));
    EXPECT_EQ(t.pixelColor(10, 10), source(10, 10));  // steps 1100/1024 and 1110/1024
    EXPECT_EQ(t.pixelColor(79, 58), source(84, 62));

    r = runCli({"thumbnail", dir.file("card.kar"), "-o", dir.file("s.png"), "-s", "40"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(QImage(dir.file("s.png")).size(), QSize(40, 29));

    // Asking for more than the preview holds gives the preview itself, pixel for pixel.
    r = runCli({"thumbnail", dir.file("card.kar"), "-o", dir.file("l.png"), "-s", "500"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QImage l(dir.file("l.png"));
    ASSERT_EQ(l.size(), QSize(86, 64));
    EXPECT_EQ(l.pixelColor(85, 63), source(85, 63));
    EXPECT_TRUE(r.err.contains("86 x 64"));
}

TEST(CliThumbnail, RefusesForeignFilesAndBadArguments) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(bbtest::writeBytes(dir.file("foreign.kar"), "GIF89a not a card at all......."));
    CliRun r = runCli({"thumbnail", dir.file("foreign.kar"), "-o", dir.file("x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromLocal8Bit(r.err).contains("Grußkarte"));
    EXPECT_FALSE(QFile::exists(dir.file("x.png")));
    EXPECT_EQ(runCli({"thumbnail", dir.file("missing.kar"), "-o", dir.file("x.png")}).exitCode, 1);
    EXPECT_EQ(runCli({"thumbnail", dir.file("foreign.kar")}).exitCode, 2);
    EXPECT_EQ(runCli({"thumbnail", dir.file("foreign.kar"), "-o", "x.png", "-s", "0"}).exitCode, 2);
}
