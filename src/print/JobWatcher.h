// Follows the job that a print run just handed to a CUPS queue, on a thread of its own, so
// that the window stays responsive while the queue works: finds the job (the newer one with
// the run's title, see CupsQueue.h), waits for it to leave the queue, `waitMs` at most, and
// reports how it ended through `finished` on the watcher's thread.
#pragma once

#include "print/CupsQueue.h"

#include <QObject>

#include <atomic>

class QThread;

namespace bb {

class JobWatcher : public QObject {
    Q_OBJECT

public:
    explicit JobWatcher(QObject* parent = nullptr);
    // Ends a wait in progress (within one poll) and joins the thread.
    ~JobWatcher() override;

    // Starts following; once per watcher.
    void follow(const QString& queue, int jobsBefore, const QString& title, int waitMs);

signals:
    void finished(const bb::JobOutcome& outcome);

private:
    QThread* thread_ = nullptr;
    std::atomic<bool> stop_{false};
    JobOutcome outcome_;
};

}  // namespace bb
