// The "Drucken" tab; see PrintTab.h.
#include "print/ui/PrintTab.h"

#include "document/CardDocument.h"
#include "document/CardPaper.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "merge/MergeSession.h"
#include "merge/ui/RecordBar.h"
#include "print/CupsQueue.h"
#include "print/DuplexPrinter.h"
#include "print/JobWatcher.h"
#include "print/PrintRun.h"
#include "print/PrintServiceAsker.h"
#include "print/PrinterTarget.h"
#include "print/QuarterFold.h"
#include "print/ui/CalibrationDialog.h"
#include "print/ui/SheetPreview.h"
#include "print/ui/TurnSheetsDialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace bb {

namespace {

QSpinBox* makeSpin(const char* name, int min, int max, int value) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QLatin1String(name));
    spin->setRange(min, max);
    spin->setValue(value);
    return spin;
}

// How long the tab follows a job in its queue: a printer may well need minutes.
constexpr int kJobFollowMs = 10 * 60 * 1000;

const QString kQuarterFoldHint =
    QStringLiteral("Druckt Außen- und Innenseite auf eine Seite des Bogens, zweimal zu falten");

// A text-only button whose tip also shows in the status line.
QToolButton* makeButton(const char* name, const QString& text, const QString& hint) {
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QToolButton* makeToolButton(QToolBar* bar, const char* name, const QString& text,
                            const QString& hint) {
    QToolButton* button = makeButton(name, text, hint);
    bar->addWidget(button);
    return button;
}

}  // namespace

