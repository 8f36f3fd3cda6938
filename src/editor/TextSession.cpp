#include "editor/TextSession.h"

#include "document/TextRuns.h"
#include "editor/EditMath.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/ObjectCreation.h"
#include "editor/SpellMenu.h"
#include "render/TextRenderer.h"
#include "spell/SpellChecker.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QVariant>

#include <cmath>

namespace bb {

namespace {
// The undo steps of one typing session on a text merge into one.
constexpr int kTypingMergeKey = 1401;
}  // namespace

CardObject* TextSession::editedText() {
    if (!inline_.active()) return nullptr;
    CardObject* o = editor_.selected();
    if (!o || o->kind != KindText || editor_.selectedSlot() != slot_ ||
        editor_.editedSide() != side_)
        return nullptr;
    return o;
}

bool TextSession::running() {
    if (editedText()) return true;
    // The text went away meanwhile (deleted, another selection or side): the session ends.
    end();
    return false;
}

void TextSession::end() {
    if (!inline_.active()) return;
    inline_.stop();
    selecting_ = false;
    emit editingChanged(false);
    editor_.repaintBoth();
}

void TextSession::begin() {
    CardObject* o = editor_.selected();
    if (!o || o->kind != KindText) return;
    inline_.start(o->content);
    stepBegun_ = false;
    slot_ = editor_.selectedSlot();
    side_ = editor_.editedSide();
    emit editingChanged(true);
    inline_.verticalMove = [this](const QString& content, int pos, int lines) {
        return verticalMove(content, pos, lines);
    };
}

int TextSession::verticalMove(const QString& content, int pos, int lines) {
    CardObject* t = editor_.selected();
    const int end = int(content.size());
    // Text on an arc is one line.
    if (!t || t->extras.arcRadius > 0) return lines < 0 ? 0 : end;
    const RenderContext& ctx = editor_.views().ctx();
    const TextPlace at = textPlace(*t);
    // Across the lines, which run along x in the text's frame: the caret's direction from the
    // top of its line to the foot, whatever the quarter turns make of it on the card.
    const QLineF caret = textCaretLine(*t, ctx, at.scale, at.box, pos);
    if (!(caret.length() > 0)) return lines < 0 ? 0 : end;
    const QPointF down = (caret.p2() - caret.p1()) / caret.length();
    const QPointF target = caret.center() + down * (lines * caret.length());
    const auto depth = [&](QPointF p) { return QPointF::dotProduct(p, down); };
    // Up from the first line goes to the start, down from the last to the end.
    if (depth(target) < depth(textCaretLine(*t, ctx, at.scale, at.box, 0).p1())) return 0;
    if (depth(target) > depth(textCaretLine(*t, ctx, at.scale, at.box, end).p2())) return end;
    return textIndexAt(*t, ctx, at.scale, at.box, target);
}

void TextSession::placeCaret(const CardObject& o, int x, int y) {
    inline_.setCaret(o.content, textIndexInView(o, QPointF(x, y)), false);
}

void TextSession::updateCurrentView() {
    if (EditorView* v = editor_.views().view(editor_.editedSide())) v->update();
}

bool TextSession::key(QKeyEvent& event, bool mayStart) {
    CardObject* o = editor_.selected();
    if (!running()) {
        // Typing a character on a selected text starts a session; any other key keeps its
        // meaning in the editor.
        if (!o || o->kind != KindText || !mayStart ||
            !InlineTextEditor::typesText(event.text(), event.modifiers()))
            return false;
        begin();
    }
    if (editKey(event, *o)) return true;
    QString content = o->content;
    const InlineTextEditor::Outcome outcome =
        inline_.applyKey(content, event.key(), event.modifiers(), event.text());
    switch (outcome) {
        case InlineTextEditor::Outcome::Ignored:
            return false;
        case InlineTextEditor::Outcome::Changed:
            setTextContent(*o, content);
            break;
        case InlineTextEditor::Outcome::Moved:
            // Only the caret moved: the kept bitmap stays, the overlay is drawn anew.
            updateCurrentView();
            break;
        case InlineTextEditor::Outcome::Finished:
            // Escape has stopped the session's editor itself.
            selecting_ = false;
            emit editingChanged(false);
            updateCurrentView();
            break;
    }
    return true;
}

namespace {

bool isFormatKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    if (!(mods & Qt::ControlModifier) || (mods & (Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const bool shift = mods & Qt::ShiftModifier;
    return (e.key() == Qt::Key_B && !shift) || (e.key() == Qt::Key_I && shift) ||
           e.key() == Qt::Key_Greater || e.key() == Qt::Key_Less;
}

bool isClipboardKey(const QKeyEvent& e) {
    return e.matches(QKeySequence::Paste) || e.matches(QKeySequence::Copy) ||
           e.matches(QKeySequence::Cut);
}

}  // namespace

bool TextSession::takesShortcut(const QKeyEvent& event) {
    return running() && (isClipboardKey(event) || isFormatKey(event));
}

bool TextSession::editKey(QKeyEvent& event, CardObject& o) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Cut)) {
        if (inline_.hasSelection()) {
            QString text = inline_.selectedText(o.content);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text.replace(QChar('\r'), QChar('\n'));
            clipboard->setText(text);
            if (event.matches(QKeySequence::Cut)) {
                QString content = o.content;
                if (inline_.insert(content, QString()) == InlineTextEditor::Outcome::Changed)
                    setTextContent(o, content);
            }
        }
        return true;
    }
    if (event.matches(QKeySequence::Paste)) {
        QString content = o.content;
        if (inline_.insert(content, clipboard->text()) == InlineTextEditor::Outcome::Changed)
            setTextContent(o, content);
        return true;
    }
    if (!isFormatKey(event)) return false;
    const int key = event.key();
    const TextRun first = formatAt(o, inline_.selectionStart());
    const uint8_t bit = key == Qt::Key_B ? StyleBold : StyleItalic;
    // Bold and italic follow the first selected character: set on all or taken off all.
    const bool set = !(first.fontStyle & bit);
    if (key == Qt::Key_B || key == Qt::Key_I)
        formatSelection(QStringLiteral("Schriftschnitt ändern"), [&](TextRun& r) {
            r.fontStyle = set ? uint8_t(r.fontStyle | bit) : uint8_t(r.fontStyle & ~bit);
        });
    else
        formatSelection(QStringLiteral("Schriftgröße ändern"), [&](TextRun& r) {
            r.fontSize = nextFontSize(r.fontSize, key == Qt::Key_Greater);
        });
    return true;
}

