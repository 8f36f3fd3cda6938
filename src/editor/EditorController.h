// The editing layer of both editor views: it takes their mouse and key events, keeps the
// selection, its handles and the dragging of objects and guides, and hands the rest to its
// parts: moving about the card to EditorNavigation, creation with the tools to ObjectCreator,
// typing on a text to TextSession, and the commands on the selected object to ObjectCommands.
// One editor state serves both views.
#pragma once

#include "document/EditHistory.h"
#include "editor/Alignment.h"
#include "editor/CropSession.h"
#include "editor/EditMath.h"
#include "editor/EditorInput.h"
#include "editor/EditorNavigation.h"
#include "editor/EditorViews.h"
#include "editor/Guides.h"
#include "editor/InlineTextEditor.h"
#include "editor/ObjectCreator.h"
#include "editor/Snapping.h"
#include "editor/TextSession.h"
#include "editor/ToolPalette.h"

#include <QLineF>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QDialog;
class QMenu;

namespace bb {

class CommandRegistry;
class EditorTab;
class ObjectMenu;
class ObjectList;
class PropertyPanel;
class PictureOpenDialog;
class ObjectCommands;
class ObjectClipboard;
class BackgroundDialog;
class UserDialogs;
class SpellChecker;

class EditorController : public QObject, public EditorInput {
    Q_OBJECT
public:
    // `dialogParent` parents the dialogs and menus (the main window).
    EditorController(EditorViews& views, UserDialogs& dialogs, const QString& programFolder,
                     QWidget* dialogParent);
    ~EditorController() override;

    // Puts the tool bar into the tab's tool column and the panel into its property column,
    // and becomes the event handler of both views.
    void install(EditorTab& tab);

    // Snapping of dragged and resized objects to guides and the grid; off until switched on.
    struct SnapOptions {
        bool enabled = false;
        double gridMm = 5.0;  // grid spacing in millimetres of the card
    };
    const SnapOptions& snapOptions() const { return snapOptions_; }
    void setSnapping(bool enabled) { snapOptions_.enabled = enabled; }
    void setGridSpacing(double mm) { snapOptions_.gridMm = mm; }

    // Guide lines pulled out of the rulers, per side, kept with the open card until it is
    // cleared (never saved). Dragged objects always snap to them.
    const CardGuides& guides() const { return guides_; }
    void clearGuides();
    // "Hilfslinien entfernen" of the view menu: takes away the guides of one side.
    void removeGuides(int side);
    // Whether the views show the grid of snapOptions().gridMm (never drawn into any output).
    bool gridShown() const { return gridShown_; }
    void setGridShown(bool shown);
    // True from a press on a ruler or on a guide to its release.
    bool pullingGuide() const { return guidePull_.active; }

    // Runs the editor's dialogs modally (exec by default); tests answer the dialogs through it.
    void setRunModal(std::function<int(QDialog&)> run) { runModal_ = std::move(run); }

    CardDocument& doc() { return views_.doc(); }
    EditorViews& views() { return views_; }
    // The side being edited (the active side tab) and the object selected on it (0: none).
    EditedSide& edited() { return views_.edited(); }
    int editedSide() const { return views_.edited().side; }
    int selectedSlot() const { return views_.edited().slot; }
    SlotTable& editedSlots() { return views_.edited().table(views_.doc()); }
    const SlotTable& editedSlots() const { return views_.edited().table(views_.doc()); }
    Background& editedBackground() { return views_.edited().background(views_.doc()); }
    // Makes `side` the edited one, as a click on its tab does (the selection goes).
    void showSide(int side);
    ToolPalette& tools() { return *tools_; }
    ObjectMenu& menus() { return *menus_; }
    // The program's commands; the editor's own are defined in it, the window adds its own.
    CommandRegistry& commandRegistry() { return *commandRegistry_; }
    PropertyPanel& panel() { return *panel_; }
    // "Ebenen", the object list beside the panel.
    ObjectList& objectList();
    ObjectCommands& commands() { return *commands_; }
    ObjectClipboard& clipboard() { return *clipboard_; }
    EditorNavigation& navigation() { return navigation_; }
    ObjectCreator& creator() { return *creator_; }
    TextSession& textSession() { return *textSession_; }
    // The spell checker of the text dialog and of typing on the card, made on first use (the
    // dictionary takes a moment to load).
    SpellChecker& spellChecker();
    // Where the user's own words are kept ("Zum Wörterbuch hinzufügen").
    void setPersonalWordList(const QString& path);
    // "Zuschneiden" of the selected picture (see CropSession).
    CropSession& cropSession() { return *cropSession_; }
    PictureOpenDialog& pictureOpenDialog() { return *pictureOpenDialog_; }
    BackgroundDialog& backgroundDialog() { return *backgroundDialog_; }
    int cursorNumber() const { return cursor_; }
    CardObject* selected();
    // The undo history of the open card; every editing command records one step in it.
    EditHistory& history() { return *history_; }

