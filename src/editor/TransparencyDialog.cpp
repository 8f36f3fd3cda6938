#include "editor/TransparencyDialog.h"
#include "editor/DialogButtons.h"

#include "document/UserDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

TransparencyDialog::TransparencyDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TransForm"));
    setWindowTitle(QStringLiteral("Transparenz"));
    auto* layout = new QVBoxLayout(this);
    transparentCheck = new QCheckBox(QStringLiteral("Transparente Farbe"), this);
    transparentCheck->setStatusTip(QStringLiteral("Lässt eine Farbe des Bildes durchscheinen"));
    transparentCheck->setObjectName(QStringLiteral("TransCheck"));
    colorButton = new QPushButton(QStringLiteral("Farbe"), this);
    colorButton->setStatusTip(QStringLiteral("Wählt die Farbe, die durchscheint"));
    colorButton->setObjectName(QStringLiteral("FarbeBtn"));
    autoCheck = new QCheckBox(QStringLiteral("Benutze Farbe des linken unteren Pixels"), this);
    autoCheck->setStatusTip(QStringLiteral("Die Farbe des Bildpunktes unten links scheint durch"));
    autoCheck->setObjectName(QStringLiteral("AutoCheck"));
    layout->addWidget(transparentCheck);
    layout->addWidget(colorButton);
    layout->addWidget(autoCheck);
    addOkCancel(this, layout);
    connect(colorButton, &QPushButton::clicked, this, &TransparencyDialog::chooseColor);
}

void TransparencyDialog::chooseColor() {
    QColor c = toQColor(color);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) color = fromQColor(c);
}

}  // namespace bb
