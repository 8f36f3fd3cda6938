// The "Adressen" dialog offscreen: adding, searching, ticking and deleting (each written to
// the book's file at once), the entry form, a refused book, import and export; and the merge
// dialog's "Adressbuch verwenden".
#include "merge/AddressBook.h"
#include "merge/MergeSession.h"
#include "merge/ui/AddressBookDialog.h"
#include "merge/ui/MergeDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

using namespace bb;
using F = AddressField;

namespace {

constexpr int kYear = 2026;

AddressEntry person(const QString& first, const QString& last, const QString& town,
                    int tickedYear = 0) {
    AddressEntry e;
    e[F::Vorname] = first;
    e[F::Nachname] = last;
    e[F::Ort] = town;
    e.tickedYear = tickedYear;
    return e;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct BookDialogTest : ::testing::Test {
    bbtest::TempFolder tmp;
    bbtest::ScriptedDialogs dialogs;
    std::unique_ptr<AddressBookDialog> dialog;

    void open(const AddressBook& stored) {
        ASSERT_TRUE(saveAddressBook(tmp.path(), stored));
        dialog = std::make_unique<AddressBookDialog>(dialogs, tmp.path(), kYear);
        ASSERT_TRUE(dialog->loadBook());
    }
    QTableView* table() const { return dialog->findChild<QTableView*>("adressTabelle"); }
    AddressBook stored() const { return loadAddressBook(tmp.path()).book; }
    // Selects the shown row whose last name is `last`.
    void select(const QString& last) {
        QAbstractItemModel* m = table()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 3).data().toString() == last) {
                table()->selectRow(r);
                return;
            }
        ADD_FAILURE() << "no row " << last.toStdString();
    }
};

}  // namespace

TEST_F(BookDialogTest, AddEditSearchTickAndDeleteAreSavedAtOnce) {
    open(AddressBook{{person("Anna", "Zander", "Ulm", kYear - 1), person("Bo", "Abel", "Hof")}});
    QAbstractItemModel* m = table()->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 3).data().toString(), "Abel");  // sorted by last name
    // Last year's tick shows unticked.
    EXPECT_EQ(m->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

    dialog->setEntryEditor([](AddressEntry& e, const QString&) {
        e = person("Cäcilie", "Möller", "Köln");
        return true;
    });
    dialog->findChild<QPushButton*>("adressNeu")->click();
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(stored().entries.size(), 3u);
    EXPECT_EQ(stored().entries.back()[F::Vorname], "Cäcilie");

    // Searching filters as typed, over every shown column, ignoring case.
    auto* search = dialog->findChild<QLineEdit*>("adressSuche");
    search->setText("KÖL");
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 3).data().toString(), "Möller");
    search->clear();
    EXPECT_EQ(m->rowCount(), 3);

    // Ticking belongs to this year; the stored tick of last year is replaced.
    select("Zander");
    const QModelIndex tick = m->index(table()->currentIndex().row(), 0);
    ASSERT_TRUE(m->setData(tick, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(stored().entries[0].tickedYear, kYear);

    // Editing changes the one chosen; cancelling the form changes nothing.
    select("Abel");
    dialog->setEntryEditor([](AddressEntry& e, const QString&) {
        e[F::Ort] = "Hofheim";
        return true;
    });
    dialog->findChild<QPushButton*>("adressBearbeiten")->click();
    EXPECT_EQ(stored().entries[1][F::Ort], "Hofheim");
    dialog->setEntryEditor([](AddressEntry& e, const QString&) {
        e[F::Ort] = "anders";
        return false;
    });
    dialog->editEntry();
    EXPECT_EQ(stored().entries[1][F::Ort], "Hofheim");

    // Deleting asks; "Nein" keeps the entry.
    select("Abel");
    dialogs.answers = {BtnNo, BtnYes};
    auto* del = dialog->findChild<QPushButton*>("adressLoeschen");
    del->click();
    EXPECT_EQ(stored().entries.size(), 3u);
    del->click();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].text.contains("„Bo Abel“"));
    const AddressBook after = stored();
    ASSERT_EQ(after.entries.size(), 2u);
    EXPECT_EQ(after.entries[0][F::Nachname], "Zander");
    EXPECT_EQ(after.entries[1][F::Nachname], "Möller");
    EXPECT_FALSE(del->isEnabled());  // nothing chosen any more
}

