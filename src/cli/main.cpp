// brisella-cli: the headless front end. Dispatches on the first argument through the
// command table; the Qt application runs on the offscreen platform (text drawing needs
// fonts, but no display).
#include "cli/Commands.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void printUsage() {
    std::fprintf(stderr, "usage:\n");
    for (const auto& cmd : bb::cli::commands())
        std::fprintf(stderr, "  brisella-cli %s %s\n", cmd.name, cmd.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The thumbnail command draws no text: it runs without a platform and fonts, which
    // saves most of the start-up of a process that file managers start once per card.
    const bool needsNoFonts = argc > 1 && std::strcmp(argv[1], "thumbnail") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (needsNoFonts) {
        // PNG is built into Qt: no search through the picture plugins either.
        QCoreApplication::setLibraryPaths({});
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Brisella-Bildwerker"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tovarin"));

    QStringList args = QCoreApplication::arguments();
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
