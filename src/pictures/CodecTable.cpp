// The readers OpenDib tries and the writers SaveDib dispatches to.
#include "pictures/Bmp.h"
#include "pictures/ImageCodec.h"
#include "pictures/QtCodec.h"

namespace bb {

const std::vector<DibReader>& dibReaders() {
    static const std::vector<DibReader> readers = {
        {"BMP", &bmpAccepts, &readBmp},
        // Further own readers go here, before Qt's.
        {"Qt", &qtReaderAccepts, &readWithQt},  // stays last
    };
    return readers;
}

const std::vector<DibWriter>& dibWriters() {
    static const std::vector<DibWriter> writers = {
        {DibBMP, "BMP", "bmp", "Windows-Bitmap (*.bmp)", &writeBmp},
        {DibDIB, "DIB", "dib", "Geräteunabhängige Bitmap (*.dib)", &writeBmp},
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
