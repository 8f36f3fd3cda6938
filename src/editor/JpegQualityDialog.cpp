#include "editor/JpegQualityDialog.h"

#include "document/SettingsStore.h"
#include "pictures/PictureFormat.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

const char* const JpegQualityDialog::kSliderKey = "JpegQuality/Slider";
const char* const JpegQualityDialog::kNumberKey = "JpegQuality/Number";
const char* const JpegQualityDialog::kStateKey = "JpegQuality/WindowState";

namespace {

// Where earlier versions kept the values.
const SettingsStore::Rename kRenamedKeys[] = {
    {"TJPEGQForm/QualED1.Position", JpegQualityDialog::kSliderKey},
    {"TJPEGQForm/QualED2.Value", JpegQualityDialog::kNumberKey},
    {"TJPEGQForm/WindowState", JpegQualityDialog::kStateKey},
};

int storedValue(const SettingsStore& s, const char* key) {
    bool ok = false;
    const int v = s.value(QLatin1String(key), kDefaultJpegQuality).toInt(&ok);
    return ok ? std::clamp(v, 1, 99) : kDefaultJpegQuality;
}

}  // namespace

JpegQualityDialog::JpegQualityDialog(SettingsStore& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setObjectName(QStringLiteral("JPEGQForm"));
    setWindowTitle(QStringLiteral("JPEG-Speicherqualität setzen"));

    auto* text =
        new QLabel(QStringLiteral("Je stärker das Bild komprimiert wird, je geringer die "
                                  "Qualität und der Speicherverbrauch."));
    text->setWordWrap(true);

    auto* group = new QGroupBox(QStringLiteral("Qualität"));
    qualitySlider = new QSlider(Qt::Horizontal);
    qualitySlider->setObjectName(QStringLiteral("QualED1"));
    qualitySlider->setRange(1, 99);
    qualitySlider->setTickPosition(QSlider::TicksBelow);
    qualitySlider->setTickInterval(10);
    qualityNumber = new QSpinBox;
    qualityNumber->setObjectName(QStringLiteral("QualED2"));
    qualityNumber->setRange(1, 99);

    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(QStringLiteral("Niedrige Qualität")));
    ends->addStretch();
    ends->addWidget(new QLabel(QStringLiteral("Hohe Qualität")));
    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(QStringLiteral("Als Zahl:")));
    number->addWidget(qualityNumber);
    number->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(new QLabel(QStringLiteral("Voreinstellung: 75")));
    groupLayout->addWidget(qualitySlider);
    groupLayout->addLayout(ends);
    groupLayout->addLayout(number);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setStatusTip(QStringLiteral("Speichert das Bild mit dieser Qualität"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("A&bbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setStatusTip(QStringLiteral("Speichert das Bild nicht"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(360);

    store_.takeOverRenamedKeys(kRenamedKeys);
    qualitySlider->setValue(storedValue(store_, kSliderKey));
    qualityNumber->setValue(storedValue(store_, kNumberKey));
    const QByteArray state = store_.value(QLatin1String(kStateKey)).toByteArray();
    if (!state.isEmpty()) restoreGeometry(state);

    connect(qualitySlider, &QSlider::valueChanged, this, &JpegQualityDialog::sliderChanged);
    connect(qualityNumber, &QSpinBox::valueChanged, this, &JpegQualityDialog::numberChanged);
}

JpegQualityDialog::~JpegQualityDialog() {
    saveSettings();
}

int JpegQualityDialog::quality() const {
    return qualitySlider->value();
}

void JpegQualityDialog::setQuality(int quality) {
    qualitySlider->setValue(std::clamp(quality, 1, 99));
}

void JpegQualityDialog::sliderChanged(int value) {
    if (qualityNumber->value() != value) qualityNumber->setValue(value);
}

void JpegQualityDialog::numberChanged(int value) {
    if (qualitySlider->value() != value) qualitySlider->setValue(value);
}

void JpegQualityDialog::saveSettings() const {
    store_.setValue(QLatin1String(kSliderKey), qualitySlider->value());
    store_.setValue(QLatin1String(kNumberKey), qualityNumber->value());
    store_.setValue(QLatin1String(kStateKey), saveGeometry());
}

void JpegQualityDialog::showEvent(QShowEvent* event) {
    // Centred on the screen, whatever the parent.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    QDialog::showEvent(event);
}

void JpegQualityDialog::done(int result) {
    saveSettings();
    QDialog::done(result);
}

}  // namespace bb
