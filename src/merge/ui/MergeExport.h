// "Bilder exportieren..." of the merge dialog: asks for the folder and the picture format in
// the export's save dialog, writes the chosen sides once per row with a progress dialog, and
// says how many pictures were written, or which not and why.
#pragma once

#include "render/Export.h"

#include <vector>

class QWidget;

namespace bb {

class CardDocument;
struct AddressList;
struct RenderContext;
class UserDialogs;

// Returns what exportMergedSide returned; an empty result when the file question was
// cancelled.
MergeExportResult exportMergePictures(const CardDocument& doc, const RenderContext& ctx,
                                      UserDialogs& dialogs, const AddressList& list,
                                      const std::vector<int>& rows, int nameColumn,
                                      MergeSides sides, QWidget* parent);

}  // namespace bb
