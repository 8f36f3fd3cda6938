// The program on a desktop: its command line, the recent cards, the card folder, the window
// state kept across runs and the guide inside the program.
#include "AppTestSupport.h"

#include "app/CommandLine.h"
#include "app/GuideWindow.h"
#include "app/RecentCards.h"
#include "app/StarterContent.h"
#include "document/ProgramFolder.h"
#include "editor/EditorTab.h"
#include "print/ui/PrintTab.h"
#include "support/SilentServer.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

using namespace bb;
using bbtest::WindowTest;

namespace {

using Action = StartRequest::Action;

// Saves the window's (empty) card as `path` through the scripted save dialog.
bool saveAs(MainWindow& w, bbtest::ScriptedDialogs& dialogs, const QString& path) {
    FileDialogResult r;
    r.path = path;
    dialogs.saveAnswers.push_back(r);
    return w.saveCardAs();
}

QStringList recentTexts(MainWindow& w) {
    emit w.recentMenu()->aboutToShow();
    QStringList out;
    for (const QAction* a : w.recentMenu()->actions())
        if (!a->isSeparator())
            out << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" [grau]"));
    return out;
}

}  // namespace

TEST(CommandLine, OptionsAndCardsAreReadAsGnuProgramsDo) {
    EXPECT_EQ(parseStartArguments({}).action, Action::Run);
    EXPECT_EQ(parseStartArguments({QStringLiteral("--help")}).action, Action::Help);
    EXPECT_EQ(parseStartArguments({QStringLiteral("a.kar"), QStringLiteral("--version")}).action,
              Action::Version);
    const StartRequest bad = parseStartArguments({QStringLiteral("--drucken")});
    EXPECT_EQ(bad.action, Action::UsageError);
    EXPECT_TRUE(bad.error.contains(QStringLiteral("--drucken")));
    // "--" ends the options: a card may be called "--help"; "-" is a name too.
    const StartRequest files = parseStartArguments({QStringLiteral("a.kar"), QStringLiteral("--"),
                                                    QStringLiteral("--help"), QStringLiteral("-")});
    EXPECT_EQ(files.action, Action::Run);
    EXPECT_EQ(files.cards, (QStringList{QStringLiteral("a.kar"), QStringLiteral("--help"),
                                        QStringLiteral("-")}));

    char prog[] = "brisella-bildwerker", help[] = "--help", dashes[] = "--", card[] = "x.kar";
    char* early[] = {prog, card, help};
    EXPECT_EQ(earlyAnswer(3, early), Action::Help);
    char* late[] = {prog, dashes, help};
    EXPECT_EQ(earlyAnswer(3, late), Action::Run);
    EXPECT_TRUE(usageText().startsWith(QStringLiteral("Aufruf: brisella-bildwerker")));
}

TEST(RecentCardList, NewestFirstOnceEachAtMostEightAndRenamesFollow) {
    RecentCards r;
    for (int i = 1; i <= 10; ++i) r.add(QStringLiteral("/k/%1.kar").arg(i));
    r.add(QStringLiteral("/k/5.kar"));
    r.add(QStringLiteral("/k/./9.kar"));  // the same card written another way
    ASSERT_EQ(r.paths().size(), RecentCards::kMax);
    EXPECT_EQ(r.paths().first(), QStringLiteral("/k/9.kar"));
    EXPECT_EQ(r.paths().at(1), QStringLiteral("/k/5.kar"));
    EXPECT_EQ(r.paths().count(QStringLiteral("/k/9.kar")), 1);
    EXPECT_FALSE(r.paths().contains(QStringLiteral("/k/2.kar")));
    // A card renamed onto a name already listed leaves one entry, in the renamed one's place.
    r.rename(QStringLiteral("/k/5.kar"), QStringLiteral("/k/10.kar"));
    EXPECT_EQ(r.paths().at(1), QStringLiteral("/k/10.kar"));
    EXPECT_EQ(r.paths().count(QStringLiteral("/k/10.kar")), 1);
    EXPECT_EQ(r.paths().size(), RecentCards::kMax - 1);
}

TEST(CardFolder, HiddenProgramFolderKeepsCardsInTheDocumentsFolder) {
    bbtest::TempFolder home;
    const QString documents = home.path() + QStringLiteral("/Dokumente");
    const QString hidden = home.path() + QStringLiteral("/.local/share/Tovarin/Brisella");
    QDir().mkpath(hidden);
    const QString cards = cardFolder(hidden, documents);
    EXPECT_EQ(cards, documents + QStringLiteral("/Grußkarten"));
    EXPECT_TRUE(QFileInfo(cards).isDir());
    // The first start puts the sample cards there, not into the hidden folder.
    bbtest::TempFolder samples;
    QFile sample(samples.file(QStringLiteral("Beispiel.kar")));
    ASSERT_TRUE(sample.open(QIODevice::WriteOnly));
    sample.close();
    EXPECT_EQ(installStarterContent(cards, samples.path()), StarterResult::Installed);
    EXPECT_TRUE(QFileInfo::exists(cards + QStringLiteral("/Beispiel.kar")));
    // A folder the user sees (a build tree, a portable copy) keeps its cards.
    const QString visible = home.path() + QStringLiteral("/Programme/Brisella");
    EXPECT_EQ(cardFolder(visible, documents), visible);
}

