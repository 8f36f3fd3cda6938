#include "browser/CardBrowser.h"

#include "browser/PreviewWorker.h"
#include "browser/StoredPreview.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

namespace bb {

CardBrowser::CardBrowser(UserDialogs& dialogs, QObject* parent)
    : QObject(parent), dialogs_(dialogs) {}

CardBrowser::~CardBrowser() {
    restartRequested = false;
    stopWorkerNow();
}

QString CardBrowser::entryPath(int index) const {
    if (index < 1 || index > list_.count() || listFolder_.isEmpty()) return {};
    return QDir(listFolder_).filePath(list_.names[size_t(index - 1)]);
}

void CardBrowser::folderChanging() {
    if (worker_) {
        restartRequested = true;
        worker_->requestInterruption();
    }
}

void CardBrowser::changeFolder(const QString& folder) {
    selected_ = folder;
    list_.clear();
    listFolder_ = folder;
    emit listCleared();
    if (worker_) {
        restartRequested = true;
        worker_->requestInterruption();
    } else {
        startWalk();
    }
}

void CardBrowser::requestStop() {
    restartRequested = false;
    if (worker_) worker_->requestInterruption();
}

void CardBrowser::stopWalk() {
    restartRequested = false;
    if (!worker_) return;
    stopWorkerNow();
    emit walkEnded();
}

void CardBrowser::cardFileFound(const QString& folder, const QString& name) {
    if (selected_.isEmpty() || !name.endsWith(QLatin1String(".kar"), Qt::CaseInsensitive)) return;
    const DibImage preview = readStoredPreviewReporting(QDir(folder).filePath(name), dialogs_);
    if (preview.isNull()) return;
    DibImage thumbnail = makeThumbnail(preview);
    if (thumbnail.isNull()) return;
    // A message box of this walk may have let the user pick another folder meanwhile.
    if (folder != listFolder_ || (worker_ && worker_->isInterruptionRequested())) return;
    list_.append(std::move(thumbnail), name);
    paintFromIndex = list_.count();
    emit entryAdded(list_.count());
    paintFromIndex = 0;
}

void CardBrowser::startWalk() {
    if (selected_.isEmpty()) return;
    restartRequested = false;
    listFolder_ = selected_;
    const QString folder = selected_;
    worker_ = new PreviewWorker(
        folder, this, [this, folder](const QString& name) { cardFileFound(folder, name); });
    worker_->setStepHook(stepHook_);
    // The worker lives on this thread's side; its end arrives here as a queued call.
    connect(worker_, &QThread::finished, this, &CardBrowser::workerEnded, Qt::QueuedConnection);
    emit walkStarted(folder);
    worker_->start();
}

void CardBrowser::workerEnded() {
    if (!worker_) return;
    PreviewWorker* ended = worker_;
    worker_ = nullptr;
    ended->wait();
    ended->deleteLater();
    emit walkEnded();
    if (!selected_.isEmpty() && restartRequested) startWalk();
}

void CardBrowser::stopWorkerNow() {
    if (!worker_) return;
    disconnect(worker_, nullptr, this, nullptr);
    worker_->requestInterruption();
    // The worker may be waiting for a step on this thread: carry such steps out (they do
    // nothing once the stop is requested) until it has ended.
    while (!worker_->wait(QDeadlineTimer(5)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    delete worker_;
    worker_ = nullptr;
}

}  // namespace bb
