// A print run to PDF at 600 dpi of cards with a large photo file: the page drawn from the
// photo decoded at the printed size matches the page drawn from its full pixels, and the PDF
// stores the photo once, no larger than its printed size at 600 dpi. The run waits for its
// pictures whatever picture source the window's settings carry.
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "pictures/ScaledPictures.h"
#include "print/PdfPages.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "render/PhotoFiles.h"
#include "render/Renderer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <memory>

using namespace bb;

namespace {

constexpr int kDpi = 600;
constexpr double kPhotoWidthMm = 50;
constexpr double kPhotoHeightMm = 33;

// Ten cards of 90 × 55 mm on an A4 sheet, each with the photo 50 × 33 mm.
std::unique_ptr<CardDocument> photoCard(const DibImage& photo) {
    auto doc = std::make_unique<CardDocument>();
    doc->format = printtest::twoByFive();
    doc->updateSideUnits();
    const double unitsPerMm = doc->sideWidthUnits / 3.0 / doc->format.cardWidth;
    CardObject& o = *doc->outsideSlots[1];
    o.kind = KindPicture;
    o.content = QStringLiteral("foto.jpg");
    o.picture = photo;
    o.x = int32_t(doc->sideWidthUnits / 3 + 20 * unitsPerMm);
    o.y = int32_t(doc->sideHeightUnits / 3 + 10 * unitsPerMm);
    o.width = int32_t(kPhotoWidthMm * unitsPerMm);
    o.height = int32_t(kPhotoHeightMm * unitsPerMm);
    return doc;
}

// Answers "not yet" as the window's background decoding does; a print run must not use it.
struct NeverReady : PicturePixels {
    DibImage pixels(const DibImage& /*picture*/, QSize /*size*/) const override { return {}; }
};

// Prints ten cards to `file` at 600 dpi; the first card's rectangle in device pixels.
QRect printTen(const CardDocument& doc, const QString& file, const RenderContext& ctx) {
    ConsoleDialogs dialogs;
    PrinterTarget target;
    target.usePdf(file);
    target.printer().setResolution(kDpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    PrintOptions options;
    options.settings = {0, 10, 1};
    const PrintJob job = sideJob(doc, SideOutside, options, target.geometry());
    const PrintRunResult r = runPrintJob(target.printer(), doc, ctx, job, dialogs);
    if (!r.ok || job.pages.empty() || job.pages.front().cards.empty()) return {};
    const PageCard& c = job.pages.front().cards.front();
    return QRect(c.x, c.y, c.width, c.height);
}

}  // namespace

TEST(ReducedPrint, PdfAt600DpiMatchesTheFullDecodeAndStoresThePhotoOnceAtItsPrintedSize) {
    if (!printtest::havePdftoppm() || !printtest::havePdfimages())
        GTEST_SKIP() << "pdftoppm and pdfimages are needed";
    bbtest::TempFolder dir;
    const QString photoFile = dir.file(QStringLiteral("foto.jpg"));
    ASSERT_TRUE(phototest::writePhoto(photoFile, 3000, 2000));
    clearScaledPictures();
    const auto reduced = photoCard(deferredPictureFile(photoFile, QSize(3000, 2000), 0));
    const auto reference = photoCard(phototest::fullPixels(photoFile));

    const QString reducedPdf = dir.file(QStringLiteral("reduziert.pdf"));
    RenderContext window;
    window.pictures = std::make_shared<NeverReady>();
    const QRect card = printTen(*reduced, reducedPdf, window);
    ASSERT_FALSE(card.isEmpty());
    EXPECT_EQ(scaledPictureStats().decodes, 1);  // ten cards, one reduced copy

    // The first card rasterised at the printer's resolution against the card drawn in process
    // at that resolution from the full pixels: they differ by the sampling only.
    const QImage printed = printtest::pdfPageArea(reducedPdf, 1, kDpi, card);
    ASSERT_EQ(printed.size(), card.size());
    const RenderContext output = atOutputDpi(RenderContext{}, kDpi);
    QImage drawn(card.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    drawCardSide(painter, *reference, SideOutside, output, card.width(), card.height(),
                 card.width(), card.height(), output.outputScale, false);
    painter.end();
    EXPECT_LE(phototest::meanDifference(printed, drawn), 3.0);

    const std::vector<QSize> stored = printtest::pdfStoredImages(reducedPdf);
    ASSERT_EQ(stored.size(), 1u);
    const double widthAt600 = kPhotoWidthMm / kNominalMmPerInch * kDpi;
    const double heightAt600 = kPhotoHeightMm / kNominalMmPerInch * kDpi;
    EXPECT_LE(stored[0].width(), std::ceil(widthAt600) + 1);
    EXPECT_LE(stored[0].height(), std::ceil(heightAt600) + 1);
    EXPECT_GE(stored[0].width(), widthAt600 - 3);
}
