// The address book's import and export: CSV in UTF-8 or Windows-1252 and vCard 3.0 and 4.0;
// see AddressBook.h. Reading goes through the address list readers, so a file imports as it
// would read as a card's list.
#include "merge/AddressBook.h"
#include "merge/ColumnMapping.h"
#include "merge/MergeFields.h"

#include "document/Cp1252.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <utility>

namespace bb {

namespace {

const QString kTickColumn = QStringLiteral("Dieses Jahr");

// ---- CSV ----

QString csvCell(const QString& text) {
    const bool quote = text.contains(u';') || text.contains(u'"') || text.contains(u'\n') ||
                       text.contains(u'\r') || text.trimmed().size() != text.size();
    if (!quote) return text;
    QString cell = text;
    cell.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    cell.replace(u'\r', u'\n');
    cell.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + cell + u'"';
}

QString csvText(const std::vector<AddressEntry>& entries) {
    QStringList header = addressBookFieldNames();
    header.append(kTickColumn);
    QString text = header.join(u';') + QStringLiteral("\r\n");
    for (const AddressEntry& e : entries) {
        QStringList cells;
        for (const QString& field : e.fields) cells.append(csvCell(field));
        cells.append(e.tickedYear != 0 ? QString::number(e.tickedYear) : QString());
        text += cells.join(u';') + QStringLiteral("\r\n");
    }
    return text;
}

// The characters of `text` Windows-1252 cannot hold, each once.
QString lostInCp1252(const QString& text) {
    bool any = false;
    toCp1252(text, &any);
    if (!any) return {};
    QString lost;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, n);
        bool replaced = false;
        toCp1252(one, &replaced);
        if (replaced && !lost.contains(one)) lost += one;
        i += n - 1;
    }
    return lost;
}

// Names each entry that holds characters Windows-1252 lacks, with the field and characters;
// empty when all fit.
QString cp1252Losses(const std::vector<AddressEntry>& entries) {
    constexpr int kNamed = 10;
    QStringList lines;
    int more = 0;
    for (const AddressEntry& e : entries) {
        QStringList parts;
        for (int f = 0; f < kAddressFieldCount; ++f) {
            const QString lost = lostInCp1252(e.fields[size_t(f)]);
            if (!lost.isEmpty())
                parts.append(QStringLiteral("%1 („%2“)").arg(addressBookFieldNames()[f], lost));
        }
        if (parts.isEmpty()) continue;
        if (lines.size() == kNamed) {
            ++more;
            continue;
        }
        const QString name = e.displayName();
        lines.append(
            QStringLiteral("%1: %2").arg(name.isEmpty() ? QStringLiteral("(ohne Namen)") : name,
                                         parts.join(QStringLiteral(", "))));
    }
    if (lines.isEmpty()) return {};
    if (more > 0) lines.append(QStringLiteral("… und %1 weitere").arg(more));
    return QStringLiteral(
               "Windows-1252 kann nicht alle Zeichen aufnehmen, daher wurde nichts exportiert. "
               "Diese Einträge würden Zeichen verlieren:\n%1\n"
               "Als „CSV UTF-8“ exportiert bleiben alle Zeichen erhalten.")
        .arg(lines.join(u'\n'));
}

// ---- vCard ----

QString vcardEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

// A content line folded so that no line passes 75 octets: a continuation line starts with a
// space, and a character's UTF-8 bytes are never split.
QByteArray folded(const QString& line) {
    constexpr qsizetype kMax = 75;
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    bool first = true;
    while (start < bytes.size()) {
        const qsizetype room = first ? kMax : kMax - 1;
        qsizetype end = std::min(bytes.size(), start + room);
        while (end < bytes.size() && end > start + 1 && (uchar(bytes[end]) & 0xC0) == 0x80) --end;
        if (!first) out += ' ';
        out += bytes.mid(start, end - start);
        out += "\r\n";
        start = end;
        first = false;
    }
    if (bytes.isEmpty()) out += "\r\n";
    return out;
}

