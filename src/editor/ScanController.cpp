#include "editor/ScanController.h"

#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/JpegQualityDialog.h"
#include "editor/ScannerSelectDialog.h"
#include "render/Export.h"

#include <QFile>
#include <QWidget>

namespace bb {

namespace {
const char* const kDeviceKey = "Scanner/Device";
}  // namespace

ScanController::ScanController(UserDialogs& dialogs, SettingsStore& store, QWidget* dialogParent)
    : QObject(dialogParent), dialogs_(dialogs), store_(store), dialogParent_(dialogParent) {
    connect(&scanner_, &Scanner::progress, this, &ScanController::showProgress);
    connect(&scanner_, &Scanner::finished, this, &ScanController::pictureReady);
    connect(&scanner_, &Scanner::failed, this, &ScanController::scanFailed);
    qualityDialog_ = new JpegQualityDialog(store_, dialogParent_);
}

ScanController::~ScanController() {
    delete qualityDialog_;
}

QString ScanController::rememberedDevice() const {
    return store_.value(QLatin1String(kDeviceKey)).toString();
}

void ScanController::rememberDevice(const QString& name) {
    store_.setValue(QLatin1String(kDeviceKey), name);
}

void ScanController::selectScanner() {
    QString error;
    const QList<ScanDevice> devices = Scanner::devices(&error);
    if (devices.isEmpty()) {
        dialogs_.message(error, kAppTitle, MsgIcon::Information, BtnOk);
        return;
    }
    std::optional<QString> choice;
    if (chooseDevice_) {
        choice = chooseDevice_(devices);
    } else {
        ScannerSelectDialog dialog(devices, rememberedDevice(), dialogParent_);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedDevice().isEmpty())
            choice = dialog.selectedDevice();
    }
    if (choice) rememberDevice(*choice);
}

void ScanController::scanImage() {
    settings_.device = rememberedDevice();
    QString error;
    if (!scanner_.start(settings_, &error))
        dialogs_.message(error, kAppTitle, MsgIcon::Information, BtnOk);
}

void ScanController::showProgress(int percent) {
    emit progress(percent);
}

void ScanController::scanFailed(const QString& message) {
    emit progress(0);
    if (!message.isEmpty()) dialogs_.message(message, kAppTitle, MsgIcon::Information, BtnOk);
}

std::optional<int> ScanController::askQuality() {
    if (askQuality_) return askQuality_();
    if (!qualityDialog_) qualityDialog_ = new JpegQualityDialog(store_, dialogParent_);
    if (qualityDialog_->exec() != QDialog::Accepted) return std::nullopt;
    return qualityDialog_->quality();
}

void ScanController::pictureReady(int id) {
    DibImage picture = scanner_.takePicture(id);
    if (picture.isNull()) return;

    bool saved = false;
    FileDialogRequest request;
    request.directory = programFolder_;
    request.filter = saveFilter();
    request.filterIndex = 1;
    request.confirmOverwrite = false;
    const FileDialogResult chosen = dialogs_.saveFile(request);
    const PictureFormat* format = pictureFormatForFilterIndex(chosen.filterIndex);
    if (!chosen.path.isEmpty()) {
        const QString fileName = scanFileName(chosen.path, chosen.filterIndex);
        // The quality goes with this save alone; a later save of any kind asks or uses its own.
        PictureSaveOptions options;
        bool go = true;
        if (format && format->takesQuality) {
            const std::optional<int> quality = askQuality();
            if (quality)
                options.quality = *quality;
            else
                go = false;
        }
        if (go) {
            // An existing read-only file may be overwritten.
            if (QFile::exists(fileName))
                QFile::setPermissions(fileName, QFile::permissions(fileName) |
                                                    QFileDevice::WriteOwner |
                                                    QFileDevice::ReadOwner);
            int error = 0;
            // A type outside the table is reported as a failed save.
            const int typeCode = format ? format->typeCode : 0;
            saved = savePictureFile(picture, fileName, typeCode, options, &error) == 1;
            if (!saved)
                dialogs_.message(saveFailedText(fileName, error), kAppTitle, MsgIcon::Information,
                                 BtnOk);
        }
    }
    releaseDib(picture);
    emit scanHandled(saved);
}

}  // namespace bb
