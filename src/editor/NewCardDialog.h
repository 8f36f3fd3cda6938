// "Neue Karte erstellen": picks the card type of a new card from the catalogue
// "Visiten.dat" and manages the catalogue ("&Neu", "Ä&ndern", "&Löschen"). The catalogue is
// loaded each time the dialog opens and written back each time it closes, with OK or not.
#pragma once

#include "document/CardFormat.h"

#include <QDialog>
#include <QList>

#include <functional>

class QComboBox;
class QPushButton;

namespace bb {

class CardTypeEditDialog;
class UserDialogs;

class NewCardDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewCardDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

    // The card-type dialog that "&Neu" and "Ä&ndern" show (created after this dialog).
    void setTypeEditor(CardTypeEditDialog* editor) { typeEditor_ = editor; }

    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    // Opens the dialog modally (loadCardTypes, reloadCardTypes, first entry selected). On OK
    // the chosen type has been copied into `format`; on Cancel `format` is untouched.
    int runModal(CardFormat& format);
    // Tests: replaces the modal loop. The hook works the dialog through its buttons; if it
    // leaves the dialog open, the dialog is then cancelled.
    void setModalHook(std::function<void(NewCardDialog&)> hook) { hook_ = std::move(hook); }

    // The catalogue while the dialog is open (empty otherwise).
    const QList<CardFormat>& types() const { return types_; }

    void reloadCardTypes();
    void addType();
    void changeType();
    void deleteType();
    void confirmChoice();

    QComboBox* typeCombo = nullptr;

    void done(int result) override;

private:
    void clearCardTypes() { types_.clear(); }

    CardTypeEditDialog* typeEditor_ = nullptr;
    UserDialogs& dialogs_;
    QString programFolder_;
    QList<CardFormat> types_;
    CardFormat* target_ = nullptr;
    bool open_ = false;
    std::function<void(NewCardDialog&)> hook_;
};

}  // namespace bb
