#include "editor/ColorCombo.h"

#include "document/UserDialogs.h"

#include <QPainter>
#include <QPixmap>

namespace bb {

namespace {

struct NamedColor {
    ColorRef ref;
    const char* name;
};

const NamedColor kColors[ColorCombo::kStandardCount] = {
    {rgbRef(0, 0, 0), "Schwarz"},       {rgbRef(128, 0, 0), "Kastanienbraun"},
    {rgbRef(0, 128, 0), "Grün"},        {rgbRef(128, 128, 0), "Olivgrün"},
    {rgbRef(0, 0, 128), "Marineblau"},  {rgbRef(128, 0, 128), "Purpur"},
    {rgbRef(0, 128, 128), "Blaugrün"},  {rgbRef(128, 128, 128), "Grau"},
    {rgbRef(192, 192, 192), "Silber"},  {rgbRef(255, 0, 0), "Rot"},
    {rgbRef(0, 255, 0), "Hellgrün"},    {rgbRef(255, 255, 0), "Gelb"},
    {rgbRef(0, 0, 255), "Blau"},        {rgbRef(255, 0, 255), "Fuchsia"},
    {rgbRef(0, 255, 255), "Aquamarin"}, {rgbRef(255, 255, 255), "Weiß"},
};

QIcon swatch(ColorRef c) {
    QPixmap pm(14, 14);
    pm.fill(toQColor(c));
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 13, 13);
    return QIcon(pm);
}

}  // namespace

ColorRef ColorCombo::standardColor(int i) {
    return i >= 0 && i < kStandardCount ? kColors[i].ref : 0;
}

QString ColorCombo::standardName(int i) {
    return i >= 0 && i < kStandardCount ? QString::fromUtf8(kColors[i].name) : QString();
}

ColorCombo::ColorCombo(QWidget* parent, UserDialogs* dialogs)
    : QComboBox(parent), dialogs_(dialogs) {
    for (const NamedColor& c : kColors) addItem(swatch(c.ref), QString::fromUtf8(c.name));
    addItem(swatch(0xFFFFFF), QStringLiteral("Andere Farbe..."));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &ColorCombo::picked);
}

void ColorCombo::picked(int index) {
    if (index >= 0 && index < kStandardCount) {
        setColor(kColors[index].ref);
        return;
    }
    QColor c = toQColor(color_);
    if (dialogs_ && dialogs_->chooseColor(c, QStringLiteral("Farbe")))
        setColor(fromQColor(c));
    else
        showColor();  // back to the entry of the colour that stays
}

void ColorCombo::setColor(ColorRef c) {
    c &= 0xFFFFFF;
    const bool changed = c != color_;
    color_ = c;
    showColor();
    if (changed) emit colorChanged(c);
}

void ColorCombo::showMixed() {
    // No colour of 24 bits: whatever is chosen next differs from it.
    color_ = 0xFFFFFFFFu;
    setCurrentIndex(-1);
}

void ColorCombo::showColor() {
    for (int i = 0; i < kStandardCount; ++i) {
        if (kColors[i].ref == color_) {
            setCurrentIndex(i);
            return;
        }
    }
    setItemIcon(kStandardCount, swatch(color_));
    setCurrentIndex(kStandardCount);
}

}  // namespace bb
