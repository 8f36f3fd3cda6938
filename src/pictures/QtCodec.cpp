#include "pictures/QtCodec.h"

#include "pictures/ImageCodec.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <span>

namespace bb {

namespace {

// Largest image QImageReader may allocate while decoding, in MiB: a picture at the pixel
// limit, decoded as 32-bit pixels, fits.
constexpr int kQtAllocationLimitMiB = int(kMaxDibBytes / (1024 * 1024)) * 2;

// One channel of a colour drawn with coverage `alpha` over white.
inline uint8_t overWhite(int channel, int alpha) {
    return uint8_t((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

DibImage indexedToDib(const QImage& source) {
    const QImage image = source.format() == QImage::Format_Indexed8
                             ? source
                             : source.convertToFormat(QImage::Format_Indexed8);
    if (image.isNull()) return {};
    const int w = image.width(), h = image.height();
    const QList<QRgb> table = image.colorTable();
    int maxIndex = 0;
    for (int y = 0; y < h && maxIndex < 255; ++y) {
        const uchar* line = image.constScanLine(y);
        maxIndex = std::max(maxIndex, int(*std::max_element(line, line + w)));
    }
    const int used = std::max<int>(int(table.size()), maxIndex + 1);
    const int depth = used <= 2 ? 1 : used <= 16 ? 4 : 8;
    std::vector<RgbQuad> colours;
    for (int i = 0; i < std::min<int>(int(table.size()), 256); ++i) {
        const QRgb c = table[i];
        const int a = qAlpha(c);
        colours.push_back(
            RgbQuad{overWhite(qBlue(c), a), overWhite(qGreen(c), a), overWhite(qRed(c), a), 0});
    }
    DibImage picture = colours.empty() ? newDib(w, h, depth)
                                       : newDib(w, h, depth, colours.data(), int(colours.size()));
    if (picture.isNull()) return picture;
    for (int y = 0; y < h; ++y) {
        const uchar* line = image.constScanLine(y);
        uint8_t* row = picture.rowFromTop(y);
        if (depth == 8) {
            std::memcpy(row, line, size_t(w));
        } else if (depth == 4) {
            for (int x = 0; x < w; ++x)
                row[x >> 1] |= uint8_t((line[x] & 0x0F) << ((x & 1) ? 0 : 4));
        } else {
            for (int x = 0; x < w; ++x)
                if (line[x] & 1) row[x >> 3] |= uint8_t(0x80u >> (x & 7));
        }
    }
    return picture;
}

DibImage greyToDib(const QImage& source) {
    const QImage image = source.format() == QImage::Format_Grayscale8
                             ? source
                             : source.convertToFormat(QImage::Format_Grayscale8);
    DibImage picture = newDib(image.width(), image.height(), 8);  // grey ramp
    if (picture.isNull()) return picture;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(picture.rowFromTop(y), image.constScanLine(y), size_t(image.width()));
    return picture;
}

// One row of a 24-bit picture from a row of an image in one of the formats handled here;
// alpha is flattened onto white.
void colourRow(const uchar* line, QImage::Format format, int w, uint8_t* p) {
    switch (format) {
        case QImage::Format_BGR888:
            std::memcpy(p, line, size_t(w) * 3);
            return;
        case QImage::Format_RGB888:
            for (int x = 0; x < w; ++x, p += 3, line += 3) {
                p[0] = line[2];
                p[1] = line[1];
                p[2] = line[0];
            }
            return;
        case QImage::Format_RGB32:
            for (const QRgb c : std::span(reinterpret_cast<const QRgb*>(line), size_t(w))) {
                p[0] = uint8_t(qBlue(c));
                p[1] = uint8_t(qGreen(c));
                p[2] = uint8_t(qRed(c));
                p += 3;
            }
            return;
        case QImage::Format_ARGB32_Premultiplied:
            // Over white: premultiplied channel plus the uncovered part of white.
            for (const QRgb c : std::span(reinterpret_cast<const QRgb*>(line), size_t(w))) {
                const int rest = 255 - qAlpha(c);
                p[0] = uint8_t(std::min(255, qBlue(c) + rest));
                p[1] = uint8_t(std::min(255, qGreen(c) + rest));
                p[2] = uint8_t(std::min(255, qRed(c) + rest));
                p += 3;
            }
            return;
        default:  // Format_ARGB32
            for (const QRgb c : std::span(reinterpret_cast<const QRgb*>(line), size_t(w))) {
                const int a = qAlpha(c);
                p[0] = overWhite(qBlue(c), a);
                p[1] = overWhite(qGreen(c), a);
                p[2] = overWhite(qRed(c), a);
                p += 3;
            }
            return;
    }
}

// Converts row by row: only the picture itself is allocated for the common formats, and
// bands of 64 rows for the others, so a large photo does not pass through a second copy.
DibImage colourToDib(const QImage& source) {
    const int w = source.width(), h = source.height();
    DibImage picture = newDib(w, h, 24);
    if (picture.isNull()) return picture;
    const QImage::Format format = source.format();
    const bool direct = format == QImage::Format_BGR888 || format == QImage::Format_RGB888 ||
                        format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                        format == QImage::Format_ARGB32_Premultiplied;
    if (direct) {
        for (int y = 0; y < h; ++y)
            colourRow(source.constScanLine(y), format, w, picture.rowFromTop(y));
        return picture;
    }
    constexpr int kBand = 64;
    for (int y0 = 0; y0 < h; y0 += kBand) {
        const int n = std::min(kBand, h - y0);
        const QImage band = source.copy(0, y0, w, n).convertToFormat(QImage::Format_ARGB32);
        if (band.isNull()) return {};
        for (int y = 0; y < n; ++y)
            colourRow(band.constScanLine(y), QImage::Format_ARGB32, w, picture.rowFromTop(y0 + y));
    }
    return picture;
}

}  // namespace

DibImage dibFromQImage(const QImage& image) {
    if (image.isNull()) return {};
    if (!dibSizeAllowed(image.width(), image.height(), 1)) return {};
    switch (image.format()) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
        case QImage::Format_Indexed8:
            return indexedToDib(image);
        case QImage::Format_Grayscale8:
        case QImage::Format_Grayscale16:
            return greyToDib(image);
        default:
            return colourToDib(image);
    }
}

QImage qimageFromDib(const DibImage& picture) {
    if (picture.isNull()) return {};
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    if (bits == 24) {
        QImage image(w, h, QImage::Format_RGB32);
        if (image.isNull()) return image;
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = picture.rowFromTop(y);
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x, p += 3) line[x] = qRgb(p[2], p[1], p[0]);
        }
        return image;
    }
    QImage image(w, h, QImage::Format_Indexed8);
    if (image.isNull()) return image;
    QList<QRgb> table;
    for (const RgbQuad& q : picture.colourTable()) table.push_back(qRgb(q.red, q.green, q.blue));
    image.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = picture.rowFromTop(y);
        uchar* line = image.scanLine(y);
        if (bits == 8) {
            std::memcpy(line, row, size_t(w));
        } else if (bits == 4) {
            for (int x = 0; x < w; ++x)
                line[x] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        } else {
            for (int x = 0; x < w; ++x) line[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
    return image;
}

QList<QByteArray> qtPictureFormats() {
    static const QList<QByteArray> formats = [] {
        QList<QByteArray> out;
        const QList<QByteArray> present = QImageReader::supportedImageFormats();
        for (const char* f : {"png", "jpeg", "tiff", "webp"})
            if (present.contains(QByteArray(f))) out << QByteArray(f);
        return out;
    }();
    return formats;
}

QByteArray qtPictureFormat(const QByteArray& head) {
    QByteArray format;
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        format = "png";
    else if (head.startsWith("\xFF\xD8\xFF"))
        format = "jpeg";
    else if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        format = "tiff";
    else if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        format = "webp";
    return qtPictureFormats().contains(format) ? format : QByteArray();
}

// Bitmaps are not among the signatures: they are read by our own reader alone, so a bitmap
// it refuses (truncated, top-down RLE, absurd header) stays refused.
bool qtReaderAccepts(const QByteArray& head, const QString&) {
    return !qtPictureFormat(head).isEmpty();
}

bool qtCanReadScaled(const QByteArray& head) {
    const QByteArray format = qtPictureFormat(head);
    return format == "png" || format == "jpeg";
}

namespace {

// A reader bound to the one plugin of the file's signature.
void bindFormat(QImageReader& reader, const QByteArray& format) {
    reader.setFormat(format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kQtAllocationLimitMiB);
}

}  // namespace

bool qtHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount) {
    const QByteArray format = qtPictureFormat(head);
    if (format.isEmpty() || !file.seek(0)) return false;
    QImageReader reader(&file);
    bindFormat(reader, format);
    const QSize announced = reader.size();
    if (!announced.isValid() || announced.isEmpty()) return false;
    size = announced;
    bitCount = 24;
    return true;
}

namespace {

// Large JPEG photos are decoded in bands of rows (the JPEG reader decodes a clip rectangle
// without building the whole image), so that loading a 12-megapixel photo holds the
// picture plus one band instead of the picture plus a 32-bit copy of it.
constexpr qint64 kBandedPixels = qint64(4) << 20;
constexpr int kBandCount = 4;

// True for a baseline or extended sequential JPEG. Progressive and lossless files must be
// decoded whole for every band, so they are not read in bands.
bool sequentialJpeg(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const qint64 n = bytes.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return false;
    qint64 at = 2;
    while (at + 4 <= n) {
        if (p[at] != 0xFF) return false;
        const uint8_t marker = p[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xC0 || marker == 0xC1) return true;
        if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return false;  // progressive, lossless or arithmetic-coded frame
        if (marker == 0xD9 || marker == 0xDA) return false;
        at += 2 + ((qint64(p[at + 2]) << 8) | p[at + 3]);
    }
    return false;
}

DibImage readJpegInBands(QByteArray& bytes, QSize size) {
    const int w = size.width(), h = size.height();
    const int bandRows = (h + kBandCount - 1) / kBandCount;
    DibImage picture;
    for (int y0 = 0; y0 < h; y0 += bandRows) {
        const int n = std::min(bandRows, h - y0);
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::ReadOnly)) return {};
        QImageReader reader(&buffer, "jpeg");
        reader.setAllocationLimit(kQtAllocationLimitMiB);
        reader.setClipRect(QRect(0, y0, w, n));
        const QImage band = reader.read();
        if (band.size() != QSize(w, n)) return {};
        const bool grey = band.format() == QImage::Format_Grayscale8;
        const bool colour = band.format() == QImage::Format_RGB32;
        if (!grey && !colour) return {};
        if (picture.isNull()) {
            picture = newDib(w, h, grey ? 8 : 24);  // 8 bits: the grey ramp
            if (picture.isNull()) return {};
        }
        if ((picture.bitCount() == 8) != grey) return {};
        for (int y = 0; y < n; ++y) {
            if (grey)
                std::memcpy(picture.rowFromTop(y0 + y), band.constScanLine(y), size_t(w));
            else
                colourRow(band.constScanLine(y), QImage::Format_RGB32, w,
                          picture.rowFromTop(y0 + y));
        }
    }
    return picture;
}

}  // namespace

