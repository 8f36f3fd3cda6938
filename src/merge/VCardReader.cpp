// vCard 3.0 and 4.0, and 2.1 as phones export it (values in quoted-printable with a named
// character set, "=" at a line's end continuing it): one row per card with the fields a card
// address needs. Unknown properties, lines outside a card and lines without a colon are
// passed over; only a card that is never closed is an error, since its end cannot be told.
#include "merge/AddressListReading.h"

#include "document/Cp1252.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

namespace bb::addresslist {

namespace {

// Firma, Telefon and Notiz are columns only when some card has them.
enum Column {
    Anrede,
    Vorname,
    Nachname,
    Name,
    Strasse,
    Plz,
    Ort,
    Land,
    EMail,
    Geburtstag,
    Firma,
    Telefon,
    Notiz,
    Count
};
constexpr int kFirstOptional = Firma;

QStringList columnNames() {
    return {QStringLiteral("Anrede"),     QStringLiteral("Vorname"), QStringLiteral("Nachname"),
            QStringLiteral("Name"),       QStringLiteral("Straße"),  QStringLiteral("PLZ"),
            QStringLiteral("Ort"),        QStringLiteral("Land"),    QStringLiteral("E-Mail"),
            QStringLiteral("Geburtstag"), QStringLiteral("Firma"),   QStringLiteral("Telefon"),
            QStringLiteral("Notiz")};
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The lines of the text with folded lines joined (a line break followed by a space or tab
// continues the line; the break and that one character go), each with the physical line it
// starts on.
class LineReader {
public:
    explicit LineReader(const QString& text)
        : p_(reinterpret_cast<const char16_t*>(text.constData())), n_(text.size()) {}

    double fraction() const { return n_ == 0 ? 1.0 : double(i_) / double(n_); }
    // The number of the file's last line.
    int lastLine() const { return endsWithBreak_ ? line_ - 1 : line_; }

    bool next(QString& out, int& startLine) {
        if (i_ >= n_) return false;
        startLine = line_;
        out.resize(0);
        appendPhysicalLine(out);
        for (;;) {
            if (i_ < n_ && (p_[i_] == u' ' || p_[i_] == u'\t')) {
                ++i_;
                appendPhysicalLine(out);
            } else if (i_ < n_ && out.endsWith(u'=') && isQuotedPrintable(out) &&
                       !nextLineEndsCard()) {
                // A soft line break of quoted-printable: the "=" goes, the next line follows.
                out.chop(1);
                appendPhysicalLine(out);
            } else {
                return true;
            }
        }
    }

    // True when the parameters of a property line (before its first colon) name the
    // quoted-printable encoding.
    static bool isQuotedPrintable(QStringView line) {
        const qsizetype colon = line.indexOf(u':');
        return colon > 0 && line.first(colon).contains(u"QUOTED-PRINTABLE", Qt::CaseInsensitive);
    }

private:
    // A value broken off with a last "=" never swallows the end of its card.
    bool nextLineEndsCard() const {
        const QStringView rest(p_ + i_, std::min<qsizetype>(n_ - i_, 9));
        return rest.startsWith(u"END:VCARD", Qt::CaseInsensitive);
    }

    void appendPhysicalLine(QString& out) {
        const qsizetype start = i_;
        while (i_ < n_ && p_[i_] != u'\r' && p_[i_] != u'\n') ++i_;
        out.append(QStringView(p_ + start, i_ - start));
        endsWithBreak_ = i_ < n_;
        if (i_ >= n_) return;
        i_ += (p_[i_] == u'\r' && i_ + 1 < n_ && p_[i_ + 1] == u'\n') ? 2 : 1;
        ++line_;
    }

    const char16_t* p_;
    qsizetype n_;
    qsizetype i_ = 0;
    int line_ = 1;
    bool endsWithBreak_ = false;
};

// Which of several addresses or e-mails wins: a preferred one (PREF=n, the lowest n first, or
// TYPE=pref as n = 1), then a home one, then the first. Lower is better.
using Rank = std::pair<int, int>;
constexpr Rank kNoneYet{3, 0};

struct Property {
    QStringView name;  // without its group
    QStringView value;
    Rank rank{2, 0};
    bool textValue = false;        // VALUE=text: written for people, not as a date
    bool quotedPrintable = false;  // ENCODING=QUOTED-PRINTABLE (vCard 2.1)
    QStringView charset;           // CHARSET=UTF-8 (vCard 2.1): of the encoded bytes
    QString decoded;               // the value after quoted-printable, which `value` views
};

// The text of bytes in a named character set: UTF-8 when none is named, and bytes that are
// not valid UTF-8 as Windows-1252 (Latin-1 labels mean the same letters); any other set the
// platform knows by name.
QString decodeCharset(const QByteArray& bytes, QStringView charset) {
    const QStringView name = charset.trimmed();
    const bool latin = sameName(name, u"ISO-8859-1") || sameName(name, u"ISO8859-1") ||
                       sameName(name, u"LATIN1") || sameName(name, u"WINDOWS-1252") ||
                       sameName(name, u"CP1252");
    if (latin) return fromCp1252(bytes);
    if (!name.isEmpty() && !sameName(name, u"UTF-8") && !sameName(name, u"UTF8") &&
        !sameName(name, u"US-ASCII")) {
        QStringDecoder named(name.toLatin1().constData());
        if (named.isValid()) {
            QString text = named(bytes);
            if (!named.hasError()) return text;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? fromCp1252(bytes) : text;
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    return -1;
}

// Quoted-printable: "=C3=B6" is the byte pair of "ö" in `charset`; an "=" that starts no
// such pair stays. Characters beyond ASCII (a file that was already decoded) are kept.
QString decodeQuotedPrintable(QStringView value, QStringView charset) {
    QString out;
    QByteArray bytes;
    bytes.reserve(value.size());
    const auto flush = [&] {
        if (bytes.isEmpty()) return;
        out += decodeCharset(bytes, charset);
        bytes.clear();
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'=' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 &&
            hexValue(value[i + 2]) >= 0) {
            bytes.append(char(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2])));
            i += 2;
        } else if (c.unicode() < 0x80) {
            bytes.append(char(c.unicode()));
        } else {
            flush();
            out += c;
        }
    }
    flush();
    return out;
}

void takeParameter(QStringView param, Property& prop) {
    const qsizetype eq = param.indexOf(u'=');
    // vCard 2.1 writes bare types: EMAIL;HOME;PREF:...
    const QStringView key = eq < 0 ? QStringView(u"TYPE") : param.first(eq).trimmed();
    const QStringView values = eq < 0 ? param : param.sliced(eq + 1);
    bool preferred = false, home = false;
    int prefNumber = 100;
    if (sameName(key, u"ENCODING") || (eq < 0 && sameName(param.trimmed(), u"QUOTED-PRINTABLE"))) {
        prop.quotedPrintable = sameName(values.trimmed(), u"QUOTED-PRINTABLE");
    } else if (sameName(key, u"CHARSET")) {
        prop.charset = values.trimmed();
    } else if (sameName(key, u"TYPE")) {
        for (QStringView v : values.tokenize(u',')) {
            v = v.trimmed();
            if (v.startsWith(u'"')) v = v.sliced(1);
            if (v.endsWith(u'"')) v.chop(1);
            if (sameName(v, u"pref")) {
                preferred = true;
                prefNumber = 1;
            } else if (sameName(v, u"home")) {
                home = true;
            }
        }
    } else if (sameName(key, u"PREF")) {
        bool ok = false;
        const int n = values.trimmed().toInt(&ok);
        preferred = true;
        prefNumber = ok ? std::clamp(n, 1, 100) : 1;
    } else if (sameName(key, u"VALUE")) {
        prop.textValue = sameName(values.trimmed(), u"text");
    }
    if (preferred)
        prop.rank = std::min(prop.rank, Rank{0, prefNumber});
    else if (home)
        prop.rank = std::min(prop.rank, Rank{1, 0});
}

// Splits "[group.]NAME;param=value;...:value"; false when the line has no colon.
bool parseProperty(QStringView line, Property& prop) {
    qsizetype k = 0;
    while (k < line.size() && line[k] != u';' && line[k] != u':') ++k;
    if (k >= line.size()) return false;
    QStringView name = line.first(k);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) name = name.sliced(dot + 1);
    prop.name = name.trimmed();
    while (k < line.size() && line[k] == u';') {
        const qsizetype start = ++k;
        bool quoted = false;  // a quoted parameter value may hold ';' and ':'
        while (k < line.size() && (quoted || (line[k] != u';' && line[k] != u':'))) {
            if (line[k] == u'"') quoted = !quoted;
            ++k;
        }
        takeParameter(line.sliced(start, k - start), prop);
    }
    if (k >= line.size()) return false;
    prop.value = line.sliced(k + 1);
    if (prop.quotedPrintable) {
        prop.decoded = decodeQuotedPrintable(prop.value, prop.charset);
        prop.value = prop.decoded;
    }
    return true;
}

// Undoes the value escapes \, \; \: \\ and \n (or \N) for a line break; a backslash before
// anything else stays.
QString unescape(QStringView v) {
    if (!v.contains(u'\\')) return v.toString();
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        const QChar c = v[i];
        if (c != u'\\' || i + 1 >= v.size()) {
            out.append(c);
            continue;
        }
        const QChar next = v[++i];
        if (next == u'n' || next == u'N')
            out.append(QLatin1Char('\n'));
        else if (next == u',' || next == u';' || next == u':' || next == u'\\')
            out.append(next);
        else
            out.append(c).append(next);
    }
    return out;
}

// The first `count` components of a structured value (split at unescaped ';'), unescaped,
// missing ones empty.
QStringList components(QStringView value, int count) {
    QStringList parts;
    parts.reserve(count);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= value.size() && parts.size() < count; ++i) {
        if (i < value.size() && value[i] == u'\\') {
            ++i;
            continue;
        }
        if (i == value.size() || value[i] == u';') {
            parts.append(unescape(value.sliced(start, i - start)).trimmed());
            start = i + 1;
        }
    }
    while (parts.size() < count) parts.append(QString());
    return parts;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// 19850314, 1985-03-14 (also with a time after T) → 14.03.1985; --0314, --03-14 → 14.03.;
// anything else, and an impossible date, as written.
QString formatBirthday(const QString& written) {
    static const QRegularExpression withYear(
        QStringLiteral("^([0-9]{4})-?([0-9]{2})-?([0-9]{2})(T.*)?$"));
    static const QRegularExpression withoutYear(QStringLiteral("^--([0-9]{2})-?([0-9]{2})(T.*)?$"));
    if (const auto m = withYear.match(written); m.hasMatch()) {
        const QDate date(m.capturedView(1).toInt(), m.capturedView(2).toInt(),
                         m.capturedView(3).toInt());
        if (!date.isValid()) return written;
        return twoDigits(date.day()) + u'.' + twoDigits(date.month()) + u'.' +
               QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    }
    if (const auto m = withoutYear.match(written); m.hasMatch()) {
        const int month = m.capturedView(1).toInt(), day = m.capturedView(2).toInt();
        if (!QDate(2000, month, day).isValid()) return written;  // a leap year allows 29.02.
        return twoDigits(day) + u'.' + twoDigits(month) + u'.';
    }
    return written;
}

// The fields of the card being read.
class Card {
public:
    explicit Card(int beginLine) : beginLine(beginLine) { row_.resize(Count); }

