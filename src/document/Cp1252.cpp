#include "document/Cp1252.h"

namespace bb {

namespace {

// Windows-1252 agrees with Latin-1 everywhere except 0x80..0x9F, so texts without the zero
// character and without those code points convert without the codec.
bool isLatin1Compatible(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0 || u > 0xFF || (u >= 0x80 && u < 0xA0)) return false;
    }
    return true;
}

bool isLatin1Compatible(QByteArrayView bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0) return false;
    }
    return true;
}

}  // namespace

Cp1252Encoder::Cp1252Encoder() : encoder_("windows-1252", QStringConverter::Flag::Stateless) {}

QByteArray Cp1252Encoder::encode(const QString& text) {
    if (isLatin1Compatible(text)) return text.toLatin1();
    if (encoder_.isValid() && !text.contains(QChar(0))) {
        QByteArray whole = encoder_.encode(text);
        if (!encoder_.hasError()) return whole;
        encoder_.resetState();
    }
    // Slow path: one code point at a time so that each unencodable one becomes one "?".
    QByteArray out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype len = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            len = 2;
        const QStringView cp = QStringView(text).mid(i, len);
        i += len;
        const char16_t u = cp.at(0).unicode();
        if (len == 1 && u != 0 && u < 0x80) {
            out.append(char(u));
            continue;
        }
        QByteArray one;
        if (u != 0 && encoder_.isValid()) {
            one = encoder_.encode(cp);
            if (encoder_.hasError()) {
                one.clear();
                encoder_.resetState();
            }
        }
        if (one.size() == 1 && one.at(0) != 0) {
            out.append(one);
        } else {
            out.append('?');
            replaced_ = true;
        }
    }
    return out;
}

Cp1252Decoder::Cp1252Decoder() : decoder_("windows-1252", QStringConverter::Flag::Stateless) {}

QString Cp1252Decoder::decode(QByteArrayView bytes) {
    if (isLatin1Compatible(bytes)) return QString::fromLatin1(bytes);
    if (!decoder_.isValid()) return QString::fromLatin1(bytes);
    QString s = decoder_.decode(bytes);
    decoder_.resetState();
    return s;
}

QByteArray toCp1252(const QString& text, bool* replaced) {
    Cp1252Encoder enc;
    QByteArray out = enc.encode(text);
    if (replaced) *replaced = enc.replaced();
    return out;
}

QString fromCp1252(QByteArrayView bytes) {
    Cp1252Decoder dec;
    return dec.decode(bytes);
}

}  // namespace bb
