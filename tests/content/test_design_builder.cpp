// The design builder: the same description gives the same files, a motif picture sits on its
// background without a seam, sizes follow the card, and a faulty description stops the build
// with the design named.
#include "content/DesignBuilder.h"
#include "document/CardFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

using namespace bb;

namespace {

const char* const kA6 = "Klappkarte A6, 105 × 148,5 mm (A4)";
const char* const kA5 = "Klappkarte A5, 148,5 × 210 mm (A4 quer)";

QJsonObject text(const QString& half, const QString& content) {
    return {{"type", "text"},  {"box", QJsonArray{half, 0.1, 0.6, 0.8, 0.2}},
            {"text", content}, {"font", "Liberation Serif"},
            {"size", 20},      {"colour", "#803040"}};
}

QJsonObject design(const QString& file, const char* card) {
    const QJsonObject outside{
        {"background",
         QJsonObject{
             {"painter", "wash"}, {"colours", QJsonArray{"#fbf8f2", "#e8c0c8"}}, {"seed", 3}}},
        {"motifs", QJsonArray{QJsonObject{{"painter", "branch"},
                                          {"box", QJsonArray{"back", 0.2, 0.2, 0.6, 0.4}}}}},
        {"objects", QJsonArray{QJsonObject{{"type", "picture"},
                                           {"painter", "balloons"},
                                           {"box", QJsonArray{"front", 0.1, 0.1, 0.8, 0.45}}},
                               text("front", QStringLiteral("Alles Gute"))}}};
    const QJsonObject inside{
        {"background", QJsonObject{{"colour", "#fffdf8"}}},
        {"objects", QJsonArray{text("right", QStringLiteral("Liebe(r) {Vorname},")),
                               QJsonObject{{"type", "figure"},
                                           {"shape", "line"},
                                           {"colour", "#c0a0a0"},
                                           {"box", QJsonArray{"right", 0.1, 0.85, 0.8, 0}}}}}};
    return {{"file", file},
            {"name", "Probe " + file},
            {"occasion", "Danke"},
            {"keywords", "dank, probe"},
            {"card", QString::fromUtf8(card)},
            {"outside", outside},
            {"inside", inside}};
}

QString writeDescription(const bbtest::TempFolder& tmp, const QJsonArray& designs) {
    const QString path = tmp.file(QStringLiteral("beschreibung.json"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QJsonDocument(QJsonObject{{"dpi", 100}, {"designs", designs}}).toJson());
    return path;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const CardObject* firstOfKind(const CardFileData& data, int side, int32_t kind) {
    for (const CardObjectRecord& r : (side == SideOutside ? data.outside : data.inside).objects)
        if (r.object.kind == kind) return &r.object;
    return nullptr;
}

}  // namespace

TEST(DesignBuilder, SameDescriptionSameFilesAndAnIndex) {
    bbtest::TempFolder tmp;
    const QString description = writeDescription(
        tmp, {design(QStringLiteral("probe-a"), kA6), design(QStringLiteral("probe-b"), kA5)});
    const DesignBuildResult first = buildDesigns(description, tmp.file(QStringLiteral("eins")));
    ASSERT_TRUE(first.ok) << qPrintable(first.error);
    EXPECT_EQ(first.files,
              (QStringList{QStringLiteral("probe-a.kar"), QStringLiteral("probe-b.kar")}));
    ASSERT_TRUE(buildDesigns(description, tmp.file(QStringLiteral("zwei"))).ok);

    const QStringList files =
        QDir(tmp.file(QStringLiteral("eins"))).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files,
              (QStringList{QStringLiteral("designs.json"), QStringLiteral("probe-a-aussen.jpg"),
                           QStringLiteral("probe-a-bild1.png"), QStringLiteral("probe-a.kar"),
                           QStringLiteral("probe-b-aussen.jpg"),
                           QStringLiteral("probe-b-bild1.png"), QStringLiteral("probe-b.kar")}));
    for (const QString& f : files)
        EXPECT_EQ(bytesOf(tmp.file(QStringLiteral("eins/") + f)),
                  bytesOf(tmp.file(QStringLiteral("zwei/") + f)))
            << qPrintable(f);

    const QJsonArray index =
        QJsonDocument::fromJson(bytesOf(tmp.file(QStringLiteral("eins/designs.json"))))
            .object()["designs"]
            .toArray();
    ASSERT_EQ(index.size(), 2);
    const QJsonObject a = index[0].toObject();
    EXPECT_EQ(a["file"].toString(), QStringLiteral("probe-a.kar"));
    EXPECT_EQ(a["name"].toString(), QStringLiteral("Probe probe-a"));
    EXPECT_EQ(a["occasion"].toString(), QStringLiteral("Danke"));
    EXPECT_EQ(a["keywords"].toArray(), (QJsonArray{"dank", "probe"}));
}

TEST(DesignBuilder, MotifPictureSitsOnItsBackgroundAndSizesFollowTheCard) {
    bbtest::TempFolder tmp;
    const QString description = writeDescription(
        tmp, {design(QStringLiteral("probe-a"), kA6), design(QStringLiteral("probe-b"), kA5)});
    ASSERT_TRUE(buildDesigns(description, tmp.path()).ok);

    CardFileData small, large;
    ASSERT_EQ(readCardFileData(tmp.file(QStringLiteral("probe-a.kar")), small), CardReadStatus::Ok);
    ASSERT_EQ(readCardFileData(tmp.file(QStringLiteral("probe-b.kar")), large), CardReadStatus::Ok);
    EXPECT_EQ(small.format.typeName, QString::fromUtf8(kA6));
    EXPECT_EQ(small.outside.backgroundMode, BgStretched);
    EXPECT_EQ(small.outside.backgroundFile, QStringLiteral("probe-a-aussen.jpg"));
    EXPECT_EQ(small.inside.backgroundMode, BgColor);

    // The picture's corner pixels are the background's pixels at the same place on the card.
    const CardObject* pic = firstOfKind(small, SideOutside, KindPicture);
    ASSERT_NE(pic, nullptr);
    const QImage picture(tmp.file(pic->content));
    const QImage background(tmp.file(QStringLiteral("probe-a-aussen.jpg")));
    ASSERT_FALSE(picture.isNull() || background.isNull());
    const double unitsPerMm = 20000.0 / kNominalMmPerInch, pxPerMm = 100 / kNominalMmPerInch;
    const int px = int(std::lround((pic->x / unitsPerMm - small.format.cardWidth) * pxPerMm));
    const int py = int(std::lround((pic->y / unitsPerMm - small.format.cardHeight) * pxPerMm));
    EXPECT_GT(px, background.width() / 2) << "the picture lies on the front half";
    for (const QPoint& corner : {QPoint(0, 0), QPoint(picture.width() - 1, picture.height() - 1)})
        EXPECT_EQ(picture.pixel(corner), background.pixel(corner + QPoint(px, py)));

    // Font sizes grow with the card: A5 is √2 times A6.
    const CardObject* smallText = firstOfKind(small, SideOutside, KindText);
    const CardObject* largeText = firstOfKind(large, SideOutside, KindText);
    ASSERT_TRUE(smallText && largeText);
    EXPECT_EQ(smallText->fontSize, 27);  // 20 pt
    EXPECT_NEAR(largeText->fontSize, 27 * std::sqrt(2.0), 1.0);
}

TEST(DesignBuilder, FaultyDescriptionsStopWithTheDesignNamed) {
    bbtest::TempFolder tmp;
    const auto failure = [&](QJsonObject changed, const QString& expected) {
        const QString description =
            writeDescription(tmp, {design(QStringLiteral("gut"), kA6), changed});
        const QString out = tmp.file(QStringLiteral("out"));
        const DesignBuildResult r = buildDesigns(description, out);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(expected)) << qPrintable(r.error);
        EXPECT_FALSE(QFile::exists(QDir(out).filePath(QStringLiteral("designs.json"))));
    };
    QJsonObject d = design(QStringLiteral("falsch"), kA6);
    d["card"] = "Klappkarte Riesig";
    failure(d, QStringLiteral("Klappkarte Riesig"));
    d = design(QStringLiteral("Mit Leerzeichen"), kA6);
    failure(d, QStringLiteral("Mit Leerzeichen"));
    d = design(QStringLiteral("falsch"), kA6);
    d["occasion"] = "Irgendwann";
    failure(d, QStringLiteral("falsch"));
    failure(design(QStringLiteral("gut"), kA6), QStringLiteral("twice"));
    d = design(QStringLiteral("falsch"), kA6);
    QJsonObject outside = d["outside"].toObject();
    outside["background"] = QJsonObject{{"painter", "marmor"}};
    d["outside"] = outside;
    failure(d, QStringLiteral("marmor"));
    d = design(QStringLiteral("falsch"), kA6);
    outside = d["outside"].toObject();
    outside["objects"] = QJsonArray{QJsonObject{{"type", "text"},
                                                {"box", QJsonArray{"innen", 0, 0, 1, 1}},
                                                {"text", "x"},
                                                {"colour", "#000000"}}};
    d["outside"] = outside;
    failure(d, QStringLiteral("innen"));

    const DesignBuildResult missing =
        buildDesigns(tmp.file(QStringLiteral("fehlt.json")), tmp.path());
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());
}
