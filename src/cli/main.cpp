// brisella-cli: the headless front end. Dispatches on the first argument through the
// command table; the Qt application runs on the offscreen platform (text drawing needs
// fonts, but no display).
#include "cli/Commands.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printUsage() {
    std::fprintf(stderr, "usage:\n");
    for (const auto& cmd : bb::cli::commands())
        std::fprintf(stderr, "  brisella-cli %s %s\n", cmd.name, cmd.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Brisella-Bildwerker"));
    QGuiApplication::setOrganizationName(QStringLiteral("Tovarin"));

    QStringList args = QGuiApplication::arguments();
    if (!args.isEmpty()) args.removeFirst();  // the program itself
    if (args.isEmpty()) {
        printUsage();
        return bb::cli::kExitUsage;
    }
    const QString name = args.takeFirst();
    for (const auto& cmd : bb::cli::commands()) {
        if (name == QLatin1String(cmd.name)) return cmd.run(args);
    }
    std::fprintf(stderr, "error: unknown command \"%s\"\n", name.toLocal8Bit().constData());
    printUsage();
    return bb::cli::kExitUsage;
}
