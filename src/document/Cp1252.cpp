#include "document/Cp1252.h"

namespace bb {

namespace {

// Windows-1252 agrees with Latin-1 everywhere except 0x80..0x9F; these are its characters
// there (the five undefined bytes keep their control character).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

// The byte for one UTF-16 unit, or 0 when Windows-1252 has none (the zero character included:
// it would end a stored string).
char byteFor(char16_t u) {
    if (u == 0) return 0;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == u) return char(0x80 + i);
    return 0;
}

}  // namespace

QByteArray Cp1252Encoder::encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    bool replacedHere = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char b = byteFor(c.unicode());
        if (b != 0) {
            out.append(b);
            continue;
        }
        // A character outside the basic plane is a surrogate pair: one "?" for both halves.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        out.append('?');
        replacedHere = true;
    }
    if (replacedHere && !replacedTexts_.contains(text)) replacedTexts_.append(text);
    return out;
}

QString Cp1252Decoder::decode(QByteArrayView bytes) {
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* p = s.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *p++ = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
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
