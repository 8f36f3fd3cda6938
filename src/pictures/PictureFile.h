// Looking at a picture file before loading it: what its header announces, why it cannot be
// loaded, and loading a picture too large for the limits at a smaller size.
#pragma once

#include "pictures/DibImage.h"

#include <QSize>
#include <QString>

namespace bb {

// Files beyond this are not read at all.
inline constexpr qint64 kMaxPictureFileBytes = 1024ll * 1024 * 1024;

struct PictureProbe {
    PictureError error = PictureError::None;  // TooLarge still carries the size
    QSize size;                               // as the header announces it
    int bitCount = 24;                        // the depth it decodes to
    bool canScale = false;  // loadPictureFileScaled can decode it straight to a smaller size
    // Set for a picture that certainly decodes to 24 bits (a colour JPEG, PNG, TIFF or WebP):
    // its size as loadPictureFile gives it, after the orientation its file names. Such a
    // picture can be made a deferred picture (deferredPictureFile) from the header alone.
    QSize deferrableSize;
    // Bytes of decoded pixels; 0 when no size is known.
    qint64 decodedBytes() const;
};

// Opens the file as loadPictureFile does and reads its header only.
PictureProbe probePictureFile(const QString& fileName);

// The largest size of the same proportions (sides rounded down) that the picture limits
// allow at 24 bits; `size` itself when it fits, empty for an empty size.
QSize largestLoadableSize(QSize size);

// Loads a picture that is too large (PictureProbe::canScale) decoded to `size`; a picture
// within the limits is loaded as it is. Null on failure with the reason in `error`.
DibImage loadPictureFileScaled(const QString& fileName, QSize size, PictureError* error = nullptr);

// Decodes the picture file as loadPictureFile would, but to exactly `size` (sides at least 1)
// at 24 bits: a JPEG straight at that size through its decoder's scaling (DCT scaling, so a
// reduction by 2, 4 or 8 costs a fraction of the full decode), every other format loaded
// whole and reduced smoothly, the whole picture freed before returning. Null on failure with
// the reason in `error`.
DibImage loadPictureFileAtSize(const QString& fileName, QSize size, PictureError* error = nullptr);

}  // namespace bb
