// Export of a side of a 210 × 148 mm card whose background is a 12-megapixel photo-like
// picture (4000 × 3000, 24 bit), stretched over the card: rendering at 96 pixels per inch
// into a 24-bit picture, and the same followed by the BMP and JPEG writes.
#include "render/Export.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace {

std::unique_ptr<bb::CardDocument> photoCard(int mode) {
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format.cardWidth = 210;
    doc->format.cardHeight = 148;
    doc->updateSideUnits();
    bb::DibImage photo = bb::newDib(4000, 3000, 24);
    for (int y = 0; y < photo.height(); ++y) {
        uint8_t* row = photo.rowFromTop(y);
        for (int x = 0; x < photo.width(); ++x) {
            row[3 * x] = uint8_t(x * 7 + y);
            row[3 * x + 1] = uint8_t(y * 3);
            row[3 * x + 2] = uint8_t((x ^ y) & 0xFF);
        }
    }
    photo.markModified();
    doc->outsideBackground.backgroundMode = mode;
    doc->outsideBackground.backgroundPicture = photo;
    return doc;
}

void BM_ExportRender(benchmark::State& state) {
    auto doc = photoCard(int(state.range(0)));
    bb::RenderContext ctx;
    {
        // The photo must really be drawn: the middle of the card is not the white paper.
        const bb::DibImage check = bb::renderExportPicture(*doc, bb::SideOutside, ctx);
        if (check.isNull() || bb::getPixel(check, 396, 279) == 0xFFFFFFu)
            state.SkipWithError("background not drawn");
    }
    for (auto _ : state) {
        bb::DibImage pic = bb::renderExportPicture(*doc, bb::SideOutside, ctx);
        benchmark::DoNotOptimize(pic.bits());
        if (pic.width() != 793 || pic.height() != 559) state.SkipWithError("wrong size");
    }
}
// 0 stretched over the card, 2 centred larger (cover), 3 tiled.
BENCHMARK(BM_ExportRender)->Arg(0)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_ExportToFile(benchmark::State& state) {
    auto doc = photoCard(0);
    bb::RenderContext ctx;
    QTemporaryDir dir;
    const int code = int(state.range(0));
    const QString path = QDir(dir.path()).filePath(QStringLiteral("karte"));
    for (auto _ : state) {
        if (bb::exportSide(*doc, bb::SideOutside, ctx, path, code) != 1)
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_ExportToFile)->Arg(bb::DibBMP)->Arg(bb::DibJPG)->Unit(benchmark::kMillisecond);

}  // namespace
