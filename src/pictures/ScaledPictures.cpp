#include "pictures/ScaledPictures.h"

#include "pictures/PictureOps.h"
#include "pictures/QtCodec.h"

#include <QFileInfo>
#include <QHash>

#include <mutex>

namespace bb {

// First version: reduces the decoded pixels in memory. Keyed by the shared pixels and size.
namespace {

struct Cache {
    std::mutex mutex;
    QHash<QString, DibImage> held;
    ScaledPictureStats stats;
};

Cache& cache() {
    static Cache c;
    return c;
}

QString keyOf(const DibImage& picture, QSize size) {
    return QStringLiteral("%1:%2x%3")
        .arg(quintptr(picture.sharedId()))
        .arg(size.width())
        .arg(size.height());
}

}  // namespace

DibImage deferredPictureFile(const QString& fileName, QSize size, int32_t turn) {
    DibImage picture = loadPictureFile(fileName);
    if (picture.isNull() || picture.width() != size.width() || picture.height() != size.height())
        return {};
    if (!turnByRotation(picture, turn)) return {};
    picture.setSource(fileName, turn);
    return picture;
}

bool drawsReduced(const DibImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty()) return false;
    if (picture.isDeferred()) return true;
    return !picture.sourceFile().isEmpty() && picture.width() >= 2 * size.width() &&
           picture.height() >= 2 * size.height();
}

DibImage scaledPicture(const DibImage& picture, QSize size) {
    if (!drawsReduced(picture, size)) return picture;
    const QString key = keyOf(picture, size);
    Cache& c = cache();
    {
        std::lock_guard lock(c.mutex);
        if (auto it = c.held.constFind(key); it != c.held.constEnd()) {
            ++c.stats.hits;
            return *it;
        }
    }
    const QImage reduced = picture.toQImage()
                               .convertToFormat(QImage::Format_RGB32)
                               .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    DibImage result = dibFromQImage(reduced);
    if (result.isNull()) return picture;
    std::lock_guard lock(c.mutex);
    ++c.stats.decodes;
    c.stats.bytes += result.byteCount();
    c.held.insert(key, result);
    return result;
}

DibImage cachedScaledPicture(const DibImage& picture, QSize size, bool* exact) {
    if (exact) *exact = true;
    if (!drawsReduced(picture, size)) return picture;
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    if (auto it = c.held.constFind(keyOf(picture, size)); it != c.held.constEnd()) return *it;
    if (exact) *exact = false;
    return {};
}

ScaledPictureStats scaledPictureStats() {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    return c.stats;
}

void clearScaledPictures() {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.held.clear();
    c.stats = {};
}

}  // namespace bb
