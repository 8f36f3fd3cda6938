// Drawing of figures: rectangles, squares, ellipses, circles, rounded shapes and lines, filled
// and outlined as the figure's fill mode says, with the platform's edge rules.
#pragma once

#include <QRect>

class QPainter;

namespace bb {

struct CardObject;
struct RenderContext;

// Pen width of a figure: max(1, Trunc(scale × lineWidth × 0.2 × 20000 / mmPerInchX)).
int figurePenWidth(int lineWidth, double scale, double mmPerInchX);

// Draws figure `o` into the device box (x, y, w, h); `visible` is the part of the device that
// can change, used only to skip invisible work.
void drawFigure(QPainter& p, const CardObject& o, int x, int y, int w, int h, double scale,
                const RenderContext& ctx, const QRect& visible);

}  // namespace bb
