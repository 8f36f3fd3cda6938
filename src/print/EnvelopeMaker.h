// What the envelope dialog asks of the envelope catalogue, layout and drawing: the sizes to
// offer, one envelope drawn for the preview, and a run of envelopes on a printer or into a
// PDF file. The dialog only gathers the order; an EnvelopeMaker turns it into envelopes.
#pragma once

#include "print/EnvelopeFeed.h"
#include "print/SenderSettings.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

class QPainter;

namespace bb {

struct AddressList;
class PrinterTarget;

// An envelope size as the dialog offers it.
struct EnvelopeKind {
    QString id;              // "C6", "DL", ...
    QString name;            // German, for the size combo
    QSizeF sizeMm;           // landscape
    bool hasWindow = false;  // a window variant exists
};

// Which envelopes to make: one per row of `rows`, in that order.
struct EnvelopeOrder {
    QString sizeId;
    bool window = false;
    QString recipientTemplate;  // "{Vorname} {Nachname}\n..." with the list's fields
    SenderFields sender;
    bool picture = false;  // a small picture from the card in the corner
    std::shared_ptr<const AddressList> list;
    std::vector<int> rows;  // 0-based rows of `list`
};

class EnvelopeMaker {
public:
    virtual ~EnvelopeMaker() = default;

    virtual std::vector<EnvelopeKind> kinds() const = 0;
    // The recipient template offered at first and by "Standard".
    virtual QString defaultTemplate() const = 0;
    // The address side of the envelope of `row` of the order's list, scaled into `target`.
    virtual void paintPreview(QPainter& painter, const QRectF& target, const EnvelopeOrder& order,
                              int row) const = 0;
    // One page per row of the order on the target's printer (or the PDF file it writes),
    // placed as `placement` says, with the paper the placement needs.
    virtual bool print(PrinterTarget& target, const EnvelopeOrder& order,
                       const EnvelopePlacement& placement, QString* error) const = 0;
    // The same into a PDF file, written whole or not at all.
    virtual bool writePdf(const QString& path, const EnvelopeOrder& order,
                          const EnvelopePlacement& placement, QString* error) const = 0;
};

}  // namespace bb
