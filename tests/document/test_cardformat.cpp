// CardFormat bytes and text, the Windows-1252 conversion and the bounds-checked reader.
#include "document/ByteIO.h"
#include "document/CardFormat.h"
#include "document/Cp1252.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QtEndian>

#include <cstring>

using namespace bb;

namespace {

double doubleAt(const QByteArray& b, int offset) {
    const uint64_t bits = qFromLittleEndian<uint64_t>(b.constData() + offset);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

CardFormat sampleFormat() {
    CardFormat f;
    f.leftMargin = 10;
    f.topMargin = 12.5;
    f.pitchX = 95;
    f.pitchY = 55;
    f.cardWidth = 90;
    f.cardHeight = 55;
    f.cardsAcross = 2;
    f.cardsDown = 5;
    f.typeName = QStringLiteral("Visitenkarte Größe ß");
    return f;
}

}  // namespace

TEST(CardFormatBytes, FieldOffsetsAndRoundTrip) {
    const CardFormat f = sampleFormat();
    const QByteArray b = f.toBytes();
    ASSERT_EQ(b.size(), 112);
    EXPECT_EQ(doubleAt(b, 0), 10.0);
    EXPECT_EQ(doubleAt(b, 8), 12.5);
    EXPECT_EQ(doubleAt(b, 16), 95.0);
    EXPECT_EQ(doubleAt(b, 24), 55.0);
    EXPECT_EQ(doubleAt(b, 32), 90.0);
    EXPECT_EQ(doubleAt(b, 40), 55.0);
    EXPECT_EQ(qFromLittleEndian<int32_t>(b.constData() + 48), 2);
    EXPECT_EQ(qFromLittleEndian<int32_t>(b.constData() + 52), 5);
    // Length byte, then the name in Windows-1252: "ö" is 0xF6 and "ß" 0xDF, one byte each.
    EXPECT_EQ(uint8_t(b[56]), 20);
    EXPECT_EQ(b.mid(57, 20), QByteArray("Visitenkarte Gr\xF6\xDF"
                                        "e \xDF"));
    EXPECT_EQ(CardFormat::fromBytes(b.constData()), f);
    EXPECT_FALSE(CardFormat::fromBytes(QByteArrayView(b).first(111)).has_value());
}

TEST(CardFormatBytes, LongNamesAreCutToFifty) {
    CardFormat f;
    f.typeName = QString(60, QLatin1Char('x'));
    QByteArray b = f.toBytes();
    EXPECT_EQ(uint8_t(b[56]), 50);
    EXPECT_EQ(CardFormat::fromBytes(b.constData()).typeName, QString(50, QLatin1Char('x')));
    // A stored length above 50 is read as 50 and never beyond the record.
    b[56] = char(255);
    EXPECT_EQ(CardFormat::fromBytes(b.constData()).typeName.size(), 50);
}

TEST(CardFormatText, GermanLocale) {
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(cardFormatText(sampleFormat(), de),
              QStringLiteral("2 x 5 Grußkarten á 90,00 mm x 55,00 mm pro Blatt [Abstände 95,00 mm "
                             "; 55,00 mm] [Ränder 10,00 mm ; 12,50 mm]"));
    EXPECT_EQ(cardFormatText(CardFormat(), de),
              QStringLiteral("1 x 1 Grußkarten á 200,00 mm x 150,00 mm pro Blatt [Abstände 0,00 "
                             "mm ; 0,00 mm] [Ränder 0,00 mm ; 0,00 mm]"));
    // No group separator for lengths above 1000 mm; the English locale uses a point.
    CardFormat wide;
    wide.cardWidth = 2500.125;
    EXPECT_TRUE(cardFormatText(wide, de).contains(QStringLiteral("á 2500,13 mm")));
    EXPECT_TRUE(cardFormatText(wide, QLocale(QLocale::English, QLocale::UnitedStates))
                    .contains(QStringLiteral("á 2500.13 mm")));
}

TEST(CardFormatText, SideUnitsTruncate) {
    EXPECT_EQ(sideUnits(200), 472441);
    EXPECT_EQ(sideUnits(150), 354331);
    EXPECT_EQ(sideUnits(0), 0);
    // Damaged values saturate instead of overflowing.
    EXPECT_EQ(sideUnits(1e300), INT32_MAX);
    EXPECT_EQ(sideUnits(std::nan("")), 0);
}

TEST(Cp1252, EncodesAndTellsAboutReplacements) {
    bool replaced = true;
    EXPECT_EQ(toCp1252(QStringLiteral("Grüße €"), &replaced), QByteArray("Gr\xFC\xDF"
                                                                         "e \x80"));
    EXPECT_FALSE(replaced);
    // Unencodable characters (a Latin Extended letter, a character outside the BMP) and the
    // zero character become one "?" each.
    const QString odd = QStringLiteral("a") + QChar(0x0100) +
                        QString::fromUtf8("\xF0\x9F\x98\x80") + QChar(0) + QStringLiteral("z");
    EXPECT_EQ(toCp1252(odd, &replaced), QByteArray("a???z"));
    EXPECT_TRUE(replaced);

    // One encoder for a whole file: a failure stays with its text, and the encoder tells
    // which texts were affected, each once.
    Cp1252Encoder enc;
    EXPECT_EQ(enc.encode(QStringLiteral("plain")), QByteArray("plain"));
    EXPECT_FALSE(enc.replaced());
    const QString cake = QStringLiteral("Grüße 🎂");
    EXPECT_EQ(enc.encode(cake), QByteArray("Gr\xFC\xDF"
                                           "e ?"));
    EXPECT_EQ(enc.encode(QStringLiteral("„Danke“")), QByteArray("\x84"
                                                                "Danke\x93"));
    EXPECT_EQ(enc.encode(QString(QChar(0x3042))), QByteArray("?"));
    EXPECT_EQ(enc.encode(cake), QByteArray("Gr\xFC\xDF"
                                           "e ?"));
    EXPECT_TRUE(enc.replaced());
    EXPECT_EQ(enc.replacedTexts(), (QStringList{cake, QString(QChar(0x3042))}));
    // A lone half of a surrogate pair is one "?" too.
    EXPECT_EQ(enc.encode(QString(QChar(0xD83C)) + QStringLiteral("x")), QByteArray("?x"));
}

TEST(Cp1252, DecodesEveryByte) {
    QByteArray all;
    for (int i = 1; i < 256; ++i) all.append(char(i));
    const QString s = fromCp1252(all);
    ASSERT_EQ(s.size(), 255);
    EXPECT_EQ(s.at(0x80 - 1), QChar(0x20AC));
    EXPECT_EQ(s.at(0xDF - 1), QChar(0xDF));
    // Every decoded character encodes back to its byte.
    bool replaced = true;
    EXPECT_EQ(toCp1252(s, &replaced), all);
    EXPECT_FALSE(replaced);
}

TEST(ByteReader, StopsAtTheEndAndStaysFailed) {
    const QByteArray data(
        "\x01\x00\x00\x00"
        "ab\0cd",
        9);
    ByteReader r(data);
    EXPECT_EQ(r.i32(), 1);
    EXPECT_EQ(r.cString(), QByteArrayView("ab"));
    EXPECT_TRUE(r.ok());
    // "cd" has no zero byte before the end.
    EXPECT_TRUE(r.cString().isEmpty());
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u8(), 0);  // failed readers yield zero and do not move
    EXPECT_EQ(r.pos(), 7);

    ByteReader s(data);
    EXPECT_FALSE(s.skip(10));
    ByteReader t(data);
    EXPECT_FALSE(t.skip(-1));
    EXPECT_TRUE(ByteReader(data).skip(9));
    ByteReader u(QByteArrayView(data).first(3));
    EXPECT_EQ(u.i32(), 0);
    EXPECT_FALSE(u.ok());
}

TEST(ByteWriter, LittleEndianDoublesAndStrings) {
    QByteArray out;
    ByteWriter w(out);
    w.f64(1.0);
    w.i32(-1);
    w.cString("x");
    EXPECT_EQ(out, QByteArray("\0\0\0\0\0\0\xF0\x3F\xFF\xFF\xFF\xFFx\0", 14));
}
