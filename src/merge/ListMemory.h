// Which address list belongs to which card: kept in the user's settings (group
// "Serienkarten"), never in the card file, since a list holds other people's addresses and
// its place differs from machine to machine. Cards are known by their file's absolute path.
#pragma once

#include <QString>

class QSettings;

namespace bb {

// At most this many cards are remembered; the one used longest ago goes first.
inline constexpr int kRememberedListsMax = 100;

// The list remembered for `cardPath`; empty when there is none.
QString rememberedList(QSettings& settings, const QString& cardPath);
// Remembers `listPath` for `cardPath` (both made absolute; the address book's markers of
// AddressBook.h stay as they are), as the most recent entry.
void rememberList(QSettings& settings, const QString& cardPath, const QString& listPath);
void forgetList(QSettings& settings, const QString& cardPath);

}  // namespace bb
