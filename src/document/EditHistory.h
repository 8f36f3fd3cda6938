// The undo history of the open card. An editing command opens a step, changes the document as
// it always has, and closes the step; the step then keeps only what changed: the object records
// of the slots that differ (before and after, pictures shared, never copied), the backgrounds
// and the card format. Undo and redo write those values back into whichever slot table holds
// the side at that moment, so that switching sides in between does no harm.
#pragma once

#include "document/CardDocument.h"
#include "document/EditedSide.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <memory>
#include <vector>

namespace bb {

class EditHistory : public QObject {
    Q_OBJECT
public:
    explicit EditHistory(CardDocument& doc, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& stack() { return stack_; }
    CardDocument& doc() { return doc_; }
    // The side being edited and the selection: steps record them, undo and redo set them.
    // The editor hands in the one it owns; until then the history keeps its own.
    void setEditedSide(EditedSide& edited) { edited_ = &edited; }
    EditedSide& editedSide() { return *edited_; }

    // Opens a step; steps nest, and only the outermost one records. Nothing is recorded when
    // nothing changed between begin() and the matching end().
    void begin();
    // Closes a step under `text` (e.g. "Objekt verschieben"). Steps that belong together
    // (moves while a key is held) pass the same key K: the first one -K, which starts a group,
    // the following ones K, which merge into the previous step when it belongs to the group
    // and changed the same objects. 0 merges nothing.
    void end(const QString& text, int mergeKey = 0);
    bool stepOpen() const { return depth_ > 0; }

    // Tells the open step that the picture of `slot` on the edited side was turned a quarter
    // (left or right) in it. The step then keeps no copy of either picture and turns the
    // picture back on undo, so that many turns of a large picture cost no memory.
    void noteQuarterTurn(int slot, bool left);

    // Undo and redo of one step; nothing while a step is open.
    void undo();
    void redo();
    bool canUndo() const { return depth_ == 0 && stack_.canUndo(); }
    bool canRedo() const { return depth_ == 0 && stack_.canRedo(); }

    // Forgets every step (new card, opened card) and takes the card as saved.
    void clear();
    // The card was saved: this state is the clean one.
    void markSaved();
    // True when the card differs from the one last saved, opened or cleared: the stack is away
    // from its clean state, or, at the clean state, a change was made outside any step.
    bool isModified() const;

    // Records one step made of `change` (used by the commands above; public for tests).
    class Step;

signals:
    // After an undo or redo changed the document. `formatChanged` when the card type changed
    // (the views must be laid out anew). A step that changed one side only makes that side the
    // working one first. The selection (editedSide()) is already set: the object the step's
    // command had selected, when it is still there.
    void applied(bool formatChanged);
    // isModified() turned to `modified`: a step, an undo or redo, a save or a clear changed
    // it. Sent only when the value changes, so that it is worked out once per notification.
    void modifiedChanged(bool modified);

private:
    struct Capture;
    class Command;
    friend class Command;

    // Works out isModified() and sends modifiedChanged when it differs from the last value.
    void updateModified();

    CardDocument& doc_;
    EditedSide ownEdited_;
    EditedSide* edited_ = &ownEdited_;
    QUndoStack stack_;
    bool modified_ = false;
    int depth_ = 0;
    std::unique_ptr<Capture> open_;
};

// Opens a step for one scope: `EditHistory::Step step(history, "Objekt löschen");`.
class EditHistory::Step {
public:
    Step(EditHistory& history, QString text, int mergeKey = 0)
        : history_(history), text_(std::move(text)), mergeKey_(mergeKey) {
        history_.begin();
    }
    ~Step() { history_.end(text_, mergeKey_); }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    EditHistory& history_;
    QString text_;
    int mergeKey_;
};

}  // namespace bb
