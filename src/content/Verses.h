// Greeting texts ("Sprüche") by occasion and tone: the library that comes with the program,
// the user's own texts ("Eigene Sprüche") and the filters of the dialog and of brisella-cli.
//
// Both are kept as UTF-8 text files of records, separated by a line "---". A record starts
// with its header lines ("Anlass: Geburtstag", "Ton: herzlich", "Autor: ...", "Quelle: ...";
// "Anlass" and "Ton" are required), then an empty line, then the lines of the text. Lines
// starting with "#" in the header part are comments; a part with nothing but comments and
// empty lines (the explanation at the top of a file) is no record.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace bb {

struct Verse {
    QString occasion;  // one of verseOccasions(), or any name in an own text
    QString tone;      // one of verseTones(), or any name in an own text
    QString text;      // lines separated by '\n', no empty lines at either end
    QString author;
    QString source;
    bool own = false;  // from the user's own texts

    bool operator==(const Verse&) const = default;
};

// The occasions and tones of the shipped library, in the order the dialog offers them.
const QStringList& verseOccasions();
const QStringList& verseTones();

struct VerseParse {
    std::vector<Verse> verses;
    // "Zeile 12: ..." for every record that was skipped and every header line not understood.
    QStringList problems;
};
// Reads the records of a verse file. A record without occasion, tone or text is skipped and
// reported with the line it starts on; an unknown header line is reported and ignored.
VerseParse parseVerses(const QString& fileText);
// The file text of `verses` (a short explanation first), as parseVerses reads it back.
QString formatVerses(const std::vector<Verse>& verses);

// The largest verse file read: a file of texts to choose from is never near this.
inline constexpr qint64 kMaxVerseFileBytes = 2 * 1024 * 1024;
// Reads the verse file at `path`: only a regular file (never a pipe or a device; a link is
// not followed) of at most kMaxVerseFileBytes. False with the reason in `error`.
bool readVerseFile(const QString& path, VerseParse& out, QString* error = nullptr);

// The library that comes with the program (compiled in), read once.
const std::vector<Verse>& shippedVerses();

// What the dialog and the command line choose by; empty fields choose everything.
struct VerseFilter {
    QString occasion;
    QString tone;
    QString search;  // a word or part of one, in the text or the author's name
};
bool verseMatches(const Verse& verse, const VerseFilter& filter);
std::vector<Verse> filterVerses(const std::vector<Verse>& verses, const VerseFilter& filter);
// `text` as the search compares it: lower case, umlauts and their spellings with "e" ("ä",
// "ae") and "ß" ("ss") all reduced to the plain letters, so that "grusse", "gruesse" and
// "Grüße" meet.
QString verseSearchKey(const QString& text);
// The text with its lines joined and its blanks squeezed: two texts with the same key are the
// same text.
QString verseTextKey(const QString& text);

// The user's own texts, kept in one file (own.file() in the folder "Eigene Sprüche").
class OwnVerses {
public:
    explicit OwnVerses(QString filePath) : path_(std::move(filePath)) {}
    // The file in the user's data folder; empty when that folder cannot be had. With
    // `makeFolder` false the folder is not made (for reading only).
    static QString defaultPath(bool makeFolder = true);

    const QString& file() const { return path_; }
    // Reads the file (a missing one is no texts). False, with no texts, when it is no regular
    // file or too large.
    bool load(QString* error = nullptr);
    const std::vector<Verse>& verses() const { return verses_; }
    // Adds a text and writes the file whole or not at all; an empty text or one that is
    // there already is refused. False with the reason; the list is then unchanged.
    bool add(Verse verse, QString* error = nullptr);
    // Removes the own text equal to `verse` (occasion, tone and text) and writes the file.
    bool remove(const Verse& verse, QString* error = nullptr);

private:
    bool write(const std::vector<Verse>& verses, QString* error);

    QString path_;
    std::vector<Verse> verses_;
};

}  // namespace bb
