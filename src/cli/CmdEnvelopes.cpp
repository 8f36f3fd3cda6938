// brisella-cli envelopes: one envelope per chosen row of an address list, in the order of the
// rows, as a PDF file or on a printer with the envelope as paper; --layout prints where each
// block lies as one JSON object per envelope.
#include "cli/Commands.h"
#include "cli/PrintCommand.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "print/EnvelopeLayout.h"
#include "print/EnvelopePrint.h"
#include "print/Envelopes.h"
#include "print/PrinterTarget.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>

#include <cmath>
#include <cstdio>

namespace bb::cli {

namespace {

constexpr qint64 kTemplateMaxBytes = 64 * 1024;

double rounded(double mm) {
    return std::round(mm * 100) / 100;
}

// A JSON value as text.
QByteArray json(const QJsonValue& v) {
    const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return a.mid(1, a.size() - 2);
}

// A JSON object with its keys in the given order (QJsonObject would sort them); the values
// are JSON text already.
QByteArray object(std::initializer_list<std::pair<const char*, QByteArray>> fields) {
    QByteArray out = "{";
    for (const auto& [key, value] : fields) {
        if (out.size() > 1) out += ',';
        out += '"' + QByteArray(key) + "\":" + value;
    }
    return out + '}';
}

QByteArray rectJson(const QRectF& r) {
    return object({{"x", json(rounded(r.x()))},
                   {"y", json(rounded(r.y()))},
                   {"width", json(rounded(r.width()))},
                   {"height", json(rounded(r.height()))}});
}

QByteArray blockJson(const EnvelopeBlock& b) {
    return object({{"x", json(rounded(b.rectMm.x()))},
                   {"y", json(rounded(b.rectMm.y()))},
                   {"width", json(rounded(b.rectMm.width()))},
                   {"height", json(rounded(b.rectMm.height()))},
                   {"lines", json(QJsonArray::fromStringList(b.lines))},
                   {"pointSize", json(b.pointSize)}});
}

// The recipient template of --template: UTF-8 text; nullopt with the reason on standard error.
std::optional<QString> readTemplate(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(
            QStringLiteral("cannot read the template \"%1\": %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > kTemplateMaxBytes) {
        printError(QStringLiteral("the template \"%1\" is too large").arg(path));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        printError(QStringLiteral("the template \"%1\" is not UTF-8 text").arg(path));
        return std::nullopt;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    if (text.trimmed().isEmpty()) {
        printError(QStringLiteral("the template \"%1\" is empty").arg(path));
        return std::nullopt;
    }
    return text;
}

QString sizeIds() {
    QStringList ids;
    for (const EnvelopeSize& e : envelopeSizes()) ids << e.id;
    return ids.join(QStringLiteral(", "));
}

}  // namespace

int runEnvelopes(const QStringList& args) {
    const Command& cmd = findCommand("envelopes");
    const ParsedArgs p = parseArgs(
        args,
        {"--merge", "--rows", "--size", "--sender", "--template", "--pdf", "--printer", "--wait"},
        {"--window", "--layout"});
    if (!p.error.isEmpty()) return usageError(cmd, p.error);
    if (!p.positional.isEmpty())
        return usageError(cmd, QStringLiteral("unexpected argument \"%1\"").arg(p.positional[0]));
    if (!p.has("--merge")) return usageError(cmd, QStringLiteral("--merge LIST is needed"));
    if (!p.has("--size")) return usageError(cmd, QStringLiteral("--size is needed"));
    const EnvelopeSize* size = findEnvelope(p.value("--size"));
    if (!size)
        return usageError(cmd, QStringLiteral("no envelope size \"%1\" (sizes: %2)")
                                   .arg(p.value("--size"), sizeIds()));
    const bool window = p.has("--window");
    if (window && !size->hasWindow())
        return usageError(cmd, QStringLiteral("%1 envelopes come without a window").arg(size->id));
    const bool layout = p.has("--layout");
    if (p.has("--pdf") && p.has("--printer"))
        return usageError(cmd, QStringLiteral("--pdf and --printer exclude each other"));
    if (!p.has("--pdf") && !p.has("--printer") && !layout)
        return usageError(cmd, QStringLiteral("name --pdf OUT.pdf or --printer NAME"));
    int waitSeconds = kJobWaitDefaultSeconds;
    if (p.has("--wait")) {
        bool ok = false;
        waitSeconds = p.value("--wait").toInt(&ok);
        if (!ok || waitSeconds < 0 || waitSeconds > 86400)
            return usageError(cmd, QStringLiteral("--wait needs seconds 0..86400"));
    }

    SenderAddress sender;
    if (p.has("--sender")) {
        QString error;
        sender = readSenderFile(p.value("--sender"), &error);
        if (!error.isEmpty()) {
            printError(error);
            return kExitFailure;
        }
    }
    QString tmpl = kDefaultRecipientTemplate;
    if (p.has("--template")) {
        const auto read = readTemplate(p.value("--template"));
        if (!read) return kExitFailure;
        tmpl = *read;
    }
    MergeRun merge;
    if (!loadMerge(p.value("--merge"), p.value("--rows"), 1, merge)) return kExitFailure;
    const AddressList& list = *merge.list;
    const FieldFiller filler(list);
    const QString listTemplate = templateForList(tmpl, list);

    std::vector<EnvelopeFace> faces;
    faces.reserve(merge.plan.rows.size());
    for (const int row : merge.plan.rows) {
        const QStringList lines =
            recipientLines(listTemplate, filler, list.rows[size_t(row)], sender.country);
        faces.push_back(envelopeFace(*size, window, sender, lines));
        for (const QString& warning : faces.back().warnings)
            std::fprintf(stderr, "warning: record %d: %s\n", row + 1, qPrintable(warning));
        if (lines.isEmpty())
            std::fprintf(stderr, "warning: record %d: the address is empty\n", row + 1);
    }
    if (layout) {
        for (size_t i = 0; i < faces.size(); ++i) {
            const EnvelopeFace& f = faces[i];
            const QByteArray line = object({{"record", json(merge.plan.rows[i] + 1)},
                                            {"size", json(size->id)},
                                            {"window", json(window)},
                                            {"widthMm", json(rounded(f.sizeMm.width()))},
                                            {"heightMm", json(rounded(f.sizeMm.height()))},
                                            {"recipient", blockJson(f.recipient)},
                                            {"sender", blockJson(f.sender)},
                                            {"senderLine", blockJson(f.senderLine)},
                                            {"stampArea", rectJson(f.stampAreaMm)}});
            std::printf("%s\n", line.constData());
        }
        std::fflush(stdout);
    }
    // The envelope itself is the paper.
    const EnvelopePlacement placement;

    if (p.has("--pdf")) {
        QString error;
        const QByteArray pdf = envelopePdf(faces, placement, &error);
        if (pdf.isEmpty()) {
            printError(error);
            return kExitFailure;
        }
        if (!writeOutput(p.value("--pdf"), pdf)) return kExitFailure;
        if (!layout)
            std::printf("wrote %d envelope(s) %s to %s\n", int(faces.size()), qPrintable(size->id),
                        qPrintable(p.value("--pdf")));
        return kExitOk;
    }
    if (!p.has("--printer")) return kExitOk;  // --layout alone

    PrinterTarget target;
    PrintRequest request;
    request.printerName = p.value("--printer");
    if (!choosePrintTarget(request, target)) return kExitFailure;
    useEnvelopePaper(target, faces, placement);
    PrintJob job;
    job.title = kEnvelopeJobTitle;
    return runAndReport(
        target, job, waitSeconds, layout,
        [&](PrintProgress*) { return printEnvelopes(target, faces, placement); },
        [&](const PrintRunResult& result, const QByteArray& to) {
            std::printf("printed %d envelope(s) %s to %s\n", result.pages, qPrintable(size->id),
                        to.constData());
        });
}

}  // namespace bb::cli
