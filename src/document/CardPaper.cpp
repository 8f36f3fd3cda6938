// The paper of a card type; see CardPaper.h.
#include "document/CardPaper.h"

#include <QFile>

#include <algorithm>
#include <cmath>

// Resources of a static library have to be registered by name, outside any namespace.
static void initStarterResource() {
    Q_INIT_RESOURCE(starter);
}

namespace bb {

namespace {

// Room for rounding: US paper sizes come from inches.
constexpr double kFitSlackMm = 0.05;

bool parseLength(const QByteArray& field, double max, double& out) {
    bool ok = false;
    const double v = field.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > max) return false;
    out = v;
    return true;
}

bool parseCount(const QByteArray& field, int32_t& out) {
    bool ok = false;
    const int v = field.trimmed().toInt(&ok);
    if (!ok || v < 1 || v > 50) return false;
    out = v;
    return true;
}

QSizeF portraitMm(QPageSize::PageSizeId size) {
    return QPageSize::size(size, QPageSize::Millimeter);
}

QPageSize::PageSizeId paperNamed(const QString& name) {
    if (name == QLatin1String("A4")) return QPageSize::A4;
    if (name == QLatin1String("A3")) return QPageSize::A3;
    if (name == QLatin1String("A5")) return QPageSize::A5;
    if (name == QLatin1String("US-Letter")) return QPageSize::Letter;
    if (name == QLatin1String("US-Legal")) return QPageSize::Legal;
    return QPageSize::Custom;
}

}  // namespace

QList<StarterType> parseStarterCatalogue(const QByteArray& text) {
    QList<StarterType> out;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> f = line.split(';');
        if (f.size() != 10) continue;
        StarterType t;
        t.format.typeName = QString::fromUtf8(f[0].trimmed());
        t.paper = QString::fromUtf8(f[1].trimmed());
        CardFormat& c = t.format;
        // The same limits as the card-type dialog.
        const bool ok = !c.typeName.isEmpty() && c.typeName.size() <= kTypeNameMax &&
                        parseLength(f[2], 3000, c.cardWidth) &&
                        parseLength(f[3], 1000, c.cardHeight) && parseCount(f[4], c.cardsAcross) &&
                        parseCount(f[5], c.cardsDown) && parseLength(f[6], 3000, c.leftMargin) &&
                        parseLength(f[7], 1000, c.topMargin) && parseLength(f[8], 6000, c.pitchX) &&
                        parseLength(f[9], 2000, c.pitchY);
        if (ok) out.append(t);
    }
    return out;
}

QList<StarterType> starterCatalogue() {
    // Parsed once: the paper of a card type is asked for at every new or opened card.
    static const QList<StarterType> list = [] {
        initStarterResource();
        QFile f(QStringLiteral(":/catalogue/starter-catalogue.csv"));
        if (!f.open(QIODevice::ReadOnly)) return QList<StarterType>();
        return parseStarterCatalogue(f.read(1 << 20));
    }();
    return list;
}

QSizeF CardPaper::sheetMm() const {
    if (!known()) return {};
    const QSizeF p = portraitMm(size);
    return orientation == QPageLayout::Landscape ? p.transposed() : p;
}

QSizeF gridExtentMm(const CardFormat& f) {
    const int across = std::max(1, f.cardsAcross);
    const int down = std::max(1, f.cardsDown);
    return QSizeF(f.leftMargin + (across - 1) * f.pitchX + f.cardWidth,
                  f.topMargin + (down - 1) * f.pitchY + f.cardHeight);
}

std::optional<QPageLayout::Orientation> orientationOn(const CardFormat& format,
                                                      QPageSize::PageSizeId size,
                                                      QPageLayout::Orientation preferred) {
    const QSizeF grid = gridExtentMm(format);
    if (!std::isfinite(grid.width()) || !std::isfinite(grid.height())) return std::nullopt;
    const QSizeF p = portraitMm(size);
    const auto holds = [&grid](QSizeF sheet) {
        return grid.width() <= sheet.width() + kFitSlackMm &&
               grid.height() <= sheet.height() + kFitSlackMm;
    };
    const QPageLayout::Orientation other =
        preferred == QPageLayout::Landscape ? QPageLayout::Portrait : QPageLayout::Landscape;
    const auto turned = [&p](QPageLayout::Orientation o) {
        return o == QPageLayout::Landscape ? p.transposed() : p;
    };
    if (holds(turned(preferred))) return preferred;
    if (holds(turned(other))) return other;
    return std::nullopt;
}

CardPaper cardPaper(const CardFormat& format, const QList<StarterType>& starters,
                    QPageSize::PageSizeId current, QPageLayout::Orientation preferred) {
    for (const StarterType& t : starters) {
        if (!(t.format == format)) continue;
        const QPageSize::PageSizeId size = paperNamed(t.paper);
        if (size == QPageSize::Custom) break;
        if (const auto o = orientationOn(format, size, preferred)) return CardPaper{size, *o};
        break;  // a list entry that does not fit its own paper: judged by its grid
    }
    // The paper in the printer when the grid fits it, else the program's home paper first,
    // then by size.
    if (current != QPageSize::Custom)
        if (const auto o = orientationOn(format, current, preferred)) return CardPaper{current, *o};
    for (const QPageSize::PageSizeId size :
         {QPageSize::A4, QPageSize::Letter, QPageSize::Legal, QPageSize::A3}) {
        if (const auto o = orientationOn(format, size, preferred)) return CardPaper{size, *o};
    }
    return {};
}

CardPaper cardPaper(const CardFormat& format) {
    return cardPaper(format, starterCatalogue());
}

CardPaper cardPaperOnPrinter(const CardFormat& format, QPageSize::PageSizeId current,
                             QPageLayout::Orientation preferred) {
    return cardPaper(format, starterCatalogue(), current, preferred);
}

QString cardPaperText(const CardPaper& paper) {
    QString name;
    switch (paper.size) {
        case QPageSize::A4:
            name = QStringLiteral("A4");
            break;
        case QPageSize::A3:
            name = QStringLiteral("A3");
            break;
        case QPageSize::A5:
            name = QStringLiteral("A5");
            break;
        case QPageSize::Letter:
            name = QStringLiteral("US-Letter");
            break;
        case QPageSize::Legal:
            name = QStringLiteral("US-Legal");
            break;
        case QPageSize::Custom:
            return QStringLiteral("größer als A3");
        default:
            name = QPageSize::name(paper.size);
            break;
    }
    return paper.orientation == QPageLayout::Landscape ? name + QStringLiteral(" quer") : name;
}

}  // namespace bb
