// The main window's part in the address book: "Adressen..." in the settings menu, the book
// as a card's list, and the birthdays of the coming days shown at start when asked for.
#include "app/MainWindow.h"

#include "content/ContentFolders.h"
#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "merge/AddressBook.h"
#include "merge/MergeSession.h"
#include "merge/ui/AddressBookDialog.h"

#include <QDate>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>

namespace bb {

namespace {

const char* const kBirthdaysKey = "Adressen/GeburtstageBeimStart";
const QString kBookCaption = QStringLiteral("Adressen");

}  // namespace

QString MainWindow::addressBookFolder() const {
    return options_.dataFolder.isEmpty() ? userDataFolder() : options_.dataFolder;
}

void MainWindow::openAddressBook() {
    AddressBookDialog dialog(dialogs_, addressBookFolder(), QDate::currentDate().year(), this);
    if (!dialog.loadBook()) return;
    if (options_.useSettings) {
        dialog.setBirthdaysAtStart(
            settings_->settings().value(QLatin1String(kBirthdaysKey), false).toBool());
        connect(&dialog, &AddressBookDialog::birthdaysAtStartChanged, this, [this](bool on) {
            settings_->settings().setValue(QLatin1String(kBirthdaysKey), on);
        });
    }
    editing_->modal(dialog);
    // A card filled from the book shows the entries as they are now.
    if (merge_->hasList() && isAddressBookList(merge_->list()->path))
        useAddressBook(merge_->list()->path == kAddressBookListTicked, true);
}

bool MainWindow::useAddressBook(bool tickedOnly, bool quiet) {
    const AddressBookLoad load = loadAddressBook(addressBookFolder());
    if (!load.ok() && quiet) {
        statusBar()->showMessage(
            QStringLiteral("Das Adressbuch der Karte kann nicht gelesen werden: %1")
                .arg(load.error));
        return false;
    }
    if (!load.ok()) {
        dialogs_.message(QStringLiteral("Das Adressbuch kann nicht gelesen werden:\n%1\n"
                                        "Unter „Adressen...“ lässt sich ein neues beginnen.")
                             .arg(load.error),
                         kBookCaption, MsgIcon::Warning, BtnOk);
        return false;
    }
    std::shared_ptr<const AddressList> list = addressBookList(load.book, tickedOnly);
    if (list->rowCount() == 0 && !quiet) {
        dialogs_.message(tickedOnly ? QStringLiteral("Im Adressbuch ist für dieses Jahr noch "
                                                     "niemand angekreuzt.")
                                    : QStringLiteral("Das Adressbuch ist leer."),
                         kBookCaption, MsgIcon::Information, BtnOk);
        return false;
    }
    merge_->useList(std::move(list));
    return true;
}

void MainWindow::showUpcomingBirthdays() {
    if (!options_.useSettings ||
        !settings_->settings().value(QLatin1String(kBirthdaysKey), false).toBool())
        return;
    const AddressBookLoad load = loadAddressBook(addressBookFolder());
    if (!load.ok()) return;  // said when the book is opened
    const QDate today = QDate::currentDate();
    const std::vector<UpcomingBirthday> coming = upcomingBirthdays(load.book, today);
    if (coming.empty()) return;
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Geburtstage"),
                                QStringLiteral("Geburtstage der nächsten 30 Tage:\n\n") +
                                    upcomingBirthdaysText(load.book, coming, today),
                                QMessageBox::Close, this);
    box->setObjectName(QStringLiteral("GeburtstageHinweis"));
    box->setModal(false);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

}  // namespace bb
