// The card file's extension area, read and written chunk by chunk.
#include "document/CardExtension.h"

#include "document/ByteIO.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

constexpr qsizetype kTagSize = 4;
// Side, slot and record check before an object's properties.
constexpr qsizetype kObjectHead = 1 + 4 + 4;
// The fixed part of one formatted span before its font name.
constexpr qsizetype kRunHead = 4 + 4 + 4 + 1 + 4 + 4;

// Property payloads built with the card file's little-endian writer.
class PropertyList {
public:
    void add(ExtensionKey key, const QByteArray& payload) {
        ByteWriter w(bytes_);
        w.u16(key);
        w.u32(uint32_t(payload.size()));
        w.bytes(payload);
    }
    void addRaw(const QByteArray& raw) { bytes_.append(raw); }
    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

template <class F>
QByteArray payload(F&& write) {
    QByteArray out;
    ByteWriter w(out);
    write(w);
    return out;
}

void appendChunk(QByteArray& out, QByteArrayView tag, const QByteArray& body) {
    ByteWriter w(out);
    w.bytes(tag);
    w.u32(uint32_t(body.size()));
    w.bytes(body);
    w.u32(crc32(body, crc32(tag)));
}

void writeFont(ByteWriter& w, const TextRun& r) {
    const QByteArray name = r.fontName.toUtf8();
    w.i32(r.fontSize);
    w.u8(r.fontStyle);
    w.u32(r.fontColor);
    w.u32(uint32_t(name.size()));
    w.bytes(name);
}

QByteArray runsPayload(const std::vector<TextRun>& runs) {
    return payload([&runs](ByteWriter& w) {
        w.u32(uint32_t(runs.size()));
        for (const TextRun& r : runs) {
            w.i32(r.start);
            w.i32(r.length);
            writeFont(w, r);
        }
    });
}

// ---- Reading ----

struct Damage {
    QString why;
};

int32_t clampInt(int32_t v, int32_t lo, int32_t hi) {
    return std::clamp(v, lo, hi);
}

QString utf8(QByteArrayView bytes) {
    return QString::fromUtf8(bytes);
}

bool readFont(ByteReader& r, TextRun& run, QString& why) {
    run.fontSize = r.i32();
    run.fontStyle = r.u8();
    run.fontColor = r.u32();
    const uint32_t nameBytes = r.u32();
    if (!r.ok() || nameBytes > uint32_t(r.remaining())) {
        why = QStringLiteral("Schriftname reicht über die Eigenschaft hinaus");
        return false;
    }
    run.fontName = utf8(r.bytes(nameBytes));
    return true;
}

// One property's value being read into an object's extension record. Every read function
// returns false (with `why`) when the payload has the wrong size or a value that is no number;
// values outside their range are brought into it.
struct PropertyValue {
    uint16_t key;
    QByteArrayView value;
    ExtensionObject& e;
    QString& why;
    ByteReader r{value};

    bool sized(qsizetype n) {
        if (value.size() == n) return true;
        why = QStringLiteral("Eigenschaft %1 hat %2 statt %3 Bytes")
                  .arg(key)
                  .arg(value.size())
                  .arg(n);
        return false;
    }
    bool finite(double v, const char* what) {
        if (std::isfinite(v)) return true;
        why = QStringLiteral("%1 ist keine Zahl").arg(QLatin1String(what));
        return false;
    }
    bool allRead(const char* what) {
        if (r.atEnd()) return true;
        why = QStringLiteral("%1: Bytes übrig").arg(QLatin1String(what));
        return false;
    }
};

bool readCrop(PropertyValue& p) {
    if (!p.sized(32)) return false;
    double v[4];
    for (double& d : v) {
        d = p.r.f64();
        if (!p.finite(d, "Zuschnitt")) return false;
    }
    const double left = std::clamp(v[0], 0.0, 1.0);
    const double top = std::clamp(v[1], 0.0, 1.0);
    const QRectF crop(left, top, std::clamp(v[2], 0.0, 1.0 - left),
                      std::clamp(v[3], 0.0, 1.0 - top));
    p.e.extras.crop = crop.isEmpty() ? QRectF() : crop;
    return true;
}

bool readRuns(PropertyValue& p) {
    ByteReader& r = p.r;
    const uint32_t count = r.u32();
    if (!r.ok() || count > uint32_t(r.remaining() / kRunHead)) {
        p.why = QStringLiteral("Formatierungen: Anzahl passt nicht zur Länge");
        return false;
    }
    std::vector<TextRun>& runs = p.e.extras.runs;
    runs.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        TextRun run;
        run.start = r.i32();
        run.length = r.i32();
        if (!readFont(r, run, p.why)) return false;
        runs.push_back(std::move(run));
    }
    return p.allRead("Formatierungen");
}

