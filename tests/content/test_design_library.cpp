// The design library: which entries of an index and of the own folder are shown, and the
// search. Damaged or hostile indexes leave entries out and never crash.
#include "content/DesignLibrary.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace bb;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QStringList names(const QList<DesignEntry>& entries) {
    QStringList out;
    for (const DesignEntry& e : entries) out << e.name;
    return out;
}

QByteArray index(const QByteArray& entries) {
    return "{\"designs\": [" + entries + "]}";
}

}  // namespace

TEST(DesignLibrary, IndexEntriesOnlyForCardFilesInTheirOwnFolder) {
    bbtest::TempFolder tmp;
    QDir(tmp.path()).mkpath(QStringLiteral("shipped/sub"));
    const QString shipped = tmp.file(QStringLiteral("shipped"));
    for (const char* name : {"rosen.kar", "sub/tief.kar"})
        writeFile(QDir(shipped).filePath(QString::fromLatin1(name)), "card");
    writeFile(tmp.file(QStringLiteral("draussen.kar")), "card");
    ASSERT_TRUE(QFile::link(tmp.file(QStringLiteral("draussen.kar")),
                            QDir(shipped).filePath(QStringLiteral("link.kar"))));
    writeFile(QDir(shipped).filePath(QStringLiteral("designs.json")),
              index(R"({"file": "rosen.kar", "name": "Rosen", "occasion": "Hochzeit",
                        "keywords": ["heirat", "braut"]},
                       {"file": "../draussen.kar", "name": "Oben", "occasion": "Danke"},
                       {"file": "/etc/passwd", "name": "Absolut", "occasion": "Danke"},
                       {"file": "sub/tief.kar", "name": "Tief", "occasion": "Danke"},
                       {"file": "link.kar", "name": "Verweis", "occasion": "Danke"},
                       {"file": "fehlt.kar", "name": "Fehlt", "occasion": "Danke"},
                       {"file": "rosen.kar", "occasion": "Danke"},
                       42, "text", null)"));
    const QList<DesignEntry> all = listDesigns({shipped}, QString());
    ASSERT_EQ(names(all), QStringList{QStringLiteral("Rosen")});
    EXPECT_EQ(all[0].occasion, QStringLiteral("Hochzeit"));
    EXPECT_EQ(all[0].keywords, (QStringList{QStringLiteral("heirat"), QStringLiteral("braut")}));
    EXPECT_EQ(all[0].cardPath, QDir(shipped).absoluteFilePath(QStringLiteral("rosen.kar")));
    EXPECT_FALSE(all[0].own);
}

TEST(DesignLibrary, DamagedHugeOrLinkedIndexesGiveNothing) {
    bbtest::TempFolder tmp;
    const auto folder = [&](const QString& name, const QByteArray& indexBytes) {
        QDir(tmp.path()).mkpath(name);
        const QString f = tmp.file(name);
        writeFile(QDir(f).filePath(QStringLiteral("a.kar")), "card");
        if (!indexBytes.isNull())
            writeFile(QDir(f).filePath(QStringLiteral("designs.json")), indexBytes);
        return f;
    };
    const QByteArray good = index(R"({"file": "a.kar", "name": "A", "occasion": "Danke"})");
    const QString damaged = folder(QStringLiteral("damaged"), good.left(good.size() / 2));
    const QString binary = folder(QStringLiteral("binary"), QByteArray(300, '\xff'));
    const QString noIndex = folder(QStringLiteral("none"), QByteArray());
    // An index beyond any real size: valid JSON padded with spaces to 5 MB.
    const QString huge = folder(QStringLiteral("huge"), good + QByteArray(5 * 1024 * 1024, ' '));
    const QString linked = folder(QStringLiteral("linked"), QByteArray());
    ASSERT_TRUE(QFile::link(
        QDir(folder(QStringLiteral("real"), good)).filePath(QStringLiteral("designs.json")),
        QDir(linked).filePath(QStringLiteral("designs.json"))));
    for (const QString& f :
         {damaged, binary, noIndex, huge, linked, tmp.file(QStringLiteral("missing"))})
        EXPECT_TRUE(listDesigns({f}, QString()).isEmpty()) << qPrintable(f);
    // A damaged folder does not stop the next one.
    EXPECT_EQ(listDesigns({damaged, tmp.file(QStringLiteral("real"))}, QString()).size(), 1);
}

