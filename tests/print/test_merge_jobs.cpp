// Personal cards in print jobs: which list row each card of a one-sided, two-sided and
// quarter-fold job takes, and a run that fills each card from its own row.
#include "PdfPages.h"

#include "document/ConsoleDialogs.h"
#include "document/RenderContext.h"
#include "merge/AddressList.h"
#include "print/PrintRun.h"
#include "print/QuarterFold.h"
#include "print/TwoSided.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QPdfWriter>

using namespace bb;

namespace {

DeviceGeometry a4() {
    DeviceGeometry g;
    g.physW = 4960;
    g.physH = 7016;
    g.physOffX = 83;
    g.physOffY = 83;
    g.pageW = 4960 - 166;
    g.pageH = 7016 - 166;
    return g;
}

MergeRun mergeOf(std::vector<int> rows, int copies) {
    auto list = std::make_shared<AddressList>();
    list->columns = {QStringLiteral("Name")};
    for (int i = 0; i < 9; ++i) list->rows.push_back({QStringLiteral("N%1").arg(i)});
    return MergeRun{list, MergePlan{std::move(rows), copies}};
}

std::vector<int> records(const PrintPage& page) {
    std::vector<int> r;
    for (const PageCard& c : page.cards) r.push_back(c.record);
    return r;
}

}  // namespace

TEST(MergeJobs, EachCardTakesItsRowAcrossSheetsAndSides) {
    auto doc = std::make_unique<CardDocument>();
    doc->format = printtest::twoByFive();
    PrintOptions options;
    options.settings.usedPositions = 7;
    options.settings.copies = 999;  // a merge brings its own number of cards
    const MergeRun merge = mergeOf({4, 0, 8}, 2);

    const PrintJob side = sideJob(*doc, SideOutside, options, a4(), &merge);
    ASSERT_EQ(side.pages.size(), 2u);
    EXPECT_EQ(records(side.pages[0]), (std::vector<int>{4, 4, 0}));
    EXPECT_EQ(records(side.pages[1]), (std::vector<int>{0, 8, 8}));
    EXPECT_EQ(side.addresses, merge.list);

    // Both sides: every inside behind its outside has the same row, on each sheet.
    const PrintJob both = twoSidedJob(doc->format, options, a4(), TurnAxis::Vertical, &merge);
    ASSERT_EQ(both.pages.size(), 4u);
    for (size_t sheet = 0; sheet < 2; ++sheet)
        EXPECT_EQ(records(both.pages[2 * sheet]), records(both.pages[2 * sheet + 1])) << sheet;
    EXPECT_EQ(records(both.pages[2]), (std::vector<int>{0, 8, 8}));
    EXPECT_EQ(splitSides(both).backs.addresses, merge.list);

    // A quarter fold: one sheet per card, both halves of a sheet from one row.
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 140;
    const PrintJob fold = quarterFoldJob(doc->format, options, a4(), QSizeF(210, 297), &merge);
    ASSERT_EQ(fold.pages.size(), 6u);
    EXPECT_EQ(records(fold.pages[3]), (std::vector<int>{0, 0}));
    EXPECT_EQ(records(fold.pages[5]), (std::vector<int>{8, 8}));
}

TEST(MergeJobs, RunFillsEachCardFromItsRowAndKeepsTheShownFilling) {
    auto doc = std::make_unique<CardDocument>();
    doc->format = printtest::twoByFive();
    doc->updateSideUnits();
    CardObject& t = *doc->sideSlots(SideOutside)[1];
    t.kind = KindText;
    t.content = QStringLiteral("{Name}");
    PrintJob job;
    job.addresses = mergeOf({}, 1).list;
    job.pages.resize(1);
    job.pages[0].cards = {PageCard{SideOutside, 0, 0, 10, 10, false, 2},
                          PageCard{SideOutside, 0, 0, 10, 10, false, -1},
                          PageCard{SideOutside, 0, 0, 10, 10, false, 99}};

    RenderContext ctx;
    QStringList seen;  // what the renderer was given for each card
    ctx.fillText = [&seen](const QString& text) {
        seen << QStringLiteral("shown");
        return text;
    };
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    ConsoleDialogs dialogs;
    // A card with a row draws through a filling of its own; one without (or with a row the
    // list lacks) through the filling that was shown, which is back afterwards.
    const PrintRunResult r = runPrintJob(writer, *doc, ctx, job, dialogs);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("shown"), QStringLiteral("shown")}));
    ASSERT_TRUE(ctx.fillText);
    ctx.fillText(QStringLiteral("x"));
    EXPECT_EQ(seen.size(), 3);
}
