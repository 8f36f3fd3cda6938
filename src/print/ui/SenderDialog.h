// "Absender": the user's own address for envelopes, line by line (Name, Straße, PLZ Ort,
// Land). The dialog only shows and reads back the fields; the caller keeps them.
#pragma once

#include "print/SenderSettings.h"

#include <QDialog>

class QLineEdit;

namespace bb {

class SenderDialog : public QDialog {
    Q_OBJECT
public:
    explicit SenderDialog(QWidget* parent = nullptr);

    void fill(const SenderFields& sender);
    SenderFields fields() const;

private:
    QLineEdit* name_ = nullptr;
    QLineEdit* street_ = nullptr;
    QLineEdit* place_ = nullptr;
    QLineEdit* country_ = nullptr;
};

}  // namespace bb