    // EditorInput.
    void mousePress(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                    int y) override;
    void mouseMove(int side, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, int x,
                   int y) override;
    void mouseRelease(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                      int y) override;
    void doubleClick(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                     int y) override;
    void keyPress(QKeyEvent& event) override;
    bool takesShortcut(const QKeyEvent& event) override;
    void inputMethod(QInputMethodEvent& event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) override;
    bool wheel(int side, Qt::KeyboardModifiers mods, QPoint angleDelta, int x, int y) override;
    void beforePaint() override;
    void drawMarks(int side, QPainter& painter, int offsetX, int offsetY) override;
    void drawOverlay(int side, QPainter& painter) override;
    void drawAids(int side, QPainter& painter, int offsetX, int offsetY) override;
    void rulerPress(int side, bool topRuler, int x, int y) override;
    void rulerMove(int side, int x, int y) override;
    void rulerRelease(int side, int x, int y) override;

    // Operations.
    // "Ganze Karte zeigen" (see EditorNavigation).
    void showWholeCard() { navigation_.showWholeCard(); }
    // The undo merge key of nudges: a held arrow key is one step.
    static constexpr int kNudgeMergeKey = 0x4e75;
    // Moves the selected object by (dx, dy) view pixels, or millimetres; a repeat of a held
    // key joins the undo step of its first press.
    void nudge(int dx, int dy, bool millimetre, bool autoRepeat);
    // Centres the selected object on the card or on the half of the card it lies in.
    // Several selected objects are centred together, as one block.
    enum class CentreOn { CardHorizontally, CardVertically, HalfHorizontally, HalfMiddle };
    void centreSelected(CentreOn where);
    // "Ausrichten": lines up the selected objects (a group as one) on an edge of the box
    // around them all; one object, or one group, on the edge of the half of the card it lies
    // in (top and bottom: the card's).
    void alignSelected(AlignEdge edge);
    // Equal gaps between the selected objects (a group as one) across or down.
    void distributeSelected(bool horizontally);
    // The guide lines that hold during the current drag (document units).
    const std::vector<int32_t>& guideXs() const { return guideXs_; }
    const std::vector<int32_t>& guideYs() const { return guideYs_; }
    // Selects a slot (0: none) with the rest of its group and loads the selection-bound panel
    // controls from it.
    void selectSlot(int slot);

    // ---- several objects at once (EditorSelection.cpp) ----
    // The selected slots of the edited side in drawing order, the current one among them.
    std::vector<int> selection() const;
    bool isSelected(int slot) const;
    // Selects `picks` with the rest of their groups; `current` (one of them, else the
    // frontmost) becomes the object the panel shows.
    void setSelection(const std::vector<int>& picks, int current = 0);
    // Shift+click and Ctrl+click: adds the object and its group, or takes them away.
    void toggleSelected(int slot);
    // Ctrl+A: every object of the side that is not locked. Escape: nothing.
    void selectAll();
    void clearSelection();
    // The used slots of the edited side that share `slot`'s group (`slot` alone without one).
    std::vector<int> groupOf(int slot) const;
    // The selected objects that may move on the card (the locked ones stay).
    std::vector<int> movableSelection() const;
    // A rubber band pulled over empty card area, in view pixels; empty while none is pulled.
    QRect rubberBand() const;
    // Moves the objects of `picks` by (dx, dy) units, as one step of the undo history.
    void moveSlots(const std::vector<int>& picks, int64_t dx, int64_t dy, const QString& stepText);
    // After a new document: idle mouse, no drag, no remembered presses, nothing selected.
    void resetState();

