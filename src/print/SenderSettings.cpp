// The sender's address in the settings; see SenderSettings.h.
#include "print/SenderSettings.h"

#include <QSettings>

namespace bb {

namespace {

const char* const kNameKey = "Absender/Name";
const char* const kStreetKey = "Absender/Strasse";
const char* const kPlaceKey = "Absender/PlzOrt";
const char* const kCountryKey = "Absender/Land";

// One line of the block: a value pasted with line breaks stays on its line.
QString oneLine(const QString& value) {
    return value.simplified();
}

}  // namespace

SenderFields loadSender(const QSettings& settings) {
    SenderFields s;
    s.name = oneLine(settings.value(QLatin1String(kNameKey)).toString());
    s.street = oneLine(settings.value(QLatin1String(kStreetKey)).toString());
    s.place = oneLine(settings.value(QLatin1String(kPlaceKey)).toString());
    s.country =
        oneLine(settings.value(QLatin1String(kCountryKey), kDefaultSenderCountry).toString());
    return s;
}

void storeSender(QSettings& settings, const SenderFields& sender) {
    settings.setValue(QLatin1String(kNameKey), oneLine(sender.name));
    settings.setValue(QLatin1String(kStreetKey), oneLine(sender.street));
    settings.setValue(QLatin1String(kPlaceKey), oneLine(sender.place));
    settings.setValue(QLatin1String(kCountryKey), oneLine(sender.country));
}

QStringList senderLines(const SenderFields& sender) {
    QStringList lines;
    for (const QString& value : {sender.name, sender.street, sender.place})
        if (const QString line = oneLine(value); !line.isEmpty()) lines << line;
    return lines;
}

bool senderIsEmpty(const SenderFields& sender) {
    return senderLines(sender).isEmpty();
}

}  // namespace bb
