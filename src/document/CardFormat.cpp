#include "document/CardFormat.h"

#include "document/ByteIO.h"
#include "document/Cp1252.h"
#include "document/Trunc.h"

#include <QLocale>

#include <cmath>

namespace bb {

QByteArray CardFormat::toBytes() const {
    return toBytes(nullptr);
}

QByteArray CardFormat::toBytes(bool* replaced) const {
    QByteArray out;
    out.reserve(kCardFormatSize);
    ByteWriter w(out);
    w.f64(leftMargin);
    w.f64(topMargin);
    w.f64(pitchX);
    w.f64(pitchY);
    w.f64(cardWidth);
    w.f64(cardHeight);
    w.i32(cardsAcross);
    w.i32(cardsDown);
    const QByteArray name = toCp1252(typeName, replaced).left(kTypeNameMax);
    w.u8(static_cast<uint8_t>(name.size()));
    w.bytes(name);
    w.zeros(kCardFormatSize - out.size());
    return out;
}

CardFormat CardFormat::fromBytes(const char* data112) {
    return *fromBytes(QByteArrayView(data112, kCardFormatSize));
}

std::optional<CardFormat> CardFormat::fromBytes(QByteArrayView bytes) {
    if (bytes.size() < kCardFormatSize) return std::nullopt;
    ByteReader r(bytes.first(kCardFormatSize));
    CardFormat f;
    f.leftMargin = r.f64();
    f.topMargin = r.f64();
    f.pitchX = r.f64();
    f.pitchY = r.f64();
    f.cardWidth = r.f64();
    f.cardHeight = r.f64();
    f.cardsAcross = r.i32();
    f.cardsDown = r.i32();
    const int len = qMin<int>(r.u8(), kTypeNameMax);
    f.typeName = fromCp1252(r.bytes(len));
    return f;
}

namespace {

// Fixed-point with two decimals after rounding to 7 significant digits, without group
// separators; the decimal separator is the locale's.
QString mmText(double v, const QLocale& locale) {
    if (!std::isfinite(v)) return locale.toString(v);
    const double rounded = QString::number(v, 'g', 7).toDouble();
    if (std::fabs(rounded) >= 1e7) return locale.toString(rounded, 'E', 6);
    return locale.toString(rounded, 'f', 2);
}

}  // namespace

QString cardFormatText(const CardFormat& format, const QLocale& baseLocale) {
    QLocale locale = baseLocale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto mm = [&](double v) { return mmText(v, locale); };
    return QString::number(format.cardsAcross) + QStringLiteral(" x ") +
           QString::number(format.cardsDown) + QStringLiteral(" Grußkarten á ") +
           mm(format.cardWidth) + QStringLiteral(" mm x ") + mm(format.cardHeight) +
           QStringLiteral(" mm pro Blatt [Abstände ") + mm(format.pitchX) +
           QStringLiteral(" mm ; ") + mm(format.pitchY) + QStringLiteral(" mm] [Ränder ") +
           mm(format.leftMargin) + QStringLiteral(" mm ; ") + mm(format.topMargin) +
           QStringLiteral(" mm]");
}

int32_t sideUnits(double cardMm) {
    return truncInt32(3.0L * cardMm * 20000.0L / static_cast<long double>(kNominalMmPerInch));
}

int32_t sideTenthsMm(double cardMm) {
    return truncInt32(3.0L * cardMm * 10.0L);
}

}  // namespace bb
