// The object menu objectMenu (enabled and checked by the selected object's kind) and the view
// menu showViewMenu.
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace bb {

class EditorController;
struct CardObject;

class ObjectMenu : public QObject {
    Q_OBJECT
public:
    ObjectMenu(EditorController& editor, QWidget* menuParent, QObject* parent = nullptr);
    ~ObjectMenu() override;

    QMenu* objectMenu() const { return objectMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }
    // The item with this object name (Lschen1, FarbeM, KreisM, ..., backgroundMenuAction_).
    QAction* item(const QString& name) const;

    // Enables the items for the object's kind and sets the check marks.
    void prepare(const CardObject& o);

    // Adds the commands that centre the selected object on the card or on its half of the
    // card to `menu` (the object menu's "Ausrichten" submenu, the window's edit menu).
    static void addCentringItems(EditorController& editor, QMenu* menu);

private:
    QMenu* objectMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* arrangeMenu_ = nullptr;
    QAction* figureItems_[10] = {};
    QAction* alignItems_[3] = {};
};

}  // namespace bb
