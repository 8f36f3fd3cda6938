#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"

#include "document/ChosenPicture.h"
#include "document/UserDialogs.h"
#include "editor/BackgroundDialog.h"
#include "editor/CommandRegistry.h"
#include "editor/Cursors.h"
#include "editor/EditorCommands.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectCommands.h"
#include "editor/ObjectList.h"
#include "editor/ObjectMenu.h"
#include "editor/PictureOpenDialog.h"
#include "editor/PropertyPanel.h"
#include "pictures/DibFilters.h"
#include "pictures/PictureOps.h"
#include "spell/SpellChecker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QRegion>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleHints>
#include <QTabWidget>
#include <QVariant>

#include <cmath>
#include <cstdlib>
#include <utility>

namespace bb {

namespace {

// The outline and handles of a selected object turned by a fine angle: the turned box and its
// eight handles where they lie turned (outline only during a drag, inverted as the upright one).
void drawTurnedMarks(QPainter& p, const PixelBox& b, double angle, int offsetX, int offsetY,
                     int mouseState) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    if (mouseState == MouseDragging) p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.drawPolygon(turnedOutline(b, angle).translated(-offsetX, -offsetY));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (mouseState == MouseIdle) {
        for (int mode = DragTopLeft; mode <= DragRight; ++mode) {
            const HandlePoint h = handlePoint(b, mode);
            const QPointF c = turnPoint(b, angle, QPointF(h.x, h.y));
            p.fillRect(QRectF(c.x() - 3 - offsetX, c.y() - 3 - offsetY, 6, 6), Qt::black);
        }
    }
    p.restore();
}

}  // namespace

EditorController::EditorController(EditorViews& views, UserDialogs& dialogs,
                                   const QString& programFolder, QWidget* dialogParent)
    : views_(views),
      dialogs_(dialogs),
      programFolder_(programFolder),
      dialogParent_(dialogParent),
      navigation_(views) {
    history_ = std::make_unique<EditHistory>(views_.doc());
    history_->setEditedSide(views_.edited());
    connect(history_.get(), &EditHistory::applied, this, &EditorController::afterHistoryApplied);
    runModal_ = [](QDialog& d) { return d.exec(); };
    textSession_ = std::make_unique<TextSession>(*this);
    connect(textSession_.get(), &TextSession::editingChanged, this,
            &EditorController::textEditingChanged);
    creator_ = std::make_unique<ObjectCreator>(*this, dialogs_, programFolder_);
    cropSession_ = std::make_unique<CropSession>(*this);
    ownedTools_ = std::make_unique<ToolPalette>();
    tools_ = ownedTools_.get();
    connect(tools_, &ToolPalette::toolChanged, this, [this] {
        // The cursor follows the tool at once.
        chooseDragMode(-100000, -100000);
    });
    commandRegistry_ = new CommandRegistry(this);
    defineEditorCommands(*this, *commandRegistry_);
    menus_ = new ObjectMenu(*this, dialogParent, this);
    ownedPanel_ = std::make_unique<PropertyPanel>(*this, dialogs_);
    panel_ = ownedPanel_.get();
    ownedObjectList_ = std::make_unique<ObjectList>(*this);
    objectList_ = ownedObjectList_.get();
    commands_ = std::make_unique<ObjectCommands>(*this, dialogs_, dialogParent);
    clipboard_ = std::make_unique<ObjectClipboard>(*this, dialogs_, programFolder_);
    pictureOpenDialog_ = new PictureOpenDialog(programFolder_, dialogParent);
    backgroundDialog_ = new BackgroundDialog(views_.doc(), views_.edited(), dialogs_,
                                             *pictureOpenDialog_, programFolder_, dialogParent);
    backgroundDialog_->repaintViews = [this] { repaintBoth(); };
    views_.setInput(this);
}

EditorController::~EditorController() {
    if (objectList_) objectList_->detach();
    if (&views_.input() == this) views_.setInput(nullptr);
    if (!dialogParent_) {
        delete backgroundDialog_;
        delete pictureOpenDialog_;
    }
}

