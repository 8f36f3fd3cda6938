// The gallery page of "Neue Karte erstellen": "Leere Karte" first, the designs by occasion, the
// search, the way to the card types, choosing and deleting designs, and previews that come
// from the cache the second time the dialog opens.
#include "content/DesignLibrary.h"
#include "content/DesignPreviews.h"
#include "document/Catalogue.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/DesignGallery.h"
#include "editor/NewCardDialog.h"
#include "support/DesignFolder.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

using namespace bb;
using namespace bbtest;

namespace {

class DesignGalleryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QList<IndexedDesign> index = {
            {QStringLiteral("trauer"), QStringLiteral("Stille Lilien"), QStringLiteral("Trauer"),
             QStringLiteral("beileid, abschied")},
            {QStringLiteral("torte"), QStringLiteral("Bunte Torte"), QStringLiteral("Geburtstag"),
             QStringLiteral("party")},
            {QStringLiteral("ringe"), QStringLiteral("Zwei Ringe"), QStringLiteral("Hochzeit"),
             QStringLiteral("heirat, trauung, braut")},
            {QStringLiteral("storch"), QStringLiteral("Willkommen, kleiner Stern"),
             QStringLiteral("Geburt"), QStringLiteral("baby")},
        };
        for (const IndexedDesign& d : index)
            ASSERT_TRUE(writeDesignCard(shipped(), d.file, qRgb(240, 240, 220)));
        writeDesignIndex(shipped(), index);
        ASSERT_TRUE(writeDesignCard(own(), QStringLiteral("Meine Karte"), qRgb(1, 2, 3)));

        newCard.setProgramFolder(folder.path());
        newCard.setTypeEditor(&typeEditor);
        CardFormat a6;
        a6.typeName = QStringLiteral("Klappkarte A6");
        a6.cardWidth = 210;
        a6.cardHeight = 148;
        ASSERT_TRUE(saveCardTypes(folder.path(), {a6}));
        newCard.setDesignSource([this] { return listDesigns({shipped()}, own()); });
        newCard.setOwnDesignsFolder(own());
        newCard.setPreviewCacheFolder(folder.file(QStringLiteral("cache")));
        newCard.previews().setRenderer([this](const QString&, QSize box) {
            ++drawn;
            QImage image(box.width() / 2, box.height(), QImage::Format_RGB32);
            image.fill(Qt::blue);
            return image;
        });
    }
    QString shipped() const { return folder.file(QStringLiteral("vorlagen")); }
    QString own() const { return folder.file(QStringLiteral("Eigene Vorlagen")); }
    QString design(const char* file) const {
        return QDir(shipped()).filePath(QString::fromLatin1(file) + QStringLiteral(".kar"));
    }

    TempFolder folder;
    ScriptedDialogs dialogs;
    CardTypeEditDialog typeEditor{dialogs};
    NewCardDialog newCard{dialogs};
    CardFormat format;
    std::atomic<int> drawn{0};
};

TEST_F(DesignGalleryTest, ListsBlankCardFirstThenDesignsByOccasionAndSearchFilters) {
    newCard.setModalHook([&](NewCardDialog& d) {
        EXPECT_TRUE(d.galleryShown());
        DesignGallery& g = *d.gallery;
        EXPECT_TRUE(g.blankSelected());
        EXPECT_EQ(
            g.shownNames(),
            (QStringList{QStringLiteral("Leere Karte"), QStringLiteral("Bunte Torte"),
                         QStringLiteral("Zwei Ringe"), QStringLiteral("Willkommen, kleiner Stern"),
                         QStringLiteral("Stille Lilien"), QStringLiteral("Meine Karte")}));
        EXPECT_EQ(g.searchEdit->objectName(), QStringLiteral("vorlagenSuche"));

        QTest::keyClicks(g.searchEdit, QStringLiteral("hochzeit"));
        EXPECT_EQ(g.shownNames(),
                  (QStringList{QStringLiteral("Leere Karte"), QStringLiteral("Zwei Ringe")}));
        g.searchEdit->setText(QStringLiteral("BABY"));
        EXPECT_EQ(g.shownNames(), (QStringList{QStringLiteral("Leere Karte"),
                                               QStringLiteral("Willkommen, kleiner Stern")}));
        // A design hidden by the search cannot stay chosen.
        EXPECT_TRUE(g.selectDesign(design("storch")));
        g.searchEdit->setText(QStringLiteral("trauung"));
        EXPECT_TRUE(g.blankSelected());
        EXPECT_EQ(g.currentDesign(), nullptr);

        g.searchEdit->clear();
        g.setOccasion(QString::fromLatin1(kOwnDesignsOccasion));
        EXPECT_EQ(g.shownNames(),
                  (QStringList{QStringLiteral("Leere Karte"), QStringLiteral("Meine Karte")}));
        g.setOccasion(QStringLiteral("Ostern"));  // none of that occasion here
        EXPECT_EQ(g.shownNames(), QStringList{QStringLiteral("Leere Karte")});
    });
    EXPECT_EQ(newCard.runModal(format), QDialog::Rejected);
}