    void take(const Property& prop) {
        if (sameName(prop.name, u"N") && !haveN_) {
            haveN_ = true;
            const QStringList n = components(prop.value, 5);
            row_[Nachname] = n[0];
            row_[Vorname] = n[1];
            row_[Anrede] = n[3];
        } else if (sameName(prop.name, u"FN") && !haveFn_) {
            haveFn_ = true;
            row_[Name] = unescape(prop.value).trimmed();
        } else if (sameName(prop.name, u"ADR") && prop.rank < adrRank_) {
            adrRank_ = prop.rank;
            const QStringList a = components(prop.value, 7);
            row_[Strasse] = a[2];
            row_[Ort] = a[3];
            row_[Plz] = a[5];
            row_[Land] = a[6];
        } else if (sameName(prop.name, u"EMAIL") && prop.rank < emailRank_) {
            emailRank_ = prop.rank;
            row_[EMail] = unescape(prop.value).trimmed();
        } else if (sameName(prop.name, u"ORG") && row_[Firma].isEmpty()) {
            row_[Firma] = components(prop.value, 1)[0];
        } else if (sameName(prop.name, u"TEL") && prop.rank < telRank_) {
            telRank_ = prop.rank;
            QString tel = unescape(prop.value).trimmed();
            if (tel.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) tel.remove(0, 4);
            row_[Telefon] = tel;
        } else if (sameName(prop.name, u"NOTE") && row_[Notiz].isEmpty()) {
            row_[Notiz] = unescape(prop.value);
        } else if (sameName(prop.name, u"BDAY") && row_[Geburtstag].isEmpty()) {
            const QString written = unescape(prop.value).trimmed();
            row_[Geburtstag] = prop.textValue ? written : formatBirthday(written);
        }
    }

