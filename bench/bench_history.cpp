// The undo history: recording a step, undo and redo on a side with 2000 objects, and the
// memory 1000 steps keep on a card with a 12-megapixel picture.
#include "document/EditHistory.h"

#include "pictures/PictureOps.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

using namespace bb;

void fillFigures(CardDocument& doc, int count) {
    for (int s = 1; s <= count; ++s) {
        CardObject& o = *doc.outsideSlots[s];
        o.kind = KindFigure;
        o.x = (s * 977) % 200000;
        o.y = (s * 613) % 150000;
        o.width = 20000;
        o.height = 10000;
        o.color = 0x00C000;
    }
}

void move(EditHistory& h, CardObject& o, int dx) {
    h.begin();
    o.x += dx;
    h.end(QStringLiteral("Objekt verschieben"));
}

// One step as every command records it: the capture at its start and the comparison at its end.
void BM_RecordStepOn2000Objects(benchmark::State& state) {
    CardDocument doc;
    fillFigures(doc, 2000);
    EditHistory history(doc);
    int dx = 1;
    for (auto _ : state) {
        move(history, *doc.outsideSlots[1000], dx);
        dx = -dx;
    }
}
BENCHMARK(BM_RecordStepOn2000Objects)->Unit(benchmark::kMillisecond);

// Undo of a move, then its redo: two iterations' worth of writing records back.
void BM_UndoRedoOn2000Objects(benchmark::State& state) {
    CardDocument doc;
    fillFigures(doc, 2000);
    EditHistory history(doc);
    move(history, *doc.outsideSlots[1000], 5000);
    for (auto _ : state) {
        history.undo();
        history.redo();
    }
}
BENCHMARK(BM_UndoRedoOn2000Objects)->Unit(benchmark::kMillisecond);

size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// 1000 steps on a 4000 × 3000 picture: moves, sizes, transparency, and every 100th a quarter
// turn. Reported: the heap the history holds beyond the card itself.
void BM_MemoryOf1000StepsWith12MpPicture(benchmark::State& state) {
    for (auto _ : state) {
        CardDocument doc;
        CardObject& o = *doc.outsideSlots[1];
        o.kind = KindPicture;
        o.picture = newDib(4000, 3000, 24);
        o.content = QStringLiteral("foto.jpg");
        o.width = 100000;
        o.height = 75000;
        EditHistory history(doc);
        const size_t before = heapInUse();
        for (int i = 0; i < 1000; ++i) {
            history.begin();
            if (i % 100 == 99) {
                turnPictureRight(o.picture);
                history.noteQuarterTurn(1, false);
            } else if (i % 3 == 0) {
                o.x += 100;
            } else if (i % 3 == 1) {
                o.width += 50;
            } else {
                o.transparent = !o.transparent;
            }
            history.end(QStringLiteral("Schritt"));
        }
        const size_t after = heapInUse();
        state.counters["steps"] = double(history.stack().count());
        state.counters["extra_MB"] = (double(after) - double(before)) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_MemoryOf1000StepsWith12MpPicture)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
