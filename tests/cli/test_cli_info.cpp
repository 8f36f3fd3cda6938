// brisella-cli info and resave (also copying the pictures), run as a separate process on
// generated cards.
#include "document/CardFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include "cli/CliProcess.h"

#include <cstring>
#include <memory>

using namespace bb;

namespace {

using bbtest::CliRun;
using bbtest::runCli;

DibImage whitePreview(const CardDocument& doc) {
    const QSize size = previewSize(doc.format);
    DibImage p = newDib(size.width(), size.height(), 24);
    std::memset(p.bits(), 0xFF, size_t(p.byteCount()));
    return p;
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A card with a text in slot 3 outside and a figure in slot 10000 inside.
std::unique_ptr<CardDocument> sampleCard() {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 90;
    doc->format.cardHeight = 55;
    doc->format.typeName = QStringLiteral("Klappkarte groß");
    doc->updateSideUnits();
    doc->zoomFactor = 2;
    CardObject& text = *doc->outsideSlots[3];
    text.kind = KindText;
    text.x = 12345;
    text.content = QStringLiteral("Hallo\rWelt ä");
    text.fontName = QStringLiteral("Arial");
    text.shadow = true;
    text.outlineColor = 0x0000FF;
    CardObject& fig = *doc->insideSlots[10000];
    fig.kind = KindFigure;
    fig.figureKind = FigRoundRect;
    fig.fillMode = FillWithBorder;
    fig.lineWidth = 4;
    doc->outsideBackground.backgroundMode = BgColor;
    doc->outsideBackground.backgroundColor = 0x336699;
    return doc;
}

}  // namespace

TEST(CliInfo, PrintsTheCardAsJson) {
    bbtest::TempFolder dir;
    auto doc = sampleCard();
    const QString card = dir.file(QStringLiteral("karte.kar"));
    writeAll(card, cardFileBytes(*doc, whitePreview(*doc)));

    const CliRun r = runCli({QStringLiteral("info"), card});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonObject j = QJsonDocument::fromJson(r.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(j[QStringLiteral("signature")].toString(),
              QStringLiteral("Tovarin Brisella-Bildwerker 1.0"));
    const QJsonObject preview = j[QStringLiteral("preview")].toObject();
    const QSize size = previewSize(doc->format);
    EXPECT_EQ(preview[QStringLiteral("width")].toInt(), size.width());
    EXPECT_EQ(preview[QStringLiteral("height")].toInt(), size.height());
    EXPECT_EQ(preview[QStringLiteral("bitCount")].toInt(), 24);
    EXPECT_EQ(preview[QStringLiteral("headerSize")].toInt(), 40);
    EXPECT_EQ(preview[QStringLiteral("colourCount")].toInt(), 0);
    const QJsonObject format = j[QStringLiteral("CardFormat")].toObject();
    EXPECT_EQ(format.size(), 9);
    EXPECT_EQ(format[QStringLiteral("CardWidth")].toDouble(), 90);
    EXPECT_EQ(format[QStringLiteral("CardsAcross")].toInt(), 1);
    EXPECT_EQ(format[QStringLiteral("TypeName")].toString(), QStringLiteral("Klappkarte groß"));
    EXPECT_EQ(j[QStringLiteral("SideWidthUnits")].toInt(), sideUnits(90));
    EXPECT_EQ(j[QStringLiteral("ZoomFactor")].toDouble(), 2);
    EXPECT_EQ(j[QStringLiteral("UnitsPerPixel")].toDouble(), 312);

    const QJsonObject outside = j[QStringLiteral("outside")].toObject();
    EXPECT_EQ(outside[QStringLiteral("BackgroundMode")].toInt(), BgColor);
    EXPECT_EQ(outside[QStringLiteral("BackgroundColor")].toInt(), 0x336699);
    const QJsonArray outObjects = outside[QStringLiteral("objects")].toArray();
    ASSERT_EQ(outObjects.size(), 1);
    const QJsonObject t = outObjects[0].toObject();
    EXPECT_EQ(t.size(), 27);  // the slot and the 26 stored fields
    EXPECT_EQ(t[QStringLiteral("slot")].toInt(), 3);
    EXPECT_EQ(t[QStringLiteral("X")].toInt(), 12345);
    EXPECT_EQ(t[QStringLiteral("Content")].toString(), QStringLiteral("Hallo\rWelt ä"));
    EXPECT_EQ(t[QStringLiteral("Shadow")].toInt(), 1);
    EXPECT_EQ(t[QStringLiteral("BorderColor")].toInt(), 0x0000FF);
    EXPECT_EQ(t[QStringLiteral("ShadowDX")].toInt(), 5);
    EXPECT_EQ(t[QStringLiteral("FontName")].toString(), QStringLiteral("Arial"));

    const QJsonObject inside = j[QStringLiteral("inside")].toObject();
    EXPECT_EQ(inside[QStringLiteral("BackgroundMode")].toInt(), BgNone);
    const QJsonArray inObjects = inside[QStringLiteral("objects")].toArray();
    ASSERT_EQ(inObjects.size(), 1);
    EXPECT_EQ(inObjects[0].toObject()[QStringLiteral("slot")].toInt(), 10000);
    EXPECT_EQ(inObjects[0].toObject()[QStringLiteral("FigureKind")].toInt(), FigRoundRect);
    EXPECT_EQ(inObjects[0].toObject()[QStringLiteral("LineWidth")].toInt(), 4);
}

TEST(CliInfo, UsageAndFailures) {
    bbtest::TempFolder dir;
    EXPECT_EQ(runCli({}).exitCode, 2);
    const CliRun unknown = runCli({QStringLiteral("gibtsnicht")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("info CARD.kar"));
    EXPECT_EQ(runCli({QStringLiteral("info")}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("resave"), QStringLiteral("a.kar")}).exitCode, 2);

    const QString foreign = dir.file(QStringLiteral("fremd.kar"));
    writeAll(foreign, QByteArray("GIF89a, kein Kartenformat, aber lang genug zum Lesen"));
    const CliRun f = runCli({QStringLiteral("info"), foreign});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_TRUE(f.out.isEmpty());
    EXPECT_TRUE(QString::fromLocal8Bit(f.err).contains(QStringLiteral("Grußkarte")));
    EXPECT_EQ(runCli({QStringLiteral("info"), dir.file(QStringLiteral("fehlt.kar"))}).exitCode, 1);
    EXPECT_EQ(runCli({QStringLiteral("resave"), foreign, QStringLiteral("-o"),
                      dir.file(QStringLiteral("neu.kar"))})
                  .exitCode,
              1);
}

TEST(CliResave, KeepsTheCardAndReportsMissingPictures) {
    bbtest::TempFolder dir;
    auto doc = sampleCard();
    CardObject& pic = *doc->outsideSlots[7];
    pic.kind = KindPicture;
    pic.content = QStringLiteral("/gibt/es/nicht/bild.png");
    const QString card = dir.file(QStringLiteral("alt.kar"));
    const QString copy = dir.file(QStringLiteral("neu.kar"));
    writeAll(card, cardFileBytes(*doc, whitePreview(*doc)));

    const CliRun r = runCli({QStringLiteral("resave"), card, QStringLiteral("-o"), copy});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Konnte Bild (/gibt/es/nicht/bild.png) nicht Laden."));

    CardFileData before, after;
    ASSERT_EQ(readCardFileData(card, before), CardReadStatus::Ok);
    ASSERT_EQ(readCardFileData(copy, after), CardReadStatus::Ok);
    EXPECT_EQ(after.format, before.format);
    EXPECT_EQ(after.zoomFactor, before.zoomFactor);
    ASSERT_EQ(after.outside.objects.size(), 2u);
    EXPECT_EQ(after.outside.objects[1].slot, 7);
    EXPECT_EQ(after.outside.objects[1].object.content, pic.content);
    EXPECT_EQ(after.outside.objects[0].object.content, QStringLiteral("Hallo\rWelt ä"));
    ASSERT_EQ(after.inside.objects.size(), 1u);
    EXPECT_EQ(after.inside.objects[0].slot, 10000);
    EXPECT_EQ(after.outside.backgroundColor, 0x336699u);
    // The preview is drawn by the renderer: the coloured background shows in it.
    const CardPreview p = readCardPreview(copy);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.picture.width(), previewSize(doc->format).width());
    EXPECT_EQ(
        pixelColor(p.picture, getPixel(p.picture, p.picture.width() - 1, p.picture.height() - 1)),
        ColorRef(0x336699));
}

TEST(CliResave, CopyPicturesPutsThemBesideTheNewCard) {
    bbtest::TempFolder dir;
    QDir().mkpath(dir.file(QStringLiteral("neu")));
    const QString photo = dir.file(QStringLiteral("foto.png"));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(photo));
    auto doc = sampleCard();
    doc->outsideSlots[7]->kind = KindPicture;
    doc->outsideSlots[7]->content = photo;
    const QString card = dir.file(QStringLiteral("alt.kar"));
    writeAll(card, cardFileBytes(*doc, whitePreview(*doc)));
    const auto resave = [&](const char* output) {
        return runCli({QStringLiteral("resave"), card, QStringLiteral("-o"),
                       dir.file(QString::fromLatin1(output)), QStringLiteral("--copy-pictures")});
    };