void EditorController::install(EditorTab& tab) {
    if (ownedTools_) {
        tab.toolColumn()->layout()->addWidget(ownedTools_.release());
        tab.toolColumn()->show();
    }
    if (ownedPanel_) {
        tab.propertyColumn()->layout()->addWidget(ownedPanel_.release());
        tab.propertyColumn()->show();
    }
    if (ownedObjectList_) {
        // As wide as the panel above it.
        objectList_->setMaximumWidth(panel_->width());
        tab.propertyColumn()->layout()->addWidget(ownedObjectList_.release());
    }
    views_.setInput(this);
    clipboard_->watchViews();
    tab_ = &tab;
    // The selection is a slot of the edited side's table: it means nothing on the other side.
    connect(tab.sideTabs(), &QTabWidget::currentChanged, this, [this] {
        const bool hadSelection = selectedSlot() != 0;
        resetState();
        if (hadSelection) repaintBoth();
    });
}

ObjectList& EditorController::objectList() {
    return *objectList_;
}

int EditorController::modal(QDialog& d) const {
    return runModal_ ? runModal_(d) : d.exec();
}

CardObject* EditorController::selected() {
    if (selectedSlot() < 1 || selectedSlot() > kSlotCount) return nullptr;
    CardObject* o = editedSlots()[selectedSlot()];
    return o->used() ? o : nullptr;
}

void EditorController::repaintView(int side) {
    if (EditorView* v = views_.view(side)) v->paintView();
}

// ---- cursors, marks and the drag outline ----

void EditorController::setCursorNumber(int number) {
    if (number == cursor_) return;
    cursor_ = number;
    const QCursor c = editorCursor(number);
    for (EditorView* v : {views_.outsideView(), views_.insideView()})
        if (v) v->setCursor(c);
}

void EditorController::drawSelectionMarks(QPainter& p, int offsetX, int offsetY) {
    CardObject* o = selected();
    if (!o) return;
    const std::vector<int> picks = selection();
    if (picks.size() > 1) {
        // Several objects: each one's outline, and the handles of the box around the ones
        // that may be dragged.
        p.save();
        p.setBrush(Qt::NoBrush);
        // Each outline white with black dashes over it, seen on light and dark parts alike.
        // (Inverting the pixels under them, as a single object's outline does, is the raster
        // engine's slow path: for hundreds of objects a drag step would take tens of ms.)
        QList<QRect> outlines;
        outlines.reserve(qsizetype(picks.size()));
        for (int s : picks) {
            const PixelBox b = pixelBox(doc(), *editedSlots()[s]);
            if (b.width > 0 && b.height > 0)
                outlines.append(
                    QRect(b.left - offsetX, b.top - offsetY, b.width - 1, b.height - 1));
        }
        p.setPen(QPen(Qt::white, 0));
        p.drawRects(outlines.constData(), int(outlines.size()));
        p.setPen(QPen(Qt::black, 0, Qt::DashLine));
        p.drawRects(outlines.constData(), int(outlines.size()));
        const PixelBox u = selectionPixelBox();
        if (mouseState_ == MouseIdle && u.width > 0 && u.height > 0) {
            p.setPen(QPen(Qt::black, 0, Qt::DotLine));
            p.drawRect(u.left - offsetX, u.top - offsetY, u.width - 1, u.height - 1);
            for (int mode = DragTopLeft; mode <= DragRight; ++mode) {
                const HandlePoint h = handlePoint(u, mode);
                p.fillRect(h.x - 3 - offsetX, h.y - 3 - offsetY, 6, 6, Qt::black);
            }
        }
        p.restore();
        return;
    }
    const PixelBox b = pixelBox(doc(), *o);
    const double angle = o->extras.fineAngle;
    if (cropSession_->running()) {
        // Cropping: the fixed frame, dashed, without handles.
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 0, Qt::DashLine));
        p.drawPolygon(
            turnedOutline(b, std::isfinite(angle) ? angle : 0).translated(-offsetX, -offsetY));
        p.restore();
        return;
    }
    if (angle != 0 && std::isfinite(angle)) {
        drawTurnedMarks(p, b, angle, offsetX, offsetY, mouseState_);
        if (mouseState_ == MouseIdle) drawTurnHandle(p, b, angle, offsetX, offsetY);
        return;
    }
    const int L = b.left - offsetX, T = b.top - offsetY;
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    if (mouseState_ == MouseDragging) p.setCompositionMode(QPainter::RasterOp_NotDestination);
    // The platform rectangle (L, T, L + W, T + H) outlines L..L+W-1 and T..T+H-1.
    if (b.width > 0 && b.height > 0) p.drawRect(L, T, b.width - 1, b.height - 1);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (mouseState_ == MouseIdle) {
        for (int mode = DragTopLeft; mode <= DragRight; ++mode) {
            const HandlePoint h = handlePoint(b, mode);
            p.fillRect(h.x - 3 - offsetX, h.y - 3 - offsetY, 6, 6, Qt::black);
        }
    }
    p.restore();
    if (mouseState_ == MouseIdle) drawTurnHandle(p, b, 0, offsetX, offsetY);
}

