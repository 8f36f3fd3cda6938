// "Neue Karte erstellen": picks the card type of a new card from the catalogue
// "Visiten.dat" and manages the catalogue ("&Neu", "Ä&ndern", "&Löschen"). The catalogue is
// loaded each time the dialog opens and written back each time it closes, with OK or not.
// The types are listed with their card size (unfolded and folded), cards per sheet and paper;
// a search field filters them by name, and a picture shows the selected type's sheet.
#pragma once

#include "document/CardFormat.h"

#include <QDialog>
#include <QList>

#include <functional>

class QBoxLayout;
class QGroupBox;
class QLineEdit;
class QTreeWidget;

namespace bb {

class CardTypeEditDialog;
class SheetPicture;
class UserDialogs;

// The columns of the type list.
enum CardTypeColumn {
    TypeNameColumn,
    UnfoldedColumn,
    FoldedColumn,
    PerSheetColumn,
    PaperColumn,
    CardTypeColumnCount
};

// The texts of one row of the type list: name, "210 × 148,5 mm", "105 × 148,5 mm", "2", "A4".
QStringList cardTypeRow(const CardFormat& format);

class NewCardDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewCardDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

    // The card-type dialog that "&Neu" and "Ä&ndern" show (created after this dialog).
    void setTypeEditor(CardTypeEditDialog* editor) { typeEditor_ = editor; }

    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    // Opens the dialog modally (loadCardTypes, reloadCardTypes, first entry selected, the
    // search emptied). On OK the chosen type has been copied into `format`; on Cancel `format`
    // is untouched.
    int runModal(CardFormat& format);
    // Tests: replaces the modal loop. The hook works the dialog through its buttons; if it
    // leaves the dialog open, the dialog is then cancelled.
    void setModalHook(std::function<void(NewCardDialog&)> hook) { hook_ = std::move(hook); }

    // The catalogue while the dialog is open (empty otherwise).
    const QList<CardFormat>& types() const { return types_; }
    // The catalogue index of the selected type; −1 when none is selected (or the search hides
    // every type).
    int currentType() const;
    // Selects the type at catalogue index `i`, emptying the search when it hides that type.
    void selectType(int i);
    // Types the search shows, in list order.
    int visibleTypeCount() const;

    void reloadCardTypes();
    void addType();
    void changeType();
    void deleteType();
    void confirmChoice();

    QTreeWidget* typeList = nullptr;  // "TypListe"
    QLineEdit* searchEdit = nullptr;  // "SuchenED"

    void done(int result) override;

private:
    // The group "Kartentyp" (list, search, sheet picture, editing buttons) and OK/Cancel.
    QGroupBox* buildTypeBox();
    QBoxLayout* buildDialogButtons();
    void clearCardTypes() { types_.clear(); }
    // Hides the rows whose name does not contain the search (case-insensitive) and keeps a
    // shown row selected.
    void applySearch();
    void showSelectedSheet();
    // Writes the catalogue back; a failure is shown with the file and the reason.
    void writeCardTypes();

    CardTypeEditDialog* typeEditor_ = nullptr;
    UserDialogs& dialogs_;
    QString programFolder_;
    QList<CardFormat> types_;
    CardFormat* target_ = nullptr;
    bool open_ = false;
    std::function<void(NewCardDialog&)> hook_;
    SheetPicture* sheetPicture_ = nullptr;
};

}  // namespace bb
