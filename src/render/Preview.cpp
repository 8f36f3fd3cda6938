// Output-mode renders of a whole side: the card file's preview and side images.
#include "render/Preview.h"

#include "document/CardFile.h"
#include "render/PicturePrefetch.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// Trunc(mm ÷ 25.39995 × dpi), or −1 when the result is not a usable pixel count.
qint64 pixelsFor(double mm, double dpi) {
    const double v = mm / kNominalMmPerInch * dpi;
    if (!(v >= 0) || v > kMaxDibSide) return -1;
    return qint64(v);
}

}  // namespace

QSize sideImageSize(const CardFormat& format, double dpi) {
    const qint64 w = pixelsFor(format.cardWidth, dpi);
    const qint64 h = pixelsFor(format.cardHeight, dpi);
    if (w <= 0 || h <= 0) return QSize();
    return QSize(int(w), int(h));
}

void drawSideAt(QPainter& painter, const CardDocument& doc, int side, const RenderContext& ctx,
                int x, int y, int w, int h) {
    drawOutputSide(painter, doc, side, ctx, w, h, w - x, h - y, ctx.outputScale);
}

void drawSideAt(QPainter& painter, const CardDocument& doc, int side, const RenderContext& ctx,
                double dpi, int x, int y) {
    const QSize size = sideImageSize(doc.format, dpi);
    if (size.isEmpty()) return;
    drawSideAt(painter, doc, side, atOutputDpi(ctx, dpi), x, y, size.width(), size.height());
}

QImage renderSide(const CardDocument& doc, int side, const RenderContext& ctx, double dpi) {
    const QSize size = sideImageSize(doc.format, dpi);
    if (size.isEmpty() || !dibSizeAllowed(size.width(), size.height(), 24)) return QImage();
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    drawSideAt(painter, doc, side, ctx, dpi, 0, 0);
    painter.end();
    return image;
}

DibImage createCardPreview(const CardDocument& doc, const RenderContext& ctx) {
    // About 90 pixels across: r = Trunc(90 × 25.39995 ÷ cardWidth) pixels per inch; a card
    // that gives no pixel (or too many) gets a white 1 × 1 picture.
    const PreviewGeometry geometry = previewGeometry(doc.format);
    const int r = geometry.dpi;
    const qint64 w = geometry.size.width();
    const qint64 h = geometry.size.height();

    QImage bitmap(int(w), int(h), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    if (r > 0) {
        // The stored preview shows the card as typed, whichever address is shown meanwhile.
        const RenderContext output = withFilledTexts(atOutputDpi(ctx, r), {});
        QPainter painter(&bitmap);
        drawOutputSide(painter, doc, SideOutside, output, int(w), int(h), int(w), int(h),
                       output.outputScale);
    }

    DibImage preview = newDib(int(w), int(h), 24);
    if (preview.isNull()) return preview;
    for (int y = 0; y < int(h); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        uint8_t* dst = preview.rowFromTop(y);
        for (int x = 0; x < int(w); ++x) {
            dst[3 * x] = uint8_t(qBlue(src[x]));
            dst[3 * x + 1] = uint8_t(qGreen(src[x]));
            dst[3 * x + 2] = uint8_t(qRed(src[x]));
        }
    }
    preview.markModified();
    return preview;
}

}  // namespace bb
