// The address book's entries, its file, the book as an address list and its birthdays; see
// AddressBook.h. Import and export are in AddressExchange.cpp.
#include "merge/AddressBook.h"

#include "document/FolderFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace bb {

namespace {

const QString kFormatKey = QStringLiteral("Format");
const QString kFormatName = QStringLiteral("Brisella-Adressbuch");
const QString kVersionKey = QStringLiteral("Version");
const QString kEntriesKey = QStringLiteral("Einträge");
const QString kTickKey = QStringLiteral("Angekreuzt");
constexpr int kVersion = 1;

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool validDayOfMonth(int day, int month, int year) {
    // Without a year any day some year has is allowed: 2000 is a leap year.
    return QDate(year == 0 ? 2000 : year, month, day).isValid();
}

AddressBookLoad refused(const QString& why) {
    AddressBookLoad load;
    load.error = why;
    return load;
}

// The entry of a stored object; an error text when it does not hold what an entry holds.
QString readEntry(const QJsonObject& object, AddressEntry& entry) {
    const QStringList& names = addressBookFieldNames();
    for (int i = 0; i < kAddressFieldCount; ++i) {
        const QJsonValue value = object.value(names[i]);
        if (value.isUndefined()) continue;
        if (!value.isString()) return QStringLiteral("Das Feld „%1“ ist kein Text.").arg(names[i]);
        const QString text = value.toString();
        if (text.size() > kAddressFieldMaxChars)
            return QStringLiteral("Das Feld „%1“ ist zu lang.").arg(names[i]);
        entry.fields[size_t(i)] = text;
    }
    const QJsonValue tick = object.value(kTickKey);
    if (!tick.isUndefined()) {
        const int year = tick.toInt(-1);
        if (!tick.isDouble() || year < 0 || year > 9999)
            return QStringLiteral("„%1“ ist keine Jahreszahl.").arg(kTickKey);
        entry.tickedYear = year;
    }
    return {};
}

}  // namespace

const QStringList& addressBookFieldNames() {
    static const QStringList names = {
        QStringLiteral("Anrede"),  QStringLiteral("Vorname"),    QStringLiteral("Nachname"),
        QStringLiteral("Firma"),   QStringLiteral("Straße"),     QStringLiteral("PLZ"),
        QStringLiteral("Ort"),     QStringLiteral("Land"),       QStringLiteral("E-Mail"),
        QStringLiteral("Telefon"), QStringLiteral("Geburtstag"), QStringLiteral("Notiz")};
    return names;
}

QString addressBookFieldName(AddressField field) {
    return addressBookFieldNames()[int(field)];
}

std::optional<Birthday> parseBirthday(const QString& text) {
    static const QRegularExpression german(
        QStringLiteral("^([0-9]{1,2})\\.([0-9]{1,2})(?:\\.([0-9]{4})?)?$"));
    static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    static const QRegularExpression isoNoYear(QStringLiteral("^--([0-9]{2})-?([0-9]{2})$"));
    const QString t = text.trimmed();
    Birthday b;
    if (const auto m = german.match(t); m.hasMatch()) {
        b.day = m.capturedView(1).toInt();
        b.month = m.capturedView(2).toInt();
        b.year = m.capturedView(3).toInt();
    } else if (const auto m2 = iso.match(t); m2.hasMatch()) {
        b.year = m2.capturedView(1).toInt();
        b.month = m2.capturedView(2).toInt();
        b.day = m2.capturedView(3).toInt();
    } else if (const auto m3 = isoNoYear.match(t); m3.hasMatch()) {
        b.month = m3.capturedView(1).toInt();
        b.day = m3.capturedView(2).toInt();
    } else {
        return std::nullopt;
    }
    if (!validDayOfMonth(b.day, b.month, b.year)) return std::nullopt;
    return b;
}

QString birthdayText(const Birthday& b) {
    QString text = twoDigits(b.day) + u'.' + twoDigits(b.month) + u'.';
    if (b.year != 0) text += QStringLiteral("%1").arg(b.year, 4, 10, QLatin1Char('0'));
    return text;
}

