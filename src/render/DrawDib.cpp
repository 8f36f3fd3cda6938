// DrawDib: source clipping, the row-by-row copy into raster images and the scaled fallback.
#include "render/DrawDib.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bb {

namespace {

// Round to nearest, halves to the even neighbour.
int roundEven(double v) {
    return int(std::nearbyint(v));
}

// The image behind a painter when pixels may be written straight into it: a 32-bit raster
// image, painted with at most an integer translation, opaque, copy-like composition.
QImage* directTarget(QPainter& painter, int& dx, int& dy) {
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image) return nullptr;
    auto* image = static_cast<QImage*>(device);
    switch (image->format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            break;
        default:
            return nullptr;
    }
    if (image->devicePixelRatio() != 1.0) return nullptr;
    if (painter.opacity() < 1.0) return nullptr;
    const QPainter::CompositionMode mode = painter.compositionMode();
    if (mode != QPainter::CompositionMode_SourceOver && mode != QPainter::CompositionMode_Source)
        return nullptr;
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxTranslate) return nullptr;
    if (t.dx() != std::trunc(t.dx()) || t.dy() != std::trunc(t.dy())) return nullptr;
    if (std::abs(t.dx()) > 1e9 || std::abs(t.dy()) > 1e9) return nullptr;
    dx = int(t.dx());
    dy = int(t.dy());
    return image;
}

// Colour lookup for palette pictures: every index maps to an opaque pixel (black beyond
// the table).
std::vector<QRgb> paletteLookup(const DibImage& picture) {
    std::vector<QRgb> lut(256, qRgb(0, 0, 0));
    const auto& table = picture.colourTable();
    const size_t n = std::min<size_t>(table.size(), 256);
    for (size_t i = 0; i < n; ++i) lut[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    return lut;
}

// Row-by-row copy into a raster image: one column map, one row buffer, a source row is
// converted only when it differs from the one before.
void drawDirect(QImage& image, int dx, int dy, const QRegion& clip, bool clipped,
                const DibDrawRect& r, const DibImage& picture) {
    const QRect dest(r.destX + dx, r.destY + dy, r.destWidth, r.destHeight);
    QRegion visible(dest.intersected(image.rect()));
    if (clipped) visible &= clip.translated(dx, dy);
    if (visible.isEmpty()) return;
    const QRect bounds = visible.boundingRect();

    const int pw = picture.width();
    const int ph = picture.height();
    const int bitCount = picture.bitCount();
    const qint64 bytesPerRow = picture.bytesPerRow();
    const uint8_t* bits = picture.bits();

    // Column map for the visible columns only: source column of each device column.
    const int firstColumn = bounds.left() - dest.left();
    std::vector<int> columns(size_t(bounds.width()));
    for (int c = 0; c < bounds.width(); ++c)
        columns[size_t(c)] = r.srcX + int(qint64(r.srcWidth) * (firstColumn + c) / r.destWidth);

    std::vector<QRgb> lut;
    if (bitCount <= 8) lut = paletteLookup(picture);

    std::vector<QRgb> row(size_t(bounds.width()));
    qint64 bufferedRow = -1;
    bool haveRow = false;

    auto fillRow = [&](qint64 sourceRow) {
        if (sourceRow < 0 || sourceRow >= ph) {
            std::fill(row.begin(), row.end(), qRgb(0, 0, 0));
            return;
        }
        const uint8_t* line = bits + sourceRow * bytesPerRow;
        const size_t n = row.size();
        for (size_t c = 0; c < n; ++c) {
            const int m = columns[c];
            if (m < 0 || m >= pw) {
                row[c] = qRgb(0, 0, 0);
                continue;
            }
            switch (bitCount) {
                case 24: {
                    const uint8_t* p = line + qint64(m) * 3;
                    row[c] = qRgb(p[2], p[1], p[0]);
                    break;
                }
                case 8:
                    row[c] = lut[line[m]];
                    break;
                case 4:
                    row[c] = lut[(line[m >> 1] >> ((m & 1) ? 0 : 4)) & 0x0F];
                    break;
                default:
                    row[c] = lut[(line[m >> 3] >> (7 - (m & 7))) & 0x01];
                    break;
            }
        }
    };

    for (const QRect& band : visible) {
        for (int y = band.top(); y <= band.bottom(); ++y) {
            const qint64 j = y - dest.top();
            const qint64 sourceRow =
                qint64(r.srcY) + r.srcHeight - 1 - qint64(r.srcHeight) * j / r.destHeight;
            if (!haveRow || sourceRow != bufferedRow) {
                fillRow(sourceRow);
                bufferedRow = sourceRow;
                haveRow = true;
            }
            auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::copy_n(row.begin() + (band.left() - bounds.left()), band.width(),
                        target + band.left());
        }
    }
}

}  // namespace

DibDrawRect clipDibSource(DibDrawRect r, int pw, int ph) {
    if (r.srcWidth <= 0 || r.srcHeight <= 0) return r;
    if (qint64(r.srcX) + r.srcWidth > pw) {
        const int w = pw - r.srcX;
        r.destWidth = roundEven(double(r.destWidth) * w / r.srcWidth);
        r.srcWidth = w;
        if (r.srcWidth <= 0) return r;
    }
    if (r.srcY < 0) {
        const int h = r.srcHeight + r.srcY;
        r.destHeight = roundEven(double(r.destHeight) * h / r.srcHeight);
        r.srcHeight = h;
        r.srcY = 0;
        if (r.srcHeight <= 0) return r;
    }
    if (qint64(r.srcY) + r.srcHeight > ph) {
        const int h = ph - r.srcY;
        const int destH = roundEven(double(r.destHeight) * h / r.srcHeight);
        r.destY += r.destHeight - destH;
        r.destHeight = destH;
        r.srcHeight = h;
        if (r.srcHeight <= 0) return r;
    }
    if (r.srcX < 0) {
        const int w = r.srcWidth + r.srcX;
        const int destW = roundEven(double(r.destWidth) * w / r.srcWidth);
        r.destX += r.destWidth - destW;
        r.destWidth = destW;
        r.srcWidth = w;
        r.srcX = 0;
    }
    return r;
}

void DrawDib(QPainter& painter, int destX, int destY, int destWidth, int destHeight,
             const DibImage& picture, int srcX, int srcY, int srcWidth, int srcHeight) {
    if (picture.isNull() || !painter.isActive()) return;
    if (destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
    const DibDrawRect r =
        clipDibSource({destX, destY, destWidth, destHeight, srcX, srcY, srcWidth, srcHeight},
                      picture.width(), picture.height());
    if (r.destWidth <= 0 || r.destHeight <= 0 || r.srcWidth <= 0 || r.srcHeight <= 0) return;

    int dx = 0, dy = 0;
    if (QImage* image = directTarget(painter, dx, dy)) {
        const bool clipped = painter.hasClipping();
        drawDirect(*image, dx, dy, clipped ? painter.clipRegion() : QRegion(), clipped, r, picture);
        return;
    }
    // Printers, PDF and scaled painters: the picture's cached image, scaled by the device.
    const QImage& source = picture.toQImage();
    const QRect sourceRect(r.srcX, picture.height() - r.srcY - r.srcHeight, r.srcWidth,
                           r.srcHeight);
    painter.drawImage(QRect(r.destX, r.destY, r.destWidth, r.destHeight), source, sourceRect);
}

}  // namespace bb
