// drawCardSide in an editor view of 1000 × 750 pixels: a typical side (12-megapixel background,
// 10 texts with shadow and outline, 10 figures, 3 pictures) and a side of 10000 rectangles;
// a side with ten 12-megapixel photo files rendered at 96 dpi, decoding them (cold) and with
// the reduced pictures held (warm).
#include "BenchPhotos.h"
#include "pictures/ScaledPictures.h"
#include "render/Preview.h"
#include "render/Renderer.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>

using namespace bb;

namespace {

constexpr int kViewWidth = 1000;
constexpr int kViewHeight = 750;

DibImage patternPicture(int w, int h) {
    DibImage pic = newDib(w, h, 24);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = pic.rowFromTop(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = uint8_t(x * 7 + y);
            row[3 * x + 1] = uint8_t(y * 3);
            row[3 * x + 2] = uint8_t(x ^ y);
        }
    }
    pic.markModified();
    return pic;
}

// A 200 × 150 mm card at a zoom where the card about fills the view.
struct Scene {
    std::unique_ptr<CardDocument> doc = std::make_unique<CardDocument>();
    RenderContext ctx;
    int areaWidth = 0, areaHeight = 0, scrollX = 0, scrollY = 0;
    double scale = 0;

    Scene() {
        doc->format.cardWidth = 200;
        doc->format.cardHeight = 150;
        doc->updateSideUnits();
        doc->zoomFactor = 2.0;
        doc->unitsPerPixel = 312.0;
        scale = doc->zoomFactor / doc->unitsPerPixel;
        areaWidth = doc->screenPixels(doc->sideWidthUnits);
        areaHeight = doc->screenPixels(doc->sideHeightUnits);
        scrollX = areaWidth / 3;  // the card's top-left corner at the view's corner
        scrollY = areaHeight / 3;
    }
    // Document units of a view position.
    int32_t ux(int px) const { return doc->fromView(px + scrollX); }
    int32_t uy(int px) const { return doc->fromView(px + scrollY); }
    int32_t len(int px) const { return doc->fromView(px); }

    CardObject& add(int kind, int x, int y, int w, int h) {
        CardObject& o = *doc->outsideSlots[doc->findFreeSlot(SideOutside)];
        o.kind = kind;
        o.x = ux(x);
        o.y = uy(y);
        o.width = len(w);
        o.height = len(h);
        return o;
    }
    void draw(QImage& view) {
        QPainter p(&view);
        drawCardSide(p, *doc, SideOutside, ctx, areaWidth, areaHeight, scrollX, scrollY, scale,
                     true);
    }
};

void BM_TypicalSideEditor(benchmark::State& state) {
    Scene s;
    s.doc->outsideBackground.backgroundMode = BgStretched;
    s.doc->outsideBackground.backgroundPicture = patternPicture(4000, 3000);  // 12 megapixels
    for (int i = 0; i < 10; ++i) {
        CardObject& t = s.add(KindText, 40 + 90 * i, 60 + 60 * i, 300, 120);
        t.content = QStringLiteral("Herzlichen Glückwunsch\rzum Geburtstag");
        t.fontName = QStringLiteral("Liberation Serif");
        t.fontSize = 14;
        t.color = rgbRef(200, 30, 30);
        t.shadow = true;
        t.shadowColor = int32_t(rgbRef(60, 60, 60));
        t.outline = true;
        t.outlineColor = rgbRef(255, 255, 255);
        t.rotation = i % 4 == 3 ? 1 : 0;
    }
    for (int i = 0; i < 10; ++i) {
        CardObject& f = s.add(KindFigure, 30 + 95 * i, 500, 90, 60 + 10 * i);
        f.figureKind = i;
        f.fillMode = i % 3;
        f.lineWidth = i % 4;
        f.color = rgbRef(20 * i, 100, 200);
        f.borderColor = rgbRef(0, 0, 0);
    }
    const DibImage photo = patternPicture(1600, 1200);
    CardObject& a = s.add(KindPicture, 50, 50, 300, 225);
    a.picture = photo;
    CardObject& b = s.add(KindPicture, 400, 80, 300, 300);
    b.picture = photo;
    b.keepAspect = true;
    b.roundFrame = true;
    CardObject& c = s.add(KindPicture, 600, 300, 320, 240);
    c.picture = patternPicture(640, 480);
    c.transparent = true;
    c.autoTransparent = true;

    QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        view.fill(Qt::white);
        s.draw(view);
        benchmark::DoNotOptimize(view.constBits());
    }
    // The background is copied row by row from its bits: no whole-picture conversion.
    state.counters["bg_converted"] =
        s.doc->outsideBackground.backgroundPicture.drawingImageCached();
}
BENCHMARK(BM_TypicalSideEditor)->Unit(benchmark::kMillisecond);

