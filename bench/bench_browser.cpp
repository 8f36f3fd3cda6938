// Card browser benchmarks. The walk benchmarks fill the browser tab from a folder of 2000
// generated cards (86 × 64 stored previews, as the writer makes them for a 200 × 150 mm card)
// and report, beside the time, the longest gap between the ticks of a 1 ms timer on the
// user-interface thread during the walk (the longest time the window could not react) and
// the memory the thumbnails take.
#include "browser/CardBrowser.h"
#include "browser/CardFiles.h"
#include "browser/StoredPreview.h"
#include "browser/ui/BrowserTab.h"
#include "document/ConsoleDialogs.h"
#include "document/UserDialogs.h"

#include "TickWatch.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr int kCards = 2000;

// The folder of generated cards, made once per program run.
const QString& cardFolder() {
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        const QByteArray bytes = bbtest::cardBytes(bbtest::patternPicture(86, 64, 24));
        for (int i = 0; i < kCards; ++i)
            bbtest::writeBytes(
                dir.filePath(QStringLiteral("karte%1.kar").arg(i, 4, 10, QLatin1Char('0'))), bytes);
        made = true;
    }
    static const QString path = dir.path();
    return path;
}

// Resident memory of this process in bytes.
qint64 residentBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

class SilentDialogs : public bb::ConsoleDialogs {};

// The browser tab shown on screen fills its grid from the folder: time until the last card
// is in the grid, the longest pause of the event loop meanwhile.
void BM_BrowserTabFill2000(benchmark::State& state) {
    const QString folder = cardFolder();
    SilentDialogs dialogs;
    double worstGap = 0, setFolderMs = 0;
    for (auto _ : state) {
        bb::BrowserTab tab(dialogs);
        tab.resize(1000, 700);
        tab.show();
        QEventLoop loop;
        QObject::connect(&tab.browser(), &bb::CardBrowser::walkEnded, &loop, &QEventLoop::quit);
        TickWatch watch;
        QElapsedTimer t;
        t.start();
        tab.setFolder(folder);
        setFolderMs = std::max(setFolderMs, double(t.nsecsElapsed()) / 1e6);
        watch.start();
        loop.exec();
        watch.stop();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        worstGap = std::max(worstGap, watch.maxGapMs());
        if (tab.browser().count() != kCards) state.SkipWithError("not every card was shown");
    }
    state.counters["cards"] = kCards;
    state.counters["max_ui_gap_ms"] = worstGap;
    state.counters["setFolder_ms"] = setFolderMs;
}
BENCHMARK(BM_BrowserTabFill2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Memory of 2000 thumbnails: the growth of the resident set over one walk, and the pixel
// bytes the thumbnails hold.
void BM_ThumbnailMemory2000(benchmark::State& state) {
    const QString folder = cardFolder();
    for (auto _ : state) {
        const qint64 before = residentBytes();
        bb::CardBrowser browser;
        QEventLoop loop;
        QObject::connect(&browser, &bb::CardBrowser::walkEnded, &loop, &QEventLoop::quit);
        browser.changeFolder(folder);
        loop.exec();
        const qint64 after = residentBytes();
        qint64 pixels = 0;
        for (const auto& t : browser.entries().thumbnails) pixels += t.byteCount();
        state.counters["rss_growth_MB"] = double(after - before) / (1024.0 * 1024.0);
        state.counters["pixel_MB"] = double(pixels) / (1024.0 * 1024.0);
        state.counters["cards"] = browser.count();
    }
}
BENCHMARK(BM_ThumbnailMemory2000)->Unit(benchmark::kMillisecond)->Iterations(1);

// One step's work: reading a card's stored preview and making its thumbnail.
void BM_ReadPreviewAndThumbnail(benchmark::State& state) {
    const QString path = QDir(cardFolder()).filePath(QStringLiteral("karte0000.kar"));
    for (auto _ : state) {
        const bb::StoredPreview p = bb::readStoredPreview(path);
        benchmark::DoNotOptimize(bb::makeThumbnail(p.picture));
    }
}
BENCHMARK(BM_ReadPreviewAndThumbnail)->Unit(benchmark::kMicrosecond);

// Downscaling alone for each depth (86 × 64 to 80 × 59).
void BM_Downscale(benchmark::State& state) {
    const bb::DibImage source = bbtest::patternPicture(86, 64, int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(bb::makeThumbnail(source));
}
BENCHMARK(BM_Downscale)->Arg(1)->Arg(4)->Arg(8)->Arg(24)->Unit(benchmark::kMicrosecond);

}  // namespace
