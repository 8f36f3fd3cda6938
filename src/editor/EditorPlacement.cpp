// The editor's placement aids: snapping of a drag to guides and the grid, nudging the selected
// objects with the arrow keys, centring them on the card or on a half of it, and lining
// several of them up ("Ausrichten").
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
    snapLines_ = snapOptions_.enabled ? snapLines(doc(), editedSide(), selection()) : SnapLines{};
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

namespace {

// The box around `picks` in document units.
AlignBox boxAround(const SlotTable& t, const std::vector<int>& picks) {
    std::vector<AlignBox> boxes;
    for (int s : picks) {
        const CardObject& o = *t[s];
        boxes.push_back({o.x, o.y, int64_t(o.x) + o.width, int64_t(o.y) + o.height});
    }
    return unionOf(boxes);
}

}  // namespace

void EditorController::nudge(int dx, int dy, bool millimetre, bool autoRepeat) {
    const std::vector<int> picks = selection();
    if (picks.empty() || mouseState_ != MouseIdle) return;
    // A held key is one step: its first press starts the group, the repeats join it.
    EditHistory::Step undoStep(*history_, QStringLiteral("Objekt verschieben"),
                               autoRepeat ? kNudgeMergeKey : -kNudgeMergeKey);
    const CardDocument& d = doc();
    const int64_t step = millimetre
                             ? std::llround(kUnitsPerMm)
                             : std::max<int64_t>(1, std::llround(d.unitsPerPixel / d.zoomFactor));
    // Several objects move as one box; the same keep-on-area rule as a drag: some part of it
    // stays on the work area.
    const AlignBox b = boxAround(editedSlots(), picks);
    int64_t x = b.left + dx * step, y = b.top + dy * step;
    x = std::max<int64_t>(x, -b.width());
    y = std::max<int64_t>(y, -b.height());
    if (const EditorView* outside = views_.outsideView()) {
        x = std::min(x, std::max<int64_t>(workAreaLimit(d, outside->width()), b.left));
        y = std::min(y, std::max<int64_t>(workAreaLimit(d, outside->height()), b.top));
    }
    moveSlots(picks, x - b.left, y - b.top, QStringLiteral("Objekt verschieben"));
}

// ---- centring and lining up ----

void EditorController::centreSelected(CentreOn where) {
    const std::vector<int> picks = selection();
    if (picks.empty()) return;
    const AlignBox b = boxAround(editedSlots(), picks);
    CardObject block;
    block.x = clampInt32(b.left);
    block.y = clampInt32(b.top);
    block.width = clampInt32(b.width());
    block.height = clampInt32(b.height());
    const CardGeometry card = cardGeometry(doc());
    const CardHalf half = halfOf(card, block);
    const bool onCard = where == CentreOn::CardHorizontally || where == CentreOn::CardVertically;
    const int32_t lo = onCard ? card.left : half.left;
    const int32_t hi = onCard ? card.right : half.right;
    int32_t x = block.x, y = block.y;
    if (where != CentreOn::CardVertically) x = centredPosition(lo, hi, block.width);
    if (where == CentreOn::CardVertically || where == CentreOn::HalfMiddle)
        y = centredPosition(card.top, card.bottom, block.height);
    moveSlots(picks, int64_t(x) - block.x, int64_t(y) - block.y,
              QStringLiteral("Objekt zentrieren"));
}

namespace {

// The selected slots by unit: a group is one, every other object one of its own.
std::vector<std::vector<int>> alignUnits(const SlotTable& t, const std::vector<int>& picks) {
    std::vector<std::vector<int>> units;
    std::vector<int32_t> groups;
    for (int s : picks) {
        const int32_t g = t[s]->extras.group;
        if (g > 0) {
            const auto at = std::find(groups.begin(), groups.end(), g);
            if (at != groups.end()) {
                units[size_t(at - groups.begin())].push_back(s);
                continue;
            }
        }
        groups.push_back(g > 0 ? g : 0);
        units.push_back({s});
    }
    return units;
}

}  // namespace

void EditorController::alignSelected(AlignEdge edge) {
    const std::vector<int> picks = selection();
    if (picks.empty()) return;
    const SlotTable& t = editedSlots();
    const std::vector<std::vector<int>> units = alignUnits(t, picks);
    std::vector<AlignBox> boxes;
    boxes.reserve(units.size());
    for (const std::vector<int>& u : units) boxes.push_back(boxAround(t, u));
    AlignBox reference = unionOf(boxes);
    if (units.size() == 1) {
        // One object or group: the half of the card it lies in, and the card's height.
        CardObject block;
        block.x = clampInt32(reference.left);
        block.width = clampInt32(reference.width());
        const CardGeometry card = cardGeometry(doc());
        const CardHalf half = halfOf(card, block);
        reference = {half.left, card.top, half.right, card.bottom};
    }
    const std::vector<AlignMove> moves = alignMoves(boxes, edge, reference);
    EditHistory::Step step(*history_, QStringLiteral("Objekte ausrichten"));
    for (size_t i = 0; i < units.size(); ++i)
        moveSlots(units[i], moves[i].dx, moves[i].dy, QStringLiteral("Objekte ausrichten"));
}

void EditorController::distributeSelected(bool horizontally) {
    const SlotTable& t = editedSlots();
    const std::vector<std::vector<int>> units = alignUnits(t, selection());
    std::vector<AlignBox> boxes;
    boxes.reserve(units.size());
    for (const std::vector<int>& u : units) boxes.push_back(boxAround(t, u));
    const std::vector<AlignMove> moves = distributeMoves(boxes, horizontally);
    EditHistory::Step step(*history_, QStringLiteral("Objekte verteilen"));
    for (size_t i = 0; i < units.size(); ++i)
        moveSlots(units[i], moves[i].dx, moves[i].dy, QStringLiteral("Objekte verteilen"));
}

}  // namespace bb
