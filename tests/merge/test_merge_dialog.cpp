// The "Serienkarten" dialog and the record bar: what they show of the session and what their
// controls change in it.
#include "document/CardDocument.h"
#include "merge/MergeSession.h"
#include "merge/ui/MergeDialog.h"
#include "merge/ui/MergeExport.h"
#include "merge/ui/RecordBar.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace bb;

namespace {

std::shared_ptr<AddressList> people() {
    auto list = std::make_shared<AddressList>();
    list->columns = {QStringLiteral("Vorname"), QStringLiteral("Nachname"), QStringLiteral("Ort")};
    list->rows = {{"Jörg", "Weiß", "Köln"}, {"Anna", "Groß", "Ulm"}, {"Ute", "Abel", "Hof"}};
    return list;
}

struct DialogTest : ::testing::Test {
    MergeSession session;
    bbtest::ScriptedDialogs dialogs;
    MergeDialog dialog{session, dialogs};

    template <typename T>
    T* child(const char* name) {
        T* w = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

}  // namespace

TEST_F(DialogTest, NamesTheFieldsWithoutColumnInRedAndTheUnusedColumns) {
    session.setList(people());
    dialog.prepare({QStringLiteral("vorname"), QStringLiteral("Titel"), QStringLiteral("Firma")},
                   QString());
    auto* missing = child<QLabel>("MissingFieldsLabel");
    EXPECT_EQ(missing->text(), QStringLiteral("Felder der Karte ohne Spalte: Titel, Firma"));
    EXPECT_FALSE(missing->isHidden());
    EXPECT_EQ(missing->palette().color(QPalette::WindowText), QColor(190, 0, 0));
    EXPECT_EQ(child<QLabel>("UnusedColumnsLabel")->text(),
              QStringLiteral("Spalten, die die Karte nicht verwendet: Nachname, Ort"));

    dialog.prepare({QStringLiteral("Vorname"), QStringLiteral("Ort"), QStringLiteral("Nachname")},
                   QString());
    EXPECT_TRUE(missing->isHidden());
}

TEST_F(DialogTest, RangeAndTicksChooseTheRowsThatArePrinted) {
    session.setList(people());
    dialog.prepare({QStringLiteral("Vorname")}, QString());
    QSignalSpy printed(&dialog, &MergeDialog::printRequested);
    auto* print = child<QPushButton>("MergePrintBtn");

    QTest::keyClicks(child<QLineEdit>("RangeEdit"), QStringLiteral("2-4"));
    EXPECT_EQ(session.rowChoice(), MergeSession::Rows::Range);
    EXPECT_FALSE(print->isEnabled());
    EXPECT_TRUE(child<QLabel>("PlanLabel")->text().contains(QLatin1String("4")));

    QTest::keyClick(child<QLineEdit>("RangeEdit"), Qt::Key_Backspace);
    QTest::keyClicks(child<QLineEdit>("RangeEdit"), QStringLiteral("3"));
    child<QSpinBox>("CopiesSpin")->setValue(2);
    ASSERT_TRUE(print->isEnabled());
    print->click();
    ASSERT_EQ(printed.count(), 1);
    const MergePlan plan = printed.at(0).at(0).value<MergePlan>();
    EXPECT_EQ(plan.rows, (std::vector<int>{1, 2}));
    EXPECT_EQ(plan.copies, 2);

    // Ticking a row in the table takes the ticked rows.
    QAbstractItemModel* model = child<QTableView>("RecordTable")->model();
    EXPECT_EQ(model->data(model->index(0, 3)).toString(), QStringLiteral("Köln"));
    ASSERT_TRUE(model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    print->click();
    ASSERT_EQ(printed.count(), 2);
    EXPECT_EQ(printed.at(1).at(0).value<MergePlan>().rows, std::vector<int>{2});
}

TEST_F(DialogTest, SidesAreChosenForPrintAndExport) {
    session.setList(people());
    auto* sides = child<QComboBox>("SidesCombo");
    // Until the person chooses, the side the editor shows.
    dialog.prepare({QStringLiteral("Vorname")}, QString(), SideInside);
    EXPECT_EQ(dialog.sides(), MergeSides::Inside);
    dialog.prepare({QStringLiteral("Vorname")}, QString(), SideOutside);
    EXPECT_EQ(dialog.sides(), MergeSides::Outside);

    QSignalSpy printed(&dialog, &MergeDialog::printRequested);
    QSignalSpy exported(&dialog, &MergeDialog::exportRequested);
    sides->setCurrentIndex(sides->findText(QStringLiteral("Beide Seiten")));
    emit sides->activated(sides->currentIndex());
    child<QPushButton>("MergePrintBtn")->click();
    child<QPushButton>("MergeExportBtn")->click();
    ASSERT_EQ(printed.count(), 1);
    EXPECT_EQ(printed.at(0).at(1).value<MergeSides>(), MergeSides::Both);
    EXPECT_EQ(printed.at(0).at(0).value<MergePlan>().rows, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(exported.count(), 1);
    EXPECT_EQ(exported.at(0).at(2).value<MergeSides>(), MergeSides::Both);
    // The person's choice stays when the dialog is shown again.
    dialog.prepare({QStringLiteral("Vorname")}, QString(), SideInside);
    EXPECT_EQ(dialog.sides(), MergeSides::Both);
}

TEST_F(DialogTest, RowsLeavingAFieldOfTheCardEmptyAreNamed) {
    auto list = people();
    list->rows[1][0].clear();
    session.setList(list);
    dialog.prepare({QStringLiteral("Vorname"), QStringLiteral("Ort")}, QString());
    auto* empty = child<QLabel>("EmptyFieldsLabel");
    EXPECT_FALSE(empty->isHidden());
    EXPECT_EQ(empty->text(),
              QStringLiteral("1 Datensatz lässt Felder der Karte leer: Nr. 2 ({Vorname})"));
    dialog.prepare({QStringLiteral("Ort")}, QString());
    EXPECT_TRUE(empty->isHidden());
}

TEST_F(DialogTest, ChosenFileIsReadAndAReadingErrorShowsTheReadersMessage) {
    bbtest::TempFolder dir;
    const QString good = dir.file(QStringLiteral("leute.csv"));
    const QString bad = dir.file(QStringLiteral("kaputt.csv"));
    for (const auto& [path, bytes] :
         {std::pair{good, QByteArray("Vorname;Ort\nJörg;Köln\nAnna;Ulm\n")},
          std::pair{bad, QByteArray("Vorname;Ort\n\"Jörg;Köln\n")}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    dialog.prepare({QStringLiteral("Vorname")}, dir.path());
    dialog.show();
    dialogs.openAnswers.push_back({good, 1});
    child<QPushButton>("ChooseListBtn")->click();
    ASSERT_EQ(dialogs.openRequests.size(), 1);
    EXPECT_EQ(dialogs.openRequests[0].filter, kAddressListFilter);
    EXPECT_EQ(dialogs.openRequests[0].directory, dir.path());
    ASSERT_TRUE(bbtest::runUntil([&] { return session.hasList(); }));
    EXPECT_EQ(child<QTableView>("RecordTable")->model()->rowCount(), 2);

    // A list that cannot be read leaves the chosen one in place and says why.
    dialogs.openAnswers.push_back({bad, 1});
    child<QPushButton>("ChooseListBtn")->click();
    ASSERT_TRUE(bbtest::runUntil([&] { return !dialogs.messages.isEmpty(); }));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String("kaputt.csv")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QLatin1String("Zeile")));
    EXPECT_EQ(session.list()->path, good);
}

TEST(RecordBar, ShowsTheRecordAndStepsThroughTheList) {
    MergeSession session;
    QWidget window;
    auto* bar = new RecordBar(session, &window);
    window.show();
    EXPECT_TRUE(bar->isHidden());

    session.setList(people());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->caption(), QStringLiteral("Datensatz 1 von 3"));
    auto* first = bar->findChild<QToolButton*>(QStringLiteral("FirstRecordBtn"));
    auto* previous = bar->findChild<QToolButton*>(QStringLiteral("PreviousRecordBtn"));
    auto* next = bar->findChild<QToolButton*>(QStringLiteral("NextRecordBtn"));
    auto* last = bar->findChild<QToolButton*>(QStringLiteral("LastRecordBtn"));
    EXPECT_EQ(next->toolTip(), QStringLiteral("Nächster Datensatz"));
    EXPECT_FALSE(first->isEnabled());
    EXPECT_FALSE(previous->isEnabled());

    next->click();
    last->click();
    EXPECT_EQ(bar->caption(), QStringLiteral("Datensatz 3 von 3"));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_FALSE(last->isEnabled());
    first->click();
    EXPECT_EQ(session.shownRecord(), 0);

    session.clear();
    EXPECT_TRUE(bar->isHidden());
}

TEST(MergeExport, PicturesOfTheSameNamesAreReplacedOnlyWhenTheUserSaysSo) {
    bbtest::TempFolder folder;
    QFile photo(folder.file(QStringLiteral("Ulm.bmp")));
    ASSERT_TRUE(photo.open(QIODevice::WriteOnly));
    photo.write("a photo of Ulm");
    photo.close();
    auto doc = std::make_unique<CardDocument>();
    doc->updateSideUnits();
    RenderContext ctx;
    bbtest::ScriptedDialogs dialogs;
    const auto list = people();
    // Named after "Ort"; the dialog's chosen file only names the folder and the format (BMP).
    const FileDialogResult chosen{folder.file(QStringLiteral("egal.bmp")), 1};
    dialogs.saveAnswers = {chosen, chosen};
    dialogs.answers = {BtnNo};
    exportMergePictures(*doc, ctx, dialogs, *list, {0, 1, 2}, 2, MergeSides::Outside, nullptr);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("Ulm.bmp")});
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo);
    EXPECT_EQ(dialogs.saveRequests[0].initialName, QStringLiteral("Köln"));

