// The "Umschläge drucken" dialog; see EnvelopeDialog.h.
#include "print/ui/EnvelopeDialog.h"

#include "document/UserDialogs.h"
#include "merge/AddressList.h"
#include "merge/MergeSession.h"
#include "merge/ui/RecordBar.h"
#include "merge/ui/RowChoiceBox.h"
#include "print/PrinterTarget.h"
#include "print/ui/SenderDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace bb {

namespace {

const QString kCaption = QStringLiteral("Umschläge drucken");
const char* const kSizeKey = "Umschlag/Format";
const char* const kWindowKey = "Umschlag/Fenster";
const char* const kTemplateKey = "Umschlag/Vorlage";
const char* const kPictureKey = "Umschlag/Bild";

// The envelope of the record shown, scaled into the widget with a thin border.
class EnvelopePreview : public QWidget {
public:
    using Paint = std::function<void(QPainter&, const QRectF&)>;
    EnvelopePreview(Paint paint, QWidget* parent) : QWidget(parent), paint_(std::move(paint)) {
        setObjectName(QStringLiteral("EnvelopePreview"));
        setMinimumSize(280, 180);
    }
    void setEnvelope(QSizeF sizeMm) {
        sizeMm_ = sizeMm;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        if (sizeMm_.isEmpty()) return;
        const QSizeF room = QSizeF(size()) - QSizeF(12, 12);
        const QSizeF drawn = sizeMm_.scaled(room, Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - drawn.width()) / 2, (height() - drawn.height()) / 2),
                            drawn);
        p.fillRect(target, Qt::white);
        p.setPen(QPen(Qt::gray, 1));
        p.drawRect(target);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint_(p, target);
    }

private:
    Paint paint_;
    QSizeF sizeMm_;
};

QComboBox* choiceCombo(const char* name, std::initializer_list<std::pair<QString, int>> items,
                       QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    for (const auto& [text, value] : items) combo->addItem(text, value);
    return combo;
}

void selectData(QComboBox* combo, int value) {
    const int i = combo->findData(value);
    if (i >= 0) combo->setCurrentIndex(i);
}

}  // namespace

EnvelopeDialog::EnvelopeDialog(const EnvelopeMaker& maker, MergeSession& session,
                               PrinterTarget& printer, QSettings& settings, UserDialogs& dialogs,
                               QWidget* parent)
    : QDialog(parent),
      maker_(maker),
      session_(session),
      printer_(printer),
      settings_(settings),
      dialogs_(dialogs),
      runModal_([](QDialog& d) { return d.exec(); }),
      kinds_(maker.kinds()) {
    setObjectName(QStringLiteral("EnvelopeDialog"));
    setWindowTitle(kCaption);
    buildControls();
    restoreChoices();
    refreshSender();
    connect(&session_, &MergeSession::changed, this, &EnvelopeDialog::refresh);
    refresh();
}

void EnvelopeDialog::buildControls() {
    QFormLayout* envelopeForm = buildEnvelopeForm();
    QGroupBox* feedBox = buildFeedBox();
    // Which rows: as in "Serienkarten", one envelope per chosen record.
    rows_ = new RowChoiceBox(session_, this);
    auto* preview = new EnvelopePreview(
        [this](QPainter& p, const QRectF& target) {
            if (const std::optional<EnvelopeOrder> o = order(); o && session_.hasList())
                maker_.paintPreview(p, target, *o, session_.shownRecord());
        },
        this);
    preview_ = preview;
    auto* records = new RecordBar(session_, this);
    records->setObjectName(QStringLiteral("EnvelopeRecordBar"));

    QHBoxLayout* buttons = buildButtons();

    auto* left = new QVBoxLayout;
    left->addLayout(envelopeForm);
    left->addWidget(records);
    left->addWidget(preview_, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(feedBox);
    right->addWidget(rows_);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);

    const auto changed = [this] {
        storeChoices();
        refresh();
    };
    connect(sizeCombo_, &QComboBox::currentIndexChanged, this, changed);
    connect(windowCheck_, &QCheckBox::toggled, this, changed);
    connect(pictureCheck_, &QCheckBox::toggled, this, changed);
    connect(templateEdit_, &QPlainTextEdit::textChanged, this, changed);
    connect(edgeCombo_, &QComboBox::currentIndexChanged, this, changed);
    connect(leadCombo_, &QComboBox::currentIndexChanged, this, changed);
    connect(faceCombo_, &QComboBox::currentIndexChanged, this, changed);
    connect(alignCombo_, &QComboBox::currentIndexChanged, this, changed);
    connect(a4Check_, &QCheckBox::toggled, this, changed);
}

