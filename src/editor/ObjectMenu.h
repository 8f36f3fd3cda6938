// The object menu objectMenu (enabled and checked by the selected object's kind) and the view
// menu showViewMenu, both filled from the editor's commands in the command registry.
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace bb {

class CommandRegistry;
class EditorController;
struct CardObject;

class ObjectMenu : public QObject {
    Q_OBJECT
public:
    ObjectMenu(EditorController& editor, QWidget* menuParent, QObject* parent = nullptr);
    ~ObjectMenu() override;

    QMenu* objectMenu() const { return objectMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }
    // The item with this object name (Lschen1, FarbeM, KreisM, ..., Hintergrundbild1).
    QAction* item(const QString& name) const;

    // Enables the items for the object's kind and sets the check marks.
    void prepare(const CardObject& o);

private:
    void addClipboardItems(CommandRegistry& registry);
    void addArrangeItems(CommandRegistry& registry);
    void addPropertyItems(CommandRegistry& registry);
    void addGroupItems(CommandRegistry& registry);
    void addFigureItems(CommandRegistry& registry);
    void buildViewMenu(CommandRegistry& registry, QWidget* menuParent);
    QAction* plug(CommandRegistry& registry, const QString& id, QMenu* menu);
    void separator(const char* name);

    CommandRegistry* registry_ = nullptr;
    QMenu* objectMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* arrangeMenu_ = nullptr;
    QAction* figureItems_[10] = {};
    QAction* alignItems_[3] = {};
};

}  // namespace bb
