// File dialog filters of the picture formats, as "|"-separated description and pattern
// pairs ("Windows-Bitmap (*.bmp)|*.bmp|...").
#pragma once

#include <QString>

namespace bb {

// First entry "Alle Bilddateien" with every readable pattern, then one entry per format.
QString pictureOpenFilter();
// One entry per writer in save-filter order: entry i (from 1) is type code i + 2.
QString pictureSaveFilter();
// The same filter in Qt's form ("Description (*.a *.b);;..."), for QFileDialog.
QString dibFilterToQt(const QString& filter);

}  // namespace bb
