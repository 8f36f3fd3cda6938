// The pictures of one card, each file decoded once: objects naming the same file share one
// picture (and one per quarter turn), and all decoded pixels together stay within a budget.
// Large colour pictures (kDeferredPictureBytes and more, ScaledPictures.h) are not decoded
// here: they become deferred pictures, read from their header alone, which outputs draw
// from reduced copies and which decode their full pixels only where an operation needs them.
#pragma once

#include "pictures/DibImage.h"

#include <QHash>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

namespace bb {

// Decoded pixels all pictures of one card may hold when it is read. Beyond it a picture
// stays a stand-in marked "Bild zu groß" instead of being decoded. Deferred pictures hold no
// pixels and count nothing; those decoded later (a turn of the user's, a transparent
// drawing) are decoded one at a time and not counted.
inline constexpr qint64 kCardPictureBudget = 2ll * 1024 * 1024 * 1024;

class PictureCache {
public:
    explicit PictureCache(qint64 budget = kCardPictureBudget) : budget_(budget) {}

    // The picture of the file at `path` turned by `rotation` (turnByRotation), shared with
    // every earlier request for the same file and turn. A picture too large for the limits
    // is decoded at the largest size they allow when its format can be read scaled. Null on
    // failure, with the reason in `error`; PictureError::OverBudget when the file would take
    // the card past the budget.
    DibImage load(const QString& path, int32_t rotation, PictureError* error = nullptr,
                  const std::function<void(int)>& progress = {});

    // Decoded bytes held so far (each shared picture counted once; deferred ones hold none).
    qint64 usedBytes() const { return used_; }

private:
    struct Entry {
        PictureError error = PictureError::None;
        std::array<DibImage, 4> turned;  // by quarter turns clockwise; [0] as read
        QSize deferredSize;              // valid for a large picture read deferred
    };
    bool probe(const QString& path, Entry& entry);
    bool take(qint64 bytes);

    qint64 budget_;
    qint64 used_ = 0;
    QHash<QString, Entry> entries_;  // by canonical path
};

}  // namespace bb
