// The ornaments: the catalogue that comes with the program, reading a damaged one, recolouring,
// the 1.0 picture beside the card, and a card with an ornament drawn, saved, read back and read
// as version 1.0 reads it.
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "render/Ornaments.h"
#include "render/RenderFixtures.h"
#include "render/Renderer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include <cmath>

using namespace bb;

namespace {

const QStringList& knownCategories() {
    static const QStringList names = {QStringLiteral("Herzen"),
                                      QStringLiteral("Sterne"),
                                      QStringLiteral("Ballons und Feier"),
                                      QStringLiteral("Kerzen"),
                                      QStringLiteral("Geschenke"),
                                      QStringLiteral("Blumen und Blätter"),
                                      QStringLiteral("Weihnachten"),
                                      QStringLiteral("Ostern"),
                                      QStringLiteral("Hochzeit"),
                                      QStringLiteral("Baby"),
                                      QStringLiteral("Glaube und Trauer"),
                                      QStringLiteral("Rahmen"),
                                      QStringLiteral("Bordüren"),
                                      QStringLiteral("Ecken")};
    return names;
}

const OrnamentInfo& firstWhere(bool recolourable) {
    for (const OrnamentInfo& info : ornamentCatalogue())
        if (info.recolourable == recolourable) return info;
    static const OrnamentInfo none;
    return none;
}

// Mean absolute difference per channel over `area`.
double meanDifference(const QImage& a, const QImage& b, const QRect& area) {
    double sum = 0;
    qint64 n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    return n ? sum / double(n) : 0;
}

// The ornament as Qt's SVG renderer draws it into `box` of a white image of `size`.
QImage svgOnWhite(const OrnamentInfo& info, const QColor& colour, QSize size, const QRectF& box) {
    QByteArray svg = ornamentSvg(info.name);
    if (colour.isValid()) svg = recolouredSvg(svg, colour);
    QSvgRenderer renderer(svg);
    QImage image = rendertest::whiteImage(size.width(), size.height());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, box);
    return image;
}

}  // namespace

// ---- The catalogue --------------------------------------------------------------------------

TEST(OrnamentCatalogue, EveryEntryLoadsWithAPlainUniqueNameInAKnownCategory) {
    const std::vector<OrnamentInfo>& all = ornamentCatalogue();
    EXPECT_GE(all.size(), 80u);
    QSet<QString> names;
    QHash<QString, int> perCategory;
    for (const OrnamentInfo& info : all) {
        SCOPED_TRACE(info.name.toStdString());
        EXPECT_FALSE(names.contains(info.name));
        names.insert(info.name);
        EXPECT_TRUE(isOrnamentName(info.name));
        EXPECT_TRUE(knownCategories().contains(info.category)) << info.category.toStdString();
        ++perCategory[info.category];
        EXPECT_FALSE(info.label.isEmpty());
        const QByteArray svg = ornamentSvg(info.name);
        // A recolourable ornament takes the colour through currentColor; a fixed one never.
        EXPECT_EQ(svg.contains("currentColor"), info.recolourable);
        QSvgRenderer renderer(recolouredSvg(svg, Qt::red));
        EXPECT_TRUE(renderer.isValid());
        EXPECT_FALSE(info.size.isEmpty());
        // It draws something.
        const QImage image = ornamentImage(info.name, QSize(48, 48), Qt::red);
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_TRUE(drawn);
    }
    for (const QString& category : knownCategories())
        EXPECT_GE(perCategory.value(category), 4) << category.toStdString();
    EXPECT_EQ(ornamentCategories().size(), perCategory.size());
    EXPECT_EQ(findOrnament(QStringLiteral("gibt-es-nicht")), nullptr);
}

