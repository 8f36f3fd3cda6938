// Drawing envelopes; see EnvelopePrint.h.
#include "print/EnvelopePrint.h"

#include "document/FileErrors.h"
#include "pictures/AtomicWrite.h"
#include "print/PrinterTarget.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <cerrno>
#include <cmath>

namespace bb {

namespace {

constexpr int kEnvelopePdfResolution = 1200;

QSizeF firstFaceSize(const std::vector<EnvelopeFace>& faces) {
    return faces.empty() ? QSizeF() : faces.front().sizeMm;
}

// The page layout of the placement: the paper in portrait turned to landscape where the
// placement says so, no margins.
QPageLayout pageLayoutFor(const EnvelopePlacement& placement, const QSizeF& envelopeMm) {
    const EnvelopePlacement p =
        placement.paperMm.isEmpty() ? envelopeAsPaper(envelopeMm) : placement;
    const QSizeF portrait = p.landscape ? p.paperMm.transposed() : p.paperMm;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       p.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

// Gives the device the placement's paper and orientation. The margins go to zero where the
// device allows; a printer may keep its own, which does not move anything, since a printer is
// drawn on from the paper's corner (full page). False when the paper size is refused.
bool usePaper(QPagedPaintDevice& device, const EnvelopePlacement& placement,
              const QSizeF& envelopeMm) {
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) printer->setFullPage(true);
    const QPageLayout layout = pageLayoutFor(placement, envelopeMm);
    if (!device.setPageSize(layout.pageSize())) return false;
    device.setPageOrientation(layout.orientation());
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    return true;
}

// Draws the lines of `block` as text, each line placed on its own: the painter's transform
// takes the line's upper left corner on the envelope to device pixels, turned as the
// envelope lies on the paper, at the font's own size (a scaled painter would scale the type).
void drawBlock(QPainter& painter, const EnvelopeBlock& block, const QString& family,
               const QTransform& envelopeToDevice) {
    if (block.lines.isEmpty()) return;
    const QFont font = envelopeFont(family, block.pointSize, block.bold);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double spacing = lineSpacingMm(font);
    const QTransform turn(envelopeToDevice.m11(), envelopeToDevice.m12(), envelopeToDevice.m21(),
                          envelopeToDevice.m22(), 0, 0);
    const double scale = std::hypot(turn.m11(), turn.m12());
    const QTransform unitTurn =
        scale > 0 ? turn * QTransform::fromScale(1 / scale, 1 / scale) : QTransform();
    for (int i = 0; i < block.lines.size(); ++i) {
        const QPointF topLeft(block.rectMm.left(), block.rectMm.top() + i * spacing);
        const QPointF at = envelopeToDevice.map(topLeft);
        painter.setTransform(unitTurn * QTransform::fromTranslate(at.x(), at.y()));
        painter.drawText(QPointF(0, metrics.ascent()), block.lines[i]);
    }
    painter.resetTransform();
}

void drawFace(QPainter& painter, const EnvelopeFace& face, const QTransform& envelopeToDevice) {
    const QString& family = face.fontFamily;
    painter.setPen(Qt::black);
    if (!face.picture.isNull() && !face.pictureMm.isEmpty()) {
        painter.setTransform(envelopeToDevice);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(face.pictureMm, face.picture);
        painter.resetTransform();
    }
    drawBlock(painter, face.sender, family, envelopeToDevice);
    drawBlock(painter, face.senderLine, family, envelopeToDevice);
    drawBlock(painter, face.recipient, family, envelopeToDevice);
}

QString pdfFailure(const QString& path, int error) {
    QString text = QStringLiteral("Die PDF-Datei \"%1\" konnte nicht geschrieben werden.")
                       .arg(QDir::toNativeSeparators(path));
    if (error != 0) text += QLatin1Char('\n') + fileErrorReason(error);
    return text;
}

}  // namespace

EnvelopePlacement envelopeAsPaper(const QSizeF& envelopeMm) {
    return {envelopeMm, QTransform(), envelopeMm.width() > envelopeMm.height()};
}

bool paintEnvelopes(QPagedPaintDevice& device, const std::vector<EnvelopeFace>& faces,
                    const EnvelopePlacement& placement, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (faces.empty()) return fail(QStringLiteral("Es gibt keinen Umschlag zu drucken."));
    if (!usePaper(device, placement, firstFaceSize(faces)))
        return fail(QStringLiteral("Der Drucker nimmt das Papierformat des Umschlags nicht an."));
    QPainter painter;
    if (!painter.begin(&device))
        return fail(QStringLiteral("Der Druck konnte nicht begonnen werden."));
    const double pxPerMm = device.logicalDpiX() / 25.4;
    const QTransform envelopeToDevice =
        (placement.paperMm.isEmpty() ? QTransform() : placement.envelopeToPaperMm) *
        QTransform::fromScale(pxPerMm, device.logicalDpiY() / 25.4);
    for (size_t i = 0; i < faces.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return fail(QStringLiteral("Der Drucker hat keine neue Seite angenommen."));
        }
        drawFace(painter, faces[i], envelopeToDevice);
    }
    if (!painter.end())
        return fail(QStringLiteral("Der Druckauftrag konnte nicht abgeschlossen werden."));
    return true;
}

