// Designs as the start of a new card and the user's own designs: the copy is untitled and
// takes the design's pictures along when saved elsewhere, the design folder is never written;
// own designs are saved with their pictures under safe names only, and deleted only there.
#include "content/DesignCards.h"
#include "content/DesignLibrary.h"
#include "render/Ornaments.h"
#include "support/DesignFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace bb;
using namespace bbtest;

namespace {

class DesignCardsTest : public ::testing::Test {
protected:
    void SetUp() override {
        design = tmp.file(QStringLiteral("vorlagen"));
        ASSERT_TRUE(writeDesignCard(design, QStringLiteral("rosen"), qRgb(250, 220, 230)));
        designCard = QDir(design).filePath(QStringLiteral("rosen.kar"));
    }
    QString path(const QString& name) const { return tmp.file(name); }

    TempFolder tmp;
    QString design, designCard;
    ScriptedDialogs dialogs;
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
};

TEST_F(DesignCardsTest, CopyIsUntitledEqualToTheDesignAndSavedElsewhereWithItsPictures) {
    const auto before = folderBytes(design);
    auto original = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardFile(*original, designCard, fc));

    auto doc = std::make_unique<CardDocument>();
    ASSERT_TRUE(openDesignCopy(*doc, designCard, fc));
    EXPECT_TRUE(doc->fileName.isEmpty());
    EXPECT_EQ(doc->titleName(), QStringLiteral("NONAME01"));
    EXPECT_FALSE(doc->hasUnsavedChanges());
    EXPECT_EQ(cardFileBytes(*doc, DibImage()), cardFileBytes(*original, DibImage()));
    EXPECT_FALSE(doc->outsideSlots[1]->picture.isNull());
    EXPECT_FALSE(doc->outsideBackground.backgroundPicture.isNull());

    // Saved into another folder as a new card is: the pictures go along.
    const QString target = path(QStringLiteral("karten/oma.kar"));
    QDir().mkpath(QFileInfo(target).absolutePath());
    const CardPictureCopy copy = copyCardPictures(*doc, target, QString());
    EXPECT_TRUE(copy.ok());
    EXPECT_TRUE(copy.missing.isEmpty());
    EXPECT_EQ(copy.copied.size(), 2);
    ASSERT_TRUE(saveCardFile(*doc, target, fc));
    EXPECT_EQ(folderBytes(design), before);

    // The saved card needs nothing from the design folder any more.
    ASSERT_TRUE(QDir(design).removeRecursively());
    dialogs.messages.clear();
    auto reopened = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardFile(*reopened, target, fc));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(reopened->outsideSlots[1]->picture.isNull());
    EXPECT_FALSE(reopened->outsideBackground.backgroundPicture.isNull());
}

