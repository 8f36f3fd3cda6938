// JPEG, TIFF and PNG writing through Qt's image writers.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>

namespace bb {

// JPEG with the given quality (1..100).
bool writeJpegQuality(const DibImage& picture, int quality, QByteArray& out);
// TIFF with LZW compression (palette pictures keep their colour table).
bool writeTiff(const DibImage& picture, QByteArray& out);
bool writePng(const DibImage& picture, QByteArray& out);

}  // namespace bb
