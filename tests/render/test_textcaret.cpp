// The caret of typing on the card sits where drawText puts the glyphs: it follows the lines,
// wrapping and alignment of the layout, and a point maps back to the position it shows.
#include "render/TextRenderer.h"

#include "TextRecorder.h"
#include "document/CardDocument.h"
#include "render/Renderer.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

using namespace bb;

namespace {

struct CaretCard {
    CardDocument doc;
    RenderContext ctx;
    CardObject* text = nullptr;
    // The editor at 100 units per pixel: a box of w × h pixels at (x, y).
    const double scale = 1.0 / 100;
    QRect box{40, 30, 300, 200};

    CaretCard() {
        text = doc.sideSlots(SideOutside)[doc.findFreeSlot(SideOutside)];
        text->kind = KindText;
        text->fontName = QStringLiteral("Liberation Sans");
        text->fontSize = 12;
        text->x = box.x() * 100;
        text->y = box.y() * 100;
        text->width = box.width() * 100;
        text->height = box.height() * 100;
    }
    QLineF caret(int index) const { return textCaretLine(*text, ctx, scale, box, index); }
    int indexAt(QPointF p) const { return textIndexAt(*text, ctx, scale, box, p); }
};

}  // namespace

TEST(TextCaret, FollowsAlignmentOfEachLine) {
    CaretCard card;
    CardObject& o = *card.text;
    o.content = QStringLiteral("Alles Gute\rzum Fest");
    // Left: the first line begins at the box's left edge, the second one line lower.
    EXPECT_NEAR(card.caret(0).x1(), card.box.left(), 0.01);
    EXPECT_NEAR(card.caret(11).x1(), card.box.left(), 0.01);
    EXPECT_GT(card.caret(11).y1(), card.caret(0).y2() - 1);
    EXPECT_NEAR(card.caret(0).y1(), card.box.top(), 0.01);

    // Centred: each line's two ends lie symmetric about the box's middle.
    o.alignment = 1;
    const double middle = card.box.left() + card.box.width() / 2.0;
    for (auto [from, to] : {std::pair{0, 10}, std::pair{11, 19}}) {
        const double left = card.caret(from).x1(), right = card.caret(to).x1();
        EXPECT_GT(right - left, 20);
        EXPECT_NEAR((left + right) / 2, middle, 0.6) << from;
    }
    // Right: every line ends at the right edge.
    o.alignment = 2;
    EXPECT_NEAR(card.caret(10).x1(), card.box.left() + card.box.width(), 0.6);
    EXPECT_NEAR(card.caret(19).x1(), card.box.left() + card.box.width(), 0.6);
    EXPECT_LT(card.caret(11).x1(), card.caret(19).x1() - 20);
}

TEST(TextCaret, PointsMapBackToTheirPositionThroughWrapsAndLineBreaks) {
    CaretCard card;
    CardObject& o = *card.text;
    card.box.setWidth(220);  // wider than the longest word
    o.width = 22000;
    o.alignment = 1;
    o.content = QStringLiteral("Herzliche Glückwünsche\r\nund viel Freude\r\rim neuen Jahr");
    // The text wraps: more lines than its own three breaks make.
    ASSERT_GT(textLinesAt(o, card.ctx, card.scale).size(), 4);
    double lastY = -1;
    for (int i = 0; i <= o.content.size(); ++i) {
        if (i > 0 && o.content.at(i - 1) == QChar('\r') && o.content.at(i) == QChar('\n'))
            continue;  // between the pair of one line break
        const QLineF c = card.caret(i);
        EXPECT_GE(c.y1(), lastY) << i;  // lines go down, never up
        lastY = c.y1();
        EXPECT_GE(c.x1(), card.box.left()) << i;
        EXPECT_LE(c.x1(), card.box.left() + card.box.width()) << i;
        const int back = card.indexAt(c.center());
        // A position at a wrap shows at the start of the next line; the space before it ends
        // the line above.
        EXPECT_EQ(back, i) << "position " << i;
    }
    // The empty line between the two carriage returns has a caret of its own.
    const int empty = int(o.content.indexOf(QStringLiteral("\r\r"))) + 1;
    EXPECT_GT(card.caret(empty).y1(), card.caret(empty - 1).y1());
    EXPECT_GT(card.caret(empty + 1).y1(), card.caret(empty).y1());
}

TEST(TextCaret, TrailingLineBreakEmptyTextAndTurnedText) {
    CaretCard card;
    CardObject& o = *card.text;
    o.content = QStringLiteral("Hallo\r");
    EXPECT_GT(card.caret(6).y1(), card.caret(5).y1() + 5);  // after Enter: on the new line
    EXPECT_NEAR(card.caret(6).x1(), card.box.left(), 0.01);

    o.content.clear();
    o.alignment = 1;
    EXPECT_NEAR(card.caret(0).x1(), card.box.left() + card.box.width() / 2.0, 0.01);
    EXPECT_GT(card.caret(0).length(), 5);
    EXPECT_EQ(card.indexAt(QPointF(0, 0)), 0);

    // Turned a quarter clockwise, the lines run down from the box's top-right corner and wrap
    // along its height; the caret lies across them.
    o.content = QStringLiteral("Frohe\r\nWeihnachten");
    o.rotation = 1;
    o.alignment = 0;
    const QLineF first = card.caret(0), later = card.caret(4), second = card.caret(7);
    EXPECT_NEAR(first.p1().y(), card.box.top(), 0.01);
    EXPECT_NEAR(first.p1().x(), card.box.right() + 1, 0.01);
    EXPECT_GT(later.p1().y(), first.p1().y() + 10);
    EXPECT_NEAR(later.p1().x(), first.p1().x(), 0.01);
    EXPECT_LT(second.p1().x(), first.p2().x() + 0.5);  // the next line lies to the left
    EXPECT_NEAR(second.p1().y(), card.box.top(), 0.01);
    EXPECT_EQ(card.indexAt(later.center()), 4);
    EXPECT_EQ(card.indexAt(card.caret(10).center()), 10);
    // The pair of one line break is one break there: both positions after it show alike.
    EXPECT_EQ(card.caret(6).p1(), card.caret(7).p1());
    // Out-of-range positions are brought into the text.
    EXPECT_EQ(card.caret(500).p1(), card.caret(int(o.content.size())).p1());
    EXPECT_EQ(textSelectionShapes(o, card.ctx, card.scale, card.box, 0, 10).size(), 2u);
    o.rotation = 0;
    EXPECT_EQ(card.caret(-3).p1(), card.caret(0).p1());
    o.content = QStringLiteral("eins\rzwei\rdrei");
    EXPECT_EQ(textSelectionShapes(o, card.ctx, card.scale, card.box, 2, 12).size(), 3u);
}
