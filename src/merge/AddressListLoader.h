// Reads an address list on a worker thread, so that a list of 100,000 rows never stops the
// window. The first rows, the progress and the result reach the loader's own thread as queued
// calls; a load started while another runs, or cancelled, drops everything the older one
// still reports.
#pragma once

#include "merge/AddressList.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QThread;

namespace bb {

class AddressListLoader : public QObject {
    Q_OBJECT
public:
    // How many rows the first look at a list holds (the dialog's table before the end).
    static constexpr int kFirstRows = 100;

    // Reads one file; readAddressList unless a test holds the read at a gate.
    using Reader =
        std::function<AddressListResult(const QString& path, const AddressListProgress&)>;

    explicit AddressListLoader(QObject* parent = nullptr);
    // Cancels every read and waits for its thread.
    ~AddressListLoader() override;

    void setReader(Reader reader) { reader_ = std::move(reader); }

    // Starts reading `path`; a read still running is cancelled and its reports dropped.
    void load(const QString& path);
    // Cancels the running read: it ends with finished(cancelled).
    void cancel();
    bool isLoading() const { return job_ != nullptr; }
    QString path() const;
    // Workers not yet ended, also cancelled ones. Once none is left, everything they said
    // has been delivered or dropped (tests).
    int workersRunning() const { return int(threads_.size()); }

signals:
    // Once per read, as soon as the reader has rows: the columns and up to kFirstRows rows.
    void firstRows(std::shared_ptr<const bb::AddressList> rows);
    void progress(int percent);  // 0..100, rising
    void finished(const bb::AddressListResult& result);

private:
    struct Job;
    void run(const std::shared_ptr<Job>& job, const Reader& reader);
    void threadEnded(QThread* thread);

    Reader reader_;
    std::shared_ptr<Job> job_;       // the read whose reports count; null when none runs
    std::vector<QThread*> threads_;  // every worker not yet ended, also cancelled ones
};

}  // namespace bb
