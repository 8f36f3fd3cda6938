// Printing benchmarks: a print run of 100 cards with a 12-megapixel photo and ten texts to a
// PDF at 600 dpi (time, file size and the size each further card adds; the same run with a
// progress hook before each page), and the preview repaint of a full sheet at the largest zoom.
#include "document/CardDocument.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "print/PdfPages.h"
#include "print/PreviewPaint.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/SheetProgress.h"

#include <benchmark/benchmark.h>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

using namespace bb;

namespace {

// A photo-like 4000 × 3000 picture: smooth colour fields with fine noise.
DibImage makePhoto() {
    QImage img(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = int(rng.bounded(16));
            row[x] = qRgb((x / 16 + n) & 0xFF, (y / 12 + n) & 0xFF,
                          int(128 + 100 * std::sin((x + y) / 300.0)) & 0xFF);
        }
    }
    return dibFromQImage(img);
}

std::unique_ptr<CardDocument> makeCard() {
    auto doc = std::make_unique<CardDocument>();
    doc->format = printtest::twoByFive();
    doc->updateSideUnits();
    const int cw = doc->sideWidthUnits / 3, ch = doc->sideHeightUnits / 3;
    CardObject& photo = *doc->workingSlots[1];
    photo.kind = KindPicture;
    photo.x = cw;
    photo.y = ch;
    photo.width = cw;
    photo.height = ch;
    photo.content = QStringLiteral("photo.jpg");
    photo.picture = makePhoto();
    for (int i = 0; i < 10; ++i) {
        CardObject& t = *doc->workingSlots[2 + i];
        t.kind = KindText;
        t.x = cw + cw / 20;
        t.y = ch + i * ch / 10;
        t.width = cw * 9 / 10;
        t.height = ch / 10;
        t.content = QStringLiteral("Herzlichen Glückwunsch, Zeile %1").arg(i + 1);
        t.fontName = QStringLiteral("Arial");
        t.fontSize = 10;
        t.color = rgbRef(20, 20, 120);
    }
    return doc;
}

qint64 printToPdf(CardDocument& doc, const QString& file, int copies,
                  PrintProgress* progress = nullptr) {
    RenderContext ctx;
    ConsoleDialogs dialogs;
    PrinterTarget target;
    target.usePdf(file);
    target.printer().setResolution(600);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    PrintOptions options;
    options.settings = {0, copies, 1};
    options.cutLines = true;
    options.foldLines = true;
    const PrintRunResult r = printCards(target.printer(), doc, ctx, options, dialogs, progress);
    return r.ok ? QFileInfo(file).size() : -1;
}

void BM_Print100CardsToPdf(benchmark::State& state) {
    auto doc = makeCard();
    QTemporaryDir dir;
    qint64 size100 = 0;
    for (auto _ : state) size100 = printToPdf(*doc, dir.filePath("run100.pdf"), 100);
    // After the timed loop: the smaller runs for the size comparison.
    const qint64 size10 = printToPdf(*doc, dir.filePath("run10.pdf"), 10);
    const qint64 size1 = printToPdf(*doc, dir.filePath("run1.pdf"), 1);
    state.counters["pdf_100_KB"] = double(size100) / 1024;
    state.counters["pdf_1_KB"] = double(size1) / 1024;
    // What each card beyond the tenth adds: the photo must not be embedded again.
    state.counters["KB_per_further_card"] = double(size100 - size10) / 90 / 1024;
}
BENCHMARK(BM_Print100CardsToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same run told of every page, as the window and the command line do: the question before
// each page must cost nothing beside the drawing.
void BM_Print100CardsToPdfWithProgress(benchmark::State& state) {
    struct Counting : SheetProgress {
        int sheets = 0;
        bool sheetPageStarting(const SheetStep& step) override {
            sheets = step.sheets;
            return true;
        }
    } progress;
    auto doc = makeCard();
    QTemporaryDir dir;
    qint64 size = 0;
    for (auto _ : state) size = printToPdf(*doc, dir.filePath("run100.pdf"), 100, &progress);
    state.counters["pdf_100_KB"] = double(size) / 1024;
    state.counters["sheets"] = progress.sheets;
}
BENCHMARK(BM_Print100CardsToPdfWithProgress)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PreviewRepaintZoom262(benchmark::State& state) {
    auto doc = makeCard();
    RenderContext ctx;
    PrinterTarget target;
    target.usePdf(QStringLiteral("unused.pdf"));
    target.printer().setResolution(600);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    const DeviceGeometry g = target.geometry();
    PreviewOptions options;
    options.settings = {0, 10, 1};
    options.zoom = 262;
    options.cutLines = true;
    options.foldLines = true;
    const QSize box = previewBoxSize(g.pageW, g.pageH, 600, 600, options.zoom);
    QImage screen(box, QImage::Format_RGB32);
    int cards = 0;
    for (auto _ : state) {
        QPainter p(&screen);
        cards = paintSheetPreview(p, box, *doc, ctx, options);
    }
    state.counters["cards"] = cards;
    state.counters["box_w"] = box.width();
    state.counters["box_h"] = box.height();
}
BENCHMARK(BM_PreviewRepaintZoom262)->Unit(benchmark::kMillisecond);

}  // namespace
