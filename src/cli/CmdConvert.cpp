// brisella-cli convert: reads any picture loadPictureFile reads and writes it with savePictureFile
// in the format named by --format or by the output file's extension.
#include "cli/Commands.h"

#include "pictures/DibImage.h"
#include "pictures/PictureFormat.h"

#include <QFileInfo>

namespace bb::cli {

int runConvert(const QStringList& args) {
    const Command& cmd = findCommand("convert");
    QStringList files;
    QString format;
    int quality = -1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--format") || a == QLatin1String("--quality")) {
            if (i + 1 >= args.size()) return usageError(cmd, a + QStringLiteral(" needs a value"));
            const QString& value = args[++i];
            if (a == QLatin1String("--format")) {
                format = value;
            } else {
                bool ok = false;
                quality = value.toInt(&ok);
                if (!ok || quality < 1 || quality > 99)
                    return usageError(cmd, QStringLiteral("--quality must be 1 to 99"));
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(cmd, QStringLiteral("unknown option ") + a);
        } else {
            files << a;
        }
    }
    if (files.size() != 2) return usageError(cmd, QStringLiteral("expected IN and OUT"));

    // Formats are named by their save-filter name (BMP, ..., PNG), suffix or one of its usual
    // longer spellings (jpeg, tiff, ...), on the command line as in the output's extension.
    const QString name = format.isEmpty() ? QFileInfo(files[1]).suffix() : format;
    const PictureFormat* writer = pictureFormatForName(name);
    if (!writer)
        return usageError(cmd, (format.isEmpty() ? QStringLiteral("unknown output extension \"")
                                                 : QStringLiteral("unknown format \"")) +
                                   name + QStringLiteral("\"; one of ") +
                                   pictureFormatNames().join(QLatin1String(", ")));

    PictureError why = PictureError::None;
    const DibImage picture = loadPictureFile(files[0], &why);
    if (picture.isNull()) {
        printError(
            QStringLiteral("cannot read picture %1: %2").arg(files[0], pictureErrorText(why)));
        return kExitFailure;
    }
    PictureSaveOptions options;
    if (quality > 0) options.quality = quality;
    int error = 0;
    if (savePictureFile(picture, files[1], writer->typeCode, options, &error) != 1) {
        if (error != 0)
            printWriteError(files[1], error);
        else
            printError(
                QStringLiteral("cannot write %1 as %2").arg(files[1], QLatin1String(writer->name)));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace bb::cli
