// Writes that fail (a full disk, and a failure injected at each step of the writer) never
// empty or shorten a card, the catalogue or a recovery copy, are reported with the file and
// the reason, and leave the card counted as unsaved.
#include "CardFileFixture.h"
#include "document/CardPictures.h"
#include "document/Catalogue.h"
#include "document/Recovery.h"
#include "pictures/AtomicWrite.h"
#include "support/FullDisk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <cerrno>

namespace bbtest {
namespace {

const QString kNoSpace = QStringLiteral("Kein Speicherplatz mehr auf dem Gerät");
const QString kWriteFailed =
    QStringLiteral("Beim Schreiben der Datei ist ein Fehler aufgetreten!\n");

// A card with an edit since it was opened from `path`.
void editedCardFrom(CardDocument& d, const QString& path) {
    d.fileName = path;
    d.markSaved();
    setAll(*d.outsideSlots[4], 3, KindText);
}

TEST_F(CardFileTest, ASaveOntoAFullDiskKeepsTheCardAndSaysWhy) {
    FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    // A small card: its bytes fit in a write buffer, where a full disk only shows at the end.
    const QString card = disk.file(QStringLiteral("Voll.kar"));
    writeAll(card, smallCard());
    const QByteArray old = readAll(card);
    ASSERT_LT(old.size(), 16 * 1024);
    ASSERT_TRUE(open(*doc, card));
    editedCardFrom(*doc, card);
    ASSERT_TRUE(disk.fill());

    EXPECT_FALSE(save(*doc, card));
    EXPECT_EQ(readAll(card), old);
    EXPECT_EQ(dialogs.texts(), QStringList{kWriteFailed + card + QStringLiteral(": ") + kNoSpace});
    EXPECT_TRUE(doc->hasUnsavedChanges());
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral(".filler"), QStringLiteral("Voll.kar")}));

    // With room again the same save goes through.
    disk.release();
    dialogs.messages.clear();
    EXPECT_TRUE(save(*doc, card));
    EXPECT_FALSE(doc->hasUnsavedChanges());
    EXPECT_NE(readAll(card), old);
}

TEST_F(CardFileTest, ACardSaveFailingAtAnyStepKeepsTheOldFile) {
    writeAll(path("alt.kar"), smallCard());
    const QByteArray old = readAll(path("alt.kar"));
    ASSERT_TRUE(open(*doc, path("alt.kar")));
    editedCardFrom(*doc, path("alt.kar"));
    for (const WriteStep step : {WriteStep::Create, WriteStep::Write, WriteStep::Sync,
                                 WriteStep::Verify, WriteStep::Rename}) {
        SCOPED_TRACE(int(step));
        dialogs.messages.clear();
        {
            const InjectedWriteFault fault(step, EIO);
            EXPECT_FALSE(save(*doc, path("alt.kar")));
        }
        EXPECT_EQ(readAll(path("alt.kar")), old);
        EXPECT_TRUE(doc->hasUnsavedChanges());
        ASSERT_EQ(dialogs.messages.size(), 1);
        const QString reason = path("alt.kar") + QStringLiteral(": Ein-/Ausgabefehler des Geräts");
        if (step == WriteStep::Create) {
            EXPECT_EQ(dialogs.messages[0].caption,
                      QStringLiteral("Fehler: Datei konnte nicht erstellt werden"));
            EXPECT_TRUE(dialogs.messages[0].text.endsWith(reason));
        } else {
            EXPECT_EQ(dialogs.messages[0].text, kWriteFailed + reason);
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("alt.kar")});
}

TEST(FailedWrites, TheCatalogueKeepsItsOldContent) {
    TempFolder dir;
    const CardFormat type = CardFormat();
    ASSERT_TRUE(saveCardTypes(dir.path(), {type, type}));
    const QByteArray before = readAll(dir.file(QStringLiteral("Visiten.dat")));
    const InjectedWriteFault fault(WriteStep::Sync, ENOSPC, QStringLiteral("Visiten.dat"));
    int error = 0;
    EXPECT_FALSE(saveCardTypes(dir.path(), {}, &error));
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(readAll(dir.file(QStringLiteral("Visiten.dat"))), before);
}

TEST_F(CardFileTest, ARecoveryCopyThatCannotBeWrittenKeepsTheEarlierOne) {
    RecoveryFolder folder(path("rec"), QStringLiteral("eins"));
    RecoveryHeader header;
    ASSERT_TRUE(folder.write(header, QByteArrayLiteral("erste Sicherung")));
    const QByteArray first = readAll(folder.ownFile());
    QString error;
    {
        const InjectedWriteFault fault(WriteStep::Write, ENOSPC);
        EXPECT_FALSE(folder.write(header, QByteArrayLiteral("zweite"), &error));
    }
    EXPECT_EQ(error, folder.ownFile() + QStringLiteral(": ") + kNoSpace);
    EXPECT_EQ(readAll(folder.ownFile()), first);
}

TEST_F(CardFileTest, APictureThatDoesNotFitIsNotCopiedHalf) {
    FullDisk disk;
    BB_REQUIRE_FULL_DISK(disk);
    // Noise does not compress: the file is larger than the disk's room.
    QImage image(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
    ASSERT_TRUE(image.save(path("foto.png"), "PNG"));
    doc->outsideSlots[1]->kind = KindPicture;
    doc->outsideSlots[1]->content = path("foto.png");
    ASSERT_TRUE(disk.fill());

    const CardPictureCopy copy = copyCardPictures(*doc, disk.file(QStringLiteral("karte.kar")), {});
    EXPECT_FALSE(copy.ok());
    EXPECT_EQ(copy.failed, QStringList{path("foto.png") + QStringLiteral(": ") + kNoSpace});
    EXPECT_EQ(doc->outsideSlots[1]->content, path("foto.png"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral(".filler")});
}

}  // namespace
}  // namespace bbtest
