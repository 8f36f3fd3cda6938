// Editing on a side of 2000 objects: a drag move (the outline over the view's kept bitmap,
// painted to the screen), against a full repaint of the view for comparison; opening the
// object menu and the panel update for a newly selected object; an arrow-key step of 500
// selected objects and a drag step of 500.
#include "document/CardDocument.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/ObjectMenu.h"
#include "editor/PropertyPanel.h"
#include "editor/Snapping.h"

#include <QApplication>
#include <QMenu>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct EditingBench {
    bb::CardDocument doc;
    bb::RenderContext ctx;
    bb::ConsoleDialogs dialogs;
    std::unique_ptr<bb::EditorTab> tab;
    std::unique_ptr<bb::EditorController> ed;

    explicit EditingBench(int objects) {
        doc.unitsPerPixel = 312;
        doc.updateSideUnits();
        const int32_t cardX = doc.sideWidthUnits / 3, cardY = doc.sideHeightUnits / 3;
        const int32_t cw = doc.sideWidthUnits / 3, ch = doc.sideHeightUnits / 3;
        for (int i = 0; i < objects; ++i) {
            bb::CardObject& o = *doc.outsideSlots[i + 1];
            o.x = cardX + (i * 7919) % cw;
            o.y = cardY + (i * 104729) % ch;
            o.width = 8000 + (i * 37) % 30000;
            o.height = 6000 + (i * 53) % 20000;
            o.color = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
            o.kind = i % 3 == 0 ? bb::KindText : bb::KindFigure;
            o.figureKind = i % 10;
            o.fillMode = i % 3;
            o.lineWidth = 1 + i % 5;
            o.content = QStringLiteral("Gruß %1").arg(i);
            o.fontName = QStringLiteral("Arial");
            o.fontSize = 10 + i % 20;
        }
        tab = std::make_unique<bb::EditorTab>(doc, ctx);
        ed = std::make_unique<bb::EditorController>(tab->views(), dialogs, QString(), nullptr);
        ed->install(*tab);
        tab->resize(1000, 760);
        tab->show();
        tab->views().layoutFromDocument();
        QCoreApplication::processEvents();
        tab->views().centreViews();
        QCoreApplication::processEvents();
    }
    ~EditingBench() { ed.reset(); }

    bb::EditorView* outside() { return tab->views().outsideView(); }
    // A view point in the middle of the visible part.
    QPoint middle() { return QPoint(outside()->scrollX() + 300, outside()->scrollY() + 250); }
};

// Puts the frontmost object under `at` (50 × 40 view pixels) and selects it.
void placeSelected(EditingBench& b, QPoint at) {
    bb::CardObject& o = *b.doc.outsideSlots[2000];
    b.doc.setViewX(o, at.x() - 10);
    b.doc.setViewY(o, at.y() - 10);
    b.doc.setViewWidth(o, 50);
    b.doc.setViewHeight(o, 40);
    b.ed->selectSlot(2000);
    b.tab->views().paintBoth();
}

