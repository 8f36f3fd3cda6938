// The printer calibration file; see Calibration.h.
#include "print/Calibration.h"

#include "pictures/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace bb {

double calibrationFieldValue(double value, CalibrationRange range) {
    if (std::isnan(value)) return range.min;
    if (value < range.min) value = range.min;
    if (value > range.max) value = range.max;
    return std::round(value * 100.0) / 100.0;
}

Calibration normalizedCalibration(const Calibration& c) {
    return Calibration{calibrationFieldValue(c.leftOffset, kOffsetRange),
                       calibrationFieldValue(c.topOffset, kOffsetRange),
                       calibrationFieldValue(c.measuredWidth, kSizeRange),
                       calibrationFieldValue(c.measuredHeight, kSizeRange)};
}

QByteArray calibrationToBytes(const Calibration& c) {
    QByteArray out(kCalibrationFileSize, '\0');
    const double values[4] = {c.leftOffset, c.topOffset, c.measuredWidth, c.measuredHeight};
    for (int i = 0; i < 4; ++i) qToLittleEndian(values[i], out.data() + 8 * i);
    return out;
}

std::optional<Calibration> calibrationFromBytes(const QByteArray& bytes) {
    if (bytes.size() < kCalibrationFileSize) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) v[i] = qFromLittleEndian<double>(bytes.constData() + 8 * i);
    return Calibration{v[0], v[1], v[2], v[3]};
}

QString calibrationPath(const QString& programFolder) {
    return QDir(programFolder).filePath(kCalibrationFileName);
}

std::optional<Calibration> readCalibrationFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return calibrationFromBytes(file.read(kCalibrationFileSize));
}

bool writeCalibrationFile(const QString& path, const Calibration& c, int* error) {
    const WriteOutcome written = writeFileAtomically(path, calibrationToBytes(c));
    if (error) *error = written.error;
    return written.ok;
}

}  // namespace bb