// The envelope: size, window, recipient, sender, picture.
QFormLayout* EnvelopeDialog::buildEnvelopeForm() {
    sizeCombo_ = new QComboBox(this);
    sizeCombo_->setObjectName(QStringLiteral("SizeCombo"));
    // The catalogue's names say the size ("C6 (114 × 162 mm)").
    for (int i = 0; i < int(kinds_.size()); ++i) sizeCombo_->addItem(kinds_[size_t(i)].name, i);
    windowCheck_ = new QCheckBox(QStringLiteral("mit Fenster"), this);
    windowCheck_->setObjectName(QStringLiteral("WindowCheck"));
    windowCheck_->setToolTip(
        QStringLiteral("Die Anschrift steht im Fenster, darüber der Absender in einer Zeile"));
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeCombo_, 1);
    sizeRow->addWidget(windowCheck_);

    templateEdit_ = new QPlainTextEdit(this);
    templateEdit_->setObjectName(QStringLiteral("TemplateEdit"));
    templateEdit_->setTabChangesFocus(true);
    templateEdit_->setFixedHeight(templateEdit_->fontMetrics().lineSpacing() * 5 + 12);
    templateEdit_->setToolTip(
        QStringLiteral("Felder der Adressliste in geschweiften Klammern; leere Zeilen entfallen"));
    auto* defaultBtn = new QPushButton(QStringLiteral("Standard"), this);
    defaultBtn->setObjectName(QStringLiteral("TemplateDefaultBtn"));
    defaultBtn->setAutoDefault(false);
    defaultBtn->setToolTip(QStringLiteral("Setzt die übliche Anschrift wieder ein"));
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(templateEdit_, 1);
    templateRow->addWidget(defaultBtn, 0, Qt::AlignTop);

    senderLabel_ = new QLabel(this);
    senderLabel_->setObjectName(QStringLiteral("SenderLabel"));
    senderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* senderBtn = new QPushButton(QStringLiteral("Absender ändern..."), this);
    senderBtn->setObjectName(QStringLiteral("SenderBtn"));
    senderBtn->setAutoDefault(false);
    auto* senderRow = new QHBoxLayout;
    senderRow->addWidget(senderLabel_, 1);
    senderRow->addWidget(senderBtn, 0, Qt::AlignTop);

    pictureCheck_ = new QCheckBox(QStringLiteral("kleines Bild von der Karte"), this);
    pictureCheck_->setObjectName(QStringLiteral("PictureCheck"));

    auto* envelopeForm = new QFormLayout;
    envelopeForm->addRow(QStringLiteral("Format:"), sizeRow);
    envelopeForm->addRow(QStringLiteral("Empfänger:"), templateRow);
    envelopeForm->addRow(QStringLiteral("Absender:"), senderRow);
    envelopeForm->addRow(QString(), pictureCheck_);

    connect(defaultBtn, &QPushButton::clicked, this,
            [this] { templateEdit_->setPlainText(maker_.defaultTemplate()); });
    connect(senderBtn, &QPushButton::clicked, this, &EnvelopeDialog::editSender);
    return envelopeForm;
}

