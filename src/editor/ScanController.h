// The scanning commands of the file menu: choosing a scanner, starting a scan in the
// background, showing its progress and saving the finished picture.
#pragma once

#include "pictures/DibImage.h"
#include "scan/Scanner.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace bb {

class UserDialogs;
class JpegQualityDialog;
class SettingsStore;

class ScanController : public QObject {
    Q_OBJECT
public:
    // `store` keeps the chosen scanner and the JPEG quality dialog's values; it outlives the
    // controller.
    ScanController(UserDialogs& dialogs, SettingsStore& store, QWidget* dialogParent);
    ~ScanController() override;

    // Folder the scan save dialog starts in.
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }
    // Replaces the JPEG quality question (tests). Returns the quality, or nothing when
    // cancelled. The default shows the JPEG quality dialog.
    void setQualityAsker(std::function<std::optional<int>()> asker) {
        askQuality_ = std::move(asker);
    }
    // Replaces the scanner choice dialog (tests): gets the device list, returns the chosen
    // device name or nothing when cancelled.
    void setDeviceChooser(std::function<std::optional<QString>(const QList<ScanDevice>&)> chooser) {
        chooseDevice_ = std::move(chooser);
    }
    // Scan settings used by scanImage(); the device name is filled from the choice.
    ScanSettings& settings() { return settings_; }

    Scanner& scanner() { return scanner_; }

    // The device remembered in the settings store ("" when none).
    QString rememberedDevice() const;
    void rememberDevice(const QString& name);

public slots:
    // "Scanner auswählen...": lists the devices and remembers the choice.
    void selectScanner();
    // "Bild einscannen...": starts a scan of the chosen device (or the only one); returns at once.
    void scanImage();
    // showProgress: progress of the running scan.
    void showProgress(int percent);
    // pictureReady: the picture with this id is ready; fetches and saves it.
    void pictureReady(int id);

signals:
    void progress(int percent);
    // Emitted after a finished scan has been handled (saved or discarded).
    void scanHandled(bool saved);

private:
    void scanFailed(const QString& message);
    // The JPEG quality for this save, asked each time; nothing when the question is cancelled.
    std::optional<int> askQuality();

    UserDialogs& dialogs_;
    SettingsStore& store_;
    QWidget* dialogParent_;
    Scanner scanner_;
    ScanSettings settings_;
    QString programFolder_;
    QPointer<JpegQualityDialog> qualityDialog_;  // the JPEG quality dialog, made once
    std::function<std::optional<int>()> askQuality_;
    std::function<std::optional<QString>(const QList<ScanDevice>&)> chooseDevice_;
};

}  // namespace bb
