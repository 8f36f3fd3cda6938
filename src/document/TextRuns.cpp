#include "document/TextRuns.h"

#include "document/CardObject.h"

#include <algorithm>
#include <array>
#include <optional>

namespace bb {

namespace {

bool sameFormat(const TextRun& a, const TextRun& b) {
    return a.fontName == b.fontName && a.fontSize == b.fontSize && a.fontStyle == b.fontStyle &&
           a.fontColor == b.fontColor;
}

int64_t endOf(const TextRun& r) {
    return int64_t(r.start) + r.length;
}

}  // namespace

TextRun baseFormat(const CardObject& o) {
    TextRun r;
    r.fontName = o.fontName;
    r.fontSize = o.fontSize;
    r.fontStyle = o.fontStyle;
    r.fontColor = o.color;
    return r;
}

TextRun formatAt(const CardObject& o, int pos) {
    for (const TextRun& r : o.extras.runs)
        if (pos >= r.start && pos < endOf(r)) return r;
    TextRun base = baseFormat(o);
    base.start = pos;
    return base;
}

void normalizeRuns(std::vector<TextRun>& runs, int length, const TextRun& base) {
    std::vector<TextRun> out;
    std::sort(runs.begin(), runs.end(),
              [](const TextRun& a, const TextRun& b) { return a.start < b.start; });
    int covered = 0;  // end of what earlier spans hold: a later overlap loses its start
    for (TextRun r : runs) {
        int64_t start = std::max<int64_t>(r.start, covered);
        const int64_t end = std::min<int64_t>(endOf(r), length);
        if (end <= start || sameFormat(r, base)) continue;
        r.start = int32_t(start);
        r.length = int32_t(end - start);
        if (!out.empty() && endOf(out.back()) == r.start && sameFormat(out.back(), r))
            out.back().length += r.length;
        else
            out.push_back(r);
        covered = int(end);
    }
    runs = std::move(out);
}

void adjustRunsForEdit(std::vector<TextRun>& runs, int pos, int removed, int inserted) {
    if (pos < 0 || removed < 0 || inserted < 0) return;
    const int64_t cut = int64_t(pos) + removed;
    for (TextRun& r : runs) {
        int64_t start = r.start, end = endOf(r);
        // What was removed leaves the span; what followed moves back.
        auto shrink = [&](int64_t p) { return p <= pos ? p : p >= cut ? p - removed : pos; };
        start = shrink(start);
        end = shrink(end);
        // Inserted text belongs to the span of the character before it.
        const bool holdsBefore = start < pos && end >= pos;
        if (start >= pos) start += inserted;
        if (end > pos || holdsBefore) end += inserted;
        r.start = int32_t(std::clamp<int64_t>(start, 0, INT32_MAX));
        r.length = int32_t(std::clamp<int64_t>(end - start, 0, INT32_MAX));
    }
    runs.erase(
        std::remove_if(runs.begin(), runs.end(), [](const TextRun& r) { return r.length <= 0; }),
        runs.end());
}

namespace {

// The one replacement between the common start and end of two texts.
struct Replacement {
    int pos = 0, removed = 0, inserted = 0;
};

Replacement replacementBetween(const QString& before, const QString& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before.at(head) == after.at(head)) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    return {int(head), int(before.size() - head - tail), int(after.size() - head - tail)};
}

}  // namespace

void adjustRunsForChange(std::vector<TextRun>& runs, const QString& before, const QString& after) {
    if (before == after || runs.empty()) return;
    const Replacement r = replacementBetween(before, after);
    adjustRunsForEdit(runs, r.pos, r.removed, r.inserted);
}

void adjustRunsForFill(std::vector<TextRun>& runs, const QString& before, const QString& after) {
    if (before == after || runs.empty()) return;
    const Replacement r = replacementBetween(before, after);
    const auto first = std::find_if(runs.begin(), runs.end(), [&r](const TextRun& run) {
        return r.removed > 0 && run.start <= r.pos && r.pos < endOf(run);
    });
    std::optional<TextRun> filled;
    if (first != runs.end() && r.inserted > 0) {
        filled = *first;
        filled->start = r.pos;
        filled->length = r.inserted;
    }
    adjustRunsForEdit(runs, r.pos, r.removed, r.inserted);
    if (!filled) return;
    // A span that began before the field grew over the filled text; one that began with the
    // field lost it with the field's characters and comes back over the filled text.
    for (const TextRun& run : runs)
        if (run.start < filled->start && endOf(run) >= endOf(*filled)) return;
    runs.insert(
        std::upper_bound(runs.begin(), runs.end(), *filled,
                         [](const TextRun& a, const TextRun& b) { return a.start < b.start; }),
        *filled);
}

void formatRange(CardObject& o, int from, int to, const std::function<void(TextRun&)>& change) {
    const int length = int(o.content.size());
    from = std::clamp(from, 0, length);
    to = std::clamp(to, 0, length);
    if (from >= to) return;
    const TextRun base = baseFormat(o);
    std::vector<TextRun> runs;
    // Every character of [from, to) in a span of its own format, the spans outside kept.
    for (const TextRun& r : o.extras.runs) {
        const int64_t end = endOf(r);
        if (end <= from || r.start >= to) {
            runs.push_back(r);
            continue;
        }
        if (r.start < from) {
            TextRun left = r;
            left.length = from - r.start;
            runs.push_back(left);
        }
        if (end > to) {
            TextRun right = r;
            right.start = to;
            right.length = int32_t(end - to);
            runs.push_back(right);
        }
    }
    for (int p = from; p < to;) {
        TextRun piece = formatAt(o, p);
        int next = to;
        for (const TextRun& r : o.extras.runs) {
            if (r.start > p && r.start < next) next = r.start;
            if (p >= r.start && p < endOf(r)) next = int(std::min<int64_t>(next, endOf(r)));
        }
        piece.start = p;
        piece.length = next - p;
        change(piece);
        runs.push_back(piece);
        p = next;
    }
    normalizeRuns(runs, length, base);
    o.extras.runs = std::move(runs);
}

int nextFontSize(int size, bool up) {
    static constexpr std::array<int, 20> kSteps = {6,  7,  8,  9,  10, 11, 12, 14, 16, 18,
                                                   20, 22, 24, 28, 32, 36, 48, 60, 72, 96};
    if (up) {
        for (int s : kSteps)
            if (s > size) return s;
        return std::min(size + 24, 999);
    }
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (*it < size) return *it;
    return std::max(1, size - 1);
}

}  // namespace bb
