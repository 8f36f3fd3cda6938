#include "content/Verses.h"

#include "content/ContentFolders.h"
#include "content/Occasions.h"
#include "pictures/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Resources of a static library have to be registered by name, outside any namespace.
static void initVerseResource() {
    Q_INIT_RESOURCE(verses);
}

namespace bb {

namespace {

const QString kSeparator = QStringLiteral("---");
const QString kOccasion = QStringLiteral("Anlass");
const QString kTone = QStringLiteral("Ton");
const QString kAuthor = QStringLiteral("Autor");
const QString kSource = QStringLiteral("Quelle");

QString lineProblem(int line, const QString& what) {
    return QStringLiteral("Zeile %1: %2").arg(line).arg(what);
}

// One record's lines, `first` being the number of its first line in the file.
void parseRecord(const QStringList& lines, int first, VerseParse& out) {
    Verse v;
    QStringList text;
    int i = 0;
    bool anyHeader = false;
    // The header part: up to the first empty line.
    for (; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) {
            if (anyHeader) break;
            continue;  // empty lines before the headers
        }
        if (line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        const QString name = colon > 0 ? line.left(colon).trimmed() : QString();
        const QString value = colon > 0 ? line.mid(colon + 1).trimmed() : QString();
        anyHeader = true;
        if (name == kOccasion)
            v.occasion = value;
        else if (name == kTone)
            v.tone = value;
        else if (name == kAuthor)
            v.author = value;
        else if (name == kSource)
            v.source = value;
        else
            out.problems << lineProblem(
                first + i, QStringLiteral("unbekannte Kopfzeile „%1“").arg(line.left(40)));
    }
    for (++i; i < lines.size(); ++i) {
        QString line = lines[i];
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
        text << line;
    }
    while (!text.isEmpty() && text.first().isEmpty()) text.removeFirst();
    while (!text.isEmpty() && text.last().isEmpty()) text.removeLast();
    if (!anyHeader) {
        // Comments only (the explanation at the top), or a stray text without a header.
        if (!text.isEmpty())
            out.problems << lineProblem(first, QStringLiteral("Text ohne Anlass und Ton"));
        return;
    }
    v.text = text.join(QLatin1Char('\n'));
    QStringList missing;
    if (v.occasion.isEmpty()) missing << QStringLiteral("Anlass");
    if (v.tone.isEmpty()) missing << QStringLiteral("Ton");
    if (v.text.isEmpty()) missing << QStringLiteral("Text");
    if (!missing.isEmpty()) {
        out.problems << lineProblem(
            first,
            QStringLiteral("Eintrag ohne %1 übergangen").arg(missing.join(QStringLiteral(", "))));
        return;
    }
    out.verses.push_back(std::move(v));
}

// Opens `path` for reading when it is a regular file itself (no link followed, a pipe never
// waited for) of at most `limit` bytes; -1 with errno or EFBIG otherwise.
int openRegularFile(const QString& path, qint64 limit) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > limit) {
        const int error = !S_ISREG(st.st_mode) ? EINVAL : EFBIG;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Whether `path` is missing or a regular file itself (not a link, a pipe or a folder).
bool missingOrRegular(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

QString fileReason(int error) {
    if (error == EFBIG) return QStringLiteral("Die Datei ist zu groß.");
    if (error == EINVAL || error == ELOOP)
        return QStringLiteral("Das ist keine gewöhnliche Datei.");
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

const QStringList& verseOccasions() {
    static const QStringList list = cardOccasions() + QStringList{QStringLiteral("Allgemein")};
    return list;
}

const QStringList& verseTones() {
    static const QStringList list = {QStringLiteral("herzlich"), QStringLiteral("lustig"),
                                     QStringLiteral("förmlich"), QStringLiteral("kurz"),
                                     QStringLiteral("religiös")};
    return list;
}

VerseParse parseVerses(const QString& fileText) {
    VerseParse out;
    QString all = fileText;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (all.startsWith(QChar(0xFEFF))) all.remove(0, 1);
    const QStringList lines = all.split(QLatin1Char('\n'));
    QStringList record;
    int first = 1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == kSeparator) {
            parseRecord(record, first, out);
            record.clear();
            first = i + 2;
            continue;
        }
        record << lines[i];
    }
    parseRecord(record, first, out);
    return out;
}

QString formatVerses(const std::vector<Verse>& verses) {
    QString out = QStringLiteral(
        "# Eigene Sprüche von Brisella-Bildwerker.\n"
        "# Jeder Eintrag: Kopfzeilen (Anlass, Ton, Autor, Quelle), eine Leerzeile, der Text.\n"
        "# Einträge werden durch eine Zeile \"---\" getrennt.\n");
    for (const Verse& v : verses) {
        out += kSeparator + QLatin1Char('\n');
        out += kOccasion + QStringLiteral(": ") + v.occasion + QLatin1Char('\n');
        out += kTone + QStringLiteral(": ") + v.tone + QLatin1Char('\n');
        if (!v.author.isEmpty())
            out += kAuthor + QStringLiteral(": ") + v.author + QLatin1Char('\n');
        if (!v.source.isEmpty())
            out += kSource + QStringLiteral(": ") + v.source + QLatin1Char('\n');
        out += QLatin1Char('\n') + v.text + QLatin1Char('\n');
    }
    return out;
}

bool readVerseFile(const QString& path, VerseParse& out, QString* error) {
    out = {};
    const int fd = openRegularFile(path, kMaxVerseFileBytes);
    if (fd < 0) {
        if (error) *error = fileReason(errno);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error) *error = file.errorString();
        return false;
    }
    // The size was checked on the open file; reading one byte more notices a file that grew.
    const QByteArray bytes = file.read(kMaxVerseFileBytes + 1);
    if (bytes.size() > kMaxVerseFileBytes) {
        if (error) *error = fileReason(EFBIG);
        return false;
    }
    out = parseVerses(QString::fromUtf8(bytes));
    return true;
}

const std::vector<Verse>& shippedVerses() {
    static const std::vector<Verse> verses = [] {
        initVerseResource();
        QFile file(QStringLiteral(":/verses/sprueche.txt"));
        if (!file.open(QIODevice::ReadOnly)) return std::vector<Verse>{};
        return parseVerses(QString::fromUtf8(file.readAll())).verses;
    }();
    return verses;
}

QString verseSearchKey(const QString& text) {
    QString s = text.toLower();
    s.replace(QChar(0xE4), QLatin1Char('a'));
    s.replace(QChar(0xF6), QLatin1Char('o'));
    s.replace(QChar(0xFC), QLatin1Char('u'));
    s.replace(QChar(0xDF), QStringLiteral("ss"));
    s.replace(QStringLiteral("ae"), QStringLiteral("a"));
    s.replace(QStringLiteral("oe"), QStringLiteral("o"));
    s.replace(QStringLiteral("ue"), QStringLiteral("u"));
    return s;
}

QString verseTextKey(const QString& text) {
    return text.simplified();
}

bool verseMatches(const Verse& verse, const VerseFilter& filter) {
    if (!filter.occasion.isEmpty() &&
        verse.occasion.compare(filter.occasion, Qt::CaseInsensitive) != 0)
        return false;
    if (!filter.tone.isEmpty() && verse.tone.compare(filter.tone, Qt::CaseInsensitive) != 0)
        return false;
    const QString word = verseSearchKey(filter.search.simplified());
    if (word.isEmpty()) return true;
    return verseSearchKey(verse.text.simplified()).contains(word) ||
           verseSearchKey(verse.author).contains(word);
}

std::vector<Verse> filterVerses(const std::vector<Verse>& verses, const VerseFilter& filter) {
    std::vector<Verse> out;
    for (const Verse& v : verses)
        if (verseMatches(v, filter)) out.push_back(v);
    return out;
}

QString OwnVerses::defaultPath(bool makeFolder) {
    const QString name = QStringLiteral("Eigene Sprüche");
    const QString folder = makeFolder ? userContentFolder(userDataFolder(), name)
                                      : QDir(userDataFolder()).filePath(name);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("sprueche.txt"));
}

