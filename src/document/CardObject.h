// One text, picture or figure on a side. Every field is named once more in fields(); equality,
// the unsaved-changes snapshot and the clipboard stream go through that list, so a field added
// to the record and not to the list fails to compile here, and one added to the list is
// compared, snapshotted and copied without further work. The card file keeps some fields of
// different kinds in one place; that sharing lives in the card file's reader and writer only.
#pragma once

#include "document/ObjectExtras.h"
#include "pictures/DibImage.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>

class QDataStream;

namespace bb {

enum ObjectKind : int32_t { KindFree = 0, KindFigure = 1, KindText = 2, KindPicture = 3 };

enum FigureKind : int32_t {
    FigCircle = 0,
    FigEllipse = 1,
    FigSquare = 2,
    FigRectangle = 3,
    FigRoundSquare = 4,
    FigRoundRect = 5,
    FigLineHorizontal = 6,
    FigLineVertical = 7,
    FigLineUp = 8,
    FigLineDown = 9,
};

enum FillModeValue : int32_t { FillSolid = 0, FillBorderOnly = 1, FillWithBorder = 2 };

// FontStyle bits.
enum FontStyleBit : uint8_t {
    StyleBold = 1,
    StyleItalic = 2,
    StyleUnderline = 4,
    StyleStrikeOut = 8
};

struct CardObject {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool keepAspect = false;
    int32_t rotation = 0;   // quarter turns clockwise, 0..3
    int32_t alignment = 0;  // 0 left, 1 centred, 2 right
    int32_t kind = KindFree;
    int32_t lineWidth = 0;     // figure: steps of 0.2 mm
    uint32_t borderColor = 0;  // figure: pen of fill modes 1 and 2
    int32_t fillMode = 0;      // figure: FillModeValue
    uint32_t color = 0;
    bool autoTransparent = false;
    bool transparent = false;
    bool shadow = false;
    bool roundFrame = false;  // picture: drawn in an elliptic frame
    int32_t shadowDx = 5;
    int32_t shadowDy = 5;
    int32_t figureKind = 0;
    QString content;
    DibImage picture;
    uint32_t fontColor = 0;
    int32_t fontHeight = 0;
    QString fontName;
    uint8_t fontPitch = 0;
    int32_t fontSize = 0;
    uint8_t fontStyle = 0;
    int32_t transparentColor = 0;  // picture: the colour drawn transparent, −1 for none
    uint32_t outlineColor = 0;     // text
    int32_t shadowColor = 0;       // text
    bool outline = false;          // text
    ObjectExtras extras;           // beyond the 1.0 record: the card file's extension area

    static constexpr std::size_t kFieldCount = 32;

    // The one list of the fields, in declaration order.
    template <class Self>
    static auto tieFields(Self& o) {
        return std::tie(o.x, o.y, o.width, o.height, o.keepAspect, o.rotation, o.alignment, o.kind,
                        o.lineWidth, o.borderColor, o.fillMode, o.color, o.autoTransparent,
                        o.transparent, o.shadow, o.roundFrame, o.shadowDx, o.shadowDy, o.figureKind,
                        o.content, o.picture, o.fontColor, o.fontHeight, o.fontName, o.fontPitch,
                        o.fontSize, o.fontStyle, o.transparentColor, o.outlineColor, o.shadowColor,
                        o.outline, o.extras);
    }

    auto fields() { return tieFields(*this); }
    auto fields() const { return tieFields(*this); }

    bool used() const { return kind > 0; }

    // Equal in every field; pictures are equal when they are the same shared picture.
    friend bool operator==(const CardObject& a, const CardObject& b);
};

// Calls f(field) for every field in declaration order.
template <class Object, class F>
void forEachField(Object& o, F&& f) {
    std::apply([&f](auto&... m) { (f(m), ...); }, o.fields());
}

// Calls f(fieldOfA, fieldOfB) for every field of two objects, pair by pair.
template <class A, class B, class F>
void forEachFieldPair(A& a, B& b, F&& f) {
    auto fa = a.fields();
    auto fb = b.fields();
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (f(std::get<I>(fa), std::get<I>(fb)), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<decltype(fa)>>());
}

// Streams every field for the unsaved-changes snapshot: the picture as its shared identity,
// so that a picture replaced under the same name is a change.
void writeSnapshotFields(QDataStream& s, const CardObject& o);
// Streams every field but the picture, which a clipboard payload names on its own.
void writeFieldsWithoutPicture(QDataStream& s, const CardObject& o);
// Reads what writeFieldsWithoutPicture wrote; the picture is left as it is.
void readFieldsWithoutPicture(QDataStream& s, CardObject& o);

namespace detail {
// Converts to any field type; only named in unevaluated code, to count a record's fields.
struct AnyField {
    template <class T>
    operator T() const;  // NOLINT(google-explicit-constructor)
};
template <class T, class... Given>
consteval std::size_t aggregateFieldCount() {
    if constexpr (requires { T{Given{}..., AnyField{}}; })
        return aggregateFieldCount<T, Given..., AnyField>();
    else
        return sizeof...(Given);
}
}  // namespace detail

static_assert(detail::aggregateFieldCount<CardObject>() == CardObject::kFieldCount,
              "a new CardObject field must be named in fields() and kFieldCount");
static_assert(std::tuple_size_v<decltype(std::declval<CardObject&>().fields())> ==
                  CardObject::kFieldCount,
              "fields() must name every CardObject field once");

}  // namespace bb
