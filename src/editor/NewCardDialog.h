// "Neue Karte erstellen": starts with a gallery of designs to begin from ("Leere Karte" first,
// then the designs by occasion, the user's own last; DesignGallery). "Leere Karte" leads to the
// card-type page, which picks the card type of a new card from the catalogue
// "Visiten.dat" and manages the catalogue ("&Neu", "Ä&ndern", "&Löschen"). The catalogue is
// loaded each time the dialog opens and written back each time it closes, with OK or not.
// The types are listed with their card size (unfolded and folded), cards per sheet and paper;
// a search field filters them by name, and a picture shows the selected type's sheet.
#pragma once

#include "content/DesignLibrary.h"
#include "document/CardFormat.h"

#include <QDialog>
#include <QList>

#include <functional>

class QBoxLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace bb {

class CardTypeEditDialog;
class DesignGallery;
class DesignPreviews;
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

    // Where the gallery's designs come from (listDesigns over the shipped and own folders);
    // asked each time the dialog opens. Without one the gallery shows "Leere Karte" only.
    void setDesignSource(std::function<QList<DesignEntry>()> source) {
        designSource_ = std::move(source);
    }
    // The user's own designs folder, from which the gallery may delete designs.
    void setOwnDesignsFolder(const QString& folder) { ownDesignsFolder_ = folder; }
    // Keeps the previews' files in `folder` from now on (empty: in memory only).
    void setPreviewCacheFolder(const QString& folder);
    DesignPreviews& previews() { return *previews_; }

    // Opens the dialog modally on the gallery (the designs listed, "Leere Karte" selected)
    // with the card types loaded (loadCardTypes, reloadCardTypes, first entry selected, the
    // search emptied). On OK with a card type, the type has been copied into `format` and
    // chosenDesign() is empty; on OK with a design, chosenDesign() names its card file and
    // `format` is untouched, as it is on Cancel.
    int runModal(CardFormat& format);
    // The card file of the design chosen in the last run; empty otherwise.
    const QString& chosenDesign() const { return chosenDesign_; }

    // The pages: the gallery first, the card types after "Leere Karte".
    bool galleryShown() const;
    void showGallery();
    void showTypes();
    // Takes the design of `cardPath` and closes the dialog with OK.
    void chooseDesign(const QString& cardPath);
    // Asks, then deletes one of the user's own designs and lists the designs again.
    void deleteOwnDesignAsked(const QString& cardPath);
    // OK: on the gallery acts on the selected tile, on the card types confirmChoice().
    void okPressed();
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
    DesignGallery* gallery = nullptr;

    void done(int result) override;

private:
    // The group "Kartentyp" (list, search, sheet picture, editing buttons) and OK/Cancel.
    QGroupBox* buildTypeBox();
    QBoxLayout* buildDialogButtons();
    void listDesigns();
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
    QStackedWidget* pages_ = nullptr;
    QPushButton* backButton_ = nullptr;
    DesignPreviews* previews_ = nullptr;
    std::function<QList<DesignEntry>()> designSource_;
    QString ownDesignsFolder_;
    QString chosenDesign_;
};

}  // namespace bb
