// Helpers shared by the tests: a temporary folder per test and the public test data.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <functional>

namespace bbtest {

// Folder of the third-party test data beside the checkout, or empty when absent.
QString sharedTestData();
// Skips the current test with a message when the shared test data is absent.
#define BB_REQUIRE_TESTDATA()                                                          \
    do {                                                                               \
        if (::bbtest::sharedTestData().isEmpty())                                      \
            GTEST_SKIP() << "shared test data not found beside the checkout; skipped"; \
    } while (0)

// A fresh temporary folder removed at the end of the test.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// How long a test waits for a state before it reports a hang. A guard only, never a
// measurement: generous enough for a loaded machine.
inline constexpr int kHangGuardMs = 120000;

// Runs the event loop until `done` holds; false when the hang guard ran out first.
template <typename Pred>
bool runUntil(Pred done) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > kHangGuardMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Holds a preview walk on its worker thread before step `after + 1` until the gate opens or
// the walk is stopped, so that a test can examine a walk that is certainly still running.
// Install hook() with CardBrowser::setWalkStepHook before the walk starts.
class WalkGate {
public:
    explicit WalkGate(int after) : after_(after) {}
    std::function<void()> hook() {
        return [this] {
            if (++steps_ <= after_) return;
            // A stop request on the worker also lets it through, so no close can hang here.
            while (!open_ && !QThread::currentThread()->isInterruptionRequested())
                wake_.tryAcquire(1, 5);
        };
    }
    // True once the worker waits at the gate (or passed it).
    bool holding() const { return steps_ > after_; }
    int steps() const { return steps_; }
    void open() {
        open_ = true;
        wake_.release();
    }

private:
    const int after_;
    std::atomic<int> steps_{0};
    std::atomic<bool> open_{false};
    QSemaphore wake_;
};

}  // namespace bbtest