// The properties of the object's place and of pictures.
bool readPlaceOrPicture(PropertyValue& p) {
    ObjectExtras& x = p.e.extras;
    ByteReader& r = p.r;
    switch (p.key) {
        case KeyAngle: {
            if (!p.sized(8)) return false;
            const double a = r.f64();
            if (!p.finite(a, "Winkel")) return false;
            x.fineAngle = std::clamp(a, -45.0, 45.0);
            return true;
        }
        case KeyGroup:
            if (!p.sized(4)) return false;
            x.group = std::max(0, r.i32());
            return true;
        case KeyLocked:
            if (!p.sized(1)) return false;
            x.locked = r.u8() != 0;
            return true;
        case KeyCrop:
            return readCrop(p);
        case KeyPictureSettings:
            if (!p.sized(16)) return false;
            x.brightness = clampInt(r.i32(), -100, 100);
            x.contrast = clampInt(r.i32(), -100, 100);
            x.saturation = clampInt(r.i32(), -100, 100);
            x.tone = clampInt(r.i32(), ToneColour, ToneSepia);
            return true;
        case KeyOrnament: {
            const QString name = utf8(p.value);
            if (p.value.size() > kMaxOrnamentName || !isOrnamentName(name)) {
                p.why = QStringLiteral("Schmuckname ungültig");
                return false;
            }
            x.ornament = name;
            return true;
        }
        default:  // KeyCorners
            if (!p.sized(8)) return false;
            x.cornerRadius = clampInt(r.i32(), 0, 100000);
            x.feather = clampInt(r.i32(), 0, 100000);
            return true;
    }
}

// The properties of texts.
bool readTextProperty(PropertyValue& p) {
    ObjectExtras& x = p.e.extras;
    ByteReader& r = p.r;
    switch (p.key) {
        case KeyText:
            p.e.hasText = true;
            p.e.text = utf8(p.value);
            return true;
        case KeyFontName:
            p.e.hasFontName = true;
            p.e.fontName = utf8(p.value);
            return true;
        case KeySpacing:
            if (!p.sized(8)) return false;
            x.lineSpacing = clampInt(r.i32(), 10, 1000);
            x.letterSpacing = clampInt(r.i32(), -500, 5000);
            return true;
        case KeyRuns:
            return readRuns(p);
        case KeyArc:
            if (!p.sized(5)) return false;
            x.arcRadius = clampInt(r.i32(), 0, 10000000);
            x.arcDown = r.u8() != 0;
            return true;
        default:  // KeyBaseFont
            p.e.hasBaseFont = true;
            return readFont(r, p.e.baseFont, p.why) && p.allRead("Grundschrift");
    }
}

bool readProperty(uint16_t key, QByteArrayView value, ExtensionObject& e, QString& why) {
    PropertyValue p{key, value, e, why};
    switch (key) {
        case KeyAngle:
        case KeyGroup:
        case KeyLocked:
        case KeyCrop:
        case KeyPictureSettings:
        case KeyCorners:
        case KeyOrnament:
            return readPlaceOrPicture(p);
        case KeyText:
        case KeyFontName:
        case KeySpacing:
        case KeyRuns:
        case KeyArc:
        case KeyBaseFont:
            return readTextProperty(p);
        default: {
            // A property of a later version: kept whole with this object.
            ByteWriter w(e.extras.unknown);
            w.u16(key);
            w.u32(uint32_t(value.size()));
            w.bytes(value);
            return true;
        }
    }
}

