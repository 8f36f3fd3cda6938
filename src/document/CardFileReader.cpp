// Reading card files: the whole file is checked before anything is applied to the document,
// and every length and size from the file is bounds-checked.
#include "document/CardFile.h"

#include "document/ByteIO.h"
#include "document/Cp1252.h"
#include "document/DrawnValues.h"
#include "document/TextRuns.h"
#include "document/Trunc.h"
#include "document/UserDialogs.h"
#include "pictures/PictureCache.h"
#include "pictures/PictureOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace bb {

namespace {

// A card file is small; anything far beyond the largest preview plus a full card of long
// texts is not read into memory.
constexpr qint64 kMaxCardFileBytes = kMaxDibBytes + 512ll * 1024 * 1024;

const QString kDamagedText = QStringLiteral("Die Datei ist beschädigt oder unvollständig.");

// Why readObject refused a record.
enum class RecordError { Damaged, TextTooLong };

// Reads the preview's two counts and header and checks that the rows fit into what is left.
// On success the reader stands at the first row and `rows` is their byte count.
bool readPreviewHeader(ByteReader& r, CardPreviewHeader& h, QByteArrayView& colours, qint64& rows) {
    h.headerSize = r.i32();
    h.colourCount = r.i32();
    if (!r.ok() || h.headerSize < kBitmapInfoHeaderSize || h.headerSize > r.remaining())
        return false;
    const QByteArrayView header = r.bytes(h.headerSize);
    ByteReader hr(header);
    hr.u32();  // biSize: the stored HeaderSize counts
    h.width = hr.i32();
    h.height = hr.i32();
    hr.u16();  // planes
    h.bitCount = hr.u16();
    h.compression = hr.u32();
    if (h.width < 0 || h.bitCount < 1 || h.bitCount > 32) return false;
    colours = header.sliced(kBitmapInfoHeaderSize);
    const qint64 height = std::abs(qint64(h.height));
    const qint64 perRow = dibBytesPerRow(h.width, h.bitCount);
    if (height > 0 && perRow > r.remaining() / height) return false;
    rows = perRow * height;
    return true;
}

bool finite(double v) {
    return std::isfinite(v);
}

// Fixed fields from x to rotation, read as one block.
constexpr qsizetype kFixedHeadSize = 61;

static_assert(CardObject::kFieldCount == 32,
              "a new object field must be read here (and written in CardFileWriter.cpp)");

// The fields in file order. The picture is not stored (it is loaded from `content`), and the
// four shared slots are given to the properties of the object's kind.
bool readObject(ByteReader& r, CardObjectRecord& rec, Cp1252Decoder& dec, RecordError& error) {
    CardObject& o = rec.object;
    SharedSlots shared;
    const QByteArrayView head = r.bytes(kFixedHeadSize);
    if (!r.ok()) return false;
    const char* p = head.data();
    const auto i32 = [&p] {
        const auto v = qFromLittleEndian<int32_t>(p);
        p += 4;
        return v;
    };
    const auto u8 = [&p] { return static_cast<uint8_t>(*p++); };
    o.x = i32();
    o.y = i32();
    o.width = i32();
    o.height = i32();
    rec.flags.keepAspect = u8();
    o.kind = i32();
    o.color = static_cast<uint32_t>(i32());
    o.figureKind = i32();
    o.alignment = i32();
    shared.borderColor = static_cast<uint32_t>(i32());
    shared.fillMode = i32();
    rec.flags.shadow = u8();
    rec.flags.roundFrame = u8();
    o.shadowDx = i32();
    o.shadowDy = i32();
    rec.flags.transparent = u8();
    rec.flags.autoTransparent = u8();
    shared.lineWidth = i32();
    o.rotation = i32();
    const QByteArrayView content = r.cString();
    if (!r.ok()) return false;
    if (content.size() > kMaxCardTextBytes) {
        error = RecordError::TextTooLong;
        return false;
    }
    o.content = dec.decode(content);
    o.fontColor = r.u32();
    o.fontHeight = r.i32();
    const QByteArrayView fontName = r.cString();
    if (!r.ok()) return false;
    if (fontName.size() > kMaxCardTextBytes) {
        error = RecordError::TextTooLong;
        return false;
    }
    o.fontName = dec.decode(fontName);
    o.fontPitch = r.u8();
    o.fontSize = r.i32();
    o.fontStyle = r.u8();
    o.keepAspect = rec.flags.keepAspect != 0;
    o.shadow = rec.flags.shadow != 0;
    shared.roundFrame = rec.flags.roundFrame != 0;
    setSharedSlots(o, shared);
    o.transparent = rec.flags.transparent != 0;
    o.autoTransparent = rec.flags.autoTransparent != 0;
    return r.ok();
}

bool readList(ByteReader& r, std::vector<CardObjectRecord>& out, Cp1252Decoder& dec,
              RecordError& error) {
    // Every record takes at least 79 bytes, so the loop ends with the data, and the bytes
    // bound what is reserved.
    out.reserve(size_t(qMin<qsizetype>(r.remaining() / 79, kSlotCount)));
    for (;;) {
        const qsizetype start = r.pos();
        const int32_t slot = r.i32();
        if (!r.ok()) return false;
        if (slot > kSlotCount) return true;
        if (slot < 1) return false;
        CardObjectRecord rec;
        rec.slot = slot;
        if (!readObject(r, rec, dec, error)) return false;
        rec.recordCheck = crc32(r.readSince(start));
        out.push_back(std::move(rec));
    }
}

CardReadStatus readFileBytes(const QString& path, QByteArray& bytes) {
    QFile file(path);
    // Only a regular file: opening a named pipe would wait for a writer, a device never ends.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return CardReadStatus::CannotOpen;
    const qint64 size = file.size();
    if (size > kMaxCardFileBytes) {
        // Only the signature decides between foreign and too large.
        bytes = file.read(kCardSignatureSize);
        return bytes == cardSignature() ? CardReadStatus::Damaged : CardReadStatus::Foreign;
    }
    bytes = file.readAll();
    return CardReadStatus::Ok;
}

// Loads a stored picture, turned by `rotation`, from the first place pictureNameCandidates
// names that holds it (each file decoded once per card through `pictures`); one message
// when none does, with the reason when a file was found but not loaded.
void loadStoredPicture(DibImage& target, const QString& name, int32_t rotation,
                       const QString& cardPath, CardFileContext& fc, PictureCache& pictures) {
    PictureError why = PictureError::NotFound;
    const QString cardFolder = QFileInfo(cardPath).absolutePath();
    for (const QString& candidate : pictureNameCandidates(name, cardFolder, fc.programFolder)) {
        PictureError error = PictureError::None;
        DibImage picture = pictures.load(candidate, rotation, &error, fc.progress);
        if (!picture.isNull()) {
            releaseDib(target);
            target = std::move(picture);
            return;
        }
        if (why == PictureError::NotFound) why = error;
    }
    const bool tooLarge = why == PictureError::TooLarge || why == PictureError::OverBudget;
    makeStandIn(target, tooLarge ? pictureErrorText(PictureError::OverBudget) : QString());
    turnByRotation(target, rotation, fc.progress);
    fc.dialogs.message(pictureLoadMessage(name, why), kAppTitle, MsgIcon::Error, BtnOk);
}

// Gives the objects and background names the exact values of the extension where their 1.0
// bytes are still those the extension was saved with; elsewhere the 1.0 values win.
void applyExtension(CardFileData& out) {
    CardSideData* sides[2] = {&out.outside, &out.inside};
    for (ExtensionObject& e : out.extension.objects) {
        std::vector<CardObjectRecord>& list = sides[e.side]->objects;
        const auto rec = std::find_if(list.begin(), list.end(), [&e](const CardObjectRecord& r) {
            return r.slot == e.slot && r.recordCheck == e.recordCheck;
        });
        if (rec == list.end()) {
            ++out.extensionOverruled;
            continue;
        }
        CardObject& o = rec->object;
        if (e.hasText) o.content = std::move(e.text);
        if (e.hasFontName) o.fontName = std::move(e.fontName);
        if (e.hasBaseFont) {
            o.fontName = e.baseFont.fontName;
            o.fontSize = e.baseFont.fontSize;
            o.fontStyle = e.baseFont.fontStyle;
            o.fontColor = e.baseFont.fontColor;
        }
        o.extras = std::move(e.extras);
        normalizeRuns(o.extras.runs, int(std::min<qsizetype>(o.content.size(), INT_MAX)),
                      baseFormat(o));
    }
    for (ExtensionBackgroundName& b : out.extension.backgroundNames) {
        CardSideData& side = *sides[b.side];
        if (side.backgroundFileCheck == b.nameCheck)
            side.backgroundFile = std::move(b.name);
        else
            ++out.extensionOverruled;
    }
    out.extension.objects.clear();
    out.extension.backgroundNames.clear();
}

}  // namespace

