#include "spell/SpellChecker.h"

#include "pictures/AtomicWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

#include <hunspell.hxx>

#include <string>

namespace bb {

namespace {

// Answers kept for at most this many words; then they are forgotten and asked again.
constexpr qsizetype kKnownWords = 20000;

bool holdsDigit(QStringView word) {
    for (QChar c : word)
        if (c.isDigit()) return true;
    return false;
}

bool holdsLetter(QStringView word) {
    for (QChar c : word)
        if (c.isLetter()) return true;
    return false;
}

}  // namespace

SpellChecker::SpellChecker(const QString& base) {
    if (base.isEmpty()) return;
    const QString aff = base + QStringLiteral(".aff"), dic = base + QStringLiteral(".dic");
    if (!QFileInfo(aff).isFile() || !QFileInfo(dic).isFile()) return;
    hunspell_ = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                           QFile::encodeName(dic).constData());
    // Words travel as UTF-8: the dictionary must use it too.
    if (QString::fromStdString(hunspell_->get_dict_encoding())
            .compare(QStringLiteral("UTF-8"), Qt::CaseInsensitive) != 0)
        hunspell_.reset();
}

SpellChecker::~SpellChecker() = default;

QString SpellChecker::germanDictionary() {
    for (const char* folder :
         {"/usr/share/hunspell", "/usr/share/myspell/dicts", "/usr/local/share/hunspell"}) {
        QString base = QString::fromLatin1(folder) + QStringLiteral("/de_DE");
        if (QFileInfo(base + QStringLiteral(".dic")).isFile() &&
            QFileInfo(base + QStringLiteral(".aff")).isFile())
            return base;
    }
    return {};
}

std::vector<WordRange> SpellChecker::words(const QString& text) {
    std::vector<WordRange> out;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end >= 0; end = finder.toNextBoundary()) {
        const QStringView word = QStringView(text).mid(start, end - start);
        if (holdsLetter(word) && !holdsDigit(word)) out.push_back({int(start), int(end - start)});
        start = end;
    }
    return out;
}

bool SpellChecker::isCorrect(const QString& word) const {
    if (!hunspell_ || word.isEmpty()) return true;
    if (personal_.contains(word)) return true;
    const auto it = known_.constFind(word);
    if (it != known_.cend()) return *it;
    const bool correct = hunspell_->spell(word.toStdString());
    if (known_.size() >= kKnownWords) known_.clear();
    known_.insert(word, correct);
    return correct;
}

std::vector<WordRange> SpellChecker::misspelt(const QString& text) const {
    std::vector<WordRange> out;
    if (!hunspell_) return out;
    for (const WordRange& w : words(text))
        if (!isCorrect(text.mid(w.start, w.length))) out.push_back(w);
    return out;
}

QStringList SpellChecker::suggestions(const QString& word, int count) const {
    QStringList out;
    if (!hunspell_ || word.isEmpty()) return out;
    for (const std::string& s : hunspell_->suggest(word.toStdString())) {
        if (out.size() >= count) break;
        out << QString::fromStdString(s);
    }
    return out;
}

bool SpellChecker::setPersonalWordList(const QString& path) {
    personalPath_ = path;
    QFile file(path);
    if (!file.exists()) return true;
    // Only a regular file: a named pipe there would wait for a writer.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    // A list of words, never large: anything beyond a megabyte is not read.
    const QByteArray bytes = file.read(1 << 20);
    for (const QByteArray& line : bytes.split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (word.isEmpty() || personal_.contains(word)) continue;
        personal_ << word;
        if (hunspell_) hunspell_->add(word.toStdString());
    }
    known_.clear();
    return true;
}

bool SpellChecker::addWord(const QString& word) {
    const QString clean = word.trimmed();
    if (clean.isEmpty() || clean.contains(QChar('\n'))) return false;
    if (!personal_.contains(clean)) personal_ << clean;
    if (hunspell_) hunspell_->add(clean.toStdString());
    known_.remove(clean);
    if (personalPath_.isEmpty()) return false;
    const QByteArray bytes = personal_.join(QChar('\n')).toUtf8() + '\n';
    return writeFileAtomically(personalPath_, bytes).ok;
}

}  // namespace bb
