// "Transparenz": which colour of a picture is drawn transparent.
#pragma once

#include "pictures/DibImage.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace bb {

class UserDialogs;

class TransparencyDialog : public QDialog {
    Q_OBJECT
public:
    TransparencyDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

    QCheckBox* transparentCheck = nullptr;
    QCheckBox* autoCheck = nullptr;
    QPushButton* colorButton = nullptr;
    ColorRef color = 0;  // the transparent colour being edited

    void chooseColor();

private:
    UserDialogs& dialogs_;
};

}  // namespace bb
