// What a text carries beyond its one font: colour emoji (on screen and in a PDF), letter and
// line spacing, formatted spans and text set on an arc. Drawn at two resolutions, spacing
// scales with the text so that screen and print agree.
#include "document/CardDocument.h"
#include "document/TextRuns.h"
#include "render/TextRenderer.h"

#include "RenderFixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace bb;
using namespace rendertest;

namespace {

const QString kTree = QStringLiteral("\U0001F384");  // a Christmas tree, green

bool colourful(QRgb p) {
    const QColor c = QColor::fromRgb(p);
    return c.hsvSaturation() > 100 && c.value() > 60;
}

int colourfulPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += colourful(image.pixel(x, y));
    return n;
}

struct TextCard {
    std::unique_ptr<CardDocument> doc = makeDocument();
    RenderContext ctx;
    CardObject* o = nullptr;

    explicit TextCard(const QString& content, int w = 400, int h = 200) {
        o = &addObject(*doc, KindText, 10, 10, w, h);
        o->content = content;
        o->fontName = QStringLiteral("Liberation Sans");
        o->fontSize = 20;
        o->color = rgbRef(0, 0, 0);
    }
    // The text drawn at `dpi` on a white picture of its box and a margin.
    QImage draw(double dpi = 96) const {
        const RenderContext out = atOutputDpi(ctx, dpi);
        const double s = out.outputScale;
        QImage image =
            whiteImage(int((o->x + o->width) * s) + 20, int((o->y + o->height) * s) + 20);
        QPainter p(&image);
        drawText(p, *doc, *o, out, 0, 0, s, image.rect());
        return image;
    }
};

}  // namespace

TEST(TextStyle, ColourEmojiDrawInColourOnScreenAndInThePdf) {
    TextCard card(QStringLiteral("Frohes Fest ") + kTree);
    EXPECT_GT(colourfulPixels(card.draw()), 50);
    // The emoji keeps its colour under a shadow and an outline, which leave it out.
    card.o->shadow = true;
    card.o->outline = true;
    EXPECT_GT(colourfulPixels(card.draw()), 50);
    card.o->shadow = card.o->outline = false;

    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "no pdftoppm";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("emoji.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        QPainter p(&writer);
        const RenderContext out = atOutputDpi(card.ctx, 300);
        drawText(p, *card.doc, *card.o, out, 0, 0, out.outputScale, QRect(0, 0, 5000, 5000));
    }
    const QString prefix = dir.filePath(QStringLiteral("page"));
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-png", "-r", "100", "-singlefile", pdf, prefix}), 0);
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(colourfulPixels(page), 50);
    // The letters stay text, black and not coloured.
    EXPECT_GT(inkBounds(page).width(), 100);
}

TEST(TextStyle, LetterSpacingWidensTheLineInProportionAtEveryResolution) {
    TextCard card(QStringLiteral("Herzlichen"));
    const QRect plain = inkBounds(card.draw(96)), plainPrint = inkBounds(card.draw(300));
    card.o->extras.letterSpacing = 200;  // a fifth of the font size after every character
    const QRect wide = inkBounds(card.draw(96)), widePrint = inkBounds(card.draw(300));
    // Nine gaps between ten letters, each 0.2 × the pixel size wider.
    const double pixels96 = textPixelSize(20, atOutputDpi(card.ctx, 96).outputScale, card.ctx);
    EXPECT_NEAR(wide.width() - plain.width(), 9 * 0.2 * pixels96, 3);
    const double ratio = double(wide.width()) / plain.width();
    EXPECT_NEAR(double(widePrint.width()) / plainPrint.width(), ratio, 0.03);
    // Negative spacing draws the letters closer.
    card.o->extras.letterSpacing = -100;
    EXPECT_LT(inkBounds(card.draw(96)).width(), plain.width() - 10);
}

TEST(TextStyle, LineSpacingSetsThePitchOfTheLines) {
    TextCard card(QStringLiteral("A\rA\rA"));
    const RenderContext out = atOutputDpi(card.ctx, 96);
    const QRect box(0, 0, 400, 200);
    const auto pitch = [&] {
        return textCaretLine(*card.o, out, out.outputScale, box, 2).y1() -
               textCaretLine(*card.o, out, out.outputScale, box, 0).y1();
    };
    const double single = pitch();
    card.o->extras.lineSpacing = 200;
    EXPECT_NEAR(pitch(), 2 * single, 2.5);
    card.o->extras.lineSpacing = 50;
    EXPECT_LT(pitch(), 0.6 * single + 1.5);
    // The extent follows: three lines at half the spacing need less room.
    EXPECT_LT(textExtent(*card.o, out, out.outputScale).height(), 2.5 * single);
}

