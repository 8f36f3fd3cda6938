// The object's fields, each changed in turn: equality, the unsaved-changes snapshot and the
// card file (which field each kind stores, and that the reader gives it back) see every one.
#include "CardFileFixture.h"

#include <set>

using namespace bb;
using namespace bbtest;

namespace {

constexpr std::size_t kFields = CardObject::kFieldCount;

CardObject anObject(int32_t kind) {
    CardObject o;
    setAll(o, 1, kind);
    return o;
}

}  // namespace

// The count of members is checked when compiling; here, that no member is named twice (and
// so another left out) and that each one named lies within the object.
TEST(CardObjectFields, TheListNamesEveryMemberOnce) {
    CardObject o;
    const char* begin = reinterpret_cast<const char*>(&o);
    std::set<const void*> seen;
    forEachField(o, [&](const auto& field) {
        const char* at = reinterpret_cast<const char*>(&field);
        EXPECT_TRUE(at >= begin && at < begin + sizeof(CardObject)) << seen.size();
        seen.insert(at);
    });
    EXPECT_EQ(seen.size(), kFields);
}

TEST(CardObjectFields, EveryFieldChangedInTurnMakesTheObjectDiffer) {
    const CardObject a = anObject(KindText);
    EXPECT_TRUE(a == CardObject(a));
    for (std::size_t i = 0; i < kFields; ++i) {
        CardObject b = a;
        changeField(b, i);
        EXPECT_FALSE(a == b) << "field " << i;
        EXPECT_FALSE(b == a) << "field " << i;
    }
    // A copy of a picture shares it and is the same; another with the same pixels is not.
    CardObject p = anObject(KindPicture);
    p.picture = newDib(2, 2, 24);
    CardObject q = p;
    EXPECT_TRUE(p == q);
    q.picture = newDib(2, 2, 24);
    EXPECT_FALSE(p == q);
}

TEST(CardObjectFields, EveryFieldChangedInTurnIsAnUnsavedChangeOnEitherSide) {
    auto doc = std::make_unique<CardDocument>();
    for (int side : {SideOutside, SideInside}) {
        CardObject& o = *doc->sideSlots(side)[7];
        o = anObject(KindFigure);
        doc->markSaved();
        const CardObject saved = o;
        for (std::size_t i = 0; i < kFields; ++i) {
            changeField(o, i);
            EXPECT_TRUE(doc->hasUnsavedChanges()) << "side " << side << ", field " << i;
            o = saved;
            EXPECT_FALSE(doc->hasUnsavedChanges()) << "side " << side << ", field " << i;
        }
        CardDocument::freeObject(o);
    }
}

// Which of an object's fields a card file does not store: the picture (a file name stands for
// it) and the properties of the other meanings of the shared slots.
TEST(CardObjectFields, TheFileStoresEveryFieldOfAKindAndReadsItBack) {
    struct Case {
        int32_t kind;
        std::set<const void*> unstored;
    };
    CardObject o;
    const std::vector<Case> cases = {
        {KindFigure,
         {&o.picture, &o.transparentColor, &o.outlineColor, &o.shadowColor, &o.outline}},
        {KindText, {&o.picture, &o.transparentColor, &o.borderColor, &o.fillMode, &o.roundFrame}},
        {KindPicture, {&o.picture, &o.lineWidth, &o.outlineColor, &o.shadowColor, &o.outline}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        auto doc = std::make_unique<CardDocument>();
        CardObject& record = *doc->outsideSlots[2];
        record = anObject(c.kind);
        const CardObject base = record;
        const QByteArray baseBytes = cardFileBytes(*doc, DibImage());
        for (std::size_t i = 0; i < kFields; ++i) {
            record = base;
            changeField(record, i);
            const QByteArray bytes = cardFileBytes(*doc, DibImage());
            bool unstored = false;
            for (const void* member : c.unstored) unstored = unstored || isField(o, i, member);
            EXPECT_EQ(bytes == baseBytes, unstored) << "field " << i;
            CardFileData data;
            ASSERT_EQ(parseCardFile(bytes, data), CardReadStatus::Ok) << "field " << i;
            if (!record.used()) {
                // A kind made 0 or less is no object and is not written.
                EXPECT_TRUE(data.outside.objects.empty()) << "field " << i;
                continue;
            }
            ASSERT_EQ(data.outside.objects.size(), 1u) << "field " << i;
            CardObject expected = storedForm(record);
            expected.picture = DibImage();
            SCOPED_TRACE(i);
            expectSameFields(data.outside.objects[0].object, expected);
        }
    }
}

TEST(CardObjectFields, SharedSlotsGoToTheMeaningOfTheKind) {
    const SharedSlots stored{11, 22u, 33, true};
    CardObject text;
    text.kind = KindText;
    setSharedSlots(text, stored);
    EXPECT_EQ(text.lineWidth, 11);
    EXPECT_EQ(text.outlineColor, 22u);
    EXPECT_EQ(text.shadowColor, 33);
    EXPECT_TRUE(text.outline);
    EXPECT_EQ(text.borderColor, 0u);
    EXPECT_EQ(text.fillMode, 0);
    EXPECT_FALSE(text.roundFrame);
    CardObject picture;
    picture.kind = KindPicture;
    setSharedSlots(picture, stored);
    EXPECT_EQ(picture.transparentColor, 11);
    EXPECT_EQ(picture.lineWidth, 0);
    EXPECT_EQ(picture.borderColor, 22u);
    EXPECT_EQ(picture.fillMode, 33);
    EXPECT_TRUE(picture.roundFrame);
    // An unknown kind keeps the figure's meaning, so that it is written back as it was read.
    for (int32_t kind : {int32_t(KindFigure), int32_t(9)}) {
        CardObject other;
        other.kind = kind;
        setSharedSlots(other, stored);
        EXPECT_EQ(other.lineWidth, 11);
        EXPECT_EQ(other.borderColor, 22u);
        EXPECT_EQ(other.fillMode, 33);
        EXPECT_TRUE(other.roundFrame);
        const SharedSlots back = sharedSlotsOf(other);
        EXPECT_EQ(back.lineWidth, 11);
        EXPECT_EQ(back.borderColor, 22u);
        EXPECT_EQ(back.fillMode, 33);
        EXPECT_TRUE(back.roundFrame);
    }
}
