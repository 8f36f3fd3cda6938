// Geometry and painting of the browser's thumbnail grid: cells of 90 × 110 pixels in as many
// columns as the width holds, each with a raised frame, the thumbnail centred in an 80 × 80
// box and the file name underneath. Entries are counted from 1.
#pragma once

#include "pictures/DibImage.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QFont;
class QPainter;

namespace bb {

inline constexpr int kCellWidth = 90;
inline constexpr int kCellHeight = 110;

// Colours of a cell: frame light and shadow, the selected and the normal cell.
inline const QColor kFrameLight = QColor(255, 255, 255);
inline const QColor kFrameShadow = QColor(128, 128, 128);
inline const QColor kSelectedCell = QColor(0, 0, 255);
inline const QColor kCellColour = QColor(192, 192, 192);

// The colours a grid is painted in; the defaults are the light look above, with black names
// and white ones on the selected cell. The widget derives others from a dark palette.
struct GridColours {
    QColor frameLight = kFrameLight;
    QColor frameShadow = kFrameShadow;
    QColor selectedCell = kSelectedCell;
    QColor cell = kCellColour;
    QColor name = QColor(0, 0, 0);
    QColor selectedName = QColor(255, 255, 255);
    QColor damagedMark = QColor(200, 0, 0);  // the cross over a damaged card
};

// Columns for a client width: width div 90, at least 1.
int gridColumns(int clientWidth);
// Height of the grid: count div columns × 110 + 110 (one row more than the full rows).
int gridHeight(int count, int columns);
// Top-left corner of entry `index`'s cell.
QPoint cellOrigin(int index, int columns);
// The whole cell, for repainting one entry.
QRect cellRect(int index, int columns);
// The frame of the entry, both edges included: (x0 + 2, y0 + 2) to (x0 + 88, y0 + 108).
QRect cellFrame(int index, int columns);
// The entry (1..count) whose frame holds `point`, or 0 for none.
int entryAt(QPoint point, int columns, int count);
// Where a thumbnail of `size` goes in the cell at `origin`: centred in the 80 × 80 box that
// starts 5 pixels in.
QRect thumbnailRect(QPoint origin, QSize size);

enum class GridKey { Up, Down, Left, Right };
// The selection after a key: Up/Down by a row, Left/Right by one, unchanged when the move
// would leave 1..count.
int moveSelection(int selected, GridKey key, int columns, int count);
// The vertical scroll position that shows entry `selected`: its frame's top when that is
// above the view, its bottom at the view's bottom when that is below, else unchanged.
int scrollIntoView(int selected, int columns, int scrollPos, int clientHeight);

// Width a file name may take in a cell, with a pixel of space either side.
inline constexpr int kCellNameWidth = 82;
// The font and text of a file name in a cell: `font`, made smaller (down to two thirds of its
// size) where the name would be wider than the cell; a name that is wider still is elided in
// its middle, keeping its ending.
QFont cellNameFont(const QFont& font, const QString& name);
QString cellNameText(const QFont& font, const QString& name);

// Where a damaged card's mark goes in the cell at `origin`: a blank card, upright, centred in
// the thumbnail box.
QRect damagedMarkRect(QPoint origin);

// Paints entry `index` (frame, cell colour, thumbnail 1:1, file name) with its cell at
// `origin` on `painter`. A damaged entry shows, in place of its thumbnail, a blank card crossed
// out in the colours' damagedMark.
void paintCell(QPainter& painter, QPoint origin, const DibImage& thumbnail, const QString& name,
               bool selected, const QFont& font, const GridColours& colours = GridColours(),
               bool damaged = false);

}  // namespace bb
