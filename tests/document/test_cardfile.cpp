// The card file: byte layout, round trips, damaged and foreign files, pictures named in the
// file, atomic saving and the stored preview.
#include "document/ByteIO.h"
#include "document/CardFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <memory>
#include <random>

using namespace bb;

namespace {

const QString kDamaged = QStringLiteral("Die Datei ist beschädigt oder unvollständig.");
const QString kForeign = QStringLiteral(
    "Es handelt sich nicht um eine Grußkarte im Tovarin Brisella-Bildwerker 1.0-Format!");

// The test's stand-in for the renderer: a white picture of the preview size, with one
// marked pixel so that the row order can be checked.
DibImage testPreview(CardDocument& doc, RenderContext&) {
    const QSize size = previewSize(doc.format);
    DibImage p = newDib(size.width(), size.height(), 24);
    std::memset(p.bits(), 0xFF, size_t(p.byteCount()));
    setPixel(p, 0, 0, rgbRef(10, 20, 30));  // top-left
    return p;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, QByteArrayView bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), bytes.size());
}

int32_t i32At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<int32_t>(b.constData() + at);
}

QByteArray le32(int32_t v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    QByteArray b(8, '\0');
    qToLittleEndian(bits, b.data());
    return b;
}

// Every field differs from its start value and from the other objects' (by `seed`).
void setAll(CardObject& o, int seed, int32_t kind) {
    o.x = -1000 * seed;
    o.y = 2000 + seed;
    o.width = 3000 + seed;
    o.height = 4000 + seed;
    o.keepAspect = true;
    o.rotation = 0;
    o.alignment = 2;
    o.kind = kind;
    o.lineWidth = 7 + seed;
    o.borderColor = 0x010203u * uint32_t(seed);
    o.fillMode = 2;
    o.color = 0xFFEEDDu - uint32_t(seed);
    o.autoTransparent = true;
    o.transparent = true;
    o.shadow = true;
    o.roundFrame = true;
    o.shadowDx = -3 - seed;
    o.shadowDy = 11 + seed;
    o.figureKind = 9;
    o.content = QStringLiteral("Zeile eins\rZeile zwei: äöü ÄÖÜ ß €") + QString::number(seed);
    o.fontColor = 0x00FF00u + uint32_t(seed);
    o.fontHeight = -27 - seed;
    o.fontName = QStringLiteral("Times New Roman");
    o.fontPitch = 2;
    o.fontSize = 20 + seed;
    o.fontStyle = StyleBold | StyleStrikeOut;
}

void expectSameObject(const CardObject& a, const CardObject& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.keepAspect, b.keepAspect);
    EXPECT_EQ(a.rotation, b.rotation);
    EXPECT_EQ(a.alignment, b.alignment);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.lineWidth, b.lineWidth);
    EXPECT_EQ(a.borderColor, b.borderColor);
    EXPECT_EQ(a.fillMode, b.fillMode);
    EXPECT_EQ(a.color, b.color);
    EXPECT_EQ(a.autoTransparent, b.autoTransparent);
    EXPECT_EQ(a.transparent, b.transparent);
    EXPECT_EQ(a.shadow, b.shadow);
    EXPECT_EQ(a.roundFrame, b.roundFrame);
    EXPECT_EQ(a.shadowDx, b.shadowDx);
    EXPECT_EQ(a.shadowDy, b.shadowDy);
    EXPECT_EQ(a.figureKind, b.figureKind);
    EXPECT_EQ(a.content, b.content);
    EXPECT_EQ(a.fontColor, b.fontColor);
    EXPECT_EQ(a.fontHeight, b.fontHeight);
    EXPECT_EQ(a.fontName, b.fontName);
    EXPECT_EQ(a.fontPitch, b.fontPitch);
    EXPECT_EQ(a.fontSize, b.fontSize);
    EXPECT_EQ(a.fontStyle, b.fontStyle);
}

class CardFileTest : public ::testing::Test {
protected:
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    bbtest::TempFolder dir;
    CardFileContext fc{dialogs, ctx, dir.path(), &testPreview, {}, {}};
    std::unique_ptr<CardDocument> doc = std::make_unique<CardDocument>();

    QString path(const char* name) const { return dir.file(QString::fromLatin1(name)); }
    bool save(CardDocument& d, const QString& p) { return saveCardFile(d, p, fc); }
    bool open(CardDocument& d, const QString& p) { return openCardFile(d, p, fc); }

