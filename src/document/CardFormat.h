// The sheet geometry of a card: margins, pitches, card size and cards per sheet, with the
// name of the card type it came from. 112 bytes on disk, in card files and the catalogue.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

namespace bb {

// Millimetres per inch used for all sheet geometry at rest.
inline constexpr double kNominalMmPerInch = 25.39995;
inline constexpr int kCardFormatSize = 112;
inline constexpr int kTypeNameMax = 50;

struct CardFormat {
    double leftMargin = 0;
    double topMargin = 0;
    double pitchX = 0;
    double pitchY = 0;
    double cardWidth = 200;
    double cardHeight = 150;
    int32_t cardsAcross = 1;
    int32_t cardsDown = 1;
    QString typeName = QStringLiteral("Kein Grußkartentyp");

    // Field-by-field little-endian encoding; the name is Windows-1252, at most 50 bytes.
    QByteArray toBytes() const;
    // The same; `replaced` (when given) is set when a character of the name could not be
    // stored in Windows-1252 and became "?".
    QByteArray toBytes(bool* replaced) const;
    // Decodes 112 bytes. A name length above 50 is cut to 50.
    static CardFormat fromBytes(const char* data112);
    // Decodes the first 112 bytes of `bytes`; nullopt when fewer are given.
    static std::optional<CardFormat> fromBytes(QByteArrayView bytes);

    friend bool operator==(const CardFormat&, const CardFormat&) = default;
};

// The one-line summary for the information panel, e.g.
// "2 x 5 Grußkarten á 90,00 mm x 55,00 mm pro Blatt [Abstände 95,00 mm ; 55,00 mm] [Ränder
// 10,00 mm ; 12,50 mm]". The decimal separator comes from `locale`.
QString cardFormatText(const CardFormat& format, const QLocale& locale);

// Work-area size in document units for a card length in mm: Trunc(3 × mm × 20000 ÷ 25.39995).
int32_t sideUnits(double cardMm);
// The same length in tenths of a millimetre, the unit of shadow distances.
int32_t sideTenthsMm(double cardMm);

}  // namespace bb
