#include "pictures/Halftone.h"

#include "pictures/codecs/Quantize.h"

namespace bb {

DibImage halftoneDib(const DibImage& source) {
    if (source.isNull()) return {};
    return reduceTo8(dibTo24(source), 256, true);
}

DibImage halftoneDibXY(const DibImage& source, int width, int height) {
    if (source.isNull() || !dibSizeAllowed(width, height, 24)) return {};
    if (width == source.width() && height == source.height()) return halftoneDib(source);
    const QImage scaled =
        source.toQImage()
            .convertToFormat(QImage::Format_RGB32)
            .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return reduceTo8(dib24FromQImage(scaled), 256, true);
}

}  // namespace bb
