// The state of the card browser and its preview worker: the list of thumbnails and names of
// the chosen folder, the selection, and the walk that fills the list one file at a time.
//
// Threads: the worker (PreviewWorker) only sequences the walk. Each step, the folder listing and
// the file reading included, runs on the thread that owns the CardBrowser through a blocking
// queued call, so the list is only ever touched by that thread and needs no lock.
#pragma once

#include "pictures/DibImage.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace bb {

class PreviewWorker;
class UserDialogs;

// The entries of the grid: thumbnails and file names (without folder), in step.
struct PreviewEntries {
    std::vector<DibImage> thumbnails;
    std::vector<QString> names;

    int count() const { return int(names.size()); }
    void clear() {
        thumbnails.clear();
        names.clear();
    }
    void append(DibImage thumbnail, QString name) {
        thumbnails.push_back(std::move(thumbnail));
        names.push_back(std::move(name));
    }
};

class CardBrowser : public QObject {
    Q_OBJECT
public:
    explicit CardBrowser(UserDialogs& dialogs, QObject* parent = nullptr);
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

    // Before the tree's selection changes: a running walk is asked to stop and restart.
    void folderChanging();
    // After it changed to `folder` (also on activating the tab): empties the list at once,
    // then walks the folder, or lets the running worker end first and restart.
    void changeFolder(const QString& folder);
    // Close query: a running worker is asked to stop and no restart follows.
    void requestStop();
    // Quitting: a running worker is stopped and waited for; no restart follows.
    void stopWalk();
    // Called on the worker thread before each step of every walk started from now on.
    void setWalkStepHook(std::function<void()> hook) { stepHook_ = std::move(hook); }

    // The per-file callback: a ".kar" file (any case) of the walked folder whose stored
    // preview can be read becomes a new entry.
    void cardFileFound(const QString& folder, const QString& name);

signals:
    void listCleared();
    // Entry `index` was appended; paintFromIndex equals `index` while this is delivered.
    void entryAdded(int index);
    void walkStarted(const QString& folder);
    void walkEnded();

private:
    void startWalk();
    void workerEnded();
    void stopWorkerNow();

    UserDialogs& dialogs_;
    PreviewEntries list_;
    QString selected_;
    QString listFolder_;
    PreviewWorker* worker_ = nullptr;
    std::function<void()> stepHook_;
};

}  // namespace bb