QString bdayLine(const QString& written, bool v4) {
    const auto b = parseBirthday(written);
    if (!b) return QStringLiteral("BDAY;VALUE=text:") + vcardEscape(written);
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (b->year == 0)
        return QStringLiteral("BDAY:--") + two(b->month) + (v4 ? QString() : QStringLiteral("-")) +
               two(b->day);
    const QString year = QStringLiteral("%1").arg(b->year, 4, 10, QLatin1Char('0'));
    return v4 ? QStringLiteral("BDAY:%1%2%3").arg(year, two(b->month), two(b->day))
              : QStringLiteral("BDAY:%1-%2-%3").arg(year, two(b->month), two(b->day));
}

QByteArray vcardBytes(const std::vector<AddressEntry>& entries, bool v4) {
    using F = AddressField;
    QByteArray out;
    for (const AddressEntry& e : entries) {
        const auto esc = [&e](F f) { return vcardEscape(e[f]); };
        QStringList lines;
        lines << QStringLiteral("BEGIN:VCARD")
              << (v4 ? QStringLiteral("VERSION:4.0") : QStringLiteral("VERSION:3.0"));
        lines << QStringLiteral("N:%1;%2;;%3;")
                     .arg(esc(F::Nachname), esc(F::Vorname), esc(F::Anrede));
        QString fn = (e[F::Vorname] + u' ' + e[F::Nachname]).trimmed();
        if (fn.isEmpty()) fn = e[F::Firma];
        lines << QStringLiteral("FN:") + vcardEscape(fn);
        if (!e[F::Firma].isEmpty()) lines << QStringLiteral("ORG:") + esc(F::Firma);
        if (!e[F::Strasse].isEmpty() || !e[F::Plz].isEmpty() || !e[F::Ort].isEmpty() ||
            !e[F::Land].isEmpty())
            lines << QStringLiteral("ADR;TYPE=home:;;%1;%2;;%3;%4")
                         .arg(esc(F::Strasse), esc(F::Ort), esc(F::Plz), esc(F::Land));
        if (!e[F::Telefon].isEmpty())
            lines << (v4 ? QStringLiteral("TEL;VALUE=text:") : QStringLiteral("TEL:")) +
                         esc(F::Telefon);
        if (!e[F::EMail].isEmpty()) lines << QStringLiteral("EMAIL:") + esc(F::EMail);
        if (!e[F::Geburtstag].isEmpty()) lines << bdayLine(e[F::Geburtstag], v4);
        if (!e[F::Notiz].isEmpty()) lines << QStringLiteral("NOTE:") + esc(F::Notiz);
        lines << QStringLiteral("END:VCARD");
        for (const QString& line : lines) out += folded(line);
    }
    return out;
}

// ---- import ----

