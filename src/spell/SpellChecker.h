// Spell checking of a text's words with Hunspell and the German dictionary, and the user's own
// words ("Zum Wörterbuch hinzufügen"), kept in a word list beside the program's settings.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Hunspell;

namespace bb {

// A word of a text: its first character and length in UTF-16 units.
struct WordRange {
    int start = 0;
    int length = 0;
    friend bool operator==(const WordRange&, const WordRange&) = default;
};

class SpellChecker {
public:
    // The dictionary `base`.aff and `base`.dic; without one, the German dictionary where the
    // system keeps it (`germanDictionary()`). A missing dictionary makes a checker that finds
    // no word misspelt.
    explicit SpellChecker(const QString& base = germanDictionary());
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    // The base name of the German dictionary (…/de_DE) in the system's dictionary folders, or
    // an empty string when none is installed.
    static QString germanDictionary();

    bool available() const { return hunspell_ != nullptr; }

    // The words of `text` worth checking: runs of letters (with inner apostrophes and hyphens
    // as the word rules of Unicode have them), not those holding digits.
    static std::vector<WordRange> words(const QString& text);
    bool isCorrect(const QString& word) const;
    // The words of `text` that the dictionary and the user's words do not know.
    std::vector<WordRange> misspelt(const QString& text) const;
    // What the dictionary offers instead of `word`, best first, at most `count`.
    QStringList suggestions(const QString& word, int count = 8) const;

    // The user's word list: read from `path` (one word a line, UTF-8) and written there
    // whenever a word is added. False when an existing list cannot be read.
    bool setPersonalWordList(const QString& path);
    QString personalWordList() const { return personalPath_; }
    QStringList personalWords() const { return personal_; }
    // Accepts `word` from now on and stores it in the word list, written whole or not at
    // all. False when the list could not be written (the word is accepted for this run).
    bool addWord(const QString& word);

private:
    std::unique_ptr<Hunspell> hunspell_;
    QStringList personal_;
    QString personalPath_;
    mutable QHash<QString, bool> known_;  // answers so far: a repaint asks the same words again
};

}  // namespace bb
