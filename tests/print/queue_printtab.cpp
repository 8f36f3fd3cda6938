// The "Drucken" tab with the private CUPS server's queues: the tab follows the job after a run
// without holding the window, reports a failed job with the queue's reason and a printed one
// in the status line, and "Einrichten" offers the server's queues and prints to the one chosen.
#include "PdfPages.h"
#include "PrintTabFixture.h"

#include "document/RenderContext.h"
#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/ui/PrintTab.h"
#include "support/PrivateCups.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QTimer>

using namespace bb;

namespace {

using Tab = printtest::TabFixture;

}  // namespace

TEST(PrintTabQueue, AFailedJobIsReportedWithTheQueuesReason) {
    BB_REQUIRE_PRIVATE_CUPS();
    Tab t;
    ASSERT_TRUE(t.tab->printerTarget().selectPrinter("Brisella_Kaputt"));
    QSignalSpy followed(t.tab.get(), &PrintTab::jobFollowed);
    t.tab->printOutside();
    // The run returns at once: the outcome can only arrive through the event loop.
    EXPECT_EQ(followed.count(), 0);
    EXPECT_TRUE(t.dialogs.messages.isEmpty());
    ASSERT_TRUE(bbtest::runUntil([&] { return followed.count() == 1; }));
    ASSERT_EQ(t.dialogs.messages.size(), 1);
    EXPECT_EQ(t.dialogs.messages[0].text,
              "Der Druckauftrag ist fehlgeschlagen: The printer is not responding.");
    EXPECT_EQ(t.dialogs.messages[0].icon, MsgIcon::Error);
}

TEST(PrintTabQueue, EinrichtenChoosesAQueueThatThenPrintsTheJob) {
    BB_REQUIRE_PRIVATE_CUPS();
    Tab t;
    // The server's default queue becomes the printer once the background question is answered;
    // until then the tab stands on a PDF file and has asked Qt about no printer.
    EXPECT_TRUE(t.tab->printerTarget().isPdf());
    ASSERT_TRUE(bbtest::runUntil([&] { return t.tab->printService().has_value(); }));
    EXPECT_EQ(*t.tab->printService(), ServiceState::Answering);
    EXPECT_FALSE(t.tab->printerTarget().isPdf());
    EXPECT_EQ(t.tab->printerTarget().printer().printerName(), "Brisella_PDF");
    QStringList offered;
    bool answered = false;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, answer);
            return;
        }
        answered = true;
        auto* printers = dialog->findChild<QComboBox*>("printers");
        if (printers) {
            for (int i = 0; i < printers->count(); ++i) offered << printers->itemText(i);
            printers->setCurrentIndex(printers->findText("Brisella_Duplex"));
        }
        dialog->accept();
    };
    QTimer::singleShot(0, answer);
    t.tab->setUpPrinter();
    ASSERT_TRUE(answered);
    for (const char* name : {"Brisella_PDF", "Brisella_Duplex", "Brisella_Kaputt"})
        EXPECT_TRUE(offered.contains(name)) << name;
    EXPECT_EQ(t.tab->printerTarget().printer().printerName(), "Brisella_Duplex");

    const auto before = cups::highestJobId("Brisella_Duplex");
    ASSERT_TRUE(before);
    QSignalSpy followed(t.tab.get(), &PrintTab::jobFollowed);
    QSignalSpy notes(t.tab.get(), &PrintTab::statusNote);
    t.tab->printOutside();
    ASSERT_TRUE(bbtest::runUntil([&] { return followed.count() == 1; }));
    const auto job = cups::findJob("Brisella_Duplex", *before, kPrintJobTitle);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->state, JobInfo::Completed);
    EXPECT_TRUE(t.dialogs.messages.isEmpty());
    ASSERT_EQ(notes.count(), 1);
    EXPECT_EQ(notes[0][0].toString(), "Der Druckauftrag wurde gedruckt (Brisella_Duplex).");
}
