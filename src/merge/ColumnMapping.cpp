// Which column of an address list fills which field; see ColumnMapping.h. The settings hold an
// array of entries, most recent first, each a list's path with its fields and their columns
// as two lists of equal length, so that a path never has to serve as a settings key.
#include "merge/ColumnMapping.h"

#include "merge/AddressBook.h"

#include "merge/MergeFields.h"

#include <QFileInfo>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace bb {

namespace {

const QString kGroup = QStringLiteral("Spaltenzuordnung");
const QString kListKey = QStringLiteral("Liste");
const QString kFieldsKey = QStringLiteral("Felder");
const QString kColumnsKey = QStringLiteral("Spalten");

// The names a list may give the column of an address field: the usual ones first, those
// that may mean something else ("Name", a business address) last, used only when nothing
// better is there.
struct FieldNames {
    const char* field;
    std::vector<const char*> usual;
    std::vector<const char*> weaker;
    bool addressField = true;  // offered for envelopes and labels; false: the address book's own
};

const std::vector<FieldNames>& knownNames() {
    // Besides the plain words, the headers of the CSV exports of Outlook (English and German),
    // Google Contacts and Thunderbird (English and German).
    static const std::vector<FieldNames> names = {
        {"Anrede", {"Anrede", "Salutation", "Name Prefix", "Prefix", "Title"}, {}},
        {"Vorname",
         {"Vorname", "Given Name", "First Name", "Firstname", "Forename", "Rufname"},
         {"Vornamen"}},
        {"Nachname",
         {"Nachname", "Family Name", "Last Name", "Lastname", "Surname", "Familienname"},
         {"Name"}},
        {"Firma",
         {"Firma", "Company", "Company Name", "Organization", "Organisation", "Organization Name",
          "Organization 1 - Name", "Unternehmen"},
         {}},
        {"Straße",
         {"Straße", "Str.", "Street", "Street Address", "Straße und Hausnummer", "Adresse",
          "Address", "Address 1", "Address Line 1", "Anschrift", "Home Street", "Straße privat",
          "Address 1 - Street", "Home Address", "Privat: Adresse"},
         {"Business Street", "Straße geschäftlich", "Work Address", "Geschäftlich: Adresse"}},
        {"PLZ",
         {"PLZ", "Postleitzahl", "Zip", "ZIP Code", "Zipcode", "Postal Code", "Postcode",
          "Home Postal Code", "Postleitzahl privat", "Address 1 - Postal Code", "Home ZipCode",
          "Privat: PLZ"},
         {"Business Postal Code", "Postleitzahl geschäftlich", "Work ZipCode",
          "Geschäftlich: PLZ"}},
        {"Ort",
         {"Ort", "Stadt", "Wohnort", "City", "Town", "Home City", "Ort privat", "Address 1 - City",
          "Privat: Ort"},
         {"Business City", "Ort geschäftlich", "Work City", "Geschäftlich: Ort"}},
        {"Land",
         {"Land", "Country", "Country/Region", "Home Country/Region", "Home Country",
          "Land/Region privat", "Address 1 - Country", "Privat: Land"},
         {"Business Country/Region", "Land/Region geschäftlich", "Work Country",
          "Geschäftlich: Land"}},
        {"E-Mail",
         {"E-Mail", "Email", "E-Mail-Adresse", "E-mail Address", "Email Address", "Mail",
          "E-mail 1 - Value", "Primary Email", "Primäre E-Mail-Adresse"},
         {"E-mail 2 Address", "E-Mail 2: Adresse", "Secondary Email", "Sekundäre E-Mail-Adresse",
          "E-mail 2 - Value"}},
        {"Geburtstag",
         {"Geburtstag", "Birthday", "Date of Birth", "Geburtsdatum", "Birthdate"},
         {}},
        // Kept in the address book only; known so that its import finds them.
        {"Telefon",
         {"Telefon", "Telefonnummer", "Phone", "Telephone", "Tel", "Home Phone", "Telefon privat",
          "Phone 1 - Value", "Mobil", "Handy", "Mobile Phone"},
         {"Business Phone", "Telefon geschäftlich"},
         false},
        {"Notiz", {"Notiz", "Notizen", "Note", "Notes", "Bemerkung", "Anmerkung"}, {}, false},
    };
    return names;
}

// A name as the guess compares it: case-folded, umlauts and ß written out, without spaces
// and punctuation, so "E-mail Address", "email address" and "E-Mail-Address" are one name.
QString normalized(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (const QChar c : name.toCaseFolded()) {
        switch (c.unicode()) {
            case 0x00DF:
                out += QLatin1String("ss");
                break;  // ß
            case 0x00E4:
                out += QLatin1String("ae");
                break;  // ä
            case 0x00F6:
                out += QLatin1String("oe");
                break;  // ö
            case 0x00FC:
                out += QLatin1String("ue");
                break;  // ü
            default:
                if (c.isLetterOrNumber()) out += c;
        }
    }
    return out;
}

const FieldNames* namesOf(const QString& field) {
    const QString key = fieldKey(field);
    for (const FieldNames& names : knownNames())
        if (fieldKey(QString::fromUtf8(names.field)) == key) return &names;
    return nullptr;
}

// The key a list is remembered by: its absolute path, or the address book's marker as it is.
QString absolute(const QString& path) {
    if (path.isEmpty() || isAddressBookList(path)) return path;
    return QFileInfo(path).absoluteFilePath();
}

struct Entry {
    QString list;
    QStringList fields;
    QStringList columns;
};

std::vector<Entry> readEntries(QSettings& s) {
    std::vector<Entry> entries;
    const int n = s.beginReadArray(kGroup);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        entries.push_back({s.value(kListKey).toString(), s.value(kFieldsKey).toStringList(),
                           s.value(kColumnsKey).toStringList()});
    }
    s.endArray();
    return entries;
}