TEST(OrnamentCatalogue, ADamagedCatalogueKeepsOnlyTheEntriesThatLoad) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("svg")));
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const QByteArray good =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 200 100\" width=\"200\" "
        "height=\"100\"><rect x=\"10\" y=\"10\" width=\"180\" height=\"80\" "
        "fill=\"currentColor\"/></svg>";
    write(QStringLiteral("svg/gut.svg"), good);
    write(QStringLiteral("svg/doppelt.svg"), good);
    write(QStringLiteral("svg/kaputt.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect");
    write(QStringLiteral("ornaments.csv"),
          "name,category,label,recolourable\n"
          "gut,Herzen,Gut,1\n"
          "zu,viele,Felder,1,x\n"
          "Gross,Herzen,Großbuchstaben,0\n"
          "../weg,Herzen,Pfad,0\n"
          "fehlt,Herzen,Ohne Datei,0\n"
          "kaputt,Herzen,Kaputt,0\n"
          "doppelt,Sterne,Doppelt,2\n"
          "gut,Sterne,Noch einmal,0\n"
          "\n");
    const std::vector<OrnamentInfo> read = readOrnamentCatalogue(dir.path());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, QStringLiteral("gut"));
    EXPECT_TRUE(read[0].recolourable);
    EXPECT_EQ(read[0].size, QSizeF(200, 100));

    write(QStringLiteral("ornaments.csv"), "Name;Kategorie\ngut;Herzen\n");
    EXPECT_TRUE(readOrnamentCatalogue(dir.path()).empty());
    EXPECT_TRUE(readOrnamentCatalogue(dir.file(QStringLiteral("nirgends"))).empty());
}

// ---- Colour and the 1.0 picture -------------------------------------------------------------

TEST(OrnamentColour, ARecolourableOrnamentTakesTheColourAFixedOneKeepsItsOwn) {
    const OrnamentInfo& free = firstWhere(true);
    const OrnamentInfo& fixed = firstWhere(false);
    ASSERT_FALSE(free.name.isEmpty());
    ASSERT_FALSE(fixed.name.isEmpty());
    const auto mostlyOf = [](const QImage& image) {
        qint64 r = 0, g = 0, b = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) < 250) continue;
                r += qRed(p);
                g += qGreen(p);
                b += qBlue(p);
            }
        return QColor::fromRgbF(float(r) / (r + g + b + 1), float(g) / (r + g + b + 1),
                                float(b) / (r + g + b + 1));
    };
    const QImage red = ornamentImage(free.name, QSize(64, 64), QColor(220, 0, 0));
    const QImage blue = ornamentImage(free.name, QSize(64, 64), QColor(0, 0, 220));
    EXPECT_GT(mostlyOf(red).redF(), mostlyOf(red).blueF());
    EXPECT_GT(mostlyOf(blue).blueF(), mostlyOf(blue).redF());
    EXPECT_EQ(ornamentColour(fixed, rgbRef(0, 0, 220)), QColor());
    EXPECT_EQ(ornamentColour(free, rgbRef(0, 0, 220)), QColor(0, 0, 220));

    // The 1.0 picture's name carries the colour only where the ornament takes one.
    EXPECT_EQ(ornamentPictureName(fixed, rgbRef(0, 0, 220)),
              QStringLiteral("Schmuck-") + fixed.name + QStringLiteral(".png"));
    EXPECT_EQ(ornamentPictureName(free, rgbRef(0x12, 0xab, 0xff)),
              QStringLiteral("Schmuck-") + free.name + QStringLiteral("-12abff.png"));
}

TEST(OrnamentColour, TheOldPictureIsTheOrnamentOnAWhiteGroundThatAloneIsPureWhite) {
    const OrnamentInfo& info = firstWhere(true);
    const QImage picture = ornamentPicture(info, rgbRef(200, 30, 30));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(std::max(picture.width(), picture.height()), kOrnamentPicturePixels);
    // Made the same way every time, so that an unchanged card leaves its file as it is.
    EXPECT_EQ(ornamentPicturePng(info, rgbRef(200, 30, 30)),
              ornamentPicturePng(info, rgbRef(200, 30, 30)));
    // Pure white exactly where the drawing leaves the ground mostly uncovered.
    QImage drawn(picture.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        drawOrnament(p, info.name, QRectF(drawn.rect()), QColor(200, 30, 30));
    }
    qint64 mismatches = 0;
    qint64 ground = 0;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3) {
            const bool white = picture.pixel(x, y) == qRgb(255, 255, 255);
            const bool uncovered = qAlpha(drawn.pixel(x, y)) < 128;
            ground += uncovered;
            if (white != uncovered) ++mismatches;
        }
    EXPECT_GT(ground, 0);
    EXPECT_EQ(mismatches, 0);
}

