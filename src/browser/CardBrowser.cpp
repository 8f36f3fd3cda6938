#include "browser/CardBrowser.h"

#include "browser/PreviewWorker.h"
#include "browser/StoredPreview.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace bb {

namespace {

// A burst of changes (a program writing a card in pieces, a folder copied in) becomes one
// update this long after its first change.
constexpr int kChangeDelayMs = 150;

bool isCardName(const QString& name) {
    return name.endsWith(QLatin1String(".kar"), Qt::CaseInsensitive);
}

// The entry (1..count) named `name` in `entries`, or 0.
int positionOf(const PreviewEntries& entries, const QString& name) {
    for (int i = 0; i < entries.count(); ++i)
        if (entries.names[size_t(i)] == name) return i + 1;
    return 0;
}

// The thumbnail of a card file's stored preview; null when the file cannot be read, is not a
// card of this program or its picture is damaged.
DibImage thumbnailOf(const QString& path) {
    const StoredPreview preview = readStoredPreview(path);
    if (preview.status != PreviewStatus::Ok) return {};
    return makeThumbnail(preview.picture);
}

}  // namespace

CardBrowser::CardBrowser(QObject* parent) : QObject(parent) {
    watcher_ = new QFileSystemWatcher(this);
    changeTimer_ = new QTimer(this);
    changeTimer_->setSingleShot(true);
    changeTimer_->setInterval(kChangeDelayMs);
    connect(changeTimer_, &QTimer::timeout, this, [this] { synchronize(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &CardBrowser::folderTouched);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &CardBrowser::folderTouched);
}

CardBrowser::~CardBrowser() {
    restartRequested = false;
    stopWorkerNow();
}

QString CardBrowser::entryPath(int index) const {
    if (index < 1 || index > list_.count() || listFolder_.isEmpty()) return {};
    return QDir(listFolder_).filePath(list_.names[size_t(index - 1)]);
}

QString CardBrowser::selectedName() const {
    if (selectedIndex < 1 || selectedIndex > list_.count()) return {};
    return list_.names[size_t(selectedIndex - 1)];
}

int CardBrowser::indexOf(const QString& name) const {
    return positionOf(list_, name);
}

void CardBrowser::folderChanging() {
    if (worker_) {
        restartRequested = true;
        worker_->requestInterruption();
    }
}

void CardBrowser::changeFolder(const QString& folder) {
    // Walking the same folder again keeps the selected card selected.
    keepName_ = folder == listFolder_ ? selectedName() : QString();
    keepIndex_ = selectedIndex;
    selected_ = folder;
    list_.clear();
    listFolder_ = folder;
    stamps_.clear();
    syncAfterWalk_ = false;
    listComplete_ = false;
    changeTimer_->stop();
    watchFolder();
    emit listCleared();
    if (worker_) {
        restartRequested = true;
        worker_->requestInterruption();
    } else {
        startWalk();
    }
}

void CardBrowser::requestStop() {
    restartRequested = false;
    if (worker_) worker_->requestInterruption();
}

void CardBrowser::stopWalk() {
    restartRequested = false;
    if (!worker_) return;
    stopWorkerNow();
    emit walkEnded();
}

void CardBrowser::cardFileFound(const QString& folder, const QString& name) {
    if (selected_.isEmpty() || !isCardName(name)) return;
    const QString path = QDir(folder).filePath(name);
    // Watched before it is read, so that a change after the reading is reported; a file
    // removed since the folder was listed is no error.
    if (folder == listFolder_) watcher_->addPath(path);
    const Stamp stamp = stampOf(path);
    if (stamp.size < 0) return;
    if (folder == listFolder_) stamps_.insert(name, stamp);
    DibImage thumbnail = thumbnailOf(path);
    if (folder != listFolder_ || (worker_ && worker_->isInterruptionRequested())) return;
    const bool damaged = thumbnail.isNull();
    list_.append(std::move(thumbnail), name, damaged);
    if (!keepName_.isEmpty() && name == keepName_) {
        if (selectedIndex == keepIndex_) selectedIndex = list_.count();
        keepName_.clear();
    }
    paintFromIndex = list_.count();
    emit entryAdded(list_.count());
    paintFromIndex = 0;
}

void CardBrowser::startWalk() {
    if (selected_.isEmpty()) return;
    restartRequested = false;
    listFolder_ = selected_;
    const QString folder = selected_;
    worker_ = new PreviewWorker(
        folder, this, [this, folder](const QString& name) { cardFileFound(folder, name); });
    worker_->setStepHook(stepHook_);
    // The worker lives on this thread's side; its end arrives here as a queued call.
    connect(worker_, &QThread::finished, this, &CardBrowser::workerEnded, Qt::QueuedConnection);
    emit walkStarted(folder);
    worker_->start();
}

void CardBrowser::workerEnded() {
    if (!worker_) return;
    PreviewWorker* ended = worker_;
    worker_ = nullptr;
    ended->wait();
    ended->deleteLater();
    emit walkEnded();
    if (!selected_.isEmpty() && restartRequested) {
        startWalk();
    } else if (ended->walkFinished()) {
        listComplete_ = true;
        if (!syncAfterWalk_) return;
        syncAfterWalk_ = false;
        synchronize(std::exchange(syncSelect_, QString()));
    }
}

void CardBrowser::stopWorkerNow() {
    if (!worker_) return;
    disconnect(worker_, nullptr, this, nullptr);
    worker_->requestInterruption();
    // The worker may be waiting for a step on this thread: carry such steps out (they do
    // nothing once the stop is requested) until it has ended.
    while (!worker_->wait(QDeadlineTimer(5)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    delete worker_;
    worker_ = nullptr;
}

CardBrowser::Stamp CardBrowser::stampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return {};
    return {info.lastModified(), info.size()};
}

void CardBrowser::watchFolder() {
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty()) watcher_->removePaths(watched);
    if (!listFolder_.isEmpty() && QFileInfo(listFolder_).isDir()) watcher_->addPath(listFolder_);
}

void CardBrowser::folderTouched() {
    if (!changeTimer_->isActive()) changeTimer_->start();
}

void CardBrowser::synchronize(const QString& select) {
    if (listFolder_.isEmpty()) return;
    if (worker_) {
        // The walk lists what it listed at its start; what changed since follows its end.
        syncAfterWalk_ = true;
        if (!select.isEmpty()) syncSelect_ = select;
        return;
    }
    // A walk that was stopped left the list unfinished; the next walk completes it.
    if (!listComplete_) return;
    changeTimer_->stop();
    const QString keep = select.isEmpty() ? selectedName() : select;
    const QDir dir(listFolder_);
    if (watcher_->directories().isEmpty() && dir.exists()) watcher_->addPath(listFolder_);
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString& name) { return !isCardName(name); });
    // Watch first, then look: a change after the look is reported.
    const QStringList watchedList = watcher_->files();
    const QSet<QString> watched(watchedList.begin(), watchedList.end());
    QStringList unwatched;
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (!watched.contains(path)) unwatched << path;
    }
    if (!unwatched.isEmpty()) watcher_->addPaths(unwatched);

    QHash<QString, int> old;
    for (int i = 0; i < list_.count(); ++i) old.insert(list_.names[size_t(i)], i);
    PreviewEntries next;
    QHash<QString, Stamp> stamps;
    bool changed = false;
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const Stamp stamp = stampOf(path);
        if (stamp.size < 0) continue;
        stamps.insert(name, stamp);
        const auto seen = stamps_.constFind(name);
        const auto listed = old.constFind(name);
        if (seen != stamps_.constEnd() && *seen == stamp) {
            if (listed != old.constEnd())
                next.append(list_.thumbnails[size_t(*listed)], name,
                            list_.damaged[size_t(*listed)]);
            continue;
        }
        changed = true;
        DibImage thumbnail = thumbnailOf(path);
        const bool damaged = thumbnail.isNull();
        next.append(std::move(thumbnail), name, damaged);
    }
    stamps_ = std::move(stamps);
    // Files that are gone drop their watch by themselves.
    changed = changed || next.names != list_.names;
    const int wanted = positionOf(next, keep);
    if (!changed && (wanted == 0 || wanted == selectedIndex)) return;
    list_ = std::move(next);
    if (wanted > 0)
        selectedIndex = wanted;
    else
        selectedIndex = std::clamp(selectedIndex, 1, std::max(1, list_.count()));
    emit entriesChanged();
}

}  // namespace bb
