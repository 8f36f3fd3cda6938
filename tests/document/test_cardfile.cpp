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
    const QSize size = previewSize(doc.Format);
    DibImage p = newdib(size.width(), size.height(), 24);
    std::memset(p.bits(), 0xFF, size_t(p.byteCount()));
    setpixel(p, 0, 0, rgbRef(10, 20, 30));  // top-left
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
void setAll(Tobs& o, int seed, int32_t kind) {
    o.X = -1000 * seed;
    o.Y = 2000 + seed;
    o.Width = 3000 + seed;
    o.Height = 4000 + seed;
    o.KeepAspect = true;
    o.Rotation = 0;
    o.Alignment = 2;
    o.Kind = kind;
    o.LineWidth = 7 + seed;
    o.BorderColor = 0x010203u * uint32_t(seed);
    o.FillMode = 2;
    o.Color = 0xFFEEDDu - uint32_t(seed);
    o.AutoTransparent = true;
    o.Transparent = true;
    o.Shadow = true;
    o.RoundFrame = true;
    o.ShadowDX = -3 - seed;
    o.ShadowDY = 11 + seed;
    o.FigureKind = 9;
    o.Content = QStringLiteral("Zeile eins\rZeile zwei: äöü ÄÖÜ ß €") + QString::number(seed);
    o.FontColor = 0x00FF00u + uint32_t(seed);
    o.FontHeight = -27 - seed;
    o.FontName = QStringLiteral("Times New Roman");
    o.FontPitch = 2;
    o.FontSize = 20 + seed;
    o.FontStyle = StyleBold | StyleStrikeOut;
}

void expectSameObject(const Tobs& a, const Tobs& b) {
    EXPECT_EQ(a.X, b.X);
    EXPECT_EQ(a.Y, b.Y);
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.KeepAspect, b.KeepAspect);
    EXPECT_EQ(a.Rotation, b.Rotation);
    EXPECT_EQ(a.Alignment, b.Alignment);
    EXPECT_EQ(a.Kind, b.Kind);
    EXPECT_EQ(a.LineWidth, b.LineWidth);
    EXPECT_EQ(a.BorderColor, b.BorderColor);
    EXPECT_EQ(a.FillMode, b.FillMode);
    EXPECT_EQ(a.Color, b.Color);
    EXPECT_EQ(a.AutoTransparent, b.AutoTransparent);
    EXPECT_EQ(a.Transparent, b.Transparent);
    EXPECT_EQ(a.Shadow, b.Shadow);
    EXPECT_EQ(a.RoundFrame, b.RoundFrame);
    EXPECT_EQ(a.ShadowDX, b.ShadowDX);
    EXPECT_EQ(a.ShadowDY, b.ShadowDY);
    EXPECT_EQ(a.FigureKind, b.FigureKind);
    EXPECT_EQ(a.Content, b.Content);
    EXPECT_EQ(a.FontColor, b.FontColor);
    EXPECT_EQ(a.FontHeight, b.FontHeight);
    EXPECT_EQ(a.FontName, b.FontName);
    EXPECT_EQ(a.FontPitch, b.FontPitch);
    EXPECT_EQ(a.FontSize, b.FontSize);
    EXPECT_EQ(a.FontStyle, b.FontStyle);
}

class CardFileTest : public ::testing::Test {
protected:
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    bbtest::TempFolder dir;
    CardFileContext fc{dialogs, ctx, dir.path(), &testPreview, {}, {}};
    std::unique_ptr<CardDocument> doc = std::make_unique<CardDocument>();

    QString path(const char* name) const { return dir.file(QString::fromLatin1(name)); }
    bool save(CardDocument& d, const QString& p) { return Saveit(d, p, fc); }
    bool open(CardDocument& d, const QString& p) { return OpenItNow(d, p, fc); }