PrintTab::PrintTab(const CardDocument& doc, const RenderContext& ctx, UserDialogs& dialogs,
                   const QString& programFolder, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      ctx_(ctx),
      dialogs_(dialogs),
      programFolder_(programFolder),
      printer_(std::make_unique<PrinterTarget>()) {
    setObjectName(QStringLiteral("PrintTab"));
    QVBoxLayout* left = buildSettingsColumn();
    addSheetButtons(left);
    QVBoxLayout* right = buildPreviewColumn();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    calibrationDialog_ = new CalibrationDialog(programFolder_, *printer_, dialogs_, this);
    quarterFoldBtn_->installEventFilter(this);
    takeCardPaper();

    // The printers are asked for in the background: the tab is there at once, on the PDF path
    // until the answer names a default printer.
    serviceAsker_ = new PrintServiceAsker(this);
    connect(serviceAsker_, &PrintServiceAsker::answered, this, &PrintTab::serviceAnswered);
    serviceAsker_->ask();
}

QVBoxLayout* PrintTab::buildSettingsColumn() {
    usedEdit_ = makeSpin("UsedED", kUsedMin, kUsedMax, 0);
    copiesEdit_ = makeSpin("KopiesED", kCopiesMin, kCopiesMax, 1);
    sheetEdit_ = makeSpin("PageEd", kPageMin, kPageMax, 1);
    auto* zoomIn = new QPushButton(QStringLiteral("Vergrößern"));
    zoomIn->setObjectName(QStringLiteral("ZoominBtn"));
    zoomIn->setToolTip(QStringLiteral("Vergrößert die Druckvorschau"));
    zoomIn->setStatusTip(zoomIn->toolTip());
    auto* zoomOut = new QPushButton(QStringLiteral("Verkleinern"));
    zoomOut->setObjectName(QStringLiteral("ZoomOutBtn"));
    zoomOut->setToolTip(QStringLiteral("Verkleinert die Druckvorschau"));
    zoomOut->setStatusTip(zoomOut->toolTip());
    cutLinesCheck_ = new QCheckBox(QStringLiteral("Schneidelinien"));
    cutLinesCheck_->setObjectName(QStringLiteral("SchneidBtn"));
    cutLinesCheck_->setStatusTip(
        QStringLiteral("Druckt Linien, an denen die Karten geschnitten werden"));
    foldLinesCheck_ = new QCheckBox(QStringLiteral("Faltelinien"));
    foldLinesCheck_->setObjectName(QStringLiteral("FalteCheck"));
    foldLinesCheck_->setStatusTip(
        QStringLiteral("Druckt Linien, an denen die Karten gefaltet werden"));

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Schon benutzte:")));
    left->addWidget(usedEdit_);
    left->addWidget(new QLabel(QStringLiteral("Kopien:")));
    left->addWidget(copiesEdit_);
    left->addWidget(zoomIn);
    left->addWidget(zoomOut);
    left->addWidget(new QLabel(QStringLiteral("Gezeigte Seite:")));
    left->addWidget(sheetEdit_);
    left->addWidget(cutLinesCheck_);
    left->addWidget(foldLinesCheck_);

    connect(usedEdit_, &QSpinBox::valueChanged, this, [this] { usedPositionsChanged(); });
    connect(copiesEdit_, &QSpinBox::valueChanged, this, [this] { sheetSettingsChanged(); });
    connect(sheetEdit_, &QSpinBox::valueChanged, this, [this] { sheetSettingsChanged(); });
    connect(cutLinesCheck_, &QCheckBox::clicked, this, [this] { refreshPreview(); });
    connect(foldLinesCheck_, &QCheckBox::clicked, this, [this] { refreshPreview(); });
    connect(zoomIn, &QPushButton::clicked, this, &PrintTab::zoomIn);
    connect(zoomOut, &QPushButton::clicked, this, &PrintTab::zoomOut);
    return left;
}

void PrintTab::addSheetButtons(QVBoxLayout* left) {
    // The further ways of printing sit below the settings: the tool bar keeps its own commands
    // in their usual order, so a click by habit on its second button prints the outside.
    const auto sheetButton = [left](const char* name, const QString& text, const QString& hint) {
        QToolButton* button = makeButton(name, text, hint);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        left->addWidget(button);
        return button;
    };
    left->addSpacing(8);
    auto* bothSidesBtn =
        sheetButton("BeideSeitenBtn", QStringLiteral("Beide Seiten drucken"),
                    QStringLiteral("Druckt Außen- und Innenseite auf Vorder- und Rückseite"));
    auto* alignmentBtn =
        sheetButton("AusrichtungBtn", QStringLiteral("Ausrichtungsseite drucken"),
                    QStringLiteral("Druckt ein Blatt mit Kreuzen auf beiden Seiten, die zeigen, "
                                   "wie der Drucker die Blätter wendet"));
    quarterFoldBtn_ =
        sheetButton("ViertelfalzBtn", QStringLiteral("Viertelfalz"), kQuarterFoldHint);
    auto* mergeBtn = sheetButton("SerienkartenBtn", QStringLiteral("Serienkarten"),
                                 QStringLiteral("Druckt persönliche Karten aus einer Adressliste"));
    left->addStretch();
    serviceLabel_ = new QLabel(kServiceSilentText);
    serviceLabel_->setObjectName(QStringLiteral("DruckdienstLabel"));
    serviceLabel_->setWordWrap(true);
    serviceLabel_->setVisible(false);
    left->addWidget(serviceLabel_);

    connect(bothSidesBtn, &QToolButton::clicked, this, &PrintTab::printBothSides);
    connect(alignmentBtn, &QToolButton::clicked, this, &PrintTab::printAlignmentSheet);
    connect(mergeBtn, &QToolButton::clicked, this, &PrintTab::mergeRequested);
    connect(quarterFoldBtn_, &QToolButton::clicked, this, &PrintTab::printQuarterFold);
}

QVBoxLayout* PrintTab::buildPreviewColumn() {
    auto* bar = new QToolBar;
    bar->setObjectName(QStringLiteral("PrintToolBar"));
    auto* setupBtn = makeToolButton(bar, "PrintSetupBtn", QStringLiteral("Einrichten"),
                                    QStringLiteral("Richtet den Drucker ein"));
    auto* printBtn = makeToolButton(bar, "PrintBtn", QStringLiteral("Außen drucken"),
                                    QStringLiteral("Druckt die Außenseite der Karte"));
    auto* printInsideButton = makeToolButton(bar, "Druck2Btn", QStringLiteral("Innen drucken"),
                                             QStringLiteral("Innenseite drucken"));
    auto* formatBtn = makeToolButton(bar, "VFormatBtn", QStringLiteral("Kartenformat"),
                                     QStringLiteral("Visitenkartenformat einstellen"));
    auto* mailBtn = makeToolButton(bar, "EMailBtn", QStringLiteral("eMail Export"),
                                   QStringLiteral("Speichert die Visitenkarte als Bitmap"));

    preview_ = new SheetPreview(doc_, ctx_);
    previewScroll_ = new QScrollArea;
    previewScroll_->setObjectName(QStringLiteral("ScrollBox2"));
    previewScroll_->setBackgroundRole(QPalette::Dark);
    previewScroll_->setWidgetResizable(false);
    // A sheet smaller than the tab sits in its middle.
    previewScroll_->setAlignment(Qt::AlignCenter);
    previewScroll_->setWidget(preview_);

    auto* right = new QVBoxLayout;
    right->addWidget(bar);
    right->addWidget(previewScroll_, 1);
    previewColumn_ = right;

    connect(setupBtn, &QToolButton::clicked, this, &PrintTab::setUpPrinter);
    connect(printBtn, &QToolButton::clicked, this, &PrintTab::printOutside);
    connect(printInsideButton, &QToolButton::clicked, this, &PrintTab::printInside);
    connect(formatBtn, &QToolButton::clicked, this, &PrintTab::cardFormatRequested);
    connect(mailBtn, &QToolButton::clicked, this, &PrintTab::exportRequested);
    return right;
}

void PrintTab::serviceAnswered(const PrintService& service) {
    serviceState_ = service.state;
    const bool silent = service.state == ServiceState::Silent;
    serviceLabel_->setVisible(silent);
    if (silent) emit statusNote(kServiceSilentText);
    // Not in the middle of a run: it keeps the target it started with.
    if (!printing_ && printer_->useDefaultPrinter(service.defaultPrinter)) takeCardPaper();
    emit printServiceKnown();
}

void PrintTab::waitForService() {
    if (!serviceAsker_->asking()) return;
    waitingForService_ = true;
    const auto done = qScopeGuard([this] { waitingForService_ = false; });
    emit statusNote(QStringLiteral("Der Druckdienst wird gefragt..."));
    // The question ends within its time limit; so does this wait.
    QEventLoop loop;
    connect(this, &PrintTab::printServiceKnown, &loop, &QEventLoop::quit);
    if (serviceAsker_->asking()) loop.exec();
}

PrintTab::~PrintTab() = default;

void PrintTab::setSideSelector(std::function<void(int side)> selector) {
    sideSelector_ = std::move(selector);
}

bool PrintTab::cutLines() const {
    return cutLinesCheck_->isChecked();
}
void PrintTab::setCutLines(bool on) {
    cutLinesCheck_->setChecked(on);
    refreshPreview();
}
bool PrintTab::foldLines() const {
    return foldLinesCheck_->isChecked();
}
void PrintTab::setFoldLines(bool on) {
    foldLinesCheck_->setChecked(on);
    refreshPreview();
}

int PrintTab::previewZoom() const {
    return zoom_;
}
CalibrationDialog& PrintTab::calibrationDialog() {
    return *calibrationDialog_;
}
PrinterTarget& PrintTab::printerTarget() {
    return *printer_;
}

PrintSettings PrintTab::settings() const {
    return PrintSettings{usedEdit_->value(), copiesEdit_->value(), sheetEdit_->value()};
}

void PrintTab::showSettings(const PrintSettings& s) {
    const QSignalBlocker blockUsed(usedEdit_), blockPage(sheetEdit_), blockCopies(copiesEdit_);
    usedEdit_->setValue(s.usedPositions);
    copiesEdit_->setValue(s.copies);
    sheetEdit_->setValue(s.shownSheet);
}

void PrintTab::usedPositionsChanged() {
    // The used clamp comes first, then the sheet clamp; both are part of clampSettings.
    showSettings(clampSettings(settings(), doc_.format));
    refreshPreview();
}

void PrintTab::sheetSettingsChanged() {
    showSettings(clampSettings(settings(), doc_.format));
    refreshPreview();
}

void PrintTab::refreshPreview() {
    updateQuarterFold();
    const PrintSettings s = clampSettings(settings(), doc_.format);
    showSettings(s);

    const QPrinter& printer = printer_->printer();
    const int dpiX = printer.logicalDpiX();
    const int dpiY = printer.logicalDpiY();
    if (dpiX != dpiY)
        dialogs_.message(kUnequalResolutionText, QStringLiteral("Fehler"), MsgIcon::Information,
                         BtnOk);
    const DeviceGeometry g = printer_->geometry();
    PreviewOptions options;
    options.settings = s;
    options.zoom = zoom_;
    options.cutLines = cutLinesCheck_->isChecked();
    options.foldLines = foldLinesCheck_->isChecked();
    if (quarterFoldHovered_ && quarterFoldBtn_->isEnabled())
        options.quarterFoldPaperMm = paperSizeMm(printer_->printer());
    preview_->setSheet(previewBoxSize(g.pageW, g.pageH, dpiX, dpiY, zoom_), options);
}

void PrintTab::zoomIn() {
    if (const auto z = zoomInStep(zoom_)) {
        zoom_ = *z;
        refreshPreview();
    }
}

void PrintTab::zoomOut() {
    if (const auto z = zoomOutStep(zoom_)) {
        zoom_ = *z;
        refreshPreview();
    }
}

void PrintTab::setPictures(std::shared_ptr<const PicturePixels> pictures) {
    preview_->setPictures(std::move(pictures));
}

void PrintTab::repaintPreview() {
    preview_->update();
}

void PrintTab::setSideSource(std::function<int()> source) {
    preview_->setSideSource(std::move(source));
}

void PrintTab::selectSide(int side) {
    if (printing_) return;  // a run is drawing the card: its side stays
    // The editor shows the side that is printed.
    if (sideSelector_) sideSelector_(side);
}

void PrintTab::printOutside() {
    selectSide(SideOutside);
    printCards(SideOutside);
}

void PrintTab::printInside() {
    selectSide(SideInside);
    printCards(SideInside);
}

void PrintTab::printCards(int side) {
    waitForService();  // the default printer may still be on its way
    const PrintOptions options = currentOptions();
    const PrintRunResult result = runJob(sideJob(doc_, side, options, printer_->geometry()));
    if (result.ok || !result.error.isEmpty())
        showSettings(clampSettings(options.settings, doc_.format));
}

PrintRunResult PrintTab::printMerge(const MergeRun& merge, MergeSides sides) {
    waitForService();  // the default printer may still be on its way
    const PrintOptions options = currentOptions();
    PrintRunResult result;
    if (sides == MergeSides::Both) {
        const DeviceGeometry geometry = printer_->geometry();
        result = runTwoSided([&](TurnAxis axis) {
            return twoSidedJob(doc_.format, options, geometry, axis, &merge);
        });
    } else {
        const int side = sides == MergeSides::Inside ? SideInside : SideOutside;
        selectSide(side);
        result = runJob(sideJob(doc_, side, options, printer_->geometry(), &merge));
    }
    if (result.ok || !result.error.isEmpty())
        showSettings(clampSettings(options.settings, doc_.format));
    return result;
}

void PrintTab::setMergeSession(MergeSession& session) {
    merge_ = &session;
    auto* records = new RecordBar(session, this);
    records->setObjectName(QStringLiteral("PrintRecordBar"));
    previewColumn_->insertWidget(1, records);
}

PrintOptions PrintTab::currentOptions() const {
    PrintOptions options;
    options.settings = settings();
    options.cutLines = cutLinesCheck_->isChecked();
    options.foldLines = foldLinesCheck_->isChecked();
    options.calibration = calibrationDialog_->values();
    return options;
}

PrintRunResult PrintTab::runJob(const PrintJob& job) {
    // The progress dialog lets events run between pages: no second run starts meanwhile.
    if (printing_ || waitingForService_) return {};
    waitForService();
    // Without printers the sheets go to a PDF file that the person names; cancelling that
    // question cancels the run. The first time in a program run, it says why.
    if (printer_->isPdf() && !noPrinterNoticeShown_) {
        noPrinterNoticeShown_ = true;
        dialogs_.message(
            serviceState_ == ServiceState::Silent ? kServiceSilentNotice : kNoPrinterNotice,
            kAppTitle, MsgIcon::Information, BtnOk);
    }
    if (!printer_->chooseOutput(dialogs_)) return {};
    // On a real printer the run counts once the queue has printed its job: the tab follows it.
    const std::optional<int> jobsBefore = jobsBeforeRun();
    PrintRunResult result;
    {
        // The print commands are off for the run, and on again however it ends.
        QToolBar* commands = findChild<QToolBar*>(QStringLiteral("PrintToolBar"));
        if (commands) commands->setEnabled(false);
        printing_ = true;
        const auto restore = qScopeGuard([this, commands] {
            printing_ = false;
            if (commands) commands->setEnabled(true);
        });
        PrintProgressDialog progress(window(), job.pagesPerSheet, progressDelayMs_, pageHook_);
        result = bb::runPrintJob(printer_->printer(), doc_, ctx_, job, dialogs_, &progress);
    }
    if (result.cancelled) {
        dialogs_.message(result.error, kAppTitle, MsgIcon::Information, BtnOk);
    } else if (!result.ok) {
        dialogs_.message(result.error, kAppTitle, MsgIcon::Error, BtnOk);
    } else if (jobsBefore) {
        followJob(*jobsBefore, job.title);
    }
    emit printed();
    refreshPreview();
    return result;
}

void PrintTab::setTurnSheetsAsker(std::function<bool()> asker) {
    turnSheetsAsker_ = std::move(asker);
}

void PrintTab::setDuplexModesOverride(std::optional<QList<QPrinter::DuplexMode>> modes) {
    duplexModesOverride_ = std::move(modes);
}

void PrintTab::printBothSides() {
    // With a list every chosen row gets its card, not only the record shown.
    if (merge_ && merge_->hasList()) {
        QString why;
        const std::optional<MergePlan> plan = merge_->plan(&why);
        if (!plan) {
            dialogs_.message(why, kAppTitle, MsgIcon::Information, BtnOk);
            return;
        }
        printMerge(MergeRun{merge_->list(), *plan}, MergeSides::Both);
        return;
    }
    waitForService();  // the default printer may still be on its way
    const PrintOptions options = currentOptions();
    const DeviceGeometry geometry = printer_->geometry();
    const PrintRunResult result = runTwoSided(
        [&](TurnAxis axis) { return twoSidedJob(doc_.format, options, geometry, axis); });
    if (result.ok || !result.error.isEmpty())
        showSettings(clampSettings(options.settings, doc_.format));
}

void PrintTab::printAlignmentSheet() {
    waitForService();  // the default printer may still be on its way
    const Calibration calibration = calibrationDialog_->values();
    const DeviceGeometry geometry = printer_->geometry();
    runTwoSided([&](TurnAxis axis) { return alignmentJob(geometry, calibration, axis); });
}

PrintRunResult PrintTab::runTwoSided(const std::function<PrintJob(TurnAxis)>& makeJob) {
    QPrinter& printer = printer_->printer();
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    // A PDF file holds the pages as a duplex job would send them, turned about the long edge.
    if (!duplexModesOverride_ && printer_->isPdf())
        return runJob(makeJob(turnAxis(FlipEdge::Long, orientation)));
    const DuplexChoice choice =
        chooseDuplex(duplexModesOverride_.value_or(printerDuplexModes(printer)), orientation);
    if (choice.mode != QPrinter::DuplexNone) {
        const DuplexForRun duplex(printer, choice.mode);
        if (duplex.applied()) return runJob(makeJob(choice.axis));
    }
    // Turned by hand like a book page, the insides go where "Innen drucken" puts them.
    const SplitJobs split = splitSides(makeJob(TurnAxis::Vertical));
    PrintRunResult fronts = runJob(split.fronts);
    if (!fronts.ok) return fronts;
    const bool turned = turnSheetsAsker_ ? turnSheetsAsker_() : [this] {
        TurnSheetsDialog dialog(this);
        return dialog.exec() == QDialog::Accepted;
    }();
    if (!turned) return fronts;
    return runJob(split.backs);
}

QString PrintTab::quarterFoldRefusal() const {
    return quarterFoldFits(doc_.format, paperSizeMm(printer_->printer()))
               ? QString()
               : kQuarterFoldTooLargeText;
}

void PrintTab::updateQuarterFold() {
    const QString refusal = quarterFoldRefusal();
    quarterFoldBtn_->setEnabled(refusal.isEmpty());
    quarterFoldBtn_->setToolTip(refusal.isEmpty() ? kQuarterFoldHint : refusal);
    quarterFoldBtn_->setStatusTip(quarterFoldBtn_->toolTip());
}

bool PrintTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == quarterFoldBtn_ &&
        (event->type() == QEvent::Enter || event->type() == QEvent::Leave)) {
        quarterFoldHovered_ = event->type() == QEvent::Enter;
        refreshPreview();
    }
    return QWidget::eventFilter(watched, event);
}

