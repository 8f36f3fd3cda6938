// Repainting both editor views (bitmap of the visible
// part, frame, shadow, fold line, the card's objects, rulers) after a command, for a card of
// 200 objects on each side, in a window of the program's initial size.
#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Figures of every kind and texts spread over the card (and a few beside it).
void fillSide(bb::CardDocument& doc, int side, int count) {
    const int32_t cardX = doc.sideWidthUnits / 3, cardY = doc.sideHeightUnits / 3;
    const int32_t cw = doc.sideWidthUnits / 3, ch = doc.sideHeightUnits / 3;
    for (int i = 0; i < count; ++i) {
        bb::CardObject& o = *doc.sideSlots(side)[i + 1];
        o.x = cardX - cw / 10 + (i * 7919) % (cw + cw / 5);
        o.y = cardY - ch / 10 + (i * 104729) % (ch + ch / 5);
        o.width = 8000 + (i * 37) % 30000;
        o.height = 6000 + (i * 53) % 20000;
        o.color = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        if (i % 2 == 0) {
            o.kind = bb::KindFigure;
            o.borderColor = 0x202020;
            o.figureKind = i % 10;
            o.fillMode = i % 3;
            o.lineWidth = 1 + i % 5;
        } else {
            o.kind = bb::KindText;
            o.content = QStringLiteral("Herzlichen Glückwunsch %1").arg(i);
            o.fontName = QStringLiteral("Arial");
            o.fontSize = 10 + i % 20;
            o.alignment = i % 3;
            o.shadow = i % 5 == 1;
            o.outlineColor = 0x202020;
            o.shadowColor = 0x808080;
        }
    }
}

void BM_RepaintBothViews200Objects(benchmark::State& state) {
    bb::CardDocument doc;
    bb::RenderContext ctx;
    doc.unitsPerPixel = 312;
    doc.updateSideUnits();
    fillSide(doc, bb::SideOutside, 200);
    fillSide(doc, bb::SideInside, 200);
    bb::EditorTab tab(doc, ctx);
    tab.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tab.show();
    tab.views().layoutFromDocument();
    QCoreApplication::processEvents();
    tab.views().centreViews();
    for (auto _ : state) {
        tab.views().paintBoth();
        benchmark::ClobberMemory();
    }
    state.counters["renders"] = tab.views().outsideView()->renderCount();
}
// The editor tab of the initial 632 × 560 window, and of a window filling a 1280 × 1024 screen.
BENCHMARK(BM_RepaintBothViews200Objects)
    ->Args({632, 480})
    ->Args({1280, 900})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace
