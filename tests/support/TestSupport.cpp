#include "support/TestSupport.h"

#include <QFileInfo>

namespace bbtest {

QString sharedTestData() {
    const QByteArray env = qgetenv("BRISELLA_TESTDATA");
    const QString candidate =
        env.isEmpty() ? QStringLiteral(BRISELLA_SHARED_TESTDATA) : QString::fromLocal8Bit(env);
    return QFileInfo(candidate).isDir() ? QFileInfo(candidate).absoluteFilePath() : QString();
}

TempFolder::TempFolder() : dir_(QDir::tempPath() + QStringLiteral("/brisella-test-XXXXXX")) {}

}  // namespace bbtest
