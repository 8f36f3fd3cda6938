// A PDF file replaces the earlier one only when the run completed and the file is whole: a
// failure at any step of writing it leaves the earlier PDF, no temporary file, and an error
// naming the file and the reason (brisella-cli's tests fill a real disk). The calibration
// file likewise.
#include "PdfPages.h"

#include "document/RenderContext.h"
#include "pictures/AtomicWrite.h"
#include "print/Calibration.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "print/ui/CalibrationDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QPrinter>

#include <cerrno>

using namespace bb;
using namespace printtest;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

struct PdfRun {
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    std::unique_ptr<CardDocument> doc = std::make_unique<CardDocument>();
    PrinterTarget target;

    explicit PdfRun(const QString& pdf) {
        doc->format = twoByFive();
        colourSides(*doc);
        target.usePdf(pdf);
        target.printer().setResolution(150);
        target.printer().setPageSize(QPageSize(QPageSize::A4));
    }
    PrintRunResult print(int copies = 10) {
        PrintOptions options;
        options.settings.copies = copies;
        return printCards(target.printer(), *doc, SideOutside, ctx, options, dialogs);
    }
};

}  // namespace

TEST(PdfOutput, AFailureAtAnyStepKeepsTheEarlierPdf) {
    bbtest::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("karten.pdf"));
    PdfRun run(pdf);
    const PrintRunResult first = run.print();
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    const QByteArray earlier = readAll(pdf);
    ASSERT_TRUE(earlier.startsWith("%PDF-"));

    for (const WriteStep step :
         {WriteStep::Create, WriteStep::Sync, WriteStep::Verify, WriteStep::Rename}) {
        SCOPED_TRACE(int(step));
        PrintRunResult result;
        {
            const InjectedWriteFault fault(step, EIO);
            result = run.print(20);
        }
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error,
                  QStringLiteral("Die PDF-Datei \"%1\" konnte nicht geschrieben werden.\n"
                                 "Ein-/Ausgabefehler des Geräts")
                      .arg(pdf));
        EXPECT_EQ(readAll(pdf), earlier);
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("karten.pdf")});
        // The next run still writes to the chosen file.
        EXPECT_EQ(run.target.printer().outputFileName(), pdf);
    }
    {
        const InjectedWriteFault fault(WriteStep::Rename, ENOSPC);
        EXPECT_FALSE(printTestSquare(run.target.printer()).ok);
    }
    EXPECT_EQ(readAll(pdf), earlier);
    const PrintRunResult again = run.print(20);
    ASSERT_TRUE(again.ok) << again.error.toStdString();
    EXPECT_NE(readAll(pdf), earlier);
}

TEST(PdfOutput, TheCalibrationDialogSaysWhenItsFileCannotBeWritten) {
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    PrinterTarget target;
    CalibrationDialog dialog(dir.path(), target, dialogs);
    dialog.setValues(Calibration{1, 2, 101, 102});
    ASSERT_TRUE(dialog.save());
    const QByteArray before = readAll(dialog.filePath());
    dialog.setValues(Calibration{3, 3, 99, 99});
    {
        const InjectedWriteFault fault(WriteStep::Write, ENOSPC);
        EXPECT_FALSE(dialog.save());
    }
    EXPECT_EQ(readAll(dialog.filePath()), before);
    EXPECT_EQ(
        dialogs.texts(),
        QStringList{QStringLiteral("Die Kalibrierung konnte nicht gespeichert werden.\n") +
                    dialog.filePath() + QStringLiteral(": Kein Speicherplatz mehr auf dem Gerät")});
}
