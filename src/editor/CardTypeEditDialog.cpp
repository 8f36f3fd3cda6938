#include "editor/CardTypeEditDialog.h"
#include "editor/DialogButtons.h"
#include "editor/MillimetreField.h"

#include "document/UserDialogs.h"

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
    auto* s = new MillimetreField(parent);
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

CardTypeEditDialog::CardTypeEditDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("NewETypForm"));
    setWindowTitle(QStringLiteral("Kartentyp bearbeiten"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);  // fixed-size dialog

    auto* nameBox = new QGroupBox(QStringLiteral("Bezeichnung für diesen Kartentyp"), this);
    auto* nl = new QVBoxLayout(nameBox);
    nameEdit = new QLineEdit(QStringLiteral("Kein Name"), nameBox);
    nameEdit->setObjectName(QStringLiteral("NameED"));
    nameEdit->setMaxLength(kTypeNameMax);
    nl->addWidget(nameEdit);
    outer->addWidget(nameBox);

    QFormLayout* f = nullptr;
    auto* margins = group(QStringLiteral("Ränder in mm"), this, f);
    leftMarginEdit = lengthField("RLED", 3000, 0, margins);
    topMarginEdit = lengthField("ROED", 1000, 0, margins);
    f->addRow(QStringLiteral("Links:"), leftMarginEdit);
    f->addRow(QStringLiteral("Oben:"), topMarginEdit);
    outer->addWidget(margins);

    auto* size = group(QStringLiteral("Ausmaße in mm"), this, f);
    widthEdit = lengthField("BrED", 3000, 90, size);
    heightEdit = lengthField("HoED", 1000, 55, size);
    f->addRow(QStringLiteral("Breite:"), widthEdit);
    f->addRow(QStringLiteral("Höhe:"), heightEdit);
    outer->addWidget(size);

    auto* gaps = group(QStringLiteral("Abstände zwischen den Karten in mm"), this, f);
    horizontalGapEdit = lengthField("AHED", 3000, 0, gaps);
    verticalGapEdit = lengthField("AVED", 1000, 0, gaps);
    f->addRow(QStringLiteral("Horizontaler:"), horizontalGapEdit);
    f->addRow(QStringLiteral("Vertikal:"), verticalGapEdit);
    outer->addWidget(gaps);

    auto* counts = group(QStringLiteral("Anzahl der Karten pro Blatt"), this, f);
    cardsAcrossEdit = countField("AnzHED", 2, counts);
    cardsDownEdit = countField("AnzVED", 5, counts);
    f->addRow(QStringLiteral("Horizontal:"), cardsAcrossEdit);
    f->addRow(QStringLiteral("Vertikal:"), cardsDownEdit);
    outer->addWidget(counts);

    addOkCancel(this, outer, QStringLiteral("&OK"), QStringLiteral("&Abbrechen"));
}

CardTypeFields CardTypeEditDialog::fields() const {
    CardTypeFields f;
    f.name = nameEdit->text();
    f.left = leftMarginEdit->value();
    f.top = topMarginEdit->value();
    f.width = widthEdit->value();
    f.height = heightEdit->value();
    f.hgap = horizontalGapEdit->value();
    f.vgap = verticalGapEdit->value();
    f.across = cardsAcrossEdit->value();
    f.down = cardsDownEdit->value();
    return f;
}

void CardTypeEditDialog::setFields(const CardTypeFields& f) {
    // Values outside a field's range are held at its nearest limit by the spin boxes.
    nameEdit->setText(f.name);
    leftMarginEdit->setValue(finiteOr0(f.left));
    topMarginEdit->setValue(finiteOr0(f.top));
    widthEdit->setValue(finiteOr0(f.width));
    heightEdit->setValue(finiteOr0(f.height));
    horizontalGapEdit->setValue(finiteOr0(f.hgap));
    verticalGapEdit->setValue(finiteOr0(f.vgap));
    cardsAcrossEdit->setValue(static_cast<int>(qBound(1.0, finiteOr0(f.across), 50.0)));
    cardsDownEdit->setValue(static_cast<int>(qBound(1.0, finiteOr0(f.down), 50.0)));
}

void CardTypeEditDialog::fill(const CardFormat& format) {
    setFields(cardTypeFieldsFrom(format));
}

CardFormat CardTypeEditDialog::readBack() const {
    return cardFormatFrom(fields());
}

bool CardTypeEditDialog::confirmValues() {
    const CardTypeFields values = fields();
    if (const QString problem = cardTypeProblem(values); !problem.isEmpty()) {
        dialogs_.message(problem, windowTitle(), MsgIcon::Warning, BtnOk);
        return false;
    }
    // A layout larger than every known paper is allowed; the user decides after the warning
    // (Abbrechen goes back to the fields).
    const QString warning = cardTypePaperWarning(values);
    return warning.isEmpty() ||
           dialogs_.message(warning, windowTitle(), MsgIcon::Warning, BtnOk | BtnCancel) == BtnOk;
}

void CardTypeEditDialog::accept() {
    if (confirmValues()) QDialog::accept();
}

int CardTypeEditDialog::runModal() {
    if (!hook_) return exec();
    const int result = hook_(*this);
    return result == Accepted && !confirmValues() ? int(Rejected) : result;
}

}  // namespace bb
