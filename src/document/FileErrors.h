// Why a file could not be written, in German, for the second line of a failure message.
#pragma once

#include <QString>

namespace bb {

// The reason for a system error number (errno), e.g. "Zugriff verweigert"; numbers without a
// German text of their own give "Unbekannter Systemfehler (Nummer n)".
QString fileErrorReason(int error);

// The line naming the file and the reason: the path, ": " and the reason. A folder at the
// path is named as such; when `error` is 0 (the failure left no error number) the reason is
// found from the path: a missing folder or one that this user cannot write to.
QString fileFailureLine(const QString& path, int error);

}  // namespace bb
