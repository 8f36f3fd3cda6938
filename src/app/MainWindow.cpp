#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/Autosave.h"
#include "app/GuideWindow.h"
#include "app/StarterCatalogue.h"
#include "browser/ui/BrowserTab.h"
#include "document/CardFormat.h"
#include "document/CardPictures.h"
#include "document/CardResize.h"
#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/ExportController.h"
#include "editor/GridDialog.h"
#include "editor/NewCardDialog.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectMenu.h"
#include "editor/PictureOpenDialog.h"
#include "editor/ScanController.h"
#include "print/CupsQueue.h"
#include "print/ui/PrintTab.h"
#include "render/Preview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace bb {

namespace {

// The export asks the default printer's resolution as the preview does. Qt would wait on a
// print service that takes the connection and never answers, so the service is asked first,
// within its time limit; a silent or missing one counts as no printer.
PrinterResolution exportPrinterResolution() {
    if (!cups::askService().answers()) return {};
    return ExportController::defaultPrinterResolution();
}
const QString kCardFilter = QStringLiteral("Grußkarten|*.kar");

// Snapping is the user's choice, kept with the window placement, never in a card.
const char* const kSnapKey = "Raster/Ausrichten";
const char* const kGridKey = "Raster/AbstandMm";
const char* const kGridShownKey = "Raster/Anzeigen";

}  // namespace

