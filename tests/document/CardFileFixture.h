// Shared by the card file tests: a fixture with a temporary folder and scripted dialogs, a
// stand-in preview, byte helpers and objects with every field set.
#pragma once

#include "document/ByteIO.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "support/ObjectFields.h"
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

// Every field of the 1.0 record differs from its start value and from the other objects' (by
// `seed`); the position, text and font are ones the tests look for, the kind and rotation valid
// ones.
inline void setAll(CardObject& o, int seed, int32_t kind) {
    setEveryField(o, seed);
    o.extras = ObjectExtras();  // a 1.0 object: the extension area has its own tests
    o.x = -1000 * seed;
    o.kind = kind;
    o.rotation = 0;
    o.figureKind = FigLineDown;
    o.content = QStringLiteral("Zeile eins\rZeile zwei: äöü ÄÖÜ ß €") + QString::number(seed);
    o.fontName = QStringLiteral("Times New Roman");
}

// What a card file gives back of `o`: the properties of the other meanings of the shared
// slots are not stored.
inline CardObject storedForm(const CardObject& o) {
    CardObject r = o;
    setSharedSlots(r, sharedSlotsOf(o));
    return r;
}

// Expects `back`, read from a card file, to hold everything the file kept of `saved`.
inline void expectSameObject(const CardObject& back, const CardObject& saved) {
    expectSameFields(back, storedForm(saved));
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
