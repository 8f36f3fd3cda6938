// Where drawing gets a picture's pixels at the size it draws them. Outputs (print, export,
// previews) leave it unset and wait for each decode; the editor's views set one that decodes
// in the background and answers "not yet" meanwhile, so that the window never waits.
#pragma once

#include "pictures/DibImage.h"

#include <QSize>

namespace bb {

class PicturePixels {
public:
    virtual ~PicturePixels() = default;
    // The pixels to draw `picture` with at `size` device pixels (see scaledPicture), or a
    // null picture while they are not ready; the caller then draws a placeholder.
    virtual DibImage pixels(const DibImage& picture, QSize size) const = 0;
};

}  // namespace bb