void EditorController::drawMarks(int, QPainter& painter, int offsetX, int offsetY) {
    // During a drag the kept bitmap holds no marks: the outline is the overlay's.
    if (mouseState_ == MouseDragging) return;
    drawSelectionMarks(painter, offsetX, offsetY);
}

void EditorController::drawOverlay(int side, QPainter& painter) {
    if (side == editedSide()) textSession_->drawCaret(painter);
    drawBand(side, painter);
    if (guidePull_.active && guidePull_.onView && side == guidePull_.side)
        drawGuideLine(painter, guidePull_.vertical, guidePull_.pos, 0, 0);
    if (mouseState_ != MouseDragging || side != dragSide_) return;
    drawGuides(side, painter);
    drawSelectionMarks(painter, 0, 0);
}

QRect EditorController::outlineRect() const {
    const CardDocument& d = views_.doc();
    if (selectedSlot() < 1 || selectedSlot() > kSlotCount || !editedSlots()[selectedSlot()]->used())
        return {};
    const CardObject& o = *editedSlots()[selectedSlot()];
    const PixelBox b = pixelBox(d, o);
    if (o.extras.fineAngle != 0) return turnedBounds(b, o.extras.fineAngle).adjusted(-1, -1, 1, 1);
    return QRect(b.left, b.top, b.width, b.height);
}

void EditorController::updateOutline(const QRect& before) {
    EditorView* v = views_.view(dragSide_);
    if (!v) return;
    if (draggingSeveral()) {
        v->update();
        shownGuides_ = guideRegion();
        return;
    }
    // Only the four edges of the old and the new outline change on the screen, and the guides
    // that held before or hold now.
    QRegion region = shownGuides_ + guideRegion();
    const CardObject* o = selectedSlot() >= 1 && selectedSlot() <= kSlotCount
                              ? editedSlots()[selectedSlot()]
                              : nullptr;
    const bool turned = o && o->used() && o->extras.fineAngle != 0;
    for (const QRect& r : {before, outlineRect()}) {
        if (r.isEmpty()) continue;
        // A turned outline crosses its bounds: all of them change.
        if (turned) {
            region += r;
            continue;
        }
        region += QRect(r.left(), r.top(), r.width(), 1);
        region += QRect(r.left(), r.bottom(), r.width(), 1);
        region += QRect(r.left(), r.top(), 1, r.height());
        region += QRect(r.right(), r.top(), 1, r.height());
    }
    v->update(region);
    shownGuides_ = guideRegion();
}

// ---- classification and dragging ----

