// Drawing envelopes: one page per envelope face, with real text, onto any paged device (a PDF
// writer or a printer), into a PDF file written whole or not at all, or onto a printer with
// the envelope as its paper.
#pragma once

#include "print/EnvelopeLayout.h"
#include "print/PrintRun.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <vector>

class QPagedPaintDevice;

namespace bb {

struct EnvelopeSize;
class PrinterTarget;

inline const QString kEnvelopeJobTitle =
    QStringLiteral("Tovarin Brisella-Bildwerker 1.0 Umschläge");

// How an envelope lies on the paper the device prints on. `paperMm` is the page as drawn
// (in the orientation `landscape` gives it); `envelopeToPaperMm` takes millimetres on the
// envelope (from its upper left, address side) to millimetres on that page. The default, an
// empty paperMm, means: the paper is the envelope itself, identity.
struct EnvelopePlacement {
    QSizeF paperMm;
    QTransform envelopeToPaperMm;
    bool landscape = false;
};

// Paper = the envelope, lying as it is read (landscape when wider than high).
EnvelopePlacement envelopeAsPaper(const QSizeF& envelopeMm);

// Draws one page per face (the first face's size decides the default paper), every block as
// text, the picture where the face puts it; nothing in the stamp area. Begins and ends the
// document on `device` itself and sets its page layout. False with a German reason in `error`.
bool paintEnvelopes(QPagedPaintDevice& device, const std::vector<EnvelopeFace>& faces,
                    const EnvelopePlacement& placement, QString* error);

// The faces as a PDF document in memory; empty with `error` on failure.
QByteArray envelopePdf(const std::vector<EnvelopeFace>& faces, const EnvelopePlacement& placement,
                       QString* error);
// The same written to `path` whole or not at all (an earlier file stays on any failure; a
// link out of its folder is not written through). `errorNumber` gets the system's error
// number of a failed write, 0 otherwise.
bool writeEnvelopePdf(const QString& path, const std::vector<EnvelopeFace>& faces,
                      const EnvelopePlacement& placement, QString* error,
                      int* errorNumber = nullptr);

// Sets the target's printer for envelopes: paper and orientation from `placement` (the
// envelope's own size with the default one), drawn from the paper's corner, the job title
// kEnvelopeJobTitle. A PDF target is left writing its file.
void useEnvelopePaper(PrinterTarget& target, const std::vector<EnvelopeFace>& faces,
                      const EnvelopePlacement& placement);
// Prints the faces on the target set up by useEnvelopePaper (a printer's queue or its PDF
// file); the result as a print run's, pages counted. Following the job in the queue is the
// caller's (cups::findJob/waitForJob, each bounded).
PrintRunResult printEnvelopes(PrinterTarget& target, const std::vector<EnvelopeFace>& faces,
                              const EnvelopePlacement& placement);

}  // namespace bb
