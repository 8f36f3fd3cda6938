// brisella-cli print against print servers that do not answer, all on the loopback address: a
// PDF file never asks the service, a printer fails within the time limit with the reason, and
// a server that cannot be reached is told apart from an unknown printer.
#include "cli/PrintCli.h"

#include "support/SilentServer.h"

#include <gtest/gtest.h>

using namespace bbtest;

namespace {

CliRun runPrintOn(const QString& server, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", server);
    return runCli(QStringList{"print"} + args, env, kHangGuardMs);
}

}  // namespace

TEST(CliPrintService, APdfFileNeverAsksThePrintService) {
    TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    SilentServer server(SilentServer::AcceptAndStaySilent);
    ASSERT_TRUE(server.ok());
    const CliRun card = runPrintOn(server.address(), {dir.file("card.kar"), "--side", "outside",
                                                      "--pdf", dir.file("card.pdf")});
    EXPECT_EQ(card.exitCode, 0) << card.err.constData();
    const CliRun sheet =
        runPrintOn(server.address(), {"--alignment-sheet", "--pdf", dir.file("sheet.pdf")});
    EXPECT_EQ(sheet.exitCode, 0) << sheet.err.constData();
    EXPECT_EQ(server.connections(), 0);
}

TEST(CliPrintService, APrinterOnASilentServerFailsWithTheReason) {
    TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    const QString card = dir.file("card.kar");
    for (const auto mode : {SilentServer::AcceptAndStaySilent, SilentServer::NeverAccept}) {
        SilentServer server(mode);
        ASSERT_TRUE(server.ok());
        const CliRun named =
            runPrintOn(server.address(), {card, "--side", "outside", "--printer", "Irgendwo"});
        EXPECT_EQ(named.exitCode, 1) << mode;
        EXPECT_TRUE(named.err.contains("does not answer (no reply within 5 seconds)"))
            << named.err.constData();
        EXPECT_FALSE(named.err.contains("no printer named")) << named.err.constData();
        // The default printer: nothing to print to, and why.
        const CliRun byDefault = runPrintOn(server.address(), {card, "--side", "outside"});
        EXPECT_EQ(byDefault.exitCode, 1) << mode;
        EXPECT_TRUE(byDefault.err.contains("nothing to print to")) << byDefault.err.constData();
        EXPECT_TRUE(byDefault.err.contains("does not answer")) << byDefault.err.constData();
        const CliRun sheet = runPrintOn(server.address(), {"--alignment-sheet", "--printer", "X"});
        EXPECT_EQ(sheet.exitCode, 1) << mode;
        EXPECT_TRUE(sheet.err.contains("does not answer")) << sheet.err.constData();
    }
}

TEST(CliPrintService, AClosedPortIsUnreachableNotAMissingPrinter) {
    TempFolder dir;
    ASSERT_TRUE(writePrintCard(dir.file("card.kar")));
    SilentServer closed(SilentServer::ClosedPort);
    ASSERT_TRUE(closed.ok());
    const CliRun r = runPrintOn(closed.address(),
                                {dir.file("card.kar"), "--side", "outside", "--printer", "Weg"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot be reached")) << r.err.constData();
    EXPECT_TRUE(r.err.contains(closed.address().toUtf8())) << r.err.constData();
    EXPECT_FALSE(r.err.contains("no printer named")) << r.err.constData();
}