    dialogs.answers = {BtnYes, BtnOk};
    const MergeExportResult r =
        exportMergePictures(*doc, ctx, dialogs, *list, {0, 1, 2}, 2, MergeSides::Outside, nullptr);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("Hof.bmp"), QStringLiteral("Köln.bmp"),
                           QStringLiteral("Ulm.bmp")}));
    EXPECT_GT(QFileInfo(photo.fileName()).size(), 100);  // replaced by the card's picture
}

TEST(MergeExport, ALinkUnderARowsNameIsNeitherAskedAboutNorFollowed) {
    bbtest::TempFolder folder;
    const QString out = folder.file(QStringLiteral("bilder"));
    ASSERT_TRUE(QDir().mkpath(out));
    QFile victim(folder.file(QStringLiteral("victim")));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();
    ASSERT_TRUE(QFile::link(QStringLiteral("../victim"), out + QStringLiteral("/Ulm.bmp")));
    auto doc = std::make_unique<CardDocument>();
    doc->updateSideUnits();
    RenderContext ctx;
    bbtest::ScriptedDialogs dialogs;
    const auto list = people();
    const FileDialogResult chosen{out + QStringLiteral("/egal.bmp"), 1};
    dialogs.saveAnswers = {chosen, chosen};
    dialogs.answers = {BtnOk, BtnOk};
    const MergeExportResult r =
        exportMergePictures(*doc, ctx, dialogs, *list, {1}, 2, MergeSides::Outside, nullptr);
    EXPECT_TRUE(r.ok());
    // No question: nothing of that name would be replaced; the picture takes the next name.
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnOk);
    EXPECT_EQ(r.files, QStringList{out + QStringLiteral("/Ulm (2).bmp")});
    EXPECT_TRUE(QFileInfo(out + QStringLiteral("/Ulm.bmp")).isSymLink());
    // Both sides: two pictures, named apart.
    const MergeExportResult both =
        exportMergePictures(*doc, ctx, dialogs, *list, {1}, 2, MergeSides::Both, nullptr);
    EXPECT_EQ(dialogs.saveRequests[1].initialName, QStringLiteral("Ulm - Außenseite"));
    EXPECT_EQ(both.files, (QStringList{out + QStringLiteral("/Ulm - Außenseite.bmp"),
                                       out + QStringLiteral("/Ulm - Innenseite.bmp")}));
    QFile kept(victim.fileName());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
}

