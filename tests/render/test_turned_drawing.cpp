// Objects turned by a fine angle, and pictures drawn cropped or with colour settings: renders
// compared with expectations worked out independently of the renderer (the corners of a
// turned rectangle, the colours of a sepia tone).
#include "pictures/PictureAdjust.h"
#include "render/PictureEffects.h"
#include "render/Renderer.h"

#include "RenderFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace bb;
using namespace rendertest;

namespace {

const ColorRef kGreen = rgbRef(0, 160, 0);

class TurnedDrawing : public ::testing::Test {
protected:
    std::unique_ptr<CardDocument> doc = makeDocument();
    RenderContext ctx;

    void SetUp() override { clearEffectImages(); }

    QImage drawEditor() {
        QImage image = whiteImage(300, 300);
        QPainter p(&image);
        drawCardSide(p, *doc, SideOutside, ctx, 300, 300, 0, 0, 1.0 / kUnitsPerPixel, true);
        return image;
    }

    // Colours within a few steps: a turned figure is smoothed, and its fill may show seams
    // of a step or two inside.
    static bool near(QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 12 && std::abs(qGreen(a) - qGreen(b)) <= 12 &&
               std::abs(qBlue(a) - qBlue(b)) <= 12;
    }

    // Signed distance of a pixel's centre from the edge of the box (x, y, w, h) turned by
    // `degrees` clockwise about its centre: negative inside.
    static double turnedDistance(QPointF pixel, QRectF box, double degrees) {
        const double a = -degrees * M_PI / 180.0;
        const QPointF d = pixel - box.center();
        const double ux = d.x() * std::cos(a) - d.y() * std::sin(a);
        const double uy = d.x() * std::sin(a) + d.y() * std::cos(a);
        return std::max(std::abs(ux) - box.width() / 2, std::abs(uy) - box.height() / 2);
    }

    // Every pixel more than 1.5 pixels inside the turned box has `inside`, every pixel more than
    // 1.5 pixels outside it is white; the few in between may be either (smoothed edge).
    static void expectTurnedBox(const QImage& image, QRectF box, double degrees, QRgb inside) {
        int wrongInside = 0, wrongOutside = 0, checkedInside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const double d = turnedDistance(QPointF(x + 0.5, y + 0.5), box, degrees);
                if (d < -1.5) {
                    ++checkedInside;
                    if (!near(at(image, x, y), inside)) ++wrongInside;
                } else if (d > 1.5 && at(image, x, y) != qRgb(255, 255, 255)) {
                    ++wrongOutside;
                }
            }
        }
        EXPECT_GT(checkedInside, 100);
        EXPECT_EQ(wrongInside, 0);
        EXPECT_EQ(wrongOutside, 0);
    }
};

TEST_F(TurnedDrawing, FigureAtThirtyDegreesCoversTheTurnedRectangle) {
    CardObject& o = addObject(*doc, KindFigure, 120, 130, 60, 30);
    o.figureKind = FigRectangle;
    o.fillMode = FillSolid;
    o.color = kGreen;
    o.lineWidth = 0;
    o.extras.fineAngle = 30;
    const QImage image = drawEditor();
    expectTurnedBox(image, QRectF(120, 130, 60, 30), 30, rgbOf(kGreen));
    // The turned box's bounds: half extents 30 cos 30° + 15 sin 30° ≈ 33.5 across and
    // 30 sin 30° + 15 cos 30° ≈ 28.0 down about the centre (150, 145).
    const QRect ink = inkBounds(image);
    EXPECT_NEAR(ink.left(), 150 - 33.5, 1.5);
    EXPECT_NEAR(ink.right() + 1, 150 + 33.5, 1.5);
    EXPECT_NEAR(ink.top(), 145 - 28.0, 1.5);
    EXPECT_NEAR(ink.bottom() + 1, 145 + 28.0, 1.5);
}

TEST_F(TurnedDrawing, PictureAtThirtyDegreesCoversTheTurnedBoxOnly) {
    CardObject& o = addObject(*doc, KindPicture, 110, 120, 81, 41);
    o.picture = solidPicture(40, 20, rgbRef(200, 30, 40));
    o.keepAspect = false;
    o.extras.fineAngle = -30;
    const QImage image = drawEditor();
    // Pictures fill their box one pixel smaller (w − 1, h − 1).
    expectTurnedBox(image, QRectF(110, 120, 80, 40), -30, qRgb(200, 30, 40));
}

