// Address labels; see LabelPrint.h.
#include "print/LabelPrint.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "print/SheetLayout.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// Text is measured and drawn with the font at this pixel size, scaled to its point size, so
// that what was measured is what is drawn at any resolution.
constexpr int kReferencePx = 200;
constexpr double kMmPerPoint = 25.4 / 72.0;
constexpr int kPdfDpi = 600;

QFont labelFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(kReferencePx);
    return font;
}

const QFontMetricsF& labelMetrics() {
    static const QFontMetricsF metrics(labelFont());
    return metrics;
}

// Millimetres per reference pixel at `pointSize`.
double mmPerReferencePx(double pointSize) {
    return pointSize * kMmPerPoint / kReferencePx;
}

double innerMargin(const QRectF& label) {
    return std::min(kLabelInnerMarginMm, std::min(label.width(), label.height()) / 8);
}

}  // namespace

LabelText fitLabelText(const QStringList& lines, const QRectF& labelMm) {
    LabelText out;
    const double margin = innerMargin(labelMm);
    const QRectF inner = labelMm.adjusted(margin, margin, -margin, -margin);
    const QFontMetricsF& fm = labelMetrics();
    double widest = 0;
    for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
    const auto fits = [&](double pt) {
        const double k = mmPerReferencePx(pt);
        return lines.size() * fm.lineSpacing() * k <= inner.height() && widest * k <= inner.width();
    };
    double pt = kLabelMaxPointSize;
    while (pt > kLabelMinPointSize && !fits(pt)) pt -= 0.5;
    pt = std::max(pt, kLabelMinPointSize);
    const double k = mmPerReferencePx(pt);
    out.pointSize = pt;
    out.lineHeightMm = fm.lineSpacing() * k;
    out.ascentMm = fm.ascent() * k;
    const int room = std::max(0, int(std::floor(inner.height() / out.lineHeightMm + 1e-9)));
    for (int i = 0; i < lines.size() && i < room; ++i) {
        QString line = lines[i];
        if (fm.horizontalAdvance(line) * k > inner.width()) {
            line = fm.elidedText(line, Qt::ElideRight, inner.width() / k);
            out.cut = true;
        }
        out.lines.append(line);
    }
    if (out.lines.size() < lines.size()) out.cut = true;
    const double blockHeight = out.lines.size() * out.lineHeightMm;
    out.originMm = {inner.left(), inner.top() + std::max(0.0, (inner.height() - blockHeight) / 2)};
    return out;
}

LabelJob labelJob(const LabelSheet& sheet, int used, const AddressList& list, const MergePlan& plan,
                  const QString& tmpl) {
    LabelJob job;
    job.sheet = sheet;
    job.used = clampUsed(used, std::max(1, sheet.perSheet()));
    job.pages = labelSheetCount(sheet, used, plan);
    const FieldFiller filler(list);
    const QString filledTemplate = templateForList(tmpl, list);
    const std::vector<LabelPlacement> places = labelPlacements(sheet, used, plan);
    job.labels.reserve(places.size());
    for (size_t k = 0; k < places.size(); ++k) {
        const LabelPlacement& place = places[k];
        const QStringList empty;
        const QStringList& row =
            place.row >= 0 && place.row < list.rowCount() ? list.rows[size_t(place.row)] : empty;
        const QRectF rect = sheet.labelRectMm(place.position);
        PrintedLabel label{
            place, rect,
            fitLabelText(recipientLines(filledTemplate, filler, row, QString()), rect)};
        if (label.text.cut)
            job.warnings.append(
                QStringLiteral("Etikett %1 (Datensatz %2): Die Adresse passt nicht ganz auf das "
                               "Etikett und wurde gekürzt.")
                    .arg(k + 1)
                    .arg(place.row + 1));
        job.labels.push_back(std::move(label));
    }
    return job;
}

void paintLabelPage(QPainter& painter, const LabelJob& job, int page, double pxPerMm,
                    const LabelPaintOptions& options) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto px = [pxPerMm](const QRectF& mm) {
        return QRectF(mm.topLeft() * pxPerMm, mm.size() * pxPerMm);
    };
    if (options.outlines) {
        const LabelSheet& sheet = job.sheet;
        const double corner = sheet.cornerMm * pxPerMm;
        for (int p = 0; p < sheet.perSheet(); ++p) {
            const bool usedLabel = page == 0 && p < job.used;
            painter.setPen(QPen(QColor(150, 150, 150), 0));
            painter.setBrush(options.shadeUsed && usedLabel ? QBrush(QColor(200, 200, 200))
                                                            : QBrush(Qt::NoBrush));
            painter.drawRoundedRect(px(sheet.labelRectMm(p)), corner, corner);
        }
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    const QFont font = labelFont();
    painter.setFont(font);
    for (const PrintedLabel& label : job.labels) {
        if (label.place.page != page) continue;
        const double scale = mmPerReferencePx(label.text.pointSize) * pxPerMm;
        for (int i = 0; i < label.text.lines.size(); ++i) {
            const QPointF baseline =
                label.text.originMm + QPointF(0, label.text.ascentMm + i * label.text.lineHeightMm);
            painter.save();
            painter.translate(baseline * pxPerMm);
            painter.scale(scale, scale);
            painter.drawText(QPointF(0, 0), label.text.lines[i]);
            painter.restore();
        }
    }
    painter.restore();
}

bool paintLabelJob(QPagedPaintDevice& device, const LabelJob& job, QString* error) {
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                         QPageLayout::Millimeter);
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        printer->setFullPage(true);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageOrientation(QPageLayout::Portrait);
        printer->setDocName(kLabelJobTitle);
    } else {
        device.setPageLayout(a4);
        if (auto* writer = dynamic_cast<QPdfWriter*>(&device)) writer->setTitle(kLabelJobTitle);
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error) *error = QStringLiteral("Der Drucker lässt sich nicht ansprechen.");
        return false;
    }
    const double pxPerMm = device.logicalDpiX() / 25.4;
    const int pages = std::max(1, job.pages);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) {
            painter.end();
            if (error) *error = QStringLiteral("Eine neue Seite ließ sich nicht beginnen.");
            return false;
        }
        paintLabelPage(painter, job, page, pxPerMm);
    }
    if (!painter.end()) {
        if (error) *error = QStringLiteral("Die Etiketten ließen sich nicht zu Ende drucken.");
        return false;
    }
    return true;
}

QByteArray labelPdf(const LabelJob& job, QString* error) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDpi);
        writer.setCreator(QStringLiteral("Brisella-Bildwerker"));
        if (!paintLabelJob(writer, job, error)) return {};
    }
    return bytes;
}

}  // namespace bb
