// libFuzzer harness for one picture reader of the codec table, chosen at compile time by
// BB_FUZZ_READER ("BMP", "GIF", "PCX", "TGA", "ILBM"). The reader must return a picture or a null
// one for any input, within the size limits, without touching memory it does not own.
#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const bb::DibReader& reader() {
    static const bb::DibReader* found = [] {
        for (const bb::DibReader& r : bb::dibReaders())
            if (std::strcmp(r.name, BB_FUZZ_READER) == 0) return &r;
        std::abort();
    }();
    return *found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // The header reader sees the file's start and may read further in, as when a file is
    // checked before it is read whole.
    if (reader().header) {
        QByteArray whole(bytes.constData(), bytes.size());
        QBuffer file(&whole);
        file.open(QIODevice::ReadOnly);
        const QByteArray head = bytes.left(bb::kPictureHeadBytes);
        QSize announced;
        int bits = 0;
        if (reader().header(file, head, announced, bits) &&
            (announced.width() < 1 || announced.height() < 1 || bits < 1 || bits > 32))
            std::abort();
    }
    const bb::DibImage picture = reader().read(bytes);
    if (!picture.isNull()) {
        // Touch every row so that a wrong size shows up under the address sanitizer.
        if (!bb::dibSizeAllowed(picture.width(), picture.height(), picture.bitCount()))
            std::abort();
        volatile uint8_t sink = 0;
        for (int y = 0; y < picture.height(); ++y) {
            const uint8_t* row = picture.rowFromTop(y);
            sink = sink + row[0] + row[picture.bytesPerRow() - 1];
        }
        if (picture.bitCount() <= 8 &&
            int(picture.colourTable().size()) != bb::dibColourCount(picture.bitCount()))
            std::abort();
    }
    return 0;
}
