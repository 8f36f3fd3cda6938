// loadPictureFile and savePictureFile over the codec table, and the JPEG quality setting.
#include "pictures/AtomicWrite.h"
#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>

namespace bb {

namespace {

constexpr qint64 kMaxPictureFileBytes = 1024ll * 1024 * 1024;
constexpr int kHeadBytes = 64;

std::atomic<int> currentJpegQuality{75};

}  // namespace

DibImage loadPictureFile(const QString& fileName) {
    QFile file(fileName);
    // Only a regular file: opening a named pipe would wait for a writer, a device never ends.
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) return {};
    const qint64 size = file.size();
    if (size <= 0 || size > kMaxPictureFileBytes) return {};
    const QByteArray data = file.readAll();
    if (data.size() != size) return {};
    const QByteArray head = data.left(kHeadBytes);
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const DibReader& reader : dibReaders()) {
        if (!reader.accepts(head, suffix)) continue;
        DibImage picture = reader.read(data);
        if (!picture.isNull()) return picture;
    }
    return {};
}

int savePictureFile(const DibImage& picture, const QString& fileName, int typeCode, int* error) {
    if (error) *error = 0;
    const DibWriter* writer = dibWriterForType(typeCode);
    if (!writer || picture.isNull()) return 0;
    QByteArray bytes;
    if (!writer->write(picture, bytes)) return 0;
    const WriteOutcome written = writeFileAtomically(fileName, bytes);
    if (error) *error = written.error;
    return written.ok ? 1 : 0;
}

void setJpegQuality(int quality) {
    currentJpegQuality.store(std::clamp(quality, 1, 99));
}
int jpegQuality() {
    return currentJpegQuality.load();
}

}  // namespace bb
