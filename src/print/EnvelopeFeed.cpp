// Envelope feeds, their placement arithmetic, settings and test page; see EnvelopeFeed.h.
#include "print/EnvelopeFeed.h"

#include "document/FolderFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <array>

namespace bb {

namespace {

const char* const kFeedKey = "Umschlag/Einzug";
const char* const kOnA4Key = "Umschlag/AufA4";
constexpr int kTestPageResolution = 300;

// The envelope's address side turned as it enters the printer: the map onto a page of the fed
// size with its leading edge at the top, before any shift on a larger sheet.
QTransform turnForFeed(QSizeF env, const EnvelopeFeed& feed) {
    const double w = env.width();
    const double h = env.height();
    if (feed.edge == EnvelopeFeed::LongEdge)
        return feed.lead == EnvelopeFeed::Head ? QTransform()
                                               : QTransform(-1, 0, 0, -1, w, h);  // half turn
    // Short edge first: the left edge leads (the address reads downwards) or the right one.
    return feed.lead == EnvelopeFeed::Head ? QTransform(0, 1, -1, 0, h, 0)
                                           : QTransform(0, -1, 1, 0, 0, w);
}

QSizeF fedSize(QSizeF env, const EnvelopeFeed& feed) {
    return feed.edge == EnvelopeFeed::LongEdge ? env : env.transposed();
}

// The envelope as given, landscape: some callers may pass a portrait size.
QSizeF landscapeSize(QSizeF env) {
    return env.width() >= env.height() ? env : env.transposed();
}

template <typename E, size_t N>
std::optional<E> wordOf(const QString& word,
                        const std::array<std::pair<const char*, E>, N>& words) {
    for (const auto& [name, value] : words)
        if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return value;
    return std::nullopt;
}

const std::array<std::pair<const char*, EnvelopeFeed::Edge>, 2> kEdgeWords{
    {{"long", EnvelopeFeed::LongEdge}, {"short", EnvelopeFeed::ShortEdge}}};
const std::array<std::pair<const char*, EnvelopeFeed::Face>, 2> kFaceWords{
    {{"up", EnvelopeFeed::FaceUp}, {"down", EnvelopeFeed::FaceDown}}};
const std::array<std::pair<const char*, EnvelopeFeed::Align>, 4> kAlignWords{
    {{"centre", EnvelopeFeed::Centre},
     {"center", EnvelopeFeed::Centre},
     {"left", EnvelopeFeed::Left},
     {"right", EnvelopeFeed::Right}}};
const std::array<std::pair<const char*, EnvelopeFeed::Lead>, 2> kLeadWords{
    {{"head", EnvelopeFeed::Head}, {"tail", EnvelopeFeed::Tail}}};

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

}  // namespace

EnvelopePlacement envelopePlacement(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4) {
    const QSizeF env = landscapeSize(envelopeMm);
    const QSizeF fed = fedSize(env, feed);
    EnvelopePlacement p;
    p.envelopeToPaperMm = turnForFeed(env, feed);
    if (!onA4) {
        p.paperMm = fed;
    } else {
        p.paperMm = QSizeF(kA4WidthMm, kA4HeightMm);
        // The person sees the tray from above: with the address side down, their left guide
        // is the printed page's right edge.
        EnvelopeFeed::Align side = feed.align;
        if (feed.face == EnvelopeFeed::FaceDown && side != EnvelopeFeed::Centre)
            side = side == EnvelopeFeed::Left ? EnvelopeFeed::Right : EnvelopeFeed::Left;
        const double room = std::max(0.0, kA4WidthMm - fed.width());
        const double x = side == EnvelopeFeed::Centre ? room / 2
                         : side == EnvelopeFeed::Left ? 0.0
                                                      : room;
        p.envelopeToPaperMm *= QTransform::fromTranslate(x, 0);
    }
    p.landscape = p.paperMm.width() > p.paperMm.height();
    return p;
}

bool feedFits(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4, QString* error) {
    if (!onA4) return true;
    const QSizeF fed = fedSize(landscapeSize(envelopeMm), feed);
    if (fed.width() <= kA4WidthMm + 1e-6 && fed.height() <= kA4HeightMm + 1e-6) return true;
    setError(error, QStringLiteral("Ein Umschlag von %1 mm Breite passt mit der langen Kante "
                                   "zuerst nicht in den A4-Einzug (%2 mm). Bitte die kurze "
                                   "Kante zuerst einlegen.")
                        .arg(fed.width(), 0, 'f', 0)
                        .arg(kA4WidthMm, 0, 'f', 0));
    return false;
}

std::optional<EnvelopeFeed> parseFeed(const QString& text, QString* error) {
    const QStringList parts = text.split(QLatin1Char(','));
    const QString usage = QStringLiteral(
        "Der Einzug wird als long|short,up|down,centre|left|right[,head|tail] angegeben");
    if (parts.size() < 3 || parts.size() > 4) {
        setError(error, usage + QStringLiteral(", nicht \"%1\".").arg(text));
        return std::nullopt;
    }
    const auto bad = [&](const QString& word) {
        setError(error, QStringLiteral("Unbekanntes Wort \"%1\" im Einzug. ").arg(word) + usage +
                            QLatin1Char('.'));
        return std::nullopt;
    };
    EnvelopeFeed feed;
    const QString edge = parts[0].trimmed();
    const QString face = parts[1].trimmed();
    const QString align = parts[2].trimmed();
    if (const auto e = wordOf(edge, kEdgeWords))
        feed.edge = *e;
    else
        return bad(edge);
    if (const auto f = wordOf(face, kFaceWords))
        feed.face = *f;
    else
        return bad(face);
    if (const auto a = wordOf(align, kAlignWords))
        feed.align = *a;
    else
        return bad(align);
    if (parts.size() == 4) {
        const QString lead = parts[3].trimmed();
        if (const auto l = wordOf(lead, kLeadWords))
            feed.lead = *l;
        else
            return bad(lead);
    }
    return feed;
}

QString feedText(const EnvelopeFeed& feed) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(QLatin1String(feed.edge == EnvelopeFeed::LongEdge ? "long" : "short"),
             QLatin1String(feed.face == EnvelopeFeed::FaceUp ? "up" : "down"),
             QLatin1String(feed.align == EnvelopeFeed::Centre ? "centre"
                           : feed.align == EnvelopeFeed::Left ? "left"
                                                              : "right"),
             QLatin1String(feed.lead == EnvelopeFeed::Head ? "head" : "tail"));
}

