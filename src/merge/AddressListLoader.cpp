// The background read of an address list; see AddressListLoader.h.
#include "merge/AddressListLoader.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <new>

namespace bb {

struct AddressListLoader::Job {
    QString path;
    std::atomic<bool> cancelled{false};
    // Touched by the worker only.
    bool firstRowsSent = false;
    int lastPercent = -1;
};

AddressListLoader::AddressListLoader(QObject* parent)
    : QObject(parent), reader_([](const QString& path, const AddressListProgress& progress) {
          return readAddressList(path, progress);
      }) {}

AddressListLoader::~AddressListLoader() {
    if (job_) job_->cancelled = true;
    // Older reads were cancelled when they were replaced; each ends at its next progress
    // report. Their queued reports go with this object.
    for (QThread* t : threads_) {
        t->wait();
        delete t;
    }
}

QString AddressListLoader::path() const {
    return job_ ? job_->path : QString();
}

void AddressListLoader::load(const QString& path) {
    if (job_) job_->cancelled = true;
    auto job = std::make_shared<Job>();
    job->path = path;
    job_ = job;
    QThread* thread = QThread::create([this, job, reader = reader_] { run(job, reader); });
    threads_.push_back(thread);
    connect(thread, &QThread::finished, this, [this, thread] { threadEnded(thread); });
    thread->start();
}

void AddressListLoader::cancel() {
    if (!job_) return;
    // The worker stops at its next progress report; whatever it still says is dropped.
    job_->cancelled = true;
    job_.reset();
    AddressListResult cancelled;
    cancelled.cancelled = true;
    emit finished(cancelled);
}

void AddressListLoader::run(const std::shared_ptr<Job>& job, const Reader& reader) {
    // Runs on the worker: every report is posted and counts only while `job` is current.
    const auto post = [this, job](auto report) {
        QMetaObject::invokeMethod(
            this,
            [this, job, report = std::move(report)] {
                if (job_ == job) report();
            },
            Qt::QueuedConnection);
    };
    const AddressListProgress told = [&](const AddressList& soFar, double fraction) {
        if (job->cancelled) return false;
        if (!job->firstRowsSent && !soFar.rows.empty()) {
            job->firstRowsSent = true;
            auto first = std::make_shared<AddressList>();
            first->columns = soFar.columns;
            first->path = job->path;
            const size_t n = std::min(soFar.rows.size(), size_t(kFirstRows));
            first->rows.assign(soFar.rows.begin(), soFar.rows.begin() + std::ptrdiff_t(n));
            post([this, first] { emit firstRows(first); });
        }
        const int percent = std::clamp(int(fraction * 100.0), 0, 100);
        if (percent > job->lastPercent) {
            job->lastPercent = percent;
            post([this, percent] { emit this->progress(percent); });
        }
        return !job->cancelled;
    };
    AddressListResult result;
    try {
        result = reader(job->path, told);
    } catch (const std::bad_alloc&) {
        result = {};
        result.error = QStringLiteral("Die Adressliste ist zu groß für den Arbeitsspeicher.");
    }
    post([this, result] {
        job_.reset();
        emit finished(result);
    });
}

void AddressListLoader::threadEnded(QThread* thread) {
    const auto it = std::find(threads_.begin(), threads_.end(), thread);
    if (it == threads_.end()) return;
    threads_.erase(it);
    thread->wait();  // `finished` comes from the thread's last moments
    delete thread;
}

}  // namespace bb
