// "Serienkarten": chooses the address list of the card, shows its fields and first rows
// (with the progress of a long read), which column fills which field of the card and of an
// address ("Spalten zuordnen"), which fields of the card lack a column, which rows a
// merge takes and how often, and starts printing or exporting the merge. Everything it shows
// and changes is the session's; printing, exporting and forgetting the list are the window's,
// asked for by signals.
#pragma once

#include "merge/MergeSelection.h"

#include <QDialog>
#include <QStringList>

#include <memory>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QFormLayout;
class QSpinBox;
class QTableView;
class QTabWidget;

namespace bb {

class RowChoiceBox;

struct AddressList;
class AddressListModel;
class MergeSession;
class UserDialogs;

inline const QString kAddressListFilter =
    QStringLiteral("Adresslisten|*.csv;*.txt;*.vcf;*.vcard|Alle Dateien|*");

class MergeDialog : public QDialog {
    Q_OBJECT
public:
    MergeDialog(MergeSession& session, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Before each showing: the fields the card uses, where the file question starts and the
    // side the editor shows (the sides offered until the person chooses others).
    void prepare(const QStringList& cardFields, const QString& listFolder, int shownSide = 0);
    // The sides "Drucken" and "Bilder exportieren..." take ("Seiten:").
    MergeSides sides() const;
    // "Adressliste wählen...": asks for the file and starts reading it.
    void chooseList();

signals:
    void printRequested(const bb::MergePlan& plan, bb::MergeSides sides);
    void exportRequested(const std::vector<int>& rows, int nameColumn, bb::MergeSides sides);
    void removeRequested();
    // "Adressbuch verwenden": the address book (with `tickedOnly` this year's ticked entries)
    // is to become the card's list.
    void addressBookRequested(bool tickedOnly);
    // The person chose a column for a field; the session holds the new mapping.
    void mappingChosen();

private:
    QHBoxLayout* buildListRow();
    void buildTable();
    QWidget* buildMapping();
    QHBoxLayout* buildChoices();
    QHBoxLayout* buildButtons();
    void refresh();
    void refreshList();
    void refreshNotes();
    void refreshMapping();
    void chooseColumn(const QString& field, const QString& column);
    void refreshChoice();
    void loadFailed(const QString& path, const QString& error);
    void requestPrint();
    void requestExport();

    MergeSession& session_;
    UserDialogs& dialogs_;
    QStringList cardFields_;
    QString listFolder_;
    AddressListModel* model_ = nullptr;

    QLabel* listLabel_ = nullptr;
    QLabel* warningsLabel_ = nullptr;
    QWidget* loadRow_ = nullptr;
    QProgressBar* loadProgress_ = nullptr;
    QTableView* table_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QFormLayout* mappingForm_ = nullptr;
    // One combo per field of the mapping, and the fields and columns they were made for.
    std::vector<std::pair<QString, QComboBox*>> columnCombos_;
    QStringList mappingFields_;
    QStringList mappingColumns_;
    QLabel* missingLabel_ = nullptr;
    QLabel* unusedLabel_ = nullptr;
    RowChoiceBox* rows_ = nullptr;
    QSpinBox* copiesSpin_ = nullptr;
    QComboBox* nameColumnCombo_ = nullptr;
    QComboBox* sidesCombo_ = nullptr;
    bool sidesChosen_ = false;  // the person picked the sides; prepare() leaves them
    QLabel* emptyFieldsLabel_ = nullptr;
    // The note on empty fields, worked out once per list and set of card fields.
    std::shared_ptr<const AddressList> emptyNoteList_;
    QStringList emptyNoteFields_;
    QString emptyNote_;
    QPushButton* printBtn_ = nullptr;
    QPushButton* exportBtn_ = nullptr;
    QPushButton* removeBtn_ = nullptr;
    std::shared_ptr<const AddressList> columnsOf_;  // the list whose columns the combo offers
};

}  // namespace bb