bool OwnVerses::load(QString* error) {
    verses_.clear();
    if (path_.isEmpty()) {
        if (error) *error = QStringLiteral("Kein Ordner für eigene Sprüche.");
        return false;
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(path_).constData(), &st) != 0 && errno == ENOENT) return true;
    VerseParse read;
    if (!readVerseFile(path_, read, error)) return false;
    for (Verse& v : read.verses) {
        v.own = true;
        verses_.push_back(std::move(v));
    }
    return true;
}

bool OwnVerses::add(Verse verse, QString* error) {
    verse.text = verse.text.trimmed();
    verse.occasion = verse.occasion.trimmed();
    verse.tone = verse.tone.trimmed();
    verse.own = true;
    if (verse.text.isEmpty() || verse.occasion.isEmpty() || verse.tone.isEmpty()) {
        if (error) *error = QStringLiteral("Der Spruch ist leer.");
        return false;
    }
    // A line "---" in a text would end its record.
    for (const QString& line : verse.text.split(QLatin1Char('\n')))
        if (line.trimmed() == kSeparator) {
            if (error) *error = QStringLiteral("Eine Zeile „---“ kann ein Spruch nicht enthalten.");
            return false;
        }
    const QString key = verseTextKey(verse.text);
    for (const Verse& v : verses_)
        if (verseTextKey(v.text) == key) {
            if (error) *error = QStringLiteral("Diesen Spruch gibt es schon.");
            return false;
        }
    std::vector<Verse> next = verses_;
    next.push_back(std::move(verse));
    return write(next, error);
}

bool OwnVerses::remove(const Verse& verse, QString* error) {
    std::vector<Verse> next;
    bool found = false;
    for (const Verse& v : verses_) {
        if (!found && v.occasion == verse.occasion && v.tone == verse.tone &&
            verseTextKey(v.text) == verseTextKey(verse.text)) {
            found = true;
            continue;
        }
        next.push_back(v);
    }
    if (!found) {
        if (error) *error = QStringLiteral("Der Spruch ist kein eigener Spruch.");
        return false;
    }
    return write(next, error);
}

bool OwnVerses::write(const std::vector<Verse>& verses, QString* error) {
    if (path_.isEmpty()) {
        if (error) *error = QStringLiteral("Kein Ordner für eigene Sprüche.");
        return false;
    }
    // A link or a pipe in the file's place is never written through.
    if (!missingOrRegular(path_)) {
        if (error) *error = fileReason(EINVAL);
        return false;
    }
    const WriteOutcome outcome = writeFileAtomically(path_, formatVerses(verses).toUtf8());
    if (!outcome.ok) {
        if (error) *error = fileReason(outcome.error);
        return false;
    }
    verses_ = verses;
    return true;
}

}  // namespace bb
