// The card as a PDF: page sizes for each layout with and without bleed and marks, the bleed's
// background reaching beyond the cut while the marks' room stays white, crop and fold marks
// only outside the cut, objects in place whatever the bleed, texts as text, and a file written
// whole and never through a link.
#include "PdfPages.h"

#include "document/RenderContext.h"
#include "pictures/AtomicWrite.h"
#include "print/CardPdf.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>
#include <memory>

using namespace bb;
using namespace printtest;

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

// A card folded to A6: the unfolded side is 210 × 148 mm, outside light blue, inside yellow.
std::unique_ptr<CardDocument> foldedCard() {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 210;
    doc->format.cardHeight = 148;
    doc->updateSideUnits();
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = rgbRef(120, 170, 255);
    doc->insideBackground.backgroundMode = BgColor;
    doc->insideBackground.backgroundColor = rgbRef(255, 230, 60);
    return doc;
}

// Places `o` at `mm` from the card's top-left corner.
void place(CardDocument& doc, CardObject& o, const QRectF& mm) {
    const double u = doc.sideWidthUnits / 3.0 / doc.format.cardWidth;
    o.x = int32_t(doc.sideWidthUnits / 3 + mm.x() * u);
    o.y = int32_t(doc.sideHeightUnits / 3 + mm.y() * u);
    o.width = int32_t(mm.width() * u);
    o.height = int32_t(mm.height() * u);
}

bool havePoppler() {
    return havePdftoppm() && !QStandardPaths::findExecutable("pdfinfo").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// A page's boxes in millimetres as pdfinfo reads them: its size, and the trim and bleed boxes
// from its top-left corner.
struct PageBoxesMm {
    QSizeF size;
    QRectF trim, bleed;
};
std::vector<PageBoxesMm> pageBoxesMm(const QString& pdf, int pages) {
    QProcess p;
    p.start("pdfinfo", {"-box", "-f", "1", "-l", QString::number(pages), pdf});
    if (!p.waitForFinished(bbtest::kHangGuardMs)) return {};
    std::vector<PageBoxesMm> boxes(static_cast<size_t>(pages));
    std::vector<QRectF> media(static_cast<size_t>(pages));
    static const QRegularExpression line(QStringLiteral(
        "Page +(\\d+) (MediaBox|TrimBox|BleedBox): +([\\d.]+) +([\\d.]+) +([\\d.]+) +([\\d.]+)"));
    auto it = line.globalMatch(QString::fromUtf8(p.readAllStandardOutput()));
    while (it.hasNext()) {
        const auto m = it.next();
        const size_t page = size_t(m.captured(1).toInt() - 1);
        if (page >= boxes.size()) return {};
        const QRectF r(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                       QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()));
        if (m.captured(2) == QLatin1String("MediaBox")) {
            media[page] = r;
            boxes[page].size = r.size() / kPtPerMm;
        }
        // From the top-left corner of the page (PDF counts from the bottom).
        const QRectF fromTop(
            QPointF(r.left() - media[page].left(), media[page].bottom() - r.bottom()) / kPtPerMm,
            r.size() / kPtPerMm);
        if (m.captured(2) == QLatin1String("TrimBox")) boxes[page].trim = fromTop;
        if (m.captured(2) == QLatin1String("BleedBox")) boxes[page].bleed = fromTop;
    }
    return boxes;
}

// Whether every entry of the file's cross-reference table names the start of its object.
bool crossReferencesHold(const QString& pdf) {
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    const qsizetype xref =
        bytes.mid(bytes.lastIndexOf("startxref") + 9).simplified().split(' ').value(0).toLongLong();
    const QList<QByteArray> lines = bytes.mid(xref).split('\n');
    if (lines.size() < 3 || lines[0] != "xref") return false;
    const int count = lines[1].split(' ').value(1).toInt();
    for (int i = 1; i < count; ++i) {
        const qsizetype at = lines.value(2 + i).left(10).toLongLong();
        if (!bytes.mid(at).startsWith(QByteArray::number(i) + " 0 obj")) return false;
    }
    return count > 1;
}

QString writePdf(const bbtest::TempFolder& dir, const CardDocument& doc,
                 const CardPdfOptions& options, const RenderContext& ctx = {}) {
    const QString path = dir.file(QStringLiteral("karte.pdf"));
    QString error;
    EXPECT_TRUE(writeCardPdf(doc, ctx, path, options, &error)) << error.toStdString();
    return path;
}

