// What the CSV and vCard readers share: decoding the file's text, messages with their line,
// warnings with a cap, progress at a steady pace. Internal to src/merge.
#pragma once

#include "merge/AddressList.h"

#include <QString>
#include <QStringList>

namespace bb::addresslist {

// The text of an address file: UTF-16 when it starts with that byte-order mark, UTF-8 (with or
// without its mark) when the bytes are valid UTF-8, Windows-1252 otherwise.
QString decodeText(const QByteArray& bytes);

AddressListResult failure(const QString& message);
AddressListResult cancelled();

// "Zeile 4: text" and "Zeile 4, Spalte 2: text".
QString atLine(int line, const QString& text);
QString atCell(int line, int column, const QString& text);

// The message for input beyond kAddressListMaxBytes.
QString tooLargeMessage();
// An error when one more row of `columns` cells would pass a limit, empty otherwise.
QString rowLimitError(qsizetype rowsSoFar, qsizetype columns);

// Keeps the first kShown warnings and counts the rest; finish() adds "… und N weitere".
class Warnings {
public:
    static constexpr int kShown = 20;
    explicit Warnings(QStringList& out) : out_(out) {}
    // `make` builds the text only when it is shown.
    template <typename Make>
    void add(Make&& make) {
        if (shown_ < kShown) {
            out_.append(make());
            ++shown_;
        } else {
            ++dropped_;
        }
    }
    void finish();

private:
    QStringList& out_;
    int shown_ = 0;
    qint64 dropped_ = 0;
};

// Calls the progress callback after the first 100 rows (so that a dialog can show them while
// the rest is read) and then every 2000 rows.
class ProgressPacer {
public:
    explicit ProgressPacer(const AddressListProgress& progress) : progress_(progress) {}
    // False when the callback asked to stop.
    bool rowAdded(const AddressList& list, double fraction) {
        if (!progress_ || qsizetype(list.rows.size()) < next_) return true;
        next_ += 2000;
        return progress_(list, fraction);
    }

private:
    const AddressListProgress& progress_;
    qsizetype next_ = 100;
};

// The readers behind parseCsv and parseVCard; `path` is stored in the list before the first
// progress report.
AddressListResult readCsv(const QByteArray& bytes, const QString& path,
                          const AddressListProgress& progress);
AddressListResult readVCard(const QByteArray& bytes, const QString& path,
                            const AddressListProgress& progress);

}  // namespace bb::addresslist