// How the envelope goes into the printer.
QGroupBox* EnvelopeDialog::buildFeedBox() {
    auto* feedBox = new QGroupBox(QStringLiteral("Einzug"), this);
    edgeCombo_ = choiceCombo("FeedEdgeCombo",
                             {{QStringLiteral("kurze Kante zuerst"), EnvelopeFeed::ShortEdge},
                              {QStringLiteral("lange Kante zuerst"), EnvelopeFeed::LongEdge}},
                             feedBox);
    leadCombo_ = choiceCombo("FeedLeadCombo", {}, feedBox);
    faceCombo_ = choiceCombo("FeedFaceCombo",
                             {{QStringLiteral("Adressseite nach oben"), EnvelopeFeed::FaceUp},
                              {QStringLiteral("Adressseite nach unten"), EnvelopeFeed::FaceDown}},
                             feedBox);
    alignCombo_ = choiceCombo("FeedAlignCombo",
                              {{QStringLiteral("mittig"), EnvelopeFeed::Centre},
                               {QStringLiteral("an der linken Führung"), EnvelopeFeed::Left},
                               {QStringLiteral("an der rechten Führung"), EnvelopeFeed::Right}},
                              feedBox);
    a4Check_ = new QCheckBox(QStringLiteral("auf A4 drucken (ohne Umschlageinzug)"), feedBox);
    a4Check_->setObjectName(QStringLiteral("A4Check"));
    a4Check_->setToolTip(
        QStringLiteral("Für Drucker ohne Umschlageinzug: der Umschlag wird auf einem A4-Blatt dort "
                       "gedruckt, wo er im Papierfach liegt"));
    auto* testBtn = new QPushButton(QStringLiteral("Testseite drucken"), feedBox);
    testBtn->setObjectName(QStringLiteral("FeedTestBtn"));
    testBtn->setAutoDefault(false);
    testBtn->setToolTip(
        QStringLiteral("Druckt eine Seite, die zeigt, wie der Umschlag eingelegt wird"));
    auto* feedLayout = new QVBoxLayout(feedBox);
    for (QWidget* w : {static_cast<QWidget*>(edgeCombo_), static_cast<QWidget*>(leadCombo_),
                       static_cast<QWidget*>(faceCombo_), static_cast<QWidget*>(alignCombo_),
                       static_cast<QWidget*>(a4Check_), static_cast<QWidget*>(testBtn)})
        feedLayout->addWidget(w);

    connect(testBtn, &QPushButton::clicked, this, &EnvelopeDialog::printTestPage);
    return feedBox;
}

