// Brisella-Bildwerker: start-up. "--help" and "--version" are answered before any window
// system is needed; a card named on the command line opens once the window is up, after
// cards left unsaved by a crash have been offered.
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/QtUserDialogs.h"
#include "app/StarterContent.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"

#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

namespace {

void print(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
}

}  // namespace

int main(int argc, char** argv) {
    switch (bb::earlyAnswer(argc, argv)) {
        case bb::StartRequest::Action::Help:
            print(stdout, bb::usageText());
            return 0;
        case bb::StartRequest::Action::Version:
            print(stdout, bb::versionText());
            return 0;
        default:
            break;
    }
    bb::BrisellaApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tovarin"));
    QCoreApplication::setApplicationName(QStringLiteral("Brisella-Bildwerker"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    const bb::StartRequest request = bb::parseStartArguments(app.arguments().mid(1));
    if (request.action == bb::StartRequest::Action::UsageError) {
        print(stderr, QStringLiteral("brisella-bildwerker: %1\n„brisella-bildwerker --help“ "
                                     "zeigt die Hilfe.\n")
                          .arg(request.error));
        return 2;
    }
    if (request.cards.size() > 1)
        print(stderr, QStringLiteral("brisella-bildwerker: nur die erste Karte wird geöffnet; "
                                     "nicht geöffnet: %1\n")
                          .arg(request.cards.mid(1).join(QStringLiteral(", "))));
    bb::installGermanQtTranslation(app);

    bb::QtUserDialogs dialogs;
    bb::MainWindow::Options options;
    options.programFolder = bb::programFolder(QCoreApplication::applicationFilePath());
    options.cardFolder = bb::cardFolder(
        options.programFolder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    // First start: the sample cards into the card folder, before the browser walks it.
    bb::installStarterContent(
        options.cardFolder,
        bb::findSampleFolder(bb::sampleFolderCandidates(QCoreApplication::applicationDirPath())));
    // Copies of unsaved changes live in the per-user data folder, apart from the cards.
    options.recoveryFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                             QStringLiteral("/Wiederherstellung");
    bool intervalSet = false;
    const int seconds = qEnvironmentVariableIntValue("BRISELLA_AUTOSAVE_SECONDS", &intervalSet);
    if (intervalSet && seconds > 0) options.autosaveSeconds = seconds;
    bb::MainWindow window(dialogs, options);
    dialogs.setParent(&window);
    app.setErrorDisplay([&window](const QString& text) { window.showGeneralError(text); });
    window.show();
    // Cards left behind by a crash are offered once the window is up; then the card named on
    // the command line opens (with the usual question when a restored card is unsaved).
    const QString card = request.cards.value(0);
    QTimer::singleShot(0, &window, [&window, card] {
        window.offerRecovery();
        window.showUpcomingBirthdays();
        if (!card.isEmpty()) window.openCardFromCommandLine(card);
    });
    return app.exec();
}
