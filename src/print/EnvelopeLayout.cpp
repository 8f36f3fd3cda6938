// The address side of an envelope; see EnvelopeLayout.h.
#include "print/EnvelopeLayout.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "print/Envelopes.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// Deutsche Post's zones of a letter's address side.
constexpr double kStampWidthMm = 74;
constexpr double kStampHeightMm = 40;
constexpr double kReadingTopMm = 40;    // the reading zone starts below the stamp area
constexpr double kCodeZoneMm = 15;      // kept free at the bottom for the post's codes
constexpr double kReadingSideMm = 15;   // the address keeps this far from both sides
constexpr double kAddressWidthMm = 90;  // room given to the address block
constexpr double kAddressHeightMm = 45;
constexpr double kAboveCodeZoneMm = 5;  // the block ends this far above the code zone
// The sender block in the upper left, beside the stamp area.
constexpr double kSenderLeftMm = 10;
constexpr double kSenderTopMm = 8;
constexpr double kSenderWidthMm = 80;
constexpr double kSenderGapMm = 4;  // between the sender block and the reading zone
// DIN 5008's address field and its two zones; the text starts 5 mm inside the field.
constexpr double kFieldWidthMm = 85;
constexpr double kNoteZoneMm = 17.7;
constexpr double kAddressZoneMm = 27.3;
constexpr double kFieldIndentMm = 5;
// A picture keeps 20 mm to the left of the address (Deutsche Post) and is at most this big.
constexpr double kPictureMaxMm = 25;
constexpr double kPictureMinMm = 10;
constexpr double kPictureGapMm = 20;
constexpr double kPictureEdgeMm = 10;

constexpr double kMeasureDpi = 1200;
constexpr double kSlackMm = 0.01;
constexpr qint64 kSenderFileMaxBytes = 64 * 1024;

// Fonts are measured at a fixed high resolution, as the PDF and printers draw them.
const QImage& measureDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kMeasureDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kMeasureDpi / 0.0254));
        return image;
    }();
    return device;
}

constexpr double pxToMm(double px) {
    return px * 25.4 / kMeasureDpi;
}
constexpr double mmToPx(double mm) {
    return mm * kMeasureDpi / 25.4;
}

QString escapeBraces(QString text) {
    text.replace(QLatin1Char('{'), QStringLiteral("{{"));
    text.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return text;
}

// A country name as compared: case-folded, blanks and dots dropped, known names and codes of
// the same country made one.
QString countryKey(const QString& name) {
    QString key = name.toCaseFolded();
    key.remove(QLatin1Char('.'));
    key = key.simplified();
    if (key.isEmpty()) return QStringLiteral("de");
    static const QStringList germany = {QStringLiteral("deutschland"),
                                        QStringLiteral("germany"),
                                        QStringLiteral("de"),
                                        QStringLiteral("d"),
                                        QStringLiteral("deu"),
                                        QStringLiteral("brd"),
                                        QStringLiteral("bundesrepublik deutschland"),
                                        QStringLiteral("allemagne")};
    static const QStringList austria = {QStringLiteral("österreich"), QStringLiteral("oesterreich"),
                                        QStringLiteral("austria"),    QStringLiteral("at"),
                                        QStringLiteral("a"),          QStringLiteral("aut"),
                                        QStringLiteral("autriche")};
    static const QStringList switzerland = {
        QStringLiteral("schweiz"), QStringLiteral("switzerland"), QStringLiteral("ch"),
        QStringLiteral("che"),     QStringLiteral("suisse"),      QStringLiteral("svizzera")};
    if (germany.contains(key)) return QStringLiteral("de");
    if (austria.contains(key)) return QStringLiteral("at");
    if (switzerland.contains(key)) return QStringLiteral("ch");
    return key;
}

// The lines fitted into `rect`: the type shrinks by half points down to `minPt`; what still
// does not fit loses its first lines (a salutation before the name, never the town) and
// over-long lines are cut, each with a warning naming `what`.
EnvelopeBlock fitBlock(QStringList lines, const QRectF& rect, const QString& family, double pt,
                       double minPt, QStringList& warnings, const QString& what) {
    EnvelopeBlock block;
    block.rectMm = rect;
    minPt = std::min(minPt, pt);
    for (double p = pt;; p = std::max(minPt, p - 0.5)) {
        // One metrics object per size: making one looks the font up again.
        const QFontMetricsF metrics(envelopeFont(family, p, false), &measureDevice());
        const double spacing = pxToMm(metrics.lineSpacing());
        const auto width = [&metrics](const QString& line) {
            return pxToMm(metrics.horizontalAdvance(line));
        };
        double widest = 0;
        for (const QString& line : lines) widest = std::max(widest, width(line));
        const bool fits = double(lines.size()) * spacing <= rect.height() + kSlackMm &&
                          widest <= rect.width() + kSlackMm;
        if (fits || p <= minPt) {
            block.pointSize = p;
            if (fits) break;
            const int room = std::max(0, int(std::floor((rect.height() + kSlackMm) / spacing)));
            if (room < lines.size()) {
                warnings << QStringLiteral("%1: %2 von %3 Zeilen passen nicht hinein und fehlen")
                                .arg(what)
                                .arg(lines.size() - room)
                                .arg(lines.size());
                lines = lines.mid(lines.size() - room);
            }
            for (QString& line : lines) {
                if (width(line) <= rect.width() + kSlackMm) continue;
                line = metrics.elidedText(line, Qt::ElideRight, mmToPx(rect.width()));
                warnings
                    << QStringLiteral("%1: eine Zeile ist zu lang und wurde gekürzt").arg(what);
            }
            break;
        }
    }
    block.lines = lines;
    return block;
}

