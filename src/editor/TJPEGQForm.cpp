#include "editor/TJPEGQForm.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

const char* const TJPEGQForm::kSliderKey = "TJPEGQForm/QualED1.Position";
const char* const TJPEGQForm::kNumberKey = "TJPEGQForm/QualED2.Value";
const char* const TJPEGQForm::kStateKey = "TJPEGQForm/WindowState";

namespace {
constexpr int kDefaultQuality = 75;
int storedValue(const QSettings& s, const char* key) {
    bool ok = false;
    const int v = s.value(QLatin1String(key), kDefaultQuality).toInt(&ok);
    return ok ? std::clamp(v, 1, 99) : kDefaultQuality;
}
}  // namespace

TJPEGQForm::TJPEGQForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("JPEGQForm"));
    setWindowTitle(QStringLiteral("JPEG-Speicherqualität setzen"));

    auto* text =
        new QLabel(QStringLiteral("Je stärker das Bild komprimiert wird, je geringer die "
                                  "Qualität und der Speicherverbrauch."));
    text->setWordWrap(true);

    auto* group = new QGroupBox(QStringLiteral("Qualität"));
    QualED1 = new QSlider(Qt::Horizontal);
    QualED1->setObjectName(QStringLiteral("QualED1"));
    QualED1->setRange(1, 99);
    QualED1->setTickPosition(QSlider::TicksBelow);
    QualED1->setTickInterval(10);
    QualED2 = new QSpinBox;
    QualED2->setObjectName(QStringLiteral("QualED2"));
    QualED2->setRange(1, 99);

    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(QStringLiteral("Niedrige Qualität")));
    ends->addStretch();
    ends->addWidget(new QLabel(QStringLiteral("Hohe Qualität")));
    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(QStringLiteral("Als Zahl:")));
    number->addWidget(QualED2);
    number->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(new QLabel(QStringLiteral("Voreinstellung: 75")));
    groupLayout->addWidget(QualED1);
    groupLayout->addLayout(ends);
    groupLayout->addLayout(number);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("A&bbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(360);

    const QSettings settings;
    QualED1->setValue(storedValue(settings, kSliderKey));
    QualED2->setValue(storedValue(settings, kNumberKey));
    const QByteArray state = settings.value(QLatin1String(kStateKey)).toByteArray();
    if (!state.isEmpty()) restoreGeometry(state);

    connect(QualED1, &QSlider::valueChanged, this, &TJPEGQForm::QualED1Change);
    connect(QualED2, &QSpinBox::valueChanged, this, &TJPEGQForm::QualED2Change);
}

TJPEGQForm::~TJPEGQForm() {
    saveSettings();
}

int TJPEGQForm::quality() const {
    return QualED1->value();
}

void TJPEGQForm::setQuality(int quality) {
    QualED1->setValue(std::clamp(quality, 1, 99));
}

void TJPEGQForm::QualED1Change(int value) {
    if (QualED2->value() != value) QualED2->setValue(value);
}

void TJPEGQForm::QualED2Change(int value) {
    if (QualED1->value() != value) QualED1->setValue(value);
}

void TJPEGQForm::saveSettings() const {
    QSettings settings;
    settings.setValue(QLatin1String(kSliderKey), QualED1->value());
    settings.setValue(QLatin1String(kNumberKey), QualED2->value());
    settings.setValue(QLatin1String(kStateKey), saveGeometry());
}

void TJPEGQForm::showEvent(QShowEvent* event) {
    // Centred on the screen, whatever the parent.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    QDialog::showEvent(event);
}

void TJPEGQForm::done(int result) {
    saveSettings();
    QDialog::done(result);
}

}  // namespace bb
