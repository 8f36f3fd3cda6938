#include "scan/Scanner.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace bb {

namespace {

// SANE is one process-wide library: sane_init/sane_exit are shared by every user, so the
// session is reference-counted, and calls that change the backend's state are serialised.
QMutex& saneMutex() {
    static QMutex m;
    return m;
}
int saneUsers = 0;  // guarded by saneMutex()

bool acquireSane(QString* error) {
    QMutexLocker lock(&saneMutex());
    if (saneUsers == 0) {
        SANE_Int version = 0;
        const SANE_Status s = sane_init(&version, nullptr);
        if (s != SANE_STATUS_GOOD) {
            if (error)
                *error = QStringLiteral(
                             "Die Scanner-Schnittstelle (SANE) konnte nicht gestartet "
                             "werden: %1")
                             .arg(QString::fromLocal8Bit(sane_strstatus(s)));
            return false;
        }
    }
    ++saneUsers;
    return true;
}

void releaseSane() {
    QMutexLocker lock(&saneMutex());
    if (saneUsers > 0 && --saneUsers == 0) sane_exit();
}

QString statusText(SANE_Status s) {
    return QString::fromLocal8Bit(sane_strstatus(s));
}

QList<ScanDevice> listDevicesLocked() {
    QList<ScanDevice> out;
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return out;
    for (int i = 0; list[i] && i < 1000; ++i) {
        const SANE_Device* d = list[i];
        if (!d->name) continue;
        out.append({QString::fromLocal8Bit(d->name), QString::fromLocal8Bit(d->vendor),
                    QString::fromLocal8Bit(d->model), QString::fromLocal8Bit(d->type)});
    }
    return out;
}

// Option access on an open device. Descriptors are looked up afresh for every call because
// setting one option may change the others.
class Options {
public:
    explicit Options(SANE_Handle h) : h_(h) {}

    int find(const char* name, const SANE_Option_Descriptor** out) const {
        SANE_Int count = 0;
        if (sane_control_option(h_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
            return -1;
        for (SANE_Int i = 1; i < count && i < 10000; ++i) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
            if (d && d->name && std::strcmp(d->name, name) == 0) {
                if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap)) return -1;
                *out = d;
                return i;
            }
        }
        return -1;
    }

    // Sets a word option (int or fixed) to the allowed value nearest to `wanted`, given in
    // the option's own unit (dots per inch, millimetres).
    bool setNumber(const char* name, double wanted) {
        const SANE_Option_Descriptor* d = nullptr;
        const int i = find(name, &d);
        if (i < 0 || d->size < SANE_Int(sizeof(SANE_Word))) return false;
        if (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) return false;
        ScanOptionConstraint c;
        c.fixed = d->type == SANE_TYPE_FIXED;
        if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
            c.kind = ScanOptionConstraint::Range;
            c.min = d->constraint.range->min;
            c.max = d->constraint.range->max;
            c.quant = d->constraint.range->quant;
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
            c.kind = ScanOptionConstraint::List;
            const int n = std::clamp(int(d->constraint.word_list[0]), 0, 10000);
            for (int k = 1; k <= n; ++k) c.list << d->constraint.word_list[k];
            if (c.list.isEmpty()) return false;
        }
        SANE_Word value = nearestOptionWord(c, wanted);
        return sane_control_option(h_, i, SANE_ACTION_SET_VALUE, &value, nullptr) ==
               SANE_STATUS_GOOD;
    }

    // Sets a word option to the smallest (or largest) value its constraint allows.
    bool setExtreme(const char* name, bool largest) {
        const SANE_Option_Descriptor* d = nullptr;
        const int i = find(name, &d);
        if (i < 0 || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED)) return false;
        SANE_Word value = 0;
        if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
            value = largest ? d->constraint.range->max : d->constraint.range->min;
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
            const SANE_Word* list = d->constraint.word_list;
            const int n = std::clamp(int(list[0]), 0, 10000);
            if (n == 0) return false;
            value = list[1];
            for (int k = 1; k <= n; ++k)
                value = largest ? std::max(value, list[k]) : std::min(value, list[k]);
        } else {
            return false;
        }
        return sane_control_option(h_, i, SANE_ACTION_SET_VALUE, &value, nullptr) ==
               SANE_STATUS_GOOD;
    }

    // Chooses the first entry of the mode list that contains one of the keys.
    bool setMode(ScanMode mode) {
        const SANE_Option_Descriptor* d = nullptr;
        const int i = find(SANE_NAME_SCAN_MODE, &d);
        if (i < 0 || d->type != SANE_TYPE_STRING ||
            d->constraint_type != SANE_CONSTRAINT_STRING_LIST || !d->constraint.string_list)
            return false;
        const QStringList keys =
            mode == ScanMode::Color ? QStringList{QStringLiteral("color"), QStringLiteral("colour")}
                                    : QStringList{QStringLiteral("gray"), QStringLiteral("grey")};
        for (int k = 0; d->constraint.string_list[k] && k < 1000; ++k) {
            const QString entry = QString::fromLatin1(d->constraint.string_list[k]);
            for (const QString& key : keys) {
                if (!entry.contains(key, Qt::CaseInsensitive)) continue;
                std::vector<char> value(std::max<size_t>(d->size, entry.size() + 1), 0);
                std::memcpy(value.data(), d->constraint.string_list[k], entry.toLatin1().size());
                return sane_control_option(h_, i, SANE_ACTION_SET_VALUE, value.data(), nullptr) ==
                       SANE_STATUS_GOOD;
            }
        }
        return false;
    }

