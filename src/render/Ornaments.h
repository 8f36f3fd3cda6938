// The ornaments that come with the program ("Schmuck"): vector drawings in SVG with a
// catalogue of name, category, label and whether they take the object's colour. A picture
// object that names an ornament (ObjectExtras::ornament) is drawn from the vector at every
// resolution; beside the card lies a PNG rendering of it under the object's 1.0 picture name,
// for programs that know only the 1.0 layout.
#pragma once

#include "document/CardDocument.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QPainter;

namespace bb {

struct OrnamentInfo {
    QString name;               // file stem of its SVG: lowercase letters, digits and '-'
    QString category;           // "Herzen", "Sterne", ...
    QString label;              // the German name shown to people
    bool recolourable = false;  // its "currentColor" takes the object's colour
    QSizeF size;                // the SVG's own size (its view box), for the aspect
};

// Reads a catalogue folder: `folder`/ornaments.csv (header "name,category,label,recolourable")
// and `folder`/svg/<name>.svg. An entry whose line is malformed, whose name repeats or is not
// a plain name, or whose SVG is missing or does not load is left out with a warning; a missing
// or unreadable catalogue gives none.
std::vector<OrnamentInfo> readOrnamentCatalogue(const QString& folder);

// The program's own ornaments (the resource ":/ornaments"), read once.
const std::vector<OrnamentInfo>& ornamentCatalogue();
// The entry of `name`, or null when the catalogue has none (a card of a newer version).
const OrnamentInfo* findOrnament(const QString& name);
// The categories in catalogue order, each once.
QStringList ornamentCategories();

// The ornament's SVG as shipped; empty for an unknown name.
QByteArray ornamentSvg(const QString& name);
// The SVG with every "currentColor" replaced by `colour` (for recolourable ornaments).
QByteArray recolouredSvg(const QByteArray& svg, const QColor& colour);

// The colour a recolourable ornament takes from its object (CardObject::color, 0x00BBGGRR);
// null for an ornament of fixed colours.
QColor ornamentColour(const OrnamentInfo& info, uint32_t colorRef);
// The colour recolourable ornaments show in previews and get when inserted.
inline constexpr uint32_t kOrnamentDefaultColour = 0x002020B0;  // a deep red, 0x00BBGGRR

// Draws the ornament stretched into `target` (callers keep the aspect where they want it);
// `colour` replaces currentColor when valid. False (nothing drawn) for an unknown name.
// Safe to call from several threads: the loaded drawings are shared and used one at a time.
bool drawOrnament(QPainter& p, const QString& name, const QRectF& target, const QColor& colour);
// The largest rectangle of `size`'s aspect centred in `box`.
QRectF fitAspect(const QSizeF& size, const QRectF& box);
// The ornament at `size` pixels, aspect kept and centred, on transparent ground (previews).
QImage ornamentImage(const QString& name, const QSize& size, const QColor& colour);

// ---- The 1.0 picture ------------------------------------------------------------------------

// Pixels on the longer side of an ornament's 1.0 picture: 100 mm at 300 dpi.
inline constexpr int kOrnamentPicturePixels = 1181;
// The colour of the 1.0 picture's ground, which the object draws transparent.
inline constexpr uint32_t kOrnamentGround = 0x00FFFFFF;

// The file name of the object's 1.0 picture: "Schmuck-<name>.png", for a recolourable one
// "Schmuck-<name>-rrggbb.png".
QString ornamentPictureName(const OrnamentInfo& info, uint32_t colorRef);
// The 1.0 picture: RGB, the ornament composited on white, the ground pure white and every
// drawn pixel that would be pure white made (254, 254, 254), so that a 1.0 program drawing
// white transparent shows the ornament alone. Deterministic; null for an unknown name.
QImage ornamentPicture(const OrnamentInfo& info, uint32_t colorRef);
QByteArray ornamentPicturePng(const OrnamentInfo& info, uint32_t colorRef);

// Makes `o` a picture object showing the ornament: its name, colour, 1.0 picture name and a
// transparent white ground; size and place are the caller's.
void makeOrnamentObject(CardObject& o, const OrnamentInfo& info, uint32_t colorRef);

// True for a picture that shows a known ornament taking the object's colour.
bool isRecolourableOrnament(const CardObject& o);
// Sets the colour of an object: for a recolourable ornament also its 1.0 picture name.
void setObjectColour(CardObject& o, uint32_t colorRef);

// For a card about to be saved as `cardPath`: gives every object with a known ornament its 1.0
// picture name and writes that PNG into the card's folder (never through a link; a file with
// the same bytes is left as it is). The result lists "name: reason" for PNGs not written.
QStringList writeOrnamentPictures(CardDocument& doc, const QString& cardPath);

// Writes the ornament's SVG as shipped into `folder` as "<name>.svg" (never through a link;
// an existing regular file is replaced). Empty on success, else the reason (German).
QString writeOrnamentSvg(const QString& folder, const OrnamentInfo& info);

struct OrnamentFiles {
    QStringList written;  // file names
    QStringList failed;   // "name: reason"
};
// The SVG of every known ornament the card shows, beside the card about to be saved as
// `cardPath`.
OrnamentFiles writeOrnamentSvgs(const CardDocument& doc, const QString& cardPath);

}  // namespace bb
