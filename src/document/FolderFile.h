// Files written into a folder the person chose, one name at a time, without ever writing
// through a symbolic link or onto anything but a regular file of that folder: the bytes go
// into a new temporary file of the folder and are renamed onto the name, which replaces a
// directory entry and never follows it. A planted link "A.bmp -> ../elsewhere" therefore
// never reaches what it points to.
#pragma once

#include <QByteArray>
#include <QString>

namespace bb {

// What a name of a folder is, seen without following a link.
enum class FolderEntry {
    None,         // nothing has that name
    RegularFile,  // a regular file (not a link to one)
    Other,        // a link, folder, device, pipe or socket
};
FolderEntry folderEntry(const QString& folder, const QString& name);

enum class FolderWrite {
    Written,
    NameTaken,  // the name was not free (or no longer a regular file): choose another
    Failed,
};

// Writes `bytes` as `name` (a plain file name, no '/') in `folder`, whole or not at all.
// With `replaceRegularFile` an existing regular file of that name is replaced; anything else
// under the name (a link, a folder, a device), or any file at all without it, gives
// NameTaken and leaves it untouched. `error` gets the reason of a failure (German).
FolderWrite writeFileInFolder(const QString& folder, const QString& name, const QByteArray& bytes,
                              bool replaceRegularFile, QString* error = nullptr);

}  // namespace bb