private:
    SANE_Handle h_;
};

// One frame as read from the device.
struct Frame {
    SANE_Parameters params{};
    std::vector<uint8_t> data;
};

// A sample of a frame as 0..255.
inline uint8_t sample(const uint8_t* row, int index, int depth) {
    switch (depth) {
        case 1:
            return (row[index >> 3] & (0x80 >> (index & 7))) ? 255 : 0;
        case 16: {
            uint16_t v;
            std::memcpy(&v, row + 2 * index, 2);  // SANE sends 16-bit samples in host order
            return uint8_t(v >> 8);
        }
        default:
            return row[index];
    }
}

// Builds the 24-bit picture from the frames of one scan. Rows are limited by the data that
// actually arrived.
DibImage framesToDib(const std::vector<Frame>& frames, QString* error) {
    if (frames.empty()) return {};
    const SANE_Parameters& p0 = frames.front().params;
    const int width = p0.pixels_per_line;
    const int bpl = p0.bytes_per_line;
    const int depth = p0.depth;
    if (width <= 0 || bpl <= 0 || (depth != 1 && depth != 8 && depth != 16)) {
        *error =
            QStringLiteral("Der Scanner liefert ein Bildformat, das nicht gelesen werden kann.");
        return {};
    }
    qint64 rows = qint64(frames.front().data.size()) / bpl;
    for (const Frame& f : frames) {
        if (f.params.bytes_per_line != bpl || f.params.depth != depth ||
            f.params.pixels_per_line != width) {
            *error = QStringLiteral("Der Scanner liefert uneinheitliche Bilddaten.");
            return {};
        }
        rows = std::min(rows, qint64(f.data.size()) / bpl);
    }
    if (rows <= 0 || !dibSizeAllowed(width, rows, 24)) {
        *error = QStringLiteral("Der Scanner hat kein Bild geliefert.");
        return {};
    }
    DibImage pic = newDib(width, int(rows), 24);
    if (pic.isNull()) {
        *error = QStringLiteral("Für das gescannte Bild ist nicht genug Speicher frei.");
        return {};
    }
    const bool rgbFrame = p0.format == SANE_FRAME_RGB;
    const bool grayFrame = p0.format == SANE_FRAME_GRAY;
    const qint64 needBits = qint64(width) * depth * (rgbFrame ? 3 : 1);
    if ((needBits + 7) / 8 > bpl) {
        *error =
            QStringLiteral("Der Scanner liefert ein Bildformat, das nicht gelesen werden kann.");
        return {};
    }
    for (int y = 0; y < rows; ++y) {
        uint8_t* dst = pic.rowFromTop(y);
        if (rgbFrame || grayFrame) {
            const uint8_t* row = frames.front().data.data() + qint64(y) * bpl;
            for (int x = 0; x < width; ++x) {
                uint8_t r, g, b;
                if (rgbFrame) {
                    r = sample(row, 3 * x, depth);
                    g = sample(row, 3 * x + 1, depth);
                    b = sample(row, 3 * x + 2, depth);
                } else {
                    r = g = b = sample(row, x, depth);
                    if (depth == 1) r = g = b = uint8_t(255 - r);  // line art: 1 is black
                }
                dst[3 * x] = b;
                dst[3 * x + 1] = g;
                dst[3 * x + 2] = r;
            }
        } else {
            // Three-pass: one frame per colour.
            for (const Frame& f : frames) {
                const int channel = f.params.format == SANE_FRAME_RED     ? 2
                                    : f.params.format == SANE_FRAME_GREEN ? 1
                                    : f.params.format == SANE_FRAME_BLUE  ? 0
                                                                          : -1;
                if (channel < 0) continue;
                const uint8_t* row = f.data.data() + qint64(y) * bpl;
                for (int x = 0; x < width; ++x) dst[3 * x + channel] = sample(row, x, depth);
            }
        }
    }
    pic.markModified();
    return pic;
}

