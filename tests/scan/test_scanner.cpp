// Scanning against SANE's "test" backend, enabled for this process only through
// SANE_CONFIG_DIR pointing at a folder made here.
#include "scan/Scanner.h"

#include "scan/SaneTestBackend.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>

using namespace bb;
using bbtest::kSystemTestConf;
using bbtest::writeTestConf;

namespace {

struct ScanResult {
    QList<int> progress;
    QList<int> finishedIds;
    QStringList failures;
    DibImage picture;
};

// Runs one scan to its end in the event loop.
ScanResult runScan(Scanner& scanner, const ScanSettings& settings, bool cancelEarly = false) {
    ScanResult r;
    QObject guard;
    QObject::connect(&scanner, &Scanner::progress, &guard, [&](int p) {
        r.progress << p;
        if (cancelEarly && p > 0) scanner.cancel();
    });
    QObject::connect(&scanner, &Scanner::finished, &guard, [&](int id) {
        r.finishedIds << id;
        r.picture = scanner.takePicture(id);
    });
    QObject::connect(&scanner, &Scanner::failed, &guard,
                     [&](const QString& m) { r.failures << m; });
    QString error;
    if (!scanner.start(settings, &error)) {
        r.failures << error;
        return r;
    }
    QElapsedTimer total;  // a bound against a hang, not a measurement
    total.start();
    while ((scanner.busy() || (r.finishedIds.isEmpty() && r.failures.isEmpty())) &&
           total.elapsed() < bbtest::kHangGuardMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return r;
}

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(QString::fromLatin1(kSystemTestConf)))
            GTEST_SKIP() << "SANE test backend configuration not installed";
        ASSERT_TRUE(writeTestConf());
    }
};

// Pixel size of the test backend's full area (200 × 200 mm) at `dpi`.
QSize fullArea(int dpi) {
    return QSize(int(200 / 25.4 * dpi), int(200 / 25.4 * dpi));
}

}  // namespace

TEST(ScanOptions, ResolutionWordsForFixedPointAndIntegerOptions) {
    ScanOptionConstraint fixedRange;  // as the test backend: 1..1200 dpi in 16.16 fixed point
    fixedRange.fixed = true;
    fixedRange.kind = ScanOptionConstraint::Range;
    fixedRange.min = 1 << 16;
    fixedRange.max = 1200 << 16;
    fixedRange.quant = 1 << 16;
    EXPECT_EQ(nearestOptionWord(fixedRange, 300), 300 << 16);
    EXPECT_EQ(nearestOptionWord(fixedRange, 5000), 1200 << 16);

    ScanOptionConstraint intRange;  // integer dpi from 50 in steps of 100
    intRange.kind = ScanOptionConstraint::Range;
    intRange.min = 50;
    intRange.max = 600;
    intRange.quant = 100;
    EXPECT_EQ(nearestOptionWord(intRange, 300), 350);  // 250 and 350 tie: the step above
    EXPECT_EQ(nearestOptionWord(intRange, 120), 150);
    EXPECT_EQ(nearestOptionWord(intRange, 9600), 550);  // the last step inside the range
    EXPECT_EQ(nearestOptionWord(intRange, -4), 50);

    ScanOptionConstraint intList;  // typical flatbed list
    intList.kind = ScanOptionConstraint::List;
    intList.list = {75, 150, 600, 1200};
    EXPECT_EQ(nearestOptionWord(intList, 300), 150);
    EXPECT_EQ(nearestOptionWord(intList, 500), 600);
    ScanOptionConstraint fixedList = intList;
    fixedList.fixed = true;
    fixedList.list = {75 << 16, 300 << 16};
    EXPECT_EQ(nearestOptionWord(fixedList, 290), 300 << 16);

    ScanOptionConstraint free;  // no constraint: only converted
    EXPECT_EQ(nearestOptionWord(free, 300), 300);
    EXPECT_EQ(nearestOptionWord(free, std::nan("")), 0);
}

TEST_F(ScannerTest, ListsTheTestDevices) {
    QString error;
    const QList<ScanDevice> devices = Scanner::devices(&error);
    ASSERT_EQ(devices.size(), 2) << error.toStdString();
    EXPECT_EQ(devices[0].name, QStringLiteral("test:0"));
    EXPECT_EQ(devices[1].name, QStringLiteral("test:1"));
    EXPECT_FALSE(devices[0].vendor.isEmpty());
    EXPECT_FALSE(devices[0].model.isEmpty());
}

