// One text, picture or figure on a side. Several fields carry two meanings by Kind; the
// second name is an accessor onto the same storage.
#pragma once

#include "pictures/DibImage.h"

#include <QString>

#include <cstdint>

namespace bb {

enum ObjectKind : int32_t { KindFree = 0, KindFigure = 1, KindText = 2, KindPicture = 3 };

enum FigureKind : int32_t {
    FigCircle = 0,
    FigEllipse = 1,
    FigSquare = 2,
    FigRectangle = 3,
    FigRoundSquare = 4,
    FigRoundRect = 5,
    FigLineHorizontal = 6,
    FigLineVertical = 7,
    FigLineUp = 8,
    FigLineDown = 9,
};

enum FillModeValue : int32_t { FillSolid = 0, FillBorderOnly = 1, FillWithBorder = 2 };

// FontStyle bits.
enum FontStyleBit : uint8_t {
    StyleBold = 1,
    StyleItalic = 2,
    StyleUnderline = 4,
    StyleStrikeOut = 8
};

struct CardObject {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool keepAspect = false;
    int32_t rotation = 0;   // quarter turns clockwise, 0..3
    int32_t alignment = 0;  // 0 left, 1 centred, 2 right
    int32_t kind = KindFree;
    int32_t lineWidth = 0;     // figure; picture: transparentColor
    uint32_t borderColor = 0;  // figure; text: outlineColor
    int32_t fillMode = 0;      // figure; text: shadowColor
    uint32_t color = 0;
    bool autoTransparent = false;
    bool transparent = false;
    bool shadow = false;
    bool roundFrame = false;  // picture; text: outline
    int32_t shadowDx = 5;
    int32_t shadowDy = 5;
    int32_t figureKind = 0;
    QString content;
    DibImage picture;
    uint32_t fontColor = 0;
    int32_t fontHeight = 0;
    QString fontName;
    uint8_t fontPitch = 0;
    int32_t fontSize = 0;
    uint8_t fontStyle = 0;

    // Second meanings of the shared fields.
    int32_t& transparentColor() { return lineWidth; }
    int32_t transparentColor() const { return lineWidth; }
    uint32_t& outlineColor() { return borderColor; }
    uint32_t outlineColor() const { return borderColor; }
    int32_t& shadowColor() { return fillMode; }
    int32_t shadowColor() const { return fillMode; }
    bool& outline() { return roundFrame; }
    bool outline() const { return roundFrame; }

    bool used() const { return kind > 0; }
};

}  // namespace bb
