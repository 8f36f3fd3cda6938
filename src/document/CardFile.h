// The card file ".kar": signature, preview picture of the outside, card format, both sides'
// backgrounds and objects, view scale. Written whole or not at all (pictures/AtomicWrite.h), read
// with every length checked against the bytes present.
#pragma once

#include "document/CardDocument.h"
#include "document/CardExtension.h"
#include "document/RenderContext.h"
#include "pictures/DibImage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace bb {

class UserDialogs;

// "Tovarin Brisella-Bildwerker 1.0" and one zero byte.
inline constexpr int kCardSignatureSize = 32;
// Size of the BITMAPINFOHEADER of the stored preview picture.
inline constexpr int kBitmapInfoHeaderSize = 40;
QByteArray cardSignature();

// What saveCardFile and openCardFile need from their caller.
struct CardFileContext {
    UserDialogs& dialogs;
    const RenderContext& ctx;
    QString programFolder;  // where pictures named without a folder are looked up
    // Draws the outside into the stored preview; the renderer's createCardPreview. When empty
    // or when it gives no picture, a white preview of previewSize() is stored.
    std::function<DibImage(const CardDocument&, const RenderContext&)> createPreview;
    // Saves the current card as "Speichern" does; false when that failed or was cancelled.
    // When empty, answering "Ja" to the save question stops the opening.
    std::function<bool()> saveCurrent;
    // Progress 0..100 of quarter turns of loaded pictures.
    std::function<void(int)> progress;
    // Whether the card holds unsaved changes (the editor's undo history); when empty, the
    // document's own record of the saved content decides.
    std::function<bool()> isModified = {};
    // The text of the save question asked before another card is opened; when empty,
    // "Wollen Sie vorher speichern?".
    std::function<QString()> saveQuestion = {};
    // Writes the files a card about to be saved at the given path needs beside it (the 1.0
    // pictures of its ornaments, the renderer's writeOrnamentPictures) and may set the names
    // its records store; gives "name: reason" for files not written. Empty: none.
    std::function<QStringList(CardDocument&, const QString&)> writeCompanions = {};
};

// Size of the stored preview: r = Trunc(90 × 25.39995 ÷ cardWidth) pixels per inch, the
// picture Trunc(cardWidth ÷ 25.39995 × r) × Trunc(cardHeight ÷ 25.39995 × r) pixels
// (86 × 64 at r = 11 for a card of 200 × 150 mm). A card that gives no pixel or a picture
// beyond the picture limits gets 1 × 1.
struct PreviewGeometry {
    int dpi = 0;
    QSize size;
};
PreviewGeometry previewGeometry(const CardFormat& format);
QSize previewSize(const CardFormat& format);

// Writes the document to `path`, replacing the file atomically: draws the preview from the
// outside, writes both sides. On
// failure the old file stays whole, fileName is unchanged and the failure has been shown
// ("Beim Erstellen der Datei ist ein Fehler aufgetreten!" or "Beim Schreiben der Datei ist ein
// Fehler aufgetreten!", with the file and the reason on a second line). Characters of the
// card-type name that Windows-1252 cannot hold are stored as "?" and the user is told once. On
// success fileName := path and the content counts as saved.
bool saveCardFile(CardDocument& doc, const QString& path, CardFileContext& fc);

// Asks whether to save first when the card has unsaved changes, then reads `path` into the
// document, loads the pictures (with the second attempt in the card's folder and one message
// per missing picture), turns picture objects by their rotation, settles the values that
// follow from the pictures (DrawnValues.h), sets fileName and takes the content as saved. The
// caller then updates views, title and the card-format text. False when stopped (question
// cancelled, file not opened, foreign signature: document unchanged; damaged file: document
// as clearAll left it).
bool openCardFile(CardDocument& doc, const QString& path, CardFileContext& fc);
// The part of openCardFile after the file was read: applies a card file's `bytes` as if read
// from `path` (pictures are looked for beside it), without the save question.
bool openCardBytes(CardDocument& doc, QByteArray bytes, const QString& path, CardFileContext& fc);

// The file's bytes for a document, with `preview` as stored picture (a null preview stores a
// white one of previewSize()). Texts, font and file names keep every character: where
// Windows-1252 cannot hold one, the 1.0 bytes get "?" and the extension area the exact text.
// `replacedTexts` receives the card-type name when a character of it had to become "?" (the
// card format has no place for more).
QByteArray cardFileBytes(const CardDocument& doc, const DibImage& preview,
                         QStringList* replacedTexts = nullptr);

