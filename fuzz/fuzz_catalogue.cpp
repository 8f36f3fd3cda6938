// libFuzzer harness for the card-type catalogue reader. Any bytes give a list of whole records
// (never more than the bytes hold), and every type read can be written back and read again.
#include "document/Catalogue.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<bb::CardFormat> types = bb::cardTypesFromBytes(bytes);
    if (types.size() > qMax<qsizetype>(0, (qsizetype(size) - 8) / bb::kCardFormatSize))
        std::abort();
    for (const bb::CardFormat& type : types) {
        const QByteArray record = type.toBytes();
        if (record.size() != bb::kCardFormatSize) std::abort();
        if (!bb::CardFormat::fromBytes(QByteArrayView(record))) std::abort();
    }
    return 0;
}
