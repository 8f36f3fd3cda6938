#include "pictures/codecs/QtWriters.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>

namespace bb {

namespace {

bool writeWithQt(const QImage& image, const char* format, int quality, int compression,
                 QByteArray& out) {
    if (image.isNull()) return false;
    out.clear();
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    if (compression >= 0) writer.setCompression(compression);
    return writer.write(image);
}

}  // namespace

bool writeJpegQuality(const DibImage& picture, int quality, QByteArray& out) {
    if (picture.isNull()) return false;
    const QImage& image = picture.toQImage();
    // JPEG holds no palette: give the writer true colour.
    const QImage rgb = image.format() == QImage::Format_RGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    return writeWithQt(rgb, "jpeg", std::clamp(quality, 1, 100), -1, out);
}

bool writeTiff(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    return writeWithQt(picture.toQImage(), "tiff", -1, 1 /* LZW */, out);
}

bool writePng(const DibImage& picture, QByteArray& out) {
    if (picture.isNull()) return false;
    return writeWithQt(picture.toQImage(), "png", -1, -1, out);
}

}  // namespace bb
