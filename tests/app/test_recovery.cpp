// Recovery copies of unsaved changes in the main window: when a copy is written and removed,
// and what the next start offers and does with the copies left behind.
#include "AppTestSupport.h"
#include "app/Autosave.h"
#include "app/RecoveryDialog.h"
#include "document/CardFile.h"
#include "document/EditHistory.h"
#include "document/Recovery.h"
#include "editor/EditorController.h"
#include "pictures/AtomicWrite.h"
#include "print/PrinterTarget.h"
#include "print/ui/PrintTab.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QSpinBox>

#include <cerrno>

using namespace bb;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RecoveryWindowTest : public bbtest::WindowTest {
protected:
    QString recFolder() const { return folder.file(QStringLiteral("rec")); }
    QString cardPath() const { return folder.file(QStringLiteral("Karte.kar")); }

    std::unique_ptr<MainWindow> makeWithRecovery() {
        MainWindow::Options o;
        o.programFolder = folder.path();
        o.screenDpi = 96;
        o.installStarter = false;
        o.useSettings = false;
        o.recoveryFolder = recFolder();
        auto w = std::make_unique<MainWindow>(dialogs, o);
        w->setRecoveryAsker([this](const RecoveryQuestion& q) {
            questions.push_back(q);
            const RecoveryAnswer a =
                recoveryAnswers.empty() ? RecoveryAnswer::Later : recoveryAnswers.front();
            if (!recoveryAnswers.empty()) recoveryAnswers.pop_front();
            return a;
        });
        return w;
    }
    QStringList copies() const {
        return QDir(recFolder()).entryList({QStringLiteral("*.bbrecovery")}, QDir::Files);
    }
    // A copy left by a program that was killed: written, its lock given up, the file kept.
    void leaveCopy(const QString& name, const QString& cardFile, const QByteArray& card) {
        RecoveryFolder dead(recFolder(), name);
        RecoveryHeader h;
        h.cardFile = cardFile;
        h.savedAt = QDateTime(QDate(2026, 12, 9), QTime(13, 45), Qt::UTC);
        h.pid = 99999;
        ASSERT_TRUE(dead.write(h, card));
    }
    static QByteArray cardWithFigures(int count) {
        CardDocument d;
        for (int i = 1; i <= count; ++i) putFigure(d, i, 1000 * i, 2000, 3000, 1500, 0x0000FF);
        return cardFileBytes(d, DibImage());
    }
    // Saves the window's card to cardPath() through "Speichern unter".
    void saveAs(MainWindow& w) {
        dialogs.saveAnswers = {{cardPath(), 1}};
        ASSERT_TRUE(w.saveCardAs());
    }

    std::vector<RecoveryQuestion> questions;
    std::deque<RecoveryAnswer> recoveryAnswers;
};

