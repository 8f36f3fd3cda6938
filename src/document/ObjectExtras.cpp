#include "document/ObjectExtras.h"

#include <QDataStream>

#include <cmath>

namespace bb {

bool ObjectExtras::isDefault() const {
    static const ObjectExtras fresh;
    return *this == fresh;
}

QDataStream& operator<<(QDataStream& s, const TextRun& r) {
    return s << r.start << r.length << r.fontName << r.fontSize << r.fontStyle << r.fontColor;
}

QDataStream& operator>>(QDataStream& s, TextRun& r) {
    return s >> r.start >> r.length >> r.fontName >> r.fontSize >> r.fontStyle >> r.fontColor;
}

QDataStream& operator<<(QDataStream& s, const ObjectExtras& e) {
    s << e.fineAngle << e.group << e.locked << e.crop << e.brightness << e.contrast << e.saturation
      << e.tone << e.cornerRadius << e.feather << e.ornament << e.lineSpacing << e.letterSpacing;
    s << quint32(e.runs.size());
    for (const TextRun& r : e.runs) s << r;
    return s << e.arcRadius << e.arcDown << e.unknown;
}

QDataStream& operator>>(QDataStream& s, ObjectExtras& e) {
    s >> e.fineAngle >> e.group >> e.locked >> e.crop >> e.brightness >> e.contrast >>
        e.saturation >> e.tone >> e.cornerRadius >> e.feather >> e.ornament >> e.lineSpacing >>
        e.letterSpacing;
    quint32 count = 0;
    s >> count;
    e.runs.clear();
    // A damaged stream cannot make the list larger than the runs it really holds.
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        TextRun r;
        s >> r;
        if (s.status() == QDataStream::Ok) e.runs.push_back(std::move(r));
    }
    return s >> e.arcRadius >> e.arcDown >> e.unknown;
}

SplitAngle splitAngle(double degrees) {
    if (!std::isfinite(degrees)) return {};
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    // Ties go to the lower quarter turn, so 45° stays a fine turn of the upright object.
    int quarter = int(std::ceil((a - 45.0) / 90.0));
    double fine = a - 90.0 * quarter;
    quarter = ((quarter % 4) + 4) % 4;
    if (std::abs(fine) < 1e-9) fine = 0;
    return {quarter, fine};
}

double totalAngle(int32_t quarterTurns, double fineAngle) {
    double a = std::fmod(90.0 * (((quarterTurns % 4) + 4) % 4) + fineAngle, 360.0);
    if (a < 0) a += 360.0;
    return a;
}

}  // namespace bb