TEST_F(BookDialogTest, RefusedBookIsKeptUnlessAnEmptyOneIsWanted) {
    QFile f(tmp.file(kAddressBookFileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Vorname;Nachname\nfremde;Datei\n");
    f.close();
    AddressBookDialog first(dialogs, tmp.path(), kYear);
    dialogs.answers = {BtnNo};
    EXPECT_FALSE(first.loadBook());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("beschädigt"));
    EXPECT_EQ(fileBytes(tmp.file(kAddressBookFileName)), "Vorname;Nachname\nfremde;Datei\n");

    AddressBookDialog second(dialogs, tmp.path(), kYear);
    dialogs.answers = {BtnYes};
    ASSERT_TRUE(second.loadBook());
    EXPECT_TRUE(second.book().entries.empty());
    const QStringList kept = QDir(tmp.path()).entryList({"Adressbuch (beschädigt*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(fileBytes(tmp.file(kept[0])), "Vorname;Nachname\nfremde;Datei\n");
}

TEST_F(BookDialogTest, ImportSkipsWhatIsThereAndExportUsesTheChosenFormat) {
    open(AddressBook{{person("Anna", "Zander", "Ulm")}});
    const QString csv = tmp.file("liste.csv");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("First Name;Last Name;City\nAnna;Zander;Ulm\nJürgen;Łoś;Görlitz\n");
    f.close();
    dialogs.openAnswers = {{csv, 1, false}};
    dialog->importFile();
    ASSERT_EQ(stored().entries.size(), 2u);
    EXPECT_EQ(stored().entries[1][F::Ort], "Görlitz");
    EXPECT_TRUE(dialogs.messages.last().text.contains("1 Adressen übernommen. 1 standen schon"));

    // Windows-1252 cannot hold "Ł" and "ś": nothing is written, the message names whom.
    dialogs.saveAnswers = {{tmp.file("aus.csv"), 2, false}};
    dialog->exportFile();
    EXPECT_FALSE(QFile::exists(tmp.file("aus.csv")));
    EXPECT_TRUE(dialogs.messages.last().text.contains("Jürgen Łoś: Nachname („Łś“)"));

    // vCard 4.0 chosen by the filter; the name takes its suffix. The search limits the export.
    dialog->findChild<QLineEdit*>("adressSuche")->setText("görlitz");
    dialogs.saveAnswers = {{tmp.file("karten"), 4, false}};
    dialog->exportFile();
    const QByteArray vcf = fileBytes(tmp.file("karten.vcf"));
    EXPECT_TRUE(vcf.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"));
    EXPECT_TRUE(vcf.contains("Łoś"));
    EXPECT_FALSE(vcf.contains("Zander"));
}

TEST_F(BookDialogTest, BirthdayChoiceIsTold) {
    open(AddressBook{});
    QSignalSpy spy(dialog.get(), &AddressBookDialog::birthdaysAtStartChanged);
    dialog->setBirthdaysAtStart(false);
    auto* box = dialog->findChild<QCheckBox*>("geburtstageBeimStart");
    EXPECT_FALSE(box->isChecked());
    box->click();
    ASSERT_EQ(spy.size(), 1);
    EXPECT_TRUE(spy[0][0].toBool());
}

TEST(AddressEntryForm, NormalisesAndRefusesAnImpossibleBirthday) {
    bbtest::ScriptedDialogs dialogs;
    AddressEntryDialog form(dialogs);
    AddressEntry start = person("Ida", "Quell", "Sonnfeld", kYear);
    form.setEntry(start);
    form.findChild<QLineEdit*>("feldVorname")->setText("  Ida Maria ");
    form.findChild<QPlainTextEdit*>("feldNotiz")->setPlainText("Zeile 1\nZeile 2");
    auto* birthday = form.findChild<QLineEdit*>("feldGeburtstag");
    birthday->setText("31.4.");
    EXPECT_FALSE(form.check());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains("„31.4.“"));
    birthday->setText("5.6.1990");
    EXPECT_TRUE(form.check());
    const AddressEntry e = form.entry();
    EXPECT_EQ(e[F::Vorname], "Ida Maria");
    EXPECT_EQ(e[F::Geburtstag], "05.06.1990");
    EXPECT_EQ(e[F::Notiz], "Zeile 1\nZeile 2");
    EXPECT_EQ(e.tickedYear, kYear);  // the form keeps the tick
}

TEST(MergeDialogAddressBook, ButtonAsksForTheBookAndTheListIsNamed) {
    MergeSession session;
    bbtest::ScriptedDialogs dialogs;
    MergeDialog dialog(session, dialogs);
    QSignalSpy spy(&dialog, &MergeDialog::addressBookRequested);
    auto* onlyTicked = dialog.findChild<QCheckBox*>("nurAngekreuzte");
    dialog.findChild<QPushButton*>("adressbuchVerwenden")->click();
    onlyTicked->setChecked(false);
    dialog.findChild<QPushButton*>("adressbuchVerwenden")->click();
    ASSERT_EQ(spy.size(), 2);
    EXPECT_TRUE(spy[0][0].toBool());
    EXPECT_FALSE(spy[1][0].toBool());

    session.useList(
        addressBookList(AddressBook{{person("Anna", "Zander", "Ulm", kYear)}}, true, kYear));
    EXPECT_TRUE(dialog.findChild<QLabel*>("ListLabel")
                    ->text()
                    .startsWith("Adressbuch (dieses Jahr angekreuzt): 1 Datensatz"));
}

TEST(AddressBookSaving, AFailedWriteIsToldAndTheChangeStaysInTheDialog) {
    bbtest::TempFolder tmp;
    bbtest::ScriptedDialogs dialogs;
    // The data folder's name is taken by a file: the book can be shown but not written.
    const QString blocked = tmp.file("daten");
    QFile f(blocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    AddressBookDialog dialog(dialogs, blocked, kYear);
    ASSERT_TRUE(dialog.loadBook());
    dialog.setEntryEditor([](AddressEntry& e, const QString&) {
        e = person("Anna", "Zander", "Ulm");
        return true;
    });
    dialog.addEntry();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Die Änderung konnte nicht gespeichert"));
    EXPECT_EQ(dialog.book().entries.size(), 1u);
}