bool readObjectChunk(QByteArrayView body, CardExtension& ext, QString& why) {
    if (body.size() < kObjectHead) {
        why = QStringLiteral("Objekt-Abschnitt zu kurz");
        return false;
    }
    ByteReader r(body);
    ExtensionObject e;
    e.side = r.u8();
    e.slot = r.i32();
    e.recordCheck = r.u32();
    if (e.side > 1 || e.slot < 1 || e.slot > 10000) {
        why = QStringLiteral("Objekt-Abschnitt nennt Seite %1, Platz %2").arg(e.side).arg(e.slot);
        return false;
    }
    while (!r.atEnd()) {
        const uint16_t key = r.u16();
        const uint32_t length = r.u32();
        if (!r.ok() || length > uint32_t(r.remaining())) {
            why = QStringLiteral("Eigenschaft reicht über das Objekt hinaus");
            return false;
        }
        if (!readProperty(key, r.bytes(length), e, why)) return false;
    }
    ext.objects.push_back(std::move(e));
    return true;
}

bool readBackgroundChunk(QByteArrayView body, CardExtension& ext, QString& why) {
    ByteReader r(body);
    ExtensionBackgroundName b;
    b.side = r.u8();
    b.nameCheck = r.u32();
    if (!r.ok() || b.side > 1) {
        why = QStringLiteral("Hintergrund-Abschnitt ungültig");
        return false;
    }
    b.name = utf8(r.bytes(r.remaining()));
    ext.backgroundNames.push_back(std::move(b));
    return true;
}

bool readChunks(ByteReader& r, QByteArrayView all, CardExtension& ext, QString& why) {
    QSet<qint64> objectsSeen;
    while (!r.atEnd()) {
        const qsizetype start = r.pos();
        const QByteArrayView tag = r.bytes(kTagSize);
        const uint32_t length = r.u32();
        if (!r.ok() || qint64(length) + 4 > r.remaining()) {
            why =
                QStringLiteral("Abschnitt bei Byte %1 reicht über das Dateiende hinaus").arg(start);
            return false;
        }
        const QByteArrayView body = r.bytes(length);
        const uint32_t check = r.u32();
        if (check != crc32(body, crc32(tag))) {
            why = QStringLiteral("Prüfsumme des Abschnitts \"%1\" bei Byte %2 stimmt nicht")
                      .arg(QString::fromLatin1(tag))
                      .arg(start);
            return false;
        }
        if (tag == kObjectChunkTag) {
            if (!readObjectChunk(body, ext, why)) return false;
            const ExtensionObject& e = ext.objects.back();
            if (objectsSeen.contains(qint64(e.side) * 100000 + e.slot)) {
                why = QStringLiteral("Objekt %1 zweimal beschrieben").arg(e.slot);
                return false;
            }
            objectsSeen.insert(qint64(e.side) * 100000 + e.slot);
        } else if (tag == kBackgroundChunkTag) {
            if (!readBackgroundChunk(body, ext, why)) return false;
        } else {
            ext.unknownChunks.push_back(all.sliced(start, r.pos() - start).toByteArray());
        }
    }
    return true;
}

}  // namespace

bool isOrnamentName(QStringView name) {
    if (name.isEmpty() || name.size() > kMaxOrnamentName) return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
    });
}

bool recordShowsFirstRunFont(const CardObject& o) {
    return o.kind == KindText && !o.extras.runs.empty() && o.extras.runs.front().start == 0;
}

void applyFirstRunFont(CardObject& o) {
    if (!recordShowsFirstRunFont(o)) return;
    const TextRun& first = o.extras.runs.front();
    o.fontName = first.fontName;
    o.fontSize = first.fontSize;
    o.fontStyle = first.fontStyle;
    o.fontColor = first.fontColor;
}

CardExtension parseCardExtension(QByteArrayView rest) {
    CardExtension ext;
    if (!rest.startsWith(kExtensionMagic)) return ext;
    ext.present = true;
    ByteReader r(rest);
    r.skip(kExtensionMagic.size());
    ext.version = r.u32();
    const uint32_t length = r.u32();
    QString why;
    if (!r.ok()) {
        why = QStringLiteral("Kopf unvollständig");
    } else if (ext.version != kExtensionVersion) {
        why = QStringLiteral("unbekannte Version %1").arg(ext.version);
    } else if (qint64(length) != r.remaining()) {
        // A file cut after a whole chunk would otherwise pass for a shorter extension.
        why = QStringLiteral("%1 Bytes angekündigt, %2 vorhanden").arg(length).arg(r.remaining());
    } else if (readChunks(r, rest, ext, why)) {
        return ext;
    }
    CardExtension dropped;
    dropped.present = true;
    dropped.version = ext.version;
    dropped.problem = why;
    return dropped;
}

