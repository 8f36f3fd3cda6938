#include "pictures/DibImage.h"

#include "pictures/PictureOps.h"
#include "pictures/QtCodec.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace bb {

namespace {

// Pixel memory. Large pictures are mapped directly and asked for huge pages on Linux:
// the fresh pages come zeroed from the system, and turning or drawing a picture of many
// megabytes then runs without a TLB miss on every other row.
constexpr size_t kMappedBytes = size_t(4) << 20;

struct PixelMemory {
    uint8_t* data = nullptr;
    size_t size = 0;
    bool mapped = false;

    PixelMemory() = default;
    PixelMemory(const PixelMemory&) = delete;
    PixelMemory& operator=(const PixelMemory&) = delete;
    ~PixelMemory() {
#ifdef __linux__
        if (mapped) {
            munmap(data, size);
            return;
        }
#endif
        std::free(data);
    }

    bool allocate(size_t bytes) {
        size = bytes;
#ifdef __linux__
        if (bytes >= kMappedBytes) {
            void* p =
                mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) return false;
            madvise(p, bytes, MADV_HUGEPAGE);
            data = static_cast<uint8_t*>(p);
            mapped = true;
            return true;
        }
#endif
        data = static_cast<uint8_t*>(std::calloc(bytes, 1));
        return data != nullptr;
    }
};

const std::vector<RgbQuad>& noColours() {
    static const std::vector<RgbQuad> empty;
    return empty;
}

}  // namespace

struct DibImage::Data {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    int bytesPerRow = 0;
    std::vector<RgbQuad> colours;  // exactly dibColourCount(bitCount) entries
    PixelMemory bits;
    std::atomic<bool> standIn{false};
    mutable std::mutex noteMutex;  // the note may be set by a decode on another thread
    QString standInNote;
    QString sourceFile;  // the file it was read from, empty when made in memory
    int32_t sourceTurn = 0;

    // A deferred picture (deferredPictureFile) has no pixels until the first access decodes
    // them; `pending` is read without the lock so that every later access costs one load.
    std::atomic<bool> pending{false};
    std::mutex decodeMutex;

    void ensureDecoded() {
        if (pending.load(std::memory_order_acquire)) decodeNow();
    }
    void decodeNow();
    void becomeBlank(PictureError why);
    static DibImage holding(std::shared_ptr<Data> data) {
        DibImage picture;
        picture.d_ = std::move(data);
        return picture;
    }

    // Drawing image, built on first use. cacheValid is read without the lock so that
    // markModified() in a setPixel loop costs one atomic load.
    mutable std::mutex cacheMutex;
    mutable QImage cache;
    mutable std::atomic<bool> cacheValid{false};

    void invalidate() {
        if (!cacheValid.load(std::memory_order_acquire)) return;
        std::lock_guard lock(cacheMutex);
        cacheValid.store(false, std::memory_order_release);
        cache = QImage();
    }
};

bool dibSizeAllowed(qint64 width, qint64 height, int bitCount) {
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return false;
    if (width < 1 || height < 1 || width > kMaxDibSide || height > kMaxDibSide) return false;
    return dibBytesPerRow(width, bitCount) * height <= kMaxDibBytes;
}

int DibImage::width() const {
    return d_ ? d_->width : 0;
}
int DibImage::height() const {
    return d_ ? d_->height : 0;
}
int DibImage::bitCount() const {
    return d_ ? d_->bitCount : 0;
}
int DibImage::bytesPerRow() const {
    return d_ ? d_->bytesPerRow : 0;
}

const std::vector<RgbQuad>& DibImage::colourTable() const {
    if (!d_) return noColours();
    d_->ensureDecoded();
    return d_->colours;
}

void DibImage::setColourTable(const std::vector<RgbQuad>& table) {
    if (!d_) return;
    d_->ensureDecoded();
    const size_t count = size_t(dibColourCount(d_->bitCount));
    d_->colours.assign(count, RgbQuad{});
    std::copy_n(table.begin(), std::min(count, table.size()), d_->colours.begin());
    d_->invalidate();
}

