// Shared helpers of the command-line commands: error and usage output.
#include "cli/Commands.h"

#include <cstdio>

namespace bb::cli {

void printError(const QString& text) {
    std::fprintf(stderr, "error: %s\n", text.toLocal8Bit().constData());
}

int usageError(const Command& cmd, const QString& why) {
    if (!why.isEmpty()) printError(why);
    std::fprintf(stderr, "usage: brisella-cli %s %s\n", cmd.name, cmd.usage);
    return kExitUsage;
}

}  // namespace bb::cli