// The message after a save in which characters became "?", naming the texts affected.
QString replacedCharactersMessage(const QStringList& replacedTexts);

// ---- Reading without a document ----

enum class CardReadStatus { Ok, CannotOpen, Foreign, Damaged, TextTooLong };

// Longest text (or picture name, or font name) a card may hold, in stored bytes: a card with
// a longer one is refused with its own message instead of running out of memory.
inline constexpr qsizetype kMaxCardTextBytes = 1024 * 1024;

// The program's text for a failed read.
QString cardReadMessage(CardReadStatus status);

struct CardPreviewHeader {
    int32_t headerSize = 0;
    int32_t colourCount = 0;
    int32_t width = 0;
    int32_t height = 0;  // as stored: positive for bottom-up rows
    int bitCount = 0;
    uint32_t compression = 0;
};

// The stored flag bytes as they are in the file (the object keeps them as bools).
struct CardFlagBytes {
    uint8_t keepAspect = 0, shadow = 0, roundFrame = 0, transparent = 0, autoTransparent = 0;
};

// The 1.0 record stores one value where an object has two properties by kind: the line width
// or a picture's transparent colour, the border colour or a text's outline colour, the fill mode
// or a text's shadow colour, the round frame or a text's outline. A kind other than text and
// picture keeps the figure's meaning, so every stored value comes back as it was.
struct SharedSlots {
    int32_t lineWidth = 0;
    uint32_t borderColor = 0;
    int32_t fillMode = 0;
    bool roundFrame = false;
};
// The stored values of an object, taken from the properties its kind uses.
SharedSlots sharedSlotsOf(const CardObject& o);
// Sets the properties of o's kind from stored values; the properties of the other meanings
// take their start values, as they are not stored.
void setSharedSlots(CardObject& o, const SharedSlots& stored);

struct CardObjectRecord {
    int32_t slot = 0;
    CardObject object;  // without picture
    CardFlagBytes flags;
    uint32_t recordCheck = 0;  // CRC-32 of the record's bytes, slot number to font style
};

struct CardSideData {
    int32_t backgroundMode = BgNone;
    QString backgroundFile;
    uint32_t backgroundFileCheck = 0;  // CRC-32 of the stored name bytes
    uint32_t backgroundColor = 0xFFFFFF;
    std::vector<CardObjectRecord> objects;  // in file order
};

struct CardFileData {
    QString signature;
    CardPreviewHeader preview;
    CardFormat format;
    int32_t sideWidthUnits = 0;
    int32_t sideHeightUnits = 0;
    double zoomFactor = 1.0;
    double unitsPerPixel = 312.0;
    CardSideData outside, inside;
    bool coloursStored = false;  // false when the file ends right after the inside list
    // The extension area after item 15 as read; its exact values are already applied to the
    // objects above wherever they still match the 1.0 record they were saved with.
    CardExtension extension;
    // Objects and background names whose extension was not applied because their 1.0 values
    // were changed since (by a program that knows only the 1.0 layout).
    int extensionOverruled = 0;
};

// Version10 reads what a 1.0 program reads: it stops after item 15.
enum class CardReadMode { Full, Version10 };

// Parses a whole card file. Foreign when the 32 signature bytes differ (or are fewer);
// Damaged when anything ends early, a slot number is below 1, the preview header does not
// fit, or a scale or length is not a finite number. A damaged extension area leaves the card
// Ok and names the problem in out.extension.problem.
CardReadStatus parseCardFile(QByteArrayView bytes, CardFileData& out,
                             CardReadMode mode = CardReadMode::Full);
// The same from a file (no pictures are loaded).
CardReadStatus readCardFileData(const QString& path, CardFileData& out);

// The stored preview for the card browser: only the signature and the picture are read.
struct CardPreview {
    DibImage picture;  // null on failure
    CardPreviewHeader header;
    QString error;  // why there is no picture
    bool ok() const { return !picture.isNull(); }
};
CardPreview readCardPreview(const QString& path);
CardPreview readCardPreviewBytes(QByteArrayView bytes);

}  // namespace bb