    // A small card: a card this wide gets a 1 × 1 preview, so the file is a few hundred
    // bytes; one text outside, one figure inside, coloured backgrounds.
    QByteArray smallCard() {
        CardDocument d;
        d.Format.CardWidth = 3000;
        d.Format.CardHeight = 1000;
        d.updateSideUnits();
        setAll(*d.OutsideSlots[2], 1, KindText);
        setAll(*d.InsideSlots[7], 2, KindFigure);
        d.Outside.BackgroundColor = 0x0000FF;
        d.Inside.BackgroundColor = 0x00FF00;
        d.Inside.BackgroundMode = BgColor;
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
    EXPECT_EQ(b.mid(16720, 112), doc->Format.toBytes());

    QByteArray tail;
    tail += le32(472441) + le32(354331);
    tail += le32(-1) + QByteArray(1, '\0') + le32(-1) + QByteArray(1, '\0');
    tail += le64(1.0) + le64(312.0);
    tail += le32(10001) + le32(10001);
    tail += le32(0xFFFFFF) + le32(0xFFFFFF);
    EXPECT_EQ(b.mid(16832), tail);

    auto back = std::make_unique<CardDocument>();
    back->Format.CardWidth = 1;
    ASSERT_TRUE(open(*back, path("leer.kar")));
    EXPECT_EQ(back->Format, CardFormat());
    EXPECT_EQ(back->usedCount(back->OutsideSlots) + back->usedCount(back->InsideSlots), 0);
    EXPECT_EQ(back->titleName(), QStringLiteral("leer.kar"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CardFileTest, RoundTripOfEveryField) {
    doc->Format.LeftMargin = 10;
    doc->Format.TopMargin = 12.5;
    doc->Format.PitchX = 95;
    doc->Format.PitchY = 55;
    doc->Format.CardWidth = 90;
    doc->Format.CardHeight = 55;
    doc->Format.CardsAcross = 2;
    doc->Format.CardsDown = 5;
    doc->Format.TypeName = QStringLiteral("Größe ß");
    doc->SideWidthUnits = 111;  // stored as they are, not recomputed
    doc->SideHeightUnits = 222;
    doc->ZoomFactor = 1.5;
    doc->UnitsPerPixel = 208;
    setAll(*doc->OutsideSlots[3], 1, KindText);
    setAll(*doc->OutsideSlots[10000], 2, KindFigure);
    setAll(*doc->InsideSlots[1], 3, KindText);
    setAll(*doc->InsideSlots[10000], 4, KindText);
    doc->Working.BackgroundMode = BgColor;  // the outside is the working side
    doc->Working.BackgroundColor = 0x112233;
    doc->Inside.BackgroundMode = BgNone;
    doc->Inside.BackgroundFile = QStringLiteral("nicht geladen.bmp");  // mode -1: not loaded
    doc->Inside.BackgroundColor = 0x445566;
    ASSERT_TRUE(save(*doc, path("voll.kar")));

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("voll.kar")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(back->Format, doc->Format);
    EXPECT_EQ(back->SideWidthUnits, 111);
    EXPECT_EQ(back->SideHeightUnits, 222);
    EXPECT_EQ(back->ZoomFactor, 1.5);
    EXPECT_EQ(back->UnitsPerPixel, 208);
    EXPECT_EQ(back->usedCount(back->OutsideSlots), 2);
    EXPECT_EQ(back->usedCount(back->InsideSlots), 2);
    for (int s : {3, 10000}) expectSameObject(*back->OutsideSlots[s], *doc->OutsideSlots[s]);
    for (int s : {1, 10000}) expectSameObject(*back->InsideSlots[s], *doc->InsideSlots[s]);
    EXPECT_EQ(back->Outside.BackgroundMode, BgColor);
    EXPECT_EQ(back->Outside.BackgroundColor, 0x112233u);
    EXPECT_EQ(back->Inside.BackgroundFile, QStringLiteral("nicht geladen.bmp"));
    EXPECT_EQ(back->Inside.BackgroundColor, 0x445566u);
    EXPECT_TRUE(back->Inside.BackgroundPicture.isNull());
    // The working state is the outside's.
    EXPECT_EQ(back->WorkingSlots[3], back->OutsideSlots[3]);
    EXPECT_EQ(back->Working.BackgroundColor, 0x112233u);

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
    EXPECT_EQ(doc->Outside.BackgroundColor, 0xFFFFFFu);
    EXPECT_EQ(doc->Inside.BackgroundColor, 0xFFFFFFu);
    EXPECT_EQ(doc->InsideSlots[7]->Kind, KindFigure);

    writeAll(path("halb.kar"), QByteArrayView(full).chopped(4));
    doc = std::make_unique<CardDocument>();
    dialogs.messages.clear();
    EXPECT_FALSE(open(*doc, path("halb.kar")));
    EXPECT_EQ(dialogs.texts(), QStringList{kDamaged});
}

TEST_F(CardFileTest, SignatureDamageIsRejectedBeforeAnythingChanges) {
    const QByteArray good = smallCard();
    doc->WorkingSlots[5]->Kind = KindText;
    doc->FileName = QStringLiteral("vorher.kar");
    doc->Format.CardWidth = 123;
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
    EXPECT_EQ(doc->WorkingSlots[5]->Kind, KindText);
    EXPECT_EQ(doc->FileName, QStringLiteral("vorher.kar"));
    EXPECT_EQ(doc->Format.CardWidth, 123);
}

TEST_F(CardFileTest, SaveQuestionBeforeOpening) {
    writeAll(path("karte.kar"), smallCard());
    doc->WorkingSlots[1]->Kind = KindFigure;
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
    EXPECT_EQ(doc->WorkingSlots[1]->Kind, KindFigure);
    dialogs.answers = {BtnYes};
    fc.saveCurrent = [&] {
        ++saves;
        return true;
    };
    EXPECT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(doc->OutsideSlots[1]->Kind, KindFree);
    EXPECT_EQ(doc->OutsideSlots[2]->Kind, KindText);

    dialogs.messages.clear();
    EXPECT_FALSE(open(*doc, path("gibtsnicht.kar")));  // working side holds the text: asked
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Beim Öffnen der Datei ist ein Fehler aufgetreten!"));
    EXPECT_EQ(dialogs.messages[1].caption,
              QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"));
}

TEST_F(CardFileTest, SavingWhileTheInsideIsEdited) {
    doc->PageControl2Change(SideInside);
    setAll(*doc->WorkingSlots[4], 5, KindText);
    doc->Working.BackgroundMode = BgColor;
    doc->Working.BackgroundColor = 0x0A0B0C;
    std::vector<int> previewSides;
    fc.createPreview = [&](CardDocument& d, RenderContext& c) {
        previewSides.push_back(d.CurrentSide);
        return testPreview(d, c);
    };
    ASSERT_TRUE(save(*doc, path("innen.kar")));
    EXPECT_EQ(previewSides, std::vector<int>{SideOutside});  // preview drawn from the outside
    EXPECT_EQ(doc->CurrentSide, SideOutside);                // the editor shows the outside
    EXPECT_EQ(doc->WorkingSlots[4], doc->OutsideSlots[4]);

    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("innen.kar")));
    expectSameObject(*back->InsideSlots[4], *doc->InsideSlots[4]);
    EXPECT_EQ(back->Inside.BackgroundMode, BgColor);
    EXPECT_EQ(back->Inside.BackgroundColor, 0x0A0B0Cu);
    EXPECT_EQ(back->usedCount(back->OutsideSlots), 0);
}

TEST_F(CardFileTest, OpeningLoadsTheSideNamedByCurrentSide) {
    writeAll(path("karte.kar"), smallCard());
    doc->PageControl2Change(SideInside);
    ASSERT_TRUE(open(*doc, path("karte.kar")));
    EXPECT_EQ(doc->CurrentSide, SideInside);
    EXPECT_EQ(doc->WorkingSlots[7], doc->InsideSlots[7]);
    EXPECT_EQ(doc->WorkingSlots[7]->Kind, KindFigure);
    EXPECT_EQ(doc->Working.BackgroundColor, 0x00FF00u);
}

TEST_F(CardFileTest, EveryTruncationIsRefusedWithTheDocumentCleared) {
    const QByteArray full = smallCard();
    ASSERT_LT(full.size(), 1000);
    dialogs.defaultAnswer = BtnNo;
    for (qsizetype len = 0; len < full.size(); ++len) {
        doc->Format.CardWidth = 77;
        doc->WorkingSlots[9]->Kind = KindText;  // proves that clearall ran (or not)
        doc->FileName = QStringLiteral("alt.kar");
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
            EXPECT_EQ(doc->WorkingSlots[9]->Kind, KindText);
            EXPECT_EQ(doc->FileName, QStringLiteral("alt.kar"));
        } else {
            EXPECT_EQ(dialogs.messages[1].text, kDamaged) << len;
            EXPECT_EQ(dialogs.messages[1].caption, kAppTitle);
            EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Error);
            EXPECT_EQ(doc->usedCount(doc->OutsideSlots) + doc->usedCount(doc->InsideSlots), 0)
                << len;
            EXPECT_EQ(doc->Format.CardWidth, 77) << len;  // as clearall left it
            EXPECT_TRUE(doc->FileName.isEmpty());
        }
    }
}

