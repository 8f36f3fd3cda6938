// The envelopes of the program's catalogue and layout for the envelope dialog: the faces of an
// order (one per row, in its order) made with envelopeFace, drawn by paintEnvelopes, and a
// preview of one face on any painter.
#pragma once

#include "print/EnvelopeLayout.h"
#include "print/EnvelopeMaker.h"

#include <QImage>

#include <functional>
#include <vector>

namespace bb {

// The resolution of the card's small picture on an envelope (about 25 mm wide).
inline constexpr double kEnvelopePictureDpi = 72;

class CardEnvelopeMaker : public EnvelopeMaker {
public:
    // `cardPicture` gives the card's picture when an order first asks for one.
    explicit CardEnvelopeMaker(std::function<QImage()> cardPicture = {});

    // The card may have changed: its picture is made again when next asked for.
    void forgetPicture() { picture_ = QImage(); }

    std::vector<EnvelopeKind> kinds() const override;
    QString defaultTemplate() const override;
    void paintPreview(QPainter& painter, const QRectF& target, const EnvelopeOrder& order,
                      int row) const override;
    bool print(PrinterTarget& target, const EnvelopeOrder& order,
               const EnvelopePlacement& placement, QString* error) const override;
    bool writePdf(const QString& path, const EnvelopeOrder& order,
                  const EnvelopePlacement& placement, QString* error) const override;

    // The faces of `rows` (rows of the order's list) made as the order says; empty with a
    // German reason for an unknown size or no list.
    std::vector<EnvelopeFace> faces(const EnvelopeOrder& order, const std::vector<int>& rows,
                                    QString* error = nullptr) const;

private:
    std::function<QImage()> cardPicture_;
    // The card's picture, made once for the previews and runs of one showing of the dialog.
    mutable QImage picture_;
};

// One face scaled into `target`: the blocks as text, the stamp area and the picture.
void paintEnvelopeFace(QPainter& painter, const QRectF& target, const EnvelopeFace& face);

}  // namespace bb
