#include "app/TSDIAppForm.h"

#include "app/StarterCatalogue.h"
#include "app/TAboutBox.h"
#include "browser/ui/BrowserTab.h"
#include "document/CardFormat.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/ExportController.h"
#include "editor/ScanController.h"
#include "editor/TNewETypForm.h"
#include "editor/TneuForm.h"
#include "print/ui/PrintTab.h"
#include "render/Preview.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <exception>

namespace bb {

namespace {

const QString kSaveQuestion = QStringLiteral("Wollen Sie vorher speichern?");
const QString kCardFilter = QStringLiteral("Grußkarten|*.kar");

QSettings appSettings() {
    return QSettings(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"));
}

}  // namespace

TSDIAppForm::TSDIAppForm(UserDialogs& dialogs, const Options& options, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), options_(options) {
    setObjectName(QStringLiteral("SDIAppForm"));
    setWindowTitle(kProductTitle);
    FormCreate();
    // The dialogs, each created once and kept hidden until the program ends. The background,
    // text effect, transparency, picture-open and text dialogs belong to the editing layer,
    // the JPEG quality dialog to the scan controller, the calibration dialog to the print tab.
    neuForm_ = new TneuForm(dialogs_, this);
    neuForm_->setProgramFolder(programFolder_);
    newETypForm_ = new TNewETypForm(this);
    neuForm_->setTypeForm(newETypForm_);
    aboutBox_ = new TAboutBox(this);
    if (options_.useSettings)
        restoreSettings();
    else
        resize(632, 560);
}

TSDIAppForm::~TSDIAppForm() {
    // FormDestroy: the tabs and dialogs go with the window (their pictures with them); the
    // document, last, releases every object's picture and both backgrounds. The editing
    // layer goes first, while the views it handles still exist.
    delete editing_;
    editing_ = nullptr;
    delete PageControl1;
    PageControl1 = nullptr;
    delete export_;
    delete scan_;
    export_ = nullptr;
    scan_ = nullptr;
}

EditorViews& TSDIAppForm::views() {
    return editor_->views();
}

void TSDIAppForm::FormCreate() {
    programFolder_ = options_.programFolder;
    if (!programFolder_.endsWith(QLatin1Char('/'))) programFolder_ += QLatin1Char('/');
    if (options_.installStarter) installStarterCatalogue(programFolder_);

    doc_ = std::make_unique<CardDocument>();
    int dpi = options_.screenDpi;
    if (dpi <= 0) {
        const QScreen* s = screen();
        dpi = s ? qRound(s->logicalDotsPerInchX()) : 96;
    }
    if (dpi <= 0) dpi = 96;
    ctx_.ScreenDpi = dpi;
    ctx_.FontDpi = dpi;
    doc_->ZoomFactor = 1.0;
    doc_->UnitsPerPixel = 30000 / dpi;
    doc_->CurrentSide = SideOutside;
    doc_->clearall();
    doc_->Working.BackgroundFile.clear();

    buildTabs();
    buildMenus();
    buildToolBar();
    buildInfoPanel();
    editing_ = new EditorController(views(), dialogs_, programFolder_, this);
    editing_->install(*editor_);
    setBackgroundCommand([this] { editing_->Hintergrundbild1Click(); });
    connect(this, &TSDIAppForm::documentCleared, this, [this] { editing_->resetState(); });
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    showCardFormatText();

    views().layoutFromDocument();
    views().paintBoth();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, &TSDIAppForm::Timer2Timer);

    browser_->setFolder(programFolder_);
}

void TSDIAppForm::buildTabs() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    browser_ = new BrowserTab(dialogs_, PageControl1);
    browser_->setObjectName(QStringLiteral("TabSheet5"));
    PageControl1->addTab(browser_, QStringLiteral("Karte öffnen"));

    editor_ = new EditorTab(*doc_, ctx_, PageControl1);
    PageControl1->addTab(editor_, QStringLiteral("Editor"));

    print_ = new PrintTab(*doc_, ctx_, dialogs_, programFolder_, PageControl1);
    print_->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(print_, QStringLiteral("Drucken"));
    PageControl1->setCurrentIndex(0);

    print_->setSideSelector([this](int side) { editor_->selectSide(side); });
    connect(print_, &PrintTab::cardFormatRequested, this,
            [this] { runCommand([this] { Etikettenformat1Click(); }); });
    connect(print_, &PrintTab::printed, this, [this] { views().paintBoth(); });
    export_ = new ExportController(*doc_, ctx_, dialogs_, this);
    connect(print_, &PrintTab::exportRequested, this,
            [this] { runCommand([this] { export_->EMailBtnClick(); }); });
    connect(browser_, &BrowserTab::openRequested, this, [this](const QString& path) {
        runCommand([this, path] {
            if (openCard(path)) PageControl1->setCurrentWidget(editor_);
        });
    });
    connect(PageControl1, &QTabWidget::currentChanged, this, &TSDIAppForm::PageControl1Change);

    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);
}

