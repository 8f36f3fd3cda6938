// Cut, copy, paste and duplicate of the selected objects, and picture files dropped onto the
// views. An object travels as a MIME payload of its fields; a picture object's picture travels
// by its file name, as in the card file, so that another running program loads it from there.
// Within one program the paste shares the copied picture instead.
#pragma once

#include "document/CardObject.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QMimeData;

namespace bb {

class EditorController;
class UserDialogs;

inline const QString kObjectMimeType = QStringLiteral("application/x-brisella-bildwerker-object");
// Several objects copied together: a count and one object payload each, back to front.
inline const QString kObjectListMimeType =
    QStringLiteral("application/x-brisella-bildwerker-objects");
// The most objects one list payload holds (a side's slots).
constexpr int kMaxListedObjects = 10000;

// What travels beside the object's fields: which copied picture of this program the object
// shows, and the full path of the file its picture was found in (a card names it relative to
// the program folder or keeps a name whose file now lies beside the card).
struct PayloadPicture {
    QByteArray key;
    QString file;
};

// Every field of `o` but the picture pixels, and `picture`.
QByteArray objectPayload(const CardObject& o, const PayloadPicture& picture = {});
// Reads a payload back into `o` (its picture is left null). False, with `o` untouched, for
// anything that is not a complete payload of a figure, text or picture.
bool objectFromPayload(const QByteArray& bytes, CardObject& o, PayloadPicture* picture = nullptr);
// Several object payloads in one, and back; false for anything that is not such a list.
QByteArray objectListPayload(const std::vector<QByteArray>& payloads);
bool objectListFromPayload(const QByteArray& bytes, std::vector<QByteArray>& payloads);

class ObjectClipboard : public QObject {
    Q_OBJECT
public:
    ObjectClipboard(EditorController& editor, UserDialogs& dialogs, const QString& programFolder);
    ~ObjectClipboard() override;

    // The selected object as clipboard data: the payload, and the picture as an image or the
    // text as plain text; several selected objects as a list payload (and their texts). Null
    // when nothing is selected.
    std::unique_ptr<QMimeData> mimeForSelected() const;

    // The commands; each is one change of the card. False when nothing happened.
    bool copy();
    bool cut();
    bool paste();
    bool duplicate();

    // Pastes clipboard data onto the edited side: objects of ours, else an image. The pasted
    // objects are selected; groups among them get numbers of their own. Returns the (current)
    // new object's slot, or 0.
    int pasteMime(const QMimeData& mime);
    // Picture files dropped at view pixel `pos` of the edited side become picture objects;
    // files that hold no picture are passed over. Returns how many objects were made.
    int dropPictures(const QMimeData& mime, QPoint pos);

    // One of the program's ornaments as a new picture object about 40 mm on its longer side,
    // centred on `centre` (units of the edited side) or, without one, on the middle of the
    // card's visible part; one step, selected. Returns its slot, or 0 for an unknown name or
    // a full side.
    int insertOrnament(const QString& name, const QPoint* centre = nullptr);
    // The MIME type of an ornament dragged from the "Schmuck" dialog: its name in UTF-8.
    static const QString& ornamentMimeType();

    // True when `mime` holds something paste can use.
    static bool canPaste(const QMimeData* mime);
    // The local ".kar" files among dropped URLs, and every other local file.
    static QStringList cardFiles(const QMimeData& mime);
    static QStringList otherFiles(const QMimeData& mime);
    // "Eingefügt N.png" in `folder` with the lowest N whose file does not exist (empty when
    // a million are taken).
    static QString freePastedName(const QString& folder);
    // The start of a length `size` centred on `centre` and kept between lo and hi (units of
    // the card's edges); centred between them when it is longer.
    static int32_t placeOnCard(int32_t centre, int32_t size, int32_t lo, int32_t hi);
    // The middle (units) of the part of the edited side's card that its view shows; the
    // card's own middle when the view shows none of it.
    QPoint visibleCardCentre() const;

    // Takes drags of picture files on both views; card files are left to the window.
    void watchViews();

signals:
    // A line for the status bar (where a pasted image was saved).
    void statusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Puts `o` into `slot` of the edited side (a free one) and selects it.
    int place(int slot, CardObject o);
    int pasteObject(const QByteArray& payload);
    int pasteObjects(const QByteArray& listPayload);
    // The object of a payload with its picture (shared with this program's copy, else loaded
    // from its file); false when it cannot be had.
    bool objectOf(const QByteArray& payload, CardObject& o);
    // Moves `objects` one paste step (or `repeat` steps) away from where they were copied,
    // or, off the card, into the middle of its visible part, keeping their places among
    // themselves.
    void placeCopies(std::vector<CardObject>& objects, int repeat);
    // Puts `objects` into free slots of the edited side with fresh group numbers and selects
    // them. Returns the last one's slot, or 0.
    int placeAll(std::vector<CardObject> objects);
    int pasteImage(const QImage& image);

    EditorController& editor_;
    UserDialogs& dialogs_;
    QString programFolder_;
    // Successive pastes of the same payload step further away from the original.
    QByteArray lastPasted_;
    int pasteRepeat_ = 0;
};

}  // namespace bb
