// "Raster": the spacing of the grid that dragged objects snap to, in millimetres of the card.
#pragma once

#include <QDialog>

class QDoubleSpinBox;

namespace bb {

class GridDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr double kMinMm = 0.5;
    static constexpr double kMaxMm = 100.0;
    static constexpr double kDefaultMm = 5.0;

    explicit GridDialog(QWidget* parent = nullptr);

    // The spacing shown (clamped to the dialog's range) and the one entered.
    void setSpacing(double mm);
    double spacing() const;
    // A stored spacing made usable: the default when it is no number, else clamped.
    static double validSpacing(double mm);

    QDoubleSpinBox* spacingEdit = nullptr;
};

}  // namespace bb