MainWindow::MainWindow(UserDialogs& dialogs, const Options& options, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      options_(options),
      settings_(options.useSettings ? SettingsStore::forUser() : SettingsStore::forThisRunOnly()) {
    setObjectName(QStringLiteral("SDIAppForm"));
    setWindowTitle(kProductTitle);
    createContents();
    // The dialogs, each created once and kept hidden until the program ends. The background,
    // text effect, transparency, picture-open and text dialogs belong to the editing layer,
    // the JPEG quality dialog to the scan controller, the calibration dialog to the print tab.
    newCardDialog_ = new NewCardDialog(dialogs_, this);
    newCardDialog_->setProgramFolder(programFolder_);
    cardTypeEditDialog_ = new CardTypeEditDialog(dialogs_, this);
    newCardDialog_->setTypeEditor(cardTypeEditDialog_);
    aboutDialog_ = new AboutDialog(this);
    connect(aboutDialog_, &AboutDialog::guideRequested, this, [this] { showGuide(); });
    gridDialog_ = new GridDialog(this);
    // A status tip travels up to its own window only; those of the dialogs are caught here.
    qApp->installEventFilter(this);
    if (options_.useSettings)
        restoreSettings();
    else
        resize(632, 560);
    // Icons beside the captions of the menus and the tool bar, by the actions' objectNames.
    decorateWindow(*this);
}

MainWindow::~MainWindow() {
    // The tabs and dialogs go with the window (their pictures with them); the
    // document, last, releases every object's picture and both backgrounds. The editing
    // layer goes first, while the views it handles still exist.
    delete editing_;
    editing_ = nullptr;
    delete mainTabs_;
    mainTabs_ = nullptr;
    delete export_;
    delete scan_;
    export_ = nullptr;
    scan_ = nullptr;
}

EditorViews& MainWindow::views() {
    return editor_->views();
}

void MainWindow::createContents() {
    programFolder_ = options_.programFolder;
    if (!programFolder_.endsWith(QLatin1Char('/'))) programFolder_ += QLatin1Char('/');
    cardFolder_ = options_.cardFolder.isEmpty() ? programFolder_ : options_.cardFolder;
    if (options_.installStarter) installStarterCatalogue(programFolder_);

    doc_ = std::make_unique<CardDocument>();
    int dpi = options_.screenDpi;
    if (dpi <= 0) {
        const QScreen* s = screen();
        dpi = s ? qRound(s->logicalDotsPerInchX()) : 96;
    }
    if (dpi <= 0) dpi = 96;
    ctx_.screenDpi = dpi;
    ctx_.fontDpi = dpi;
    doc_->zoomFactor = 1.0;
    doc_->unitsPerPixel = 30000 / dpi;
    doc_->currentSide = SideOutside;
    doc_->clearAll();

    buildTabs();
    buildMenus();
    buildToolBar();
    buildInfoPanel();
    editing_ = new EditorController(views(), dialogs_, programFolder_, this);
    editing_->install(*editor_);
    // "Bild öffnen" starts in the card's folder, then where the last picture came from.
    editing_->pictureOpenDialog().startFolder().setCardFolder(cardFolder_);
    editing_->pictureOpenDialog().startFolder().keepIn(settings_.get());
    setBackgroundCommand([this] { editing_->editBackground(); });
    connect(this, &MainWindow::documentCleared, this, [this] {
        editing_->resetState();
        editing_->clearGuides();
        editing_->history().clear();
    });
    connectHistory();
    setUpMerge();
    connect(&editing_->clipboard(), &ObjectClipboard::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    // Card files dropped anywhere on the window open; the views take picture files.
    setAcceptDrops(true);
    // The centring commands act on the selection, so they need the editor.
    ObjectMenu::addCentringItems(*editing_, centreMenu_);
    connect(editMenu_, &QMenu::aboutToShow, this,
            [this] { centreMenu_->setEnabled(editing_->selected() != nullptr); });
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    showCardFormatText();

    views().layoutFromDocument();
    views().paintBoth();

    startupLayoutTimer_ = new QTimer(this);
    startupLayoutTimer_->setObjectName(QStringLiteral("Timer2"));
    startupLayoutTimer_->setSingleShot(true);
    startupLayoutTimer_->setInterval(100);
    connect(startupLayoutTimer_, &QTimer::timeout, this, &MainWindow::finishStartupLayout);

    browser_->setCardFolder(cardFolder_);
    setUpAutosave();
}

void MainWindow::buildTabs() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mainTabs_ = new QTabWidget(central);
    mainTabs_->setObjectName(QStringLiteral("PageControl1"));

    browser_ = new BrowserTab(dialogs_, mainTabs_);
    browser_->setObjectName(QStringLiteral("TabSheet5"));
    mainTabs_->addTab(browser_, QStringLiteral("Karte öffnen"));

    editor_ = new EditorTab(*doc_, ctx_, mainTabs_);
    mainTabs_->addTab(editor_, QStringLiteral("Editor"));

    print_ = new PrintTab(*doc_, ctx_, dialogs_, programFolder_, mainTabs_);
    print_->setObjectName(QStringLiteral("TabSheet2"));
    mainTabs_->addTab(print_, QStringLiteral("Drucken"));
    mainTabs_->setCurrentIndex(0);

    print_->setSideSelector([this](int side) { editor_->selectSide(side); });
    // A new or opened card brings its type's paper and orientation to the printer.
    connect(this, &MainWindow::documentReplaced, print_, &PrintTab::takeCardPaper);
    connect(print_, &PrintTab::cardFormatRequested, this,
            [this] { runCommand([this] { editCardFormat(); }); });
    connect(print_, &PrintTab::printed, this, [this] { views().paintBoth(); });
    connect(print_, &PrintTab::statusNote, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    export_ = new ExportController(*doc_, ctx_, dialogs_, this);
    export_->setPrinterQuery(&exportPrinterResolution);
    export_->startFolder().setCardFolder(cardFolder_);
    export_->startFolder().keepIn(settings_.get());
    connect(print_, &PrintTab::exportRequested, this,
            [this] { runCommand([this] { export_->exportShownSide(); }); });
    connect(browser_, &BrowserTab::openRequested, this, [this](const QString& path) {
        runCommand([this, path] {
            if (openCard(path)) mainTabs_->setCurrentWidget(editor_);
        });
    });
    connect(browser_, &BrowserTab::cardRenamed, this, &MainWindow::cardRenamed);
    connect(browser_, &BrowserTab::cardTrashed, this, &MainWindow::cardTrashed);
    connect(mainTabs_, &QTabWidget::currentChanged, this, &MainWindow::mainTabChanged);

    layout->addWidget(mainTabs_, 1);
    setCentralWidget(central);
}

void MainWindow::buildMenus() {
    const auto item = [this](QMenu* menu, const QString& text, const char* name,
                             const QKeySequence& key, const QString& hint,
                             std::function<void()> command) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) a->setShortcut(key);
        a->setStatusTip(hint);
        if (command)
            connect(a, &QAction::triggered, this,
                    [this, command = std::move(command)] { runCommand(command); });
        menu->addAction(a);
        return a;
    };
    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("Datei1"));
    newAction_ = item(datei, QStringLiteral("&Neu..."), "Neu1", QKeySequence(Qt::CTRL | Qt::Key_N),
                      QStringLiteral("Neue Karte erstellen"), [this] { newCard(); });
    openAction_ =
        item(datei, QStringLiteral("Ö&ffnen..."), "OpenItem", QKeySequence(Qt::CTRL | Qt::Key_O),
             QStringLiteral("Karte öffnen"), [this] { openCardWithDialog(); });
    saveAction_ =
        item(datei, QStringLiteral("&Speichern"), "SaveItem", QKeySequence(Qt::CTRL | Qt::Key_S),
             QStringLiteral("Aktuelle Karte speichern"), [this] { saveCard(); });
    saveAsAction_ = item(datei, QStringLiteral("Speichern &unter..."), "Speichernunter1",
                         QKeySequence(Qt::CTRL | Qt::Key_U),
                         QStringLiteral("Aktuelle Karte unter speziellem Namen speichern"),
                         [this] { saveCardAs(); });
    // The desktop's usual keys besides the program's own.
    saveAsAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_U), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    buildRecentMenu(datei);
    datei->addSeparator();
    scan_ = new ScanController(dialogs_, *settings_, this);
    scan_->setProgramFolder(programFolder_);
    connect(scan_, &ScanController::progress, this, &MainWindow::showProgress);
    selectScannerAction_ = item(datei, QStringLiteral("Scanner auswählen..."), "Scannerauswhlen1",
                                {}, QStringLiteral("Läßt sie den aktiven Scanner auswählen"),
                                [this] { scan_->selectScanner(); });
    scanAction_ = item(datei, QStringLiteral("Bild einscannen..."), "Bildeinscannen1", {},
                       QStringLiteral("Läßt sie ein Bild einscannen und speichern"),
                       [this] { scan_->scanImage(); });
    datei->addSeparator();
    printerSetupAction_ =
        item(datei, QStringLiteral("Drucker &einrichten..."), "PrintSetup1",
             QKeySequence(Qt::CTRL | Qt::Key_E), QStringLiteral("Richtet den Drucker ein"),
             [this] { print_->setUpPrinter(); });
    calibrateAction_ = item(datei, QStringLiteral("Drucker &kalibrieren..."), "Druckerkalibrieren1",
                            {}, QString(), [this] { print_->calibrate(); });
    printAction_ =
        item(datei, QStringLiteral("&Drucken..."), "PrintItem", QKeySequence(Qt::CTRL | Qt::Key_D),
             QStringLiteral("Druckt die Karte"), [this] { print_->printOutside(); });
    // Ctrl+P, the desktop's print key, shows the "Drucken" tab (preview and settings) instead
    // of printing at once: pressed by habit it must not use up card stock.
    auto* showPrintTab = new QAction(QStringLiteral("Druckvorschau zeigen"), this);
    showPrintTab->setObjectName(QStringLiteral("DruckvorschauAction"));
    showPrintTab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(showPrintTab, &QAction::triggered, this,
            [this] { mainTabs_->setCurrentWidget(print_); });
    addAction(showPrintTab);
    item(datei, QStringLiteral("Beide Sei&ten drucken"), "BeideSeitenItem", {},
         QStringLiteral("Druckt Außen- und Innenseite auf Vorder- und Rückseite"),
         [this] { print_->printBothSides(); });
    item(datei, QStringLiteral("Ausrichtungsseite drucken"), "AusrichtungItem", {},
         QStringLiteral("Druckt ein Blatt mit Kreuzen auf beiden Seiten, die zeigen, wie der "
                        "Drucker die Blätter wendet"),
         [this] { print_->printAlignmentSheet(); });
    QAction* quarterFold = item(datei, QStringLiteral("&Viertelfalz..."), "ViertelfalzItem", {},
                                QString(), [this] { print_->printQuarterFold(); });
    // Offered only while the unfolded card fits half of the current paper.
    connect(datei, &QMenu::aboutToShow, this, [this, quarterFold] {
        const QString refusal = print_->quarterFoldRefusal();
        quarterFold->setEnabled(refusal.isEmpty());
        quarterFold->setStatusTip(
            refusal.isEmpty() ? QStringLiteral("Druckt die Karte als Viertelfalz") : refusal);
    });
    item(datei, QStringLiteral("Se&rienkarten..."), "SerienkartenItem", {},
         QStringLiteral("Druckt oder exportiert persönliche Karten aus einer Adressliste"),
         [this] { openMergeDialog(); });
    datei->addSeparator();
    exitAction_ =
        item(datei, QStringLiteral("&Beenden"), "ExitItem", QKeySequence(Qt::ALT | Qt::Key_X),
             QStringLiteral("Anwendung verlassen"), [this] { exitProgram(); });
    exitAction_->setShortcuts(
        {QKeySequence(Qt::ALT | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Q)});

    editMenu_ = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    editMenu_->setObjectName(QStringLiteral("Bearbeiten1"));
    undoAction_ = item(editMenu_, QStringLiteral("&Rückgängig"), "Rueckgaengig1",
                       QKeySequence(Qt::CTRL | Qt::Key_Z),
                       QStringLiteral("Nimmt den letzten Arbeitsschritt zurück"),
                       [this] { editing_->history().undo(); });
    redoAction_ = item(editMenu_, QStringLiteral("&Wiederherstellen"), "Wiederherstellen1",
                       QKeySequence(Qt::CTRL | Qt::Key_Y),
                       QStringLiteral("Führt den zurückgenommenen Arbeitsschritt wieder aus"),
                       [this] { editing_->history().redo(); });
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N21"));
    // The object commands act on the editor's working side, so only while it is shown.
    const auto onEditor = [this](bool (ObjectClipboard::*command)()) {
        return [this, command] {
            if (mainTabs_->currentWidget() == editor_) (editing_->clipboard().*command)();
        };
    };
    QAction* cut =
        item(editMenu_, QStringLiteral("&Ausschneiden"), "AusschneidenItem",
             QKeySequence(Qt::CTRL | Qt::Key_X),
             QStringLiteral("Schneidet das Objekt aus und legt es in die Zwischenablage"),
             onEditor(&ObjectClipboard::cut));
    QAction* copy = item(editMenu_, QStringLiteral("&Kopieren"), "KopierenItem",
                         QKeySequence(Qt::CTRL | Qt::Key_C),
                         QStringLiteral("Kopiert das Objekt in die Zwischenablage"),
                         onEditor(&ObjectClipboard::copy));
    QAction* paste = item(editMenu_, QStringLiteral("&Einfügen"), "EinfuegenItem",
                          QKeySequence(Qt::CTRL | Qt::Key_V),
                          QStringLiteral("Fügt den Inhalt der Zwischenablage ein"),
                          onEditor(&ObjectClipboard::paste));
    QAction* duplicate = item(editMenu_, QStringLiteral("&Duplizieren"), "DuplizierenItem",
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
                              QStringLiteral("Erstellt eine Kopie des Objekts"),
                              onEditor(&ObjectClipboard::duplicate));
    // The menu shows what applies now; the keys stay on between openings and check for
    // themselves.
    connect(editMenu_, &QMenu::aboutToShow, this, [=, this] {
        const bool editing = mainTabs_->currentWidget() == editor_;
        const bool selected = editing && editing_->selected();
        cut->setEnabled(selected);
        copy->setEnabled(selected);
        duplicate->setEnabled(selected);
        paste->setEnabled(editing &&
                          ObjectClipboard::canPaste(QGuiApplication::clipboard()->mimeData()));
    });
    connect(editMenu_, &QMenu::aboutToHide, this, [=] {
        for (QAction* a : {cut, copy, paste, duplicate}) a->setEnabled(true);
    });
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N20"));
    snapAction_ =
        item(editMenu_, QStringLiteral("Am Ra&ster ausrichten"), "AmRasterAusrichten1", {},
             QStringLiteral("Gezogene Objekte rasten am Raster, an der Karte, am Falz "
                            "und an anderen Objekten ein"),
             [this] {
                 editing_->setSnapping(snapAction_->isChecked());
                 storeSnapSettings();
             });
    snapAction_->setCheckable(true);
    centreMenu_ = editMenu_->addMenu(QStringLiteral("Ausri&chten"));
    centreMenu_->setObjectName(QStringLiteral("Ausrichten1"));
    centreMenu_->menuAction()->setObjectName(QStringLiteral("AusrichtenItem1"));
    editMenu_->addSeparator()->setObjectName(QStringLiteral("N21"));
    item(editMenu_, QStringLiteral("&Ganze Karte zeigen"), "GanzeKarte1",
         QKeySequence(Qt::CTRL | Qt::Key_0),
         QStringLiteral("Zeigt die ganze Karte so groß wie möglich in der Mitte des Editors"),
         [this] {
             if (mainTabs_->currentWidget() == editor_) {
                 editing_->showWholeCard();
                 return;
             }
             // The editor's view has its size once its tab is laid out.
             mainTabs_->setCurrentWidget(editor_);
             QMetaObject::invokeMethod(
                 this, [this] { editing_->showWholeCard(); }, Qt::QueuedConnection);
         });

    QMenu* einst = menuBar()->addMenu(QStringLiteral("&Einstellungen"));
    einst->setObjectName(QStringLiteral("Einstellungen1"));
    backgroundMenuAction_ =
        item(einst, QStringLiteral("&Hintergrundbild..."), "Hintergrundbild1",
             QKeySequence(Qt::CTRL | Qt::Key_H),
             QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"), [this] {
                 if (backgroundCommand_) backgroundCommand_();
             });
    cardFormatAction_ =
        item(einst, QStringLiteral("&Kartenformat..."), "Etikettenformat1", {},
             QStringLiteral("Verändert die Einstellungen der Größe und der Abstände"),
             [this] { editCardFormat(); });
    item(einst, QStringLiteral("&Raster..."), "Raster1", {},
         QStringLiteral("Legt den Abstand des Rasters fest, an dem Objekte beim Ziehen einrasten"),
         [this] { editGrid(); });
    gridShownAction_ =
        item(einst, QStringLiteral("Raster an&zeigen"), "RasterAnzeigen1", {},
             QStringLiteral("Zeigt das Raster in der Karte (nicht im Ausdruck)"), [this] {
                 editing_->setGridShown(gridShownAction_->isChecked());
                 storeSnapSettings();
             });
    gridShownAction_->setCheckable(true);

    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    hilfe->setObjectName(QStringLiteral("Hilfe1"));
    item(hilfe, QStringLiteral("&Anleitung"), "AnleitungItem", QKeySequence(Qt::Key_F1),
         QStringLiteral("Zeigt die Anleitung"), [this] { showGuide(); });
    aboutAction_ =
        item(hilfe, QStringLiteral("Inf&o..."), "About1", QKeySequence(Qt::CTRL | Qt::Key_I),
             QStringLiteral("Informationen über das Programm"), [this] { showAbout(); });
}

