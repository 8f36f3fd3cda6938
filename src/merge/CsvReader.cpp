// CSV as spreadsheets write it. The whole file is decoded once and scanned by index; a cell
// is one slice of the text unless it holds doubled quotes or a CR line break.
//
// Lenient where spreadsheets are: text after a closing quote is kept with a warning ("a"b
// reads as ab), a quote inside an unquoted cell is an ordinary character, spaces before an
// opening quote are dropped. A quoted field that runs over lines and holds separators (a
// stray quote that swallowed rows) is named with the line where it began and the lines it
// took. Strict only where data would be lost silently: a quote that is
// never closed would swallow the rest of the file, so it is an error at the line it opened.
#include "merge/AddressListReading.h"

#include <QSet>

#include <algorithm>

namespace bb::addresslist {

namespace {

bool isBlank(QStringView s) {
    return s.trimmed().isEmpty();
}

// One record as read: the cells kept and how many there were.
struct Record {
    QStringList cells;          // at most the number asked for
    qsizetype count = 0;        // every cell of the record
    bool extraText = false;     // a cell beyond those kept holds text
    int line = 0;               // physical line where the record starts
    int unclosedQuoteLine = 0;  // set when a quote is never closed
};

class CsvScanner {
public:
    explicit CsvScanner(const QString& text)
        : p_(reinterpret_cast<const char16_t*>(text.constData())), n_(text.size()) {}

    bool atEnd() const { return i_ >= n_; }
    double fraction() const { return n_ == 0 ? 1.0 : double(i_) / double(n_); }
    void setSeparator(char16_t sep) { sep_ = sep; }

    // Skips lines holding nothing but spaces and tabs; false when only such lines are left.
    bool skipBlankLines() {
        for (;;) {
            qsizetype j = i_;
            while (j < n_ && (p_[j] == u' ' || p_[j] == u'\t')) ++j;
            if (j >= n_) {
                i_ = n_;
                return false;
            }
            if (p_[j] != u'\r' && p_[j] != u'\n') return true;
            i_ = j;
            skipLineEnd();
        }
    }

    // The separator of the line at the current position: the one of ';', ',', tab that occurs
    // most often outside quotes, the earlier one in that order on a tie, ';' when none does.
    char16_t detectSeparator() const {
        int counts[3] = {0, 0, 0};
        bool quoted = false;
        for (qsizetype j = i_; j < n_; ++j) {
            const char16_t c = p_[j];
            if (c == u'"') {
                quoted = !quoted;
            } else if (quoted) {
                continue;
            } else if (c == u'\r' || c == u'\n') {
                break;
            } else if (c == u';') {
                ++counts[0];
            } else if (c == u',') {
                ++counts[1];
            } else if (c == u'\t') {
                ++counts[2];
            }
        }
        const char16_t seps[3] = {u';', u',', u'\t'};
        int best = 0;
        for (int k = 1; k < 3; ++k)
            if (counts[k] > counts[best]) best = k;
        return seps[best];
    }

