// Editing on a side of 2000 objects: a drag move (the outline over the view's kept bitmap,
// painted to the screen), against a full repaint of the view for comparison; opening the
// object menu and the panel update for a newly selected object.
#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/ObjectMenu.h"
#include "editor/PropertyPanel.h"

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
        doc.UnitsPerPixel = 312;
        doc.updateSideUnits();
        const int32_t cardX = doc.SideWidthUnits / 3, cardY = doc.SideHeightUnits / 3;
        const int32_t cw = doc.SideWidthUnits / 3, ch = doc.SideHeightUnits / 3;
        for (int i = 0; i < objects; ++i) {
            bb::Tobs& o = *doc.WorkingSlots[i + 1];
            o.X = cardX + (i * 7919) % cw;
            o.Y = cardY + (i * 104729) % ch;
            o.Width = 8000 + (i * 37) % 30000;
            o.Height = 6000 + (i * 53) % 20000;
            o.Color = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
            o.Kind = i % 3 == 0 ? bb::KindText : bb::KindFigure;
            o.FigureKind = i % 10;
            o.FillMode = i % 3;
            o.LineWidth = 1 + i % 5;
            o.Content = QStringLiteral("Gruß %1").arg(i);
            o.FontName = QStringLiteral("Arial");
            o.FontSize = 10 + i % 20;
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

    bb::EditorView* outside() { return tab->views().PaintBox1(); }
    // A view point in the middle of the visible part.
    QPoint middle() { return QPoint(outside()->scrollX() + 300, outside()->scrollY() + 250); }
};

// Puts the frontmost object under `at` (50 × 40 view pixels) and selects it.
void placeSelected(EditingBench& b, QPoint at) {
    bb::Tobs& o = *b.doc.WorkingSlots[2000];
    b.doc.SetViewX(o, at.x() - 10);
    b.doc.SetViewY(o, at.y() - 10);
    b.doc.SetViewWidth(o, 50);
    b.doc.SetViewHeight(o, 40);
    b.ed->selectSlot(2000);
    b.tab->views().paintBoth();
}

void BM_DragMove2000Objects(benchmark::State& state) {
    EditingBench b(2000);
    const QPoint m = b.middle();
    placeSelected(b, m);
    b.ed->mousePress(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
    if (b.ed->MouseState != bb::MouseDragging) state.SkipWithError("no drag started");
    const int renders = b.outside()->renderCount();
    int i = 0;
    for (auto _ : state) {
        // Back and forth over 200 pixels; each move is painted to the screen at once.
        const int d = i % 400 < 200 ? i % 200 : 200 - i % 200;
        b.ed->mouseMove(0, Qt::LeftButton, Qt::NoModifier, m.x() + d, m.y() + d / 2);
        QCoreApplication::processEvents();
        ++i;
    }
    state.counters["renders_during_drag"] = b.outside()->renderCount() - renders;
    b.ed->mouseRelease(0, Qt::LeftButton, Qt::NoModifier, m.x(), m.y());
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
        b.ed->PopItUp(0, m.x(), m.y());
        QMenu* menu = b.ed->menus().PopupMenu1();
        benchmark::DoNotOptimize(menu->isVisible());
        menu->hide();
    }
}
BENCHMARK(BM_OpenObjectMenu)->Unit(benchmark::kMillisecond);

// Selecting another object: the selection-bound controls and CheckAllPanelOptions, by kind.
void BM_PanelUpdateForSelection(benchmark::State& state) {
    EditingBench b(2000);
    int slot = 1;
    for (auto _ : state) {
        b.ed->selectSlot(slot);
        b.ed->panel().CheckAllPanelOptions();
        slot = slot % 30 + 1;  // figures and texts by turns
    }
}
BENCHMARK(BM_PanelUpdateForSelection)->Unit(benchmark::kMicrosecond);

}  // namespace