TEST_F(ScannerTest, ColourScanArrivesInOrderWithFullAreaPicture) {
    ASSERT_TRUE(writeTestConf("test-picture \"Color pattern\"\n"));
    Scanner scanner;
    ScanSettings s;
    s.device = QStringLiteral("test:0");
    s.dpi = 50;
    const ScanResult r = runScan(scanner, s);
    ASSERT_TRUE(r.failures.isEmpty()) << r.failures.join(';').toStdString();
    ASSERT_EQ(r.finishedIds.size(), 1);
    ASSERT_FALSE(r.picture.isNull());
    EXPECT_EQ(r.picture.bitCount(), 24);
    EXPECT_EQ(QSize(r.picture.width(), r.picture.height()), fullArea(50));
    // Progress from 0 to 100, strictly rising, all before the completion.
    ASSERT_GE(r.progress.size(), 3);
    EXPECT_EQ(r.progress.front(), 0);
    EXPECT_EQ(r.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(r.progress.begin(), r.progress.end()));
    EXPECT_EQ(std::adjacent_find(r.progress.begin(), r.progress.end()), r.progress.end());
    // A colour pattern has pixels that are not grey.
    bool coloured = false;
    for (int y = 0; y < r.picture.height() && !coloured; y += 7)
        for (int x = 0; x < r.picture.width() && !coloured; x += 3) {
            const ColorRef c = getPixel(r.picture, x, y);
            coloured = refRed(c) != refGreen(c) || refGreen(c) != refBlue(c);
        }
    EXPECT_TRUE(coloured);
    // The picture is handed over once.
    EXPECT_TRUE(scanner.takePicture(r.finishedIds.front()).isNull());
}

TEST_F(ScannerTest, ThreePassGivesTheSamePictureAsOnePassAndSixteenBitsAreRead) {
    Scanner scanner;
    ScanSettings s;
    s.device = QStringLiteral("test:0");
    s.dpi = 25;
    ASSERT_TRUE(writeTestConf("test-picture \"Color pattern\"\n"));
    const ScanResult onePass = runScan(scanner, s);
    ASSERT_TRUE(writeTestConf("test-picture \"Color pattern\"\nthree-pass true\n"));
    const ScanResult threePass = runScan(scanner, s);
    // The backend draws another pattern at 16 bits; a white page shows the samples' scale.
    ASSERT_TRUE(writeTestConf("test-picture \"Solid white\"\ndepth 16\n"));
    const ScanResult deep = runScan(scanner, s);
    for (const ScanResult* r : {&onePass, &threePass, &deep}) {
        ASSERT_TRUE(r->failures.isEmpty()) << r->failures.join(';').toStdString();
        ASSERT_FALSE(r->picture.isNull());
    }
    ASSERT_EQ(threePass.picture.width(), onePass.picture.width());
    ASSERT_EQ(threePass.picture.height(), onePass.picture.height());
    ASSERT_EQ(deep.picture.width(), onePass.picture.width());
    ASSERT_EQ(deep.picture.height(), onePass.picture.height());
    int differentThree = 0, notWhite = 0;
    for (int y = 0; y < onePass.picture.height(); ++y)
        for (int x = 0; x < onePass.picture.width(); ++x) {
            const ColorRef a = getPixel(onePass.picture, x, y);
            differentThree += getPixel(threePass.picture, x, y) != a;
            notWhite += getPixel(deep.picture, x, y) != 0xFFFFFFu;
        }
    EXPECT_EQ(differentThree, 0);
    EXPECT_EQ(notWhite, 0);
}

