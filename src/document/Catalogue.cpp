#include "document/Catalogue.h"

#include "document/ByteIO.h"
#include "pictures/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace bb {

QList<CardFormat> cardTypesFromBytes(QByteArrayView bytes) {
    QList<CardFormat> types;
    ByteReader r(bytes.first(qMin<qsizetype>(8, bytes.size())));
    if (r.i32() != kCatalogueSignature) return types;
    const int32_t count = r.i32();
    if (!r.ok() || count < 1) return types;
    // Never more records than the bytes hold.
    const qsizetype present = (bytes.size() - 8) / kCardFormatSize;
    const qsizetype n = qMin<qsizetype>(count, present);
    types.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        types.append(CardFormat::fromBytes(bytes.constData() + 8 + i * kCardFormatSize));
    return types;
}

QList<CardFormat> loadCardTypes(const QString& programFolder) {
    QFile file(QDir(programFolder).filePath(kCatalogueFileName));
    // Only a regular file: a pipe or a device would block or never end.
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = file.read(8);
    if (head.size() < 8) return {};
    // The announced count bounds what is read, so a huge file costs no more than its records.
    const int32_t count = qFromLittleEndian<int32_t>(head.constData() + 4);
    const qint64 wanted = qMax<qint64>(0, qMin<qint64>(count, (file.size() - 8) / kCardFormatSize));
    return cardTypesFromBytes(head + file.read(wanted * kCardFormatSize));
}

bool saveCardTypes(const QString& programFolder, const QList<CardFormat>& types, int* error) {
    QByteArray out;
    out.reserve(8 + types.size() * kCardFormatSize);
    ByteWriter w(out);
    w.i32(kCatalogueSignature);
    w.i32(static_cast<int32_t>(types.size()));
    for (const CardFormat& t : types) w.bytes(t.toBytes());
    const WriteOutcome written =
        writeFileAtomically(QDir(programFolder).filePath(kCatalogueFileName), out);
    if (error) *error = written.error;
    return written.ok;
}

}  // namespace bb
