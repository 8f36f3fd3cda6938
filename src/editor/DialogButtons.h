// The OK and cancel buttons at the foot of a dialog, wired to accept and reject and named
// OKBtn and CancelBtn; OK is the default button.
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
    QPushButton* cancel = box->addButton(cancelText, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(box);
    return box;
}

}  // namespace bb
