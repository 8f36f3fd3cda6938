// The menu "&Bearbeiten": undo and redo following the card's history, the editor's clipboard
// commands, snapping, centring and showing the whole card, and inserting ornaments.
#include "app/MainWindow.h"

#include "document/EditHistory.h"
#include "editor/CommandRegistry.h"
#include "editor/EditorCommands.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/ObjectClipboard.h"
#include "editor/OrnamentDialog.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QUndoStack>

namespace bb {

void MainWindow::buildEditMenu() {
    editMenu_ = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    editMenu_->setObjectName(QStringLiteral("Bearbeiten1"));
    QAction* undo =
        addCommand(editMenu_, QStringLiteral("edit.undo"), QStringLiteral("&Rückgängig"),
                   "Rueckgaengig1", {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                   QStringLiteral("Nimmt den letzten Arbeitsschritt zurück"),
                   [this] { editing_->history().undo(); });
    QAction* redo = addCommand(
        editMenu_, QStringLiteral("edit.redo"), QStringLiteral("&Wiederherstellen"),
        "Wiederherstellen1",
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        QStringLiteral("Führt den zurückgenommenen Arbeitsschritt wieder aus"),
        [this] { editing_->history().redo(); });
    undo->setEnabled(false);
    redo->setEnabled(false);
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N21"));
    addClipboardItems();
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N20"));
    QAction* snap = addCommand(editMenu_, QStringLiteral("edit.snap"),
                               QStringLiteral("Am Ra&ster ausrichten"), "AmRasterAusrichten1", {},
                               QStringLiteral("Gezogene Objekte rasten am Raster, an der Karte, am "
                                              "Falz und an anderen Objekten ein"),
                               [this] {
                                   editing_->setSnapping(snapAction()->isChecked());
                                   storeSnapSettings();
                               });
    snap->setCheckable(true);
    centreMenu_ = editMenu_->addMenu(QStringLiteral("Ausri&chten"));
    centreMenu_->setObjectName(QStringLiteral("Ausrichten1"));
    centreMenu_->menuAction()->setObjectName(QStringLiteral("AusrichtenItem1"));
    // The centring commands act on the selection, so they need the editor.
    for (const QString& id : centringCommands())
        centreMenu_->addAction(commands().action(id, centreMenu_));
    // Lining up and spreading out several objects come after the centring.
    centreMenu_->addSeparator()->setObjectName(QStringLiteral("N22"));
    QList<QAction*> arrangeItems;
    for (const QString& id : arrangeCommands()) {
        QAction* item = commands().action(id, centreMenu_);
        centreMenu_->addAction(item);
        arrangeItems.append(item);
    }
    connect(editMenu_, &QMenu::aboutToShow, this,
            [this] { centreMenu_->setEnabled(editing_->selected() != nullptr); });
    connect(centreMenu_, &QMenu::aboutToShow, this,
            [this, arrangeItems] { commands().updateEnabled(arrangeItems); });
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N21"));
    // From another tab the editor is shown first; its view has its size once its tab is
    // laid out.
    commands().setRun(cmd::kWholeCard, [this] {
        if (mainTabs_->currentWidget() == editor_) {
            editing_->showWholeCard();
            return;
        }
        mainTabs_->setCurrentWidget(editor_);
        QMetaObject::invokeMethod(
            this, [this] { editing_->showWholeCard(); }, Qt::QueuedConnection);
    });
    addCommand(editMenu_, cmd::kWholeCard);
    addSelectionItems();
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N24"));
    addCommand(editMenu_, QStringLiteral("edit.ornament"), QStringLiteral("Sch&muck einfügen..."),
               "SchmuckEinfuegen1", {},
               QStringLiteral("Fügt Herzen, Sterne, Blumen, Rahmen und anderen Schmuck ein"),
               [this] { showOrnaments(); });
}

void MainWindow::showOrnaments() {
    if (!ornamentDialog_) {
        ornamentDialog_ = new OrnamentDialog(this);
        connect(ornamentDialog_, &OrnamentDialog::insertRequested, this,
                [this](const QString& name) {
                    mainTabs_->setCurrentWidget(editor_);
                    editing_->clipboard().insertOrnament(name);
                });
    }
    ornamentDialog_->show();
    ornamentDialog_->raise();
    ornamentDialog_->activateWindow();
}

void MainWindow::addSelectionItems() {
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N23"));
    addEditorItems({cmd::kSelectAll, cmd::kGroup, cmd::kUngroup});
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N24"));
    addEditorItems({cmd::kInsertVerse});
}

void MainWindow::addClipboardItems() {
    addEditorItems(clipboardCommands());
}

void MainWindow::addEditorItems(const QStringList& ids) {
    // The object commands act on the editor's working side, so only while it is shown.
    CommandRegistry& registry = commands();
    registry.setCondition(ids, [this] { return mainTabs_->currentWidget() == editor_; });
    QList<QAction*> items;
    for (const QString& id : ids) items.append(addCommand(editMenu_, id));
    // The menu shows what applies now; the keys stay on between openings and check for
    // themselves.
    connect(editMenu_, &QMenu::aboutToShow, this,
            [&registry, items] { registry.updateEnabled(items); });
    connect(editMenu_, &QMenu::aboutToHide, this, [items] {
        for (QAction* a : items) a->setEnabled(true);
    });
}

QAction* MainWindow::undoAction() const {
    return commandAction(QStringLiteral("edit.undo"));
}

QAction* MainWindow::redoAction() const {
    return commandAction(QStringLiteral("edit.redo"));
}

QAction* MainWindow::snapAction() const {
    return commandAction(QStringLiteral("edit.snap"));
}

void MainWindow::connectHistory() {
    EditHistory& h = editing_->history();
    // The items name the next step; the title follows the unsaved state.
    connect(&h.stack(), &QUndoStack::indexChanged, this, &MainWindow::updateHistoryActions);
    connect(&h.stack(), &QUndoStack::cleanChanged, this, &MainWindow::updateHistoryActions);
    connect(&h, &EditHistory::modifiedChanged, this, &MainWindow::setTitleFromDocument);
    connect(editing_, &EditorController::historyApplied, this, &MainWindow::afterHistoryApplied);
    updateHistoryActions();
}

void MainWindow::updateHistoryActions() {
    EditHistory& h = editing_->history();
    const QString undoText = h.canUndo() ? h.stack().undoText() : QString();
    const QString redoText = h.canRedo() ? h.stack().redoText() : QString();
    QAction* undo = undoAction();
    QAction* redo = redoAction();
    undo->setEnabled(h.canUndo());
    redo->setEnabled(h.canRedo());
    undo->setText(undoText.isEmpty() ? QStringLiteral("&Rückgängig")
                                     : QStringLiteral("&Rückgängig: ") + undoText);
    redo->setText(redoText.isEmpty() ? QStringLiteral("&Wiederherstellen")
                                     : QStringLiteral("&Wiederherstellen: ") + redoText);
}

void MainWindow::afterHistoryApplied(bool formatChanged) {
    if (formatChanged) {
        showCardFormatText();
        emit documentReplaced();
    }
    repaintAll();
}

}  // namespace bb
