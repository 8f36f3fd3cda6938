#include "pictures/PictureCache.h"

#include "pictures/PictureFile.h"
#include "pictures/PictureOps.h"
#include "pictures/ScaledPictures.h"

#include <QFileInfo>

namespace bb {

bool PictureCache::take(qint64 bytes) {
    if (bytes < 0 || bytes > budget_ - used_) return false;
    used_ += bytes;
    return true;
}

// First sight of a file: a large colour picture is noted as deferred from its header alone;
// any other is decoded (scaled down when too large and its format allows) into turned[0].
// False with entry.error set when it is not loaded.
bool PictureCache::probe(const QString& path, Entry& entry) {
    // The header tells the decoded size before anything is decoded.
    const PictureProbe probe = probePictureFile(path);
    const QSize deferrable = probe.deferrableSize;
    if (probe.error == PictureError::None && deferrable.isValid() &&
        dibBytesPerRow(deferrable.width(), 24) * deferrable.height() >= kDeferredPictureBytes) {
        entry.deferredSize = deferrable;
        return true;
    }
    QSize scaledTo;
    qint64 bytes = probe.decodedBytes();
    if (probe.error == PictureError::TooLarge && probe.canScale) {
        scaledTo = largestLoadableSize(probe.size);
        bytes = dibBytesPerRow(scaledTo.width(), 24) * scaledTo.height();
    } else if (probe.error != PictureError::None) {
        entry.error = probe.error;
        return false;
    }
    if (bytes > budget_ - used_) {
        entry.error = PictureError::OverBudget;
        return false;
    }
    PictureError why = PictureError::None;
    DibImage picture = scaledTo.isValid() ? loadPictureFileScaled(path, scaledTo, &why)
                                          : loadPictureFile(path, &why);
    if (picture.isNull()) {
        entry.error = why;
        return false;
    }
    // The header's estimate and the decoded depth may differ; the real size counts.
    if (!take(picture.byteCount())) {
        entry.error = PictureError::OverBudget;
        return false;
    }
    picture.setSource(path, 0);
    entry.turned[0] = picture;
    return true;
}

DibImage PictureCache::load(const QString& path, int32_t rotation, PictureError* error,
                            const std::function<void(int)>& progress) {
    const auto fail = [error](PictureError why) {
        if (error) *error = why;
        return DibImage();
    };
    if (error) *error = PictureError::None;
    const size_t turn = rotation >= 1 && rotation <= 3 ? size_t(rotation) : 0;
    const QString key = QFileInfo(path).canonicalFilePath();
    if (key.isEmpty()) return fail(PictureError::NotFound);
    Entry& entry = entries_[key];
    if (!entry.turned[turn].isNull()) return entry.turned[turn];
    if (entry.turned[0].isNull() && !entry.deferredSize.isValid()) {
        if (entry.error != PictureError::None) return fail(entry.error);
        if (!probe(path, entry)) return fail(entry.error);
    }
    if (entry.deferredSize.isValid()) {
        // Each turn names its file and turn; none is decoded here.
        DibImage picture = deferredPictureFile(path, entry.deferredSize, int32_t(turn));
        if (picture.isNull()) return fail(PictureError::TooLarge);
        entry.turned[turn] = picture;
        return picture;
    }
    if (turn == 0) return entry.turned[0];
    // A turn holds as many bytes as the picture, give or take the padding of its rows.
    DibImage turned = entry.turned[0];
    const qint64 estimate = turned.byteCount();
    if (!take(estimate)) return fail(PictureError::OverBudget);
    if (!turnByRotation(turned, int32_t(turn), progress)) {
        used_ -= estimate;  // kept as read, like a turn that cannot be allocated
        return entry.turned[0];
    }
    used_ += turned.byteCount() - estimate;
    entry.turned[turn] = turned;
    return turned;
}

}  // namespace bb
