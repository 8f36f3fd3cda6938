// The state of the card browser and its preview worker: the list of thumbnails and names of
// the chosen folder, the selection, and the walk that fills the list one file at a time.
//
// Threads: the worker (PreviewWorker) only sequences the walk. Each step, the folder listing and
// the file reading included, runs on the thread that owns the CardBrowser through a blocking
// queued call, so the list is only ever touched by that thread and needs no lock.
//
// The browser follows the listed folder: a QFileSystemWatcher on the folder and its card files
// reports changes, a short single-shot timer gathers a burst of them into one update
// (synchronize), which compares names, sizes and times with what was read before.
#pragma once

#include "pictures/DibImage.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QFileSystemWatcher;
class QTimer;

namespace bb {

class PreviewWorker;

// The entries of the grid: thumbnails, file names (without folder) and whether the file is
// damaged (not readable, not a card of this program, or its stored picture is broken; such an
// entry has a null thumbnail), in step.
struct PreviewEntries {
    std::vector<DibImage> thumbnails;
    std::vector<QString> names;
    std::vector<bool> damaged;

    int count() const { return int(names.size()); }
    // Entry `index` (1..count) is a damaged file.
    bool isDamaged(int index) const {
        return index >= 1 && index <= count() && damaged[size_t(index - 1)];
    }
    void clear() {
        thumbnails.clear();
        names.clear();
        damaged.clear();
    }
    void append(DibImage thumbnail, QString name, bool isDamagedFile = false) {
        thumbnails.push_back(std::move(thumbnail));
        names.push_back(std::move(name));
        damaged.push_back(isDamagedFile);
    }
};

class CardBrowser : public QObject {
    Q_OBJECT
public:
    explicit CardBrowser(QObject* parent = nullptr);
    ~CardBrowser() override;

    // Browser state, read by the grid widget and the tests.
    const PreviewEntries& entries() const { return list_; }
    int count() const { return list_.count(); }
    int selectedIndex = 1;
    int paintFromIndex = 0;
    bool workerRunning() const { return worker_ != nullptr; }  // a preview worker exists
    bool restartRequested = false;

    // The folder chosen in the tree, and the folder the entries belong to.
    QString selectedFolder() const { return selected_; }
    QString listFolder() const { return listFolder_; }
    // Full path of entry `index` (1..count), or empty.
    QString entryPath(int index) const;
    // The file name of the selected entry, or empty.
    QString selectedName() const;
    // The entry (1..count) named `name`, or 0.
    int indexOf(const QString& name) const;

    // Before the tree's selection changes: a running walk is asked to stop and restart.
    void folderChanging();
    // After it changed to `folder` (also on activating the tab): empties the list at once,
    // then walks the folder, or lets the running worker end first and restart.
    void changeFolder(const QString& folder);
    // Close query: a running worker is asked to stop and no restart follows.
    void requestStop();
    // Quitting: a running worker is stopped and waited for; no restart follows.
    void stopWalk();
    // Brings the list up to date with its folder: removed cards go, new ones come in their
    // place of the name order, changed ones get a new thumbnail (a file that cannot be read
    // becomes a damaged entry, without a message). The card named `select`, else the selected one,
    // stays selected. During a walk the update follows the walk's end. Changes on disk call this by
    // themselves.
    void synchronize(const QString& select = {});
    // True while an update waits for the running walk to end.
    bool updateAfterWalk() const { return syncAfterWalk_; }
    // Called on the worker thread before each step of every walk started from now on.
    void setWalkStepHook(std::function<void()> hook) { stepHook_ = std::move(hook); }

    // The per-file callback: a ".kar" file (any case) of the walked folder becomes a new
    // entry, with the thumbnail of its stored preview, or marked damaged when that cannot be
    // read. Nothing is asked or shown: a walk runs at start-up and on every visit of the tab.
    void cardFileFound(const QString& folder, const QString& name);

signals:
    void listCleared();
    // Entry `index` was appended; paintFromIndex equals `index` while this is delivered.
    void entryAdded(int index);
    void walkStarted(const QString& folder);
    void walkEnded();
    // synchronize() changed the list: any entry and the selection may differ.
    void entriesChanged();

private:
    void startWalk();
    void workerEnded();
    void stopWorkerNow();
    void watchFolder();
    void folderTouched();

    // What a card file looked like when it was read.
    struct Stamp {
        QDateTime modified;
        qint64 size = -1;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);

    PreviewEntries list_;
    QString selected_;
    QString listFolder_;
    PreviewWorker* worker_ = nullptr;
    std::function<void()> stepHook_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* changeTimer_ = nullptr;
    QHash<QString, Stamp> stamps_;  // every card file of listFolder_ read so far, by name
    bool syncAfterWalk_ = false;
    bool listComplete_ = false;  // a walk of listFolder_ went through to its end
    QString syncSelect_;         // the name synchronize() selects after the walk
    QString keepName_;           // a walk of the same folder selects this card again ...
    int keepIndex_ = 0;          // ... unless the selection moved meanwhile
};

}  // namespace bb
