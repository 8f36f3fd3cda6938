// An ornament printed to PDF at 600 dpi is the vector: the rasterised page matches the SVG as
// Qt's SVG renderer draws it at that size, with smooth edges, and matches it more closely than
// the ornament's 1.0 picture enlarged to that size would.
#include "document/RenderContext.h"
#include "print/PdfPages.h"
#include "print/PrintedCard.h"
#include "render/Ornaments.h"
#include "render/PhotoFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include <cstdio>
#include <memory>

using namespace bb;

namespace {

constexpr int kDpi = 600;

// The ornament's box on the card, in millimetres: 95 mm on its longer side, nearly the card's
// height, where its 1.0 picture (100 mm at 300 dpi) is enlarged about twice at 600 dpi.
QRectF boxMm(const OrnamentInfo& info) {
    const QSizeF mm = info.size.scaled(QSizeF(95, 95), Qt::KeepAspectRatio);
    return {20, 5, mm.width(), mm.height()};
}

QRect pixels(const QRectF& mm) {
    const double f = kDpi / kNominalMmPerInch;
    return QRectF(mm.x() * f, mm.y() * f, mm.width() * f, mm.height() * f).toRect();
}

// The printed page shifted by up to two pixels (the printer's rounding of the card's place)
// to where it matches `expected` best over `area`.
QImage aligned(const QImage& printed, const QImage& expected, const QRect& area) {
    QImage best = printed;
    double least = 255;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            QImage moved = printed.copy(printed.rect().translated(dx, dy));
            const double d = phototest::meanDifference(moved, expected, area);
            if (d < least) {
                least = d;
                best = std::move(moved);
            }
        }
    return best;
}

// The mean grey difference between `a` and `b` along the outline: over the pixels of `area`
// that the SVG (`reference`) draws neither white nor black, and their neighbours.
double edgeDifference(const QImage& a, const QImage& b, const QImage& reference,
                      const QRect& area) {
    double sum = 0;
    qint64 n = 0;
    for (int y = area.top() + 1; y < area.bottom(); ++y)
        for (int x = area.left() + 1; x < area.right(); ++x) {
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx) {
                    const int g = qGray(reference.pixel(x + dx, y + dy));
                    edge = g > 8 && g < 247;
                }
            if (!edge) continue;
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
            ++n;
        }
    return n ? sum / double(n) : 255;
}

// Grey levels between near white and near black among the pixels of `area`.
int intermediateLevels(const QImage& image, const QRect& area) {
    QSet<int> levels;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int g = qGray(image.pixel(x, y));
            if (g > 24 && g < 232) levels.insert(g);
        }
    return int(levels.size());
}

}  // namespace

TEST(OrnamentPrint, IsTheVectorAt600DpiWithSmoothEdges) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm is needed";
    // A recolourable ornament in black: every edge pixel is a grey level.
    const OrnamentInfo* info = nullptr;
    for (const OrnamentInfo& o : ornamentCatalogue())
        if (o.recolourable && !info) info = &o;
    ASSERT_NE(info, nullptr);
    auto doc = std::make_unique<CardDocument>();
    doc->format.leftMargin = 20;
    doc->format.topMargin = 20;
    doc->format.cardWidth = 148;
    doc->format.cardHeight = 105;
    doc->format.pitchX = 148;
    doc->format.pitchY = 110;
    doc->format.cardsAcross = 1;
    doc->format.cardsDown = 2;
    doc->updateSideUnits();
    const QRectF mm = boxMm(*info);
    const double u = doc->sideWidthUnits / 3.0 / doc->format.cardWidth;
    CardObject& o = *doc->outsideSlots[1];
    o.x = int32_t(doc->sideWidthUnits / 3 + mm.x() * u);
    o.y = int32_t(doc->sideHeightUnits / 3 + mm.y() * u);
    o.width = int32_t(mm.width() * u);
    o.height = int32_t(mm.height() * u);
    makeOrnamentObject(o, *info, rgbRef(0, 0, 0));

    bbtest::TempFolder dir;
    const printtest::PrintedCard onPaper =
        printtest::printOutside(*doc, dir.file(QStringLiteral("schmuck.pdf")), kDpi);
    ASSERT_TRUE(onPaper.ok);
    const QRect& cardArea = onPaper.cardArea;
    const QImage& printed = onPaper.image;
    ASSERT_EQ(printed.size(), cardArea.size());

    const QRect box = pixels(mm);
    // The SVG drawn by Qt's own renderer at the same size and place.
    QImage svg(cardArea.size(), QImage::Format_RGB32);
    svg.fill(Qt::white);
    {
        QSvgRenderer renderer(recolouredSvg(ornamentSvg(info->name), Qt::black));
        QPainter p(&svg);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, QRectF(box));
    }
    // The 1.0 picture enlarged to the same size, pixel by pixel as a 1.0 program stretches it.
    QImage enlarged(cardArea.size(), QImage::Format_RGB32);
    enlarged.fill(Qt::white);
    {
        QPainter p(&enlarged);
        p.drawImage(box.topLeft(),
                    ornamentPicture(*info, rgbRef(0, 0, 0))
                        .scaled(box.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    const QRect area = box.adjusted(-4, -4, 4, 4);
    const QImage print = aligned(printed, svg, area);
    const double vector = phototest::meanDifference(print, svg, area);
    const double vectorEdges = edgeDifference(print, svg, svg, area);
    const double pictureEdges = edgeDifference(enlarged, svg, svg, area);
    const double fromPicture = phototest::meanDifference(enlarged, svg, area);
    const int printedLevels = intermediateLevels(print, area);
    const int pictureLevels = intermediateLevels(enlarged, area);
    std::printf(
        "[ measured ] mean difference to the SVG: print %.3f, enlarged 1.0 picture %.3f; "
        "along the outline: print %.2f, enlarged picture %.2f; grey levels along the "
        "edges: print %d, enlarged picture %d\n",
        vector, fromPicture, vectorEdges, pictureEdges, printedLevels, pictureLevels);
    EXPECT_LT(vector, 1.5);
    EXPECT_LT(vectorEdges, 0.7 * pictureEdges);
    EXPECT_LT(vector, fromPicture);
    // Antialiased edges: grey levels between black and white (pdftoppm's rasteriser gives up
    // to 17 per pixel edge; an unsmoothed edge gives none).
    EXPECT_GE(printedLevels, 12);
    // And it is there: the area differs clearly from white paper.
    QImage white(cardArea.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_GT(phototest::meanDifference(printed, white, area), 10.0);
}
