// brisella-cli with an address list: personal cards printed in list order across sheets,
// their texts in the PDF, one picture per row (or two, for both sides) never written through
// a link, the card's fields, and bad lists refused.
#include "cli/PrintCli.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QStandardPaths>
#include <QStringEncoder>

#include <sys/stat.h>

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
    auto text = [&](int side, const QString& content) {
        bb::CardObject& t = *doc->sideSlots(side)[1];
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
    text(bb::SideOutside, QStringLiteral("Hallo {Vorname} {Nachname}"));
    text(bb::SideInside, QStringLiteral("Liebe {vorname}, {{danke}}"));
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

TEST(CliMerge, BothSidesGiveTwoPicturesPerRow) {
    MergeFiles f;
    const QString out = f.dir.file("beide");
    const CliRun ex =
        bbtest::runCli({"export", f.card, "--side", "both", "--merge", f.list, "--rows", "1,3",
                        "--name-column", "Vorname", "--format", "png", "-o", out});
    ASSERT_EQ(ex.exitCode, 0) << ex.err.constData();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              (QStringList{"Anna - Außenseite.png", "Anna - Innenseite.png", "Eva - Außenseite.png",
                           "Eva - Innenseite.png"}));
    // The print tests' card: red outside, blue inside.
    const QImage outside(out + "/Eva - Außenseite.png"), inside(out + "/Eva - Innenseite.png");
    ASSERT_FALSE(outside.isNull());
    ASSERT_FALSE(inside.isNull());
    EXPECT_EQ(outside.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(inside.pixelColor(5, 5), QColor(0, 0, 255));
    // Without a list there is one picture and no second name for it.
    EXPECT_EQ(
        bbtest::runCli({"export", f.card, "--side", "both", "-o", f.dir.file("x.png")}).exitCode,
        2);
}

TEST(CliMerge, PicturesNeverGoThroughLinksOrOntoWhatIsNoFile) {
    MergeFiles f;
    const QString out = f.dir.file("bilder");
    ASSERT_TRUE(QDir().mkpath(out));
    QFile victim(f.dir.file("victim"));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();
    // A link under Weber's name, a folder under Müller's, a pipe under record 6's.
    ASSERT_TRUE(QFile::link(QStringLiteral("../victim"), out + "/Weber.png"));
    ASSERT_TRUE(QDir().mkpath(out + "/Müller.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(out + "/Datensatz 6.png").constData(), 0600), 0);
    const CliRun ex =
        bbtest::runCli({"export", f.card, "--side", "outside", "--merge", f.list, "--rows", "1-3,6",
                        "--name-column", "nachname", "--format", "png", "-o", out});
    ASSERT_EQ(ex.exitCode, 0) << ex.err.constData();
    QFile kept(victim.fileName());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
    EXPECT_EQ(QFileInfo(out + "/Weber.png").symLinkTarget(), QFileInfo(victim).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(out + "/Müller.png").isDir());
    // Each picture took the next name free in the folder and not planned for another row.
    for (const char* name :
         {"Weber (3).png", "Weber (2).png", "Müller (2).png", "Datensatz 6 (2).png"})
        EXPECT_FALSE(QImage(out + "/" + QString::fromUtf8(name)).isNull()) << name;
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 6);
}

TEST(CliMerge, LongAndHiddenCharactersInNamesStopNoRow) {
    bbtest::TempFolder dir;
    const QString card = dir.file("karte.kar"), list = dir.file("namen.csv");
    ASSERT_TRUE(writeMergeCard(card));
    // Row 2's name is 100 euro signs (300 bytes of UTF-8), row 3's turns itself around.
    QString csv = QStringLiteral("Vorname;Nachname\nA;Eins\nB;") + QString(100, QChar(0x20AC)) +
                  QStringLiteral("\nC;Ev\u202Egnp.exe\n");
    for (int i = 4; i <= 20; ++i) csv += QStringLiteral("X;Name %1\n").arg(i);
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(csv.toUtf8());
    f.close();
    const QString out = dir.file("bilder");
    const CliRun ex = bbtest::runCli({"export", card, "--side", "inside", "--merge", list,
                                      "--name-column", "Nachname", "-o", out});
    ASSERT_EQ(ex.exitCode, 0) << ex.err.constData();
    const QStringList names = QDir(out).entryList(QDir::Files);
    EXPECT_EQ(names.size(), 20);
    EXPECT_TRUE(names.contains("Evgnp.exe.bmp"));
    EXPECT_TRUE(names.contains("Name 20.bmp"));
    for (const QString& name : names) {
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_FALSE(name.contains(QChar(0xFFFD)));
    }
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

TEST(CliMerge, AnEnglishListFillsTheGermanFieldsThroughTheGuessedMapping) {
    MergeFiles f;
    const QString list = f.dir.file("contacts.csv");
    {
        QFile out(list);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(
            "First Name,Last Name,Home City,Notes\r\nOttilie,Brennwald,Lindenfeld,\r\n"
            "Kasimir,Quastberg,Hagedorn,Nachbar\r\n");
    }
    const CliRun fields = bbtest::runCli({"merge-fields", f.card, "--merge", list});
    ASSERT_EQ(fields.exitCode, 0) << fields.err.constData();
    const QJsonObject j = QJsonDocument::fromJson(fields.out).object();
    EXPECT_EQ(j["columns"].toArray().toVariantList(),
              (QVariantList{"First Name", "Last Name", "Home City", "Notes"}));
    EXPECT_EQ(j["missing"].toArray().size(), 0);
    EXPECT_EQ(j["unused"].toArray().toVariantList(), (QVariantList{"Home City", "Notes"}));
    const QJsonArray mapping = j["mapping"].toArray();
    ASSERT_EQ(mapping.size(), 3);
    EXPECT_EQ(mapping[0].toObject(), (QJsonObject{{"field", "Vorname"}, {"column", "First Name"}}));
    EXPECT_EQ(mapping[1].toObject(), (QJsonObject{{"field", "Nachname"}, {"column", "Last Name"}}));
    EXPECT_EQ(mapping[2].toObject(), (QJsonObject{{"field", "Ort"}, {"column", "Home City"}}));

    const QString pdf = f.dir.file("english.pdf");
    const CliRun r =
        runPrint({f.card, "--side", "outside", "--merge", list, "--pdf", pdf, "--layout"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_FALSE(r.err.contains("no column")) << r.err.constData();
    const auto lines = layoutLines(r.out);
    ASSERT_EQ(lines.size(), 2);

    // --map chooses columns itself; an empty column leaves the field as typed.
    const CliRun chosen = bbtest::runCli(
        {"merge-fields", f.card, "--merge", list, "--map", "Vorname=Notes, Nachname="});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.err.constData();
    const QJsonObject c = QJsonDocument::fromJson(chosen.out).object();
    EXPECT_EQ(c["missing"].toArray().toVariantList(), QVariantList{"Nachname"});
    EXPECT_EQ(c["mapping"].toArray()[0].toObject(),
              (QJsonObject{{"field", "Vorname"}, {"column", "Notes"}}));
    const QString mapped = f.dir.file("mapped.pdf");
    const CliRun m = runPrint({f.card, "--side", "outside", "--merge", list, "--rows", "2", "--map",
                               "Vorname=Notes,Nachname=", "--pdf", mapped, "--layout"});
    ASSERT_EQ(m.exitCode, 0) << m.err.constData();
    EXPECT_TRUE(m.err.contains("{Nachname}")) << m.err.constData();
    // A column the list lacks, a part without "=", --map without a list: refused.
    const CliRun noColumn =
        bbtest::runCli({"merge-fields", f.card, "--merge", list, "--map", "Vorname=Rufname"});
    EXPECT_EQ(noColumn.exitCode, 1);
    EXPECT_TRUE(noColumn.err.contains("Rufname")) << noColumn.err.constData();
    EXPECT_EQ(
        bbtest::runCli({"merge-fields", f.card, "--merge", list, "--map", "Vorname"}).exitCode, 1);
    EXPECT_EQ(bbtest::runCli({"merge-fields", f.card, "--map", "Vorname=Notes"}).exitCode, 2);

    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    EXPECT_EQ(textInCard(pdf, 1, lines[0]), QStringLiteral("Hallo Ottilie Brennwald"));
    EXPECT_EQ(textInCard(pdf, 1, lines[1]), QStringLiteral("Hallo Kasimir Quastberg"));
    const auto mappedLines = layoutLines(m.out);
    ASSERT_EQ(mappedLines.size(), 1);
    EXPECT_EQ(textInCard(mapped, 1, mappedLines[0]), QStringLiteral("Hallo Nachbar {Nachname}"));
}