QString feedDescription(const EnvelopeFeed& feed) {
    const bool longEdge = feed.edge == EnvelopeFeed::LongEdge;
    const bool head = feed.lead == EnvelopeFeed::Head;
    QString leading = longEdge ? (head ? QStringLiteral("Oberkante (Klappe) voran")
                                       : QStringLiteral("Unterkante voran"))
                               : (head ? QStringLiteral("linke Kante der Adressseite voran")
                                       : QStringLiteral("rechte Kante der Adressseite voran"));
    return QStringLiteral("%1 zuerst, %2, Adressseite %3, %4")
        .arg(longEdge ? QStringLiteral("lange Kante") : QStringLiteral("kurze Kante"), leading,
             feed.face == EnvelopeFeed::FaceUp ? QStringLiteral("nach oben")
                                               : QStringLiteral("nach unten"),
             feed.align == EnvelopeFeed::Centre ? QStringLiteral("mittig")
             : feed.align == EnvelopeFeed::Left ? QStringLiteral("an der linken Führung")
                                                : QStringLiteral("an der rechten Führung"));
}

EnvelopeFeed loadFeed(const QSettings& settings) {
    return parseFeed(settings.value(QLatin1String(kFeedKey)).toString()).value_or(EnvelopeFeed{});
}

void storeFeed(QSettings& settings, const EnvelopeFeed& feed) {
    settings.setValue(QLatin1String(kFeedKey), feedText(feed));
}

bool loadOnA4(const QSettings& settings) {
    return settings.value(QLatin1String(kOnA4Key), false).toBool();
}

void storeOnA4(QSettings& settings, bool onA4) {
    settings.setValue(QLatin1String(kOnA4Key), onA4);
}

// ---- the test page ----

