#include "document/ChosenPicture.h"

#include "document/UserDialogs.h"
#include "pictures/PictureCache.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureOps.h"
#include "pictures/ScaledPictures.h"

#include <QSet>

namespace bb {

qint64 cardPictureBytes(const CardDocument& doc) {
    QSet<const void*> seen;
    qint64 total = 0;
    const auto count = [&](const DibImage& picture) {
        // A deferred picture holds no pixels yet.
        if (picture.isNull() || picture.isDeferred() || seen.contains(picture.sharedId())) return;
        seen.insert(picture.sharedId());
        total += picture.byteCount();
    };
    for (const SlotTable* table : {&doc.outsideSlots, &doc.insideSlots})
        for (int slot = 1; slot <= kSlotCount; ++slot)
            if ((*table)[slot]->kind == KindPicture) count((*table)[slot]->picture);
    for (const Background* bg : {&doc.outsideBackground, &doc.insideBackground})
        count(bg->backgroundPicture);
    return total;
}

bool loadChosenPicture(DibImage& target, const QString& name, const QString& programFolder,
                       qint64 cardBytes, UserDialogs& dialogs, const QString& caption) {
    const QString path = resolvePictureName(name, programFolder);
    const PictureProbe probe = probePictureFile(path);
    PictureError why = probe.error;
    QSize scaledTo;
    if (why == PictureError::TooLarge && probe.canScale) {
        scaledTo = largestLoadableSize(probe.size);
        const int answer = dialogs.message(
            QStringLiteral("Das Bild (%1) ist mit %2 × %3 Pixeln zu groß zum Laden.\n"
                           "Soll es verkleinert auf %4 × %5 Pixel geladen werden?")
                .arg(name)
                .arg(probe.size.width())
                .arg(probe.size.height())
                .arg(scaledTo.width())
                .arg(scaledTo.height()),
            caption, MsgIcon::Question, BtnYes | BtnNo);
        if (answer == BtnYes)
            why = PictureError::None;
        else
            scaledTo = QSize();
    }
    DibImage loaded;
    const QSize deferrable = probe.deferrableSize;
    if (why == PictureError::None && deferrable.isValid() &&
        dibBytesPerRow(deferrable.width(), 24) * deferrable.height() >= kDeferredPictureBytes) {
        // A phone photo: nothing is decoded here; outputs draw it from reduced copies.
        loaded = deferredPictureFile(path, deferrable, 0);
        if (loaded.isNull()) why = PictureError::TooLarge;
    } else if (why == PictureError::None) {
        const qint64 bytes = scaledTo.isValid()
                                 ? dibBytesPerRow(scaledTo.width(), 24) * scaledTo.height()
                                 : probe.decodedBytes();
        if (bytes > kCardPictureBudget - cardBytes)
            why = PictureError::OverBudget;
        else if (scaledTo.isValid())
            loaded = loadPictureFileScaled(path, scaledTo, &why);
        else
            loaded = loadPictureFile(path, &why);
    }
    if (!loaded.isNull()) {
        if (loaded.sourceFile().isEmpty()) loaded.setSource(path, 0);
        releaseDib(target);
        target = std::move(loaded);
        return true;
    }
    const bool tooLarge = why == PictureError::TooLarge || why == PictureError::OverBudget;
    makeStandIn(target, tooLarge ? pictureErrorText(PictureError::OverBudget) : QString());
    dialogs.message(pictureLoadMessage(name, why), caption, MsgIcon::Error, BtnOk);
    return false;
}

}  // namespace bb
