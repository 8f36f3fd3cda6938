// The properties of an object that the 1.0 card record cannot hold: a turn by any angle, groups
// and locks, a picture's crop, colour settings, corners and ornament, and a text's spacing,
// formatted spans and arc. The card file keeps them in its extension area (docs/card-file.md); a
// card whose objects all have the start values here is saved exactly as version 1.0 saves it.
#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <vector>

class QDataStream;

namespace bb {

enum PictureTone : int32_t { ToneColour = 0, ToneGrey = 1, ToneSepia = 2 };

// Part of a text with formatting of its own; the rest of the text uses the object's font.
// Positions count UTF-16 code units of the object's content.
struct TextRun {
    int32_t start = 0;
    int32_t length = 0;
    QString fontName;       // the face
    int32_t fontSize = 0;   // points, as CardObject::fontSize
    uint8_t fontStyle = 0;  // FontStyleBit
    uint32_t fontColor = 0;

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

struct ObjectExtras {
    // Degrees clockwise added to the quarter turns of CardObject::rotation, −45 < a ≤ 45; the
    // object is drawn turned about the centre of its box.
    double fineAngle = 0;
    int32_t group = 0;    // objects of a side with the same number > 0 select and move as one
    bool locked = false;  // not picked or dragged on the card; chosen in the object list

    // Pictures. The part of the picture shown in the box, in fractions of the (turned)
    // picture's width and height; an empty rectangle shows all of it.
    QRectF crop;
    int32_t brightness = 0;  // −100..100
    int32_t contrast = 0;    // −100..100
    int32_t saturation = 0;  // −100..100
    int32_t tone = ToneColour;
    int32_t cornerRadius = 0;  // hundredths of a millimetre
    int32_t feather = 0;       // hundredths of a millimetre of soft edge
    // The program's ornament the picture shows ("herz-rot"), drawn from its vector; the 1.0
    // picture then names a PNG rendering of it. Empty for an ordinary picture.
    QString ornament;

    // Texts.
    int32_t lineSpacing = 100;  // percent of the font's line height
    int32_t letterSpacing = 0;  // thousandths of the font size added after every character
    std::vector<TextRun> runs;  // sorted, not overlapping
    int32_t arcRadius = 0;      // hundredths of a millimetre; 0 sets the text in lines
    bool arcDown = false;       // the text runs along the lower half of the circle

    // Properties a later version stored in this object's extension record, kept as they are
    // and written back unchanged.
    QByteArray unknown;

    friend bool operator==(const ObjectExtras&, const ObjectExtras&) = default;
    // True when every property has its start value: nothing beyond the 1.0 record.
    bool isDefault() const;
};

QDataStream& operator<<(QDataStream& s, const TextRun& r);
QDataStream& operator>>(QDataStream& s, TextRun& r);
QDataStream& operator<<(QDataStream& s, const ObjectExtras& e);
QDataStream& operator>>(QDataStream& s, ObjectExtras& e);

// The quarter turns nearest to `degrees` (0..3) and the rest in (−45, 45].
struct SplitAngle {
    int32_t quarterTurns = 0;
    double fineAngle = 0;
};
SplitAngle splitAngle(double degrees);
// The whole turn of an object in degrees, 0 ≤ a < 360.
double totalAngle(int32_t quarterTurns, double fineAngle);

}  // namespace bb
