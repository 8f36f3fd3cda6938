// Typing on the card: one session of in-place editing on the selected text. It starts on a
// typed character, the text tool or a new text, places the caret and the selection with the
// mouse, records the changes of one session as one undo step, grows the text's frame with
// its lines, and ends with Escape, a press outside the text, another selection or side.
#pragma once

#include "editor/InlineTextEditor.h"

#include "document/ObjectExtras.h"

#include <QLineF>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <Qt>

#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QMenu;
class QPainter;
class QVariant;

namespace bb {

class EditorController;
struct CardObject;

class TextSession : public QObject {
    Q_OBJECT
public:
    explicit TextSession(EditorController& editor) : editor_(editor) {}

    // True while a session runs on the selected text; a session whose text went away
    // meanwhile (deleted, another selection or side) ends here.
    bool running();
    // Starts a session on the selected text, the caret at its end.
    void begin();
    // Puts the caret of the session at view position (x, y) of text `o`.
    void placeCaret(const CardObject& o, int x, int y);
    void end();

    // A key: true when the session took it. Typing a character on the selected text starts
    // a session when `mayStart` (the pointer tool, no drag running).
    bool key(QKeyEvent& event, bool mayStart);
    // While a session runs, paste, copy and cut act on its text and the formatting keys on
    // its selected characters (Ctrl+B bold, Ctrl+Shift+I italic, Ctrl+> bigger, Ctrl+<
    // smaller), taking them from the window's shortcuts.
    bool takesShortcut(const QKeyEvent& event);
    // Text committed by an input method is typed like keys; it starts a session on a selected
    // text when `mayStart`.
    void inputMethod(QInputMethodEvent& event, bool mayStart);
    QVariant inputMethodQuery(Qt::InputMethodQuery query);
    // Applies `change` to the format of the selected characters of the session's text as one
    // undo step; false (and nothing changes) without a session or a selection.
    bool formatSelection(const QString& undoText, const std::function<void(TextRun&)>& change);
    bool hasSelection() { return running() && inline_.hasSelection(); }
    // Puts `text` at the caret of the running session (in place of the selected characters) as
    // one undo step named `undoText`; typing after it is a step of its own. False without a
    // session.
    bool insertText(const QString& text, const QString& undoText);

    // A left press while a session runs: inside the text it places the caret (with Shift it
    // extends the selection) and true is returned; on a handle the press is the editor's;
    // anywhere else the session ends.
    bool press(Qt::KeyboardModifiers mods, int x, int y);
    // From a press inside the text to its release the mouse selects.
    bool selecting() const { return selecting_; }
    void selectTo(int side, int x, int y);
    void stopSelecting() { selecting_ = false; }

    // The spelling menu of the misspelt word at view position (x, y) of the session's text,
    // deleted when it closes; null without a session or such a word there.
    QMenu* spellingMenuAt(int side, int x, int y);

    const InlineTextEditor& editor() const { return inline_; }
    // The caret in view pixels; null when no session runs.
    QLineF caretInView();
    void drawCaret(QPainter& painter);

signals:
    // A session began or ended; sent before the views are repainted.
    void editingChanged(bool editing);

private:
    // Where a text lies for the caret functions: its box in view pixels and the view's scale.
    struct TextPlace {
        QRect box;
        double scale = 1.0;
    };
    // The text of a running session; null when there is none or its text is gone.
    CardObject* editedText();
    TextPlace textPlace(const CardObject& o);
    int textIndexInView(const CardObject& o, QPointF point);
    // Up and Down over the text as it is laid out on the card.
    int verticalMove(const QString& content, int pos, int lines);
    void setTextContent(CardObject& o, const QString& content);
    // Paste, copy, cut and the formatting keys; true when the key was one of them.
    bool editKey(QKeyEvent& event, CardObject& o);
    void updateCurrentView();
    // Red wavy lines under the misspelt words, except the one being typed.
    void drawSpelling(QPainter& p, const CardObject& o, const TextPlace& at);

    EditorController& editor_;
    InlineTextEditor inline_;
    int slot_ = 0;
    int side_ = 0;
    bool selecting_ = false;
    bool stepBegun_ = false;
};

}  // namespace bb
