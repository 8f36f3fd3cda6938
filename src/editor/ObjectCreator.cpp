#include "editor/ObjectCreator.h"

#include "document/ChosenPicture.h"
#include "editor/EditMath.h"
#include "editor/EditorController.h"
#include "editor/PictureOpenDialog.h"
#include "editor/PropertyPanel.h"
#include "editor/TextSession.h"
#include "editor/ToolPalette.h"
#include "pictures/DibFilters.h"

#include <utility>

namespace bb {

ObjectCreator::ObjectCreator(EditorController& editor, UserDialogs& dialogs,
                             const QString& programFolder)
    : editor_(editor),
      dialogs_(dialogs),
      programFolder_(programFolder),
      newTextFont_(FontChoice::startFont(editor.views().ctx().screenDpi)) {}

int32_t ObjectCreator::kindToMake(DibImage& picture, QString& name) {
    const EditorTool tool = editor_.tools().current();
    if (tool == ToolFigure) return KindFigure;
    if (tool == ToolText) return KindText;
    if (tool != ToolPicture) return KindFree;
    PictureOpenDialog& dialog = editor_.pictureOpenDialog();
    const CardDocument& d = editor_.doc();
    dialog.prepare(dialog.startFolder().folderFor(d.fileName), pictureOpenFilter());
    if (editor_.modal(dialog) != QDialog::Accepted) return KindFree;
    name = dialog.chosenPath;
    if (loadChosenPicture(picture, name, programFolder_, cardPictureBytes(d), dialogs_, QString()))
        return KindPicture;
    return KindFree;
}

void ObjectCreator::createAt(int side, int x, int y) {
    ToolPalette& tools = editor_.tools();
    // Only a creation tool looks for a slot, so a full side does not complain at every click.
    if (!tools.isCreationTool()) return;
    if (tools.current() == ToolText && editTextAt(side, x, y)) return;
    EditHistory::Step step(editor_.history(), QStringLiteral("Objekt erstellen"));
    CardDocument& d = editor_.doc();
    const int slot = d.findFreeSlot(editor_.editedSide(), &dialogs_);
    if (slot == 0) return;
    CardObject& o = *editor_.editedSlots()[slot];
    DibImage picture;
    QString name;
    const int32_t kind = kindToMake(picture, name);
    if (kind == KindFree) return;
    editor_.edited().select(slot);
    initNewObject(d, o, kind, x, y, newTextFont_, editor_.views().ctx(), std::move(picture), name);
    editor_.panel().loadSelectionControls(o);
    tools.setCurrent(ToolPointer);
    // A new text is typed into at once.
    if (kind == KindText) {
        editor_.textSession().end();
        editor_.textSession().begin();
    }
    editor_.repaintView(side);
}

bool ObjectCreator::editTextAt(int side, int x, int y) {
    CardDocument& d = editor_.doc();
    const int hit = hitTest(d, editor_.editedSide(), x, y);
    if (hit <= 0 || editor_.editedSlots()[hit]->kind != KindText) return false;
    // The text tool on a text edits that text where it stands, the caret at the click.
    editor_.tools().setCurrent(ToolPointer);
    TextSession& session = editor_.textSession();
    session.end();
    editor_.selectSlot(hit);
    session.begin();
    session.placeCaret(*editor_.editedSlots()[hit], x, y);
    editor_.repaintView(side);
    return true;
}

}  // namespace bb
