// The sample cards a new user finds in the browser: on the first start they are copied, with
// the pictures they use, into the card folder. A marker file records that this happened,
// so cards the user deletes later do not come back.
#pragma once

#include <QString>
#include <QStringList>

namespace bb {

// Name of the marker file in the card folder.
inline constexpr char kStarterMarkerName[] = ".brisella-beispielkarten";

// Folders that may hold the sample cards, in the order they are tried: the installed shared
// data ("brisella-bildwerker/samples" in every XDG data folder), then, when the program runs
// from a build tree (build/src/app/brisella-bildwerker beside build/CMakeCache.txt), the build
// tree's "samples" folder.
QStringList sampleFolderCandidates(const QString& executableDir);

// The first candidate that holds at least one card file, or an empty string.
QString findSampleFolder(const QStringList& candidates);

enum class StarterResult {
    Installed,       // the samples were copied and the marker written
    AlreadyDone,     // the marker exists: nothing is copied again
    FolderHasCards,  // the folder already has cards: nothing copied, the marker written
    NoSamples,       // no sample folder: nothing copied, no marker (a later start may copy)
    CopyFailed,      // a file could not be copied; the marker is written all the same
};

// Copies every file of `sampleFolder` (cards and their pictures, no sub-folders, no hidden
// files) into `cardFolder` when the marker is missing and the folder has no card file yet.
// Existing files of the same name are kept. `copied` receives the number of files copied.
StarterResult installStarterContent(const QString& cardFolder, const QString& sampleFolder,
                                    int* copied = nullptr);

}  // namespace bb
