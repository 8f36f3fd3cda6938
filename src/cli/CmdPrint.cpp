// brisella-cli print: one print run of a card onto a PDF file or a named printer, with
// copies, used positions, cut and fold lines and a calibration file; --layout lists where
// every card goes, in device pixels, before printing.
#include "cli/Commands.h"

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/ProgramFolder.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "print/Calibration.h"
#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "render/Preview.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>
#include <optional>

namespace bb::cli {

namespace {

std::optional<int> intArg(const QString& text, int min, int max) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max) return std::nullopt;
    return v;
}

std::optional<QPageSize> pageSizeNamed(const QString& name) {
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto sizeId = QPageSize::PageSizeId(id);
        if (sizeId == QPageSize::Custom) continue;
        if (QPageSize::key(sizeId).compare(name, Qt::CaseInsensitive) == 0 ||
            QPageSize::name(sizeId).compare(name, Qt::CaseInsensitive) == 0)
            return QPageSize(sizeId);
    }
    return std::nullopt;
}

void printLayout(const std::vector<CardPlacement>& cards) {
    for (const CardPlacement& c : cards) {
        std::printf(
            "{\"page\": %d, \"position\": %d, \"column\": %d, \"row\": %d, \"CardX\": %d, "
            "\"CardY\": %d, \"Wd\": %d, \"Hd\": %d}\n",
            c.page + 1, c.position, c.column, c.row, c.cardX, c.cardY, c.width, c.height);
    }
    std::fflush(stdout);
}

// Why the queue cannot take a job now (the server is silent, no such queue, stopped or
// refusing jobs), or empty when it can.
QString queueRefusal(const QString& name) {
    const auto list = cups::queues();
    if (!list) {
        return QStringLiteral("the printer service (CUPS) at %1 does not answer; is it running?")
            .arg(cups::serverName());
    }
    for (const QueueInfo& q : *list) {
        if (q.name != name) continue;
        if (cups::acceptsJobs(q)) return {};
        const QString why =
            q.message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(q.message);
        return q.state == QueueState::Stopped
                   ? QStringLiteral("the printer \"%1\" is stopped%2").arg(name, why)
                   : QStringLiteral("the printer \"%1\" does not accept jobs%2").arg(name, why);
    }
    return QStringLiteral("there is no printer named \"%1\"").arg(name);
}

// Follows the job that the run just handed to the queue until the queue has finished it, at
// most `waitSeconds`; the failure, or empty when the queue completed the job.
QString followJob(const QString& queue, int jobsBefore, int waitSeconds) {
    const auto job = cups::findJob(queue, jobsBefore, kPrintJobTitle);
    if (!job) return QStringLiteral("the job did not arrive in the queue of \"%1\"").arg(queue);
    const JobOutcome outcome = cups::waitForJob(queue, job->id, waitSeconds * 1000);
    switch (outcome.kind) {
        case JobOutcome::Completed:
            return {};
        case JobOutcome::Failed:
            return QStringLiteral("the printer \"%1\" did not print job %2: %3")
                .arg(queue)
                .arg(job->id)
                .arg(outcome.reason);
        case JobOutcome::TimedOut:
            return QStringLiteral(
                       "job %2 is still in the queue of \"%1\" after %3 seconds%4; it "
                       "stays there")
                .arg(queue)
                .arg(job->id)
                .arg(waitSeconds)
                .arg(outcome.reason.isEmpty() ? QString()
                                              : QStringLiteral(" (%1)").arg(outcome.reason));
        default:
            return QStringLiteral("job %1: %2").arg(job->id).arg(outcome.reason);
    }
}

}  // namespace

