// The card types the program brings along: on the first start without "Visiten.dat" the
// catalogue is built from the list compiled into the program (document/CardPaper.h reads it,
// since printing also asks it for a type's paper).
#pragma once

#include "document/CardPaper.h"

#include <QString>

namespace bb {

// Writes "Visiten.dat" from the starter list when the program folder has none. True when
// it wrote the file.
bool installStarterCatalogue(const QString& programFolder);

}  // namespace bb