TEST_F(CardFileTest, ParserOnEveryTruncationOfAFullSizeCard) {
    setAll(*doc->OutsideSlots[3], 1, KindText);
    setAll(*doc->InsideSlots[9999], 2, KindFigure);
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
    EXPECT_EQ(data.inside.objects[0].flags.RoundFrame, 1);
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
            EXPECT_EQ(doc->usedCount(doc->OutsideSlots) + doc->usedCount(doc->InsideSlots), 0);
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
        Tobs& o = *doc->OutsideSlots[i + 1];
        o.Kind = KindPicture;
        o.Content = QString::fromLatin1(names[i]);
    }
    doc->OutsideSlots[1]->Rotation = 1;  // turned right once after loading
    doc->Working.BackgroundMode = BgStretched;
    doc->Working.BackgroundFile = QStringLiteral("/gibt/es/nicht/hintergrund.png");
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
    const DibImage& turned = back->OutsideSlots[1]->Picture;
    EXPECT_EQ(turned.width(), 2);
    EXPECT_EQ(turned.height(), 4);
    EXPECT_EQ(pixelColor(turned, getpixel(turned, 0, 0)), rgbRef(255, 0, 0));
    EXPECT_EQ(lastProgress, 0);
    for (int s : {2, 3}) EXPECT_EQ(back->OutsideSlots[s]->Picture.width(), 4) << s;
    // The missing picture keeps the blank placeholder, its place and its name.
    EXPECT_EQ(back->OutsideSlots[4]->Picture.width(), 320);
    EXPECT_EQ(back->OutsideSlots[4]->Content, QStringLiteral("/gibt/es/nicht/fehlt.png"));
    EXPECT_EQ(back->Outside.BackgroundMode, BgStretched);
    EXPECT_EQ(back->Working.BackgroundPicture.sharedId(),
              back->Outside.BackgroundPicture.sharedId());
}