int runPrint(const QStringList& args) {
    const Command& self = findCommand("print");
    QString card, side, calibrationFile, pdf, printerName, paper;
    PrintOptions options;
    std::optional<int> dpi;
    int waitSeconds = kJobWaitDefaultSeconds;
    bool layout = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--side")) {
            if (!value(side)) return usageError(self, QStringLiteral("--side needs a value"));
        } else if (a == QLatin1String("--copies")) {
            const auto n = value(v) ? intArg(v, kCopiesMin, kCopiesMax) : std::nullopt;
            if (!n) return usageError(self, QStringLiteral("--copies needs a number 1..1000"));
            options.settings.copies = *n;
        } else if (a == QLatin1String("--used")) {
            const auto n = value(v) ? intArg(v, kUsedMin, kUsedMax) : std::nullopt;
            if (!n) return usageError(self, QStringLiteral("--used needs a number 0..100"));
            options.settings.usedPositions = *n;
        } else if (a == QLatin1String("--cut")) {
            options.cutLines = true;
        } else if (a == QLatin1String("--fold")) {
            options.foldLines = true;
        } else if (a == QLatin1String("--calibration")) {
            if (!value(calibrationFile))
                return usageError(self, QStringLiteral("--calibration needs a file"));
        } else if (a == QLatin1String("--pdf")) {
            if (!value(pdf)) return usageError(self, QStringLiteral("--pdf needs a file"));
        } else if (a == QLatin1String("--printer")) {
            if (!value(printerName))
                return usageError(self, QStringLiteral("--printer needs a name"));
        } else if (a == QLatin1String("--paper")) {
            if (!value(paper)) return usageError(self, QStringLiteral("--paper needs a name"));
        } else if (a == QLatin1String("--dpi")) {
            dpi = value(v) ? intArg(v, 36, 4800) : std::nullopt;
            if (!dpi) return usageError(self, QStringLiteral("--dpi needs a number 36..4800"));
        } else if (a == QLatin1String("--wait")) {
            const auto n = value(v) ? intArg(v, 0, 86400) : std::nullopt;
            if (!n) return usageError(self, QStringLiteral("--wait needs seconds 0..86400"));
            waitSeconds = *n;
        } else if (a == QLatin1String("--layout")) {
            layout = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(self, QStringLiteral("unknown option %1").arg(a));
        } else if (card.isEmpty()) {
            card = a;
        } else {
            return usageError(self, QStringLiteral("only one card file"));
        }
    }
    if (card.isEmpty()) return usageError(self, QStringLiteral("no card file given"));
    int sideValue = 0;
    if (side == QLatin1String("outside")) {
        sideValue = SideOutside;
    } else if (side == QLatin1String("inside")) {
        sideValue = SideInside;
    } else {
        return usageError(self, QStringLiteral("--side must be outside or inside"));
    }
    if (!pdf.isEmpty() && !printerName.isEmpty())
        return usageError(self, QStringLiteral("give either --pdf or --printer, not both"));
    std::optional<QPageSize> pageSize;
    if (!paper.isEmpty()) {
        pageSize = pageSizeNamed(paper);
        if (!pageSize) return usageError(self, QStringLiteral("unknown paper \"%1\"").arg(paper));
    }

    if (!calibrationFile.isEmpty()) {
        const auto stored = readCalibrationFile(calibrationFile);
        if (!stored) {
            printError(QStringLiteral("cannot read the calibration file \"%1\" (32 bytes expected)")
                           .arg(calibrationFile));
            return kExitFailure;
        }
        // The same values the calibration dialog would show and apply.
        options.calibration = normalizedCalibration(*stored);
    }

    // Where to print: the PDF file, the named printer, or the system's default printer.
    PrinterTarget target;
    if (!pdf.isEmpty()) {
        target.usePdf(pdf);
        target.printer().setResolution(kPdfResolution);
        target.printer().setPageSize(QPageSize(QPageSize::A4));
    } else if (!printerName.isEmpty()) {
        if (const QString refusal = queueRefusal(printerName); !refusal.isEmpty()) {
            printError(refusal);
            return kExitFailure;
        }
        if (!target.selectPrinter(printerName)) {
            printError(QStringLiteral("there is no printer named \"%1\"").arg(printerName));
            return kExitFailure;
        }
    } else if (target.isPdf()) {
        printError(QStringLiteral(
            "nothing to print to: this machine has no printer; name a PDF file with --pdf "
            "OUT.pdf or a printer with --printer NAME"));
        return kExitFailure;
    }
    if (pageSize) target.printer().setPageSize(*pageSize);
    if (dpi) target.printer().setResolution(*dpi);

    ConsoleDialogs dialogs;
    RenderContext ctx;
    auto doc = std::make_unique<CardDocument>();
    CardFileContext fc{dialogs, ctx, programFolder(QCoreApplication::applicationFilePath()),
                       {},      {},  {}};
    fc.createPreview = [](CardDocument& d, RenderContext& c) { return createCardPreview(d, c); };
    if (!openCardFile(*doc, card, fc)) {
        printError(QStringLiteral("cannot open the card \"%1\"").arg(card));
        return kExitFailure;
    }
    doc->switchSide(sideValue);

    if (layout) {
        const PrintSettings clamped = clampSettings(options.settings, doc->format);
        printLayout(printPlacements(doc->format, clamped, doc->currentSide, options.calibration,
                                    target.geometry()));
    }
    // A real printer: the job counts once its queue has printed it. Qt does not tell the job's
    // id; the job is the newer one with the run's title.
    const QString queue = target.isPdf() ? QString() : target.printer().printerName();
    std::optional<int> jobsBefore;
    if (!queue.isEmpty()) {
        // (A printer named with --printer was checked above.)
        const QString refusal = printerName.isEmpty() ? queueRefusal(queue) : QString();
        if (!refusal.isEmpty()) {
            printError(refusal);
            return kExitFailure;
        }
        jobsBefore = cups::highestJobId(queue);
        if (!jobsBefore) {
            printError(QStringLiteral("the printer service (CUPS) at %1 does not answer")
                           .arg(cups::serverName()));
            return kExitFailure;
        }
    }
    const PrintRunResult result = printCards(target.printer(), *doc, ctx, options, dialogs);
    if (!result.ok) {
        printError(result.error);
        return kExitFailure;
    }
    if (jobsBefore) {
        if (const QString failure = followJob(queue, *jobsBefore, waitSeconds);
            !failure.isEmpty()) {
            printError(failure);
            return kExitFailure;
        }
    }
    if (!layout) {
        const QString to =
            target.isPdf() ? target.printer().outputFileName() : target.printer().printerName();
        std::printf("printed %d card(s) on %d sheet(s) to %s\n", result.cards, result.pages,
                    to.toLocal8Bit().constData());
    }
    return kExitOk;
}

}  // namespace bb::cli