void EditorController::chooseDragMode(int x, int y) {
    dragMode_ = DragNone;
    grabOffsetX_ = grabOffsetY_ = 0;
    switch (tools_->current()) {
        case ToolPointer:
            break;
        case ToolContent:
            setCursorNumber(CursorIBeam);
            return;
        case ToolZoom:
            setCursorNumber(CursorLupe);
            return;
        case ToolHand:
            setCursorNumber(CursorDrag);
            return;
        case ToolText: {
            // Over a text the tool edits it: the text cursor says so.
            const int hit = hitTest(doc(), editedSide(), x, y);
            const bool onText = hit > 0 && editedSlots()[hit]->kind == KindText;
            setCursorNumber(onText ? CursorIBeam : CursorMultiDrag);
            return;
        }
        default:
            setCursorNumber(CursorMultiDrag);
            return;
    }
    CardObject* o = selected();
    if (!o) {
        setCursorNumber(CursorArrow);
        return;
    }
    DragGrab g;
    if (selection().size() > 1) {
        // Several objects: the handles of the box around the unlocked ones, and the body of
        // any of them.
        if (!movableSelection().empty()) g = classifyHandle(selectionPixelBox(), x, y);
        if (g.mode == DragMove) {
            const int hit = hitTest(doc(), editedSide(), x, y);
            if (hit == 0 || !isSelected(hit)) g = DragGrab{};
        }
    } else if (!o->extras.locked) {
        // A locked object is not dragged on the card.
        g = classifyTurnedHandle(pixelBox(doc(), *o), o->extras.fineAngle, x, y);
    }
    dragMode_ = g.mode;
    grabOffsetX_ = g.grabX;
    grabOffsetY_ = g.grabY;
    setCursorNumber(cursorForDragMode(g.mode));
}

void EditorController::dragObject(int x, int y) {
    if (draggingSeveral()) {
        dragSeveral(x, y);
        return;
    }
    CardObject* o = selected();
    if (!o) return;
    EditorView* outside = views_.outsideView();
    const DragLimits limits{outside ? outside->width() : 0, outside ? outside->height() : 0};
    dragMode_ = dragTurnedObject(doc(), *o, DragGrab{dragMode_, grabOffsetX_, grabOffsetY_}, x, y,
                                 limits, o->extras.fineAngle);
    // Guides pulled from the rulers hold even while snapping is off.
    if (snapOptions_.enabled || !snapLines_.xs.empty() || !snapLines_.ys.empty()) snapDragged(*o);
}

// ---- mouse ----

void EditorController::mousePress(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                  int x, int y) {
    if (button == Qt::LeftButton)
        leftPress(side, mods, x, y);
    else if (button == Qt::RightButton)
        rightPress(side, x, y);
}

void EditorController::leftPress(int side, Qt::KeyboardModifiers mods, int x, int y) {
    const EditorTool tool = tools_->current();
    leftDown_ = true;
    pressBefore_ = lastPress_;
    lastPress_ = {side, QPoint(x, y)};
    slotBeforeLastPress_ = selectedSlot();
    if (cropSession_->running() && cropSession_->press(side, x, y)) return;
    if (textSession_->press(mods, x, y)) return;
    if (tool == ToolHand) {
        navigation_.startPan(x, y);
        mouseState_ = MousePanning;
        return;
    }
    if (tool == ToolZoom) {
        navigation_.zoomClick(side, x, y, true);
        return;
    }
    if (tool != ToolPointer) return;
    // The turning handle belongs to an object selected alone.
    if (selection().size() <= 1 && pressOnTurnHandle(side, x, y)) return;
    if (mods & (Qt::ShiftModifier | Qt::ControlModifier)) {
        // Shift or Ctrl adds an object to the selection or takes it away; on empty area it
        // starts a rubber band whose objects are added.
        const int hit = hitTest(doc(), editedSide(), x, y);
        if (hit > 0) {
            toggleSelected(hit);
            repaintBoth();
            return;
        }
        if (pressOnGuide(side, x, y)) return;
        startBand(side, x, y, true);
        return;
    }
    chooseDragMode(x, y);
    if (dragMode_ > DragNone) {
        startDrag(side, x, y);
        return;
    }
    const int hit = hitTest(doc(), editedSide(), x, y);
    if (hit > 0) {
        if (!isSelected(hit)) {
            selectSlot(hit);
            repaintBoth();
        }
        return;
    }
    if (pressOnGuide(side, x, y)) return;
    startBand(side, x, y, false);
}

void EditorController::startDrag(int side, int x, int y) {
    mouseState_ = MouseDragging;
    dragSide_ = side;
    dragPressPos_ = QPoint(x, y);
    dragFollowing_ = false;
    beginDragStep();
    if (selection().size() > 1) startDragSeveral();
    const CardObject& o = *selected();
    dragStartBox_[0] = o.x;
    dragStartBox_[1] = o.y;
    dragStartBox_[2] = o.width;
    dragStartBox_[3] = o.height;
    startSnapping();
    repaintView(side);
}

