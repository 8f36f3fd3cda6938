// The command line of brisella-bildwerker: "--help" and "--version" as GNU programs answer
// them, and the card files to open.
#pragma once

#include <QString>
#include <QStringList>

namespace bb {

struct StartRequest {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QStringList cards;  // the files named, in order; the first is opened
    QString error;      // for UsageError: what was wrong, in German
};

// Reads the arguments after the program name. "--" ends the options; every other argument
// that starts with "-" is an unknown option ("-" alone is a file name).
StartRequest parseStartArguments(const QStringList& args);

// Whether the raw arguments ask for "--help" or "--version" before any "--": answered before
// a window system is needed.
StartRequest::Action earlyAnswer(int argc, char** argv);

QString usageText();
QString versionText();

}  // namespace bb