    // Reads the record at the current position, keeping its first `keep` cells. False when a
    // quote is not closed (r.unclosedQuoteLine says where it opened).
    bool readRecord(Record& r, qsizetype keep, Warnings& warnings) {
        r.cells.clear();
        r.cells.reserve(keep);
        r.count = 0;
        r.extraText = false;
        r.line = line_;
        r.unclosedQuoteLine = 0;
        QString scratch;
        for (;;) {
            const bool kept = r.count < keep;
            ++r.count;
            QString& value = kept ? r.cells.emplace_back() : scratch;
            value.clear();
            qsizetype j = i_;
            while (j < n_ && p_[j] == u' ') ++j;
            if (j < n_ && p_[j] == u'"') {
                i_ = j;
                const int quoteLine = line_;
                if (!readQuoted(value)) {
                    r.unclosedQuoteLine = quoteLine;
                    return false;
                }
                const int closeLine = line_;
                const QStringView tail = readUnquoted();
                const bool textAfter = !isBlank(tail);
                const qsizetype column = r.count;
                // A quoted field over several lines is common (an address with its line
                // breaks); one that holds separators or ends in text was opened by a stray
                // quote and swallowed whole lines: say where it began and what it took.
                if (closeLine > quoteLine && (textAfter || value.contains(QChar(sep_)))) {
                    warnings.add([&] {
                        return atCell(
                            quoteLine, int(column),
                            QStringLiteral("Anführungszeichen erst in Zeile %1 geschlossen: die "
                                           "Zeilen %2 bis %1 ergaben zusammen einen Datensatz%3")
                                .arg(closeLine)
                                .arg(quoteLine)
                                .arg(textAfter ? QStringLiteral(" (mit Text nach dem schließenden "
                                                                "Anführungszeichen)")
                                               : QString()));
                    });
                } else if (textAfter) {
                    warnings.add([&] {
                        return atCell(
                            quoteLine, int(column),
                            QStringLiteral("Text nach dem schließenden Anführungszeichen"));
                    });
                }
                if (textAfter) value.append(tail);
            } else {
                value = readUnquoted().toString();
            }
            if (!kept && !isBlank(value)) r.extraText = true;
            if (i_ >= n_) return true;
            if (p_[i_] == sep_) {
                ++i_;
                continue;
            }
            skipLineEnd();
            return true;
        }
    }

private:
    // From the current position to the next separator or line end.
    QStringView readUnquoted() {
        const qsizetype start = i_;
        while (i_ < n_) {
            const char16_t c = p_[i_];
            if (c == sep_ || c == u'\n' || c == u'\r') break;
            ++i_;
        }
        return QStringView(p_ + start, i_ - start);
    }

    // From an opening quote to just past its closing quote; "" is one quote, every line break
    // becomes "\n". False at the end of the text.
    bool readQuoted(QString& value) {
        ++i_;
        qsizetype segment = i_;
        while (i_ < n_) {
            const char16_t c = p_[i_];
            if (c == u'"') {
                value.append(QStringView(p_ + segment, i_ - segment));
                if (i_ + 1 < n_ && p_[i_ + 1] == u'"') {
                    value.append(QLatin1Char('"'));
                    i_ += 2;
                    segment = i_;
                    continue;
                }
                ++i_;
                return true;
            }
            if (c == u'\r') {
                value.append(QStringView(p_ + segment, i_ - segment));
                value.append(QLatin1Char('\n'));
                skipLineEnd();
                segment = i_;
                continue;
            }
            if (c == u'\n') ++line_;
            ++i_;
        }
        return false;
    }

    // Past the CRLF, LF or CR at the current position.
    void skipLineEnd() {
        if (i_ >= n_) return;
        if (p_[i_] == u'\r' && i_ + 1 < n_ && p_[i_ + 1] == u'\n') ++i_;
        ++i_;
        ++line_;
    }

