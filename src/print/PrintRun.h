// printCards: prints the working side of the card on sheets of several cards onto any paged
// device (a QPrinter, a PDF writer), with copies, used positions, calibration, the mirrored
// inside, and cut and fold lines. Also the line drawing shared with the preview and the
// calibration test page.
#pragma once

#include "print/SheetLayout.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace bb {

class CardDocument;
struct RenderContext;
class UserDialogs;

inline const QString kPrintJobTitle = QStringLiteral("Tovarin Brisella-Bildwerker 1.0 Grußkarte");
inline const QString kTestPrintTitle = QStringLiteral("Format-Drucker Testdruck");
inline const QString kUnequalResolutionText = QStringLiteral(
    "Diese Meldung dürfte nie erscheinen. Das Programm kann mit diesem Drucker "
    "wahrscheinlich nicht korrekt drucken.");
// Each cut outline and fold line is traced this often over the same path.
inline constexpr int kLinePasses = 2;

struct PrintOptions {
    PrintSettings settings;
    bool cutLines = false;   // "Schneidelinien"
    bool foldLines = false;  // "Faltelinien"
    Calibration calibration;
};

struct PrintRunResult {
    bool ok = false;
    QString error;           // the printer service's failure, when !ok
    PrintSettings settings;  // the settings after the clamps (shown back in the spin edits)
    int pages = 0;
    int cards = 0;
};

// Prints the working side (doc.currentSide decides the mirror). Begins and ends the
// document on `device` itself. Sets ctx's millimetres per inch from the calibration and
// output mode for the run, and restores the nominal values and screen mode afterwards,
// also after a failure.
PrintRunResult printCards(QPagedPaintDevice& device, CardDocument& doc, RenderContext& ctx,
                          const PrintOptions& options, UserDialogs& dialogs);

// The cut outline of a card (x, y, w, h device pixels): one-pixel dotted black line with
// white gaps around the rectangle from (x, y) to (x + w, y + h), traced kLinePasses times.
void drawCutOutline(QPainter& painter, int x, int y, int w, int h);
// The fold line: one-pixel dash-dot black line with white gaps from (x, y) down by h.
void drawFoldLine(QPainter& painter, int x, int y, int h);

// The calibration test page: a light grey 100 mm square with a black outline at the corner
// of the printable area, nominal millimetres per inch, no calibration. Begins and ends the
// document itself.
PrintRunResult printTestSquare(QPagedPaintDevice& device);

}  // namespace bb