TEST_F(CardFileTest, UnencodableCharactersAreReplacedAndToldOnce) {
    setAll(*doc->OutsideSlots[1], 1, KindText);
    doc->OutsideSlots[1]->Content = QStringLiteral("Pfeil → und ā");
    doc->OutsideSlots[1]->FontName = QStringLiteral("字体");
    ASSERT_TRUE(save(*doc, path("zeichen.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("zeichen.kar")));
    EXPECT_EQ(back->OutsideSlots[1]->Content, QStringLiteral("Pfeil ? und ?"));
    EXPECT_EQ(back->OutsideSlots[1]->FontName, QStringLiteral("??"));
}

TEST_F(CardFileTest, FailedSavesKeepTheOldFile) {
    // The target is a folder: nothing can replace it.
    ASSERT_TRUE(QDir().mkpath(path("ordner.kar/inhalt")));
    doc->PageControl2Change(SideInside);
    EXPECT_FALSE(save(*doc, path("ordner.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(QFileInfo(path("ordner.kar/inhalt")).isDir());
    EXPECT_TRUE(doc->FileName.isEmpty());

    // A folder that does not exist: the creation message, and nothing else changes.
    dialogs.messages.clear();
    EXPECT_FALSE(save(*doc, path("fehlt/karte.kar")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Beim Erstellen der Datei ist ein Fehler aufgetreten!"));
    EXPECT_EQ(dialogs.messages[0].caption,
              QStringLiteral("Fehler: Datei konnte nicht erstellt werden"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(doc->CurrentSide, SideInside);

    // A write that fails half-way (the file size limit of the process): the old card stays.
    writeAll(path("alt.kar"), smallCard());
    const QByteArray old = readAll(path("alt.kar"));
    doc->FileName = path("alt.kar");
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
    EXPECT_EQ(doc->FileName, path("alt.kar"));
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
    EXPECT_EQ(getpixel(p.picture, 0, 0), rgbRef(10, 20, 30));
    EXPECT_EQ(getpixel(p.picture, 1, 0), 0xFFFFFFu);

    // Any depth is read back with its colour table.
    RgbQuad table[16];
    for (int i = 0; i < 16; ++i) table[i] = {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 0};
    DibImage four = newdib(5, 3, 4, table, 16);
    setpixel(four, 4, 2, 9);
    const QByteArray bytes = cardFileBytes(*doc, four);
    EXPECT_EQ(i32At(bytes, 32), 40 + 64);
    EXPECT_EQ(i32At(bytes, 36), 16);
    const CardPreview q = readCardPreviewBytes(bytes);
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.picture.bitCount(), 4);
    EXPECT_EQ(getpixel(q.picture, 4, 2), 9u);
    EXPECT_EQ(q.picture.colourTable()[9], table[9]);
    CardFileData data;
    EXPECT_EQ(parseCardFile(bytes, data), CardReadStatus::Ok);

    EXPECT_FALSE(readCardPreview(path("fehlt.kar")).ok());
    writeAll(path("kurz.kar"), QByteArrayView(bytes).first(60));
    EXPECT_FALSE(readCardPreview(path("kurz.kar")).ok());
}
