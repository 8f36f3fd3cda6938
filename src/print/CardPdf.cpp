// The card as a PDF file; see CardPdf.h.
#include "print/CardPdf.h"

#include "document/FolderFile.h"
#include "pictures/AtomicWrite.h"
#include "print/PdfBoxes.h"
#include "render/Bleed.h"
#include "render/Preview.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <cmath>

namespace bb {

namespace {

constexpr double kMmPerInch = 25.4;

// The largest card side taken, in millimetres (a poster would still fit).
constexpr double kMaxCardMm = 2000;

int toPixels(double mm, int dpi) {
    return int(std::lround(mm / kMmPerInch * dpi));
}

// Qt's writer takes whole points: the page rounded up, set to its exact size afterwards
// (PdfBoxes). An exact match: a page near a standard size must not take that size's measures.
QPageLayout pageLayout(const QSizeF& sizeMm) {
    const QSizeF points = wholePoints(sizeMm * kPointsPerMm);
    const QPageSize size(QSize(int(points.width()), int(points.height())), QString(),
                         QPageSize::ExactMatch);
    QPageLayout layout(size, QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

// Each page's exact size, and the cut (all its cards) with and without the bleed, in points.
std::vector<PdfPageBoxes> pageBoxes(const std::vector<CardPdfPage>& pages, double bleedMm) {
    std::vector<PdfPageBoxes> boxes;
    for (const CardPdfPage& page : pages) {
        QRectF trim;
        for (const CardPdfPage::Card& card : page.cards) trim |= card.trimMm;
        const QRectF bleed = trim.adjusted(-bleedMm, -bleedMm, bleedMm, bleedMm);
        const auto points = [](const QRectF& mm) {
            return QRectF(mm.topLeft() * kPointsPerMm, mm.size() * kPointsPerMm);
        };
        boxes.push_back({page.sizeMm * kPointsPerMm, points(bleed), points(trim)});
    }
    return boxes;
}

void drawCropMarks(QPainter& painter, const std::vector<CropMark>& marks, int dpi) {
    const double perMm = dpi / kMmPerInch;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, kCropMarkWidthMm * perMm, Qt::SolidLine, Qt::FlatCap));
    for (const CropMark& mark : marks) painter.drawLine(mark.from * perMm, mark.to * perMm);
    painter.restore();
}

// Draws the pages onto `writer`; false when the writer refused to begin or to add a page.
bool drawPages(QPdfWriter& writer, const CardDocument& doc, const RenderContext& ctx,
               const CardPdfOptions& options, const std::vector<CardPdfPage>& pages) {
    // A PDF has exact measures: the printer's calibration does not belong into it.
    RenderContext out = atOutputDpi(ctx, options.dpi);
    out.mmPerInchX = kNominalMmPerInch;
    out.mmPerInchY = kNominalMmPerInch;
    const int bleed = toPixels(options.bleedMm, options.dpi);
    const QSize cardSize = sideImageSize(doc.format, options.dpi);
    QPainter painter;
    for (size_t i = 0; i < pages.size(); ++i) {
        const CardPdfPage& page = pages[i];
        if (!writer.setPageLayout(pageLayout(page.sizeMm))) return false;
        if (i == 0 ? !painter.begin(&writer) : !writer.newPage()) return false;
        for (const CardPdfPage::Card& card : page.cards) {
            drawSideWithBleed(painter, doc, card.side, out, toPixels(card.trimMm.x(), options.dpi),
                              toPixels(card.trimMm.y(), options.dpi), cardSize.width(),
                              cardSize.height(), bleed);
            if (options.cropMarks)
                drawCropMarks(painter, cropMarks(card.trimMm, options.bleedMm, true), options.dpi);
        }
    }
    return painter.end();
}

}  // namespace

std::vector<CardPdfPage> cardPdfPages(const CardFormat& format, const CardPdfOptions& options) {
    const double edge = options.bleedMm + (options.cropMarks ? kCropMarkRoomMm : 0);
    const double w = format.cardWidth, h = format.cardHeight;
    const QSizeF cell(w + 2 * edge, h + 2 * edge);
    const QRectF first(edge, edge, w, h);
    switch (options.layout) {
        case CardPdfOptions::SidesStacked:
            return {{QSizeF(cell.width(), 2 * cell.height()),
                     {{SideOutside, first}, {SideInside, first.translated(0, cell.height())}}}};
        case CardPdfOptions::OutsideOnly:
            return {{cell, {{SideOutside, first}}}};
        case CardPdfOptions::Folded:
            break;
    }
    return {{cell, {{SideOutside, first}}}, {cell, {{SideInside, first}}}};
}

std::vector<CropMark> cropMarks(const QRectF& trimMm, double bleedMm, bool foldMarks) {
    const double near = bleedMm + kCropMarkGapMm;
    const double far = bleedMm + kCropMarkRoomMm - kCropMarkEndMm;
    std::vector<CropMark> marks;
    for (const double x : {trimMm.left(), trimMm.right()}) {
        const double sx = x == trimMm.left() ? -1 : 1;
        for (const double y : {trimMm.top(), trimMm.bottom()}) {
            const double sy = y == trimMm.top() ? -1 : 1;
            marks.push_back({QPointF(x + sx * near, y), QPointF(x + sx * far, y)});
            marks.push_back({QPointF(x, y + sy * near), QPointF(x, y + sy * far)});
        }
    }
    if (foldMarks) {
        const double fold = trimMm.center().x();
        marks.push_back({QPointF(fold, trimMm.top() - near), QPointF(fold, trimMm.top() - far)});
        marks.push_back(
            {QPointF(fold, trimMm.bottom() + near), QPointF(fold, trimMm.bottom() + far)});
    }
    return marks;
}

QString cardPdfProblem(const CardFormat& format, const CardPdfOptions& options) {
    const auto sensible = [](double mm) { return std::isfinite(mm) && mm > 0 && mm <= kMaxCardMm; };
    if (!sensible(format.cardWidth) || !sensible(format.cardHeight))
        return QStringLiteral("Die Karte hat kein Format, das als PDF geschrieben werden kann.");
    if (!std::isfinite(options.bleedMm) || options.bleedMm < 0 || options.bleedMm > kMaxBleedMm)
        return QStringLiteral("Der Beschnitt muss zwischen 0 und %1 mm liegen.").arg(kMaxBleedMm);
    if (options.dpi < kMinPdfDpi || options.dpi > kMaxPdfDpi)
        return QStringLiteral("Die Auflösung muss zwischen %1 und %2 dpi liegen.")
            .arg(kMinPdfDpi)
            .arg(kMaxPdfDpi);
    if (sideImageSize(format, options.dpi).isEmpty())
        return QStringLiteral("Die Karte ist zu klein für eine PDF-Datei.");
    return {};
}

QByteArray cardPdfBytes(const CardDocument& doc, const RenderContext& ctx,
                        const CardPdfOptions& options, QString* error) {
    const auto fail = [error](const QString& text) {
        if (error) *error = text;
        return QByteArray();
    };
    const QString problem = cardPdfProblem(doc.format, options);
    if (!problem.isEmpty()) return fail(problem);
    const std::vector<CardPdfPage> pages = cardPdfPages(doc.format, options);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Die PDF-Datei konnte nicht angelegt werden."));
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(options.dpi);
        writer.setCreator(QStringLiteral("Brisella-Bildwerker"));
        if (!options.title.isEmpty()) writer.setTitle(options.title);
        if (!drawPages(writer, doc, ctx, options, pages))
            return fail(QStringLiteral("Die PDF-Datei konnte nicht gezeichnet werden."));
    }
    buffer.close();
    // Should Qt ever lay its file out otherwise, the pages keep its whole points.
    if (auto exact = withPageBoxes(bytes, pageBoxes(pages, options.bleedMm)))
        bytes = std::move(*exact);
    QBuffer check(&bytes);
    if (!check.open(QIODevice::ReadOnly) || !looksLikeCompletePdf(check))
        return fail(QStringLiteral("Die PDF-Datei ist unvollständig geblieben."));
    return bytes;
}

bool writeCardPdf(const CardDocument& doc, const RenderContext& ctx, const QString& path,
                  const CardPdfOptions& options, QString* error) {
    QString why;
    const QByteArray bytes = cardPdfBytes(doc, ctx, options, &why);
    const QFileInfo target(path);
    const QString shown = QDir::toNativeSeparators(target.absoluteFilePath());
    if (!bytes.isEmpty()) {
        switch (writeFileInFolder(target.absolutePath(), target.fileName(), bytes, true, &why)) {
            case FolderWrite::Written:
                return true;
            case FolderWrite::NameTaken:
                why = QStringLiteral(
                    "Unter diesem Namen steht keine gewöhnliche Datei (sondern "
                    "etwa eine Verknüpfung oder ein Ordner); sie bleibt, wie "
                    "sie ist.");
                break;
            case FolderWrite::Failed:
                break;
        }
    }
    if (error)
        *error = QStringLiteral("Die PDF-Datei „%1“ konnte nicht geschrieben werden.\n%2")
                     .arg(shown, why);
    return false;
}

}  // namespace bb
