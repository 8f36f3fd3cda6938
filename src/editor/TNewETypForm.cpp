#include "editor/TNewETypForm.h"
#include "editor/DialogButtons.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace bb {

namespace {

// A length read from a damaged catalogue may be no number at all; it shows as 0.
double finiteOr0(double v) {
    return std::isfinite(v) ? v : 0.0;
}

QDoubleSpinBox* lengthField(const char* name, double max, double value, QWidget* parent) {
    auto* s = new QDoubleSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setDecimals(2);
    s->setRange(0, max);
    s->setValue(value);
    s->setSuffix(QString());
    return s;
}

QSpinBox* countField(const char* name, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(1, 50);
    s->setValue(value);
    return s;
}

QGroupBox* group(const QString& caption, QWidget* parent, QFormLayout*& form) {
    auto* g = new QGroupBox(caption, parent);
    form = new QFormLayout(g);
    return g;
}

}  // namespace

TNewETypForm::TNewETypForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NewETypForm"));
    setWindowTitle(QStringLiteral("Kartentyp bearbeiten"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);  // fixed-size dialog

    auto* nameBox = new QGroupBox(QStringLiteral("Bezeichnung für diesen Kartentyp"), this);
    auto* nl = new QVBoxLayout(nameBox);
    NameED = new QLineEdit(QStringLiteral("Kein Name"), nameBox);
    NameED->setObjectName(QStringLiteral("NameED"));
    NameED->setMaxLength(kTypeNameMax);
    nl->addWidget(NameED);
    outer->addWidget(nameBox);

    QFormLayout* f = nullptr;
    auto* margins = group(QStringLiteral("Ränder in mm"), this, f);
    RLED = lengthField("RLED", 3000, 0, margins);
    ROED = lengthField("ROED", 1000, 0, margins);
    f->addRow(QStringLiteral("Links:"), RLED);
    f->addRow(QStringLiteral("Oben:"), ROED);
    outer->addWidget(margins);

    auto* size = group(QStringLiteral("Ausmaße in mm"), this, f);
    BrED = lengthField("BrED", 3000, 90, size);
    HoED = lengthField("HoED", 1000, 55, size);
    f->addRow(QStringLiteral("Breite:"), BrED);
    f->addRow(QStringLiteral("Höhe:"), HoED);
    outer->addWidget(size);

    auto* gaps = group(QStringLiteral("Abstände zwischen den Karten in mm"), this, f);
    AHED = lengthField("AHED", 3000, 0, gaps);
    AVED = lengthField("AVED", 1000, 0, gaps);
    f->addRow(QStringLiteral("Horizontaler:"), AHED);
    f->addRow(QStringLiteral("Vertikal:"), AVED);
    outer->addWidget(gaps);

    auto* counts = group(QStringLiteral("Anzahl der Karten pro Blatt"), this, f);
    AnzHED = countField("AnzHED", 2, counts);
    AnzVED = countField("AnzVED", 5, counts);
    f->addRow(QStringLiteral("Horizontal:"), AnzHED);
    f->addRow(QStringLiteral("Vertikal:"), AnzVED);
    outer->addWidget(counts);

    addOkCancel(this, outer, QStringLiteral("&OK"), QStringLiteral("&Abbrechen"));
}

CardTypeFields TNewETypForm::fields() const {
    CardTypeFields f;
    f.name = NameED->text();
    f.left = RLED->value();
    f.top = ROED->value();
    f.width = BrED->value();
    f.height = HoED->value();
    f.hgap = AHED->value();
    f.vgap = AVED->value();
    f.across = AnzHED->value();
    f.down = AnzVED->value();
    return f;
}

void TNewETypForm::setFields(const CardTypeFields& f) {
    // Values outside a field's range are held at its nearest limit by the spin boxes.
    NameED->setText(f.name);
    RLED->setValue(finiteOr0(f.left));
    ROED->setValue(finiteOr0(f.top));
    BrED->setValue(finiteOr0(f.width));
    HoED->setValue(finiteOr0(f.height));
    AHED->setValue(finiteOr0(f.hgap));
    AVED->setValue(finiteOr0(f.vgap));
    AnzHED->setValue(static_cast<int>(qBound(1.0, finiteOr0(f.across), 50.0)));
    AnzVED->setValue(static_cast<int>(qBound(1.0, finiteOr0(f.down), 50.0)));
}

void TNewETypForm::fill(const CardFormat& format) {
    setFields(cardTypeFieldsFrom(format));
}

CardFormat TNewETypForm::readBack() const {
    return cardFormatFrom(fields());
}

int TNewETypForm::runModal() {
    if (hook_) return hook_(*this);
    return exec();
}

}  // namespace bb
