// A print run only reads the card and the caller's settings: the side being edited, the
// card's content and the screen's render settings are the same after a run.
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "print/PrintRun.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QPdfWriter>

using namespace bb;

TEST(PrintRunReadsOnly, TheCardAndTheCallersSettingsStayAsTheyWere) {
    auto doc = std::make_unique<CardDocument>();
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = rgbRef(255, 0, 0);
    doc->insideBackground.backgroundMode = BgStretched;  // no picture: drawn as none
    const QByteArray before = cardFileBytes(*doc, DibImage());

    PrintJob job;
    job.calibration = Calibration{0, 0, 101, 99};
    job.pages.resize(2);
    job.pages[0].cards = {PageCard{SideOutside, 0, 0, 40, 30, false, -1}};
    job.pages[1].cards = {PageCard{SideInside, 0, 0, 40, 30, true, -1}};

    RenderContext ctx;  // a screen whose millimetres per inch are not the nominal ones
    ctx.mmPerInchX = 24.0;
    ctx.mmPerInchY = 26.0;
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    ConsoleDialogs dialogs;
    const PrintRunResult r = runPrintJob(writer, *doc, ctx, job, dialogs);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.cards, 2);
    EXPECT_EQ(ctx.renderMode, RenderScreen);
    EXPECT_DOUBLE_EQ(ctx.mmPerInchX, 24.0);
    EXPECT_DOUBLE_EQ(ctx.mmPerInchY, 26.0);
    EXPECT_EQ(cardFileBytes(*doc, DibImage()), before);
    EXPECT_EQ(doc->insideBackground.backgroundMode, BgStretched);
}
