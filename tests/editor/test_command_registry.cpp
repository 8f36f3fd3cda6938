// The command registry: each command defined once with its keys, the faces that context menus
// and tool bars show run the same command, and a command's condition gates both its running
// and what the menus show. Also the editor's menus take every item from the registry.
#include "EditingFixture.h"

#include "editor/CommandRegistry.h"
#include "editor/EditorCommands.h"

#include <QAction>
#include <QMenu>

#include <memory>

using namespace bb;

namespace {

CommandRegistry::Command counting(const char* id, int* runs, const QList<QKeySequence>& keys = {}) {
    return CommandRegistry::make(
        QString::fromLatin1(id), QStringLiteral("&Probe"), QString::fromLatin1(id),
        QStringLiteral("Tipp"), [runs] { ++*runs; }, keys);
}

TEST(CommandRegistry, AnIdAndAKeyBelongToOneCommand) {
    QObject owner;
    CommandRegistry r;
    int runs = 0;
    const QKeySequence k(Qt::CTRL | Qt::Key_K), l(Qt::CTRL | Qt::Key_L);
    EXPECT_TRUE(r.define(counting("a", &runs, {k})));
    EXPECT_FALSE(r.define(counting("a", &runs)));
    // A second command on a taken key would leave both silent: it gets only its free keys.
    EXPECT_TRUE(r.define(counting("b", &runs, {k, l})));
    EXPECT_EQ(r.ids(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(r.action(QStringLiteral("a"), &owner)->shortcuts(), QList<QKeySequence>{k});
    QAction* b = r.action(QStringLiteral("b"), &owner);
    EXPECT_EQ(b->shortcuts(), QList<QKeySequence>{l});
    EXPECT_EQ(b->shortcutContext(), Qt::WindowShortcut);
    // The own action is made once.
    EXPECT_EQ(r.action(QStringLiteral("b"), &owner), b);
    EXPECT_EQ(r.action(QStringLiteral("nichts"), &owner), nullptr);
    EXPECT_EQ(r.face(QStringLiteral("nichts"), &owner, {}), nullptr);
}

TEST(CommandRegistry, FacesShowTheirOwnLookAndRunTheSameCommand) {
    QObject owner;
    CommandRegistry r;
    int runs = 0;
    const QKeySequence k(Qt::CTRL | Qt::Key_K);
    r.define(counting("a", &runs, {k}));
    QAction* own = r.action(QStringLiteral("a"), &owner);
    CommandRegistry::Face look;
    look.caption = QStringLiteral("P&robe");
    look.objectName = QStringLiteral("ProbeM");
    look.showKeys = true;
    QAction* face = r.face(QStringLiteral("a"), &owner, look);
    EXPECT_EQ(face->text(), QStringLiteral("P&robe"));
    EXPECT_EQ(face->objectName(), QStringLiteral("ProbeM"));
    EXPECT_EQ(face->statusTip(), QStringLiteral("Tipp"));
    // The key is shown, but only the own action takes it window-wide.
    EXPECT_EQ(face->shortcut(), k);
    EXPECT_EQ(face->shortcutContext(), Qt::WidgetShortcut);
    CommandRegistry::Face button;
    button.caption = QStringLiteral("Probe...");
    button.statusTip = QStringLiteral("Knopf");
    button.ownStatusTip = true;
    button.toolTip = true;
    QAction* tool = r.face(QStringLiteral("a"), &owner, button);
    EXPECT_TRUE(tool->shortcuts().isEmpty());
    EXPECT_EQ(tool->toolTip(), QStringLiteral("Knopf"));
    EXPECT_EQ(tool->iconText(), QStringLiteral("Probe..."));

    for (QAction* a : {own, face, tool}) {
        EXPECT_EQ(r.commandOf(a), QStringLiteral("a"));
        a->trigger();
    }
    EXPECT_EQ(runs, 3);
    QAction other;
    EXPECT_TRUE(r.commandOf(&other).isEmpty());

    // A place that must do more replaces the handler for every face.
    int replaced = 0;
    r.setRun(QStringLiteral("a"), [&replaced] { ++replaced; });
    face->trigger();
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(runs, 3);
    // A destroyed own action is no longer handed out.
    delete own;
    EXPECT_EQ(r.action(QStringLiteral("a")), nullptr);
    EXPECT_TRUE(r.commandOf(face) == QStringLiteral("a"));
}

TEST(CommandRegistry, TheConditionGatesRunningAndEnablingAndTheRunnerRunsEverything) {
    QObject owner;
    CommandRegistry r;
    int runs = 0, viaRunner = 0;
    bool shown = false, applies = true;
    CommandRegistry::Command c = counting("a", &runs);
    c.enabled = [&applies] { return applies; };
    r.define(c);
    r.define(counting("b", &runs));
    QAction* a = r.action(QStringLiteral("a"), &owner);
    QAction* b = r.action(QStringLiteral("b"), &owner);
    QAction plain;
    plain.setEnabled(false);
    r.setCondition({QStringLiteral("a")}, [&shown] { return shown; });
    r.setRunner([&viaRunner](const std::function<void()>& run) {
        ++viaRunner;
        run();
    });

    r.updateEnabled({a, b, &plain});
    EXPECT_FALSE(a->isEnabled());
    EXPECT_TRUE(b->isEnabled());
    EXPECT_FALSE(plain.isEnabled()) << "actions of no command stay as they are";
    r.trigger(QStringLiteral("a"));
    EXPECT_EQ(runs, 0) << "the condition holds the command back";
    shown = true;
    r.updateEnabled({a});
    EXPECT_TRUE(a->isEnabled());
    applies = false;
    r.updateEnabled({a});
    EXPECT_FALSE(a->isEnabled());
    // The rule only decides what menus show; the command checks for itself when it runs.
    r.trigger(QStringLiteral("a"));
    b->trigger();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(viaRunner, 2);
}

using EditorCommandMenus = bbtest::EditingFixture;

TEST_F(EditorCommandMenus, EveryItemOfTheEditorsMenusIsACommandOfTheRegistry) {
    CommandRegistry& r = ed->commandRegistry();
    ObjectMenu& m = ed->menus();
    for (QMenu* menu : {m.objectMenu(), m.viewMenu()})
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            if (a->menu()) {
                for (QAction* sub : a->menu()->actions()) {
                    if (sub->isSeparator()) continue;
                    EXPECT_TRUE(r.contains(r.commandOf(sub))) << sub->objectName().toStdString();
                }
                continue;
            }
            EXPECT_TRUE(r.contains(r.commandOf(a))) << a->objectName().toStdString();
        }
    // The object menu shows the window's clipboard commands under letters of its own.
    const std::pair<const char*, QString> clipboard[] = {{"Ausschneiden1", cmd::kCut},
                                                         {"Kopieren1", cmd::kCopy},
                                                         {"Einfuegen1", cmd::kPaste},
                                                         {"Duplizieren1", cmd::kDuplicate}};
    for (const auto& [name, id] : clipboard) {
        QAction* a = m.item(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(r.commandOf(a), id) << name;
        EXPECT_EQ(a->shortcut(), r.command(id)->keys.value(0)) << name;
        EXPECT_EQ(a->shortcutContext(), Qt::WidgetShortcut) << name;
    }
    EXPECT_EQ(r.commandOf(m.item(QStringLiteral("EinfuegenV"))), cmd::kPaste);
    EXPECT_EQ(r.commandOf(m.item(QStringLiteral("Hintergrundbild1"))), cmd::kBackground);
    EXPECT_EQ(r.commandOf(m.item(QStringLiteral("GanzeKarteM"))), cmd::kWholeCard);

    // The object menu's duplicate runs the editor's clipboard command.
    CardObject& o = *ed->editedSlots()[1];
    o.kind = KindFigure;
    o.x = o.y = 100000;
    o.width = o.height = 20000;
    ed->selectSlot(1);
    m.item(QStringLiteral("Duplizieren1"))->trigger();
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 2);
}

}  // namespace
