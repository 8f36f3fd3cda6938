// Files written whole or not at all. Every file the program writes (cards, catalogue,
// calibration, recovery copies, pictures, PDFs) goes into a new temporary file in the target's
// folder; every write, the sync to the disk and the close are checked, the size is compared
// with what was meant to be written, and only then is the temporary file renamed over the
// target. On any failure the temporary file is removed, the target keeps its earlier content
// and the caller learns the system's error number (errno) for its message.
//
// This sits in the lowest layer so that pictures, document, print and the front ends share it.
#pragma once

#include <QByteArrayView>
#include <QString>

class QIODevice;

#include <functional>

namespace bb {

// The steps of a write, in order. Tests inject a failure at any of them.
enum class WriteStep { Create, Write, Sync, Verify, Rename };

struct WriteOutcome {
    bool ok = false;
    int error = 0;  // errno of the failed step (ENOSPC, EACCES, ...); 0 on success
    WriteStep step = WriteStep::Create;  // the step that failed
};

// Writes `bytes` to `path` through a temporary file in the same folder. A symbolic link at
// `path` to a file of the same folder is followed: that file is replaced, the link stays. A
// link that leads out of its folder is never written through: the write fails with EPERM.
// An existing file's permissions carry over to the new one.
WriteOutcome writeFileAtomically(const QString& path, QByteArrayView bytes);

// Writes `bytes` into the new file `path`, whole or not at all. An existing file (or link) at
// `path` is never replaced: the write then fails with EEXIST.
WriteOutcome writeNewFile(const QString& path, QByteArrayView bytes);

// Copies `source` into the new file `target`, whole or not at all. An existing file (or link)
// at `target` is never replaced: the copy then fails with EEXIST.
WriteOutcome copyToNewFile(const QString& source, const QString& target);

// A file that another component writes by name (a PDF written by a printer engine): it writes
// to temporaryPath(), and commit() checks the result and renames it over the target. Without a
// successful commit the destructor removes the temporary file and the target stays as it was.
class PendingFile {
public:
    explicit PendingFile(const QString& target);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // False when the temporary file could not be made; error() says why.
    bool isReady() const { return !temporary_.isEmpty(); }
    int error() const { return error_; }
    const QString& temporaryPath() const { return temporary_; }
    const QString& targetPath() const { return target_; }

    // Syncs the finished temporary file, checks that it is not empty and, with `check`, that
    // its content is complete (`check` reads the file opened for reading), then renames it
    // over the target.
    WriteOutcome commit(const std::function<bool(QIODevice& written)>& check = {});
    // Removes the temporary file; the target stays as it was.
    void discard();

private:
    QString target_;     // the file that is replaced (a link in its folder resolved)
    QString temporary_;  // empty when none could be made, or after commit or discard
    int error_ = 0;
    unsigned mode_ = 0;  // permissions for the new file
};

// Whether `file` (open for reading) holds a whole PDF file: it starts with "%PDF-" and ends
// with "%%EOF", followed by at most some line ends and blanks. Reads only its two ends.
bool looksLikeCompletePdf(QIODevice& file);

// For tests: while an object of this class lives, the given step of every write fails with
// the given error number, as if the system had refused it. `target` narrows the failure to
// writes of that file name (the last part of the path); empty means every file.
class InjectedWriteFault {
public:
    InjectedWriteFault(WriteStep step, int error, QString target = {});
    ~InjectedWriteFault();
    InjectedWriteFault(const InjectedWriteFault&) = delete;
    InjectedWriteFault& operator=(const InjectedWriteFault&) = delete;
};

}  // namespace bb
