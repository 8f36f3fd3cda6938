// The letters and keys of the whole window, found by walking its widgets: in every menu (the
// menu bar's menus and their sub-menus, the editor's object and view menus, the browser's card
// menu) no two items share an underlined letter, the menu bar's titles and the tool bars'
// buttons share none either, and no two commands of the window answer to the same key.
#include "AppTestSupport.h"

#include "editor/CommandRegistry.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <map>
#include <set>

using namespace bb;
using bbtest::WindowTest;

namespace {

// The underlined letter of a caption ("Ö&ffnen..." gives F), or none; "&&" is a plain "&".
// `count` receives how many letters the caption marks.
QChar accelerator(const QString& text, int* count = nullptr) {
    QChar letter;
    int marked = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (marked++ == 0) letter = text[i + 1].toUpper();
    }
    if (count) *count = marked;
    return letter;
}

QString describe(const QObject* o, const QString& text) {
    return (o->objectName().isEmpty() ? QStringLiteral("?") : o->objectName()) +
           QStringLiteral(" \"") + text + QLatin1Char('"');
}

// Clashes among captions: each letter with the items that take it, where there are two or more.
QStringList letterClashes(const QList<std::pair<const QObject*, QString>>& items) {
    std::map<QChar, QStringList> byLetter;
    QStringList problems;
    for (const auto& [object, text] : items) {
        int marked = 0;
        const QChar letter = accelerator(text, &marked);
        if (marked > 1)
            problems << QStringLiteral("more than one letter: ") + describe(object, text);
        if (!letter.isNull()) byLetter[letter] << describe(object, text);
    }
    for (const auto& [letter, names] : byLetter)
        if (names.size() > 1)
            problems << QStringLiteral("%1: %2").arg(letter).arg(names.join(QStringLiteral(", ")));
    return problems;
}

QList<std::pair<const QObject*, QString>> menuItems(const QMenu* menu) {
    QList<std::pair<const QObject*, QString>> items;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator()) items.append({a, a->text()});
    return items;
}

}  // namespace

class MenuKeysTest : public WindowTest {};

