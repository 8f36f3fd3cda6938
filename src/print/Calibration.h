// The printer calibration file "options.dat": four little-endian doubles (leftOffset, topOffset,
// measuredWidth, measuredHeight), 32 bytes, no header. The values live in the calibration dialog's
// fields, which bring every loaded value into range and show it with two decimals.
#pragma once

#include "print/SheetLayout.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace bb {

inline const QString kCalibrationFileName = QStringLiteral("options.dat");
inline constexpr int kCalibrationFileSize = 32;

struct CalibrationRange {
    double min, max;
};
inline constexpr CalibrationRange kOffsetRange{0, 6};   // leftOffset, topOffset
inline constexpr CalibrationRange kSizeRange{95, 105};  // measuredWidth, measuredHeight

// The value a field shows for `value`: brought into [min, max] (to the nearest end; a value
// that is not a number reads as the lower limit), then rounded to two decimals.
double calibrationFieldValue(double value, CalibrationRange range);
// All four fields at once.
Calibration normalizedCalibration(const Calibration& c);

QByteArray calibrationToBytes(const Calibration& c);
// Decodes the first 32 bytes; nullopt when fewer are given (a truncated file is ignored as a
// whole rather than half applied).
std::optional<Calibration> calibrationFromBytes(const QByteArray& bytes);

QString calibrationPath(const QString& programFolder);
// Reads the file; nullopt when it is missing, unreadable or too short. The values are raw,
// not yet brought into the fields' ranges.
std::optional<Calibration> readCalibrationFile(const QString& path);
// Writes the file whole or not at all; false (and the old file untouched) when that fails,
// with the system's error number in `error` when given.
bool writeCalibrationFile(const QString& path, const Calibration& c, int* error = nullptr);

}  // namespace bb