TEST_F(RecoveryWindowTest, OnlyAnEditedCardIsCopiedAndNeverIntoTheUsersFile) {
    auto w = makeWithRecovery();
    ASSERT_TRUE(w->autosave());
    EXPECT_FALSE(w->autosave()->saveNow());  // the empty card has nothing unsaved
    EXPECT_TRUE(copies().isEmpty());
    saveAs(*w);
    EXPECT_FALSE(w->autosave()->saveNow());
    EXPECT_TRUE(copies().isEmpty());
    const QByteArray saved = readAll(cardPath());

    EditHistory& history = w->editing().history();
    {
        EditHistory::Step step(history, QStringLiteral("Objekt einfügen"));
        putFigure(w->document(), 4, 500, 600, 7000, 3000, 0x00FF00);
        // An edit in progress puts the copy off.
        EXPECT_FALSE(w->autosave()->saveNow());
        EXPECT_TRUE(copies().isEmpty());
    }
    ASSERT_TRUE(w->autosave()->saveNow());
    ASSERT_EQ(copies().size(), 1);
    EXPECT_EQ(readAll(cardPath()), saved);
    RecoveryHeader h;
    QByteArray card;
    ASSERT_EQ(readRecoveryFile(recFolder() + u'/' + copies()[0], h, card), RecoveryStatus::Ok);
    EXPECT_EQ(h.cardFile, cardPath());
    EXPECT_EQ(card, cardFileBytes(w->document(), DibImage()));
    EXPECT_FALSE(w->autosave()->saveNow());  // nothing new since

    // Undone back to the saved card: the copy goes at once.
    history.undo();
    EXPECT_FALSE(history.isModified());
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_FALSE(w->autosave()->saveNow());
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(RecoveryWindowTest, SavingOrClosingNormallyRemovesTheCopy) {
    auto w = makeWithRecovery();
    ASSERT_TRUE(settle(*w));
    putFigure(w->document(), 1, 500, 600, 7000, 3000, 0x00FF00);
    ASSERT_TRUE(w->autosave()->saveNow());
    saveAs(*w);
    EXPECT_TRUE(copies().isEmpty());

    putFigure(w->document(), 2, 500, 600, 7000, 3000, 0xFF0000);
    ASSERT_TRUE(w->autosave()->saveNow());
    dialogs.answers = {BtnCancel};  // a cancelled close keeps it
    EXPECT_FALSE(w->close());
    EXPECT_EQ(copies().size(), 1);
    dialogs.answers = {BtnNo};  // closing without saving: the user threw the changes away
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(copies().isEmpty());
    w.reset();
    EXPECT_TRUE(QDir(recFolder()).entryList(QDir::Files).isEmpty());  // the lock went too
}

TEST_F(RecoveryWindowTest, StartOffersEachLeftCopyAndDiscardDeletesIt) {
    leaveCopy(QStringLiteral("a"), QString(), cardWithFigures(1));
    leaveCopy(QStringLiteral("b"), cardPath(), cardWithFigures(2));
    auto w = makeWithRecovery();
    recoveryAnswers = {RecoveryAnswer::Discard, RecoveryAnswer::Discard};
    w->offerRecovery();
    ASSERT_EQ(questions.size(), 2u);
    QStringList names = {questions[0].cardFile, questions[1].cardFile};
    names.sort();
    EXPECT_EQ(names, (QStringList{QString(), cardPath()}));
    EXPECT_TRUE(questions[0].canRestore && questions[1].canRestore);
    EXPECT_EQ(questions[0].savedAt, QDateTime(QDate(2026, 12, 9), QTime(13, 45), Qt::UTC));
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_EQ(w->document().usedCount(w->document().outsideSlots), 0);
    EXPECT_FALSE(w->document().hasUnsavedChanges());
    // The question names the card and the time.
    RecoveryQuestion q = questions[1];
    q.cardFile = cardPath();
    EXPECT_TRUE(RecoveryDialog::text(q).contains(QStringLiteral("Karte.kar")));
}

TEST_F(RecoveryWindowTest, RestoredCardIsUnsavedUnderItsOwnNameAndSavesThere) {
    {
        auto first = makeWithRecovery();
        putFigure(first->document(), 1, 500, 600, 7000, 3000, 0x00FF00);
        saveAs(*first);
        dialogs.answers = {BtnNo};
        first->close();
    }
    const QByteArray before = readAll(cardPath());
    leaveCopy(QStringLiteral("alt"), cardPath(), cardWithFigures(3));
    leaveCopy(QStringLiteral("ohne-name"), QString(), cardWithFigures(1));
    {
        // An older copy: offered after the newer one.
        QFile older(recFolder() + QStringLiteral("/ohne-name.bbrecovery"));
        ASSERT_TRUE(older.open(QIODevice::ReadWrite));
        ASSERT_TRUE(older.setFileTime(QDateTime::currentDateTime().addDays(-1),
                                      QFileDevice::FileModificationTime));
    }

    auto w = makeWithRecovery();
    recoveryAnswers = {RecoveryAnswer::Restore, RecoveryAnswer::Restore};
    w->offerRecovery();
    ASSERT_EQ(questions.size(), 2u);
    // The second question comes after a restore: it can only be kept or discarded.
    EXPECT_TRUE(questions[0].canRestore);
    EXPECT_FALSE(questions[1].canRestore);
    EXPECT_EQ(questions[0].cardFile, cardPath());
    EXPECT_TRUE(questions[1].cardFile.isEmpty());
    CardDocument& doc = w->document();
    EXPECT_EQ(doc.fileName, cardPath());
    EXPECT_EQ(doc.usedCount(doc.outsideSlots), 3);
    EXPECT_TRUE(doc.hasUnsavedChanges());
    // The restored copy became this program's own; the other one waits for the next start.
    ASSERT_EQ(copies().size(), 2);
    EXPECT_TRUE(w->autosave()->folder().hasOwn());
    EXPECT_EQ(readAll(cardPath()), before);

    EXPECT_TRUE(w->windowTitle().startsWith(u'*'));
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("Karte.kar")));
    dialogs.saveRequests.clear();
    ASSERT_TRUE(w->saveCard());  // to the user's file, no file dialog
    EXPECT_TRUE(dialogs.saveRequests.isEmpty());
    CardFileData data;
    ASSERT_EQ(readCardFileData(cardPath(), data), CardReadStatus::Ok);
    EXPECT_EQ(data.outside.objects.size(), 3u);
    EXPECT_FALSE(w->autosave()->folder().hasOwn());
}

