// The formatted spans of a text (ObjectExtras::runs) kept in step with its content: edits shift,
// shrink and extend them, formatting a range splits and merges them. A span equal to the
// object's own font is dropped, so a text formatted back to its font has no spans at all.
#pragma once

#include "document/ObjectExtras.h"

#include <QString>

#include <functional>
#include <vector>

namespace bb {

struct CardObject;

// The object's own font and colour as a span format (start and length 0).
TextRun baseFormat(const CardObject& o);

// The format in force at character `pos` of `o`'s content: its span's, else the object's.
TextRun formatAt(const CardObject& o, int pos);

// Content [pos, pos + removed) was replaced by `inserted` characters. Spans lose what was
// removed and move with what follows; text typed at the end of or inside a span takes the
// span's format (the format of the character before it).
void adjustRunsForEdit(std::vector<TextRun>& runs, int pos, int removed, int inserted);

// The same for any change from `before` to `after`, taken as one replacement between their
// common start and end.
void adjustRunsForChange(std::vector<TextRun>& runs, const QString& before, const QString& after);

// The same for a field of a personal card filled in: the characters that replace others take
// the format of the first character they replace, so a bold "{Vorname}" gives a bold name.
void adjustRunsForFill(std::vector<TextRun>& runs, const QString& before, const QString& after);

// Applies `change` to the format of characters [from, to) of `o`: they get spans of their own
// (starting from the format they have), the result is sorted, merged and free of spans that
// equal the object's font.
void formatRange(CardObject& o, int from, int to, const std::function<void(TextRun&)>& change);

// Sorted, inside a content of `length` characters, not overlapping, without empty spans and
// with neighbours of equal format joined; spans equal to `base` dropped.
void normalizeRuns(std::vector<TextRun>& runs, int length, const TextRun& base);

// The next font size of the size steps (up) or the previous one (down), for "bigger" and
// "smaller" on a selection.
int nextFontSize(int size, bool up);

}  // namespace bb
