#include "editor/CommandRegistry.h"

#include "editor/Icons.h"

#include <QAction>
#include <QtGlobal>

#include <utility>

namespace bb {

CommandRegistry::Command CommandRegistry::make(const QString& id, const QString& caption,
                                               const QString& objectName, const QString& statusTip,
                                               std::function<void()> run,
                                               const QList<QKeySequence>& keys) {
    Command c;
    c.id = id;
    c.caption = caption;
    c.objectName = objectName;
    c.statusTip = statusTip;
    c.run = std::move(run);
    c.keys = keys;
    return c;
}

CommandRegistry::CommandRegistry(QObject* parent) : QObject(parent) {}

CommandRegistry::~CommandRegistry() = default;

bool CommandRegistry::define(Command command) {
    if (command.id.isEmpty() || contains(command.id)) {
        qWarning("Befehl doppelt oder ohne Namen: %s", qPrintable(command.id));
        return false;
    }
    QList<QKeySequence> free;
    for (const QKeySequence& key : std::as_const(command.keys)) {
        if (key.isEmpty()) continue;
        const auto owner = keyOwners_.find(key);
        if (owner != keyOwners_.end()) {
            qWarning("Taste %s gehört schon zu %s, nicht auch zu %s",
                     qPrintable(key.toString(QKeySequence::PortableText)),
                     qPrintable(owner->second), qPrintable(command.id));
            continue;
        }
        keyOwners_.emplace(key, command.id);
        free.append(key);
    }
    command.keys = free;
    const QString id = command.id;
    commands_.emplace(id, Entry{std::move(command), {}, nullptr});
    return true;
}

QStringList CommandRegistry::ids() const {
    QStringList list;
    for (const auto& [id, entry] : commands_) list.append(id);
    return list;
}

const CommandRegistry::Command* CommandRegistry::command(const QString& id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : &it->second.command;
}

QAction* CommandRegistry::makeAction(const QString& id, QObject* owner, const QString& caption,
                                     const QString& objectName) {
    const Command& c = commands_.at(id).command;
    auto* a = new QAction(caption, owner);
    a->setObjectName(objectName);
    a->setStatusTip(c.statusTip);
    a->setCheckable(c.checkable);
    actionCommands_.emplace(a, id);
    connect(a, &QObject::destroyed, this, [this, a] { actionCommands_.erase(a); });
    connect(a, &QAction::triggered, this, [this, id] { trigger(id); });
    return a;
}

QAction* CommandRegistry::action(const QString& id, QObject* owner,
                                 Qt::ShortcutContext keyContext) {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return nullptr;
    Entry& e = it->second;
    if (e.action) return e.action;
    const Command& c = e.command;
    QAction* a = makeAction(id, owner, c.caption, c.objectName);
    if (!c.keys.isEmpty()) {
        a->setShortcuts(c.keys);
        a->setShortcutContext(keyContext);
    }
    const QString icon = c.iconName.isEmpty() ? iconNameFor(c.objectName) : c.iconName;
    if (!icon.isEmpty()) a->setIcon(themedIcon(icon));
    e.action = a;
    connect(a, &QObject::destroyed, this, [this, id] {
        if (const auto found = commands_.find(id); found != commands_.end())
            found->second.action = nullptr;
    });
    return a;
}

QAction* CommandRegistry::action(const QString& id) const {
    const auto it = commands_.find(id);
    return it == commands_.end() ? nullptr : it->second.action;
}

QAction* CommandRegistry::add(QObject* owner, Command command, Qt::ShortcutContext keyContext) {
    const QString id = command.id;
    if (!define(std::move(command))) return nullptr;
    return action(id, owner, keyContext);
}

QAction* CommandRegistry::face(const QString& id, QObject* owner, const Face& face) {
    const Command* c = command(id);
    if (!c) return nullptr;
    QAction* a = makeAction(id, owner, face.caption.isEmpty() ? c->caption : face.caption,
                            face.objectName.isEmpty() ? c->objectName : face.objectName);
    if (face.ownStatusTip) a->setStatusTip(face.statusTip);
    if (face.toolTip) {
        a->setIconText(a->text());  // keep the "..." that tool buttons drop by default
        a->setToolTip(a->statusTip());
    }
    if (face.showKeys && !c->keys.isEmpty()) {
        // Shown beside the caption; the command's own action takes the keys.
        a->setShortcuts(c->keys);
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    return a;
}

QString CommandRegistry::commandOf(const QAction* action) const {
    const auto it = actionCommands_.find(action);
    return it == actionCommands_.end() ? QString() : it->second;
}

void CommandRegistry::setRunner(std::function<void(const std::function<void()>&)> runner) {
    runner_ = std::move(runner);
}

void CommandRegistry::setRun(const QString& id, std::function<void()> run) {
    if (const auto it = commands_.find(id); it != commands_.end())
        it->second.command.run = std::move(run);
}

void CommandRegistry::setCondition(const QStringList& ids, const std::function<bool()>& condition) {
    for (const QString& id : ids)
        if (const auto it = commands_.find(id); it != commands_.end())
            it->second.condition = condition;
}

bool CommandRegistry::applies(const QString& id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    const Entry& e = it->second;
    if (e.condition && !e.condition()) return false;
    return !e.command.enabled || e.command.enabled();
}

void CommandRegistry::trigger(const QString& id) {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return;
    if (it->second.condition && !it->second.condition()) return;
    // A copy: the command may replace handlers while it runs.
    const std::function<void()> run = it->second.command.run;
    if (!run) return;
    if (runner_)
        runner_(run);
    else
        run();
}

void CommandRegistry::updateEnabled(const QList<QAction*>& actions) const {
    for (QAction* a : actions) {
        const QString id = commandOf(a);
        if (!id.isEmpty()) a->setEnabled(applies(id));
    }
}

}  // namespace bb