QString AddressEntry::displayName() const {
    QString name =
        ((*this)[AddressField::Vorname] + u' ' + (*this)[AddressField::Nachname]).trimmed();
    if (!name.isEmpty()) return name;
    if (!(*this)[AddressField::Firma].trimmed().isEmpty())
        return (*this)[AddressField::Firma].trimmed();
    return (*this)[AddressField::EMail].trimmed();
}

// ---- the file ----

QByteArray addressBookBytes(const AddressBook& book) {
    const QStringList& names = addressBookFieldNames();
    QJsonArray entries;
    for (const AddressEntry& e : book.entries) {
        QJsonObject object;
        for (int i = 0; i < kAddressFieldCount; ++i)
            if (!e.fields[size_t(i)].isEmpty()) object.insert(names[i], e.fields[size_t(i)]);
        if (e.tickedYear != 0) object.insert(kTickKey, e.tickedYear);
        entries.append(object);
    }
    QJsonObject root;
    root.insert(kFormatKey, kFormatName);
    root.insert(kVersionKey, kVersion);
    root.insert(kEntriesKey, entries);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

AddressBookLoad readAddressBook(const QByteArray& bytes) {
    if (bytes.size() > kAddressBookMaxBytes)
        return refused(QStringLiteral("Die Datei ist mit %1 MB zu groß für ein Adressbuch.")
                           .arg(bytes.size() / (1024 * 1024)));
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refused(QStringLiteral("Die Datei ist beschädigt (%1 bei Zeichen %2).")
                           .arg(parseError.errorString())
                           .arg(parseError.offset));
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value(kFormatKey).toString() != kFormatName)
        return refused(QStringLiteral("Die Datei ist kein Adressbuch dieses Programms."));
    const int version = root.value(kVersionKey).toInt(0);
    if (version > kVersion)
        return refused(
            QStringLiteral("Das Adressbuch stammt von einer neueren Version des Programms."));
    if (version < 1) return refused(QStringLiteral("Die Datei nennt keine gültige Version."));
    const QJsonValue entriesValue = root.value(kEntriesKey);
    if (!entriesValue.isArray())
        return refused(QStringLiteral("Die Datei ist beschädigt: die Einträge fehlen."));
    const QJsonArray entries = entriesValue.toArray();
    if (entries.size() > kAddressBookMaxEntries)
        return refused(
            QStringLiteral("Das Adressbuch hat mehr als %1 Einträge.").arg(kAddressBookMaxEntries));
    AddressBookLoad load;
    load.book.entries.reserve(size_t(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!entries[i].isObject())
            return refused(QStringLiteral("Eintrag %1 ist beschädigt.").arg(i + 1));
        AddressEntry entry;
        const QString why = readEntry(entries[i].toObject(), entry);
        if (!why.isEmpty())
            return refused(QStringLiteral("Eintrag %1 ist beschädigt: %2").arg(i + 1).arg(why));
        load.book.entries.push_back(std::move(entry));
    }
    return load;
}

AddressBookLoad loadAddressBook(const QString& folder) {
    const QString path = QDir(folder).filePath(kAddressBookFileName);
    switch (folderEntry(folder, kAddressBookFileName)) {
        case FolderEntry::None:
            return {};  // no book yet: an empty one
        case FolderEntry::Other:
            return refused(QStringLiteral("%1 ist keine gewöhnliche Datei.")
                               .arg(QDir::toNativeSeparators(path)));
        case FolderEntry::RegularFile:
            break;
    }
    QFile file(path);
    if (file.size() > kAddressBookMaxBytes)
        return refused(QStringLiteral("Die Datei ist mit %1 MB zu groß für ein Adressbuch.")
                           .arg(file.size() / (1024 * 1024)));
    if (!file.open(QIODevice::ReadOnly))
        return refused(
            QStringLiteral("Die Datei kann nicht gelesen werden: %1").arg(file.errorString()));
    return readAddressBook(file.read(kAddressBookMaxBytes + 1));
}

