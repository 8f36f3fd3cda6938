// brisella-cli designs: the listing of the designs in the build tree, the occasion filter, and
// -o writing the designs with their pictures as cards that open; a file or a link as the
// output folder is refused.
#include "cli/CliProcess.h"
#include "document/CardFile.h"
#include "document/ConsoleDialogs.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>

using namespace bb;

namespace {

// The tool sees only the build tree's designs: no installed ones, no own designs.
QProcessEnvironment isolated(const bbtest::TempFolder& tmp) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QDir(tmp.path()).mkpath(QStringLiteral("xdg-data"));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), tmp.file(QStringLiteral("xdg-data")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), tmp.file(QStringLiteral("xdg-data")));
    return env;
}

QList<QJsonObject> lines(const QByteArray& out) {
    QList<QJsonObject> result;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty()) continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        EXPECT_TRUE(doc.isObject()) << line.constData();
        result << doc.object();
    }
    return result;
}

}  // namespace

TEST(CliDesigns, ListsEveryDesignAndFiltersByOccasion) {
    bbtest::TempFolder tmp;
    const bbtest::CliRun all = bbtest::runCli({QStringLiteral("designs")}, isolated(tmp));
    ASSERT_EQ(all.exitCode, 0) << all.err.constData();
    const QList<QJsonObject> listed = lines(all.out);
    EXPECT_GE(listed.size(), 36);
    for (const QJsonObject& o : listed) {
        EXPECT_FALSE(o[QStringLiteral("name")].toString().isEmpty());
        EXPECT_FALSE(o[QStringLiteral("occasion")].toString().isEmpty());
        EXPECT_TRUE(o[QStringLiteral("card")].toString().endsWith(QStringLiteral(".kar")));
    }

    const bbtest::CliRun trauer = bbtest::runCli(
        {QStringLiteral("designs"), QStringLiteral("--occasion"), QStringLiteral("Trauer")},
        isolated(tmp));
    ASSERT_EQ(trauer.exitCode, 0) << trauer.err.constData();
    const QList<QJsonObject> calm = lines(trauer.out);
    EXPECT_GE(calm.size(), 2);
    EXPECT_LT(calm.size(), listed.size());
    for (const QJsonObject& o : calm)
        EXPECT_EQ(o[QStringLiteral("occasion")].toString(), QStringLiteral("Trauer"));

    const bbtest::CliRun unknown = bbtest::runCli(
        {QStringLiteral("designs"), QStringLiteral("--occasion"), QStringLiteral("Mittwoch")},
        isolated(tmp));
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
}

TEST(CliDesigns, WritesCardsWithTheirPicturesThatOpen) {
    bbtest::TempFolder tmp;
    const QString out = tmp.file(QStringLiteral("neu/vorlagen"));
    const bbtest::CliRun run =
        bbtest::runCli({QStringLiteral("designs"), QStringLiteral("--occasion"),
                        QStringLiteral("Taufe"), QStringLiteral("-o"), out},
                       isolated(tmp));
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QJsonObject> written = lines(run.out);
    ASSERT_GE(written.size(), 2);
    for (const QJsonObject& o : written) {
        const QString card = QDir(out).filePath(o[QStringLiteral("card")].toString());
        SCOPED_TRACE(card.toStdString());
        bbtest::ScriptedDialogs dialogs;
        const RenderContext ctx;
        auto doc = std::make_unique<CardDocument>();
        CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
        ASSERT_TRUE(openCardFile(*doc, card, fc));
        EXPECT_TRUE(dialogs.messages.isEmpty())
            << qPrintable(dialogs.texts().join(QLatin1Char('\n')));
        // The pictures lie beside the card, by bare name.
        const QString background = doc->outsideBackground.backgroundFile;
        EXPECT_FALSE(background.contains(QLatin1Char('/')));
        EXPECT_TRUE(QFileInfo(QDir(out).filePath(background)).isFile()) << qPrintable(background);
    }
    // Written again onto itself: the same cards, no second copies of the pictures.
    const int files = int(QDir(out).entryList(QDir::Files).size());
    ASSERT_EQ(bbtest::runCli({QStringLiteral("designs"), QStringLiteral("--occasion"),
                              QStringLiteral("Taufe"), QStringLiteral("-o"), out},
                             isolated(tmp))
                  .exitCode,
              0);
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), files);
}

TEST(CliDesigns, RefusesAFileOrALinkAsTheFolder) {
    bbtest::TempFolder tmp;
    const QString file = tmp.file(QStringLiteral("datei"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("bleibt");
    }
    const bbtest::CliRun onFile =
        bbtest::runCli({QStringLiteral("designs"), QStringLiteral("-o"), file}, isolated(tmp));
    EXPECT_EQ(onFile.exitCode, 1);
    EXPECT_FALSE(onFile.err.isEmpty());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("bleibt"));

    QDir(tmp.path()).mkpath(QStringLiteral("ziel"));
    ASSERT_TRUE(QFile::link(tmp.file(QStringLiteral("ziel")), tmp.file(QStringLiteral("verweis"))));
    const bbtest::CliRun onLink = bbtest::runCli(
        {QStringLiteral("designs"), QStringLiteral("-o"), tmp.file(QStringLiteral("verweis"))},
        isolated(tmp));
    EXPECT_EQ(onLink.exitCode, 1);
    EXPECT_TRUE(QDir(tmp.file(QStringLiteral("ziel"))).isEmpty());
}
