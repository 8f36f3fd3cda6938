#include "editor/EditorController.h"

#include "document/UserDialogs.h"
#include "editor/Cursors.h"
#include "editor/ObjectMenu.h"
#include "editor/PropertyPanel.h"
#include "editor/TBMPOpenForm.h"
#include "editor/TEffektForm.h"
#include "editor/TTransForm.h"
#include "editor/TTxtForm.h"
#include "editor/Tbkgndform.h"
#include "pictures/DibFilters.h"
#include "pictures/PictureOps.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QRegion>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>

namespace bb {

EditorController::EditorController(EditorViews& views, UserDialogs& dialogs,
                                   const QString& programFolder, QWidget* dialogParent)
    : views_(views), dialogs_(dialogs), programFolder_(programFolder), dialogParent_(dialogParent) {
    FontDialog1 = FontChoice::startFont(views_.ctx().ScreenDpi);
    runModal = [](QDialog& d) { return d.exec(); };
    ownedTools_ = std::make_unique<ToolPalette>();
    tools_ = ownedTools_.get();
    connect(tools_, &ToolPalette::toolChanged, this, [this] {
        // The cursor follows the tool at once.
        setdragmod(-100000, -100000);
    });
    menus_ = new ObjectMenu(*this, dialogParent, this);
    ownedPanel_ = std::make_unique<PropertyPanel>(*this, dialogs_);
    panel_ = ownedPanel_.get();
    txtForm_ = new TTxtForm(dialogParent);
    effektForm_ = new TEffektForm(dialogs_, dialogParent);
    transForm_ = new TTransForm(dialogs_, dialogParent);
    openForm_ = new TBMPOpenForm(programFolder_, dialogParent);
    bkgndForm_ = new Tbkgndform(views_.doc(), dialogs_, *openForm_, programFolder_, dialogParent);
    bkgndForm_->repaintViews = [this] { repaintBoth(); };
    views_.setInput(this);
}

EditorController::~EditorController() {
    if (&views_.input() == this) views_.setInput(nullptr);
    if (!dialogParent_) {
        delete bkgndForm_;
        delete openForm_;
        delete transForm_;
        delete effektForm_;
        delete txtForm_;
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
    // The selection is a slot of the working table: it means nothing on the other side.
    connect(tab.sideTabs(), &QTabWidget::currentChanged, this, [this] {
        const bool hadSelection = doc().SelectedSlot != 0;
        resetState();
        if (hadSelection) repaintBoth();
    });
}

int EditorController::modal(QDialog& d) {
    return runModal ? runModal(d) : d.exec();
}

Tobs* EditorController::selected() {
    CardDocument& d = doc();
    if (d.SelectedSlot < 1 || d.SelectedSlot > kSlotCount) return nullptr;
    Tobs* o = d.WorkingSlots[d.SelectedSlot];
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
    for (EditorView* v : {views_.PaintBox1(), views_.PaintBox4()})
        if (v) v->setCursor(c);
}

void EditorController::markrec(QPainter& p, int offsetX, int offsetY) {
    Tobs* o = selected();
    if (!o) return;
    const PixelBox b = pixelBox(doc(), *o);
    const int L = b.L - offsetX, T = b.T - offsetY;
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 0));
    if (MouseState == MouseDragging) p.setCompositionMode(QPainter::RasterOp_NotDestination);
    // The platform rectangle (L, T, L + W, T + H) outlines L..L+W-1 and T..T+H-1.
    if (b.W > 0 && b.H > 0) p.drawRect(L, T, b.W - 1, b.H - 1);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (MouseState == MouseIdle) {
        for (int mode = DragTopLeft; mode <= DragRight; ++mode) {
            const HandlePoint h = handlePoint(b, mode);
            p.fillRect(h.x - 3 - offsetX, h.y - 3 - offsetY, 6, 6, Qt::black);
        }
    }
    p.restore();
}

void EditorController::drawMarks(int, QPainter& painter, int offsetX, int offsetY) {
    // During a drag the kept bitmap holds no marks: the outline is the overlay's.
    if (MouseState == MouseDragging) return;
    markrec(painter, offsetX, offsetY);
}

