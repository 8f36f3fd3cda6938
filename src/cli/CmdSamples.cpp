// brisella-cli samples OUTDIR: writes the finished sample cards that the program offers on
// its first start, with the pictures they use. Every picture is drawn here, so the samples
// carry no third-party artwork.
#include "cli/Commands.h"
#include "content/SideBuilder.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "document/UserDialogs.h"
#include "pictures/DibImage.h"
#include "render/Preview.h"

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>
#include <functional>
#include <memory>

namespace bb::cli {

namespace {

// Greeting-card stock with the fold through the middle: 165 × 121 mm unfolded, two per A4.
CardFormat sampleFormat() {
    CardFormat f;
    f.typeName = QStringLiteral("Geha P78 Grußkarten (A4)");
    f.cardWidth = 165;
    f.cardHeight = 121;
    f.cardsAcross = 1;
    f.cardsDown = 2;
    f.leftMargin = 23;
    f.topMargin = 25;
    f.pitchX = 211;
    f.pitchY = 126;
    return f;
}

QImage canvas(int w, int h, const QColor& fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void drawHeart(QPainter& p, const QRectF& r, const QColor& color) {
    QPainterPath path;
    const double cx = r.center().x(), w = r.width(), h = r.height();
    path.moveTo(cx, r.top() + h * 0.95);
    path.cubicTo(r.left() - w * 0.05, r.top() + h * 0.55, r.left() + w * 0.05, r.top(), cx,
                 r.top() + h * 0.25);
    path.cubicTo(r.right() - w * 0.05, r.top(), r.right() + w * 0.05, r.top() + h * 0.55, cx,
                 r.top() + h * 0.95);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}

// A landscape at dusk: sky, sun, three rows of hills and a lake.
QImage landscapePicture() {
    QImage img = canvas(1200, 880, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 520);
    sky.setColorAt(0, QColor(38, 70, 140));
    sky.setColorAt(0.6, QColor(240, 150, 90));
    sky.setColorAt(1, QColor(252, 214, 140));
    p.fillRect(0, 0, 1200, 560, sky);
    QRadialGradient sun(820, 420, 120);
    sun.setColorAt(0, QColor(255, 246, 200));
    sun.setColorAt(0.5, QColor(255, 210, 120));
    sun.setColorAt(1, QColor(255, 180, 100, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(820, 420), 120, 120);
    const QColor hills[] = {QColor(96, 110, 150), QColor(60, 90, 90), QColor(34, 64, 50)};
    for (int row = 0; row < 3; ++row) {
        QPainterPath path;
        const double base = 470 + row * 60;
        path.moveTo(0, 880);
        for (int x = 0; x <= 1200; x += 20)
            path.lineTo(x, base - 50 * std::sin(x / (140.0 + row * 60) + row * 1.7) -
                               25 * std::sin(x / 47.0 + row));
        path.lineTo(1200, 880);
        p.setBrush(hills[row]);
        p.drawPath(path);
    }
    QLinearGradient lake(0, 700, 0, 880);
    lake.setColorAt(0, QColor(120, 150, 190));
    lake.setColorAt(1, QColor(40, 70, 110));
    p.setBrush(lake);
    p.drawRect(0, 720, 1200, 160);
    return img;
}

// A night sky with stars and a snowy fir tree, for the Christmas card's background.
QImage winterPicture() {
    QImage img = canvas(900, 660, Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 660);
    sky.setColorAt(0, QColor(8, 16, 48));
    sky.setColorAt(1, QColor(30, 60, 110));
    p.fillRect(img.rect(), sky);
    QRandomGenerator rng(1225);  // fixed seed: the sample looks the same on every build
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 160; ++i) {
        const double r = 0.8 + rng.bounded(2.2);
        p.setBrush(QColor(255, 255, 230, 120 + rng.bounded(135)));
        p.drawEllipse(QPointF(rng.bounded(900), rng.bounded(480)), r, r);
    }
    p.setBrush(QColor(240, 244, 255));
    p.drawEllipse(QRectF(-200, 520, 1300, 400));
    // The tree in the right half, which is the card's front.
    p.setBrush(QColor(90, 60, 30));
    p.drawRect(QRectF(665, 520, 30, 50));
    for (int tier = 0; tier < 4; ++tier) {
        const double top = 200 + tier * 75, half = 70 + tier * 30;
        QPolygonF tri;
        tri << QPointF(680, top) << QPointF(680 - half, top + 130)
            << QPointF(680 + half, top + 130);
        p.setBrush(QColor(20, 100 - tier * 8, 50));
        p.drawPolygon(tri);
    }
    p.setBrush(QColor(255, 220, 80));
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 ? 12 : 28;
        star << QPointF(680 + r * std::cos(a), 195 + r * std::sin(a));
    }
    p.drawPolygon(star);
    return img;
}

// A red heart on white; the white is made transparent on the card.
QImage heartPicture() {
    QImage img = canvas(400, 360, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);  // hard edges keep the white exact
    drawHeart(p, QRectF(20, 20, 360, 320), QColor(210, 30, 60));
    return img;
}

// A wrapped present with a bow, for the birthday card.
QImage presentPicture() {
    QImage img = canvas(400, 400, Qt::white);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 120, 200));
    p.drawRect(60, 150, 280, 220);
    p.setBrush(QColor(250, 200, 40));
    p.drawRect(185, 150, 30, 220);
    p.drawRect(60, 240, 280, 30);
    p.drawEllipse(QRectF(120, 80, 80, 70));
    p.drawEllipse(QRectF(200, 80, 80, 70));
    return img;
}