void CardExtensionWriter::addObject(int32_t side, int32_t slot, QByteArrayView record,
                                    const CardObject& o, bool textLossy, bool fontNameLossy) {
    const ObjectExtras& x = o.extras;
    if (!textLossy && !fontNameLossy && x.isDefault()) return;
    PropertyList props;
    if (textLossy) props.add(KeyText, o.content.toUtf8());
    if (recordShowsFirstRunFont(o)) {
        TextRun base;
        base.fontName = o.fontName;
        base.fontSize = o.fontSize;
        base.fontStyle = o.fontStyle;
        base.fontColor = o.fontColor;
        props.add(KeyBaseFont, payload([&base](ByteWriter& w) { writeFont(w, base); }));
    } else if (fontNameLossy) {
        props.add(KeyFontName, o.fontName.toUtf8());
    }
    if (x.fineAngle != 0) props.add(KeyAngle, payload([&x](ByteWriter& w) { w.f64(x.fineAngle); }));
    if (x.group != 0) props.add(KeyGroup, payload([&x](ByteWriter& w) { w.i32(x.group); }));
    if (x.locked) props.add(KeyLocked, payload([](ByteWriter& w) { w.u8(1); }));
    if (!x.crop.isEmpty()) {
        props.add(KeyCrop, payload([&x](ByteWriter& w) {
                      w.f64(x.crop.x());
                      w.f64(x.crop.y());
                      w.f64(x.crop.width());
                      w.f64(x.crop.height());
                  }));
    }
    if (x.brightness != 0 || x.contrast != 0 || x.saturation != 0 || x.tone != ToneColour) {
        props.add(KeyPictureSettings, payload([&x](ByteWriter& w) {
                      w.i32(x.brightness);
                      w.i32(x.contrast);
                      w.i32(x.saturation);
                      w.i32(x.tone);
                  }));
    }
    if (x.cornerRadius != 0 || x.feather != 0) {
        props.add(KeyCorners, payload([&x](ByteWriter& w) {
                      w.i32(x.cornerRadius);
                      w.i32(x.feather);
                  }));
    }
    if (!x.ornament.isEmpty()) props.add(KeyOrnament, x.ornament.toUtf8());
    if (x.lineSpacing != 100 || x.letterSpacing != 0) {
        props.add(KeySpacing, payload([&x](ByteWriter& w) {
                      w.i32(x.lineSpacing);
                      w.i32(x.letterSpacing);
                  }));
    }
    if (!x.runs.empty()) props.add(KeyRuns, runsPayload(x.runs));
    if (x.arcRadius != 0 || x.arcDown) {
        props.add(KeyArc, payload([&x](ByteWriter& w) {
                      w.i32(x.arcRadius);
                      w.u8(x.arcDown ? 1 : 0);
                  }));
    }
    props.addRaw(x.unknown);
    QByteArray body;
    ByteWriter w(body);
    w.u8(uint8_t(side));
    w.i32(slot);
    w.u32(crc32(record));
    w.bytes(props.bytes());
    appendChunk(chunks_, kObjectChunkTag, body);
}

void CardExtensionWriter::addBackgroundName(int32_t side, QByteArrayView storedName,
                                            const QString& name) {
    QByteArray body;
    ByteWriter w(body);
    w.u8(uint8_t(side));
    w.u32(crc32(storedName));
    w.bytes(name.toUtf8());
    appendChunk(chunks_, kBackgroundChunkTag, body);
}

void CardExtensionWriter::appendTo(QByteArray& out) const {
    if (empty()) return;
    qsizetype length = chunks_.size();
    for (const QByteArray& chunk : unknown_) length += chunk.size();
    ByteWriter w(out);
    w.bytes(kExtensionMagic);
    w.u32(kExtensionVersion);
    w.u32(uint32_t(length));
    w.bytes(chunks_);
    for (const QByteArray& chunk : unknown_) w.bytes(chunk);
}

QString extensionProblemMessage(const QString& problem) {
    return QStringLiteral(
               "Die Erweiterungen der Karte (Drehwinkel, Gruppen, Zuschnitt, Bildeinstellungen, "
               "Formatierungen und Zeichen außerhalb von Windows-1252) sind beschädigt und "
               "wurden nicht gelesen. Die Karte wird so geöffnet, wie Version 1.0 sie liest.\n") +
           problem;
}

}  // namespace bb