uint8_t* DibImage::bits() {
    if (!d_) return nullptr;
    d_->ensureDecoded();
    return d_->bits.data;
}
const uint8_t* DibImage::bits() const {
    if (!d_) return nullptr;
    d_->ensureDecoded();
    return d_->bits.data;
}

bool DibImage::isStandIn() const {
    return d_ && d_->standIn;
}

QString DibImage::standInNote() const {
    if (!d_) return {};
    std::lock_guard lock(d_->noteMutex);
    return d_->standInNote;
}

void DibImage::setStandInNote(const QString& note) {
    if (!d_) return;
    std::lock_guard lock(d_->noteMutex);
    d_->standInNote = note;
}

QString DibImage::sourceFile() const {
    return d_ ? d_->sourceFile : QString();
}

int32_t DibImage::sourceTurn() const {
    return d_ ? d_->sourceTurn : 0;
}

bool DibImage::isDeferred() const {
    return d_ && d_->pending.load(std::memory_order_acquire);
}

void DibImage::setSource(const QString& fileName, int32_t turn) {
    if (!d_) return;
    d_->sourceFile = fileName;
    d_->sourceTurn = turn;
}

void DibImage::markStandIn() {
    if (d_) d_->standIn = true;
}

void DibImage::markModified() {
    if (!d_) return;
    d_->invalidate();
    // Pixels written in memory no longer match the file they were read from.
    if (!d_->sourceFile.isEmpty()) d_->sourceFile.clear();
}

const QImage& DibImage::toQImage() const {
    static const QImage none;
    if (!d_) return none;
    d_->ensureDecoded();
    std::lock_guard lock(d_->cacheMutex);
    if (!d_->cacheValid.load(std::memory_order_acquire)) {
        d_->cache = qimageFromDib(*this);
        d_->cacheValid.store(true, std::memory_order_release);
    }
    return d_->cache;
}

bool DibImage::drawingImageCached() const {
    return d_ && d_->cacheValid.load(std::memory_order_acquire);
}

DibImage newDib(int width, int height, int bitCount, const RgbQuad* colours, int colourCount) {
    DibImage picture;
    if (!dibSizeAllowed(width, height, bitCount)) return picture;
    auto data = std::make_shared<DibImage::Data>();
    data->width = width;
    data->height = height;
    data->bitCount = bitCount;
    data->bytesPerRow = int(dibBytesPerRow(width, bitCount));
    if (!data->bits.allocate(size_t(data->bytesPerRow) * size_t(height))) return picture;
    const int count = dibColourCount(bitCount);
    data->colours.resize(size_t(count));
    if (colours && colourCount > 0) {
        std::copy_n(colours, std::min(count, colourCount), data->colours.begin());
    } else {
        for (int i = 0; i < count; ++i) {
            const auto grey = uint8_t(count > 1 ? i * 255 / (count - 1) : 0);
            data->colours[size_t(i)] = RgbQuad{grey, grey, grey, 0};
        }
    }
    picture.d_ = std::move(data);
    return picture;
}

