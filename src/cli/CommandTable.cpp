// The commands of brisella-cli, one line each: {"name", "arguments", &runName}, with runName
// declared in Commands.h and defined in CmdName.cpp.
#include "cli/Commands.h"

namespace bb::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        // commands, alphabetical
    };
    return table;
}

}  // namespace bb::cli
