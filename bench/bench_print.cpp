// Printing benchmarks: a print run of 100 cards with a 12-megapixel photo and ten texts to a
// PDF at 600 dpi (time, file size and the size each further card adds; the same run with a
// progress hook before each page), the same run through a CUPS queue to the PDF that cups-pdf
// makes of it (run under bench/with_private_cups.sh; skipped without that server), the
// preview repaint of a full sheet at the largest zoom, and 1000 personal cards from an address
// list to a PDF; one card with a 12-megapixel photo file 84 mm wide to a PDF at 600 dpi, the
// photo decoded at its printed size.
#include "BenchPhotos.h"
#include "document/CardDocument.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "merge/AddressList.h"
#include "pictures/ScaledPictures.h"
#include "print/CupsQueue.h"
#include "print/PdfPages.h"
#include "print/PreviewPaint.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/SheetProgress.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

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
    CardObject& photo = *doc->outsideSlots[1];
    photo.kind = KindPicture;
    photo.x = cw;
    photo.y = ch;
    photo.width = cw;
    photo.height = ch;
    photo.content = QStringLiteral("photo.jpg");
    photo.picture = makePhoto();
    for (int i = 0; i < 10; ++i) {
        CardObject& t = *doc->outsideSlots[2 + i];
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

// A run of `copies` cards, or of the merge's cards, with cut and fold lines to a PDF at 600 dpi;
// the file's size, or -1 when the run failed.
qint64 printToPdf(CardDocument& doc, const QString& file, int copies,
                  PrintProgress* progress = nullptr, const MergeRun* merge = nullptr) {
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
    const PrintJob job = sideJob(doc, SideOutside, options, target.geometry(), merge);
    const PrintRunResult r = runPrintJob(target.printer(), doc, ctx, job, dialogs, progress);
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

// The photo card with five texts that take their words from an address list, and a list of
// `rows` people with different names and places.
std::unique_ptr<CardDocument> makeMergeCard() {
    auto doc = makeCard();
    const QStringList texts{QStringLiteral("Liebe {Vorname} {Nachname},"),
                            QStringLiteral("{Straße}"), QStringLiteral("{PLZ} {Ort}"),
                            QStringLiteral("wir laden Dich herzlich ein!"),
                            QStringLiteral("Deine Familie aus {Ort}")};
    for (int i = 0; i < 10; ++i) {
        CardObject& t = *doc->outsideSlots[2 + i];
        if (i < texts.size())
            t.content = texts[i];
        else
            CardDocument::freeObject(t);
    }
    return doc;
}

std::shared_ptr<const AddressList> makeList(int rows) {
    auto list = std::make_shared<AddressList>();
    list->columns = {QStringLiteral("Vorname"), QStringLiteral("Nachname"),
                     QStringLiteral("Straße"), QStringLiteral("PLZ"), QStringLiteral("Ort")};
    for (int i = 0; i < rows; ++i)
        list->rows.push_back({QStringLiteral("Jürgen%1").arg(i), QStringLiteral("Müller%1").arg(i),
                              QStringLiteral("Hauptstraße %1").arg(i % 200 + 1),
                              QString::number(10000 + i * 7), QStringLiteral("Köln-%1").arg(i)});
    return list;
}

qint64 printMergeToPdf(CardDocument& doc, const QString& file,
                       const std::shared_ptr<const AddressList>& list, int rows) {
    const MergeRun merge{list, {everyRow(rows), 1}};
    return printToPdf(doc, file, 1, nullptr, &merge);
}

// 1000 personal cards: the time of the run and what each card adds to the file beside the
// photo, which must be stored once.
void BM_PrintMerge1000ToPdf(benchmark::State& state) {
    auto doc = makeMergeCard();
    const auto list = makeList(1000);
    QTemporaryDir dir;
    qint64 size1000 = 0;
    for (auto _ : state) size1000 = printMergeToPdf(*doc, dir.filePath("m1000.pdf"), list, 1000);
    const qint64 size100 = printMergeToPdf(*doc, dir.filePath("m100.pdf"), list, 100);
    state.counters["pdf_1000_KB"] = double(size1000) / 1024;
    state.counters["KB_per_further_card"] = double(size1000 - size100) / 900 / 1024;
    if (size1000 < 0 || size100 < 0) state.SkipWithError("the merge run failed");
}
BENCHMARK(BM_PrintMerge1000ToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// Pictures stored in a PDF by `pdfimages -list` (which lists every use; one stored picture
// used on many pages counts once): all of them, and those at least 1000 pixels wide (the
// photo, at whatever resolution the PDF keeps it).
std::pair<int, int> pdfImageCounts(const QString& pdf) {
    QProcess p;
    p.start("pdfimages", {"-list", pdf});
    if (!p.waitForFinished(600000)) return {-1, -1};
    QSet<QByteArray> all, large;
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines.mid(2)) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 12) continue;
        const QByteArray object = f[10] + ' ' + f[11];
        all.insert(object);
        if (f[3].toInt() >= 1000) large.insert(object);
    }
    return {int(all.size()), int(large.size())};
}

