// Benchmark main: a Qt application on the offscreen platform, then Google Benchmark.
#include <benchmark/benchmark.h>

#ifdef BRISELLA_BENCH_WIDGETS
#include <QApplication>
using BenchApp = QApplication;
#else
#include <QGuiApplication>
using BenchApp = QGuiApplication;
#endif

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
