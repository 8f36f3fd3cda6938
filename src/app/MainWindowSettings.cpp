// The menu "&Einstellungen" (background, card format, grid) and what the window keeps in the
// user's settings: its placement, the print options, snapping and the grid.
#include "app/MainWindow.h"

#include "document/CardResize.h"
#include "document/EditHistory.h"
#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/CommandRegistry.h"
#include "editor/EditorCommands.h"
#include "editor/EditorController.h"
#include "editor/EditorViews.h"
#include "editor/GridDialog.h"
#include "print/ui/PrintTab.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>

namespace bb {

namespace {

// Snapping is the user's choice, kept with the window placement, never in a card.
const char* const kSnapKey = "Raster/Ausrichten";
const char* const kGridKey = "Raster/AbstandMm";
const char* const kGridShownKey = "Raster/Anzeigen";

}  // namespace

void MainWindow::buildSettingsMenu() {
    QMenu* einst = menuBar()->addMenu(QStringLiteral("&Einstellungen"));
    einst->setObjectName(QStringLiteral("Einstellungen1"));
    addCommand(einst, cmd::kBackground);
    addCommand(einst, QStringLiteral("settings.cardFormat"), QStringLiteral("&Kartenformat..."),
               "Etikettenformat1", {},
               QStringLiteral("Verändert die Einstellungen der Größe und der Abstände"),
               [this] { editCardFormat(); });
    addCommand(
        einst, QStringLiteral("settings.grid"), QStringLiteral("&Raster..."), "Raster1", {},
        QStringLiteral("Legt den Abstand des Rasters fest, an dem Objekte beim Ziehen einrasten"),
        [this] { editGrid(); });
    QAction* gridShown =
        addCommand(einst, QStringLiteral("settings.gridShown"), QStringLiteral("Raster an&zeigen"),
                   "RasterAnzeigen1", {},
                   QStringLiteral("Zeigt das Raster in der Karte (nicht im Ausdruck)"), [this] {
                       editing_->setGridShown(gridShownAction()->isChecked());
                       storeSnapSettings();
                   });
    gridShown->setCheckable(true);
    addCommand(einst, QStringLiteral("settings.addressBook"), QStringLiteral("&Adressen..."),
               "AdressenItem", {},
               QStringLiteral("Das Adressbuch: Adressen für Karten und Umschläge, Geburtstage"),
               [this] { openAddressBook(); });
}

QAction* MainWindow::gridShownAction() const {
    return commandAction(QStringLiteral("settings.gridShown"));
}

void MainWindow::editCardFormat() {
    cardTypeEditDialog_->fill(doc_->format);
    if (cardTypeEditDialog_->runModal() != QDialog::Accepted) return;
    EditHistory::Step step(editing_->history(), QStringLiteral("Kartenformat ändern"));
    const CardFormat before = doc_->format;
    doc_->format = cardTypeEditDialog_->readBack();
    const CardFormat& after = doc_->format;
    if (after.cardWidth != before.cardWidth || after.cardHeight != before.cardHeight) {
        // The objects follow the card; the user chooses whether they also take its new size.
        bool scale = false;
        if (doc_->usedCount(doc_->outsideSlots) + doc_->usedCount(doc_->insideSlots) > 0) {
            scale = dialogs_.message(QStringLiteral("Sollen Texte, Bilder und Figuren an das "
                                                    "neue Format angepasst werden?"),
                                     QStringLiteral("Kartenformat"), MsgIcon::Question,
                                     BtnYes | BtnNo) == BtnYes;
        }
        fitContentToCard(*doc_, before.cardWidth, before.cardHeight, after.cardWidth,
                         after.cardHeight, scale);
    }
    showCardFormatText();
    views().layoutFromDocument();
    repaintAll();
    emit documentReplaced();
}

void MainWindow::restoreSettings() {
    QSettings& s = settings_->settings();
    const QByteArray geometry = s.value(QStringLiteral("FormPlacement1/Geometry")).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) placeForFirstStart();
    for (QSplitter* sp : findChildren<QSplitter*>()) {
        if (sp->objectName().isEmpty()) continue;
        sp->restoreState(
            s.value(QStringLiteral("Fenster/Teiler/") + sp->objectName()).toByteArray());
    }
    bool tabKept = false;
    const int tab = s.value(QStringLiteral("Fenster/Reiter")).toInt(&tabKept);
    if (tabKept && tab >= 0 && tab < mainTabs_->count()) mainTabs_->setCurrentIndex(tab);
    print_->setCutLines(
        s.value(QStringLiteral("FormStorage1/SchneidBtn.Checked"), print_->cutLines()).toBool());
    print_->setFoldLines(
        s.value(QStringLiteral("FormStorage1/FalteCheck.Checked"), print_->foldLines()).toBool());
    editing_->setSnapping(s.value(QLatin1String(kSnapKey), false).toBool());
    snapAction()->setChecked(editing_->snapOptions().enabled);
    bool number = false;
    const double mm = s.value(QLatin1String(kGridKey)).toDouble(&number);
    editing_->setGridSpacing(number ? GridDialog::validSpacing(mm) : GridDialog::kDefaultMm);
    editing_->setGridShown(s.value(QLatin1String(kGridShownKey), false).toBool());
    gridShownAction()->setChecked(editing_->gridShown());
}

void MainWindow::placeForFirstStart() {
    // About four fifths of the screen, centred, and never smaller than the contents need.
    const QScreen* sc = screen();
    if (!sc) {
        resize(minimumSizeHint().expandedTo(QSize(632, 560)));
        return;
    }
    const QRect avail = sc->availableGeometry();
    const QSize size = (avail.size() * 4 / 5).expandedTo(minimumSizeHint()).boundedTo(avail.size());
    resize(size);
    move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
}

void MainWindow::saveSettings() {
    QSettings& s = settings_->settings();
    s.setValue(QStringLiteral("FormPlacement1/Geometry"), saveGeometry());
    for (QSplitter* sp : findChildren<QSplitter*>()) {
        if (!sp->objectName().isEmpty())
            s.setValue(QStringLiteral("Fenster/Teiler/") + sp->objectName(), sp->saveState());
    }
    s.setValue(QStringLiteral("Fenster/Reiter"), mainTabs_->currentIndex());
    s.setValue(QStringLiteral("FormStorage1/SchneidBtn.Checked"), print_->cutLines());
    s.setValue(QStringLiteral("FormStorage1/FalteCheck.Checked"), print_->foldLines());
    s.sync();
    // The snapping settings are stored when they change, so that a window closed later does
    // not put back the ones it started with.
}

void MainWindow::storeSnapSettings() {
    if (!options_.useSettings) return;
    QSettings& s = settings_->settings();
    s.setValue(QLatin1String(kSnapKey), editing_->snapOptions().enabled);
    s.setValue(QLatin1String(kGridKey), editing_->snapOptions().gridMm);
    s.setValue(QLatin1String(kGridShownKey), editing_->gridShown());
}

void MainWindow::editGrid() {
    gridDialog_->setSpacing(editing_->snapOptions().gridMm);
    if (editing_->modal(*gridDialog_) != QDialog::Accepted) return;
    editing_->setGridSpacing(gridDialog_->spacing());
    storeSnapSettings();
    if (editing_->gridShown()) editing_->repaintBoth();
}

}  // namespace bb
