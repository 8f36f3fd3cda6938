// The editor's placement aids: snapping of a drag to guides and the grid, nudging the selected
// object with the arrow keys, and centring it on the card or on a half of it.
#include "document/Trunc.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace bb {

// ---- snapping ----

void EditorController::startSnapping() {
    guideXs_.clear();
    guideYs_.clear();
    shownGuides_ = QRegion();
    snapLines_ =
        snapOptions_.enabled ? snapLines(doc(), editedSide(), selectedSlot()) : SnapLines{};
    // The guides pulled from the rulers hold whether snapping is on or not.
    const GuideLines& pulled = guides_.side(dragSide_);
    if (pulled.empty()) return;
    const auto merge = [](std::vector<int32_t>& into, const std::vector<int32_t>& more) {
        into.insert(into.end(), more.begin(), more.end());
        std::sort(into.begin(), into.end());
        into.erase(std::unique(into.begin(), into.end()), into.end());
    };
    merge(snapLines_.xs, pulled.xs);
    merge(snapLines_.ys, pulled.ys);
}

void EditorController::snapDragged(CardObject& o) {
    const CardDocument& d = doc();
    const CardGeometry card = cardGeometry(d);
    // The grid starts at the card's top-left corner; it holds only while snapping is on.
    const bool gridHolds = snapOptions_.enabled && snapOptions_.gridMm > 0;
    const SnapGrid grid{gridHolds ? snapOptions_.gridMm * kUnitsPerMm : 0.0, card.left, card.top};
    const SnapBox box{o.x, o.y, int64_t(o.x) + o.width, int64_t(o.y) + o.height};
    if (o.extras.fineAngle != 0) {
        snapTurned(o, grid);
        return;
    }
    SnapResult r =
        snapBox(box, dragMode_, snapLines_, grid, snapReach(d.zoomFactor, d.unitsPerPixel));
    o.x = clampInt32(r.box.left);
    o.y = clampInt32(r.box.top);
    o.width = clampInt32(r.box.right - r.box.left);
    o.height = clampInt32(r.box.bottom - r.box.top);
    guideXs_ = std::move(r.guideXs);
    guideYs_ = std::move(r.guideYs);
}

void EditorController::snapTurned(CardObject& o, const SnapGrid& grid) {
    // A turned object snaps the edges of the box it covers when it is moved; its sides run
    // askew, so sizing it snaps nothing.
    guideXs_.clear();
    guideYs_.clear();
    if (dragMode_ != DragMove) return;
    const CardDocument& d = doc();
    const SnapBox drawn = drawnBox(o);
    SnapResult r =
        snapBox(drawn, DragMove, snapLines_, grid, snapReach(d.zoomFactor, d.unitsPerPixel));
    o.x = clampInt32(int64_t(o.x) + r.box.left - drawn.left);
    o.y = clampInt32(int64_t(o.y) + r.box.top - drawn.top);
    guideXs_ = std::move(r.guideXs);
    guideYs_ = std::move(r.guideYs);
}

QRegion EditorController::guideRegion() const {
    QRegion region;
    const EditorView* v = views_.view(dragSide_);
    if (!v || mouseState_ != MouseDragging) return region;
    const CardDocument& d = views_.doc();
    for (int32_t x : guideXs_) region += QRect(d.screenPixels(x), 0, 1, v->height());
    for (int32_t y : guideYs_) region += QRect(0, d.screenPixels(y), v->width(), 1);
    return region;
}

void EditorController::drawGuides(int side, QPainter& p) {
    const EditorView* v = views_.view(side);
    if (!v || (guideXs_.empty() && guideYs_.empty())) return;
    const CardDocument& d = doc();
    p.save();
    p.setPen(QPen(QColor(0, 120, 215), 0));
    for (int32_t x : guideXs_) {
        const int px = d.screenPixels(x);
        p.drawLine(px, 0, px, v->height() - 1);
    }
    for (int32_t y : guideYs_) {
        const int py = d.screenPixels(y);
        p.drawLine(0, py, v->width() - 1, py);
    }
    p.restore();
}

// ---- wheel ----

bool EditorController::wheel(int side, Qt::KeyboardModifiers mods, QPoint delta, int x, int y) {
    if (cropSession_->running() && cropSession_->wheel(side, delta, x, y)) return true;
    return navigation_.wheel(side, mods, delta, x, y);
}

// ---- nudging ----

bool EditorController::nudgeKey(const QKeyEvent& event) {
    if (!(event.modifiers() & Qt::ControlModifier)) return false;
    int dx = 0, dy = 0;
    switch (event.key()) {
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        default:
            return false;
    }
    nudge(dx, dy, event.modifiers() & Qt::ShiftModifier, event.isAutoRepeat());
    return true;
}

void EditorController::nudge(int dx, int dy, bool millimetre, bool autoRepeat) {
    CardObject* o = selected();
    if (!o || mouseState_ != MouseIdle) return;
    // A held key is one step: its first press starts the group, the repeats join it.
    EditHistory::Step undoStep(*history_, QStringLiteral("Objekt verschieben"),
                               autoRepeat ? kNudgeMergeKey : -kNudgeMergeKey);
    const CardDocument& d = doc();
    const int64_t step = millimetre
                             ? std::llround(kUnitsPerMm)
                             : std::max<int64_t>(1, std::llround(d.unitsPerPixel / d.zoomFactor));
    int64_t x = int64_t(o->x) + dx * step, y = int64_t(o->y) + dy * step;
    // The same keep-on-area rule as a drag: some part stays on the work area.
    x = std::max<int64_t>(x, -int64_t(o->width));
    y = std::max<int64_t>(y, -int64_t(o->height));
    if (const EditorView* outside = views_.outsideView()) {
        x = std::min(x, std::max<int64_t>(workAreaLimit(d, outside->width()), o->x));
        y = std::min(y, std::max<int64_t>(workAreaLimit(d, outside->height()), o->y));
    }
    if (x == o->x && y == o->y) return;
    o->x = clampInt32(x);
    o->y = clampInt32(y);
    repaintBoth();
}

// ---- centring ----

void EditorController::centreSelected(CentreOn where) {
    CardObject* o = selected();
    if (!o) return;
    EditHistory::Step undoStep(*history_, QStringLiteral("Objekt zentrieren"));
    const CardGeometry card = cardGeometry(doc());
    const CardHalf half = halfOf(card, *o);
    const bool onCard = where == CentreOn::CardHorizontally || where == CentreOn::CardVertically;
    const int32_t lo = onCard ? card.left : half.left;
    const int32_t hi = onCard ? card.right : half.right;
    int32_t x = o->x, y = o->y;
    if (where != CentreOn::CardVertically) x = centredPosition(lo, hi, o->width);
    if (where == CentreOn::CardVertically || where == CentreOn::HalfMiddle)
        y = centredPosition(card.top, card.bottom, o->height);
    if (x == o->x && y == o->y) return;
    o->x = x;
    o->y = y;
    repaintBoth();
}

}  // namespace bb
