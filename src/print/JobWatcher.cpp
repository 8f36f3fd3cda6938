// Following a print job; see JobWatcher.h.
#include "print/JobWatcher.h"

#include <QThread>

namespace bb {

JobWatcher::JobWatcher(QObject* parent) : QObject(parent) {}

JobWatcher::~JobWatcher() {
    stop_ = true;
    if (thread_) thread_->wait();
}

void JobWatcher::follow(const QString& queue, int jobsBefore, const QString& title, int waitMs) {
    if (thread_) return;
    thread_ = QThread::create([this, queue, jobsBefore, title, waitMs] {
        const auto job = cups::findJob(queue, jobsBefore, title);
        if (!job) {
            outcome_.kind = JobOutcome::NotFound;
            outcome_.reason = QStringLiteral("the job did not arrive in the queue");
            return;
        }
        outcome_ = cups::waitForJob(queue, job->id, waitMs, &stop_);
    });
    thread_->setParent(this);
    // The outcome is read only after the thread has ended.
    connect(thread_, &QThread::finished, this, [this] {
        if (!stop_) emit finished(outcome_);
    });
    thread_->start();
}

}  // namespace bb
