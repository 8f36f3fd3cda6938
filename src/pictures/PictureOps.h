// Picture loads and quarter turns.
#pragma once

#include "pictures/DibImage.h"

#include <QImage>
#include <QString>

#include <functional>

namespace bb {

// A name without a folder part lies in the program folder; a name with one is used as is.
QString resolvePictureName(const QString& name, const QString& programFolder);

// The file part of a stored picture name: after the last separator of either kind (names
// stored on other systems may use "\").
QString pictureFilePart(const QString& name);

// Loads a picture file into `target` (its previous picture is released). On failure the
// target gets a blank white 24-bit picture of 320 x 200 pixels, marked as a stand-in
// (DibImage::isStandIn), and the result is false.
bool loadPictureOrBlank(DibImage& target, const QString& fileName, const QString& programFolder);

// Loads a picture file into `bitmap` (Format_RGB32). On failure the bitmap is a white
// 100 x 100 image and the result is false.
bool loadBitmapOrBlank(QImage& bitmap, const QString& fileName, const QString& programFolder);

// Replace the picture by a copy turned a quarter turn counter-clockwise, clockwise, or half
// a turn, at the same depth with the same colour table. `progress` receives
// y * 100 / (H - 1) after each source row y (0 for a one-row picture) and 0 at the end.
// When the turned copy cannot be allocated the picture is kept unchanged and the result is
// false (also for a null picture).
bool turnPictureLeft(DibImage& picture, const std::function<void(int)>& progress = {});
bool turnPictureRight(DibImage& picture, const std::function<void(int)>& progress = {});
bool turnPictureHalf(DibImage& picture, const std::function<void(int)>& progress = {});
// Turns by an object's rotation: 1 a quarter clockwise, 2 half, 3 a quarter counter-clockwise;
// anything else leaves the picture (true).
bool turnByRotation(DibImage& picture, int32_t rotation,
                    const std::function<void(int)>& progress = {});

}  // namespace bb