    // A small card: a card this wide gets a 1 × 1 preview, so the file is a few hundred
    // bytes; one text outside, one figure inside, coloured backgrounds.
    QByteArray smallCard() {
        CardDocument d;
        d.format.cardWidth = 3000;
        d.format.cardHeight = 1000;
        d.updateSideUnits();
        setAll(*d.outsideSlots[2], 1, KindText);
        setAll(*d.insideSlots[7], 2, KindFigure);
        d.outsideBackground.backgroundColor = 0x0000FF;
        d.insideBackground.backgroundColor = 0x00FF00;
        d.insideBackground.backgroundMode = BgColor;
        return cardFileBytes(d, testPreview(d, ctx));
    }
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
    doc->workingBackground.backgroundMode = BgColor;  // the outside is the working side
    doc->workingBackground.backgroundColor = 0x112233;
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
    // The working state is the outside's.
    EXPECT_EQ(back->workingSlots[3], back->outsideSlots[3]);
    EXPECT_EQ(back->workingBackground.backgroundColor, 0x112233u);

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
    EXPECT_EQ(dialogs.texts(), QStringList{kDamaged});
}

TEST_F(CardFileTest, SignatureDamageIsRejectedBeforeAnythingChanges) {
    const QByteArray good = smallCard();
    doc->workingSlots[5]->kind = KindText;
    doc->fileName = QStringLiteral("vorher.kar");
    doc->format.cardWidth = 123;
    dialogs.defaultAnswer = BtnNo;  // "Wollen Sie vorher speichern?" → Nein
    for (int i = 0; i < 32; ++i) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x20);
        writeAll(path("fremd.kar"), bad);
        dialogs.messages.clear();
        EXPECT_FALSE(open(*doc, path("fremd.kar"))) << i;
        ASSERT_EQ(dialogs.messages.size(), 2) << i;
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Wollen Sie vorher speichern?"));
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Grußkarte öffnen"));
        EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo | BtnCancel);
        EXPECT_EQ(dialogs.messages[1].text, kForeign);
        EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Dateikennung falsch"));
        EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Information);
    }
    EXPECT_EQ(doc->workingSlots[5]->kind, KindText);
    EXPECT_EQ(doc->fileName, QStringLiteral("vorher.kar"));
    EXPECT_EQ(doc->format.cardWidth, 123);
}

TEST_F(CardFileTest, SaveQuestionBeforeOpening) {
    writeAll(path("karte.kar"), smallCard());
    doc->workingSlots[1]->kind = KindFigure;
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
    EXPECT_EQ(doc->workingSlots[1]->kind, KindFigure);
    dialogs.answers = {BtnYes};
    fc.saveCurrent = [&] {
        ++saves;
        return true;
    };
    EXPECT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(doc->outsideSlots[1]->kind, KindFree);
    EXPECT_EQ(doc->outsideSlots[2]->kind, KindText);

    dialogs.messages.clear();
    EXPECT_FALSE(open(*doc, path("gibtsnicht.kar")));  // working side holds the text: asked
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Beim Öffnen der Datei ist ein Fehler aufgetreten!"));
    EXPECT_EQ(dialogs.messages[1].caption,
              QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"));
}

TEST_F(CardFileTest, SavingWhileTheInsideIsEdited) {
    doc->switchSide(SideInside);
    setAll(*doc->workingSlots[4], 5, KindText);
    doc->workingBackground.backgroundMode = BgColor;
    doc->workingBackground.backgroundColor = 0x0A0B0C;
    std::vector<int> previewSides;
    fc.createPreview = [&](CardDocument& d, RenderContext& c) {
        previewSides.push_back(d.currentSide);
        return testPreview(d, c);
    };
    ASSERT_TRUE(save(*doc, path("innen.kar")));
    EXPECT_EQ(previewSides, std::vector<int>{SideOutside});  // preview drawn from the outside
    EXPECT_EQ(doc->currentSide, SideOutside);                // the editor shows the outside
    EXPECT_EQ(doc->workingSlots[4], doc->outsideSlots[4]);

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("innen.kar")));
    expectSameObject(*back->insideSlots[4], *doc->insideSlots[4]);
    EXPECT_EQ(back->insideBackground.backgroundMode, BgColor);
    EXPECT_EQ(back->insideBackground.backgroundColor, 0x0A0B0Cu);
    EXPECT_EQ(back->usedCount(back->outsideSlots), 0);
}

