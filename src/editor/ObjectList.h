// "Ebenen": every object of the edited side in a list, the front one at the top, with its kind
// and a short name (a text's start, a picture's file name). Choosing rows selects the objects
// on the card and the card's selection shows in the list; dragging a row changes the drawing
// order; a row's check box locks its object against picking and dragging on the card.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QListWidget;
class QListWidgetItem;

namespace bb {

class EditorController;
struct CardObject;

class ObjectList : public QWidget {
    Q_OBJECT
public:
    explicit ObjectList(EditorController& editor, QWidget* parent = nullptr);

    // Shows the edited side's objects and selection; rebuilt only when they changed.
    void refresh();
    // The editor goes: the list no longer reaches it.
    void detach();

    // The kind and short name a row shows for `o`.
    static QString rowText(const CardObject& o);

    QListWidget* list() const { return list_; }
    // The slot a row stands for.
    static int slotOf(const QListWidgetItem* item);

private:
    // What the list shows, to tell whether a refresh has anything to do.
    struct Row {
        int slot;
        QString text;
        bool locked;
        friend bool operator==(const Row&, const Row&) = default;
    };
    std::vector<Row> currentRows() const;
    void selectionChosen();
    void rowsMoved();
    void lockChanged(QListWidgetItem* item);

    EditorController* editor_;
    QListWidget* list_ = nullptr;
    std::vector<Row> shown_;
    std::vector<int> shownSelection_;
    int shownSide_ = -1;
    bool updating_ = false;
};

}  // namespace bb