TEST_F(RecoveryWindowTest, ADamagedCopyIsReportedAndOfferedForDeletion) {
    leaveCopy(QStringLiteral("kaputt1"), cardPath(), cardWithFigures(1));
    leaveCopy(QStringLiteral("kaputt2"), cardPath(), cardWithFigures(1));
    for (const char* name : {"kaputt1", "kaputt2"}) {
        const QString path = recFolder() + QStringLiteral("/%1.bbrecovery").arg(name);
        QByteArray bytes = readAll(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes.left(bytes.size() / 2));  // cut off as by a full disk
    }
    auto w = makeWithRecovery();
    dialogs.answers = {BtnYes, BtnNo};
    w->offerRecovery();
    EXPECT_TRUE(questions.empty());
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("beschädigt")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral(".bbrecovery")));
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo);
    EXPECT_EQ(copies().size(), 1);  // "Nein" keeps the second
    EXPECT_FALSE(w->document().hasUnsavedChanges());
}

}  // namespace

// Between the pages of a print run the event loop runs: the window's commands and its close
// wait for the run; the recovery copy need not, since the run only reads the card.
TEST_F(RecoveryWindowTest, PrintRunHoldsOffCommandsAndCloseButNotTheCopy) {
    auto w = makeWithRecovery();
    w->show();
    ASSERT_TRUE(settle(*w));
    CardObject& figure = putFigure(w->document(), 1, 500, 600, 7000, 3000, 0x00FF00);
    PrintTab& tab = *w->printTab();
    tab.printerTarget().usePdf(QString());
    tab.findChild<QSpinBox*>("KopiesED")->setValue(30);
    tab.setProgressDelay(0);
    bool copiedDuringRun = false, openHeldOff = false, closeRefused = false;
    tab.setPageHook([&](const SheetStep& step, QProgressDialog& dialog) {
        if (step.sheet != 2) return;
        copiedDuringRun = w->autosave()->saveNow() && copies().size() == 1;
        const qsizetype asked = dialogs.messages.size();
        w->findChild<QAction*>("OpenItem")->trigger();
        openHeldOff = figure.kind == KindFigure && dialogs.messages.size() == asked &&
                      dialogs.openRequests.isEmpty();
        closeRefused = !w->close() && w->isVisible() && dialogs.messages.size() == asked;
        dialog.cancel();
    });
    dialogs.saveAnswers = {{folder.file("run.pdf"), 1}};
    tab.printOutside();
    EXPECT_TRUE(copiedDuringRun);
    EXPECT_TRUE(openHeldOff);
    EXPECT_TRUE(closeRefused);
    EXPECT_EQ(dialogs.texts(), (QStringList{kNoPrinterNotice, kPrintCancelledText}));
    EXPECT_FALSE(QFile::exists(folder.file("run.pdf")));
    // The copy taken during the run is the card as it is after it: nothing new to write.
    EXPECT_FALSE(w->autosave()->saveNow());
    ASSERT_EQ(copies().size(), 1);
    RecoveryHeader h;
    QByteArray card;
    ASSERT_EQ(readRecoveryFile(recFolder() + u'/' + copies()[0], h, card), RecoveryStatus::Ok);
    EXPECT_EQ(card, cardFileBytes(w->document(), DibImage()));
}

// A save whose write fails (refused as on a full disk) leaves the card file as it was, the
// card unsaved with its "*", and the recovery copy in place; it says which file and why, and
// "Beenden" with "Ja" then keeps the program open.
TEST_F(RecoveryWindowTest, AFailedSaveKeepsTheCardUnsavedAndItsCopy) {
    auto w = makeWithRecovery();
    saveAs(*w);
    const QByteArray saved = readAll(cardPath());
    {
        EditHistory::Step step(w->editing().history(), QStringLiteral("Objekt einfügen"));
        putFigure(w->document(), 4, 500, 600, 7000, 3000, 0x00FF00);
    }
    ASSERT_TRUE(w->autosave()->saveNow());
    ASSERT_EQ(copies().size(), 1);
    dialogs.messages.clear();
    const InjectedWriteFault fault(WriteStep::Write, ENOSPC, QStringLiteral("Karte.kar"));
    EXPECT_FALSE(w->saveCard());
    EXPECT_EQ(readAll(cardPath()), saved);
    EXPECT_EQ(copies().size(), 1);
    EXPECT_TRUE(w->autosave()->folder().hasOwn());
    EXPECT_TRUE(w->windowTitle().startsWith(u'*'));
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Beim Schreiben der Datei ist ein Fehler aufgetreten!\n") +
                          cardPath() + QStringLiteral(": Kein Speicherplatz mehr auf dem Gerät")});

    dialogs.answers = {BtnYes};
    w->exitProgram();
    EXPECT_TRUE(w->autosave()->folder().hasOwn());
    EXPECT_EQ(copies().size(), 1);
    EXPECT_EQ(readAll(cardPath()), saved);
}
