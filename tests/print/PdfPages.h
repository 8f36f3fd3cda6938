// Helpers of the print tests: a card document with coloured sides, and PDF pages turned into
// pictures with pdftoppm.
#pragma once

#include "document/CardDocument.h"

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace printtest {

inline bb::CardFormat twoByFive() {
    bb::CardFormat f;
    f.leftMargin = 10;
    f.topMargin = 12.5;
    f.cardWidth = 90;
    f.cardHeight = 55;
    f.pitchX = 95;
    f.pitchY = 55;
    f.cardsAcross = 2;
    f.cardsDown = 5;
    return f;
}

// Outside red, inside blue (solid colour backgrounds).
inline void colourSides(bb::CardDocument& doc) {
    doc.updateSideUnits();
    doc.insideBackground.backgroundMode = bb::BgColor;
    doc.insideBackground.backgroundColor = bb::rgbRef(0, 0, 255);
    doc.outsideBackground.backgroundMode = bb::BgColor;
    doc.outsideBackground.backgroundColor = bb::rgbRef(255, 0, 0);
}

inline bool havePdftoppm() {
    return !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

// Page `page` (from 1) of a PDF at `dpi`; a null image when it does not exist.
inline QImage pdfPage(const QString& pdf, int page, int dpi) {
    const QString prefix = pdf + QStringLiteral(".page%1").arg(page);
    QProcess::execute("pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(page),
                                   "-l", QString::number(page), "-singlefile", pdf, prefix});
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

// The part `area` (in pixels at `dpi`) of page `page` of a PDF; null when it does not exist.
inline QImage pdfPageArea(const QString& pdf, int page, int dpi, const QRect& area) {
    const QString prefix = pdf + QStringLiteral(".area%1").arg(page);
    QProcess::execute("pdftoppm",
                      {"-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l",
                       QString::number(page), "-x", QString::number(area.x()), "-y",
                       QString::number(area.y()), "-W", QString::number(area.width()), "-H",
                       QString::number(area.height()), "-singlefile", pdf, prefix});
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

inline bool havePdfimages() {
    return !QStandardPaths::findExecutable("pdfimages").isEmpty();
}

// The pictures a PDF stores, as `pdfimages -list` lists them: one entry per stored picture
// (however often pages use it) with its size in pixels.
inline std::vector<QSize> pdfStoredImages(const QString& pdf) {
    QProcess p;
    p.start("pdfimages", {"-list", pdf});
    if (!p.waitForFinished(120000)) return {};
    std::vector<QSize> sizes;
    QStringList objects;
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines.mid(2)) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 12) continue;
        const QString object = QString::fromLatin1(f[10] + ' ' + f[11]);
        if (objects.contains(object)) continue;
        objects << object;
        sizes.emplace_back(f[3].toInt(), f[4].toInt());
    }
    return sizes;
}

inline int pdfPageCount(const QString& pdf) {
    int n = 0;
    while (!pdfPage(pdf, n + 1, 10).isNull()) ++n;
    return n;
}

// Bounding box of the pixels close to `colour` inside `area`.
inline QRect colourBox(const QImage& img, QRgb colour, QRect area = QRect()) {
    if (area.isNull()) area = img.rect();
    area &= img.rect();
    int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = row[x];
            if (std::abs(qRed(p) - qRed(colour)) < 40 &&
                std::abs(qGreen(p) - qGreen(colour)) < 40 &&
                std::abs(qBlue(p) - qBlue(colour)) < 40) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
        }
    }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

inline bool dark(QRgb p) {
    return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110;
}
inline bool whiteish(QRgb p) {
    return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
}

// Dark and white pixels along a horizontal run (x0 .. x1 − 1, row y).
struct PixelRun {
    int dark = 0, white = 0, other = 0;
};
inline PixelRun rowRun(const QImage& img, int y, int x0, int x1) {
    PixelRun r;
    if (y < 0 || y >= img.height()) return r;
    for (int x = std::max(0, x0); x < std::min(x1, img.width()); ++x) {
        const QRgb p = img.pixel(x, y);
        dark(p) ? ++r.dark : whiteish(p) ? ++r.white : ++r.other;
    }
    return r;
}
inline PixelRun columnRun(const QImage& img, int x, int y0, int y1) {
    PixelRun r;
    if (x < 0 || x >= img.width()) return r;
    for (int y = std::max(0, y0); y < std::min(y1, img.height()); ++y) {
        const QRgb p = img.pixel(x, y);
        dark(p) ? ++r.dark : whiteish(p) ? ++r.white : ++r.other;
    }
    return r;
}

}  // namespace printtest