    const char16_t* p_;
    qsizetype n_;
    qsizetype i_ = 0;
    int line_ = 1;
    char16_t sep_ = u';';
};

// The header's cells as unique, non-empty column names; the warnings in column order.
QStringList columnNames(const Record& header, Warnings& warnings) {
    QStringList names;
    names.reserve(header.cells.size());
    for (qsizetype k = 0; k < header.cells.size(); ++k) {
        const QString name = header.cells[k].trimmed();
        names.append(name.isEmpty() ? QStringLiteral("Spalte %1").arg(k + 1) : name);
    }
    // A later duplicate gets the first free " (2)", " (3)", ... so that every name, also one
    // that the file itself spells "Name (2)", reaches exactly one column.
    QSet<QString> taken;
    for (const QString& name : names) taken.insert(name.toCaseFolded());
    QSet<QString> seen;
    for (qsizetype k = 0; k < names.size(); ++k) {
        const int column = int(k + 1);
        if (header.cells[k].trimmed().isEmpty()) {
            warnings.add([&] {
                return atCell(header.line, column,
                              QStringLiteral("Feld ohne Namen heißt „%1“").arg(names[k]));
            });
        }
        const QString key = names[k].toCaseFolded();
        if (!seen.contains(key)) {
            seen.insert(key);
            continue;
        }
        QString renamed;
        for (int n = 2;; ++n) {
            renamed = QStringLiteral("%1 (%2)").arg(names[k], QString::number(n));
            if (!taken.contains(renamed.toCaseFolded())) break;
        }
        taken.insert(renamed.toCaseFolded());
        warnings.add([&] {
            return atCell(header.line, column,
                          QStringLiteral("„%1“ kommt mehrfach vor und heißt hier „%2“")
                              .arg(names[k], renamed));
        });
        names[k] = renamed;
    }
    return names;
}

AddressListResult unclosedQuote(const Record& r) {
    return failure(
        atLine(r.unclosedQuoteLine, QStringLiteral("Anführungszeichen nicht geschlossen")));
}

}  // namespace

AddressListResult readCsv(const QByteArray& bytes, const QString& path,
                          const AddressListProgress& progress) {
    if (bytes.size() > kAddressListMaxBytes) return failure(tooLargeMessage());
    const QString text = decodeText(bytes);
    CsvScanner scanner(text);
    if (!scanner.skipBlankLines()) return failure(QStringLiteral("Die Adressliste ist leer."));
    scanner.setSeparator(scanner.detectSeparator());

    auto list = std::make_shared<AddressList>();
    list->path = path;
    Warnings warnings(list->warnings);
    Record record;
    if (!scanner.readRecord(record, kAddressListMaxColumns + 1, warnings))
        return unclosedQuote(record);
    if (record.count > kAddressListMaxColumns)
        return failure(
            atLine(record.line, QStringLiteral("Die Adressliste hat mehr als %1 Spalten.")
                                    .arg(kAddressListMaxColumns)));
    if (std::all_of(record.cells.cbegin(), record.cells.cend(),
                    [](const QString& c) { return isBlank(c); }))
        return failure(QStringLiteral("Die erste Zeile der Adressliste nennt keine Felder."));
    list->columns = columnNames(record, warnings);
    const qsizetype columns = list->columns.size();

    // Room for the rows, guessed from the length of the first hundred, spares the regrowing.
    constexpr qsizetype kSampleRows = 100;
    const qsizetype rowCap =
        std::min<qsizetype>(kAddressListMaxRows, kAddressListMaxCells / columns);
    const double headerEnd = scanner.fraction();
    ProgressPacer pacer(progress);
    while (!scanner.atEnd()) {
        if (!scanner.readRecord(record, columns, warnings)) return unclosedQuote(record);
        if (!record.extraText && std::all_of(record.cells.cbegin(), record.cells.cend(),
                                             [](const QString& c) { return isBlank(c); }))
            continue;  // an empty line, or one of separators only
        if (record.count > columns && record.extraText) {
            warnings.add([&] {
                return atLine(record.line,
                              QStringLiteral("%1 Felder statt %2").arg(record.count).arg(columns));
            });
        }
        while (record.cells.size() < columns) record.cells.emplace_back();
        const QString limit = rowLimitError(qsizetype(list->rows.size()), columns);
        if (!limit.isEmpty()) return failure(atLine(record.line, limit));
        list->rows.push_back(std::move(record.cells));
        if (list->rows.size() == kSampleRows && scanner.fraction() > headerEnd) {
            const double perRow = (scanner.fraction() - headerEnd) / kSampleRows;
            const double guess = (1.0 - headerEnd) / perRow * 1.05;
            list->rows.reserve(qsizetype(std::min(guess, double(rowCap))));
        }
        if (!pacer.rowAdded(*list, scanner.fraction())) return cancelled();
    }
    if (list->rows.empty())
        return failure(
            QStringLiteral("Die Adressliste enthält nur die Kopfzeile und keine Adressen."));
    warnings.finish();
    AddressListResult result;
    result.list = std::move(list);
    return result;
}

}  // namespace bb::addresslist