void MainWindow::buildToolBar() {
    QToolBar* bar = editor_->toolBar();
    const auto button = [this, bar](const QString& text, const char* name, const QString& hint,
                                    std::function<void()> command) {
        auto* a = new QAction(text, bar);
        a->setIconText(text);  // keep the "..." that tool buttons drop by default
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        connect(a, &QAction::triggered, this,
                [this, command = std::move(command)] { runCommand(command); });
        bar->addAction(a);
        if (QWidget* w = bar->widgetForAction(a)) w->setObjectName(QString::fromLatin1(name));
        return a;
    };
    newToolAction_ = button(QStringLiteral("Neu..."), "NewBtn",
                            QStringLiteral("Neue Datei erstellen"), [this] { newCard(); });
    openToolAction_ =
        button(QStringLiteral("Öffnen..."), "SpeedItem4",
               QStringLiteral("Öffnet eine Visitenkarte"), [this] { openCardWithDialog(); });
    saveToolAction_ = button(QStringLiteral("Speichern"), "SpeedItem5",
                             QStringLiteral("Speichert die Vistenkarte"), [this] { saveCard(); });
    backgroundToolAction_ = button(QStringLiteral("Hintergrund"), "SpeedItem6",
                                   QStringLiteral("Hintergrund auswählen"), [this] {
                                       if (backgroundCommand_) backgroundCommand_();
                                   });
    // Until the background dialog is connected its two entries stay disabled.
    backgroundToolAction_->setEnabled(false);
    backgroundMenuAction_->setEnabled(false);
}

