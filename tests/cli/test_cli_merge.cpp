// brisella-cli with an address list: personal cards printed in list order across sheets,
// their texts in the PDF, one picture per row, the card's fields, and bad lists refused.
#include "cli/PrintCli.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QStandardPaths>
#include <QStringEncoder>

namespace {

using bbtest::CliRun;
using bbtest::layoutLines;
using bbtest::runPrint;

// The print tests' 2 × 5 card with a greeting on each side that uses the list's fields.
bool writeMergeCard(const QString& path) {
    bbtest::ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format = printtest::twoByFive();
    printtest::colourSides(*doc);
    auto text = [&](const QString& content) {
        bb::CardObject& t = *doc->workingSlots[1];
        t.kind = bb::KindText;
        // Object positions count from the corner of the work area, the card a third in.
        t.x = doc->sideWidthUnits / 3 + 4000;
        t.y = doc->sideHeightUnits / 3 + 8000;
        t.width = 60000;
        t.height = 12000;
        t.fontName = QStringLiteral("Arial");
        t.fontSize = 12;
        t.color = bb::rgbRef(255, 255, 255);
        t.content = content;
    };
    text(QStringLiteral("Hallo {Vorname} {Nachname}"));
    doc->switchSide(bb::SideInside);
    text(QStringLiteral("Liebe {vorname}, {{danke}}"));
    doc->switchSide(bb::SideOutside);
    bb::CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    return bb::saveCardFile(*doc, path, fc);
}

// Seven people; the list as a German spreadsheet exports it (Windows-1252, semicolons).
bool writeList(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QString csv = QStringLiteral(
        "Vorname;Nachname;Ort\r\nAnna;Weber;Köln\r\nJürgen;Müller;Bonn\r\nEva;Weber;Jena\r\n"
        "Ole;Sørensen;Kiel\r\n\"Ute\";\"Groß\";Ulm\r\nMax;;Hof\r\nLea;Schmidt;Gera\r\n");
    return f.write(QStringEncoder("windows-1252").encode(csv)) > 0;
}

// The text pdftotext finds in a card's rectangle (device pixels at 600 dpi; a PDF page's
// printable area is the whole sheet).
QString textInCard(const QString& pdf, int page, const QJsonObject& card) {
    const double toPt = 72.0 / 600.0, margin = 0;
    QProcess p;
    p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-x",
                          QString::number(int((card["CardX"].toInt() + margin) * toPt)), "-y",
                          QString::number(int((card["CardY"].toInt() + margin) * toPt)), "-W",
                          QString::number(int(card["Wd"].toInt() * toPt)), "-H",
                          QString::number(int(card["Hd"].toInt() * toPt)), pdf, "-"});
    p.waitForFinished(bbtest::kHangGuardMs);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

struct MergeFiles {
    bbtest::TempFolder dir;
    QString card = dir.file("karte.kar"), list = dir.file("gäste.csv");
    MergeFiles() {
        EXPECT_TRUE(writeMergeCard(card));
        EXPECT_TRUE(writeList(list));
    }
};

}  // namespace

