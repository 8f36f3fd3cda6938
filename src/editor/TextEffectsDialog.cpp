#include "editor/TextEffectsDialog.h"
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

TextEffectsDialog::TextEffectsDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("EffektForm"));
    setWindowTitle(QStringLiteral("Effekte"));
    auto* layout = new QVBoxLayout(this);

    auto* umr = new QGroupBox(QStringLiteral("Umrandung"), this);
    auto* ul = new QVBoxLayout(umr);
    outlineCheck = new QCheckBox(QStringLiteral("Umrandung"), umr);
    outlineCheck->setStatusTip(QStringLiteral("Umrandet die Buchstaben des Textes"));
    outlineCheck->setObjectName(QStringLiteral("UmrCheck"));
    outlineColorButton = new QPushButton(QStringLiteral("Farbe"), umr);
    outlineColorButton->setStatusTip(QStringLiteral("Wählt die Farbe der Umrandung"));
    outlineColorButton->setObjectName(QStringLiteral("UmrFarbeBtn"));
    ul->addWidget(outlineCheck);
    ul->addWidget(outlineColorButton);
    layout->addWidget(umr);

    auto* sch = new QGroupBox(QStringLiteral("Schatten"), this);
    auto* sl = new QFormLayout(sch);
    shadowCheck = new QCheckBox(QStringLiteral("Schatten"), sch);
    shadowCheck->setStatusTip(QStringLiteral("Gibt dem Text einen Schatten"));
    shadowCheck->setObjectName(QStringLiteral("SchattCheck"));
    shadowColorButton = new QPushButton(QStringLiteral("Farbe"), sch);
    shadowColorButton->setStatusTip(QStringLiteral("Wählt die Farbe des Schattens"));
    shadowColorButton->setObjectName(QStringLiteral("SchattFarbeBtn"));
    const auto spin = [sch](const char* name) {
        auto* s = new QSpinBox(sch);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        s->setValue(5);
        return s;
    };
    shadowDxEdit = spin("SchattED1");
    shadowDyEdit = spin("SchattEd2");
    sl->addRow(shadowCheck);
    sl->addRow(shadowColorButton);
    sl->addRow(QStringLiteral("Entfernung Horizontal:"), shadowDxEdit);
    sl->addRow(QStringLiteral("Entfernung Vertikal:"), shadowDyEdit);
    layout->addWidget(sch);

    addOkCancel(this, layout);

    connect(outlineColorButton, &QPushButton::clicked, this,
            &TextEffectsDialog::chooseOutlineColor);
    connect(shadowColorButton, &QPushButton::clicked, this, &TextEffectsDialog::chooseShadowColor);
}

void TextEffectsDialog::setShadowLimits(int maxDx, int maxDy) {
    maxDx_ = qMax(0, maxDx);
    maxDy_ = qMax(0, maxDy);
}

bool TextEffectsDialog::confirmValues() {
    const auto within = [](int v, int limit) { return v >= -limit && v <= limit; };
    if (within(shadowDxEdit->value(), maxDx_) && within(shadowDyEdit->value(), maxDy_)) return true;
    dialogs_.message(QStringLiteral("Der Schatten muss auf der Arbeitsfläche bleiben: Die "
                                    "Entfernung darf horizontal höchstens %1 und vertikal "
                                    "höchstens %2 Zehntelmillimeter betragen (nach beiden "
                                    "Seiten).")
                         .arg(maxDx_)
                         .arg(maxDy_),
                     windowTitle(), MsgIcon::Warning, BtnOk);
    return false;
}

void TextEffectsDialog::accept() {
    if (confirmValues()) QDialog::accept();
}

void TextEffectsDialog::chooseOutlineColor() {
    QColor c = toQColor(outlineColor);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) outlineColor = fromQColor(c);
}

void TextEffectsDialog::chooseShadowColor() {
    QColor c = toQColor(shadowColor);
    if (dialogs_.chooseColor(c, QStringLiteral("Farbe"))) shadowColor = fromQColor(c);
}

}  // namespace bb
