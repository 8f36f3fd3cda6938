// brisella-cli labels: the addresses of the chosen rows on the right labels of the right sheets,
// a template of one's own, a sheet given by its measures, wrong usage refused, and a PDF never
// written through a link or half onto a full disk.
#include "cli/CliProcess.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

using bbtest::CliRun;
using bbtest::runCli;

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Four invented people, UTF-8 with commas.
bool writeList(const QString& path) {
    return writeFile(path,
                     "Anrede,Vorname,Nachname,Straße,PLZ,Ort\n"
                     "Frau,Henrike,Ulmenstock,Birkenpfad 4,11111,Auenhain\n"
                     ",Jannis,Kieselbach,Mühlgasse 12,22222,Steinbrück\n"
                     "Herrn,Mats,Fliederhof,Am Wall 7,33333,Grünstadt\n"
                     ",Selma,Dornquist,Heckenweg 1,44444,Lindau-Ost\n");
}

// The text of page `page` (from 1) of a PDF, as pdftotext reads it.
QString pdfText(const QString& pdf, int page) {
    QProcess p;
    p.start("pdftotext",
            {"-f", QString::number(page), "-l", QString::number(page), "-layout", pdf, "-"});
    if (!p.waitForFinished(bbtest::kHangGuardMs)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPageCount(const QString& pdf) {
    QProcess p;
    p.start("pdfinfo", {pdf});
    if (!p.waitForFinished(bbtest::kHangGuardMs)) return -1;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

class CliLabels : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdfinfo").isEmpty())
            GTEST_SKIP() << "no pdftotext/pdfinfo";
        ASSERT_TRUE(writeList(list));
    }
    bbtest::TempFolder dir;
    const QString list = dir.file("adressen.csv");
    const QString pdf = dir.file("etiketten.pdf");
};

}  // namespace

