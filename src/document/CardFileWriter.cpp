// Writing card files: the signature, the stored preview, the format and both object lists.
#include "document/CardFile.h"

#include "document/ByteIO.h"
#include "document/CardExtension.h"
#include "document/Cp1252.h"
#include "document/FileErrors.h"
#include "document/Trunc.h"
#include "document/UserDialogs.h"
#include "pictures/AtomicWrite.h"

#include <QtEndian>

#include <cstring>

namespace bb {

namespace {

void writePreview(ByteWriter& w, const DibImage& picture) {
    const int bitCount = picture.bitCount();
    const int colours = dibColourCount(bitCount);
    w.i32(kBitmapInfoHeaderSize + 4 * colours);
    w.i32(colours);
    // BITMAPINFOHEADER
    w.u32(kBitmapInfoHeaderSize);
    w.i32(picture.width());
    w.i32(picture.height());
    w.u16(1);
    w.u16(static_cast<uint16_t>(bitCount));
    w.u32(0);  // no compression
    w.u32(static_cast<uint32_t>(picture.byteCount()));
    w.i32(0);
    w.i32(0);
    w.u32(0);
    w.u32(0);
    const std::vector<RgbQuad>& table = picture.colourTable();
    for (int i = 0; i < colours; ++i) {
        const RgbQuad q = i < int(table.size()) ? table[size_t(i)] : RgbQuad{};
        w.u8(q.blue);
        w.u8(q.green);
        w.u8(q.red);
        w.u8(0);
    }
    w.bytes(QByteArrayView(reinterpret_cast<const char*>(picture.bits()), picture.byteCount()));
}

// The fixed fields are gathered in a small buffer and appended in three pieces around the two
// strings; field-by-field appends cost more than the copying.
class FieldBuffer {
public:
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u32(uint32_t v) {
        qToLittleEndian(v, p_);
        p_ += 4;
    }
    void u8(uint8_t v) { *p_++ = static_cast<char>(v); }
    void flushTo(ByteWriter& w) {
        w.bytes(QByteArrayView(buf_, p_ - buf_));
        p_ = buf_;
    }

private:
    char buf_[80];
    char* p_ = buf_;
};

static_assert(CardObject::kFieldCount == 32,
              "a new object field must be written here (and read in CardFileReader.cpp)");

// The fields in file order. The picture is not stored (its file name is `content`), and the
// properties of the object's kind fill the four shared slots.
// What Windows-1252 makes of an object's texts, and whether it lost characters.
struct StoredTexts {
    QByteArray content, fontName;
    bool contentLossy = false, fontNameLossy = false;
};

void writeObject(ByteWriter& w, int slot, const CardObject& o, const StoredTexts& texts) {
    const SharedSlots shared = sharedSlotsOf(o);
    FieldBuffer f;
    f.i32(slot);
    f.i32(o.x);
    f.i32(o.y);
    f.i32(o.width);
    f.i32(o.height);
    f.u8(o.keepAspect ? 1 : 0);
    f.i32(o.kind);
    f.u32(o.color);
    f.i32(o.figureKind);
    f.i32(o.alignment);
    f.u32(shared.borderColor);
    f.i32(shared.fillMode);
    f.u8(o.shadow ? 1 : 0);
    f.u8(shared.roundFrame ? 1 : 0);
    f.i32(o.shadowDx);
    f.i32(o.shadowDy);
    f.u8(o.transparent ? 1 : 0);
    f.u8(o.autoTransparent ? 1 : 0);
    f.i32(shared.lineWidth);
    f.i32(o.rotation);
    f.flushTo(w);
    w.cString(texts.content);
    f.u32(o.fontColor);
    f.i32(o.fontHeight);
    f.flushTo(w);
    w.cString(texts.fontName);
    f.u8(o.fontPitch);
    f.i32(o.fontSize);
    f.u8(o.fontStyle);
    f.flushTo(w);
}

// Writes the side's records in slot order; what a record cannot hold goes to `ext`, with the
// record's bytes as the check that tells a later reader whether they are still the same.
void writeList(ByteWriter& w, const QByteArray& out, const SlotTable& table, int side,
               CardExtensionWriter& ext) {
    for (int s = 1; s <= kSlotCount; ++s) {
        const CardObject& o = *table[s];
        if (o.kind <= 0) continue;
        // A text that starts in a formatted span shows that span's font to a 1.0 reader.
        CardObject firstRunFont;
        const bool ownFont = !recordShowsFirstRunFont(o);
        if (!ownFont) {
            firstRunFont = o;
            applyFirstRunFont(firstRunFont);
        }
        const CardObject& record = ownFont ? o : firstRunFont;
        StoredTexts texts;
        texts.content = toCp1252(o.content, &texts.contentLossy);
        texts.fontName = toCp1252(record.fontName, &texts.fontNameLossy);
        const qsizetype start = out.size();
        writeObject(w, s, record, texts);
        ext.addObject(side, s, QByteArrayView(out).sliced(start), o, texts.contentLossy,
                      texts.fontNameLossy);
    }
    w.i32(kListEnd);
}

// A background file name in Windows-1252; the exact name goes to `ext` when it lost
// characters.
QByteArray storedBackgroundName(const Background& bg, int side, CardExtensionWriter& ext) {
    bool lossy = false;
    QByteArray name = toCp1252(bg.backgroundFile, &lossy);
    if (lossy) ext.addBackgroundName(side, name, bg.backgroundFile);
    return name;
}

DibImage whitePreview(const CardFormat& format) {
    const QSize size = previewSize(format);
    DibImage p = newDib(size.width(), size.height(), 24);
    if (!p.isNull()) {
        std::memset(p.bits(), 0xFF, size_t(p.byteCount()));
        p.markModified();
    }
    return p;
}

}  // namespace

SharedSlots sharedSlotsOf(const CardObject& o) {
    const bool text = o.kind == KindText;
    const bool picture = o.kind == KindPicture;
    SharedSlots stored;
    stored.lineWidth = picture ? o.transparentColor : o.lineWidth;
    stored.borderColor = text ? o.outlineColor : o.borderColor;
    stored.fillMode = text ? o.shadowColor : o.fillMode;
    stored.roundFrame = text ? o.outline : o.roundFrame;
    return stored;
}

QByteArray cardSignature() {
    return QByteArray("Tovarin Brisella-Bildwerker 1.0", kCardSignatureSize);
}

PreviewGeometry previewGeometry(const CardFormat& format) {
    PreviewGeometry g;
    const long double mmPerInch = kNominalMmPerInch;
    g.dpi = truncInt32(90.0L * mmPerInch / static_cast<long double>(format.cardWidth));
    const int w = truncInt32(format.cardWidth / mmPerInch * g.dpi);
    const int h = truncInt32(format.cardHeight / mmPerInch * g.dpi);
    g.size = (w >= 1 && h >= 1 && dibSizeAllowed(w, h, 24)) ? QSize(w, h) : QSize(1, 1);
    return g;
}

QSize previewSize(const CardFormat& format) {
    return previewGeometry(format).size;
}

QByteArray cardFileBytes(const CardDocument& doc, const DibImage& givenPreview,
                         QStringList* replacedTexts) {
    const DibImage preview = givenPreview.isNull() ? whitePreview(doc.format) : givenPreview;
    QByteArray out;
    out.reserve(
        qsizetype(kCardSignatureSize + 8 + kBitmapInfoHeaderSize + 1024 + preview.byteCount() +
                  kCardFormatSize + 64 +
                  100 * (doc.usedCount(doc.outsideSlots) + doc.usedCount(doc.insideSlots))));
    ByteWriter w(out);
    CardExtensionWriter ext;
    w.bytes(cardSignature());
    if (!preview.isNull()) {
        writePreview(w, preview);
    } else {
        // Not even a 1 × 1 picture could be made: an empty 24-bit picture.
        w.i32(kBitmapInfoHeaderSize);
        w.i32(0);
        w.u32(kBitmapInfoHeaderSize);
        w.zeros(4 + 4);
        w.u16(1);
        w.u16(24);
        w.zeros(24);
    }
    bool nameReplaced = false;
    w.bytes(doc.format.toBytes(&nameReplaced));
    w.i32(doc.sideWidthUnits);
    w.i32(doc.sideHeightUnits);
    w.i32(doc.outsideBackground.backgroundMode);
    w.cString(storedBackgroundName(doc.outsideBackground, SideOutside, ext));
    w.i32(doc.insideBackground.backgroundMode);
    w.cString(storedBackgroundName(doc.insideBackground, SideInside, ext));
    w.f64(doc.zoomFactor);
    w.f64(doc.unitsPerPixel);
    writeList(w, out, doc.outsideSlots, SideOutside, ext);
    writeList(w, out, doc.insideSlots, SideInside, ext);
    w.u32(doc.outsideBackground.backgroundColor);
    w.u32(doc.insideBackground.backgroundColor);
    for (const QByteArray& chunk : doc.extensionChunks) ext.addUnknownChunk(chunk);
    ext.appendTo(out);
    if (replacedTexts) {
        replacedTexts->clear();
        if (nameReplaced) replacedTexts->append(doc.format.typeName);
    }
    return out;
}

QString replacedCharactersMessage(const QStringList& replacedTexts) {
    QString text = QStringLiteral(
        "Einige Zeichen lassen sich in Grußkarten-Dateien nicht speichern und wurden durch "
        "\"?\" ersetzt.");
    if (replacedTexts.isEmpty()) return text;
    // Each text on one line, shortened; a long list ends with how many more there are.
    constexpr int kShown = 5;
    constexpr int kLength = 40;
    text += QStringLiteral("\n\nBetroffen:");
    for (qsizetype i = 0; i < qMin<qsizetype>(kShown, replacedTexts.size()); ++i) {
        QString one = replacedTexts.at(i).simplified();
        if (one.size() > kLength) one = one.left(kLength - 1) + QChar(0x2026);
        text += QStringLiteral("\n\"") + one + QLatin1Char('"');
    }
    if (replacedTexts.size() > kShown)
        text += QStringLiteral("\nund %1 weitere").arg(replacedTexts.size() - kShown);
    return text;
}

namespace {

// True when a text, picture name or font name is longer than the reader takes: such a card
// would be written but could not be opened again.
bool holdsOverlongText(const CardDocument& doc) {
    for (const SlotTable* table : {&doc.outsideSlots, &doc.insideSlots})
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const CardObject& o = *(*table)[slot];
            if (o.kind != KindFree &&
                (o.content.size() > kMaxCardTextBytes || o.fontName.size() > kMaxCardTextBytes))
                return true;
        }
    return false;
}

}  // namespace

