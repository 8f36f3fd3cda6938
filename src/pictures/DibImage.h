// Device-independent picture: bottom-up rows padded to four bytes, depths 1, 4, 8 (with a
// colour table) and 24. Copies share the pixels; the last holder frees them.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace bb {

// Refuse pictures larger than this before allocating anything.
inline constexpr int kMaxDibSide = 32768;
inline constexpr qint64 kMaxDibBytes = 512ll * 1024 * 1024;

// A colour value as the card stores it: red in the low byte (0 black, 0xFFFFFF white).
using ColorRef = uint32_t;
inline constexpr ColorRef rgbRef(int r, int g, int b) {
    return ColorRef(r & 0xFF) | (ColorRef(g & 0xFF) << 8) | (ColorRef(b & 0xFF) << 16);
}
inline constexpr int refRed(ColorRef c) {
    return int(c & 0xFF);
}
inline constexpr int refGreen(ColorRef c) {
    return int((c >> 8) & 0xFF);
}
inline constexpr int refBlue(ColorRef c) {
    return int((c >> 16) & 0xFF);
}
inline QColor toQColor(ColorRef c) {
    return QColor(refRed(c), refGreen(c), refBlue(c));
}
inline ColorRef fromQColor(const QColor& c) {
    return rgbRef(c.red(), c.green(), c.blue());
}

// One colour table entry as stored in a bitmap: blue, green, red, reserved.
struct RgbQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

// Bytes per bottom-up row for a width and depth, padded to four bytes.
inline constexpr qint64 dibBytesPerRow(qint64 width, int bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}
// Colour table size for a depth: 2, 16, 256, or 0 for 24 bits.
inline constexpr int dibColourCount(int bitCount) {
    return bitCount <= 8 ? (1 << bitCount) : 0;
}
// True when a picture of this size may be allocated (positive sides within kMaxDibSide,
// pixel bytes within kMaxDibBytes, supported depth).
bool dibSizeAllowed(qint64 width, qint64 height, int bitCount);

class DibImage {
public:
    DibImage() = default;  // no picture

    bool isNull() const { return !d_; }
    int width() const;
    int height() const;
    int bitCount() const;
    int bytesPerRow() const;
    bool hasPalette() const { return bitCount() <= 8 && !isNull(); }
    const std::vector<RgbQuad>& colourTable() const;
    void setColourTable(const std::vector<RgbQuad>& table);

    // Row access. Rows are stored bottom-up; rowFromTop(0) is the top row.
    uint8_t* bits();
    const uint8_t* bits() const;
    uint8_t* rowFromTop(int y) { return bits() + qint64(height() - 1 - y) * bytesPerRow(); }
    const uint8_t* rowFromTop(int y) const {
        return bits() + qint64(height() - 1 - y) * bytesPerRow();
    }
    qint64 byteCount() const { return qint64(bytesPerRow()) * height(); }

    // Call after writing pixels or colours through bits()/rowFromTop() so that the cached
    // drawing image is rebuilt. setPixel() does this itself.
    void markModified();

    // The picture as an image for drawing (Format_RGB32 for 24 bit, Indexed8 with colour
    // table otherwise). Converted once and cached with the shared pixels until modified.
    const QImage& toQImage() const;
    // True while the drawing image of toQImage() is built and held (loading and screen
    // drawing never build it; only toQImage() does).
    bool drawingImageCached() const;

    // The blank that stands in for a picture file that could not be read (loadPictureOrBlank);
    // the editor draws such a picture as a placeholder. Quarter turns keep the mark.
    bool isStandIn() const;
    void markStandIn();
    // Why a stand-in stands in when the reason is worth showing on it ("Bild zu groß").
    QString standInNote() const;
    void setStandInNote(const QString& note);

