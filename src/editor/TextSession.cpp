#include "editor/TextSession.h"

#include "editor/EditMath.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/ObjectCreation.h"
#include "render/TextRenderer.h"

#include <QKeyEvent>
#include <QPainter>

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
    if (!t || t->rotation != 0) return lines < 0 ? 0 : end;
    const RenderContext& ctx = editor_.views().ctx();
    const TextPlace at = textPlace(*t);
    const QLineF caret = textCaretLine(*t, ctx, at.scale, at.box, pos);
    const QPointF target(caret.x1(), caret.center().y() + lines * caret.length());
    // Up from the first line goes to the start, down from the last to the end.
    if (target.y() < textCaretLine(*t, ctx, at.scale, at.box, 0).y1()) return 0;
    if (target.y() > textCaretLine(*t, ctx, at.scale, at.box, end).y2()) return end;
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

void TextSession::setTextContent(CardObject& o, const QString& content) {
    if (o.content == content) return;
    {
        // Every change of one session joins the step its first change began.
        EditHistory::Step step(editor_.history(), QStringLiteral("Text ändern"),
                               stepBegun_ ? kTypingMergeKey : -kTypingMergeKey);
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

}  // namespace bb
