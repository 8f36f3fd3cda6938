// The calibration file "options.dat" and the values its fields show.
#include "print/Calibration.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <limits>

using namespace bb;

namespace {

QByteArray doubles(std::initializer_list<double> values) {
    QByteArray out;
    for (double v : values) {
        char b[8];
        qToLittleEndian(v, b);
        out.append(b, 8);
    }
    return out;
}

void writeRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(CalibrationFile, FreshFileHoldsTheDefaults) {
    bbtest::TempFolder dir;
    const QString path = calibrationPath(dir.path());
    EXPECT_FALSE(readCalibrationFile(path).has_value());
    ASSERT_TRUE(writeCalibrationFile(path, Calibration{}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), doubles({0, 0, 100, 100}));
    EXPECT_EQ(f.size(), 32);
}

TEST(CalibrationFile, ValuesComeBackInOrder) {
    bbtest::TempFolder dir;
    const QString path = dir.file("options.dat");
    const Calibration c{3.25, 1.5, 101.2, 98.75};
    ASSERT_TRUE(writeCalibrationFile(path, c));
    EXPECT_EQ(readCalibrationFile(path), c);
    // Byte order: LinksEd first, HochEd last, little-endian.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), doubles({3.25, 1.5, 101.2, 98.75}));
}

TEST(CalibrationFile, ShortOrLongFiles) {
    bbtest::TempFolder dir;
    const QString path = dir.file("options.dat");
    // A truncated file is ignored as a whole: defaults, not a half-read calibration.
    writeRaw(path, doubles({4, 4, 102}));
    EXPECT_FALSE(readCalibrationFile(path).has_value());
    writeRaw(path, QByteArray());
    EXPECT_FALSE(readCalibrationFile(path).has_value());
    // Extra bytes after the four values are not read.
    writeRaw(path, doubles({1, 2, 99, 101, 7777}));
    EXPECT_EQ(readCalibrationFile(path), (Calibration{1, 2, 99, 101}));
}

TEST(CalibrationFile, FailedWriteKeepsTheOldFile) {
    bbtest::TempFolder dir;
    const QString path = dir.file("options.dat");
    ASSERT_TRUE(writeCalibrationFile(path, Calibration{2, 2, 100, 100}));
    // A folder that does not exist, and a file name that is taken by a folder.
    EXPECT_FALSE(writeCalibrationFile(dir.file("missing/options.dat"), Calibration{}));
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_FALSE(writeCalibrationFile(dir.file("taken"), Calibration{}));
    EXPECT_TRUE(QFileInfo(dir.file("taken")).isDir());
    // A folder without write permission (not enforced when running as root).
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = writeCalibrationFile(path, Calibration{5, 5, 105, 105});
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!written) {
        EXPECT_EQ(readCalibrationFile(path), (Calibration{2, 2, 100, 100}));
    }
}

TEST(CalibrationFields, RangeThenTwoDecimals) {
    EXPECT_DOUBLE_EQ(calibrationFieldValue(110, kSizeRange), 105.0);
    EXPECT_DOUBLE_EQ(calibrationFieldValue(3.14159, kOffsetRange), 3.14);
    EXPECT_DOUBLE_EQ(calibrationFieldValue(-1, kOffsetRange), 0.0);
    EXPECT_DOUBLE_EQ(calibrationFieldValue(90, kSizeRange), 95.0);
    EXPECT_DOUBLE_EQ(calibrationFieldValue(2.345678, kOffsetRange), 2.35);
    // Damaged file values: not-a-number reads as the lower limit, infinities go to the ends.
    EXPECT_DOUBLE_EQ(calibrationFieldValue(std::nan(""), kSizeRange), 95.0);
    EXPECT_DOUBLE_EQ(calibrationFieldValue(std::numeric_limits<double>::infinity(), kOffsetRange),
                     6.0);
    const Calibration n = normalizedCalibration({3.14159, 7, 110, 94});
    EXPECT_EQ(n, (Calibration{3.14, 6, 105, 95}));
    // The calibrated millimetres per inch.
    EXPECT_DOUBLE_EQ(n.mmPerInchX(), 105 * 25.39995 / 100);
    EXPECT_DOUBLE_EQ(Calibration{}.mmPerInchY(), 25.39995);
}