    // True from a press on the turning handle above the selection to its release.
    bool turning() const { return turn_.active; }

    // The object menu (on a selected object) and the view menu at a view position.
    void showObjectMenu(int side, int x, int y);
    void showViewMenu(int side, int x, int y);
    // The background dialog of the edited side.
    void editBackground();

    // Typing on the selected text (see TextSession). textEditing() is true while a session
    // runs on the selected text; it ends with Escape, a press outside the text, another
    // selection or side, and before the text dialog opens. The caret is in view pixels.
    bool textEditing() { return textSession_->running(); }
    void endTextEditing() { textSession_->end(); }
    const InlineTextEditor& inlineText() const { return textSession_->editor(); }
    QLineF textCaretInView() { return textSession_->caretInView(); }

    void repaintBoth() { views_.paintBoth(); }
    void repaintView(int side);
    // Runs a dialog through the modal runner (see setRunModal).
    int modal(QDialog& d) const;

signals:
    // An undo or redo changed the card; `formatChanged` when it changed the card type.
    void historyApplied(bool formatChanged);
    // A menu was opened (the object menu or the view menu) at a global position.
    void menuOpened(QMenu* menu, QPoint globalPos);
    // Typing on the card began or ended; sent before the views are repainted.
    void textEditingChanged(bool editing);

private:
    void drawSelectionMarks(QPainter& painter, int offsetX, int offsetY);
    // The drag mode, grab offsets and cursor for the mouse at (x, y) with the current tool.
    void chooseDragMode(int x, int y);
    void dragObject(int x, int y);
    void handleKey(int key);
    // Ctrl+arrow keys: moves the selected object by one view pixel, with Shift by one
    // millimetre. Returns false for any other key.
    bool nudgeKey(const QKeyEvent& event);
    // The left and the right button pressed with the current tool.
    void leftPress(int side, Qt::KeyboardModifiers mods, int x, int y);
    void rightPress(int side, int x, int y);
    // A left press on a handle or the body of the selected object starts dragging it.
    void startDrag(int side, int x, int y);
    // Several objects: the box around the movable selection in view pixels, whether a drag
    // of them is on, and the drag applied to all of them (moved, or scaled within that box).
    bool draggingSeveral() const { return !severalStart_.empty(); }
    PixelBox selectionPixelBox() const;
    void startDragSeveral();
    void dragSeveral(int x, int y);
    void restoreSeveral();
    // The rubber band: a press on empty card area starts it, the release selects what lies
    // wholly inside (added to the selection with Shift or Ctrl).
    void startBand(int side, int x, int y, bool adding);
    void pullBand(int x, int y);
    void dropBand(int x, int y);
    void drawBand(int side, QPainter& painter);
    // Ctrl+A and Escape; false for any other key.
    bool selectionKey(const QKeyEvent& event);
    void setCursorNumber(int number);
    // Whether the mouse at (x, y) has gone the platform's drag distance from the drag's press.
    bool beyondDragDistance(int x, int y) const;
    // A drag is one undo step from the press to the release.
    void beginDragStep();
    void endDragStep();
    void afterHistoryApplied(bool formatChanged);
    void updateOutline(const QRect& before);
    QRect outlineRect() const;
    // Snapping during a drag: the candidate lines are taken once at the press.
    void startSnapping();
    void snapDragged(CardObject& o);
    void snapTurned(CardObject& o, const SnapGrid& grid);
    void drawGuides(int side, QPainter& painter);
    QRegion guideRegion() const;
    // Guides in the view: a left press on one starts moving it (false when none lies under
    // the mouse), the mouse pulls it, the release puts it down, or takes it away when the
    // mouse is off the visible part of the view (back on a ruler).
    bool pressOnGuide(int side, int x, int y);
    void pullGuide(int x, int y);
    void dropGuide(int x, int y);
    // The guide within reach of a view position where the pointer would grab no object,
    // and the cursor that shows it can be moved.
    GuideRef guideUnderMouse(int side, int x, int y);
    void hoverGuide(int side, int x, int y);
    // One guide across the whole view, onto a bitmap whose origin lies at (offsetX, offsetY).
    void drawGuideLine(QPainter& painter, bool vertical, int32_t pos, int offsetX, int offsetY);

