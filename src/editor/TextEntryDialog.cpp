#include "editor/TextEntryDialog.h"
#include "editor/DialogButtons.h"

#include "document/CardObject.h"
#include "document/TextRuns.h"
#include "editor/SpellMenu.h"
#include "spell/SpellChecker.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

namespace {

// The memo shows sizes between these points, each span in proportion to the text's own size.
constexpr int kSmallestShown = 8;
constexpr int kLargestShown = 48;

QFont shownFont(const TextRun& f, double factor) {
    QFont font(f.fontName);
    font.setPointSizeF(std::clamp(f.fontSize * factor, 4.0, 96.0));
    font.setBold(f.fontStyle & StyleBold);
    font.setItalic(f.fontStyle & StyleItalic);
    font.setUnderline(f.fontStyle & StyleUnderline);
    font.setStrikeOut(f.fontStyle & StyleStrikeOut);
    return font;
}

}  // namespace

// Shows the spans' formats in the memo and underlines misspelt words, without touching the
// memo's document (its undo history stays the user's typing).
class TextEntryHighlighter : public QSyntaxHighlighter {
public:
    TextEntryHighlighter(QTextDocument* doc, const TextEntryDialog& dialog)
        : QSyntaxHighlighter(doc), dialog_(dialog) {}

    SpellChecker* spell = nullptr;
    TextRun base;

protected:
    void highlightBlock(const QString& text) override {
        const int at = currentBlock().position();
        const int n = int(text.size());
        if (n == 0) return;
        const double factor =
            base.fontSize > 0
                ? std::clamp(base.fontSize, kSmallestShown, kLargestShown) / double(base.fontSize)
                : 1.0;
        std::vector<QTextCharFormat> formats(static_cast<size_t>(n));
        for (const TextRun& r : dialog_.runs()) {
            const int from = std::max(r.start - at, 0);
            const int to = std::min(r.start + r.length - at, n);
            if (from >= to) continue;
            QTextCharFormat f;
            f.setFont(shownFont(r, factor));
            f.setForeground(toQColor(r.fontColor));
            for (int i = from; i < to; ++i) formats[size_t(i)] = f;
        }
        if (spell)
            for (const WordRange& w : spell->misspelt(text))
                for (int i = w.start; i < w.start + w.length && i < n; ++i) {
                    formats[size_t(i)].setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
                    formats[size_t(i)].setUnderlineColor(QColor(220, 0, 0));
                }
        for (int i = 0; i < n;) {
            int j = i + 1;
            while (j < n && formats[size_t(j)] == formats[size_t(i)]) ++j;
            if (formats[size_t(i)].isValid() && !formats[size_t(i)].properties().isEmpty())
                setFormat(i, j - i, formats[size_t(i)]);
            i = j;
        }
    }

private:
    const TextEntryDialog& dialog_;
};

QStringList splitTextLines(const QString& content) {
    QStringList lines;
    if (content.isEmpty()) return lines;
    lines = content.split(QChar(13));
    if (content.endsWith(QChar(13))) lines.removeLast();
    return lines;
}

QString joinTextLines(const QStringList& lines) {
    return lines.join(QChar(13));
}

TextEntryDialog::TextEntryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TxtForm"));
    setWindowTitle(QStringLiteral("Text eingeben..."));
    auto* layout = new QVBoxLayout(this);

    buildFormatTools(layout);
    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("Memo1"));
    textEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(textEdit_, 1);
    highlighter_ = new TextEntryHighlighter(textEdit_->document(), *this);
    connect(textEdit_->document(), &QTextDocument::contentsChanged, this,
            &TextEntryDialog::textChanged);
    connect(textEdit_, &QPlainTextEdit::customContextMenuRequested, this, [this](QPoint pos) {
        QMenu* menu = contextMenuAt(pos);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(textEdit_->viewport()->mapToGlobal(pos));
    });

    buildSpacingControls(layout);
    addOkCancel(this, layout);
    resize(480, 340);
    lineSpacing_->setValue(100);
}