TEST_F(DesignCardsTest, DamagedDesignIsRefusedAndLeavesNoPictureSource) {
    QFile f(path(QStringLiteral("kaputt.kar")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Tovarin Brisella-Bildwerker 1.0");
    f.close();
    auto doc = std::make_unique<CardDocument>();
    EXPECT_FALSE(openDesignCopy(*doc, f.fileName(), fc));
    EXPECT_TRUE(doc->pictureSource.isEmpty());
    EXPECT_FALSE(dialogs.messages.isEmpty());
}

TEST_F(DesignCardsTest, OwnDesignTakesItsPicturesAndLeavesTheOpenCardAsItWas) {
    auto doc = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardFile(*doc, designCard, fc));
    const QByteArray content = doc->contentSnapshot();
    const QString own = path(QStringLiteral("Eigene Vorlagen"));
    ASSERT_TRUE(QDir().mkpath(own));

    const OwnDesignSave saved = saveOwnDesign(*doc, own, QStringLiteral("Omas Rosen"), ctx, {});
    ASSERT_TRUE(saved.ok) << qPrintable(saved.problem);
    EXPECT_EQ(saved.path, QDir(own).filePath(QStringLiteral("Omas Rosen.kar")));
    EXPECT_TRUE(QFileInfo::exists(QDir(own).filePath(QStringLiteral("motiv-rosen.png"))));
    EXPECT_TRUE(QFileInfo::exists(QDir(own).filePath(QStringLiteral("hintergrund-rosen.png"))));
    EXPECT_EQ(doc->fileName, designCard);
    EXPECT_EQ(doc->contentSnapshot(), content);
    EXPECT_FALSE(doc->hasUnsavedChanges());

    const QList<DesignEntry> listed = listDesigns({}, own);
    ASSERT_EQ(listed.size(), 1);
    EXPECT_TRUE(listed[0].own);
    EXPECT_EQ(listed[0].name, QStringLiteral("Omas Rosen"));
    EXPECT_EQ(listed[0].occasion, QString::fromLatin1(kOwnDesignsOccasion));

    // The own design opens on its own, pictures included.
    ASSERT_TRUE(QDir(design).removeRecursively());
    auto again = std::make_unique<CardDocument>();
    dialogs.messages.clear();
    ASSERT_TRUE(openDesignCopy(*again, saved.path, fc));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(again->outsideSlots[1]->picture.isNull());

    // Deleted only from its folder.
    EXPECT_FALSE(deleteOwnDesign(path(QStringLiteral("anderswo")), saved.path));
    EXPECT_TRUE(deleteOwnDesign(own, saved.path));
    EXPECT_FALSE(QFileInfo::exists(saved.path));
    EXPECT_TRUE(listDesigns({}, own).isEmpty());
}

TEST_F(DesignCardsTest, OwnDesignTakesTheOlderProgramsPictureOfAnOrnament) {
    auto doc = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardFile(*doc, designCard, fc));
    ASSERT_FALSE(ornamentCatalogue().empty());
    const OrnamentInfo& heart = ornamentCatalogue().front();
    const int slot = doc->findFreeSlot(SideInside);
    CardObject& o = *doc->sideSlots(SideInside)[slot];
    o.x = o.y = 4000;
    o.width = o.height = 3000;
    makeOrnamentObject(o, heart, 0x0000FF);
    const QString own = path(QStringLiteral("Eigene Vorlagen"));
    ASSERT_TRUE(QDir().mkpath(own));

    const OwnDesignSave saved = saveOwnDesign(*doc, own, QStringLiteral("Mit Schmuck"), ctx, {});
    ASSERT_TRUE(saved.ok) << qPrintable(saved.problem);
    EXPECT_TRUE(saved.pictures.failed.isEmpty());
    const QString png = QDir(own).filePath(ornamentPictureName(heart, 0x0000FF));
    EXPECT_TRUE(QFileInfo(png).isFile()) << qPrintable(png);
}

TEST_F(DesignCardsTest, UnsafeNamesAndLinksNeverWriteOutsideTheOwnFolder) {
    auto doc = std::make_unique<CardDocument>();
    ASSERT_TRUE(openCardFile(*doc, designCard, fc));
    const QString own = path(QStringLiteral("Eigene Vorlagen"));
    ASSERT_TRUE(QDir().mkpath(own));
    for (const QString& name :
         {QString(), QStringLiteral("  "), QStringLiteral("a/b"), QStringLiteral(".."),
          QStringLiteral("../weg"), QStringLiteral(".versteckt"), QStringLiteral("a\\b"),
          QStringLiteral("zeile\nzwei"), QString(101, QLatin1Char('x'))}) {
        EXPECT_FALSE(ownDesignNameProblem(name).isEmpty()) << qPrintable(name);
        EXPECT_FALSE(saveOwnDesign(*doc, own, name, ctx, {}).ok) << qPrintable(name);
    }
    EXPECT_TRUE(ownDesignNameProblem(QStringLiteral("Für Oma – 80. Geburtstag")).isEmpty());
    EXPECT_TRUE(QDir(own).isEmpty());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);

    // A link in place of the folder, or of the design's file, is not written through.
    const QString elsewhere = path(QStringLiteral("fremd"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString linked = path(QStringLiteral("Verlinkt"));
    ASSERT_TRUE(QFile::link(elsewhere, linked));
    EXPECT_FALSE(saveOwnDesign(*doc, linked, QStringLiteral("Karte"), ctx, {}).ok);
    const QString victim = QDir(elsewhere).filePath(QStringLiteral("wichtig.kar"));
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("bleibt");
    v.close();
    ASSERT_TRUE(QFile::link(victim, QDir(own).filePath(QStringLiteral("Karte.kar"))));
    EXPECT_FALSE(saveOwnDesign(*doc, own, QStringLiteral("Karte"), ctx, {}).ok);
    EXPECT_FALSE(deleteOwnDesign(own, QDir(own).filePath(QStringLiteral("Karte.kar"))));
    EXPECT_TRUE(QDir(elsewhere).entryList(QDir::Files) ==
                QStringList{QStringLiteral("wichtig.kar")});
    QFile check(victim);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("bleibt"));
}

}  // namespace