void TSDIAppForm::buildMenus() {
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
    Neu1 = item(datei, QStringLiteral("&Neu..."), "Neu1", QKeySequence(Qt::CTRL | Qt::Key_N),
                QStringLiteral("Neue Karte erstellen"), [this] { Neu1Click(); });
    OpenItem =
        item(datei, QStringLiteral("Ö&ffnen..."), "OpenItem", QKeySequence(Qt::CTRL | Qt::Key_O),
             QStringLiteral("Karte öffnen"), [this] { OpenItemClick(); });
    SaveItem =
        item(datei, QStringLiteral("&Speichern"), "SaveItem", QKeySequence(Qt::CTRL | Qt::Key_S),
             QStringLiteral("Aktuelle Karte speichern"), [this] { SaveItemClick(); });
    Speichernunter1 = item(datei, QStringLiteral("Speichern &unter..."), "Speichernunter1",
                           QKeySequence(Qt::CTRL | Qt::Key_U),
                           QStringLiteral("Aktuelle Karte unter speziellem Namen speichern"),
                           [this] { Speichernunter1Click(); });
    datei->addSeparator();
    scan_ = new ScanController(dialogs_, this);
    scan_->setProgramFolder(programFolder_);
    connect(scan_, &ScanController::progress, this, &TSDIAppForm::WMUser);
    ScannerSelect1 = item(datei, QStringLiteral("Scanner auswählen..."), "Scannerauswhlen1", {},
                          QStringLiteral("Läßt sie den aktiven Scanner auswählen"),
                          [this] { scan_->selectScanner(); });
    ScanImage1 = item(datei, QStringLiteral("Bild einscannen..."), "Bildeinscannen1", {},
                      QStringLiteral("Läßt sie ein Bild einscannen und speichern"),
                      [this] { scan_->scanImage(); });
    datei->addSeparator();
    PrinterSetup1 =
        item(datei, QStringLiteral("Drucker &einrichten..."), "PrintSetup1",
             QKeySequence(Qt::CTRL | Qt::Key_E), QStringLiteral("Richtet den Drucker ein"),
             [this] { print_->PrintSetupClick(); });
    Kalibrieren1 = item(datei, QStringLiteral("Drucker &kalibrieren..."), "Druckerkalibrieren1", {},
                        QString(), [this] { print_->calibrate(); });
    PrintItem =
        item(datei, QStringLiteral("&Drucken..."), "PrintItem", QKeySequence(Qt::CTRL | Qt::Key_D),
             QStringLiteral("Druckt die Karte"), [this] { print_->PrintClick(); });
    datei->addSeparator();
    ExitItem =
        item(datei, QStringLiteral("&Beenden"), "ExitItem", QKeySequence(Qt::ALT | Qt::Key_X),
             QStringLiteral("Anwendung verlassen"), [this] { ExitItemClick(); });

    QMenu* einst = menuBar()->addMenu(QStringLiteral("&Einstellungen"));
    einst->setObjectName(QStringLiteral("Einstellungen1"));
    Hintergrundbild1 =
        item(einst, QStringLiteral("&Hintergrundbild..."), "Hintergrundbild1",
             QKeySequence(Qt::CTRL | Qt::Key_H),
             QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"), [this] {
                 if (backgroundCommand_) backgroundCommand_();
             });
    Etikettenformat1 =
        item(einst, QStringLiteral("&Kartenformat..."), "Etikettenformat1", {},
             QStringLiteral("Verändert die Einstellungen der Größe und der Abstände"),
             [this] { Etikettenformat1Click(); });

    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    hilfe->setObjectName(QStringLiteral("Hilfe1"));
    About1 = item(hilfe, QStringLiteral("Inf&o..."), "About1", QKeySequence(Qt::CTRL | Qt::Key_I),
                  QStringLiteral("Informationen über das Programm"), [this] { About1Click(); });
}

