#include "document/CardObject.h"

#include <QDataStream>

#include <type_traits>

namespace bb {

namespace {

template <class T>
bool sameField(const T& a, const T& b) {
    return a == b;
}

// Copies share their pixels; a picture is the same when it is the same shared one.
bool sameField(const DibImage& a, const DibImage& b) {
    return a.sharedId() == b.sharedId();
}

template <class T>
constexpr bool isPicture = std::is_same_v<std::remove_cvref_t<T>, DibImage>;

}  // namespace

bool operator==(const CardObject& a, const CardObject& b) {
    bool same = true;
    forEachFieldPair(a, b,
                     [&same](const auto& x, const auto& y) { same = same && sameField(x, y); });
    return same;
}

void writeSnapshotFields(QDataStream& s, const CardObject& o) {
    forEachField(o, [&s](const auto& field) {
        if constexpr (isPicture<decltype(field)>)
            s << quintptr(field.sharedId());
        else
            s << field;
    });
}

void writeFieldsWithoutPicture(QDataStream& s, const CardObject& o) {
    forEachField(o, [&s](const auto& field) {
        if constexpr (!isPicture<decltype(field)>) s << field;
    });
}

void readFieldsWithoutPicture(QDataStream& s, CardObject& o) {
    forEachField(o, [&s](auto& field) {
        if constexpr (!isPicture<decltype(field)>) s >> field;
    });
}

}  // namespace bb
