#include "document/Catalogue.h"

#include "document/ByteIO.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace bb {

QList<CardFormat> loadCardTypes(const QString& programFolder) {
    QList<CardFormat> types;
    QFile file(QDir(programFolder).filePath(kCatalogueFileName));
    if (!file.open(QIODevice::ReadOnly)) return types;
    const QByteArray head = file.read(8);
    ByteReader r(head);
    if (r.i32() != kCatalogueSignature) return types;
    const int32_t count = r.i32();
    if (!r.ok() || count < 1) return types;
    // Never more records than the file can hold.
    const qint64 present = qMax<qint64>(0, (file.size() - 8) / kCardFormatSize);
    const qint64 n = qMin<qint64>(count, present);
    const QByteArray body = file.read(n * kCardFormatSize);
    const qint64 got = body.size() / kCardFormatSize;
    types.reserve(got);
    for (qint64 i = 0; i < got; ++i)
        types.append(CardFormat::fromBytes(body.constData() + i * kCardFormatSize));
    return types;
}

bool saveCardTypes(const QString& programFolder, const QList<CardFormat>& types) {
    QByteArray out;
    out.reserve(8 + types.size() * kCardFormatSize);
    ByteWriter w(out);
    w.i32(kCatalogueSignature);
    w.i32(static_cast<int32_t>(types.size()));
    for (const CardFormat& t : types) w.bytes(t.toBytes());
    QSaveFile file(QDir(programFolder).filePath(kCatalogueFileName));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace bb
