// The arithmetic of selecting, dragging, zooming and panning in the editor views, as plain
// functions on view pixels and document units so that it can be tested without a window.
#pragma once

#include "document/CardDocument.h"

#include <QPointF>
#include <QPolygonF>
#include <QRect>

#include <cstdint>

namespace bb {

// Editor state shared by both views.
enum DragModeValue : int32_t {
    DragNone = 0,
    DragTopLeft = 1,
    DragTopRight = 2,
    DragBottomLeft = 3,
    DragBottomRight = 4,
    DragTop = 5,
    DragBottom = 6,
    DragLeft = 7,
    DragRight = 8,
    DragMove = 9,
};

enum MouseStateValue : int32_t { MouseIdle = 0, MouseDragging = 1, MousePanning = 2 };

// Cursor numbers set up at start-up: 1..8 sizing cursors by drag mode, 9 "MYSB_DRAGC",
// 10 arrow, 11 "MYSB_LUPE", 12 multiple-drag; IBeam for the content tool.
enum CursorNumber : int {
    CursorIBeam = 0,
    CursorDrag = 9,
    CursorArrow = 10,
    CursorLupe = 11,
    CursorMultiDrag = 12,
};

// An object's box in view pixels: each field converted on its own, so the right edge is
// L + W (not the pixel of X + Width).
struct PixelBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(int x, int y) const {
        return x >= left && x <= left + width && y >= top && y <= top + height;
    }
};
PixelBox pixelBox(const CardDocument& doc, const CardObject& o);

// The eight handle points of a box, for modes 1..8 (index 0 is mode 1).
struct HandlePoint {
    int x, y;
};
HandlePoint handlePoint(const PixelBox& box, int mode);

struct DragGrab {
    int32_t mode = DragNone;
    int32_t grabX = 0;  // grabOffsetX
    int32_t grabY = 0;  // grabOffsetY
};
// Classifies a view position against the selected object's handles (7 × 7 zones, bounds
// included, tested in the order 1..8) and then its body (9). Mode 0 when nothing is hit.
DragGrab classifyHandle(const PixelBox& box, int x, int y);
// The cursor number for a drag mode (1..9), CursorArrow for 0.
int cursorForDragMode(int mode);

// The work area limit used by the keep-on-area clamp: the outside view's size in pixels.
struct DragLimits {
    int viewWidth = 0;
    int viewHeight = 0;
};
// The card within the work area, in document units: the card takes the middle third of the
// area on each axis and is folded down the middle of the area.
struct CardGeometry {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t fold = 0;  // x of the fold line
};
CardGeometry cardGeometry(const CardDocument& doc);

// The largest left (top) coordinate that keeps an object on a work area `viewPixels` wide
// (high): the last unit before the view's edge.
int64_t workAreaLimit(const CardDocument& doc, int viewPixels);
// Applies a drag for the mouse at (x, y) to the object; returns the drag mode after any
// mirroring (pulling a handle across the opposite edge turns the object over).
int32_t dragObject(const CardDocument& doc, CardObject& o, const DragGrab& grab, int x, int y,
                   const DragLimits& limits);

// The frontmost used slot of `side` that is not locked and whose pixel box, turned by its fine
// angle, contains (x, y); 0 when none.
int hitTest(const CardDocument& doc, int side, int x, int y);

// The next used slot of `side` after `slot`, ascending and wrapping from 10000 to 1; `slot` itself
// when no other is used; 0 when `slot` is 0.
int nextUsedSlot(const CardDocument& doc, int side, int slot);

// Zoom steps of unitsPerPixel: in divides by 1.5 while above 50, out multiplies by 1.5
// while below 1000.
double zoomInStep(double unitsPerPixel);
double zoomOutStep(double unitsPerPixel);

// Scroll position that centres the document point (ux, uy) in a scroll box of the given
// outer size, clamped to 0..range − 1 on each axis.
struct ScrollPos {
    int x = 0, y = 0;
};
ScrollPos zoomScrollTarget(int32_t ux, int32_t uy, double zoomFactor, double unitsPerPixel,
                           int boxWidth, int boxHeight, int rangeX, int rangeY);
// The hand tool: new scroll position for a pan from (startX, startY) to (x, y).
ScrollPos panTarget(ScrollPos current, int startX, int startY, int x, int y, int rangeX,
                    int rangeY);

}  // namespace bb

namespace bb {

// ---- turned objects ----
// An object turned by its fine angle (degrees clockwise on the screen) is drawn turned about
// the centre of its pixel box; these map between the view and the box's own upright frame.

// The point of the view `p` in the upright frame of `box` (turned back about its centre), and
// the reverse.
QPointF unturnPoint(const PixelBox& box, double angle, QPointF p);
QPointF turnPoint(const PixelBox& box, double angle, QPointF p);
// The corners of the turned box, clockwise from the (turned) top left.
QPolygonF turnedOutline(const PixelBox& box, double angle);
// The pixels the turned box covers, bounds included.
QRect turnedBounds(const PixelBox& box, double angle);
// Whether the view position lies in the turned box, bounds included.
bool turnedContains(const PixelBox& box, double angle, int x, int y);
// The handles of a turned box: the eight of handlePoint turned with it, as classifyHandle
// tests them (7 × 7 zones in the box's frame); the body gives DragMove with offsets in view
// pixels, as for an upright box.
DragGrab classifyTurnedHandle(const PixelBox& box, double angle, int x, int y);
// The handle opposite to a sizing mode (the one that stays in place).
int oppositeHandle(int mode);
// dragObject for an object turned by `angle`: the mouse is taken into the box's frame, and the
// opposite handle stays where it is on the screen.
int32_t dragTurnedObject(const CardDocument& doc, CardObject& o, const DragGrab& grab, int x, int y,
                         const DragLimits& limits, double angle);

// The round handle that turns the selection: kTurnHandleGap pixels above the middle of the
// box's top edge, turned with the box; grabbed within kTurnHandleRadius + 1 pixels.
inline constexpr int kTurnHandleGap = 20;
inline constexpr int kTurnHandleRadius = 4;
QPointF turnHandlePoint(const PixelBox& box, double angle);
bool onTurnHandle(const PixelBox& box, double angle, int x, int y);
// The whole turn (0 ≤ a < 360 degrees) an object gets when its turning handle is pulled to
// (x, y): the direction from the box's centre, 0 straight up, clockwise; with `snap` to the
// nearest multiple of 15°. `start` is returned when the point is the centre itself.
double handleAngle(const PixelBox& box, double x, double y, bool snap, double start);

}  // namespace bb

namespace bb {

// The whole turn of an object in degrees (0 ≤ a < 360): its quarter turns and fine angle.
double objectAngle(const CardObject& o);
// The quarter turns (−1, 1 or 2; 0 for none) by which an object's quarter turns change when
// it is turned to `degrees` (splitAngle decides them); a picture's pixels turn by as many.
int quarterTurnsTo(const CardObject& o, double degrees);
// Turns `o` to `degrees` in all: the quarter turns of splitAngle and the rest as fine angle.
// When the quarter turns change by an odd number the box exchanges its sides about its centre
// (and a line figure its direction), so that the object keeps its place and its look. The
// caller turns a picture's pixels by quarterTurnsTo first.
void setObjectAngle(CardObject& o, double degrees);

}  // namespace bb

namespace bb {

// ---- cropping a picture inside its frame ----
// A crop is the part of the picture shown in the box, in fractions of the picture; an empty
// one shows the whole picture.

// The crop after the photo is dragged by (dx, dy) pixels in a box of boxW × boxH pixels: the
// photo follows the mouse, and the crop stays within the picture.
QRectF cropDragged(const QRectF& crop, double dx, double dy, double boxW, double boxH);
// The crop after zooming by `factor` (above 1 closer) about the point `at` of the box (in
// fractions of the box): that point of the photo stays under the mouse. The crop shows at most
// the whole picture and at least a hundredth of it on each side, within the picture.
QRectF cropZoomed(const QRectF& crop, double factor, QPointF at);
// The crop as stored: the whole picture is the empty rectangle.
QRectF storedCrop(const QRectF& crop);
// The crop that shows the same part after the picture is turned a quarter left or right.
QRectF cropAfterQuarterTurn(const QRectF& crop, bool left);

}  // namespace bb