// Many backends run their reader in a thread and stop it with an asynchronous
// pthread_cancel. A cancel that lands while that thread starts up, frees its buffer or runs
// its own exit path leaves the C library's allocator locked, and the whole program hangs. So
// the reader is given time to end on its own wherever that is cheap: a frame's last bytes are
// read only after a short pause, a cancelled frame is read on to its end for a while, and the
// device is never cancelled right after sane_start.
constexpr int kReaderSettleMs = 30;
constexpr int kCancelDrainMs = 2000;

// Closes the device at the end of a scan, however it ends.
struct DeviceCloser {
    SANE_Handle h = nullptr;
    QDeadlineTimer quietUntil;
    ~DeviceCloser() {
        if (!h) return;
        if (!quietUntil.hasExpired()) QThread::msleep(quietUntil.remainingTime());
        QMutexLocker lock(&saneMutex());
        sane_cancel(h);
        sane_close(h);
    }
};

// One scan from opening the device to the finished picture, in the worker thread: progress
// goes to `post`, the picture or the failure text to `finish`.
// Opens the scanner the settings name (the only one there is when they name none) and sets
// its mode, resolution and largest area; the failure, or empty.
QString openScanner(const ScanSettings& settings, DeviceCloser& device) {
    QMutexLocker lock(&saneMutex());
    QString name = settings.device;
    if (name.isEmpty()) {
        const QList<ScanDevice> list = listDevicesLocked();
        if (list.isEmpty()) return QStringLiteral("Es wurde kein Scanner gefunden.");
        if (list.size() > 1)
            return QStringLiteral(
                "Bitte wählen Sie zuerst mit „Scanner "
                "auswählen...“ einen Scanner aus.");
        name = list.front().name;
    }
    const SANE_Status s = sane_open(name.toLocal8Bit().constData(), &device.h);
    if (s != SANE_STATUS_GOOD || !device.h) {
        device.h = nullptr;
        return QStringLiteral("Der Scanner „%1“ konnte nicht geöffnet werden (%2).")
            .arg(name, statusText(s));
    }
    Options opt(device.h);
    opt.setMode(settings.mode);
    opt.setNumber(SANE_NAME_SCAN_RESOLUTION, std::clamp(settings.dpi, 1, 9600));
    opt.setExtreme(SANE_NAME_SCAN_TL_X, false);
    opt.setExtreme(SANE_NAME_SCAN_TL_Y, false);
    opt.setExtreme(SANE_NAME_SCAN_BR_X, true);
    opt.setExtreme(SANE_NAME_SCAN_BR_Y, true);
    return {};
}

