// A cancelled run on a real CUPS printer submits nothing. Starts a private CUPS server of its
// own (a paused queue whose jobs wait, writing to /dev/null), so the machine's printers and
// settings are never touched; skipped where cupsd cannot run.
#include "PdfPages.h"

#include "document/RenderContext.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

using namespace bb;

namespace {

class PrivateCups {
public:
    // Empty when the server runs with the paused queue "Wartet", else why not.
    QString start() {
        if (geteuid() != 0) return QStringLiteral("needs root to run cupsd");
        const QString cupsd = QStandardPaths::findExecutable("cupsd", {"/usr/sbin", "/sbin"});
        if (cupsd.isEmpty() || QStandardPaths::findExecutable("lpadmin").isEmpty())
            return QStringLiteral("cupsd or lpadmin not installed");
        const QString root = dir_.path();
        for (const char* sub : {"spool", "tmp", "cache", "state", "log"})
            QDir(root).mkpath(QLatin1String(sub));
        QFile::setPermissions(root + "/tmp", QFileDevice::Permissions(0x7777));
        write("cupsd.conf", "Listen " + socket() +
                                "\nLogLevel warn\n<Location />\n  Order allow,deny\n  Allow all\n"
                                "</Location>\n");
        write("cups-files.conf",
              "ServerRoot " + root + "\nRequestRoot " + root + "/spool\nTempDir " + root +
                  "/tmp\nCacheDir " + root + "/cache\nStateDir " + root + "/state\nErrorLog " +
                  root + "/log/error_log\nAccessLog " + root + "/log/access_log\nPageLog " + root +
                  "/log/page_log\nSystemGroup root\nFileDevice Yes\n");
        server_.start(cupsd, {"-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"});
        if (!server_.waitForStarted()) return QStringLiteral("cupsd did not start");
        const bool up = bbtest::runUntil([&] {
            if (server_.state() == QProcess::NotRunning) return true;
            QThread::msleep(20);
            return run("lpstat", {"-r"}).contains("is running");
        });
        if (!up || server_.state() == QProcess::NotRunning) return QStringLiteral("cupsd ended");
        // A queue that takes jobs and keeps them waiting: nothing is ever processed.
        run("lpadmin", {"-p", "Wartet", "-v", "file:///dev/null", "-E"});
        run("cupsdisable", {"Wartet"});
        if (!run("lpstat", {"-a", "Wartet"}).contains("accepting"))
            return QStringLiteral("the queue could not be added");
        return {};
    }
    ~PrivateCups() {
        server_.terminate();
        server_.waitForFinished(bbtest::kHangGuardMs);
    }
    QString socket() const { return dir_.file("cups.sock"); }
    // The jobs waiting in the queue, one line each.
    QByteArray jobs() { return run("lpstat", {"-o", "Wartet"}).trimmed(); }

private:
    void write(const char* name, const QString& text) {
        QFile f(dir_.file(QLatin1String(name)));
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
    QByteArray run(const QString& program, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CUPS_SERVER", socket());
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(bbtest::kHangGuardMs);
        return p.readAllStandardOutput();
    }

    bbtest::TempFolder dir_;
    QProcess server_;
};

}  // namespace

TEST(PrintQueueCancel, CancelledRunSubmitsNothingAndTheNextRunPrints) {
    PrivateCups cups;
    const QString why = cups.start();
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    // Before the first printer query: the print support reads the server once.
    qputenv("CUPS_SERVER", QFile::encodeName(cups.socket()));

    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    doc->format = printtest::twoByFive();
    printtest::colourSides(*doc);
    PrinterTarget target;
    ASSERT_TRUE(target.selectPrinter(QStringLiteral("Wartet")));
    ASSERT_EQ(target.printer().outputFormat(), QPrinter::NativeFormat);
    target.printer().setCopyCount(2);  // as the set-up dialog may leave it
    PrintOptions options;
    options.settings = {0, 30, 1};

    struct StopAtTwo : PrintProgress {
        bool pageStarting(int page, int) override { return page < 2; }
    } stop;
    const PrintRunResult cancelled =
        printCards(target.printer(), *doc, SideOutside, ctx, options, dialogs, &stop);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.pages, 1);
    EXPECT_EQ(cups.jobs().toStdString(), "");

    // The printer's own settings are back: a whole run becomes one job.
    const PrintRunResult whole =
        printCards(target.printer(), *doc, SideOutside, ctx, options, dialogs);
    ASSERT_TRUE(whole.ok) << whole.error.toStdString();
    EXPECT_EQ(cups.jobs().count('\n'), 0);
    EXPECT_TRUE(cups.jobs().startsWith("Wartet-")) << cups.jobs().constData();
    EXPECT_EQ(target.printer().copyCount(), 2);
}