void TSDIAppForm::buildToolBar() {
    QToolBar* bar = editor_->speedBar();
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
    NewBtn = button(QStringLiteral("Neu..."), "NewBtn", QStringLiteral("Neue Datei erstellen"),
                    [this] { Neu1Click(); });
    SpeedItem4 = button(QStringLiteral("Öffnen..."), "SpeedItem4",
                        QStringLiteral("Öffnet eine Visitenkarte"), [this] { OpenItemClick(); });
    SpeedItem5 = button(QStringLiteral("Speichern"), "SpeedItem5",
                        QStringLiteral("Speichert die Vistenkarte"), [this] { SaveItemClick(); });
    SpeedItem6 = button(QStringLiteral("Hintergrund"), "SpeedItem6",
                        QStringLiteral("Hintergrund auswählen"), [this] {
                            if (backgroundCommand_) backgroundCommand_();
                        });
    // Until the background dialog is connected its two entries stay disabled.
    SpeedItem6->setEnabled(false);
    Hintergrundbild1->setEnabled(false);
}

void TSDIAppForm::buildInfoPanel() {
    InfoPanel = new QLabel(centralWidget());
    InfoPanel->setObjectName(QStringLiteral("InfoPanel"));
    InfoPanel->setFrameShape(QFrame::StyledPanel);
    InfoPanel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    InfoPanel->setIndent(166);
    InfoPanel->setMinimumHeight(24);
    // The card-format text is long; it is cut at the window's edge rather than widening it.
    InfoPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(InfoPanel);
    row->setContentsMargins(4, 3, 4, 3);
    ProgressBar1 = new QProgressBar(InfoPanel);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFixedWidth(150);
    ProgressBar1->setTextVisible(false);
    row->addWidget(ProgressBar1);
    row->addStretch(1);
    centralWidget()->layout()->addWidget(InfoPanel);
}

void TSDIAppForm::setBackgroundCommand(std::function<void()> command) {
    backgroundCommand_ = std::move(command);
    SpeedItem6->setEnabled(bool(backgroundCommand_));
    Hintergrundbild1->setEnabled(bool(backgroundCommand_));
}

QString TSDIAppForm::cardFormatCaption() const {
    return InfoPanel->text();
}

void TSDIAppForm::showCardFormatText() {
    InfoPanel->setText(cardFormatText(doc_->Format, QLocale()));
}

void TSDIAppForm::setTitleFromDocument() {
    setWindowTitle(kProductTitle + QStringLiteral(" - ") + doc_->titleName());
}

void TSDIAppForm::repaintAll() {
    views().paintBoth();
    print_->refreshPreview();
}

void TSDIAppForm::PageControl1Change(int index) {
    if (index == 0) browser_->refresh();
}

void TSDIAppForm::WMUser(int percent) {
    ProgressBar1->setValue(qBound(0, percent, 100));
}

// ---- start-up layout ----

bool TSDIAppForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

void TSDIAppForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // Platforms without window activation (offscreen) still lay the views out once.
    FormActivate();
}

void TSDIAppForm::FormActivate() {
    if (StartupLayoutPending || StartupLayoutDone) return;
    StartupLayoutPending = true;
    Timer2->start();
}

void TSDIAppForm::Timer2Timer() {
    Timer2->stop();
    views().layoutFromDocument();
    repaintAll();
    views().centreViews();
    StartupLayoutDone = true;
}

// ---- commands ----

void TSDIAppForm::runCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        showGeneralError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showGeneralError(QStringLiteral("Unbekannter Fehler"));
    }
}

void TSDIAppForm::showGeneralError(const QString& text) {
    dialogs_.message(text, kAppTitle, MsgIcon::Error, BtnOk);
}

CardFileContext& TSDIAppForm::fileContext() {
    if (!fileContext_) {
        fileContext_.reset(new CardFileContext{dialogs_, ctx_, programFolder_, {}, {}, {}});
        fileContext_->createPreview = [](CardDocument& d, RenderContext& c) {
            return CreatePreview(d, c);
        };
        fileContext_->saveCurrent = [this] { return SaveItemClick(); };
        fileContext_->progress = [this](int p) { WMUser(p); };
    }
    return *fileContext_;
}

void TSDIAppForm::Neu1Click() {
    if (StartupLayoutDone) {
        const int a = dialogs_.message(kSaveQuestion, QStringLiteral("Neue Grußkarte"),
                                       MsgIcon::Question, BtnYes | BtnNo | BtnCancel);
        if (a == BtnCancel) return;
        if (a == BtnYes && !SaveItemClick()) return;
    }
    CardFormat chosen = doc_->Format;
    if (neuForm_->runModal(chosen) != QDialog::Accepted) return;
    doc_->Format = chosen;
    doc_->clearall();
    emit documentCleared();
    setTitleFromDocument();
    showCardFormatText();
    views().layoutFromDocument();
    repaintAll();
    views().centreViews();
    emit documentReplaced();
}

