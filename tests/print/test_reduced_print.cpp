// A print run to PDF at 600 dpi of cards with a large photo file: the page drawn from the
// photo decoded at the printed size matches the page drawn from its full pixels, and the PDF
// stores the photo once, no larger than its printed size at 600 dpi.
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "pictures/ScaledPictures.h"
#include "print/PdfPages.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "render/PhotoFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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

// Prints ten cards to `file` at 600 dpi; the first card's rectangle in device pixels.
QRect printTen(const CardDocument& doc, const QString& file) {
    ConsoleDialogs dialogs;
    PrinterTarget target;
    target.usePdf(file);
    target.printer().setResolution(kDpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    PrintOptions options;
    options.settings = {0, 10, 1};
    const PrintJob job = sideJob(doc, SideOutside, options, target.geometry());
    const PrintRunResult r = runPrintJob(target.printer(), doc, RenderContext{}, job, dialogs);
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
    const QString referencePdf = dir.file(QStringLiteral("voll.pdf"));
    const QRect card = printTen(*reduced, reducedPdf);
    ASSERT_FALSE(card.isEmpty());
    EXPECT_EQ(scaledPictureStats().decodes, 1);  // ten cards, one reduced copy
    ASSERT_EQ(printTen(*reference, referencePdf), card);

    // The first card rasterised at the printer's resolution: the reduced copy is drawn 1:1,
    // the full pixels are scaled by the PDF viewer, so the two differ only by that sampling.
    const QImage printed = printtest::pdfPageArea(reducedPdf, 1, kDpi, card);
    const QImage printedFull = printtest::pdfPageArea(referencePdf, 1, kDpi, card);
    ASSERT_EQ(printed.size(), card.size());
    EXPECT_LE(phototest::meanDifference(printed, printedFull), 3.0);

    const std::vector<QSize> stored = printtest::pdfStoredImages(reducedPdf);
    ASSERT_EQ(stored.size(), 1u);
    const double widthAt600 = kPhotoWidthMm / kNominalMmPerInch * kDpi;
    const double heightAt600 = kPhotoHeightMm / kNominalMmPerInch * kDpi;
    EXPECT_LE(stored[0].width(), std::ceil(widthAt600) + 1);
    EXPECT_LE(stored[0].height(), std::ceil(heightAt600) + 1);
    EXPECT_GE(stored[0].width(), widthAt600 - 3);
    EXPECT_EQ(printtest::pdfStoredImages(referencePdf), std::vector<QSize>{QSize(3000, 2000)});
}

namespace {

struct NeverReady : PicturePixels {
    DibImage pixels(const DibImage& /*picture*/, QSize /*size*/) const override { return {}; }
};

}  // namespace

// The window's picture source answers "not yet" while it decodes; a print run handed the
// window's settings still draws every picture.
TEST(ReducedPrint, ARunWaitsWhateverPictureSourceTheWindowHas) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm is needed";
    bbtest::TempFolder dir;
    DibImage red = newDib(60, 40, 24);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) setPixel(red, x, y, rgbRef(255, 0, 0));
    const auto doc = photoCard(red);
    RenderContext window;
    window.pictures = std::make_shared<NeverReady>();

    const QString pdf = dir.file(QStringLiteral("karte.pdf"));
    ConsoleDialogs dialogs;
    PrinterTarget target;
    target.usePdf(pdf);
    target.printer().setResolution(kDpi);
    PrintOptions options;
    const PrintJob job = sideJob(*doc, SideOutside, options, target.geometry());
    ASSERT_TRUE(runPrintJob(target.printer(), *doc, window, job, dialogs).ok);
    const QImage page = printtest::pdfPage(pdf, 1, 50);
    ASSERT_FALSE(page.isNull());
    // The photo's 50 × 33 mm at 50 dpi, about 98 × 65 pixels, all red.
    const QRect box = printtest::colourBox(page, qRgb(255, 0, 0));
    EXPECT_NEAR(box.width(), 98, 3);
    EXPECT_NEAR(box.height(), 65, 3);
}
