// The paper of a card type: the starter list's paper for its own entries, otherwise the first
// common paper that holds the grid; and the plain folded cards of the starter list on theirs.
#include "document/CardPaper.h"

#include <gtest/gtest.h>

#include <QRectF>

using namespace bb;

namespace {

CardFormat grid(double width, double height, int across, int down, double left = 0,
                double top = 0) {
    CardFormat f;
    f.typeName = QStringLiteral("Eigener Typ");
    f.cardWidth = width;
    f.cardHeight = height;
    f.cardsAcross = across;
    f.cardsDown = down;
    f.leftMargin = left;
    f.topMargin = top;
    f.pitchX = width;
    f.pitchY = height;
    return f;
}

}  // namespace

TEST(CardPaper, StarterEntryInferredPortraitLandscapeLargerPapersAndTooLarge) {
    // 184.15 × 247.65 mm would fit A4, but the list says US Letter for this very type.
    CardFormat postcard = grid(152.4, 101.6, 1, 2, 31.75, 31.75);
    postcard.pitchY = 114.3;
    postcard.typeName = QStringLiteral("Postkarten (US-Letter)");
    const QList<StarterType> list{{postcard, QStringLiteral("US-Letter")}};
    EXPECT_EQ(cardPaper(postcard, list), (CardPaper{QPageSize::Letter, QPageLayout::Portrait}));
    // Another name or another grid is not the list's type.
    CardFormat renamed = postcard;
    renamed.typeName = QStringLiteral("Postkarten");
    EXPECT_EQ(cardPaper(renamed, list), (CardPaper{QPageSize::A4, QPageLayout::Portrait}));
    CardFormat moved = postcard;
    moved.leftMargin = 30;
    EXPECT_EQ(cardPaper(moved, list).size, QPageSize::A4);
    // A list entry that does not fit its own paper is judged by its grid.
    const CardFormat wide = grid(290, 180, 1, 1);
    EXPECT_EQ(cardPaper(wide, {{wide, QStringLiteral("US-Letter")}}),
              (CardPaper{QPageSize::A4, QPageLayout::Landscape}));

    // Inferred: the extent counts margin, pitches and the last card.
    EXPECT_EQ(cardPaper(grid(90, 55, 2, 5, 10, 12.5), {}),
              (CardPaper{QPageSize::A4, QPageLayout::Portrait}));
    EXPECT_EQ(cardPaper(grid(100, 100, 2, 2, 5, 5), {}),
              (CardPaper{QPageSize::A4, QPageLayout::Portrait}));
    EXPECT_EQ(cardPaper(grid(100, 100, 2, 2, 11, 5), {}),
              (CardPaper{QPageSize::A4, QPageLayout::Landscape}));
    // The printer's paper stays when the grid fits it; the list's own paper still wins.
    EXPECT_EQ(cardPaper(grid(90, 55, 2, 4, 10, 12.5), {}, QPageSize::Letter),
              (CardPaper{QPageSize::Letter, QPageLayout::Portrait}));
    EXPECT_EQ(cardPaper(grid(250, 100, 1, 1), {}, QPageSize::Letter),
              (CardPaper{QPageSize::Letter, QPageLayout::Landscape}));
    EXPECT_EQ(cardPaper(postcard, list, QPageSize::A4).size, QPageSize::Letter);
    // Too wide for A4 either way round, not for US Letter; then US Legal, then A3.
    EXPECT_EQ(cardPaper(grid(214, 250, 1, 1), {}),
              (CardPaper{QPageSize::Letter, QPageLayout::Portrait}));
    EXPECT_EQ(cardPaper(grid(214, 300, 1, 1), {}),
              (CardPaper{QPageSize::Legal, QPageLayout::Portrait}));
    EXPECT_EQ(cardPaper(grid(400, 290, 1, 1), {}),
              (CardPaper{QPageSize::A3, QPageLayout::Landscape}));
    const CardPaper tooLarge = cardPaper(grid(430, 300, 1, 1), {});
    EXPECT_FALSE(tooLarge.known());
    EXPECT_TRUE(tooLarge.sheetMm().isEmpty());
    EXPECT_EQ(cardPaperText(tooLarge), QStringLiteral("größer als A3"));
    EXPECT_EQ(cardPaperText({QPageSize::Letter, QPageLayout::Landscape}),
              QStringLiteral("US-Letter quer"));
}

