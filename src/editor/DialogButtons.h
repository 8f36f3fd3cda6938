// The OK and cancel buttons at the foot of a dialog, wired to accept and reject and named
// OKBtn and CancelBtn; OK is the default button. Both say in the status line what they do.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QLayout>
#include <QPushButton>

namespace bb {

inline QDialogButtonBox* addOkCancel(QDialog* dialog, QLayout* layout,
                                     const QString& okText = QStringLiteral("OK"),
                                     const QString& cancelText = QStringLiteral("A&bbrechen")) {
    auto* box = new QDialogButtonBox(dialog);
    QPushButton* ok = box->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    ok->setStatusTip(QStringLiteral("Übernimmt die Eingaben und schließt das Fenster"));
    QPushButton* cancel = box->addButton(cancelText, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setStatusTip(QStringLiteral("Schließt das Fenster, ohne etwas zu ändern"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(box);
    return box;
}

}  // namespace bb
