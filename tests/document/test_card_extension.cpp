// The card file's extension area: what a 1.0 reader sees of a card with new properties, which
// values win after a 1.0 edit, chunks of later versions kept, and damage that costs only the
// extension.
#include "CardFileFixture.h"
#include "document/CardExtension.h"
#include "document/Cp1252.h"
#include "document/EditHistory.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace bb;
using namespace bbtest;

namespace {

// A text and a picture with every new property, an emoji in the text and a span at its start.
void fillCard(CardDocument& d) {
    d.format.cardWidth = 3000;
    d.format.cardHeight = 1000;
    d.updateSideUnits();
    CardObject& text = *d.outsideSlots[3];
    setAll(text, 1, KindText);
    text.x = 424242;
    text.content = QStringLiteral("Alles Gute 🎉 zum Fest");
    text.extras = fieldsDetail::distinctExtras(5);
    text.extras.runs.front().start = 0;  // the text begins in a span
    CardObject& picture = *d.insideSlots[9];
    setAll(picture, 2, KindPicture);
    picture.x = 515151;
    picture.content = QStringLiteral("Bild.png");
    picture.autoTransparent = false;  // nothing to settle from the missing picture
    picture.extras = fieldsDetail::distinctExtras(6);
    picture.extras.runs.clear();
    d.insideBackground.backgroundMode = BgStretched;
    d.insideBackground.backgroundFile = QStringLiteral("Grüße→Hintergrund.jpg");
}

// What a 1.0 program would have written for the same card.
void reduceTo10(CardDocument& d) {
    for (int side : {SideOutside, SideInside})
        for (int s = 1; s <= kSlotCount; ++s) {
            CardObject& o = *d.sideSlots(side)[s];
            if (!o.used()) continue;
            applyFirstRunFont(o);
            o.content = fromCp1252(toCp1252(o.content));
            o.extras = ObjectExtras();
        }
    d.insideBackground.backgroundFile = fromCp1252(toCp1252(d.insideBackground.backgroundFile));
}

qsizetype extensionStart(const QByteArray& bytes) {
    return bytes.indexOf(QByteArray(kExtensionMagic.data(), kExtensionMagic.size()));
}

QByteArray chunk(QByteArrayView tag, const QByteArray& body) {
    QByteArray out(tag.data(), tag.size());
    out += le32(int32_t(body.size()));
    out += body;
    out += le32(int32_t(crc32(body, crc32(tag))));
    return out;
}

// The extension area around `chunks`: tag, version, length.
QByteArray area(const QByteArray& chunks, uint32_t version = kExtensionVersion) {
    return QByteArray(kExtensionMagic.data(), kExtensionMagic.size()) + le32(int32_t(version)) +
           le32(int32_t(chunks.size())) + chunks;
}

class CardExtensionTest : public CardFileTest {
protected:
    QByteArray cardBytes(const CardDocument& d) { return cardFileBytes(d, DibImage()); }
};

}  // namespace

TEST_F(CardExtensionTest, A10ReaderGetsTheApproximationAndOursTheExactCard) {
    fillCard(*doc);
    const QByteArray full = cardBytes(*doc);
    auto plain = std::make_unique<CardDocument>();
    fillCard(*plain);
    reduceTo10(*plain);
    const QByteArray old = cardBytes(*plain);

    // Items 1 to 15 are those of the card without the new properties, byte for byte; the
    // extension follows them.
    EXPECT_EQ(extensionStart(old), -1);
    ASSERT_EQ(extensionStart(full), old.size());
    EXPECT_EQ(full.first(old.size()), old);

    CardFileData seen10;
    ASSERT_EQ(parseCardFile(full, seen10, CardReadMode::Version10), CardReadStatus::Ok);
    EXPECT_FALSE(seen10.extension.present);
    ASSERT_EQ(seen10.outside.objects.size(), 1u);
    const CardObject& text10 = seen10.outside.objects[0].object;
    EXPECT_EQ(text10.content, QStringLiteral("Alles Gute ? zum Fest"));
    EXPECT_EQ(text10.fontName, QStringLiteral("Liberation Serif"));  // the first span's
    EXPECT_EQ(text10.fontSize, 30);
    EXPECT_TRUE(text10.extras.isDefault());
    EXPECT_EQ(seen10.inside.backgroundFile, QStringLiteral("Grüße?Hintergrund.jpg"));

    CardFileData seen;
    ASSERT_EQ(parseCardFile(full, seen), CardReadStatus::Ok);
    EXPECT_TRUE(seen.extension.present);
    EXPECT_TRUE(seen.extension.problem.isEmpty());
    EXPECT_EQ(seen.extensionOverruled, 0);
    expectSameObject(seen.outside.objects[0].object, *doc->outsideSlots[3]);
    CardObject picture = *doc->insideSlots[9];
    picture.picture = DibImage();
    expectSameObject(seen.inside.objects[0].object, picture);
    EXPECT_EQ(seen.inside.backgroundFile, QStringLiteral("Grüße→Hintergrund.jpg"));
}

