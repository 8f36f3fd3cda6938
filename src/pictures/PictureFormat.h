// The picture formats the program writes, one descriptor each, in the order of the save dialog.
// The save and open filters, the lookups by name, suffix or alias, the command-line tool's
// format names and whether a save asks for a quality all come from this one table.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <span>

namespace bb {

struct DibReader;

inline constexpr int kDefaultJpegQuality = 75;

// What one save call needs besides the picture and the format. Each call carries its own
// options: nothing a save chooses stays behind for a later one.
struct PictureSaveOptions {
    int quality = kDefaultJpegQuality;  // 1..99, for formats that take a quality
};

struct PictureFormat {
    int typeCode;        // DibType: the save filter's entry number plus two
    const char* name;    // "BMP": the save filter's and the command-line tool's name
    const char* suffix;  // "bmp": the default extension, lower case, without the dot
    std::array<const char*, 2> aliases;  // other spellings of the suffix ("jpeg"); null when unused
    const char* description;  // the dialog's text, with its pattern: "Windows-Bitmap (*.bmp)"
    const DibReader* reader;  // the reader that decodes what the writer writes
    // Encodes the picture; false when it cannot.
    bool (*write)(const DibImage& picture, const PictureSaveOptions& options, QByteArray& out);
    bool takesQuality;  // the save asks for a JPEG quality first

    // The 1-based entry number in the save filter.
    int filterIndex() const { return typeCode - 2; }
    // ".bmp", or ".BMP" when upperCase.
    QString extension(bool upperCase = false) const;
    // The suffix and its aliases: "jpg", "jpeg", "jpe".
    QStringList suffixes() const;
};

// Every format, in save-filter order (type codes 3, 4, 5, ...).
std::span<const PictureFormat> pictureFormats();
const PictureFormat* pictureFormatForType(int typeCode);
// The format of a 1-based save-filter index; null outside the table.
const PictureFormat* pictureFormatForFilterIndex(int filterIndex);
// By name, suffix or alias, in any letter case and with or without a leading dot.
const PictureFormat* pictureFormatForName(const QString& nameOrSuffix);
// The names in table order: "BMP", "DIB", ... (the command-line tool's --format values).
QStringList pictureFormatNames();

// The format code of a 1-based filter index; 0 outside the table.
int formatCodeForFilterIndex(int filterIndex);
// The filter index for a format name, suffix or alias ("jpg", "TIF", ".jpeg"); 0 when unknown.
int filterIndexForFormat(const QString& nameOrExtension);
// The default extension of a 1-based filter index, with its dot: ".bmp", or ".BMP" when
// upperCase (the scan save). Empty outside the table.
QString saveFormatExtension(int filterIndex, bool upperCase = false);

}  // namespace bb
