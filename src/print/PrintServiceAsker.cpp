// Asking the print service in the background; see PrintServiceAsker.h.
#include "print/PrintServiceAsker.h"

#include <QThread>

namespace bb {

PrintServiceAsker::PrintServiceAsker(QObject* parent) : QObject(parent) {}

PrintServiceAsker::~PrintServiceAsker() {
    closing_ = true;
    if (thread_) thread_->wait();
}

void PrintServiceAsker::ask(int timeoutMs) {
    if (thread_) return;
    thread_ = QThread::create([this, timeoutMs] { service_ = cups::askService(timeoutMs); });
    thread_->setParent(this);
    // The answer is read only after the thread has ended.
    connect(thread_, &QThread::finished, this, [this] {
        done_ = true;
        if (!closing_) emit answered(service_);
    });
    thread_->start();
}

}  // namespace bb
