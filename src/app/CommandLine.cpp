#include "app/CommandLine.h"

#include <cstring>

namespace bb {

StartRequest parseStartArguments(const QStringList& args) {
    StartRequest r;
    bool options = true;
    for (const QString& a : args) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            if (r.action == StartRequest::Action::Run) r.action = StartRequest::Action::Help;
        } else if (options && a == QLatin1String("--version")) {
            if (r.action == StartRequest::Action::Run) r.action = StartRequest::Action::Version;
        } else if (options && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            r.action = StartRequest::Action::UsageError;
            r.error = QStringLiteral("unbekannte Option „%1“").arg(a);
            return r;
        } else {
            r.cards.append(a);
        }
    }
    return r;
}

StartRequest::Action earlyAnswer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return StartRequest::Action::Help;
        if (std::strcmp(argv[i], "--version") == 0) return StartRequest::Action::Version;
    }
    return StartRequest::Action::Run;
}

QString usageText() {
    return QStringLiteral(
        "Aufruf: brisella-bildwerker [OPTION]... [KARTE.kar]...\n"
        "Gestaltet und druckt gefaltete Grußkarten.\n"
        "\n"
        "Ist eine Karte genannt, wird sie beim Start geöffnet; von mehreren Karten nur die\n"
        "erste.\n"
        "\n"
        "  -h, --help     diese Hilfe anzeigen und beenden\n"
        "      --version  Versionsangabe anzeigen und beenden\n"
        "      --         alle folgenden Argumente sind Dateinamen\n"
        "\n"
        "Außerdem gelten die Optionen von Qt, etwa -platform oder -style.\n"
        "Ohne Fenster arbeitet brisella-cli (siehe brisella-cli --help).\n");
}

QString versionText() {
    return QStringLiteral(
        "brisella-bildwerker 1.0\n"
        "Copyright © Tovarin\n");
}

}  // namespace bb
