// brisella-cli print, choosing the run: the arguments, read with the shared parser, checked
// one by one and then for combinations that cannot go together.
#include "cli/Commands.h"
#include "cli/PrintCommand.h"

#include "document/CardDocument.h"
#include "print/SheetLayout.h"

namespace bb::cli {

namespace {

struct ValueOption {
    const char* name;
    const char* needs;  // the usage message when the value is missing or wrong
};

// Every option that takes a value, with what it needs.
constexpr ValueOption kValueOptions[] = {
    {"--side", "--side needs a value"},
    {"--copies", "--copies needs a number 1..1000"},
    {"--used", "--used needs a number 0..100"},
    {"--calibration", "--calibration needs a file"},
    {"--pdf", "--pdf needs a file"},
    {"--printer", "--printer needs a name"},
    {"--paper", "--paper needs a name"},
    {"--orientation", "--orientation needs a value"},
    {"--dpi", "--dpi needs a number 36..4800"},
    {"--wait", "--wait needs seconds 0..86400"},
    {"--flip", "--flip needs a value"},
    {"--merge", "--merge needs a list"},
    {"--rows", "--rows needs rows"},
    {"--map", "--map needs FIELD=COLUMN"},
};

constexpr const char* kFlagOptions[] = {
    "--cut", "--fold", "--layout", "--alignment-sheet", "--quarter-fold", "--turn-sheets"};

QString needs(const QString& option) {
    for (const ValueOption& o : kValueOptions)
        if (option == QLatin1String(o.name)) return QString::fromLatin1(o.needs);
    return QStringLiteral("%1 needs a value").arg(option);
}

// The number an option gives, when it gives one in min..max; `fallback` when it is absent.
std::optional<int> intOption(const ParsedArgs& p, const char* name, int min, int max,
                             std::optional<int> fallback) {
    const QString option = QLatin1String(name);
    if (!p.has(option)) return fallback;
    bool ok = false;
    const int v = p.value(option).toInt(&ok);
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

// The numbers: copies, used positions, resolution and the time to wait for the queue.
QString readNumbers(const ParsedArgs& p, PrintRequest& r) {
    const auto copies = intOption(p, "--copies", kCopiesMin, kCopiesMax, r.options.settings.copies);
    if (!copies) return needs(QStringLiteral("--copies"));
    r.options.settings.copies = *copies;
    const auto used = intOption(p, "--used", kUsedMin, kUsedMax, r.options.settings.usedPositions);
    if (!used) return needs(QStringLiteral("--used"));
    r.options.settings.usedPositions = *used;
    if (p.has(QStringLiteral("--dpi"))) {
        r.dpi = intOption(p, "--dpi", 36, 4800, std::nullopt);
        if (!r.dpi) return needs(QStringLiteral("--dpi"));
    }
    const auto wait = intOption(p, "--wait", 0, 86400, r.waitSeconds);
    if (!wait) return needs(QStringLiteral("--wait"));
    r.waitSeconds = *wait;
    return {};
}

// Which side or sides, and the edge a two-sided sheet turns about.
QString readSides(const QString& side, const QString& flipName, PrintRequest& r) {
    r.bothSides = r.alignment;
    if (side == QLatin1String("outside"))
        r.side = SideOutside;
    else if (side == QLatin1String("inside"))
        r.side = SideInside;
    else if (side == QLatin1String("both"))
        r.bothSides = true;
    else if (!(r.alignment || r.quarterFold) || !side.isEmpty())
        return QStringLiteral("--side must be outside, inside or both");
    if (r.alignment && !side.isEmpty() && side != QLatin1String("both"))
        return QStringLiteral("the alignment sheet has both sides");
    if (flipName == QLatin1String("long"))
        r.flip = FlipEdge::Long;
    else if (flipName == QLatin1String("short"))
        r.flip = FlipEdge::Short;
    else if (!flipName.isEmpty())
        return QStringLiteral("--flip must be long or short");
    if (r.flip && !r.bothSides)
        return QStringLiteral("--flip needs --side both or --alignment-sheet");
    if (r.turnSheets && (side != QLatin1String("both") || r.alignment))
        return QStringLiteral("--turn-sheets needs --side both");
    return {};
}

// Combinations of the kind of run, the merge and the destination that cannot go together.
QString checkCombinations(const PrintRequest& r, bool usedGiven) {
    if (r.turnSheets && !r.pdf.isEmpty())
        return QStringLiteral(
            "--turn-sheets is for a printer; a PDF file holds front and back pages alternating");
    if (r.turnSheets && r.flip)
        return QStringLiteral(
            "--turn-sheets turns the sheets like a book page; --flip is for a printer's duplex");
    // A quarter-fold sheet holds both sides of one card; there are no positions to skip.
    if (r.quarterFold && usedGiven) return QStringLiteral("--used does not go with --quarter-fold");
    if (r.quarterFold && r.bothSides)
        return QStringLiteral("--quarter-fold prints both sides already");
    if (r.alignment && !r.mergeList.isEmpty())
        return QStringLiteral("--merge prints cards; the alignment sheet has none");
    if (!r.rowsSpec.isEmpty() && r.mergeList.isEmpty())
        return QStringLiteral("--rows needs --merge");
    if (!r.mapText.isEmpty() && r.mergeList.isEmpty()) return QStringLiteral("--map needs --merge");
    if (!r.pdf.isEmpty() && !r.printerName.isEmpty())
        return QStringLiteral("give either --pdf or --printer, not both");
    return {};
}

// The sheet: a named paper size and an orientation.
QString readSheet(const QString& paper, const QString& orientationName, PrintRequest& r) {
    if (!paper.isEmpty()) {
        r.pageSize = pageSizeNamed(paper);
        if (!r.pageSize) return QStringLiteral("unknown paper \"%1\"").arg(paper);
    }
    if (orientationName == QLatin1String("portrait"))
        r.orientation = QPageLayout::Portrait;
    else if (orientationName == QLatin1String("landscape"))
        r.orientation = QPageLayout::Landscape;
    else if (!orientationName.isEmpty())
        return QStringLiteral("--orientation must be portrait or landscape");
    return {};
}

}  // namespace

QString parsePrintRequest(const QStringList& args, PrintRequest& out) {
    QStringList valueOptions, flagOptions;
    for (const ValueOption& o : kValueOptions) valueOptions << QLatin1String(o.name);
    for (const char* flag : kFlagOptions) flagOptions << QLatin1String(flag);
    const ParsedArgs p = parseArgs(args, valueOptions, flagOptions, Repeats::LastWins);
    if (!p.missingValue.isEmpty()) return needs(p.missingValue);
    if (!p.error.isEmpty()) return p.error;
    if (p.positional.size() > 1) return QStringLiteral("only one card file");
    PrintRequest r;
    if (QString wrong = readNumbers(p, r); !wrong.isEmpty()) return wrong;
    r.card = p.positional.value(0);
    r.options.cutLines = p.has(QStringLiteral("--cut"));
    r.options.foldLines = p.has(QStringLiteral("--fold"));
    r.layout = p.has(QStringLiteral("--layout"));
    r.alignment = p.has(QStringLiteral("--alignment-sheet"));
    r.quarterFold = p.has(QStringLiteral("--quarter-fold"));
    r.turnSheets = p.has(QStringLiteral("--turn-sheets"));
    r.calibrationFile = p.value(QStringLiteral("--calibration"));
    r.pdf = p.value(QStringLiteral("--pdf"));
    r.printerName = p.value(QStringLiteral("--printer"));
    r.mergeList = p.value(QStringLiteral("--merge"));
    r.rowsSpec = p.value(QStringLiteral("--rows"));
    r.mapText = p.value(QStringLiteral("--map"));
    if (r.alignment && !r.card.isEmpty()) return QStringLiteral("--alignment-sheet prints no card");
    if (r.card.isEmpty() && !r.alignment) return QStringLiteral("no card file given");
    QString wrong =
        readSides(p.value(QStringLiteral("--side")), p.value(QStringLiteral("--flip")), r);
    if (wrong.isEmpty()) wrong = checkCombinations(r, p.has(QStringLiteral("--used")));
    if (wrong.isEmpty())
        wrong = readSheet(p.value(QStringLiteral("--paper")),
                          p.value(QStringLiteral("--orientation")), r);
    if (wrong.isEmpty()) out = std::move(r);
    return wrong;
}

}  // namespace bb::cli
