// The readers loadPictureFile tries, and the one table of the formats savePictureFile writes.
#include "pictures/Bmp.h"
#include "pictures/ImageCodec.h"
#include "pictures/PictureFormat.h"
#include "pictures/QtCodec.h"
#include "pictures/codecs/BmpRle.h"
#include "pictures/codecs/Gif.h"
#include "pictures/codecs/Ilbm.h"
#include "pictures/codecs/Pcx.h"
#include "pictures/codecs/QtWriters.h"
#include "pictures/codecs/Tga.h"

#include <iterator>

namespace bb {

namespace {

// In the order loadPictureFile tries them; Qt's reader stays last.
constexpr DibReader kReaders[] = {
    {"BMP", &bmpAccepts, &readBmp, &bmpHeader}, {"GIF", &acceptsGif, &readGif, &gifHeader},
    {"PCX", &acceptsPcx, &readPcx, &pcxHeader}, {"ILBM", &acceptsIlbm, &readIlbm, &ilbmHeader},
    {"TGA", &acceptsTga, &readTga, &tgaHeader}, {"Qt", &qtReaderAccepts, &readWithQt, &qtHeader},
};
constexpr const DibReader* kBmpReader = &kReaders[0];
constexpr const DibReader* kGifReader = &kReaders[1];
constexpr const DibReader* kPcxReader = &kReaders[2];
constexpr const DibReader* kIlbmReader = &kReaders[3];
constexpr const DibReader* kTgaReader = &kReaders[4];
constexpr const DibReader* kQtReader = &kReaders[5];

// A writer without options as a table entry.
template <bool (*Write)(const DibImage&, QByteArray&)>
bool plain(const DibImage& picture, const PictureSaveOptions&, QByteArray& out) {
    return Write(picture, out);
}

bool jpegWithQuality(const DibImage& picture, const PictureSaveOptions& options, QByteArray& out) {
    return writeJpegQuality(picture, options.quality, out);
}

// clang-format off
constexpr PictureFormat kFormats[] = {
    {DibBMP, "BMP", "bmp", {}, "Windows-Bitmap (*.bmp)", kBmpReader, &plain<&writeBmp>, false},
    {DibDIB, "DIB", "dib", {}, "Geräteunabhängige Bitmap (*.dib)", kBmpReader, &plain<&writeBmp>, false},
    {DibGIF, "GIF", "gif", {}, "CompuServe GIF (*.gif)", kGifReader, &plain<&writeGif>, false},
    {DibIFF, "IFF", "iff", {"ilbm"}, "Amiga IFF/ILBM (*.iff)", kIlbmReader, &plain<&writeIlbm>, false},
    {DibJIF, "JIF", "jif", {"jfif"}, "JPEG/JFIF (*.jif)", kQtReader, &jpegWithQuality, true},
    {DibJPG, "JPG", "jpg", {"jpeg", "jpe"}, "JPEG (*.jpg)", kQtReader, &jpegWithQuality, true},
    {DibLBM, "LBM", "lbm", {}, "Deluxe Paint ILBM (*.lbm)", kIlbmReader, &plain<&writeIlbm>, false},
    {DibPCX, "PCX", "pcx", {}, "ZSoft Paintbrush (*.pcx)", kPcxReader, &plain<&writePcx>, false},
    {DibRLE, "RLE", "rle", {}, "Windows-Bitmap mit Lauflängenkodierung (*.rle)", kBmpReader, &plain<&writeBmpRle>, false},
    {DibTGA, "TGA", "tga", {}, "Truevision Targa (*.tga)", kTgaReader, &plain<&writeTga>, false},
    {DibTIF, "TIF", "tif", {"tiff"}, "TIFF (*.tif)", kQtReader, &plain<&writeTiff>, false},
    {DibPNG, "PNG", "png", {}, "Portable Network Graphics (*.png)", kQtReader, &plain<&writePng>, false},
};
// clang-format on

// The type code is the entry number plus two: the save dialog's index names the format.
constexpr bool codesFollowTheOrder() {
    for (int i = 0; i < int(std::size(kFormats)); ++i)
        if (kFormats[i].typeCode != i + 3) return false;
    return true;
}
static_assert(codesFollowTheOrder(), "type codes must follow the save-filter order");

}  // namespace

std::span<const DibReader> dibReaders() {
    return kReaders;
}

std::span<const PictureFormat> pictureFormats() {
    return kFormats;
}

}  // namespace bb
