// Fields in a card's texts; see MergeFields.h.
#include "merge/MergeFields.h"

#include "document/CardDocument.h"
#include "merge/AddressList.h"

#include <QSet>

namespace bb {

namespace {

// The closing brace of a field opened at `open`, or -1 when the text from there is not a
// field: the name must close on the same line, hold no brace and not be blank.
qsizetype fieldEnd(const QString& text, qsizetype open) {
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'}') {
            const QStringView name = QStringView(text).mid(open + 1, i - open - 1);
            return name.trimmed().isEmpty() ? -1 : i;
        }
        if (c == u'{' || c == u'\r' || c == u'\n') return -1;
    }
    return -1;
}

// Walks `text`, handing literal runs and field names to the callbacks in order.
template <typename Literal, typename Field>
void walkFields(const QString& text, Literal&& literal, Field&& field) {
    qsizetype runStart = 0;
    qsizetype i = 0;
    auto flush = [&](qsizetype end) {
        if (end > runStart) literal(QStringView(text).mid(runStart, end - runStart));
    };
    while (i < text.size()) {
        const QChar c = text.at(i);
        const bool doubled = i + 1 < text.size() && text.at(i + 1) == c;
        if ((c == u'{' || c == u'}') && doubled) {
            flush(i);
            literal(QStringView(text).mid(i, 1));
            i += 2;
            runStart = i;
            continue;
        }
        if (c == u'{') {
            const qsizetype end = fieldEnd(text, i);
            if (end >= 0) {
                flush(i);
                field(text.mid(i + 1, end - i - 1));
                i = end + 1;
                runStart = i;
                continue;
            }
        }
        ++i;
    }
    flush(text.size());
}

// The card's line breaks for a value read from a list (LF, CR LF or CR).
QString cardLineBreaks(const QString& value) {
    if (!value.contains(u'\n') && !value.contains(u'\r')) return value;
    QString v = value;
    v.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    v.replace(u'\r', u'\n');
    v.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return v;
}

void addFieldsOf(const SlotTable& table, QStringList& names, QSet<QString>& seen) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const CardObject* o = table[size_t(slot)];
        if (!o || o->kind != KindText || !mayHaveFields(o->content)) continue;
        for (const QString& name : fieldsIn(o->content)) {
            const QString key = fieldKey(name);
            if (seen.contains(key)) continue;
            seen.insert(key);
            names << name.trimmed();
        }
    }
}

}  // namespace

QString fieldKey(const QString& name) {
    return name.trimmed().toCaseFolded();
}

bool mayHaveFields(const QString& text) {
    return text.contains(u'{') || text.contains(u'}');
}

std::vector<TextPiece> splitFields(const QString& text) {
    std::vector<TextPiece> pieces;
    walkFields(
        text,
        [&](QStringView run) {
            if (pieces.empty() || pieces.back().field)
                pieces.push_back({run.toString(), false});
            else
                pieces.back().text += run;
        },
        [&](const QString& name) {
            pieces.push_back({name, true});
        });
    return pieces;
}

QStringList fieldsIn(const QString& text) {
    QStringList names;
    QSet<QString> seen;
    walkFields(
        text, [](QStringView) {},
        [&](const QString& name) {
            if (!seen.contains(fieldKey(name))) {
                seen.insert(fieldKey(name));
                names << name;
            }
        });
    return names;
}

QStringList fieldsOfCard(const CardDocument& doc) {
    QStringList names;
    QSet<QString> seen;
    for (int side : {int(SideOutside), int(SideInside)})
        addFieldsOf(doc.sideSlots(side), names, seen);
    return names;
}

FieldFiller::FieldFiller(const AddressList& list) {
    keys_.reserve(list.columns.size());
    for (const QString& c : list.columns) keys_ << fieldKey(c);
}

QString FieldFiller::fill(const QString& text, const QStringList& row) const {
    if (!mayHaveFields(text)) return text;
    QString out;
    out.reserve(text.size());
    // Set while an empty field has begun a line: the spaces that followed it go too.
    bool dropSpaces = false;
    const auto atLineStart = [&out] { return out.isEmpty() || out.endsWith(u'\n'); };
    walkFields(
        text,
        [&](QStringView run) {
            if (dropSpaces) {
                qsizetype k = 0;
                while (k < run.size() && (run[k] == u' ' || run[k] == u'\t')) ++k;
                run = run.sliced(k);
                dropSpaces = run.isEmpty();
            }
            out += run;
        },
        [&](const QString& name) {
            const qsizetype column = keys_.indexOf(fieldKey(name));
            if (column < 0) {
                out += u'{' + name + u'}';
                dropSpaces = false;
                return;
            }
            const QString value = column < row.size() ? row.at(column) : QString();
            if (value.trimmed().isEmpty() && atLineStart()) {
                dropSpaces = true;
                return;
            }
            out += cardLineBreaks(value);
            dropSpaces = false;
        });
    return out;
}

FieldMatch matchFields(const QStringList& cardFields, const AddressList& list) {
    FieldMatch match;
    QSet<QString> usedKeys;
    for (const QString& f : cardFields) {
        usedKeys.insert(fieldKey(f));
        if (list.columnOf(f) < 0) match.missing << f;
    }
    for (const QString& c : list.columns)
        if (!usedKeys.contains(fieldKey(c))) match.unused << c;
    return match;
}

QString emptyFieldsNote(const QStringList& cardFields, const AddressList& list) {
    std::vector<std::pair<QString, int>> fields;  // as typed, column
    for (const QString& f : cardFields)
        if (const int column = list.columnOf(f); column >= 0) fields.emplace_back(f, column);
    if (fields.empty()) return {};
    constexpr int kShown = 5;
    int rows = 0;
    QStringList shown;
    for (int r = 0; r < list.rowCount(); ++r) {
        const QStringList& row = list.rows[size_t(r)];
        QStringList empty;
        for (const auto& [name, column] : fields)
            if (column >= row.size() || row.at(column).trimmed().isEmpty())
                empty << u'{' + name + u'}';
        if (empty.isEmpty()) continue;
        if (++rows <= kShown)
            shown << QStringLiteral("Nr. %1 (%2)").arg(r + 1).arg(empty.join(QStringLiteral(", ")));
    }
    if (rows == 0) return {};
    QString note = rows == 1
                       ? QStringLiteral("1 Datensatz lässt Felder der Karte leer: ")
                       : QStringLiteral("%1 Datensätze lassen Felder der Karte leer: ").arg(rows);
    note += shown.join(QStringLiteral(", "));
    if (rows > kShown) note += QStringLiteral(" und %1 weitere").arg(rows - kShown);
    return note;
}

}  // namespace bb
