// Exact page measures for a PDF written by Qt. Qt's PDF writer gives every page a whole number
// of points (1/72 inch) as its MediaBox, so a card of 210 × 148 mm would become 209.9 ×
// 148.2 mm. The writer is given the page rounded up to whole points, and afterwards each page's
// MediaBox is set to the exact size at the top-left corner (where Qt's drawing starts), with a
// BleedBox and a TrimBox that print shops read; the cross-reference table follows the bytes.
#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSizeF>

#include <optional>
#include <vector>

namespace bb {

inline constexpr double kPointsPerMm = 72.0 / 25.4;

// A page's measures in points from its top-left corner.
struct PdfPageBoxes {
    QSizeF size;
    QRectF bleed;
    QRectF trim;
};

// The whole points a page of `size` points is written with: each side rounded up.
QSizeF wholePoints(const QSizeF& size);

// `pdf` (as Qt's QPdfWriter writes it: one "/MediaBox [0 0 W H]" per page, in page order, and a
// classic cross-reference table) with each page's boxes set from `pages`. Nothing when the file
// is not laid out so or the number of pages differs.
std::optional<QByteArray> withPageBoxes(const QByteArray& pdf,
                                        const std::vector<PdfPageBoxes>& pages);

}  // namespace bb