// The largest picture rectangle of the picture's shape inside a square of `side` at `topLeft`.
QRectF pictureRect(const QImage& picture, QPointF topLeft, double side) {
    const QSizeF shape = QSizeF(picture.size()).scaled(side, side, Qt::KeepAspectRatio);
    return {topLeft + QPointF(0, side - shape.height()), shape};
}

}  // namespace

SenderAddress parseSenderText(const QString& text) {
    static const QRegularExpression countryLine(QStringLiteral("^land\\s*:\\s*(.*)$"),
                                                QRegularExpression::CaseInsensitiveOption);
    SenderAddress sender;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.simplified();
        if (line.isEmpty()) continue;
        if (const QRegularExpressionMatch m = countryLine.match(line); m.hasMatch())
            sender.country = m.captured(1).trimmed();
        else
            sender.lines << line;
    }
    return sender;
}

SenderAddress readSenderFile(const QString& path, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) *error = why;
        return SenderAddress();
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Die Absenderdatei \"%1\" lässt sich nicht lesen: %2")
                        .arg(path, file.errorString()));
    if (file.size() > kSenderFileMaxBytes)
        return fail(
            QStringLiteral("Die Absenderdatei \"%1\" ist zu groß für eine Anschrift.").arg(path));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError())
        return fail(
            QStringLiteral("Die Absenderdatei \"%1\" ist keine UTF-8-Textdatei.").arg(path));
    SenderAddress sender = parseSenderText(text);
    if (sender.lines.isEmpty())
        return fail(QStringLiteral("Die Absenderdatei \"%1\" enthält keine Zeile.").arg(path));
    if (error) error->clear();
    return sender;
}

bool sameCountry(const QString& a, const QString& b) {
    return countryKey(a) == countryKey(b);
}

QString templateForList(const QString& tmpl, const AddressList& list) {
    QString out;
    for (const TextPiece& piece : splitFields(tmpl)) {
        if (!piece.field)
            out += escapeBraces(piece.text);
        else if (list.columnOf(piece.text) >= 0)
            out += QLatin1Char('{') + piece.text + QLatin1Char('}');
    }
    return out;
}

QStringList recipientLines(const QString& tmpl, const FieldFiller& filler, const QStringList& row,
                           const QString& senderCountry) {
    static const QString landField = QStringLiteral("{Land}");
    QString country = filler.fill(landField, row);
    if (country == landField) country.clear();  // the list has no such column
    country = country.simplified();
    const bool abroad = !country.isEmpty() && !sameCountry(country, senderCountry);
    const QString landKey = fieldKey(QStringLiteral("Land"));

    QString filledTemplate;
    for (const TextPiece& piece : splitFields(tmpl)) {
        if (!piece.field)
            filledTemplate += escapeBraces(piece.text);
        else if (fieldKey(piece.text) == landKey)
            filledTemplate += abroad ? escapeBraces(country.toUpper()) : QString();
        else
            filledTemplate += QLatin1Char('{') + piece.text + QLatin1Char('}');
    }
    QString filled = filler.fill(filledTemplate, row);
    filled.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines;
    for (const QString& line : filled.split(QLatin1Char('\n'))) {
        const QString closed = line.simplified();
        if (!closed.isEmpty()) lines << closed;
    }
    return lines;
}