void MainWindow::buildInfoPanel() {
    infoPanel_ = new QLabel(centralWidget());
    infoPanel_->setObjectName(QStringLiteral("InfoPanel"));
    infoPanel_->setFrameShape(QFrame::StyledPanel);
    infoPanel_->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    infoPanel_->setIndent(166);
    infoPanel_->setMinimumHeight(24);
    // The card-format text is long: in a narrow window it wraps instead of being cut or
    // widening the window. The progress bar sits in the indent, at the top left.
    infoPanel_->setWordWrap(true);
    infoPanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Minimum);
    progressBar_ = new QProgressBar(infoPanel_);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setGeometry(4, 3, 150, 18);
    centralWidget()->layout()->addWidget(infoPanel_);
}

void MainWindow::setBackgroundCommand(std::function<void()> command) {
    backgroundCommand_ = std::move(command);
    backgroundToolAction_->setEnabled(bool(backgroundCommand_));
    backgroundMenuAction_->setEnabled(bool(backgroundCommand_));
}

QString MainWindow::cardFormatCaption() const {
    return infoPanel_->text();
}

void MainWindow::showCardFormatText() {
    infoPanel_->setText(cardFormatText(doc_->format, QLocale()));
}

void MainWindow::setTitleFromDocument() {
    // An unsaved card shows a leading "*".
    const bool modified = editing_ && editing_->history().isModified();
    setWindowModified(modified);
    setWindowTitle((modified ? QStringLiteral("*") : QString()) + kProductTitle +
                   QStringLiteral(" - ") + doc_->titleName());
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
    undoAction_->setEnabled(h.canUndo());
    redoAction_->setEnabled(h.canRedo());
    undoAction_->setText(undoText.isEmpty() ? QStringLiteral("&Rückgängig")
                                            : QStringLiteral("&Rückgängig: ") + undoText);
    redoAction_->setText(redoText.isEmpty() ? QStringLiteral("&Wiederherstellen")
                                            : QStringLiteral("&Wiederherstellen: ") + redoText);
}

