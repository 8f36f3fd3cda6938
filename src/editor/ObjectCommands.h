// Commands on the selected objects of the editor: delete, to front and back, groups, locks,
// the properties of the panel and the object menu, and the object dialogs (text, text effects,
// transparency). A property reaches every selected object it applies to, as one step of the
// undo history. Each command does nothing without a selection and repaints both views after a
// change.
#pragma once

#include "pictures/DibImage.h"

#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace bb {

struct CardObject;
class EditorController;
class PictureSettingsDialog;
class TextEffectsDialog;
class TextEntryDialog;
class TransparencyDialog;
class UserDialogs;

class ObjectCommands {
public:
    // `dialogParent` parents the object dialogs (the main window); without one the dialogs
    // belong to this object.
    ObjectCommands(EditorController& editor, UserDialogs& dialogs, QWidget* dialogParent);
    ~ObjectCommands();
    ObjectCommands(const ObjectCommands&) = delete;
    ObjectCommands& operator=(const ObjectCommands&) = delete;

    TextEntryDialog& textEntryDialog() { return *textEntryDialog_; }
    TextEffectsDialog& textEffectsDialog() { return *textEffectsDialog_; }
    TransparencyDialog& transparencyDialog() { return *transparencyDialog_; }
    PictureSettingsDialog& pictureSettingsDialog() { return *pictureSettingsDialog_; }

    // Asks first; the slots are freed and the selection dropped.
    void deleteSelected();
    // One object: exchanges its slot with the last (front) or the first (back) one. Several:
    // they go in front of (behind) all others, keeping their own order.
    void bringToFront();
    void sendToBack();
    // Puts the objects of the edited side into the drawing order `order` (every used slot
    // once, back to front), into the same slots; the selection follows its objects.
    void setDrawingOrder(const std::vector<int>& order);

    // "Gruppieren": the selected objects (two or more) become one group with a number no other
    // group of the side has. "Gruppierung aufheben": every selected object leaves its group.
    void group();
    void ungroup();
    bool selectionGrouped();
    // Locks an object of the edited side against picking and dragging on the card.
    void setLocked(int slot, bool locked);

    void setFigureKind(int kind);
    void setFillMode(int mode);
    void setLineWidth(int width);
    void setColor(ColorRef c);
    void setBorderColor(ColorRef c);
    void setAlignment(int alignment);
    void toggleKeepAspect();
    void setKeepAspect(bool on);
    void setRoundFrame(bool on);
    // "Position und Größe": moves the selected object so that its left (`horizontal`) or top
    // edge lies `mm` from the card's edge; sizes its width or height to `mm`, the other side
    // following in proportion when `keepAspect`.
    void moveSelectedTo(bool horizontal, double mm);
    void resizeSelectedTo(bool horizontal, double mm, bool keepAspect);

    // The colour and font dialogs; the chosen font also becomes the font of new texts.
    void chooseColor();
    void chooseFont();
    // The text, text-effects and transparency dialogs; OK stores, Cancel keeps the object.
    void editText();
    void editTextEffects();
    void editTransparency();

    // "Bild suchen...": for a picture whose file was not found, asks for the file (starting in
    // the card's folder) and loads it, turned as the object says, into the same box.
    void findPicture();

    // A quarter turn; a picture is turned and its box exchanges width and height.
    void rotateLeft() { rotate(true); }
    void rotateRight() { rotate(false); }

    // "Bildeinstellungen": the colour settings, corners and soft edge of the selected picture;
    // OK stores them as one undo step, Cancel keeps the picture as it was.
    void editPictureSettings();
    // "Zuschneiden": crops the selected picture inside its frame on the card (CropSession).
    void cropPicture();

    // "Winkel": turns the selected object to `degrees` in all, as one undo step.
    void setAngle(double degrees);
    // Turns the selected object to `degrees` in all within the caller's open step (the turning
    // handle's drag): quarter turns as splitAngle gives them, a picture's pixels turned with
    // them. False when there is no selection or a picture cannot be turned (no memory).
    bool turnSelectedTo(double degrees);

private:
    void rotate(bool left);
    // Changes the selected objects that `applies` (given the current object's kind) accepts.
    template <typename F>
    void forSelected(bool (*applies)(const CardObject&, int), F change);
    void moveSelectionInOrder(bool toFront);

    EditorController& editor_;
    UserDialogs& dialogs_;
    bool ownsDialogs_ = false;
    TextEntryDialog* textEntryDialog_ = nullptr;
    TextEffectsDialog* textEffectsDialog_ = nullptr;
    TransparencyDialog* transparencyDialog_ = nullptr;
    PictureSettingsDialog* pictureSettingsDialog_ = nullptr;
};

}  // namespace bb
