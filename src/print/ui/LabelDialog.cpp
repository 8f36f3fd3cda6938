// "Etiketten drucken"; see LabelDialog.h.
#include "print/ui/LabelDialog.h"

#include "document/UserDialogs.h"
#include "merge/MergeSession.h"
#include "pictures/AtomicWrite.h"
#include "print/PrinterTarget.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstring>

namespace bb {

namespace {

const QString kSheetKey = QStringLiteral("Etiketten/Bogen");
const QString kTemplateKey = QStringLiteral("Etiketten/Vorlage");
const QString kCustomCaption = QStringLiteral("Eigenes Format...");
constexpr int kPreviewMargin = 6;

}  // namespace

// ---- the preview ----

LabelSheetPreview::LabelSheetPreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("labelPreview"));
    setMinimumSize(240, 340);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip(
        QStringLiteral("Ein Klick auf ein Etikett markiert es und alle davor als "
                       "schon verbraucht; ein Klick auf ein verbrauchtes gibt es frei."));
}

void LabelSheetPreview::setJob(const LabelJob& job) {
    job_ = job;
    update();
}

QSize LabelSheetPreview::sizeHint() const {
    return {300, 424};
}

double LabelSheetPreview::pxPerMm() const {
    const QSizeF paper = job_.sheet.paperMm;
    if (paper.isEmpty()) return 1;
    return std::min((width() - 2 * kPreviewMargin) / paper.width(),
                    (height() - 2 * kPreviewMargin) / paper.height());
}

QPointF LabelSheetPreview::sheetOrigin() const {
    const double k = pxPerMm();
    const QSizeF paper = job_.sheet.paperMm * k;
    return {(width() - paper.width()) / 2, (height() - paper.height()) / 2};
}

QRectF LabelSheetPreview::labelRect(int position) const {
    const double k = pxPerMm();
    const QRectF mm = job_.sheet.labelRectMm(position);
    return {sheetOrigin() + mm.topLeft() * k, mm.size() * k};
}

void LabelSheetPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const double k = pxPerMm();
    painter.translate(sheetOrigin());
    painter.fillRect(QRectF(QPointF(0, 0), job_.sheet.paperMm * k), Qt::white);
    painter.setPen(QPen(Qt::darkGray, 0));
    painter.drawRect(QRectF(QPointF(0, 0), job_.sheet.paperMm * k));
    paintLabelPage(painter, job_, 0, k, {true, true});
}

void LabelSheetPreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    for (int p = 0; p < job_.sheet.perSheet(); ++p) {
        if (!labelRect(p).contains(event->position())) continue;
        // The last label of the sheet always stays free, as for cards.
        const int used = p < job_.used ? p : std::min(p + 1, job_.sheet.perSheet() - 1);
        emit usedChosen(used);
        return;
    }
}

// ---- the own sheet ----

CustomSheetDialog::CustomSheetDialog(const LabelSheet& sheet, QWidget* parent)
    : QDialog(parent), base_(sheet) {
    setObjectName(QStringLiteral("CustomSheetDialog"));
    setWindowTitle(QStringLiteral("Eigenes Etikettenformat"));
    auto* form = new QFormLayout;
    const auto length = [&](const char* name, const QString& caption, double value) {
        auto* box = new QDoubleSpinBox;
        box->setObjectName(QLatin1String(name));
        box->setRange(0, 500);
        box->setDecimals(2);
        box->setSuffix(QStringLiteral(" mm"));
        box->setValue(value);
        connect(box, &QDoubleSpinBox::valueChanged, this, &CustomSheetDialog::check);
        form->addRow(caption, box);
        fields_.append(box);
    };
    const auto count = [&](const char* name, const QString& caption, int value) {
        auto* box = new QSpinBox;
        box->setObjectName(QLatin1String(name));
        box->setRange(1, 40);
        box->setValue(value);
        connect(box, &QSpinBox::valueChanged, this, &CustomSheetDialog::check);
        form->addRow(caption, box);
        fields_.append(box);
    };
    length("breite", QStringLiteral("Etikett &Breite:"), sheet.labelMm.width());
    length("hoehe", QStringLiteral("Etikett &Höhe:"), sheet.labelMm.height());
    length("randLinks", QStringLiteral("Rand &links:"), sheet.marginMm.x());
    length("randOben", QStringLiteral("Rand &oben:"), sheet.marginMm.y());
    length("abstandX", QStringLiteral("Abstand &waagerecht (Etikettanfang zu Etikettanfang):"),
           sheet.pitchMm.x());
    length("abstandY", QStringLiteral("Abstand &senkrecht:"), sheet.pitchMm.y());
    count("spalten", QStringLiteral("Etiketten &nebeneinander:"), sheet.columns);
    count("zeilen", QStringLiteral("Etiketten &untereinander:"), sheet.rows);
    length("eckenradius", QStringLiteral("&Eckenradius:"), sheet.cornerMm);
    problem_ = new QLabel;
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Maße eines A4-Bogens in Millimetern, gemessen "
                                  "von der linken oberen Ecke des Blatts:")));
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    check();
}

