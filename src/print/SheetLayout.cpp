// Sheet layout arithmetic; see SheetLayout.h.
#include "print/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace bb {

namespace {

// Truncates toward zero into the int range (huge or non-finite values are pinned, so a
// broken card format cannot overflow the conversion).
int truncToInt(long double v) {
    if (std::isnan(v)) return 0;
    constexpr long double lo = std::numeric_limits<int>::min();
    constexpr long double hi = std::numeric_limits<int>::max();
    if (v <= lo) return std::numeric_limits<int>::min();
    if (v >= hi) return std::numeric_limits<int>::max();
    return int(std::trunc(v));
}

}  // namespace

int positionsPerSheet(const CardFormat& format) {
    const qint64 across = std::max<qint64>(1, format.cardsAcross);
    const qint64 down = std::max<qint64>(1, format.cardsDown);
    return int(std::min<qint64>(across * down, std::numeric_limits<int>::max()));
}

int clampUsed(int used, int n) {
    if (used >= n - 1) used = n - 1;
    return std::max(0, used);
}

int sheetCount(int used, int copies, int n) {
    const qint64 last = qint64(used) + copies - 1;
    return int(last / std::max(1, n) + 1);
}

PrintSettings clampSettings(PrintSettings s, const CardFormat& format) {
    const int n = positionsPerSheet(format);
    s.usedPositions = clampUsed(s.usedPositions, n);
    const int sheets = std::max(1, sheetCount(s.usedPositions, s.copies, n));
    if (s.shownSheet > sheets) s.shownSheet = sheets;
    if (s.shownSheet < 1) s.shownSheet = 1;
    return s;
}

int mmToPixels(double mm, double mmPerInch, double dpi) {
    return truncToInt((long double)mm / mmPerInch * dpi);
}

std::vector<CardPlacement> printPlacements(const CardFormat& f, const PrintSettings& s, int side,
                                           const Calibration& cal, const DeviceGeometry& dev) {
    std::vector<CardPlacement> out;
    const int n = positionsPerSheet(f);
    const int across = std::max(1, f.cardsAcross);
    const int down = std::max(1, f.cardsDown);
    const long double mmX = cal.mmPerInchX();
    const long double mmY = cal.mmPerInchY();
    const int first = s.usedPositions;
    const int last = s.usedPositions + s.copies - 1;
    if (last < first) return out;
    out.reserve(size_t(last - first) + 1);
    const int wd = truncToInt((long double)f.cardWidth / mmX * dev.dpiX);
    const int hd = truncToInt((long double)f.cardHeight / mmY * dev.dpiY);
    for (int p = first; p <= last; ++p) {
        CardPlacement c;
        c.position = p;
        c.page = p / n;
        c.column = p % across;
        c.row = (p / across) % down;
        c.newPage = p != first && p / n != (p - 1) / n;
        c.cardX = truncToInt(((long double)f.leftMargin - cal.leftOffset) / mmX * dev.dpiX +
                             (long double)f.pitchX / mmX * dev.dpiX * c.column);
        c.cardY = truncToInt(((long double)f.topMargin - cal.topOffset) / mmY * dev.dpiY +
                             (long double)f.pitchY / mmY * dev.dpiY * c.row);
        c.width = wd;
        c.height = hd;
        // The inside lands on the back of the sheet: mirror about the physical sheet's
        // middle, measured from the printable area's origin.
        if (side == 1) c.cardX = dev.physW - (c.cardX + c.width) - 2 * dev.physOffX;
        out.push_back(c);
    }
    return out;
}

QSize previewBoxSize(int pageW, int pageH, int dpiX, int dpiY, int zoom) {
    const int zx = std::max(1, zoom);
    const int divX = std::max(1, dpiX / zx);
    const int divY = std::max(1, dpiY / zx);
    return QSize(std::max(0, pageW) / divX, std::max(0, pageH) / divY);
}

std::vector<CardPlacement> previewPlacements(const CardFormat& f, const PrintSettings& s, int side,
                                             int zoom, int boxWidth) {
    std::vector<CardPlacement> out;
    const int n = positionsPerSheet(f);
    const int across = std::max(1, f.cardsAcross);
    const int down = std::max(1, f.cardsDown);
    const long double mm = kNominalMmPerInch;
    const int w = truncToInt((long double)f.cardWidth / mm * zoom);
    const int h = truncToInt((long double)f.cardHeight / mm * zoom);
    const int first = s.usedPositions;
    const int last = s.usedPositions + s.copies - 1;
    // Only the positions of the shown sheet can be drawn; start there instead of walking
    // every earlier position.
    const int sheet = s.shownSheet - 1;
    const int from = std::max(first, int(std::min<qint64>(qint64(sheet) * n, INT32_MAX)));
    for (int p = from; p <= last && p / n == sheet; ++p) {
        CardPlacement c;
        c.position = p;
        c.page = sheet;
        c.column = p % across;
        c.row = (p / across) % down;
        c.cardX = truncToInt((long double)f.leftMargin / mm * zoom +
                             (long double)f.pitchX / mm * zoom * c.column);
        c.cardY = truncToInt((long double)f.topMargin / mm * zoom +
                             (long double)f.pitchY / mm * zoom * c.row);
        c.width = w;
        c.height = h;
        if (side == 1) c.cardX = boxWidth - (c.cardX + w);
        out.push_back(c);
    }
    return out;
}

std::optional<int> zoomInStep(int zoom) {
    const int z = zoom * 3 / 2;
    if (z < 300) return z;
    return std::nullopt;
}

std::optional<int> zoomOutStep(int zoom) {
    const int z = zoom * 2 / 3;
    if (z > 10) return z;
    return std::nullopt;
}

QSize testSquarePixels(double dpiX, double dpiY) {
    return QSize(mmToPixels(100, kNominalMmPerInch, dpiX),
                 mmToPixels(100, kNominalMmPerInch, dpiY));
}

}  // namespace bb