void EditorController::drawOverlay(int side, QPainter& painter) {
    if (MouseState != MouseDragging || side != dragSide_) return;
    markrec(painter, 0, 0);
}

QRect EditorController::outlineRect() const {
    const CardDocument& d = views_.doc();
    if (d.SelectedSlot < 1 || d.SelectedSlot > kSlotCount ||
        !d.WorkingSlots[d.SelectedSlot]->used())
        return {};
    const PixelBox b = pixelBox(d, *d.WorkingSlots[d.SelectedSlot]);
    return QRect(b.L, b.T, b.W, b.H);
}

void EditorController::updateOutline(const QRect& before) {
    EditorView* v = views_.view(dragSide_);
    if (!v) return;
    // Only the four edges of the old and the new outline change on the screen.
    QRegion region;
    for (const QRect& r : {before, outlineRect()}) {
        if (r.isEmpty()) continue;
        region += QRect(r.left(), r.top(), r.width(), 1);
        region += QRect(r.left(), r.bottom(), r.width(), 1);
        region += QRect(r.left(), r.top(), 1, r.height());
        region += QRect(r.right(), r.top(), 1, r.height());
    }
    v->update(region);
}

// ---- classification and dragging ----

void EditorController::setdragmod(int x, int y) {
    DragMode = DragNone;
    GrabOffsetX = GrabOffsetY = 0;
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
        default:
            setCursorNumber(CursorMultiDrag);
            return;
    }
    Tobs* o = selected();
    if (!o) {
        setCursorNumber(CursorArrow);
        return;
    }
    const DragGrab g = classifyHandle(pixelBox(doc(), *o), x, y);
    DragMode = g.mode;
    GrabOffsetX = g.grabX;
    GrabOffsetY = g.grabY;
    setCursorNumber(cursorForDragMode(g.mode));
}

void EditorController::dragit(int x, int y) {
    Tobs* o = selected();
    if (!o) return;
    EditorView* outside = views_.PaintBox1();
    const DragLimits limits{outside ? outside->width() : 0, outside ? outside->height() : 0};
    DragMode = bb::dragit(doc(), *o, DragGrab{DragMode, GrabOffsetX, GrabOffsetY}, x, y, limits);
}

// ---- mouse ----

void EditorController::mousePress(int side, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                  int y) {
    const EditorTool tool = tools_->current();
    if (button == Qt::LeftButton) {
        if (tool == ToolHand) {
            PanStartX = x;
            PanStartY = y;
            MouseState = MousePanning;
            return;
        }
        if (tool == ToolZoom) {
            zoomClick(side, x, y, true);
            return;
        }
        if (tool != ToolPointer) return;
        setdragmod(x, y);
        if (DragMode > DragNone) {
            MouseState = MouseDragging;
            dragSide_ = side;
            const Tobs& o = *selected();
            dragStartBox_[0] = o.X;
            dragStartBox_[1] = o.Y;
            dragStartBox_[2] = o.Width;
            dragStartBox_[3] = o.Height;
            repaintView(side);
            return;
        }
        const int hit = hitTest(doc(), x, y);
        if (hit > 0) {
            if (hit != doc().SelectedSlot) {
                selectSlot(hit);
                repaintView(side);
            }
            return;
        }
        doc().SelectedSlot = 0;
        repaintView(side);
        return;
    }
    if (button == Qt::RightButton) {
        if (tool == ToolZoom) {
            zoomClick(side, x, y, false);
            return;
        }
        const int32_t saved = DragMode;
        setdragmod(x, y);
        if (DragMode > DragNone) {
            PopItUp(side, x, y);
        } else {
            const int hit = hitTest(doc(), x, y);
            if (hit > 0) {
                if (hit != doc().SelectedSlot) {
                    selectSlot(hit);
                    repaintView(side);
                }
                PopItUp(side, x, y);
            } else {
                doc().SelectedSlot = 0;
                repaintView(side);
                PBoxPopup(side, x, y);
            }
        }
        DragMode = saved;
    }
}

void EditorController::mouseMove(int side, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
    if (MouseState == MousePanning) {
        pan(side, x, y);
    } else if (MouseState == MouseDragging) {
        const QRect before = outlineRect();
        dragit(x, y);
        updateOutline(before);
    } else {
        setdragmod(x, y);
    }
}

