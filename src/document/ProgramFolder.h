// Where the catalogue and the calibration live.
#pragma once

#include <QString>

namespace bb {

// The folder of the program file when it is writable (a build tree or a portable copy);
// otherwise the per-user data folder of the application, created when missing. Core code
// receives the result as a parameter.
QString programFolder(const QString& executablePath);

}  // namespace bb