namespace {

// Draws the faces as PDF onto `device` (a buffer or a file).
bool writePdfTo(QIODevice& device, const std::vector<EnvelopeFace>& faces,
                const EnvelopePlacement& placement, QString* error) {
    QPdfWriter writer(&device);
    writer.setResolution(kEnvelopePdfResolution);
    writer.setTitle(kEnvelopeJobTitle);
    writer.setCreator(QStringLiteral("Brisella-Bildwerker"));
    return paintEnvelopes(writer, faces, placement, error);
}

}  // namespace

QByteArray envelopePdf(const std::vector<EnvelopeFace>& faces, const EnvelopePlacement& placement,
                       QString* error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writePdfTo(buffer, faces, placement, error)) return {};
    buffer.close();
    return buffer.data();
}

bool writeEnvelopePdf(const QString& path, const std::vector<EnvelopeFace>& faces,
                      const EnvelopePlacement& placement, QString* error, int* errorNumber) {
    if (errorNumber) *errorNumber = 0;
    const auto failed = [&](int number) {
        if (errorNumber) *errorNumber = number;
        if (error) *error = pdfFailure(path, number);
        return false;
    };
    // Written into a temporary file beside the target, which replaces it only when whole.
    PendingFile pending(path);
    if (!pending.isReady()) return failed(pending.error());
    {
        QFile file(pending.temporaryPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return failed(EIO);
        if (!writePdfTo(file, faces, placement, error)) return false;
        file.close();
        if (file.error() != QFileDevice::NoError) return failed(EIO);
    }
    const WriteOutcome outcome =
        pending.commit([](QIODevice& written) { return looksLikeCompletePdf(written); });
    return outcome.ok || failed(outcome.error);
}

void useEnvelopePaper(PrinterTarget& target, const std::vector<EnvelopeFace>& faces,
                      const EnvelopePlacement& placement) {
    QPrinter& printer = target.printer();
    usePaper(printer, placement, firstFaceSize(faces));
    printer.setDocName(kEnvelopeJobTitle);
}

PrintRunResult printEnvelopes(PrinterTarget& target, const std::vector<EnvelopeFace>& faces,
                              const EnvelopePlacement& placement) {
    PrintRunResult result;
    QPrinter& printer = target.printer();
    if (target.isPdf()) {
        // Written whole or not at all, as every PDF of the program.
        result.ok = writeEnvelopePdf(printer.outputFileName(), faces, placement, &result.error);
    } else {
        useEnvelopePaper(target, faces, placement);
        result.ok = paintEnvelopes(printer, faces, placement, &result.error);
    }
    if (result.ok) result.pages = int(faces.size());
    return result;
}

}  // namespace bb
