// Shared helpers of the command-line commands: error and usage output, argument parsing,
// opening a card.
#include "cli/Commands.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"
#include "pictures/AtomicWrite.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace bb::cli {

void printError(const QString& text) {
    std::fprintf(stderr, "error: %s\n", text.toLocal8Bit().constData());
}

void printWriteError(const QString& path, int error) {
    if (error == 0)
        printError(QStringLiteral("cannot write %1").arg(path));
    else
        printError(QStringLiteral("cannot write %1: %2")
                       .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

bool writeOutput(const QString& path, const QByteArray& bytes) {
    const WriteOutcome written = writeFileAtomically(path, bytes);
    if (!written.ok) printWriteError(path, written.error);
    return written.ok;
}

int usageError(const Command& cmd, const QString& why) {
    if (!why.isEmpty()) printError(why);
    std::fprintf(stderr, "usage: brisella-cli %s %s\n", cmd.name, cmd.usage);
    return kExitUsage;
}

const Command& findCommand(const char* name) {
    for (const Command& cmd : commands())
        if (qstrcmp(cmd.name, name) == 0) return cmd;
    static const Command unknown{"", "", nullptr};
    return unknown;
}

ParsedArgs parseArgs(const QStringList& args, const QStringList& valueOptions,
                     const QStringList& flagOptions, Repeats repeats) {
    ParsedArgs out;
    for (int i = 0; i < args.size() && out.error.isEmpty(); ++i) {
        const QString& a = args[i];
        if (valueOptions.contains(a)) {
            if (out.values.contains(a) && repeats == Repeats::Refused)
                out.error = QStringLiteral("%1 given twice").arg(a);
            else if (i + 1 >= args.size()) {
                out.error = QStringLiteral("%1 needs a value").arg(a);
                out.missingValue = a;
            } else
                out.values.insert(a, args[++i]);
        } else if (flagOptions.contains(a)) {
            out.flags.insert(a);
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            out.error = QStringLiteral("unknown option %1").arg(a);
        } else {
            out.positional << a;
        }
    }
    return out;
}

int sideFromName(const QString& name) {
    if (name == QLatin1String("outside")) return SideOutside;
    if (name == QLatin1String("inside")) return SideInside;
    return -1;
}

bool openCard(CardDocument& doc, const QString& path, RenderContext& ctx, UserDialogs& dialogs) {
    CardFileContext fc{dialogs, ctx, programFolder(QCoreApplication::applicationFilePath()),
                       {},      {},  {}};
    if (openCardFile(doc, path, fc)) return true;
    printError(QStringLiteral("cannot read %1").arg(path));
    return false;
}

}  // namespace bb::cli
