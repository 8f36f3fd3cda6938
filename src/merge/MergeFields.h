// Fields in a card's texts: "{Vorname}" is filled from the column of that name of an address
// list row; "{{" and "}}" write literal braces. A field name is matched without regard to
// case and surrounding spaces. Text that is not a well-formed field (an unclosed brace, an
// empty name, a name with a line break or a brace in it) stays as typed.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace bb {

class CardDocument;
struct AddressList;

// A piece of a text: literal text (escapes already resolved) or a field name (as typed,
// without its braces).
struct TextPiece {
    QString text;
    bool field = false;
    friend bool operator==(const TextPiece&, const TextPiece&) = default;
};

std::vector<TextPiece> splitFields(const QString& text);

// The key a field name is matched by: trimmed and case-folded.
QString fieldKey(const QString& name);

// True when `text` has a field or an escaped brace, i.e. filling may change it.
bool mayHaveFields(const QString& text);

// The field names `text` uses, as first typed, each once (by fieldKey).
QStringList fieldsIn(const QString& text);

// The fields every text of both sides of `doc` uses, in the order of the sides (outside
// first) and of the objects, each once; the document is not changed.
QStringList fieldsOfCard(const CardDocument& doc);

// Fills texts from one row of a list. A field without a column stays as typed ("{Titel}"), so
// a missing column shows on the card instead of leaving a silent gap. A value's line breaks
// (LF or CR LF) become the card's line breaks (CR LF). A field that fills empty at the start
// of a line takes the spaces after it along, so "{Anrede} {Vorname}" without an Anrede
// starts with the first name.
class FieldFiller {
public:
    FieldFiller() = default;
    explicit FieldFiller(const AddressList& list);
    QString fill(const QString& text, const QStringList& row) const;

private:
    QStringList keys_;  // fieldKey of each column
};

// The fields of `cardFields` without a column of `list`, and the columns `cardFields` does not
// use, both in their order.
struct FieldMatch {
    QStringList missing;
    QStringList unused;
};
FieldMatch matchFields(const QStringList& cardFields, const AddressList& list);

// A German note on the rows of `list` that leave a field of `cardFields` blank (fields without
// a column are not counted): how many, and the first few with their fields, e.g.
// "2 Datensätze lassen Felder der Karte leer: Nr. 3 ({Anrede}), Nr. 7 ({Anrede}, {PLZ})".
// Empty when every row fills every field.
QString emptyFieldsNote(const QStringList& cardFields, const AddressList& list);

}  // namespace bb