// The PDF that cups-pdf wrote for the job, once the queue has finished it and the file stopped
// growing; empty on failure.
QString queueOutput(const QString& queue, int jobId) {
    const JobOutcome outcome = cups::waitForJob(queue, jobId, 30 * 60 * 1000);
    if (outcome.kind != JobOutcome::Completed) return {};
    const QDir out(qEnvironmentVariable("BRISELLA_PRIVATE_CUPS") + "/out");
    const QStringList patterns{QStringLiteral("*-job_%1.pdf").arg(jobId),
                               QStringLiteral("job_%1-*.pdf").arg(jobId)};
    qint64 last = -1;
    for (int i = 0; i < 600; ++i) {
        const QFileInfoList files = out.entryInfoList(patterns, QDir::Files);
        if (!files.isEmpty() && files.first().size() > 0 && files.first().size() == last)
            return files.first().absoluteFilePath();
        if (!files.isEmpty()) last = files.first().size();
        QThread::msleep(200);
    }
    return {};
}

// 100 cards through the queue named by BRISELLA_BENCH_QUEUE (default Brisella_PDF) in the
// printer's own format: the whole time until cups-pdf's PDF is complete, Qt's part of it, the
// size of the queue's PDF beside Qt's own PDF of the run, and how often the photo is stored
// in each.
void BM_Print100CardsThroughQueue(benchmark::State& state) {
    const QString queue = qEnvironmentVariable("BRISELLA_BENCH_QUEUE", "Brisella_PDF");
    if (qEnvironmentVariableIsEmpty("BRISELLA_PRIVATE_CUPS") || !cups::serverReachable()) {
        state.SkipWithError("no private CUPS server: run under bench/with_private_cups.sh");
        return;
    }
    const int copies = int(state.range(0));
    auto doc = makeCard();
    RenderContext ctx;
    ConsoleDialogs dialogs;
    PrinterTarget target;
    if (!target.selectPrinter(queue)) {
        state.SkipWithError("the queue is missing");
        return;
    }
    // BRISELLA_BENCH_RENDERER=gs|pdftops|... sets the queue's PDF-to-PostScript step
    // (cups-filters' pdftops-renderer; the queue's default is gs).
    if (const QString r = qEnvironmentVariable("BRISELLA_BENCH_RENDERER"); !r.isEmpty()) {
        if (QProcess::execute("lpadmin", {"-p", queue, "-o", "pdftops-renderer-default=" + r}) !=
            0) {
            state.SkipWithError("lpadmin could not set the renderer");
            return;
        }
    }
    PrintOptions options;
    options.settings = {0, copies, 1};
    options.cutLines = true;
    options.foldLines = true;
    QString pdf;
    double qtMs = 0;
    for (auto _ : state) {
        const auto before = cups::highestJobId(queue);
        QElapsedTimer qt;
        qt.start();
        const PrintRunResult r =
            printCards(target.printer(), *doc, SideOutside, ctx, options, dialogs);
        qtMs = double(qt.elapsed());
        const auto job = before ? cups::findJob(queue, *before, kPrintJobTitle) : std::nullopt;
        if (!r.ok || !job) {
            state.SkipWithError("the run did not reach the queue");
            return;
        }
        pdf = queueOutput(queue, job->id);
        if (pdf.isEmpty()) {
            state.SkipWithError("the queue did not complete the job");
            return;
        }
    }
    // After the timed loop: Qt's own PDF of the same run (what it hands to CUPS), for its size.
    QTemporaryDir dir;
    const qint64 direct = printToPdf(*doc, dir.filePath("direct.pdf"), copies);
    const auto [images, photos] = pdfImageCounts(pdf);
    const auto [directImages, directPhotos] = pdfImageCounts(dir.filePath("direct.pdf"));
    // BRISELLA_BENCH_KEEP=FOLDER keeps both PDFs there, for a look at the filter chain.
    if (const QString keep = qEnvironmentVariable("BRISELLA_BENCH_KEEP"); !keep.isEmpty()) {
        QFile::copy(pdf, keep + QStringLiteral("/queue-%1.pdf").arg(copies));
        QFile::copy(dir.filePath("direct.pdf"),
                    keep + QStringLiteral("/direct-%1.pdf").arg(copies));
    }
    state.counters["qt_part_ms"] = qtMs;
    state.counters["queue_pdf_KB"] = double(QFileInfo(pdf).size()) / 1024;
    state.counters["direct_pdf_KB"] = double(direct) / 1024;
    state.counters["queue_images"] = images;
    state.counters["queue_photos"] = photos;
    state.counters["direct_photos"] = directPhotos;
    (void)directImages;
}
BENCHMARK(BM_Print100CardsThroughQueue)
    ->Arg(100)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// One 148 × 105 mm card on A4 with a photo file of 4000 × 3000 pixels drawn 84 × 63 mm, to a
