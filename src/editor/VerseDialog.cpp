#include "editor/VerseDialog.h"

#include "document/DrawnValues.h"
#include "document/TextRuns.h"
#include "editor/DialogButtons.h"
#include "editor/EditMath.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectCreation.h"
#include "editor/PropertyPanel.h"
#include "render/TextRenderer.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

namespace {

const QString kAll = QStringLiteral("Alle");
const QString kUndoText = QStringLiteral("Spruch einfügen");
// What an own text is filed under when the combos say "Alle".
const QString kOwnOccasion = QStringLiteral("Allgemein");
const QString kOwnTone = QStringLiteral("herzlich");

// One list line for a text: its lines joined.
QString listLine(const Verse& v) {
    QString line = v.text;
    line.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    return v.own ? QStringLiteral("★ ") + line : line;
}

}  // namespace

VerseDialog::VerseDialog(OwnVerses& own, QWidget* parent) : QDialog(parent), own_(own) {
    setObjectName(QStringLiteral("SpruchDialog"));
    setWindowTitle(QStringLiteral("Spruch einfügen"));
    auto* layout = new QVBoxLayout(this);
    buildFilters(*layout);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SpruchListe"));
    list_->setMinimumSize(560, 200);
    list_->setUniformItemSizes(true);
    layout->addWidget(list_, 1);
    buildPreview(*layout);
    buildOwnRow(*layout);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("SpruchMeldung"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    QDialogButtonBox* box = addOkCancel(this, layout, QStringLiteral("E&infügen"));
    ok_ = box->findChild<QPushButton*>(QStringLiteral("OKBtn"));

    QString error;
    if (!own_.load(&error) && !own_.file().isEmpty())
        status_->setText(QStringLiteral("Die eigenen Sprüche konnten nicht gelesen werden: ") +
                         error);
    connectControls();
    refill();
    // Most people look for a word first.
    search_->setFocus();
}

void VerseDialog::buildFilters(QVBoxLayout& layout) {
    auto* filters = new QHBoxLayout;
    occasion_ = new QComboBox(this);
    occasion_->setObjectName(QStringLiteral("AnlassCombo"));
    occasion_->addItem(kAll);
    occasion_->addItem(ownOccasionItem());
    occasion_->addItems(verseOccasions());
    tone_ = new QComboBox(this);
    tone_->setObjectName(QStringLiteral("TonCombo"));
    tone_->addItem(kAll);
    tone_->addItems(verseTones());
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("SpruchSuche"));
    search_->setPlaceholderText(QStringLiteral("Suchen, z. B. Kerzen"));
    search_->setClearButtonEnabled(true);
    const struct {
        const char* caption;
        QWidget* field;
    } labelled[] = {{"&Anlass:", occasion_}, {"&Ton:", tone_}, {"&Suche:", search_}};
    for (const auto& l : labelled) {
        auto* label = new QLabel(QString::fromUtf8(l.caption), this);
        label->setBuddy(l.field);
        filters->addWidget(label);
        filters->addWidget(l.field, l.field == search_ ? 1 : 0);
    }
    layout.addLayout(filters);
}

void VerseDialog::buildPreview(QVBoxLayout& layout) {
    auto* previewLabel = new QLabel(QStringLiteral("&Vorschau (hier änderbar):"), this);
    preview_ = new QPlainTextEdit(this);
    preview_->setObjectName(QStringLiteral("SpruchVorschau"));
    previewLabel->setBuddy(preview_);
    // Large enough to read a verse at a glance.
    QFont big = preview_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    preview_->setFont(big);
    preview_->setMinimumHeight(140);
    layout.addWidget(previewLabel);
    layout.addWidget(preview_);
    origin_ = new QLabel(this);
    origin_->setObjectName(QStringLiteral("SpruchHerkunft"));
    layout.addWidget(origin_);
}

void VerseDialog::buildOwnRow(QVBoxLayout& layout) {
    auto* ownRow = new QHBoxLayout;
    addOwn_ = new QPushButton(QStringLiteral("Als &eigenen Spruch speichern"), this);
    addOwn_->setObjectName(QStringLiteral("EigenerSpruchBtn"));
    addOwn_->setStatusTip(QStringLiteral("Nimmt den Text der Vorschau in die eigenen Sprüche auf"));
    removeOwn_ = new QPushButton(QStringLiteral("Eigenen Spruch &löschen"), this);
    removeOwn_->setObjectName(QStringLiteral("EigenenSpruchLoeschenBtn"));
    removeOwn_->setStatusTip(QStringLiteral("Entfernt den gewählten eigenen Spruch"));
    ownRow->addWidget(addOwn_);
    ownRow->addWidget(removeOwn_);
    ownRow->addStretch(1);
    layout.addLayout(ownRow);
}

void VerseDialog::connectControls() {
    connect(occasion_, &QComboBox::currentIndexChanged, this, &VerseDialog::refill);
    connect(tone_, &QComboBox::currentIndexChanged, this, &VerseDialog::refill);
    connect(search_, &QLineEdit::textChanged, this, &VerseDialog::refill);
    connect(list_, &QListWidget::currentRowChanged, this, &VerseDialog::showCurrent);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(preview_, &QPlainTextEdit::textChanged, this, [this] {
        const bool any = !chosenText().isEmpty();
        ok_->setEnabled(any);
        addOwn_->setEnabled(any);
    });
    connect(addOwn_, &QPushButton::clicked, this, &VerseDialog::addOwn);
    connect(removeOwn_, &QPushButton::clicked, this, &VerseDialog::removeOwn);
}

