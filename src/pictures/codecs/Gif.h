// GIF through giflib. Reading composes the first frame of the file onto the logical screen:
// images without a Graphic Control Extension add to it (tiles of a many-colour picture, a
// background) up to and including the first image with one, which completes the frame.
// Uncovered and transparent pixels become white, the paper of a card.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>

#include <QString>

namespace bb {

bool acceptsGif(const QByteArray& head, const QString& suffix);
// 24-bit first frame; null for broken files (bad LZW codes, colours outside the colour
// table, sizes the picture limits refuse, no screen or only a plain text block).
DibImage readGif(const QByteArray& data);

// Palette pictures keep their colour table; 24-bit pictures with at most 256 colours keep
// their exact colours; others are reduced by median cut with Floyd-Steinberg dithering.
bool writeGif(const DibImage& picture, QByteArray& out);

}  // namespace bb
