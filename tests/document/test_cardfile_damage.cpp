// Damaged, truncated and foreign card files: refused with the right message, the document
// cleared or left alone as the reader promises, never a crash.
#include "CardFileFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <memory>
#include <random>

using namespace bb;
using namespace bbtest;

TEST_F(CardFileTest, SignatureDamageIsRejectedBeforeAnythingChanges) {
    const QByteArray good = smallCard();
    doc->sideSlots(SideOutside)[5]->kind = KindText;
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
        EXPECT_EQ(dialogs.messages[1].text, kForeign + '\n' + path("fremd.kar"));
        EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Dateikennung falsch"));
        EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Information);
    }
    EXPECT_EQ(doc->sideSlots(SideOutside)[5]->kind, KindText);
    EXPECT_EQ(doc->fileName, QStringLiteral("vorher.kar"));
    EXPECT_EQ(doc->format.cardWidth, 123);
}

TEST_F(CardFileTest, EveryTruncationIsRefusedWithTheDocumentCleared) {
    const QByteArray full = smallCard();
    ASSERT_LT(full.size(), 1000);
    dialogs.defaultAnswer = BtnNo;
    for (qsizetype len = 0; len < full.size(); ++len) {
        doc->format.cardWidth = 77;
        doc->sideSlots(SideOutside)[9]->kind = KindText;  // proves that clearAll ran (or not)
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
            EXPECT_EQ(dialogs.messages[1].text, kForeign + '\n' + path("kurz.kar")) << len;
            EXPECT_EQ(doc->sideSlots(SideOutside)[9]->kind, KindText);
            EXPECT_EQ(doc->fileName, QStringLiteral("alt.kar"));
        } else {
            EXPECT_EQ(dialogs.messages[1].text, kDamaged + '\n' + path("kurz.kar")) << len;
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
            EXPECT_EQ(dialogs.messages.last().text, kDamaged + '\n' + path("zufall.kar"));
            EXPECT_EQ(doc->usedCount(doc->outsideSlots) + doc->usedCount(doc->insideSlots), 0);
        }
    }
    EXPECT_GT(opened, 0);  // damage inside values still gives a readable card
}

TEST_F(CardFileTest, NamedPipesAreNeitherOpenedAsCardsNorAsPictures) {
    // Opening a pipe waits for a writer: a card or a picture that is one must be refused
    // at once, not hang the program.
    const QString pipeCard = path("rohr.kar");
    const QString pipePicture = path("rohr.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipeCard).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipePicture).constData(), 0600), 0);
    EXPECT_FALSE(open(*doc, pipeCard));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption,
              QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"));

    dialogs.messages.clear();
    doc->outsideSlots[1]->kind = KindPicture;
    doc->outsideSlots[1]->content = pipePicture;
    ASSERT_TRUE(save(*doc, path("mit_rohr.kar")));
    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("mit_rohr.kar")));
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Konnte Bild (") + pipePicture +
                          QStringLiteral(") nicht Laden.\nGrund: keine gewöhnliche Datei")});
}