TEST_F(WindowTest, RecentCardsListedGreyedWhenGoneClearedAndKeptForTheNextRun) {
    bbtest::TemporarySettings settings;
    const QString a = folder.file(QStringLiteral("Anna.kar"));
    const QString b = folder.file(QStringLiteral("Bernd.kar"));
    {
        auto w = make(true);
        EXPECT_EQ(recentTexts(*w), (QStringList{QStringLiteral("(keine) [grau]"),
                                                QStringLiteral("Liste &leeren [grau]")}));
        ASSERT_TRUE(saveAs(*w, dialogs, a));
        ASSERT_TRUE(saveAs(*w, dialogs, b));
        ASSERT_TRUE(w->openCard(a));
        EXPECT_EQ(recentTexts(*w),
                  (QStringList{QStringLiteral("&1 Anna.kar"), QStringLiteral("&2 Bernd.kar"),
                               QStringLiteral("Liste &leeren")}));
        ASSERT_TRUE(QFile::remove(b));
        EXPECT_EQ(recentTexts(*w).at(1), QStringLiteral("&2 Bernd.kar [grau]"));
    }
    auto w = make(true);
    EXPECT_EQ(recentTexts(*w).first(), QStringLiteral("&1 Anna.kar"));
    // A listed card opens from the menu.
    ASSERT_TRUE(w->document().fileName.isEmpty());
    w->recentMenu()->actions().first()->trigger();
    EXPECT_EQ(QFileInfo(w->document().fileName).fileName(), QStringLiteral("Anna.kar"));
    EXPECT_EQ(w->mainTabs()->currentWidget(), &w->editorTab());
    // Renamed in the browser, the open card and its entry follow.
    const QString c = folder.file(QStringLiteral("Clara.kar"));
    ASSERT_TRUE(QFile::rename(a, c));
    emit w->browserTab()->cardRenamed(a, c);
    EXPECT_EQ(w->document().fileName, c);
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("Clara.kar")));
    EXPECT_EQ(recentTexts(*w).first(), QStringLiteral("&1 Clara.kar"));
    for (QAction* act : w->recentMenu()->actions())
        if (act->objectName() == QLatin1String("ListeLeerenItem")) act->trigger();
    EXPECT_TRUE(w->recentCards().paths().isEmpty());
    EXPECT_TRUE(make(true)->recentCards().paths().isEmpty());
}

TEST_F(WindowTest, CardFromTheCommandLineOpensInTheEditorAndSplitterAndTabComeBack) {
    bbtest::TemporarySettings settings;
    const QString card = folder.file(QStringLiteral("Geburtstag.kar"));
    QList<int> sizes;
    {
        auto w = make(true);
        ASSERT_TRUE(saveAs(*w, dialogs, card));
        w->show();
        auto* splitter = w->findChild<QSplitter*>(QStringLiteral("BrowserSplitter"));
        ASSERT_NE(splitter, nullptr);
        splitter->setSizes({splitter->width() / 5, splitter->width() * 4 / 5});
        sizes = splitter->sizes();
        w->mainTabs()->setCurrentWidget(w->printTab());
        ASSERT_TRUE(settle(*w));
        dialogs.answers.push_back(BtnNo);  // "Programm beenden": do not save
        ASSERT_TRUE(w->close());
    }
    {
        auto w = make(true);
        w->show();
        EXPECT_EQ(w->mainTabs()->currentWidget(), w->printTab());
        w->mainTabs()->setCurrentWidget(w->browserTab());
        EXPECT_EQ(w->findChild<QSplitter*>(QStringLiteral("BrowserSplitter"))->sizes(), sizes);
        ASSERT_TRUE(settle(*w));
        // A name relative to the working folder is read from there.
        const QString old = QDir::currentPath();
        QDir::setCurrent(folder.path());
        const bool ok = w->openCardFromCommandLine(QStringLiteral("Geburtstag.kar"));
        QDir::setCurrent(old);
        ASSERT_TRUE(ok);
        EXPECT_EQ(w->document().fileName, card);
        EXPECT_EQ(w->mainTabs()->currentWidget(), &w->editorTab());
        EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("Geburtstag.kar")));
    }
    // A card that is not there is told, and the window keeps its empty card.
    auto w = make();
    dialogs.messages.clear();
    EXPECT_FALSE(w->openCardFromCommandLine(folder.file(QStringLiteral("fehlt.kar"))));
    EXPECT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(w->document().fileName.isEmpty());
}