TEST_F(MenuKeysTest, NoTwoItemsOfAMenuShareALetterAndNoTwoCommandsShareAKey) {
    auto w = make();
    w->show();
    ASSERT_TRUE(settle(*w));
    // The recent list with a name that holds "&": its items take only their number.
    const QString odd = folder.file(QStringLiteral("Tom & Jerry.kar"));
    dialogs.saveAnswers = {{odd, 1}};
    ASSERT_TRUE(w->saveCardAs());
    emit w->recentMenu()->aboutToShow();

    QStringList problems;
    const QList<QMenu*> menus = w->findChildren<QMenu*>();
    // The walk reaches the menus of every part of the window.
    for (const char* name :
         {"Datei1", "Bearbeiten1", "Einstellungen1", "Hilfe1", "ZuletztMenu", "Ausrichten1",
          "PopupMenu1", "AusrichtenM", "PBoxPopup", "BrowserCardMenu"}) {
        const bool found = std::any_of(menus.begin(), menus.end(), [&](const QMenu* m) {
            return m->objectName() == QLatin1String(name);
        });
        EXPECT_TRUE(found) << name;
    }
    for (const QMenu* menu : menus)
        for (const QString& p : letterClashes(menuItems(menu)))
            problems << menu->objectName() + QStringLiteral(": ") + p;

    // The menu bar's titles and the tool bars' buttons all answer to Alt and their letter.
    QList<std::pair<const QObject*, QString>> windowWide;
    for (const QMenuBar* bar : w->findChildren<QMenuBar*>())
        for (const QAction* a : bar->actions()) windowWide.append({a, a->text()});
    const QList<QToolBar*> toolBars = w->findChildren<QToolBar*>();
    EXPECT_FALSE(toolBars.isEmpty());
    for (const QToolBar* bar : toolBars)
        for (const QToolButton* b : bar->findChildren<QToolButton*>())
            if (b->defaultAction()) windowWide.append({b->defaultAction(), b->text()});
    for (const QString& p : letterClashes(windowWide))
        problems << QStringLiteral("menu bar and tool bars: ") + p;

    // Keys: window-wide ones (of the window's actions and shortcuts) must differ; keys that
    // act only in one widget (the object menu shows the window's keys that way) must differ
    // within that widget.
    std::map<std::pair<const QObject*, int>, QStringList> byKey;
    const QObject* const windowScope = w.get();
    const auto note = [&](const QObject* scope, const QKeySequence& key, const QString& who) {
        if (key.isEmpty()) return;
        byKey[{scope, key[0].toCombined()}] << who + QStringLiteral(" (") +
                                                   key.toString(QKeySequence::NativeText) +
                                                   QLatin1Char(')');
    };
    std::set<const QAction*> actions;
    for (const QAction* a : w->findChildren<QAction*>()) actions.insert(a);
    for (const QWidget* widget : w->findChildren<QWidget*>())
        for (const QAction* a : widget->actions()) actions.insert(a);
    for (const QAction* a : actions) {
        const bool local = a->shortcutContext() == Qt::WidgetShortcut ||
                           a->shortcutContext() == Qt::WidgetWithChildrenShortcut;
        const QList<QObject*> owners = a->associatedObjects();
        for (const QKeySequence& key : a->shortcuts()) {
            if (!local) {
                note(windowScope, key, describe(a, a->text()));
                continue;
            }
            for (const QObject* owner : owners) note(owner, key, describe(a, a->text()));
        }
    }
    for (const QShortcut* s : w->findChildren<QShortcut*>()) {
        const bool local =
            s->context() == Qt::WidgetShortcut || s->context() == Qt::WidgetWithChildrenShortcut;
        for (const QKeySequence& key : s->keys())
            note(local ? s->parent() : windowScope, key, describe(s, QStringLiteral("Taste")));
    }
    for (const auto& [scope, names] : byKey)
        if (names.size() > 1)
            problems << QStringLiteral("same key: ") + names.join(QStringLiteral(", "));
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();

    // The items the program has always had keep their letters.
    const std::pair<const char*, QChar> kept[] = {
        {"Neu1", QLatin1Char('N')},
        {"OpenItem", QLatin1Char('F')},
        {"SaveItem", QLatin1Char('S')},
        {"Speichernunter1", QLatin1Char('U')},
        {"PrintSetup1", QLatin1Char('E')},
        {"Druckerkalibrieren1", QLatin1Char('K')},
        {"PrintItem", QLatin1Char('D')},
        {"ExitItem", QLatin1Char('B')},
        {"Hintergrundbild1", QLatin1Char('H')},
        {"Etikettenformat1", QLatin1Char('K')},
        {"About1", QLatin1Char('O')},
        {"Lschen1", QLatin1Char('L')},
        {"FarbeM", QLatin1Char('F')},
        {"SchriftartM", QLatin1Char('S')},
        {"Texteffekte1", QLatin1Char('T')},
        {"Transparenz1", QLatin1Char('Z')},
        {"SverhM", QLatin1Char('I')},
        {"KreisM", QLatin1Char('K')},
        {"EllipseM", QLatin1Char('E')},
        {"QuadratM", QLatin1Char('Q')},
        {"RechteckM", QLatin1Char('R')},
        {"Rund1M", QLatin1Char('A')},
        {"Rund2M", QLatin1Char('B')},
        {"Liniehorizontal1", QLatin1Char('H')},
        {"Linievertikal1", QLatin1Char('V')},
    };
    for (const auto& [name, letter] : kept) {
        const auto* a = w->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(accelerator(a->text()), letter) << name;
    }
    const QAction* recent = w->findChild<QAction*>(QStringLiteral("ZuletztItem1"));
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->text(), QStringLiteral("&1 Tom && Jerry.kar"));
}