void TextEntryDialog::buildFormatTools(QVBoxLayout* layout) {
    // The format of the selected characters.
    auto* tools = new QHBoxLayout;
    auto tool = [&](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setStatusTip(tip);
        tools->addWidget(b);
        return b;
    };
    biggerButton_ =
        tool("GroesserBtn", QStringLiteral("A+"), QStringLiteral("Die markierten Zeichen größer"));
    smallerButton_ =
        tool("KleinerBtn", QStringLiteral("A−"), QStringLiteral("Die markierten Zeichen kleiner"));
    boldButton_ =
        tool("FettBtn", QStringLiteral("F"), QStringLiteral("Die markierten Zeichen fett"));
    italicButton_ =
        tool("KursivBtn", QStringLiteral("K"), QStringLiteral("Die markierten Zeichen kursiv"));
    colorButton_ = tool("FarbeBtn", QStringLiteral("Farbe..."),
                        QStringLiteral("Eine Farbe für die markierten Zeichen"));
    fontBox_ = new QFontComboBox(this);
    fontBox_->setObjectName(QStringLiteral("SchriftCombo"));
    fontBox_->setToolTip(QStringLiteral("Die Schriftart der markierten Zeichen"));
    fontBox_->setFontFilters(QFontComboBox::ScalableFonts);
    tools->addWidget(fontBox_, 1);
    layout->addLayout(tools);
    connect(biggerButton_, &QToolButton::clicked, this, [this] {
        formatSelection([](TextRun& r) { r.fontSize = nextFontSize(r.fontSize, true); });
    });
    connect(smallerButton_, &QToolButton::clicked, this, [this] {
        formatSelection([](TextRun& r) { r.fontSize = nextFontSize(r.fontSize, false); });
    });
    const auto toggle = [this](uint8_t bit) {
        const QTextCursor c = textEdit_->textCursor();
        if (!c.hasSelection()) return;
        // Set on all of them, or taken off all when the first one has it.
        const bool set = !(formatAt(shownText(), c.selectionStart()).fontStyle & bit);
        formatSelection([set, bit](TextRun& r) {
            r.fontStyle = set ? uint8_t(r.fontStyle | bit) : uint8_t(r.fontStyle & ~bit);
        });
    };
    connect(boldButton_, &QToolButton::clicked, this, [toggle] { toggle(StyleBold); });
    connect(italicButton_, &QToolButton::clicked, this, [toggle] { toggle(StyleItalic); });
    connect(colorButton_, &QToolButton::clicked, this, &TextEntryDialog::chooseSelectionColor);
    connect(fontBox_, &QFontComboBox::activated, this, [this] {
        const QString face = fontBox_->currentFont().family();
        formatSelection([&face](TextRun& r) { r.fontName = face; });
    });
}

void TextEntryDialog::buildSpacingControls(QVBoxLayout* layout) {
    // Spacing and the arc, for the whole text.
    auto* form = new QFormLayout;
    lineSpacing_ = new QSpinBox(this);
    lineSpacing_->setObjectName(QStringLiteral("ZeilenabstandEdit"));
    lineSpacing_->setRange(50, 400);
    lineSpacing_->setSingleStep(10);
    lineSpacing_->setSuffix(QStringLiteral(" %"));
    form->addRow(QStringLiteral("&Zeilenabstand:"), lineSpacing_);
    letterSpacing_ = new QDoubleSpinBox(this);
    letterSpacing_->setObjectName(QStringLiteral("ZeichenabstandEdit"));
    letterSpacing_->setRange(-20, 100);
    letterSpacing_->setDecimals(1);
    letterSpacing_->setSingleStep(1);
    letterSpacing_->setSuffix(QStringLiteral(" % der Schriftgröße"));
    form->addRow(QStringLiteral("Zeichen&abstand:"), letterSpacing_);
    auto* arcRow = new QHBoxLayout;
    onArc_ = new QCheckBox(QStringLiteral("&Bogentext, Radius:"), this);
    onArc_->setObjectName(QStringLiteral("BogentextCheck"));
    onArc_->setStatusTip(QStringLiteral("Den Text auf einen Kreisbogen setzen"));
    arcRadius_ = new QDoubleSpinBox(this);
    arcRadius_->setObjectName(QStringLiteral("BogenradiusEdit"));
    arcRadius_->setRange(5, 1000);
    arcRadius_->setDecimals(1);
    arcRadius_->setSuffix(QStringLiteral(" mm"));
    arcRadius_->setValue(40);
    arcDown_ = new QCheckBox(QStringLiteral("nach &unten"), this);
    arcDown_->setObjectName(QStringLiteral("BogenUntenCheck"));
    arcDown_->setStatusTip(QStringLiteral("Den Text auf den unteren Teil des Kreises setzen"));
    arcRow->addWidget(onArc_);
    arcRow->addWidget(arcRadius_);
    arcRow->addWidget(arcDown_);
    arcRow->addStretch(1);
    form->addRow(arcRow);
    const auto arcControls = [this] {
        arcRadius_->setEnabled(onArc_->isChecked());
        arcDown_->setEnabled(onArc_->isChecked());
    };
    connect(onArc_, &QCheckBox::toggled, this, arcControls);
    arcControls();
    layout->addLayout(form);
}

TextEntryDialog::~TextEntryDialog() = default;

void TextEntryDialog::setContent(const QString& content) {
    content_ = content;
    QStringList lines = splitTextLines(content);
    for (QString& line : lines) line.replace(QChar(10), QChar::LineSeparator);
    // The spans of the shown text stay on it: the memo's new text is no edit of the old one.
    std::vector<TextRun> runs = runs_;
    textEdit_->clear();
    textEdit_->setPlainText(lines.join(QChar(10)));
    runs_ = std::move(runs);
    raw_ = textEdit_->document()->toRawText();
    shown_ = paragraphs();
    highlighter_->rehighlight();
}

QString TextEntryDialog::content() const {
    if (paragraphs() == shown_) return content_;
    return joinTextLines(lines());
}

