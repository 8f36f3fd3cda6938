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

// Which sides of the card a merge prints or exports: one, or both (a two-sided print, two
// pictures per row).
enum class MergeSides { Outside, Inside, Both };

// The longest file name most file systems take, in bytes of UTF-8.
inline constexpr int kFileNameMaxBytes = 255;
// Room kept in a made name for " (12345)", the number that makes it unique in its folder.
inline constexpr int kFileNameNumberRoom = 12;

// A file name made from a cell: characters that file systems or shells trip over ('/', '\\',
// ':', '*', '?', '"', '<', '>', '|', control characters) become '_', invisible format
// characters (such as the right-to-left override U+202E, which would show a name backwards)
// and lone surrogate halves are dropped, surrounding spaces and dots go, and an empty result
// becomes `fallback`. Cut at the end of a whole character to at most 100 UTF-16 units and
// `maxBytes` bytes of UTF-8.
QString safeFileName(const QString& value, const QString& fallback,
                     int maxBytes = kFileNameMaxBytes);

// One name per value, made safe; a name that repeats (ignoring case) gets " (2)", " (3)", ...
// `extension` (with its dot, and whatever else ends each name) is appended to each. Every name
// with its extension leaves kFileNameNumberRoom bytes of kFileNameMaxBytes free.
QStringList uniqueFileNames(const QStringList& values, const QString& extension,
                            const QString& fallback);

// `name` with " (n)" before its extension: "A.bmp", 2 → "A (2).bmp".
QString numberedFileName(const QString& name, int n);

}  // namespace bb
