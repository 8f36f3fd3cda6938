// brisella-cli scan --device NAME -o OUT [--dpi N] [--mode Color|Gray]: one scan of the full
// area, saved as the scan save does: the type from OUT's extension (BMP and ".BMP" added when
// OUT has none), a read-only target replaced, JPEG at the default quality (75).
#include "cli/Commands.h"
#include "pictures/DibImage.h"
#include "render/Export.h"
#include "scan/Scanner.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace bb::cli {

int runScan(const QStringList& args) {
    const Command& cmd = findCommand("scan");
    const ParsedArgs p = parseArgs(args, {QStringLiteral("--device"), QStringLiteral("-o"),
                                          QStringLiteral("--dpi"), QStringLiteral("--mode")});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (!p.positional.isEmpty())
        return usageError(cmd, QStringLiteral("unexpected argument %1").arg(p.positional.first()));
    const QString device = p.value(QStringLiteral("--device"));
    const QString output = p.value(QStringLiteral("-o"));
    const QString dpiText = p.value(QStringLiteral("--dpi"));
    const QString mode = p.value(QStringLiteral("--mode"));
    if (device.isEmpty()) return usageError(cmd, QStringLiteral("no device given (--device)"));
    if (output.isEmpty()) return usageError(cmd, QStringLiteral("no output file given (-o)"));
    ScanSettings settings;
    settings.device = device;
    if (!dpiText.isEmpty()) {
        bool ok = false;
        settings.dpi = dpiText.toInt(&ok);
        if (!ok || settings.dpi < 1 || settings.dpi > 9600)
            return usageError(cmd, QStringLiteral("--dpi must be a whole number from 1 to 9600"));
    }
    if (mode.compare(QLatin1String("Gray"), Qt::CaseInsensitive) == 0)
        settings.mode = ScanMode::Gray;
    else if (!mode.isEmpty() && mode.compare(QLatin1String("Color"), Qt::CaseInsensitive) != 0)
        return usageError(cmd, QStringLiteral("--mode must be Color or Gray"));

    int filterIndex = 1;
    if (hasExtension(output)) {
        filterIndex = filterIndexForFormat(QFileInfo(output).suffix());
        if (filterIndex == 0)
            return usageError(
                cmd, QStringLiteral("no picture format for the extension of %1").arg(output));
    }
    const QString fileName = scanFileName(output, filterIndex);

    Scanner scanner;
    QEventLoop loop;
    DibImage picture;
    QString failure;
    QObject::connect(&scanner, &Scanner::finished, &loop, [&](int id) {
        picture = scanner.takePicture(id);
        loop.quit();
    });
    QObject::connect(&scanner, &Scanner::failed, &loop, [&](const QString& message) {
        failure = message.isEmpty() ? QStringLiteral("the scan was cancelled") : message;
        loop.quit();
    });
    QString error;
    if (!scanner.start(settings, &error)) {
        printError(error);
        return kExitFailure;
    }
    loop.exec();
    if (picture.isNull()) {
        printError(failure);
        return kExitFailure;
    }
    if (QFile::exists(fileName))
        QFile::setPermissions(fileName, QFile::permissions(fileName) | QFileDevice::WriteOwner |
                                            QFileDevice::ReadOwner);
    int writeError = 0;
    if (savePictureFile(picture, fileName, formatCodeForFilterIndex(filterIndex), &writeError) !=
        1) {
        printError(QStringLiteral("Fehler: Datei konnte nicht gespeichert werden!"));
        if (writeError != 0) printWriteError(fileName, writeError);
        return kExitFailure;
    }
    std::fprintf(stdout, "%s %dx%d\n", fileName.toLocal8Bit().constData(), picture.width(),
                 picture.height());
    return kExitOk;
}

}  // namespace bb::cli
