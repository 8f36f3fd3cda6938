// The spelling entries of a right-click menu on a misspelt word: the dictionary's suggestions,
// each replacing the word, and "Zum Wörterbuch hinzufügen". Shared by the text dialog and by
// typing on the card; the wavy underline that marks such words on screen is drawn here too.
#pragma once

#include <QString>

#include <functional>

class QMenu;
class QPainter;
class QPointF;

namespace bb {

class SpellChecker;

// Adds the entries for `word` at the top of `menu`: `replace` is called with the chosen
// suggestion, `added` after the word went into the user's word list.
void addSpellingEntries(QMenu& menu, SpellChecker& checker, const QString& word,
                        const std::function<void(const QString&)>& replace,
                        const std::function<void()>& added);

// A red wavy line from `from` to `to` (view pixels), under a misspelt word.
void drawWavyLine(QPainter& painter, QPointF from, QPointF to);

}  // namespace bb
