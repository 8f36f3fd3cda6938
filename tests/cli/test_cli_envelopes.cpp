// brisella-cli envelopes: the envelopes of a list in the order of the chosen rows, the layout
// lines, wrong usage, and the PDF never written through a link or half onto a full disk.
#include "CliProcess.h"
#include "print/EnvelopePdfText.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace bbtest;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct EnvelopeFiles {
    TempFolder dir;
    QString list = dir.file("adressen.csv");
    QString sender = dir.file("absender.txt");
    EnvelopeFiles() {
        EXPECT_TRUE(writeFile(list,
                              "Anrede;Vorname;Nachname;Straße;PLZ;Ort;Land\n"
                              "Frau;Wilma;Querbeet;Klatschmohnweg 4;34567;Auenfeld;Deutschland\n"
                              ";Oskar;Tannhuber;;34568;Birkenstein;\n"
                              "Herrn;Ludo;Zwirbel;Brunnengasse 2;5020;Wolkenbach;Österreich\n"));
        EXPECT_TRUE(writeFile(sender,
                              "Ida Pfefferkorn\nLindenhang 12\n34560 Auenfeld\n"
                              "Land: Deutschland\n"));
    }
    QStringList args(const QStringList& more) const {
        return QStringList{"envelopes", "--merge", list, "--sender", sender} + more;
    }
};

std::vector<QJsonObject> layoutLines(const QByteArray& out) {
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty()) lines.push_back(QJsonDocument::fromJson(line).object());
    return lines;
}

}  // namespace

