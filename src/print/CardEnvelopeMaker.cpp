// The envelope dialog's envelopes from the catalogue and layout; see CardEnvelopeMaker.h.
#include "print/CardEnvelopeMaker.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "print/EnvelopePrint.h"
#include "print/Envelopes.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace bb {

CardEnvelopeMaker::CardEnvelopeMaker(std::function<QImage()> cardPicture)
    : cardPicture_(std::move(cardPicture)) {}

std::vector<EnvelopeKind> CardEnvelopeMaker::kinds() const {
    std::vector<EnvelopeKind> kinds;
    for (const EnvelopeSize& s : envelopeSizes())
        kinds.push_back({s.id, s.name, s.sizeMm, s.hasWindow()});
    return kinds;
}

QString CardEnvelopeMaker::defaultTemplate() const {
    return kDefaultRecipientTemplate;
}

std::vector<EnvelopeFace> CardEnvelopeMaker::faces(const EnvelopeOrder& order,
                                                   const std::vector<int>& rows,
                                                   QString* error) const {
    const EnvelopeSize* size = findEnvelope(order.sizeId);
    if (!size || !order.list) {
        if (error)
            *error =
                size ? QStringLiteral("Es ist keine Adressliste gewählt.")
                     : QStringLiteral("Das Umschlagformat \"%1\" ist unbekannt.").arg(order.sizeId);
        return {};
    }
    SenderAddress sender;
    sender.lines = senderLines(order.sender);
    sender.country = order.sender.country;
    EnvelopeStyle style;
    if (order.picture && cardPicture_) {
        if (picture_.isNull()) picture_ = cardPicture_();
        style.picture = picture_;
    }
    const AddressList& list = *order.list;
    const FieldFiller filler(list);
    const QString tmpl = templateForList(order.recipientTemplate, list);
    std::vector<EnvelopeFace> faces;
    faces.reserve(rows.size());
    for (const int row : rows) {
        if (row < 0 || row >= list.rowCount()) continue;
        faces.push_back(envelopeFace(
            *size, order.window, sender,
            recipientLines(tmpl, filler, list.rows[size_t(row)], sender.country), style));
    }
    return faces;
}

void CardEnvelopeMaker::paintPreview(QPainter& painter, const QRectF& target,
                                     const EnvelopeOrder& order, int row) const {
    const std::vector<EnvelopeFace> one = faces(order, {row});
    if (one.empty()) return;
    paintEnvelopeFace(painter, target, one.front());
    // The window, where the envelope has one.
    const EnvelopeSize* size = findEnvelope(order.sizeId);
    if (order.window && size && size->windowMm) {
        const double s = target.width() / one.front().sizeMm.width();
        const QRectF w = *size->windowMm;
        painter.save();
        painter.setPen(QPen(QColor(150, 170, 200), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(target.topLeft() + w.topLeft() * s, w.size() * s), 3, 3);
        painter.restore();
    }
}

bool CardEnvelopeMaker::print(PrinterTarget& target, const EnvelopeOrder& order,
                              const EnvelopePlacement& placement, QString* error) const {
    const std::vector<EnvelopeFace> all = faces(order, order.rows, error);
    if (all.empty()) return false;
    useEnvelopePaper(target, all, placement);
    const PrintRunResult result = printEnvelopes(target, all, placement);
    if (!result.ok && error) *error = result.error;
    return result.ok;
}

bool CardEnvelopeMaker::writePdf(const QString& path, const EnvelopeOrder& order,
                                 const EnvelopePlacement& placement, QString* error) const {
    const std::vector<EnvelopeFace> all = faces(order, order.rows, error);
    if (all.empty()) return false;
    return writeEnvelopePdf(path, all, placement, error);
}

void paintEnvelopeFace(QPainter& painter, const QRectF& target, const EnvelopeFace& face) {
    if (face.sizeMm.isEmpty()) return;
    const double s = target.width() / face.sizeMm.width();
    const auto onTarget = [&](const QRectF& mm) {
        return QRectF(target.topLeft() + mm.topLeft() * s, mm.size() * s);
    };
    painter.save();
    // The stamp area, kept free.
    if (!face.stampAreaMm.isEmpty()) {
        painter.setPen(QPen(QColor(200, 200, 200), 1, Qt::DashLine));
        painter.drawRect(onTarget(face.stampAreaMm));
    }
    if (!face.picture.isNull() && !face.pictureMm.isEmpty())
        painter.drawImage(onTarget(face.pictureMm), face.picture);
    // Each block's lines from its top, at the block's type scaled like the envelope.
    painter.setPen(Qt::black);
    for (const EnvelopeBlock* block : {&face.sender, &face.senderLine, &face.recipient}) {
        if (block->lines.isEmpty()) continue;
        QFont font = envelopeFont(face.fontFamily, block->pointSize, block->bold);
        font.setPixelSize(std::max(1, qRound(block->pointSize * 25.4 / 72 * s)));
        painter.setFont(font);
        const QFontMetricsF metrics(font);
        const QRectF rect = onTarget(block->rectMm);
        double baseline = rect.top() + metrics.ascent();
        for (const QString& line : block->lines) {
            if (baseline > rect.bottom() + 1) break;
            painter.drawText(QPointF(rect.left(), baseline), line);
            baseline += metrics.lineSpacing();
        }
    }
    painter.restore();
}

}  // namespace bb
