// The menu "&Datei" and the life of the card: new, open, save, save as, the recent cards,
// exit and closing the window.
#include "app/MainWindow.h"

#include "app/Autosave.h"
#include "browser/ui/BrowserTab.h"
#include "content/ContentFolders.h"
#include "content/DesignCards.h"
#include "content/DesignLibrary.h"
#include "document/CardPictures.h"
#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/CommandRegistry.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/NewCardDialog.h"
#include "editor/ScanController.h"
#include "print/ui/PrintTab.h"
#include "render/Ornaments.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>

namespace bb {

namespace {
const QString kCardFilter = QStringLiteral("Grußkarten|*.kar");
}  // namespace

void MainWindow::buildFileMenu() {
    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("Datei1"));
    addCommand(datei, QStringLiteral("file.new"), QStringLiteral("&Neu..."), "Neu1",
               {QKeySequence(Qt::CTRL | Qt::Key_N)}, QStringLiteral("Neue Karte erstellen"),
               [this] { newCard(); });
    addCommand(datei, QStringLiteral("file.open"), QStringLiteral("Ö&ffnen..."), "OpenItem",
               {QKeySequence(Qt::CTRL | Qt::Key_O)}, QStringLiteral("Karte öffnen"),
               [this] { openCardWithDialog(); });
    addCommand(datei, QStringLiteral("file.save"), QStringLiteral("&Speichern"), "SaveItem",
               {QKeySequence(Qt::CTRL | Qt::Key_S)}, QStringLiteral("Aktuelle Karte speichern"),
               [this] { saveCard(); });
    // The desktop's usual keys besides the program's own.
    addCommand(datei, QStringLiteral("file.saveAs"), QStringLiteral("Speichern &unter..."),
               "Speichernunter1",
               {QKeySequence(Qt::CTRL | Qt::Key_U), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
               QStringLiteral("Aktuelle Karte unter speziellem Namen speichern"),
               [this] { saveCardAs(); });
    addCommand(datei, QStringLiteral("file.saveAsDesign"),
               QStringLiteral("&Als Vorlage speichern..."), "AlsVorlageItem", {},
               QStringLiteral("Nimmt die Karte unter die eigenen Vorlagen auf, mit denen eine neue "
                              "Karte beginnen kann"),
               [this] { saveAsDesign(); });
    buildRecentMenu(datei);
    datei->addSeparator();
    scan_ = new ScanController(dialogs_, *settings_, this);
    scan_->setProgramFolder(programFolder_);
    connect(scan_, &ScanController::progress, this, &MainWindow::showProgress);
    addCommand(datei, QStringLiteral("file.selectScanner"), QStringLiteral("Scanner auswählen..."),
               "Scannerauswhlen1", {}, QStringLiteral("Läßt sie den aktiven Scanner auswählen"),
               [this] { scan_->selectScanner(); });
    addCommand(datei, QStringLiteral("file.scan"), QStringLiteral("Bild einscannen..."),
               "Bildeinscannen1", {}, QStringLiteral("Läßt sie ein Bild einscannen und speichern"),
               [this] { scan_->scanImage(); });
    datei->addSeparator();
    addPrintItems(datei);
    addSendItems(datei);
    datei->addSeparator();
    addCommand(datei, QStringLiteral("file.exit"), QStringLiteral("&Beenden"), "ExitItem",
               {QKeySequence(Qt::ALT | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Q)},
               QStringLiteral("Anwendung verlassen"), [this] { exitProgram(); });
}

void MainWindow::addPrintItems(QMenu* datei) {
    addCommand(datei, QStringLiteral("file.printerSetup"), QStringLiteral("Drucker &einrichten..."),
               "PrintSetup1", {QKeySequence(Qt::CTRL | Qt::Key_E)},
               QStringLiteral("Richtet den Drucker ein"), [this] { print_->setUpPrinter(); });
    addCommand(datei, QStringLiteral("file.calibrate"), QStringLiteral("Drucker &kalibrieren..."),
               "Druckerkalibrieren1", {}, QString(), [this] { print_->calibrate(); });
    addCommand(datei, QStringLiteral("file.print"), QStringLiteral("&Drucken..."), "PrintItem",
               {QKeySequence(Qt::CTRL | Qt::Key_D)}, QStringLiteral("Druckt die Karte"),
               [this] { print_->printOutside(); });
    // Ctrl+P, the desktop's print key, shows the "Drucken" tab (preview and settings) instead
    // of printing at once: pressed by habit it must not use up card stock.
    CommandRegistry& registry = commands();
    registry.define(CommandRegistry::make(
        QStringLiteral("file.showPrintTab"), QStringLiteral("Druckvorschau zeigen"),
        QStringLiteral("DruckvorschauAction"), QString(),
        [this] { mainTabs_->setCurrentWidget(print_); }, {QKeySequence(Qt::CTRL | Qt::Key_P)}));
    addAction(registry.action(QStringLiteral("file.showPrintTab"), this));
    addCommand(datei, QStringLiteral("file.printBothSides"),
               QStringLiteral("Beide Sei&ten drucken"), "BeideSeitenItem", {},
               QStringLiteral("Druckt Außen- und Innenseite auf Vorder- und Rückseite"),
               [this] { print_->printBothSides(); });
    addCommand(datei, QStringLiteral("file.alignmentSheet"),
               QStringLiteral("Ausrichtungsseite drucken"), "AusrichtungItem", {},
               QStringLiteral("Druckt ein Blatt mit Kreuzen auf beiden Seiten, die zeigen, wie der "
                              "Drucker die Blätter wendet"),
               [this] { print_->printAlignmentSheet(); });
    QAction* quarterFold =
        addCommand(datei, QStringLiteral("file.quarterFold"), QStringLiteral("&Viertelfalz..."),
                   "ViertelfalzItem", {}, QString(), [this] { print_->printQuarterFold(); });
    // Offered only while the unfolded card fits half of the current paper.
    connect(datei, &QMenu::aboutToShow, this, [this, quarterFold] {
        const QString refusal = print_->quarterFoldRefusal();
        quarterFold->setEnabled(refusal.isEmpty());
        quarterFold->setStatusTip(
            refusal.isEmpty() ? QStringLiteral("Druckt die Karte als Viertelfalz") : refusal);
    });
    addCommand(datei, QStringLiteral("file.merge"), QStringLiteral("Se&rienkarten..."),
               "SerienkartenItem", {},
               QStringLiteral("Druckt oder exportiert persönliche Karten aus einer Adressliste"),
               [this] { openMergeDialog(); });
    addCommand(datei, QStringLiteral("file.envelopes"), QStringLiteral("Umsc&hläge drucken..."),
               "UmschlaegeItem", {},
               QStringLiteral("Druckt die Umschläge zu den Datensätzen der Adressliste"),
               [this] { openEnvelopeDialog(); });
    addCommand(datei, QStringLiteral("file.labels"), QStringLiteral("Et&iketten drucken..."),
               "EtikettenItem", {},
               QStringLiteral("Druckt die Anschriften einer Adressliste auf Etikettenbögen"),
               [this] { openLabelDialog(); });
}

QString MainWindow::saveQuestion() const {
    return QStringLiteral("Änderungen an „%1“ speichern?").arg(doc_->titleName());
}

int MainWindow::askToSaveChanges(const QString& caption) {
    // A card without changes since its last save, open or clear has nothing to lose.
    if (!editing_->history().isModified()) return BtnNo;
    return dialogs_.message(saveQuestion(), caption, MsgIcon::Question, BtnYes | BtnNo | BtnCancel);
}

void MainWindow::newCard() {
    const int a = askToSaveChanges(QStringLiteral("Neue Grußkarte"));
    if (a == BtnCancel) return;
    if (a == BtnYes && !saveCard()) return;
    CardFormat chosen = doc_->format;
    if (newCardDialog_->runModal(chosen) != QDialog::Accepted) return;
    if (!newCardDialog_->chosenDesign().isEmpty()) {
        if (startFromDesign(newCardDialog_->chosenDesign())) mainTabs_->setCurrentWidget(editor_);
        return;
    }
    doc_->format = chosen;
    doc_->clearAll();
    emit documentCleared();
    setTitleFromDocument();
    showCardFormatText();
    views().layoutFromDocument();
    repaintAll();
    views().centreViews();
    emit documentReplaced();
}

bool MainWindow::startFromDesign(const QString& path) {
    const uint64_t clears = doc_->clearCount();
    return showOpenedCard(openDesignCopy(*doc_, path, fileContext()), clears);
}

QString MainWindow::ownDesignsFolder() const {
    const QString data = options_.dataFolder.isEmpty() ? userDataFolder() : options_.dataFolder;
    return QDir(data).filePath(QString::fromLatin1(kOwnDesignsOccasion));
}

void MainWindow::saveAsDesign() {
    const QString caption = QStringLiteral("Als Vorlage speichern");
    const QString suggested =
        doc_->fileName.isEmpty() ? QString() : QFileInfo(doc_->fileName).completeBaseName();
    std::optional<QString> answer;
    if (designNameAsker_) {
        answer = designNameAsker_(suggested);
    } else {
        bool ok = false;
        const QString typed = QInputDialog::getText(
            this, caption, QStringLiteral("Name der Vorlage:"), QLineEdit::Normal, suggested, &ok);
        if (ok) answer = typed;
    }
    if (!answer) return;
    const QString name = answer->trimmed();
    if (const QString problem = ownDesignNameProblem(name); !problem.isEmpty()) {
        dialogs_.message(problem, caption, MsgIcon::Warning, BtnOk);
        return;
    }
    const QString data = options_.dataFolder.isEmpty() ? userDataFolder() : options_.dataFolder;
    const QString folder = userContentFolder(data, QString::fromLatin1(kOwnDesignsOccasion));
    if (folder.isEmpty()) {
        dialogs_.message(QStringLiteral("Der Ordner für eigene Vorlagen kann nicht angelegt "
                                        "werden:\n%1")
                             .arg(ownDesignsFolder()),
                         caption, MsgIcon::Warning, BtnOk);
        return;
    }
    const QFileInfo existing(ownDesignPath(folder, name));
    if ((existing.exists() || existing.isSymLink()) &&
        dialogs_.message(
            QStringLiteral("Eine eigene Vorlage „%1“ gibt es schon. Soll sie ersetzt werden?")
                .arg(name),
            caption, MsgIcon::Question, BtnYes | BtnNo) != BtnYes)
        return;
    const OwnDesignSave saved = saveOwnDesign(*doc_, folder, name, ctx_, programFolder_);
    if (!saved.ok) {
        dialogs_.message(
            QStringLiteral("Die Vorlage konnte nicht gespeichert werden.\n") + saved.problem,
            caption, MsgIcon::Warning, BtnOk);
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("Unter „Eigene Vorlagen“ als „%1“ gespeichert.").arg(name));
    if (const QString problems = pictureCopyMessage(saved.pictures); !problems.isEmpty())
        dialogs_.message(problems, caption, MsgIcon::Warning, BtnOk);
}

void MainWindow::openCardWithDialog() {
    FileDialogRequest r;
    r.caption = QStringLiteral("Öffnen");
    r.directory = cardFolder_;
    r.filter = kCardFilter;
    r.defaultSuffix = QStringLiteral("kar");
    const FileDialogResult res = dialogs_.openFile(r);
    if (res.path.isEmpty()) return;
    openCard(res.path);
}

bool MainWindow::openCard(const QString& path) {
    const uint64_t clears = doc_->clearCount();
    const bool ok = openCardFile(*doc_, path, fileContext());
    if (ok) noteRecent(path);
    return showOpenedCard(ok, clears);
}

bool MainWindow::showOpenedCard(bool ok, uint64_t clearsBefore) {
    // Opening clears the document, and so does a damaged file before it is refused: the
    // editor drops what it held about the old objects, and the title says what is left.
    if (doc_->clearCount() != clearsBefore) {
        emit documentCleared();
        setTitleFromDocument();
    }
    if (ok) {
        showCardFormatText();
        // The stored work-area size and scale size the views.
        views().outsideView()->resize(views().paintBoxSize());
    }
    repaintAll();
    if (ok) {
        views().centreViews();
        emit documentReplaced();
    }
    return ok;
}

void MainWindow::afterSave(bool ok) {
    // The side tabs follow the side being edited.
    editor_->syncSideTab();
    if (ok) {
        editing_->history().markSaved();
        setTitleFromDocument();
        noteRecent(doc_->fileName);
        // Saved under another name, the card keeps its list there.
        rememberMergeList();
    }
    if (ok && autosave_) autosave_->discard();
    views().paintBoth();
}

bool MainWindow::saveCard() {
    if (doc_->fileName.isEmpty()) return saveCardAs();
    const bool ok = saveCardFile(*doc_, doc_->fileName, fileContext());
    afterSave(ok);
    return ok;
}

bool MainWindow::saveCardAs() {
    FileDialogRequest r;
    r.caption = QStringLiteral("Speichern unter");
    // A saved card offers its own folder; a new one the card folder.
    r.directory = doc_->fileName.isEmpty() ? cardFolder_ : QFileInfo(doc_->fileName).absolutePath();
    r.filter = kCardFilter;
    r.defaultSuffix = QStringLiteral("kar");
    r.confirmOverwrite = false;  // the question below
    r.checkBoxText = QStringLiteral("Bilder in den Kartenordner kopieren");
    // A card begun from a design takes the design's pictures along in any case: they must
    // not be looked for in the design's folder later.
    const bool fromDesign = doc_->fileName.isEmpty() && !doc_->pictureSource.isEmpty();
    r.checked = fromDesign;
    const FileDialogResult res = dialogs_.saveFile(r);
    if (res.path.isEmpty()) return false;
    QFile existing(res.path);
    if (existing.exists() && existing.open(QIODevice::ReadWrite)) {
        existing.close();
        if (dialogs_.message(
                QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"),
                QStringLiteral("Vorhandene Datei Überschreiben?"), MsgIcon::Question,
                BtnYes | BtnNo) != BtnYes)
            return false;
    }
    CardPictureCopy copy;
    if (res.checked || fromDesign) copy = copyCardPictures(*doc_, res.path, programFolder_);
    const bool ok = saveCardFile(*doc_, res.path, fileContext());
    if (!ok) restorePictureReferences(*doc_, copy);
    // The folder that holds all the card needs holds its ornaments' vectors too.
    if (ok && res.checked) copy.failed << writeOrnamentSvgs(*doc_, res.path).failed;
    afterSave(ok);
    if (const QString problems = pictureCopyMessage(copy); ok && !problems.isEmpty())
        dialogs_.message(problems, QStringLiteral("Bilder kopieren"), MsgIcon::Warning, BtnOk);
    return ok;
}

void MainWindow::exitProgram() {
    const int a = askToSaveChanges(QStringLiteral("Programm beenden"));
    if (a == BtnCancel) return;
    if (a == BtnYes && !saveCard()) return;
    closeConfirmed = true;
    close();
}

bool MainWindow::openCardFromCommandLine(const QString& path) {
    bool ok = false;
    runCommand([&] { ok = openCard(QFileInfo(path).absoluteFilePath()); });
    if (ok) mainTabs_->setCurrentWidget(editor_);
    return ok;
}

// ---- recent cards ----

void MainWindow::buildRecentMenu(QMenu* datei) {
    recentMenu_ = datei->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    recentMenu_->setObjectName(QStringLiteral("ZuletztMenu"));
    recentMenu_->menuAction()->setStatusTip(
        QStringLiteral("Öffnet eine der zuletzt benutzten Karten"));
    if (options_.useSettings) {
        QSettings& s = settings_->settings();
        recent_.load(s);
    }
    // Whether a card still exists is asked each time the menu opens.
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    fillRecentMenu();
}

void MainWindow::fillRecentMenu() {
    recentMenu_->clear();
    int n = 0;
    for (const QString& path : recent_.paths()) {
        ++n;
        // An "&" in a file name is shown as it is, not taken as the item's letter.
        auto* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(n).arg(
            QFileInfo(path).fileName().replace(QLatin1Char('&'), QLatin1String("&&"))));
        a->setStatusTip(path);
        a->setToolTip(path);
        a->setObjectName(QStringLiteral("ZuletztItem%1").arg(n));
        a->setData(path);
        a->setEnabled(QFileInfo(path).isFile());
        connect(a, &QAction::triggered, this, [this, path] {
            runCommand([this, path] {
                if (openCard(path)) mainTabs_->setCurrentWidget(editor_);
            });
        });
    }
    if (n == 0) {
        QAction* none = recentMenu_->addAction(QStringLiteral("(keine)"));
        none->setObjectName(QStringLiteral("ZuletztKeineItem"));
        none->setEnabled(false);
    }
    recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction(QStringLiteral("Liste &leeren"));
    clear->setObjectName(QStringLiteral("ListeLeerenItem"));
    clear->setStatusTip(QStringLiteral("Vergisst die zuletzt geöffneten Karten"));
    clear->setEnabled(n > 0);
    connect(clear, &QAction::triggered, this, [this] {
        recent_.clear();
        storeRecent();
        fillRecentMenu();
    });
}

