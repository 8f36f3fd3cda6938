// brisella-cli envelopes: one envelope per chosen row of an address list, in the order of the
// rows, as a PDF file or on a printer with the envelope as paper; --layout prints where each
// block lies as one JSON object per envelope.
#include "cli/Commands.h"
#include "cli/PrintCommand.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "print/EnvelopeFeed.h"
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

// What one `envelopes` command asks for, checked.
struct EnvelopeRequest {
    const EnvelopeSize* size = nullptr;
    bool window = false;
    bool layout = false;
    QString list, rows, map, sender, recipientTemplate, pdf, printer;
    int waitSeconds = kJobWaitDefaultSeconds;
    // The envelope itself is the paper, unless --feed or --a4 place it.
    EnvelopePlacement placement;
};

// Reads the arguments into `r`; the reason they are wrong usage, or empty.
QString parseRequest(const QStringList& args, EnvelopeRequest& r) {
    const ParsedArgs p = parseArgs(args,
                                   {"--merge", "--rows", "--map", "--size", "--sender",
                                    "--template", "--pdf", "--printer", "--wait", "--feed"},
                                   {"--window", "--layout", "--a4"});
    if (!p.error.isEmpty()) return p.error;
    if (!p.positional.isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(p.positional[0]);
    if (!p.has("--merge")) return QStringLiteral("--merge LIST is needed");
    if (!p.has("--size")) return QStringLiteral("--size is needed");
    r.size = findEnvelope(p.value("--size"));
    if (!r.size)
        return QStringLiteral("no envelope size \"%1\" (sizes: %2)")
            .arg(p.value("--size"), sizeIds());
    r.window = p.has("--window");
    if (r.window && !r.size->hasWindow())
        return QStringLiteral("%1 envelopes come without a window").arg(r.size->id);
    r.layout = p.has("--layout");
    if (p.has("--pdf") && p.has("--printer"))
        return QStringLiteral("--pdf and --printer exclude each other");
    if (!p.has("--pdf") && !p.has("--printer") && !r.layout)
        return QStringLiteral("name --pdf OUT.pdf or --printer NAME");
    if (p.has("--wait")) {
        bool ok = false;
        r.waitSeconds = p.value("--wait").toInt(&ok);
        if (!ok || r.waitSeconds < 0 || r.waitSeconds > 86400)
            return QStringLiteral("--wait needs seconds 0..86400");
    }
    // How the envelope goes into the printer, or where it lies on an A4 sheet.
    if (p.has("--feed") || p.has("--a4")) {
        QString why;
        const std::optional<EnvelopeFeed> feed =
            p.has("--feed") ? parseFeed(p.value("--feed"), &why) : EnvelopeFeed{};
        if (!feed) return why;
        if (!feedFits(r.size->sizeMm, *feed, p.has("--a4"), &why)) return why;
        r.placement = envelopePlacement(r.size->sizeMm, *feed, p.has("--a4"));
    }
    r.list = p.value("--merge");
    r.rows = p.value("--rows");
    r.map = p.value("--map");
    r.sender = p.value("--sender");
    r.recipientTemplate = p.value("--template");
    r.pdf = p.value("--pdf");
    r.printer = p.value("--printer");
    return {};
}

// The faces of the chosen rows, in their order, each one's warnings on standard error;
// false with the failure on standard error.
bool makeFaces(const EnvelopeRequest& r, MergeRun& merge, std::vector<EnvelopeFace>& faces) {
    SenderAddress sender;
    if (!r.sender.isEmpty()) {
        QString error;
        sender = readSenderFile(r.sender, &error);
        if (!error.isEmpty()) {
            printError(error);
            return false;
        }
    }
    QString tmpl = kDefaultRecipientTemplate;
    if (!r.recipientTemplate.isEmpty()) {
        const auto read = readTemplate(r.recipientTemplate);
        if (!read) return false;
        tmpl = *read;
    }
    if (!loadMerge(r.list, r.rows, 1, merge, r.map)) return false;
    const AddressList& list = *merge.list;
    const FieldFiller filler(list);
    const QString listTemplate = templateForList(tmpl, list);
    faces.reserve(merge.plan.rows.size());
    for (const int row : merge.plan.rows) {
        const QStringList lines =
            recipientLines(listTemplate, filler, list.rows[size_t(row)], sender.country);
        faces.push_back(envelopeFace(*r.size, r.window, sender, lines));
        for (const QString& warning : faces.back().warnings)
            std::fprintf(stderr, "warning: record %d: %s\n", row + 1, qPrintable(warning));
        if (lines.isEmpty())
            std::fprintf(stderr, "warning: record %d: the address is empty\n", row + 1);
    }
    return true;
}

void printLayout(const EnvelopeRequest& r, const MergeRun& merge,
                 const std::vector<EnvelopeFace>& faces) {
    for (size_t i = 0; i < faces.size(); ++i) {
        const EnvelopeFace& f = faces[i];
        const QByteArray line = object({{"record", json(merge.plan.rows[i] + 1)},
                                        {"size", json(r.size->id)},
                                        {"window", json(r.window)},
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

int writePdf(const EnvelopeRequest& r, const std::vector<EnvelopeFace>& faces) {
    QString error;
    int errorNumber = 0;
    if (!writeEnvelopePdf(r.pdf, faces, r.placement, &error, &errorNumber)) {
        if (errorNumber != 0)
            printWriteError(r.pdf, errorNumber);
        else
            printError(error);
        return kExitFailure;
    }
    if (!r.layout)
        std::printf("wrote %d envelope(s) %s to %s\n", int(faces.size()), qPrintable(r.size->id),
                    qPrintable(r.pdf));
    return kExitOk;
}

int printOnQueue(const EnvelopeRequest& r, const std::vector<EnvelopeFace>& faces) {
    PrinterTarget target;
    PrintRequest request;
    request.printerName = r.printer;
    if (!choosePrintTarget(request, target)) return kExitFailure;
    useEnvelopePaper(target, faces, r.placement);
    PrintJob job;
    job.title = kEnvelopeJobTitle;
    return runAndReport(
        target, job, r.waitSeconds, r.layout,
        [&](PrintProgress*) { return printEnvelopes(target, faces, r.placement); },
        [&](const PrintRunResult& result, const QByteArray& to) {
            std::printf("printed %d envelope(s) %s to %s\n", result.pages, qPrintable(r.size->id),
                        to.constData());
        });
}

}  // namespace

int runEnvelopes(const QStringList& args) {
    EnvelopeRequest request;
    if (const QString wrong = parseRequest(args, request); !wrong.isEmpty())
        return usageError(findCommand("envelopes"), wrong);
    MergeRun merge;
    std::vector<EnvelopeFace> faces;
    if (!makeFaces(request, merge, faces)) return kExitFailure;
    if (request.layout) printLayout(request, merge, faces);
    if (!request.pdf.isEmpty()) return writePdf(request, faces);
    if (!request.printer.isEmpty()) return printOnQueue(request, faces);
    return kExitOk;  // --layout alone
}

}  // namespace bb::cli
