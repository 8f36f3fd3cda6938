#include "editor/InlineTextEditor.h"

#include <QList>
#include <QTextBoundaryFinder>

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

namespace {

bool isRegionalIndicator(char32_t c) {
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// The code point that ends just before `pos` and the one that starts at `pos`.
char32_t codePointBefore(const QString& s, int pos) {
    if (pos >= 2 && s.at(pos - 1).isLowSurrogate() && s.at(pos - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(s.at(pos - 2), s.at(pos - 1));
    return s.at(pos - 1).unicode();
}
char32_t codePointAt(const QString& s, int pos) {
    if (pos + 1 < s.size() && s.at(pos).isHighSurrogate() && s.at(pos + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(s.at(pos), s.at(pos + 1));
    return s.at(pos).unicode();
}

// Where Qt's grapheme rules still break inside what shows as one character: within a pair of
// regional indicators (a flag) and around the zero-width joiner of an emoji sequence.
bool joinedAt(const QString& s, int pos) {
    if (pos <= 0 || pos >= s.size()) return false;
    if (s.at(pos).isLowSurrogate() && s.at(pos - 1).isHighSurrogate()) return true;
    if (s.at(pos - 1) == QChar('\r') && s.at(pos) == QChar('\n')) return true;
    constexpr char16_t kJoiner = 0x200D;
    if (s.at(pos - 1) == QChar(kJoiner) || s.at(pos) == QChar(kJoiner)) return true;
    if (!isRegionalIndicator(codePointBefore(s, pos)) || !isRegionalIndicator(codePointAt(s, pos)))
        return false;
    // Indicators pair from the start of their run: inside a pair when an odd count precedes.
    int count = 0;
    for (int p = pos; p > 0 && isRegionalIndicator(codePointBefore(s, p)); p -= 2) ++count;
    return count % 2 == 1;
}

}  // namespace

// Character steps go by whole graphemes: an emoji of several code points (a family joined by
// zero-width joiners, a flag, a skin tone), a letter with its combining marks, a carriage
// return with its line feed.
int nextCharPos(const QString& s, int pos) {
    const int n = int(s.size());
    if (pos >= n) return n;
    if (pos < 0) return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    finder.setPosition(pos);
    int next = pos;
    do {
        const qsizetype found = finder.toNextBoundary();
        next = found > next ? int(found) : next + 1;
        finder.setPosition(next);
    } while (next < n && joinedAt(s, next));
    return next;
}

int previousCharPos(const QString& s, int pos) {
    if (pos <= 0) return 0;
    if (pos > s.size()) return int(s.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    finder.setPosition(pos);
    int previous = pos;
    do {
        const qsizetype found = finder.toPreviousBoundary();
        previous = found >= 0 && found < previous ? int(found) : previous - 1;
        finder.setPosition(previous);
    } while (previous > 0 && joinedAt(s, previous));
    return previous;
}

QString typedText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QChar('\r') || c == QChar('\n')) {
            // Every line break becomes the carriage return that separates a text's lines.
            if (c == QChar('\n') && i > 0 && text.at(i - 1) == QChar('\r')) continue;
            out += QChar('\r');
        } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            out += QChar('\r');
        } else if (c == QChar('\t') || c.category() != QChar::Other_Control) {
            out += c;
        }
    }
    return out;
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
    // Whole code points: an emoji is a surrogate pair, and an emoji sequence holds joiners and
    // variation selectors, which print nothing of their own but belong to what is typed.
    bool prints = false;
    const QList<uint> codePoints = text.toUcs4();
    for (const uint c : codePoints) {
        if (QChar::category(c) == QChar::Other_Control) return false;
        if (QChar::isPrint(c)) prints = true;
    }
    return prints;
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
    // Never inside one character: between a carriage return and its line feed, within an
    // emoji sequence or a flag.
    if (joinedAt(content, caret_)) caret_ = nextCharPos(content, caret_);
    if (!extend) anchor_ = caret_;
}

QString InlineTextEditor::selectedText(const QString& content) const {
    const int from = std::clamp(selectionStart(), 0, int(content.size()));
    const int to = std::clamp(selectionEnd(), from, int(content.size()));
    return content.mid(from, to - from);
}

InlineTextEditor::Outcome InlineTextEditor::insert(QString& content, const QString& text) {
    if (!active_) return Outcome::Ignored;
    clampTo(content);
    const QString typed = typedText(text);
    if (typed.isEmpty() && !hasSelection()) return Outcome::Moved;
    replaceSelection(content, typed);
    return Outcome::Changed;
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
