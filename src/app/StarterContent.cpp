#include "app/StarterContent.h"

#include "pictures/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace bb {

namespace {

// Sample files are small; anything larger is not one of ours.
constexpr qint64 kMaxSampleFileBytes = 64 * 1024 * 1024;

bool hasCardFile(const QString& folder) {
    const QDir dir(folder);
    return !dir.entryList({QStringLiteral("*.kar")}, QDir::Files | QDir::Hidden, QDir::NoSort)
                .isEmpty();
}

bool writeMarker(const QString& cardFolder) {
    return writeFileAtomically(
               QDir(cardFolder).filePath(QLatin1String(kStarterMarkerName)),
               "Die Beispielkarten wurden beim ersten Start in diesen Ordner kopiert.\n")
        .ok;
}

}  // namespace

QStringList sampleFolderCandidates(const QString& executableDir) {
    QStringList out = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                QStringLiteral("brisella-bildwerker/samples"),
                                                QStandardPaths::LocateDirectory);
    // A build tree: the program is build/src/app/brisella-bildwerker beside build/CMakeCache.txt.
    const QString buildTree = QDir::cleanPath(executableDir + QStringLiteral("/../.."));
    if (!executableDir.isEmpty() &&
        QFileInfo::exists(buildTree + QStringLiteral("/CMakeCache.txt")))
        out.append(buildTree + QStringLiteral("/samples"));
    return out;
}

QString findSampleFolder(const QStringList& candidates) {
    for (const QString& c : candidates) {
        if (QFileInfo(c).isDir() && hasCardFile(c)) return c;
    }
    return {};
}

StarterResult installStarterContent(const QString& cardFolder, const QString& sampleFolder,
                                    int* copied) {
    if (copied) *copied = 0;
    const QDir target(cardFolder);
    if (QFileInfo::exists(target.filePath(QLatin1String(kStarterMarkerName))))
        return StarterResult::AlreadyDone;
    if (hasCardFile(cardFolder)) {
        writeMarker(cardFolder);
        return StarterResult::FolderHasCards;
    }
    if (sampleFolder.isEmpty() || !hasCardFile(sampleFolder)) return StarterResult::NoSamples;

    bool ok = true;
    const QFileInfoList files =
        QDir(sampleFolder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& f : files) {
        if (f.size() > kMaxSampleFileBytes) continue;
        const QString dest = target.filePath(f.fileName());
        if (QFileInfo::exists(dest)) continue;
        if (copyToNewFile(f.absoluteFilePath(), dest).ok) {
            // Installed files are read-only; the user's copies are theirs to change.
            QFile::setPermissions(dest, QFile::permissions(dest) | QFile::WriteOwner);
            if (copied) ++*copied;
        } else {
            ok = false;
        }
    }
    writeMarker(cardFolder);
    return ok ? StarterResult::Installed : StarterResult::CopyFailed;
}

}  // namespace bb
