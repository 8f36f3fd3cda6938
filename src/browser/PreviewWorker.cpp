#include "browser/PreviewWorker.h"

#include <QDir>

namespace bb {

PreviewWorker::PreviewWorker(const QString& folder, QObject* context, FileCallback callback)
    : folder_(folder), context_(context), callback_(std::move(callback)) {}

void PreviewWorker::run() {
    // Each step runs on the context's thread; this thread only waits for it.
    while (!isInterruptionRequested() && !finished_) {
        if (stepHook_) {
            stepHook_();
            if (isInterruptionRequested()) break;
        }
        QMetaObject::invokeMethod(
            context_, [this] { step(); }, Qt::BlockingQueuedConnection);
    }
}

void PreviewWorker::step() {
    // A step queued before the stop request would add a card of the old folder to the
    // freshly emptied list; it is dropped.
    if (isInterruptionRequested() || finished_) return;
    if (restart_) {
        restart_ = false;
        // Ordinary files, hidden ones too; no folders and no device files, sockets or pipes
        // (reading a pipe would block the window).
        entries_ =
            QDir(folder_).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        next_ = 0;
    }
    if (next_ < entries_.size()) {
        const QString name = entries_.at(next_++);
        if (callback_) callback_(name);
    } else {
        finished_ = true;
        entries_.clear();
    }
}

}  // namespace bb
