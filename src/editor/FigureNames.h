// The figures' names as the editor shows them (UTF-8), by FigureKind: the property panel's
// choice and the object list's rows.
#pragma once

namespace bb {

inline constexpr const char* kFigureKindNames[10] = {"Kreis",
                                                     "Ellipse",
                                                     "Quadrat",
                                                     "Rechteck",
                                                     "Quadrat abgerundet",
                                                     "Rechteck abgerundet",
                                                     "Linie horizontal",
                                                     "Linie vertikal",
                                                     "Linie schräg hoch",
                                                     "Linie schräg runter"};

}  // namespace bb
