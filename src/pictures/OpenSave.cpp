// loadPictureFile over the readers and savePictureFile over the table of picture formats.
#include "pictures/PictureFile.h"

#include "pictures/AtomicWrite.h"
#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"
#include "pictures/PictureFormat.h"
#include "pictures/QtCodec.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace bb {

namespace {

// Folders whose files are not pictures however they are named: their sizes lie, reading
// them can block, and copying them would carry the process's secrets.
bool inSystemFolder(const QString& canonical) {
    for (const char* folder : {"/proc/", "/sys/", "/dev/"})
        if (canonical.startsWith(QLatin1String(folder))) return true;
    return false;
}

// One picture file, opened for reading with its head and the reader that takes it.
struct OpenedPicture {
    QFile file;
    PictureError error = PictureError::None;
    qint64 size = 0;
    QByteArray head;
    const DibReader* reader = nullptr;
    QSize pictureSize;
    int bitCount = 24;
};

// Opens `fileName` if it is a regular file, reads its head and asks the readers in table
// order for the first that takes it and finds a size in its header. Never blocks on a pipe
// or device: the file is opened without waiting and checked before anything is read.
void openPicture(const QString& fileName, OpenedPicture& out) {
    const QString canonical = QFileInfo(fileName).canonicalFilePath();
    if (canonical.isEmpty()) {
        out.error = PictureError::NotFound;
        return;
    }
    if (inSystemFolder(canonical)) {
        out.error = PictureError::NotRegularFile;
        return;
    }
    const int fd = ::open(QFile::encodeName(canonical).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        out.error = errno == ENOENT ? PictureError::NotFound : PictureError::NotRegularFile;
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        out.error = PictureError::NotRegularFile;
        return;
    }
    if (!out.file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        out.error = PictureError::NotFound;
        return;
    }
    out.size = st.st_size;
    if (out.size <= 0) {
        out.error = PictureError::Damaged;
        return;
    }
    if (out.size > kMaxPictureFileBytes) {
        out.error = PictureError::TooLarge;
        return;
    }
    out.head = out.file.read(kPictureHeadBytes);
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    out.error = PictureError::UnknownFormat;
    for (const DibReader& reader : dibReaders()) {
        if (!reader.accepts(out.head, suffix)) continue;
        QSize size;
        int bits = 24;
        if (!reader.header(out.file, out.head, size, bits)) {
            out.error = PictureError::Damaged;
            continue;
        }
        out.reader = &reader;
        out.pictureSize = size;
        out.bitCount = bits;
        out.error = dibSizeAllowed(size.width(), size.height(), bits) ? PictureError::None
                                                                      : PictureError::TooLarge;
        return;
    }
}

// The whole file, once its header was found sound.
bool readWhole(OpenedPicture& opened, QByteArray& data) {
    if (!opened.file.seek(0)) return false;
    data = opened.file.read(opened.size);
    return data.size() == opened.size;
}

}  // namespace

QString pictureErrorText(PictureError error) {
    switch (error) {
        case PictureError::None:
            return {};
        case PictureError::NotFound:
            return QStringLiteral("nicht gefunden");
        case PictureError::NotRegularFile:
            return QStringLiteral("keine gewöhnliche Datei");
        case PictureError::TooLarge:
            return QStringLiteral("zu groß");
        case PictureError::Damaged:
            return QStringLiteral("beschädigt");
        case PictureError::UnknownFormat:
            return QStringLiteral("unbekanntes Format");
        case PictureError::OverBudget:
            return QStringLiteral("Bild zu groß");
    }
    return {};
}

qint64 PictureProbe::decodedBytes() const {
    if (!size.isValid()) return 0;
    return dibBytesPerRow(size.width(), bitCount) * size.height();
}

PictureProbe probePictureFile(const QString& fileName) {
    OpenedPicture opened;
    openPicture(fileName, opened);
    PictureProbe probe;
    probe.error = opened.error;
    if (opened.reader) {
        probe.size = opened.pictureSize;
        probe.bitCount = opened.bitCount;
        probe.canScale = opened.reader->read == &readWithQt && qtCanReadScaled(opened.head);
        if (opened.error == PictureError::None && opened.reader->read == &readWithQt)
            probe.deferrableSize = qtColourPictureSize(opened.file, opened.head);
    }
    return probe;
}

