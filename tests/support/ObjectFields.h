// Setting, changing and comparing every field of an object through CardObject::fields(), so
// that a field added to the object is covered by every test that uses these helpers.
#pragma once

#include "document/CardObject.h"
#include "pictures/PictureOps.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstddef>
#include <type_traits>

namespace bbtest {

namespace fieldsDetail {

// Every property beyond the 1.0 record away from its start value and within its range; the
// spans fit the shortest text the tests give an object.
inline bb::ObjectExtras distinctExtras(int n) {
    bb::ObjectExtras e;
    e.fineAngle = 1.0 + (n % 40) + 0.25;
    e.group = 1 + n % 90;
    e.locked = true;
    e.crop = QRectF(0.125, 0.25, 0.5, 0.625);
    e.brightness = 1 + n % 99;
    e.contrast = -(1 + n % 99);
    e.saturation = 2 + n % 98;
    e.tone = bb::ToneSepia;
    e.cornerRadius = 100 + n;
    e.feather = 50 + n;
    e.ornament = QStringLiteral("schmuck-%1").arg(n);
    e.lineSpacing = 120 + n % 100;
    e.letterSpacing = 5 + n % 100;
    e.runs = {{0, 3, QStringLiteral("Liberation Serif"), 30, bb::StyleBold, 0x0000FFu},
              {4, 2, QStringLiteral("Noto Sans ✓"), 12, bb::StyleItalic, 0x00FF00u}};
    e.arcRadius = 4000 + n;
    e.arcDown = true;
    return e;
}

// A value away from the field type's start value, different for every seed and field index.
template <class T>
void setDistinct(T& v, int seed, std::size_t index) {
    const int n = 1000 * seed + int(index) + 1;
    if constexpr (std::is_same_v<T, bool>)
        v = true;
    else if constexpr (std::is_same_v<T, uint8_t>)
        v = uint8_t(1 + n % 250);
    else if constexpr (std::is_same_v<T, int32_t>)
        v = -7 * n;
    else if constexpr (std::is_same_v<T, uint32_t>)
        v = 0x010203u * uint32_t(n);
    else if constexpr (std::is_same_v<T, QString>)
        v = QStringLiteral("Feld %1: äöü ß € %2").arg(index).arg(seed);
    else if constexpr (std::is_same_v<T, bb::ObjectExtras>)
        v = distinctExtras(n);
    else
        static_assert(std::is_same_v<T, bb::DibImage>, "a new field type needs a value here");
}

template <class T>
void change(T& v) {
    if constexpr (std::is_same_v<T, bool>)
        v = !v;
    else if constexpr (std::is_same_v<T, QString>)
        v += QLatin1Char('x');
    else if constexpr (std::is_same_v<T, bb::DibImage>)
        v = bb::newDib(1, 1, 24);  // another picture, whatever the pixels
    else if constexpr (std::is_same_v<T, bb::ObjectExtras>)
        v.fineAngle = v.fineAngle > 0 ? v.fineAngle - 1 : v.fineAngle + 1;
    else
        v = T(v + 1);
}

template <class T>
bool same(const T& a, const T& b) {
    if constexpr (std::is_same_v<T, bb::DibImage>)
        return a.sharedId() == b.sharedId();
    else
        return a == b;
}

}  // namespace fieldsDetail

// Every field but the picture set away from its start value and from other seeds' values.
inline void setEveryField(bb::CardObject& o, int seed) {
    std::size_t index = 0;
    bb::forEachField(o, [&](auto& field) { fieldsDetail::setDistinct(field, seed, index++); });
}

// Changes the field at `index` (declaration order) to another value of its type.
inline void changeField(bb::CardObject& o, std::size_t index) {
    std::size_t i = 0;
    bb::forEachField(o, [&](auto& field) {
        if (i++ == index) fieldsDetail::change(field);
    });
}

// Whether the field at `index` of `o` is the member at `member` (e.g. &o.outline).
inline bool isField(const bb::CardObject& o, std::size_t index, const void* member) {
    std::size_t i = 0;
    bool found = false;
    bb::forEachField(o, [&](const auto& field) {
        if (i++ == index) found = static_cast<const void*>(&field) == member;
    });
    return found;
}

// Expects every field equal (pictures: the same shared picture), naming the field's index.
inline void expectSameFields(const bb::CardObject& a, const bb::CardObject& b) {
    std::size_t index = 0;
    bb::forEachFieldPair(a, b, [&](const auto& x, const auto& y) {
        EXPECT_TRUE(fieldsDetail::same(x, y)) << "field " << index;
        ++index;
    });
}

}  // namespace bbtest