// Drags the selection from the view point `m` back and forth over 200 pixels, each move painted
// to the screen at once; `moved` is the slot whose position tells that the drag took place.
void dragBackAndForth(benchmark::State& state, EditingBench& b, QPoint m, int moved) {
    b.ed->mousePress(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
    const int32_t startX = b.ed->editedSlots()[moved]->x;
    const int renders = b.outside()->renderCount();
    int i = 0;
    for (auto _ : state) {
        const int d = i % 400 < 200 ? i % 200 : 200 - i % 200;
        b.ed->mouseMove(0, Qt::LeftButton, Qt::NoModifier, m.x() + d, m.y() + d / 2);
        QCoreApplication::processEvents();
        ++i;
    }
    state.counters["renders_during_drag"] = b.outside()->renderCount() - renders;
    if (b.ed->editedSlots()[moved]->x == startX) state.SkipWithError("no drag started");
    b.ed->mouseRelease(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
}

void BM_DragMove2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    const QPoint m = b.middle();
    placeSelected(b, m);
    dragBackAndForth(state, b, m, 2000);
}
BENCHMARK(BM_DragMove2000Objects)->Iterations(1000)->Unit(benchmark::kMillisecond);

// The same with the whole visible view painted at every move: the full copy of the kept
// bitmap plus the outline, the upper bound of a move's cost.
void BM_DragMoveFullCopy2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    const QPoint m = b.middle();
    placeSelected(b, m);
    b.ed->mousePress(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
    const int renders = b.outside()->renderCount();
    int i = 0;
    for (auto _ : state) {
        const int d = i % 400 < 200 ? i % 200 : 200 - i % 200;
        b.ed->mouseMove(0, Qt::LeftButton, Qt::NoModifier, m.x() + d, m.y() + d / 2);
        b.outside()->repaint();
        ++i;
    }
    state.counters["renders_during_drag"] = b.outside()->renderCount() - renders;
    b.ed->mouseRelease(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
}
BENCHMARK(BM_DragMoveFullCopy2000Objects)->Iterations(1000)->Unit(benchmark::kMillisecond);

// The same drag with snapping on (guides of 2000 objects and the card, 5 mm grid): every move
// is the drag, the snap and the update of the outline and the guides on the screen.
void BM_DragMoveSnapping2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    b.ed->setSnapping(true);
    b.ed->setGridSpacing(5.0);
    const QPoint m = b.middle();
    placeSelected(b, m);
    b.ed->mousePress(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
    int i = 0, held = 0;
    for (auto _ : state) {
        const int d = i % 400 < 200 ? i % 200 : 200 - i % 200;
        b.ed->mouseMove(0, Qt::LeftButton, Qt::NoModifier, m.x() + d, m.y() + d / 2);
        QCoreApplication::processEvents();
        held += !b.ed->guideXs().empty() || !b.ed->guideYs().empty();
        ++i;
    }
    state.counters["moves_with_guides"] = held;
    b.ed->mouseRelease(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
}
BENCHMARK(BM_DragMoveSnapping2000Objects)->Iterations(1000)->Unit(benchmark::kMillisecond);

// The press of that drag: the candidate lines of 2000 objects, sorted.
void BM_SnapLines2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    for (auto _ : state)
        benchmark::DoNotOptimize(bb::snapLines(b.doc, bb::SideOutside, 2000).xs.data());
}
BENCHMARK(BM_SnapLines2000Objects)->Unit(benchmark::kMicrosecond);

// One move's snap alone against the lines of 2000 objects.
void BM_SnapBox2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    const bb::SnapLines lines = bb::snapLines(b.doc, bb::SideOutside, 2000);
    const bb::CardGeometry card = bb::cardGeometry(b.doc);
    const bb::SnapGrid grid{5 * bb::kUnitsPerMm, card.left, card.top};
    const int64_t reach = bb::snapReach(b.doc.zoomFactor, b.doc.unitsPerPixel);
    int64_t i = 0;
    for (auto _ : state) {
        const int64_t x = card.left + (i * 977) % (card.right - card.left);
        const int64_t y = card.top + (i * 613) % (card.bottom - card.top);
        benchmark::DoNotOptimize(
            bb::snapBox({x, y, x + 15600, y + 12480}, bb::DragMove, lines, grid, reach).box);
        ++i;
    }
}
BENCHMARK(BM_SnapBox2000Objects)->Unit(benchmark::kMicrosecond);

// For comparison: what one move would cost if it re-rendered the view.
void BM_FullRepaint2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    for (auto _ : state) {
        b.outside()->paintView();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FullRepaint2000Objects)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_OpenObjectMenu(benchmark::State& state) {
    EditingBench b(2000);
    const QPoint m = b.middle();
    placeSelected(b, m);
    for (auto _ : state) {
        b.ed->showObjectMenu(0, m.x(), m.y());
        QMenu* menu = b.ed->menus().objectMenu();
        benchmark::DoNotOptimize(menu->isVisible());
        menu->hide();
    }
}
BENCHMARK(BM_OpenObjectMenu)->Unit(benchmark::kMillisecond);

// Selecting another object: the selection-bound controls and updateFromSelection, by kind.
void BM_PanelUpdateForSelection(benchmark::State& state) {
    EditingBench b(2000);
    int slot = 1;
    for (auto _ : state) {
        b.ed->selectSlot(slot);
        b.ed->panel().updateFromSelection();
        slot = slot % 30 + 1;  // figures and texts by turns
    }
}
BENCHMARK(BM_PanelUpdateForSelection)->Unit(benchmark::kMicrosecond);

// One arrow-key step of 500 selected objects: the undo step, the move and the repaint of the
// side (and the object list's look at the side).
void BM_NudgeSelectionOf500(benchmark::State& state) {
    EditingBench b(2000);
    std::vector<int> picks;
    for (int s = 1; s <= 500; ++s) picks.push_back(s);
    b.ed->setSelection(picks, 500);
    b.tab->views().paintBoth();
    int i = 0;
    for (auto _ : state) {
        b.ed->nudge(i % 2 == 0 ? 1 : -1, 0, false, false);
        ++i;
    }
    if (b.ed->selection().size() != 500) state.SkipWithError("the selection changed");
}
BENCHMARK(BM_NudgeSelectionOf500)->Iterations(50)->Unit(benchmark::kMillisecond);

// One step of dragging 500 selected objects with the mouse: their outlines over the view's
// kept bitmap, painted to the screen; the side is drawn again only when the drag ends.
void BM_DragSelectionOf500(benchmark::State& state) {
    EditingBench b(2000);
    const QPoint m = b.middle();
    placeSelected(b, m);
    std::vector<int> picks;
    for (int s = 1501; s <= 2000; ++s) picks.push_back(s);
    b.ed->setSelection(picks, 2000);
    b.tab->views().paintBoth();
    dragBackAndForth(state, b, m, 1501);
}
BENCHMARK(BM_DragSelectionOf500)->Iterations(1000)->Unit(benchmark::kMillisecond);

}  // namespace