namespace {

// The envelope's rectangle on the page, in mm.
QRectF envelopeOnPage(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4) {
    const QSizeF env = landscapeSize(envelopeMm);
    return envelopePlacement(env, feed, onA4).envelopeToPaperMm.mapRect(QRectF(QPointF(), env));
}

// Text in mm: the painter works in mm, fonts take whole pixels, so the text is drawn a tenth
// as large in tenths of a mm.
void drawTextMm(QPainter& painter, const QRectF& rectMm, int flags, const QString& text,
                double sizeMm, bool bold = false) {
    painter.save();
    painter.scale(0.1, 0.1);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(std::max(1, qRound(sizeMm * 10)));
    font.setBold(bold);
    painter.setFont(font);
    painter.drawText(QRectF(rectMm.topLeft() * 10, rectMm.size() * 10), flags, text);
    painter.restore();
}

// An arrow from `from` to `to` (the head), in mm.
void drawArrow(QPainter& painter, QPointF from, QPointF to, double headMm) {
    QLineF back = QLineF(to, from);
    back.setLength(headMm);
    QLineF side1 = back;
    side1.setAngle(back.angle() + 25);
    QLineF side2 = back;
    side2.setAngle(back.angle() - 25);
    painter.drawLine(QLineF(from, back.p2()));
    painter.setBrush(Qt::black);
    painter.drawPolygon(QPolygonF({to, side1.p2(), side2.p2()}));
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

QRectF feedArrowRectMm(QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4) {
    const QRectF env = envelopeOnPage(envelopeMm, feed, onA4);
    const double length = std::min(30.0, env.height() * 0.35);
    return QRectF(env.center().x() - 5, env.top() + 6, 10, length);
}

void drawFeedTestPage(QPainter& painter, double pxPerMm, QSizeF envelopeMm,
                      const EnvelopeFeed& feed, bool onA4) {
    const QSizeF env = landscapeSize(envelopeMm);
    const EnvelopePlacement placement = envelopePlacement(env, feed, onA4);
    const QRectF onPage = envelopeOnPage(env, feed, onA4);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pxPerMm, pxPerMm);
    QPen pen(Qt::black, 0.4);
    painter.setPen(pen);

    // The envelope's outline: on A4 where it lies, on the envelope itself just inside its edge.
    if (onA4) {
        painter.drawRect(onPage);
    } else {
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(onPage.adjusted(2, 2, -2, -2));
        pen.setStyle(Qt::SolidLine);
        painter.setPen(pen);
    }

    // The feed direction: up the page, towards the edge the printer draws in first.
    const QRectF arrow = feedArrowRectMm(env, feed, onA4);
    pen.setWidthF(1.2);
    painter.setPen(pen);
    drawArrow(painter, QPointF(arrow.center().x(), arrow.bottom()),
              QPointF(arrow.center().x(), arrow.top()), 6);
    pen.setWidthF(0.4);
    painter.setPen(pen);
    drawTextMm(painter, QRectF(arrow.right() + 2, arrow.top(), 40, arrow.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               QStringLiteral("Einzugs-\nrichtung"), 3.5, true);

    // In the envelope's own frame: its top edge, where the flap is on the back.
    painter.save();
    painter.setTransform(placement.envelopeToPaperMm, true);
    const double w = env.width();
    pen.setStyle(Qt::DashDotLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(4, 4), QPointF(w - 4, 4));
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    drawArrow(painter, QPointF(10, 18), QPointF(10, 6), 3);
    drawTextMm(painter, QRectF(14, 6, w * 0.4 - 14, 14), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Adressseite oben\n(Klappe hinten an dieser Kante)"), 3);
    painter.restore();

    // How to put it in, written across the page.
    const QString how =
        QStringLiteral("Testseite für den Umschlageinzug\n\n%1\n\n%2")
            .arg(feedDescription(feed),
                 onA4 ? QStringLiteral("Auf A4 gedruckt: Den Umschlag auf den gezeichneten "
                                       "Rahmen legen und so in den Drucker einlegen, wie das "
                                       "A4-Blatt eingezogen wurde.")
                      : QStringLiteral("Steht diese Schrift auf der Adressseite und zeigt "
                                       "der Pfeil zum Drucker, passt der Einzug."));
    QRectF textRect;
    if (onA4) {
        textRect = QRectF(20, onPage.bottom() + 15, kA4WidthMm - 40, 80);
    } else {
        const double inset = std::min(20.0, onPage.width() * 0.18);
        textRect = QRectF(onPage.left() + inset, arrow.bottom() + 6, onPage.width() - 2 * inset,
                          onPage.bottom() - inset - arrow.bottom() - 6);
    }
    drawTextMm(painter, textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, how, 3);
    painter.restore();
}

bool printFeedTestPage(QPagedPaintDevice& device, QSizeF envelopeMm, const EnvelopeFeed& feed,
                       bool onA4, QString* error) {
    const EnvelopePlacement placement = envelopePlacement(envelopeMm, feed, onA4);
    const QSizeF paper = placement.paperMm;
    // Page sizes are named upright; the orientation turns them.
    const QPageSize size(
        QSizeF(std::min(paper.width(), paper.height()), std::max(paper.width(), paper.height())),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    const QPageLayout layout(
        size, placement.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    if (!device.setPageLayout(layout)) {
        setError(error, QStringLiteral("Der Drucker nimmt das Papierformat %1 × %2 mm nicht an.")
                            .arg(paper.width(), 0, 'f', 0)
                            .arg(paper.height(), 0, 'f', 0));
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        setError(error, QStringLiteral("Die Testseite konnte nicht gedruckt werden."));
        return false;
    }
    // The painter starts at the printable area's corner; the page is drawn from the sheet's.
    const QRect full = device.pageLayout().fullRectPixels(device.logicalDpiX());
    const QRect paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
    painter.translate(full.topLeft() - paint.topLeft());
    drawFeedTestPage(painter, device.logicalDpiX() / 25.4, envelopeMm, feed, onA4);
    return painter.end();
}

bool writeFeedTestPdf(const QString& path, QSizeF envelopeMm, const EnvelopeFeed& feed, bool onA4,
                      QString* error) {
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&bytes);
        writer.setResolution(kTestPageResolution);
        writer.setTitle(QStringLiteral("Testseite Umschlageinzug"));
        if (!printFeedTestPage(writer, envelopeMm, feed, onA4, error)) return false;
    }
    const QFileInfo file(path);
    return writeFileInFolder(file.absolutePath(), file.fileName(), bytes.data(), true, error) ==
           FolderWrite::Written;
}

}  // namespace bb
