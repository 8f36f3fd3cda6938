// brisella-cli thumbnail CARD.kar -o OUT.png [-s SIZE]: writes the card browser's thumbnail of
// a card, made from the preview stored in the card file (80 pixels on the longer side unless
// -s asks for more; never larger than the stored preview allows).
#include "browser/StoredPreview.h"
#include "cli/Commands.h"

#include <QBuffer>
#include <QImage>

#include <cstdio>

namespace bb::cli {

int runThumbnail(const QStringList& args) {
    const Command& cmd = findCommand("thumbnail");
    QString card, output, sizeText;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        if (a == QLatin1String("-o")) {
            if (!value(output)) return usageError(cmd, QStringLiteral("-o needs a file name"));
        } else if (a == QLatin1String("-s")) {
            if (!value(sizeText)) return usageError(cmd, QStringLiteral("-s needs a size"));
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(cmd, QStringLiteral("unknown option %1").arg(a));
        } else if (card.isEmpty()) {
            card = a;
        } else {
            return usageError(cmd, QStringLiteral("more than one card file given"));
        }
    }
    if (card.isEmpty()) return usageError(cmd, QStringLiteral("no card file given"));
    if (output.isEmpty()) return usageError(cmd, QStringLiteral("no output file given (-o)"));
    int requested = kThumbnailBox;
    if (!sizeText.isEmpty()) {
        bool ok = false;
        requested = sizeText.toInt(&ok);
        if (!ok || requested < 1 || requested > kMaxDibSide)
            return usageError(
                cmd, QStringLiteral("-s must be a whole number from 1 to %1").arg(kMaxDibSide));
    }

    const StoredPreview stored = readStoredPreview(card);
    switch (stored.status) {
        case PreviewStatus::Ok:
            break;
        case PreviewStatus::CannotOpen:
            printError(
                QStringLiteral("%1: Beim Öffnen der Datei ist ein Fehler aufgetreten!").arg(card));
            return kExitFailure;
        case PreviewStatus::WrongSignature:
            printError(QStringLiteral("%1: Es handelt sich nicht um eine Grußkarte im Tovarin "
                                      "Brisella-Bildwerker 1.0-Format!")
                           .arg(card));
            return kExitFailure;
        case PreviewStatus::NoPicture:
            printError(QStringLiteral("%1: the stored preview picture is damaged").arg(card));
            return kExitFailure;
    }
    const DibImage& preview = stored.picture;
    const int box = thumbnailBoxFor(requested, preview.width(), preview.height());
    if (box != requested) {
        std::fprintf(stderr, "note: the stored preview is %d x %d; size %d used\n", preview.width(),
                     preview.height(), box);
    }
    const QImage image = dibToImage(makeThumbnail(preview, box));
    if (image.isNull()) {
        printError(QStringLiteral("%1: no thumbnail can be made").arg(card));
        return kExitFailure;
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        printError(QStringLiteral("cannot encode the picture for %1").arg(output));
        return kExitFailure;
    }
    if (!writeOutput(output, png)) return kExitFailure;
    std::printf("%s: %d x %d\n", output.toLocal8Bit().constData(), image.width(), image.height());
    return kExitOk;
}

}  // namespace bb::cli