    // A picture read from a file keeps the file's name and the quarter turns applied to it,
    // so that a smaller copy for drawing can be decoded from the file (ScaledPictures.h).
    // Empty for pictures made in memory (scanned, pasted, edited).
    QString sourceFile() const;
    int32_t sourceTurn() const;
    // True while the pixels of a picture made by deferredPictureFile have not been decoded:
    // size and depth are known, and any access to pixels or colours decodes them first.
    bool isDeferred() const;
    void setSource(const QString& fileName, int32_t turn);

    // Identity of the shared pixels: two copies of one picture compare equal.
    const void* sharedId() const { return d_.get(); }
    long useCount() const { return d_.use_count(); }

    struct Data;

private:
    friend DibImage newDib(int, int, int, const RgbQuad*, int);
    std::shared_ptr<Data> d_;
};

// A new blank picture (all bits zero, colour table copied from `colours` when given, else
// a greyscale ramp). Null when the size or depth is refused.
DibImage newDib(int width, int height, int bitCount, const RgbQuad* colours = nullptr,
                int colourCount = 0);
// A picture of the file at `fileName` whose header announced `size` (before turning) at 24
// bits, turned by `turn` quarter turns clockwise, whose pixels are decoded from the file
// only when first needed. Drawing it smaller never needs them (ScaledPictures.h). Null when
// the size is refused.
DibImage deferredPictureFile(const QString& fileName, QSize size, int32_t turn);

// Releases this holder's reference; other copies keep the pixels.
void releaseDib(DibImage& picture);

// Pixel value at column x, row y counted from the top: a palette index for 1, 4 and 8 bits,
// a ColorRef (red in the low byte) for 24 bits. Out of range reads give 0 and writes nothing.
uint32_t getPixel(const DibImage& picture, int x, int y);
void setPixel(DibImage& picture, int x, int y, uint32_t value);

// The ColorRef that a pixel value stands for (looks the index up in the colour table).
ColorRef pixelColor(const DibImage& picture, uint32_t value);

// Builds a picture from a QImage: indexed images with at most 256 colours keep their
// palette at the smallest fitting depth, everything else becomes 24 bit.
DibImage dibFromQImage(const QImage& image);

// Why a picture file was not read.
enum class PictureError {
    None,
    NotFound,        // no such file
    NotRegularFile,  // a folder, pipe, device or a file of /proc, /sys or /dev
    TooLarge,        // the file, or the picture its header announces, is beyond the limits
    Damaged,         // a known format that does not decode
    UnknownFormat,   // none of the readers takes it
    OverBudget,      // the card's pictures already hold kCardPictureBudget
};
// The reason in a few German words for messages ("zu groß", "beschädigt", ...).
QString pictureErrorText(PictureError error);

// Reads a picture file of one of the offered formats. Null on failure, with the reason in
// `error` when given. Only regular files outside /proc, /sys and /dev are opened; the header
// is checked before the rest of the file is read.
DibImage loadPictureFile(const QString& fileName, PictureError* error = nullptr);

// Type codes of the picture formats (PictureFormat.h): the save filter's entry number plus two.
enum DibType : int {
    DibBMP = 3,
    DibDIB = 4,
    DibGIF = 5,
    DibIFF = 6,
    DibJIF = 7,
    DibJPG = 8,
    DibLBM = 9,
    DibPCX = 10,
    DibRLE = 11,
    DibTGA = 12,
    DibTIF = 13,
    DibPNG = 14,
};
struct PictureSaveOptions;
// Writes the picture whole or not at all (AtomicWrite.h) in the format of `typeCode`, with
// the options of this call (a JPEG's quality, clamped to 1..99). Returns 1 on success. On
// failure `error`, when given, receives the system's error number of the write, or 0 when the
// picture could not be encoded.
int savePictureFile(const DibImage& picture, const QString& fileName, int typeCode,
                    const PictureSaveOptions& options, int* error = nullptr);
// The same with the default options (JPEG quality 75).
int savePictureFile(const DibImage& picture, const QString& fileName, int typeCode,
                    int* error = nullptr);

}  // namespace bb
