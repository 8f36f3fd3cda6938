// The card types the program brings along: on the first start without "Visiten.dat" the
// catalogue is built from the list compiled into the program.
#pragma once

#include "document/CardFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace bb {

struct StarterType {
    CardFormat format;
    QString paper;  // "A4" or "US-Letter"
};

// Parses the starter list: one type a line, "name;paper;width;height;across;down;left;top;
// pitch_x;pitch_y", lengths in mm with "." as decimal point; "#" starts a comment line.
// Lines that do not parse (wrong field count, no number, a length outside the dialog's
// ranges, a count outside 1..50, an empty or over-long name) are skipped.
QList<StarterType> parseStarterCatalogue(const QByteArray& text);

// The list compiled into the program.
QList<StarterType> starterCatalogue();

// Writes "Visiten.dat" from the starter list when the program folder has none. True when
// it wrote the file.
bool installStarterCatalogue(const QString& programFolder);

}  // namespace bb
