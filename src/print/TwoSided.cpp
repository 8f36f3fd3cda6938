// Both sides of the cards on one sheet; see TwoSided.h.
#include "print/TwoSided.h"

#include "document/CardDocument.h"

#include <utility>

namespace bb {

TurnAxis turnAxis(FlipEdge edge, QPageLayout::Orientation orientation) {
    const bool portrait = orientation != QPageLayout::Landscape;
    // The long edge of a portrait page and the short edge of a landscape page are the
    // page's left and right edges as printed.
    return (edge == FlipEdge::Long) == portrait ? TurnAxis::Vertical : TurnAxis::Horizontal;
}

FlipEdge foldEdge(QPageLayout::Orientation orientation) {
    return orientation == QPageLayout::Landscape ? FlipEdge::Short : FlipEdge::Long;
}

QPrinter::DuplexMode duplexModeOf(FlipEdge edge) {
    return edge == FlipEdge::Long ? QPrinter::DuplexLongSide : QPrinter::DuplexShortSide;
}

DuplexChoice chooseDuplex(const QList<QPrinter::DuplexMode>& supported,
                          QPageLayout::Orientation orientation, std::optional<FlipEdge> forced) {
    const bool longSide = supported.contains(QPrinter::DuplexLongSide);
    const bool shortSide = supported.contains(QPrinter::DuplexShortSide);
    const bool automatic = supported.contains(QPrinter::DuplexAuto);
    if (!longSide && !shortSide && !automatic) return {};
    if (forced) return {duplexModeOf(*forced), turnAxis(*forced, orientation)};
    const FlipEdge wanted = foldEdge(orientation);
    const FlipEdge other = wanted == FlipEdge::Long ? FlipEdge::Short : FlipEdge::Long;
    const auto offers = [&](FlipEdge e) { return e == FlipEdge::Long ? longSide : shortSide; };
    if (offers(wanted)) return {duplexModeOf(wanted), TurnAxis::Vertical};
    if (offers(other)) return {duplexModeOf(other), turnAxis(other, orientation)};
    // Automatic duplex turns portrait pages about the long edge and landscape pages about the
    // short edge: about the vertical axis either way.
    return {QPrinter::DuplexAuto, TurnAxis::Vertical};
}

// Device coordinates of a page count from the printable area's corner, which lies physOffX
// and physOffY inside the paper; x = X − physOffX for a paper coordinate X seen from the
// page's own side. Turned about the vertical axis, the paper point X of the front lies
// behind the paper point physW − X of the back: a rectangle [x, x + w] of the front is
// behind [physW − (x + w) − 2·physOffX, physW − x − 2·physOffX] of the back, at the same y,
// and upright (the mirror the inside run has always used, so the calibration applies alike).
// Turned about the horizontal axis, Y goes to physH − Y and the page stands on its head
// against the front: y' = physH − (y + h) − 2·physOffY, x' = x, and the content is drawn
// turned by 180° so that it reads upright when the sheet is turned like a book page.
PageCard backOf(const QRect& front, TurnAxis axis, const DeviceGeometry& device, int side) {
    PageCard back{side, front.x(), front.y(), front.width(), front.height(), false};
    if (axis == TurnAxis::Vertical) {
        back.x = device.physW - (front.x() + front.width()) - 2 * device.physOffX;
    } else {
        back.y = device.physH - (front.y() + front.height()) - 2 * device.physOffY;
        back.turned = true;
    }
    return back;
}

std::vector<TwoSidedCard> twoSidedCards(const CardFormat& format, const PrintSettings& settings,
                                        const Calibration& calibration,
                                        const DeviceGeometry& device, TurnAxis axis) {
    std::vector<TwoSidedCard> out;
    for (const CardPlacement& c :
         printPlacements(format, settings, SideOutside, calibration, device)) {
        const QRect front(c.cardX, c.cardY, c.width, c.height);
        out.push_back(TwoSidedCard{c, backOf(front, axis, device, SideInside)});
    }
    return out;
}

PrintJob twoSidedJob(const CardFormat& format, const PrintOptions& options,
                     const DeviceGeometry& device, TurnAxis axis, const MergeRun* merge) {
    const PrintSettings settings = runSettings(options, format, merge);
    PrintJob job;
    job.calibration = options.calibration;
    job.pagesPerSheet = 2;
    const auto addCard = [&](PrintPage& page, const PageCard& card) {
        page.cards.push_back(card);
        if (options.cutLines)
            page.cutOutlines.emplace_back(card.x, card.y, card.width, card.height);
        if (options.foldLines)
            page.foldLines.push_back(cardFoldLine(card.x, card.y, card.width, card.height));
    };
    for (const TwoSidedCard& c :
         twoSidedCards(format, settings, options.calibration, device, axis)) {
        if (job.pages.empty() || c.front.newPage) job.pages.resize(job.pages.size() + 2);
        const CardPlacement& f = c.front;
        addCard(job.pages[job.pages.size() - 2],
                PageCard{SideOutside, f.cardX, f.cardY, f.width, f.height, false});
        addCard(job.pages.back(), c.back);
    }
    if (merge) assignRecords(job, *merge, RunCards::FrontAndBack);
    return job;
}

SplitJobs splitSides(const PrintJob& twoSided) {
    SplitJobs split;
    split.fronts.title = split.backs.title = twoSided.title;
    split.fronts.calibration = split.backs.calibration = twoSided.calibration;
    split.fronts.addresses = split.backs.addresses = twoSided.addresses;
    for (size_t i = 0; i < twoSided.pages.size(); ++i)
        (i % 2 == 0 ? split.fronts : split.backs).pages.push_back(twoSided.pages[i]);
    return split;
}

PrintJob alignmentJob(const DeviceGeometry& device, const Calibration& calibration, TurnAxis axis) {
    // Millimetres on the paper, measured from its edges, to device pixels with the calibration,
    // as the card positions are.
    const auto x = [&](double mm) {
        return mmToPixels(mm - calibration.leftOffset, calibration.mmPerInchX(), device.dpiX);
    };
    const auto y = [&](double mm) {
        return mmToPixels(mm - calibration.topOffset, calibration.mmPerInchY(), device.dpiY);
    };
    const auto rect = [&](double left, double top, double width, double height) {
        return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
    };
    const double paperW = device.dpiX > 0 ? device.physW / device.dpiX * kNominalMmPerInch : 0;
    const double paperH = device.dpiY > 0 ? device.physH / device.dpiY * kNominalMmPerInch : 0;
    const double inset = 20, arm = 8;

    PrintPage front, back;
    const auto both = [&](PageMark mark, const QString& backText) {
        front.marks.push_back(mark);
        const PageCard b = backOf(mark.rect, axis, device, SideInside);
        mark.rect = QRect(b.x, b.y, b.width, b.height);
        mark.turned = b.turned;
        if (!backText.isNull()) mark.text = backText;
        back.marks.push_back(mark);
    };
    const double middleX = paperW / 2, middleY = paperH / 2;
    for (const auto& [cx, cy] :
         {std::pair{inset, inset}, std::pair{paperW - inset, inset},
          std::pair{inset, paperH - inset}, std::pair{paperW - inset, paperH - inset},
          std::pair{middleX, middleY}})
        both(PageMark{PageMark::Cross, rect(cx - arm, cy - arm, 2 * arm, 2 * arm), {}, false},
             QString());
    both(PageMark{PageMark::ArrowUp, rect(middleX - 4, 30, 8, 25), {}, false}, QString());
    both(PageMark{PageMark::Label, rect(middleX + 6, 32, 30, 10), QStringLiteral("oben"), false},
         QString());
    both(PageMark{PageMark::Label, rect(middleX - 50, 60, 100, 14), QStringLiteral("Vorderseite"),
                  false},
         QStringLiteral("Rückseite"));

    PrintJob job;
    job.title = kAlignmentJobTitle;
    job.calibration = calibration;
    job.pagesPerSheet = 2;
    job.pages = {front, back};
    return job;
}

}  // namespace bb
