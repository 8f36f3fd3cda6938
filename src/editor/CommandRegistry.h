// The program's commands, each defined once: what it does, when it applies, its keys and its
// look (caption with its accelerator letter, status tip, icon). The menu bar, the tool bars and
// the context menus take their items from here: a command's own action carries its keys
// window-wide; other places show it through faces, actions of their own that differ only in
// what the place needs (a context menu's letter, a tool button's text) and run the same command.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>

class QAction;

namespace bb {

class CommandRegistry : public QObject {
    Q_OBJECT
public:
    struct Command {
        QString id;                 // "edit.cut"
        QString caption;            // with its accelerator letter: "&Ausschneiden"
        QString objectName;         // of the command's own action: "AusschneidenItem"
        QList<QKeySequence> keys;   // the first is the one shown
        QString statusTip;          // also the status line's text
        QString iconName;           // empty: the icon of the objectName (iconNameFor)
        std::function<void()> run;  // the handler
        // Whether the command applies now (menus show it enabled when they open); empty: always.
        std::function<bool()> enabled;
        bool checkable = false;
    };

    // How a place other than the command's own action shows it; empty fields take the
    // command's.
    struct Face {
        QString caption;
        QString objectName;
        QString statusTip;  // set `ownStatusTip` for a tip of its own (an empty one included)
        bool ownStatusTip = false;
        bool toolTip = false;   // a tool button: the status tip also as tool tip, text kept whole
        bool showKeys = false;  // shows the command's keys, which act only in its own widget
    };

    // A command with its look and handler; keys and the rule are set on the result.
    static Command make(const QString& id, const QString& caption, const QString& objectName,
                        const QString& statusTip, std::function<void()> run,
                        const QList<QKeySequence>& keys = {});

    explicit CommandRegistry(QObject* parent = nullptr);
    ~CommandRegistry() override;

    // Defines a command. An id is defined once; a key that another command has already is
    // not given again (two actions on one key would both stay silent), with a warning.
    // Returns false when the id was taken.
    bool define(Command command);
    bool contains(const QString& id) const { return commands_.count(id) != 0; }
    QStringList ids() const;
    const Command* command(const QString& id) const;

    // The command's own action, created on the first call as a child of `owner`, with the
    // command's keys in `keyContext`. Null for an unknown id.
    QAction* action(const QString& id, QObject* owner,
                    Qt::ShortcutContext keyContext = Qt::WindowShortcut);
    // The command's own action once created, else null.
    QAction* action(const QString& id) const;
    // Defines the command and creates its own action in one step.
    QAction* add(QObject* owner, Command command,
                 Qt::ShortcutContext keyContext = Qt::WindowShortcut);
    // A further action, a child of `owner`, that shows and runs the command `id`.
    QAction* face(const QString& id, QObject* owner, const Face& face);
    // The id of the command an action (its own or a face) runs; empty for other actions.
    QString commandOf(const QAction* action) const;

    // Every command runs through `runner` (the window's: failures to its error display,
    // nothing while a print run lasts); without one, directly.
    void setRunner(std::function<void(const std::function<void()>&)> runner);
    // Replaces the handler of `id` (a place that must do more, such as showing the editor).
    void setRun(const QString& id, std::function<void()> run);
    // The commands `ids` act, and show enabled, only while `condition` holds (the editor's
    // commands from the window's menus: while the editor is shown).
    void setCondition(const QStringList& ids, const std::function<bool()>& condition);

    // Whether the command's condition and its rule hold now.
    bool applies(const QString& id) const;
    // Runs the command through the runner, when its condition holds.
    void trigger(const QString& id);
    // Enables every action among `actions` that runs a command as that command applies now;
    // other actions stay as they are.
    void updateEnabled(const QList<QAction*>& actions) const;

private:
    struct Entry {
        Command command;
        std::function<bool()> condition;
        QAction* action = nullptr;
    };
    QAction* makeAction(const QString& id, QObject* owner, const QString& caption,
                        const QString& objectName);

    std::map<QString, Entry> commands_;
    std::map<const QAction*, QString> actionCommands_;
    std::map<QKeySequence, QString> keyOwners_;
    std::function<void(const std::function<void()>&)> runner_;
};

}  // namespace bb
