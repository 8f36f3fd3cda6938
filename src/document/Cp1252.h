// Windows-1252, the 8-bit character set of card files and the catalogue. Texts are QStrings
// inside the program and are converted only at the file boundary.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace bb {

// Encodes texts; each character that Windows-1252 cannot hold (and the zero character, which
// would end a stored string early) becomes one "?", the rest of the text is kept. replaced()
// tells that it happened and replacedTexts() which texts (as given, each once). Keep one
// encoder per file written.
class Cp1252Encoder {
public:
    QByteArray encode(const QString& text);
    bool replaced() const { return !replacedTexts_.isEmpty(); }
    const QStringList& replacedTexts() const { return replacedTexts_; }

private:
    QStringList replacedTexts_;
};

// Decodes bytes; every byte has a character (the five bytes Windows-1252 leaves undefined
// become the control characters of the same number, as Windows does), so decoding and
// encoding again gives the same bytes.
class Cp1252Decoder {
public:
    QString decode(QByteArrayView bytes);
};

// One-off conversions.
QByteArray toCp1252(const QString& text, bool* replaced = nullptr);
QString fromCp1252(QByteArrayView bytes);

}  // namespace bb
