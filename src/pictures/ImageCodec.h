// The picture readers behind loadPictureFile.
#pragma once

#include "pictures/DibImage.h"

#include <QByteArray>
#include <QIODevice>
#include <QSize>
#include <QString>

#include <span>

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

// Header readers of the table's own formats (PictureHeaders.cpp).
bool bmpHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool gifHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool pcxHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool ilbmHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);
bool tgaHeader(QIODevice& file, const QByteArray& head, QSize& size, int& bitCount);

// Readers in the order loadPictureFile tries them (own readers first; Qt's QImageReader last).
// The formats that are written, with their readers, are in PictureFormat.h.
std::span<const DibReader> dibReaders();

}  // namespace bb