TEST_F(CardExtensionTest, EveryPropertySurvivesSaveOpenAndSaveAgainToIdenticalBytes) {
    fillCard(*doc);
    doc->outsideSlots[3]->extras.unknown = QByteArray::fromHex("6300030000000a0b0c");
    ASSERT_TRUE(save(*doc, path("alles.kar")));
    const QByteArray first = readAll(path("alles.kar"));
    auto back = std::make_unique<CardDocument>();
    ASSERT_TRUE(open(*back, path("alles.kar")));  // the picture is missing: one message
    EXPECT_EQ(back->outsideSlots[3]->extras, doc->outsideSlots[3]->extras);
    EXPECT_EQ(back->outsideSlots[3]->content, doc->outsideSlots[3]->content);
    EXPECT_EQ(back->outsideSlots[3]->fontName, doc->outsideSlots[3]->fontName);
    EXPECT_EQ(back->outsideSlots[3]->fontSize, doc->outsideSlots[3]->fontSize);
    EXPECT_EQ(back->insideSlots[9]->extras, doc->insideSlots[9]->extras);
    EXPECT_FALSE(back->hasUnsavedChanges());
    ASSERT_TRUE(save(*back, path("wieder.kar")));
    EXPECT_EQ(readAll(path("wieder.kar")), first);
}