void writeEntries(QSettings& s, const std::vector<Entry>& entries) {
    s.remove(kGroup);
    s.beginWriteArray(kGroup, int(entries.size()));
    for (int i = 0; i < int(entries.size()); ++i) {
        s.setArrayIndex(i);
        s.setValue(kListKey, entries[size_t(i)].list);
        s.setValue(kFieldsKey, entries[size_t(i)].fields);
        s.setValue(kColumnsKey, entries[size_t(i)].columns);
    }
    s.endArray();
}

}  // namespace

QStringList addressFieldNames() {
    QStringList names;
    for (const FieldNames& n : knownNames())
        if (n.addressField) names << QString::fromUtf8(n.field);
    return names;
}

QStringList mappingFields(const QStringList& cardFields) {
    QStringList fields;
    QSet<QString> seen;
    for (const QStringList& part : {cardFields, addressFieldNames()})
        for (const QString& field : part) {
            const QString key = fieldKey(field);
            if (key.isEmpty() || seen.contains(key)) continue;
            seen.insert(key);
            fields << field.trimmed();
        }
    return fields;
}

QString ColumnMapping::columnOf(const QString& field) const {
    const QString key = fieldKey(field);
    for (const auto& [f, column] : fieldToColumn)
        if (fieldKey(f) == key) return column;
    return {};
}

bool ColumnMapping::has(const QString& field) const {
    const QString key = fieldKey(field);
    return std::any_of(fieldToColumn.begin(), fieldToColumn.end(),
                       [&](const auto& e) { return fieldKey(e.first) == key; });
}

void ColumnMapping::set(const QString& field, const QString& column) {
    const QString key = fieldKey(field);
    if (key.isEmpty()) return;
    for (auto& [f, c] : fieldToColumn)
        if (fieldKey(f) == key) {
            c = column;
            return;
        }
    fieldToColumn.emplace_back(field.trimmed(), column);
}

ColumnMapping guessMapping(const AddressList& list, const QStringList& fields,
                           const ColumnMapping& kept) {
    const int columnCount = int(list.columns.size());
    std::vector<char> taken(size_t(columnCount), 0);
    QStringList names;  // each column's normalized name
    for (const QString& c : list.columns) names << normalized(c);

    // Fields still to be guessed, in order; kept entries are left as they are.
    QStringList open;
    for (const QString& field : fields)
        if (!kept.has(field) && !open.contains(field.trimmed(), Qt::CaseInsensitive))
            open << field.trimmed();
    std::vector<QString> chosen(size_t(open.size()));
    for (const auto& [field, column] : kept.fieldToColumn)
        if (const int c = list.columnOf(column); c >= 0) taken[size_t(c)] = 1;

    const auto claim = [&](int field, const auto& matches, bool evenTaken = false) {
        if (!chosen[size_t(field)].isEmpty()) return;
        for (int c = 0; c < columnCount; ++c)
            if ((evenTaken || !taken[size_t(c)]) && matches(c)) {
                taken[size_t(c)] = 1;
                chosen[size_t(field)] = list.columns.at(c);
                return;
            }
    };
    // Equally named columns first, for every field, so that no alias takes them away; one
    // is its field's even where a kept entry also uses it, so a guess never leaves a field
    // without the column of its own name.
    for (int f = 0; f < open.size(); ++f) {
        const QString key = fieldKey(open.at(f));
        claim(
            f, [&](int c) { return fieldKey(list.columns.at(c)) == key; }, true);
    }
    // Then the usual names of each field in their order, then the weaker ones.
    for (const bool weaker : {false, true})
        for (int f = 0; f < open.size(); ++f) {
            const FieldNames* known = namesOf(open.at(f));
            std::vector<QString> aliases;
            if (!weaker) aliases.push_back(normalized(open.at(f)));
            if (known)
                for (const char* a : weaker ? known->weaker : known->usual)
                    aliases.push_back(normalized(QString::fromUtf8(a)));
            for (const QString& alias : aliases)
                claim(f, [&](int c) { return names.at(c) == alias; });
        }

    ColumnMapping mapping = kept;
    for (int f = 0; f < open.size(); ++f) mapping.set(open.at(f), chosen[size_t(f)]);
    return mapping;
}

