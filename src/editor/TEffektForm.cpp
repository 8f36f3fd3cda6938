#include "editor/TEffektForm.h"
#include "editor/DialogButtons.h"

#include "document/UserDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace bb {

TEffektForm::TEffektForm(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("EffektForm"));
    setWindowTitle(QStringLiteral("Effekte"));
    auto* layout = new QVBoxLayout(this);

    auto* umr = new QGroupBox(QStringLiteral("Umrandung"), this);
    auto* ul = new QVBoxLayout(umr);
    UmrCheck = new QCheckBox(QStringLiteral("Umrandung"), umr);
    UmrCheck->setObjectName(QStringLiteral("UmrCheck"));
    UmrFarbeBtn = new QPushButton(QStringLiteral("Farbe"), umr);
    UmrFarbeBtn->setObjectName(QStringLiteral("UmrFarbeBtn"));
    ul->addWidget(UmrCheck);
    ul->addWidget(UmrFarbeBtn);
    layout->addWidget(umr);

    auto* sch = new QGroupBox(QStringLiteral("Schatten"), this);
    auto* sl = new QFormLayout(sch);
    SchattCheck = new QCheckBox(QStringLiteral("Schatten"), sch);
    SchattCheck->setObjectName(QStringLiteral("SchattCheck"));
    SchattFarbeBtn = new QPushButton(QStringLiteral("Farbe"), sch);
    SchattFarbeBtn->setObjectName(QStringLiteral("SchattFarbeBtn"));
    const auto spin = [sch](const char* name) {
        auto* s = new QSpinBox(sch);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        s->setValue(5);
        return s;
    };
    SchattED1 = spin("SchattED1");
    SchattEd2 = spin("SchattEd2");
    sl->addRow(SchattCheck);
    sl->addRow(SchattFarbeBtn);
    sl->addRow(QStringLiteral("Entfernung Horizontal:"), SchattED1);
    sl->addRow(QStringLiteral("Entfernung Vertikal:"), SchattEd2);
    layout->addWidget(sch);

    addOkCancel(this, layout);

    connect(UmrFarbeBtn, &QPushButton::clicked, this, &TEffektForm::chooseOutlineColor);
    connect(SchattFarbeBtn, &QPushButton::clicked, this, &TEffektForm::chooseShadowColor);
}

void TEffektForm::chooseOutlineColor() {
    QColor c = toQColor(outlineColor);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) outlineColor = fromQColor(c);
}

void TEffektForm::chooseShadowColor() {
    QColor c = toQColor(shadowColor);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) shadowColor = fromQColor(c);
}

}  // namespace bb