void EditorController::mouseRelease(int side, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                    int y) {
    if (button != Qt::LeftButton) return;
    if (MouseState == MousePanning) {
        pan(side, x, y);
        MouseState = MouseIdle;
    } else if (MouseState == MouseDragging) {
        dragit(x, y);
        MouseState = MouseIdle;
        repaintView(side);
    } else {
        createAt(side, x, y);
    }
}

void EditorController::doubleClick(int side, Qt::MouseButton button, Qt::KeyboardModifiers, int,
                                   int) {
    if (button != Qt::LeftButton || tools_->current() != ToolPointer) return;
    Tobs* o = selected();
    if (!o || o->Kind != KindText) return;
    // The second press of the double click arrives before this event and, on the selected
    // text, has begun a drag: that press counts for nothing, so the drag is undone.
    if (MouseState == MouseDragging) {
        o->X = dragStartBox_[0];
        o->Y = dragStartBox_[1];
        o->Width = dragStartBox_[2];
        o->Height = dragStartBox_[3];
        MouseState = MouseIdle;
        DragMode = DragNone;
        repaintView(side);
    }
    EditTextNow();
}

void EditorController::keyPress(QKeyEvent& event) {
    FormKeyDown(event.key());
}

void EditorController::FormKeyDown(int key) {
    if (key == Qt::Key_Delete) {
        Lschen1Click();
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (doc().SelectedSlot == 0) return;
        doc().SelectedSlot = nextUsedSlot(doc(), doc().SelectedSlot);
        repaintBoth();
    }
}

void EditorController::selectSlot(int slot) {
    doc().SelectedSlot = slot;
    if (Tobs* o = selected()) panel_->loadSelectionControls(*o);
}

void EditorController::resetState() {
    MouseState = MouseIdle;
    DragMode = DragNone;
    doc().SelectedSlot = 0;
}

// ---- zoom and pan ----

void EditorController::zoomClick(int side, int x, int y, bool zoomIn) {
    CardDocument& d = doc();
    EditorView* view = views_.view(side);
    if (!view) return;
    const int32_t ux = d.fromView(x), uy = d.fromView(y);
    d.UnitsPerPixel = zoomIn ? zoomInStep(d.UnitsPerPixel) : zoomOutStep(d.UnitsPerPixel);
    views_.ZoomInProgress = true;
    const QSize size = views_.paintBoxSize();
    if (views_.PaintBox1()) views_.PaintBox1()->resize(size);
    if (side == 1 && views_.PaintBox4()) views_.PaintBox4()->resize(size);
    QScrollArea* box = view->scrollBox();
    const int bw = box ? box->width() : view->width();
    const int bh = box ? box->height() : view->height();
    const ScrollPos s = zoomScrollTarget(ux, uy, d.ZoomFactor, d.UnitsPerPixel, bw, bh,
                                         view->scrollRangeX(), view->scrollRangeY());
    view->setScroll(s.x, s.y);
    if (side == 1 && views_.PaintBox1()) views_.PaintBox1()->setScroll(s.x, s.y);
    views_.ZoomInProgress = false;
    repaintView(side);
}

void EditorController::pan(int side, int x, int y) {
    EditorView* view = views_.view(side);
    if (!view) return;
    const ScrollPos s = panTarget({view->scrollX(), view->scrollY()}, PanStartX, PanStartY, x, y,
                                  view->scrollRangeX(), view->scrollRangeY());
    view->setScroll(s.x, s.y);
}

// ---- creation ----