TEST(CliEnvelopes, RowsGiveEnvelopesInTheirOrderWithTheLayoutOfEach) {
    EnvelopeFiles f;
    const QString pdf = f.dir.file("umschlaege.pdf");
    const CliRun run =
        runCli(f.args({"--rows", "3,1,2", "--size", "C6", "--window", "--pdf", pdf, "--layout"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto lines = layoutLines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out.toStdString();
    const int records[] = {3, 1, 2};
    for (size_t i = 0; i < 3; ++i) {
        const QJsonObject& o = lines[i];
        EXPECT_EQ(o["record"].toInt(), records[i]);
        EXPECT_EQ(o["size"].toString(), "C6");
        EXPECT_TRUE(o["window"].toBool());
        EXPECT_DOUBLE_EQ(o["widthMm"].toDouble(), 162);
        EXPECT_DOUBLE_EQ(o["heightMm"].toDouble(), 114);
        // C6 window: 20 mm from the left, 15 mm from the bottom; the address 5 mm inside
        // and 17.7 mm down, the sender line right above it.
        const QJsonObject r = o["recipient"].toObject();
        EXPECT_NEAR(r["x"].toDouble(), 25, 0.01);
        EXPECT_NEAR(r["y"].toDouble(), 54 + 17.7, 0.01);
        const QJsonObject s = o["senderLine"].toObject();
        EXPECT_NEAR(s["y"].toDouble() + s["height"].toDouble(), r["y"].toDouble(), 0.01);
        EXPECT_EQ(s["lines"].toArray().first().toString(),
                  "Ida Pfefferkorn, Lindenhang 12, 34560 Auenfeld");
    }
    EXPECT_EQ(lines[0]["recipient"].toObject()["lines"].toArray().last().toString(), "ÖSTERREICH");
    EXPECT_EQ(lines[2]["recipient"].toObject()["lines"].toArray(),
              QJsonArray({"Oskar Tannhuber", "34568 Birkenstein"}));

    if (!envtest::havePdftotext()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const auto pages = envtest::pdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[0].find("Zwirbel"), nullptr);
    EXPECT_NE(pages[1].find("Querbeet"), nullptr);
    EXPECT_NE(pages[2].find("Tannhuber"), nullptr);
}

TEST(CliEnvelopes, WrongUsageAndUnreadableInputs) {
    EnvelopeFiles f;
    const QString pdf = f.dir.file("u.pdf");
    for (const QStringList& wrong :
         {f.args({"--size", "C9", "--pdf", pdf}),
          f.args({"--size", "B6", "--window", "--pdf", pdf}), f.args({"--size", "C6"}),
          f.args({"--pdf", pdf}), f.args({"--size", "DL", "--pdf", pdf, "--printer", "x"}),
          f.args({"--size", "DL", "--pdf", pdf, "extra"})}) {
        const CliRun run = runCli(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("usage: brisella-cli envelopes")) << run.err.toStdString();
    }
    ASSERT_TRUE(writeFile(f.sender, "\n\n"));
    const CliRun noSender = runCli(f.args({"--size", "DL", "--pdf", pdf}));
    EXPECT_EQ(noSender.exitCode, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    const CliRun noList =
        runCli({"envelopes", "--merge", f.dir.file("fehlt.csv"), "--size", "DL", "--pdf", pdf});
    EXPECT_EQ(noList.exitCode, 1);
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(CliEnvelopes, FeedAndA4PlaceTheEnvelopeOnTheSheet) {
    EnvelopeFiles f;
    const QString pdf = f.dir.file("a4.pdf");
    for (const QStringList& wrong :
         {f.args({"--size", "C6", "--feed", "sideways,up,left", "--pdf", pdf}),
          f.args({"--size", "DL", "--feed", "long,up,centre", "--a4", "--pdf", pdf})}) {
        const CliRun run = runCli(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
    const CliRun run = runCli(f.args(
        {"--rows", "1", "--size", "C6", "--feed", "short,up,left,head", "--a4", "--pdf", pdf}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    if (!envtest::havePdftotext()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const auto pages = envtest::pdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].sizeMm.width(), 210, 1);
    EXPECT_NEAR(pages[0].sizeMm.height(), 297, 1);
    // Against the left guide, short edge first: the envelope covers 114 × 162 mm at the
    // sheet's top left, its address reading downwards.
    const envtest::PdfWord* name = pages[0].find("Querbeet");
    ASSERT_NE(name, nullptr);
    EXPECT_LT(name->mm.right(), 114);
    EXPECT_LT(name->mm.bottom(), 162);
    EXPECT_GT(name->mm.height(), name->mm.width());
}

TEST(CliEnvelopes, ATemplateFileAndTheListsColumnNamesShapeTheAddress) {
    EnvelopeFiles f;
    const QString tmpl = f.dir.file("vorlage.txt");
    ASSERT_TRUE(writeFile(tmpl, "{Titel} {Nachname}, {Vorname}\r\n{Ort}\r\n"));
    const CliRun run =
        runCli(f.args({"--rows", "1", "--size", "US10", "--template", tmpl, "--layout"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto lines = layoutLines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["recipient"].toObject()["lines"].toArray(),
              QJsonArray({"Querbeet, Wilma", "Auenfeld"}));
    // Centred on the envelope.
    const QJsonObject r = lines[0]["recipient"].toObject();
    EXPECT_NEAR(r["x"].toDouble() + r["width"].toDouble() / 2, 241.3 / 2, 0.02);

    // A list in another program's words fills the address by the usual names; --map overrides.
    ASSERT_TRUE(writeFile(f.list,
                          "Given Name;Family Name;Nickname;Home City\n"
                          "Wilhelmine;Querbeet;Wilma;Auenfeld\n"));
    const CliRun guessed = runCli(f.args({"--size", "US10", "--template", tmpl, "--layout"}));
    ASSERT_EQ(guessed.exitCode, 0) << guessed.err.toStdString();
    EXPECT_EQ(layoutLines(guessed.out)[0]["recipient"].toObject()["lines"].toArray(),
              QJsonArray({"Querbeet, Wilhelmine", "Auenfeld"}));
    const CliRun mapped = runCli(
        f.args({"--size", "US10", "--template", tmpl, "--map", "Vorname=Nickname", "--layout"}));
    ASSERT_EQ(mapped.exitCode, 0) << mapped.err.toStdString();
    EXPECT_EQ(layoutLines(mapped.out)[0]["recipient"].toObject()["lines"].toArray(),
              QJsonArray({"Querbeet, Wilma", "Auenfeld"}));
}

TEST(CliEnvelopes, ThePdfIsNeverWrittenThroughALinkOutOfItsFolder) {
    EnvelopeFiles f;
    TempFolder elsewhere;
    const QString victim = elsewhere.file("fremd.pdf");
    ASSERT_TRUE(writeFile(victim, "keep me"));
    const QString link = f.dir.file("umschlag.pdf");
    ASSERT_TRUE(QFile::link(victim, link));
    const CliRun run = runCli(f.args({"--size", "DL", "--pdf", link}));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(readAll(victim), QByteArray("keep me"));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(victim).absoluteFilePath());
}

TEST(CliEnvelopes, AFullDiskKeepsTheEarlierPdf) {
    FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    EnvelopeFiles f;
    const QString pdf = disk.file("umschlag.pdf");
    ASSERT_TRUE(writeFile(pdf, "%PDF-1.4 earlier"));
    ASSERT_TRUE(disk.fill());
    const CliRun run = runCli(f.args({"--size", "C5", "--pdf", pdf}));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(readAll(pdf), QByteArray("%PDF-1.4 earlier"));
}
