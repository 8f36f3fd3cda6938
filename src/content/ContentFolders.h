// Where the content that comes with the program (designs, verses) and the user's own additions
// live. Shipped content is read-only: it is found in every XDG data folder under
// "brisella-bildwerker/<kind>" and, when the program runs from a build tree, in the build
// tree's "<kind>" folder. The user's own content lies in the program's data folder.
#pragma once

#include <QString>
#include <QStringList>

namespace bb {

// Folders that may hold the shipped content `kind` ("designs", "verses"), in the order they
// are tried: the installed shared data, then the build tree of a program run from it (the
// executable in build/src/<dir>/ beside build/CMakeCache.txt). Only existing folders.
QStringList shippedContentFolders(const QString& kind, const QString& executableDir);

// The user's folder for their own content `name` ("Eigene Vorlagen", "Eigene Sprüche"),
// inside `dataFolder` (the program's writable data folder). Made when missing; empty when it
// cannot be made or is not a real folder (a link or a file of that name).
QString userContentFolder(const QString& dataFolder, const QString& name);

// The program's writable data folder (XDG data home "/brisella-bildwerker").
QString userDataFolder();

}  // namespace bb
