#include "app/RecentCards.h"

#include <QFileInfo>
#include <QSettings>

namespace bb {

namespace {

const char* const kKey = "Zuletzt/Karten";

QString normalised(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

}  // namespace

void RecentCards::add(const QString& path) {
    const QString p = normalised(path);
    if (p.isEmpty()) return;
    paths_.removeAll(p);
    paths_.prepend(p);
    while (paths_.size() > kMax) paths_.removeLast();
}

void RecentCards::rename(const QString& from, const QString& to) {
    const QString f = normalised(from);
    const QString t = normalised(to);
    if (t.isEmpty() || !paths_.contains(f)) return;
    paths_.removeAll(t);
    paths_[paths_.indexOf(f)] = t;
}

void RecentCards::load(QSettings& settings) {
    paths_.clear();
    // A hand-edited store may hold anything: only non-empty names, each once, at most kMax.
    for (const QString& p : settings.value(QLatin1String(kKey)).toStringList()) {
        const QString n = normalised(p);
        if (!n.isEmpty() && !paths_.contains(n)) paths_.append(n);
        if (paths_.size() == kMax) break;
    }
}

void RecentCards::store(QSettings& settings) const {
    settings.setValue(QLatin1String(kKey), paths_);
}

}  // namespace bb
