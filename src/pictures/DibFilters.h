// File dialog filters of the picture formats, as "|"-separated description and pattern
// pairs ("Windows-Bitmap (*.bmp)|*.bmp|...").
#pragma once

#include <QString>

namespace bb {

// First entry "Alle Bilddateien" with every readable pattern, then one entry per format.
QString pictureOpenFilter();
// The save dialog's filter: one entry per format of pictureFormats(), in its order, so that
// the chosen entry's 1-based index names the format (pictureFormatForFilterIndex).
QString saveFilter();
// The same filter in Qt's form ("Description (*.a *.b);;..."), for QFileDialog.
QString dibFilterToQt(const QString& filter);

}  // namespace bb
