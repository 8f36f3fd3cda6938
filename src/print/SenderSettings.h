// The user's own address, printed as the sender on envelopes: kept in the settings group
// "Absender" as a name, a street, a postcode with the town, and a country.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace bb {

inline const QString kDefaultSenderCountry = QStringLiteral("Deutschland");

struct SenderFields {
    QString name;
    QString street;
    QString place;  // "PLZ Ort"
    QString country = kDefaultSenderCountry;
    friend bool operator==(const SenderFields&, const SenderFields&) = default;
};

// Missing keys give empty lines and the default country.
SenderFields loadSender(const QSettings& settings);
void storeSender(QSettings& settings, const SenderFields& sender);

// The lines printed as the sender's block: name, street and place, each trimmed, the empty
// ones left out. The country is not a line of its own: it decides which recipients are abroad.
QStringList senderLines(const SenderFields& sender);

// True when nothing but the country is filled in.
bool senderIsEmpty(const SenderFields& sender);

}  // namespace bb
