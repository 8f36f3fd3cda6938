// The card-type catalogue "Visiten.dat" in the program folder: int32 signature 64687, int32
// count, then the card types in list order, 112 bytes each in the CardFormat layout.
#pragma once

#include "document/CardFormat.h"

#include <QList>
#include <QString>

namespace bb {

inline constexpr int32_t kCatalogueSignature = 64687;
inline const QString kCatalogueFileName = QStringLiteral("Visiten.dat");

// Reads the catalogue. A missing or unreadable file, or one with another signature, gives an
// empty list. The count is never trusted: when the file holds fewer records than it
// announces, the whole records present are read; a count below 1 gives an empty list.
QList<CardFormat> loadCardTypes(const QString& programFolder);
// The same rules on the bytes of a catalogue file.
QList<CardFormat> cardTypesFromBytes(QByteArrayView bytes);

// Replaces the catalogue whole or not at all; false (and the old file untouched) when it
// cannot be written, with the system's error number in `error` when given.
bool saveCardTypes(const QString& programFolder, const QList<CardFormat>& types,
                   int* error = nullptr);

}  // namespace bb
