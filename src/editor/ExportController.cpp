#include "editor/ExportController.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "render/Export.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace bb {

ExportController::ExportController(CardDocument& doc, RenderContext& ctx, UserDialogs& dialogs,
                                   QWidget* dialogParent)
    : QObject(dialogParent), doc_(doc), ctx_(ctx), dialogs_(dialogs), dialogParent_(dialogParent) {}

PrinterResolution ExportController::defaultPrinterResolution() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return {};  // no printer: the PDF output's 600 dpi
    QPrinter printer(info, QPrinter::HighResolution);
    return {printer.logicalDpiX(), printer.logicalDpiY(), true};
}

void ExportController::exportShownSide(int side) {
    lastPath_.clear();

    // The printer is asked as the print preview asks it; its values play no part in the
    // picture. A machine without a printer goes on with the PDF default.
    const PrinterResolution printer = printerQuery_ ? printerQuery_() : PrinterResolution{};
    if (printer.dpiX != printer.dpiY)
        dialogs_.message(QStringLiteral("Diese Meldung dürfte nie erscheinen. Das Programm kann "
                                        "mit diesem Drucker wahrscheinlich nicht korrekt "
                                        "drucken."),
                         QStringLiteral("Fehler"), MsgIcon::Information, BtnOk);

    DibImage picture = renderExportPicture(doc_, side, ctx_);
    if (picture.isNull()) {
        dialogs_.message(QStringLiteral("Fehler: Datei konnte nicht gespeichert werden!"),
                         kAppTitle, MsgIcon::Information, BtnOk);
        return;
    }

    FileDialogRequest request;
    request.caption = QStringLiteral("Visitenkarte für eMail-Anhang speichern");
    request.filter = saveFilter();
    request.filterIndex = 1;
    request.confirmOverwrite = true;
    request.directory = startFolder_.folderFor(doc_.fileName);
    const FileDialogResult chosen = dialogs_.saveFile(request);
    if (!chosen.path.isEmpty()) {
        const QString fileName = exportFileName(chosen.path, chosen.filterIndex);
        startFolder_.remember(fileName);
        // A failed write is reported: without the message the user would believe the
        // picture had been saved.
        int error = 0;
        if (savePictureFile(picture, fileName, formatCodeForFilterIndex(chosen.filterIndex),
                            &error) == 1)
            lastPath_ = fileName;
        else
            dialogs_.message(saveFailedText(fileName, error), kAppTitle, MsgIcon::Information,
                             BtnOk);
    }
    releaseDib(picture);
}

}  // namespace bb
