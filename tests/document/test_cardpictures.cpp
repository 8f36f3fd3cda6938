// Copying a card's pictures into the folder it is saved in: clashes of names, a picture not
// found, and the saved folder opened after it was moved.
#include "document/CardPictures.h"

#include "CardFileFixture.h"

#include <QDir>
#include <QImage>

using namespace bb;
using namespace bbtest;

namespace {

using CardPicturesTest = CardFileTest;

TEST_F(CardPicturesTest, ReusesRenamesReportsAndTheMovedFolderFindsEveryPicture) {
    const auto picture = [this](const char* name, QRgb colour) {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(p, "PNG"));
        return p;
    };
    const auto put = [this](int side, int slot, const QString& name) {
        doc->sideSlots(side)[slot]->kind = KindPicture;
        doc->sideSlots(side)[slot]->content = name;
    };
    put(SideOutside, 1, picture("fotos/rot.png", qRgb(255, 0, 0)));
    put(SideOutside, 2, picture("fotos/blau.png", qRgb(0, 0, 255)));
    put(SideInside, 5, path("fotos/blau.png"));  // one copy for both
    picture("alt/gruen.png", qRgb(0, 255, 0));   // found beside the card by its file part
    put(SideInside, 3, QStringLiteral("D:\\Bilder\\gruen.png"));
    put(SideInside, 4, QStringLiteral("/gibt/es/nicht/weg.png"));
    doc->outsideBackground.backgroundMode = BgStretched;
    doc->outsideBackground.backgroundFile = picture("fotos/gelb.png", qRgb(255, 255, 0));
    picture("neu/rot.png", qRgb(255, 0, 0));  // the same red: used
    picture("neu/blau.png", qRgb(1, 2, 3));   // another blue: never overwritten
    // The program folder would answer a bare "gelb.png" with another picture.
    picture("programm/gelb.png", qRgb(9, 9, 9));
    fc.programFolder = path("programm");
    ASSERT_TRUE(save(*doc, path("alt/karte.kar")));
    ASSERT_TRUE(open(*doc, path("alt/karte.kar")));

    const CardPictureCopy copy = copyCardPictures(*doc, path("neu/karte.kar"), fc.programFolder);
    EXPECT_TRUE(copy.ok());
    EXPECT_EQ(copy.reused, QStringList{QStringLiteral("rot.png")});
    EXPECT_EQ(copy.copied.size(), 3);
    EXPECT_EQ(copy.missing, QStringList{QStringLiteral("/gibt/es/nicht/weg.png")});
    EXPECT_EQ(doc->outsideSlots[1]->content, QStringLiteral("rot.png"));
    EXPECT_EQ(doc->insideSlots[5]->content, QStringLiteral("blau (2).png"));
    EXPECT_EQ(doc->insideSlots[3]->content, QStringLiteral("gruen.png"));
    EXPECT_EQ(doc->insideSlots[4]->content, QStringLiteral("/gibt/es/nicht/weg.png"));
    EXPECT_EQ(doc->outsideBackground.backgroundFile, QStringLiteral("gelb (2).png"));
    ASSERT_TRUE(save(*doc, path("neu/karte.kar")));
    EXPECT_EQ(QImage(path("neu/blau.png")).pixel(0, 0), qRgb(1, 2, 3));

    // Sent on: the folder moves, the originals are gone.
    ASSERT_TRUE(QDir().rename(path("neu"), path("weg")));
    ASSERT_TRUE(QDir(path("fotos")).removeRecursively() && QDir(path("alt")).removeRecursively());
    dialogs.messages.clear();
    ASSERT_TRUE(open(*doc, path("weg/karte.kar")));
    const auto colour = [](const DibImage& p) { return pixelColor(p, getPixel(p, 0, 0)); };
    EXPECT_EQ(colour(doc->outsideSlots[1]->picture), rgbRef(255, 0, 0));
    EXPECT_EQ(colour(doc->outsideSlots[2]->picture), rgbRef(0, 0, 255));
    EXPECT_EQ(colour(doc->insideSlots[3]->picture), rgbRef(0, 255, 0));
    EXPECT_EQ(colour(doc->outsideBackground.backgroundPicture), rgbRef(255, 255, 0));
    EXPECT_EQ(dialogs.messages.size(), 1);  // only the picture that was never there
}

}  // namespace