LabelSheet CustomSheetDialog::sheet() const {
    const auto length = [this](int i) { return static_cast<QDoubleSpinBox*>(fields_[i])->value(); };
    const auto count = [this](int i) { return static_cast<QSpinBox*>(fields_[i])->value(); };
    LabelSheet s = base_;
    s.id = kCustomLabelSheetId;
    s.products.clear();
    s.labelMm = {length(0), length(1)};
    s.marginMm = {length(2), length(3)};
    s.pitchMm = {length(4), length(5)};
    s.columns = count(6);
    s.rows = count(7);
    s.cornerMm = length(8);
    s.name = QStringLiteral("Eigenes Format, %1 × %2 Etiketten").arg(s.columns).arg(s.rows);
    return s;
}

QString CustomSheetDialog::problem() const {
    return labelSheetProblem(sheet());
}

void CustomSheetDialog::check() {
    const QString why = problem();
    problem_->setText(why);
    problem_->setVisible(!why.isEmpty());
    ok_->setEnabled(why.isEmpty());
}

// ---- the dialog ----

LabelDialog::LabelDialog(MergeSession& session, UserDialogs& dialogs, QSettings* settings,
                         PrinterTarget* printer, QWidget* parent)
    : QDialog(parent),
      session_(session),
      dialogs_(dialogs),
      settings_(settings),
      printer_(printer),
      runModal_([](QDialog& d) { return d.exec(); }) {
    setObjectName(QStringLiteral("LabelDialog"));
    setWindowTitle(QStringLiteral("Etiketten drucken"));

    sheetCombo_ = new QComboBox;
    sheetCombo_->setObjectName(QStringLiteral("sheetCombo"));
    for (const LabelSheet& s : labelSheets()) sheetCombo_->addItem(s.displayName(), s.id);
    sheetCombo_->addItem(kCustomCaption, kCustomLabelSheetId);
    // The long sheet names do not widen the dialog beyond a small screen.
    sheetCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    sheetCombo_->setMinimumContentsLength(24);
    customButton_ = new QPushButton(QStringLiteral("Format &bearbeiten..."));
    customButton_->setObjectName(QStringLiteral("customSheetButton"));
    used_ = new QSpinBox;
    used_->setObjectName(QStringLiteral("usedSpin"));
    copies_ = new QSpinBox;
    copies_->setObjectName(QStringLiteral("copiesSpin"));
    copies_->setRange(kMergeCopiesMin, kMergeCopiesMax);
    template_ = new QPlainTextEdit;
    template_->setObjectName(QStringLiteral("templateEdit"));
    template_->setTabChangesFocus(true);
    template_->setMaximumHeight(template_->fontMetrics().lineSpacing() * 8);
    QString tmpl = kDefaultLabelTemplate;
    if (settings_) tmpl = settings_->value(kTemplateKey, tmpl).toString();
    template_->setPlainText(tmpl);
    auto* standard = new QPushButton(QStringLiteral("&Standardvorlage"));
    standard->setObjectName(QStringLiteral("standardTemplateButton"));
    preview_ = new LabelSheetPreview;
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);

    printButton_ = new QPushButton(QStringLiteral("&Drucken"));
    printButton_->setObjectName(QStringLiteral("printButton"));
    pdfButton_ = new QPushButton(QStringLiteral("Als &PDF..."));
    pdfButton_->setObjectName(QStringLiteral("pdfButton"));
    auto* close = new QPushButton(QStringLiteral("Schließen"));
    close->setObjectName(QStringLiteral("closeButton"));
    layOut(standard, close);

    int index = 0;
    if (settings_) {
        const int found = sheetCombo_->findData(settings_->value(kSheetKey).toString());
        if (found >= 0) index = found;
    }
    sheetCombo_->setCurrentIndex(index);
    sheetChosen(index);

    connectControls(standard, close);
}

