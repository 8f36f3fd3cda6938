// Address labels from an address list: the address lines of one row (as an envelope's
// recipient block: a template of fields, empty lines closed up, a foreign country in capitals),
// the text fitted into its label (the type shrinks down to a minimum,
// then lines are cut, with a warning), and the labels drawn on paper, a PDF file or a preview.
#pragma once

#include "print/EnvelopeLayout.h"
#include "print/LabelSheets.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace bb {

struct AddressList;

inline const QString kDefaultLabelTemplate = kDefaultRecipientTemplate;
inline constexpr double kLabelMaxPointSize = 11;
inline constexpr double kLabelMinPointSize = 6;
// The text keeps this distance from a label's edges (less on very small labels).
inline constexpr double kLabelInnerMarginMm = 3;
inline const QString kLabelJobTitle = QStringLiteral("Brisella-Bildwerker Etiketten");

// Lines fitted into a label. Lengths in millimetres on the sheet.
struct LabelText {
    QStringList lines;  // as drawn: lines that did not fit are left out, long ones end in "…"
    double pointSize = 0;
    double lineHeightMm = 0;
    double ascentMm = 0;  // from a line's top to its baseline
    QPointF originMm;     // top-left corner of the first line
    bool cut = false;     // lines were left out or shortened
};
// Fits `lines` left-aligned and vertically centred into `labelMm` less the inner margin: the
// largest point size from kLabelMaxPointSize down to kLabelMinPointSize (half points) at which
// every line fits; failing that, at the smallest size, the lines that do not fit are cut.
LabelText fitLabelText(const QStringList& lines, const QRectF& labelMm);

struct PrintedLabel {
    LabelPlacement place;
    QRectF rectMm;
    LabelText text;
};

// Every label of a merge, ready to draw.
struct LabelJob {
    LabelSheet sheet;
    int used = 0;  // labels of the first sheet left free (clamped)
    int pages = 0;
    std::vector<PrintedLabel> labels;  // in printing order
    QStringList warnings;              // German, one per cut label
};
// The labels of `plan`'s rows of `list` on `sheet` after `used` labels, filled from `tmpl` as
// recipientLines (print/EnvelopeLayout.h) fills an envelope sent from Germany; fields the list
// has no column for fill empty.
LabelJob labelJob(const LabelSheet& sheet, int used, const AddressList& list, const MergePlan& plan,
                  const QString& tmpl = kDefaultLabelTemplate);

// How a sheet is drawn: on paper only the text; in the preview also the labels' outlines and
// the used labels shaded.
struct LabelPaintOptions {
    bool outlines = false;
    bool shadeUsed = false;
};
// Draws sheet `page` (from 0) of `job`; the painter's origin is the paper's top-left corner
// and `pxPerMm` its scale. A page without labels draws the empty sheet.
void paintLabelPage(QPainter& painter, const LabelJob& job, int page, double pxPerMm,
                    const LabelPaintOptions& options = {});

// Every sheet of `job` onto a printer or PDF writer, A4 upright from the paper's corner. False
// with a German reason in `error` when the device cannot be drawn on.
bool paintLabelJob(QPagedPaintDevice& device, const LabelJob& job, QString* error = nullptr);
// The sheets of `job` as a PDF file's bytes (600 dpi); empty with `error` on failure.
QByteArray labelPdf(const LabelJob& job, QString* error = nullptr);

}  // namespace bb