void PrintTab::printQuarterFold() {
    waitForService();
    // Also reached from the window's menu: a card too large for half the sheet is refused.
    if (const QString refusal = quarterFoldRefusal(); !refusal.isEmpty()) {
        dialogs_.message(refusal, kAppTitle, MsgIcon::Information, BtnOk);
        return;
    }
    runJob(quarterFoldJob(doc_.format, currentOptions(), printer_->geometry(),
                          paperSizeMm(printer_->printer())));
}

std::optional<int> PrintTab::jobsBeforeRun() const {
    if (printer_->isPdf()) return std::nullopt;
    return cups::highestJobId(printer_->printer().printerName());
}

void PrintTab::followJob(int jobsBefore, const QString& title) {
    const QString queue = printer_->printer().printerName();
    auto* watcher = new JobWatcher(this);
    connect(watcher, &JobWatcher::finished, this, [this, watcher, queue](const JobOutcome& o) {
        watcher->deleteLater();
        switch (o.kind) {
            case JobOutcome::Completed:
                emit statusNote(QStringLiteral("Der Druckauftrag wurde gedruckt (%1).").arg(queue));
                break;
            case JobOutcome::TimedOut:
                emit statusNote(
                    QStringLiteral("Der Druckauftrag wartet noch in der Warteschlange von %1.")
                        .arg(queue));
                break;
            default:
                dialogs_.message(
                    QStringLiteral("Der Druckauftrag ist fehlgeschlagen: %1")
                        .arg(o.reason.isEmpty() ? QStringLiteral("unbekannter Grund") : o.reason),
                    kAppTitle, MsgIcon::Error, BtnOk);
                break;
        }
        emit jobFollowed(o);
    });
    watcher->follow(queue, jobsBefore, title, kJobFollowMs);
}