TEST_F(CardFileTest, OpeningLoadsTheSideNamedByCurrentSide) {
    writeAll(path("karte.kar"), smallCard());
    doc->switchSide(SideInside);
    ASSERT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_EQ(doc->currentSide, SideInside);
    EXPECT_EQ(doc->workingSlots[7], doc->insideSlots[7]);
    EXPECT_EQ(doc->workingSlots[7]->kind, KindFigure);
    EXPECT_EQ(doc->workingBackground.backgroundColor, 0x00FF00u);
}

TEST_F(CardFileTest, EveryTruncationIsRefusedWithTheDocumentCleared) {
    const QByteArray full = smallCard();
    ASSERT_LT(full.size(), 1000);
    dialogs.defaultAnswer = BtnNo;
    for (qsizetype len = 0; len < full.size(); ++len) {
        doc->format.cardWidth = 77;
        doc->workingSlots[9]->kind = KindText;  // proves that clearAll ran (or not)
        doc->fileName = QStringLiteral("alt.kar");
        writeAll(path("kurz.kar"), QByteArrayView(full).first(len));
        dialogs.messages.clear();
        const bool opened = open(*doc, path("kurz.kar"));
        if (len == full.size() - 8) {
            EXPECT_TRUE(opened);  // ends right after the inside list
            continue;
        }
        ASSERT_FALSE(opened) << len;
        ASSERT_EQ(dialogs.messages.size(), 2) << len;
        if (len < 32) {
            EXPECT_EQ(dialogs.messages[1].text, kForeign) << len;
            EXPECT_EQ(doc->workingSlots[9]->kind, KindText);
            EXPECT_EQ(doc->fileName, QStringLiteral("alt.kar"));
        } else {
            EXPECT_EQ(dialogs.messages[1].text, kDamaged) << len;
            EXPECT_EQ(dialogs.messages[1].caption, kAppTitle);
            EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Error);
            EXPECT_EQ(doc->usedCount(doc->outsideSlots) + doc->usedCount(doc->insideSlots), 0)
                << len;
            EXPECT_EQ(doc->format.cardWidth, 77) << len;  // as clearAll left it
            EXPECT_TRUE(doc->fileName.isEmpty());
        }
    }
}

TEST_F(CardFileTest, ParserOnEveryTruncationOfAFullSizeCard) {
    setAll(*doc->outsideSlots[3], 1, KindText);
    setAll(*doc->insideSlots[9999], 2, KindFigure);
    const QByteArray full = cardFileBytes(*doc, testPreview(*doc, ctx));
    CardFileData data;
    for (qsizetype len = 0; len <= full.size(); ++len) {
        const CardReadStatus s = parseCardFile(QByteArrayView(full).first(len), data);
        const CardReadStatus expected = len < 32 ? CardReadStatus::Foreign
                                        : (len == full.size() || len == full.size() - 8)
                                            ? CardReadStatus::Ok
                                            : CardReadStatus::Damaged;
        ASSERT_EQ(s, expected) << len;
    }
    EXPECT_TRUE(data.coloursStored);
    ASSERT_EQ(data.inside.objects.size(), 1u);
    EXPECT_EQ(data.inside.objects[0].slot, 9999);
    EXPECT_EQ(data.inside.objects[0].flags.roundFrame, 1);
}

TEST_F(CardFileTest, DamagedPreviewHeadersAndSlotNumbers) {
    const QByteArray good = cardFileBytes(*doc, testPreview(*doc, ctx));
    struct Patch {
        qsizetype at;
        int32_t value;
    };
    const Patch patches[] = {
        {32, 0x7FFFFFFF}, {32, -1},         {32, 39},  // HeaderSize
        {44, -5},         {44, 0x7FFFFFFF},            // width
        {48, 0x7FFFFFFF}, {48, INT32_MIN},             // height
        {52, 0x00000001}, {52, 0x00400001},            // planes 1, bit count 0 / 64
    };
    CardFileData data;
    for (const Patch& p : patches) {
        QByteArray bad = good;
        qToLittleEndian(p.value, bad.data() + p.at);
        EXPECT_EQ(parseCardFile(bad, data), CardReadStatus::Damaged) << p.at << " " << p.value;
        EXPECT_FALSE(readCardPreviewBytes(bad).ok());
    }
    // A slot number below 1 in the outside list (which starts right after the scale).
    const qsizetype list = 16832 + 8 + 5 + 5 + 16;
    for (int32_t slot : {0, -1, INT32_MIN}) {
        QByteArray bad = good;
        qToLittleEndian(slot, bad.data() + list);
        EXPECT_EQ(parseCardFile(bad, data), CardReadStatus::Damaged);
    }
    // Any number above 10000 ends the list.
    QByteArray other = good;
    qToLittleEndian(int32_t(70000), other.data() + list);
    EXPECT_EQ(parseCardFile(other, data), CardReadStatus::Ok);
    // A zero or non-finite scale is damage.
    QByteArray zoom = good;
    std::memcpy(zoom.data() + 16832 + 18, le64(0.0).constData(), 8);
    EXPECT_EQ(parseCardFile(zoom, data), CardReadStatus::Damaged);
}