    // The row; a card without FN (allowed in 2.1) is named from N.
    QStringList finish() {
        if (!haveFn_) row_[Name] = (row_[Vorname] + u' ' + row_[Nachname]).trimmed();
        return std::move(row_);
    }

    const int beginLine;

private:
    QStringList row_;
    bool haveN_ = false, haveFn_ = false;
    Rank adrRank_ = kNoneYet, emailRank_ = kNoneYet, telRank_ = kNoneYet;
};

bool isVCardValue(QStringView value) {
    return sameName(value.trimmed(), u"VCARD");
}

// Drops the optional columns no card filled.
void dropEmptyOptionalColumns(AddressList& list) {
    for (int c = Count - 1; c >= kFirstOptional; --c) {
        const bool used = std::any_of(list.rows.begin(), list.rows.end(),
                                      [c](const QStringList& row) { return !row[c].isEmpty(); });
        if (used) continue;
        list.columns.removeAt(c);
        for (QStringList& row : list.rows) row.removeAt(c);
    }
}

AddressListResult missingEnd(int line, int beginLine) {
    return failure(atLine(
        line, QStringLiteral("END:VCARD fehlt (die Karte beginnt in Zeile %1)").arg(beginLine)));
}

}  // namespace

AddressListResult readVCard(const QByteArray& bytes, const QString& path,
                            const AddressListProgress& progress) {
    if (bytes.size() > kAddressListMaxBytes) return failure(tooLargeMessage());
    const QString text = decodeText(bytes);
    if (QStringView(text).trimmed().isEmpty())
        return failure(QStringLiteral("Die Adressliste ist leer."));

    auto list = std::make_shared<AddressList>();
    list->path = path;
    list->columns = columnNames();
    ProgressPacer pacer(progress);
    LineReader lines(text);
    QString line;
    int lineNumber = 0;
    std::optional<Card> card;
    while (lines.next(line, lineNumber)) {
        Property prop;
        if (!parseProperty(line, prop)) continue;
        if (sameName(prop.name, u"BEGIN") && isVCardValue(prop.value)) {
            if (card) return missingEnd(lineNumber, card->beginLine);
            card.emplace(lineNumber);
        } else if (!card) {
            continue;
        } else if (sameName(prop.name, u"END") && isVCardValue(prop.value)) {
            const QString limit = rowLimitError(qsizetype(list->rows.size()), Count);
            if (!limit.isEmpty()) return failure(atLine(lineNumber, limit));
            list->rows.push_back(card->finish());
            card.reset();
            if (!pacer.rowAdded(*list, lines.fraction())) return cancelled();
        } else {
            card->take(prop);
        }
    }
    if (card) return missingEnd(lines.lastLine(), card->beginLine);
    if (list->rows.empty())
        return failure(QStringLiteral("Die Datei enthält keine Visitenkarten (vCard)."));
    dropEmptyOptionalColumns(*list);
    AddressListResult result;
    result.list = std::move(list);
    return result;
}

}  // namespace bb::addresslist
