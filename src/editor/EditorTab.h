// The "Editor" tab: the tool bar at the top, then the tool column, the side tabs with the two
// views of the card and their rulers, and the property column side by side.
#pragma once

#include "editor/Icons.h"  // decorateWindow: the icons of the window's commands

#include <QWidget>

#include <memory>

class QTabWidget;
class QToolBar;
class QVBoxLayout;

namespace bb {

class CardDocument;
struct RenderContext;
class EditorViews;

class EditorTab : public QWidget {
    Q_OBJECT
public:
    EditorTab(CardDocument& doc, RenderContext& ctx, QWidget* parent = nullptr);
    ~EditorTab() override;

    EditorViews& views() { return *views_; }
    QToolBar* toolBar() const { return toolBar_; }
    QTabWidget* sideTabs() const { return sideTabs_; }  // PageControl2
    // Empty columns with a vertical layout, for the creation tools (left) and the property
    // panel (right); hidden until something is put into them.
    QWidget* toolColumn() const { return toolColumn_; }
    QWidget* propertyColumn() const { return propertyColumn_; }

    // Makes `side` the active side tab and runs sideTabChanged for it, even when the tab
    // is already active; the print commands switch sides through this.
    void selectSide(int side);
    // Shows the tab of the edited side (after a step of the undo history or an
    // opened card).
    void syncSideTab();
    // Puts `bar` (the record bar of personal cards) right above the side tabs.
    void setRecordBar(QWidget* bar);

private:
    void sideTabChanged(int index);

    CardDocument& doc_;
    std::unique_ptr<EditorViews> views_;
    QToolBar* toolBar_ = nullptr;
    QTabWidget* sideTabs_ = nullptr;
    QVBoxLayout* middle_ = nullptr;  // the side tabs and what stands above them
    QWidget* toolColumn_ = nullptr;
    QWidget* propertyColumn_ = nullptr;
    bool switching_ = false;
};

}  // namespace bb
