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
#include "editor/ObjectMenu.h"
#include "editor/PictureOpenDialog.h"
#include "editor/PropertyPanel.h"
#include "pictures/DibFilters.h"
#include "pictures/PictureOps.h"
#include "render/TextRenderer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
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

#include <cstdlib>
#include <utility>

namespace bb {

namespace {
// The undo steps of one typing session on a text merge into one.
constexpr int kTypingMergeKey = 1401;
}  // namespace

EditorController::EditorController(EditorViews& views, UserDialogs& dialogs,
                                   const QString& programFolder, QWidget* dialogParent)
    : views_(views), dialogs_(dialogs), programFolder_(programFolder), dialogParent_(dialogParent) {
    history_ = std::make_unique<EditHistory>(views_.doc());
    connect(history_.get(), &EditHistory::applied, this, &EditorController::afterHistoryApplied);
    newTextFont = FontChoice::startFont(views_.ctx().screenDpi);
    runModal = [](QDialog& d) { return d.exec(); };
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
    commands_ = std::make_unique<ObjectCommands>(*this, dialogs_, dialogParent);
    clipboard_ = std::make_unique<ObjectClipboard>(*this, dialogs_, programFolder_);
    pictureOpenDialog_ = new PictureOpenDialog(programFolder_, dialogParent);
    backgroundDialog_ = new BackgroundDialog(views_.doc(), dialogs_, *pictureOpenDialog_,
                                             programFolder_, dialogParent);
    backgroundDialog_->repaintViews = [this] { repaintBoth(); };
    views_.setInput(this);
}

EditorController::~EditorController() {
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
    views_.setInput(this);
    clipboard_->watchViews();
    tab_ = &tab;
    // The selection is a slot of the working table: it means nothing on the other side.
    connect(tab.sideTabs(), &QTabWidget::currentChanged, this, [this] {
        const bool hadSelection = doc().selectedSlot != 0;
        resetState();
        if (hadSelection) repaintBoth();
    });
}

int EditorController::modal(QDialog& d) const {
    return runModal ? runModal(d) : d.exec();
}

CardObject* EditorController::selected() {
    CardDocument& d = doc();
    if (d.selectedSlot < 1 || d.selectedSlot > kSlotCount) return nullptr;
    CardObject* o = d.workingSlots[d.selectedSlot];
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
    const PixelBox b = pixelBox(doc(), *o);
    const int L = b.left - offsetX, T = b.top - offsetY;
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    if (mouseState == MouseDragging) p.setCompositionMode(QPainter::RasterOp_NotDestination);
    // The platform rectangle (L, T, L + W, T + H) outlines L..L+W-1 and T..T+H-1.
    if (b.width > 0 && b.height > 0) p.drawRect(L, T, b.width - 1, b.height - 1);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (mouseState == MouseIdle) {
        for (int mode = DragTopLeft; mode <= DragRight; ++mode) {
            const HandlePoint h = handlePoint(b, mode);
            p.fillRect(h.x - 3 - offsetX, h.y - 3 - offsetY, 6, 6, Qt::black);
        }
    }
    p.restore();
}

void EditorController::drawMarks(int, QPainter& painter, int offsetX, int offsetY) {
    // During a drag the kept bitmap holds no marks: the outline is the overlay's.
    if (mouseState == MouseDragging) return;
    drawSelectionMarks(painter, offsetX, offsetY);
}

void EditorController::drawOverlay(int side, QPainter& painter) {
    if (side == doc().currentSide) drawTextCaret(painter);
    if (guidePull_.active && guidePull_.onView && side == guidePull_.side)
        drawGuideLine(painter, guidePull_.vertical, guidePull_.pos, 0, 0);
    if (mouseState != MouseDragging || side != dragSide_) return;
    drawGuides(side, painter);
    drawSelectionMarks(painter, 0, 0);
}

QRect EditorController::outlineRect() const {
    const CardDocument& d = views_.doc();
    if (d.selectedSlot < 1 || d.selectedSlot > kSlotCount ||
        !d.workingSlots[d.selectedSlot]->used())
        return {};
    const PixelBox b = pixelBox(d, *d.workingSlots[d.selectedSlot]);
    return QRect(b.left, b.top, b.width, b.height);
}

void EditorController::updateOutline(const QRect& before) {
    EditorView* v = views_.view(dragSide_);
    if (!v) return;
    // Only the four edges of the old and the new outline change on the screen, and the guides
    // that held before or hold now.
    QRegion region = shownGuides_ + guideRegion();
    for (const QRect& r : {before, outlineRect()}) {
        if (r.isEmpty()) continue;
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
    dragMode = DragNone;
    grabOffsetX = grabOffsetY = 0;
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
            const int hit = hitTest(doc(), x, y);
            const bool onText = hit > 0 && doc().workingSlots[hit]->kind == KindText;
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
    const DragGrab g = classifyHandle(pixelBox(doc(), *o), x, y);
    dragMode = g.mode;
    grabOffsetX = g.grabX;
    grabOffsetY = g.grabY;
    setCursorNumber(cursorForDragMode(g.mode));
}

void EditorController::dragObject(int x, int y) {
    CardObject* o = selected();
    if (!o) return;
    EditorView* outside = views_.outsideView();
    const DragLimits limits{outside ? outside->width() : 0, outside ? outside->height() : 0};
    dragMode =
        bb::dragObject(doc(), *o, DragGrab{dragMode, grabOffsetX, grabOffsetY}, x, y, limits);
    // Guides pulled from the rulers hold even while snapping is off.
    if (snapOptions.enabled || !snapLines_.xs.empty() || !snapLines_.ys.empty()) snapDragged(*o);
}

// ---- mouse ----

void EditorController::mousePress(int side, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                                  int x, int y) {
    const EditorTool tool = tools_->current();
    if (button == Qt::LeftButton) {
        leftDown_ = true;
        pressBefore_ = lastPress_;
        lastPress_ = {side, QPoint(x, y)};
        slotBeforeLastPress_ = doc().selectedSlot;
        if (inlineTextPress(mods, x, y)) return;
        if (tool == ToolHand) {
            panStartX = x;
            panStartY = y;
            mouseState = MousePanning;
            return;
        }
        if (tool == ToolZoom) {
            zoomClick(side, x, y, true);
            return;
        }
        if (tool != ToolPointer) return;
        chooseDragMode(x, y);
        if (dragMode > DragNone) {
            mouseState = MouseDragging;
            dragSide_ = side;
            dragPressPos_ = QPoint(x, y);
            dragFollowing_ = false;
            beginDragStep();
            const CardObject& o = *selected();
            dragStartBox_[0] = o.x;
            dragStartBox_[1] = o.y;
            dragStartBox_[2] = o.width;
            dragStartBox_[3] = o.height;
            startSnapping();
            repaintView(side);
            return;
        }
        const int hit = hitTest(doc(), x, y);
        if (hit > 0) {
            if (hit != doc().selectedSlot) {
                selectSlot(hit);
                repaintView(side);
            }
            return;
        }
        if (pressOnGuide(side, x, y)) return;
        doc().selectedSlot = 0;
        repaintView(side);
        return;
    }
    if (button == Qt::RightButton) {
        if (tool == ToolZoom) {
            zoomClick(side, x, y, false);
            return;
        }
        const int32_t saved = dragMode;
        chooseDragMode(x, y);
        if (dragMode > DragNone) {
            showObjectMenu(side, x, y);
        } else {
            const int hit = hitTest(doc(), x, y);
            if (hit > 0) {
                if (hit != doc().selectedSlot) {
                    selectSlot(hit);
                    repaintView(side);
                }
                showObjectMenu(side, x, y);
            } else {
                doc().selectedSlot = 0;
                repaintView(side);
                showViewMenu(side, x, y);
            }
        }
        dragMode = saved;
    }
}

void EditorController::mouseMove(int side, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
    if (guidePull_.active) {
        pullGuide(x, y);
    } else if (textSelecting_) {
        if (CardObject* o = textEditing() ? selected() : nullptr) {
            inlineText_.setCaret(o->content, textIndexInView(*o, QPointF(x, y)), true);
            repaintView(side);
        }
    } else if (mouseState == MousePanning) {
        pan(side, x, y);
    } else if (mouseState == MouseDragging) {
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

void EditorController::mouseRelease(int side, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                    int y) {
    if (button != Qt::LeftButton) return;
    leftDown_ = false;
    if (guidePull_.active) {
        dropGuide(x, y);
    } else if (textSelecting_) {
        textSelecting_ = false;
    } else if (mouseState == MousePanning) {
        pan(side, x, y);
        mouseState = MouseIdle;
    } else if (mouseState == MouseDragging) {
        // A click that stayed within the drag distance leaves the object where it was.
        if (dragFollowing_ || beyondDragDistance(x, y)) dragObject(x, y);
        mouseState = MouseIdle;
        endDragStep();
        repaintView(side);
    } else {
        createAt(side, x, y);
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
    if (pressSeen && doc().selectedSlot != slotBeforeLastPress_) {
        selectSlot(slotBeforeLastPress_);
        repaintView(side);
    }
    CardObject* o = selected();
    if (!o || o->kind != KindText) {
        asPress();
        return;
    }
    endTextEditing();
    // On the selected text the second press has begun a drag: that press counts for nothing,
    // so the drag is undone.
    if (mouseState == MouseDragging) {
        o->x = dragStartBox_[0];
        o->y = dragStartBox_[1];
        o->width = dragStartBox_[2];
        o->height = dragStartBox_[3];
        mouseState = MouseIdle;
        endDragStep();
        dragMode = DragNone;
        repaintView(side);
    }
    commands_->editText();
}

void EditorController::keyPress(QKeyEvent& event) {
    if (inlineTextKey(event)) return;
    if (event.key() == Qt::Key_0 &&
        (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        showWholeCard();
        return;
    }
    if (nudgeKey(event)) return;
    handleKey(event.key());
}

void EditorController::handleKey(int key) {
    if (key == Qt::Key_Delete) {
        commands_->deleteSelected();
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (doc().selectedSlot == 0) return;
        doc().selectedSlot = nextUsedSlot(doc(), doc().selectedSlot);
        repaintBoth();
    }
}

void EditorController::selectSlot(int slot) {
    doc().selectedSlot = slot;
    if (CardObject* o = selected()) panel_->loadSelectionControls(*o);
}

void EditorController::beginDragStep() {
    if (dragStepOpen_) return;
    history_->begin();
    dragStepOpen_ = true;
    dragStepText_ = dragMode == DragMove ? QStringLiteral("Objekt verschieben")
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
    mouseState = MouseIdle;
    dragMode = DragNone;
    if (formatChanged) views_.layoutFromDocument();
    // The side tabs follow a step undone on the other side; the selection is the step's.
    const int slot = doc().selectedSlot;
    if (tab_) tab_->syncSideTab();
    doc().selectedSlot = slot;
    if (CardObject* o = selected()) panel_->loadSelectionControls(*o);
    repaintBoth();
    emit historyApplied(formatChanged);
}

void EditorController::resetState() {
    endDragStep();
    mouseState = MouseIdle;
    dragMode = DragNone;
    dragFollowing_ = false;
    grabOffsetX = grabOffsetY = 0;
    lastPress_ = pressBefore_ = Press{};
    guidePull_ = GuidePull{};
    doc().selectedSlot = 0;
    endTextEditing();
}

// ---- zoom and pan ----

void EditorController::zoomClick(int side, int x, int y, bool zoomIn) {
    CardDocument& d = doc();
    EditorView* view = views_.view(side);
    if (!view) return;
    const int32_t ux = d.fromView(x), uy = d.fromView(y);
    d.unitsPerPixel = zoomIn ? zoomInStep(d.unitsPerPixel) : zoomOutStep(d.unitsPerPixel);
    views_.zoomInProgress = true;
    const QSize size = views_.paintBoxSize();
    if (views_.outsideView()) views_.outsideView()->resize(size);
    if (side == 1 && views_.insideView()) views_.insideView()->resize(size);
    QScrollArea* box = view->scrollBox();
    const int bw = box ? box->width() : view->width();
    const int bh = box ? box->height() : view->height();
    const ScrollPos s = zoomScrollTarget(ux, uy, d.zoomFactor, d.unitsPerPixel, bw, bh,
                                         view->scrollRangeX(), view->scrollRangeY());
    view->setScroll(s.x, s.y);
    if (side == 1 && views_.outsideView()) views_.outsideView()->setScroll(s.x, s.y);
    views_.zoomInProgress = false;
    repaintView(side);
}

void EditorController::showWholeCard() {
    CardDocument& d = doc();
    EditorView* view = views_.view(d.currentSide);
    QScrollArea* box = view ? view->scrollBox() : nullptr;
    if (!box || d.sideWidthUnits <= 0 || d.sideHeightUnits <= 0 || !(d.zoomFactor > 0)) return;
    // The work area is three cards across and down, so with the card filling the view the
    // scroll bars are always shown: the card has the viewport they leave.
    const QSize outer = box->maximumViewportSize();
    const int barWidth = box->verticalScrollBar()->sizeHint().width();
    const int barHeight = box->horizontalScrollBar()->sizeHint().height();
    // A margin around the card, which also keeps its frame and drop shadow in view.
    constexpr int kMargin = 16;
    auto room = [](int length) { return length > 4 * kMargin ? length - 2 * kMargin : length; };
    const int width = room(outer.width() - barWidth);
    const int height = room(outer.height() - barHeight);
    if (width <= 0 || height <= 0) return;
    const double perPixel = std::max(d.sideWidthUnits / 3.0 * d.zoomFactor / width,
                                     d.sideHeightUnits / 3.0 * d.zoomFactor / height);
    // Never closer than the zoom tool comes: its last step in goes from just above 50.
    constexpr double kClosest = 50.0 / 1.5;
    d.unitsPerPixel = std::max(perPixel, kClosest);
    views_.zoomInProgress = true;
    const QSize size = views_.paintBoxSize();
    for (EditorView* v : {views_.outsideView(), views_.insideView()})
        if (v) v->resize(size);
    views_.zoomInProgress = false;
    views_.centreViews();
    repaintBoth();
}

void EditorController::pan(int side, int x, int y) {
    EditorView* view = views_.view(side);
    if (!view) return;
    const ScrollPos s = panTarget({view->scrollX(), view->scrollY()}, panStartX, panStartY, x, y,
                                  view->scrollRangeX(), view->scrollRangeY());
    view->setScroll(s.x, s.y);
}

// ---- creation ----

void EditorController::createAt(int side, int x, int y) {
    const EditorTool tool = tools_->current();
    // Only a creation tool looks for a slot, so a full side does not complain at every click.
    if (!tools_->isCreationTool()) return;
    if (tool == ToolText && editTextAt(side, x, y)) return;
    EditHistory::Step step(*history_, QStringLiteral("Objekt erstellen"));
    CardDocument& d = doc();
    const int slot = d.findFreeSlot(&dialogs_);
    if (slot == 0) return;
    CardObject& o = *d.workingSlots[slot];
    int32_t kind = KindFree;
    if (tool == ToolFigure) kind = KindFigure;
    if (tool == ToolText) kind = KindText;
    DibImage picture;
    QString name;
    if (tool == ToolPicture) {
        pictureOpenDialog_->prepare(pictureOpenDialog_->startFolder().folderFor(d.fileName),
                                    pictureOpenFilter());
        if (modal(*pictureOpenDialog_) != QDialog::Accepted) return;
        name = pictureOpenDialog_->chosenPath;
        if (loadChosenPicture(picture, name, programFolder_, cardPictureBytes(d), dialogs_,
                              QString()))
            kind = KindPicture;
    }
    if (kind == KindFree) return;
    d.selectedSlot = slot;
    initNewObject(d, o, kind, x, y, newTextFont, views_.ctx(), std::move(picture), name);
    panel_->loadSelectionControls(o);
    tools_->setCurrent(ToolPointer);
    // A new text is typed into at once.
    if (kind == KindText) {
        endTextEditing();
        beginTextEditing();
    }
    repaintView(side);
}

bool EditorController::editTextAt(int side, int x, int y) {
    const int hit = hitTest(doc(), x, y);
    if (hit <= 0 || doc().workingSlots[hit]->kind != KindText) return false;
    // The text tool on a text edits that text where it stands, the caret at the click.
    tools_->setCurrent(ToolPointer);
    endTextEditing();
    selectSlot(hit);
    beginTextEditing();
    CardObject& o = *doc().workingSlots[hit];
    inlineText_.setCaret(o.content, textIndexInView(o, QPointF(x, y)), false);
    repaintView(side);
    return true;
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
}

// ---- typing on the card ----

CardObject* EditorController::editedText() {
    if (!inlineText_.active()) return nullptr;
    CardObject* o = selected();
    if (!o || o->kind != KindText || doc().selectedSlot != inlineSlot_ ||
        doc().currentSide != inlineSide_)
        return nullptr;
    return o;
}

bool EditorController::textEditing() {
    if (editedText()) return true;
    // The text went away meanwhile (deleted, another selection or side): the session ends.
    endTextEditing();
    return false;
}

void EditorController::endTextEditing() {
    if (!inlineText_.active()) return;
    inlineText_.stop();
    textSelecting_ = false;
    emit textEditingChanged(false);
    repaintBoth();
}

void EditorController::beginTextEditing() {
    CardObject* o = selected();
    if (!o || o->kind != KindText) return;
    inlineText_.start(o->content);
    inlineStepBegun_ = false;
    inlineSlot_ = doc().selectedSlot;
    inlineSide_ = doc().currentSide;
    emit textEditingChanged(true);
    inlineText_.verticalMove = [this](const QString& content, int pos, int lines) {
        CardObject* t = selected();
        const int end = int(content.size());
        if (!t || t->rotation != 0) return lines < 0 ? 0 : end;
        const TextPlace at = textPlace(*t);
        const QLineF caret = textCaretLine(*t, views_.ctx(), at.scale, at.box, pos);
        const QPointF target(caret.x1(), caret.center().y() + lines * caret.length());
        // Up from the first line goes to the start, down from the last to the end.
        if (target.y() < textCaretLine(*t, views_.ctx(), at.scale, at.box, 0).y1()) return 0;
        if (target.y() > textCaretLine(*t, views_.ctx(), at.scale, at.box, end).y2()) return end;
        return textIndexAt(*t, views_.ctx(), at.scale, at.box, target);
    };
}

bool EditorController::inlineTextKey(QKeyEvent& event) {
    CardObject* o = selected();
    if (!textEditing()) {
        // Typing a character on a selected text starts a session; any other key keeps its
        // meaning in the editor.
        if (!o || o->kind != KindText || tools_->current() != ToolPointer ||
            mouseState != MouseIdle ||
            !InlineTextEditor::typesText(event.text(), event.modifiers()))
            return false;
        beginTextEditing();
    }
    QString content = o->content;
    const InlineTextEditor::Outcome outcome =
        inlineText_.applyKey(content, event.key(), event.modifiers(), event.text());
    switch (outcome) {
        case InlineTextEditor::Outcome::Ignored:
            return false;
        case InlineTextEditor::Outcome::Changed:
            setTextContent(*o, content);
            break;
        case InlineTextEditor::Outcome::Moved:
            // Only the caret moved: the kept bitmap stays, the overlay is drawn anew.
            if (EditorView* v = views_.view(doc().currentSide)) v->update();
            break;
        case InlineTextEditor::Outcome::Finished:
            // Escape has stopped the session's editor itself.
            textSelecting_ = false;
            emit textEditingChanged(false);
            if (EditorView* v = views_.view(doc().currentSide)) v->update();
            break;
    }
    return true;
}

void EditorController::setTextContent(CardObject& o, const QString& content) {
    if (o.content == content) return;
    {
        // Every change of one session joins the step its first change began.
        EditHistory::Step step(*history_, QStringLiteral("Text ändern"),
                               inlineStepBegun_ ? kTypingMergeKey : -kTypingMergeKey);
        o.content = content;
        // The frame grows with the text, so that nothing typed is cut off.
        growTextToFit(doc(), o, views_.ctx());
    }
    inlineStepBegun_ = true;
    repaintBoth();
}

bool EditorController::inlineTextPress(Qt::KeyboardModifiers mods, int x, int y) {
    if (!textEditing() || tools_->current() != ToolPointer) return false;
    CardObject& o = *selected();
    const PixelBox box = pixelBox(doc(), o);
    const int mode = classifyHandle(box, x, y).mode;
    if (mode == DragMove) {
        // Inside the text a press places the caret; a drag selects.
        inlineText_.setCaret(o.content, textIndexInView(o, QPointF(x, y)),
                             mods & Qt::ShiftModifier);
        textSelecting_ = true;
        repaintView(doc().currentSide);
        return true;
    }
    // A handle still sizes the text; anywhere else ends the session.
    if (mode == DragNone) endTextEditing();
    return false;
}

EditorController::TextPlace EditorController::textPlace(const CardObject& o) {
    const PixelBox b = pixelBox(doc(), o);
    return {QRect(b.left, b.top, b.width, b.height), doc().zoomFactor / doc().unitsPerPixel};
}

int EditorController::textIndexInView(const CardObject& o, QPointF point) {
    const TextPlace at = textPlace(o);
    return textIndexAt(o, views_.ctx(), at.scale, at.box, point);
}

QLineF EditorController::textCaretInView() {
    CardObject* o = editedText();
    if (!o) return {};
    const TextPlace at = textPlace(*o);
    return textCaretLine(*o, views_.ctx(), at.scale, at.box, inlineText_.caret());
}

void EditorController::drawTextCaret(QPainter& p) {
    CardObject* o = editedText();
    if (!o) return;
    const TextPlace at = textPlace(*o);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (inlineText_.hasSelection()) {
        // The selection inverts what lies under it, so it reads on any colour.
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        for (const QPolygonF& shape :
             textSelectionShapes(*o, views_.ctx(), at.scale, at.box, inlineText_.selectionStart(),
                                 inlineText_.selectionEnd()))
            p.drawPolygon(shape);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    const QLineF caret = textCaretLine(*o, views_.ctx(), at.scale, at.box, inlineText_.caret());
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(caret);
    p.restore();
}

}  // namespace bb
