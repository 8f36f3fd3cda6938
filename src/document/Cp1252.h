// Windows-1252, the 8-bit character set of card files and the catalogue. Texts are QStrings
// inside the program and are converted only at the file boundary.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace bb {

// Encodes texts; a character that Windows-1252 cannot hold (and the zero character, which
// would end a stored string early) becomes "?", and replaced() tells that it happened.
// Keep one encoder per file written.
class Cp1252Encoder {
public:
    Cp1252Encoder();
    QByteArray encode(const QString& text);
    bool replaced() const { return replaced_; }

private:
    QStringEncoder encoder_;
    bool replaced_ = false;
};

class Cp1252Decoder {
public:
    Cp1252Decoder();
    QString decode(QByteArrayView bytes);

private:
    QStringDecoder decoder_;
};

// One-off conversions.
QByteArray toCp1252(const QString& text, bool* replaced = nullptr);
QString fromCp1252(QByteArrayView bytes);

}  // namespace bb