void setSharedSlots(CardObject& o, const SharedSlots& stored) {
    static const CardObject fresh;  // the start values of the meanings not stored
    const bool text = o.kind == KindText;
    const bool picture = o.kind == KindPicture;
    o.lineWidth = picture ? fresh.lineWidth : stored.lineWidth;
    o.transparentColor = picture ? stored.lineWidth : fresh.transparentColor;
    o.borderColor = text ? fresh.borderColor : stored.borderColor;
    o.outlineColor = text ? stored.borderColor : fresh.outlineColor;
    o.fillMode = text ? fresh.fillMode : stored.fillMode;
    o.shadowColor = text ? stored.fillMode : fresh.shadowColor;
    o.roundFrame = text ? fresh.roundFrame : stored.roundFrame;
    o.outline = text ? stored.roundFrame : fresh.outline;
}

QString cardReadMessage(CardReadStatus status) {
    switch (status) {
        case CardReadStatus::Ok:
            return {};
        case CardReadStatus::CannotOpen:
            return QStringLiteral("Beim Öffnen der Datei ist ein Fehler aufgetreten!");
        case CardReadStatus::Foreign:
            return QStringLiteral(
                "Es handelt sich nicht um eine Grußkarte im Tovarin Brisella-Bildwerker "
                "1.0-Format!");
        case CardReadStatus::Damaged:
            return kDamagedText;
        case CardReadStatus::TextTooLong:
            return QStringLiteral(
                       "Die Karte enthält einen Text, der länger als %1 MB ist, und wird nicht "
                       "geöffnet.")
                .arg(kMaxCardTextBytes / (1024 * 1024));
    }
    return kDamagedText;
}

