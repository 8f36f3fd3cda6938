// The German dictionary finds misspelt words of a text by their place, offers corrections,
// and the user's own words are accepted and kept in a list that survives the program.
#include "spell/SpellChecker.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace bb;

namespace {

QString wordsAt(const QString& text, const std::vector<WordRange>& ranges) {
    QStringList out;
    for (const WordRange& r : ranges) out << text.mid(r.start, r.length);
    return out.join(QChar('|'));
}

}  // namespace

TEST(SpellChecker, WordsAreRunsOfLettersWithoutDigits) {
    const QString text =
        QStringLiteral("Hallo, Oma! Am 24.12. um 18 Uhr \U0001F384 gibt's K2-Torte");
    EXPECT_EQ(wordsAt(text, SpellChecker::words(text)),
              QStringLiteral("Hallo|Oma|Am|um|Uhr|gibt's|Torte"));
    EXPECT_TRUE(SpellChecker::words(QString()).empty());
}

TEST(SpellChecker, FindsMisspeltGermanWordsWhereTheyStand) {
    SpellChecker checker;
    if (!checker.available()) GTEST_SKIP() << "no German dictionary installed";
    const QString text =
        QStringLiteral("Herzliche Glückwünsche zum Geburstag,\rliebe Omma! Für dich \U0001F382");
    const std::vector<WordRange> wrong = checker.misspelt(text);
    EXPECT_EQ(wordsAt(text, wrong), QStringLiteral("Geburstag|Omma"));
    ASSERT_EQ(wrong.size(), 2u);
    EXPECT_EQ(wrong[0].start, int(text.indexOf(QStringLiteral("Geburstag"))));
    EXPECT_TRUE(
        checker.suggestions(QStringLiteral("Geburstag")).contains(QStringLiteral("Geburtstag")));
    EXPECT_LE(checker.suggestions(QStringLiteral("Geburstag"), 2).size(), 2);
    // Umlauts and ß are letters of the words, not breaks between them.
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("Grüße")));
    EXPECT_TRUE(checker.misspelt(QStringLiteral("Schöne Grüße aus München")).empty());
}

TEST(SpellChecker, AddedWordsAreAcceptedAndKeptInTheWordList) {
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("Woerter.txt"));
    {
        SpellChecker checker;
        if (!checker.available()) GTEST_SKIP() << "no German dictionary installed";
        EXPECT_TRUE(checker.setPersonalWordList(list));  // none yet: an empty list
        EXPECT_FALSE(checker.isCorrect(QStringLiteral("Brisella")));
        EXPECT_TRUE(checker.addWord(QStringLiteral("Brisella")));
        EXPECT_TRUE(checker.addWord(QStringLiteral("Omma")));
        EXPECT_TRUE(checker.addWord(QStringLiteral("Brisella")));  // once in the list
        EXPECT_TRUE(checker.isCorrect(QStringLiteral("Brisella")));
        EXPECT_TRUE(checker.misspelt(QStringLiteral("Liebe Omma")).empty());
    }
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Brisella\nOmma\n"));
    // The next run reads the list.
    SpellChecker later;
    EXPECT_TRUE(later.setPersonalWordList(list));
    EXPECT_TRUE(later.isCorrect(QStringLiteral("Omma")));
    EXPECT_EQ(later.personalWords(), QStringList({"Brisella", "Omma"}));
    // A list that cannot be written keeps the word for this run and says so.
    later.setPersonalWordList(dir.filePath(QStringLiteral("fehlt/Woerter.txt")));
    EXPECT_FALSE(later.addWord(QStringLiteral("Tovarin")));
    EXPECT_TRUE(later.isCorrect(QStringLiteral("Tovarin")));
}

TEST(SpellChecker, WithoutADictionaryNothingIsMisspelt) {
    SpellChecker none(QStringLiteral("/nonexistent/xx_XX"));
    EXPECT_FALSE(none.available());
    EXPECT_TRUE(none.misspelt(QStringLiteral("Omma Geburstag")).empty());
    EXPECT_TRUE(none.suggestions(QStringLiteral("Omma")).isEmpty());
}