void MainWindow::noteRecent(const QString& path) {
    recent_.add(path);
    storeRecent();
    fillRecentMenu();
}

void MainWindow::storeRecent() {
    if (!options_.useSettings) return;
    QSettings& s = settings_->settings();
    recent_.store(s);
}

void MainWindow::cardRenamed(const QString& from, const QString& to) {
    recent_.rename(from, to);
    storeRecent();
    fillRecentMenu();
    if (!doc_->fileName.isEmpty() &&
        QFileInfo(doc_->fileName).absoluteFilePath() == QFileInfo(from).absoluteFilePath()) {
        doc_->fileName = to;
        setTitleFromDocument();
    }
}

void MainWindow::cardTrashed(const QString& path) {
    // The open card stays open; "Speichern" would write it again under its old name.
    if (!doc_->fileName.isEmpty() &&
        QFileInfo(doc_->fileName).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        statusBar()->showMessage(QStringLiteral("Die geöffnete Karte liegt jetzt im Papierkorb."));
    // Its entry in "Zuletzt geöffnet" is greyed when the menu next opens.
}

// ---- closing ----

bool MainWindow::confirmClose() {
    if (closeConfirmed) return true;
    const int a = askToSaveChanges(QStringLiteral("Programm beenden"));
    if (a == BtnNo) return true;
    if (a == BtnYes) return saveCard();
    return false;
}

void MainWindow::closeEvent(QCloseEvent* e) {
    bool ok = false;
    runCommand([this, &ok] { ok = confirmClose(); });
    // The answer of "&Beenden" holds for this close only; every later close asks again.
    closeConfirmed = false;
    if (!ok) {
        e->ignore();
        return;
    }
    // A walk of the card browser ends, and is waited for, before the window goes.
    browser_->stopWalk();
    if (options_.useSettings) saveSettings();
    if (autosave_) autosave_->discard();
    e->accept();
}

}  // namespace bb
