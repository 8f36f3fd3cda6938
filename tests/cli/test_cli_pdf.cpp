// brisella-cli pdf, run as a separate process: the layouts and their pages, the exit status
// of wrong usage, an unreadable card, a link in the way and a full disk.
#include "document/CardFile.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include "cli/CliProcess.h"

#include <memory>

using namespace bb;

namespace {

bbtest::CliRun runPdf(const QStringList& args) {
    return bbtest::runCli(QStringList{QStringLiteral("pdf")} + args);
}

QString writeCard(const QString& path) {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 120;
    doc->format.cardHeight = 80;
    doc->updateSideUnits();
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = rgbRef(0, 128, 0);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(cardFileBytes(*doc, DibImage()));
    return path;
}

// "Pages: N" and the first page's size in whole millimetres, from pdfinfo.
QString pdfSummary(const QString& pdf) {
    QProcess p;
    p.start("pdfinfo", {pdf});
    if (!p.waitForFinished(bbtest::kHangGuardMs)) return {};
    int pages = 0;
    double w = 0, h = 0;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.value(0) == "Pages:") pages = f.value(1).toInt();
        if (f.value(0) == "Page" && f.value(1) == "size:") {
            w = f.value(2).toDouble() * 25.4 / 72;
            h = f.value(4).toDouble() * 25.4 / 72;
        }
    }
    return QStringLiteral("%1 %2x%3").arg(pages).arg(qRound(w)).arg(qRound(h));
}

}  // namespace

TEST(CliPdf, LayoutsMarksAndBleedGiveTheirPages) {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) GTEST_SKIP() << "pdfinfo missing";
    bbtest::TempFolder dir;
    const QString card = writeCard(dir.file(QStringLiteral("karte.kar")));
    const QString out = dir.file(QStringLiteral("karte.pdf"));
    const struct {
        QStringList args;
        QString summary;
    } cases[] = {
        {{}, QStringLiteral("2 120x80")},
        {{"--layout", "folded", "--bleed", "3"}, QStringLiteral("2 126x86")},
        {{"--layout", "sides"}, QStringLiteral("1 120x160")},
        {{"--layout", "sides", "--crop-marks", "--bleed", "3"}, QStringLiteral("1 146x212")},
    };
    for (const auto& c : cases) {
        const bbtest::CliRun r = runPdf(QStringList{card, out} + c.args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(pdfSummary(out), c.summary) << c.args.join(' ').toStdString();
    }
}

TEST(CliPdf, WrongUsageFailuresAndRefusedTargets) {
    bbtest::TempFolder dir;
    const QString card = writeCard(dir.file(QStringLiteral("karte.kar")));
    const QString out = dir.file(QStringLiteral("karte.pdf"));
    for (const QStringList& args :
         {QStringList{card}, QStringList{card, out, "--layout", "quer"},
          QStringList{card, out, "--bleed", "-1"}, QStringList{card, out, "--bleed", "viel"},
          QStringList{card, out, "--dpi", "5"}, QStringList{card, out, "--gross"}}) {
        const bbtest::CliRun r = runPdf(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: brisella-cli pdf")) << r.err.toStdString();
    }
    EXPECT_EQ(runPdf({dir.file(QStringLiteral("fehlt.kar")), out}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));

    // A link in the way is neither followed nor replaced.
    const QString elsewhere = dir.file(QStringLiteral("ziel.txt"));
    QFile target(elsewhere);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("unberührt");
    target.close();
    ASSERT_TRUE(QFile::link(elsewhere, out));
    const bbtest::CliRun linked = runPdf({card, out});
    EXPECT_EQ(linked.exitCode, 1);
    EXPECT_TRUE(linked.err.contains("karte.pdf")) << linked.err.toStdString();
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), QByteArray("unberührt"));
}

TEST(CliPdf, AFullDiskFailsAndLeavesNoFile) {
    bbtest::FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    bbtest::TempFolder dir;
    const QString card = writeCard(dir.file(QStringLiteral("karte.kar")));
    ASSERT_TRUE(disk.fill());
    const bbtest::CliRun r = runPdf({card, disk.file(QStringLiteral("karte.pdf"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("karte.pdf")) << r.err.toStdString();
    // Nothing but the filler: no PDF, no temporary file.
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral(".filler")});
}
