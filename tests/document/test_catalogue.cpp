// The card-type catalogue "Visiten.dat".
#include "document/ByteIO.h"
#include "document/CardFile.h"
#include "document/CardTypeFields.h"
#include "document/Catalogue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace bb;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray header(int32_t signature, int32_t count) {
    QByteArray out;
    ByteWriter w(out);
    w.i32(signature);
    w.i32(count);
    return out;
}

CardFormat typeNamed(const QString& name, double width) {
    CardTypeFields v;
    v.name = name;
    v.width = width;
    v.height = 55;
    v.hgap = 5;
    v.across = 2;
    v.down = 5;
    return cardFormatFrom(v);
}

}  // namespace

TEST(Catalogue, EmptyListWritesEightBytes) {
    bbtest::TempFolder dir;
    EXPECT_TRUE(loadCardTypes(dir.path()).isEmpty());  // no file yet
    ASSERT_TRUE(saveCardTypes(dir.path(), {}));
    EXPECT_EQ(readAll(dir.file(QStringLiteral("Visiten.dat"))), header(64687, 0));
    EXPECT_TRUE(loadCardTypes(dir.path()).isEmpty());
}

TEST(Catalogue, RoundTripKeepsOrderPitchAndCutName) {
    bbtest::TempFolder dir;
    const QList<CardFormat> types = {typeNamed(QString(60, QLatin1Char('L')), 90),
                                     typeNamed(QStringLiteral("Klappkarte Übergröße"), 210)};
    ASSERT_TRUE(saveCardTypes(dir.path(), types));
    const QByteArray bytes = readAll(dir.file(QStringLiteral("Visiten.dat")));
    ASSERT_EQ(bytes.size(), 8 + 2 * 112);
    const QList<CardFormat> back = loadCardTypes(dir.path());
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].pitchX, 95);  // width 90 plus gap 5
    EXPECT_EQ(back[0].typeName, QString(50, QLatin1Char('L')));
    EXPECT_EQ(cardTypeFieldsFrom(back[0]).hgap, 5);
    EXPECT_EQ(back[1], types[1]);
}

TEST(Catalogue, ForeignOrShortFilesAreReadSafely) {
    bbtest::TempFolder dir;
    const QString path = dir.file(QStringLiteral("Visiten.dat"));
    const QByteArray record = typeNamed(QStringLiteral("A"), 90).toBytes();

    writeAll(path, header(12345, 1) + record);
    EXPECT_TRUE(loadCardTypes(dir.path()).isEmpty());  // another signature

    writeAll(path, QByteArray("\xAF\xFC", 2));
    EXPECT_TRUE(loadCardTypes(dir.path()).isEmpty());  // shorter than the signature

    // A count the file cannot hold: the whole records present are read, never more.
    writeAll(path, header(64687, 1000000000) + record + record + record.left(50));
    EXPECT_EQ(loadCardTypes(dir.path()).size(), 2);
    writeAll(path, header(64687, -5) + record);
    EXPECT_TRUE(loadCardTypes(dir.path()).isEmpty());
    // Bytes beyond the announced count are ignored.
    writeAll(path, header(64687, 1) + record + record);
    EXPECT_EQ(loadCardTypes(dir.path()).size(), 1);
}

TEST(Catalogue, FailedSaveKeepsTheOldFile) {
    bbtest::TempFolder dir;
    ASSERT_TRUE(saveCardTypes(dir.path(), {typeNamed(QStringLiteral("alt"), 90)}));
    const QByteArray before = readAll(dir.file(QStringLiteral("Visiten.dat")));
    // A folder that does not exist cannot take the catalogue.
    EXPECT_FALSE(saveCardTypes(dir.file(QStringLiteral("fehlt")), {}));
    EXPECT_EQ(readAll(dir.file(QStringLiteral("Visiten.dat"))), before);
    // The catalogue path taken by a folder: the folder stays.
    bbtest::TempFolder other;
    ASSERT_TRUE(QDir(other.path()).mkdir(QStringLiteral("Visiten.dat")));
    EXPECT_FALSE(saveCardTypes(other.path(), {}));
    EXPECT_TRUE(QFileInfo(other.file(QStringLiteral("Visiten.dat"))).isDir());
}

// Every real card stock of the shared test data: the catalogue keeps it exactly, the dialog's
// gaps give back the stored pitches, and the stored preview stays about 90 pixels wide.
TEST(Catalogue, RealCardStock) {
    BB_REQUIRE_TESTDATA();
    QFile csv(bbtest::sharedTestData() + QStringLiteral("/cardstock/cardstock.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    csv.readLine();  // column names
    QList<CardFormat> types;
    while (!csv.atEnd()) {
        const QString line = QString::fromUtf8(csv.readLine()).trimmed();
        // product,brand,description,paper,width,height,across,down,left,top,pitchx,pitchy,
        // source: counted from the end, since descriptions may hold commas.
        const QStringList fields = line.split(QLatin1Char(','));
        ASSERT_GE(fields.size(), 13) << line.toStdString();
        const auto num = [&](int fromEnd) { return fields[fields.size() - fromEnd].toDouble(); };
        const QString product = fields[0];
        CardTypeFields v;
        v.name = product + QLatin1Char(' ') + fields[1];
        v.width = num(9);
        v.height = num(8);
        v.across = num(7);
        v.down = num(6);
        v.left = num(5);
        v.top = num(4);
        v.hgap = num(3) - v.width;
        v.vgap = num(2) - v.height;
        const CardFormat f = cardFormatFrom(v);
        EXPECT_NEAR(f.pitchX, num(3), 1e-9) << product.toStdString();
        EXPECT_NEAR(f.pitchY, num(2), 1e-9) << product.toStdString();
        const QSize preview = previewSize(f);
        EXPECT_GE(preview.width(), 70) << product.toStdString();
        EXPECT_LE(preview.width(), 90) << product.toStdString();
        types.append(f);
    }
    ASSERT_EQ(types.size(), 55);
    bbtest::TempFolder dir;
    ASSERT_TRUE(saveCardTypes(dir.path(), types));
    EXPECT_EQ(loadCardTypes(dir.path()), types);
}
