// The main window's part in sending a card: "Als PDF speichern..." and "Per E-Mail senden...".
#include "app/MainWindow.h"

#include "app/SendDialogs.h"
#include "browser/CardFileActions.h"
#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "print/CardPdf.h"
#include "print/MailLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUrl>

namespace bb {

namespace {

const QString kPdfFolderKey = QStringLiteral("Senden/PdfOrdner");
const QString kPdfStackedKey = QStringLiteral("Senden/PdfUntereinander");
const QString kPdfMarksKey = QStringLiteral("Senden/PdfSchnittmarken");
const QString kPdfBleedKey = QStringLiteral("Senden/PdfBeschnitt");
const QString kMailBothKey = QStringLiteral("Senden/MailBeideSeiten");
const QString kMailPdfKey = QStringLiteral("Senden/MailAlsPdf");

// A wait cursor while a file is drawn and written.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void MainWindow::addSendItems(QMenu* datei) {
    addCommand(datei, QStringLiteral("file.savePdf"), QStringLiteral("Als &PDF speichern..."),
               "AlsPdfItem", {},
               QStringLiteral("Speichert die Karte als PDF-Datei, für eine Druckerei oder zum "
                              "Weitergeben"),
               [this] { saveAsPdf(); });
    addCommand(datei, QStringLiteral("file.sendMail"), QStringLiteral("Per E-&Mail senden..."),
               "PerEmailItem", {},
               QStringLiteral("Übergibt die Karte als Bild oder PDF dem E-Mail-Programm"),
               [this] { sendByMail(); });
}

int MainWindow::runSendDialog(QDialog& dialog) {
    return sendDialogHook_ ? sendDialogHook_(dialog) : dialog.exec();
}

QString MainWindow::sendName() const {
    return doc_->fileName.isEmpty() ? QStringLiteral("Karte")
                                    : QFileInfo(doc_->fileName).completeBaseName();
}

MailLauncher& MainWindow::mailLauncher() {
    if (!mailLauncher_) mailLauncher_ = std::make_shared<MailLauncher>();
    return *mailLauncher_;
}

QString MainWindow::mailFolder() const {
    return mailFolder_ ? mailFolder_->path() : QString();
}

void MainWindow::saveAsPdf() {
    PdfOptionsDialog dialog(this);
    CardPdfOptions remembered;
    remembered.layout = settings_->value(kPdfStackedKey, false).toBool()
                            ? CardPdfOptions::SidesStacked
                            : CardPdfOptions::Folded;
    remembered.cropMarks = settings_->value(kPdfMarksKey, false).toBool();
    remembered.bleedMm = settings_->value(kPdfBleedKey, false).toBool() ? kPrintShopBleedMm : 0;
    dialog.setOptions(remembered);
    if (runSendDialog(dialog) != QDialog::Accepted) return;
    CardPdfOptions options = dialog.options();
    options.title = sendName();
    settings_->setValue(kPdfStackedKey, options.layout == CardPdfOptions::SidesStacked);
    settings_->setValue(kPdfMarksKey, options.cropMarks);
    settings_->setValue(kPdfBleedKey, options.bleedMm > 0);

    FileDialogRequest request;
    request.caption = QStringLiteral("Als PDF speichern");
    const QString folder = settings_->value(kPdfFolderKey).toString();
    request.directory = !folder.isEmpty() && QFileInfo(folder).isDir() ? folder
                        : doc_->fileName.isEmpty()                     ? cardFolder_
                                                   : QFileInfo(doc_->fileName).absolutePath();
    request.filter = QStringLiteral("PDF-Dateien|*.pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    request.initialName = sendName() + QStringLiteral(".pdf");
    const FileDialogResult chosen = dialogs_.saveFile(request);
    if (chosen.path.isEmpty()) return;
    QString path = chosen.path;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    settings_->setValue(kPdfFolderKey, QFileInfo(path).absolutePath());

    QString error;
    bool written = false;
    {
        const WaitCursor wait;
        written = writeCardPdf(*doc_, ctx_, path, options, &error);
    }
    if (!written) {
        dialogs_.message(error, QStringLiteral("Als PDF speichern"), MsgIcon::Error, BtnOk);
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("Als PDF gespeichert: %1").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::sendByMail() {
    MailOptionsDialog dialog(this);
    dialog.setContent({settings_->value(kMailBothKey, false).toBool(),
                       settings_->value(kMailPdfKey, false).toBool()});
    if (runSendDialog(dialog) != QDialog::Accepted) return;
    const MailContent content = dialog.content();
    settings_->setValue(kMailBothKey, content.bothSides);
    settings_->setValue(kMailPdfKey, content.pdf);
    const QString caption = QStringLiteral("Per E-Mail senden");
    if (!mailFolder_) {
        // Private to this user (0700) and removed with the window.
        auto folder = std::make_shared<QTemporaryDir>(QDir::tempPath() +
                                                      QStringLiteral("/brisella-mail-XXXXXX"));
        if (!folder->isValid()) {
            dialogs_.message(
                QStringLiteral("Für die Anhänge konnte kein Ordner angelegt werden.\n%1")
                    .arg(folder->errorString()),
                caption, MsgIcon::Error, BtnOk);
            return;
        }
        mailFolder_ = std::move(folder);
    }
    MailAttachments files;
    {
        const WaitCursor wait;
        files = writeMailAttachments(*doc_, ctx_, content, mailFolder_->path(), sendName());
    }
    if (!files.error.isEmpty()) {
        dialogs_.message(files.error, caption, MsgIcon::Error, BtnOk);
        return;
    }
    const MailLauncher::Result result = mailLauncher().send(files.files, sendName());
    if (result.ok()) {
        statusBar()->showMessage(QStringLiteral("Die Karte ist dem E-Mail-Programm übergeben."));
        return;
    }
    const QString text = mailFallbackText(mailFailureText(result), files.files);
    if (!(mailFolderAsker_ ? mailFolderAsker_(text) : askToShowMailFolder(text, this))) return;
    const QString folder = mailFolder_->path();
    showInFileManager(files.files.first(), this, [this, folder, caption] {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
            dialogs_.message(QStringLiteral("Der Ordner „%1“ konnte nicht im Dateimanager geöffnet "
                                            "werden.")
                                 .arg(QDir::toNativeSeparators(folder)),
                             caption, MsgIcon::Warning, BtnOk);
    });
}

}  // namespace bb
