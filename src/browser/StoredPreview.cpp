#include "browser/StoredPreview.h"

#include "document/CardFile.h"
#include "document/UserDialogs.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace bb {

StoredPreview readStoredPreview(const QString& path) {
    StoredPreview result;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.status = PreviewStatus::CannotOpen;
        return result;
    }
    CardPreview stored = readCardPreview(path);
    if (stored.ok()) {
        result.status = PreviewStatus::Ok;
        result.picture = std::move(stored.picture);
    } else if (stored.error == cardReadMessage(CardReadStatus::CannotOpen)) {
        result.status = PreviewStatus::CannotOpen;
    } else if (stored.error == cardReadMessage(CardReadStatus::Foreign)) {
        result.status = PreviewStatus::WrongSignature;
    } else {
        result.status = PreviewStatus::NoPicture;
    }
    return result;
}

DibImage readStoredPreviewReporting(const QString& path, UserDialogs& dialogs) {
    StoredPreview stored = readStoredPreview(path);
    switch (stored.status) {
        case PreviewStatus::CannotOpen:
            dialogs.message(cardReadMessage(CardReadStatus::CannotOpen),
                            QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"),
                            MsgIcon::Information, BtnOk);
            break;
        case PreviewStatus::WrongSignature:
            dialogs.message(cardReadMessage(CardReadStatus::Foreign),
                            QStringLiteral("Dateikennung falsch"), MsgIcon::Information, BtnOk);
            break;
        case PreviewStatus::NoPicture:
        case PreviewStatus::Ok:
            break;
    }
    return stored.picture;
}

QSize thumbnailSize(int w, int h, int box) {
    if (w < 1 || h < 1 || box < 1) return {};
    qint64 tw = box;
    qint64 th = qint64(h) * box / w;
    if (th > box) {
        th = box;
        tw = qint64(w) * box / h;
    }
    return QSize(int(std::max<qint64>(tw, 1)), int(std::max<qint64>(th, 1)));
}

DibImage downscaleDib(const DibImage& source, int tw, int th) {
    if (source.isNull() || tw < 1 || th < 1) return {};
    const auto& table = source.colourTable();
    DibImage target = newDib(tw, th, source.bitCount(), table.empty() ? nullptr : table.data(),
                             int(table.size()));
    if (target.isNull()) return {};

    const qint64 sx = qint64(source.width()) * 1024 / tw;
    const qint64 sy = qint64(source.height()) * 1024 / th;
    for (int y = 0; y < th; ++y) {
        const int ys = int(y * sy / 1024);
        const uint8_t* from = source.rowFromTop(ys);
        uint8_t* to = target.rowFromTop(y);
        switch (source.bitCount()) {
            case 1:  // the new rows start out zero: only set bits are written
                for (int x = 0; x < tw; ++x) {
                    const qint64 xs = x * sx / 1024;
                    if ((from[xs / 8] >> (7 - xs % 8)) & 1) to[x / 8] |= uint8_t(0x80 >> (x % 8));
                }
                break;
            case 4:
                for (int x = 0; x < tw; ++x) {
                    const int xs = int(x * sx / 1024);
                    const uint8_t nibble =
                        (xs % 2 == 0) ? (from[xs / 2] >> 4) : (from[xs / 2] & 15);
                    uint8_t& b = to[x / 2];
                    b = (x % 2 == 0) ? uint8_t((b & 0x0F) | (nibble << 4))
                                     : uint8_t((b & 0xF0) | nibble);
                }
                break;
            case 8:
                for (int x = 0; x < tw; ++x) to[x] = from[x * sx / 1024];
                break;
            case 24:
                for (int x = 0; x < tw; ++x) std::memcpy(to + 3 * x, from + 3 * (x * sx / 1024), 3);
                break;
            default:  // other depths stay blank
                break;
        }
    }
    target.markModified();
    return target;
}

int thumbnailBoxFor(int requested, int w, int h) {
    if (requested <= kThumbnailBox) return requested;
    return std::max(kThumbnailBox, std::min(requested, std::max(w, h)));
}

DibImage makeThumbnail(const DibImage& preview, int box) {
    if (preview.isNull()) return {};
    const QSize size = thumbnailSize(preview.width(), preview.height(), box);
    return downscaleDib(preview, size.width(), size.height());
}

QImage dibToImage(const DibImage& picture) {
    if (picture.isNull()) return {};
    const int w = picture.width(), h = picture.height(), bits = picture.bitCount();
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return {};
    QRgb lookup[256];
    std::fill(std::begin(lookup), std::end(lookup), qRgb(0, 0, 0));
    const auto& table = picture.colourTable();
    for (size_t i = 0; i < std::min<size_t>(table.size(), 256); ++i)
        lookup[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = picture.rowFromTop(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            switch (bits) {
                case 24:
                    out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                    break;
                case 8:
                    out[x] = lookup[row[x]];
                    break;
                case 4:
                    out[x] = lookup[(x % 2 == 0) ? (row[x / 2] >> 4) : (row[x / 2] & 15)];
                    break;
                case 1:
                    out[x] = lookup[(row[x / 8] >> (7 - x % 8)) & 1];
                    break;
                default:
                    out[x] = qRgb(0, 0, 0);
                    break;
            }
        }
    }
    return image;
}

}  // namespace bb