bool TextSession::formatSelection(const QString& undoText,
                                  const std::function<void(TextRun&)>& change) {
    CardObject* o = running() ? editor_.selected() : nullptr;
    if (!o || !inline_.hasSelection()) return false;
    {
        EditHistory::Step step(editor_.history(), undoText);
        formatRange(*o, inline_.selectionStart(), inline_.selectionEnd(), change);
        growTextToFit(editor_.doc(), *o, editor_.views().ctx());
    }
    // Typing after it is a step of its own.
    stepBegun_ = false;
    editor_.repaintBoth();
    return true;
}

bool TextSession::insertText(const QString& text, const QString& undoText) {
    CardObject* o = running() ? editor_.selected() : nullptr;
    if (!o) return false;
    {
        // The outer step names the change; the session's own step inside it records nothing.
        EditHistory::Step step(editor_.history(), undoText);
        stepBegun_ = false;
        QString content = o->content;
        if (inline_.insert(content, text) == InlineTextEditor::Outcome::Changed)
            setTextContent(*o, content);
    }
    stepBegun_ = false;
    return true;
}

void TextSession::inputMethod(QInputMethodEvent& event, bool mayStart) {
    const QString commit = event.commitString();
    if (commit.isEmpty()) return;
    CardObject* o = editor_.selected();
    if (!running()) {
        if (!o || o->kind != KindText || !mayStart) return;
        begin();
    }
    QString content = o->content;
    if (inline_.insert(content, commit) == InlineTextEditor::Outcome::Changed)
        setTextContent(*o, content);
    event.accept();
}

QVariant TextSession::inputMethodQuery(Qt::InputMethodQuery query) {
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImCursorRectangle: {
            const QLineF caret = caretInView();
            if (caret.isNull()) return {};
            return QRectF(caret.p1(), caret.p2()).normalized().adjusted(-1, 0, 1, 0);
        }
        default:
            return {};
    }
}

void TextSession::setTextContent(CardObject& o, const QString& content) {
    if (o.content == content) return;
    {
        // Every change of one session joins the step its first change began.
        EditHistory::Step step(editor_.history(), QStringLiteral("Text ändern"),
                               stepBegun_ ? kTypingMergeKey : -kTypingMergeKey);
        // The formatted spans stay on the characters they format.
        adjustRunsForChange(o.extras.runs, o.content, content);
        o.content = content;
        // The frame grows with the text, so that nothing typed is cut off.
        growTextToFit(editor_.doc(), o, editor_.views().ctx());
    }
    stepBegun_ = true;
    editor_.repaintBoth();
}

bool TextSession::press(Qt::KeyboardModifiers mods, int x, int y) {
    if (!running() || editor_.tools().current() != ToolPointer) return false;
    CardObject& o = *editor_.selected();
    const PixelBox box = pixelBox(editor_.doc(), o);
    const int mode = classifyTurnedHandle(box, o.extras.fineAngle, x, y).mode;
    if (mode == DragMove) {
        // Inside the text a press places the caret; a drag selects.
        inline_.setCaret(o.content, textIndexInView(o, QPointF(x, y)), mods & Qt::ShiftModifier);
        selecting_ = true;
        editor_.repaintView(editor_.editedSide());
        return true;
    }
    // A handle still sizes the text; anywhere else ends the session.
    if (mode == DragNone) end();
    return false;
}