// Starts the next frame of the scan and reads its size; the failure, or empty.
QString startFrame(DeviceCloser& device, Frame& frame) {
    SANE_Status s;
    {
        QMutexLocker lock(&saneMutex());
        s = sane_start(device.h);
    }
    device.quietUntil.setRemainingTime(kReaderSettleMs);
    if (s != SANE_STATUS_GOOD)
        return QStringLiteral("Der Scanvorgang konnte nicht gestartet werden (%1).")
            .arg(statusText(s));
    if (sane_get_parameters(device.h, &frame.params) != SANE_STATUS_GOOD)
        return QStringLiteral("Der Scanner meldet keine Bildgröße.");
    return {};
}

void scanOnce(const ScanSettings& settings, const std::atomic<bool>& cancelFlag,
              const std::function<void(int)>& post,
              const std::function<void(DibImage, const QString&)>& finish,
              const std::function<void()>& afterRead);

}  // namespace

qint32 nearestOptionWord(const ScanOptionConstraint& c, double wanted) {
    const double scaled = c.fixed ? wanted * 65536.0 : wanted;
    qint64 value = std::isfinite(scaled)
                       ? qint64(std::llround(std::clamp(scaled, -2147483647.0, 2147483647.0)))
                       : 0;
    if (c.kind == ScanOptionConstraint::Range) {
        const qint64 lo = c.min, hi = std::max(c.min, c.max);
        value = std::clamp(value, lo, hi);
        if (c.quant > 0) {
            value = lo + (value - lo + c.quant / 2) / c.quant * c.quant;
            if (value > hi) value -= c.quant;  // the last step inside the range
        }
    } else if (c.kind == ScanOptionConstraint::List && !c.list.isEmpty()) {
        qint64 best = c.list.front();
        for (qint32 w : c.list)
            if (std::llabs(w - value) < std::llabs(best - value)) best = w;
        value = best;
    }
    return qint32(value);
}

Scanner::Scanner(QObject* parent) : QObject(parent) {}

Scanner::~Scanner() {
    if (thread_) {
        if (cancel_) cancel_->store(true);
        thread_->wait();
        delete thread_;
    }
}

QList<ScanDevice> Scanner::devices(QString* error) {
    if (!acquireSane(error)) return {};
    QList<ScanDevice> list;
    {
        QMutexLocker lock(&saneMutex());
        list = listDevicesLocked();
    }
    releaseSane();
    if (list.isEmpty() && error) *error = QStringLiteral("Es wurde kein Scanner gefunden.");
    return list;
}

void Scanner::cancel() {
    if (cancel_) cancel_->store(true);
}

void Scanner::wait() {
    if (thread_) thread_->wait();
}