// Every item of the menu bar, the editor's tool bar and its context menus runs a command of
// the window's one registry; a command that shows up in several places is one entry there,
// and only its own item takes its keys.
TEST_F(MenuKeysTest, EveryItemRunsOneCommandOfTheRegistryWhereverItIsShown) {
    auto w = make();
    CommandRegistry& r = w->commands();
    std::map<QString, int> ownItems;  // command -> items that take its keys window-wide
    QStringList unbound;
    const auto check = [&](const QAction* a) {
        if (a->isSeparator() || a->menu()) return;
        const QString id = r.commandOf(a);
        if (!r.contains(id)) {
            unbound << a->objectName();
            return;
        }
        if (a->shortcutContext() != Qt::WidgetShortcut && !a->shortcuts().isEmpty()) ++ownItems[id];
    };
    for (const QMenu* menu : w->findChildren<QMenu*>()) {
        // The recent cards and the browser's card menu act on files, not on commands.
        if (menu->objectName() == QLatin1String("ZuletztMenu") ||
            menu->objectName() == QLatin1String("BrowserCardMenu"))
            continue;
        for (const QAction* a : menu->actions()) check(a);
    }
    // The editor's tool bar; the print tab's holds its own controls.
    for (const QAction* a : w->editorTab().toolBar()->actions()) check(a);
    EXPECT_TRUE(unbound.isEmpty()) << unbound.join(QLatin1Char(' ')).toStdString();
    for (const auto& [id, count] : ownItems) EXPECT_EQ(count, 1) << id.toStdString();

    // The object menu's clipboard items are the window's "&Bearbeiten" commands.
    const std::pair<const char*, const char*> same[] = {{"Ausschneiden1", "AusschneidenItem"},
                                                        {"Kopieren1", "KopierenItem"},
                                                        {"Einfuegen1", "EinfuegenItem"},
                                                        {"Duplizieren1", "DuplizierenItem"},
                                                        {"EinfuegenV", "EinfuegenItem"},
                                                        {"GanzeKarteM", "GanzeKarte1"},
                                                        {"NewBtn", "Neu1"},
                                                        {"SpeedItem4", "OpenItem"},
                                                        {"SpeedItem5", "SaveItem"},
                                                        {"SpeedItem6", "Hintergrundbild1"}};
    ObjectMenu& menus = w->editing().menus();
    for (const auto& [shown, own] : same) {
        const QAction* face = menus.item(QString::fromLatin1(shown));
        if (!face) face = w->findChild<QAction*>(QString::fromLatin1(shown));
        const QAction* item = w->findChild<QAction*>(QString::fromLatin1(own));
        ASSERT_TRUE(face && item) << shown;
        EXPECT_FALSE(r.commandOf(item).isEmpty()) << own;
        EXPECT_EQ(r.commandOf(face), r.commandOf(item)) << shown;
        EXPECT_EQ(r.action(r.commandOf(item)), item) << own;
    }

    // Chosen in the object menu, "Kopieren" runs the window's command: on the editor tab it
    // copies, elsewhere it leaves the clipboard alone, as the window's item does.
    putFigure(*w, 1, 100000, 100000, 20000, 20000, 0xFF);
    w->editing().selectSlot(1);
    QGuiApplication::clipboard()->clear();
    w->mainTabs()->setCurrentIndex(0);
    menus.item(QStringLiteral("Kopieren1"))->trigger();
    const QMimeData* board = QGuiApplication::clipboard()->mimeData();
    EXPECT_FALSE(board && board->hasFormat(kObjectMimeType));
    w->mainTabs()->setCurrentWidget(&w->editorTab());
    menus.item(QStringLiteral("Kopieren1"))->trigger();
    board = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(board && board->hasFormat(kObjectMimeType));
}
