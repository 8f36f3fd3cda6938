// libFuzzer harness for the address-list readers. The first byte chooses the reader (bit 0 set:
// CSV, clear: vCard) and whether the first progress report cancels (bit 7); the seeds start
// with "C", "V" or 0x81. The rest is the file. Any input gives an error or a well-formed
// list: unique, non-empty column names that columnOf finds, every row exactly as wide as the
// header, the warnings capped. Progress reports see the same shape.
#include "merge/AddressList.h"

#include <QByteArray>
#include <QSet>

#include <cstdint>
#include <cstdlib>

namespace {

void checkShape(const bb::AddressList& list) {
    if (list.columns.isEmpty() || list.columns.size() > bb::kAddressListMaxColumns) std::abort();
    QSet<QString> names;
    for (qsizetype c = 0; c < list.columns.size(); ++c) {
        const QString& name = list.columns[c];
        if (name.trimmed().isEmpty() || name != name.trimmed()) std::abort();
        names.insert(name.toCaseFolded());
        if (list.columnOf(name) != c) std::abort();
    }
    if (names.size() != list.columns.size()) std::abort();
    if (list.rowCount() > bb::kAddressListMaxRows) std::abort();
    for (const QStringList& row : list.rows)
        if (row.size() != list.columns.size()) std::abort();
    if (list.warnings.size() > 21) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool csv = data[0] & 1;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const bool cancel = data[0] & 0x80;
    int reports = 0;
    const bb::AddressListProgress progress = [&](const bb::AddressList& soFar, double fraction) {
        checkShape(soFar);
        if (!(fraction >= 0.0 && fraction <= 1.0)) std::abort();
        ++reports;
        return !cancel;
    };
    const bb::AddressListResult r =
        csv ? bb::parseCsv(bytes, progress) : bb::parseVCard(bytes, progress);
    if (r.cancelled) {
        if (r.ok() || !cancel || reports != 1) std::abort();
        return 0;
    }
    if (!r.ok()) {
        if (r.error.isEmpty()) std::abort();
        return 0;
    }
    if (!r.error.isEmpty() || r.list->rows.empty()) std::abort();
    checkShape(*r.list);
    return 0;
}
