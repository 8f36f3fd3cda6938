// "Adressen": the address book as a table to search, sort and tick for this year's cards,
// with a form for one entry, import and export, and the choice to see coming birthdays at
// start. Every change is written to the book's file at once; the window owns nothing of it
// but the start setting, which it keeps in its settings.
#pragma once

#include "merge/AddressBook.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace bb {

class AddressBookModel;
class UserDialogs;

// The form for one entry ("Adresse").
class AddressEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddressEntryDialog(UserDialogs& dialogs, QWidget* parent = nullptr);
    void setEntry(const AddressEntry& entry);
    // The entry as filled in, texts trimmed and the birthday written as "14.03.1985".
    AddressEntry entry() const;
    // False (after saying why) when the birthday is no date.
    bool check();
    void accept() override;

private:
    UserDialogs& dialogs_;
    AddressEntry entry_;  // keeps the tick
    std::array<QLineEdit*, kAddressFieldCount> edits_{};
    QPlainTextEdit* note_ = nullptr;
};

class AddressBookDialog : public QDialog {
    Q_OBJECT
public:
    // `folder` holds the book's file; `year` is the one ticks are given for.
    AddressBookDialog(UserDialogs& dialogs, const QString& folder, int year,
                      QWidget* parent = nullptr);
    ~AddressBookDialog() override;

    // Reads the book. A file that cannot be read is kept: the dialog says why and offers to
    // start an empty book beside it; false when the person declines (nothing to show).
    bool loadBook();
    const AddressBook& book() const { return book_; }

    bool birthdaysAtStart() const;
    void setBirthdaysAtStart(bool on);

    // How an entry is edited: true when accepted. The form by default; tests replace it.
    using EntryEditor = std::function<bool(AddressEntry& entry, const QString& caption)>;
    void setEntryEditor(EntryEditor editor) { editor_ = std::move(editor); }

    // The buttons' commands.
    void addEntry();
    void editEntry();
    void deleteEntries();
    void importFile();
    void exportFile();

signals:
    void birthdaysAtStartChanged(bool on);

private:
    QTableView* buildTable();
    QHBoxLayout* buildButtons();
    // Writes the book; says so when it fails (the change stays in the dialog).
    bool save();
    void changed();
    std::vector<int> selectedEntries() const;
    void updateButtons();

    UserDialogs& dialogs_;
    QString folder_;
    int year_;
    AddressBook book_;
    EntryEditor editor_;
    AddressBookModel* model_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* editBtn_ = nullptr;
    QPushButton* deleteBtn_ = nullptr;
    QPushButton* exportBtn_ = nullptr;
    QCheckBox* birthdays_ = nullptr;
};

}  // namespace bb
