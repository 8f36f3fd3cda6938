// brisella-cli on a full disk and killed half-way: every command that writes a file exits 1
// with the reason and leaves the earlier file as it was; nothing claims success.
#include "cli/PrintCli.h"
#include "support/FullDisk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>

#include <csignal>

using namespace bbtest;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writePlain(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The state letter of a running process ("T" when stopped), from /proc.
char processState(qint64 pid) {
    const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() ? stat.at(close + 2) : '?';
}

const QByteArray kNoSpace = "Kein Speicherplatz mehr auf dem Ger";

}  // namespace

TEST(CliFailedWrites, ResaveOntoAFullDiskKeepsTheCard) {
    FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    const QString card = disk.file(QStringLiteral("Voll.kar"));
    ASSERT_TRUE(writePrintCard(card));
    const QByteArray old = readAll(card);
    ASSERT_TRUE(disk.fill());

    const CliRun run = runCli({QStringLiteral("resave"), card, QStringLiteral("-o"), card});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(kNoSpace)) << run.err.toStdString();
    EXPECT_EQ(readAll(card), old);
}

TEST(CliFailedWrites, PictureOutputsOntoAFullDiskFailAndKeepTheEarlierFiles) {
    FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    TempFolder dir;
    const QString card = dir.file(QStringLiteral("karte.kar"));
    ASSERT_TRUE(writePrintCard(card));
    const QString png = dir.file(QStringLiteral("bild.png"));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(png));
    const QString old = disk.file(QStringLiteral("alt.png"));
    ASSERT_TRUE(writePlain(old, "das frühere Bild"));
    // Export writes the formats of the picture library, PNG not among them.
    const QString oldBmp = disk.file(QStringLiteral("alt.bmp"));
    ASSERT_TRUE(writePlain(oldBmp, "das frühere Bild"));
    ASSERT_TRUE(disk.fill());

    const QList<QStringList> commands = {
        {QStringLiteral("render"), card, QStringLiteral("--side"), QStringLiteral("outside"),
         QStringLiteral("--dpi"), QStringLiteral("50"), QStringLiteral("-o"), old},
        {QStringLiteral("thumbnail"), card, QStringLiteral("-o"), old},
        {QStringLiteral("convert"), png, old},
        {QStringLiteral("export"), card, QStringLiteral("--side"), QStringLiteral("inside"),
         QStringLiteral("-o"), oldBmp},
    };
    for (const QStringList& args : commands) {
        SCOPED_TRACE(args.first().toStdString());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
        EXPECT_EQ(readAll(old), "das frühere Bild");
        EXPECT_EQ(readAll(oldBmp), "das frühere Bild");
    }
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral(".filler"), QStringLiteral("alt.bmp"),
                           QStringLiteral("alt.png")}));
}

TEST(CliFailedWrites, PrintToAPdfOnAFullDiskKeepsTheEarlierPdf) {
    FullDisk disk(512);
    BB_REQUIRE_FULL_DISK(disk);
    TempFolder dir;
    const QString card = dir.file(QStringLiteral("karte.kar"));
    ASSERT_TRUE(writePrintCard(card));
    const QString pdf = disk.file(QStringLiteral("old.pdf"));
    const CliRun first = runPrint(
        {card, QStringLiteral("--side"), QStringLiteral("outside"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QByteArray earlier = readAll(pdf);
    ASSERT_TRUE(disk.fill());

    const CliRun run =
        runPrint({card, QStringLiteral("--side"), QStringLiteral("both"),
                  QStringLiteral("--copies"), QStringLiteral("40"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.out.contains("printed")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QFile::encodeName(pdf))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(kNoSpace)) << run.err.toStdString();
    EXPECT_EQ(readAll(pdf), earlier);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral(".filler"), QStringLiteral("old.pdf")}));
}

// The tool stops itself before its second page (a test hook in the environment), half-way
// through writing the new PDF; killed there, it leaves the earlier PDF whole.
TEST(CliFailedWrites, AKilledPrintRunLeavesTheEarlierPdf) {
    TempFolder dir;
    const QString card = dir.file(QStringLiteral("karte.kar"));
    ASSERT_TRUE(writePrintCard(card));
    const QString pdf = dir.file(QStringLiteral("old.pdf"));
    ASSERT_EQ(runPrint({card, QStringLiteral("--side"), QStringLiteral("outside"),
                        QStringLiteral("--pdf"), pdf})
                  .exitCode,
              0);
    const QByteArray earlier = readAll(pdf);
    ASSERT_TRUE(earlier.startsWith("%PDF-"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("/nonexistent/cups.sock"));
    env.insert(QStringLiteral("BRISELLA_STOP_BEFORE_PAGE"), QStringLiteral("2"));
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(BRISELLA_CLI_PATH),
               {QStringLiteral("print"), card, QStringLiteral("--side"), QStringLiteral("outside"),
                QStringLiteral("--copies"), QStringLiteral("30"), QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(tool.waitForStarted(kHangGuardMs));
    QElapsedTimer guard;
    guard.start();
    while (processState(tool.processId()) != 'T' && tool.state() == QProcess::Running &&
           guard.elapsed() < kHangGuardMs)
        QThread::msleep(10);
    ASSERT_EQ(processState(tool.processId()), 'T') << "the tool never reached its second page";
    // Half-way: the new PDF is being written beside the old one.
    const QStringList during =
        QDir(dir.path()).entryList({QStringLiteral(".old.pdf.*")}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(during.size(), 1);
    ::kill(pid_t(tool.processId()), SIGKILL);
    ASSERT_TRUE(tool.waitForFinished(kHangGuardMs));
    EXPECT_EQ(tool.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(readAll(pdf), earlier);
}
