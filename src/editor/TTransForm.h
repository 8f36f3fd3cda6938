// "Transparenz": which colour of a picture is drawn transparent.
#pragma once

#include "pictures/DibImage.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace bb {

class UserDialogs;

class TTransForm : public QDialog {
    Q_OBJECT
public:
    TTransForm(UserDialogs& dialogs, QWidget* parent = nullptr);

    QCheckBox* TransCheck = nullptr;
    QCheckBox* AutoCheck = nullptr;
    QPushButton* FarbeBtn = nullptr;
    ColorRef color = 0;  // the transparent colour being edited

    void chooseColor();

private:
    UserDialogs& dialogs_;
};

}  // namespace bb
