// brisella-cli verses: the filters, one JSON object per line with every field, the user's own
// texts among them, and wrong usage.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include "cli/CliProcess.h"

using bbtest::CliRun;
using bbtest::runCli;

namespace {

class CliVerses : public ::testing::Test {
protected:
    // The user's data folder lies in the test's folder, so own texts are the test's alone.
    QProcessEnvironment env() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("XDG_DATA_HOME"), tmp.path());
        return e;
    }
    std::vector<QJsonObject> lines(const CliRun& run) const {
        std::vector<QJsonObject> out;
        for (const QByteArray& line : run.out.split('\n')) {
            if (line.isEmpty()) continue;
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            out.push_back(doc.object());
        }
        return out;
    }
    bbtest::TempFolder tmp;
};

TEST_F(CliVerses, FiltersGiveJsonLinesWithEveryField) {
    const CliRun all = runCli({QStringLiteral("verses")}, env());
    ASSERT_EQ(all.exitCode, 0) << all.err.toStdString();
    const auto every = lines(all);
    EXPECT_GE(every.size(), 250u);
    for (const QJsonObject& o : every)
        for (const char* key : {"occasion", "tone", "text", "author", "source"})
            EXPECT_TRUE(o.value(QLatin1String(key)).isString()) << key;

    const CliRun some =
        runCli({QStringLiteral("verses"), QStringLiteral("--occasion"), QStringLiteral("taufe"),
                QStringLiteral("--tone"), QStringLiteral("religiös")},
               env());
    ASSERT_EQ(some.exitCode, 0) << some.err.toStdString();
    const auto baptism = lines(some);
    ASSERT_FALSE(baptism.empty());
    EXPECT_LT(baptism.size(), every.size());
    for (const QJsonObject& o : baptism) {
        EXPECT_EQ(o.value(QStringLiteral("occasion")).toString(), QStringLiteral("Taufe"));
        EXPECT_EQ(o.value(QStringLiteral("tone")).toString(), QStringLiteral("religiös"));
    }

    const auto found = lines(runCli(
        {QStringLiteral("verses"), QStringLiteral("--search"), QStringLiteral("Hirte")}, env()));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].value(QStringLiteral("text")).toString(),
              QStringLiteral("Der HERR ist mein Hirte;\nmir wird nichts mangeln."));
    EXPECT_EQ(found[0].value(QStringLiteral("source")).toString(),
              QStringLiteral("Lutherbibel 1912, Ps 23,1"));
}

TEST_F(CliVerses, OwnTextsAreListedToo) {
    const QString folder = tmp.file(QStringLiteral("brisella-bildwerker/Eigene Sprüche"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile own(folder + QStringLiteral("/sprueche.txt"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("---\nAnlass: Danke\nTon: kurz\n\nDanke, Zaunk\xc3\xb6nig!\n");
    own.close();
    const auto found = lines(
        runCli({QStringLiteral("verses"), QStringLiteral("--search"), QStringLiteral("zaunkoenig")},
               env()));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].value(QStringLiteral("occasion")).toString(), QStringLiteral("Danke"));
}

TEST_F(CliVerses, WrongUsageExitsWithTwo) {
    for (const QStringList& args :
         {QStringList{QStringLiteral("verses"), QStringLiteral("--colour"), QStringLiteral("rot")},
          QStringList{QStringLiteral("verses"), QStringLiteral("--occasion"),
                      QStringLiteral("Fasching")},
          QStringList{QStringLiteral("verses"), QStringLiteral("--tone")},
          QStringList{QStringLiteral("verses"), QStringLiteral("extra")}}) {
        const CliRun run = runCli(args, env());
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains("usage: brisella-cli verses"));
        EXPECT_TRUE(run.out.isEmpty());
    }
    const CliRun help = runCli({QStringLiteral("--help")}, env());
    EXPECT_TRUE((help.out + help.err).contains("brisella-cli verses [--occasion NAME]"));
}

}  // namespace
