// Address lists for personal cards: a table of named columns and rows of text, read from a CSV
// file as spreadsheets write it or from a vCard file. The readers never trust the input: bad
// input gives a German message naming the line (and the column where there is one), never a
// crash; a very long list is read with progress and can be cancelled.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace bb {

struct AddressList {
    QStringList columns;            // the header's field names, unique, none empty
    std::vector<QStringList> rows;  // each exactly columns.size() cells long
    QStringList warnings;           // what the reader mended, e.g. "Zeile 5: 7 Felder statt 5"
    QString path;                   // the file it was read from, empty when read from bytes

    int rowCount() const { return int(rows.size()); }
    // The column named `name` (case and surrounding spaces ignored); -1 when there is none.
    int columnOf(const QString& name) const;
};

struct AddressListResult {
    std::shared_ptr<const AddressList> list;  // null on failure
    QString error;  // German, e.g. "Zeile 17: Anführungszeichen nicht geschlossen"
    bool cancelled = false;
    bool ok() const { return list != nullptr; }
};

// Told while a long list is read. `rowsSoFar` holds the columns and every row read so far
// (the dialog shows its first rows before the whole list is in); `fraction` is 0..1 of the
// input. Returning false cancels the read. Called at most every few thousand rows.
using AddressListProgress = std::function<bool(const AddressList& rowsSoFar, double fraction)>;

// Limits: larger input is refused with a message instead of exhausting memory; the cells
// limit bounds what padding short rows can cost.
inline constexpr qint64 kAddressListMaxBytes = 256LL * 1024 * 1024;
inline constexpr int kAddressListMaxColumns = 1000;
inline constexpr int kAddressListMaxRows = 1000000;
inline constexpr qint64 kAddressListMaxCells = 10000000;  // rows times columns

// CSV: UTF-8 with or without byte-order mark (UTF-16 with its mark), otherwise Windows-1252;
// separator ';', ',' or tab, whichever occurs most often outside quotes in the header line;
// quoted fields with doubled quotes and line breaks inside quotes (each becomes "\n"); the
// first line with text names the fields. A nameless column is called "Spalte N", a repeated
// name gets " (2)", " (3)"; short rows are padded, rows of blank cells skipped, the cells of
// a long row beyond the header's are dropped, and text after a closing quote is kept, each
// with a warning. A quote that is never closed is an error at the line where it opened.
AddressListResult parseCsv(const QByteArray& bytes, const AddressListProgress& progress = {});

// vCard 3.0 and 4.0 (lines folded or not): N, FN, ADR, EMAIL, BDAY become the columns
// "Anrede", "Vorname", "Nachname", "Name", "Straße", "PLZ", "Ort", "Land", "E-Mail",
// "Geburtstag"; one row per card. Of several ADR or EMAIL the preferred one wins (PREF,
// TYPE=pref), then TYPE=home, then the first; a birthday reads "14.03.1985" or "14.03.".
AddressListResult parseVCard(const QByteArray& bytes, const AddressListProgress& progress = {});

// Reads `path`: a vCard when the name ends in .vcf/.vcard or the content starts with
// BEGIN:VCARD, CSV otherwise. The result's list remembers the path.
AddressListResult readAddressList(const QString& path, const AddressListProgress& progress = {});

}  // namespace bb
