// Formatted spans stay on the characters they format while the text around them is edited,
// and formatting a range splits, merges and drops spans so that they stay minimal.
#include "document/CardObject.h"
#include "document/TextRuns.h"

#include <gtest/gtest.h>

using namespace bb;

namespace {

TextRun span(int start, int length, int size = 20) {
    TextRun r;
    r.start = start;
    r.length = length;
    r.fontName = QStringLiteral("Liberation Sans");
    r.fontSize = size;
    return r;
}

CardObject text(const QString& content) {
    CardObject o;
    o.kind = KindText;
    o.content = content;
    o.fontName = QStringLiteral("Liberation Sans");
    o.fontSize = 12;
    o.color = 0x112233;
    return o;
}

std::vector<std::pair<int, int>> ranges(const std::vector<TextRun>& runs) {
    std::vector<std::pair<int, int>> out;
    for (const TextRun& r : runs) out.emplace_back(r.start, r.length);
    return out;
}

using Ranges = std::vector<std::pair<int, int>>;

}  // namespace

TEST(TextRuns, EditsBeforeInsideAndAfterASpanMoveGrowAndShrinkIt) {
    // "Hallo [Welt] da": the span holds "Welt" (6..10).
    std::vector<TextRun> runs = {span(6, 4)};
    adjustRunsForEdit(runs, 0, 0, 3);  // typed before: moves
    EXPECT_EQ(ranges(runs), (Ranges{{9, 4}}));
    adjustRunsForEdit(runs, 11, 0, 2);  // typed inside: grows
    EXPECT_EQ(ranges(runs), (Ranges{{9, 6}}));
    adjustRunsForEdit(runs, 15, 0, 1);  // typed right after its last character: takes its format
    EXPECT_EQ(ranges(runs), (Ranges{{9, 7}}));
    adjustRunsForEdit(runs, 9, 0, 1);  // typed right before its first character: stays outside
    EXPECT_EQ(ranges(runs), (Ranges{{10, 7}}));
    adjustRunsForEdit(runs, 8, 4, 0);  // a deletion reaching into it cuts its start
    EXPECT_EQ(ranges(runs), (Ranges{{8, 5}}));
    adjustRunsForEdit(runs, 20, 3, 0);  // after it: nothing changes
    EXPECT_EQ(ranges(runs), (Ranges{{8, 5}}));
    adjustRunsForEdit(runs, 7, 10, 2);  // replaced in full: gone, the replacement unformatted
    EXPECT_TRUE(runs.empty());
}

TEST(TextRuns, AnyChangeIsTakenAsOneReplacementBetweenCommonStartAndEnd) {
    std::vector<TextRun> runs = {span(0, 5), span(10, 4)};
    // "Frohe Weihnachten" → "Frohe schöne Weihnachten": inserted between the spans.
    adjustRunsForChange(runs, QStringLiteral("Frohe Weihnachten"),
                        QStringLiteral("Frohe schöne Weihnachten"));
    EXPECT_EQ(ranges(runs), (Ranges{{0, 5}, {17, 4}}));
    // An emoji (two UTF-16 units) typed inside the first span belongs to it.
    adjustRunsForChange(runs, QStringLiteral("Frohe schöne Weihnachten"),
                        QStringLiteral("Fro\U0001F384he schöne Weihnachten"));
    EXPECT_EQ(ranges(runs), (Ranges{{0, 7}, {19, 4}}));
    // Repeated letters: the common end is not counted twice.
    runs = {span(1, 2)};
    adjustRunsForChange(runs, QStringLiteral("aaa"), QStringLiteral("aa"));
    EXPECT_EQ(ranges(runs), (Ranges{{1, 1}}));
}