DibImage readWithQt(const QByteArray& data) {
    const QByteArray format = qtPictureFormat(data.left(kPictureHeadBytes));
    if (format.isEmpty()) return {};
    QByteArray bytes = data;  // shares the buffer; QBuffer wants a non-const array
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    bindFormat(reader, format);
    reader.setAutoTransform(true);
    if (!reader.canRead()) return {};
    const QSize size = reader.size();
    if (size.isValid() && !dibSizeAllowed(size.width(), size.height(), 24)) return {};
    if (size.isValid() && qint64(size.width()) * size.height() >= kBandedPixels &&
        format == "jpeg" && sequentialJpeg(bytes) &&
        reader.transformation() == QImageIOHandler::TransformationNone &&
        reader.supportsOption(QImageIOHandler::ClipRect)) {
        DibImage banded = readJpegInBands(bytes, size);
        if (!banded.isNull()) return banded;
    }
    const QImage image = reader.read();
    if (image.isNull()) return {};
    return dibFromQImage(image);
}

DibImage readWithQtScaled(const QByteArray& data, QSize size) {
    const QByteArray format = qtPictureFormat(data.left(kPictureHeadBytes));
    if (format.isEmpty() || size.isEmpty() || !dibSizeAllowed(size.width(), size.height(), 24))
        return {};
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer);
    bindFormat(reader, format);
    reader.setScaledSize(size);
    const QImage image = reader.read();
    if (image.isNull()) return {};
    return dibFromQImage(image);
}

