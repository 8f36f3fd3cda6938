// Photo files for the benchmarks: `count` JPEG files of 4000 × 3000 pixels (12 megapixels),
// made once per program in a temporary folder. They are copies of one photo-like picture, so
// each file is decoded on its own as a card's different photos are.
#pragma once

#include "render/PhotoFiles.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace benchphotos {

inline constexpr int kPhotoWidth = 4000;
inline constexpr int kPhotoHeight = 3000;

inline QStringList photoFiles(int count) {
    static QTemporaryDir dir;
    static QStringList files;
    if (!dir.isValid()) return {};
    if (files.isEmpty()) {
        const QString first = QDir(dir.path()).filePath(QStringLiteral("foto1.jpg"));
        if (!phototest::writePhoto(first, kPhotoWidth, kPhotoHeight)) return {};
        files << first;
    }
    while (files.size() < count) {
        const QString next =
            QDir(dir.path()).filePath(QStringLiteral("foto%1.jpg").arg(files.size() + 1));
        if (!QFile::copy(files.first(), next)) return {};
        files << next;
    }
    return files.mid(0, count);
}

}  // namespace benchphotos