// Decodes the file as loadPictureFile and turns it as turnByRotation, exactly as a picture
// loaded at once, and takes over its pixels. A file that is gone, changed or damaged leaves a
// white blank of the announced size marked as a stand-in, with the reason as its note.
void DibImage::Data::decodeNow() {
    std::lock_guard lock(decodeMutex);
    if (!pending.load(std::memory_order_acquire)) return;  // decoded by another thread
    PictureError why = PictureError::None;
    DibImage decoded = loadPictureFile(sourceFile, &why);
    if (!decoded.isNull() && !turnByRotation(decoded, sourceTurn)) {
        decoded = DibImage();
        why = PictureError::TooLarge;
    }
    if (!decoded.isNull() && (decoded.width() != width || decoded.height() != height)) {
        decoded = DibImage();
        why = PictureError::Damaged;
    }
    // The header promised 24 bits; a reader that gives fewer keeps the look at 24 bits.
    if (!decoded.isNull() && decoded.bitCount() != 24)
        decoded = dibFromQImage(qimageFromDib(decoded).convertToFormat(QImage::Format_RGB32));
    if (decoded.isNull() || decoded.bitCount() != 24) {
        becomeBlank(why == PictureError::None ? PictureError::Damaged : why);
    } else {
        std::swap(bits.data, decoded.d_->bits.data);
        std::swap(bits.size, decoded.d_->bits.size);
        std::swap(bits.mapped, decoded.d_->bits.mapped);
    }
    pending.store(false, std::memory_order_release);
}

void DibImage::Data::becomeBlank(PictureError why) {
    if (bits.allocate(size_t(bytesPerRow) * size_t(height)))
        std::memset(bits.data, 0xFF, bits.size);
    standIn.store(true, std::memory_order_release);
    std::lock_guard lock(noteMutex);
    standInNote = pictureErrorText(why);
}

DibImage deferredPictureFile(const QString& fileName, QSize size, int32_t turn) {
    const bool odd = turn == 1 || turn == 3;
    const int w = odd ? size.height() : size.width();
    const int h = odd ? size.width() : size.height();
    if (fileName.isEmpty() || !dibSizeAllowed(w, h, 24)) return {};
    auto data = std::make_shared<DibImage::Data>();
    data->width = w;
    data->height = h;
    data->bitCount = 24;
    data->bytesPerRow = int(dibBytesPerRow(w, 24));
    data->sourceFile = fileName;
    data->sourceTurn = turn >= 1 && turn <= 3 ? turn : 0;
    data->pending.store(true, std::memory_order_release);
    return DibImage::Data::holding(std::move(data));
}

void releaseDib(DibImage& picture) {
    picture = DibImage();
}

uint32_t getPixel(const DibImage& picture, int x, int y) {
    const int w = picture.width(), h = picture.height();
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    const uint8_t* row = picture.rowFromTop(y);
    switch (picture.bitCount()) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        case 8:
            return row[x];
        case 24: {
            const uint8_t* p = row + qint64(x) * 3;
            return rgbRef(p[2], p[1], p[0]);
        }
        default:
            return 0;
    }
}

void setPixel(DibImage& picture, int x, int y, uint32_t value) {
    const int w = picture.width(), h = picture.height();
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    uint8_t* row = picture.rowFromTop(y);
    switch (picture.bitCount()) {
        case 1: {
            const auto mask = uint8_t(0x80u >> (x & 7));
            row[x >> 3] = (value & 1u) ? uint8_t(row[x >> 3] | mask) : uint8_t(row[x >> 3] & ~mask);
            break;
        }
        case 4: {
            uint8_t& b = row[x >> 1];
            b = (x & 1) ? uint8_t((b & 0xF0u) | (value & 0x0Fu))
                        : uint8_t((b & 0x0Fu) | ((value & 0x0Fu) << 4));
            break;
        }
        case 8:
            row[x] = uint8_t(value);
            break;
        case 24: {
            uint8_t* p = row + qint64(x) * 3;
            p[0] = uint8_t(refBlue(value));
            p[1] = uint8_t(refGreen(value));
            p[2] = uint8_t(refRed(value));
            break;
        }
        default:
            return;
    }
    picture.markModified();
}

ColorRef pixelColor(const DibImage& picture, uint32_t value) {
    if (picture.bitCount() == 24) return value & 0xFFFFFFu;
    const auto& table = picture.colourTable();
    if (value >= table.size()) return 0;
    const RgbQuad& q = table[value];
    return rgbRef(q.red, q.green, q.blue);
}

}  // namespace bb
