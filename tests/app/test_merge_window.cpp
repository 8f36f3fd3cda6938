// Personal cards in the main window: the menu item and the print tab's button open the dialog,
// whose "Drucken" prints through the print tab; the views draw the record shown, except a
// text being typed on; the list chosen for a card is read again when the card is opened, and
// a list's columns chosen for the fields are remembered for it; the address book as a card's
// list, and its birthdays at start.
#include "AppTestSupport.h"

#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "merge/AddressBook.h"
#include "merge/ColumnMapping.h"
#include "merge/ListMemory.h"
#include "merge/MergeSession.h"
#include "merge/ui/MergeDialog.h"
#include "merge/ui/RecordBar.h"
#include "print/ui/PrintTab.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

using namespace bb;
using bbtest::WindowTest;

namespace {

QString writeList(const bbtest::TempFolder& folder) {
    const QString path = folder.file(QStringLiteral("gäste.csv"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Vorname;Ort\nJörg;Köln\nAnna;Ulm\nUte;Hof\n");
    return path;
}

// A text in slot `slot` of the outside, which a new window shows.
CardObject& putText(CardDocument& doc, int slot, const QString& content) {
    CardObject& o = *doc.outsideSlots[slot];
    o.kind = KindText;
    o.content = content;
    o.fontName = QStringLiteral("Liberation Sans");
    o.fontSize = 12;
    o.x = doc.sideWidthUnits / 3 + 5000;
    o.y = doc.sideHeightUnits / 3 + 5000;
    o.width = 40000;
    o.height = 8000;
    return o;
}

void loadAndWait(MainWindow& w, const QString& path) {
    w.mergeSession().loadList(path);
    ASSERT_TRUE(bbtest::runUntil([&] { return !w.mergeSession().isLoading(); }));
    ASSERT_TRUE(w.mergeSession().hasList());
}

}  // namespace

TEST_F(WindowTest, MenuItemAndPrintButtonOpenTheDialogWhosePrintGoesThroughThePrintTab) {
    auto w = make();
    putText(w->document(), 1, QStringLiteral("Liebe {Vorname}, {Titel}"));
    loadAndWait(*w, writeList(folder));

    auto* item = w->findChild<QAction*>(QStringLiteral("SerienkartenItem"));
    ASSERT_NE(item, nullptr);
    const QList<QAction*> datei =
        w->menuBar()->findChild<QMenu*>(QStringLiteral("Datei1"))->actions();
    EXPECT_GT(datei.indexOf(item),
              datei.indexOf(w->findChild<QAction*>(QStringLiteral("ViertelfalzItem"))));
    EXPECT_EQ(item->text(), QStringLiteral("Se&rienkarten..."));

    const QString pdf = folder.file(QStringLiteral("serie.pdf"));
    QStringList opened;
    w->editing().setRunModal([&](QDialog& d) {
        opened << d.objectName();
        EXPECT_TRUE(d.findChild<QLabel*>(QStringLiteral("MissingFieldsLabel"))
                        ->text()
                        .endsWith(QLatin1String(": Titel")));
        dialogs.saveAnswers.push_back({pdf, 1});
        d.findChild<QPushButton*>(QStringLiteral("MergePrintBtn"))->click();
        return int(QDialog::Rejected);
    });
    item->trigger();
    ASSERT_EQ(opened, QStringList{QStringLiteral("SerienkartenDlg")});
    EXPECT_GT(QFile(pdf).size(), 0);

    w->printTab()->findChild<QAbstractButton*>(QStringLiteral("SerienkartenBtn"))->click();
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(WindowTest, ViewsShowTheRecordExceptATextBeingTypedOn) {
    auto w = make();
    CardDocument& doc = w->document();
    putText(doc, 1, QStringLiteral("Liebe {Vorname}"));
    RenderContext& ctx = w->renderContext();
    auto* editorBar = w->editorTab().findChild<RecordBar*>(QStringLiteral("EditorRecordBar"));
    ASSERT_NE(editorBar, nullptr);
    EXPECT_TRUE(editorBar->isHidden());
    EXPECT_FALSE(ctx.fillText);

    loadAndWait(*w, writeList(folder));
    ASSERT_TRUE(ctx.fillText);
    EXPECT_EQ(ctx.fillText(w->editing().editedSlots()[1]->content), QStringLiteral("Liebe Jörg"));
    EXPECT_FALSE(editorBar->isHidden());
    editorBar->findChild<QAbstractButton*>(QStringLiteral("NextRecordBtn"))->click();
    EXPECT_EQ(ctx.fillText(w->editing().editedSlots()[1]->content), QStringLiteral("Liebe Anna"));
    auto* printBar = w->printTab()->findChild<RecordBar*>(QStringLiteral("PrintRecordBar"));
    ASSERT_NE(printBar, nullptr);
    EXPECT_EQ(printBar->caption(), QStringLiteral("Datensatz 2 von 3"));

    // Typing shows the text as typed, so that the caret stands where the characters are.
    w->editing().edited().slot = 1;
    QKeyEvent bang(QEvent::KeyPress, Qt::Key_Exclam, Qt::NoModifier, QStringLiteral("!"));
    w->editing().keyPress(bang);
    ASSERT_TRUE(w->editing().textEditing());
    EXPECT_FALSE(ctx.fillText);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    w->editing().keyPress(escape);
    ASSERT_TRUE(ctx.fillText);
    EXPECT_EQ(ctx.fillText(w->editing().editedSlots()[1]->content), QStringLiteral("Liebe Anna!"));
}

TEST_F(WindowTest, ListOfASavedCardIsReadAgainWhenTheCardIsOpened) {
    bbtest::TemporarySettings settings;
    auto w = make(true);
    CardDocument& doc = w->document();
    putText(doc, 1, QStringLiteral("{Vorname}"));
    const QString card = folder.file(QStringLiteral("karte.kar"));
    dialogs.saveAnswers = {{card, 1}};
    ASSERT_TRUE(w->saveCard());
    const QString list = writeList(folder);
    loadAndWait(*w, list);

    ASSERT_TRUE(w->openCard(card));
    EXPECT_FALSE(w->mergeSession().hasList());  // the card is another one until it is read
    ASSERT_TRUE(bbtest::runUntil([&] { return w->mergeSession().hasList(); }));
    EXPECT_EQ(w->mergeSession().list()->path, list);
    EXPECT_EQ(w->renderContext().fillText(QStringLiteral("{Vorname}")), QStringLiteral("Jörg"));

    // A list that is gone is forgotten, and the status line says so.
    ASSERT_TRUE(QFile::remove(list));
    ASSERT_TRUE(w->openCard(card));
    EXPECT_FALSE(w->mergeSession().isLoading());
    EXPECT_FALSE(w->mergeSession().hasList());
    EXPECT_TRUE(w->statusBar()->currentMessage().contains(QStringLiteral("gäste.csv")));
    QSettings s(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"));
    EXPECT_TRUE(rememberedList(s, card).isEmpty());
}

namespace {

std::unique_ptr<MainWindow> windowWithBook(bbtest::ScriptedDialogs& dialogs,
                                           const bbtest::TempFolder& folder) {
    MainWindow::Options o;
    o.programFolder = folder.path();
    o.screenDpi = 96;
    o.installStarter = false;
    o.useSettings = true;
    o.dataFolder = folder.file(QStringLiteral("daten"));
    AddressBook book;
    AddressEntry kaethe, jo;
    kaethe[AddressField::Vorname] = QStringLiteral("Käthe");
    kaethe[AddressField::Geburtstag] =
        birthdayText({QDate::currentDate().day(), QDate::currentDate().month(), 0});
    kaethe.tickedYear = QDate::currentDate().year();
    jo[AddressField::Vorname] = QStringLiteral("Jo");
    book.entries = {jo, kaethe};
    EXPECT_TRUE(saveAddressBook(o.dataFolder, book));
    return std::make_unique<MainWindow>(dialogs, o);
}

}  // namespace

TEST_F(WindowTest, AddressBookIsTheCardsListAndIsRememberedForIt) {
    bbtest::TemporarySettings settings;
    auto w = windowWithBook(dialogs, folder);
    putText(w->document(), 1, QStringLiteral("{Vorname}"));
    const QString card = folder.file(QStringLiteral("karte.kar"));
    dialogs.saveAnswers = {{card, 1}};
    ASSERT_TRUE(w->saveCard());
    auto* merge = w->findChild<MergeDialog*>();
    ASSERT_TRUE(merge);
    merge->findChild<QPushButton*>(QStringLiteral("adressbuchVerwenden"))->click();
    ASSERT_TRUE(w->mergeSession().hasList());
    EXPECT_EQ(w->mergeSession().rowCount(), 1);  // only this year's ticked
    EXPECT_EQ(w->renderContext().fillText(QStringLiteral("{Vorname}")), QStringLiteral("Käthe"));

    ASSERT_TRUE(w->openCard(card));
    ASSERT_TRUE(w->mergeSession().hasList());
    EXPECT_EQ(w->mergeSession().list()->path, kAddressBookListTicked);
    QSettings s(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"));
    EXPECT_EQ(rememberedList(s, card), kAddressBookListTicked);
}

TEST_F(WindowTest, BirthdaysAtStartOnlyWhenAskedFor) {
    bbtest::TemporarySettings settings;
    auto w = windowWithBook(dialogs, folder);
    ASSERT_TRUE(w->findChild<QAction*>(QStringLiteral("AdressenItem")));
    w->showUpcomingBirthdays();
    EXPECT_FALSE(w->findChild<QMessageBox*>(QStringLiteral("GeburtstageHinweis")));

    QSettings(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"))
        .setValue(QStringLiteral("Adressen/GeburtstageBeimStart"), true);
    w = windowWithBook(dialogs, folder);
    w->showUpcomingBirthdays();
    auto* note = w->findChild<QMessageBox*>(QStringLiteral("GeburtstageHinweis"));
    ASSERT_TRUE(note);
    EXPECT_FALSE(note->isModal());
    EXPECT_TRUE(note->text().contains(QStringLiteral("heute: Käthe")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(WindowTest, AColumnChosenForAFieldRefillsTheCardAndIsRememberedForTheList) {
    bbtest::TemporarySettings settings;
    auto w = make(true);
    putText(w->document(), 1, QStringLiteral("{Vorname} aus {Ort}"));
    const QString list = folder.file(QStringLiteral("contacts.csv"));
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Given Name,Nickname,Home City\nWilhelmine,Mina,Lindenfeld\n");
    }
    loadAndWait(*w, list);
    RenderContext& ctx = w->renderContext();

    w->editing().setRunModal([&](QDialog& d) {
        auto* combo = d.findChild<QComboBox*>(QStringLiteral("ColumnCombo:Vorname"));
        EXPECT_NE(combo, nullptr);
        if (!combo) return int(QDialog::Rejected);
        combo->setCurrentIndex(combo->findText(QStringLiteral("Nickname")));
        emit combo->activated(combo->currentIndex());
        return int(QDialog::Rejected);
    });
    w->findChild<QAction*>(QStringLiteral("SerienkartenItem"))->trigger();
    ASSERT_TRUE(ctx.fillText);
    EXPECT_EQ(ctx.fillText(QStringLiteral("{Vorname} aus {Ort}")),
              QStringLiteral("Mina aus Lindenfeld"));

    // Read again, the list is mapped as chosen.
    w->mergeSession().clear();
    loadAndWait(*w, list);
    EXPECT_EQ(w->mergeSession().mapping().columnOf(QStringLiteral("Vorname")),
              QStringLiteral("Nickname"));
    EXPECT_EQ(ctx.fillText(QStringLiteral("{Vorname}")), QStringLiteral("Mina"));
    QSettings s(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"));
    EXPECT_EQ(rememberedMapping(s, *w->mergeSession().sourceList()).columnOf(QStringLiteral("Ort")),
              QStringLiteral("Home City"));
}
