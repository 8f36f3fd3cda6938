// The editor's commands in the command registry: the clipboard, the selected object's
// commands of the object menu, centring, the background and the view's commands. The window's
// menus and the editor's context menus show them by these ids.
#pragma once

#include <QString>
#include <QStringList>

namespace bb {

class CommandRegistry;
class EditorController;

namespace cmd {
// Cut, copy, paste and duplicate of the selected object ("&Bearbeiten" and the object menu).
inline const QString kCut = QStringLiteral("edit.cut");
inline const QString kCopy = QStringLiteral("edit.copy");
inline const QString kPaste = QStringLiteral("edit.paste");
inline const QString kDuplicate = QStringLiteral("edit.duplicate");
// "&Hintergrundbild..." (the window's settings menu, the tool bar, the view menu).
inline const QString kBackground = QStringLiteral("settings.background");
// "&Ganze Karte zeigen" (the window's edit menu and the view menu).
inline const QString kWholeCard = QStringLiteral("view.wholeCard");
// "Hi&lfslinien entfernen" of the view menu; the side is the action's data.
inline const QString kRemoveGuides = QStringLiteral("view.removeGuides");
// "A&lles auswählen" (Ctrl+A), "Gru&ppieren" (Ctrl+G), "Gruppierung auf&heben" (Ctrl+Shift+G).
inline const QString kSelectAll = QStringLiteral("edit.selectAll");
inline const QString kGroup = QStringLiteral("object.group");
inline const QString kUngroup = QStringLiteral("object.ungroup");
// "Spr&uch einfügen..." (the window's edit menu, a text's object menu and the view menu).
inline const QString kInsertVerse = QStringLiteral("edit.insertVerse");
}  // namespace cmd

// The four clipboard commands, in menu order.
QStringList clipboardCommands();
// The commands that centre the selected object, in menu order.
QStringList centringCommands();
// The commands that line up the selected objects on an edge and spread them out, in menu
// order (after the centring commands in "Ausrichten").
QStringList arrangeCommands();
// The figure kinds 0..9 ("&Kreis" ... "Linie schräg runter") and the text alignments 0..2.
QString figureCommand(int kind);
QString alignmentCommand(int alignment);

// Defines all of them, acting on `editor`.
void defineEditorCommands(EditorController& editor, CommandRegistry& registry);

}  // namespace bb
