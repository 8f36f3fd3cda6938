#include "render/BackgroundPictures.h"

#include "pictures/ScaledPictures.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <utility>

namespace bb {

BackgroundPictures::BackgroundPictures(Decoder decoder, int threads, QObject* parent)
    : QObject(parent) {
    setDecoder(std::move(decoder), threads);
}

void BackgroundPictures::setDecoder(Decoder decoder, int threads) {
    clear();
    pool_.waitForDone();
    decoder_ = decoder ? std::move(decoder) : Decoder(scaledPicture);
    // One core stays with the window; at least one worker.
    pool_.setMaxThreadCount(threads > 0 ? threads : std::max(1, QThread::idealThreadCount() - 1));
}

BackgroundPictures::~BackgroundPictures() {
    clear();
    pool_.waitForDone();
}

DibImage BackgroundPictures::pixels(const DibImage& picture, QSize size) const {
    if (picture.isNull() || size.isEmpty()) return picture;
    if (!picture.isDeferred() && !drawsReduced(picture, size)) return picture;
    // At or above its own size a picture draws from its own pixels, once they are decoded.
    const bool whole = size.width() >= picture.width() && size.height() >= picture.height();
    if (whole && !picture.isDeferred()) return picture;

    dropUnused();
    const auto held = results_.constFind(picture.sharedId());
    if (held != results_.constEnd() && held->size == size) return held->pixels;
    if (!whole) {
        bool exact = false;
        DibImage cached = cachedScaledPicture(picture, size, &exact);
        if (exact && !cached.isNull()) {
            results_.insert(picture.sharedId(), Result{picture, size, cached});
            return cached;
        }
    }
    request(picture, size);
    // Meanwhile the size drawn before (a zoom step) rather than a loading box.
    return held != results_.constEnd() ? held->pixels : DibImage();
}

void BackgroundPictures::request(const DibImage& picture, QSize size) const {
    const Key key{picture.sharedId(), size.width(), size.height()};
    quint64 generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (pending_.contains(key)) return;
        pending_.insert(key, picture);
        generation = generation_;
    }
    auto* self = const_cast<BackgroundPictures*>(this);
    pool_.start([self, key, generation, picture, size] {
        {
            // Nobody but this queue holds the picture any more (its card was closed or the
            // object deleted): no decode.
            std::lock_guard lock(self->mutex_);
            if (generation != self->generation_ || !self->pending_.contains(key)) return;
            if (picture.useCount() <= 2) {
                self->pending_.remove(key);
                return;
            }
        }
        DibImage pixels = self->decoder_(picture, size);
        QMetaObject::invokeMethod(
            self,
            [self, key, generation, picture, size, pixels = std::move(pixels)]() mutable {
                self->deliver(key, generation, picture, size, std::move(pixels));
            },
            Qt::QueuedConnection);
    });
}

void BackgroundPictures::deliver(Key key, quint64 generation, DibImage source, QSize size,
                                 DibImage pixels) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
        pending_.remove(key);
    }
    // A failed decode answers with the picture itself, which is then drawn as it stands.
    if (pixels.isNull()) pixels = source;
    results_.insert(key.picture, Result{std::move(source), size, std::move(pixels)});
    emit arrived();
}

void BackgroundPictures::dropUnused() const {
    // A result whose picture only this object still holds belongs to no card any more.
    for (auto it = results_.begin(); it != results_.end();) {
        // The result may be the picture itself (drawn whole): then it holds a second copy.
        const long ours = it->pixels.sharedId() == it->source.sharedId() ? 2 : 1;
        if (it->source.useCount() <= ours)
            it = results_.erase(it);
        else
            ++it;
    }
}

void BackgroundPictures::clear() {
    pool_.clear();
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        pending_.clear();
    }
    results_.clear();
}

int BackgroundPictures::pending() const {
    std::lock_guard lock(mutex_);
    return int(pending_.size());
}

}  // namespace bb