QStringList TextEntryDialog::paragraphs() const {
    QStringList out;
    for (QTextBlock b = textEdit_->document()->begin(); b.isValid(); b = b.next()) out << b.text();
    return out;
}

QStringList TextEntryDialog::lines() const {
    QStringList out = paragraphs();
    if (out.size() == 1 && out.front().isEmpty()) return {};
    // The empty paragraph after an Enter at the very end is no line of the text.
    if (out.size() > 1 && out.back().isEmpty()) out.removeLast();
    for (QString& line : out) line.replace(QChar::LineSeparator, QChar(10));
    return out;
}

void TextEntryDialog::setText(const CardObject& o) {
    base_ = baseFormat(o);
    runs_ = o.extras.runs;
    highlighter_->base = base_;
    QFont font(o.fontName);
    font.setPointSize(std::clamp(o.fontSize, kSmallestShown, kLargestShown));
    font.setBold(o.fontStyle & StyleBold);
    font.setItalic(o.fontStyle & StyleItalic);
    textEdit_->document()->setDefaultFont(font);
    setContent(o.content);
    lineSpacing_->setValue(o.extras.lineSpacing);
    letterSpacing_->setValue(o.extras.letterSpacing / 10.0);
    onArc_->setChecked(o.extras.arcRadius > 0);
    if (o.extras.arcRadius > 0) arcRadius_->setValue(o.extras.arcRadius / 100.0);
    arcDown_->setChecked(o.extras.arcDown);
}

void TextEntryDialog::storeInto(CardObject& o) const {
    o.content = content();
    std::vector<TextRun> runs = runs_;
    normalizeRuns(runs, int(o.content.size()), baseFormat(o));
    o.extras.runs = std::move(runs);
    o.extras.lineSpacing = lineSpacing_->value();
    o.extras.letterSpacing = int32_t(std::lround(letterSpacing_->value() * 10));
    o.extras.arcRadius = onArc_->isChecked() ? int32_t(std::lround(arcRadius_->value() * 100)) : 0;
    o.extras.arcDown = onArc_->isChecked() && arcDown_->isChecked();
}

void TextEntryDialog::textChanged() {
    const QString now = textEdit_->document()->toRawText();
    if (now == raw_) return;
    const bool moved = !runs_.empty();
    adjustRunsForChange(runs_, raw_, now);
    raw_ = now;
    // Spans in later paragraphs moved too: show them where they are now.
    if (moved) refreshFormats();
}

void TextEntryDialog::refreshFormats() {
    const QSignalBlocker block(textEdit_->document());
    highlighter_->rehighlight();
}

CardObject TextEntryDialog::shownText() const {
    CardObject o;
    o.kind = KindText;
    o.content = textEdit_->document()->toRawText();
    o.extras.runs = runs_;
    o.fontName = base_.fontName;
    o.fontSize = base_.fontSize;
    o.fontStyle = base_.fontStyle;
    o.color = base_.fontColor;
    return o;
}

void TextEntryDialog::formatSelection(const std::function<void(TextRun&)>& change) {
    const QTextCursor c = textEdit_->textCursor();
    if (!c.hasSelection()) return;
    CardObject probe = shownText();
    formatRange(probe, c.selectionStart(), c.selectionEnd(), change);
    runs_ = std::move(probe.extras.runs);
    refreshFormats();
}

void TextEntryDialog::chooseSelectionColor() {
    const QTextCursor c = textEdit_->textCursor();
    if (!c.hasSelection() || !chooseColor) return;
    QColor colour = toQColor(formatAt(shownText(), c.selectionStart()).fontColor);
    if (!chooseColor(colour)) return;
    formatSelection([&colour](TextRun& r) { r.fontColor = fromQColor(colour); });
}

void TextEntryDialog::setSpellChecker(SpellChecker* checker) {
    spell_ = checker && checker->available() ? checker : nullptr;
    highlighter_->spell = spell_;
    refreshFormats();
}

QMenu* TextEntryDialog::contextMenuAt(QPoint pos) {
    QMenu* menu = textEdit_->createStandardContextMenu(pos);
    if (!spell_) return menu;
    const QTextCursor at = textEdit_->cursorForPosition(pos);
    const QTextBlock block = at.block();
    const int inBlock = at.position() - block.position();
    for (const WordRange& w : spell_->misspelt(block.text())) {
        if (inBlock < w.start || inBlock > w.start + w.length) continue;
        const int from = block.position() + w.start;
        const int length = w.length;
        addSpellingEntries(
            *menu, *spell_, block.text().mid(w.start, w.length),
            [this, from, length](const QString& word) {
                QTextCursor c(textEdit_->document());
                c.setPosition(from);
                c.setPosition(from + length, QTextCursor::KeepAnchor);
                c.insertText(word);
            },
            [this] { refreshFormats(); });
        break;
    }
    return menu;
}

void TextEntryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    textEdit_->setFocus();
}

}  // namespace bb