TEST(CliMerge, SevenRowsAfterThreeUsedPositionsInListOrderWithTheirTexts) {
    MergeFiles f;
    const QString pdf = f.dir.file("serie.pdf");
    const CliRun r = runPrint(
        {f.card, "--side", "outside", "--merge", f.list, "--used", "3", "--pdf", pdf, "--layout"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const auto lines = layoutLines(r.out);
    ASSERT_EQ(lines.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(lines[i]["record"].toInt(), i + 1);
        EXPECT_EQ(lines[i]["position"].toInt(), 3 + i);
        EXPECT_EQ(lines[i]["page"].toInt(), 1);
    }
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    EXPECT_EQ(printtest::pdfPageCount(pdf), 1);
    EXPECT_EQ(textInCard(pdf, 1, lines[0]), QStringLiteral("Hallo Anna Weber"));
    EXPECT_EQ(textInCard(pdf, 1, lines[1]), QStringLiteral("Hallo Jürgen Müller"));
    EXPECT_EQ(textInCard(pdf, 1, lines[5]), QStringLiteral("Hallo Max"));

    // Two of rows 2 and 4-5 each continue onto a second sheet; the mirrored insides keep the
    // record of their card.
    const QString inside = f.dir.file("innen.pdf");
    const CliRun in = runPrint({f.card, "--side", "inside", "--merge", f.list, "--rows", "2,4-5",
                                "--copies", "2", "--used", "7", "--pdf", inside, "--layout"});
    ASSERT_EQ(in.exitCode, 0) << in.err.constData();
    const auto back = layoutLines(in.out);
    ASSERT_EQ(back.size(), 6);
    const int records[] = {2, 2, 4, 4, 5, 5};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(back[i]["record"].toInt(), records[i]) << i;
    EXPECT_EQ(back[2]["page"].toInt(), 1);
    EXPECT_EQ(back[3]["page"].toInt(), 2);
    EXPECT_EQ(printtest::pdfPageCount(inside), 2);
    EXPECT_EQ(textInCard(inside, 1, back[0]), QStringLiteral("Liebe Jürgen, {danke}"));
    EXPECT_EQ(textInCard(inside, 2, back[4]), QStringLiteral("Liebe Ute, {danke}"));
}

TEST(CliMerge, FieldsReportAndOnePicturePerRow) {
    MergeFiles f;
    const CliRun fields = bbtest::runCli({"merge-fields", f.card, "--merge", f.list});
    ASSERT_EQ(fields.exitCode, 0) << fields.err.constData();
    const QJsonObject j = QJsonDocument::fromJson(fields.out).object();
    EXPECT_EQ(j["fields"].toArray().toVariantList(), (QVariantList{"Vorname", "Nachname"}));
    EXPECT_EQ(j["missing"].toArray().size(), 0);
    EXPECT_EQ(j["unused"].toArray().toVariantList(), QVariantList{"Ort"});
    EXPECT_EQ(j["records"].toInt(), 7);

    const QString out = f.dir.file("bilder");
    const CliRun ex =
        bbtest::runCli({"export", f.card, "--side", "outside", "--merge", f.list, "--rows", "1-3,6",
                        "--name-column", "nachname", "--format", "png", "-o", out + "/"});
    ASSERT_EQ(ex.exitCode, 0) << ex.err.constData();
    // Named after the column; the repeated name numbered, the empty cell by its record.
    const QStringList names = QDir(out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, (QStringList{"Datensatz 6.png", "Müller.png", "Weber (2).png", "Weber.png"}));
    const QImage anna(out + "/Weber.png"), eva(out + "/Weber (2).png");
    ASSERT_FALSE(anna.isNull());
    EXPECT_EQ(anna.size(), eva.size());
    EXPECT_NE(anna, eva);  // different names drawn
}

TEST(CliMerge, BadListsAndChoicesAreRefusedWithTheirReason) {
    MergeFiles f;
    QFile bad(f.dir.file("kaputt.csv"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("Vorname;Nachname\nAnna;Weber\n\"Jürgen;Müller\nEva;Weber\n");
    bad.close();
    const CliRun r = runPrint(
        {f.card, "--side", "outside", "--merge", bad.fileName(), "--pdf", f.dir.file("x.pdf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Zeile 3")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(f.dir.file("x.pdf")));

    const CliRun range = runPrint({f.card, "--side", "outside", "--merge", f.list, "--rows", "5-9",
                                   "--pdf", f.dir.file("x.pdf")});
    EXPECT_EQ(range.exitCode, 1);
    EXPECT_TRUE(range.err.contains("9")) << range.err.constData();
    const CliRun column = bbtest::runCli({"export", f.card, "--side", "outside", "--merge", f.list,
                                          "--name-column", "Titel", "-o", f.dir.file("b")});
    EXPECT_EQ(column.exitCode, 1);
    EXPECT_TRUE(column.err.contains("Nachname")) << column.err.constData();  // the columns listed
    EXPECT_EQ(runPrint({f.card, "--side", "outside", "--rows", "1", "--pdf", f.dir.file("x.pdf")})
                  .exitCode,
              2);
}