// A personal card: the name that fills a formatted field takes the field's format; spans
// around it keep theirs.
TEST(TextRuns, AFilledFieldTakesTheFormatOfTheFieldItReplaces) {
    const QString card = QStringLiteral("Liebe {Vorname}, alles Gute");
    const QString filled = QStringLiteral("Liebe Anna-Lena, alles Gute");
    std::vector<TextRun> runs = {span(6, 9), span(17, 5)};  // the field, "alles"
    adjustRunsForFill(runs, card, filled);
    EXPECT_EQ(ranges(runs), (Ranges{{6, 9}, {17, 5}}));
    runs = {span(6, 9)};
    adjustRunsForFill(runs, card, QStringLiteral("Liebe Jo, alles Gute"));
    EXPECT_EQ(ranges(runs), (Ranges{{6, 2}}));
    // A span that begins before the field grows over the name.
    runs = {span(0, 15)};
    adjustRunsForFill(runs, card, QStringLiteral("Liebe Jo, alles Gute"));
    EXPECT_EQ(ranges(runs), (Ranges{{0, 8}}));
    // An unformatted field stays unformatted, the span after it moves.
    runs = {span(17, 5)};
    adjustRunsForFill(runs, card, QStringLiteral("Liebe Jo, alles Gute"));
    EXPECT_EQ(ranges(runs), (Ranges{{10, 5}}));
}

TEST(TextRuns, FormattingARangeSplitsSpansAndDropsWhatEqualsTheObjectsFont) {
    CardObject o = text(QStringLiteral("Alles Gute zum Geburtstag"));
    // "Gute" bigger.
    formatRange(o, 6, 10, [](TextRun& r) { r.fontSize = 24; });
    ASSERT_EQ(ranges(o.extras.runs), (Ranges{{6, 4}}));
    EXPECT_EQ(o.extras.runs[0].fontName, o.fontName);
    EXPECT_EQ(o.extras.runs[0].fontColor, o.color);
    EXPECT_EQ(formatAt(o, 7).fontSize, 24);
    EXPECT_EQ(formatAt(o, 11).fontSize, 12);

    // "Gute zum" bold: the 24-point part keeps its size, two spans of differing format.
    formatRange(o, 6, 14, [](TextRun& r) { r.fontStyle |= StyleBold; });
    ASSERT_EQ(ranges(o.extras.runs), (Ranges{{6, 4}, {10, 4}}));
    EXPECT_EQ(o.extras.runs[0].fontSize, 24);
    EXPECT_EQ(o.extras.runs[1].fontSize, 12);
    EXPECT_TRUE(o.extras.runs[1].fontStyle & StyleBold);

    // The same size for all of it: the spans join into one.
    formatRange(o, 6, 14, [](TextRun& r) { r.fontSize = 24; });
    EXPECT_EQ(ranges(o.extras.runs), (Ranges{{6, 8}}));

    // Back to the object's own format: no span is left.
    formatRange(o, 0, 100, [](TextRun& r) {
        r.fontSize = 12;
        r.fontStyle = 0;
    });
    EXPECT_TRUE(o.extras.runs.empty());
    // An empty or reversed range does nothing.
    formatRange(o, 5, 5, [](TextRun& r) { r.fontSize = 30; });
    formatRange(o, 9, 3, [](TextRun& r) { r.fontSize = 30; });
    EXPECT_TRUE(o.extras.runs.empty());
}

TEST(TextRuns, NormalizingRepairsOverlapsAndSpansBeyondTheText) {
    const TextRun base = baseFormat(text(QString()));
    std::vector<TextRun> runs = {span(8, 10), span(2, 4), span(4, 6, 30), span(-3, 1)};
    normalizeRuns(runs, 12, base);
    // Sorted, the later overlap loses its start, cut at the text's end, the empty one gone.
    EXPECT_EQ(ranges(runs), (Ranges{{2, 4}, {6, 4}, {10, 2}}));
}

TEST(TextRuns, SizeStepsGoUpAndDownAndStayInRange) {
    EXPECT_EQ(nextFontSize(12, true), 14);
    EXPECT_EQ(nextFontSize(13, true), 14);
    EXPECT_EQ(nextFontSize(12, false), 11);
    EXPECT_EQ(nextFontSize(6, false), 5);
    EXPECT_EQ(nextFontSize(1, false), 1);
    EXPECT_GT(nextFontSize(96, true), 96);
}
