// Sheet layout arithmetic shared by the print run, the preview and the command-line tool:
// the clamps of the print settings, the card positions on the sheets, the page breaks, the
// mirror of the inside, device sizes of millimetre lengths and the preview zoom steps.
// All conversions truncate toward zero.
#pragma once

#include "document/CardFormat.h"

#include <QSize>

#include <optional>
#include <vector>

namespace bb {

// Ranges of the print settings on the "Drucken" tab.
inline constexpr int kUsedMin = 0, kUsedMax = 100;
inline constexpr int kCopiesMin = 1, kCopiesMax = 1000;
inline constexpr int kPageMin = 1, kPageMax = 1000;

// The four measured values of the printer calibration.
struct Calibration {
    double leftOffset = 0;        // left edge of the test square from the paper's left edge, mm
    double topOffset = 0;         // top edge from the paper's top edge, mm
    double measuredWidth = 100;   // measured width of the nominal 100 mm square, mm
    double measuredHeight = 100;  // measured height, mm

    double mmPerInchX() const { return measuredWidth * kNominalMmPerInch / 100.0; }
    double mmPerInchY() const { return measuredHeight * kNominalMmPerInch / 100.0; }
    friend bool operator==(const Calibration&, const Calibration&) = default;
};

// The print settings of one run or one preview.
struct PrintSettings {
    int usedPositions = 0;  // positions of the first sheet already used
    int copies = 1;         // cards to print
    int shownSheet = 1;     // sheet shown by the preview (1-based)
};

// What the print run needs to know about the device.
struct DeviceGeometry {
    double dpiX = 600;
    double dpiY = 600;
    int physW = 0;     // width of the physical sheet in device pixels
    int physOffX = 0;  // left edge of the printable area from the paper's edge, device pixels
    int pageW = 0;     // printable area in device pixels
    int pageH = 0;
    int physH = 0;     // height of the physical sheet in device pixels
    int physOffY = 0;  // top edge of the printable area from the paper's top edge
};

// Positions on one sheet, at least 1 (counts below 1 count as 1).
int positionsPerSheet(const CardFormat& format);

// usedPositions clamp: a value not below N − 1 becomes N − 1; negative values become 0.
int clampUsed(int used, int positionsPerSheet);
// Number of sheets that positions used .. used + copies − 1 need.
int sheetCount(int used, int copies, int positionsPerSheet);
// Both clamps applied in order: used positions first, then the shown sheet, which is only
// ever lowered (to the last sheet of the run; never below 1).
PrintSettings clampSettings(PrintSettings settings, const CardFormat& format);

// trunc(mm / mmPerInch × dpi).
int mmToPixels(double mm, double mmPerInch, double dpi);

// One card of a print run.
struct CardPlacement {
    int page = 0;      // sheet, counting from 0
    int position = 0;  // position of the run (p); position on the sheet is p mod N
    int column = 0;
    int row = 0;
    int cardX = 0;  // device position of the card's top-left corner
    int cardY = 0;
    int width = 0;  // device size of the card
    int height = 0;
    bool newPage = false;  // a new page starts before this card
};

// Every card of a print run in printing order, with calibration and the inside mirror
// about the physical sheet. `settings` must already be clamped (see clampSettings).
std::vector<CardPlacement> printPlacements(const CardFormat& format, const PrintSettings& settings,
                                           int side, const Calibration& calibration,
                                           const DeviceGeometry& device);

// Preview: the size of the sheet box for a printable area of pageW × pageH device pixels
// at dpiX × dpiY, shown at `zoom` pixels per inch. A resolution below the zoom counts as a
// divisor of 1.
QSize previewBoxSize(int pageW, int pageH, int dpiX, int dpiY, int zoom);

// Preview: the cards of the shown sheet, at `zoom` pixels per inch, nominal millimetres,
// no calibration; the inside mirrored within the box width.
std::vector<CardPlacement> previewPlacements(const CardFormat& format,
                                             const PrintSettings& settings, int side, int zoom,
                                             int boxWidth);

// Preview zoom steps: ×3 div 2 while below 300, ×2 div 3 while above 10; nullopt when
// the step is refused.
inline constexpr int kPreviewZoomStart = 35;
std::optional<int> zoomInStep(int zoom);
std::optional<int> zoomOutStep(int zoom);

// The calibration test square: 100 mm at the nominal millimetres per inch.
QSize testSquarePixels(double dpiX, double dpiY);

}  // namespace bb
