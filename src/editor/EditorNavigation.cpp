#include "editor/EditorNavigation.h"

#include "document/CardDocument.h"
#include "editor/EditMath.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"

#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// One notch of a mouse wheel in Qt's eighths of a degree.
constexpr int kNotch = 120;

}  // namespace

void EditorNavigation::repaintView(int side) {
    if (EditorView* v = views_.view(side)) v->paintView();
}

void EditorNavigation::zoomClick(int side, int x, int y, bool zoomIn) {
    CardDocument& d = views_.doc();
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

void EditorNavigation::showWholeCard() {
    CardDocument& d = views_.doc();
    EditorView* view = views_.view(views_.edited().side);
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
    views_.paintBoth();
}

void EditorNavigation::zoomAround(int side, double unitsPerPixel, int x, int y) {
    CardDocument& d = views_.doc();
    EditorView* view = views_.view(side);
    if (!view || !(unitsPerPixel > 0) || unitsPerPixel == d.unitsPerPixel) return;
    // The mouse's place in the visible part stays; the card point under it follows.
    const int mouseX = x - view->scrollX(), mouseY = y - view->scrollY();
    const long double ux = static_cast<long double>(x) / d.zoomFactor * d.unitsPerPixel;
    const long double uy = static_cast<long double>(y) / d.zoomFactor * d.unitsPerPixel;
    d.unitsPerPixel = unitsPerPixel;
    views_.zoomInProgress = true;
    const QSize size = views_.paintBoxSize();
    if (views_.outsideView()) views_.outsideView()->resize(size);
    if (side == 1 && views_.insideView()) views_.insideView()->resize(size);
    const auto target = [&](long double u, int mouse, int range) {
        const long double px = u * d.zoomFactor / unitsPerPixel - mouse;
        const long double top = std::max(0, range - 1);
        return int(std::llround(std::clamp<long double>(px, 0, top)));
    };
    const int sx = target(ux, mouseX, view->scrollRangeX());
    const int sy = target(uy, mouseY, view->scrollRangeY());
    view->setScroll(sx, sy);
    if (side == 1 && views_.outsideView()) views_.outsideView()->setScroll(sx, sy);
    views_.zoomInProgress = false;
    repaintView(side);
}

void EditorNavigation::pan(int side, int x, int y) {
    EditorView* view = views_.view(side);
    if (!view) return;
    const ScrollPos s = panTarget({view->scrollX(), view->scrollY()}, panStart_.x(), panStart_.y(),
                                  x, y, view->scrollRangeX(), view->scrollRangeY());
    view->setScroll(s.x, s.y);
}

bool EditorNavigation::wheel(int side, Qt::KeyboardModifiers mods, QPoint delta, int x, int y) {
    EditorView* view = views_.view(side);
    if (!view || !view->scrollBox()) return false;
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    if (mods & Qt::ControlModifier) {
        // Away from the user zooms in, one zoom step per notch.
        zoomWheelRest_ += turn;
        double upp = views_.doc().unitsPerPixel;
        for (; zoomWheelRest_ >= kNotch; zoomWheelRest_ -= kNotch) upp = zoomInStep(upp);
        for (; zoomWheelRest_ <= -kNotch; zoomWheelRest_ += kNotch) upp = zoomOutStep(upp);
        zoomAround(side, upp, x, y);
        return true;
    }
    // A plain turn scrolls down and up, with Shift (or a sideways turn) left and right.
    const bool sideways = (mods & Qt::ShiftModifier) || delta.y() == 0;
    QScrollBar* bar = sideways ? view->scrollBox()->horizontalScrollBar()
                               : view->scrollBox()->verticalScrollBar();
    scrollWheelRest_ -=
        turn * QGuiApplication::styleHints()->wheelScrollLines() * bar->singleStep();
    const int pixels = scrollWheelRest_ / kNotch;
    scrollWheelRest_ -= pixels * kNotch;
    bar->setValue(bar->value() + pixels);
    return true;
}

}  // namespace bb
