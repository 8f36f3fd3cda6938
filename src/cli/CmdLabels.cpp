// brisella-cli labels: address labels from an address list on a label sheet (a shipped one by
// its id, or one given by its measures with --sheet custom), after --used labels of the first
// sheet, --copies of each chosen row, written to a PDF file (whole or not at all) or printed on
// a named printer.
#include "cli/Commands.h"
#include "cli/PrintCommand.h"

#include "merge/AddressList.h"
#include "print/LabelPrint.h"
#include "print/LabelSheets.h"
#include "print/PrinterTarget.h"

#include <QFile>
#include <QPrinter>

#include <cmath>
#include <cstdio>
#include <optional>

namespace bb::cli {

namespace {

constexpr qint64 kTemplateMaxBytes = 64 * 1024;

// "70x37" or "70×37" as two lengths; nullopt for anything else.
std::optional<QPointF> pairOption(const QString& text, const QString& separators) {
    for (const QChar sep : separators) {
        const QStringList parts = text.split(sep);
        if (parts.size() != 2) continue;
        bool okA = false, okB = false;
        const double a = parts[0].trimmed().toDouble(&okA);
        const double b = parts[1].trimmed().toDouble(&okB);
        if (okA && okB) return QPointF(a, b);
    }
    return std::nullopt;
}

// The sheet the arguments name, or the reason they are wrong usage in `why`.
std::optional<LabelSheet> sheetFromArgs(const ParsedArgs& p, QString* why) {
    const QString id = p.value(QStringLiteral("--sheet"));
    const QStringList measures = {QStringLiteral("--label"), QStringLiteral("--margins"),
                                  QStringLiteral("--pitch"), QStringLiteral("--grid")};
    if (id.compare(kCustomLabelSheetId, Qt::CaseInsensitive) != 0) {
        for (const QString& m : measures)
            if (p.has(m)) {
                *why = QStringLiteral("%1 goes only with --sheet custom").arg(m);
                return std::nullopt;
            }
        if (const LabelSheet* sheet = findLabelSheet(id)) return *sheet;
        QStringList ids;
        for (const LabelSheet& s : labelSheets()) ids << s.id;
        *why = QStringLiteral("unknown --sheet \"%1\"; known: %2, custom")
                   .arg(id, ids.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    for (const QString& m : measures)
        if (!p.has(m)) {
            *why =
                QStringLiteral("--sheet custom needs %1").arg(measures.join(QStringLiteral(", ")));
            return std::nullopt;
        }
    const auto label = pairOption(p.value(QStringLiteral("--label")), QStringLiteral("x×"));
    const auto margins = pairOption(p.value(QStringLiteral("--margins")), QStringLiteral(","));
    const auto pitch = pairOption(p.value(QStringLiteral("--pitch")), QStringLiteral(","));
    const auto grid = pairOption(p.value(QStringLiteral("--grid")), QStringLiteral("x×"));
    const auto whole = [](double v) { return v >= 1 && v <= kLabelGridMax && v == std::floor(v); };
    if (!label || !margins || !pitch || !grid || !whole(grid->x()) || !whole(grid->y())) {
        *why = QStringLiteral(
            "--label WxH, --margins LEFT,TOP, --pitch ACROSS,DOWN (millimetres) and --grid "
            "COLUMNSxROWS (1..40 each) expected");
        return std::nullopt;
    }
    LabelSheet s;
    s.id = kCustomLabelSheetId;
    s.name = QStringLiteral("Eigenes Format");
    s.labelMm = {label->x(), label->y()};
    s.marginMm = *margins;
    s.pitchMm = *pitch;
    s.columns = int(grid->x());
    s.rows = int(grid->y());
    if (const QString problem = labelSheetProblem(s); !problem.isEmpty()) {
        *why = QStringLiteral("the sheet cannot be printed: %1").arg(problem);
        return std::nullopt;
    }
    return s;
}

// The template file's text (UTF-8, a last line break dropped); nullopt after the reason.
std::optional<QString> readTemplate(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("cannot read the template %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kTemplateMaxBytes + 1);
    if (bytes.size() > kTemplateMaxBytes) {
        printError(QStringLiteral("the template %1 is larger than %2 bytes")
                       .arg(path)
                       .arg(kTemplateMaxBytes));
        return std::nullopt;
    }
    QString text = QString::fromUtf8(bytes);
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    if (text.trimmed().isEmpty()) {
        printError(QStringLiteral("the template %1 is empty").arg(path));
        return std::nullopt;
    }
    return text;
}

std::optional<int> numberOption(const ParsedArgs& p, const QString& name, int min, int max,
                                int fallback) {
    if (!p.has(name)) return fallback;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < min || v > max) return std::nullopt;
    return v;
}

}  // namespace

int runLabels(const QStringList& args) {
    const Command& cmd = findCommand("labels");
    const ParsedArgs p = parseArgs(
        args, {"--merge", "--rows", "--sheet", "--used", "--copies", "--template", "--pdf",
               "--printer", "--wait", "--label", "--margins", "--pitch", "--grid", "--map"});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (!p.positional.isEmpty())
        return usageError(cmd, QStringLiteral("unexpected \"%1\"").arg(p.positional.first()));
    if (!p.has(QStringLiteral("--merge")))
        return usageError(cmd, QStringLiteral("--merge LIST is needed"));
    if (!p.has(QStringLiteral("--sheet")))
        return usageError(cmd, QStringLiteral("--sheet ID is needed"));
    if (p.has(QStringLiteral("--pdf")) == p.has(QStringLiteral("--printer")))
        return usageError(cmd, QStringLiteral("either --pdf OUT.pdf or --printer NAME"));
    const auto used = numberOption(p, QStringLiteral("--used"), kUsedMin, kUsedMax, 0);
    if (!used) return usageError(cmd, QStringLiteral("--used needs a number 0..100"));
    const auto copies = numberOption(p, QStringLiteral("--copies"), kCopiesMin, kCopiesMax, 1);
    if (!copies) return usageError(cmd, QStringLiteral("--copies needs a number 1..1000"));
    const auto wait = numberOption(p, QStringLiteral("--wait"), 0, 86400, kJobWaitDefaultSeconds);
    if (!wait) return usageError(cmd, QStringLiteral("--wait needs a number of seconds"));
    QString why;
    const std::optional<LabelSheet> sheet = sheetFromArgs(p, &why);
    if (!sheet) return usageError(cmd, why);

    QString tmpl = kDefaultLabelTemplate;
    if (p.has(QStringLiteral("--template"))) {
        const auto read = readTemplate(p.value(QStringLiteral("--template")));
        if (!read) return kExitFailure;
        tmpl = *read;
    }
    MergeRun merge;
    if (!loadMerge(p.value(QStringLiteral("--merge")), p.value(QStringLiteral("--rows")), *copies,
                   merge, p.value(QStringLiteral("--map"))))
        return kExitFailure;
    const LabelJob job = labelJob(*sheet, *used, *merge.list, merge.plan, tmpl);
    for (const QString& warning : job.warnings)
        std::fprintf(stderr, "warning: %s\n", qPrintable(warning));
    if (job.labels.empty()) {
        printError(QStringLiteral("the list has no rows to print"));
        return kExitFailure;
    }

    if (p.has(QStringLiteral("--pdf"))) {
        const QString out = p.value(QStringLiteral("--pdf"));
        QString error;
        const QByteArray pdf = labelPdf(job, &error);
        if (pdf.isEmpty()) {
            printError(error);
            return kExitFailure;
        }
        if (!writeOutput(out, pdf)) return kExitFailure;
        std::printf("printed %d label(s) on %d sheet(s) to %s\n", int(job.labels.size()), job.pages,
                    qPrintable(out));
        return kExitOk;
    }

    PrintRequest request;
    request.printerName = p.value(QStringLiteral("--printer"));
    PrinterTarget target;
    if (!choosePrintTarget(request, target)) return kExitFailure;
    PrintJob printJob;
    printJob.title = kLabelJobTitle;
    return runAndReport(
        target, printJob, *wait, false,
        [&](PrintProgress*) {
            PrintRunResult result;
            result.ok = paintLabelJob(target.printer(), job, &result.error);
            result.pages = job.pages;
            result.cards = int(job.labels.size());
            return result;
        },
        [](const PrintRunResult& result, const QByteArray& to) {
            std::printf("printed %d label(s) on %d sheet(s) to %s\n", result.cards, result.pages,
                        to.constData());
        });
}

}  // namespace bb::cli
