// Shared by the card file tests: a fixture with a temporary folder and scripted dialogs, a
// stand-in preview, byte helpers and objects with every field set.
#pragma once

#include "document/ByteIO.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <memory>

namespace bbtest {

using namespace bb;

inline const QString kDamaged = QStringLiteral("Die Datei ist beschädigt oder unvollständig.");
inline const QString kForeign = QStringLiteral(
    "Es handelt sich nicht um eine Grußkarte im Tovarin Brisella-Bildwerker 1.0-Format!");

// The test's stand-in for the renderer: a white picture of the preview size, with one
// marked pixel so that the row order can be checked.
inline DibImage testPreview(const CardDocument& doc, const RenderContext&) {
    const QSize size = previewSize(doc.format);
    DibImage p = newDib(size.width(), size.height(), 24);
    std::memset(p.bits(), 0xFF, size_t(p.byteCount()));
    setPixel(p, 0, 0, rgbRef(10, 20, 30));  // top-left
    return p;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& path, QByteArrayView bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), bytes.size());
}

inline int32_t i32At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<int32_t>(b.constData() + at);
}

inline QByteArray le32(int32_t v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    QByteArray b(8, '\0');
    qToLittleEndian(bits, b.data());
    return b;
}

// Every field differs from its start value and from the other objects' (by `seed`).
inline void setAll(CardObject& o, int seed, int32_t kind) {
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

inline void expectSameObject(const CardObject& a, const CardObject& b) {
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

}  // namespace bbtest
