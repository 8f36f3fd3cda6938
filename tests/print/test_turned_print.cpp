// Turned objects and pictures with a crop and colour settings print as they are drawn: a card
// printed to PDF at 600 dpi, rasterised, against the same card drawn in process at 600 dpi.
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "print/PdfPages.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "render/PhotoFiles.h"
#include "render/Renderer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPrinter>

using namespace bb;

namespace {

constexpr int kDpi = 600;

TEST(TurnedPrint, TurnedTextPictureAndFigureAndACroppedSepiaPhotoPrintAsDrawn) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm is needed";
    CardDocument doc;
    doc.format = printtest::twoByFive();
    doc.updateSideUnits();
    const double mm = doc.sideWidthUnits / 3.0 / doc.format.cardWidth;
    const auto place = [&](int slot, int kind, double x, double y, double w, double h,
                           double angle) -> CardObject& {
        CardObject& o = *doc.outsideSlots[slot];
        o.kind = kind;
        o.x = int32_t(doc.sideWidthUnits / 3 + x * mm);
        o.y = int32_t(doc.sideHeightUnits / 3 + y * mm);
        o.width = int32_t(w * mm);
        o.height = int32_t(h * mm);
        o.extras.fineAngle = angle;
        return o;
    };
    CardObject& photo = place(1, KindPicture, 5, 5, 40, 26, 30);
    {
        const QImage image = phototest::photoImage(300, 200);
        photo.picture = newDib(300, 200, 24);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x) {
                const QRgb c = image.pixel(x, y);
                setPixel(photo.picture, x, y, rgbRef(qRed(c), qGreen(c), qBlue(c)));
            }
    }
    photo.keepAspect = false;
    photo.extras.crop = QRectF(0.2, 0.1, 0.6, 0.7);
    photo.extras.tone = ToneSepia;
    photo.extras.contrast = 20;
    photo.extras.cornerRadius = 300;
    CardObject& text = place(2, KindText, 50, 8, 35, 12, 30);
    text.content = QStringLiteral("Alles Gute");
    text.fontName = QStringLiteral("Liberation Sans");
    text.fontSize = 14;
    text.color = rgbRef(20, 20, 120);
    CardObject& figure = place(3, KindFigure, 50, 30, 30, 15, -20);
    figure.figureKind = FigEllipse;
    figure.fillMode = FillSolid;
    figure.color = rgbRef(0, 150, 60);

    bbtest::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("gedreht.pdf"));
    ConsoleDialogs dialogs;
    PrinterTarget target;
    target.usePdf(pdf);
    target.printer().setResolution(kDpi);
    target.printer().setPageSize(QPageSize(QPageSize::A4));
    PrintOptions options;
    options.settings = {0, 1, 1};
    const PrintJob job = sideJob(doc, SideOutside, options, target.geometry());
    ASSERT_TRUE(runPrintJob(target.printer(), doc, RenderContext{}, job, dialogs).ok);
    ASSERT_FALSE(job.pages.empty() || job.pages.front().cards.empty());
    const PageCard& c = job.pages.front().cards.front();
    const QRect card(c.x, c.y, c.width, c.height);

    const QImage printed = printtest::pdfPageArea(pdf, 1, kDpi, card);
    ASSERT_EQ(printed.size(), card.size());
    const RenderContext output = atOutputDpi(RenderContext{}, kDpi);
    QImage drawn(card.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    drawCardSide(painter, doc, SideOutside, output, card.width(), card.height(), card.width(),
                 card.height(), output.outputScale, false);
    painter.end();
    // Each object's part of the card: the same pixels but for the smoothing of edges.
    const double unitsToPixels = output.outputScale;
    for (const CardObject* o : {&photo, &text, &figure}) {
        const QRect area(int((o->x - doc.sideWidthUnits / 3) * unitsToPixels),
                         int((o->y - doc.sideHeightUnits / 3) * unitsToPixels),
                         int(o->width * unitsToPixels), int(o->height * unitsToPixels));
        EXPECT_LE(phototest::meanDifference(printed, drawn, area), 4.0) << o->kind;
    }
    // And the photo is there in sepia: its middle has red ≥ green ≥ blue.
    const QRgb middle =
        printed.pixel(int((photo.x - doc.sideWidthUnits / 3 + photo.width / 2) * unitsToPixels),
                      int((photo.y - doc.sideHeightUnits / 3 + photo.height / 2) * unitsToPixels));
    EXPECT_GE(qRed(middle), qGreen(middle));
    EXPECT_GE(qGreen(middle), qBlue(middle));
}

}  // namespace
