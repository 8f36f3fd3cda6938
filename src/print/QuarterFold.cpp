// Quarter-fold sheets; see QuarterFold.h.
#include "print/QuarterFold.h"

#include "document/CardDocument.h"

#include <QPageLayout>
#include <QPagedPaintDevice>

#include <algorithm>
#include <climits>
#include <cmath>

namespace bb {

namespace {

// Room for rounding in the paper sizes (Letter comes from inches).
constexpr double kFitSlackMm = 0.01;

int saturatedSum(int a, int b) {
    return int(std::clamp<qint64>(qint64(a) + b, INT_MIN, INT_MAX));
}

bool positiveFinite(double v) {
    return std::isfinite(v) && v > 0;
}

}  // namespace

bool quarterFoldFits(const CardFormat& f, QSizeF paperMm) {
    if (!positiveFinite(f.cardWidth) || !positiveFinite(f.cardHeight)) return false;
    if (!positiveFinite(paperMm.width()) || !positiveFinite(paperMm.height())) return false;
    return f.cardWidth <= paperMm.width() + kFitSlackMm &&
           f.cardHeight <= paperMm.height() / 2 + kFitSlackMm;
}

QSizeF paperSizeMm(const QPagedPaintDevice& device) {
    return device.pageLayout().fullRect(QPageLayout::Millimeter).size();
}

std::vector<QuarterFoldCard> quarterFoldPlacements(const CardFormat& f, int copies,
                                                   const Calibration& cal,
                                                   const DeviceGeometry& dev, QSizeF paperMm) {
    const double mmX = cal.mmPerInchX();
    const double mmY = cal.mmPerInchY();
    const int wd = mmToPixels(f.cardWidth, mmX, dev.dpiX);
    const int hd = mmToPixels(f.cardHeight, mmY, dev.dpiY);
    const int x = mmToPixels((paperMm.width() - f.cardWidth) / 2 - cal.leftOffset, mmX, dev.dpiX);
    const int middle = mmToPixels(paperMm.height() / 2 - cal.topOffset, mmY, dev.dpiY);

    std::vector<QuarterFoldCard> out;
    // No upper clamp: the copies spin and option stop at their maximum, and a merge prints one
    // sheet per card of the list.
    const int sheets = std::max(copies, kCopiesMin);
    out.reserve(size_t(sheets) * 2);
    for (int sheet = 0; sheet < sheets; ++sheet) {
        CardPlacement c;
        c.page = sheet;
        c.position = sheet;
        c.newPage = sheet > 0;
        c.cardX = x;
        c.width = wd;
        c.height = hd;
        c.row = 0;
        c.cardY = saturatedSum(middle, -hd);
        out.push_back(QuarterFoldCard{c, SideOutside, true});
        c.row = 1;
        c.cardY = middle;
        c.newPage = false;
        out.push_back(QuarterFoldCard{c, SideInside, false});
    }
    return out;
}

std::vector<PrintPage> quarterFoldPages(const std::vector<QuarterFoldCard>& cards, bool cutLines,
                                        bool foldLines) {
    std::vector<PrintPage> pages;
    for (const QuarterFoldCard& q : cards) {
        const CardPlacement& c = q.card;
        if (pages.empty() || c.newPage) pages.emplace_back();
        pages.back().cards.push_back(
            PageCard{q.side, c.cardX, c.cardY, c.width, c.height, q.turned});
    }
    for (PrintPage& page : pages) {
        // Both halves together: the outline goes around them, the folds run across their
        // middle and down their middle.
        int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
        for (const PageCard& c : page.cards) {
            left = std::min(left, c.x);
            top = std::min(top, c.y);
            right = std::max(right, saturatedSum(c.x, c.width));
            bottom = std::max(bottom, saturatedSum(c.y, c.height));
        }
        const int width = right - left, height = bottom - top;
        if (cutLines) page.cutOutlines.emplace_back(left, top, width, height);
        if (foldLines) {
            const int middle = top + height / 2;
            page.foldLines.emplace_back(left, middle, right, middle);
            page.foldLines.push_back(cardFoldLine(left, top, width, height));
        }
    }
    return pages;
}

PrintJob quarterFoldJob(const CardFormat& format, const PrintOptions& options,
                        const DeviceGeometry& device, QSizeF paperMm, const MergeRun* merge) {
    PrintJob job;
    job.calibration = options.calibration;
    job.pages =
        quarterFoldPages(quarterFoldPlacements(format, runSettings(options, format, merge).copies,
                                               options.calibration, device, paperMm),
                         options.cutLines, options.foldLines);
    if (merge) assignRecords(job, *merge, RunCards::EachPage);
    return job;
}

}  // namespace bb
