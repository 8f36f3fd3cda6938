// The twelve cursors of the editor views, by number: 1..8 the sizing cursors of the drag
// modes, 9 "MYSB_DRAGC" (a closed hand), 10 the arrow, 11 "MYSB_LUPE" (a magnifier),
// 12 the multiple-drag cursor; 0 is the I-beam of the content tool.
#pragma once

#include <QCursor>
#include <QImage>

namespace bb {

// The artwork of the two program cursors, 32 × 32 device-independent pixels with
// transparency, drawn at run time at the device pixel ratio `dpr` (an image of 32·dpr pixels).
QImage dragHandImage(qreal dpr = 1);   // "MYSB_DRAGC", hot spot (15, 16)
QImage magnifierImage(qreal dpr = 1);  // "MYSB_LUPE", hot spot (0, 0)

// The cursor of a cursor number (see EditMath's CursorNumber); unknown numbers give the arrow.
// The program's own cursors are drawn for the highest device pixel ratio of the screens.
QCursor editorCursor(int number);

}  // namespace bb
