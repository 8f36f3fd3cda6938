#include "editor/PictureSettingsDialog.h"

#include "document/CardObject.h"
#include "editor/DialogButtons.h"
#include "editor/MillimetreField.h"
#include "pictures/ScaledPictures.h"
#include "render/PictureEffects.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 180;

}  // namespace

PictureSettingsDialog::PictureSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BildeinstellungenForm"));
    setWindowTitle(QStringLiteral("Bildeinstellungen"));
    auto* outer = new QHBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(outer);
    auto* form = new QFormLayout;
    outer->addLayout(form);

    const auto slider = [&](const char* name, const char* label, const char* tip, QSlider*& s,
                            QSpinBox*& e) {
        s = new QSlider(Qt::Horizontal, this);
        s->setObjectName(QString::fromLatin1(name) + QStringLiteral("Slider"));
        s->setRange(-100, 100);
        e = new QSpinBox(this);
        e->setObjectName(QString::fromLatin1(name) + QStringLiteral("Edit"));
        e->setRange(-100, 100);
        s->setStatusTip(QString::fromUtf8(tip));
        e->setStatusTip(QString::fromUtf8(tip));
        connect(s, &QSlider::valueChanged, e, &QSpinBox::setValue);
        connect(e, &QSpinBox::valueChanged, s, &QSlider::setValue);
        connect(e, &QSpinBox::valueChanged, this, &PictureSettingsDialog::updatePreview);
        auto* row = new QHBoxLayout;
        row->addWidget(s, 1);
        row->addWidget(e);
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(e);
        form->addRow(caption, row);
    };
    slider("Helligkeit", "&Helligkeit:", "Macht das Bild heller oder dunkler", brightnessSlider,
           brightnessEdit);
    slider("Kontrast", "&Kontrast:", "Verstärkt oder mildert die Unterschiede", contrastSlider,
           contrastEdit);
    slider("Saettigung", "&Sättigung:", "Macht die Farben kräftiger oder blasser", saturationSlider,
           saturationEdit);

    colourRadio = new QRadioButton(QStringLiteral("&Farbig"), this);
    colourRadio->setObjectName(QStringLiteral("FarbigRadio"));
    greyRadio = new QRadioButton(QStringLiteral("Sch&warzweiß"), this);
    greyRadio->setObjectName(QStringLiteral("SchwarzweissRadio"));
    sepiaRadio = new QRadioButton(QStringLiteral("Se&pia"), this);
    sepiaRadio->setObjectName(QStringLiteral("SepiaRadio"));
    auto* tones = new QButtonGroup(this);
    auto* toneRow = new QHBoxLayout;
    colourRadio->setStatusTip(QStringLiteral("Das Bild in seinen Farben zeigen"));
    greyRadio->setStatusTip(QStringLiteral("Das Bild in Graustufen zeigen"));
    sepiaRadio->setStatusTip(QStringLiteral("Das Bild in braunen Tönen wie ein altes Foto zeigen"));
    for (QRadioButton* r : {colourRadio, greyRadio, sepiaRadio}) {
        tones->addButton(r);
        toneRow->addWidget(r);
        connect(r, &QRadioButton::toggled, this, &PictureSettingsDialog::updatePreview);
    }
    colourRadio->setChecked(true);
    form->addRow(new QLabel(QStringLiteral("Farbton:"), this), toneRow);

    const auto millimetres = [&](const char* name, const char* label, const char* tip) {
        auto* edit = new MillimetreField(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setDecimals(1);
        edit->setRange(0.0, 100.0);
        edit->setSingleStep(0.5);
        edit->setSuffix(QStringLiteral(" mm"));
        edit->setStatusTip(QString::fromUtf8(tip));
        connect(edit, &QDoubleSpinBox::valueChanged, this, &PictureSettingsDialog::updatePreview);
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setBuddy(edit);
        form->addRow(caption, edit);
        return edit;
    };
    cornerEdit = millimetres("EckenEdit", "&Eckenradius:", "Rundet die Ecken des Bildes ab");
    featherEdit =
        millimetres("RandEdit", "Weicher &Rand:", "Lässt das Bild zum Rand hin auslaufen");

    preview = new QLabel(this);
    preview->setObjectName(QStringLiteral("VorschauLabel"));
    preview->setFixedSize(kPreviewWidth, kPreviewHeight);
    preview->setAlignment(Qt::AlignCenter);
    outer->addWidget(preview);
    addOkCancel(this, layout);
}

void PictureSettingsDialog::load(const CardObject& o, double widthMm, double heightMm) {
    const ObjectExtras& e = o.extras;
    picture_ = o.picture;
    crop_ = e.crop;
    widthMm_ = widthMm;
    heightMm_ = heightMm;
    brightnessEdit->setValue(e.brightness);
    contrastEdit->setValue(e.contrast);
    saturationEdit->setValue(e.saturation);
    (e.tone == ToneGrey    ? greyRadio
     : e.tone == ToneSepia ? sepiaRadio
                           : colourRadio)
        ->setChecked(true);
    cornerEdit->setValue(e.cornerRadius / 100.0);
    featherEdit->setValue(e.feather / 100.0);
    updatePreview();
}

void PictureSettingsDialog::store(ObjectExtras& e) const {
    e.brightness = brightnessEdit->value();
    e.contrast = contrastEdit->value();
    e.saturation = saturationEdit->value();
    e.tone = greyRadio->isChecked() ? ToneGrey : sepiaRadio->isChecked() ? ToneSepia : ToneColour;
    e.cornerRadius = int32_t(std::lround(cornerEdit->value() * 100));
    e.feather = int32_t(std::lround(featherEdit->value() * 100));
}

void PictureSettingsDialog::updatePreview() {
    if (!preview) return;  // while the dialog is being built
    if (picture_.isNull() || widthMm_ <= 0 || heightMm_ <= 0) {
        previewImage_ = QImage();
        preview->clear();
        return;
    }
    // The box's shape fitted into the preview, drawn as the card draws it.
    const double fit = std::min(kPreviewWidth / widthMm_, kPreviewHeight / heightMm_);
    const QSize size(std::max(1, int(widthMm_ * fit)), std::max(1, int(heightMm_ * fit)));
    ObjectExtras e;
    e.crop = crop_;
    store(e);
    CardObject shown;
    shown.kind = KindPicture;
    shown.extras = e;
    PictureEffects fx = pictureEffectsOf(shown);
    fx.radius = e.cornerRadius / 100.0 * fit;
    fx.feather = e.feather / 100.0 * fit;
    const DibImage pixels = scaledPicture(picture_, uncroppedSize(fx.crop, size));
    const QImage image = effectImage(pixels, fx, size);
    previewImage_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    previewImage_.fill(Qt::white);
    {
        QPainter p(&previewImage_);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRect(QPoint(0, 0), size), image);
    }
    preview->setPixmap(QPixmap::fromImage(previewImage_));
}

}  // namespace bb