QHBoxLayout* EnvelopeDialog::buildButtons() {
    printBtn_ = new QPushButton(QStringLiteral("Drucken"), this);
    printBtn_->setObjectName(QStringLiteral("EnvelopePrintBtn"));
    printBtn_->setAutoDefault(false);
    pdfBtn_ = new QPushButton(QStringLiteral("Als PDF..."), this);
    pdfBtn_->setObjectName(QStringLiteral("EnvelopePdfBtn"));
    pdfBtn_->setAutoDefault(false);
    auto* closeBtn = new QPushButton(QStringLiteral("Schließen"), this);
    closeBtn->setObjectName(QStringLiteral("CloseBtn"));
    closeBtn->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(printBtn_);
    buttons->addWidget(pdfBtn_);
    buttons->addStretch();
    buttons->addWidget(closeBtn);

    connect(printBtn_, &QPushButton::clicked, this, &EnvelopeDialog::printEnvelopes);
    connect(pdfBtn_, &QPushButton::clicked, this, &EnvelopeDialog::savePdf);
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

void EnvelopeDialog::restoreChoices() {
    // Nothing is stored while the stored choices are put into the controls.
    const QSignalBlocker a(sizeCombo_), b(windowCheck_), c(pictureCheck_), d(templateEdit_),
        e(edgeCombo_), f(leadCombo_), g(faceCombo_), h(alignCombo_), i(a4Check_);
    const QString id = settings_.value(QLatin1String(kSizeKey)).toString();
    for (int k = 0; k < int(kinds_.size()); ++k)
        if (kinds_[size_t(k)].id == id) sizeCombo_->setCurrentIndex(k);
    windowCheck_->setChecked(settings_.value(QLatin1String(kWindowKey), false).toBool());
    pictureCheck_->setChecked(settings_.value(QLatin1String(kPictureKey), false).toBool());
    templateEdit_->setPlainText(
        settings_.value(QLatin1String(kTemplateKey), maker_.defaultTemplate()).toString());
    const EnvelopeFeed feed = loadFeed(settings_);
    selectData(edgeCombo_, feed.edge);
    selectData(faceCombo_, feed.face);
    selectData(alignCombo_, feed.align);
    a4Check_->setChecked(loadOnA4(settings_));
    // The lead's words depend on the edge.
    refresh();
    selectData(leadCombo_, feed.lead);
}

void EnvelopeDialog::storeChoices() {
    if (const EnvelopeKind* k = currentKind()) settings_.setValue(QLatin1String(kSizeKey), k->id);
    settings_.setValue(QLatin1String(kWindowKey), windowCheck_->isChecked());
    settings_.setValue(QLatin1String(kPictureKey), pictureCheck_->isChecked());
    settings_.setValue(QLatin1String(kTemplateKey), templateEdit_->toPlainText());
    storeFeed(settings_, feed());
    storeOnA4(settings_, onA4());
}

const EnvelopeKind* EnvelopeDialog::currentKind() const {
    const int i = sizeCombo_->currentData().toInt();
    if (sizeCombo_->currentIndex() < 0 || i < 0 || i >= int(kinds_.size())) return nullptr;
    return &kinds_[size_t(i)];
}

EnvelopeFeed EnvelopeDialog::feed() const {
    EnvelopeFeed f;
    f.edge = EnvelopeFeed::Edge(edgeCombo_->currentData().toInt());
    f.face = EnvelopeFeed::Face(faceCombo_->currentData().toInt());
    f.align = EnvelopeFeed::Align(alignCombo_->currentData().toInt());
    f.lead = EnvelopeFeed::Lead(leadCombo_->currentData().toInt());
    return f;
}

bool EnvelopeDialog::onA4() const {
    return a4Check_->isChecked();
}

std::optional<EnvelopeOrder> EnvelopeDialog::order(QString* error) const {
    const EnvelopeKind* kind = currentKind();
    if (!kind) {
        if (error) *error = QStringLiteral("Es ist kein Umschlagformat bekannt.");
        return std::nullopt;
    }
    const std::optional<MergePlan> plan = session_.plan(error);
    if (!plan) return std::nullopt;
    EnvelopeOrder o;
    o.sizeId = kind->id;
    o.window = kind->hasWindow && windowCheck_->isChecked();
    o.recipientTemplate = templateEdit_->toPlainText();
    o.sender = sender_;
    o.picture = pictureCheck_->isChecked();
    o.list = session_.list();
    // One envelope per chosen record: the copies of a card share their envelope.
    o.rows = plan->rows;
    return o;
}

void EnvelopeDialog::prepare() {
    refreshSender();
    refresh();
}

void EnvelopeDialog::refresh() {
    const EnvelopeKind* kind = currentKind();
    windowCheck_->setEnabled(kind && kind->hasWindow);

    // The lead in words that fit the edge.
    const bool longEdge = edgeCombo_->currentData().toInt() == EnvelopeFeed::LongEdge;
    const int lead = leadCombo_->currentIndex() < 0 ? int(EnvelopeFeed::Tail)
                                                    : leadCombo_->currentData().toInt();
    {
        const QSignalBlocker quiet(leadCombo_);
        leadCombo_->clear();
        leadCombo_->addItem(longEdge ? QStringLiteral("Oberkante (Klappe) voran")
                                     : QStringLiteral("linke Kante voran"),
                            int(EnvelopeFeed::Head));
        leadCombo_->addItem(
            longEdge ? QStringLiteral("Unterkante voran") : QStringLiteral("rechte Kante voran"),
            int(EnvelopeFeed::Tail));
        selectData(leadCombo_, lead);
    }

    rows_->refresh();
    QString why;
    const std::optional<EnvelopeOrder> o = order(&why);
    if (o) {
        rows_->showPlan(o->rows.size() == 1 ? QStringLiteral("1 Umschlag")
                                            : QStringLiteral("%1 Umschläge").arg(o->rows.size()));
    } else {
        rows_->showRefusal(why);
    }
    printBtn_->setEnabled(o.has_value());
    pdfBtn_->setEnabled(o.has_value());
    if (auto* preview = static_cast<EnvelopePreview*>(preview_))
        preview->setEnvelope(kind ? kind->sizeMm : QSizeF());
}

void EnvelopeDialog::refreshSender() {
    sender_ = loadSender(settings_);
    const QStringList lines = senderLines(sender_);
    senderLabel_->setText(lines.isEmpty() ? QStringLiteral("(kein Absender eingetragen)")
                                          : lines.join(QLatin1Char('\n')) + QLatin1Char('\n') +
                                                sender_.country);
}

void EnvelopeDialog::editSender() {
    SenderDialog dialog(this);
    dialog.fill(loadSender(settings_));
    if (runModal_(dialog) != QDialog::Accepted) return;
    storeSender(settings_, dialog.fields());
    refreshSender();
    refresh();
}

void EnvelopeDialog::report(const QString& text) {
    dialogs_.message(text, kCaption, MsgIcon::Warning, BtnOk);
}

std::optional<EnvelopePlacement> EnvelopeDialog::placement() {
    const EnvelopeKind* kind = currentKind();
    if (!kind) return std::nullopt;
    QString why;
    if (!feedFits(kind->sizeMm, feed(), onA4(), &why)) {
        report(why);
        return std::nullopt;
    }
    return envelopePlacement(kind->sizeMm, feed(), onA4());
}

bool EnvelopeDialog::printEnvelopes() {
    QString why;
    const std::optional<EnvelopeOrder> o = order(&why);
    if (!o) {
        report(why);
        return false;
    }
    const std::optional<EnvelopePlacement> where = placement();
    if (!where || !printer_.chooseOutput(dialogs_)) return false;
    const bool printed = maker_.print(printer_, *o, *where, &why);
    emit printerUsed();
    if (!printed) {
        report(QStringLiteral("Die Umschläge wurden nicht gedruckt.\n") + why);
        return false;
    }
    return true;
}

bool EnvelopeDialog::savePdf() {
    QString why;
    const std::optional<EnvelopeOrder> o = order(&why);
    if (!o) {
        report(why);
        return false;
    }
    const std::optional<EnvelopePlacement> where = placement();
    if (!where) return false;
    FileDialogRequest r;
    r.caption = QStringLiteral("Umschläge als PDF speichern");
    r.filter = QStringLiteral("PDF-Dateien|*.pdf");
    r.defaultSuffix = QStringLiteral("pdf");
    r.initialName = QStringLiteral("Umschläge.pdf");
    const FileDialogResult chosen = dialogs_.saveFile(r);
    if (chosen.path.isEmpty()) return false;
    if (!maker_.writePdf(chosen.path, *o, *where, &why)) {
        report(QStringLiteral("Die PDF-Datei wurde nicht geschrieben.\n") + why);
        return false;
    }
    return true;
}

bool EnvelopeDialog::printTestPage() {
    const EnvelopeKind* kind = currentKind();
    const std::optional<EnvelopePlacement> where = placement();
    if (!kind || !where || !printer_.chooseOutput(dialogs_)) return false;
    QString why;
    bool done = false;
    if (printer_.isPdf()) {
        done = writeFeedTestPdf(printer_.printer().outputFileName(), kind->sizeMm, feed(), onA4(),
                                &why);
    } else {
        printer_.printer().setDocName(QStringLiteral("Testseite Umschlageinzug"));
        done = printFeedTestPage(printer_.printer(), kind->sizeMm, feed(), onA4(), &why);
        emit printerUsed();
    }
    if (!done) {
        report(why);
        return false;
    }
    return true;
}

}  // namespace bb
