// Several selected objects: the selection itself with groups, Shift+ and Ctrl+click, Ctrl+A
// and Escape, the rubber band, and dragging all selected objects at once (moved, or scaled
// within the box around them).
#include "document/Trunc.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/PropertyPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

bool usedSlot(const SlotTable& t, int slot) {
    return slot > 0 && slot <= kSlotCount && t[slot]->used();
}

void sortUnique(std::vector<int>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

bool contains(const std::vector<int>& v, int slot) {
    return std::find(v.begin(), v.end(), slot) != v.end();
}

// `start` scaled from a box of length `from` to one of length `to`, rounded.
int64_t scaled(int64_t start, int64_t to, int64_t from) {
    return from == 0 ? start : std::llround(static_cast<long double>(start) * to / from);
}

}  // namespace

std::vector<int> EditorController::selection() const {
    std::vector<int> out;
    const EditedSide& e = views_.edited();
    const SlotTable& t = editedSlots();
    if (!usedSlot(t, e.slot)) return out;
    out.push_back(e.slot);
    for (int s : e.also)
        if (usedSlot(t, s)) out.push_back(s);
    sortUnique(out);
    return out;
}

bool EditorController::isSelected(int slot) const {
    return contains(selection(), slot);
}

std::vector<int> EditorController::groupOf(int slot) const {
    const SlotTable& t = editedSlots();
    if (!usedSlot(t, slot)) return {};
    const int32_t group = t[slot]->extras.group;
    if (group <= 0) return {slot};
    std::vector<int> members;
    for (int s = 1; s <= kSlotCount; ++s)
        if (t[s]->used() && t[s]->extras.group == group) members.push_back(s);
    return members;
}

void EditorController::setSelection(const std::vector<int>& picks, int current) {
    // The picks and, in one pass over the side, the members of their groups.
    const SlotTable& t = editedSlots();
    std::vector<int> all;
    std::vector<int> groups;
    for (int s : picks) {
        if (!usedSlot(t, s)) continue;
        all.push_back(s);
        if (t[s]->extras.group > 0) groups.push_back(t[s]->extras.group);
    }
    sortUnique(groups);
    if (!groups.empty()) {
        for (int s = 1; s <= kSlotCount; ++s)
            if (t[s]->used() &&
                std::binary_search(groups.begin(), groups.end(), t[s]->extras.group))
                all.push_back(s);
    }
    sortUnique(all);
    if (all.empty()) {
        edited().select(0);
        return;
    }
    if (!contains(all, current)) current = all.back();
    edited().slot = current;
    edited().also.clear();
    for (int s : all)
        if (s != current) edited().also.push_back(s);
    if (CardObject* o = selected()) panel_->loadSelectionControls(*o);
}

void EditorController::selectSlot(int slot) {
    if (usedSlot(editedSlots(), slot)) {
        setSelection({slot}, slot);
        return;
    }
    // A slot about to be filled (or 0) is selected as it is.
    edited().select(slot);
}

void EditorController::toggleSelected(int slot) {
    const std::vector<int> group = groupOf(slot);
    if (group.empty()) return;
    std::vector<int> now = selection();
    int current = selectedSlot();
    if (contains(now, slot)) {
        std::erase_if(now, [&](int s) { return contains(group, s); });
        if (contains(group, current)) current = 0;
    } else {
        now.insert(now.end(), group.begin(), group.end());
        current = slot;
    }
    setSelection(now, current);
}

void EditorController::selectAll() {
    endTextEditing();
    std::vector<int> all;
    const SlotTable& t = editedSlots();
    for (int s = 1; s <= kSlotCount; ++s)
        if (t[s]->used() && !t[s]->extras.locked) all.push_back(s);
    setSelection(all, selectedSlot());
    repaintBoth();
}

void EditorController::clearSelection() {
    endTextEditing();
    edited().select(0);
    repaintBoth();
}

std::vector<int> EditorController::movableSelection() const {
    std::vector<int> out = selection();
    const SlotTable& t = editedSlots();
    std::erase_if(out, [&](int s) { return t[s]->extras.locked; });
    return out;
}

bool EditorController::selectionKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_A && mods == Qt::ControlModifier) {
        if (mouseState_ == MouseIdle) selectAll();
        return true;
    }
    if (event.key() != Qt::Key_Escape || mods != Qt::NoModifier) return false;
    if (band_.active) {
        band_ = Band{};
        repaintBoth();
        return true;
    }
    if (mouseState_ != MouseIdle || selectedSlot() == 0) return false;
    clearSelection();
    return true;
}

void EditorController::moveSlots(const std::vector<int>& picks, int64_t dx, int64_t dy,
                                 const QString& stepText) {
    if (picks.empty() || (dx == 0 && dy == 0)) return;
    EditHistory::Step step(*history_, stepText);
    SlotTable& t = editedSlots();
    for (int s : picks) {
        t[s]->x = clampInt32(int64_t(t[s]->x) + dx);
        t[s]->y = clampInt32(int64_t(t[s]->y) + dy);
    }
    repaintBoth();
}

// ---- dragging several objects ----

