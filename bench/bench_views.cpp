// Repainting both editor views (bitmap of the visible
// part, frame, shadow, fold line, the card's objects, rulers) after a command, for a card of
// 200 objects on each side, in a window of the program's initial size.
#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "pictures/ScaledPictures.h"
#include "render/BackgroundPictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

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

// Ten 12-megapixel phone photos (4000 × 3000 JPEG), made once in the temporary folder.
QStringList tenPhotos() {
    const QString dir = QDir::temp().filePath(QStringLiteral("brisella-bench-photos"));
    QDir().mkpath(dir);
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        const QString path = dir + QStringLiteral("/foto%1.jpg").arg(i);
        paths << path;
        if (QFileInfo::exists(path)) continue;
        QImage photo(4000, 3000, QImage::Format_RGB32);
        QPainter p(&photo);
        QLinearGradient g(0, 0, 4000, 3000);
        g.setColorAt(0, QColor::fromHsv(i * 36, 160, 220));
        g.setColorAt(1, QColor::fromHsv((i * 36 + 120) % 360, 200, 90));
        p.fillRect(photo.rect(), g);
        QRandomGenerator rng(i + 1);
        for (int k = 0; k < 3000; ++k)
            p.fillRect(int(rng.bounded(4000)), int(rng.bounded(3000)), 40, 30,
                       QColor::fromRgb(rng.generate() & 0xFFFFFF));
        p.end();
        photo.save(path, "JPG", 90);
    }
    return paths;
}

// Runs the event loop until `pictures` has nothing left to decode.
void waitUntilDecoded(bb::BackgroundPictures& pictures) {
    while (pictures.pending() > 0) {
        QEventLoop loop;
        QObject::connect(&pictures, &bb::BackgroundPictures::arrived, &loop, &QEventLoop::quit);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);  // re-checks; never a deadline
        loop.exec();
    }
    QCoreApplication::processEvents();
}

// The editor opened with a card of ten photos: the card drawn with loading boxes, one
// repaint after a key while the photos load, and every photo drawn sharp.
void BM_OpenCardWithTenPhotos(benchmark::State& state) {
    const QStringList photos = tenPhotos();
    double firstPaint = 0, keyRepaint = 0, sharp = 0, pendingAtKey = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bb::clearScaledPictures();
        bb::CardDocument doc;
        bb::RenderContext ctx;
        doc.unitsPerPixel = 312;
        doc.updateSideUnits();
        const int32_t cardX = doc.sideWidthUnits / 3, cardY = doc.sideHeightUnits / 3;
        const int32_t cw = doc.sideWidthUnits / 3 / 5, ch = doc.sideHeightUnits / 3 / 2;
        for (int i = 0; i < 10; ++i) {
            bb::CardObject& o = *doc.sideSlots(bb::SideOutside)[i + 1];
            o.kind = bb::KindPicture;
            o.x = cardX + (i % 5) * cw;
            o.y = cardY + (i / 5) * ch;
            o.width = cw - 500;
            o.height = ch / 2;
            o.picture = bb::deferredPictureFile(photos[i], QSize(4000, 3000), 0);
        }
        bb::CardObject& text = *doc.sideSlots(bb::SideOutside)[11];
        text.kind = bb::KindText;
        text.x = cardX;
        text.y = cardY + ch + ch / 2;
        text.width = cw * 3;
        text.height = 3000;
        text.content = QStringLiteral("Liebe Grüße");
        text.fontName = QStringLiteral("Arial");
        text.fontSize = 14;
        bb::EditorTab tab(doc, ctx);
        tab.resize(1280, 900);
        tab.views().layoutFromDocument();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        tab.show();
        while (tab.views().outsideView()->renderCount() == 0 && clock.elapsed() < 60000)
            QCoreApplication::processEvents();
        firstPaint = double(clock.nsecsElapsed()) / 1e6;
        QElapsedTimer key;
        key.start();
        text.content += QLatin1Char('!');
        tab.views().paintBoth();
        keyRepaint = double(key.nsecsElapsed()) / 1e6;
        pendingAtKey = tab.views().pictures()->pending();
        waitUntilDecoded(*tab.views().pictures());
        sharp = double(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["first_paint_ms"] = firstPaint;
    state.counters["key_repaint_ms"] = keyRepaint;
    state.counters["all_sharp_ms"] = sharp;
    state.counters["decodes_pending_at_key"] = pendingAtKey;
}
BENCHMARK(BM_OpenCardWithTenPhotos)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// Repainting a designed side: 200 objects, 50 of them turned at odd angles, and ten phone
// photos with colour settings (brightness, contrast, saturation, sepia or black and white,
// rounded corners), all decoded before timing. Range 1 sets these properties; range 0 is the
// same side without them, the peer of the ratio.
void BM_RepaintDesignedSide(benchmark::State& state) {
    const QStringList photos = tenPhotos();
    const bool designed = state.range(0) != 0;
    bb::clearScaledPictures();
    bb::CardDocument doc;
    bb::RenderContext ctx;
    doc.unitsPerPixel = 312;
    doc.updateSideUnits();
    fillSide(doc, bb::SideOutside, 200);
    const int32_t cardX = doc.sideWidthUnits / 3, cardY = doc.sideHeightUnits / 3;
    const int32_t cw = doc.sideWidthUnits / 3 / 5, ch = doc.sideHeightUnits / 3 / 2;
    for (int i = 0; i < 200; ++i) {
        bb::CardObject& o = *doc.sideSlots(bb::SideOutside)[i + 1];
        if (i < 10) {
            o.kind = bb::KindPicture;
            o.x = cardX + (i % 5) * cw;
            o.y = cardY + (i / 5) * ch;
            o.width = cw - 500;
            o.height = ch / 2;
            o.picture = bb::deferredPictureFile(photos[i], QSize(4000, 3000), 0);
            if (designed) {
                o.extras.brightness = 10 + i;
                o.extras.contrast = 15;
                o.extras.saturation = -20;
                o.extras.tone = i % 3;
                o.extras.cornerRadius = 300;
            }
        }
        if (designed && i % 4 == 1) o.extras.fineAngle = 7.3 + (i * 13) % 37;
    }
    bb::EditorTab tab(doc, ctx);
    tab.resize(1280, 900);
    tab.show();
    tab.views().layoutFromDocument();
    QCoreApplication::processEvents();
    tab.views().centreViews();
    tab.views().paintBoth();
    waitUntilDecoded(*tab.views().pictures());
    for (auto _ : state) {
        tab.views().outsideView()->paintView();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RepaintDesignedSide)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);
