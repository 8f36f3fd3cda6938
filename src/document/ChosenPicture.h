// Loading a picture the user chose for the card (a new picture object, a background): the
// reason when it cannot be loaded, the offer to load a picture too large for the limits at a
// smaller size, and the card's budget for decoded pixels.
#pragma once

#include "document/CardDocument.h"
#include "pictures/DibImage.h"

#include <QString>

namespace bb {

class UserDialogs;

// Decoded bytes of all pictures the card holds (both sides' objects and the backgrounds),
// each shared picture once.
qint64 cardPictureBytes(const CardDocument& doc);

// Loads the picture chosen as `name` (resolved as resolvePictureName does) into `target`.
// A picture beyond the size limits that can be read scaled is offered at the largest size
// that loads ("Ja" loads it so); a picture that would take the card's pictures (`cardBytes`
// so far) past kCardPictureBudget is not decoded. On failure `target` is the stand-in, the
// message "Konnte Bild (name) nicht Laden." with the reason on a second line has been shown
// under `caption`, and the result is false.
bool loadChosenPicture(DibImage& target, const QString& name, const QString& programFolder,
                       qint64 cardBytes, UserDialogs& dialogs, const QString& caption);

}  // namespace bb