void EditorController::rightPress(int side, int x, int y) {
    if (tools_->current() == ToolZoom) {
        navigation_.zoomClick(side, x, y, false);
        return;
    }
    // On a misspelt word of the text being typed: its corrections.
    if (QMenu* spelling = textSession_->spellingMenuAt(side, x, y)) {
        EditorView* v = views_.view(side);
        const QPoint global = v ? v->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
        spelling->popup(global);
        emit menuOpened(spelling, global);
        return;
    }
    const int32_t saved = dragMode_;
    chooseDragMode(x, y);
    if (dragMode_ > DragNone) {
        showObjectMenu(side, x, y);
    } else {
        const int hit = hitTest(doc(), editedSide(), x, y);
        if (hit > 0) {
            if (!isSelected(hit)) {
                selectSlot(hit);
                repaintBoth();
            }
            showObjectMenu(side, x, y);
        } else {
            edited().select(0);
            repaintView(side);
            showViewMenu(side, x, y);
        }
    }
    dragMode_ = saved;
}

void EditorController::mouseMove(int side, Qt::MouseButtons, Qt::KeyboardModifiers mods, int x,
                                 int y) {
    if (cropSession_->running()) {
        cropSession_->move(x, y);
    } else if (turn_.active) {
        turnWithHandle(x, y, mods & Qt::ShiftModifier);
    } else if (guidePull_.active) {
        pullGuide(x, y);
    } else if (textSession_->selecting()) {
        textSession_->selectTo(side, x, y);
    } else if (band_.active) {
        pullBand(x, y);
    } else if (mouseState_ == MousePanning) {
        navigation_.pan(side, x, y);
    } else if (mouseState_ == MouseDragging) {
        if (!dragFollowing_ && !beyondDragDistance(x, y)) return;
        dragFollowing_ = true;
        const QRect before = outlineRect();
        dragObject(x, y);
        updateOutline(before);
    } else {
        chooseDragMode(x, y);
        hoverGuide(side, x, y);
    }
}

void EditorController::mouseRelease(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                    int x, int y) {
    if (button != Qt::LeftButton) return;
    leftDown_ = false;
    if (cropSession_->running() && cropSession_->release(x, y)) return;
    if (turn_.active) {
        endTurning(x, y, mods & Qt::ShiftModifier);
    } else if (guidePull_.active) {
        dropGuide(x, y);
    } else if (textSession_->selecting()) {
        textSession_->stopSelecting();
    } else if (mouseState_ == MousePanning) {
        navigation_.pan(side, x, y);
        mouseState_ = MouseIdle;
    } else if (mouseState_ == MouseDragging) {
        // A click that stayed within the drag distance leaves the object where it was.
        if (dragFollowing_ || beyondDragDistance(x, y)) dragObject(x, y);
        mouseState_ = MouseIdle;
        severalStart_.clear();
        endDragStep();
        repaintView(side);
    } else if (band_.active) {
        dropBand(x, y);
    } else {
        creator_->createAt(side, x, y);
    }
}

bool EditorController::beyondDragDistance(int x, int y) const {
    return (QPoint(x, y) - dragPressPos_).manhattanLength() >= QApplication::startDragDistance();
}

