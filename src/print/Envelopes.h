// The envelope sizes the program prints on, read from the catalogue compiled in from
// resources/envelopes.csv (its header comment names the fields).
#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace bb {

struct EnvelopeSize {
    QString id;     // "C6", "DL", ... as brisella-cli --size takes it
    QString name;   // German name shown in the program
    QSizeF sizeMm;  // landscape: width > height (a square one has both equal)
    // Addressed after Deutsche Post and DIN 5008 (zones, window); otherwise the address is
    // centred.
    bool german = false;
    // The address window of the window variant, from the upper left corner; none when the
    // size comes without a window.
    std::optional<QRectF> windowMm;
    QString media;  // the print service's paper name, e.g. "iso_c6_114x162mm"

    bool hasWindow() const { return windowMm.has_value(); }
    // The envelope as a paper size in portrait (short edge across), as printers take it.
    QPageSize pageSize() const;
};

struct EnvelopeCatalogue {
    std::vector<EnvelopeSize> sizes;  // the good lines, in their order
    QStringList errors;               // one message per refused line, e.g. "Zeile 12: Breite fehlt"
};

// Reads catalogue text; a line that is not a whole, sensible envelope is refused with a
// message and the others are kept.
EnvelopeCatalogue parseEnvelopeCatalogue(const QByteArray& text);

// The compiled-in catalogue, read once. Its refused lines (none in a good build) are logged.
const std::vector<EnvelopeSize>& envelopeSizes();
// The size with this id (case ignored); null when there is none.
const EnvelopeSize* findEnvelope(const QString& id);

}  // namespace bb