CardReadStatus parseCardFile(QByteArrayView bytes, CardFileData& out, CardReadMode mode) {
    out = CardFileData();
    ByteReader r(bytes);
    // All 32 bytes are compared before deciding.
    const QByteArrayView signature = r.bytes(kCardSignatureSize);
    if (!r.ok() || signature != QByteArrayView(cardSignature())) return CardReadStatus::Foreign;
    out.signature = QString::fromLatin1(signature.first(kCardSignatureSize - 1));

    QByteArrayView colours;
    qint64 rows = 0;
    if (!readPreviewHeader(r, out.preview, colours, rows) || !r.skip(rows))
        return CardReadStatus::Damaged;

    const std::optional<CardFormat> format = CardFormat::fromBytes(r.bytes(kCardFormatSize));
    if (!r.ok() || !format) return CardReadStatus::Damaged;
    out.format = *format;
    for (double v : {out.format.leftMargin, out.format.topMargin, out.format.pitchX,
                     out.format.pitchY, out.format.cardWidth, out.format.cardHeight}) {
        if (!finite(v)) return CardReadStatus::Damaged;
    }
    out.sideWidthUnits = r.i32();
    out.sideHeightUnits = r.i32();

    Cp1252Decoder dec;
    out.outside.backgroundMode = r.i32();
    const QByteArrayView outsideFile = r.cString();
    out.inside.backgroundMode = r.i32();
    const QByteArrayView insideFile = r.cString();
    out.zoomFactor = r.f64();
    out.unitsPerPixel = r.f64();
    if (!r.ok()) return CardReadStatus::Damaged;
    if (!finite(out.zoomFactor) || !finite(out.unitsPerPixel) || out.zoomFactor <= 0 ||
        out.unitsPerPixel <= 0)
        return CardReadStatus::Damaged;
    out.outside.backgroundFile = dec.decode(outsideFile);
    out.inside.backgroundFile = dec.decode(insideFile);
    out.outside.backgroundFileCheck = crc32(outsideFile);
    out.inside.backgroundFileCheck = crc32(insideFile);

    RecordError recordError = RecordError::Damaged;
    if (!readList(r, out.outside.objects, dec, recordError) ||
        !readList(r, out.inside.objects, dec, recordError))
        return recordError == RecordError::TextTooLong ? CardReadStatus::TextTooLong
                                                       : CardReadStatus::Damaged;

    if (!r.atEnd()) {
        const uint32_t outsideColor = r.u32();
        const uint32_t insideColor = r.u32();
        if (!r.ok()) return CardReadStatus::Damaged;
        out.outside.backgroundColor = outsideColor;
        out.inside.backgroundColor = insideColor;
        out.coloursStored = true;
    }
    if (mode == CardReadMode::Full && !r.atEnd()) {
        out.extension = parseCardExtension(r.bytes(r.remaining()));
        applyExtension(out);
    }
    return CardReadStatus::Ok;
}