bool saveAddressBook(const QString& folder, const AddressBook& book, QString* error) {
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.")
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QString why;
    switch (writeFileInFolder(folder, kAddressBookFileName, addressBookBytes(book), true, &why)) {
        case FolderWrite::Written:
            return true;
        case FolderWrite::NameTaken:
            why = QStringLiteral("%1 ist keine gewöhnliche Datei.")
                      .arg(QDir::toNativeSeparators(QDir(folder).filePath(kAddressBookFileName)));
            break;
        case FolderWrite::Failed:
            break;
    }
    if (error) *error = why;
    return false;
}

QString setAsideAddressBook(const QString& folder, QString* error) {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    const QDir dir(folder);
    QString name = QStringLiteral("Adressbuch (beschädigt %1).json").arg(stamp);
    for (int n = 2; dir.exists(name) && n < 100; ++n)
        name = QStringLiteral("Adressbuch (beschädigt %1, %2).json").arg(stamp).arg(n);
    if (!QFile::rename(dir.filePath(kAddressBookFileName), dir.filePath(name))) {
        if (error)
            *error = QStringLiteral("Die Datei %1 kann nicht umbenannt werden.")
                         .arg(QDir::toNativeSeparators(dir.filePath(kAddressBookFileName)));
        return {};
    }
    return dir.filePath(name);
}

// ---- the book as a list ----

bool isAddressBookList(const QString& path) {
    return path == kAddressBookListAll || path == kAddressBookListTicked;
}

std::shared_ptr<const AddressList> addressBookList(const AddressBook& book, bool tickedOnly,
                                                   int year) {
    auto list = std::make_shared<AddressList>();
    list->columns = addressBookFieldNames();
    list->columns.append(QStringLiteral("Name"));
    list->path = tickedOnly ? kAddressBookListTicked : kAddressBookListAll;
    for (const AddressEntry& e : book.entries) {
        if (tickedOnly && !e.tickedIn(year)) continue;
        QStringList row(e.fields.begin(), e.fields.end());
        row.append((e[AddressField::Vorname] + u' ' + e[AddressField::Nachname]).trimmed());
        list->rows.push_back(std::move(row));
    }
    return list;
}

std::shared_ptr<const AddressList> addressBookList(const AddressBook& book, bool tickedOnly) {
    return addressBookList(book, tickedOnly, QDate::currentDate().year());
}

// ---- birthdays ----

std::vector<UpcomingBirthday> upcomingBirthdays(const AddressBook& book, QDate today, int days) {
    std::vector<UpcomingBirthday> out;
    if (!today.isValid() || days < 0) return out;
    const QDate last = today.addDays(days);
    for (int i = 0; i < int(book.entries.size()); ++i) {
        const auto b = parseBirthday(book.entries[size_t(i)][AddressField::Geburtstag]);
        if (!b) continue;
        for (int year = today.year(); year <= last.year(); ++year) {
            QDate date(year, b->month, b->day);
            if (!date.isValid()) date = QDate(year, 2, 28);  // 29 February in another year
            if (date < today || date > last) continue;
            const int age = b->year != 0 && b->year < year ? year - b->year : 0;
            out.push_back({i, date, age});
            break;
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return a.date < b.date; });
    return out;
}

QString upcomingBirthdaysText(const AddressBook& book, const std::vector<UpcomingBirthday>& list,
                              QDate today) {
    static const std::array<QString, 7> weekdays = {
        QStringLiteral("Mo"), QStringLiteral("Di"), QStringLiteral("Mi"), QStringLiteral("Do"),
        QStringLiteral("Fr"), QStringLiteral("Sa"), QStringLiteral("So")};
    QStringList lines;
    for (const UpcomingBirthday& b : list) {
        if (b.entry < 0 || b.entry >= int(book.entries.size())) continue;
        QString when;
        if (b.date == today)
            when = QStringLiteral("heute");
        else if (b.date == today.addDays(1))
            when = QStringLiteral("morgen");
        else
            when = weekdays[size_t(b.date.dayOfWeek() - 1)] + u' ' + twoDigits(b.date.day()) +
                   u'.' + twoDigits(b.date.month()) + u'.';
        QString line = when + QStringLiteral(": ") + book.entries[size_t(b.entry)].displayName();
        if (b.age > 0) line += QStringLiteral(" (%1)").arg(b.age);
        lines.append(line);
    }
    return lines.join(u'\n');
}

}  // namespace bb