TEST_F(CliLabels, ChosenRowsAndCopiesFillTheLabelsAfterTheUsedOnes) {
    // 3 × 8 sheet with 22 used: row 3 twice on the last two labels, row 1 twice on sheet two.
    const CliRun run = runCli({"labels", "--merge", list, "--rows", "3,1", "--copies", "2",
                               "--sheet", "3474", "--used", "22", "--pdf", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("printed 4 label(s) on 2 sheet(s)")) << run.out.toStdString();
    ASSERT_EQ(pdfPageCount(pdf), 2);
    const QString first = pdfText(pdf, 1), second = pdfText(pdf, 2);
    EXPECT_EQ(first.count("Mats Fliederhof"), 2) << first.toStdString();
    EXPECT_EQ(first.count("Herrn"), 2);
    EXPECT_FALSE(first.contains("Henrike"));
    EXPECT_EQ(second.count("Henrike Ulmenstock"), 2) << second.toStdString();
    EXPECT_EQ(second.count("11111 Auenhain"), 2);
    EXPECT_FALSE(second.contains("Fliederhof"));
    EXPECT_FALSE(second.contains("Kieselbach"));
}

TEST_F(CliLabels, OwnTemplateAndOwnSheetMeasures) {
    const QString tmpl = dir.file("vorlage.txt");
    ASSERT_TRUE(writeFile(tmpl, "An {Vorname} {Nachname}\n{Land}\n{Ort}\n"));
    const CliRun run =
        runCli({"labels", "--merge", list, "--sheet", "custom", "--label", "100x50", "--margins",
                "5,10", "--pitch", "100,55", "--grid", "2x5", "--template", tmpl, "--pdf", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("printed 4 label(s) on 1 sheet(s)")) << run.out.toStdString();
    const QString text = pdfText(pdf, 1);
    EXPECT_TRUE(text.contains("An Selma Dornquist")) << text.toStdString();
    EXPECT_TRUE(text.contains("Lindau-Ost"));
    // Neither the street of the default template nor a field the list lacks.
    EXPECT_FALSE(text.contains("Heckenweg"));
    EXPECT_FALSE(text.contains("{Land}"));

    // Columns named as other programs name them fill the same fields, or as --map says.
    const QString english = dir.file("english.csv");
    ASSERT_TRUE(writeFile(english,
                          "First Name,Last Name,City,Nickname\n"
                          "Ansgar,Mistelbrand,Kranichfeld,Gari\n"));
    const CliRun mapped = runCli({"labels", "--merge", english, "--map", "Vorname=Nickname",
                                  "--sheet", "L7163", "--pdf", pdf});
    ASSERT_EQ(mapped.exitCode, 0) << mapped.err.toStdString();
    const QString mappedText = pdfText(pdf, 1);
    EXPECT_TRUE(mappedText.contains("Gari Mistelbrand")) << mappedText.toStdString();
    EXPECT_TRUE(mappedText.contains("Kranichfeld"));
}

TEST_F(CliLabels, WrongUsageIsRefusedBeforeAnythingIsWritten) {
    const struct {
        QStringList args;
        QByteArray says;
    } cases[] = {
        {{"--sheet", "L9999", "--pdf", pdf}, "known: L7163"},
        {{"--sheet", "L7163"}, "either --pdf"},
        {{"--sheet", "L7163", "--used", "abc", "--pdf", pdf}, "--used"},
        {{"--sheet", "L7163", "--label", "10x10", "--pdf", pdf}, "only with --sheet custom"},
        {{"--sheet", "custom", "--label", "100x50", "--margins", "5,10", "--pitch", "90,55",
          "--grid", "2x5", "--pdf", pdf},
         "überlappen"},
        {{"--sheet", "custom", "--label", "100x50", "--margins", "15,10", "--pitch", "100,55",
          "--grid", "2x5", "--pdf", pdf},
         "nicht auf das Blatt"},
        {{"--sheet", "custom", "--label", "100", "--margins", "5,10", "--pitch", "100,55", "--grid",
          "2x5", "--pdf", pdf},
         "--label WxH"},
        {{"--sheet", "custom", "--label", "100x50", "--margins", "5,10", "--pitch", "100,55",
          "--grid", "1e10x5", "--pdf", pdf},
         "--grid COLUMNSxROWS"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(QStringList{"labels", "--merge", list} + c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage: brisella-cli labels"));
    }
    EXPECT_FALSE(QFile::exists(pdf));
    // A list that cannot be read, a bad row range: failures, not usage.
    EXPECT_EQ(runCli({"labels", "--merge", dir.file("fehlt.csv"), "--sheet", "L7163", "--pdf", pdf})
                  .exitCode,
              1);
    const CliRun rows =
        runCli({"labels", "--merge", list, "--rows", "9", "--sheet", "L7163", "--pdf", pdf});
    EXPECT_EQ(rows.exitCode, 1);
    EXPECT_TRUE(rows.err.contains("--rows 9")) << rows.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(CliLabels, APdfIsNeverWrittenThroughALinkOutOfItsFolder) {
    bbtest::TempFolder elsewhere;
    const QString victim = elsewhere.file("wichtig.txt");
    ASSERT_TRUE(writeFile(victim, "bleibt"));
    ASSERT_TRUE(QFile::link(victim, pdf));
    const CliRun run = runCli({"labels", "--merge", list, "--sheet", "L7163", "--pdf", pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot write")) << run.err.toStdString();
    EXPECT_EQ(readAll(victim), "bleibt");
}

TEST_F(CliLabels, AFullDiskKeepsTheEarlierPdf) {
    bbtest::FullDisk disk(512);
    BB_REQUIRE_FULL_DISK(disk);
    const QString out = disk.file("alt.pdf");
    ASSERT_EQ(runCli({"labels", "--merge", list, "--sheet", "L7163", "--pdf", out}).exitCode, 0);
    const QByteArray earlier = readAll(out);
    ASSERT_TRUE(disk.fill());
    const CliRun run =
        runCli({"labels", "--merge", list, "--sheet", "3474", "--copies", "30", "--pdf", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.out.contains("printed"));
    EXPECT_EQ(readAll(out), earlier);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{".filler", "alt.pdf"}));
}