void EditorController::doubleClick(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                   int x, int y) {
    // A double click on a guide only takes the guide.
    if (guidePull_.active) return;
    // Qt's widgets receive a double click in place of its second press; other sources deliver
    // that press first. Without it the double click also does what the press would have done.
    const bool pressSeen = button == Qt::LeftButton && leftDown_;
    const auto asPress = [&] {
        if (!pressSeen) mousePress(side, button, mods, x, y);
    };
    // The double click belongs to the object that the first press hit when it lies within the
    // double-click distance of that press.
    const Press first = pressSeen ? pressBefore_ : lastPress_;
    const int reach = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    if (button != Qt::LeftButton || tools_->current() != ToolPointer || first.side != side ||
        (pressSeen && lastPress_.side != side) || std::abs(x - first.pos.x()) > reach ||
        std::abs(y - first.pos.y()) > reach) {
        asPress();
        return;
    }
    // A second press that picked another object or none is taken back.
    if (pressSeen && selectedSlot() != slotBeforeLastPress_) {
        selectSlot(slotBeforeLastPress_);
        repaintView(side);
    }
    CardObject* o = selected();
    if (!o || (o->kind != KindText && o->kind != KindPicture)) {
        asPress();
        return;
    }
    endTextEditing();
    // On the selected text the second press has begun a drag: that press counts for nothing,
    // so the drag is undone.
    if (mouseState_ == MouseDragging) {
        restoreSeveral();
        severalStart_.clear();
        o->x = dragStartBox_[0];
        o->y = dragStartBox_[1];
        o->width = dragStartBox_[2];
        o->height = dragStartBox_[3];
        mouseState_ = MouseIdle;
        endDragStep();
        dragMode_ = DragNone;
        repaintView(side);
    }
    // A picture is cropped inside its frame, a text edited in its dialog.
    if (o->kind == KindPicture)
        cropSession_->start();
    else
        commands_->editText();
}