// A 1.0 program that moved the text and saved without the extension would lose it anyway;
// here the 1.0 bytes are changed under a kept extension, as a byte editor or a careless
// tool would. The changed object takes its 1.0 values, the other keeps its exact ones.
TEST_F(CardExtensionTest, ObjectsChangedInTheir10BytesKeepThe10Values) {
    fillCard(*doc);
    QByteArray bytes = cardBytes(*doc);
    const qsizetype at = bytes.indexOf(le32(3) + le32(424242));
    ASSERT_GT(at, 0);
    bytes.replace(at + 4, 4, le32(424243));

    CardFileData seen;
    ASSERT_EQ(parseCardFile(bytes, seen), CardReadStatus::Ok);
    EXPECT_EQ(seen.extensionOverruled, 1);
    const CardObject& text = seen.outside.objects[0].object;
    EXPECT_EQ(text.x, 424243);
    EXPECT_EQ(text.content, QStringLiteral("Alles Gute ? zum Fest"));
    EXPECT_EQ(text.fontName, QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(text.extras.isDefault());
    EXPECT_EQ(seen.inside.objects[0].object.extras, doc->insideSlots[9]->extras);

    // A deleted object's extension finds no record and is dropped as well.
    auto d = std::make_unique<CardDocument>();
    fillCard(*d);
    const QByteArray withText = cardBytes(*d);
    const qsizetype ext = extensionStart(withText);
    CardDocument::freeObject(*d->outsideSlots[3]);
    const QByteArray without = cardBytes(*d);
    QByteArray edited = without.first(extensionStart(without)) + withText.sliced(ext);
    ASSERT_EQ(parseCardFile(edited, seen), CardReadStatus::Ok);
    EXPECT_EQ(seen.extensionOverruled, 1);
    EXPECT_TRUE(seen.outside.objects.empty());
    EXPECT_EQ(seen.inside.objects[0].object.extras, d->insideSlots[9]->extras);
}

TEST_F(CardExtensionTest, ChunksOfALaterVersionAreWrittenBackUnchanged) {
    fillCard(*doc);
    const QByteArray later = chunk("ZUKU", QByteArray("aus einer späteren Version"));
    const QByteArray ours = cardBytes(*doc);
    const qsizetype ext = extensionStart(ours);
    writeAll(path("spaeter.kar"), ours.first(ext) + area(ours.sliced(ext + 16) + later));
    ASSERT_TRUE(open(*doc, path("spaeter.kar")));
    ASSERT_EQ(doc->extensionChunks.size(), 1u);
    ASSERT_TRUE(save(*doc, path("zurueck.kar")));
    const QByteArray saved = readAll(path("zurueck.kar"));
    EXPECT_TRUE(saved.endsWith(later));

    // A 1.0 card with nothing new but a later chunk keeps the chunk, behind a fresh tag.
    auto plain = std::make_unique<CardDocument>();
    const QByteArray old = cardBytes(*plain);
    const QByteArray tagged = area(later);
    writeAll(path("alt.kar"), old + tagged);
    ASSERT_TRUE(open(*plain, path("alt.kar")));
    ASSERT_TRUE(save(*plain, path("alt2.kar")));
    EXPECT_TRUE(readAll(path("alt2.kar")).endsWith(tagged));
}

// Every cut, every flipped byte and absurd lengths inside the extension: the 1.0 card is read
// whole, the extension is either read or dropped with a reason, nothing else.
TEST_F(CardExtensionTest, ADamagedExtensionCostsOnlyTheExtension) {
    fillCard(*doc);
    const QByteArray good = cardBytes(*doc);
    const qsizetype ext = extensionStart(good);
    CardFileData as10;
    ASSERT_EQ(parseCardFile(good, as10, CardReadMode::Version10), CardReadStatus::Ok);
    const auto expect10 = [&](const CardFileData& seen, const char* what, qsizetype at) {
        ASSERT_EQ(seen.outside.objects.size(), 1u) << what << at;
        EXPECT_EQ(seen.outside.objects[0].object, as10.outside.objects[0].object) << what << at;
        EXPECT_EQ(seen.inside.objects[0].object, as10.inside.objects[0].object) << what << at;
        EXPECT_FALSE(seen.extension.problem.isEmpty()) << what << at;
    };
    CardFileData seen;
    for (qsizetype len = ext + 1; len < good.size(); ++len) {
        ASSERT_EQ(parseCardFile(QByteArrayView(good).first(len), seen), CardReadStatus::Ok);
        if (len < ext + qsizetype(kExtensionMagic.size())) {
            EXPECT_FALSE(seen.extension.present) << len;  // no tag: bytes a 1.0 reader skips
            continue;
        }
        expect10(seen, "cut at ", len);
    }
    for (qsizetype at = ext + 8; at < good.size(); ++at) {
        QByteArray bad = good;
        bad[at] = char(bad[at] ^ 0x10);
        ASSERT_EQ(parseCardFile(bad, seen), CardReadStatus::Ok);
        expect10(seen, "flipped at ", at);
    }
    // A chunk claiming 4 GB, a span count beyond the bytes, an angle that is no number, the
    // same object twice, an unknown version: each read without allocating what it claims.
    const QByteArray head = good.first(ext);
    const QByteArray object = QByteArray(1, '\0') + le32(3) + le32(0);
    const QByteArray huge = QByteArray("OBJX") + QByteArray(4, char(0xFF));
    const QByteArray runs =
        chunk("OBJX", object + QByteArray("\x0a\x00", 2) + le32(4) + le32(0x7FFFFFFF));
    const QByteArray nan = chunk("OBJX", object + QByteArray("\x03\x00", 2) + le32(8) +
                                             le64(std::numeric_limits<double>::quiet_NaN()));
    const QByteArray twice = chunk("OBJX", object) + chunk("OBJX", object);
    // An ornament name becomes a file name: only plain names are taken.
    const auto ornament = [&](const QByteArray& name) {
        return head + area(chunk("OBJX", object + QByteArray("\x0d\x00", 2) +
                                             le32(int32_t(name.size())) + name));
    };
    for (const QByteArray& bad :
         {head + area(huge), head + area(runs), head + area(nan), head + area(twice),
          head + area(chunk("OBJX", object), 2), ornament("../weg"), ornament("Herz"), ornament(""),
          ornament("herz/rot"), ornament(QByteArray(65, 'a'))}) {
        ASSERT_EQ(parseCardFile(bad, seen), CardReadStatus::Ok);
        EXPECT_FALSE(seen.extension.problem.isEmpty());
        EXPECT_TRUE(seen.outside.objects[0].object.extras.isDefault());
    }
    ASSERT_EQ(parseCardFile(ornament(QByteArray(64, 'a')), seen), CardReadStatus::Ok);
    EXPECT_TRUE(seen.extension.problem.isEmpty());
    const CardExtension named = parseCardExtension(
        area(chunk("OBJX", object + QByteArray("\x0d\x00", 2) + le32(8) + "herz-rot")));
    ASSERT_EQ(named.objects.size(), 1u);
    EXPECT_EQ(named.objects[0].extras.ornament, QStringLiteral("herz-rot"));

    // Opened, the card says once that its extension was dropped and opens as 1.0 reads it.
    QByteArray bad = good;
    bad[good.size() - 1] = char(bad[good.size() - 1] ^ 1);
    writeAll(path("kaputt.kar"), bad);
    dialogs.messages.clear();
    ASSERT_TRUE(open(*doc, path("kaputt.kar")));
    const QStringList texts = dialogs.texts();
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("Die Erweiterungen der Karte")));
    EXPECT_EQ(doc->outsideSlots[3]->content, QStringLiteral("Alles Gute ? zum Fest"));
}

