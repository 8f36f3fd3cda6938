// The editor's guides and grid on the screen: guides pulled out of the rulers into a view,
// moved there and pulled back onto a ruler to take them away, and the grid drawn while
// "Raster anzeigen" is on. Both are drawn into the views' bitmaps only, never into output.
#include "document/Trunc.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"

#include <QPainter>

namespace bb {

namespace {

// How near (in screen pixels) the mouse must come to a guide to take it.
constexpr int kGuideGrabPixels = 3;
// Grid lines closer than this many screen pixels are thinned out.
constexpr int kGridMinGapPixels = 4;

const QColor kGuideColor(0, 170, 200);
const QColor kGridColor(200, 210, 230);

}  // namespace

void EditorController::clearGuides() {
    guides_.clear();
    guidePull_ = GuidePull{};
}

void EditorController::removeGuides(int side) {
    if (guides_.side(side).empty()) return;
    guides_.side(side) = GuideLines{};
    if (guidePull_.side == side) guidePull_ = GuidePull{};
    repaintView(side);
}

void EditorController::setGridShown(bool shown) {
    if (gridShown_ == shown) return;
    gridShown_ = shown;
    repaintBoth();
}

void EditorController::drawGuideLine(QPainter& p, bool vertical, int32_t pos, int offsetX,
                                     int offsetY) {
    const CardDocument& d = doc();
    const QSize area = views_.paintBoxSize();
    p.save();
    p.setPen(QPen(kGuideColor, 0));
    const int at = d.screenPixels(pos);
    if (vertical)
        p.drawLine(at - offsetX, -offsetY, at - offsetX, area.height() - 1 - offsetY);
    else
        p.drawLine(-offsetX, at - offsetY, area.width() - 1 - offsetX, at - offsetY);
    p.restore();
}

void EditorController::drawAids(int side, QPainter& p, int offsetX, int offsetY) {
    const EditorView* v = views_.view(side);
    if (!v) return;
    const CardDocument& d = doc();
    if (gridShown_ && snapOptions_.gridMm > 0) {
        const QRect part = v->visiblePart();
        const CardGeometry card = cardGeometry(d);
        const double spacing = snapOptions_.gridMm * kUnitsPerMm;
        const double minGap = double(snapReach(d.zoomFactor, d.unitsPerPixel, kGridMinGapPixels));
        const auto lines = [&](int32_t origin, int from, int to) {
            // One pixel more on each side, so that a line truncated into the edge shows.
            return gridLines(origin, spacing, int64_t(d.fromView(from - 1)),
                             int64_t(d.fromView(to + 1)), minGap);
        };
        p.save();
        p.setPen(QPen(kGridColor, 0));
        for (int64_t x : lines(card.left, part.left(), part.right())) {
            const int px = d.screenPixels(clampInt32(x)) - offsetX;
            p.drawLine(px, part.top() - offsetY, px, part.bottom() - offsetY);
        }
        for (int64_t y : lines(card.top, part.top(), part.bottom())) {
            const int py = d.screenPixels(clampInt32(y)) - offsetY;
            p.drawLine(part.left() - offsetX, py, part.right() - offsetX, py);
        }
        p.restore();
    }
    // The guide on the move is drawn over the bitmap, where the mouse has it.
    const GuideLines& lines = guides_.side(side);
    const bool pulling = guidePull_.active && guidePull_.side == side;
    for (int i = 0; i < int(lines.xs.size()); ++i) {
        if (pulling && guidePull_.guide == GuideRef{true, i}) continue;
        drawGuideLine(p, true, lines.xs[i], offsetX, offsetY);
    }
    for (int i = 0; i < int(lines.ys.size()); ++i) {
        if (pulling && guidePull_.guide == GuideRef{false, i}) continue;
        drawGuideLine(p, false, lines.ys[i], offsetX, offsetY);
    }
}

GuideRef EditorController::guideUnderMouse(int side, int x, int y) {
    if (tools_->current() != ToolPointer || dragMode_ != DragNone) return {};
    const CardDocument& d = doc();
    const GuideRef g = guideAt(guides_.side(side), d.fromView(x), d.fromView(y),
                               snapReach(d.zoomFactor, d.unitsPerPixel, kGuideGrabPixels));
    // An object under the mouse is taken before a guide across it.
    if (!g.valid() || hitTest(d, editedSide(), x, y) > 0) return {};
    return g;
}

void EditorController::hoverGuide(int side, int x, int y) {
    const GuideRef g = guideUnderMouse(side, x, y);
    if (g.valid()) setCursorNumber(g.vertical ? DragLeft : DragTop);
}

bool EditorController::pressOnGuide(int side, int x, int y) {
    const GuideRef g = guideUnderMouse(side, x, y);
    if (!g.valid()) return false;
    const GuideLines& lines = guides_.side(side);
    guidePull_ = GuidePull{
        true, side, g.vertical, g, g.vertical ? lines.xs[g.index] : lines.ys[g.index], true};
    setCursorNumber(g.vertical ? DragLeft : DragTop);
    // The guide leaves the bitmap and follows the mouse over it.
    repaintView(side);
    return true;
}

void EditorController::pullGuide(int x, int y) {
    EditorView* v = views_.view(guidePull_.side);
    if (!guidePull_.active || !v) return;
    const CardDocument& d = doc();
    guidePull_.pos = guidePull_.vertical ? d.fromView(x) : d.fromView(y);
    guidePull_.onView = v->visiblePart().contains(x, y);
    v->update();
}

void EditorController::dropGuide(int x, int y) {
    if (!guidePull_.active) return;
    pullGuide(x, y);
    const GuidePull pull = guidePull_;
    guidePull_ = GuidePull{};
    if (pull.onView) {
        if (pull.guide.valid())
            guides_.move(pull.side, pull.guide, pull.pos);
        else
            guides_.add(pull.side, pull.vertical, pull.pos);
    } else if (pull.guide.valid()) {
        // Back on a ruler or off the view: the guide goes away.
        guides_.remove(pull.side, pull.guide);
    }
    repaintView(pull.side);
    chooseDragMode(x, y);
    hoverGuide(pull.side, x, y);
}

void EditorController::rulerPress(int side, bool topRuler, int x, int y) {
    if (mouseState_ != MouseIdle || guidePull_.active || !views_.view(side)) return;
    endTextEditing();
    // The top ruler gives a horizontal guide, the left ruler a vertical one.
    guidePull_ = GuidePull{true, side, !topRuler, GuideRef{}, 0, false};
    pullGuide(x, y);
}

void EditorController::rulerMove(int, int x, int y) {
    pullGuide(x, y);
}

void EditorController::rulerRelease(int, int x, int y) {
    dropGuide(x, y);
}

}  // namespace bb