void EditorController::keyPress(QKeyEvent& event) {
    if (turn_.active) {
        if (event.key() == Qt::Key_Escape) cancelTurning();
        return;
    }
    // While cropping only Enter and Escape count.
    if (cropSession_->running()) {
        cropSession_->key(event.key());
        return;
    }
    // Typing starts on a text selected alone.
    if (textSession_->key(event, tools_->current() == ToolPointer && mouseState_ == MouseIdle &&
                                     selection().size() <= 1))
        return;
    if (event.key() == Qt::Key_0 &&
        (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        showWholeCard();
        return;
    }
    if (selectionKey(event)) return;
    if (nudgeKey(event)) return;
    handleKey(event.key());
}

SpellChecker& EditorController::spellChecker() {
    if (!spell_) {
        spell_ = std::make_unique<SpellChecker>();
        if (!personalWordList_.isEmpty()) spell_->setPersonalWordList(personalWordList_);
    }
    return *spell_;
}

void EditorController::setPersonalWordList(const QString& path) {
    personalWordList_ = path;
    if (spell_) spell_->setPersonalWordList(path);
}

bool EditorController::takesShortcut(const QKeyEvent& event) {
    return textSession_->takesShortcut(event);
}

void EditorController::inputMethod(QInputMethodEvent& event) {
    textSession_->inputMethod(event, tools_->current() == ToolPointer && mouseState_ == MouseIdle);
}

QVariant EditorController::inputMethodQuery(Qt::InputMethodQuery query) {
    return textSession_->inputMethodQuery(query);
}

void EditorController::handleKey(int key) {
    if (key == Qt::Key_Delete) {
        commands_->deleteSelected();
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (selectedSlot() == 0) return;
        edited().select(nextUsedSlot(doc(), editedSide(), selectedSlot()));
        repaintBoth();
    }
}

void EditorController::showSide(int side) {
    if (tab_) {
        tab_->selectSide(side);
        return;
    }
    edited().side = side == SideInside ? SideInside : SideOutside;
    resetState();
}

void EditorController::beginDragStep() {
    if (dragStepOpen_) return;
    history_->begin();
    dragStepOpen_ = true;
    dragStepText_ = dragMode_ == DragMove ? QStringLiteral("Objekt verschieben")
                                          : QStringLiteral("Größe ändern");
}

void EditorController::endDragStep() {
    if (!dragStepOpen_) return;
    dragStepOpen_ = false;
    history_->end(dragStepText_);
}

void EditorController::afterHistoryApplied(bool formatChanged) {
    // The text under the caret may be another now.
    endTextEditing();
    // A drag or a creation cannot be half done when a step is undone.
    mouseState_ = MouseIdle;
    turn_ = TurnDrag{};
    dragMode_ = DragNone;
    if (formatChanged) views_.layoutFromDocument();
    // The side tabs follow a step undone on the other side; the selection is the step's.
    const EditedSide kept = edited();
    if (tab_) tab_->syncSideTab();
    edited().slot = kept.slot;
    edited().also = kept.also;
    if (CardObject* o = selected()) panel_->loadSelectionControls(*o);
    repaintBoth();
    emit historyApplied(formatChanged);
}

void EditorController::resetState() {
    if (turn_.active) {
        turn_.active = false;
        history_->end(QStringLiteral("Objekt drehen"));
    }
    cropSession_->end();
    endDragStep();
    mouseState_ = MouseIdle;
    dragMode_ = DragNone;
    dragFollowing_ = false;
    grabOffsetX_ = grabOffsetY_ = 0;
    lastPress_ = pressBefore_ = Press{};
    guidePull_ = GuidePull{};
    severalStart_.clear();
    band_ = Band{};
    edited().select(0);
    endTextEditing();
}

// ---- menus ----

void EditorController::showObjectMenu(int side, int x, int y) {
    CardObject* o = selected();
    if (!o) return;
    menus_->prepare(*o);
    EditorView* v = views_.view(side);
    const QPoint global = v ? v->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    menus_->objectMenu()->popup(global);
    emit menuOpened(menus_->objectMenu(), global);
}

void EditorController::showViewMenu(int side, int x, int y) {
    if (QAction* paste = menus_->item(QStringLiteral("EinfuegenV")))
        paste->setEnabled(commandRegistry_->applies(cmd::kPaste));
    if (QAction* guides = menus_->item(QStringLiteral("HilfslinienM"))) {
        guides->setData(side);
        guides->setEnabled(!guides_.side(side).empty());
    }
    EditorView* v = views_.view(side);
    const QPoint global = v ? v->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    menus_->viewMenu()->popup(global);
    emit menuOpened(menus_->viewMenu(), global);
}

void EditorController::editBackground() {
    EditHistory::Step step(*history_, QStringLiteral("Hintergrund ändern"));
    backgroundDialog_->run([this](QDialog& dlg) { return modal(dlg); });
}

void EditorController::beforePaint() {
    panel_->updateFromSelection();
    if (objectList_) objectList_->refresh();
}

// ---- the turning handle ----

bool EditorController::pressOnTurnHandle(int side, int x, int y) {
    CardObject* o = selected();
    if (!o || side != editedSide() || mouseState_ != MouseIdle) return false;
    if (!onTurnHandle(pixelBox(doc(), *o), o->extras.fineAngle, x, y)) return false;
    turn_ = TurnDrag{true, side, objectAngle(*o), o->extras.fineAngle};
    history_->begin();
    return true;
}

void EditorController::turnWithHandle(int x, int y, bool snap) {
    CardObject* o = selected();
    if (!o) return;
    turn_.angle = handleAngle(pixelBox(doc(), *o), x, y, snap, turn_.angle);
    // While the mouse turns it the object is drawn by its fine angle alone, whatever its size;
    // the release settles it into quarter turns (a picture's pixels turn only then).
    double fine = turn_.angle - 90.0 * o->rotation;
    fine = std::remainder(fine, 360.0);
    o->extras.fineAngle = fine;
    repaintView(turn_.side);
}

void EditorController::endTurning(int x, int y, bool snap) {
    turnWithHandle(x, y, snap);
    turn_.active = false;
    commands_->turnSelectedTo(turn_.angle);
    history_->end(QStringLiteral("Objekt drehen"));
    if (CardObject* o = selected()) panel_->loadSelectionControls(*o);
    repaintBoth();
}

void EditorController::cancelTurning() {
    turn_.active = false;
    if (CardObject* o = selected()) o->extras.fineAngle = turn_.startFine;
    history_->end(QStringLiteral("Objekt drehen"));
    repaintBoth();
}

void EditorController::drawTurnHandle(QPainter& p, const PixelBox& b, double angle, int offsetX,
                                      int offsetY) {
    const QPointF shift(-offsetX, -offsetY);
    const QPointF top = turnPoint(b, angle, QPointF(b.left + b.width / 2.0, b.top)) + shift;
    const QPointF handle = turnHandlePoint(b, angle) + shift;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(top, handle);
    p.setBrush(Qt::white);
    p.drawEllipse(handle, kTurnHandleRadius, kTurnHandleRadius);
    p.restore();
}

}  // namespace bb