void BM_TenThousandRectangles(benchmark::State& state) {
    Scene s;
    for (int i = 0; i < kSlotCount; ++i) {
        CardObject& f = s.add(KindFigure, (i * 37) % 950, (i * 53) % 700, 20 + i % 30, 15 + i % 25);
        f.figureKind = FigRectangle;
        f.fillMode = i % 3;
        f.color = rgbRef(i % 256, 80, 160);
        f.borderColor = rgbRef(0, 0, i % 256);
    }
    QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        view.fill(Qt::white);
        s.draw(view);
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(BM_TenThousandRectangles)->Unit(benchmark::kMillisecond);

// The card file's preview of a full side: 10000 objects, half of them texts of 20
// characters, half figures, drawn at 11 pixels per inch.
void BM_PreviewFullCard(benchmark::State& state) {
    Scene s;
    for (int i = 0; i < kSlotCount; ++i) {
        CardObject& o =
            s.add(i % 2 ? KindText : KindFigure, (i * 37) % 950, (i * 53) % 700, 80, 40);
        o.figureKind = i % 10;
        o.content = QStringLiteral("Zwanzig Zeichen Text");
        o.fontName = QStringLiteral("Liberation Sans");
        o.fontSize = 12;
    }
    for (auto _ : state) {
        DibImage preview = createCardPreview(*s.doc, s.ctx);
        benchmark::DoNotOptimize(preview.bits());
    }
}
BENCHMARK(BM_PreviewFullCard)->Unit(benchmark::kMillisecond);

// A 148 × 105 mm side with ten photo files in two rows of five, each about 27 × 20 mm, as a
// card reads them (drawn small from reduced decodes).
std::unique_ptr<CardDocument> tenPhotoCard() {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 148;
    doc->format.cardHeight = 105;
    doc->updateSideUnits();
    const int cw = doc->sideWidthUnits / 3, ch = doc->sideHeightUnits / 3;
    const QStringList files = benchphotos::photoFiles(10);
    for (int i = 0; i < files.size(); ++i) {
        CardObject& o = *doc->outsideSlots[1 + i];
        o.kind = KindPicture;
        o.content = files[i];
        o.picture = deferredPictureFile(
            files[i], QSize(benchphotos::kPhotoWidth, benchphotos::kPhotoHeight), 0);
        o.x = cw + cw / 40 + (i % 5) * cw / 5;
        o.y = ch + ch / 10 + (i / 5) * ch / 2;
        o.width = cw * 9 / 50;
        o.height = o.width * 3 / 4;
    }
    return doc;
}

// Ten photos on a side at 96 dpi: range(0) 1 decodes every photo in each iteration (an output
// of a card just opened), 0 draws from the reduced pictures the first draw left (another
// output of the same card).
void BM_TenPhotosSideAt96Dpi(benchmark::State& state) {
    const bool cold = state.range(0) != 0;
    auto doc = tenPhotoCard();
    RenderContext ctx;
    clearScaledPictures();
    renderSide(*doc, SideOutside, ctx, 96);
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            clearScaledPictures();
            state.ResumeTiming();
        }
        const QImage side = renderSide(*doc, SideOutside, ctx, 96);
        benchmark::DoNotOptimize(side.constBits());
    }
    const ScaledPictureStats stats = scaledPictureStats();
    state.counters["decodes"] = double(stats.decodes);
    state.counters["held_MB"] = double(stats.bytes) / (1024 * 1024);
}
BENCHMARK(BM_TenPhotosSideAt96Dpi)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace
