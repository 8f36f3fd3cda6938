// Word-wrapped text breaks into the same lines in every output (editor, stored preview,
// export, print), read from the text items that drawCardSide actually paints.
#include "render/Export.h"
#include "render/Preview.h"
#include "render/Renderer.h"
#include "render/TextRenderer.h"

#include "TextRecorder.h"
#include "document/CardFile.h"

#include <gtest/gtest.h>

#include <QPainter>

using namespace bb;
using rendertest::TextRecorder;

namespace {

// A 165 × 121 mm card with one text 10000 units in from the card's corner. At 44000 units
// (55.9 mm) wide this text once wrapped into 4 lines in the editor and in print but into 3 in
// the stored preview and the exported picture, whose fonts came out relatively smaller.
struct GreetingCard {
    CardDocument doc;
    RenderContext ctx;
    CardObject* text = nullptr;

    GreetingCard() {
        doc.format.cardWidth = 165;
        doc.format.cardHeight = 121;
        doc.updateSideUnits();  // the work area: three cards across and down
        doc.unitsPerPixel = 312;
        text = doc.sideSlots(SideOutside)[doc.findFreeSlot(SideOutside)];
        text->kind = KindText;
        text->content = QStringLiteral(
            "Zu deinem Geburtstag wünschen wir dir von Herzen alles Liebe, Gesundheit und "
            "viele schöne Stunden mit deinen Liebsten.");
        text->fontName = QStringLiteral("Liberation Sans");
        text->fontSize = 12;
        text->x = doc.sideWidthUnits / 3 + 10000;
        text->y = doc.sideHeightUnits / 3 + 10000;
        text->width = 44000;
        text->height = 40000;
    }

    // The editor view's whole work area at `zoom`.
    QStringList inEditor(double zoom) {
        doc.zoomFactor = zoom;
        const int w = doc.screenPixels(doc.sideWidthUnits);
        const int h = doc.screenPixels(doc.sideHeightUnits);
        TextRecorder recorder(w, h);
        QPainter painter(&recorder);
        drawCardSide(painter, doc, SideOutside, ctx, w, h, 0, 0, zoom / doc.unitsPerPixel, true);
        painter.end();
        return recorder.lines();
    }

    // The card alone in output mode at `dpi`, as the preview, export and print draw it.
    QStringList atDpi(double dpi) {
        const QSize size = sideImageSize(doc.format, dpi);
        TextRecorder recorder(size.width(), size.height());
        QPainter painter(&recorder);
        drawSideAt(painter, doc, SideOutside, ctx, dpi, 0, 0);
        painter.end();
        return recorder.lines();
    }
};

}  // namespace

TEST(TextLineBreaks, OneCardBreaksAlikeInEditorPreviewExportAndPrint) {
    GreetingCard card;
    const QStringList editor = card.inEditor(1.0);
    ASSERT_EQ(editor.size(), 4);
    EXPECT_EQ(editor.join(QLatin1Char(' ')), card.text->content);  // every word, in order

    // The stored preview's resolution (13 pixels per inch, fonts of 1 pixel), the export's
    // 96 and two printer resolutions.
    EXPECT_EQ(card.atDpi(previewGeometry(card.doc.format).dpi), editor);
    EXPECT_EQ(card.atDpi(kExportResolution), editor);
    EXPECT_EQ(card.atDpi(300), editor);
    EXPECT_EQ(card.atDpi(600), editor);
}

TEST(TextLineBreaks, EveryWidthBreaksAlikeAtEveryZoomAndResolution) {
    GreetingCard card;
    for (int width = 20000; width <= 80000; width += 1500) {
        card.text->width = width;
        const QStringList reference = textLinesAt(*card.text, card.ctx, 600 / 20000.0);
        ASSERT_FALSE(reference.isEmpty());
        EXPECT_EQ(card.inEditor(0.5), reference) << width;
        EXPECT_EQ(card.inEditor(3.0), reference) << width;
        for (double dpi : {9.0, 72.0, 150.0, 203.0, 1200.0})
            EXPECT_EQ(textLinesAt(*card.text, card.ctx, dpi / 20000.0), reference)
                << width << " at " << dpi;
    }
}

TEST(TextLineBreaks, LineBreaksOfTheTextAreKeptAndNarrowBoxesWrapMore) {
    GreetingCard card;
    CardObject& o = *card.text;
    const double scale = 1.0 / 312;
    o.content = QStringLiteral("Liebe Grüße\r\rvon uns\r\nallen\nhier");
    EXPECT_EQ(textLinesAt(o, card.ctx, scale),
              (QStringList{"Liebe Grüße", "", "von uns", "allen", "hier"}));
    const std::vector<TextLineSpan> breaks = textLineBreaks(o, card.ctx);
    ASSERT_EQ(breaks.size(), 5u);
    EXPECT_EQ(breaks[0], (TextLineSpan{0, 12}));  // the line break belongs to its line
    EXPECT_EQ(breaks[4], (TextLineSpan{27, 4}));  // "\r\n" counts as one character

    o.width = 8000;  // 3.2 times the font height
    EXPECT_EQ(textLinesAt(o, card.ctx, scale),
              (QStringList{"Liebe", "Grüße", "", "von", "uns", "allen", "hier"}));
    o.width = -5;  // a damaged width: one word a line, as in a box of no width
    EXPECT_EQ(textLinesAt(o, card.ctx, scale).size(), 7);
    o.fontSize = 0;  // a font without height wraps only at the text's own breaks
    EXPECT_EQ(textLinesAt(o, card.ctx, scale).size(), 5);
    o.content.clear();
    EXPECT_TRUE(textLinesAt(o, card.ctx, scale).isEmpty());
}
