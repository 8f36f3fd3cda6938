#include "editor/InlineTextEditor.h"

#include <algorithm>

namespace bb {

namespace {

bool isBreak(QChar c) {
    return c == QChar('\r') || c == QChar('\n');
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QChar('_');
}

int wordForward(const QString& s, int pos) {
    const int n = int(s.size());
    while (pos < n && !isWordChar(s.at(pos))) pos = nextCharPos(s, pos);
    while (pos < n && isWordChar(s.at(pos))) pos = nextCharPos(s, pos);
    return pos;
}

int wordBackward(const QString& s, int pos) {
    while (pos > 0 && !isWordChar(s.at(pos - 1))) pos = previousCharPos(s, pos);
    while (pos > 0 && isWordChar(s.at(pos - 1))) pos = previousCharPos(s, pos);
    return pos;
}

// Up and Down by the content's own lines, keeping the column where the line is long enough.
int logicalVertical(const QString& s, int pos, int lines) {
    const int column = pos - lineStartPos(s, pos);
    int start = lineStartPos(s, pos);
    for (; lines < 0; ++lines) {
        if (start == 0) return 0;
        start = lineStartPos(s, previousCharPos(s, start));
    }
    for (; lines > 0; --lines) {
        const int end = lineEndPos(s, start);
        if (end >= s.size()) return int(s.size());
        start = nextCharPos(s, end);
    }
    return std::min(start + column, lineEndPos(s, start));
}

}  // namespace

int nextCharPos(const QString& s, int pos) {
    const int n = int(s.size());
    if (pos >= n) return n;
    if (pos < 0) return 0;
    const QChar c = s.at(pos);
    if (c == QChar('\r') && pos + 1 < n && s.at(pos + 1) == QChar('\n')) return pos + 2;
    if (c.isHighSurrogate() && pos + 1 < n && s.at(pos + 1).isLowSurrogate()) return pos + 2;
    return pos + 1;
}

int previousCharPos(const QString& s, int pos) {
    if (pos <= 0) return 0;
    if (pos > s.size()) return int(s.size());
    const QChar c = s.at(pos - 1);
    if (pos >= 2) {
        const QChar before = s.at(pos - 2);
        if (c == QChar('\n') && before == QChar('\r')) return pos - 2;
        if (c.isLowSurrogate() && before.isHighSurrogate()) return pos - 2;
    }
    return pos - 1;
}

int lineStartPos(const QString& s, int pos) {
    pos = std::clamp(pos, 0, int(s.size()));
    while (pos > 0 && !isBreak(s.at(pos - 1))) --pos;
    return pos;
}

int lineEndPos(const QString& s, int pos) {
    const int n = int(s.size());
    pos = std::clamp(pos, 0, n);
    while (pos < n && !isBreak(s.at(pos))) ++pos;
    return pos;
}

bool InlineTextEditor::typesText(const QString& text, Qt::KeyboardModifiers mods) {
    if (text.isEmpty() || (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

void InlineTextEditor::start(const QString& content) {
    active_ = true;
    caret_ = anchor_ = int(content.size());
}

void InlineTextEditor::clampTo(const QString& content) {
    const int n = int(content.size());
    caret_ = std::clamp(caret_, 0, n);
    anchor_ = std::clamp(anchor_, 0, n);
}

void InlineTextEditor::moveTo(int pos, bool extend) {
    caret_ = pos;
    if (!extend) anchor_ = pos;
}

void InlineTextEditor::setCaret(const QString& content, int pos, bool extend) {
    moveTo(std::clamp(pos, 0, int(content.size())), extend);
    // Never between a carriage return and its line feed.
    if (caret_ > 0 && caret_ < content.size() && content.at(caret_ - 1) == QChar('\r') &&
        content.at(caret_) == QChar('\n'))
        ++caret_;
    if (!extend) anchor_ = caret_;
}

void InlineTextEditor::replaceSelection(QString& content, const QString& text) {
    const int from = selectionStart();
    content.replace(from, selectionEnd() - from, text);
    caret_ = anchor_ = from + int(text.size());
}

InlineTextEditor::Outcome InlineTextEditor::applyKey(QString& content, int key,
                                                     Qt::KeyboardModifiers mods,
                                                     const QString& text) {
    if (!active_) return Outcome::Ignored;
    clampTo(content);
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const int n = int(content.size());
    switch (key) {
        case Qt::Key_Escape:
            active_ = false;
            return Outcome::Finished;
        case Qt::Key_Left:
            if (hasSelection() && !shift)
                moveTo(selectionStart(), false);
            else
                moveTo(ctrl ? wordBackward(content, caret_) : previousCharPos(content, caret_),
                       shift);
            return Outcome::Moved;
        case Qt::Key_Right:
            if (hasSelection() && !shift)
                moveTo(selectionEnd(), false);
            else
                moveTo(ctrl ? wordForward(content, caret_) : nextCharPos(content, caret_), shift);
            return Outcome::Moved;
        case Qt::Key_Home:
            moveTo(ctrl ? 0 : lineStartPos(content, caret_), shift);
            return Outcome::Moved;
        case Qt::Key_End:
            moveTo(ctrl ? n : lineEndPos(content, caret_), shift);
            return Outcome::Moved;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const int lines = key == Qt::Key_Up ? -1 : 1;
            const int pos = verticalMove ? verticalMove(content, caret_, lines)
                                         : logicalVertical(content, caret_, lines);
            setCaret(content, pos, shift);
            return Outcome::Moved;
        }
        case Qt::Key_Backspace:
            if (!hasSelection()) {
                if (caret_ == 0) return Outcome::Moved;
                anchor_ = ctrl ? wordBackward(content, caret_) : previousCharPos(content, caret_);
            }
            replaceSelection(content, QString());
            return Outcome::Changed;
        case Qt::Key_Delete:
            if (!hasSelection()) {
                if (caret_ == n) return Outcome::Moved;
                anchor_ = ctrl ? wordForward(content, caret_) : nextCharPos(content, caret_);
            }
            replaceSelection(content, QString());
            return Outcome::Changed;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A new line as the text dialog stores it: a carriage return.
            replaceSelection(content, QString(QChar('\r')));
            return Outcome::Changed;
        case Qt::Key_A:
            if (ctrl) {
                anchor_ = 0;
                caret_ = n;
                return Outcome::Moved;
            }
            break;
        default:
            break;
    }
    if (!typesText(text, mods)) return Outcome::Ignored;
    replaceSelection(content, text);
    return Outcome::Changed;
}

}  // namespace bb