TEST_F(WindowTest, F1ShowsTheGuideWithItsPicturesAndNoWindowKeyIsTakenTwice) {
    auto w = make();
    // Two actions on one key make both dead (Qt calls the key ambiguous).
    QMap<QKeySequence, QString> owner;
    for (const QAction* a : w->findChildren<QAction*>()) {
        if (a->shortcutContext() == Qt::WidgetShortcut) continue;
        for (const QKeySequence& k : a->shortcuts()) {
            EXPECT_FALSE(owner.contains(k))
                << k.toString().toStdString() << ": " << owner.value(k).toStdString() << " and "
                << a->objectName().toStdString();
            owner.insert(k, a->objectName());
        }
    }
    for (const QKeySequence& k :
         {QKeySequence(Qt::CTRL | Qt::Key_P), QKeySequence(Qt::CTRL | Qt::Key_D),
          QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::ALT | Qt::Key_X),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_U)})
        EXPECT_TRUE(owner.contains(k)) << k.toString().toStdString();
    auto* item = w->findChild<QAction*>(QStringLiteral("AnleitungItem"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->shortcuts().contains(QKeySequence(Qt::Key_F1)));
    item->trigger();
    GuideWindow* guide = w->guideWindow();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    QTextDocument* doc = guide->browser()->document();
    EXPECT_TRUE(doc->toPlainText().contains(QStringLiteral("Brisella-Bildwerker")));
    // Every picture the guide shows is found beside it.
    int pictures = 0;
    for (QTextBlock b = doc->begin(); b != doc->end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
            if (!f.isValid()) continue;
            ++pictures;
            const QVariant image =
                guide->browser()->loadResource(QTextDocument::ImageResource, QUrl(f.name()));
            EXPECT_FALSE(image.isNull()) << f.name().toStdString();
        }
    EXPECT_GE(pictures, 3);
}

TEST_F(WindowTest, CtrlPShowsThePrintTabAndPrintsNothing) {
    auto w = make();
    QAction* owner = nullptr;
    for (QAction* a : w->findChildren<QAction*>())
        if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_P))) owner = a;
    ASSERT_NE(owner, nullptr);
    w->mainTabs()->setCurrentIndex(0);
    dialogs.messages.clear();
    owner->trigger();
    // The preview with its settings, from where one click prints; no job, no file question.
    EXPECT_EQ(w->mainTabs()->currentWidget(), w->findChild<PrintTab*>());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.saveRequests.isEmpty());
    EXPECT_FALSE(w->findChild<PrintTab*>()->isPrinting());
    // "&Drucken..." keeps Ctrl+D and prints.
    auto* printItem = w->findChild<QAction*>(QStringLiteral("PrintItem"));
    ASSERT_NE(printItem, nullptr);
    EXPECT_EQ(printItem->shortcuts(), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_D)});
}

// A print service that takes connections and never answers: the window is made without
// waiting for it, shows its print tab, and the tab says that the service does not answer.
TEST_F(WindowTest, StartsAndShowsThePrintTabWhileThePrintServiceIsSilent) {
    bbtest::SilentServer server(bbtest::SilentServer::AcceptAndStaySilent);
    ASSERT_TRUE(server.ok());
    qputenv("CUPS_SERVER", server.address().toUtf8());
    auto w = make();
    PrintTab* tab = w->printTab();
    ASSERT_NE(tab, nullptr);
    EXPECT_FALSE(tab->printService().has_value());  // asked in the background
    w->mainTabs()->setCurrentWidget(tab);
    w->show();
    ASSERT_TRUE(bbtest::runUntil([&] { return tab->printService().has_value(); }));
    EXPECT_EQ(*tab->printService(), ServiceState::Silent);
    auto* label = tab->findChild<QLabel*>(QStringLiteral("DruckdienstLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("Der Druckdienst antwortet nicht"));
    // "eMail Export" asks the printer's resolution: within the service's time limit, then on
    // to its file question (cancelled here).
    auto* exportButton = tab->findChild<QAbstractButton*>(QStringLiteral("EMailBtn"));
    ASSERT_NE(exportButton, nullptr);
    const qsizetype asked = dialogs.saveRequests.size();
    exportButton->click();
    EXPECT_EQ(dialogs.saveRequests.size(), asked + 1);
    qunsetenv("CUPS_SERVER");
}
