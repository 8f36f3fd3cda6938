// The file dialog filters of the picture formats.
#include "pictures/DibFilters.h"
#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

TEST(DibFilters, SaveFilterEntryNumberPlusTwoIsTheTypeCode) {
    const QStringList parts = pictureSaveFilter().split('|');
    ASSERT_EQ(parts.size(), 24);
    const char* suffixes[] = {"bmp", "dib", "gif", "iff", "jif", "jpg",
                              "lbm", "pcx", "rle", "tga", "tif", "png"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(parts[2 * i + 1], QStringLiteral("*.") + suffixes[i]);
        const DibWriter* w = dibWriterForType(i + 3);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(QLatin1String(w->suffix), QLatin1String(suffixes[i]));
        EXPECT_EQ(parts[2 * i], QString::fromUtf8(w->description));
    }
}

TEST(DibFilters, OpenFilterStartsWithAllPictures) {
    const QStringList parts = pictureOpenFilter().split('|');
    ASSERT_GE(parts.size(), 26);
    ASSERT_EQ(parts.size() % 2, 0);
    EXPECT_EQ(parts[0], QStringLiteral("Alle Bilddateien"));
    const QStringList all = parts[1].split(';');
    for (const char* p : {"*.bmp", "*.dib", "*.rle", "*.pcx", "*.tga", "*.iff", "*.lbm", "*.gif",
                          "*.jpg", "*.jpeg", "*.tif", "*.tiff", "*.png"})
        EXPECT_TRUE(all.contains(QLatin1String(p))) << p;
    QStringList unique = all;
    EXPECT_EQ(unique.removeDuplicates(), 0);
}

TEST(DibFilters, QtFormKeepsDescriptionsAndListsPatterns) {
    EXPECT_EQ(dibFilterToQt(QStringLiteral("Alle (*.a)|*.a;*.b|Bitmap|*.bmp")),
              QStringLiteral("Alle (*.a *.b);;Bitmap (*.bmp)"));
    const QStringList entries = dibFilterToQt(pictureSaveFilter()).split(QStringLiteral(";;"));
    ASSERT_EQ(entries.size(), 12);
    EXPECT_TRUE(entries[8].endsWith(QStringLiteral("(*.rle)")));
}

}  // namespace