    // The round handle above the selection turns the selected object by any angle: a press on
    // it starts one undo step, the mouse turns the object (Shift in steps of 15°), the release
    // settles the turn into quarter turns and a fine angle; Escape puts back the turn it began
    // with.
    bool pressOnTurnHandle(int side, int x, int y);
    void turnWithHandle(int x, int y, bool snap);
    void endTurning(int x, int y, bool snap);
    void cancelTurning();
    void drawTurnHandle(QPainter& p, const PixelBox& box, double angle, int offsetX, int offsetY);

    EditorViews& views_;
    UserDialogs& dialogs_;
    QString programFolder_;
    QWidget* dialogParent_ = nullptr;
    ToolPalette* tools_ = nullptr;
    std::unique_ptr<ToolPalette> ownedTools_;
    CommandRegistry* commandRegistry_ = nullptr;
    ObjectMenu* menus_ = nullptr;
    PropertyPanel* panel_ = nullptr;
    std::unique_ptr<PropertyPanel> ownedPanel_;
    QPointer<ObjectList> objectList_;
    std::unique_ptr<ObjectList> ownedObjectList_;
    EditorTab* tab_ = nullptr;
    std::unique_ptr<EditHistory> history_;
    std::unique_ptr<ObjectCommands> commands_;
    std::unique_ptr<ObjectClipboard> clipboard_;
    PictureOpenDialog* pictureOpenDialog_ = nullptr;
    BackgroundDialog* backgroundDialog_ = nullptr;
    std::function<int(QDialog&)> runModal_;
    EditorNavigation navigation_;
    std::unique_ptr<ObjectCreator> creator_;
    std::unique_ptr<TextSession> textSession_;
    std::unique_ptr<SpellChecker> spell_;
    QString personalWordList_;
    std::unique_ptr<CropSession> cropSession_;
    SnapOptions snapOptions_;
    // The mouse state (idle, dragging, panning), the drag's mode (which handle or the body)
    // and where within the object the drag grabbed it.
    int32_t mouseState_ = MouseIdle;
    int32_t dragMode_ = DragNone;
    int32_t grabOffsetX_ = 0, grabOffsetY_ = 0;
    int cursor_ = CursorArrow;
    int dragSide_ = 0;
    // Where the press that began the current drag lay; the object follows the mouse only once
    // it has gone beyond the platform's drag distance from there, so a click moves nothing.
    QPoint dragPressPos_;
    bool dragFollowing_ = false;
    // The left button is down (a press was seen and its release not yet).
    bool leftDown_ = false;
    bool dragStepOpen_ = false;
    QString dragStepText_;
    // The selected object's box when the current drag began (a double click undoes the drag
    // that its own second press started).
    int32_t dragStartBox_[4] = {};
    // The last two left presses (view, position) and the selection before the last one: the
    // second press of a double click belongs to the object that the first press hit.
    struct Press {
        int side = -1;
        QPoint pos;
    };
    Press lastPress_, pressBefore_;
    int slotBeforeLastPress_ = 0;
    SnapLines snapLines_;
    std::vector<int32_t> guideXs_, guideYs_;
    QRegion shownGuides_;  // where the guides of the last screen update lie
    CardGuides guides_;
    bool gridShown_ = false;
    // A guide on the move: a new one from a ruler (guide not valid) or one of `side`.
    struct GuidePull {
        bool active = false;
        int side = 0;
        bool vertical = false;
        GuideRef guide;
        int32_t pos = 0;
        bool onView = false;  // over the visible part of the view, where it stays when let go
    };
    GuidePull guidePull_;
    // A drag of several objects: each one's box as it began and the box around them all.
    struct StartBox {
        int slot;
        int32_t x, y, width, height;
    };
    std::vector<StartBox> severalStart_;
    StartBox severalUnion_{};
    struct Band {
        bool active = false;
        bool adding = false;
        int side = 0;
        QPoint from, to;
        std::vector<int> before;  // the selection that an adding band adds to
    };
    Band band_;
    struct TurnDrag {
        bool active = false;
        int side = 0;
        double angle = 0;      // the whole turn the handle gives now
        double startFine = 0;  // the fine angle before the press
    };
    TurnDrag turn_;
};

}  // namespace bb
