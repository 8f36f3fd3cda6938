// Exact page boxes in a PDF written by Qt; see PdfBoxes.h.
#include "print/PdfBoxes.h"

#include <QList>

#include <cmath>

namespace bb {

namespace {

constexpr char kMediaBox[] = "/MediaBox [0 0 ";
constexpr qsizetype kXrefEntry = 20;  // "oooooooooo ggggg n \n"

QByteArray number(double v) {
    return QByteArray::number(v, 'f', 4);
}

// "[x0 y0 x1 y1]" of `r` (from the top-left corner) on a page whose top lies at `top` points
// from the bottom of Qt's coordinate space.
QByteArray box(const QRectF& r, double top) {
    return '[' + number(r.left()) + ' ' + number(top - r.bottom()) + ' ' + number(r.right()) + ' ' +
           number(top - r.top()) + ']';
}

struct Edit {
    qsizetype at = 0, length = 0;
    QByteArray text;
};

// How far an offset of the original file moves with the edits before it.
qsizetype shifted(qsizetype offset, const std::vector<Edit>& edits) {
    qsizetype moved = offset;
    for (const Edit& e : edits)
        if (e.at < offset) moved += e.text.size() - e.length;
    return moved;
}

// The page's MediaBox at `at` replaced by the exact boxes; nothing when it does not parse.
std::optional<Edit> boxesEdit(const QByteArray& pdf, qsizetype at, const PdfPageBoxes& page) {
    const qsizetype end = pdf.indexOf(']', at);
    if (end < 0 || end - at > 80) return std::nullopt;
    const QList<QByteArray> wh =
        pdf.mid(at + qsizetype(sizeof kMediaBox) - 1, end - at - qsizetype(sizeof kMediaBox) + 1)
            .simplified()
            .split(' ');
    bool ok = wh.size() == 2;
    const double height = ok ? wh[1].toDouble(&ok) : 0;
    if (!ok || height + 0.01 < page.size.height()) return std::nullopt;
    const QRectF media(QPointF(0, 0), page.size);
    return Edit{at, end + 1 - at,
                "/MediaBox " + box(media, height) + "\n/CropBox " + box(media, height) +
                    "\n/BleedBox " + box(page.bleed, height) + "\n/TrimBox " +
                    box(page.trim, height)};
}

}  // namespace

QSizeF wholePoints(const QSizeF& size) {
    return {std::ceil(size.width() - 1e-6), std::ceil(size.height() - 1e-6)};
}

std::optional<QByteArray> withPageBoxes(const QByteArray& pdf,
                                        const std::vector<PdfPageBoxes>& pages) {
    // The cross-reference table that "startxref" names.
    const qsizetype start = pdf.lastIndexOf("startxref");
    if (start < 0) return std::nullopt;
    bool ok = false;
    const qsizetype xref = pdf.mid(start + 9, 24).simplified().split(' ').value(0).toLongLong(&ok);
    if (!ok || xref <= 0 || xref >= start || !pdf.mid(xref).startsWith("xref")) return std::nullopt;

    std::vector<Edit> edits;
    for (qsizetype at = pdf.indexOf(kMediaBox); at >= 0 && at < xref;
         at = pdf.indexOf(kMediaBox, at + 1)) {
        if (edits.size() == pages.size()) return std::nullopt;
        const auto edit = boxesEdit(pdf, at, pages[edits.size()]);
        if (!edit) return std::nullopt;
        edits.push_back(*edit);
    }
    if (edits.size() != pages.size()) return std::nullopt;

    QByteArray out;
    out.reserve(pdf.size() + 200 * qsizetype(pages.size()));
    qsizetype copied = 0;
    for (const Edit& e : edits) {
        out += pdf.mid(copied, e.at - copied) + e.text;
        copied = e.at + e.length;
    }
    out += pdf.mid(copied, xref - copied);
    // "xref", the subsection "0 N", then N entries of 20 bytes with the offsets moved.
    const qsizetype header = pdf.indexOf('\n', xref + 5);
    const QList<QByteArray> range = pdf.mid(xref + 5, header - xref - 5).simplified().split(' ');
    const qsizetype count = range.size() == 2 ? range[1].toLongLong(&ok) : 0;
    if (!ok || header < 0 || count <= 0 || header + 1 + count * kXrefEntry > start)
        return std::nullopt;
    out += pdf.mid(xref, header + 1 - xref);
    for (qsizetype i = 0; i < count; ++i) {
        QByteArray entry = pdf.mid(header + 1 + i * kXrefEntry, kXrefEntry);
        if (entry.size() != kXrefEntry) return std::nullopt;
        if (entry[17] == 'n') {
            const qsizetype offset = entry.left(10).toLongLong(&ok);
            if (!ok) return std::nullopt;
            entry.replace(0, 10,
                          QByteArray::number(shifted(offset, edits)).rightJustified(10, '0'));
        }
        out += entry;
    }
    const qsizetype trailer = header + 1 + count * kXrefEntry;
    out += pdf.mid(trailer, start - trailer);
    out += "startxref\n" + QByteArray::number(shifted(xref, edits)) + "\n%%EOF\n";
    return out;
}

}  // namespace bb