bool saveCardFile(CardDocument& doc, const QString& path, CardFileContext& fc) {
    if (holdsOverlongText(doc)) {
        fc.dialogs.message(
            QStringLiteral("Die Karte enthält einen Text, der länger als %1 MB ist, und wird "
                           "nicht gespeichert, weil sie so nicht wieder geöffnet werden könnte.")
                .arg(kMaxCardTextBytes / (1024 * 1024)),
            kAppTitle, MsgIcon::Error, BtnOk);
        return false;
    }
    // The pictures beside the card first: their names go into the records written below.
    QStringList notWritten;
    if (fc.writeCompanions) notWritten = fc.writeCompanions(doc, path);
    DibImage preview;
    if (fc.createPreview) preview = fc.createPreview(doc, fc.ctx);
    QStringList replaced;
    const QByteArray bytes = cardFileBytes(doc, preview, &replaced);
    releaseDib(preview);

    // Whole or not at all: on any failure the earlier file stays as it was, and the card
    // keeps counting as unsaved.
    const WriteOutcome written = writeFileAtomically(path, bytes);
    if (!written.ok) {
        if (written.step == WriteStep::Create)
            fc.dialogs.message(
                QStringLiteral("Beim Erstellen der Datei ist ein Fehler aufgetreten!\n") +
                    fileFailureLine(path, written.error),
                QStringLiteral("Fehler: Datei konnte nicht erstellt werden"), MsgIcon::Information,
                BtnOk);
        else
            fc.dialogs.message(
                QStringLiteral("Beim Schreiben der Datei ist ein Fehler aufgetreten!\n") +
                    fileFailureLine(path, written.error),
                kAppTitle, MsgIcon::Error, BtnOk);
        return false;
    }
    if (!replaced.isEmpty())
        fc.dialogs.message(replacedCharactersMessage(replaced), kAppTitle, MsgIcon::Information,
                           BtnOk);
    if (!notWritten.isEmpty())
        fc.dialogs.message(QStringLiteral("Diese Bilder für ältere Programme konnten nicht neben "
                                          "die Karte geschrieben werden:\n") +
                               notWritten.join(QLatin1Char('\n')),
                           kAppTitle, MsgIcon::Warning, BtnOk);
    doc.fileName = path;
    doc.markSaved();
    return true;
}

}  // namespace bb