std::shared_ptr<const AddressList> mappedList(std::shared_ptr<const AddressList> list,
                                              const ColumnMapping& mapping) {
    if (!list) return list;
    // Each (source column, target column or -1 for a new one) the mapping asks for.
    struct Copy {
        int from;
        int to;
        QString name;
    };
    std::vector<Copy> copies;
    std::vector<int> hidden;  // columns named like a field chosen to have none
    QSet<QString> targets;
    for (const auto& [field, column] : mapping.fieldToColumn) {
        const QString key = fieldKey(field);
        if (key.isEmpty()) continue;
        if (column.isEmpty()) {
            if (const int own = list->columnOf(field); own >= 0) hidden.push_back(own);
            continue;
        }
        const int from = list->columnOf(column);
        if (from < 0 || fieldKey(list->columns.at(from)) == key || targets.contains(key)) continue;
        targets.insert(key);
        copies.push_back({from, list->columnOf(field), field.trimmed()});
    }
    if (copies.empty() && hidden.empty()) return list;

    auto mapped = std::make_shared<AddressList>(*list);
    // A hidden column keeps its place and cells under a name no field matches by chance.
    for (const int c : hidden) {
        const QString base = list->columns.at(c).trimmed() + QStringLiteral(" (nicht zugeordnet)");
        QString name = base;
        for (int n = 2; mapped->columnOf(name) >= 0; ++n)
            name = base + QStringLiteral(" %1").arg(n);
        mapped->columns[c] = name;
    }
    int next = int(mapped->columns.size());
    for (Copy& copy : copies)
        if (copy.to < 0) {
            copy.to = next++;
            mapped->columns << copy.name;
        }
    if (copies.empty()) return mapped;
    for (size_t r = 0; r < mapped->rows.size(); ++r) {
        const QStringList& source = list->rows[r];
        QStringList& row = mapped->rows[r];
        row.resize(next);
        for (const Copy& copy : copies) row[copy.to] = source.value(copy.from);
    }
    return mapped;
}

std::shared_ptr<const AddressList> mappedList(const AddressList& list,
                                              const ColumnMapping& mapping) {
    return mappedList(std::make_shared<const AddressList>(list), mapping);
}

QStringList unusedColumns(const QStringList& cardFields, const AddressList& list,
                          const ColumnMapping& mapping) {
    QSet<QString> used;
    for (const QString& field : cardFields) {
        const QString column = mapping.columnOf(field);
        if (!column.isEmpty() && list.columnOf(column) >= 0)
            used.insert(fieldKey(column));
        else if (column.isEmpty() && mapping.has(field))
            continue;  // chosen to have no column
        else
            used.insert(fieldKey(field));
    }
    QStringList unused;
    for (const QString& column : list.columns)
        if (!used.contains(fieldKey(column))) unused << column;
    return unused;
}

ColumnMapping rememberedMapping(QSettings& settings, const AddressList& list) {
    const QString path = absolute(list.path);
    if (path.isEmpty()) return {};
    for (const Entry& e : readEntries(settings)) {
        if (e.list != path) continue;
        if (e.fields.size() != e.columns.size()) return {};  // damaged: guessed anew
        ColumnMapping mapping;
        for (qsizetype i = 0; i < e.fields.size(); ++i) {
            const QString column = e.columns.value(i);
            // A column the list no longer has is forgotten: its field is guessed again.
            if (!column.isEmpty() && list.columnOf(column) < 0) continue;
            mapping.set(e.fields.at(i), column);
        }
        return mapping;
    }
    return {};
}

void rememberMapping(QSettings& settings, const QString& listPath, const ColumnMapping& mapping) {
    const QString path = absolute(listPath);
    if (path.isEmpty()) return;
    Entry entry{path, {}, {}};
    for (const auto& [field, column] : mapping.fieldToColumn) {
        entry.fields << field;
        entry.columns << column;
    }
    std::vector<Entry> entries = readEntries(settings);
    if (!entries.empty() && entries.front().list == path &&
        entries.front().fields == entry.fields && entries.front().columns == entry.columns)
        return;
    std::erase_if(entries, [&](const Entry& e) { return e.list == path; });
    entries.insert(entries.begin(), entry);
    if (entries.size() > size_t(kRememberedMappingsMax)) entries.resize(kRememberedMappingsMax);
    writeEntries(settings, entries);
}

}  // namespace bb