PixelBox EditorController::selectionPixelBox() const {
    const std::vector<int> picks = movableSelection();
    if (picks.empty()) return {};
    const CardDocument& d = views_.doc();
    const SlotTable& t = editedSlots();
    PixelBox u = pixelBox(d, *t[picks.front()]);
    int right = u.left + u.width, bottom = u.top + u.height;
    for (int s : picks) {
        const PixelBox b = pixelBox(d, *t[s]);
        u.left = std::min(u.left, b.left);
        u.top = std::min(u.top, b.top);
        right = std::max(right, b.left + b.width);
        bottom = std::max(bottom, b.top + b.height);
    }
    u.width = right - u.left;
    u.height = bottom - u.top;
    return u;
}

void EditorController::startDragSeveral() {
    severalStart_.clear();
    const SlotTable& t = editedSlots();
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (int s : movableSelection()) {
        const CardObject& o = *t[s];
        severalStart_.push_back({s, o.x, o.y, o.width, o.height});
        left = std::min<int64_t>(left, o.x);
        top = std::min<int64_t>(top, o.y);
        right = std::max(right, int64_t(o.x) + o.width);
        bottom = std::max(bottom, int64_t(o.y) + o.height);
    }
    if (severalStart_.empty()) return;
    severalUnion_ = {0, clampInt32(left), clampInt32(top), clampInt32(right - left),
                     clampInt32(bottom - top)};
}

void EditorController::dragSeveral(int x, int y) {
    // The box around them all is dragged like one object; each object follows it.
    const StartBox& u = severalUnion_;
    CardObject box;
    box.kind = KindFigure;
    box.x = u.x;
    box.y = u.y;
    box.width = u.width;
    box.height = u.height;
    EditorView* outside = views_.outsideView();
    const DragLimits limits{outside ? outside->width() : 0, outside ? outside->height() : 0};
    dragMode_ =
        bb::dragObject(doc(), box, DragGrab{dragMode_, grabOffsetX_, grabOffsetY_}, x, y, limits);
    if (snapOptions_.enabled || !snapLines_.xs.empty() || !snapLines_.ys.empty()) snapDragged(box);
    SlotTable& t = editedSlots();
    for (const StartBox& s : severalStart_) {
        CardObject& o = *t[s.slot];
        if (dragMode_ == DragMove) {
            o.x = clampInt32(int64_t(s.x) + box.x - u.x);
            o.y = clampInt32(int64_t(s.y) + box.y - u.y);
            continue;
        }
        o.x = clampInt32(box.x + scaled(int64_t(s.x) - u.x, box.width, u.width));
        o.y = clampInt32(box.y + scaled(int64_t(s.y) - u.y, box.height, u.height));
        o.width = clampInt32(scaled(s.width, box.width, u.width));
        o.height = clampInt32(scaled(s.height, box.height, u.height));
    }
}

void EditorController::restoreSeveral() {
    SlotTable& t = editedSlots();
    for (const StartBox& s : severalStart_) {
        CardObject& o = *t[s.slot];
        o.x = s.x;
        o.y = s.y;
        o.width = s.width;
        o.height = s.height;
    }
}

// ---- the rubber band ----

void EditorController::startBand(int side, int x, int y, bool adding) {
    band_ = Band{true, adding, side, QPoint(x, y), QPoint(x, y), {}};
    if (adding) {
        band_.before = selection();
    } else {
        endTextEditing();
        edited().select(0);
    }
    repaintView(side);
}

QRect EditorController::rubberBand() const {
    if (!band_.active) return {};
    return QRect(band_.from, band_.to).normalized();
}

void EditorController::pullBand(int x, int y) {
    const QRect before = rubberBand();
    band_.to = QPoint(x, y);
    if (EditorView* v = views_.view(band_.side))
        v->update(before.united(rubberBand()).adjusted(-1, -1, 2, 2));
}

void EditorController::dropBand(int x, int y) {
    band_.to = QPoint(x, y);
    const QRect r = rubberBand();
    const Band band = band_;
    band_ = Band{};
    // A click on empty area selects nothing more.
    if ((band.to - band.from).manhattanLength() >= QApplication::startDragDistance()) {
        std::vector<int> found;
        const SlotTable& t = editedSlots();
        const CardDocument& d = doc();
        for (int s = 1; s <= kSlotCount; ++s) {
            const CardObject& o = *t[s];
            if (!o.used() || o.extras.locked) continue;
            const PixelBox b = pixelBox(d, o);
            if (b.left >= r.left() && b.top >= r.top() && b.left + b.width <= r.right() &&
                b.top + b.height <= r.bottom())
                found.push_back(s);
        }
        std::vector<int> all = band.before;
        all.insert(all.end(), found.begin(), found.end());
        setSelection(all, band.adding && selectedSlot() != 0 ? selectedSlot()
                                                             : (found.empty() ? 0 : found.back()));
    }
    repaintBoth();
}

void EditorController::drawBand(int side, QPainter& p) {
    if (!band_.active || side != band_.side) return;
    const QRect r = rubberBand();
    p.save();
    p.setBrush(QColor(0, 120, 215, 40));
    p.setPen(QPen(QColor(0, 120, 215), 0, Qt::DashLine));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}

}  // namespace bb
