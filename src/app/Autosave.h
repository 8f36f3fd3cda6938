// Keeps a recovery copy of the open card while it has unsaved changes: every interval (two
// minutes unless set otherwise) the card's bytes go to this program's recovery file, never to
// the user's own file. A card without unsaved changes has no recovery file.
#pragma once

#include "document/Recovery.h"

#include <QObject>

#include <functional>

class QTimer;

namespace bb {

class CardDocument;

class Autosave : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultSeconds = 120;

    Autosave(const CardDocument& doc, const QString& folder, QObject* parent = nullptr);
    ~Autosave() override;

    RecoveryFolder& folder() { return folder_; }
    QTimer* timer() const { return timer_; }
    // Seconds between two copies; values below 1 count as 1.
    void setInterval(int seconds);
    int interval() const;
    // Whether the card differs from the one saved (default: the document's own comparison).
    void setModifiedCheck(std::function<bool()> modified) { modified_ = std::move(modified); }
    // True while an edit is half done (a drag, an open edit step): the copy waits for it.
    void setBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }

    // Brings the recovery file in line with the card now: writes it when the card has unsaved
    // changes that it does not hold yet, removes it when the card has none. True when a file
    // was written.
    bool saveNow();
    // The card was saved or closed normally: no recovery file is needed.
    void discard();

signals:
    // A copy could not be written (the reason in German); the next interval tries again.
    void failed(const QString& reason);

private:
    const CardDocument& doc_;
    RecoveryFolder folder_;
    QTimer* timer_ = nullptr;
    std::function<bool()> modified_;
    std::function<bool()> busy_;
    QByteArray writtenSum_;  // checksum of the card bytes last written
    bool failedOnce_ = false;
    bool retryPending_ = false;
};

}  // namespace bb
