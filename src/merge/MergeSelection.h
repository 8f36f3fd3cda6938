// Which rows of an address list a merge prints and how often, and the file names of a merge
// export.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace bb {

// "1-20", "3", "1-5, 8, 10-12": record numbers from 1, in the order given. Returns the
// 0-based row indexes, or nullopt with a German message in `error` for bad text or a number
// outside 1..rowCount.
std::optional<std::vector<int>> parseRowRanges(const QString& text, int rowCount,
                                               QString* error = nullptr);

// Every row of a list of `rowCount` rows, in order: 0, 1, ..., rowCount − 1.
std::vector<int> everyRow(int rowCount);

// The cards of a merge in printing order: each chosen row `copies` times in a row.
struct MergePlan {
    std::vector<int> rows;  // 0-based row indexes of the list
    int copies = 1;
    int cardCount() const { return int(rows.size()) * copies; }
    // The list row of the k-th card of the run (0-based).
    int rowOfCard(int card) const { return rows[size_t(card / copies)]; }
};

// A file name made from a cell: characters that file systems or shells trip over ('/', '\\',
// ':', '*', '?', '"', '<', '>', '|', control characters) become '_', surrounding spaces and
// dots go, and an empty result becomes `fallback`. At most 100 characters.
QString safeFileName(const QString& value, const QString& fallback);

// One name per value, made safe; a name that repeats (ignoring case) gets " (2)", " (3)", ...
// `extension` (with its dot) is appended to each.
QStringList uniqueFileNames(const QStringList& values, const QString& extension,
                            const QString& fallback);

}  // namespace bb
