// The main window's part in keeping unsaved changes: the recovery copies while the program
// runs and the offer to restore them at the next start.
#include "app/Autosave.h"
#include "app/MainWindow.h"
#include "app/RecoveryDialog.h"
#include "document/CardFile.h"
#include "document/EditHistory.h"
#include "document/Recovery.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"

#include <QApplication>
#include <QDir>
#include <QStatusBar>
#include <QTabWidget>

namespace bb {

void MainWindow::setUpAutosave() {
    if (options_.recoveryFolder.isEmpty()) return;
    autosave_ = new Autosave(*doc_, options_.recoveryFolder, this);
    autosave_->setInterval(options_.autosaveSeconds);
    EditHistory& history = editing_->history();
    autosave_->setModifiedCheck([&history] { return history.isModified(); });
    // A copy never catches an edit half done (a drag, a dialog's open step).
    autosave_->setBusyCheck(
        [&history] { return history.stepOpen() || QApplication::mouseButtons() != Qt::NoButton; });
    connect(autosave_, &Autosave::failed, this, [this](const QString& reason) {
        statusBar()->showMessage(
            QStringLiteral("Die Sicherungskopie der Karte konnte nicht geschrieben werden: ") +
            reason);
    });
    // Nothing unsaved any more (a new or opened card, undone back to the saved state): the
    // copy goes.
    connect(&history, &EditHistory::modifiedChanged, autosave_, [this](bool modified) {
        if (!modified) autosave_->discard();
    });
}

void MainWindow::offerRecovery() {
    if (!autosave_) return;
    std::vector<OrphanedRecovery> found = autosave_->folder().takeOrphans();
    bool restored = false;
    for (OrphanedRecovery& recovery : found) {
        if (recovery.read() != RecoveryStatus::Ok) {
            const int a = dialogs_.message(
                QStringLiteral("Eine Sicherungskopie ungespeicherter Änderungen ist beschädigt "
                               "und kann nicht wiederhergestellt werden:\n%1\n\nSoll sie "
                               "gelöscht werden?")
                    .arg(QDir::toNativeSeparators(recovery.path())),
                QStringLiteral("Karte wiederherstellen"), MsgIcon::Warning, BtnYes | BtnNo);
            if (a == BtnYes)
                recovery.remove();
            else
                recovery.release();
            continue;
        }
        RecoveryQuestion q;
        q.cardFile = recovery.header().cardFile;
        q.savedAt = recovery.header().savedAt;
        q.canRestore = !restored;
        RecoveryAnswer a = RecoveryAnswer::Later;
        runCommand([&] { a = recoveryAsker_ ? recoveryAsker_(q) : RecoveryDialog::ask(q, this); });
        if (a == RecoveryAnswer::Restore && q.canRestore) {
            restored = restoreRecovered(recovery);
            if (!restored) recovery.release();
        } else if (a == RecoveryAnswer::Discard) {
            recovery.remove();
        } else {
            recovery.release();
        }
    }
}

bool MainWindow::restoreRecovered(OrphanedRecovery& recovery) {
    const QString original = recovery.header().cardFile;
    // Pictures are looked for beside the card's own file, as when it is opened.
    const QString lookup =
        original.isEmpty() ? programFolder_ + QStringLiteral("NONAME01.kar") : original;
    const bool ok = openCardBytes(*doc_, recovery.cardBytes(), lookup, fileContext());
    emit documentCleared();
    if (ok) {
        // The card is the user's own file with changes not yet saved there: "Speichern"
        // writes to that file as usual, "Neu" or closing asks first.
        doc_->fileName = original;
        doc_->markUnsaved();
        showCardFormatText();
        views().outsideView()->resize(views().paintBoxSize());
    }
    setTitleFromDocument();
    repaintAll();
    if (!ok) return false;
    views().centreViews();
    emit documentReplaced();
    mainTabs()->setCurrentWidget(&editorTab());
    // This program's own copy takes over; the old one goes only once that is written.
    if (autosave_->saveNow()) recovery.remove();
    return true;
}

}  // namespace bb