TEST_F(DialogTest, TheColumnsTabShowsTheGuessesAndAChoiceRefillsTheCardAtOnce) {
    auto list = std::make_shared<AddressList>();
    list->columns = {"Given Name", "Family Name", "Nickname", "Town"};
    list->rows = {{"Adalbert", "Zwiebelhaupt", "Berti", "Moosbach"}};
    session.setList(list);
    dialog.prepare({QStringLiteral("Vorname"), QStringLiteral("Gruß")}, QString());
    auto* page = child<QWidget>("spaltenZuordnung");
    const auto combo = [&](const char* field) {
        auto* c = page->findChild<QComboBox*>(QStringLiteral("ColumnCombo:") + field);
        EXPECT_NE(c, nullptr) << field;
        return c;
    };
    // The card's fields first, then the address fields; the guesses preselected.
    EXPECT_EQ(page->findChildren<QComboBox*>().size(), 11);
    EXPECT_EQ(combo("Vorname")->currentText(), QStringLiteral("Given Name"));
    EXPECT_EQ(combo("Nachname")->currentText(), QStringLiteral("Family Name"));
    EXPECT_EQ(combo("Ort")->currentText(), QStringLiteral("Town"));
    EXPECT_EQ(combo("Gruß")->currentText(), QStringLiteral("(keine)"));
    EXPECT_EQ(child<QLabel>("MissingFieldsLabel")->text(),
              QStringLiteral("Felder der Karte ohne Spalte: Gruß"));
    // The table shows the list as read.
    EXPECT_EQ(child<QTableView>("RecordTable")->model()->columnCount(), 5);

    QSignalSpy chosen(&dialog, &MergeDialog::mappingChosen);
    QSignalSpy refill(&session, &MergeSession::shownChanged);
    QComboBox* vorname = combo("Vorname");
    vorname->setCurrentIndex(vorname->findText(QStringLiteral("Nickname")));
    emit vorname->activated(vorname->currentIndex());
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_GE(refill.count(), 1);
    EXPECT_EQ(session.mapping().columnOf(QStringLiteral("Vorname")), QStringLiteral("Nickname"));
    EXPECT_EQ(session.fillFunction()(QStringLiteral("Hallo {Vorname}")),
              QStringLiteral("Hallo Berti"));
    EXPECT_EQ(child<QLabel>("UnusedColumnsLabel")->text(),
              QStringLiteral("Spalten, die die Karte nicht verwendet: Given Name, Family Name, "
                             "Town"));

    // "(keine)": the field stays as typed and is named as missing.
    vorname->setCurrentIndex(0);
    emit vorname->activated(0);
    EXPECT_EQ(session.fillFunction()(QStringLiteral("{Vorname}")), QStringLiteral("{Vorname}"));
    EXPECT_TRUE(child<QLabel>("MissingFieldsLabel")->text().contains(QLatin1String("Vorname")));

    // A field the card gained since gets its guess when the dialog opens again.
    dialog.prepare({QStringLiteral("Vorname"), QStringLiteral("nickname")}, QString());
    EXPECT_EQ(combo("nickname")->currentText(), QStringLiteral("Nickname"));
    EXPECT_EQ(combo("Vorname")->currentText(), QStringLiteral("(keine)"));
}
