#include "content/SideBuilder.h"

#include "pictures/PictureFormat.h"

#include <QDir>
#include <QImage>

namespace bb {

int32_t mmUnits(double mm) {
    return int32_t(mm * 20000.0 / kNominalMmPerInch);
}

CardObject& SideBuilder::place(int32_t kind, double x, double y, double w, double h) {
    const int slot = doc_.findFreeSlot(side_);
    CardObject& o = *doc_.sideSlots(side_)[slot];
    o = CardObject{};
    o.kind = kind;
    o.x = mmUnits(doc_.format.cardWidth + x);
    o.y = mmUnits(doc_.format.cardHeight + y);
    o.width = mmUnits(w);
    o.height = mmUnits(h);
    return o;
}

CardObject& SideBuilder::text(const QString& content, double x, double y, double w, double h,
                              int size, ColorRef color, int alignment, const QString& font,
                              uint8_t style) {
    CardObject& o = place(KindText, x, y, w, h);
    QString stored = content;
    stored.replace(QLatin1Char('\n'), QChar(13));
    o.content = stored;
    o.color = color;
    o.fontColor = color;
    o.fontName = font;
    o.fontSize = size;
    o.fontHeight = -(size * 96 / 72);
    o.fontStyle = style;
    o.alignment = alignment;
    return o;
}

CardObject& SideBuilder::figure(int32_t figureKind, double x, double y, double w, double h,
                                ColorRef color, int32_t fillMode, ColorRef border,
                                int32_t lineWidth) {
    CardObject& o = place(KindFigure, x, y, w, h);
    o.figureKind = figureKind;
    o.color = color;
    o.fillMode = fillMode;
    o.borderColor = border;
    o.lineWidth = lineWidth;
    return o;
}

CardObject& SideBuilder::picture(const QString& name, const DibImage& picture, double x, double y,
                                 double w, double h) {
    CardObject& o = place(KindPicture, x, y, w, h);
    o.content = name;
    o.picture = picture;
    return o;
}

DibImage writePicture(const QImage& image, const QString& dir, const QString& name,
                      QStringList& failed, int typeCode) {
    const QString path = QDir(dir).filePath(name);
    DibImage dib = dibFromQImage(image);
    PictureSaveOptions options;
    options.quality = 90;  // washes and soft light show blocks at lower qualities
    if (savePictureFile(dib, path, typeCode, options) != 1) {
        failed << name;
        return dib;
    }
    if (typeCode == DibPNG) return dib;
    DibImage reread = loadPictureFile(path);
    return reread.isNull() ? dib : reread;
}

}  // namespace bb