void EditorController::createAt(int side, int x, int y) {
    const EditorTool tool = tools_->current();
    // Only a creation tool looks for a slot, so a full side does not complain at every click.
    if (!tools_->isCreationTool()) return;
    CardDocument& d = doc();
    const int slot = d.findFreeSlot(&dialogs_);
    if (slot == 0) return;
    Tobs& o = *d.WorkingSlots[slot];
    int32_t kind = KindFree;
    if (tool == ToolFigure) kind = KindFigure;
    if (tool == ToolText) kind = KindText;
    if (tool == ToolPicture) {
        openForm_->prepare(programFolder_, GetDIBOpenFilter());
        if (modal(*openForm_) != QDialog::Accepted) return;
        const QString name = openForm_->ChosenPicturePath;
        o.Content = name;
        deldib(o.Picture);
        if (LoadDIBit(o.Picture, name, programFolder_)) {
            kind = KindPicture;
        } else {
            deldib(o.Picture);  // no object: the placeholder goes too
            dialogs_.message(
                QStringLiteral("Konnte Bild (") + name + QStringLiteral(") nicht Laden."),
                QString(), MsgIcon::Error, BtnOk);
        }
    }
    if (kind == KindFree) return;
    d.SelectedSlot = slot;
    initNewObject(d, o, kind, x, y, FontDialog1, views_.ctx().ScreenDpi);
    panel_->loadSelectionControls(o);
    repaintView(side);
    tools_->setCurrent(ToolPointer);
}

// ---- menus ----

void EditorController::PopItUp(int side, int x, int y) {
    Tobs* o = selected();
    if (!o) return;
    menus_->prepare(*o);
    EditorView* v = views_.view(side);
    const QPoint global = v ? v->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    menus_->PopupMenu1()->popup(global);
    emit menuOpened(menus_->PopupMenu1(), global);
}

void EditorController::PBoxPopup(int side, int x, int y) {
    EditorView* v = views_.view(side);
    const QPoint global = v ? v->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    menus_->PBoxPopupMenu()->popup(global);
    emit menuOpened(menus_->PBoxPopupMenu(), global);
}

void EditorController::Hintergrundbild1Click() {
    bkgndForm_->run([this](QDialog& dlg) { return modal(dlg); });
}

// ---- whole-object commands ----

void EditorController::Lschen1Click() {
    Tobs* o = selected();
    if (!o) return;
    if (dialogs_.message(QStringLiteral("Wollen Sie das Element löschen?"),
                         QStringLiteral("Element löschen"), MsgIcon::Question,
                         BtnYes | BtnNo) != BtnYes)
        return;
    CardDocument::freeObject(*o);
    doc().SelectedSlot = 0;
    repaintBoth();
}

void EditorController::Nachvorne1Click() {
    CardDocument& d = doc();
    if (!selected()) return;
    std::swap(d.WorkingSlots[d.SelectedSlot], d.WorkingSlots[kSlotCount]);
    d.SelectedSlot = kSlotCount;
    repaintBoth();
}

void EditorController::NachHinen1Click() {
    CardDocument& d = doc();
    if (!selected()) return;
    std::swap(d.WorkingSlots[d.SelectedSlot], d.WorkingSlots[1]);
    d.SelectedSlot = 1;
    repaintBoth();
}

// ---- property commands ----

void EditorController::setFigureKind(int kind) {
    if (Tobs* o = selected()) {
        o->FigureKind = kind;
        repaintBoth();
    }
}

void EditorController::setFillMode(int mode) {
    if (Tobs* o = selected()) {
        o->FillMode = mode;
        repaintBoth();
    }
}

void EditorController::setLineWidth(int width) {
    if (Tobs* o = selected()) {
        o->LineWidth = width;
        repaintBoth();
    }
}

void EditorController::setColor(ColorRef c) {
    if (Tobs* o = selected()) {
        o->Color = c;
        repaintBoth();
    }
}

void EditorController::setBorderColor(ColorRef c) {
    if (Tobs* o = selected()) {
        o->BorderColor = c;
        repaintBoth();
    }
}

void EditorController::setAlignment(int alignment) {
    if (Tobs* o = selected()) {
        o->Alignment = alignment;
        repaintBoth();
    }
}

void EditorController::SverhMClick() {
    if (Tobs* o = selected()) {
        o->KeepAspect = !o->KeepAspect;
        repaintBoth();
    }
}

void EditorController::setKeepAspect(bool on) {
    if (Tobs* o = selected()) {
        o->KeepAspect = on;
        repaintBoth();
    }
}

void EditorController::setRoundFrame(bool on) {
    if (Tobs* o = selected()) {
        o->RoundFrame = on;
        repaintBoth();
    }
}