void LabelDialog::layOut(QPushButton* standard, QPushButton* close) {
    auto* sheetRow = new QHBoxLayout;
    sheetRow->addWidget(sheetCombo_, 1);
    sheetRow->addWidget(customButton_);
    auto* form = new QFormLayout;
    // Rows whose field is a layout get their label's buddy by hand, for the letter to work.
    auto* sheetLabel = new QLabel(QStringLiteral("&Etikettenbogen:"));
    sheetLabel->setBuddy(sheetCombo_);
    form->addRow(sheetLabel, sheetRow);
    form->addRow(QStringLiteral("Schon &verbrauchte Etiketten:"), used_);
    form->addRow(QStringLiteral("Etiketten &je Adresse:"), copies_);
    auto* templateBox = new QVBoxLayout;
    templateBox->addWidget(template_);
    templateBox->addWidget(standard, 0, Qt::AlignLeft);
    auto* templateLabel = new QLabel(QStringLiteral("&Anschrift:"));
    templateLabel->setBuddy(template_);
    form->addRow(templateLabel, templateBox);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(summary_);
    left->addWidget(status_);
    left->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(printButton_);
    buttons->addWidget(pdfButton_);
    buttons->addWidget(close);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addWidget(preview_, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
}

void LabelDialog::connectControls(QPushButton* standard, QPushButton* close) {
    connect(sheetCombo_, &QComboBox::activated, this, [this](int i) {
        // Choosing the own format (again) opens its measures.
        if (sheetCombo_->itemData(i).toString() == kCustomLabelSheetId) editCustomSheet();
        sheetChosen(i);
    });
    connect(customButton_, &QPushButton::clicked, this, [this] {
        editCustomSheet();
        sheetChosen(sheetCombo_->currentIndex());
    });
    connect(used_, &QSpinBox::valueChanged, this, &LabelDialog::refresh);
    connect(copies_, &QSpinBox::valueChanged, this, &LabelDialog::refresh);
    connect(template_, &QPlainTextEdit::textChanged, this, [this] {
        if (settings_) settings_->setValue(kTemplateKey, template_->toPlainText());
        refresh();
    });
    connect(standard, &QPushButton::clicked, this,
            [this] { template_->setPlainText(kDefaultLabelTemplate); });
    connect(preview_, &LabelSheetPreview::usedChosen, used_, &QSpinBox::setValue);
    connect(printButton_, &QPushButton::clicked, this, &LabelDialog::print);
    connect(pdfButton_, &QPushButton::clicked, this, &LabelDialog::savePdf);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

int LabelDialog::used() const {
    return used_->value();
}

int LabelDialog::copies() const {
    return copies_->value();
}

QString LabelDialog::labelTemplate() const {
    return template_->toPlainText();
}

void LabelDialog::prepare() {
    const QSignalBlocker block(copies_);
    copies_->setValue(session_.copies());
    status_->clear();
    refresh();
}

void LabelDialog::sheetChosen(int index) {
    const QString id = sheetCombo_->itemData(index).toString();
    if (id == kCustomLabelSheetId) {
        sheet_ = settings_ ? customLabelSheet(*settings_) : sheet_;
    } else if (const LabelSheet* s = findLabelSheet(id)) {
        sheet_ = *s;
    }
    customButton_->setEnabled(id == kCustomLabelSheetId);
    if (settings_) settings_->setValue(kSheetKey, id);
    const QSignalBlocker block(used_);
    used_->setRange(0, std::max(0, sheet_.perSheet() - 1));
    refresh();
}

void LabelDialog::editCustomSheet() {
    LabelSheet start = settings_ ? customLabelSheet(*settings_) : sheet_;
    CustomSheetDialog editor(start, this);
    if (runModal_(editor) != QDialog::Accepted || !editor.problem().isEmpty()) return;
    const LabelSheet chosen = editor.sheet();
    if (settings_) storeCustomLabelSheet(*settings_, chosen);
    sheet_ = chosen;
    sheetCombo_->setCurrentIndex(sheetCombo_->findData(kCustomLabelSheetId));
}

void LabelDialog::refresh() {
    planError_.clear();
    const std::optional<MergePlan> plan = session_.plan(&planError_);
    plan_ = plan.value_or(MergePlan{});
    plan_.copies = copies_->value();
    const QString problem = labelSheetProblem(sheet_);
    if (session_.hasList() && plan && problem.isEmpty())
        job_ = labelJob(sheet_, used_->value(), *session_.list(), plan_, labelTemplate());
    else
        job_ = labelJob(sheet_, used_->value(), AddressList{}, MergePlan{}, labelTemplate());
    preview_->setJob(job_);
    QString text;
    if (!problem.isEmpty())
        text = problem;
    else if (!plan)
        text = planError_;
    else
        text = QStringLiteral("%1 Etiketten auf %2 %3.")
                   .arg(job_.labels.size())
                   .arg(job_.pages)
                   .arg(job_.pages == 1 ? QStringLiteral("Bogen") : QStringLiteral("Bögen"));
    if (!job_.warnings.isEmpty()) text += QLatin1Char('\n') + job_.warnings.join(QLatin1Char('\n'));
    summary_->setText(text);
    const bool printable = !job_.labels.empty();
    printButton_->setEnabled(printable);
    pdfButton_->setEnabled(printable);
}

void LabelDialog::say(const QString& text) {
    status_->setText(text);
}

bool LabelDialog::savePdf() {
    if (job_.labels.empty()) return false;
    FileDialogRequest request;
    request.caption = QStringLiteral("Etiketten als PDF-Datei speichern");
    request.filter = QStringLiteral("PDF-Dateien|*.pdf");
    request.defaultSuffix = QStringLiteral("pdf");
    request.initialName = QStringLiteral("Etiketten.pdf");
    if (session_.hasList() && !session_.list()->path.isEmpty())
        request.directory = QFileInfo(session_.list()->path).absolutePath();
    const FileDialogResult chosen = dialogs_.saveFile(request);
    if (chosen.path.isEmpty()) return false;
    QString error;
    const QByteArray pdf = labelPdf(job_, &error);
    if (pdf.isEmpty()) {
        say(error);
        return false;
    }
    const WriteOutcome written = writeFileAtomically(chosen.path, pdf);
    if (!written.ok) {
        const QString why =
            written.error ? QString::fromLocal8Bit(std::strerror(written.error)) : QString();
        say(QStringLiteral("Die Datei %1 konnte nicht geschrieben werden: %2")
                .arg(QDir::toNativeSeparators(chosen.path), why));
        return false;
    }
    say(QStringLiteral("%1 Etiketten gespeichert in %2.")
            .arg(job_.labels.size())
            .arg(QDir::toNativeSeparators(chosen.path)));
    return true;
}

bool LabelDialog::print() {
    if (job_.labels.empty()) return false;
    if (!printer_ || printer_->isPdf()) return savePdf();
    QPrinter& printer = printer_->printer();
    // The card's paper and layout come back after the labels.
    const QPageLayout before = printer.pageLayout();
    const bool fullPage = printer.fullPage();
    const QString docName = printer.docName();
    QString error;
    const bool ok = paintLabelJob(printer, job_, &error);
    printer.setFullPage(fullPage);
    printer.setPageLayout(before);
    printer.setDocName(docName);
    say(ok ? QStringLiteral("%1 Etiketten an „%2“ geschickt.")
                 .arg(job_.labels.size())
                 .arg(printer.printerName())
           : error);
    return ok;
}

}  // namespace bb
