#include "editor/GridDialog.h"
#include "editor/DialogButtons.h"
#include "editor/MillimetreField.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace bb {

GridDialog::GridDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RasterForm"));
    setWindowTitle(QStringLiteral("Raster"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    spacingEdit = new MillimetreField(this);
    spacingEdit->setObjectName(QStringLiteral("RasterED"));
    spacingEdit->setDecimals(1);
    spacingEdit->setRange(kMinMm, kMaxMm);
    spacingEdit->setSingleStep(0.5);
    spacingEdit->setSuffix(QStringLiteral(" mm"));
    spacingEdit->setValue(kDefaultMm);
    spacingEdit->setStatusTip(
        QStringLiteral("Abstand der Rasterlinien, an denen Objekte beim Ziehen einrasten"));
    form->addRow(QStringLiteral("&Rasterabstand:"), spacingEdit);
    layout->addLayout(form);
    addOkCancel(this, layout);
}

void GridDialog::setSpacing(double mm) {
    spacingEdit->setValue(validSpacing(mm));
}

double GridDialog::spacing() const {
    return spacingEdit->value();
}

double GridDialog::validSpacing(double mm) {
    if (!std::isfinite(mm)) return kDefaultMm;
    return std::clamp(mm, kMinMm, kMaxMm);
}

}  // namespace bb