void MainWindow::afterHistoryApplied(bool formatChanged) {
    if (formatChanged) {
        showCardFormatText();
        emit documentReplaced();
    }
    repaintAll();
}

void MainWindow::repaintAll() {
    views().paintBoth();
    print_->refreshPreview();
}

void MainWindow::mainTabChanged(int index) {
    if (index == 0) browser_->refresh();
    // Typing on the card belongs to the editor; the print preview shows the record again.
    if (editing_ && mainTabs_->widget(index) != editor_) editing_->endTextEditing();
}

void MainWindow::showProgress(int percent) {
    progressBar_->setValue(qBound(0, percent, 100));
}

// ---- start-up layout ----

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) scheduleStartupLayout();
    return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    const bool tip = e->type() == QEvent::StatusTip;
    if ((tip || (e->type() == QEvent::Hide && dialogTipShown_)) && watched != this &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
        for (const QObject* o = watched->parent(); o; o = o->parent())
            if (o == this) {
                // A dialog closed by a click on a control leaves no empty tip behind: its
                // last tip goes with it.
                if (tip)
                    statusBar()->showMessage(static_cast<QStatusTipEvent*>(e)->tip());
                else
                    statusBar()->clearMessage();
                dialogTipShown_ = tip;
                break;
            }
    }
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // Platforms without window activation (offscreen) still lay the views out once.
    scheduleStartupLayout();
}

