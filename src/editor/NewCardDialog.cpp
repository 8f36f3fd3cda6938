#include "editor/NewCardDialog.h"

#include "document/Catalogue.h"
#include "document/UserDialogs.h"
#include "editor/CardTypeEditDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

NewCardDialog::NewCardDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("neuForm"));
    setWindowTitle(QStringLiteral("Neue Karte erstellen"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Kartentyp"), this);
    auto* bl = new QVBoxLayout(box);
    auto* pick = new QHBoxLayout;
    pick->addWidget(new QLabel(QStringLiteral("Auswahl:"), box));
    typeCombo = new QComboBox(box);
    typeCombo->setObjectName(QStringLiteral("ComboBox1"));
    typeCombo->setEditable(false);
    typeCombo->setMinimumContentsLength(40);
    pick->addWidget(typeCombo, 1);
    bl->addLayout(pick);
    auto* edit = new QHBoxLayout;
    const auto button = [this](QBoxLayout* l, const QString& text, const char* name,
                               const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setStatusTip(tip);
        b->setAutoDefault(false);
        l->addWidget(b);
        return b;
    };
    connect(button(edit, QStringLiteral("&Neu"), "NeuBtn",
                   QStringLiteral("Legt einen neuen Kartentyp an")),
            &QPushButton::clicked, this, &NewCardDialog::addType);
    connect(button(edit, QStringLiteral("Ä&ndern"), "AendernBtn",
                   QStringLiteral("Ändert den gewählten Kartentyp")),
            &QPushButton::clicked, this, &NewCardDialog::changeType);
    connect(button(edit, QStringLiteral("&Löschen"), "LoeschenBtn",
                   QStringLiteral("Löscht den gewählten Kartentyp")),
            &QPushButton::clicked, this, &NewCardDialog::deleteType);
    edit->addStretch(1);
    bl->addLayout(edit);
    outer->addWidget(box);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    QPushButton* ok = button(bottom, QStringLiteral("&OK"), "OKBtn",
                             QStringLiteral("Beginnt eine neue Karte mit dem gewählten Kartentyp"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &NewCardDialog::confirmChoice);
    connect(button(bottom, QStringLiteral("&Abbrechen"), "CancelBtn",
                   QStringLiteral("Behält die bisherige Karte")),
            &QPushButton::clicked, this, &QDialog::reject);
    outer->addLayout(bottom);
}

int NewCardDialog::runModal(CardFormat& format) {
    target_ = &format;
    types_ = loadCardTypes(programFolder_);
    reloadCardTypes();
    if (typeCombo->count() > 0) typeCombo->setCurrentIndex(0);
    open_ = true;
    setResult(Rejected);
    if (hook_) {
        hook_(*this);
        if (open_) done(Rejected);
    } else {
        exec();
    }
    target_ = nullptr;
    return result();
}

void NewCardDialog::reloadCardTypes() {
    typeCombo->clear();
    for (const CardFormat& t : types_) typeCombo->addItem(t.typeName);
    if (typeCombo->currentIndex() < 0 && typeCombo->count() > 0) typeCombo->setCurrentIndex(0);
}

void NewCardDialog::addType() {
    if (!typeEditor_) return;
    // The other fields keep what the card-type dialog showed last.
    typeEditor_->nameEdit->setText(QStringLiteral("Kein Name") + QString::number(types_.size()));
    if (typeEditor_->runModal() != QDialog::Accepted) return;
    types_.append(typeEditor_->readBack());
    reloadCardTypes();
    typeCombo->setCurrentIndex(typeCombo->count() - 1);
}

void NewCardDialog::changeType() {
    const int i = typeCombo->currentIndex();
    if (!typeEditor_ || i < 0 || i >= types_.size()) return;
    typeEditor_->fill(types_[i]);
    if (typeEditor_->runModal() != QDialog::Accepted) return;
    types_[i] = typeEditor_->readBack();
    reloadCardTypes();
    typeCombo->setCurrentIndex(i);
}

void NewCardDialog::deleteType() {
    const int i = typeCombo->currentIndex();
    if (i < 0 || i >= types_.size()) return;
    if (dialogs_.message(QStringLiteral("Hiermit löschen Sie den Visitenkartentyp unwiederrufbar."),
                         QStringLiteral("Hinweis"), MsgIcon::Error, BtnOk | BtnCancel) != BtnOk)
        return;
    types_.removeAt(i);
    reloadCardTypes();
}

void NewCardDialog::confirmChoice() {
    const int i = typeCombo->currentIndex();
    if (i < 0 || i >= types_.size()) {
        dialogs_.message(QStringLiteral("Sie haben keinen Visitenkartentyp ausgewählt."),
                         QStringLiteral("Fehler"), MsgIcon::Error, BtnOk);
        return;
    }
    if (target_) {
        CardFormat f = types_[i];
        f.typeName = f.typeName.left(kTypeNameMax);
        *target_ = f;
    }
    saveCardTypes(programFolder_, types_);
    accept();
}

void NewCardDialog::done(int r) {
    // Every closing writes the catalogue back and drops it from memory; a catalogue that
    // cannot be written is lost silently.
    if (open_) {
        open_ = false;
        saveCardTypes(programFolder_, types_);
        clearCardTypes();
        typeCombo->clear();
    }
    QDialog::done(r);
}

}  // namespace bb
