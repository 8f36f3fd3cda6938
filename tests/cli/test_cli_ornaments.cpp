// brisella-cli ornaments (the list and the SVGs written into a folder), and a card with an
// ornament through info and resave: its 1.0 picture and, with --copy-pictures, its SVG beside
// the new card.
#include "document/CardFile.h"
#include "render/Ornaments.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include "cli/CliProcess.h"

#include <memory>

using namespace bb;

namespace {

using bbtest::CliRun;
using bbtest::runCli;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(CliOrnaments, ListsEveryOrnamentAndWritesEachAsSvg) {
    const CliRun list = runCli({QStringLiteral("ornaments")});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QList<QByteArray> lines = list.out.trimmed().split('\n');
    ASSERT_EQ(size_t(lines.size()), ornamentCatalogue().size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QJsonObject j = QJsonDocument::fromJson(lines[i]).object();
        const OrnamentInfo& info = ornamentCatalogue()[size_t(i)];
        EXPECT_EQ(j.value(QStringLiteral("name")).toString(), info.name);
        EXPECT_EQ(j.value(QStringLiteral("category")).toString(), info.category);
        EXPECT_EQ(j.value(QStringLiteral("recolourable")).toBool(), info.recolourable);
    }

    bbtest::TempFolder dir;
    const QString out = dir.file(QStringLiteral("neu/schmuck"));  // made with its parent
    const CliRun written = runCli({QStringLiteral("ornaments"), QStringLiteral("-o"), out});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.out, list.out);
    const QStringList files = QDir(out).entryList(QDir::Files);
    EXPECT_EQ(size_t(files.size()), ornamentCatalogue().size());
    const OrnamentInfo& first = ornamentCatalogue().front();
    EXPECT_EQ(readAll(QDir(out).filePath(first.name + QStringLiteral(".svg"))),
              ornamentSvg(first.name));
    // Written again over its own files: still fine.
    EXPECT_EQ(runCli({QStringLiteral("ornaments"), QStringLiteral("-o"), out}).exitCode, 0);
}

TEST(CliOrnaments, RefusesAFileALinkOrALinkedSvgAsItsTarget) {
    bbtest::TempFolder dir;
    const QString file = dir.file(QStringLiteral("datei"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const CliRun ontoFile = runCli({QStringLiteral("ornaments"), QStringLiteral("-o"), file});
    EXPECT_EQ(ontoFile.exitCode, 1);
    EXPECT_FALSE(ontoFile.err.isEmpty());

    bbtest::TempFolder elsewhere;
    const QString link = dir.file(QStringLiteral("verweis"));
    ASSERT_TRUE(QFile::link(elsewhere.path(), link));
    EXPECT_EQ(runCli({QStringLiteral("ornaments"), QStringLiteral("-o"), link}).exitCode, 1);
    EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());

    // A planted link under an ornament's name is not written through.
    const QString target = elsewhere.file(QStringLiteral("ziel.svg"));
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("bleibt");
    t.close();
    const QString folder = dir.file(QStringLiteral("ordner"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString name = ornamentCatalogue().front().name + QStringLiteral(".svg");
    ASSERT_TRUE(QFile::link(target, QDir(folder).filePath(name)));
    const CliRun planted = runCli({QStringLiteral("ornaments"), QStringLiteral("-o"), folder});
    EXPECT_EQ(planted.exitCode, 1);
    EXPECT_TRUE(planted.err.contains(name.toUtf8())) << planted.err.toStdString();
    EXPECT_EQ(readAll(target), QByteArray("bleibt"));

    EXPECT_EQ(runCli({QStringLiteral("ornaments"), QStringLiteral("extra")}).exitCode, 2);
}

TEST(CliOrnaments, ACardWithAnOrnamentShowsItAndResavesWithItsPictureAndSvg) {
    const OrnamentInfo* info = nullptr;
    for (const OrnamentInfo& o : ornamentCatalogue())
        if (o.recolourable && !info) info = &o;
    ASSERT_NE(info, nullptr);
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 90;
    doc->format.cardHeight = 55;
    doc->updateSideUnits();
    CardObject& o = *doc->outsideSlots[2];
    o.x = doc->sideWidthUnits / 3 + 1000;
    o.y = doc->sideHeightUnits / 3 + 1000;
    o.width = 20000;
    o.height = 20000;
    makeOrnamentObject(o, *info, rgbRef(0, 128, 255));
    bbtest::TempFolder dir;
    const QString card = dir.file(QStringLiteral("karte.kar"));
    {
        QFile f(card);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cardFileBytes(*doc, DibImage()));
    }
    const CliRun info10 = runCli({QStringLiteral("info"), card});
    ASSERT_EQ(info10.exitCode, 0);
    EXPECT_TRUE(info10.out.contains("\"Ornament\": \"" + info->name.toUtf8() + "\""))
        << info10.out.toStdString();

    // Resaved elsewhere: the 1.0 picture beside the new card, and with --copy-pictures the SVG.
    bbtest::TempFolder target;
    const QString copy = target.file(QStringLiteral("kopie.kar"));
    const CliRun resaved = runCli({QStringLiteral("resave"), card, QStringLiteral("-o"), copy,
                                   QStringLiteral("--copy-pictures")});
    EXPECT_EQ(resaved.exitCode, 0) << resaved.err.toStdString();
    const QString png = target.file(ornamentPictureName(*info, rgbRef(0, 128, 255)));
    EXPECT_FALSE(QImage(png).isNull());
    EXPECT_EQ(readAll(target.file(info->name + QStringLiteral(".svg"))), ornamentSvg(info->name));
    // The plain card without ornaments has no "Ornament".
    doc->outsideSlots[2]->extras.ornament.clear();
    {
        QFile f(card);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cardFileBytes(*doc, DibImage()));
    }
    EXPECT_FALSE(runCli({QStringLiteral("info"), card}).out.contains("Ornament"));
}
