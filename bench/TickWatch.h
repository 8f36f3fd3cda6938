// For the responsiveness benchmarks: how long the user-interface thread could not react.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// Watches the user-interface thread: the longest gap between two ticks of a 1 ms timer.
class TickWatch {
public:
    TickWatch() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (last_ >= 0) maxGap_ = std::max(maxGap_, now - last_);
            last_ = now;
        });
    }
    void start() {
        clock_.start();
        last_ = -1;
        maxGap_ = 0;
        timer_.start();
    }
    void stop() { timer_.stop(); }
    double maxGapMs() const { return double(maxGap_) / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 maxGap_ = 0;
};
