// Save plus open of a full card: 10000 objects on each side, either half texts of 20
// characters and half figures, or figures only. The preview is drawn by the renderer.
#include "document/CardFile.h"
#include "document/UserDialogs.h"
#include "render/Preview.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>

namespace {

using namespace bb;

// Answers "Nein" to the save question (the target document is full from the last round)
// and counts the messages, which a clean run does not show.
class QuietDialogs : public UserDialogs {
public:
    int shown = 0;
    int message(const QString&, const QString&, MsgIcon, int buttons) override {
        ++shown;
        return (buttons & BtnNo) ? BtnNo : BtnOk;
    }
    FileDialogResult openFile(const FileDialogRequest&) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {}; }
    bool chooseColor(QColor&, const QString&) override { return false; }
    bool chooseFont(QFont&, QColor&, const QString&) override { return false; }
};

void fillSide(CardDocument& doc, const SlotTable& table, bool withTexts) {
    const int32_t cardX = doc.sideWidthUnits / 3, cardY = doc.sideHeightUnits / 3;
    for (int s = 1; s <= kSlotCount; ++s) {
        CardObject& o = *table[s];
        o.x = cardX + (s * 977) % (cardX - 20000);
        o.y = cardY + (s * 613) % (cardY - 10000);
        o.width = 20000;
        o.height = 10000;
        if (withTexts && s % 2 == 0) {
            o.kind = KindText;
            o.content = QStringLiteral("Grüße Nummer %1").arg(s, 7, 10, QLatin1Char('0'));
            o.fontName = QStringLiteral("Arial");
            o.fontSize = 12;
            o.fontHeight = -16;
            o.color = 0x000080;
        } else {
            o.kind = KindFigure;
            o.figureKind = s % 6;
            o.fillMode = s % 3;
            o.lineWidth = 2;
            o.color = 0x00C000;
            o.borderColor = 0x0000FF;
        }
    }
}

void saveAndOpen(benchmark::State& state, bool withTexts, bool render = true) {
    QTemporaryDir dir;
    QuietDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    fillSide(*doc, doc->outsideSlots, withTexts);
    fillSide(*doc, doc->insideSlots, withTexts);
    auto target = std::make_unique<CardDocument>();
    CardFileContext fc{dialogs, ctx, dir.path(), {}, {}, {}};
    if (render) fc.createPreview = &createCardPreview;  // otherwise a white preview is stored
    const QString path = dir.filePath(QStringLiteral("voll.kar"));
    qint64 bytes = 0;
    for (auto _ : state) {
        if (!saveCardFile(*doc, path, fc) || !openCardFile(*target, path, fc)) {
            state.SkipWithError("save or open failed");
            break;
        }
        bytes = QFileInfo(path).size();
    }
    state.counters["file_kB"] = double(bytes) / 1024.0;
    state.counters["objects"] =
        double(target->usedCount(target->outsideSlots) + target->usedCount(target->insideSlots));
    if (dialogs.shown > int(state.iterations())) state.SkipWithError("unexpected messages");
}

void BM_SaveOpenTextsAndFigures(benchmark::State& state) {
    saveAndOpen(state, true);
}
void BM_SaveOpenFiguresOnly(benchmark::State& state) {
    saveAndOpen(state, false);
}
// The same without drawing the preview (a white one is stored): the file's own share.
void BM_SaveOpenTextsAndFiguresUndrawn(benchmark::State& state) {
    saveAndOpen(state, true, false);
}
void BM_SaveOpenFiguresOnlyUndrawn(benchmark::State& state) {
    saveAndOpen(state, false, false);
}

// The parts: the preview alone, the file bytes alone, the parse alone.
void BM_PreviewOnly(benchmark::State& state) {
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    fillSide(*doc, doc->outsideSlots, state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(createCardPreview(*doc, ctx));
}

void BM_BytesOnly(benchmark::State& state) {
    auto doc = std::make_unique<CardDocument>();
    fillSide(*doc, doc->outsideSlots, state.range(0) != 0);
    fillSide(*doc, doc->insideSlots, state.range(0) != 0);
    const DibImage preview = newDib(86, 64, 24);
    for (auto _ : state) benchmark::DoNotOptimize(cardFileBytes(*doc, preview));
}

void BM_ParseOnly(benchmark::State& state) {
    auto doc = std::make_unique<CardDocument>();
    fillSide(*doc, doc->outsideSlots, state.range(0) != 0);
    fillSide(*doc, doc->insideSlots, state.range(0) != 0);
    const QByteArray bytes = cardFileBytes(*doc, newDib(86, 64, 24));
    for (auto _ : state) {
        CardFileData data;
        benchmark::DoNotOptimize(parseCardFile(bytes, data));
    }
}

// Saving (preview drawn, file replaced) a card of 200 objects on the outside as a person
// designs it; with every property beyond the 1.0 record set on every object (range 1: turned,
// grouped, emoji in the texts, formatted spans, spacing, arc, crop and colour settings) or
// none (range 0), the peer that saves as 1.0 does.
void BM_SaveDesignedCard(benchmark::State& state) {
    QTemporaryDir dir;
    QuietDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    const bool extended = state.range(0) != 0;
    for (int s = 1; s <= 200; ++s) {
        CardObject& o = *doc->outsideSlots[s];
        o.x = (s * 9973) % (doc->sideWidthUnits / 2);
        o.y = (s * 7919) % (doc->sideHeightUnits / 2);
        o.width = 60000;
        o.height = 30000;
        o.kind = s % 4 == 0 ? KindFigure : KindText;
        o.figureKind = FigRoundRect;
        o.content = QStringLiteral("Alles Gute, Nummer %1!").arg(s);
        o.fontName = QStringLiteral("Liberation Serif");
        o.fontSize = 14;
        if (!extended) continue;
        o.content += QStringLiteral(" 🎉🎂");
        ObjectExtras& x = o.extras;
        x.fineAngle = 7.5 + s % 30;
        x.group = 1 + s / 10;
        x.crop = QRectF(0.1, 0.1, 0.8, 0.7);
        x.brightness = 10;
        x.tone = ToneSepia;
        x.cornerRadius = 300;
        x.lineSpacing = 120;
        x.letterSpacing = 40;
        x.arcRadius = s % 5 == 0 ? 5000 : 0;
        x.runs = {{0, 5, QStringLiteral("Liberation Sans"), 20, StyleBold, 0xFF},
                  {6, 4, QStringLiteral("Liberation Serif"), 12, StyleItalic, 0xFF00}};
    }
    CardFileContext fc{dialogs, ctx, dir.path(), &createCardPreview, {}, {}};
    const QString path = dir.filePath(QStringLiteral("entwurf.kar"));
    for (auto _ : state) {
        if (!saveCardFile(*doc, path, fc)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["file_kB"] = double(QFileInfo(path).size()) / 1024.0;
}

}  // namespace

BENCHMARK(BM_SaveDesignedCard)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOpenTextsAndFigures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOpenFiguresOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOpenTextsAndFiguresUndrawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOpenFiguresOnlyUndrawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOnly)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BytesOnly)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
