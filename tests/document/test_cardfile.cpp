// The card file: byte layout, round trips, the save question, pictures named in the file,
// atomic saving with the reasons of failed saves, and the stored preview.
#include "CardFileFixture.h"
#include "document/FileErrors.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <memory>
#include <random>

using namespace bb;
using namespace bbtest;

namespace {

// Makes a folder refuse new files to this process for its lifetime: no write permission, and
// for a user whom permissions do not stop (root), the immutable attribute where the file
// system has one. ok() is false when neither works here.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path) : path_(path) {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
        if (writable()) setImmutable(true);
        ok_ = !writable();
    }
    ~UnwritableFolder() {
        if (immutable_) setImmutable(false);
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ok() const { return ok_; }

private:
    bool writable() const {
        QFile probe(path_ + QStringLiteral("/probe"));
        if (!probe.open(QIODevice::WriteOnly)) return false;
        probe.remove();
        return true;
    }
    void setImmutable(bool on) {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
        }
        ::close(fd);
    }

    QString path_;
    bool immutable_ = false;
    bool ok_ = false;
};

}  // namespace

TEST_F(CardFileTest, LayoutOfAnEmptyCard) {
    ASSERT_TRUE(save(*doc, path("leer.kar")));
    const QByteArray b = readAll(path("leer.kar"));
    EXPECT_EQ(b.left(32), QByteArray("Tovarin Brisella-Bildwerker 1.0", 32));
    EXPECT_EQ(i32At(b, 32), 40);  // HeaderSize
    EXPECT_EQ(i32At(b, 36), 0);   // ColourCount
    EXPECT_EQ(i32At(b, 40), 40);  // biSize
    EXPECT_EQ(i32At(b, 44), 86);
    EXPECT_EQ(i32At(b, 48), 64);
    EXPECT_EQ(qFromLittleEndian<uint16_t>(b.constData() + 52), 1);
    EXPECT_EQ(qFromLittleEndian<uint16_t>(b.constData() + 54), 24);
    EXPECT_EQ(i32At(b, 56), 0);  // no compression
    // Rows 80..16719, bottom row first: the marked top-left pixel is in the last row.
    const qsizetype lastRow = 80 + 63 * 260;
    EXPECT_EQ(b.mid(lastRow, 3), QByteArray("\x1E\x14\x0A", 3));  // blue, green, red
    EXPECT_EQ(b.mid(80, 3), QByteArray("\xFF\xFF\xFF", 3));
    EXPECT_EQ(b.mid(16720, 112), doc->format.toBytes());

    QByteArray tail;
    tail += le32(472441) + le32(354331);
    tail += le32(-1) + QByteArray(1, '\0') + le32(-1) + QByteArray(1, '\0');
    tail += le64(1.0) + le64(312.0);
    tail += le32(10001) + le32(10001);
    tail += le32(0xFFFFFF) + le32(0xFFFFFF);
    EXPECT_EQ(b.mid(16832), tail);

    auto back = std::make_unique<CardDocument>();
    back->format.cardWidth = 1;
    back->markSaved();  // no question before opening
    ASSERT_TRUE(open(*back, path("leer.kar")));
    EXPECT_EQ(back->format, CardFormat());
    EXPECT_EQ(back->usedCount(back->outsideSlots) + back->usedCount(back->insideSlots), 0);
    EXPECT_EQ(back->titleName(), QStringLiteral("leer.kar"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CardFileTest, RoundTripOfEveryField) {
    doc->format.leftMargin = 10;
    doc->format.topMargin = 12.5;
    doc->format.pitchX = 95;
    doc->format.pitchY = 55;
    doc->format.cardWidth = 90;
    doc->format.cardHeight = 55;
    doc->format.cardsAcross = 2;
    doc->format.cardsDown = 5;
    doc->format.typeName = QStringLiteral("Größe ß");
    doc->sideWidthUnits = 111;  // stored as they are, not recomputed
    doc->sideHeightUnits = 222;
    doc->zoomFactor = 1.5;
    doc->unitsPerPixel = 208;
    setAll(*doc->outsideSlots[3], 1, KindText);
    setAll(*doc->outsideSlots[10000], 2, KindFigure);
    setAll(*doc->insideSlots[1], 3, KindText);
    setAll(*doc->insideSlots[10000], 4, KindText);
    doc->sideBackground(SideOutside).backgroundMode = BgColor;  // the outside is the working side
    doc->sideBackground(SideOutside).backgroundColor = 0x112233;
    doc->insideBackground.backgroundMode = BgNone;
    doc->insideBackground.backgroundFile =
        QStringLiteral("nicht geladen.bmp");  // mode -1: not loaded
    doc->insideBackground.backgroundColor = 0x445566;
    ASSERT_TRUE(save(*doc, path("voll.kar")));

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("voll.kar")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(back->format, doc->format);
    EXPECT_EQ(back->sideWidthUnits, 111);
    EXPECT_EQ(back->sideHeightUnits, 222);
    EXPECT_EQ(back->zoomFactor, 1.5);
    EXPECT_EQ(back->unitsPerPixel, 208);
    EXPECT_EQ(back->usedCount(back->outsideSlots), 2);
    EXPECT_EQ(back->usedCount(back->insideSlots), 2);
    for (int s : {3, 10000}) expectSameObject(*back->outsideSlots[s], *doc->outsideSlots[s]);
    for (int s : {1, 10000}) expectSameObject(*back->insideSlots[s], *doc->insideSlots[s]);
    EXPECT_EQ(back->outsideBackground.backgroundMode, BgColor);
    EXPECT_EQ(back->outsideBackground.backgroundColor, 0x112233u);
    EXPECT_EQ(back->insideBackground.backgroundFile, QStringLiteral("nicht geladen.bmp"));
    EXPECT_EQ(back->insideBackground.backgroundColor, 0x445566u);
    EXPECT_TRUE(back->insideBackground.backgroundPicture.isNull());

    // The line separator and the umlauts are single bytes; slots in ascending order.
    const QByteArray b = readAll(path("voll.kar"));
    const QByteArray text(
        "Zeile eins\rZeile zwei: \xE4\xF6\xFC \xC4\xD6\xDC \xDF \x80"
        "1");
    EXPECT_TRUE(b.contains(text + '\0'));
    EXPECT_LT(b.indexOf(le32(3) + le32(-1000)), b.indexOf(le32(10000) + le32(-2000)));
    // Saving what was read gives the same bytes.
    ASSERT_TRUE(save(*back, path("wieder.kar")));
    EXPECT_EQ(readAll(path("wieder.kar")), b);
}

TEST_F(CardFileTest, MissingOrPartialColours) {
    const QByteArray full = smallCard();
    writeAll(path("ohne.kar"), QByteArrayView(full).chopped(8));
    ASSERT_TRUE(open(*doc, path("ohne.kar")));
    EXPECT_EQ(doc->outsideBackground.backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(doc->insideBackground.backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(doc->insideSlots[7]->kind, KindFigure);

    writeAll(path("halb.kar"), QByteArrayView(full).chopped(4));
    doc = std::make_unique<CardDocument>();
    dialogs.messages.clear();
    EXPECT_FALSE(open(*doc, path("halb.kar")));
    EXPECT_EQ(dialogs.texts(), QStringList{kDamaged + '\n' + path("halb.kar")});
}

TEST_F(CardFileTest, SaveQuestionBeforeOpening) {
    writeAll(path("karte.kar"), smallCard());
    doc->sideSlots(SideOutside)[1]->kind = KindFigure;
    // Cancel stops; Yes without a way to save stops; Yes with a failing save stops.
    dialogs.answers = {BtnCancel, BtnYes, BtnYes};
    EXPECT_FALSE(open(*doc, path("karte.kar")));
    EXPECT_FALSE(open(*doc, path("karte.kar")));
    int saves = 0;
    fc.saveCurrent = [&] {
        ++saves;
        return false;
    };
    EXPECT_FALSE(open(*doc, path("karte.kar")));
    EXPECT_EQ(doc->sideSlots(SideOutside)[1]->kind, KindFigure);
    dialogs.answers = {BtnYes};
    fc.saveCurrent = [&] {
        ++saves;
        return true;
    };
    EXPECT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(doc->outsideSlots[1]->kind, KindFree);
    EXPECT_EQ(doc->outsideSlots[2]->kind, KindText);

    // Nothing changed since the card was opened: no question, although the side shown holds
    // an object.
    dialogs.messages.clear();
    EXPECT_FALSE(open(*doc, path("gibtsnicht.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    // The second line names the file.
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Beim Öffnen der Datei ist ein Fehler aufgetreten!\n") +
                  path("gibtsnicht.kar"));
    EXPECT_EQ(dialogs.messages[0].caption,
              QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"));

    // Changes on the side not shown ask: an object, then the background.
    doc->insideSlots[9]->kind = KindFigure;
    dialogs.messages.clear();
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(open(*doc, path("karte.kar")));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Wollen Sie vorher speichern?")});
    EXPECT_EQ(doc->insideSlots[9]->kind, KindFigure);
    dialogs.answers = {BtnNo};
    EXPECT_TRUE(open(*doc, path("karte.kar")));
    doc->insideBackground.backgroundColor ^= 0x123456;
    dialogs.messages.clear();
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(open(*doc, path("karte.kar")));
    EXPECT_EQ(dialogs.messages.size(), 1);

    // Saving takes the card as it is: no question afterwards.
    ASSERT_TRUE(save(*doc, path("gespeichert.kar")));
    dialogs.messages.clear();
    EXPECT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CardFileTest, SavingWhileTheInsideIsEdited) {
    setAll(*doc->insideSlots[4], 5, KindText);
    doc->insideBackground.backgroundMode = BgColor;
    doc->insideBackground.backgroundColor = 0x0A0B0C;
    ASSERT_TRUE(save(*doc, path("innen.kar")));
    EXPECT_EQ(doc->insideBackground.backgroundColor, 0x0A0B0Cu);

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("innen.kar")));
    expectSameObject(*back->insideSlots[4], *doc->insideSlots[4]);
    EXPECT_EQ(back->insideBackground.backgroundMode, BgColor);
    EXPECT_EQ(back->insideBackground.backgroundColor, 0x0A0B0Cu);
    EXPECT_EQ(back->usedCount(back->outsideSlots), 0);
}

TEST_F(CardFileTest, OpeningFillsTheInsideTables) {
    writeAll(path("karte.kar"), smallCard());
    ASSERT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_EQ(doc->sideSlots(SideInside)[7], doc->insideSlots[7]);
    EXPECT_EQ(doc->insideSlots[7]->kind, KindFigure);
    EXPECT_EQ(doc->sideBackground(SideInside).backgroundColor, 0x00FF00u);
}

TEST_F(CardFileTest, PicturesNamedInTheFile) {
    const QString programDir = path("programm");
    const QString cardDir = path("karten");
    ASSERT_TRUE(QDir().mkpath(programDir) && QDir().mkpath(cardDir));
    fc.programFolder = programDir;
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixel(0, 1, qRgb(255, 0, 0));  // bottom-left
    ASSERT_TRUE(img.save(programDir + QStringLiteral("/im_programm.png")));
    ASSERT_TRUE(img.save(cardDir + QStringLiteral("/verschoben.png")));
    ASSERT_TRUE(img.save(cardDir + QStringLiteral("/windows.png")));

    const char* names[] = {"im_programm.png", "/gibt/es/nicht/verschoben.png",
                           "C:\\Bilder\\windows.png", "/gibt/es/nicht/fehlt.png"};
    for (int i = 0; i < 4; ++i) {
        CardObject& o = *doc->outsideSlots[i + 1];
        o.kind = KindPicture;
        o.content = QString::fromLatin1(names[i]);
    }
    doc->outsideSlots[1]->rotation = 1;  // turned right once after loading
    doc->sideBackground(SideOutside).backgroundMode = BgStretched;
    doc->sideBackground(SideOutside).backgroundFile =
        QStringLiteral("/gibt/es/nicht/hintergrund.png");
    const QString card = cardDir + QStringLiteral("/bilder.kar");
    ASSERT_TRUE(save(*doc, card));

    auto back = std::make_unique<CardDocument>();
    int lastProgress = -1;
    fc.progress = [&](int p) { lastProgress = p; };
    ASSERT_TRUE(open(*back, card));
    ASSERT_EQ(
        dialogs.texts(),
        (QStringList{QStringLiteral("Konnte Bild (/gibt/es/nicht/hintergrund.png) nicht Laden."),
                     QStringLiteral("Konnte Bild (/gibt/es/nicht/fehlt.png) nicht Laden.")}));
    EXPECT_EQ(dialogs.messages[0].caption, kAppTitle);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    const DibImage& turned = back->outsideSlots[1]->picture;
    EXPECT_EQ(turned.width(), 2);
    EXPECT_EQ(turned.height(), 4);
    EXPECT_EQ(pixelColor(turned, getPixel(turned, 0, 0)), rgbRef(255, 0, 0));
    EXPECT_EQ(lastProgress, 0);
    for (int s : {2, 3}) EXPECT_EQ(back->outsideSlots[s]->picture.width(), 4) << s;
    // The missing picture keeps the blank placeholder, its place and its name.
    EXPECT_EQ(back->outsideSlots[4]->picture.width(), 320);
    EXPECT_EQ(back->outsideSlots[4]->content, QStringLiteral("/gibt/es/nicht/fehlt.png"));
    EXPECT_EQ(back->outsideBackground.backgroundMode, BgStretched);
    EXPECT_FALSE(back->outsideBackground.backgroundPicture.isNull());
}

// Texts and font names keep every character; a 1.0 reader sees each one Windows-1252 cannot
// hold as one "?", without spoiling the umlauts and quotes after it. Only the card-type name,
// which has no place beyond the 1.0 layout, is still replaced, and the save says so.
TEST_F(CardFileTest, AnyCharacterIsKeptAndA10ReaderSeesOneQuestionMarkForEach) {
    setAll(*doc->outsideSlots[1], 1, KindText);
    doc->outsideSlots[1]->content = QStringLiteral("Pfeil → und ā");
    doc->outsideSlots[1]->fontName = QStringLiteral("字体");
    setAll(*doc->outsideSlots[2], 2, KindText);
    doc->outsideSlots[2]->content = QStringLiteral("Grüße 🎂 👨‍👩‍👧");
    setAll(*doc->insideSlots[1], 3, KindText);
    doc->insideSlots[1]->content = QStringLiteral("„Danke“ – schön");
    for (int side : {SideOutside, SideInside})
        for (int s : {1, 2}) doc->sideSlots(side)[s]->extras = ObjectExtras();
    ASSERT_TRUE(save(*doc, path("zeichen.kar")));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("zeichen.kar")));
    EXPECT_EQ(back->outsideSlots[1]->content, QStringLiteral("Pfeil → und ā"));
    EXPECT_EQ(back->outsideSlots[1]->fontName, QStringLiteral("字体"));
    EXPECT_EQ(back->outsideSlots[2]->content, QStringLiteral("Grüße 🎂 👨‍👩‍👧"));
    EXPECT_EQ(back->insideSlots[1]->content, QStringLiteral("„Danke“ – schön"));

    CardFileData old;
    ASSERT_EQ(parseCardFile(readAll(path("zeichen.kar")), old, CardReadMode::Version10),
              CardReadStatus::Ok);
    EXPECT_EQ(old.outside.objects[0].object.content, QStringLiteral("Pfeil ? und ?"));
    EXPECT_EQ(old.outside.objects[0].object.fontName, QStringLiteral("??"));
    // One "?" per character: the family of three people joined by two joiners is five.
    EXPECT_EQ(old.outside.objects[1].object.content, QStringLiteral("Grüße ? ?????"));
    EXPECT_EQ(old.inside.objects[0].object.content, QStringLiteral("„Danke“ – schön"));

    doc->format.typeName = QStringLiteral("Karte → A6");
    ASSERT_TRUE(save(*doc, path("typ.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Einige Zeichen lassen sich in Grußkarten-Dateien nicht speichern und "
                             "wurden durch \"?\" ersetzt.\n\nBetroffen:\n\"Karte → A6\""));
}

TEST_F(CardFileTest, FailedSavesKeepTheOldFileAndSayWhichAndWhy) {
    const QString createFailed =
        QStringLiteral("Beim Erstellen der Datei ist ein Fehler aufgetreten!\n");
    // The target is a folder: nothing can replace it.
    ASSERT_TRUE(QDir().mkpath(path("ordner.kar/inhalt")));
    EXPECT_FALSE(save(*doc, path("ordner.kar")));
    EXPECT_EQ(dialogs.texts(), QStringList{createFailed + path("ordner.kar") +
                                           QStringLiteral(": Unter diesem Namen gibt es einen "
                                                          "Ordner")});
    EXPECT_TRUE(QFileInfo(path("ordner.kar/inhalt")).isDir());
    EXPECT_TRUE(doc->fileName.isEmpty());

    // A folder that does not exist: the creation message, and nothing else changes.
    dialogs.messages.clear();
    EXPECT_FALSE(save(*doc, path("fehlt/karte.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, createFailed + path("fehlt/karte.kar") +
                                            QStringLiteral(": Der Ordner existiert nicht"));
    EXPECT_EQ(dialogs.messages[0].caption,
              QStringLiteral("Fehler: Datei konnte nicht erstellt werden"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);

    // A write that fails half-way (the file size limit of the process): the old card stays.
    writeAll(path("alt.kar"), smallCard());
    const QByteArray old = readAll(path("alt.kar"));
    doc->fileName = path("alt.kar");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    dialogs.messages.clear();
    const bool saved2 = save(*doc, path("neu.kar"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved2);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Beim Schreiben der Datei ist ein Fehler aufgetreten!\n") +
                  path("neu.kar") + QStringLiteral(": Die Datei ist zu groß"));
    EXPECT_EQ(dialogs.messages[0].caption, kAppTitle);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(readAll(path("alt.kar")), old);
    EXPECT_FALSE(QFileInfo::exists(path("neu.kar")));
    EXPECT_EQ(doc->fileName, path("alt.kar"));
    // Over the old file itself.
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    previous = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_FALSE(save(*doc, path("alt.kar")));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(readAll(path("alt.kar")), old);

    // A folder this process may not write to.
    ASSERT_TRUE(QDir().mkpath(path("nurlesen")));
    writeAll(path("nurlesen/karte.kar"), old);
    dialogs.messages.clear();
    {
        UnwritableFolder locked(path("nurlesen"));
        if (!locked.ok()) GTEST_SKIP() << "no way to refuse writes to this user here";
        EXPECT_FALSE(save(*doc, path("nurlesen/karte.kar")));
    }
    EXPECT_EQ(readAll(path("nurlesen/karte.kar")), old);
    EXPECT_EQ(dialogs.texts(), QStringList{createFailed + path("nurlesen/karte.kar") +
                                           QStringLiteral(": Zugriff verweigert")});
}

TEST(FileErrors, FailuresWithoutAnErrorNumberAreNamedFromThePath) {
    // A missing folder, or else a failure of the device.
    bbtest::TempFolder dir;
    EXPECT_EQ(fileFailureLine(dir.file(QStringLiteral("a/b.kar")), 0),
              dir.file(QStringLiteral("a/b.kar")) + QStringLiteral(": Der Ordner existiert nicht"));
    EXPECT_EQ(
        fileFailureLine(dir.file(QStringLiteral("b.kar")), 0),
        dir.file(QStringLiteral("b.kar")) + QStringLiteral(": Ein-/Ausgabefehler des Geräts"));
}

TEST_F(CardFileTest, StoredPreviewForTheBrowser) {
    ASSERT_TRUE(save(*doc, path("vorschau.kar")));
    const CardPreview p = readCardPreview(path("vorschau.kar"));
    ASSERT_TRUE(p.ok()) << p.error.toStdString();
    EXPECT_EQ(p.picture.width(), 86);
    EXPECT_EQ(p.picture.height(), 64);
    EXPECT_EQ(p.picture.bitCount(), 24);
    EXPECT_EQ(p.header.headerSize, 40);
    EXPECT_EQ(getPixel(p.picture, 0, 0), rgbRef(10, 20, 30));
    EXPECT_EQ(getPixel(p.picture, 1, 0), 0xFFFFFFu);

    // Any depth is read back with its colour table.
    RgbQuad table[16];
    for (int i = 0; i < 16; ++i) table[i] = {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 0};
    DibImage four = newDib(5, 3, 4, table, 16);
    setPixel(four, 4, 2, 9);
    const QByteArray bytes = cardFileBytes(*doc, four);
    EXPECT_EQ(i32At(bytes, 32), 40 + 64);
    EXPECT_EQ(i32At(bytes, 36), 16);
    const CardPreview q = readCardPreviewBytes(bytes);
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.picture.bitCount(), 4);
    EXPECT_EQ(getPixel(q.picture, 4, 2), 9u);
    EXPECT_EQ(q.picture.colourTable()[9], table[9]);
    CardFileData data;
    EXPECT_EQ(parseCardFile(bytes, data), CardReadStatus::Ok);

    EXPECT_FALSE(readCardPreview(path("fehlt.kar")).ok());
    writeAll(path("kurz.kar"), QByteArrayView(bytes).first(60));
    EXPECT_FALSE(readCardPreview(path("kurz.kar")).ok());
}