void MainWindow::scheduleStartupLayout() {
    if (startupLayoutPending || startupLayoutDone) return;
    startupLayoutPending = true;
    startupLayoutTimer_->start();
}

void MainWindow::finishStartupLayout() {
    startupLayoutTimer_->stop();
    views().layoutFromDocument();
    repaintAll();
    views().centreViews();
    startupLayoutDone = true;
}

// ---- commands ----

void MainWindow::runCommand(const std::function<void()>& command) {
    // A print run lets events run between its pages; no command (open, close, a second run)
    // may change the card under it.
    if (print_ && print_->isPrinting()) return;
    try {
        command();
    } catch (const std::exception& e) {
        showGeneralError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showGeneralError(QStringLiteral("Unbekannter Fehler"));
    }
}

void MainWindow::showGeneralError(const QString& text) {
    dialogs_.message(text, kAppTitle, MsgIcon::Error, BtnOk);
}

CardFileContext& MainWindow::fileContext() {
    if (!fileContext_) {
        fileContext_.reset(new CardFileContext{dialogs_, ctx_, programFolder_, {}, {}, {}});
        fileContext_->createPreview = &createCardPreview;
        fileContext_->saveCurrent = [this] { return saveCard(); };
        fileContext_->progress = [this](int p) { showProgress(p); };
        fileContext_->isModified = [this] { return editing_->history().isModified(); };
        fileContext_->saveQuestion = [this] { return saveQuestion(); };
    }
    return *fileContext_;
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
    // Opening clears the document, and so does a damaged file before it is refused: the
    // editor drops what it held about the old objects, and the title says what is left.
    if (doc_->clearCount() != clears) {
        emit documentCleared();
        setTitleFromDocument();
    }
    if (ok) {
        noteRecent(path);
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

bool MainWindow::openDroppedCard(const QMimeData& mime) {
    const QStringList cards = ObjectClipboard::cardFiles(mime);
    if (cards.isEmpty()) return false;
    const bool ok = openCard(cards.first());
    if (ok) mainTabs_->setCurrentWidget(editor_);
    return ok;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() && !ObjectClipboard::cardFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (!mime || ObjectClipboard::cardFiles(*mime).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The file is opened after the drop has ended, so that the save question and any message
    // do not run inside the drag of the other program.
    const QList<QUrl> urls = mime->urls();
    QMetaObject::invokeMethod(
        this,
        [this, urls] {
            QMimeData dropped;
            dropped.setUrls(urls);
            runCommand([this, &dropped] { openDroppedCard(dropped); });
        },
        Qt::QueuedConnection);
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
    if (res.checked) copy = copyCardPictures(*doc_, res.path, programFolder_);
    const bool ok = saveCardFile(*doc_, res.path, fileContext());
    if (!ok) restorePictureReferences(*doc_, copy);
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

void MainWindow::showAbout() {
    aboutDialog_->exec();
}

void MainWindow::showGuide() {
    if (!guide_) guide_ = new GuideWindow(this);
    guide_->showGuide();
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

// ---- settings ----

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
    snapAction_->setChecked(editing_->snapOptions().enabled);
    bool number = false;
    const double mm = s.value(QLatin1String(kGridKey)).toDouble(&number);
    editing_->setGridSpacing(number ? GridDialog::validSpacing(mm) : GridDialog::kDefaultMm);
    editing_->setGridShown(s.value(QLatin1String(kGridShownKey), false).toBool());
    gridShownAction_->setChecked(editing_->gridShown());
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
