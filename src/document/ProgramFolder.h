// Where the catalogue and the calibration live.
#pragma once

#include <QString>

namespace bb {

// The folder of the program file when it is writable (a build tree or a portable copy);
// otherwise the per-user data folder of the application, created when missing. Core code
// receives the result as a parameter.
QString programFolder(const QString& executablePath);

// Where the user's cards live: the program folder when the user sees it; when it lies in a
// hidden folder (the data folder of an installed program) "Grußkarten" in `documentsFolder`,
// created when missing. "Visiten.dat" and "options.dat" stay in the program folder.
QString cardFolder(const QString& programFolder, const QString& documentsFolder);

}  // namespace bb
