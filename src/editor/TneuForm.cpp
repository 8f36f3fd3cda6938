#include "editor/TneuForm.h"

#include "document/Catalogue.h"
#include "document/UserDialogs.h"
#include "editor/TNewETypForm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

TneuForm::TneuForm(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("neuForm"));
    setWindowTitle(QStringLiteral("Neue Karte erstellen"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Kartentyp"), this);
    auto* bl = new QVBoxLayout(box);
    auto* pick = new QHBoxLayout;
    pick->addWidget(new QLabel(QStringLiteral("Auswahl:"), box));
    ComboBox1 = new QComboBox(box);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->setMinimumContentsLength(40);
    pick->addWidget(ComboBox1, 1);
    bl->addLayout(pick);
    auto* edit = new QHBoxLayout;
    const auto button = [this](QBoxLayout* l, const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        l->addWidget(b);
        return b;
    };
    connect(button(edit, QStringLiteral("&Neu"), "NeuBtn"), &QPushButton::clicked, this,
            &TneuForm::NeuBtnClick);
    connect(button(edit, QStringLiteral("Ä&ndern"), "AendernBtn"), &QPushButton::clicked, this,
            &TneuForm::AendernBtnClick);
    connect(button(edit, QStringLiteral("&Löschen"), "LoeschenBtn"), &QPushButton::clicked, this,
            &TneuForm::LoeschenBtnClick);
    edit->addStretch(1);
    bl->addLayout(edit);
    outer->addWidget(box);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    QPushButton* ok = button(bottom, QStringLiteral("&OK"), "OKBtn");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TneuForm::OKBtnClick);
    connect(button(bottom, QStringLiteral("&Abbrechen"), "CancelBtn"), &QPushButton::clicked, this,
            &QDialog::reject);
    outer->addLayout(bottom);
}

int TneuForm::runModal(CardFormat& format) {
    target_ = &format;
    types_ = LoadEttTypes(programFolder_);
    UpdateEttTypes();
    if (ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
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

void TneuForm::UpdateEttTypes() {
    ComboBox1->clear();
    for (const CardFormat& t : types_) ComboBox1->addItem(t.TypeName);
    if (ComboBox1->currentIndex() < 0 && ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
}

void TneuForm::NeuBtnClick() {
    if (!typeForm_) return;
    // The other fields keep what the card-type dialog showed last.
    typeForm_->NameED->setText(QStringLiteral("Kein Name") + QString::number(types_.size()));
    if (typeForm_->runModal() != QDialog::Accepted) return;
    types_.append(typeForm_->readBack());
    UpdateEttTypes();
    ComboBox1->setCurrentIndex(ComboBox1->count() - 1);
}

void TneuForm::AendernBtnClick() {
    const int i = ComboBox1->currentIndex();
    if (!typeForm_ || i < 0 || i >= types_.size()) return;
    typeForm_->fill(types_[i]);
    if (typeForm_->runModal() != QDialog::Accepted) return;
    types_[i] = typeForm_->readBack();
    UpdateEttTypes();
    ComboBox1->setCurrentIndex(i);
}

void TneuForm::LoeschenBtnClick() {
    const int i = ComboBox1->currentIndex();
    if (i < 0 || i >= types_.size()) return;
    if (dialogs_.message(QStringLiteral("Hiermit löschen Sie den Visitenkartentyp unwiederrufbar."),
                         QStringLiteral("Hinweis"), MsgIcon::Error, BtnOk | BtnCancel) != BtnOk)
        return;
    types_.removeAt(i);
    UpdateEttTypes();
}

void TneuForm::OKBtnClick() {
    const int i = ComboBox1->currentIndex();
    if (i < 0 || i >= types_.size()) {
        dialogs_.message(QStringLiteral("Sie haben keinen Visitenkartentyp ausgewählt."),
                         QStringLiteral("Fehler"), MsgIcon::Error, BtnOk);
        return;
    }
    if (target_) {
        CardFormat f = types_[i];
        f.TypeName = f.TypeName.left(kTypeNameMax);
        *target_ = f;
    }
    SaveEttTypes(programFolder_, types_);
    accept();
}

void TneuForm::done(int r) {
    // Every closing writes the catalogue back and drops it from memory; a catalogue that
    // cannot be written is lost silently.
    if (open_) {
        open_ = false;
        SaveEttTypes(programFolder_, types_);
        FreeEttTypes();
        ComboBox1->clear();
    }
    QDialog::done(r);
}

}  // namespace bb
