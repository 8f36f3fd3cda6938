// Placing new objects: the fields a creation sets, the size of a new picture, and the font
// that new texts take (the font last chosen in the font dialog).
#pragma once

#include "document/CardDocument.h"

#include <QColor>
#include <QFont>
#include <QSize>

namespace bb {

// The state of newTextFont: the font last chosen there, in the object's own terms.
struct FontChoice {
    ColorRef color = 0;
    int32_t height = -16;  // character height in pixels, negative: without internal leading
    QString name = QStringLiteral("Times New Roman");
    uint8_t pitch = 0;
    uint8_t style = 0;
    int32_t size = 12;

    // The start font at a screen resolution: the size follows from the height.
    static FontChoice startFont(int dpi);
    // The QFont and colour that preset the font dialog, and reading its answer back.
    QFont toQFont() const;
    static FontChoice fromQFont(const QFont& font, const QColor& color, int dpi, uint8_t pitch);
};

// Makes a new object of `kind` (1 figure, 2 text, 3 picture) released at view pixel (x, y);
// every field it does not set has its default (a figure's line width is 1). A picture object
// takes the loaded `picture` and its file name; its size follows from the picture's pixels
// at `screenDpi`, and a picture larger than the card is fitted into it (fitIntoCard).
void initNewObject(const CardDocument& doc, CardObject& o, int32_t kind, int x, int y,
                   const FontChoice& font, int screenDpi, DibImage picture = {},
                   const QString& pictureName = {});

// The size in view pixels at which a new picture object shows `picture`.
QSize pictureViewSize(const CardDocument& doc, const DibImage& picture, int screenDpi);

// When the object is wider or taller than the card, shrinks it to fit with its aspect kept
// and moves it into the card. True when it was shrunk.
bool fitIntoCard(const CardDocument& doc, CardObject& o);

}  // namespace bb
