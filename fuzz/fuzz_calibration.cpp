// libFuzzer harness for the printer calibration file. Any bytes give no calibration or four
// values that the dialog brings into range; the normalised values survive a write and a read.
#include "print/Calibration.h"

#include <QByteArray>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool inRange(double v, bb::CalibrationRange r) {
    return std::isfinite(v) && v >= r.min && v <= r.max;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<bb::Calibration> read = bb::calibrationFromBytes(bytes);
    if (!read) {
        if (size >= size_t(bb::kCalibrationFileSize)) std::abort();
        return 0;
    }
    const bb::Calibration c = bb::normalizedCalibration(*read);
    if (!inRange(c.leftOffset, bb::kOffsetRange) || !inRange(c.topOffset, bb::kOffsetRange) ||
        !inRange(c.measuredWidth, bb::kSizeRange) || !inRange(c.measuredHeight, bb::kSizeRange))
        std::abort();
    const std::optional<bb::Calibration> again =
        bb::calibrationFromBytes(bb::calibrationToBytes(c));
    if (!again || again->leftOffset != c.leftOffset || again->topOffset != c.topOffset ||
        again->measuredWidth != c.measuredWidth || again->measuredHeight != c.measuredHeight)
        std::abort();
    return 0;
}
