// Picture loads and quarter turns.
#pragma once

#include "pictures/DibImage.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace bb {

// Where a stored picture name may lie, in the order it is looked for, never against the
// working directory of the process: an absolute name as it is; a bare name in the program
// folder, then in the card's folder; a relative name with folders in the card's folder, then
// in the program folder; last the name's file part in the card's folder (a card sent on with
// its pictures beside it). Names stored on Windows ("bilder\rose.jpg") count their "\" as
// folder separators; one with a drive ("D:\...") is only looked for by its file part. An
// empty folder is skipped; no name appears twice.
QStringList pictureNameCandidates(const QString& name, const QString& cardFolder,
                                  const QString& programFolder);

// The first of pictureNameCandidates without a card: the path a picture chosen in the program
// is loaded from. Empty when the name cannot be resolved without one.
QString resolvePictureName(const QString& name, const QString& programFolder);

// The file part of a stored picture name: after the last separator of either kind (names
// stored on other systems may use "\").
QString pictureFilePart(const QString& name);

// Loads a picture file into `target` (its previous picture is released). On failure the
// target gets a blank white 24-bit picture of 320 x 200 pixels, marked as a stand-in
// (DibImage::isStandIn), and the result is false.
bool loadPictureOrBlank(DibImage& target, const QString& fileName, const QString& programFolder,
                        PictureError* error = nullptr);
// Makes `target` the white 320 x 200 stand-in, with `note` shown on it in the editor.
void makeStandIn(DibImage& target, const QString& note = {});
// The message for a picture that was not loaded: "Konnte Bild (name) nicht Laden.", and a
// second line with the reason unless the file was simply not there.
QString pictureLoadMessage(const QString& name, PictureError error);

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
