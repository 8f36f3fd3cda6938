#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/Autosave.h"
#include "app/GuideWindow.h"
#include "app/StarterCatalogue.h"
#include "browser/ui/BrowserTab.h"
#include "content/ContentFolders.h"
#include "content/DesignLibrary.h"
#include "document/CardFormat.h"
#include "document/CardPictures.h"
#include "document/CardResize.h"
#include "document/SettingsStore.h"
#include "document/UserDialogs.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/CommandRegistry.h"
#include "editor/EditorCommands.h"
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
#include "render/BackgroundPictures.h"
#include "render/Ornaments.h"
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
    newCardDialog_->setOwnDesignsFolder(ownDesignsFolder());
    newCardDialog_->setDesignSource([this] {
        const QStringList shipped =
            options_.designFolders.isEmpty()
                ? shippedContentFolders(QStringLiteral("designs"),
                                        QCoreApplication::applicationDirPath())
                : options_.designFolders;
        // A link in place of the own folder is not followed.
        const QFileInfo own(ownDesignsFolder());
        return listDesigns(shipped,
                           own.isDir() && !own.isSymLink() ? own.absoluteFilePath() : QString());
    });
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
    // The starting scale: whole card units per screen pixel.
    const int unitsPerPixel = 30000 / dpi;
    doc_->unitsPerPixel = unitsPerPixel;
    doc_->clearAll();

    buildTabs();
    // The editing layer first: the menus take its commands from its registry.
    editing_ = new EditorController(views(), dialogs_, programFolder_, this);
    commands().setRunner([this](const std::function<void()>& command) { runCommand(command); });
    buildMenus();
    buildToolBar();
    buildInfoPanel();
    editing_->install(*editor_);
    // "Bild öffnen" starts in the card's folder, then where the last picture came from.
    editing_->pictureOpenDialog().startFolder().setCardFolder(cardFolder_);
    editing_->pictureOpenDialog().startFolder().keepIn(settings_.get());
    // The user's own words of the spell checking beside the settings.
    if (const QString file = settings_->settings().fileName(); !file.isEmpty())
        editing_->setPersonalWordList(
            QFileInfo(file).absoluteDir().filePath(QStringLiteral("Woerterbuch.txt")));
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
    print_->setSideSource([this] { return editor_->views().edited().side; });
    print_->setPictures(views().pictures());
    connect(views().pictures().get(), &BackgroundPictures::arrived, print_,
            &PrintTab::repaintPreview);
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
            [this] { runCommand([this] { export_->exportShownSide(editing_->editedSide()); }); });
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
    buildFileMenu();
    buildEditMenu();
    buildSettingsMenu();
    buildHelpMenu();
}

CommandRegistry& MainWindow::commands() {
    return editing_->commandRegistry();
}

QAction* MainWindow::commandAction(const QString& id) const {
    return editing_->commandRegistry().action(id);
}

QAction* MainWindow::addCommand(QMenu* menu, const QString& id, const QString& caption,
                                const char* name, const QList<QKeySequence>& keys,
                                const QString& hint, std::function<void()> run) {
    commands().define(
        CommandRegistry::make(id, caption, QString::fromLatin1(name), hint, std::move(run), keys));
    return addCommand(menu, id);
}

QAction* MainWindow::addCommand(QMenu* menu, const QString& id) {
    QAction* a = commands().action(id, this);
    menu->addAction(a);
    return a;
}

void MainWindow::buildHelpMenu() {
    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    hilfe->setObjectName(QStringLiteral("Hilfe1"));
    addCommand(hilfe, QStringLiteral("help.guide"), QStringLiteral("&Anleitung"), "AnleitungItem",
               {QKeySequence(Qt::Key_F1)}, QStringLiteral("Zeigt die Anleitung"),
               [this] { showGuide(); });
    addCommand(hilfe, QStringLiteral("help.about"), QStringLiteral("Inf&o..."), "About1",
               {QKeySequence(Qt::CTRL | Qt::Key_I)},
               QStringLiteral("Informationen über das Programm"), [this] { showAbout(); });
}

void MainWindow::buildToolBar() {
    // The tool bar's buttons run the menus' commands under texts and tips of their own.
    QToolBar* bar = editor_->toolBar();
    const auto button = [this, bar](const QString& id, const QString& text, const char* name,
                                    const QString& hint) {
        CommandRegistry::Face face;
        face.caption = text;
        face.objectName = QString::fromLatin1(name);
        face.statusTip = hint;
        face.ownStatusTip = true;
        face.toolTip = true;
        QAction* a = commands().face(id, bar, face);
        bar->addAction(a);
        if (QWidget* w = bar->widgetForAction(a)) w->setObjectName(face.objectName);
    };
    button(QStringLiteral("file.new"), QStringLiteral("Neu..."), "NewBtn",
           QStringLiteral("Neue Datei erstellen"));
    button(QStringLiteral("file.open"), QStringLiteral("Öffnen..."), "SpeedItem4",
           QStringLiteral("Öffnet eine Visitenkarte"));
    button(QStringLiteral("file.save"), QStringLiteral("Speichern"), "SpeedItem5",
           QStringLiteral("Speichert die Vistenkarte"));
    button(cmd::kBackground, QStringLiteral("Hintergrund"), "SpeedItem6",
           QStringLiteral("Hintergrund auswählen"));
    button(QStringLiteral("edit.ornament"), QStringLiteral("Schmuck"), "SchmuckBtn",
           QStringLiteral("Schmuck einfügen"));
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
        fileContext_->writeCompanions = &writeOrnamentPictures;
        fileContext_->saveCurrent = [this] { return saveCard(); };
        fileContext_->progress = [this](int p) { showProgress(p); };
        fileContext_->isModified = [this] { return editing_->history().isModified(); };
        fileContext_->saveQuestion = [this] { return saveQuestion(); };
    }
    return *fileContext_;
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

void MainWindow::showAbout() {
    aboutDialog_->exec();
}

void MainWindow::showGuide() {
    if (!guide_) guide_ = new GuideWindow(this);
    guide_->showGuide();
}

}  // namespace bb
