// Photo-like picture files for the tests of pictures drawn from reduced decodes, the same
// pictures with their full pixels in memory (never reduced), and the comparison of outputs.
#pragma once

#include "pictures/DibImage.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace phototest {

// w × h pixels: colour gradients across the picture, a grid of darker and lighter blocks,
// a few discs and fine noise, so that a turned, mirrored, shifted or wrongly coloured copy
// differs clearly from the right one.
inline QImage photoImage(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(11);
    const int block = std::max(8, w / 24);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int shade = ((x / block + y / block) % 2) ? 24 : -24;
            const int noise = int(rng.bounded(9)) - 4;
            auto clamp = [](int v) { return std::clamp(v, 0, 255); };
            row[x] = qRgb(clamp(20 + 200 * x / w + shade + noise),
                          clamp(30 + 190 * y / h + shade + noise),
                          clamp(int(128 + 90 * std::sin((x + 2.0 * y) / (w / 9.0))) + noise));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 40));
    p.drawEllipse(QPointF(w * 0.25, h * 0.3), w * 0.08, w * 0.08);
    p.setBrush(QColor(20, 40, 160));
    p.drawEllipse(QPointF(w * 0.7, h * 0.65), w * 0.12, h * 0.1);
    return img;
}

// Writes photoImage(w, h) as a JPEG (or whatever the suffix of `path` says).
inline bool writePhoto(const QString& path, int w, int h) {
    return photoImage(w, h).save(path, nullptr, 92);
}

// The picture of `path` with its full pixels in memory and no file behind it: drawn at any
// size from its own pixels, as every picture was drawn before reduced decodes.
inline bb::DibImage fullPixels(const QString& path) {
    const bb::DibImage loaded = bb::loadPictureFile(path);
    return loaded.isNull() ? loaded : bb::dibFromQImage(loaded.toQImage());
}

// The largest of the three per-channel mean absolute differences of two images of one size
// within `area` (the whole image when null); 255 when the sizes differ.
inline double meanDifference(const QImage& a, const QImage& b, QRect area = QRect()) {
    if (a.size() != b.size() || a.isNull()) return 255;
    if (area.isNull()) area = a.rect();
    area &= a.rect();
    if (area.isEmpty()) return 255;
    const QImage ca = a.convertToFormat(QImage::Format_RGB32);
    const QImage cb = b.convertToFormat(QImage::Format_RGB32);
    double sum[3] = {0, 0, 0};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(ca.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(cb.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            sum[0] += std::abs(qRed(ra[x]) - qRed(rb[x]));
            sum[1] += std::abs(qGreen(ra[x]) - qGreen(rb[x]));
            sum[2] += std::abs(qBlue(ra[x]) - qBlue(rb[x]));
        }
    }
    const double n = double(area.width()) * area.height();
    return std::max({sum[0], sum[1], sum[2]}) / n;
}

}  // namespace phototest