QString VerseDialog::chosenText() const {
    return preview_->toPlainText().trimmed();
}

QString VerseDialog::chosenOccasion() const {
    return occasion_->currentIndex() < 2 ? QString() : occasion_->currentText();
}

QString VerseDialog::chosenTone() const {
    return tone_->currentIndex() < 1 ? QString() : tone_->currentText();
}

void VerseDialog::refill() {
    const VerseFilter filter{chosenOccasion(), chosenTone(), search_->text()};
    const bool ownOnly = occasion_->currentText() == ownOccasionItem();
    // The own texts first: they are the ones looked for most.
    shown_ = filterVerses(own_.verses(), filter);
    if (!ownOnly) {
        const std::vector<Verse> shipped = filterVerses(shippedVerses(), filter);
        shown_.insert(shown_.end(), shipped.begin(), shipped.end());
    }
    list_->clear();
    for (const Verse& v : shown_) list_->addItem(listLine(v));
    if (!shown_.empty())
        list_->setCurrentRow(0);
    else
        showCurrent();
}

void VerseDialog::showCurrent() {
    const int row = list_->currentRow();
    if (row < 0 || row >= int(shown_.size())) {
        origin_->clear();
        removeOwn_->setEnabled(false);
        return;
    }
    const Verse& v = shown_[size_t(row)];
    preview_->setPlainText(v.text);
    QString origin = v.occasion + QStringLiteral(" · ") + v.tone;
    if (v.own)
        origin += QStringLiteral(" · eigener Spruch");
    else if (!v.author.isEmpty())
        origin +=
            QStringLiteral(" · ") + v.author +
            (v.source.isEmpty() ? QString() : QStringLiteral(" (") + v.source + QLatin1Char(')'));
    origin_->setText(origin);
    removeOwn_->setEnabled(v.own);
}

void VerseDialog::addOwn() {
    Verse v;
    v.text = chosenText();
    v.occasion = chosenOccasion().isEmpty() ? kOwnOccasion : chosenOccasion();
    v.tone = chosenTone().isEmpty() ? kOwnTone : chosenTone();
    QString error;
    if (!own_.add(v, &error)) {
        status_->setText(QStringLiteral("Nicht gespeichert: ") + error);
        return;
    }
    status_->setText(
        QStringLiteral("Als eigener Spruch gespeichert (%1, %2).").arg(v.occasion, v.tone));
    refill();
}

void VerseDialog::removeOwn() {
    const int row = list_->currentRow();
    if (row < 0 || row >= int(shown_.size()) || !shown_[size_t(row)].own) return;
    QString error;
    if (!own_.remove(shown_[size_t(row)], &error)) {
        status_->setText(QStringLiteral("Nicht gelöscht: ") + error);
        return;
    }
    status_->setText(QStringLiteral("Der eigene Spruch wurde gelöscht."));
    refill();
}

bool insertVerseText(EditorController& editor, const QString& text) {
    QString content = text.trimmed();
    if (content.isEmpty()) return false;
    if (editor.textEditing()) return editor.textSession().insertText(content, kUndoText);
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    CardDocument& d = editor.doc();
    const RenderContext& ctx = editor.views().ctx();
    if (CardObject* o = editor.selected(); o && o->kind == KindText) {
        EditHistory::Step step(editor.history(), kUndoText);
        adjustRunsForChange(o->extras.runs, o->content, content);
        o->content = content;
        growTextToFit(d, *o, ctx);
        editor.repaintBoth();
        return true;
    }
    EditHistory::Step step(editor.history(), kUndoText);
    const int slot = d.findFreeSlot(editor.editedSide());
    if (slot == 0) return false;
    const CardGeometry card = cardGeometry(d);
    const QPoint centre = editor.clipboard().visibleCardCentre();
    CardObject o;
    initNewObject(d, o, KindText, 0, 0, editor.creator().newTextFont(), ctx);
    o.content = content;
    // As narrow as it can be without wrapping any line more than a frame as wide as the card
    // does (the lines break by the font's design metrics, whatever the zoom), then deep
    // enough for all lines.
    o.width = std::max(card.right - card.left, int32_t(1));
    const size_t lines = textLineBreaks(o, ctx).size();
    int32_t narrow = 1, wide = o.width;
    while (narrow < wide) {
        o.width = narrow + (wide - narrow) / 2;
        if (textLineBreaks(o, ctx).size() <= lines)
            wide = o.width;
        else
            narrow = o.width + 1;
    }
    o.width = wide;
    growTextToFit(d, o, ctx);
    o.x = ObjectClipboard::placeOnCard(centre.x(), o.width, card.left, card.right);
    o.y = ObjectClipboard::placeOnCard(centre.y(), o.height, card.top, card.bottom);
    CardObject& target = *editor.editedSlots()[slot];
    target = std::move(o);
    settleObject(target);
    editor.edited().select(slot);
    editor.panel().loadSelectionControls(target);
    editor.repaintBoth();
    return true;
}

bool runVerseDialog(EditorController& editor, const QString& ownFile) {
    OwnVerses own(ownFile);
    VerseDialog dialog(own, editor.views().view(editor.editedSide()));
    if (editor.modal(dialog) != QDialog::Accepted) return false;
    return insertVerseText(editor, dialog.chosenText());
}

}  // namespace bb