AddressImport importList(const AddressListResult& read) {
    AddressImport result;
    if (!read.ok()) {
        result.error = read.error;
        return result;
    }
    const AddressList& list = *read.list;
    result.warnings = list.warnings;

    // Each field takes the column of its usual German or English name, as a merge guesses it;
    // a column serves one field. A bare "Name" is no last name here: it names whom nothing
    // else names (below).
    const ColumnMapping guess = guessMapping(list, addressBookFieldNames());
    std::vector<int> columnOf(kAddressFieldCount, -1);
    QSet<int> used;
    for (int f = 0; f < kAddressFieldCount; ++f) {
        const QString column = guess.columnOf(addressBookFieldNames()[f]);
        if (column.isEmpty() || (f == int(AddressField::Nachname) &&
                                 fieldKey(column) == fieldKey(QStringLiteral("Name"))))
            continue;
        columnOf[size_t(f)] = list.columnOf(column);
        if (columnOf[size_t(f)] >= 0) used.insert(columnOf[size_t(f)]);
    }
    const int tickColumn = list.columnOf(kTickColumn);
    if (tickColumn >= 0) used.insert(tickColumn);
    // "Name" (a vCard's FN, a list's single name column) names whom nothing else names.
    const int nameColumn = list.columnOf(QStringLiteral("Name"));
    if (nameColumn >= 0) used.insert(nameColumn);
    QStringList unplaced;
    for (int c = 0; c < list.columns.size(); ++c)
        if (!used.contains(c)) unplaced.append(list.columns[c]);
    const bool anyField =
        std::any_of(columnOf.begin(), columnOf.end(), [](int c) { return c >= 0; });
    if (!anyField && nameColumn < 0) {
        result.error = QStringLiteral(
            "Die Datei hat keine Spalte, die ein Adressfeld benennt "
            "(etwa „Vorname“, „Nachname“, „Straße“ oder „E-Mail“).");
        return result;
    }
    if (!unplaced.isEmpty())
        result.warnings.append(QStringLiteral("Nicht übernommene Spalten: %1")
                                   .arg(unplaced.join(QStringLiteral(", "))));
    if (list.rowCount() > kAddressBookMaxEntries) {
        result.error =
            QStringLiteral("Die Datei hat mehr als %1 Einträge.").arg(kAddressBookMaxEntries);
        return result;
    }

    int cut = 0;
    for (const QStringList& row : list.rows) {
        AddressEntry e;
        for (int f = 0; f < kAddressFieldCount; ++f) {
            if (columnOf[size_t(f)] < 0) continue;
            QString text = row[columnOf[size_t(f)]];
            if (text.size() > kAddressFieldMaxChars) {
                text.truncate(kAddressFieldMaxChars);
                ++cut;
            }
            e.fields[size_t(f)] = std::move(text);
        }
        using F = AddressField;
        if (nameColumn >= 0 && e[F::Vorname].isEmpty() && e[F::Nachname].isEmpty()) {
            const QString name = row[nameColumn].trimmed();
            if (name != e[F::Firma].trimmed()) e[F::Nachname] = name;
        }
        if (const auto b = parseBirthday(e[F::Geburtstag])) e[F::Geburtstag] = birthdayText(*b);
        if (tickColumn >= 0) {
            bool number = false;
            const int year = row[tickColumn].trimmed().toInt(&number);
            if (number && year > 0 && year <= 9999) e.tickedYear = year;
        }
        result.entries.push_back(std::move(e));
    }
    if (cut > 0)
        result.warnings.append(
            QStringLiteral("%1 zu lange Felder wurden nach %2 Zeichen abgeschnitten.")
                .arg(cut)
                .arg(kAddressFieldMaxChars));
    return result;
}

}  // namespace

AddressExport exportAddresses(const std::vector<AddressEntry>& entries, AddressExchange format) {
    AddressExport out;
    switch (format) {
        case AddressExchange::CsvUtf8:
            out.bytes = QByteArray("\xEF\xBB\xBF") + csvText(entries).toUtf8();
            break;
        case AddressExchange::CsvCp1252:
            out.error = cp1252Losses(entries);
            if (out.ok()) out.bytes = toCp1252(csvText(entries));
            break;
        case AddressExchange::VCard3:
            out.bytes = vcardBytes(entries, false);
            break;
        case AddressExchange::VCard4:
            out.bytes = vcardBytes(entries, true);
            break;
    }
    return out;
}

AddressImport importAddresses(const QByteArray& bytes, bool vcard) {
    return importList(vcard ? parseVCard(bytes) : parseCsv(bytes));
}

AddressImport importAddressFile(const QString& path) {
    if (QFileInfo(path).size() > kAddressBookMaxBytes) {
        AddressImport result;
        result.error = QStringLiteral("Die Datei ist zu groß für das Adressbuch.");
        return result;
    }
    return importList(readAddressList(path));
}

}  // namespace bb