struct Sample {
    const char* file;
    std::function<void(CardDocument&, const QString& dir, QStringList& failed)> build;
};

// Outside = back half (left, 0..82.5 mm) and front half (right); inside likewise.
const Sample kSamples[] = {
    {"Geburtstagskarte.kar",
     [](CardDocument& doc, const QString& dir, QStringList& pics) {
         SideBuilder s(doc, SideOutside);
         doc.outsideBackground.backgroundMode = BgColor;
         doc.outsideBackground.backgroundColor = rgbRef(255, 248, 225);
         const ColorRef balloon[] = {rgbRef(230, 60, 60), rgbRef(60, 140, 230),
                                     rgbRef(250, 190, 40), rgbRef(90, 180, 90)};
         for (int i = 0; i < 4; ++i) {
             const double x = 95 + i * 15, y = 12 + (i % 2) * 8;
             s.figure(FigLineVertical, x + 6, y + 15, 0, 30, rgbRef(120, 120, 120));
             s.figure(FigEllipse, x, y, 12, 15, balloon[i], FillWithBorder, rgbRef(90, 60, 40));
         }
         CardObject& t =
             s.text(QStringLiteral("Alles Gute\nzum Geburtstag!"), 87, 62, 74, 30, 26,
                    rgbRef(200, 40, 60), 1, QStringLiteral("Times New Roman"), StyleBold);
         t.shadow = true;
         t.shadowColor = int32_t(rgbRef(200, 190, 170));
         CardObject& present =
             s.picture(QStringLiteral("Geschenk.png"),
                       writePicture(presentPicture(), dir, QStringLiteral("Geschenk.png"), pics),
                       110, 92, 26, 26);
         present.keepAspect = true;
         present.transparent = true;
         present.transparentColor = int32_t(rgbRef(255, 255, 255));
         s.text(QStringLiteral("Brisella-Bildwerker"), 10, 110, 62, 6, 8, rgbRef(150, 140, 120));
         SideBuilder in(doc, SideInside);
         in.text(QStringLiteral("Liebe Anna,\n\nzu Deinem Geburtstag wünschen wir Dir von "
                                "Herzen alles Gute, Gesundheit und viele fröhliche Stunden!"),
                 92, 25, 66, 60, 14, rgbRef(40, 40, 40), 0, QStringLiteral("Times New Roman"),
                 StyleItalic);
         in.text(QStringLiteral("Deine Familie"), 92, 90, 66, 10, 14, rgbRef(200, 40, 60), 2,
                 QStringLiteral("Times New Roman"), StyleItalic);
     }},
    {"Weihnachtskarte.kar",
     [](CardDocument& doc, const QString& dir, QStringList& pics) {
         SideBuilder s(doc, SideOutside);
         doc.outsideBackground.backgroundMode = BgStretched;
         doc.outsideBackground.backgroundFile = QStringLiteral("Winternacht.png");
         doc.outsideBackground.backgroundPicture =
             writePicture(winterPicture(), dir, QStringLiteral("Winternacht.png"), pics);
         CardObject& t =
             s.text(QStringLiteral("Frohe Weihnachten"), 86, 8, 76, 14, 24, rgbRef(255, 230, 120),
                    1, QStringLiteral("Times New Roman"), StyleBold | StyleItalic);
         t.outline = true;
         t.outlineColor = rgbRef(120, 20, 20);
         SideBuilder in(doc, SideInside);
         in.figure(FigRoundRect, 90, 12, 70, 97, rgbRef(250, 246, 236), FillWithBorder,
                   rgbRef(170, 30, 40), 3);
         in.text(QStringLiteral("Ein friedliches Weihnachtsfest\nund ein glückliches neues "
                                "Jahr!"),
                 95, 35, 60, 40, 16, rgbRef(150, 20, 30), 1, QStringLiteral("Times New Roman"));
     }},
    {"Einladung.kar",
     [](CardDocument& doc, const QString&, QStringList&) {
         SideBuilder s(doc, SideOutside);
         doc.outsideBackground.backgroundMode = BgColor;
         doc.outsideBackground.backgroundColor = rgbRef(232, 240, 250);
         s.figure(FigRoundRect, 88, 8, 72, 105, rgbRef(30, 70, 130), FillSolid);
         s.figure(FigRoundRect, 91, 11, 66, 99, rgbRef(30, 70, 130), FillBorderOnly,
                  rgbRef(250, 210, 90), 2);
         s.text(QStringLiteral("Einladung"), 90, 30, 68, 16, 28, rgbRef(250, 210, 90), 1,
                QStringLiteral("Times New Roman"), StyleBold);
         s.figure(FigLineHorizontal, 100, 52, 48, 0, rgbRef(250, 210, 90), FillSolid, 0, 2);
         s.text(QStringLiteral("zum Sommerfest"), 90, 58, 68, 12, 16, rgbRef(255, 255, 255));
         SideBuilder in(doc, SideInside);
         in.text(QStringLiteral("Wir feiern am Samstag, 18. Juli,\nab 15 Uhr im Garten.\n\n"
                                "Bitte gebt uns bis zum 1. Juli Bescheid."),
                 90, 20, 68, 60, 14, rgbRef(30, 70, 130), 0);
         in.figure(FigRectangle, 90, 88, 68, 18, rgbRef(250, 210, 90), FillSolid);
         in.text(QStringLiteral("Wir freuen uns auf Euch!"), 90, 92, 68, 10, 14,
                 rgbRef(30, 70, 130), 1, QStringLiteral("Arial"), StyleBold);
     }},
    {"Dankeskarte.kar",
     [](CardDocument& doc, const QString& dir, QStringList& pics) {
         SideBuilder s(doc, SideOutside);
         const DibImage heart = writePicture(heartPicture(), dir, QStringLiteral("Herz.png"), pics);
         for (int i = 0; i < 3; ++i) {
             CardObject& h = s.picture(QStringLiteral("Herz.png"), heart, 96 + i * 20,
                                       20 + (i % 2) * 10, 18, 16);
             h.transparent = true;
             h.transparentColor = int32_t(rgbRef(255, 255, 255));
         }
         s.text(QStringLiteral("Danke!"), 86, 55, 76, 22, 40, rgbRef(210, 30, 60), 1,
                QStringLiteral("Times New Roman"), StyleBold | StyleItalic);
         s.figure(FigLineHorizontal, 95, 82, 58, 0, rgbRef(210, 30, 60), FillSolid, 0, 1);
         SideBuilder in(doc, SideInside);
         in.text(QStringLiteral("Herzlichen Dank für Eure Glückwünsche und die schönen "
                                "Geschenke!"),
                 92, 35, 66, 40, 16, rgbRef(60, 60, 60), 1, QStringLiteral("Times New Roman"));
     }},
    {"Fotokarte.kar",
     [](CardDocument& doc, const QString& dir, QStringList& pics) {
         SideBuilder s(doc, SideOutside);
         doc.outsideBackground.backgroundMode = BgCover;
         doc.outsideBackground.backgroundFile = QStringLiteral("Abendlandschaft.png");
         doc.outsideBackground.backgroundPicture =
             writePicture(landscapePicture(), dir, QStringLiteral("Abendlandschaft.png"), pics);
         CardObject& t = s.text(QStringLiteral("Grüße aus den Bergen"), 86, 96, 76, 14, 20,
                                rgbRef(255, 255, 255), 1, QStringLiteral("Arial"), StyleBold);
         t.shadow = true;
         t.shadowColor = int32_t(rgbRef(30, 30, 60));
         SideBuilder in(doc, SideInside);
         CardObject& photo = in.picture(QStringLiteral("Abendlandschaft.png"),
                                        doc.outsideBackground.backgroundPicture, 8, 20, 66, 50);
         photo.keepAspect = true;
         photo.roundFrame = true;
         in.text(QStringLiteral("Hier ist es wunderschön.\nBis bald!"), 92, 30, 66, 40, 16,
                 rgbRef(40, 60, 40), 0, QStringLiteral("Times New Roman"), StyleItalic);
     }},
};

}  // namespace

int runSamples(const QStringList& args) {
    const Command& self = findCommand("samples");
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usageError(self, QStringLiteral("one output folder expected"));
    const QString& dir = args[0];
    if (!QDir().mkpath(dir)) {
        printError(QStringLiteral("cannot create the folder %1").arg(dir));
        return kExitFailure;
    }
    ConsoleDialogs dialogs;
    RenderContext ctx;
    for (const Sample& sample : kSamples) {
        auto doc = std::make_unique<CardDocument>();
        doc->format = sampleFormat();
        doc->updateSideUnits();
        QStringList failed;
        sample.build(*doc, dir, failed);
        if (!failed.isEmpty()) {
            printError(QStringLiteral("cannot write %1").arg(failed.join(QStringLiteral(", "))));
            return kExitFailure;
        }
        CardFileContext fc{dialogs, ctx, dir, &createCardPreview, {}, {}};
        const QString path = QDir(dir).filePath(QString::fromLatin1(sample.file));
        if (!saveCardFile(*doc, path, fc)) {
            printError(QStringLiteral("cannot write %1").arg(path));
            return kExitFailure;
        }
    }
    return kExitOk;
}

}  // namespace bb::cli
