// Reading an address list from a file and what both readers share; see AddressList.h.
#include "merge/AddressList.h"

#include "document/Cp1252.h"
#include "merge/AddressListReading.h"
#include "merge/MergeFields.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

namespace bb {

int AddressList::columnOf(const QString& name) const {
    const QString key = fieldKey(name);
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (fieldKey(columns[i]) == key) return int(i);
    return -1;
}

namespace addresslist {

namespace {

QString germanNumber(qint64 n) {
    return QLocale(QLocale::German).toString(n);
}

bool startsWith(const QByteArray& bytes, const char* mark, qsizetype length) {
    return bytes.size() >= length && std::equal(mark, mark + length, bytes.constData());
}

}  // namespace

QString decodeText(const QByteArray& bytes) {
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        return utf8(QByteArrayView(bytes).sliced(3));
    }
    // Spreadsheets save "Unicode text" as UTF-16 with its mark.
    if (startsWith(bytes, "\xFF\xFE", 2) || startsWith(bytes, "\xFE\xFF", 2)) {
        QStringDecoder utf16(bytes[0] == '\xFF' ? QStringDecoder::Utf16LE
                                                : QStringDecoder::Utf16BE);
        return utf16(QByteArrayView(bytes).sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    // Not UTF-8: a German spreadsheet's export in its 8-bit code page.
    return fromCp1252(bytes);
}

AddressListResult failure(const QString& message) {
    AddressListResult r;
    r.error = message;
    return r;
}

AddressListResult cancelled() {
    AddressListResult r;
    r.cancelled = true;
    return r;
}

QString atLine(int line, const QString& text) {
    return QStringLiteral("Zeile %1: %2").arg(line).arg(text);
}

QString atCell(int line, int column, const QString& text) {
    return QStringLiteral("Zeile %1, Spalte %2: %3").arg(line).arg(column).arg(text);
}

QString tooLargeMessage() {
    return QStringLiteral("Die Adressliste ist zu groß (mehr als %1 MB).")
        .arg(kAddressListMaxBytes / (1024 * 1024));
}

QString rowLimitError(qsizetype rowsSoFar, qsizetype columns) {
    if (rowsSoFar >= kAddressListMaxRows)
        return QStringLiteral("Die Adressliste hat mehr als %1 Adressen.")
            .arg(germanNumber(kAddressListMaxRows));
    if ((rowsSoFar + 1) * columns > kAddressListMaxCells)
        return QStringLiteral("Die Adressliste hat mehr als %1 Felder (Adressen mal Spalten).")
            .arg(germanNumber(kAddressListMaxCells));
    return {};
}

void Warnings::finish() {
    if (dropped_ > 0) out_.append(QStringLiteral("… und %1 weitere").arg(dropped_));
}

}  // namespace addresslist

AddressListResult parseCsv(const QByteArray& bytes, const AddressListProgress& progress) {
    return addresslist::readCsv(bytes, {}, progress);
}

AddressListResult parseVCard(const QByteArray& bytes, const AddressListProgress& progress) {
    return addresslist::readVCard(bytes, {}, progress);
}

namespace {

// True when the text starts with BEGIN:VCARD after a byte-order mark and white space.
bool looksLikeVCard(const QByteArray& bytes) {
    QByteArrayView v(bytes);
    if (v.startsWith("\xEF\xBB\xBF")) v = v.sliced(3);
    while (!v.isEmpty() && (v[0] == ' ' || v[0] == '\t' || v[0] == '\r' || v[0] == '\n'))
        v = v.sliced(1);
    constexpr QByteArrayView kBegin("BEGIN:VCARD");
    return v.size() >= kBegin.size() &&
           v.first(kBegin.size()).compare(kBegin, Qt::CaseInsensitive) == 0;
}

}  // namespace

AddressListResult readAddressList(const QString& path, const AddressListProgress& progress) {
    const QString unreadable =
        QStringLiteral("Die Adressliste \"%1\" konnte nicht gelesen werden.").arg(path);
    const QFileInfo info(path);
    if (!info.exists())
        return addresslist::failure(unreadable + QStringLiteral("\nDie Datei gibt es nicht."));
    if (info.isDir())
        return addresslist::failure(unreadable + QStringLiteral("\nDas ist ein Ordner."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return addresslist::failure(unreadable);
    const QString tooLarge = QStringLiteral("Die Adressliste \"%1\" ist zu groß (mehr als %2 MB).")
                                 .arg(path)
                                 .arg(kAddressListMaxBytes / (1024 * 1024));
    if (file.size() > kAddressListMaxBytes) return addresslist::failure(tooLarge);
    // Read in pieces up to the limit: a pipe or a device has no size to trust.
    QByteArray bytes;
    constexpr qint64 kPiece = 1 << 20;
    bytes.reserve(file.size() + kPiece);  // the last read finds the end without regrowing
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + kPiece);
        const qint64 got = file.read(bytes.data() + had, kPiece);
        if (got < 0) return addresslist::failure(unreadable);
        bytes.resize(had + got);
        if (got == 0) break;
        if (bytes.size() > kAddressListMaxBytes) return addresslist::failure(tooLarge);
    }
    const QString suffix = info.suffix().toLower();
    if (suffix == u"vcf" || suffix == u"vcard" || looksLikeVCard(bytes))
        return addresslist::readVCard(bytes, path, progress);
    return addresslist::readCsv(bytes, path, progress);
}

}  // namespace bb
