// Designs in the window: "Neu..." with a design gives an untitled copy that saves like a new
// card and takes the design's pictures along; "Als Vorlage speichern..." keeps the card among
// the own designs, refuses unsafe names and a linked folder, and asks before replacing.
#include "AppTestSupport.h"

#include "content/DesignLibrary.h"
#include "content/DesignPreviews.h"
#include "document/EditHistory.h"
#include "editor/DesignGallery.h"
#include "editor/NewCardDialog.h"
#include "support/DesignFolder.h"

#include <QDir>
#include <QFile>

using namespace bb;
using namespace bbtest;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DesignWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeDesignCard(shipped(), QStringLiteral("ringe"), qRgb(250, 240, 230)));
        writeDesignIndex(shipped(), {{QStringLiteral("ringe"), QStringLiteral("Zwei Ringe"),
                                      QStringLiteral("Hochzeit"), QStringLiteral("heirat")}});
        MainWindow::Options o;
        o.programFolder = folder.path();
        o.screenDpi = 96;
        o.installStarter = false;
        o.useSettings = false;
        o.dataFolder = data();
        o.designFolders = {shipped()};
        w = std::make_unique<MainWindow>(dialogs, o);
        w->newCardDialog().setPreviewCacheFolder(QString());
        w->newCardDialog().previews().setRenderer([](const QString&, QSize) { return QImage(); });
    }
    void TearDown() override {
        if (w) {
            settle(*w);
            w->closeConfirmed = true;
            w->close();
        }
    }
    QString shipped() const { return folder.file(QStringLiteral("vorlagen")); }
    QString data() const { return folder.file(QStringLiteral("daten")); }
    QString ownFolder() const { return QDir(data()).filePath(QStringLiteral("Eigene Vorlagen")); }
    QString designCard() const { return QDir(shipped()).filePath(QStringLiteral("ringe.kar")); }
    void chooseDesign(const QString& card) {
        w->newCardDialog().setModalHook([card](NewCardDialog& d) {
            ASSERT_TRUE(d.gallery->selectDesign(card));
            d.okPressed();
        });
        w->newCard();
    }

    std::unique_ptr<MainWindow> w;
};

TEST_F(DesignWindowTest, DesignOpensAsUntitledCopyAndSavingTakesItsPicturesElsewhere) {
    const auto before = folderBytes(shipped());
    chooseDesign(designCard());
    CardDocument& doc = w->document();
    EXPECT_TRUE(doc.fileName.isEmpty());
    EXPECT_EQ(doc.titleName(), QStringLiteral("NONAME01"));
    EXPECT_FALSE(w->editing().history().isModified());
    EXPECT_FALSE(w->editing().history().canUndo());
    EXPECT_EQ(doc.insideSlots[1]->content, QStringLiteral("Alles Liebe, {Vorname}!"));
    EXPECT_FALSE(doc.outsideSlots[1]->picture.isNull());
    EXPECT_TRUE(w->recentCards().paths().isEmpty());

    // Saving asks for a name like any new card; the pictures go along even unticked.
    const QString target = folder.file(QStringLiteral("karten/hochzeit.kar"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
    dialogs.saveAnswers.push_back(FileDialogResult{target, 1, false});
    ASSERT_TRUE(w->saveCard());
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_TRUE(dialogs.saveRequests[0].checked);
    EXPECT_EQ(doc.fileName, target);
    EXPECT_TRUE(QFileInfo::exists(folder.file(QStringLiteral("karten/motiv-ringe.png"))));
    EXPECT_TRUE(QFileInfo::exists(folder.file(QStringLiteral("karten/hintergrund-ringe.png"))));
    EXPECT_EQ(folderBytes(shipped()), before);
}

TEST_F(DesignWindowTest, SavedAsOwnDesignAppearsInTheGalleryWithItsPictures) {
    ASSERT_TRUE(w->openCard(designCard()));
    QString asked;
    w->setDesignNameAsker([&](const QString& suggested) -> std::optional<QString> {
        asked = suggested;
        return QStringLiteral("Unsere Hochzeit");
    });
    w->saveAsDesign();
    EXPECT_EQ(asked, QStringLiteral("ringe"));  // the card's name is offered
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(w->document().fileName, designCard());  // the open card stays itself
    const QString mine = QDir(ownFolder()).filePath(QStringLiteral("Unsere Hochzeit.kar"));
    EXPECT_TRUE(QFileInfo(mine).isFile());
    EXPECT_TRUE(QFileInfo::exists(QDir(ownFolder()).filePath(QStringLiteral("motiv-ringe.png"))));

    QStringList shown;
    w->newCardDialog().setModalHook([&](NewCardDialog& d) {
        d.gallery->setOccasion(QString::fromLatin1(kOwnDesignsOccasion));
        shown = d.gallery->shownNames();
    });
    w->newCard();
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("Leere Karte"), QStringLiteral("Unsere Hochzeit")}));

    // The same name again asks; "Nein" keeps the earlier design.
    const QByteArray earlier = readAll(mine);
    putFigure(w->document(), 5, 1000, 1000, 5000, 5000, 0xFF);
    dialogs.answers = {BtnNo};
    w->saveAsDesign();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(readAll(mine), earlier);
    dialogs.answers = {BtnYes};
    w->saveAsDesign();
    EXPECT_NE(readAll(mine), earlier);
}

TEST_F(DesignWindowTest, UnsafeNameOrLinkedOwnFolderWritesNothing) {
    ASSERT_TRUE(w->openCard(designCard()));
    for (const QString& name : {QStringLiteral("../../weg"), QStringLiteral("a/b")}) {
        dialogs.messages.clear();
        w->setDesignNameAsker([name](const QString&) { return std::optional<QString>(name); });
        w->saveAsDesign();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    }
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("weg.kar"))));
    EXPECT_TRUE(QDir(ownFolder()).isEmpty());

    // A link in place of the own folder is never written through.
    ASSERT_TRUE(QDir(ownFolder()).removeRecursively() && QDir().mkpath(data()));
    const QString elsewhere = folder.file(QStringLiteral("fremd"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, ownFolder()));
    dialogs.messages.clear();
    w->setDesignNameAsker(
        [](const QString&) { return std::optional<QString>(QStringLiteral("X")); });
    w->saveAsDesign();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    // Nor listed from.
    ASSERT_TRUE(writeDesignCard(elsewhere, QStringLiteral("fremd"), qRgb(0, 0, 0)));
    QStringList shown;
    w->newCardDialog().setModalHook([&](NewCardDialog& d) { shown = d.gallery->shownNames(); });
    w->newCard();
    EXPECT_FALSE(shown.contains(QStringLiteral("fremd")));
}

}  // namespace
