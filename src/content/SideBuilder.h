// Building finished cards in code: the sample cards and the shipped designs place their
// objects in card millimetres and save the pictures they draw beside the card.
#pragma once

#include "document/CardDocument.h"
#include "pictures/DibImage.h"

#include <QString>
#include <QStringList>

class QImage;

namespace bb {

// Card units of a length in millimetres.
int32_t mmUnits(double mm);

// Places one side's objects in card millimetres (origin at the card's top-left corner).
class SideBuilder {
public:
    SideBuilder(CardDocument& doc, int side) : doc_(doc), side_(side) {}

    // A cleared object of `kind` in the side's first free slot.
    CardObject& place(int32_t kind, double x, double y, double w, double h);
    // A text; "\n" starts a new line. alignment: 0 left, 1 centred, 2 right.
    CardObject& text(const QString& content, double x, double y, double w, double h, int size,
                     ColorRef color, int alignment = 1,
                     const QString& font = QStringLiteral("Arial"), uint8_t style = 0);
    CardObject& figure(int32_t figureKind, double x, double y, double w, double h, ColorRef color,
                       int32_t fillMode = FillSolid, ColorRef border = 0, int32_t lineWidth = 1);
    CardObject& picture(const QString& name, const DibImage& picture, double x, double y, double w,
                        double h);

private:
    CardDocument& doc_;
    int side_;
};

// Saves `image` as the picture file `name` (PNG or JPEG by `typeCode`, DibType) in `dir` and
// returns it as the picture the card shows; a file that cannot be written is added to
// `failed`. JPEG pictures are returned as read back from the file, so the card shows exactly
// what a reopened card shows.
DibImage writePicture(const QImage& image, const QString& dir, const QString& name,
                      QStringList& failed, int typeCode = DibPNG);

}  // namespace bb
