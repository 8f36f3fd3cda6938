// The small picture of the outside that every card file carries right after its signature,
// and the thumbnail the browser makes from it: reading, the thumbnail size rule and the
// nearest-pixel downscaling with 10-bit fixed-point steps.
#pragma once

#include "pictures/DibImage.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace bb {

class UserDialogs;

// The thumbnail box of the browser: the longer side of a thumbnail.
inline constexpr int kThumbnailBox = 80;

enum class PreviewStatus {
    Ok,
    CannotOpen,      // the file could not be opened for reading
    WrongSignature,  // not a card of this program (or shorter than the signature)
    NoPicture,       // the stored picture is damaged or cannot be created
};

struct StoredPreview {
    PreviewStatus status = PreviewStatus::NoPicture;
    DibImage picture;  // null unless status is Ok
};

// Reads the stored preview of the card file `path` (only the signature and the picture).
// Anything but an ordinary file (a folder, a pipe) counts as a file that cannot be opened.
StoredPreview readStoredPreview(const QString& path);

// As above, and shows the message for a file that cannot be opened or is not a card. A
// damaged picture gives a null picture without a message.
DibImage readStoredPreviewReporting(const QString& path, UserDialogs& dialogs);

// Thumbnail size for a stored picture of w × h: th = h × box div w, tw = box; when th is
// more than box, th = box and tw = w × box div h. Sides never drop below 1 (a very flat or
// very tall picture still gets a one-pixel line). An empty size for a non-positive input.
QSize thumbnailSize(int w, int h, int box = kThumbnailBox);

// Nearest-pixel downscaling of `source` to tw × th with steps sx = w × 1024 div tw and
// sy = h × 1024 div th: destination pixel (x, y), counted from the top row, takes source pixel
// (x × sx div 1024, y × sy div 1024). Same depth and colour table as the source. Null when the
// source is null or the size is not positive.
DibImage downscaleDib(const DibImage& source, int tw, int th);

// The box for a thumbnail of `requested` pixels made from a stored picture of w × h: up to the
// browser's 80 as asked; a larger request gets at most the picture's longer side, so nothing
// is enlarged beyond the stored picture (but never less than the browser's 80).
int thumbnailBoxFor(int requested, int w, int h);

// The browser's thumbnail of a stored picture: the size rule for `box`, then downscaling.
DibImage makeThumbnail(const DibImage& preview, int box = kThumbnailBox);

// The picture as an RGB32 image for writing to a file. Converts on every call and keeps
// nothing, so thousands of thumbnails do not carry a second copy of their pixels.
QImage dibToImage(const DibImage& picture);

}  // namespace bb