    const CliRun r = resave("neu/karte.kar");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("foto.png")) << r.out.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("neu/foto.png"))).isFile());

    // A folder that is not there takes no copy: reported, exit status 1.
    const CliRun failed = resave("fehlt/karte.kar");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains("cannot copy picture " + photo.toUtf8()));
}

// The card as the program reads it: the exact text with its emoji in Content, each new
// property under its own name, the extension's state; resave keeps all of it, and a 1.0 card
// shows none of these names.
TEST(CliInfo, ShowsTheExactTextAndEveryNewPropertyAndResaveKeepsThem) {
    bbtest::TempFolder dir;
    auto doc = sampleCard();
    CardObject& text = *doc->outsideSlots[3];
    text.content = QStringLiteral("Alles Gute 🎂");
    text.rotation = 1;
    text.extras.fineAngle = -20;
    text.extras.group = 4;
    text.extras.lineSpacing = 130;
    text.extras.letterSpacing = 50;
    text.extras.arcRadius = 4550;
    text.extras.runs = {{6, 4, QStringLiteral("Liberation Sans"), 24, StyleBold, 0xFF}};
    CardObject& fig = *doc->insideSlots[10000];
    fig.extras.locked = true;
    fig.extras.cornerRadius = 250;
    const QString card = dir.file(QStringLiteral("neu.kar"));
    writeAll(card, cardFileBytes(*doc, whitePreview(*doc)));

    const auto info = [](const QString& path) {
        const CliRun r = runCli({QStringLiteral("info"), path});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out).object();
    };
    const auto check = [](const QJsonObject& j) {
        const QJsonObject t = j[QStringLiteral("outside")][QStringLiteral("objects")][0].toObject();
        EXPECT_EQ(t[QStringLiteral("Content")].toString(), QStringLiteral("Alles Gute 🎂"));
        EXPECT_EQ(t[QStringLiteral("Rotation")].toInt(), 1);
        EXPECT_DOUBLE_EQ(t[QStringLiteral("Angle")].toDouble(), 70.0);
        EXPECT_EQ(t[QStringLiteral("Group")].toInt(), 4);
        EXPECT_EQ(t[QStringLiteral("LineSpacing")].toInt(), 130);
        EXPECT_EQ(t[QStringLiteral("LetterSpacing")].toInt(), 50);
        EXPECT_DOUBLE_EQ(t[QStringLiteral("ArcRadius")].toDouble(), 45.5);
        const QJsonObject run = t[QStringLiteral("Runs")][0].toObject();
        EXPECT_EQ(run[QStringLiteral("Start")].toInt(), 6);
        EXPECT_EQ(run[QStringLiteral("FontName")].toString(), QStringLiteral("Liberation Sans"));
        const QJsonObject f = j[QStringLiteral("inside")][QStringLiteral("objects")][0].toObject();
        EXPECT_TRUE(f[QStringLiteral("Locked")].toBool());
        EXPECT_DOUBLE_EQ(f[QStringLiteral("CornerRadius")].toDouble(), 2.5);
        EXPECT_FALSE(f.contains(QStringLiteral("Angle")));
        const QJsonObject ext = j[QStringLiteral("Extension")].toObject();
        EXPECT_EQ(ext[QStringLiteral("Version")].toInt(), 1);
        EXPECT_FALSE(ext.contains(QStringLiteral("Problem")));
    };
    check(info(card));

    const QString copy = dir.file(QStringLiteral("kopie.kar"));
    const CliRun r = runCli({QStringLiteral("resave"), card, QStringLiteral("-o"), copy});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    check(info(copy));

    auto plain = sampleCard();
    const QString plainCard = dir.file(QStringLiteral("alt.kar"));
    writeAll(plainCard, cardFileBytes(*plain, whitePreview(*plain)));
    const QJsonObject j = info(plainCard);
    EXPECT_FALSE(j.contains(QStringLiteral("Extension")));
    const QJsonObject t = j[QStringLiteral("outside")][QStringLiteral("objects")][0].toObject();
    for (const char* name : {"Angle", "Group", "Locked", "Runs", "LineSpacing", "ArcRadius"})
        EXPECT_FALSE(t.contains(QLatin1String(name))) << name;
}
