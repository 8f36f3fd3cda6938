#include "editor/TTransForm.h"

#include "document/UserDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

TTransForm::TTransForm(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TransForm"));
    setWindowTitle(QStringLiteral("Transparenz"));
    auto* layout = new QVBoxLayout(this);
    TransCheck = new QCheckBox(QStringLiteral("Transparente Farbe"), this);
    TransCheck->setObjectName(QStringLiteral("TransCheck"));
    FarbeBtn = new QPushButton(QStringLiteral("Farbe"), this);
    FarbeBtn->setObjectName(QStringLiteral("FarbeBtn"));
    AutoCheck = new QCheckBox(QStringLiteral("Benutze Farbe des linken unteren Pixels"), this);
    AutoCheck->setObjectName(QStringLiteral("AutoCheck"));
    layout->addWidget(TransCheck);
    layout->addWidget(FarbeBtn);
    layout->addWidget(AutoCheck);
    auto* box = new QDialogButtonBox(this);
    box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("A&bbrechen"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    connect(FarbeBtn, &QPushButton::clicked, this, &TTransForm::chooseColor);
}

void TTransForm::chooseColor() {
    QColor c = toQColor(color);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) color = fromQColor(c);
}

}  // namespace bb
