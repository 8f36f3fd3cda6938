#include "pictures/ScaledPictures.h"

#include "pictures/PictureFile.h"
#include "pictures/PictureOps.h"
#include "pictures/QtCodec.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace bb {

namespace {

// One reduced picture, or one being made (`ready` false), or one that could not be made
// (`ready` true, null picture): asking again would fail again until the file changes.
struct Entry {
    QString identity;  // file, modification time, file size and turn
    QSize size;
    DibImage picture;
    bool ready = false;
    quint64 lastUse = 0;
};

struct Cache {
    std::mutex mutex;
    std::condition_variable finished;  // a decode was stored or given up
    QHash<QString, Entry> entries;     // by identity and size
    ScaledPictureStats stats;
    quint64 clock = 0;
    qint64 bound = kScaledPictureCacheBytes;
    std::function<void()> decodeHook;
};

Cache& cache() {
    static Cache c;
    return c;
}

// The file as it is now: a rewritten file is another picture. Empty when it is gone.
QString identityOf(const DibImage& picture) {
    const QFileInfo info(picture.sourceFile());
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty()) return {};
    return QStringLiteral("%1\n%2\n%3\n%4")
        .arg(canonical)
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(info.size())
        .arg(picture.sourceTurn());
}

QString keyOf(const QString& identity, QSize size) {
    return identity + QStringLiteral("\n%1x%2").arg(size.width()).arg(size.height());
}

QSize clampedTo(const DibImage& picture, QSize size) {
    return {std::min(size.width(), picture.width()), std::min(size.height(), picture.height())};
}

// Makes the reduced copy: from the file for a picture not decoded yet (before its turn,
// which is applied to the small copy), else from the pixels at hand.
DibImage makeReduced(const DibImage& picture, QSize size) {
    if (!picture.isDeferred()) {
        QImage image = qimageFromDib(picture);
        if (image.format() != QImage::Format_RGB32)
            image = image.convertToFormat(QImage::Format_RGB32);
        return dibFromQImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    const int32_t turn = picture.sourceTurn();
    const bool odd = turn == 1 || turn == 3;
    DibImage reduced = loadPictureFileAtSize(picture.sourceFile(), odd ? size.transposed() : size);
    if (reduced.isNull() || !turnByRotation(reduced, turn)) return {};
    return reduced;
}

// Drops the least recently used copies nobody else holds while those exceed the bound.
// Called with the lock held.
void evictUnused(Cache& c) {
    std::vector<std::pair<quint64, QString>> unused;
    qint64 unusedBytes = 0;
    for (auto it = c.entries.cbegin(); it != c.entries.cend(); ++it) {
        if (!it->ready || it->picture.isNull() || it->picture.useCount() > 1) continue;
        unused.emplace_back(it->lastUse, it.key());
        unusedBytes += it->picture.byteCount();
    }
    std::sort(unused.begin(), unused.end());
    for (const auto& [use, key] : unused) {
        if (unusedBytes <= c.bound) break;
        const qint64 bytes = c.entries.value(key).picture.byteCount();
        unusedBytes -= bytes;
        c.stats.bytes -= bytes;
        c.entries.remove(key);
    }
}

// Waits for the entry of `key` when another thread is making it; the entry then, or null.
// Called with the lock held.
const Entry* settledEntry(Cache& c, std::unique_lock<std::mutex>& lock, const QString& key) {
    c.finished.wait(lock, [&] {
        const auto it = c.entries.constFind(key);
        return it == c.entries.constEnd() || it->ready;
    });
    const auto it = c.entries.find(key);
    if (it == c.entries.end()) return nullptr;
    it->lastUse = ++c.clock;
    return &*it;
}

// The picture itself, decoded: what is drawn when no reduced copy can be made.
DibImage decodedItself(const DibImage& picture) {
    (void)picture.bits();
    return picture;
}

}  // namespace

bool drawsReduced(const DibImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty() || picture.isStandIn()) return false;
    if (picture.sourceFile().isEmpty() || picture.byteCount() < kDeferredPictureBytes) return false;
    return size.width() < picture.width() && size.height() < picture.height();
}

DibImage scaledPicture(const DibImage& picture, QSize size) {
    if (!drawsReduced(picture, size)) return decodedItself(picture);
    const QString identity = identityOf(picture);
    if (identity.isEmpty()) return decodedItself(picture);
    const QSize target = clampedTo(picture, size);
    const QString key = keyOf(identity, target);
    Cache& c = cache();
    std::unique_lock lock(c.mutex);
    if (const auto it = c.entries.constFind(key); it != c.entries.constEnd()) {
        if (!it->ready) ++c.stats.waits;
        const Entry* entry = settledEntry(c, lock, key);
        if (entry && !entry->picture.isNull()) {
            ++c.stats.hits;
            return entry->picture;
        }
        if (entry) {  // could not be made; the picture is drawn as it is
            lock.unlock();
            return decodedItself(picture);
        }
    }
    c.entries.insert(key, Entry{identity, target, {}, false, ++c.clock});
    const std::function<void()> hook = c.decodeHook;
    lock.unlock();
    if (hook) hook();
    DibImage reduced = makeReduced(picture, target);
    if (QSize(reduced.width(), reduced.height()) != target) reduced = DibImage();
    lock.lock();
    Entry& entry = c.entries[key];  // made again if the cache was cleared meanwhile
    entry = Entry{identity, target, reduced, true, ++c.clock};
    if (!reduced.isNull()) {
        ++c.stats.decodes;
        c.stats.bytes += reduced.byteCount();
        evictUnused(c);
    }
    c.finished.notify_all();
    lock.unlock();
    return reduced.isNull() ? decodedItself(picture) : reduced;
}

DibImage cachedScaledPicture(const DibImage& picture, QSize size, bool* exact) {
    if (exact) *exact = false;
    if (!drawsReduced(picture, size)) {
        if (picture.isDeferred()) return {};
        if (exact) *exact = true;
        return picture;
    }
    const QString identity = identityOf(picture);
    if (identity.isEmpty()) return {};
    const QString key = keyOf(identity, clampedTo(picture, size));
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    if (auto it = c.entries.find(key); it != c.entries.end() && it->ready) {
        if (it->picture.isNull()) return {};
        it->lastUse = ++c.clock;
        if (exact) *exact = true;
        return it->picture;
    }
    Entry* largest = nullptr;
    for (Entry& entry : c.entries)
        if (entry.ready && !entry.picture.isNull() && entry.identity == identity &&
            (!largest || entry.size.width() > largest->size.width()))
            largest = &entry;
    if (!largest) return {};
    largest->lastUse = ++c.clock;
    return largest->picture;
}

ScaledPictureStats scaledPictureStats() {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    return c.stats;
}

void clearScaledPictures() {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    // Copies being made stay, so that the threads waiting for them are answered.
    for (auto it = c.entries.begin(); it != c.entries.end();)
        it = it->ready ? c.entries.erase(it) : std::next(it);
    c.stats = {};
}

void setScaledPictureCacheBytes(qint64 bytes) {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.bound = bytes;
    evictUnused(c);
}

void setScaledPictureDecodeHook(std::function<void()> hook) {
    Cache& c = cache();
    std::lock_guard lock(c.mutex);
    c.decodeHook = std::move(hook);
}

}  // namespace bb