// ---- Drawing --------------------------------------------------------------------------------

class OrnamentDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        doc = rendertest::makeDocument();
        doc->format.cardWidth = 100;
        doc->format.cardHeight = 100;
        doc->updateSideUnits();
    }
    int32_t left() const { return doc->sideWidthUnits / 3; }
    int32_t top() const { return doc->sideHeightUnits / 3; }
    // A picture object with its box in hundreds of units from the card's top left.
    CardObject& put(QRect box) {
        const int slot = doc->findFreeSlot(SideOutside);
        CardObject& o = *doc->outsideSlots[slot];
        o.kind = KindPicture;
        o.x = left() + box.x() * 100;
        o.y = top() + box.y() * 100;
        o.width = box.width() * 100;
        o.height = box.height() * 100;
        return o;
    }
    CardObject& ornament(const OrnamentInfo& info, QRect box, ColorRef colour) {
        CardObject& o = put(box);
        makeOrnamentObject(o, info, colour);
        return o;
    }
    // Device pixels of `units` at `scale`, as the renderer counts them.
    static int device(int64_t units, double scale) {
        return int(std::trunc((long double)units * scale));
    }
    // The outside drawn in output mode at `scale` device pixels per unit, the card's top left
    // at (0, 0).
    QImage draw(const CardDocument& d, double scale) const {
        RenderContext ctx;
        ctx.renderMode = RenderOutput;
        ctx.outputScale = scale;
        const int w = device(left(), scale), h = device(top(), scale);
        QImage image = rendertest::whiteImage(w, h);
        QPainter p(&image);
        drawCardSide(p, d, SideOutside, ctx, w, h, w, h, scale, false);
        return image;
    }
    // Where the renderer puts `o`'s ornament of `shape` (its aspect kept from the box's top
    // left), in device pixels.
    QRect ornamentBox(const CardObject& o, QSizeF shape, double scale) const {
        int w = device(o.width, scale), h = device(o.height, scale);
        if (shape.height() * w / shape.width() < h)
            h = int(shape.height() * w / shape.width());
        else
            w = int(shape.width() * h / shape.height());
        return {device(o.x, scale) - device(left(), scale),
                device(o.y, scale) - device(top(), scale), w, h};
    }
    std::unique_ptr<CardDocument> doc;
};

TEST_F(OrnamentDrawing, IsDrawnFromTheVectorAtAnySizeAndTurnedByItsQuarterTurns) {
    const OrnamentInfo& info = firstWhere(true);
    const QColor colour(30, 120, 40);
    CardObject& o = ornament(info, QRect(10, 10, 200, 200), fromQColor(colour));
    for (double scale : {0.01, 0.04}) {
        SCOPED_TRACE(scale);
        const QImage card = draw(*doc, scale);
        const QRect box = ornamentBox(o, info.size, scale);
        const QImage expected = svgOnWhite(info, colour, card.size(), QRectF(box));
        EXPECT_LT(meanDifference(card, expected, box), 3.0);
        // Not a match of two white areas.
        EXPECT_GT(meanDifference(card, rendertest::whiteImage(card.width(), card.height()), box),
                  5.0);
    }
    // A quarter turn clockwise, as the 1.0 picture is turned when read.
    o.rotation = 1;
    const double scale = 0.02;
    const QImage turned = draw(*doc, scale);
    const QRect box = ornamentBox(o, info.size.transposed(), scale);
    QImage expected = rendertest::whiteImage(turned.width(), turned.height());
    {
        QSvgRenderer renderer(recolouredSvg(ornamentSvg(info.name), colour));
        QPainter p(&expected);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(QRectF(box).center());
        p.rotate(90);
        renderer.render(&p,
                        QRectF(-box.height() / 2.0, -box.width() / 2.0, box.height(), box.width()));
    }
    EXPECT_LT(meanDifference(turned, expected, box), 3.0);
}

