// Scanner access through SANE: the device list and one scan at a time in a worker thread.
// Progress and completion reach the owner's thread as queued signals; the finished picture
// is handed over as a 24-bit DibImage.
#pragma once

#include "pictures/DibImage.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace bb {

struct ScanDevice {
    QString name;  // SANE device name, e.g. "test:0"
    QString vendor;
    QString model;
    QString type;
};

enum class ScanMode { Color, Gray };

struct ScanSettings {
    QString device;  // empty: the only device, if there is exactly one
    int dpi = 300;
    ScanMode mode = ScanMode::Color;
};

// What a numeric scanner option allows: SANE words that are integers or 16.16 fixed-point
// values, limited by a range (with a step) or a list.
struct ScanOptionConstraint {
    bool fixed = false;
    enum Kind { None, Range, List } kind = None;
    qint32 min = 0, max = 0, quant = 0;
    QList<qint32> list;
};
// The allowed word nearest to `wanted` (given in the option's unit: dots per inch,
// millimetres). Without a list entry the value is only converted.
qint32 nearestOptionWord(const ScanOptionConstraint& c, double wanted);

class Scanner : public QObject {
    Q_OBJECT
public:
    explicit Scanner(QObject* parent = nullptr);
    ~Scanner() override;  // cancels a running scan and waits for the worker

    // The devices SANE knows. On failure the list is empty and `error` holds a German text.
    static QList<ScanDevice> devices(QString* error = nullptr);

    // Starts a scan and returns at once. False (with `error`) when a scan is already running.
    // Device failures are reported later through failed().
    bool start(const ScanSettings& settings, QString* error = nullptr);
    bool busy() const { return busy_; }
    // Asks the running scan to stop; it then reports failed() with an empty message.
    void cancel();
    // Blocks until the worker has ended (tests, shutdown).
    void wait();
    // Called in the worker after each block of picture data it has read, for the scans
    // started from now on. Tests hold a scan at a known point through it.
    void setReadHook(std::function<void()> hook) { readHook_ = std::move(hook); }

    // takePicture: takes the finished picture with this id out of the scanner; a null
    // picture for an unknown id or one already taken.
    DibImage takePicture(int id);

signals:
    void progress(int percent);           // 0..100, rising
    void finished(int id);                // picture ready for takePicture
    void failed(const QString& message);  // empty message: cancelled

private:
    struct Job;
    void onProgress(int percent);
    void onDone(const DibImage& picture, const QString& error);

    std::atomic<bool> busy_{false};
    std::shared_ptr<std::atomic<bool>> cancel_;
    QThread* thread_ = nullptr;
    int lastProgress_ = -1;
    int nextId_ = 1;
    QMap<int, DibImage> finished_;
    std::function<void()> readHook_;
};

}  // namespace bb
