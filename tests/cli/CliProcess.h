// Runs the built brisella-cli as a separate process for the command-line tests.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <optional>

namespace bbtest {

struct CliRun {
    int exitCode = -1;  // -1 when the tool crashed or did not finish
    QByteArray out, err;
};

// `input`, when given, is the tool's whole standard input (closed after it).
inline CliRun runCli(const QStringList& args,
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                     int timeoutMs = 60000, const std::optional<QByteArray>& input = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(BRISELLA_CLI_PATH), args);
    if (input && p.waitForStarted(timeoutMs)) {
        p.write(*input);
        p.closeWriteChannel();
    }
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

}  // namespace bbtest
