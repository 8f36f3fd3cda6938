// A drop-down list of the sixteen standard colours with German names, and one entry for any
// other colour (chosen in the colour dialog when picked).
#pragma once

#include "pictures/DibImage.h"

#include <QComboBox>

namespace bb {

class UserDialogs;

class ColorCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ColorCombo(QWidget* parent = nullptr, UserDialogs* dialogs = nullptr);

    static constexpr int kStandardCount = 16;
    // The standard colour i (0..15) and its German name.
    static ColorRef standardColor(int i);
    static QString standardName(int i);

    ColorRef color() const { return color_; }
    // Shows `c`: its standard entry, or the entry for other colours with a swatch of it.
    void setColor(ColorRef c);
    // Shows no entry: the objects it speaks for differ. Any colour chosen then is a change.
    void showMixed();

signals:
    // Every change of value, by the user or by setColor.
    void colorChanged(ColorRef color);

private:
    void picked(int index);
    void showColor();

    UserDialogs* dialogs_ = nullptr;
    ColorRef color_ = 0;
};

}  // namespace bb
