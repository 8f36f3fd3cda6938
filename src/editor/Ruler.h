// A millimetre ruler beside an editor view: the top ruler (TRuler, TRuler2, 20 pixels high,
// with the corner box at its left end) or the left ruler (LRuler, LRuler2, 20 pixels wide).
// The view's paint handler draws the ruler into an off-screen image; the widget shows it.
#pragma once

#include "editor/RulerMath.h"

#include <QImage>
#include <QWidget>

namespace bb {

class Ruler : public QWidget {
    Q_OBJECT
public:
    enum Edge { Top, Left };
    static constexpr int kThickness = 20;

    Ruler(Edge edge, QWidget* parent = nullptr);
    Edge edge() const { return edge_; }

    // TRulerPaint / LRulerPaint: draws the scale for a view scrolled to `scroll` whose paint
    // box is `paintBoxLength` pixels long in the ruler's direction, for a card `cardMm`
    // millimetres long in that direction. `screenDpi` sizes the labels' 6-point font.
    void paintRuler(int scroll, int paintBoxLength, double cardMm, int screenDpi);

    // The last drawn ruler image and its scale (tests, screenshots).
    const QImage& image() const { return image_; }
    const RulerScale& scale() const { return scale_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Edge edge_;
    QImage image_;
    RulerScale scale_;
};

}  // namespace bb