TEST(DesignLibrary, FirstFolderWinsThenOwnDesignsButNoLinks) {
    bbtest::TempFolder tmp;
    for (const char* f : {"one", "two", "own", "elsewhere"})
        QDir(tmp.path()).mkpath(QString::fromLatin1(f));
    for (const char* f : {"one/a.kar", "two/a.kar", "two/b.kar", "own/Mein Entwurf.kar",
                          "own/notiz.txt", "elsewhere/fremd.kar"})
        writeFile(tmp.file(QString::fromLatin1(f)), "card");
    writeFile(tmp.file(QStringLiteral("one/designs.json")),
              index(R"({"file": "a.kar", "name": "Erstes A", "occasion": "Danke"})"));
    writeFile(tmp.file(QStringLiteral("two/designs.json")),
              index(R"({"file": "a.kar", "name": "Zweites A", "occasion": "Danke"},
                       {"file": "b.kar", "name": "B", "occasion": "Trauer", "keywords": "kerze, licht"})"));
    ASSERT_TRUE(QFile::link(tmp.file(QStringLiteral("elsewhere/fremd.kar")),
                            tmp.file(QStringLiteral("own/Verweis.kar"))));
    QDir(tmp.path()).mkpath(QStringLiteral("own/Ordner.kar"));

    const QList<DesignEntry> all =
        listDesigns({tmp.file(QStringLiteral("one")), tmp.file(QStringLiteral("two"))},
                    tmp.file(QStringLiteral("own")));
    EXPECT_EQ(names(all), (QStringList{QStringLiteral("Erstes A"), QStringLiteral("B"),
                                       QStringLiteral("Mein Entwurf")}));
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[1].keywords, (QStringList{QStringLiteral("kerze"), QStringLiteral("licht")}));
    EXPECT_TRUE(all[2].own);
    EXPECT_EQ(all[2].occasion, QString::fromLatin1(kOwnDesignsOccasion));
    EXPECT_EQ(all[2].cardPath, tmp.file(QStringLiteral("own/Mein Entwurf.kar")));

    // The own folder itself as a link shows nothing from where it leads.
    ASSERT_TRUE(
        QFile::link(tmp.file(QStringLiteral("elsewhere")), tmp.file(QStringLiteral("ownlink"))));
    EXPECT_TRUE(listDesigns({}, tmp.file(QStringLiteral("ownlink"))).isEmpty());
}

TEST(DesignLibrary, FilterSearchesNameOccasionAndKeywordsInOrder) {
    const QList<DesignEntry> all = {
        {QStringLiteral("Rosen zur Hochzeit"),
         QStringLiteral("Hochzeit"),
         {QStringLiteral("braut")},
         {},
         false},
        {QStringLiteral("Mond und Sterne"),
         QStringLiteral("Geburt"),
         {QStringLiteral("baby")},
         {},
         false},
        {QStringLiteral("Taube"),
         QStringLiteral("Taufe"),
         {QStringLiteral("Baby"), QStringLiteral("segen")},
         {},
         false},
        {QStringLiteral("Silberkranz"), QStringLiteral("Hochzeitstag"), {}, {}, false},
        {QStringLiteral("Mein Entwurf"), QString::fromLatin1(kOwnDesignsOccasion), {}, {}, true},
    };
    EXPECT_EQ(names(filterDesigns(all, QStringLiteral("BABY"))),
              (QStringList{QStringLiteral("Mond und Sterne"), QStringLiteral("Taube")}));
    EXPECT_EQ(names(filterDesigns(all, QStringLiteral("hochzeit"))),
              (QStringList{QStringLiteral("Rosen zur Hochzeit"), QStringLiteral("Silberkranz")}));
    EXPECT_EQ(names(filterDesigns(all, QStringLiteral(" hochzeit "), QStringLiteral("Hochzeit"))),
              QStringList{QStringLiteral("Rosen zur Hochzeit")});
    EXPECT_EQ(filterDesigns(all, QString()).size(), all.size());
    EXPECT_EQ(names(filterDesigns(all, QString(), QString::fromLatin1(kOwnDesignsOccasion))),
              QStringList{QStringLiteral("Mein Entwurf")});
    EXPECT_TRUE(filterDesigns(all, QStringLiteral("weihnacht")).isEmpty());

    QStringList occasions = designOccasions();
    EXPECT_EQ(occasions.size(), 21);
    EXPECT_EQ(occasions.last(), QString::fromLatin1(kOwnDesignsOccasion));
    EXPECT_EQ(occasions.removeDuplicates(), 0);
}
