// "Hintergrundbild auswählen": the background of the side being edited — a picture in one of
// four arrangements, a solid colour, or nothing.
#pragma once

#include "document/EditedSide.h"
#include "pictures/DibImage.h"

#include <QDialog>
#include <QRect>

#include <functional>

class QButtonGroup;
class QRadioButton;
class QPushButton;

namespace bb {

class CardDocument;
class ColorCombo;
class PictureOpenDialog;
class UserDialogs;

// The rectangle of a pw × ph picture fitted into the preview box with its aspect, centred.
QRect backgroundPreviewRect(int boxWidth, int boxHeight, int pw, int ph);

class BackgroundDialog : public QDialog {
    Q_OBJECT
public:
    // `edited` says which side's background the dialog shows and changes.
    BackgroundDialog(CardDocument& doc, const EditedSide& edited, UserDialogs& dialogs,
                     PictureOpenDialog& pictureOpenDialog, const QString& programFolder,
                     QWidget* parent = nullptr);

    // Shows the dialog modally through `runModal` and applies it when it closes.
    void run(const std::function<int(QDialog&)>& runModal);
    // The steps of a run, for callers that drive them one by one.
    void activate();
    void choosePicture(const std::function<int(QDialog&)>& runModal);
    void removePicture();
    void applyAndClose();
    // Repaints the editor views after the dialog closed.
    std::function<void()> repaintViews;

    // The radio button of a background mode (0..4).
    QRadioButton* modeButton(int mode) const;
    int checkedMode() const;
    ColorCombo* colorCombo() const { return colorBox_; }
    const DibImage& picture() const { return picture_; }
    const QString& fileName() const { return fileName_; }
    QPushButton* openButton = nullptr;
    QPushButton* noneButton = nullptr;
    QPushButton* backButton = nullptr;
    QWidget* previewBox = nullptr;

private:
    void paintPreview(QWidget* box);
    Background& editedBackground() { return edited_.background(doc_); }

    CardDocument& doc_;
    const EditedSide& edited_;
    UserDialogs& dialogs_;
    PictureOpenDialog& pictureOpenDialog_;
    QString programFolder_;
    DibImage picture_;
    QString fileName_;
    QButtonGroup* group_ = nullptr;
    ColorCombo* colorBox_ = nullptr;
    std::function<int(QDialog&)> runModal_;
    friend class BackgroundPreviewBox;
};

}  // namespace bb
