// "Bildeinstellungen": brightness, contrast, saturation, a black-and-white or sepia tone,
// rounded corners and a soft edge of a picture object, with a preview of the picture as the
// settings draw it. The settings are stored with the object; the picture stays as it is.
#pragma once

#include "document/ObjectExtras.h"
#include "pictures/DibImage.h"

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace bb {

struct CardObject;

class PictureSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PictureSettingsDialog(QWidget* parent = nullptr);

    // Takes the settings and picture of `o`, whose box is widthMm × heightMm on the card.
    void load(const CardObject& o, double widthMm, double heightMm);
    // Writes the dialog's settings into `e` (the other extras stay).
    void store(ObjectExtras& e) const;

    QSlider* brightnessSlider = nullptr;
    QSpinBox* brightnessEdit = nullptr;
    QSlider* contrastSlider = nullptr;
    QSpinBox* contrastEdit = nullptr;
    QSlider* saturationSlider = nullptr;
    QSpinBox* saturationEdit = nullptr;
    QRadioButton* colourRadio = nullptr;
    QRadioButton* greyRadio = nullptr;
    QRadioButton* sepiaRadio = nullptr;
    QDoubleSpinBox* cornerEdit = nullptr;
    QDoubleSpinBox* featherEdit = nullptr;
    QLabel* preview = nullptr;

    // The picture as the preview shows it now (tests).
    QImage previewImage() const { return previewImage_; }

private:
    void updatePreview();

    DibImage picture_;
    QRectF crop_;
    double widthMm_ = 0, heightMm_ = 0;
    QImage previewImage_;
};

}  // namespace bb
