// The main window's part in personal cards: the session of the open card, the texts drawn
// filled from its record, the list remembered per card, the columns mapped to fields per list,
// and the dialog's print and export.
#include "app/MainWindow.h"

#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorViews.h"
#include "merge/AddressBook.h"
#include "merge/ColumnMapping.h"
#include "merge/ListMemory.h"
#include "merge/MergeFields.h"
#include "merge/MergeSession.h"
#include "merge/ui/MergeDialog.h"
#include "merge/ui/MergeExport.h"
#include "merge/ui/RecordBar.h"
#include "print/ui/LabelDialog.h"
#include "print/ui/PrintTab.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QStatusBar>

namespace bb {

void MainWindow::setUpMerge() {
    merge_ = new MergeSession(this);
    mergeDialog_ = new MergeDialog(*merge_, dialogs_, this);
    auto* editorRecords = new RecordBar(*merge_);
    editorRecords->setObjectName(QStringLiteral("EditorRecordBar"));
    editor_->setRecordBar(editorRecords);
    print_->setMergeSession(*merge_);
    // A list is mapped as remembered for it, the rest guessed for the card's fields.
    merge_->setMappingChooser([this](const AddressList& list) {
        ColumnMapping remembered;
        if (options_.useSettings) remembered = rememberedMapping(settings_->settings(), list);
        return guessMapping(list, mappingFields(fieldsOfCard(*doc_)), remembered);
    });
    connect(mergeDialog_, &MergeDialog::mappingChosen, this, [this] {
        if (!options_.useSettings || !merge_->sourceList()) return;
        const QString listPath = merge_->sourceList()->path;
        if (!listPath.isEmpty())
            rememberMapping(settings_->settings(), listPath, merge_->mapping());
    });

    connect(merge_, &MergeSession::shownChanged, this, &MainWindow::updateMergeFill);
    connect(editing_, &EditorController::textEditingChanged, this, &MainWindow::updateMergeFill);
    // A print run fills its own cards and puts the window's fill back afterwards.
    connect(print_, &PrintTab::printed, this, &MainWindow::updateMergeFill);
    connect(merge_, &MergeSession::listChanged, this, &MainWindow::rememberMergeList);
    connect(merge_, &MergeSession::loadFailed, this,
            [this](const QString& path, const QString& error) {
                if (mergeDialog_->isVisible()) return;  // the dialog says it itself
                statusBar()->showMessage(
                    QStringLiteral("Die Adressliste %1 konnte nicht gelesen werden: %2")
                        .arg(QDir::toNativeSeparators(path), error));
            });
    connect(mergeDialog_, &MergeDialog::printRequested, this,
            [this](const MergePlan& plan, MergeSides sides) {
                const MergeRun run{merge_->list(), plan};
                runCommand([this, &run, sides] { print_->printMerge(run, sides); });
            });
    connect(mergeDialog_, &MergeDialog::exportRequested, this,
            [this](const std::vector<int>& rows, int nameColumn, MergeSides sides) {
                runCommand([&] { exportMerge(rows, nameColumn, sides); });
            });
    connect(mergeDialog_, &MergeDialog::removeRequested, this, [this] {
        if (options_.useSettings && !doc_->fileName.isEmpty()) {
            QSettings& s = settings_->settings();
            forgetList(s, doc_->fileName);
        }
        merge_->clear();
    });
    connect(mergeDialog_, &MergeDialog::addressBookRequested, this,
            [this](bool tickedOnly) { useAddressBook(tickedOnly); });
    connect(print_, &PrintTab::mergeRequested, this,
            [this] { runCommand([this] { openMergeDialog(); }); });

    // Another card has no list until its own remembered one is read.
    connect(this, &MainWindow::documentCleared, this, [this] {
        merge_->clear();
        mergeRestorePending_ = true;
    });
    connect(this, &MainWindow::documentReplaced, this, [this] {
        if (!std::exchange(mergeRestorePending_, false)) return;
        restoreMergeList();
    });
}

void MainWindow::openMergeDialog() {
    QString folder = programFolder_;
    if (!doc_->fileName.isEmpty()) folder = QFileInfo(doc_->fileName).absolutePath();
    mergeDialog_->prepare(fieldsOfCard(*doc_), folder, editing_->editedSide());
    editing_->modal(*mergeDialog_);
}

void MainWindow::openLabelDialog() {
    if (!merge_->hasList()) {
        const int answer = dialogs_.message(
            QStringLiteral("Für Etiketten wird eine Adressliste gebraucht. Jetzt eine "
                           "Adressliste wählen?"),
            QStringLiteral("Etiketten drucken"), MsgIcon::Question, BtnYes | BtnNo);
        if (answer != BtnYes) return;
        openMergeDialog();
        if (!merge_->hasList()) return;
    }
    if (!labelDialog_) {
        QSettings* settings = options_.useSettings ? &settings_->settings() : nullptr;
        labelDialog_ = new LabelDialog(*merge_, dialogs_, settings, &print_->printerTarget(), this);
        labelDialog_->setRunModal([this](QDialog& d) { return editing_->modal(d); });
    }
    labelDialog_->prepare();
    editing_->modal(*labelDialog_);
}

void MainWindow::updateMergeFill() {
    // A print run or the merge's export draws its own records; they restore the fill after.
    if (print_->isPrinting() || mergeExporting_) return;
    const bool before = bool(ctx_.fillText);
    // While a text is typed on it shows as typed: the caret follows its raw content.
    ctx_.fillText = editing_->inlineText().active() ? nullptr : merge_->fillFunction();
    if (before || ctx_.fillText) repaintAll();
}

void MainWindow::rememberMergeList() {
    if (!options_.useSettings || !merge_->hasList() || doc_->fileName.isEmpty()) return;
    const QString listPath = merge_->list()->path;
    if (listPath.isEmpty()) return;
    QSettings& s = settings_->settings();
    rememberList(s, doc_->fileName, listPath);
}

void MainWindow::restoreMergeList() {
    if (!options_.useSettings || doc_->fileName.isEmpty()) return;
    QSettings& s = settings_->settings();
    const QString listPath = rememberedList(s, doc_->fileName);
    if (listPath.isEmpty()) return;
    if (isAddressBookList(listPath)) {
        useAddressBook(listPath == kAddressBookListTicked, true);
        return;
    }
    if (!QFileInfo::exists(listPath)) {
        // Moved or deleted: the card goes on without it, and nobody is asked.
        forgetList(s, doc_->fileName);
        statusBar()->showMessage(QStringLiteral("Die Adressliste %1 der Karte gibt es nicht mehr.")
                                     .arg(QDir::toNativeSeparators(listPath)));
        return;
    }
    merge_->loadList(listPath);
}

void MainWindow::exportMerge(const std::vector<int>& rows, int nameColumn, MergeSides sides) {
    if (!merge_->hasList()) return;
    mergeExporting_ = true;
    const auto done = qScopeGuard([this] {
        mergeExporting_ = false;
        updateMergeFill();
    });
    // The list stays alive for the export even if another one is chosen meanwhile.
    const std::shared_ptr<const AddressList> list = merge_->list();
    exportMergePictures(*doc_, ctx_, dialogs_, *list, rows, nameColumn, sides, mergeDialog_);
}

}  // namespace bb
