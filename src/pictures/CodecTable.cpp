// The readers loadPictureFile tries and the writers savePictureFile dispatches to.
#include "pictures/Bmp.h"
#include "pictures/ImageCodec.h"
#include "pictures/QtCodec.h"
#include "pictures/codecs/BmpRle.h"
#include "pictures/codecs/Gif.h"
#include "pictures/codecs/Ilbm.h"
#include "pictures/codecs/Pcx.h"
#include "pictures/codecs/QtWriters.h"
#include "pictures/codecs/Tga.h"

namespace bb {

const std::vector<DibReader>& dibReaders() {
    static const std::vector<DibReader> readers = {
        {"BMP", &bmpAccepts, &readBmp, &bmpHeader},
        {"GIF", &acceptsGif, &readGif, &gifHeader},
        {"PCX", &acceptsPcx, &readPcx, &pcxHeader},
        {"ILBM", &acceptsIlbm, &readIlbm, &ilbmHeader},
        {"TGA", &acceptsTga, &readTga, &tgaHeader},
        {"Qt", &qtReaderAccepts, &readWithQt, &qtHeader},  // stays last
    };
    return readers;
}

const std::vector<DibWriter>& dibWriters() {
    static const std::vector<DibWriter> writers = {
        {DibBMP, "BMP", "bmp", "Windows-Bitmap (*.bmp)", &writeBmp},
        {DibDIB, "DIB", "dib", "Geräteunabhängige Bitmap (*.dib)", &writeBmp},
        {DibGIF, "GIF", "gif", "CompuServe GIF (*.gif)", &writeGif},
        {DibIFF, "IFF", "iff", "Amiga IFF/ILBM (*.iff)", &writeIlbm},
        {DibJIF, "JIF", "jif", "JPEG/JFIF (*.jif)", &writeJpeg},
        {DibJPG, "JPG", "jpg", "JPEG (*.jpg)", &writeJpeg},
        {DibLBM, "LBM", "lbm", "Deluxe Paint ILBM (*.lbm)", &writeIlbm},
        {DibPCX, "PCX", "pcx", "ZSoft Paintbrush (*.pcx)", &writePcx},
        {DibRLE, "RLE", "rle", "Windows-Bitmap mit Lauflängenkodierung (*.rle)", &writeBmpRle},
        {DibTGA, "TGA", "tga", "Truevision Targa (*.tga)", &writeTga},
        {DibTIF, "TIF", "tif", "TIFF (*.tif)", &writeTiff},
        {DibPNG, "PNG", "png", "Portable Network Graphics (*.png)", &writePng},
    };
    return writers;
}

const DibWriter* dibWriterForType(int typeCode) {
    for (const DibWriter& w : dibWriters())
        if (w.typeCode == typeCode) return &w;
    return nullptr;
}

const DibWriter* dibWriterForName(const QString& nameOrSuffix) {
    for (const DibWriter& w : dibWriters())
        if (nameOrSuffix.compare(QLatin1String(w.name), Qt::CaseInsensitive) == 0 ||
            nameOrSuffix.compare(QLatin1String(w.suffix), Qt::CaseInsensitive) == 0)
            return &w;
    return nullptr;
}

}  // namespace bb
