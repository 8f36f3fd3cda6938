// The thread that walks a folder for the card browser, one file at a time.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>

namespace bb {

// The preview worker. Its steps are carried out on the thread of `context`; the worker itself
// waits for each one and touches nothing else.
class PreviewWorker : public QThread {
    Q_OBJECT
public:
    using FileCallback = std::function<void(const QString& name)>;
    using StepHook = std::function<void()>;

    PreviewWorker(const QString& folder, QObject* context, FileCallback callback);

    // Called on the worker thread before each step is handed over; set before start(). Tests
    // hold the walk there to examine a worker that is certainly still running.
    void setStepHook(StepHook hook) { stepHook_ = std::move(hook); }

    const QString& folder() const { return folder_; }
    bool walkFinished() const { return finished_; }

    // One step of the walk, on the context's thread: the first step lists the folder's
    // ordinary files (hidden ones included, no folders) by name; every step hands the next
    // name to the callback, or sets the finished flag when none is left. A step that was
    // already queued when the worker was asked to stop does nothing.
    void step();

protected:
    void run() override;

private:
    QString folder_;
    QObject* context_;
    FileCallback callback_;
    StepHook stepHook_;
    bool restart_ = true;
    std::atomic<bool> finished_{false};
    QStringList entries_;  // the search state: the folder's files and the next position
    qsizetype next_ = 0;
};

}  // namespace bb
