// The pages of a print job; see PrintPages.h.
#include "print/PrintPages.h"

namespace bb {

QLine cardFoldLine(int x, int y, int w, int h) {
    return QLine(x + w / 2, y, x + w / 2, y + h);
}

std::vector<PrintPage> sidePages(const std::vector<CardPlacement>& cards, int side, bool cutLines,
                                 bool foldLines) {
    std::vector<PrintPage> pages;
    for (const CardPlacement& c : cards) {
        if (pages.empty() || c.newPage) pages.emplace_back();
        PrintPage& page = pages.back();
        page.cards.push_back(PageCard{side, c.cardX, c.cardY, c.width, c.height, false});
        if (cutLines) page.cutOutlines.emplace_back(c.cardX, c.cardY, c.width, c.height);
        if (foldLines) page.foldLines.push_back(cardFoldLine(c.cardX, c.cardY, c.width, c.height));
    }
    return pages;
}

}  // namespace bb
