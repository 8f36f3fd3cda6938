// The greeting texts: the shipped file is complete and clean, faulty records are reported with
// their line, the search forgives umlaut spellings, and the own texts are kept safely.
#include "content/Verses.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace bb;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Verse verse(const char* occasion, const char* tone, const char* text) {
    Verse v;
    v.occasion = QString::fromUtf8(occasion);
    v.tone = QString::fromUtf8(tone);
    v.text = QString::fromUtf8(text);
    return v;
}

}  // namespace

TEST(ShippedVerses, FileIsCompleteAndClean) {
    ASSERT_FALSE(shippedVerses().empty());
    QFile file(QStringLiteral(":/verses/sprueche.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const VerseParse parse = parseVerses(QString::fromUtf8(file.readAll()));
    EXPECT_TRUE(parse.problems.isEmpty()) << parse.problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(parse.verses.size(), 250u);
    EXPECT_EQ(parse.verses.size(), shippedVerses().size());

    QMap<QString, int> perOccasion;
    QSet<QString> tonesUsed, texts;
    for (const Verse& v : parse.verses) {
        const std::string where = v.text.left(50).toStdString();
        EXPECT_TRUE(verseOccasions().contains(v.occasion)) << v.occasion.toStdString();
        EXPECT_TRUE(verseTones().contains(v.tone)) << v.tone.toStdString();
        EXPECT_FALSE(v.text.trimmed().isEmpty());
        EXPECT_FALSE(v.author.isEmpty()) << where;
        EXPECT_FALSE(v.source.isEmpty()) << where;
        if (v.author != QStringLiteral("Brisella-Bildwerker")) {
            EXPECT_NE(v.source, QStringLiteral("für dieses Programm geschrieben")) << where;
        }
        EXPECT_FALSE(texts.contains(verseTextKey(v.text))) << "twice: " << where;
        texts.insert(verseTextKey(v.text));
        ++perOccasion[v.occasion];
        tonesUsed.insert(v.tone);
    }
    for (const QString& occasion : verseOccasions())
        EXPECT_GE(perOccasion.value(occasion), 8) << occasion.toStdString();
    EXPECT_EQ(tonesUsed.size(), verseTones().size());
}

TEST(VerseParser, FaultyRecordsAreReportedWithTheirLineAndSkipped) {
    const QString text = QStringLiteral(
        "# Erklärung\n"         // 1
        "---\n"                 // 2
        "Anlass: Geburtstag\n"  // 3
        "Ton: herzlich\n"       // 4
        "\n"                    // 5
        "Erste Zeile  \n"       // 6: trailing blanks go
        "zweite Zeile\n"        // 7
        "\n"                    // 8: empty lines at the end go
        "---\n"                 // 9
        "Anlass: Danke\n"       // 10: no tone
        "\n"                    // 11
        "Ohne Ton\n"            // 12
        "---\n"                 // 13
        "Anlass: Danke\n"       // 14
        "Ton: kurz\n"           // 15
        "Farbe: rot\n"          // 16: unknown header, record kept
        "\n"                    // 17
        "Danke!\n"              // 18
        "---\n"                 // 19
        "Anlass: Trauer\n"      // 20
        "Ton: förmlich\n"       // 21: no text
        "---\n");
    const VerseParse p = parseVerses(text);
    ASSERT_EQ(p.verses.size(), 2u);
    EXPECT_EQ(p.verses[0].text, QStringLiteral("Erste Zeile\nzweite Zeile"));
    EXPECT_EQ(p.verses[1].text, QStringLiteral("Danke!"));
    ASSERT_EQ(p.problems.size(), 3);
    EXPECT_TRUE(p.problems[0].startsWith(QStringLiteral("Zeile 10:")));
    EXPECT_TRUE(p.problems[0].contains(QStringLiteral("Ton")));
    EXPECT_TRUE(p.problems[1].startsWith(QStringLiteral("Zeile 16:")));
    EXPECT_TRUE(p.problems[2].startsWith(QStringLiteral("Zeile 20:")));
    EXPECT_TRUE(p.problems[2].contains(QStringLiteral("Text")));

    const VerseParse empty = parseVerses(QString());
    EXPECT_TRUE(empty.verses.empty());
    EXPECT_TRUE(empty.problems.isEmpty());
}

TEST(VerseParser, WrittenFileReadsBackAndHugeFilesAreRefused) {
    std::vector<Verse> list = {verse("Danke", "kurz", "Danke!"),
                               verse("Hochzeit", "lustig", "Zeile eins\n\nZeile drei")};
    list[1].author = QStringLiteral("Jemand");
    list[1].source = QStringLiteral("Notizbuch");
    const VerseParse back = parseVerses(formatVerses(list));
    EXPECT_TRUE(back.problems.isEmpty());
    EXPECT_EQ(back.verses, list);

    bbtest::TempFolder tmp;
    const QString huge = tmp.file(QStringLiteral("gross.txt"));
    writeFile(huge, QByteArray(int(kMaxVerseFileBytes) + 1, 'x'));
    VerseParse read;
    QString error;
    EXPECT_FALSE(readVerseFile(huge, read, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(readVerseFile(tmp.file(QStringLiteral("fehlt.txt")), read));
}

TEST(VerseFilter, OccasionToneAndForgivingSearch) {
    const std::vector<Verse> list = {verse("Weihnachten", "herzlich", "Herzliche Grüße zum Fest"),
                                     verse("Weihnachten", "kurz", "Frohes Fest!"),
                                     verse("Ostern", "kurz", "Frohe Ostern!")};
    EXPECT_EQ(filterVerses(list, {QStringLiteral("Weihnachten"), {}, {}}).size(), 2u);
    EXPECT_EQ(
        filterVerses(list, {QStringLiteral("weihnachten"), QStringLiteral("kurz"), {}}).size(), 1u);
    EXPECT_EQ(filterVerses(list, {{}, QStringLiteral("kurz"), {}}).size(), 2u);
    for (const char* word : {"grüße", "GRUSSE", "gruesse", "grüsse"})
        EXPECT_EQ(filterVerses(list, {{}, {}, QString::fromUtf8(word)}).size(), 1u) << word;
    EXPECT_EQ(filterVerses(list, {QStringLiteral("Ostern"), {}, QStringLiteral("Fest")}).size(),
              0u);
    EXPECT_TRUE(filterVerses(list, {{}, {}, QStringLiteral("Silvester")}).empty());
    EXPECT_EQ(filterVerses(list, {{}, {}, QStringLiteral("  ")}).size(), 3u);
}

TEST(OwnVerses, AddReloadAndDelete) {
    bbtest::TempFolder tmp;
    const QString path = tmp.file(QStringLiteral("sprueche.txt"));
    OwnVerses own(path);
    ASSERT_TRUE(own.load());  // no file yet: no texts
    EXPECT_TRUE(own.verses().empty());
    ASSERT_TRUE(own.add(verse("Danke", "herzlich", "Danke für alles,\n{Vorname}!")));
    ASSERT_TRUE(own.add(verse("Allgemein", "kurz", "Bis bald!")));
    QString error;
    EXPECT_FALSE(own.add(verse("Danke", "kurz", "Danke  für alles, {Vorname}!"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(own.add(verse("Danke", "kurz", "Erst\n---\ndann")));
    EXPECT_FALSE(own.add(verse("Danke", "kurz", "   ")));

    OwnVerses again(path);
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.verses().size(), 2u);
    EXPECT_TRUE(again.verses()[0].own);
    EXPECT_EQ(again.verses()[0].text, QStringLiteral("Danke für alles,\n{Vorname}!"));
    ASSERT_TRUE(again.remove(again.verses()[0]));
    EXPECT_FALSE(again.remove(verse("Danke", "herzlich", "Gibt es nicht")));

    OwnVerses third(path);
    ASSERT_TRUE(third.load());
    ASSERT_EQ(third.verses().size(), 1u);
    EXPECT_EQ(third.verses()[0].text, QStringLiteral("Bis bald!"));
}

TEST(OwnVerses, LinkOrPipeInPlaceOfTheFileIsNeitherReadNorWritten) {
    bbtest::TempFolder tmp;
    const QString elsewhere = tmp.file(QStringLiteral("anderswo.txt"));
    const QByteArray before = formatVerses({verse("Danke", "kurz", "Fremd")}).toUtf8();
    writeFile(elsewhere, before);
    const QString link = tmp.file(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(elsewhere, link));
    OwnVerses linked(link);
    EXPECT_FALSE(linked.load());
    EXPECT_TRUE(linked.verses().empty());
    EXPECT_FALSE(linked.add(verse("Danke", "kurz", "Neu")));
    EXPECT_EQ(readFile(elsewhere), before);
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // A pipe would block a reader forever; it is refused without waiting for a writer.
    const QString fifo = tmp.file(QStringLiteral("fifo.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    OwnVerses piped(fifo);
    EXPECT_FALSE(piped.load());
    EXPECT_FALSE(piped.add(verse("Danke", "kurz", "Neu")));
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}
