#include "editor/TTransForm.h"
#include "editor/DialogButtons.h"

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
    addOkCancel(this, layout);
    connect(FarbeBtn, &QPushButton::clicked, this, &TTransForm::chooseColor);
}

void TTransForm::chooseColor() {
    QColor c = toQColor(color);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) color = fromQColor(c);
}

}  // namespace bb