void TextSession::selectTo(int side, int x, int y) {
    if (CardObject* o = running() ? editor_.selected() : nullptr) {
        inline_.setCaret(o->content, textIndexInView(*o, QPointF(x, y)), true);
        editor_.repaintView(side);
    }
}

TextSession::TextPlace TextSession::textPlace(const CardObject& o) {
    const CardDocument& d = editor_.doc();
    const PixelBox b = pixelBox(d, o);
    return {QRect(b.left, b.top, b.width, b.height), d.zoomFactor / d.unitsPerPixel};
}

int TextSession::textIndexInView(const CardObject& o, QPointF point) {
    const TextPlace at = textPlace(o);
    // A turned text is laid out upright in its box: the point turned back into it.
    const PixelBox b = pixelBox(editor_.doc(), o);
    return textIndexAt(o, editor_.views().ctx(), at.scale, at.box,
                       unturnPoint(b, o.extras.fineAngle, point));
}

QLineF TextSession::caretInView() {
    CardObject* o = editedText();
    if (!o) return {};
    const TextPlace at = textPlace(*o);
    const QLineF caret =
        textCaretLine(*o, editor_.views().ctx(), at.scale, at.box, inline_.caret());
    const PixelBox b = pixelBox(editor_.doc(), *o);
    return {turnPoint(b, o->extras.fineAngle, caret.p1()),
            turnPoint(b, o->extras.fineAngle, caret.p2())};
}

void TextSession::drawCaret(QPainter& p) {
    CardObject* o = editedText();
    if (!o) return;
    const RenderContext& ctx = editor_.views().ctx();
    const TextPlace at = textPlace(*o);
    drawSpelling(p, *o, at);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    // The caret and selection of a turned text turn with it about its box's centre.
    if (const double angle = o->extras.fineAngle; angle != 0 && std::isfinite(angle)) {
        const QPointF centre = QRectF(at.box).center();
        p.translate(centre);
        p.rotate(angle);
        p.translate(-centre);
    }
    if (inline_.hasSelection()) {
        // The selection inverts what lies under it, so it reads on any colour.
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const QPolygonF& shape : textSelectionShapes(
                 *o, ctx, at.scale, at.box, inline_.selectionStart(), inline_.selectionEnd()))
            p.drawPolygon(shape);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    const QLineF caret = textCaretLine(*o, ctx, at.scale, at.box, inline_.caret());
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(caret);
    p.restore();
}

void TextSession::drawSpelling(QPainter& p, const CardObject& o, const TextPlace& at) {
    SpellChecker& spell = editor_.spellChecker();
    if (!spell.available()) return;
    const RenderContext& ctx = editor_.views().ctx();
    const int caret = inline_.caret();
    for (const WordRange& w : spell.misspelt(o.content)) {
        if (caret >= w.start && caret <= w.start + w.length) continue;
        for (const QPolygonF& shape :
             textSelectionShapes(o, ctx, at.scale, at.box, w.start, w.start + w.length)) {
            // A line's rectangle (closed: five corners) has its foot from the fourth corner to
            // the third; an arc's shape runs out along the tops and back along the feet.
            if (shape.size() == 5) {
                drawWavyLine(p, shape[3], shape[2]);
                continue;
            }
            for (qsizetype i = shape.size() - 1; i > shape.size() / 2; --i)
                drawWavyLine(p, shape[i], shape[i - 1]);
        }
    }
}

QMenu* TextSession::spellingMenuAt(int side, int x, int y) {
    CardObject* o = editedText();
    if (!o || side != editor_.editedSide()) return nullptr;
    SpellChecker& spell = editor_.spellChecker();
    if (!spell.available()) return nullptr;
    const int index = textIndexInView(*o, QPointF(x, y));
    for (const WordRange& w : spell.misspelt(o->content)) {
        if (index < w.start || index > w.start + w.length) continue;
        auto* menu = new QMenu(editor_.views().view(side));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        const QString word = o->content.mid(w.start, w.length);
        addSpellingEntries(
            *menu, spell, word,
            [this, w, word](const QString& replacement) {
                CardObject* t = editedText();
                if (!t || t->content.mid(w.start, w.length) != word) return;
                QString content = t->content;
                inline_.setCaret(content, w.start, false);
                inline_.setCaret(content, w.start + w.length, true);
                if (inline_.insert(content, replacement) == InlineTextEditor::Outcome::Changed)
                    setTextContent(*t, content);
            },
            [this] { editor_.repaintBoth(); });
        return menu;
    }
    return nullptr;
}

}  // namespace bb