TEST_F(TurnedDrawing, TextAtThirtyDegreesIsTheUprightTextTurnedAboutItsBoxCentre) {
    CardObject& o = addObject(*doc, KindText, 100, 130, 100, 30);
    o.content = QStringLiteral("HHHHHH");
    o.fontName = QStringLiteral("Liberation Sans");
    o.fontSize = 12;
    o.color = rgbRef(0, 0, 0);
    const QImage upright = drawEditor();
    const QRect uprightInk = inkBounds(upright);
    ASSERT_FALSE(uprightInk.isEmpty());
    o.extras.fineAngle = 30;
    const QImage turned = drawEditor();
    // Every dark pixel of the turned text, turned back about the box centre, lies on the
    // upright text's ink (within the smoothing of the turn).
    const QPointF centre(150, 145);
    const double a = -30 * M_PI / 180.0;
    int dark = 0, misplaced = 0;
    for (int y = 0; y < turned.height(); ++y) {
        for (int x = 0; x < turned.width(); ++x) {
            if (qGray(turned.pixel(x, y)) > 80) continue;
            ++dark;
            const QPointF d = QPointF(x + 0.5, y + 0.5) - centre;
            const QPointF back = centre + QPointF(d.x() * std::cos(a) - d.y() * std::sin(a),
                                                  d.x() * std::sin(a) + d.y() * std::cos(a));
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy)
                for (int dx = -2; dx <= 2 && !near; ++dx) {
                    const QPoint q(int(back.x()) + dx, int(back.y()) + dy);
                    near = upright.rect().contains(q) && qGray(upright.pixel(q)) < 200;
                }
            if (!near) ++misplaced;
        }
    }
    EXPECT_GT(dark, 50);
    EXPECT_EQ(misplaced, 0);
    // It really turned: the ink is taller than the upright line.
    EXPECT_GT(inkBounds(turned).height(), uprightInk.height() + 20);
}

TEST_F(TurnedDrawing, CropShowsItsPartStretchedToTheBox) {
    // Left half red, right half blue; the crop shows the right half only.
    DibImage pic = solidPicture(40, 20, rgbRef(255, 0, 0));
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x) setPixel(pic, x, y, rgbRef(0, 0, 255));
    CardObject& o = addObject(*doc, KindPicture, 120, 120, 61, 31);
    o.picture = pic;
    o.keepAspect = false;
    o.extras.crop = QRectF(0.5, 0, 0.5, 1);
    const QImage image = drawEditor();
    EXPECT_EQ(inkBounds(image), QRect(120, 120, 60, 30));
    for (const QPoint p : {QPoint(120, 120), QPoint(179, 149), QPoint(150, 135)})
        EXPECT_EQ(at(image, p.x(), p.y()), qRgb(0, 0, 255)) << p.x() << "," << p.y();
}

TEST_F(TurnedDrawing, ATransparentPictureTakesTheCropAndTheTone) {
    // Left half red (the transparent colour), right half blue.
    DibImage pic = solidPicture(40, 20, rgbRef(255, 0, 0));
    for (int y = 0; y < 20; ++y)
        for (int x = 20; x < 40; ++x) setPixel(pic, x, y, rgbRef(0, 0, 255));
    CardObject& o = addObject(*doc, KindPicture, 120, 120, 61, 31);
    o.picture = pic;
    o.keepAspect = false;
    o.transparent = true;
    o.transparentColor = int32_t(rgbRef(255, 0, 0));
    o.extras.crop = QRectF(0.5, 0, 0.5, 1);
    o.extras.tone = ToneGrey;
    QImage image = drawEditor();
    const QRgb greyBlue = qRgb(29, 29, 29);  // .114 · 255
    EXPECT_EQ(at(image, 120, 120), greyBlue);
    EXPECT_EQ(at(image, 179, 149), greyBlue);
    // The left half alone is all transparent colour: nothing is drawn.
    o.extras.crop = QRectF(0, 0, 0.5, 1);
    image = drawEditor();
    EXPECT_TRUE(inkBounds(image).isEmpty());
}

