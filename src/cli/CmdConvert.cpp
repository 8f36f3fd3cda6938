// brisella-cli convert: reads any picture loadPictureFile reads and writes it with savePictureFile
// in the format named by --format or by the output file's extension.
#include "cli/Commands.h"

#include "pictures/DibImage.h"
#include "pictures/ImageCodec.h"

#include <QFileInfo>

namespace bb::cli {

namespace {

QString formatNames() {
    QStringList names;
    for (const DibWriter& w : dibWriters()) names << QLatin1String(w.name);
    return names.join(QLatin1String(", "));
}

}  // namespace

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

    const QString name = format.isEmpty() ? QFileInfo(files[1]).suffix() : format;
    // Formats are named by their save-filter name (BMP, ..., PNG) or suffix; the usual
    // longer spellings of the output extension are understood too.
    QString lookup = name;
    if (format.isEmpty()) {
        const QString s = name.toLower();
        if (s == QLatin1String("jpeg") || s == QLatin1String("jpe")) lookup = QStringLiteral("jpg");
        if (s == QLatin1String("jfif")) lookup = QStringLiteral("jif");
        if (s == QLatin1String("tiff")) lookup = QStringLiteral("tif");
        if (s == QLatin1String("ilbm")) lookup = QStringLiteral("iff");
    }
    const DibWriter* writer = dibWriterForName(lookup);
    if (!writer)
        return usageError(cmd, (format.isEmpty() ? QStringLiteral("unknown output extension \"")
                                                 : QStringLiteral("unknown format \"")) +
                                   name + QStringLiteral("\"; one of ") + formatNames());

    PictureError why = PictureError::None;
    const DibImage picture = loadPictureFile(files[0], &why);
    if (picture.isNull()) {
        printError(
            QStringLiteral("cannot read picture %1: %2").arg(files[0], pictureErrorText(why)));
        return kExitFailure;
    }
    if (quality > 0) setJpegQuality(quality);
    int error = 0;
    if (savePictureFile(picture, files[1], writer->typeCode, &error) != 1) {
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