namespace {

// True for the image formats dibFromQImage turns into fewer than 24 bits.
bool fewerThan24Bits(QImage::Format format) {
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
           format == QImage::Format_Indexed8 || format == QImage::Format_Grayscale8 ||
           format == QImage::Format_Grayscale16 || format == QImage::Format_Invalid;
}

// The size after the reader's orientation, from the size as stored.
QSize orientedSize(const QImageReader& reader, QSize stored) {
    return reader.transformation() & QImageIOHandler::TransformationRotate90 ? stored.transposed()
                                                                             : stored;
}

}  // namespace

QSize qtColourPictureSize(QIODevice& file, const QByteArray& head) {
    const QByteArray format = qtPictureFormat(head);
    if (format.isEmpty() || !file.seek(0)) return {};
    QImageReader reader(&file);
    bindFormat(reader, format);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty() || fewerThan24Bits(reader.imageFormat())) return {};
    return orientedSize(reader, stored);
}

DibImage readWithQtAtSize(QIODevice& file, const QByteArray& head, QSize size) {
    const QByteArray format = qtPictureFormat(head);
    if (format.isEmpty() || size.isEmpty() || !file.seek(0)) return {};
    QImageReader reader(&file);
    bindFormat(reader, format);
    reader.setAutoTransform(true);
    if (!reader.canRead()) return {};
    const QSize stored = reader.size();
    if (!stored.isValid() || !dibSizeAllowed(stored.width(), stored.height(), 24)) return {};
    // The scaling happens before the orientation is applied.
    const bool transposed = reader.transformation() & QImageIOHandler::TransformationRotate90;
    reader.setScaledSize(transposed ? size.transposed() : size);
    QImage image = reader.read();
    if (image.size() != size) return {};
    if (fewerThan24Bits(image.format())) image = image.convertToFormat(QImage::Format_RGB32);
    return dibFromQImage(image);
}

}  // namespace bb