TEST_F(CardFileTest, SeededRandomDamageNeverCrashes) {
    const QByteArray good = smallCard();
    std::mt19937 rng(20261208);
    dialogs.defaultAnswer = BtnNo;
    int opened = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray bad = good;
        const int changes = 1 + int(rng() % 8);
        for (int c = 0; c < changes; ++c) {
            const qsizetype at = 32 + qsizetype(rng() % uint32_t(bad.size() - 32));
            bad[at] = char(rng() % 4 == 0 ? 0 : rng());
        }
        if (rng() % 4 == 0) bad.truncate(32 + qsizetype(rng() % uint32_t(bad.size() - 32)));
        if (i % 3 != 0) {
            CardFileData data;
            parseCardFile(bad, data);
            readCardPreviewBytes(bad);
            continue;
        }
        writeAll(path("zufall.kar"), bad);
        dialogs.messages.clear();
        if (open(*doc, path("zufall.kar"))) {
            ++opened;
            for (const auto& m : dialogs.messages)
                EXPECT_TRUE(m.text.startsWith(QStringLiteral("Konnte Bild (")) ||
                            m.text == QStringLiteral("Wollen Sie vorher speichern?"))
                    << m.text.toStdString();
        } else {
            EXPECT_EQ(dialogs.messages.last().text, kDamaged);
            EXPECT_EQ(doc->usedCount(doc->outsideSlots) + doc->usedCount(doc->insideSlots), 0);
        }
    }
    EXPECT_GT(opened, 0);  // damage inside values still gives a readable card
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
    doc->workingBackground.backgroundMode = BgStretched;
    doc->workingBackground.backgroundFile = QStringLiteral("/gibt/es/nicht/hintergrund.png");
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
    EXPECT_EQ(back->workingBackground.backgroundPicture.sharedId(),
              back->outsideBackground.backgroundPicture.sharedId());
}

TEST_F(CardFileTest, UnencodableCharactersAreReplacedAndToldOnce) {
    setAll(*doc->outsideSlots[1], 1, KindText);
    doc->outsideSlots[1]->content = QStringLiteral("Pfeil → und ā");
    doc->outsideSlots[1]->fontName = QStringLiteral("字体");
    ASSERT_TRUE(save(*doc, path("zeichen.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("zeichen.kar")));
    EXPECT_EQ(back->outsideSlots[1]->content, QStringLiteral("Pfeil ? und ?"));
    EXPECT_EQ(back->outsideSlots[1]->fontName, QStringLiteral("??"));
}

TEST_F(CardFileTest, FailedSavesKeepTheOldFile) {
    // The target is a folder: nothing can replace it.
    ASSERT_TRUE(QDir().mkpath(path("ordner.kar/inhalt")));
    doc->switchSide(SideInside);
    EXPECT_FALSE(save(*doc, path("ordner.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(QFileInfo(path("ordner.kar/inhalt")).isDir());
    EXPECT_TRUE(doc->fileName.isEmpty());

    // A folder that does not exist: the creation message, and nothing else changes.
    dialogs.messages.clear();
    EXPECT_FALSE(save(*doc, path("fehlt/karte.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Beim Erstellen der Datei ist ein Fehler aufgetreten!"));
    EXPECT_EQ(dialogs.messages[0].caption,
              QStringLiteral("Fehler: Datei konnte nicht erstellt werden"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(doc->currentSide, SideInside);

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
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("I/O error ")));
    EXPECT_EQ(dialogs.messages[0].caption, kAppTitle);
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

    // A read-only folder (only meaningful when permissions apply to this user).
    ASSERT_TRUE(QDir().mkpath(path("nurlesen")));
    writeAll(path("nurlesen/karte.kar"), old);
    QFile::setPermissions(path("nurlesen"), QFile::ReadOwner | QFile::ExeOwner);
    if (geteuid() != 0) {
        EXPECT_FALSE(save(*doc, path("nurlesen/karte.kar")));
        EXPECT_EQ(readAll(path("nurlesen/karte.kar")), old);
    }
    QFile::setPermissions(path("nurlesen"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