TEST(CardPaper, PlainFoldedCardsComeFirstAndFitTheirSheets) {
    struct Expected {
        QString prefix;
        double width, height;  // unfolded, mm
        int cards;
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
    };
    const QList<Expected> expected{
        {QStringLiteral("Klappkarte A6,"), 210, 148.5, 2, QPageSize::A4, QPageLayout::Portrait},
        {QStringLiteral("Klappkarte A5,"), 297, 210, 1, QPageSize::A4, QPageLayout::Landscape},
        {QStringLiteral("Klappkarte DIN lang,"), 198, 210, 1, QPageSize::A4, QPageLayout::Portrait},
        {QStringLiteral("Klappkarte quadratisch,"), 290, 145, 1, QPageSize::A4,
         QPageLayout::Landscape},
        {QStringLiteral("Klappkarte US,"), 279.4, 215.9, 1, QPageSize::Letter,
         QPageLayout::Landscape},
    };
    const QList<StarterType> list = starterCatalogue();
    ASSERT_GT(list.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        const CardFormat& f = list[i].format;
        SCOPED_TRACE(f.typeName.toStdString());
        ASSERT_TRUE(f.typeName.startsWith(e.prefix));
        // The folded size is in the name, with a decimal comma.
        const QString folded = QLocale(QLocale::German).toString(e.width / 2, 'g', 4);
        EXPECT_TRUE(f.typeName.contains(folded) ||
                    f.typeName.contains(QStringLiteral("5,5 × 8,5 in")));
        EXPECT_DOUBLE_EQ(f.cardWidth, e.width);
        EXPECT_DOUBLE_EQ(f.cardHeight, e.height);
        EXPECT_EQ(f.cardsAcross * f.cardsDown, e.cards);

        const CardPaper paper = cardPaper(f);
        EXPECT_EQ(paper, (CardPaper{e.paper, e.orientation}));
        const QRectF sheet(QPointF(0, 0), paper.sheetMm());
        QList<QRectF> cards;
        for (int row = 0; row < f.cardsDown; ++row) {
            for (int column = 0; column < f.cardsAcross; ++column) {
                const QRectF card(f.leftMargin + column * f.pitchX, f.topMargin + row * f.pitchY,
                                  f.cardWidth, f.cardHeight);
                EXPECT_TRUE(sheet.adjusted(-0.01, -0.01, 0.01, 0.01).contains(card))
                    << row << "," << column;
                for (const QRectF& other : cards)
                    EXPECT_LT(card.intersected(other).width() * card.intersected(other).height(),
                              1e-6);
                cards.append(card);
            }
        }
        // A single card is centred on its sheet.
        if (e.cards == 1) {
            EXPECT_NEAR(f.leftMargin * 2 + f.cardWidth, sheet.width(), 0.01);
            EXPECT_NEAR(f.topMargin * 2 + f.cardHeight, sheet.height(), 0.01);
        }
    }
}

// A person's choice of landscape for the session holds wherever the grid fits that way, for a
// starter entry on its own paper as for any other type; a grid that only fits portrait turns.
TEST(CardPaper, APreferredOrientationHoldsWhereTheGridFitsIt) {
    const CardFormat both = grid(90, 55, 2, 2, 10, 10);  // 190 × 120 mm
    EXPECT_EQ(orientationOn(both, QPageSize::A4), QPageLayout::Portrait);
    EXPECT_EQ(orientationOn(both, QPageSize::A4, QPageLayout::Landscape), QPageLayout::Landscape);
    const CardFormat tall = grid(180, 90, 1, 3, 10, 10);  // 190 × 280 mm
    EXPECT_EQ(orientationOn(tall, QPageSize::A4, QPageLayout::Landscape), QPageLayout::Portrait);
    EXPECT_EQ(cardPaper(both, {}, QPageSize::A4, QPageLayout::Landscape),
              (CardPaper{QPageSize::A4, QPageLayout::Landscape}));
    EXPECT_EQ(cardPaper(tall, {}, QPageSize::A4, QPageLayout::Landscape),
              (CardPaper{QPageSize::A4, QPageLayout::Portrait}));
    // The starter list's paper decides the size; the choice still decides the way round.
    const QList<StarterType> list{{both, QStringLiteral("US-Letter")}};
    EXPECT_EQ(cardPaper(both, list, QPageSize::A4, QPageLayout::Landscape),
              (CardPaper{QPageSize::Letter, QPageLayout::Landscape}));
}