bool Scanner::start(const ScanSettings& settings, QString* error) {
    if (busy_) {
        if (error) *error = QStringLiteral("Es läuft bereits ein Scanvorgang.");
        return false;
    }
    if (thread_) {  // a finished worker whose completion has not been delivered yet
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
    busy_ = true;
    lastProgress_ = -1;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    auto cancelled = cancel_;

    // Everything below runs in the worker; its results reach this object's thread as
    // queued calls, in the order they were posted.
    thread_ = QThread::create([this, settings, cancelled, afterRead = readHook_]() {
        int posted = -1;
        auto post = [this, &posted](int percent) {
            if (percent <= posted) return;  // at most 101 messages per scan
            posted = percent;
            QMetaObject::invokeMethod(
                this, [this, percent] { onProgress(percent); }, Qt::QueuedConnection);
        };
        // The result is handed over only after the device is closed and the library released,
        // so that the owner never waits for the worker's clean-up.
        DibImage resultPicture;
        QString resultError;
        auto finish = [&](DibImage pic, const QString& err) {
            resultPicture = std::move(pic);
            resultError = err;
        };
        scanOnce(settings, *cancelled, post, finish, afterRead);
        QMetaObject::invokeMethod(
            this,
            [this, pic = std::move(resultPicture), err = resultError]() mutable {
                onDone(pic, err);
            },
            Qt::QueuedConnection);
    });
    thread_->start();
    return true;
}

namespace {

void scanOnce(const ScanSettings& settings, const std::atomic<bool>& cancelFlag,
              const std::function<void(int)>& post,
              const std::function<void(DibImage, const QString&)>& finish,
              const std::function<void()>& afterRead) {
    const std::atomic<bool>* cancelled = &cancelFlag;
    QString err;
    if (!acquireSane(&err)) return finish({}, err);
    struct Release {
        ~Release() { releaseSane(); }
    } release;

    DeviceCloser device;
    if (const QString failure = openScanner(settings, device); !failure.isEmpty())
        return finish({}, failure);
    post(0);

    std::vector<Frame> frames;
    std::vector<uint8_t> buffer(64 * 1024);
    qint64 total = 0;  // all bytes of the scan when known
    qint64 done = 0;
    for (int frameNo = 0; frameNo < 3; ++frameNo) {
        Frame frame;
        if (const QString failure = startFrame(device, frame); !failure.isEmpty())
            return finish({}, failure);
        const SANE_Parameters& p = frame.params;
        const bool threePass = p.format == SANE_FRAME_RED || p.format == SANE_FRAME_GREEN ||
                               p.format == SANE_FRAME_BLUE;
        const qint64 frameBytes = p.lines > 0 ? qint64(p.bytes_per_line) * p.lines : -1;
        if (frameBytes > kMaxDibBytes || p.bytes_per_line <= 0 || p.pixels_per_line > kMaxDibSide)
            return finish({}, QStringLiteral("Das Bild des Scanners ist zu groß."));
        if (frameNo == 0 && frameBytes > 0) total = frameBytes * (threePass ? 3 : 1);
        if (total > kMaxDibBytes)
            return finish({}, QStringLiteral("Das Bild des Scanners ist zu groß."));
        if (frameBytes > 0) frame.data.reserve(size_t(frameBytes));

        qint64 frameRead = 0;
        QDeadlineTimer drainUntil(QDeadlineTimer::Forever);  // set once cancelled
        for (;;) {
            if (cancelled->load()) {
                if (drainUntil.isForever()) drainUntil.setRemainingTime(kCancelDrainMs);
                if (drainUntil.hasExpired()) return finish({}, QString());
            }
            if (frameBytes > 0 && frameBytes - frameRead <= qint64(buffer.size()))
                QThread::msleep(kReaderSettleMs);  // this read may end the frame
            SANE_Int len = 0;
            const SANE_Status s = sane_read(device.h, buffer.data(), SANE_Int(buffer.size()), &len);
            if (s == SANE_STATUS_EOF) break;
            if (s != SANE_STATUS_GOOD) {
                if (cancelled->load()) return finish({}, QString());
                return finish({}, QStringLiteral("Fehler beim Scannen (%1).").arg(statusText(s)));
            }
            if (len <= 0) {  // a non-blocking backend with nothing ready yet
                QThread::msleep(1);
                continue;
            }
            len = std::min<SANE_Int>(len, SANE_Int(buffer.size()));
            frameRead += len;
            if (cancelled->load()) continue;  // read on and drop the data
            if (done + len > kMaxDibBytes)    // all frames together
                return finish({}, QStringLiteral("Das Bild des Scanners ist zu groß."));
            frame.data.insert(frame.data.end(), buffer.data(), buffer.data() + len);
            done += len;
            if (total > 0) post(int(std::min<qint64>(99, done * 100 / total)));
            if (afterRead) afterRead();
        }
        if (cancelled->load()) return finish({}, QString());
        const bool last = p.last_frame || !threePass;
        frames.push_back(std::move(frame));
        if (last) break;
    }
    if (cancelled->load()) return finish({}, QString());
    DibImage pic = framesToDib(frames, &err);
    if (pic.isNull()) return finish({}, err);
    post(100);
    finish(std::move(pic), QString());
}

}  // namespace

void Scanner::onProgress(int percent) {
    // Only rising values reach the owner; repeated percentages are dropped.
    if (percent <= lastProgress_) return;
    lastProgress_ = percent;
    emit progress(percent);
}

void Scanner::onDone(const DibImage& picture, const QString& error) {
    if (thread_) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
    busy_ = false;
    if (picture.isNull()) {
        emit failed(error);
        return;
    }
    const int id = nextId_++;
    finished_.insert(id, picture);
    emit finished(id);
}

DibImage Scanner::takePicture(int id) {
    return finished_.take(id);
}

}  // namespace bb
