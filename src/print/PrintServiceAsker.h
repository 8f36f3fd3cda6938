// Asks the print service for its printers on a thread of its own, so that the window starts
// and shows its print tab at once even when the service takes a connection and never answers:
// every request has the time limit of CupsQueue. The answer arrives through `answered` on the
// asker's thread.
#pragma once

#include "print/CupsQueue.h"

#include <QObject>

class QThread;

namespace bb {

class PrintServiceAsker : public QObject {
    Q_OBJECT

public:
    explicit PrintServiceAsker(QObject* parent = nullptr);
    // Waits for a question under way (bounded by its time limit) and drops its answer.
    ~PrintServiceAsker() override;

    // Starts the question; once per asker.
    void ask(int timeoutMs = kCupsRequestTimeoutMs);
    bool asking() const { return thread_ && !done_; }

signals:
    void answered(const bb::PrintService& service);

private:
    QThread* thread_ = nullptr;
    bool done_ = false;
    bool closing_ = false;
    PrintService service_;
};

}  // namespace bb