TEST_F(DesignGalleryTest, BlankCardLeadsToTheCardTypesAndDesignsCloseWithTheirFile) {
    newCard.setModalHook([](NewCardDialog& d) {
        d.okPressed();  // "Leere Karte" is selected
        EXPECT_FALSE(d.galleryShown());
        d.showGallery();  // "Zurück"
        EXPECT_TRUE(d.galleryShown());
        d.gallery->selectBlank();
        d.gallery->activateCurrent();
        ASSERT_FALSE(d.galleryShown());
        d.selectType(0);
        d.okPressed();
    });
    ASSERT_EQ(newCard.runModal(format), QDialog::Accepted);
    EXPECT_EQ(format.typeName, QStringLiteral("Klappkarte A6"));
    EXPECT_TRUE(newCard.chosenDesign().isEmpty());

    CardFormat untouched;
    untouched.typeName = QStringLiteral("bleibt");
    newCard.setModalHook([this](NewCardDialog& d) {
        ASSERT_TRUE(d.galleryShown());  // every opening starts on the gallery
        ASSERT_TRUE(d.gallery->selectDesign(design("ringe")));
        d.okPressed();
    });
    ASSERT_EQ(newCard.runModal(untouched), QDialog::Accepted);
    EXPECT_EQ(newCard.chosenDesign(), design("ringe"));
    EXPECT_EQ(untouched.typeName, QStringLiteral("bleibt"));
}

TEST_F(DesignGalleryTest, SecondOpeningTakesEveryPreviewFromTheCache) {
    const auto waitForPreviews = [](NewCardDialog& d) {
        EXPECT_TRUE(runUntil([&] { return d.previews().pending() == 0; }));
    };
    newCard.setModalHook(waitForPreviews);
    newCard.runModal(format);
    EXPECT_EQ(drawn.load(), 5);

    int pendingAtOpen = -1;
    newCard.setModalHook([&](NewCardDialog& d) { pendingAtOpen = d.previews().pending(); });
    newCard.runModal(format);
    EXPECT_EQ(pendingAtOpen, 0);
    EXPECT_EQ(drawn.load(), 5);

    // A new run of the program finds them in the cache folder.
    newCard.setPreviewCacheFolder(folder.file(QStringLiteral("cache")));
    newCard.previews().setRenderer([this](const QString&, QSize) {
        ++drawn;
        return QImage();
    });
    newCard.setModalHook(waitForPreviews);
    newCard.runModal(format);
    EXPECT_EQ(drawn.load(), 5);
}

TEST_F(DesignGalleryTest, OwnDesignIsDeletedOnlyWhenConfirmed) {
    const QString mine = QDir(own()).filePath(QStringLiteral("Meine Karte.kar"));
    newCard.setModalHook([&](NewCardDialog& d) {
        dialogs.answers = {BtnNo};
        d.deleteOwnDesignAsked(mine);
        EXPECT_TRUE(QFileInfo::exists(mine));
        EXPECT_TRUE(d.gallery->shownNames().contains(QStringLiteral("Meine Karte")));
        dialogs.answers = {BtnYes};
        d.deleteOwnDesignAsked(mine);
        EXPECT_FALSE(QFileInfo::exists(mine));
        EXPECT_FALSE(d.gallery->shownNames().contains(QStringLiteral("Meine Karte")));
        // A shipped design is never deleted.
        dialogs.answers = {BtnYes};
        d.deleteOwnDesignAsked(design("ringe"));
        EXPECT_TRUE(QFileInfo::exists(design("ringe")));
    });
    newCard.runModal(format);
    ASSERT_EQ(dialogs.messages.size(), 4);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Die eigene Vorlage „Meine Karte“ löschen?"));
    EXPECT_EQ(dialogs.messages[3].icon, MsgIcon::Warning);
}

}  // namespace