CardPdfOptions options(CardPdfOptions::Layout layout, bool marks, double bleed) {
    CardPdfOptions o;
    o.layout = layout;
    o.cropMarks = marks;
    o.bleedMm = bleed;
    o.dpi = 150;
    return o;
}

bool near(QRgb p, QRgb want) {
    return std::abs(qRed(p) - qRed(want)) < 30 && std::abs(qGreen(p) - qGreen(want)) < 30 &&
           std::abs(qBlue(p) - qBlue(want)) < 30;
}

}  // namespace

TEST(CardPdf, PagesAndCutsForEachLayoutBleedAndMarks) {
    CardFormat format;
    format.cardWidth = 210;
    format.cardHeight = 148;
    struct Case {
        CardPdfOptions::Layout layout;
        bool marks;
        double bleed;
        std::vector<QSizeF> pages;
        QPointF firstCut;  // where the outside's cut begins
    };
    const std::vector<Case> cases = {
        {CardPdfOptions::Folded, false, 0, {{210, 148}, {210, 148}}, {0, 0}},
        {CardPdfOptions::Folded, false, 3, {{216, 154}, {216, 154}}, {3, 3}},
        {CardPdfOptions::Folded, true, 3, {{236, 174}, {236, 174}}, {13, 13}},
        {CardPdfOptions::SidesStacked, false, 0, {{210, 296}}, {0, 0}},
        {CardPdfOptions::SidesStacked, true, 0, {{230, 336}}, {10, 10}},
        {CardPdfOptions::SidesStacked, true, 3, {{236, 348}}, {13, 13}},
        {CardPdfOptions::OutsideOnly, false, 3, {{216, 154}}, {3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.layout << " marks " << c.marks << " bleed " << c.bleed);
        const auto pages = cardPdfPages(format, options(c.layout, c.marks, c.bleed));
        ASSERT_EQ(pages.size(), c.pages.size());
        for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i].sizeMm, c.pages[i]);
        EXPECT_EQ(pages[0].cards[0].side, SideOutside);
        EXPECT_EQ(pages[0].cards[0].trimMm, QRectF(c.firstCut, QSizeF(210, 148)));
        // The inside: the second page at the same place, or the cell below the outside.
        const auto& inside = pages.size() == 2 ? pages[1].cards[0] : pages[0].cards.back();
        if (c.layout != CardPdfOptions::OutsideOnly) {
            EXPECT_EQ(inside.side, SideInside);
            const double below = pages.size() == 2 ? 0 : pages[0].sizeMm.height() / 2;
            EXPECT_EQ(inside.trimMm.topLeft(), c.firstCut + QPointF(0, below));
        }
    }
}

TEST(CardPdf, MarksLieBeyondTheBleedAndWithinThePage) {
    const QRectF cut(13, 13, 210, 148);
    const auto marks = cropMarks(cut, 3, true);
    ASSERT_EQ(marks.size(), 10u);  // two per corner, one above and one below the fold
    const QRectF bleed = cut.adjusted(-3, -3, 3, 3);
    const QRectF page(0, 0, 236, 174);
    int onFold = 0;
    for (const CropMark& m : marks) {
        EXPECT_TRUE(page.contains(m.from) && page.contains(m.to));
        // Each mark continues an edge (or the fold) and stays outside the bleed.
        const QRectF box = QRectF(m.from, m.to).normalized();
        EXPECT_FALSE(
            box.adjusted(-0.01, -0.01, 0.01, 0.01).intersects(bleed.adjusted(0.5, 0.5, -0.5, -0.5)))
            << box.x() << "," << box.y();
        EXPECT_TRUE(box.width() == 0 || box.height() == 0);
        if (box.width() == 0 && box.left() == cut.center().x()) ++onFold;
    }
    EXPECT_EQ(onFold, 2);
}