TEST_F(OrnamentDrawing, AnUnknownNameDrawsThePictureAndAMissingPictureNothingWorse) {
    CardObject& o = put(QRect(10, 10, 50, 50));
    o.picture = rendertest::solidPicture(8, 8, rgbRef(0, 0, 255));
    o.content = QStringLiteral("Schmuck-neu.png");
    o.extras.ornament = QStringLiteral("aus-einer-neueren-version");
    const double scale = 0.01;
    const int middle = device(3500, scale);
    EXPECT_EQ(draw(*doc, scale).pixel(middle, middle), qRgb(0, 0, 255));
    // No picture at all: nothing drawn, no crash.
    o.picture = DibImage();
    EXPECT_EQ(draw(*doc, scale).pixel(middle, middle), qRgb(255, 255, 255));
}

TEST_F(OrnamentDrawing, SavedAndReadBackIsTheSameAndVersionOneDrawsThePngBesideIt) {
    const OrnamentInfo& info = firstWhere(true);
    CardObject& o = ornament(info, QRect(20, 20, 300, 300), rgbRef(160, 20, 120));
    ASSERT_EQ(doc->findFreeSlot(SideOutside), 2);  // the ornament is in slot 1
    o.extras.fineAngle = 12.5;
    bbtest::TempFolder dir;
    const QString path = dir.file(QStringLiteral("schmuck.kar"));
    ConsoleDialogs dialogs;
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, dir.path(), {}, {}, {}};
    fc.writeCompanions = &writeOrnamentPictures;
    ASSERT_TRUE(saveCardFile(*doc, path, fc));
    const QString png = dir.file(ornamentPictureName(info, rgbRef(160, 20, 120)));
    ASSERT_TRUE(QFile::exists(png));
    const QByteArray firstPng = [&] {
        QFile f(png);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardFile(*back, path, fc));
    const CardObject& read = *back->outsideSlots[1];
    EXPECT_EQ(read.extras, o.extras);
    EXPECT_EQ(read.content, o.content);
    EXPECT_EQ(read.color, o.color);
    EXPECT_FALSE(read.picture.isStandIn());
    // Saved again unchanged: the same bytes, and the PNG as it was.
    const QString again = dir.file(QStringLiteral("nochmal.kar"));
    ASSERT_TRUE(saveCardFile(*back, again, fc));
    QFile a(path), b(again);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    QFile pngAgain(png);
    ASSERT_TRUE(pngAgain.open(QIODevice::ReadOnly));
    EXPECT_EQ(pngAgain.readAll(), firstPng);

    // As 1.0 reads it (up to the extension area): no ornament, the PNG drawn transparent,
    // close to the vector.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    CardFileData as10;
    ASSERT_EQ(parseCardFile(bytes, as10, CardReadMode::Version10), CardReadStatus::Ok);
    const qsizetype extension = bytes.indexOf(kExtensionMagic.toByteArray());
    ASSERT_GT(extension, 0);
    bytes.truncate(extension);
    auto old = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardBytes(*old, bytes, path, fc));
    const CardObject& plain = *old->outsideSlots[1];
    EXPECT_TRUE(plain.extras.ornament.isEmpty());
    EXPECT_FALSE(plain.picture.isStandIn());
    ASSERT_FALSE(plain.picture.isNull());
    EXPECT_TRUE(plain.transparent);
    back->outsideSlots[1]->extras.fineAngle = 0;  // 1.0 has no fine angle
    const double scale = 0.01;
    const QImage vector = draw(*back, scale);
    const QImage fromPng = draw(*old, scale);
    const QRect area = ornamentBox(*back->outsideSlots[1], info.size, scale);
    EXPECT_LT(meanDifference(vector, fromPng, area), 6.0);
    // And it is there at all: the area is not white.
    EXPECT_GT(meanDifference(vector, rendertest::whiteImage(vector.width(), vector.height()), area),
              5.0);
}

TEST_F(OrnamentDrawing, TheOldPictureIsNeverWrittenThroughALink) {
    const OrnamentInfo& info = firstWhere(false);
    ornament(info, QRect(20, 20, 100, 100), 0);
    bbtest::TempFolder dir;
    bbtest::TempFolder elsewhere;
    const QString target = elsewhere.file(QStringLiteral("ziel.png"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("bleibt");
    }
    const QString name = ornamentPictureName(info, 0);
    ASSERT_TRUE(QFile::link(target, dir.file(name)));
    const QStringList problems = writeOrnamentPictures(*doc, dir.file(QStringLiteral("k.kar")));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems.first().startsWith(name));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("bleibt"));
}