CardReadStatus readCardFileData(const QString& path, CardFileData& out) {
    QByteArray bytes;
    const CardReadStatus status = readFileBytes(path, bytes);
    if (status != CardReadStatus::Ok) return status;
    return parseCardFile(bytes, out);
}

bool openCardFile(CardDocument& doc, const QString& path, CardFileContext& fc) {
    if (fc.isModified ? fc.isModified() : doc.hasUnsavedChanges()) {
        const QString question =
            fc.saveQuestion ? fc.saveQuestion() : QStringLiteral("Wollen Sie vorher speichern?");
        const int answer = fc.dialogs.message(question, QStringLiteral("Grußkarte öffnen"),
                                              MsgIcon::Question, BtnYes | BtnNo | BtnCancel);
        if (answer == BtnCancel) return false;
        if (answer == BtnYes && !(fc.saveCurrent && fc.saveCurrent())) return false;
    }

    // Every refusal names the file in a second line: the card may have come from a file
    // manager or a list of recent cards, not from a dialog the person just answered.
    const QString named = QLatin1Char('\n') + QDir::toNativeSeparators(path);
    QByteArray bytes;
    CardReadStatus status = readFileBytes(path, bytes);
    if (status == CardReadStatus::CannotOpen) {
        fc.dialogs.message(cardReadMessage(status) + named,
                           QStringLiteral("Fehler: Datei konnte nicht geöffnet werden"),
                           MsgIcon::Information, BtnOk);
        return false;
    }
    if (status == CardReadStatus::Ok && !bytes.startsWith(cardSignature()))
        status = CardReadStatus::Foreign;
    if (status == CardReadStatus::Foreign) {
        fc.dialogs.message(cardReadMessage(status) + named, QStringLiteral("Dateikennung falsch"),
                           MsgIcon::Information, BtnOk);
        return false;
    }

    if (status != CardReadStatus::Ok) {
        doc.clearAll();
        fc.dialogs.message(kDamagedText + named, kAppTitle, MsgIcon::Error, BtnOk);
        return false;
    }
    return openCardBytes(doc, std::move(bytes), path, fc);
}

bool openCardBytes(CardDocument& doc, QByteArray bytes, const QString& path, CardFileContext& fc) {
    doc.clearAll();
    CardFileData data;
    CardReadStatus status = parseCardFile(bytes, data);
    bytes.clear();
    if (status != CardReadStatus::Ok) {
        fc.dialogs.message(
            cardReadMessage(status) + QLatin1Char('\n') + QDir::toNativeSeparators(path), kAppTitle,
            MsgIcon::Error, BtnOk);
        return false;
    }

    doc.format = data.format;
    doc.sideWidthUnits = data.sideWidthUnits;
    doc.sideHeightUnits = data.sideHeightUnits;
    CardSideData* sides[2] = {&data.outside, &data.inside};
    PictureCache pictures;  // objects and backgrounds naming one file share its picture
    for (int side : {SideOutside, SideInside}) {
        Background& bg = doc.sideBackground(side);
        bg.backgroundMode = sides[side]->backgroundMode;
        bg.backgroundFile = sides[side]->backgroundFile;
        if (bg.backgroundMode != BgNone && !bg.backgroundFile.isEmpty())
            loadStoredPicture(bg.backgroundPicture, bg.backgroundFile, 0, path, fc, pictures);
    }
    doc.zoomFactor = data.zoomFactor;
    doc.unitsPerPixel = data.unitsPerPixel;
    doc.extensionChunks = std::move(data.extension.unknownChunks);

    for (int side : {SideOutside, SideInside}) {
        const SlotTable& table = doc.sideSlots(side);
        for (CardObjectRecord& rec : sides[side]->objects) *table[rec.slot] = std::move(rec.object);
        // Pictures in slot order, each slot once even when the file names it twice.
        for (int s = 1; s <= kSlotCount; ++s) {
            CardObject& o = *table[s];
            if (o.kind != KindPicture) continue;
            releaseDib(o.picture);
            loadStoredPicture(o.picture, o.content, o.rotation, path, fc, pictures);
        }
    }
    doc.outsideBackground.backgroundColor = data.outside.backgroundColor;
    doc.insideBackground.backgroundColor = data.inside.backgroundColor;

    settleCard(doc);
    doc.fileName = path;
    doc.markSaved();
    if (!data.extension.problem.isEmpty())
        fc.dialogs.message(extensionProblemMessage(data.extension.problem) + QLatin1Char('\n') +
                               QDir::toNativeSeparators(path),
                           kAppTitle, MsgIcon::Warning, BtnOk);
    return true;
}