// Each new property set in its own step: undone, the card saves to the bytes before the step
// (no extension once the last is undone), redone, to those after it.
TEST_F(CardExtensionTest, EachNewPropertyUndoesAndRedoesToTheSameBytes) {
    CardObject& o = *doc->outsideSlots[5];
    setAll(o, 1, KindText);
    o.content = QStringLiteral("Alles Gute zum Fest");
    doc->markSaved();
    EditHistory history(*doc);
    const ObjectExtras all = fieldsDetail::distinctExtras(3);
    const std::vector<std::function<void(CardObject&)>> steps = {
        [&](CardObject& x) { x.extras.fineAngle = all.fineAngle; },
        [&](CardObject& x) { x.extras.group = all.group; },
        [&](CardObject& x) { x.extras.locked = true; },
        [&](CardObject& x) { x.extras.crop = all.crop; },
        [&](CardObject& x) { x.extras.tone = ToneGrey; },
        [&](CardObject& x) { x.extras.saturation = -40; },
        [&](CardObject& x) { x.extras.cornerRadius = 250; },
        [&](CardObject& x) { x.extras.feather = 100; },
        [&](CardObject& x) { x.extras.lineSpacing = 150; },
        [&](CardObject& x) { x.extras.letterSpacing = 80; },
        [&](CardObject& x) { x.extras.runs = all.runs; },
        [&](CardObject& x) { x.extras.arcRadius = 3000; },
        [&](CardObject& x) { x.content += QStringLiteral(" 🥳"); },
    };
    std::vector<QByteArray> states = {cardBytes(*doc)};
    for (const auto& step : steps) {
        history.begin();
        step(*doc->outsideSlots[5]);
        history.end(QStringLiteral("Eigenschaft"));
        states.push_back(cardBytes(*doc));
        EXPECT_NE(states.back(), states[states.size() - 2]);
    }
    EXPECT_EQ(extensionStart(states.front()), -1);
    for (size_t i = steps.size(); i > 0; --i) {
        history.undo();
        EXPECT_EQ(cardBytes(*doc), states[i - 1]) << "undo " << i;
    }
    for (size_t i = 1; i <= steps.size(); ++i) {
        history.redo();
        EXPECT_EQ(cardBytes(*doc), states[i]) << "redo " << i;
    }
}

TEST(CardExtensionAngles, AnyAngleSplitsIntoTheNearestQuarterTurnAndTheRest) {
    struct Case {
        double degrees;
        int quarter;
        double fine;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{30, 0, 30}, Case{45, 0, 45}, Case{46, 1, -44},
                          Case{90, 1, 0}, Case{200, 2, 20}, Case{315, 3, 45}, Case{316, 0, -44},
                          Case{-30, 0, -30}, Case{-90, 3, 0}, Case{720 + 100, 1, 10}}) {
        const SplitAngle s = splitAngle(c.degrees);
        EXPECT_EQ(s.quarterTurns, c.quarter) << c.degrees;
        EXPECT_DOUBLE_EQ(s.fineAngle, c.fine) << c.degrees;
        const double whole = std::fmod(std::fmod(c.degrees, 360.0) + 360.0, 360.0);
        EXPECT_NEAR(totalAngle(s.quarterTurns, s.fineAngle), whole, 1e-9) << c.degrees;
    }
    EXPECT_EQ(splitAngle(std::numeric_limits<double>::infinity()).quarterTurns, 0);
}
