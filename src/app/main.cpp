// Brisella-Bildwerker: start-up. The command line is not read; the program starts with an
// empty card, or with a card left unsaved by a crash when the user restores it.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QtUserDialogs.h"
#include "app/StarterContent.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"

#include <QStandardPaths>
#include <QTimer>

int main(int argc, char** argv) {
    bb::BrisellaApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tovarin"));
    QCoreApplication::setApplicationName(QStringLiteral("Brisella-Bildwerker"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    bb::installGermanQtTranslation(app);

    bb::QtUserDialogs dialogs;
    bb::MainWindow::Options options;
    options.programFolder = bb::programFolder(QCoreApplication::applicationFilePath());
    // First start: the sample cards into the program folder, before the browser walks it.
    bb::installStarterContent(
        options.programFolder,
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
    // Cards left behind by a crash are offered once the window is up.
    QTimer::singleShot(0, &window, [&window] { window.offerRecovery(); });
    return app.exec();
}
