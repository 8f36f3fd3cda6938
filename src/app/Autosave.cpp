#include "app/Autosave.h"

#include "document/CardDocument.h"
#include "document/CardFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QTimer>

namespace bb {

namespace {
// A copy put off by an edit in progress is tried again this soon.
constexpr int kRetryMs = 2000;
}  // namespace

Autosave::Autosave(const CardDocument& doc, const QString& folder, QObject* parent)
    : QObject(parent), doc_(doc), folder_(folder) {
    modified_ = [this] { return doc_.hasUnsavedChanges(); };
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("AutosaveTimer"));
    setInterval(kDefaultSeconds);
    connect(timer_, &QTimer::timeout, this, [this] { saveNow(); });
    timer_->start();
    // The lock first: from now on no other program takes this one's files for a dead one's.
    folder_.claim();
}

Autosave::~Autosave() = default;

void Autosave::setInterval(int seconds) {
    timer_->setInterval(qMax(1, seconds) * 1000);
}

int Autosave::interval() const {
    return timer_->interval() / 1000;
}

bool Autosave::saveNow() {
    if (!modified_ || !modified_()) {
        discard();
        return false;
    }
    if (busy_ && busy_()) {
        // One retry at a time, however long the edit takes.
        if (!retryPending_) {
            retryPending_ = true;
            QTimer::singleShot(kRetryMs, this, [this] {
                retryPending_ = false;
                saveNow();
            });
        }
        return false;
    }
    // The card's bytes as a save writes them, with a plain white preview: the copy is taken
    // often and the next real save draws the real one.
    const QByteArray bytes = cardFileBytes(doc_, DibImage());
    const QByteArray sum = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    if (sum == writtenSum_ && folder_.hasOwn()) return false;
    RecoveryHeader header;
    header.cardFile = doc_.fileName;
    header.savedAt = QDateTime::currentDateTimeUtc();
    header.pid = QCoreApplication::applicationPid();
    QString error;
    if (!folder_.write(header, bytes, &error)) {
        writtenSum_.clear();
        // Told once per program run, not every interval.
        if (!failedOnce_) emit failed(error);
        failedOnce_ = true;
        return false;
    }
    writtenSum_ = sum;
    return true;
}

void Autosave::discard() {
    writtenSum_.clear();
    folder_.removeOwn();
}

}  // namespace bb
