// Export of a side as a picture file: a side drawn at 96 pixels per inch onto
// white paper, and the file-name rules of the export and the scan save.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "merge/MergeSelection.h"
#include "pictures/DibFilters.h"
#include "pictures/DibImage.h"
#include "pictures/PictureFormat.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace bb {

struct AddressList;

inline constexpr int kExportResolution = 96;

// Picture size of an exported side: Trunc(mm ÷ 25.39995 × 96) in each direction.
QSize exportPictureSize(const CardFormat& format);

// Draws `side` in output mode at 96 pixels per inch onto white and returns it as a 24-bit
// picture. Null when the card has no pixels or exceeds the picture limits.
DibImage renderExportPicture(const CardDocument& doc, int side, const RenderContext& ctx);

// "Fehler: Datei konnte nicht gespeichert werden!" and, when the write failed with the system
// error `error` (not 0), a second line with the file and the reason.
QString saveFailedText(const QString& fileName, int error);

// True when the file-name part of `path` has an extension (a dot after its first character).
bool hasExtension(const QString& path);

// The export's file name: the extension of the filter index appended when there is none.
// An index outside the save filter leaves the name as typed.
QString exportFileName(const QString& chosen, int filterIndex);
// The scan save's file name: the same with the upper-case extension.
QString scanFileName(const QString& chosen, int filterIndex);

// The pictures of a merge export: one file per chosen row (and side), named after that row's
// cell of `nameColumn` (the record number when the column is -1 or the cell is empty), made
// safe and numbered where names repeat. A name already in the folder as a regular file is
// replaced; one held by anything else (a link, a folder, a device) is never written through:
// the picture takes the next free name ("A (2).bmp") instead.
struct MergeExportResult {
    QStringList files;     // written, in the order of the run
    QStringList failures;  // German, one per picture that could not be written
    QString error;         // German: the first failure, or why the run could not start
    bool cancelled = false;
    bool ok() const { return error.isEmpty() && failures.isEmpty() && !cancelled; }
};
// Told after each picture; returning false stops the export.
using MergeExportProgress = std::function<bool(int done, int total)>;

// What ends the name of a side's picture when both sides are exported: " - Außenseite",
// " - Innenseite".
QString mergeSideSuffix(int side);

// The file names (without folder) that the export plans for the rows' pictures of one side;
// `sideSuffix` goes before the extension. Empty for an unknown filter index or a row the list
// lacks.
QStringList mergeExportNames(const AddressList& list, const std::vector<int>& rows, int nameColumn,
                             int filterIndex, const QString& sideSuffix = {});

// Writes the card once per row of `rows` (0-based indexes of `list`) and side of `sides`,
// filled from that row, into `folder` in the format of `filterIndex` (of saveFilter()): with both
// sides all outsides first (names ending in mergeSideSuffix), then all insides. A picture
// that cannot be written is noted in `failures` and the others go on.
MergeExportResult exportMergedSides(const CardDocument& doc, const RenderContext& ctx,
                                    const AddressList& list, const std::vector<int>& rows,
                                    int nameColumn, const QString& folder, int filterIndex,
                                    MergeSides sides, const MergeExportProgress& progress = {});
// The same for one side (0 outside, 1 inside) alone.
MergeExportResult exportMergedSide(const CardDocument& doc, int side, const RenderContext& ctx,
                                   const AddressList& list, const std::vector<int>& rows,
                                   int nameColumn, const QString& folder, int filterIndex,
                                   const MergeExportProgress& progress = {});

// Renders `side` and writes it with savePictureFile in the format `typeCode`. Returns
// savePictureFile's result (1 on success); 0 when nothing could be rendered. `error`, when
// given, receives the system's error number of a failed write (0 for any other failure).
int exportSide(const CardDocument& doc, int side, const RenderContext& ctx, const QString& fileName,
               int typeCode, int* error = nullptr);

}  // namespace bb