QSize largestLoadableSize(QSize size) {
    if (size.isEmpty()) return {};
    const double w = size.width(), h = size.height();
    double scale = std::min(
        {1.0, kMaxDibSide / w, kMaxDibSide / h, std::sqrt(double(kMaxDibBytes) / (3.0 * w * h))});
    for (int step = 0; step < 64; ++step, scale *= 0.999) {
        const QSize scaled(std::max(1, int(w * scale)), std::max(1, int(h * scale)));
        if (dibSizeAllowed(scaled.width(), scaled.height(), 24)) return scaled;
    }
    return {};
}

DibImage loadPictureFile(const QString& fileName, PictureError* error) {
    OpenedPicture opened;
    openPicture(fileName, opened);
    PictureError why = opened.error;
    DibImage picture;
    QByteArray data;
    if (why == PictureError::None) {
        why = PictureError::Damaged;
        if (readWhole(opened, data)) {
            // The reader that found the header first; a file more than one reader takes
            // (a ".dib" that is also a Targa) is offered to the others too.
            const QString suffix = QFileInfo(fileName).suffix().toLower();
            for (const DibReader& reader : dibReaders()) {
                if (&reader != opened.reader && !reader.accepts(opened.head, suffix)) continue;
                picture = reader.read(data);
                if (!picture.isNull()) {
                    why = PictureError::None;
                    break;
                }
            }
        }
    }
    if (error) *error = why;
    return picture;
}

DibImage loadPictureFileScaled(const QString& fileName, QSize size, PictureError* error) {
    OpenedPicture opened;
    openPicture(fileName, opened);
    PictureError why = opened.error;
    DibImage picture;
    if (why == PictureError::TooLarge && opened.reader && opened.reader->read == &readWithQt &&
        qtCanReadScaled(opened.head)) {
        QByteArray data;
        why = PictureError::Damaged;
        if (readWhole(opened, data)) {
            picture = readWithQtScaled(data, size);
            if (!picture.isNull()) why = PictureError::None;
        }
    } else if (why == PictureError::None) {
        opened.file.close();
        return loadPictureFile(fileName, error);
    }
    if (error) *error = why;
    return picture;
}

DibImage loadPictureFileAtSize(const QString& fileName, QSize size, PictureError* error) {
    if (error) *error = PictureError::Damaged;
    if (size.isEmpty() || !dibSizeAllowed(size.width(), size.height(), 24)) return {};
    OpenedPicture opened;
    openPicture(fileName, opened);
    if (opened.error != PictureError::None) {
        if (error) *error = opened.error;
        return {};
    }
    DibImage picture;
    if (opened.reader->read == &readWithQt && qtPictureFormat(opened.head) == "jpeg") {
        picture = readWithQtAtSize(opened.file, opened.head, size);
    } else {
        opened.file.close();
        PictureError why = PictureError::None;
        DibImage whole = loadPictureFile(fileName, &why);
        if (whole.isNull()) {
            if (error) *error = why;
            return {};
        }
        QImage image = qimageFromDib(whole);
        releaseDib(whole);
        if (image.format() != QImage::Format_RGB32)
            image = image.convertToFormat(QImage::Format_RGB32);
        picture =
            dibFromQImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    if (error) *error = picture.isNull() ? PictureError::Damaged : PictureError::None;
    return picture;
}

int savePictureFile(const DibImage& picture, const QString& fileName, int typeCode,
                    const PictureSaveOptions& options, int* error) {
    if (error) *error = 0;
    const PictureFormat* format = pictureFormatForType(typeCode);
    if (!format || picture.isNull()) return 0;
    PictureSaveOptions checked = options;
    checked.quality = std::clamp(checked.quality, 1, 99);
    QByteArray bytes;
    if (!format->write(picture, checked, bytes)) return 0;
    const WriteOutcome written = writeFileAtomically(fileName, bytes);
    if (error) *error = written.error;
    return written.ok ? 1 : 0;
}

int savePictureFile(const DibImage& picture, const QString& fileName, int typeCode, int* error) {
    return savePictureFile(picture, fileName, typeCode, PictureSaveOptions{}, error);
}

}  // namespace bb
