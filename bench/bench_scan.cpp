// Scanner benchmark: a full-area 300 dpi colour scan from SANE's test backend, with the
// longest gap between the ticks of a 1 ms timer on the user-interface thread while the
// worker reads (how long the window could not react during a scan).
#include "TickWatch.h"
#include "scan/SaneTestBackend.h"
#include "scan/Scanner.h"

#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QFile>

namespace {

void BM_ScanEventLoopGap(benchmark::State& state) {
    if (!QFile::exists(QString::fromLatin1(bbtest::kSystemTestConf)) ||
        !bbtest::writeTestConf("test-picture \"Color pattern\"\n")) {
        state.SkipWithError("SANE test backend configuration not installed");
        return;
    }
    bb::ScanSettings settings;  // colour, 300 dpi, full area
    settings.device = QStringLiteral("test:0");
    double worstGap = 0;
    for (auto _ : state) {
        bb::Scanner scanner;
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&scanner, &bb::Scanner::finished, &loop, [&](int id) {
            ok = !scanner.takePicture(id).isNull();
            loop.quit();
        });
        QObject::connect(&scanner, &bb::Scanner::failed, &loop, &QEventLoop::quit);
        TickWatch watch;
        watch.start();
        if (!scanner.start(settings)) {
            state.SkipWithError("the scan did not start");
            break;
        }
        loop.exec();
        watch.stop();
        worstGap = std::max(worstGap, watch.maxGapMs());
        if (!ok) state.SkipWithError("the scan gave no picture");
    }
    state.counters["max_ui_gap_ms"] = worstGap;
}
BENCHMARK(BM_ScanEventLoopGap)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