void TSDIAppForm::OpenItemClick() {
    FileDialogRequest r;
    r.caption = QStringLiteral("Öffnen");
    r.directory = programFolder_;
    r.filter = kCardFilter;
    r.defaultSuffix = QStringLiteral("kar");
    const FileDialogResult res = dialogs_.openFile(r);
    if (res.path.isEmpty()) return;
    openCard(res.path);
}

bool TSDIAppForm::openCard(const QString& path) {
    const QString before = doc_->FileName;
    const bool ok = OpenItNow(*doc_, path, fileContext());
    // A damaged file stops after the document was cleared: the title says so.
    if (!ok && doc_->FileName != before) setTitleFromDocument();
    if (ok) {
        emit documentCleared();
        setTitleFromDocument();
        showCardFormatText();
        // The stored work-area size and scale size the views.
        views().PaintBox1()->resize(views().paintBoxSize());
    }
    repaintAll();
    if (ok) {
        views().centreViews();
        emit documentReplaced();
    }
    return ok;
}

void TSDIAppForm::afterSave(bool ok) {
    // The writer leaves the outside as the working side; the side tabs follow.
    editor_->syncSideTab();
    if (ok) setTitleFromDocument();
    views().paintBoth();
}

bool TSDIAppForm::SaveItemClick() {
    if (doc_->FileName.isEmpty()) return Speichernunter1Click();
    const bool ok = Saveit(*doc_, doc_->FileName, fileContext());
    afterSave(ok);
    return ok;
}

bool TSDIAppForm::Speichernunter1Click() {
    FileDialogRequest r;
    r.caption = QStringLiteral("Speichern unter");
    r.directory = programFolder_;
    r.filter = kCardFilter;
    r.defaultSuffix = QStringLiteral("kar");
    r.confirmOverwrite = false;  // the question below
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
    const bool ok = Saveit(*doc_, res.path, fileContext());
    afterSave(ok);
    return ok;
}

void TSDIAppForm::ExitItemClick() {
    const int a = dialogs_.message(kSaveQuestion, QStringLiteral("Programm beenden"),
                                   MsgIcon::Question, BtnYes | BtnNo | BtnCancel);
    if (a == BtnCancel) return;
    if (a == BtnYes && !SaveItemClick()) return;
    CloseConfirmed = true;
    close();
}

void TSDIAppForm::Etikettenformat1Click() {
    newETypForm_->fill(doc_->Format);
    if (newETypForm_->runModal() != QDialog::Accepted) return;
    doc_->Format = newETypForm_->readBack();
    showCardFormatText();
    views().layoutFromDocument();
    repaintAll();
    emit documentReplaced();
}

void TSDIAppForm::About1Click() {
    aboutBox_->exec();
}

// ---- closing ----

bool TSDIAppForm::FormCloseQuery() {
    if (browser_->workerRunning()) {
        // The walk stops; the user closes again once it has.
        browser_->requestStop();
        return false;
    }
    return true;
}

bool TSDIAppForm::FormClose() {
    if (CloseConfirmed) return true;
    const int a = dialogs_.message(kSaveQuestion, QStringLiteral("Programm beenden"),
                                   MsgIcon::Question, BtnYes | BtnNo | BtnCancel);
    if (a == BtnNo) return true;
    if (a == BtnYes) return SaveItemClick();
    return false;
}

void TSDIAppForm::closeEvent(QCloseEvent* e) {
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    bool ok = false;
    runCommand([this, &ok] { ok = FormClose(); });
    if (browser_->workerRunning()) browser_->requestStop();
    if (!ok) {
        CloseConfirmed = false;
        e->ignore();
        return;
    }
    if (options_.useSettings) saveSettings();
    e->accept();
}

// ---- settings ----

void TSDIAppForm::restoreSettings() {
    QSettings s = appSettings();
    const QByteArray geometry = s.value(QStringLiteral("FormPlacement1/Geometry")).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        resize(632, 560);
        if (const QScreen* sc = screen()) {
            const QRect avail = sc->availableGeometry();
            move(avail.center() - QPoint(width() / 2, height() / 2));
        }
    }
    print_->setCutLines(
        s.value(QStringLiteral("FormStorage1/SchneidBtn.Checked"), print_->cutLines()).toBool());
    print_->setFoldLines(
        s.value(QStringLiteral("FormStorage1/FalteCheck.Checked"), print_->foldLines()).toBool());
}

void TSDIAppForm::saveSettings() {
    QSettings s = appSettings();
    s.setValue(QStringLiteral("FormPlacement1/Geometry"), saveGeometry());
    s.setValue(QStringLiteral("FormStorage1/SchneidBtn.Checked"), print_->cutLines());
    s.setValue(QStringLiteral("FormStorage1/FalteCheck.Checked"), print_->foldLines());
    s.sync();
}

}  // namespace bb
