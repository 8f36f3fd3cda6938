// How an envelope goes into the printer, and where its address side then lies on the printed
// page. A page's top edge is the edge the printer draws in first. Through an envelope feed the
// page is the envelope itself; printers without one take an A4 sheet, and the envelope is drawn
// where it lies when it is put into the A4 tray as chosen, so that the text lands on it.
#pragma once

#include "print/EnvelopePrint.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <optional>

class QPagedPaintDevice;
class QPainter;
class QSettings;

namespace bb {

struct EnvelopeFeed {
    // Which edge of the envelope goes in first.
    enum Edge { LongEdge, ShortEdge };
    // How the address side lies in the tray: up (towards the person filling it) or down.
    enum Face { FaceUp, FaceDown };
    // Where the envelope lies across the tray: in the middle or against the left or right
    // guide, as seen by the person filling the tray.
    enum Align { Centre, Left, Right };
    // Which of the two edges of that kind leads. Head: the address's top edge (where the flap
    // is) with the long edge first, the address's left edge with the short edge first. Tail:
    // the opposite edge.
    enum Lead { Head, Tail };

    Edge edge = ShortEdge;
    Face face = FaceUp;
    Align align = Centre;
    Lead lead = Tail;  // short edge first with the flap on the left, as most inkjet trays take it

    friend bool operator==(const EnvelopeFeed&, const EnvelopeFeed&) = default;
};

inline constexpr double kA4WidthMm = 210.0;
inline constexpr double kA4HeightMm = 297.0;

// The envelope's placement on the page for `envelopeMm` (landscape: width ≥ height). On A4 the
// envelope's leading edge lies at the sheet's top; an envelope wider than the sheet as fed
// (see feedFits) is drawn from the sheet's left edge and runs off it.
EnvelopePlacement envelopePlacement(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4);

// False when the envelope, fed so, is wider than an A4 sheet (a DL envelope long edge first),
// so that it could not be printed on A4; `error` then says so in German.
bool feedFits(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4, QString* error = nullptr);

// "long,up,centre,head": edge long|short, face up|down, align centre|left|right, and an
// optional lead head|tail (default tail). Words are matched without regard to case and spaces
// around them; "center" is taken as "centre". nullopt with a German message in `error`.
std::optional<EnvelopeFeed> parseFeed(const QString& text, QString* error = nullptr);
// The text parseFeed reads back into `feed`.
QString feedText(const EnvelopeFeed& feed);
// The feed in German words for people: "kurze Kante zuerst, Adressseite oben, mittig, ...".
QString feedDescription(const EnvelopeFeed& feed);

// The feed and the A4 choice in the user's settings ("Umschlag/Einzug", "Umschlag/AufA4");
// what is missing or unreadable gives the default.
EnvelopeFeed loadFeed(const QSettings& settings);
void storeFeed(QSettings& settings, const EnvelopeFeed& feed);
bool loadOnA4(const QSettings& settings);
void storeOnA4(QSettings& settings, bool onA4);

// The test page of a feed: the page of envelopePlacement with the envelope's outline where it lies,
// an arrow along the direction the paper is drawn in ("Einzugsrichtung"), the address side's
// top and the flap marked in the envelope's own frame, and the feed written out, so that a
// person sees how to put the envelope in. Drawn on `painter` at `pxPerMm` device pixels per mm
// from the page's top-left.
void drawFeedTestPage(QPainter& painter, double pxPerMm, QSizeF envelopeMm,
                      const EnvelopeFeed& feed, bool onA4);
// Where the feed arrow lies on the page, in mm.
QRectF feedArrowRectMm(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4);
// One page of drawFeedTestPage on `device`, whose page size and orientation it sets, begun
// and ended here. False with a German message when the device refuses the page or cannot be
// drawn on.
bool printFeedTestPage(QPagedPaintDevice& device, QSizeF envelopeMm, const EnvelopeFeed& feed,
                       bool onA4, QString* error = nullptr);
// The test page as a PDF file at `path`, written whole or not at all and never through a link.
bool writeFeedTestPdf(const QString& path, QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4,
                      QString* error = nullptr);

}  // namespace bb
