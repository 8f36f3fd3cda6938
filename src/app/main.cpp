// Brisella-Bildwerker: start-up. The command line is not read; the program always starts with
// an empty card.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QtUserDialogs.h"
#include "app/StarterContent.h"
#include "document/ProgramFolder.h"
#include "document/UserDialogs.h"

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
    bb::MainWindow window(dialogs, options);
    dialogs.setParent(&window);
    app.setErrorDisplay([&window](const QString& text) { window.showGeneralError(text); });
    window.show();
    return app.exec();
}