TEST_F(TurnedDrawing, CropDecidesTheKeptAspect) {
    // A 40 × 20 picture cropped to its left quarter (10 × 20) keeps the aspect 1 : 2.
    CardObject& o = addObject(*doc, KindPicture, 120, 120, 61, 61);
    o.picture = solidPicture(40, 20, rgbRef(0, 0, 255));
    o.keepAspect = true;
    o.extras.crop = QRectF(0, 0, 0.25, 1);
    const QRect ink = inkBounds(drawEditor());
    EXPECT_EQ(ink.height(), 60);
    EXPECT_EQ(ink.width(), 29);  // 61 × 10 / 20 = 30, drawn one smaller
}

TEST_F(TurnedDrawing, SepiaAndGreyChangeTheDrawnColoursNotThePicture) {
    CardObject& o = addObject(*doc, KindPicture, 120, 120, 41, 21);
    o.picture = solidPicture(40, 20, rgbRef(100, 150, 200));
    o.keepAspect = false;
    o.extras.tone = ToneSepia;
    QImage image = drawEditor();
    // Sepia of (100, 150, 200): r = .393·100 + .769·150 + .189·200 = 192.45, g = 171.1,
    // b = 133.5.
    EXPECT_EQ(at(image, 130, 130), qRgb(192, 171, 134));
    EXPECT_EQ(getPixel(o.picture, 5, 5), qint64(rgbRef(100, 150, 200)));
    o.extras.tone = ToneGrey;
    image = drawEditor();
    // .299·100 + .587·150 + .114·200 = 140.85
    EXPECT_EQ(at(image, 130, 130), qRgb(141, 141, 141));
}

TEST_F(TurnedDrawing, RoundedCornersLeaveTheCornersEmpty) {
    CardObject& o = addObject(*doc, KindPicture, 120, 120, 61, 61);
    o.picture = solidPicture(30, 30, rgbRef(0, 0, 255));
    o.keepAspect = false;
    // 1 mm: 20000 / 25.4 units, about 7.9 pixels at this scale.
    o.extras.cornerRadius = 100;
    const QImage image = drawEditor();
    EXPECT_EQ(at(image, 120, 120), qRgb(255, 255, 255));
    EXPECT_EQ(at(image, 179, 179), qRgb(255, 255, 255));
    EXPECT_EQ(at(image, 150, 150), qRgb(0, 0, 255));
    EXPECT_EQ(at(image, 150, 120), qRgb(0, 0, 255));  // the middle of an edge stays
    // A tall picture kept in its aspect fills half the box's width: the radius stays 1 mm.
    o.picture = solidPicture(30, 60, rgbRef(0, 0, 255));
    o.keepAspect = true;
    const QImage tall = drawEditor();
    EXPECT_EQ(inkBounds(tall).width(), 29);
    EXPECT_EQ(at(tall, 121, 121), qRgb(255, 255, 255));
    EXPECT_EQ(at(tall, 123, 123), qRgb(0, 0, 255));
}

TEST_F(TurnedDrawing, DamagedValuesDrawUprightAndWhole) {
    CardObject& o = addObject(*doc, KindPicture, 120, 120, 41, 21);
    o.picture = solidPicture(40, 20, rgbRef(0, 0, 255));
    o.keepAspect = false;
    const QImage plain = drawEditor();
    o.extras.fineAngle = std::numeric_limits<double>::quiet_NaN();
    o.extras.crop = QRectF(std::numeric_limits<double>::quiet_NaN(), 0, 0.5, 0.5);
    EXPECT_EQ(drawEditor(), plain);
    o.extras.fineAngle = std::numeric_limits<double>::infinity();
    o.extras.crop = QRectF(0.9, 0.9, -5, 1e300);
    EXPECT_EQ(drawEditor(), plain);
    // A soft edge far wider than the picture fades all of it, without running away.
    o.extras.feather = std::numeric_limits<int32_t>::max();
    o.extras.cornerRadius = std::numeric_limits<int32_t>::max();
    const QImage faded = drawEditor();
    EXPECT_EQ(at(faded, 120, 120), qRgb(255, 255, 255));
}

}  // namespace
