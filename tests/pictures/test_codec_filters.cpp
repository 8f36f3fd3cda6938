// The table of picture formats and what comes from it: the file dialog filters, the lookups by
// name, suffix or alias, and which formats ask for a quality.
#include "pictures/DibFilters.h"
#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"
#include "pictures/PictureFormat.h"

#include "CodecTestPictures.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

// The dialogs' texts as users know them; tests and habits rely on them word for word.
const QString kSaveFilter = QStringLiteral(
    "Windows-Bitmap (*.bmp)|*.bmp|Geräteunabhängige Bitmap (*.dib)|*.dib|CompuServe GIF "
    "(*.gif)|*.gif|Amiga IFF/ILBM (*.iff)|*.iff|JPEG/JFIF (*.jif)|*.jif|JPEG (*.jpg)|*.jpg|"
    "Deluxe Paint ILBM (*.lbm)|*.lbm|ZSoft Paintbrush (*.pcx)|*.pcx|Windows-Bitmap mit "
    "Lauflängenkodierung (*.rle)|*.rle|Truevision Targa (*.tga)|*.tga|TIFF (*.tif)|*.tif|"
    "Portable Network Graphics (*.png)|*.png");
const QString kOpenEntries = QStringLiteral(
    "Windows-Bitmap (*.bmp)|*.bmp|Geräteunabhängige Bitmap (*.dib)|*.dib|CompuServe GIF "
    "(*.gif)|*.gif|Amiga IFF/ILBM (*.iff)|*.iff;*.ilbm|JPEG/JFIF (*.jif)|*.jif;*.jfif|JPEG "
    "(*.jpg)|*.jpg;*.jpeg;*.jpe|Deluxe Paint ILBM (*.lbm)|*.lbm|ZSoft Paintbrush (*.pcx)|*.pcx|"
    "Windows-Bitmap mit Lauflängenkodierung (*.rle)|*.rle|Truevision Targa (*.tga)|*.tga|TIFF "
    "(*.tif)|*.tif;*.tiff|Portable Network Graphics (*.png)|*.png");
const QString kAllPictures = QStringLiteral(
    "Alle Bilddateien|*.bmp;*.dib;*.gif;*.iff;*.ilbm;*.jif;*.jfif;*.jpg;*.jpeg;*.jpe;*.lbm;*.pcx;"
    "*.rle;*.tga;*.tif;*.tiff;*.png");

TEST(PictureFilters, SaveAndOpenFiltersKeepTheirTextAndOrder) {
    EXPECT_EQ(saveFilter(), kSaveFilter);
    const QString open = pictureOpenFilter();
    // Qt may read more (WebP): those follow in "Alle Bilddateien" and an entry of their own.
    EXPECT_TRUE(open.startsWith(kAllPictures)) << open.toStdString();
    EXPECT_TRUE(open.contains(QLatin1Char('|') + kOpenEntries)) << open.toStdString();
    const QStringList all = open.split('|').at(1).split(';');
    QStringList unique = all;
    EXPECT_EQ(unique.removeDuplicates(), 0);
}

TEST(PictureFilters, EntryNumberOfTheSaveFilterNamesTheFormat) {
    const QStringList parts = saveFilter().split('|');
    ASSERT_EQ(parts.size(), 2 * int(pictureFormats().size()));
    for (int index = 1; index <= int(pictureFormats().size()); ++index) {
        const PictureFormat* f = pictureFormatForFilterIndex(index);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->filterIndex(), index);
        EXPECT_EQ(formatCodeForFilterIndex(index), index + 2);
        EXPECT_EQ(pictureFormatForType(index + 2), f);
        EXPECT_EQ(parts[2 * index - 1], QStringLiteral("*") + f->extension());
        EXPECT_EQ(saveFormatExtension(index, true), f->extension().toUpper());
    }
    EXPECT_EQ(pictureFormatForFilterIndex(0), nullptr);
    EXPECT_EQ(pictureFormatForFilterIndex(int(pictureFormats().size()) + 1), nullptr);
    EXPECT_EQ(formatCodeForFilterIndex(0), 0);
    EXPECT_TRUE(saveFormatExtension(99).isEmpty());
}

TEST(PictureFilters, QtFormKeepsDescriptionsAndListsPatterns) {
    EXPECT_EQ(dibFilterToQt(QStringLiteral("Alle (*.a)|*.a;*.b|Bitmap|*.bmp")),
              QStringLiteral("Alle (*.a *.b);;Bitmap (*.bmp)"));
    const QStringList entries = dibFilterToQt(saveFilter()).split(QStringLiteral(";;"));
    ASSERT_EQ(entries.size(), 12);
    EXPECT_EQ(entries[8], QStringLiteral("Windows-Bitmap mit Lauflängenkodierung (*.rle)"));
}

TEST(PictureFormats, NamesSuffixesAndAliasesFindTheSameFormatEverywhere) {
    EXPECT_EQ(pictureFormatNames(), QStringList({"BMP", "DIB", "GIF", "IFF", "JIF", "JPG", "LBM",
                                                 "PCX", "RLE", "TGA", "TIF", "PNG"}));
    const std::pair<const char*, int> spellings[] = {
        {"jpg", DibJPG},  {"JPEG", DibJPG}, {".jpe", DibJPG},  {"jif", DibJIF},  {"JFIF", DibJIF},
        {"tiff", DibTIF}, {"ilbm", DibIFF}, {" Png ", DibPNG}, {".BMP", DibBMP}, {"rle", DibRLE}};
    for (const auto& [spelling, code] : spellings) {
        const PictureFormat* f = pictureFormatForName(QLatin1String(spelling));
        ASSERT_NE(f, nullptr) << spelling;
        EXPECT_EQ(f->typeCode, code) << spelling;
        EXPECT_EQ(filterIndexForFormat(QLatin1String(spelling)), code - 2) << spelling;
    }
    for (const char* unknown : {"", ".", "xyz", "webp", "jpgx"}) {
        EXPECT_EQ(pictureFormatForName(QLatin1String(unknown)), nullptr) << unknown;
        EXPECT_EQ(filterIndexForFormat(QLatin1String(unknown)), 0) << unknown;
    }
    // No spelling belongs to two formats.
    QStringList seen;
    for (const PictureFormat& f : pictureFormats()) {
        QStringList spellings = f.suffixes();
        const QString name = QString::fromLatin1(f.name).toLower();
        if (!spellings.contains(name)) spellings << name;
        for (const QString& spelling : spellings) {
            EXPECT_FALSE(seen.contains(spelling)) << spelling.toStdString();
            seen << spelling;
        }
    }
}

TEST(PictureFormats, OnlyTheJpegTypesAskForAQuality) {
    QStringList asking;
    for (const PictureFormat& f : pictureFormats())
        if (f.takesQuality) asking << QLatin1String(f.name);
    EXPECT_EQ(asking, QStringList({"JIF", "JPG"}));
}

TEST(PictureFormats, EachFormatsReaderTakesAndDecodesWhatItsWriterWrote) {
    const DibImage pic = bbtest::makeTestPicture(8, 9, 7);
    for (const PictureFormat& f : pictureFormats()) {
        SCOPED_TRACE(f.name);
        ASSERT_NE(f.reader, nullptr);
        QByteArray bytes;
        ASSERT_TRUE(f.write(pic, {}, bytes));
        EXPECT_TRUE(f.reader->accepts(bytes.left(kPictureHeadBytes), QLatin1String(f.suffix)));
        const DibImage back = f.reader->read(bytes);
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(QSize(back.width(), back.height()), QSize(9, 7));
    }
}

}  // namespace
