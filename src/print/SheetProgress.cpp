// Pages to sheets; see SheetProgress.h.
#include "print/SheetProgress.h"

#include <algorithm>

namespace bb {

SheetStep sheetStep(int page, int pages, int pagesPerSheet) {
    const int per = std::max(1, pagesPerSheet);
    const int total = std::max(1, pages);
    const int p = std::clamp(page, 1, total);
    return SheetStep{(p - 1) / per + 1, (total + per - 1) / per, (p - 1) % per == 0};
}

QString sheetProgressText(const SheetStep& step) {
    return QStringLiteral("Drucke Blatt %1 von %2").arg(step.sheet).arg(step.sheets);
}

}  // namespace bb