TEST_F(ScannerTest, GreyAndLineArtScansBecomeGreyColourPictures) {
    Scanner scanner;
    ScanSettings s;
    s.device = QStringLiteral("test:0");
    s.dpi = 25;
    s.mode = ScanMode::Gray;
    // "Solid black" is the configured picture: every pixel black.
    const ScanResult grey = runScan(scanner, s);
    ASSERT_FALSE(grey.picture.isNull()) << grey.failures.join(';').toStdString();
    EXPECT_EQ(grey.picture.bitCount(), 24);
    EXPECT_EQ(getPixel(grey.picture, 0, 0), 0u);
    EXPECT_EQ(getPixel(grey.picture, grey.picture.width() - 1, grey.picture.height() - 1), 0u);

    ASSERT_TRUE(writeTestConf("test-picture \"Solid white\"\ndepth 1\n"));
    const ScanResult lineArt = runScan(scanner, s);
    ASSERT_FALSE(lineArt.picture.isNull()) << lineArt.failures.join(';').toStdString();
    EXPECT_EQ(lineArt.picture.width(), fullArea(25).width());
    EXPECT_EQ(getPixel(lineArt.picture, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(getPixel(lineArt.picture, lineArt.picture.width() - 1, 0), 0xFFFFFFu);
}

TEST_F(ScannerTest, OneScanAtATimeAndCancelDiscards) {
    Scanner scanner;
    ScanSettings s;
    s.device = QStringLiteral("test:0");
    s.dpi = 300;
    ASSERT_TRUE(scanner.start(s));
    QString error;
    EXPECT_FALSE(scanner.start(s, &error));
    EXPECT_FALSE(error.isEmpty());
    scanner.cancel();
    QStringList failures;
    QList<int> finished;
    QObject::connect(&scanner, &Scanner::failed, [&](const QString& m) { failures << m; });
    QObject::connect(&scanner, &Scanner::finished, [&](int id) { finished << id; });
    QElapsedTimer t;
    t.start();
    while (failures.isEmpty() && finished.isEmpty() && t.elapsed() < bbtest::kHangGuardMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.front().isEmpty());  // cancelled: no message
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_FALSE(scanner.busy());

    // A cancel in the middle of the data, once progress has been reported.
    const ScanResult mid = runScan(scanner, s, true);
    EXPECT_TRUE(mid.finishedIds.isEmpty());
    EXPECT_EQ(mid.failures, QStringList{QString()});
    // The scanner is free again afterwards.
    s.dpi = 25;
    const ScanResult again = runScan(scanner, s);
    EXPECT_EQ(again.finishedIds.size(), 1);
}

TEST_F(ScannerTest, UnknownOrAmbiguousDeviceFailsWithAMessage) {
    Scanner scanner;
    ScanSettings s;
    s.device = QStringLiteral("nosuch:device");
    const ScanResult r = runScan(scanner, s);
    ASSERT_EQ(r.failures.size(), 1);
    EXPECT_TRUE(r.failures.front().contains(QStringLiteral("nosuch:device")));
    EXPECT_TRUE(r.finishedIds.isEmpty());

    // No device chosen and two present: the user is asked to choose one.
    s.device.clear();
    const ScanResult two = runScan(scanner, s);
    ASSERT_EQ(two.failures.size(), 1);
    EXPECT_TRUE(two.failures.front().contains(QStringLiteral("Scanner auswählen")));

    // With one device it is taken without a choice.
    ASSERT_TRUE(writeTestConf("number_of_devices 1\n"));
    s.dpi = 25;
    const ScanResult one = runScan(scanner, s);
    EXPECT_EQ(one.finishedIds.size(), 1) << one.failures.join(';').toStdString();
}

TEST_F(ScannerTest, EventLoopRunsWhileTheWorkerIsHeldMidScan) {
    ASSERT_TRUE(writeTestConf("test-picture \"Color pattern\"\n"));
    Scanner scanner;
    ScanSettings s;  // defaults: colour, 300 dpi, full area
    s.device = QStringLiteral("test:0");

    // The worker stops after its first block of data until the event loop has run a timer;
    // a scan on the window's own thread would never get that far.
    QThread* const mainThread = QThread::currentThread();
    QSemaphore eventLoopRan;
    std::atomic<bool> readOnMainThread{false};
    std::atomic<bool> heldOnce{false};
    std::atomic<bool> gateTimedOut{false};
    scanner.setReadHook([&] {
        if (QThread::currentThread() == mainThread) {
            readOnMainThread = true;
            return;
        }
        if (heldOnce.exchange(true)) return;
        // The bound only keeps a broken build from hanging the suite.
        if (!eventLoopRan.tryAcquire(1, 60000)) gateTimedOut = true;
    });
    bool timerRan = false;
    QTimer::singleShot(0, [&] {
        timerRan = true;
        eventLoopRan.release();
    });

    const ScanResult r = runScan(scanner, s);
    ASSERT_EQ(r.finishedIds.size(), 1) << r.failures.join(';').toStdString();
    EXPECT_FALSE(readOnMainThread);
    EXPECT_TRUE(heldOnce);
    EXPECT_FALSE(gateTimedOut);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(QSize(r.picture.width(), r.picture.height()), fullArea(300));
}
