// Helpers shared by the tests: a temporary folder per test and the public test data.
#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace bbtest {

// Folder of the third-party test data beside the checkout, or empty when absent.
QString sharedTestData();
// Skips the current test with a message when the shared test data is absent.
#define BB_REQUIRE_TESTDATA()                                                             \
    do {                                                                                  \
        if (::bbtest::sharedTestData().isEmpty())                                         \
            GTEST_SKIP() << "shared test data not found beside the checkout; skipped";    \
    } while (0)

// A fresh temporary folder removed at the end of the test.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace bbtest
