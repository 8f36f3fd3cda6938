// Creation with the tools: a left release with the figure, text or picture tool makes a new
// object there (the picture tool asks for the picture first), and the text tool on an
// existing text edits it in place instead. New texts take the font last chosen.
#pragma once

#include "editor/ObjectCreation.h"

#include <QString>

namespace bb {

class EditorController;
class UserDialogs;

class ObjectCreator {
public:
    ObjectCreator(EditorController& editor, UserDialogs& dialogs, const QString& programFolder);

    // The font that new texts take: the start font until one is chosen in the font dialog.
    const FontChoice& newTextFont() const { return newTextFont_; }
    void setNewTextFont(const FontChoice& font) { newTextFont_ = font; }

    // A left release in idle state at view position (x, y) of `side` with the current tool.
    // Only a creation tool acts; the new object is selected and the pointer tool comes back.
    void createAt(int side, int x, int y);

private:
    // The text tool released at (x, y): on a text it starts typing there. False when no
    // text lies there.
    bool editTextAt(int side, int x, int y);
    // The kind the current tool makes; for the picture tool asks for the picture and loads
    // it into `picture` and `name`. KindFree when nothing is to be made.
    int32_t kindToMake(DibImage& picture, QString& name);

    EditorController& editor_;
    UserDialogs& dialogs_;
    QString programFolder_;
    FontChoice newTextFont_;
};

}  // namespace bb
