#include "editor/Ruler.h"

#include <QPainter>
#include <QtMath>

namespace bb {

Ruler::Ruler(Edge edge, QWidget* parent) : QWidget(parent), edge_(edge) {
    if (edge_ == Top)
        setFixedHeight(kThickness);
    else
        setFixedWidth(kThickness);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize Ruler::sizeHint() const {
    return edge_ == Top ? QSize(200, kThickness) : QSize(kThickness, 200);
}

void Ruler::paintRuler(int scroll, int paintBoxLength, double cardMm, int screenDpi) {
    const int R = width();
    const int S = height();
    if (R <= 0 || S <= 0) return;
    // Drawn at the screen's pixels (sharp on a high-resolution screen) in the palette's
    // colours: the scale on the base colour, lines and labels in the text colour.
    const qreal dpr = devicePixelRatioF();
    QImage img(qCeil(R * dpr), qCeil(S * dpr), QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    const QPalette& pal = palette();
    img.fill(pal.color(QPalette::Button));
    const QColor ground = pal.color(QPalette::Base);
    QPainter p(&img);
    p.setPen(pal.color(QPalette::Text));
    // Rectangles follow the device rule: (l, t, r, b) covers l..r-1 and t..b-1.
    const auto fill = [&p, ground](int l, int t, int r, int b) {
        if (r > l && b > t) p.fillRect(l, t, r - l, b - t, ground);
    };
    if (edge_ == Top) {
        p.drawRect(0, 0, R - 1, S - 1);
        p.drawLine(19, 0, 19, S - 1);
        fill(20, 1, R - 1, S - 1);
        fill(1, 1, 18, S - 2);
        scale_ = topRulerTicks(R, scroll, paintBoxLength, cardMm);
    } else {
        p.drawLine(R - 1, 0, R - 1, S - 1);
        p.drawLine(0, S - 1, R - 1, S - 1);
        p.drawLine(0, 0, 0, S - 1);
        fill(1, 0, R - 1, S - 1);
        scale_ = leftRulerTicks(S, scroll, paintBoxLength, cardMm);
    }
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qMax(1, 6 * screenDpi / 72));
    p.setFont(font);
    p.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm(font);
    for (const RulerTick& t : scale_.ticks) {
        if (edge_ == Top) {
            switch (t.kind) {
                case TickKind::Major:
                    p.drawLine(t.pos, 0, t.pos, S - 1);
                    p.drawText(t.pos, 1 + fm.ascent(), QString::number(t.value));
                    break;
                case TickKind::Odd:
                    p.drawLine(t.pos, S - S / 3 - 1, t.pos, S - 1);
                    break;
                case TickKind::Even:
                    p.drawLine(t.pos, S - S / 3 + 2, t.pos, S - 1);
                    break;
            }
        } else {
            switch (t.kind) {
                case TickKind::Major:
                    p.drawLine(0, t.pos, R - 1, t.pos);
                    p.drawText(1, t.pos + fm.ascent(), QString::number(t.value));
                    break;
                case TickKind::Odd:
                    p.drawLine(R - R / 3 - 1, t.pos, R - 1, t.pos);
                    break;
                case TickKind::Even:
                    p.drawLine(R - R / 3 + 2, t.pos, R - 1, t.pos);
                    break;
            }
        }
    }
    p.end();
    image_ = std::move(img);
    update();
}

void Ruler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull() || image_.deviceIndependentSize() != QSizeF(size())) {
        p.fillRect(rect(), palette().color(QPalette::Button));
        if (!image_.isNull()) p.drawImage(0, 0, image_);
        return;
    }
    p.drawImage(0, 0, image_);
}

}  // namespace bb