void EditorController::FarbBtnClick() {
    Tobs* o = selected();
    if (!o) return;
    QColor c = toQColor(o->Color);
    if (!dialogs_.chooseColor(c, QStringLiteral("Farbe"))) return;
    if ((o = selected())) {
        o->Color = fromQColor(c);
        panel_->loadSelectionControls(*o);  // the colour boxes show the new colour at once
        repaintBoth();
    }
}

void EditorController::FontBtnClick() {
    Tobs* o = selected();
    if (!o) return;
    FontChoice preset;
    preset.color = o->Color;
    preset.height = o->FontHeight;
    preset.name = o->FontName;
    preset.pitch = o->FontPitch;
    preset.style = o->FontStyle;
    preset.size = o->FontSize;
    QFont font = preset.toQFont();
    QColor color = toQColor(preset.color);
    if (!dialogs_.chooseFont(font, color, QStringLiteral("Schriftart"))) return;
    FontDialog1 = FontChoice::fromQFont(font, color, views_.ctx().ScreenDpi, preset.pitch);
    if ((o = selected())) {
        o->Color = FontDialog1.color;
        o->FontHeight = FontDialog1.height;
        o->FontName = FontDialog1.name;
        o->FontPitch = FontDialog1.pitch;
        o->FontStyle = FontDialog1.style;
        o->FontSize = FontDialog1.size;
        panel_->loadSelectionControls(*o);
        repaintBoth();
    }
}

void EditorController::EditTextNow() {
    Tobs* o = selected();
    if (!o) return;
    txtForm_->setLines(splitTextLines(o->Content));
    if (modal(*txtForm_) != QDialog::Accepted) return;
    if ((o = selected())) {
        o->Content = joinTextLines(txtForm_->lines());
        repaintBoth();
    }
}

void EditorController::Texteffekte1Click() {
    Tobs* o = selected();
    if (!o) return;
    TEffektForm& f = *effektForm_;
    f.UmrCheck->setChecked(o->Outline());
    f.SchattCheck->setChecked(o->Shadow);
    f.outlineColor = o->OutlineColor();
    f.shadowColor = ColorRef(o->ShadowColor());
    f.SchattED1->setValue(o->ShadowDX);
    f.SchattEd2->setValue(o->ShadowDY);
    if (modal(f) != QDialog::Accepted) return;
    if (!(o = selected())) return;
    o->Outline() = f.UmrCheck->isChecked();
    o->Shadow = f.SchattCheck->isChecked();
    o->OutlineColor() = f.outlineColor;
    o->ShadowColor() = int32_t(f.shadowColor);
    o->ShadowDX = f.SchattED1->value();
    o->ShadowDY = f.SchattEd2->value();
    repaintBoth();
}

void EditorController::Transparenz1Click() {
    Tobs* o = selected();
    if (!o) return;
    TTransForm& f = *transForm_;
    f.TransCheck->setChecked(o->Transparent);
    f.AutoCheck->setChecked(o->AutoTransparent);
    f.color = ColorRef(o->TransparentColor());
    if (modal(f) != QDialog::Accepted) return;
    if (!(o = selected())) return;
    o->Transparent = f.TransCheck->isChecked();
    o->AutoTransparent = f.AutoCheck->isChecked();
    o->TransparentColor() = int32_t(f.color);
    repaintBoth();
}

void EditorController::rotate(bool left) {
    Tobs* o = selected();
    if (!o) return;
    CardDocument& d = doc();
    if (o->Kind == KindPicture) {
        // A picture that cannot be turned (no memory for the copy) keeps its box and turn.
        if (!o->Picture.isNull() && !(left ? RotLeft(o->Picture) : RotRight(o->Picture))) return;
        const int w = d.screenPixels(o->Width);
        o->Width = d.fromView(d.screenPixels(o->Height));
        o->Height = d.fromView(w);
    }
    o->Rotation += left ? -1 : 1;
    if (o->Rotation < 0) o->Rotation = 3;
    if (o->Rotation > 3) o->Rotation = 0;
    repaintBoth();
}

void EditorController::beforePaint() {
    panel_->CheckAllPanelOptions();
}

}  // namespace bb
