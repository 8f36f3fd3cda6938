// The extension area of a card file: what the 1.0 layout cannot hold, after the inside
// background colour. A magic tag and a version, then chunks (tag, length, payload, CRC-32), so
// that a reader skips what it does not know; docs/card-file.md gives the layout byte by byte.
// A card without anything to extend gets no extension at all and stays a 1.0 file.
#pragma once

#include "document/CardObject.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace bb {

inline constexpr QByteArrayView kExtensionMagic = "BBEXTEND";
inline constexpr uint32_t kExtensionVersion = 1;

// Tags of the chunks this version writes.
inline constexpr QByteArrayView kObjectChunkTag = "OBJX";
inline constexpr QByteArrayView kBackgroundChunkTag = "BGNM";

// Keys of an object chunk's properties.
enum ExtensionKey : uint16_t {
    KeyText = 1,
    KeyFontName = 2,
    KeyAngle = 3,
    KeyGroup = 4,
    KeyLocked = 5,
    KeyCrop = 6,
    KeyPictureSettings = 7,
    KeyCorners = 8,
    KeySpacing = 9,
    KeyRuns = 10,
    KeyArc = 11,
    KeyBaseFont = 12,
    KeyOrnament = 13,
};

// The longest ornament name a card file may give (bytes of lowercase letters, digits and '-').
inline constexpr int kMaxOrnamentName = 64;
// True for a name of that form: what the card file accepts and what becomes "<name>.svg".
bool isOrnamentName(QStringView name);

// A text whose first character lies in a formatted span shows that span's font in the 1.0
// record, so a 1.0 program sees the text in the font it starts with; the object's own font
// then travels as KeyBaseFont.
bool recordShowsFirstRunFont(const CardObject& o);
// The object as its 1.0 record stores it: the first span's font where recordShowsFirstRunFont.
void applyFirstRunFont(CardObject& o);

// One object's extension as read: which record it belongs to, the CRC-32 of that record's 1.0
// bytes when it was saved, and the exact values.
struct ExtensionObject {
    int32_t side = 0;
    int32_t slot = 0;
    uint32_t recordCheck = 0;
    bool hasText = false;
    QString text;
    bool hasFontName = false;
    QString fontName;
    bool hasBaseFont = false;
    TextRun baseFont;  // the object's own font (start and length unused)
    ObjectExtras extras;
};

// A side's background file name in full, when Windows-1252 could not hold it.
struct ExtensionBackgroundName {
    int32_t side = 0;
    uint32_t nameCheck = 0;  // CRC-32 of the stored 1.0 name bytes
    QString name;
};

struct CardExtension {
    bool present = false;  // the file has an extension area (valid or not)
    uint32_t version = 0;
    std::vector<ExtensionObject> objects;
    std::vector<ExtensionBackgroundName> backgroundNames;
    // Whole chunks of tags this version does not know, as they were in the file.
    std::vector<QByteArray> unknownChunks;
    // Why the extension was dropped; empty when it was read.
    QString problem;
};

// Reads the bytes after item 15. Anything that does not start with the magic tag is no
// extension (a 1.0 reader ignored such bytes too) and gives present == false. A damaged
// extension gives `problem` and nothing else: every length is checked against the bytes
// present before anything is allocated.
CardExtension parseCardExtension(QByteArrayView rest);

// Gathers the chunks while a card is written.
class CardExtensionWriter {
public:
    // `record` is the object's 1.0 record as just written (slot number to font style);
    // `textLossy`/`fontNameLossy` tell that Windows-1252 could not hold the text or font name.
    void addObject(int32_t side, int32_t slot, QByteArrayView record, const CardObject& o,
                   bool textLossy, bool fontNameLossy);
    void addBackgroundName(int32_t side, QByteArrayView storedName, const QString& name);
    // A chunk read from the file whose tag this version does not know.
    void addUnknownChunk(const QByteArray& chunk) { unknown_.push_back(chunk); }
    bool empty() const { return chunks_.isEmpty() && unknown_.empty(); }
    // Appends magic, version and every chunk; nothing when empty.
    void appendTo(QByteArray& out) const;

private:
    QByteArray chunks_;
    std::vector<QByteArray> unknown_;
};

// The message shown when a card's extension could not be read.
QString extensionProblemMessage(const QString& problem);

}  // namespace bb
