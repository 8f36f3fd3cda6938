// The designs that come with the program, as the build tree holds them: every one opens
// without a message, saves unchanged byte for byte, has all its pictures, keeps its texts
// inside their boxes and draws both sides; and the set covers the occasions and card sizes.
#include "content/ContentFolders.h"
#include "content/DesignLibrary.h"
#include "document/CardFile.h"
#include "document/CardPictures.h"
#include "render/Export.h"
#include "render/Preview.h"
#include "render/TextRenderer.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <memory>

using namespace bb;

namespace {

// The build tree's designs folder, found as the programs in build/src/<dir> find it.
QString buildTreeDesigns() {
    QDir dir(QCoreApplication::applicationDirPath());
    while (!dir.exists(QStringLiteral("CMakeCache.txt")))
        if (!dir.cdUp()) return {};
    const QString wanted = dir.absoluteFilePath(QStringLiteral("designs"));
    const QStringList found = shippedContentFolders(
        QStringLiteral("designs"), dir.absoluteFilePath(QStringLiteral("src/cli")));
    return found.contains(wanted) ? wanted : QString();
}

QList<DesignEntry> shippedDesigns() {
    const QString folder = buildTreeDesigns();
    return folder.isEmpty() ? QList<DesignEntry>{} : listDesigns({folder}, QString());
}

std::unique_ptr<CardDocument> openDesign(const QString& path, bbtest::ScriptedDialogs& dialogs,
                                         const RenderContext& ctx) {
    auto doc = std::make_unique<CardDocument>();
    CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    if (!openCardFile(*doc, path, fc)) return nullptr;
    return doc;
}

int distinctColours(const QImage& img) {
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3) seen.insert(img.pixel(x, y));
    return int(seen.size());
}

}  // namespace

TEST(ShippedDesigns, CoverTheOccasionsAndSizes) {
    const QList<DesignEntry> all = shippedDesigns();
    ASSERT_GE(all.size(), 36) << "designs folder: " << qPrintable(buildTreeDesigns());
    QHash<QString, int> perOccasion;
    QSet<QString> sizes;
    for (const DesignEntry& e : all) {
        EXPECT_TRUE(designOccasions().contains(e.occasion)) << qPrintable(e.occasion);
        EXPECT_FALSE(e.own);
        EXPECT_FALSE(e.keywords.isEmpty()) << qPrintable(e.name);
        ++perOccasion[e.occasion];
        CardFileData data;
        ASSERT_EQ(readCardFileData(e.cardPath, data), CardReadStatus::Ok) << qPrintable(e.cardPath);
        sizes.insert(
            QStringLiteral("%1x%2").arg(data.format.cardWidth).arg(data.format.cardHeight));
        EXPECT_TRUE(data.format.typeName.startsWith(QStringLiteral("Klappkarte")))
            << qPrintable(data.format.typeName);
    }
    EXPECT_GE(perOccasion.size(), 14);
    for (const QString& occasion : designOccasions()) {
        if (occasion == QLatin1String(kOwnDesignsOccasion)) continue;
        EXPECT_GE(perOccasion.value(occasion), 2) << qPrintable(occasion);
    }
    EXPECT_GE(sizes.size(), 3);

    // The searches people type.
    for (const DesignEntry& e : filterDesigns(all, QStringLiteral("hochzeit")))
        EXPECT_TRUE(e.occasion.startsWith(QStringLiteral("Hochzeit"))) << qPrintable(e.name);
    EXPECT_GE(filterDesigns(all, QStringLiteral("HOCHZEIT"), QStringLiteral("Hochzeit")).size(), 2);
    QSet<QString> babies;
    for (const DesignEntry& e : filterDesigns(all, QStringLiteral("baby")))
        babies.insert(e.occasion);
    EXPECT_TRUE(babies.contains(QStringLiteral("Geburt")));
    EXPECT_TRUE(babies.contains(QStringLiteral("Taufe")));
}

TEST(ShippedDesigns, EachOpensWholeAndSavesUnchanged) {
    const QList<DesignEntry> all = shippedDesigns();
    ASSERT_FALSE(all.isEmpty());
    const RenderContext ctx;
    for (const DesignEntry& e : all) {
        SCOPED_TRACE(e.cardPath.toStdString());
        bbtest::ScriptedDialogs dialogs;
        const auto doc = openDesign(e.cardPath, dialogs, ctx);
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(dialogs.messages.isEmpty())
            << qPrintable(dialogs.texts().join(QLatin1Char('\n')));

        QFile f(e.cardPath);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(cardFileBytes(*doc, createCardPreview(*doc, ctx)) == f.readAll())
            << "an unchanged save differs from the file";

        bool hasPicture = false;
        for (const int side : {int(SideOutside), int(SideInside)}) {
            const Background& bg =
                side == SideOutside ? doc->outsideBackground : doc->insideBackground;
            if (bg.backgroundMode != BgColor && bg.backgroundMode != BgNone) {
                EXPECT_FALSE(findStoredPicture(bg.backgroundFile, e.cardPath, {}).isEmpty());
                EXPECT_FALSE(bg.backgroundPicture.isNull() || bg.backgroundPicture.isStandIn());
                hasPicture = true;
            }
            int texts = 0;
            for (const CardObject* o : doc->sideSlots(side)) {
                if (!o || !o->used()) continue;
                if (o->kind == KindPicture) {
                    EXPECT_FALSE(findStoredPicture(o->content, e.cardPath, {}).isEmpty());
                    EXPECT_FALSE(o->picture.isNull() || o->picture.isStandIn());
                    hasPicture = true;
                }
                if (o->kind != KindText) continue;
                ++texts;
                EXPECT_FALSE(o->content.contains(QLatin1Char('?'))) << qPrintable(o->content);
                // The text stays inside its box, so nothing runs into the next text or off
                // the card when printed.
                const QSizeF extent = textExtent(*o, ctx, 1.0);
                EXPECT_LE(extent.height(), o->height * 1.02) << qPrintable(o->content);
                EXPECT_LE(extent.width(), o->width * 1.02) << qPrintable(o->content);
            }
            EXPECT_GE(texts, side == SideOutside ? 1 : 3) << "side " << side;
        }
        EXPECT_TRUE(hasPicture) << "no drawn picture or background";
    }
}

TEST(ShippedDesigns, BothSidesDraw) {
    const RenderContext ctx;
    for (const DesignEntry& e : shippedDesigns()) {
        SCOPED_TRACE(e.cardPath.toStdString());
        bbtest::ScriptedDialogs dialogs;
        const auto doc = openDesign(e.cardPath, dialogs, ctx);
        ASSERT_NE(doc, nullptr);
        for (const int side : {int(SideOutside), int(SideInside)}) {
            const DibImage drawn = renderExportPicture(*doc, side, ctx);
            ASSERT_FALSE(drawn.isNull());
            // A drawn background with its motifs and texts has many colours; a side that drew
            // nothing, or only a flat fill, has a handful.
            EXPECT_GT(distinctColours(drawn.toQImage()), 40) << "side " << side;
        }
    }
}
