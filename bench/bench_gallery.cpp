// Opening "Neue Karte erstellen" on its gallery with all designs of the build tree: the time
// from making the dialog to its first paint (the previews are made afterwards in the
// background), with an empty preview cache and with the cache of an earlier run. The counter
// "previews_ms" is the time after the first paint until the last preview arrived.
#include "content/DesignLibrary.h"
#include "content/DesignPreviews.h"
#include "document/ConsoleDialogs.h"
#include "editor/DesignGallery.h"
#include "editor/NewCardDialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>

#include <memory>

namespace {

const QList<bb::DesignEntry>& designs() {
    static const QList<bb::DesignEntry> all =
        bb::listDesigns({QStringLiteral(BRISELLA_DESIGNS_DIR)}, QString());
    return all;
}

// Notes the first paint of a widget.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

struct OpenTimes {
    double openMs = 0;
    double previewsMs = 0;
};

// Makes the dialog, shows it and waits for the first paint of the gallery's tiles; then waits
// for the previews.
OpenTimes openGallery(const QString& cacheFolder, bb::UserDialogs& dialogs,
                      const QString& programFolder) {
    OpenTimes times;
    QElapsedTimer clock;
    clock.start();
    auto dialog = std::make_unique<bb::NewCardDialog>(dialogs);
    dialog->setProgramFolder(programFolder);
    dialog->setPreviewCacheFolder(cacheFolder);
    dialog->setDesignSource(
        [] { return bb::listDesigns({QStringLiteral(BRISELLA_DESIGNS_DIR)}, QString()); });
    PaintWatch watch;
    dialog->gallery->tiles->viewport()->installEventFilter(&watch);
    bb::CardFormat format;
    dialog->setModalHook([&](bb::NewCardDialog& d) {
        d.show();
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        times.openMs = double(clock.nsecsElapsed()) / 1e6;
        QElapsedTimer previews;
        previews.start();
        while (d.previews().pending() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        times.previewsMs = double(previews.nsecsElapsed()) / 1e6;
        d.hide();
    });
    dialog->runModal(format);
    return times;
}

void BM_GalleryOpenColdCache(benchmark::State& state) {
    if (designs().isEmpty()) {
        state.SkipWithError("no designs in the build tree");
        return;
    }
    bb::ConsoleDialogs dialogs;
    QTemporaryDir program;
    double previews = 0;
    for (auto _ : state) {
        QTemporaryDir cache;
        const OpenTimes t = openGallery(cache.path(), dialogs, program.path());
        state.SetIterationTime(t.openMs / 1000);
        previews += t.previewsMs;
    }
    state.counters["designs"] = double(designs().size());
    state.counters["previews_ms"] = previews / double(state.iterations());
}
BENCHMARK(BM_GalleryOpenColdCache)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GalleryOpenWarmCache(benchmark::State& state) {
    if (designs().isEmpty()) {
        state.SkipWithError("no designs in the build tree");
        return;
    }
    bb::ConsoleDialogs dialogs;
    QTemporaryDir program;
    QTemporaryDir cache;
    openGallery(cache.path(), dialogs, program.path());  // fills the cache folder
    double previews = 0;
    for (auto _ : state) {
        const OpenTimes t = openGallery(cache.path(), dialogs, program.path());
        state.SetIterationTime(t.openMs / 1000);
        previews += t.previewsMs;
    }
    state.counters["designs"] = double(designs().size());
    state.counters["previews_ms"] = previews / double(state.iterations());
}
BENCHMARK(BM_GalleryOpenWarmCache)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