TEST(TextStyle, SpansDrawInTheirOwnSizeAndColourAndWrapWithIt) {
    TextCard card(QStringLiteral("Alles Gute"));
    const QRect plain = inkBounds(card.draw());
    formatRange(*card.o, 6, 10, [](TextRun& r) {
        r.fontSize = 40;
        r.fontColor = rgbRef(220, 0, 0);
    });
    const QImage formatted = card.draw();
    const QRect ink = inkBounds(formatted);
    EXPECT_GT(ink.height(), plain.height() + 10);  // the big word
    // The red part lies right of the black part.
    int redLeft = INT_MAX, blackRight = -1;
    for (int y = 0; y < formatted.height(); ++y)
        for (int x = 0; x < formatted.width(); ++x) {
            const QColor c = formatted.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 60) redLeft = std::min(redLeft, x);
            if (c.value() < 60) blackRight = std::max(blackRight, x);
        }
    EXPECT_LT(blackRight, redLeft);

    // A span's larger font counts where lines break: a narrow box wraps the big word earlier.
    const RenderContext out = atOutputDpi(card.ctx, 96);
    card.o->content = QStringLiteral("aaaa bbbb cccc");
    card.o->extras.runs.clear();
    card.o->width = 22000;  // two words of the object's font a line
    const qsizetype before = textLinesAt(*card.o, out, out.outputScale).size();
    EXPECT_EQ(before, 2);
    formatRange(*card.o, 5, 9, [](TextRun& r) { r.fontSize = 60; });
    EXPECT_GT(textLinesAt(*card.o, out, out.outputScale).size(), before);
}

TEST(TextStyle, ArcTextBendsOverOrUnderTheCircleAndItsCaretFollows) {
    TextCard card(QStringLiteral("IIIIIIIIIIIIIIIIIIII"), 400, 300);
    card.o->alignment = 1;
    card.o->extras.arcRadius = 3000;  // 30 mm
    // The ink of the left, middle and right thirds: over the circle the middle stands highest.
    const auto thirds = [&] {
        const QImage image = card.draw();
        const QRect all = inkBounds(image);
        std::array<int, 3> tops{};
        for (int i = 0; i < 3; ++i) {
            const int left = all.left() + all.width() * i / 3;
            QImage part = image.copy(left, 0, all.width() / 3, image.height());
            tops[size_t(i)] = inkBounds(part).center().y();
        }
        return tops;
    };
    const std::array<int, 3> over = thirds();
    EXPECT_LT(over[1], over[0] - 5);
    EXPECT_LT(over[1], over[2] - 5);
    card.o->extras.arcDown = true;
    const std::array<int, 3> under = thirds();
    EXPECT_GT(under[1], under[0] + 5);
    EXPECT_GT(under[1], under[2] + 5);

    // The caret stands across the arc where the letters are, and maps back to its position.
    const RenderContext out = atOutputDpi(card.ctx, 96);
    const QRect box(0, 0, 400, 300);
    for (int i : {0, 5, 10, 20}) {
        const QLineF caret = textCaretLine(*card.o, out, out.outputScale, box, i);
        EXPECT_GT(caret.length(), 10);
        EXPECT_EQ(textIndexAt(*card.o, out, out.outputScale, box, caret.center()), i) << i;
    }
    // Further along the text, the caret leans further.
    const QLineF start = textCaretLine(*card.o, out, out.outputScale, box, 0);
    const QLineF middle = textCaretLine(*card.o, out, out.outputScale, box, 10);
    EXPECT_GT(std::abs(start.dx()), std::abs(middle.dx()) + 3);
    EXPECT_EQ(textSelectionShapes(*card.o, out, out.outputScale, box, 2, 8).size(), 1u);
}

TEST(TextStyle, DamagedSpacingSpansAndArcsDrawWithoutFault) {
    TextCard card(QStringLiteral("Frohe\r\nWeihnachten \U0001F384"));
    const RenderContext out = atOutputDpi(card.ctx, 96);
    const QRect box(0, 0, 400, 200);
    TextRun wild;
    wild.start = INT32_MAX - 2;
    wild.length = INT32_MAX;
    wild.fontSize = INT32_MAX;
    TextRun backwards;
    backwards.start = -5;
    backwards.length = 8;
    backwards.fontSize = -3;
    TextRun overlapping;
    overlapping.start = 1;
    overlapping.length = 3;
    overlapping.fontSize = 30;
    for (int32_t extreme : {INT32_MIN, -1, 0, 1, INT32_MAX}) {
        card.o->extras.letterSpacing = extreme;
        card.o->extras.lineSpacing = extreme;
        card.o->extras.arcRadius = extreme;
        card.o->extras.runs = {wild, backwards, overlapping};
        for (int32_t rotation : {0, 1, 3}) {
            card.o->rotation = rotation;
            card.draw();
            textCaretLine(*card.o, out, out.outputScale, box, 7);
            textIndexAt(*card.o, out, out.outputScale, box, QPointF(50, 50));
            textSelectionShapes(*card.o, out, out.outputScale, box, 0, 100);
            textExtent(*card.o, out, out.outputScale);
        }
        // Formatting and edits on such spans keep them inside the text.
        formatRange(*card.o, 2, 9, [](TextRun& r) { r.fontStyle |= StyleBold; });
        for (const TextRun& r : card.o->extras.runs) {
            EXPECT_GE(r.start, 0);
            EXPECT_LE(int64_t(r.start) + r.length, card.o->content.size());
        }
        std::vector<TextRun> cut = card.o->extras.runs;
        adjustRunsForChange(cut, card.o->content, QStringLiteral("Fx"));
        for (const TextRun& r : cut) EXPECT_LE(int64_t(r.start) + r.length, 2);
    }
}
