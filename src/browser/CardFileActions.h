// What the browser does with a card file on the user's request: rename, duplicate, move to the
// trash and show in the desktop's file manager. Each returns what happened; the messages are
// the German texts the tab shows.
#pragma once

#include <QString>

#include <functional>

class QObject;

namespace bb {

struct CardFileResult {
    QString path;   // the card's new path (rename, duplicate); empty on failure
    QString error;  // a message for the user; empty on success or when nothing was asked
    bool ok() const { return !path.isEmpty(); }
};

// The file name a rename to `typed` gives: trimmed, with ".kar" added when it does not end in
// it (any case). Empty for an empty or blank name.
QString cardFileName(const QString& typed);

// Renames the card `path` in its folder to cardFileName(typed). Refuses a name with "/", "."
// or "..", and a name that another file of the folder already has; a name equal to the old
// one does nothing (no path, no error).
CardFileResult renameCardFile(const QString& path, const QString& typed);

// The first free name of "Name (Kopie).kar", "Name (Kopie 2).kar", ... in the folder of `path`.
QString duplicateCardPath(const QString& path);
// Copies the card beside itself under duplicateCardPath. The card's pictures are referred to
// by name and stay where they are.
CardFileResult duplicateCardFile(const QString& path);

// Moves the card to the user's trash (QFile::moveToTrash); an error message on failure.
QString trashCardFile(const QString& path);

// The question asked before a card goes to the trash.
QString trashQuestion(const QString& path);

// Asks the desktop's file manager over D-Bus (org.freedesktop.FileManager1.ShowItems) to show
// `path` selected. Without a session bus or when no file manager answers, `fallback` runs on
// `context`'s thread; that is also what happens where the program is built without D-Bus.
void showInFileManager(const QString& path, QObject* context, std::function<void()> fallback);

}  // namespace bb
