// DrawVCart in an editor view of 1000 × 750 pixels: a typical side (12-megapixel background,
// 10 texts with shadow and outline, 10 figures, 3 pictures) and a side of 10000 rectangles.
#include "render/Preview.h"
#include "render/Renderer.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>

using namespace bb;

namespace {

constexpr int kViewWidth = 1000;
constexpr int kViewHeight = 750;

DibImage patternPicture(int w, int h) {
    DibImage pic = newdib(w, h, 24);
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
        doc->Format.CardWidth = 200;
        doc->Format.CardHeight = 150;
        doc->updateSideUnits();
        doc->ZoomFactor = 2.0;
        doc->UnitsPerPixel = 312.0;
        scale = doc->ZoomFactor / doc->UnitsPerPixel;
        areaWidth = doc->screenPixels(doc->SideWidthUnits);
        areaHeight = doc->screenPixels(doc->SideHeightUnits);
        scrollX = areaWidth / 3;  // the card's top-left corner at the view's corner
        scrollY = areaHeight / 3;
    }
    // Document units of a view position.
    int32_t ux(int px) const { return doc->fromView(px + scrollX); }
    int32_t uy(int px) const { return doc->fromView(px + scrollY); }
    int32_t len(int px) const { return doc->fromView(px); }

    Tobs& add(int kind, int x, int y, int w, int h) {
        Tobs& o = *doc->WorkingSlots[doc->findFreeSlot()];
        o.Kind = kind;
        o.X = ux(x);
        o.Y = uy(y);
        o.Width = len(w);
        o.Height = len(h);
        return o;
    }
    void draw(QImage& view) {
        QPainter p(&view);
        DrawVCart(p, *doc, ctx, areaWidth, areaHeight, scrollX, scrollY, scale, true);
    }
};

void BM_TypicalSideEditor(benchmark::State& state) {
    Scene s;
    s.doc->Working.BackgroundMode = BgStretched;
    s.doc->Working.BackgroundPicture = patternPicture(4000, 3000);  // 12 megapixels
    for (int i = 0; i < 10; ++i) {
        Tobs& t = s.add(KindText, 40 + 90 * i, 60 + 60 * i, 300, 120);
        t.Content = QStringLiteral("Herzlichen Glückwunsch\rzum Geburtstag");
        t.FontName = QStringLiteral("Liberation Serif");
        t.FontSize = 14;
        t.Color = rgbRef(200, 30, 30);
        t.Shadow = true;
        t.ShadowColor() = int32_t(rgbRef(60, 60, 60));
        t.Outline() = true;
        t.OutlineColor() = rgbRef(255, 255, 255);
        t.Rotation = i % 4 == 3 ? 1 : 0;
    }
    for (int i = 0; i < 10; ++i) {
        Tobs& f = s.add(KindFigure, 30 + 95 * i, 500, 90, 60 + 10 * i);
        f.FigureKind = i;
        f.FillMode = i % 3;
        f.LineWidth = i % 4;
        f.Color = rgbRef(20 * i, 100, 200);
        f.BorderColor = rgbRef(0, 0, 0);
    }
    const DibImage photo = patternPicture(1600, 1200);
    Tobs& a = s.add(KindPicture, 50, 50, 300, 225);
    a.Picture = photo;
    Tobs& b = s.add(KindPicture, 400, 80, 300, 300);
    b.Picture = photo;
    b.KeepAspect = true;
    b.RoundFrame = true;
    Tobs& c = s.add(KindPicture, 600, 300, 320, 240);
    c.Picture = patternPicture(640, 480);
    c.Transparent = true;
    c.AutoTransparent = true;

    QImage view(kViewWidth, kViewHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        view.fill(Qt::white);
        s.draw(view);
        benchmark::DoNotOptimize(view.constBits());
    }
    // The background is copied row by row from its bits: no whole-picture conversion.
    state.counters["bg_converted"] = s.doc->Working.BackgroundPicture.drawingImageCached();
}
BENCHMARK(BM_TypicalSideEditor)->Unit(benchmark::kMillisecond);

void BM_TenThousandRectangles(benchmark::State& state) {
    Scene s;
    for (int i = 0; i < kSlotCount; ++i) {
        Tobs& f = s.add(KindFigure, (i * 37) % 950, (i * 53) % 700, 20 + i % 30, 15 + i % 25);
        f.FigureKind = FigRectangle;
        f.FillMode = i % 3;
        f.Color = rgbRef(i % 256, 80, 160);
        f.BorderColor = rgbRef(0, 0, i % 256);
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
        Tobs& o = s.add(i % 2 ? KindText : KindFigure, (i * 37) % 950, (i * 53) % 700, 80, 40);
        o.FigureKind = i % 10;
        o.Content = QStringLiteral("Zwanzig Zeichen Text");
        o.FontName = QStringLiteral("Liberation Sans");
        o.FontSize = 12;
    }
    for (auto _ : state) {
        DibImage preview = CreatePreview(*s.doc, s.ctx);
        benchmark::DoNotOptimize(preview.bits());
    }
}
BENCHMARK(BM_PreviewFullCard)->Unit(benchmark::kMillisecond);

}  // namespace