CardPreview readCardPreviewBytes(QByteArrayView bytes) {
    CardPreview result;
    ByteReader r(bytes);
    const QByteArrayView signature = r.bytes(kCardSignatureSize);
    if (!r.ok() || signature != QByteArrayView(cardSignature())) {
        result.error = cardReadMessage(CardReadStatus::Foreign);
        return result;
    }
    QByteArrayView colours;
    qint64 rows = 0;
    if (!readPreviewHeader(r, result.header, colours, rows)) {
        result.error = kDamagedText;
        return result;
    }
    const CardPreviewHeader& h = result.header;
    const int height = int(std::abs(qint64(h.height)));
    const bool depthKnown =
        h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 24;
    if (!depthKnown || h.compression != 0 || !dibSizeAllowed(h.width, height, h.bitCount)) {
        result.error = QStringLiteral("Das Vorschaubild der Karte kann nicht gelesen werden.");
        return result;
    }
    std::vector<RgbQuad> table;
    if (h.bitCount <= 8) {
        qsizetype n = qMin<qsizetype>(colours.size() / 4, dibColourCount(h.bitCount));
        if (h.colourCount > 0) n = qMin<qsizetype>(n, h.colourCount);
        for (qsizetype i = 0; i < n; ++i) {
            table.push_back({uint8_t(colours[4 * i]), uint8_t(colours[4 * i + 1]),
                             uint8_t(colours[4 * i + 2]), 0});
        }
    }
    const QByteArrayView pixels = r.bytes(rows);
    DibImage picture = newDib(h.width, height, h.bitCount, table.empty() ? nullptr : table.data(),
                              int(table.size()));
    if (!r.ok() || picture.isNull() || picture.byteCount() != rows) {
        result.error = kDamagedText;
        return result;
    }
    const qint64 perRow = picture.bytesPerRow();
    for (int y = 0; y < height; ++y) {
        // Stored bottom-up for a positive height, top-down for a negative one.
        const int dst = h.height >= 0 ? y : height - 1 - y;
        std::memcpy(picture.bits() + qint64(dst) * perRow, pixels.data() + qint64(y) * perRow,
                    size_t(perRow));
    }
    picture.markModified();
    result.picture = picture;
    return result;
}

CardPreview readCardPreview(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CardPreview result;
        result.error = cardReadMessage(CardReadStatus::CannotOpen);
        return result;
    }
    // Signature, the two counts and the header first; the rows only when they fit the file.
    QByteArray head = file.read(kCardSignatureSize + 8);
    if (head.size() == kCardSignatureSize + 8) {
        ByteReader r(QByteArrayView(head).sliced(kCardSignatureSize));
        const int32_t headerSize = r.i32();
        if (headerSize >= kBitmapInfoHeaderSize && headerSize <= file.size() - file.pos()) {
            head += file.read(headerSize);
            if (head.size() >= kCardSignatureSize + 8 + kBitmapInfoHeaderSize) {
                ByteReader hr(QByteArrayView(head).sliced(kCardSignatureSize + 8));
                hr.u32();
                const qint64 width = hr.i32();
                const qint64 height = std::abs(qint64(hr.i32()));
                hr.u16();
                const int bitCount = hr.u16();
                const qint64 perRow =
                    dibBytesPerRow(qMax<qint64>(0, width), qBound(0, bitCount, 32));
                const qint64 left = file.size() - file.pos();
                if (height == 0 || perRow <= left / height) head += file.read(perRow * height);
            }
        }
    }
    return readCardPreviewBytes(head);
}

}  // namespace bb
