// brisella-cli print, choosing the target: the PDF file or the printer, and the sheet.
#include "cli/Commands.h"
#include "cli/PrintCommand.h"

#include "document/CardPaper.h"
#include "print/PrinterTarget.h"

#include <QPrinter>

namespace bb::cli {

namespace {

// Why the queue cannot take a job now (the service cannot be reached or is silent, no such
// queue, stopped or refusing jobs), or empty when it can.
QString queueRefusal(const PrintService& service, const QString& name) {
    if (!service.answers()) return cups::serviceProblem(service.state);
    for (const QueueInfo& q : service.queues) {
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

// The named printer or the system's default one. The service is asked, within its time
// limits, before Qt is told about any printer: Qt itself would wait on a silent server
// without end.
bool choosePrinter(const QString& printerName, PrinterTarget& target) {
    const PrintService service = cups::askService();
    const QString name = printerName.isEmpty() ? service.defaultPrinter : printerName;
    if (printerName.isEmpty() && service.answers() && name.isEmpty()) {
        printError(QStringLiteral(
            "nothing to print to: this machine has no printer; name a PDF file with --pdf "
            "OUT.pdf or a printer with --printer NAME"));
        return false;
    }
    if (const QString refusal = queueRefusal(service, name); !refusal.isEmpty()) {
        printError(printerName.isEmpty()
                       ? QStringLiteral("nothing to print to: %1; name a PDF file with --pdf "
                                        "OUT.pdf")
                             .arg(refusal)
                       : refusal);
        return false;
    }
    if (!target.selectPrinter(name)) {
        printError(QStringLiteral("there is no printer named \"%1\"").arg(name));
        return false;
    }
    return true;
}

}  // namespace

bool choosePrintTarget(const PrintRequest& request, PrinterTarget& target) {
    // A PDF file asks the print service nothing at all.
    if (!request.pdf.isEmpty()) {
        target.usePdf(request.pdf);
        target.printer().setResolution(kPdfResolution);
        target.printer().setPageSize(QPageSize(QPageSize::A4));
    } else if (!choosePrinter(request.printerName, target)) {
        return false;
    }
    if (request.dpi) target.printer().setResolution(*request.dpi);
    return true;
}

void applyPaper(PrinterTarget& target, const CardFormat* format,
                const std::optional<QPageSize>& pageSize,
                std::optional<QPageLayout::Orientation> orientation) {
    QPrinter& printer = target.printer();
    if (pageSize) {
        printer.setPageSize(*pageSize);
        if (!orientation && format)
            orientation = orientationOn(*format, pageSize->id()).value_or(QPageLayout::Portrait);
    } else if (format) {
        const CardPaper paper = cardPaper(*format);
        target.useCardPaper(paper);
        if (!orientation && paper.known()) orientation = paper.orientation;
    }
    if (orientation) printer.setPageOrientation(*orientation);
}

}  // namespace bb::cli
