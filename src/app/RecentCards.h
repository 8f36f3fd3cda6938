// The cards opened or saved last, newest first, for "Zuletzt geöffnet"; kept in the settings.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace bb {

class RecentCards {
public:
    static constexpr int kMax = 8;

    const QStringList& paths() const { return paths_; }
    // Puts `path` (made absolute and clean) first; an earlier entry of it goes.
    void add(const QString& path);
    // A renamed card keeps its place under its new name.
    void rename(const QString& from, const QString& to);
    void clear() { paths_.clear(); }

    void load(QSettings& settings);
    void store(QSettings& settings) const;

private:
    QStringList paths_;
};

}  // namespace bb
