// Typing on the card: the caret and selection inside a text object's content and what each
// key does to them. Pure logic over the content string, which stays the object's own (the
// same string the text dialog edits): lines are separated by carriage returns, and a carriage
// return followed by a line feed counts as one character.
#pragma once

#include <QString>
#include <Qt>

#include <algorithm>
#include <functional>

namespace bb {

class InlineTextEditor {
public:
    // What a key did.
    enum class Outcome {
        Ignored,   // not a key of the text: the editor may treat it as usual
        Moved,     // the caret or the selection changed, the text did not
        Changed,   // the text changed
        Finished,  // editing ends (Escape)
    };

    // Whether a key with this text and these modifiers types a character (any code point that
    // prints, emoji sequences included), so that it starts editing a selected text.
    static bool typesText(const QString& text, Qt::KeyboardModifiers mods);

    // Starts editing `content`: nothing selected, the caret at the end.
    void start(const QString& content);
    void stop() { active_ = false; }
    bool active() const { return active_; }

    int caret() const { return caret_; }
    int anchor() const { return anchor_; }
    int selectionStart() const { return std::min(caret_, anchor_); }
    int selectionEnd() const { return std::max(caret_, anchor_); }
    bool hasSelection() const { return caret_ != anchor_; }

    // Puts the caret at `pos` of `content` (a mouse press; with `extend` the anchor stays).
    void setCaret(const QString& content, int pos, bool extend);

    // Applies one key to `content`. Positions are first brought into the text, so a content
    // changed elsewhere meanwhile never puts them out of range.
    Outcome applyKey(QString& content, int key, Qt::KeyboardModifiers mods, const QString& text);

    // Replaces the selection (or nothing, at the caret) with `text` as it comes from the
    // clipboard or an input method: line breaks become carriage returns, control characters
    // other than the tab are left out.
    Outcome insert(QString& content, const QString& text);
    // The characters of `content` between anchor and caret.
    QString selectedText(const QString& content) const;

    // Up and Down: the position `lines` lines above (negative) or below `pos` as the text is
    // laid out on the card. Unset, they move by the content's own lines at the same column.
    std::function<int(const QString& content, int pos, int lines)> verticalMove;

private:
    void clampTo(const QString& content);
    void moveTo(int pos, bool extend);
    // Replaces the selection (or nothing, at the caret) with `text`.
    void replaceSelection(QString& content, const QString& text);

    bool active_ = false;
    int caret_ = 0;
    int anchor_ = 0;
};

// Character steps (whole graphemes) and line ends over a content string.
int nextCharPos(const QString& content, int pos);
int previousCharPos(const QString& content, int pos);
int lineStartPos(const QString& content, int pos);
int lineEndPos(const QString& content, int pos);
// `text` as a text's content holds it: line breaks as carriage returns, no control characters
// other than the tab.
QString typedText(const QString& text);

}  // namespace bb
