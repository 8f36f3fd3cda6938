// "Effekte": outline and shadow of a text, with the two colours held by the dialog until OK.
#pragma once

#include "pictures/DibImage.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace bb {

class UserDialogs;

class TextEffectsDialog : public QDialog {
    Q_OBJECT
public:
    TextEffectsDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

    QCheckBox* outlineCheck = nullptr;
    QCheckBox* shadowCheck = nullptr;
    QPushButton* outlineColorButton = nullptr;
    QPushButton* shadowColorButton = nullptr;
    QSpinBox* shadowDxEdit = nullptr;
    QSpinBox* shadowDyEdit = nullptr;
    ColorRef outlineColor = 0;
    ColorRef shadowColor = 0;

    // The "Farbe" buttons: the dialog's colour dialog preset with the group's colour.
    void chooseOutlineColor();
    void chooseShadowColor();

    // The largest shadow distances either way, in tenths of a millimetre: the work area's
    // width and height, so that a shadow stays where it can be seen and printed.
    void setShadowLimits(int maxDx, int maxDy);
    // True when both distances are within the limits; otherwise tells the user.
    bool confirmValues();
    void accept() override;

private:
    UserDialogs& dialogs_;
    int maxDx_ = 0, maxDy_ = 0;
};

}  // namespace bb
