#include "content/DesignLibrary.h"

#include "content/Occasions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QtDebug>

#include <algorithm>

namespace bb {

namespace {

// An index lists a few hundred designs in a few hundred kilobytes at most; anything much
// larger is not an index and is not read into memory.
constexpr qint64 kMaxIndexBytes = 4 * 1024 * 1024;

QStringList keywordList(const QJsonValue& value) {
    QStringList out;
    if (value.isArray()) {
        for (const QJsonValue v : value.toArray())
            if (v.isString() && !v.toString().trimmed().isEmpty()) out << v.toString().trimmed();
    } else if (value.isString()) {
        for (const QString& word : value.toString().split(QLatin1Char(',')))
            if (!word.trimmed().isEmpty()) out << word.trimmed();
    }
    return out;
}

// The card file an index entry names, when it is a plain name of a regular file directly in
// `folder`; empty otherwise.
QString entryCardPath(const QDir& folder, const QString& file) {
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\')) ||
        file == QLatin1String(".") || file == QLatin1String(".."))
        return {};
    const QFileInfo info(folder.filePath(file));
    if (info.isSymLink() || !info.isFile()) return {};
    return info.absoluteFilePath();
}

void readIndex(const QString& folderPath, QSet<QString>& seen, QList<DesignEntry>& out) {
    const QDir folder(folderPath);
    const QFileInfo indexInfo(folder.filePath(QString::fromLatin1(kDesignIndexName)));
    if (!indexInfo.exists()) return;
    if (indexInfo.isSymLink() || !indexInfo.isFile() || indexInfo.size() > kMaxIndexBytes) {
        qWarning("design index %s is not a regular file of sensible size; skipped",
                 qUtf8Printable(indexInfo.filePath()));
        return;
    }
    QFile f(indexInfo.filePath());
    if (!f.open(QIODevice::ReadOnly)) {
        qWarning("cannot read design index %s", qUtf8Printable(indexInfo.filePath()));
        return;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.read(kMaxIndexBytes), &error);
    const QJsonArray entries =
        doc.isObject() ? doc.object().value(QStringLiteral("designs")).toArray() : doc.array();
    if (error.error != QJsonParseError::NoError || (!doc.isObject() && !doc.isArray())) {
        qWarning("design index %s is damaged: %s", qUtf8Printable(indexInfo.filePath()),
                 qUtf8Printable(error.errorString()));
        return;
    }
    for (const QJsonValue value : entries) {
        const QJsonObject o = value.toObject();
        const QString file = o.value(QStringLiteral("file")).toString();
        DesignEntry e;
        e.name = o.value(QStringLiteral("name")).toString().trimmed();
        e.occasion = o.value(QStringLiteral("occasion")).toString().trimmed();
        e.keywords = keywordList(o.value(QStringLiteral("keywords")));
        e.cardPath = entryCardPath(folder, file);
        if (e.cardPath.isEmpty() || e.name.isEmpty()) {
            qWarning(
                "design index %s: entry \"%s\" has no name or names no card file in its folder; "
                "skipped",
                qUtf8Printable(indexInfo.filePath()), qUtf8Printable(file));
            continue;
        }
        if (seen.contains(file)) continue;  // an earlier folder has this design
        seen.insert(file);
        out.append(e);
    }
}

}  // namespace

QStringList designOccasions() {
    QStringList out = cardOccasions();
    out.append(QString::fromLatin1(kOwnDesignsOccasion));
    return out;
}

QList<DesignEntry> listDesigns(const QStringList& shippedFolders, const QString& ownFolder) {
    QList<DesignEntry> out;
    QSet<QString> seen;
    for (const QString& folder : shippedFolders)
        if (!folder.isEmpty()) readIndex(folder, seen, out);
    if (ownFolder.isEmpty()) return out;
    const QFileInfo ownInfo(ownFolder);
    if (ownInfo.isSymLink() || !ownInfo.isDir()) return out;
    const QFileInfoList files = QDir(ownFolder).entryInfoList(
        {QStringLiteral("*.kar")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& info : files) {
        // A link could show a file from anywhere as the user's design.
        if (info.isSymLink() || !info.isFile()) continue;
        DesignEntry e;
        e.name = info.completeBaseName();
        e.occasion = QString::fromLatin1(kOwnDesignsOccasion);
        e.cardPath = info.absoluteFilePath();
        e.own = true;
        out.append(e);
    }
    return out;
}

QList<DesignEntry> filterDesigns(const QList<DesignEntry>& all, const QString& search,
                                 const QString& occasion) {
    const QString word = search.trimmed();
    QList<DesignEntry> out;
    for (const DesignEntry& e : all) {
        if (!occasion.isEmpty() && e.occasion != occasion) continue;
        const bool found =
            word.isEmpty() || e.name.contains(word, Qt::CaseInsensitive) ||
            e.occasion.contains(word, Qt::CaseInsensitive) ||
            std::any_of(e.keywords.begin(), e.keywords.end(), [&word](const QString& k) {
                return k.contains(word, Qt::CaseInsensitive);
            });
        if (found) out.append(e);
    }
    return out;
}

}  // namespace bb
