// Builds the shipped designs from their description (resources/designs/designs.json): each
// design becomes an ordinary card file "<file>.kar" with the pictures it uses, drawn here by
// the design painters, and the folder gets the index the design library reads.
//
// The description: {"dpi": 150, "designs": [design, ...]}. A design has "file" (lower-case
// ASCII letters, digits and "-"), "name", "occasion", "keywords" ("a, b"), "card" (the exact
// name of a card type of the starter list) and the sides "outside" and "inside". A side has a
// "background" ({"painter", "colours", "seed", "count", "mirror"} or {"colour"}), "motifs"
// drawn into the background and "objects" placed on the card. Boxes are
// [half, x, y, width, height] with half "back"/"front" outside, "left"/"right" inside or
// "full", and the lengths in fractions of that half. Font sizes are points on a half of
// 105 × 148.5 mm and follow the card's size.
#pragma once

#include <QString>
#include <QStringList>

namespace bb {

struct DesignBuildResult {
    bool ok = false;
    QString error;      // why the build stopped
    QStringList files;  // the card files written, by name
};

// Writes every design of the description into `outDir` (made when missing), then the index.
DesignBuildResult buildDesigns(const QString& descriptionPath, const QString& outDir);

}  // namespace bb
