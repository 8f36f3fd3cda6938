// The table of picture readers and writers behind loadPictureFile and savePictureFile.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QIODevice>
#include <QSize>
#include <QString>

#include <vector>

namespace bb {

struct DibReader {
    const char* name;  // "BMP", "PCX", ...
    // True when this reader takes a file that starts with `head` (at least the first 64
    // bytes, fewer for short files) and has the lower-case suffix `suffix` (no dot).
    bool (*accepts)(const QByteArray& head, const QString& suffix);
    // Decodes the whole file; a null picture on any failure. Never trusts a size or
    // offset from the file: every read is bounds-checked and sizes obey dibSizeAllowed().
    DibImage (*read)(const QByteArray& data);
    // The picture's size and the depth it decodes to, from the start of the file only (`head`
    // holds at least the first kPictureHeadBytes bytes, fewer for short files; `file` is open at
    // an unknown position for readers whose header lies further in). False when the header
    // gives no size.
    bool (*header)(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
};

// How much of a file's start the readers' accepts() and header() see.
inline constexpr int kPictureHeadBytes = 128;

struct DibWriter {
    int typeCode;             // DibType
    const char* name;         // "BMP" (the save filter's name)
    const char* suffix;       // "bmp"
    const char* description;  // dialog filter description
    // Encodes the picture; false when it cannot.
    bool (*write)(const DibImage& picture, QByteArray& out);
};

// Header readers of the table's own formats (PictureHeaders.cpp).
bool bmpHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool gifHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool pcxHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool ilbmHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool tgaHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);

// Readers in the order loadPictureFile tries them (own readers first; Qt's QImageReader last).
const std::vector<DibReader>& dibReaders();
// Writers in save-filter order (type codes 3, 4, 5, ...).
const std::vector<DibWriter>& dibWriters();
const DibWriter* dibWriterForType(int typeCode);
const DibWriter* dibWriterForName(const QString& nameOrSuffix);  // case-insensitive

}  // namespace bb
