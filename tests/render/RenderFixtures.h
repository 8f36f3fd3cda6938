// Small helpers for the renderer tests: documents with objects at pixel positions, solid and
// patterned pictures, and pixel queries.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"

#include <QImage>
#include <QPainter>

#include <memory>
#include <ostream>

// Readable rectangles in test failures.
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

namespace rendertest {

// Editor-mode scale used by the tests: zoomFactor 1 and 100 units per pixel, so a field of
// 100 × n units is n pixels.
inline constexpr double kUnitsPerPixel = 100.0;

inline std::unique_ptr<bb::CardDocument> makeDocument() {
    auto doc = std::make_unique<bb::CardDocument>();
    doc->zoomFactor = 1.0;
    doc->unitsPerPixel = kUnitsPerPixel;
    return doc;
}

// A new object in the lowest free slot of `side` with its box given in pixels of the test
// scale.
inline bb::CardObject& addObject(bb::CardDocument& doc, int kind, int x, int y, int w, int h,
                                 int side = bb::SideOutside) {
    const int slot = doc.findFreeSlot(side);
    bb::CardObject& o = *doc.sideSlots(side)[slot];
    o.kind = kind;
    o.x = int32_t(x * kUnitsPerPixel);
    o.y = int32_t(y * kUnitsPerPixel);
    o.width = int32_t(w * kUnitsPerPixel);
    o.height = int32_t(h * kUnitsPerPixel);
    return o;
}

inline QImage whiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline bb::DibImage solidPicture(int w, int h, bb::ColorRef colour) {
    bb::DibImage pic = bb::newDib(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bb::setPixel(pic, x, y, colour);
    return pic;
}

// A 24-bit picture whose pixel (x, y) has red x, green y and blue 7: every pixel distinct.
inline bb::DibImage rampPicture(int w, int h) {
    bb::DibImage pic = bb::newDib(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bb::setPixel(pic, x, y, bb::rgbRef(x, y, 7));
    return pic;
}

inline QRgb rgbOf(bb::ColorRef c) {
    return qRgb(bb::refRed(c), bb::refGreen(c), bb::refBlue(c));
}

inline QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

// Bounding rectangle of every pixel that is not `background`.
inline QRect inkBounds(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) != (background | 0xFF000000u)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

}  // namespace rendertest