QFont envelopeFont(const QString& family, double pointSize, bool bold) {
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

double lineSpacingMm(const QFont& font) {
    return pxToMm(QFontMetricsF(font, &measureDevice()).lineSpacing());
}

double textWidthMm(const QFont& font, const QString& text) {
    return pxToMm(QFontMetricsF(font, &measureDevice()).horizontalAdvance(text));
}

namespace {

const QString kRecipientWhat = QStringLiteral("Anschrift");
const QString kSenderWhat = QStringLiteral("Absender");

// A window envelope: the address field of the letter lies in the window, flush with its
// upper left; the sender line at the foot of the note zone, directly above the address.
void layOutWindow(EnvelopeFace& face, const QRectF& window, const SenderAddress& sender,
                  const QStringList& recipientLines, const EnvelopeStyle& style) {
    const double w = face.sizeMm.width();
    const double h = face.sizeMm.height();
    const QRectF field(window.topLeft(), QSizeF(kFieldWidthMm, kNoteZoneMm + kAddressZoneMm));
    const double textLeft = field.left() + kFieldIndentMm;
    const double textWidth = field.width() - kFieldIndentMm;
    face.recipient = fitBlock(
        recipientLines, QRectF(textLeft, field.top() + kNoteZoneMm, textWidth, kAddressZoneMm),
        style.fontFamily, style.recipientPt, style.minRecipientPt, face.warnings, kRecipientWhat);
    if (!sender.lines.isEmpty()) {
        const QRectF zone(textLeft, field.top(), textWidth, kNoteZoneMm);
        EnvelopeBlock line =
            fitBlock({sender.lines.join(QStringLiteral(", "))}, zone, style.fontFamily,
                     style.senderLinePt, style.minSenderPt, face.warnings, kSenderWhat);
        const double spacing = lineSpacingMm(envelopeFont(style.fontFamily, line.pointSize, false));
        line.rectMm = QRectF(textLeft, zone.bottom() - spacing, textWidth, spacing);
        face.senderLine = line;
    }
    if (!style.picture.isNull()) {
        // Right of the window, 20 mm away from it, above the code zone.
        const double left = window.right() + kPictureGapMm;
        const double side =
            std::min({kPictureMaxMm, w - kPictureEdgeMm - left, h - kCodeZoneMm - kStampHeightMm});
        if (side >= kPictureMinMm)
            face.pictureMm =
                pictureRect(style.picture, QPointF(left, h - kCodeZoneMm - side), side);
    }
}

// An envelope without window: the sender block in the upper left, the address in the lower
// right of the reading zone (German) or centred.
void layOutPlain(EnvelopeFace& face, bool german, const SenderAddress& sender,
                 const QStringList& recipientLines, const EnvelopeStyle& style) {
    const double w = face.sizeMm.width();
    const double h = face.sizeMm.height();
    const QRectF senderRect(kSenderLeftMm, kSenderTopMm,
                            std::min(kSenderWidthMm, w - kStampWidthMm - 2 * kSenderLeftMm),
                            kReadingTopMm - kSenderTopMm - kSenderGapMm);
    face.sender = sender.lines.isEmpty()
                      ? EnvelopeBlock{senderRect, {}, style.senderPt, false}
                      : fitBlock(sender.lines, senderRect, style.fontFamily, style.senderPt,
                                 style.minSenderPt, face.warnings, kSenderWhat);

    const QRectF reading(kReadingSideMm, kReadingTopMm, w - 2 * kReadingSideMm,
                         h - kReadingTopMm - kCodeZoneMm);
    if (german) {
        // Lower right of the reading zone, ending a little above the code zone.
        const double width = std::min(kAddressWidthMm, reading.width());
        const double height = std::min(kAddressHeightMm, reading.height() - kAboveCodeZoneMm);
        face.recipient =
            fitBlock(recipientLines,
                     QRectF(reading.right() - width, reading.bottom() - kAboveCodeZoneMm - height,
                            width, height),
                     style.fontFamily, style.recipientPt, style.minRecipientPt, face.warnings,
                     kRecipientWhat);
    } else {
        // Fitted into the reading zone, then centred on the envelope as far as it allows.
        EnvelopeBlock block = fitBlock(recipientLines, reading, style.fontFamily, style.recipientPt,
                                       style.minRecipientPt, face.warnings, kRecipientWhat);
        const QFont font = envelopeFont(style.fontFamily, block.pointSize, false);
        double width = 0;
        for (const QString& line : block.lines) width = std::max(width, textWidthMm(font, line));
        width = std::min(width, reading.width());
        const double height =
            std::min(double(block.lines.size()) * lineSpacingMm(font), reading.height());
        const double x = std::clamp((w - width) / 2, reading.left(), reading.right() - width);
        const double y = std::clamp((h - height) / 2, reading.top(), reading.bottom() - height);
        block.rectMm = QRectF(x, y, width, height);
        face.recipient = block;
    }
    if (!style.picture.isNull()) {
        // Lower left, 20 mm left of the address, above the code zone, below the sender.
        const double side =
            std::min({kPictureMaxMm, face.recipient.rectMm.left() - kPictureGapMm - kPictureEdgeMm,
                      h - kCodeZoneMm - senderRect.bottom() - kSenderGapMm});
        if (side >= kPictureMinMm)
            face.pictureMm =
                pictureRect(style.picture, QPointF(kPictureEdgeMm, h - kCodeZoneMm - side), side);
    }
}

}  // namespace

EnvelopeFace envelopeFace(const EnvelopeSize& size, bool window, const SenderAddress& sender,
                          const QStringList& recipientLines, const EnvelopeStyle& style) {
    EnvelopeFace face;
    face.sizeMm = size.sizeMm;
    face.fontFamily = style.fontFamily;
    face.stampAreaMm =
        QRectF(size.sizeMm.width() - kStampWidthMm, 0, kStampWidthMm, kStampHeightMm);
    if (window && size.windowMm)
        layOutWindow(face, *size.windowMm, sender, recipientLines, style);
    else
        layOutPlain(face, size.german, sender, recipientLines, style);
    if (!style.picture.isNull()) {
        if (face.pictureMm.isEmpty())
            face.warnings << QStringLiteral("Für das Bild ist auf diesem Umschlag kein Platz.");
        else
            face.picture = style.picture;
    }
    return face;
}

}  // namespace bb