TEST(CardPdf, RefusesFormatsAndOptionsItCannotDraw) {
    CardFormat format;
    EXPECT_TRUE(cardPdfProblem(format, {}).isEmpty());
    for (const double mm : {0.0, -5.0, std::nan(""), 1e9}) {
        CardFormat bad = format;
        bad.cardWidth = mm;
        EXPECT_FALSE(cardPdfProblem(bad, {}).isEmpty()) << mm;
    }
    CardPdfOptions o;
    o.bleedMm = -1;
    EXPECT_FALSE(cardPdfProblem(format, o).isEmpty());
    o.bleedMm = 3;
    o.dpi = 10;
    EXPECT_FALSE(cardPdfProblem(format, o).isEmpty());
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = std::nan("");
    QString error;
    EXPECT_TRUE(cardPdfBytes(*doc, {}, {}, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(CardPdf, WrittenPagesHaveTheCardsExactSizeAndBoxes) {
    if (!havePoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) not installed";
    bbtest::TempFolder dir;
    const auto doc = foldedCard();
    const struct {
        CardPdfOptions o;
        std::vector<QSizeF> pages;
        QRectF trim;  // of the first page
    } cases[] = {
        {options(CardPdfOptions::Folded, false, 0), {{210, 148}, {210, 148}}, {0, 0, 210, 148}},
        {options(CardPdfOptions::Folded, true, 3), {{236, 174}, {236, 174}}, {13, 13, 210, 148}},
        {options(CardPdfOptions::SidesStacked, false, 3), {{216, 308}}, {3, 3, 210, 302}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.o.layout << " bleed " << c.o.bleedMm);
        const QString pdf = writePdf(dir, *doc, c.o);
        EXPECT_TRUE(crossReferencesHold(pdf));
        const auto boxes = pageBoxesMm(pdf, int(c.pages.size()));
        ASSERT_EQ(boxes.size(), c.pages.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            // Exact to a hundredth of a millimetre, not Qt's whole points.
            EXPECT_NEAR(boxes[i].size.width(), c.pages[i].width(), 0.01);
            EXPECT_NEAR(boxes[i].size.height(), c.pages[i].height(), 0.01);
            for (const auto& [got, want] :
                 {std::pair{boxes[i].trim, c.trim},
                  std::pair{boxes[i].bleed, c.trim.adjusted(-c.o.bleedMm, -c.o.bleedMm, c.o.bleedMm,
                                                            c.o.bleedMm)}}) {
                EXPECT_NEAR(got.x(), want.x(), 0.01);
                EXPECT_NEAR(got.y(), want.y(), 0.01);
                EXPECT_NEAR(got.width(), want.width(), 0.01);
                EXPECT_NEAR(got.height(), want.height(), 0.01);
            }
        }
    }
}

TEST(CardPdf, BleedReachesThreeMillimetresBeyondTheCutAndMarksStayOutside) {
    if (!havePoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) not installed";
    bbtest::TempFolder dir;
    auto doc = foldedCard();
    // The outside a colour, the inside a picture stretched over the card.
    const QRgb outside = qRgb(120, 170, 255), inside = qRgb(40, 160, 60);
    QImage green(60, 40, QImage::Format_RGB32);
    green.fill(inside);
    doc->insideBackground.backgroundMode = BgStretched;
    doc->insideBackground.backgroundPicture = dibFromQImage(green);
    constexpr int kDpi = 254;  // 10 pixels per millimetre
    for (const double bleed : {0.0, 3.0}) {
        SCOPED_TRACE(bleed);
        const QString pdf = writePdf(dir, *doc, options(CardPdfOptions::Folded, true, bleed));
        const int b = int(std::lround(bleed * 10));  // the bleed, in pixels
        const int cut = 100 + b;                     // where the cut lies from the page's edge
        const QRect card(cut, cut, 2100, 1480);
        const int midX = card.center().x() + 300, midY = card.center().y();
        for (const auto& [number, colour] : {std::pair{2, inside}, std::pair{1, outside}}) {
            const QImage side = pdfPage(pdf, number, kDpi);
            ASSERT_FALSE(side.isNull());
            // At the middle of each edge (away from the marks): half a millimetre inside the
            // cut the card, 2.5 mm beyond it the bleed or white, 1 mm beyond the bleed white.
            for (const auto& [edge, out] : {std::pair{QPoint(card.left(), midY), QPoint(-1, 0)},
                                            std::pair{QPoint(card.right(), midY), QPoint(1, 0)},
                                            std::pair{QPoint(midX, card.top()), QPoint(0, -1)},
                                            std::pair{QPoint(midX, card.bottom()), QPoint(0, 1)}}) {
                const QPoint in = edge - out * 5, inBleed = edge + out * 25;
                const QPoint pastBleed = edge + out * (b + 10);
                EXPECT_TRUE(near(side.pixel(in), colour))
                    << number << ": " << in.x() << "," << in.y();
                EXPECT_EQ(near(side.pixel(inBleed), colour), bleed > 0)
                    << number << ": " << inBleed.x() << "," << inBleed.y();
                EXPECT_TRUE(whiteish(side.pixel(pastBleed)))
                    << number << ": " << pastBleed.x() << "," << pastBleed.y();
            }
        }
        const QImage page = pdfPage(pdf, 1, kDpi);
        // Marks: dark pixels in each corner's room and at the fold, none on the card or its
        // bleed.
        const QRect reached = card.adjusted(-b, -b, b, b);
        int darkOutside = 0, darkWithin = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (dark(page.pixel(x, y))) ++(reached.contains(x, y) ? darkWithin : darkOutside);
        EXPECT_EQ(darkWithin, 0);
        EXPECT_GT(darkOutside, 0);
        for (const QRect& room : {QRect(0, 0, cut, cut), QRect(card.right() + 1, 0, cut, cut),
                                  QRect(0, card.bottom() + 1, cut, cut),
                                  QRect(card.right() + 1, card.bottom() + 1, cut, cut),
                                  QRect(card.center().x() - 5, 0, 11, cut)})
            EXPECT_FALSE(colourBox(page, qRgb(0, 0, 0), room).isNull())
                << room.x() << "," << room.y();
    }
}

TEST(CardPdf, ObjectsStayInPlaceWithBleedAndTextsStayText) {
    if (!havePoppler()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) not installed";
    bbtest::TempFolder dir;
    auto doc = foldedCard();
    CardObject& box = *doc->sideSlots(SideOutside)[1];
    box.kind = KindFigure;
    box.figureKind = FigRectangle;
    box.fillMode = FillWithBorder;
    box.color = box.borderColor = rgbRef(200, 0, 0);
    place(*doc, box, QRectF(120, 30, 40, 20));
    CardObject& text = *doc->sideSlots(SideInside)[1];
    text.kind = KindText;
    text.content = QStringLiteral("Frohe Weihnachten {Vorname}");
    text.fontName = QStringLiteral("Liberation Sans");
    text.fontSize = 24;
    place(*doc, text, QRectF(110, 40, 90, 30));

    std::vector<QRect> boxes;
    for (const double bleed : {0.0, 3.0}) {
        const QString pdf = writePdf(dir, *doc, options(CardPdfOptions::Folded, false, bleed));
        const int cut = int(std::lround(bleed * 10));
        const QImage page = pdfPage(pdf, 1, 254);
        boxes.push_back(colourBox(page, qRgb(200, 0, 0)).translated(-cut, -cut));
    }
    ASSERT_FALSE(boxes[0].isNull());
    EXPECT_NEAR(boxes[0].x(), 1200, 3);
    EXPECT_NEAR(boxes[0].y(), 300, 3);
    EXPECT_LE((boxes[1].topLeft() - boxes[0].topLeft()).manhattanLength(), 2);
    EXPECT_LE(std::abs(boxes[1].width() - boxes[0].width()), 2);

    // The inside on page 2 as text, filled from the record the window shows.
    RenderContext ctx;
    ctx.fillText = [](const QString& t) {
        return QString(t).replace(QStringLiteral("{Vorname}"), QStringLiteral("Jorinde"));
    };
    const QString pdf = writePdf(dir, *doc, options(CardPdfOptions::Folded, false, 0), ctx);
    QProcess p;
    p.start("pdftotext", {"-f", "2", "-l", "2", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(bbtest::kHangGuardMs));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).simplified(),
              QStringLiteral("Frohe Weihnachten Jorinde"));
}

TEST(CardPdf, WritesWholeAndNeverThroughALink) {
    bbtest::TempFolder dir;
    const auto doc = foldedCard();
    const QString elsewhere = dir.file(QStringLiteral("anderes.txt"));
    {
        QFile f(elsewhere);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("bleibt");
    }
    const QString link = dir.file(QStringLiteral("karte.pdf"));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    QString error;
    EXPECT_FALSE(writeCardPdf(*doc, {}, link, options(CardPdfOptions::Folded, false, 0), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("karte.pdf"))) << error.toStdString();
    QFile kept(elsewhere);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("bleibt"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // A missing folder: refused with the name; a regular file is replaced by a whole PDF.
    EXPECT_FALSE(writeCardPdf(*doc, {}, dir.file(QStringLiteral("fehlt/karte.pdf")), {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("fehlt"))) << error.toStdString();
    const QString plain = dir.file(QStringLiteral("neu.pdf"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alt");
    }
    ASSERT_TRUE(
        writeCardPdf(*doc, {}, plain, options(CardPdfOptions::SidesStacked, true, 3), &error));
    QFile written(plain);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(looksLikeCompletePdf(written));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".tmp").size(), 0);
}