void PrintTab::takeCardPaper() {
    // Not while a run draws its pages: the next card's paper waits for the next call.
    // A type of the starter list names its paper; any other keeps the printer's paper when
    // its cards fit there. The orientation chosen in "Einrichten" stays where the cards fit.
    if (!printing_)
        printer_->useCardPaper(
            cardPaperOnPrinter(doc_.format, printer_->printer().pageLayout().pageSize().id(),
                               chosenOrientation_.value_or(QPageLayout::Portrait)));
    refreshPreview();
}

void PrintTab::setUpPrinter() {
    // Qt's set-up dialog lists the service's printers and would wait on a silent one for good.
    if (waitingForService_ || printing_) return;
    waitForService();
    if (serviceState_ == ServiceState::Silent) {
        dialogs_.message(QStringLiteral("Der Druckdienst antwortet nicht. Der Drucker kann "
                                        "jetzt nicht eingerichtet werden."),
                         kAppTitle, MsgIcon::Information, BtnOk);
        return;
    }
    QPrintDialog dialog(&printer_->printer(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() == QDialog::Accepted) keepPrinterChoice();
    // The dialog may have switched between a printer and a PDF file.
    printer_->matchPrintableArea();
    refreshPreview();
}

void PrintTab::keepPrinterChoice() {
    printer_->noteChosen();
    chosenOrientation_ = printer_->printer().pageLayout().orientation();
}

void PrintTab::calibrate() {
    // The dialog writes "options.dat" itself whenever it closes.
    calibrationDialog_->exec();
}

}  // namespace bb
