// Placing new objects: the fields a creation sets, the size of a new picture, and the font
// that new texts take (the font last chosen in the font dialog).
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"

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
// every field it does not set has its default (a figure's line width is 1). A figure is 50 view
// pixels square. A text's frame is one line of its font high and about sixteen times its font
// height wide (at most half the card), in document units whatever the zoom. A picture object
// takes the loaded `picture` and its file name; its size follows from the picture's pixels at
// the screen's resolution, and a picture larger than the half of the card that holds x is fitted
// into that half (fitIntoHalf). True when a picture was fitted.
bool initNewObject(const CardDocument& doc, CardObject& o, int32_t kind, int x, int y,
                   const FontChoice& font, const RenderContext& ctx, DibImage picture = {},
                   const QString& pictureName = {});

// The size in view pixels at which a new picture object shows `picture`.
QSize pictureViewSize(const CardDocument& doc, const DibImage& picture, int screenDpi);

// The half of the card (left and right edge in units) on whose side of the fold `unitX` lies;
// the fold itself belongs to the right half.
struct CardSpan {
    int32_t left = 0, right = 0;
};
CardSpan cardHalfAt(const CardDocument& doc, int32_t unitX);

// When the object is wider or taller than the half of the card on whose side of the fold
// `unitX` lies, shrinks it to fit with its aspect kept and moves it into that half. True when
// it was shrunk.
bool fitIntoHalf(const CardDocument& doc, CardObject& o, int32_t unitX);

// Makes the frame of text `o` large enough for its lines as the editor views draw them at the
// document's zoom: longer along its lines for a word longer than the frame, deeper across them
// for every line (width and height exchanged for a text turned a quarter either way). It
// never shrinks. True when it grew.
bool growTextToFit(const CardDocument& doc, CardObject& o, const RenderContext& ctx);

}  // namespace bb
