// The "Drucken" tab; see PrintTab.h.
#include "print/ui/PrintTab.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/ui/SheetPreview.h"
#include "print/ui/TKalForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
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

QToolButton* makeToolButton(QToolBar* bar, const char* name, const QString& text,
                            const QString& hint) {
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

}  // namespace

PrintTab::PrintTab(CardDocument& doc, RenderContext& ctx, UserDialogs& dialogs,
                   const QString& programFolder, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      ctx_(ctx),
      dialogs_(dialogs),
      programFolder_(programFolder),
      printer_(std::make_unique<PrinterTarget>()) {
    setObjectName(QStringLiteral("PrintTab"));

    // Left panel.
    UsedED = makeSpin("UsedED", kUsedMin, kUsedMax, 0);
    KopiesED = makeSpin("KopiesED", kCopiesMin, kCopiesMax, 1);
    PageEd = makeSpin("PageEd", kPageMin, kPageMax, 1);
    auto* zoomIn = new QPushButton(QStringLiteral("Vergrößern"));
    zoomIn->setObjectName(QStringLiteral("ZoominBtn"));
    zoomIn->setToolTip(QStringLiteral("Vergrößert die Druckvorschau"));
    auto* zoomOut = new QPushButton(QStringLiteral("Verkleinern"));
    zoomOut->setObjectName(QStringLiteral("ZoomOutBtn"));
    zoomOut->setToolTip(QStringLiteral("Verkleinert die Druckvorschau"));
    SchneidBtn = new QCheckBox(QStringLiteral("Schneidelinien"));
    SchneidBtn->setObjectName(QStringLiteral("SchneidBtn"));
    FalteCheck = new QCheckBox(QStringLiteral("Faltelinien"));
    FalteCheck->setObjectName(QStringLiteral("FalteCheck"));

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Schon benutzte:")));
    left->addWidget(UsedED);
    left->addWidget(new QLabel(QStringLiteral("Kopien:")));
    left->addWidget(KopiesED);
    left->addWidget(zoomIn);
    left->addWidget(zoomOut);
    left->addWidget(new QLabel(QStringLiteral("Gezeigte Seite:")));
    left->addWidget(PageEd);
    left->addWidget(SchneidBtn);
    left->addWidget(FalteCheck);
    left->addStretch();

    // Tool bar and preview.
    auto* bar = new QToolBar;
    bar->setObjectName(QStringLiteral("PrintToolBar"));
    auto* setupBtn = makeToolButton(bar, "PrintSetupBtn", QStringLiteral("Einrichten"),
                                    QStringLiteral("Richtet den Drucker ein"));
    auto* printBtn = makeToolButton(bar, "PrintBtn", QStringLiteral("Außen drucken"),
                                    QStringLiteral("Druckt die Außenseite der Karte"));
    auto* print2Btn = makeToolButton(bar, "Druck2Btn", QStringLiteral("Innen drucken"),
                                     QStringLiteral("Innenseite drucken"));
    auto* formatBtn = makeToolButton(bar, "VFormatBtn", QStringLiteral("Kartenformat"),
                                     QStringLiteral("Visitenkartenformat einstellen"));
    auto* mailBtn = makeToolButton(bar, "EMailBtn", QStringLiteral("eMail Export"),
                                   QStringLiteral("Speichert die Visitenkarte als Bitmap"));

    VPaint = new SheetPreview(doc_, ctx_);
    ScrollBox2 = new QScrollArea;
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    ScrollBox2->setBackgroundRole(QPalette::Dark);
    ScrollBox2->setWidgetResizable(false);
    ScrollBox2->setWidget(VPaint);

    auto* right = new QVBoxLayout;
    right->addWidget(bar);
    right->addWidget(ScrollBox2, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    kalForm_ = new TKalForm(programFolder_, *printer_, dialogs_, this);

    connect(UsedED, &QSpinBox::valueChanged, this, [this] { UsedEDChange(); });
    connect(KopiesED, &QSpinBox::valueChanged, this, [this] { sheetClampChange(); });
    connect(PageEd, &QSpinBox::valueChanged, this, [this] { sheetClampChange(); });
    connect(SchneidBtn, &QCheckBox::clicked, this, [this] { refreshPreview(); });
    connect(FalteCheck, &QCheckBox::clicked, this, [this] { refreshPreview(); });
    connect(zoomIn, &QPushButton::clicked, this, &PrintTab::ZoominBtnClick);
    connect(zoomOut, &QPushButton::clicked, this, &PrintTab::ZoomOutBtnClick);
    connect(setupBtn, &QToolButton::clicked, this, &PrintTab::PrintSetupClick);
    connect(printBtn, &QToolButton::clicked, this, &PrintTab::PrintClick);
    connect(print2Btn, &QToolButton::clicked, this, &PrintTab::Druck2BtnClick);
    connect(formatBtn, &QToolButton::clicked, this, &PrintTab::cardFormatRequested);
    connect(mailBtn, &QToolButton::clicked, this, &PrintTab::exportRequested);
    refreshPreview();
}

PrintTab::~PrintTab() = default;

void PrintTab::setSideSelector(std::function<void(int side)> selector) {
    sideSelector_ = std::move(selector);
}

bool PrintTab::cutLines() const {
    return SchneidBtn->isChecked();
}
void PrintTab::setCutLines(bool on) {
    SchneidBtn->setChecked(on);
    refreshPreview();
}
bool PrintTab::foldLines() const {
    return FalteCheck->isChecked();
}
void PrintTab::setFoldLines(bool on) {
    FalteCheck->setChecked(on);
    refreshPreview();
}

int PrintTab::previewZoom() const {
    return zoom_;
}
TKalForm& PrintTab::kalForm() {
    return *kalForm_;
}
PrinterTarget& PrintTab::printerTarget() {
    return *printer_;
}

PrintSettings PrintTab::settings() const {
    return PrintSettings{UsedED->value(), KopiesED->value(), PageEd->value()};
}

void PrintTab::showSettings(const PrintSettings& s) {
    const QSignalBlocker blockUsed(UsedED), blockPage(PageEd), blockCopies(KopiesED);
    UsedED->setValue(s.UsedED);
    KopiesED->setValue(s.KopiesED);
    PageEd->setValue(s.PageEd);
}

void PrintTab::UsedEDChange() {
    // The used clamp comes first, then the sheet clamp; both are part of clampSettings.
    showSettings(clampSettings(settings(), doc_.Format));
    refreshPreview();
}

void PrintTab::sheetClampChange() {
    showSettings(clampSettings(settings(), doc_.Format));
    refreshPreview();
}

void PrintTab::refreshPreview() {
    if (ctx_.Busy) return;
    const PrintSettings s = clampSettings(settings(), doc_.Format);
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
    options.cutLines = SchneidBtn->isChecked();
    options.foldLines = FalteCheck->isChecked();
    VPaint->setSheet(previewBoxSize(g.pageW, g.pageH, dpiX, dpiY, zoom_), options);
}

void PrintTab::ZoominBtnClick() {
    if (const auto z = zoomInStep(zoom_)) {
        zoom_ = *z;
        refreshPreview();
    }
}

void PrintTab::ZoomOutBtnClick() {
    if (const auto z = zoomOutStep(zoom_)) {
        zoom_ = *z;
        refreshPreview();
    }
}

void PrintTab::selectSide(int side) {
    if (sideSelector_) {
        sideSelector_(side);
    } else {
        doc_.PageControl2Change(side);
    }
}

void PrintTab::PrintClick() {
    selectSide(SideOutside);
    DruckeKarte();
}

void PrintTab::Druck2BtnClick() {
    selectSide(SideInside);
    DruckeKarte();
}

void PrintTab::DruckeKarte() {
    // Without printers the sheets go to a PDF file that the person names; cancelling that
    // question cancels the run.
    if (!printer_->chooseOutput(dialogs_)) return;
    PrintOptions options;
    options.settings = settings();
    options.cutLines = SchneidBtn->isChecked();
    options.foldLines = FalteCheck->isChecked();
    options.calibration = kalForm_->values();
    const PrintRunResult result =
        bb::DruckeKarte(printer_->printer(), doc_, ctx_, options, dialogs_);
    showSettings(result.settings);
    if (!result.ok) dialogs_.message(result.error, kAppTitle, MsgIcon::Error, BtnOk);
    emit printed();
    refreshPreview();
}

void PrintTab::PrintSetupClick() {
    QPrintDialog dialog(&printer_->printer(), this);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.exec();
    refreshPreview();
}

void PrintTab::calibrate() {
    // The dialog writes "options.dat" itself whenever it closes.
    kalForm_->exec();
}

}  // namespace bb
