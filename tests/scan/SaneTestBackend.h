// SANE's "test" backend for this process only: SANE_CONFIG_DIR points at a folder made here
// with dll.conf ("test") and a test.conf; shared by the scanner tests and benchmark.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace bbtest {

inline const char* const kSystemTestConf = "/etc/sane.d/test.conf";

// The folder with dll.conf ("test") and test.conf: a copy of the system's with `extra` lines
// appended (later lines override earlier ones). SANE reads test.conf at every start of the
// library, so each test may write its own.
inline QString saneFolder() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/brisella-sane-XXXXXX"));
    static bool once = [] {
        QFile dll(dir.filePath(QStringLiteral("dll.conf")));
        if (dll.open(QIODevice::WriteOnly)) dll.write("test\n");
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(dir.path()));
        return true;
    }();
    (void)once;
    return dir.path();
}

inline bool writeTestConf(const QByteArray& extra = {}) {
    QFile system(QString::fromLatin1(kSystemTestConf));
    if (!system.open(QIODevice::ReadOnly)) return false;
    QFile conf(saneFolder() + QStringLiteral("/test.conf"));
    if (!conf.open(QIODevice::WriteOnly)) return false;
    conf.write(system.readAll() + "\n" + extra);
    return true;
}

}  // namespace bbtest
