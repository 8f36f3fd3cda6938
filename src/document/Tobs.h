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
enum FontStyleBit : uint8_t { StyleBold = 1, StyleItalic = 2, StyleUnderline = 4, StyleStrikeOut = 8 };

struct Tobs {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool KeepAspect = false;
    int32_t Rotation = 0;   // quarter turns clockwise, 0..3
    int32_t Alignment = 0;  // 0 left, 1 centred, 2 right
    int32_t Kind = KindFree;
    int32_t LineWidth = 0;        // figure; picture: TransparentColor
    uint32_t BorderColor = 0;     // figure; text: OutlineColor
    int32_t FillMode = 0;         // figure; text: ShadowColor
    uint32_t Color = 0;
    bool AutoTransparent = false;
    bool Transparent = false;
    bool Shadow = false;
    bool RoundFrame = false;      // picture; text: Outline
    int32_t ShadowDX = 5;
    int32_t ShadowDY = 5;
    int32_t FigureKind = 0;
    QString Content;
    DibImage Picture;
    uint32_t FontColor = 0;
    int32_t FontHeight = 0;
    QString FontName;
    uint8_t FontPitch = 0;
    int32_t FontSize = 0;
    uint8_t FontStyle = 0;

    // Second meanings of the shared fields.
    int32_t& TransparentColor() { return LineWidth; }
    int32_t TransparentColor() const { return LineWidth; }
    uint32_t& OutlineColor() { return BorderColor; }
    uint32_t OutlineColor() const { return BorderColor; }
    int32_t& ShadowColor() { return FillMode; }
    int32_t ShadowColor() const { return FillMode; }
    bool& Outline() { return RoundFrame; }
    bool Outline() const { return RoundFrame; }

    bool used() const { return Kind > 0; }
};

}  // namespace bb