// PDF at 600 dpi, decoding the photo in every run; the PDF's size and the stored photo's width.
void BM_PrintOnePhotoCardAt600Dpi(benchmark::State& state) {
    auto doc = std::make_unique<CardDocument>();
    doc->format = printtest::twoByFive();
    doc->format.cardWidth = 148;
    doc->format.cardHeight = 105;
    doc->format.cardsAcross = doc->format.cardsDown = 1;
    doc->updateSideUnits();
    const QStringList files = benchphotos::photoFiles(1);
    const double unitsPerMm = doc->sideWidthUnits / 3.0 / doc->format.cardWidth;
    CardObject& photo = *doc->outsideSlots[1];
    photo.kind = KindPicture;
    photo.content = files.value(0);
    photo.picture = deferredPictureFile(
        files.value(0), QSize(benchphotos::kPhotoWidth, benchphotos::kPhotoHeight), 0);
    photo.x = int32_t(doc->sideWidthUnits / 3 + 10 * unitsPerMm);
    photo.y = int32_t(doc->sideHeightUnits / 3 + 10 * unitsPerMm);
    photo.width = int32_t(84 * unitsPerMm);
    photo.height = int32_t(63 * unitsPerMm);
    QTemporaryDir dir;
    const QString file = dir.filePath("foto.pdf");
    qint64 size = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearScaledPictures();
        state.ResumeTiming();
        size = printToPdf(*doc, file, 1);
    }
    state.counters["pdf_KB"] = double(size) / 1024;
    state.counters["decodes"] = double(scaledPictureStats().decodes);
    QProcess p;
    p.start("pdfimages", {"-list", file});
    if (p.waitForFinished(60000)) {
        const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
        if (lines.size() > 2)
            state.counters["image_w"] = lines[2].simplified().split(' ').value(3).toInt();
    }
}
BENCHMARK(BM_PrintOnePhotoCardAt600Dpi)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

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
