// Address label sheets: the A4 sheets the program knows (compiled in from
// resources/labelsheets.csv), the person's own sheet (measures typed in, kept in the settings),
// the check that a sheet's labels lie on the paper without overlapping, and which label of which
// sheet each address of a merge goes to.
#pragma once

#include "merge/MergeSelection.h"

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

class QSettings;

namespace bb {

inline const QString kCustomLabelSheetId = QStringLiteral("custom");
// Labels across and down a sheet at most; more is a typing error, not a sheet.
inline constexpr int kLabelGridMax = 40;

// One sheet of equal labels in a grid. Lengths in millimetres from the paper's top-left corner.
struct LabelSheet {
    QString id;        // "L7163"; kCustomLabelSheetId for the person's own sheet
    QString name;      // German, for the sheet list: "2 × 7 Etiketten, 99,1 × 38,1 mm"
    QString products;  // products sold in this layout: "Avery Zweckform L7163, J8163"
    QSizeF paperMm{210, 297};
    QSizeF labelMm;
    QPointF marginMm;  // the first label's top-left corner
    QPointF pitchMm;   // from one label's top-left corner to the next one's, across and down
    int columns = 0;
    int rows = 0;
    double cornerMm = 0;  // corner radius of the labels

    // Counted within 0..kLabelGridMax each way, so that a broken sheet from the settings
    // cannot make a count beyond what a sheet can hold.
    int perSheet() const {
        return std::clamp(columns, 0, kLabelGridMax) * std::clamp(rows, 0, kLabelGridMax);
    }
    // The label at `position` (0 .. perSheet − 1, across first, then down).
    QRectF labelRectMm(int position) const;
    // "2 × 7 Etiketten, 99,1 × 38,1 mm (Avery Zweckform L7163, J8163)"
    QString displayName() const;
    friend bool operator==(const LabelSheet&, const LabelSheet&) = default;
};

// Why the labels of `sheet` cannot be printed (German, naming the measure at fault), or empty
// when every label lies on the paper and none overlaps the next.
QString labelSheetProblem(const LabelSheet& sheet);

// The sheets of a catalogue file: "id;name;products;columns;rows;width;height;left;top;
// pitch_x;pitch_y;corner" a line, '#' lines and blank lines skipped. Any bad line makes the
// whole catalogue fail with a German message naming the line.
std::optional<std::vector<LabelSheet>> parseLabelSheets(const QByteArray& csv, QString* error);

// The sheets the program comes with, in the catalogue's order.
const std::vector<LabelSheet>& labelSheets();
// A shipped sheet by id (case ignored); null when there is none.
const LabelSheet* findLabelSheet(const QString& id);

// The person's own sheet from the settings group "Etiketten/Eigenes"; a sheet that was never
// stored starts as a copy of the first shipped one.
LabelSheet customLabelSheet(QSettings& settings);
void storeCustomLabelSheet(QSettings& settings, const LabelSheet& sheet);

// One address on a sheet.
struct LabelPlacement {
    int page = 0;      // sheet, from 0
    int position = 0;  // label of that sheet, from 0
    int row = 0;       // row of the address list
};

// Every label of a merge in printing order: the plan's rows in their order, each `copies`
// times in a row, starting after `used` labels of the first sheet (clamped as for cards: at
// most perSheet − 1 used). An empty plan gives no label.
std::vector<LabelPlacement> labelPlacements(const LabelSheet& sheet, int used,
                                            const MergePlan& plan);
// Sheets the labels of `plan` need; 0 without labels.
int labelSheetCount(const LabelSheet& sheet, int used, const MergePlan& plan);

}  // namespace bb
