// The drawn artwork of the shipped designs: backgrounds (washes, lights, snow, paper ...) that
// fill a whole side, and motifs (roses, balloons, candles, fir branches ...) drawn into a box.
// Every painter is deterministic: the same parameters give the same pixels.
#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace bb {

struct PaintParams {
    QList<QColor> colours;  // the painter's colours in its own order
    quint32 seed = 1;
    int count = 0;  // how many of the painter's items (0: its own choice)
    bool mirror = false;

    // Colour i, or `fallback` when fewer are given.
    QColor colour(int i, const QColor& fallback) const {
        return i < colours.size() && colours[i].isValid() ? colours[i] : fallback;
    }
};

// Fills `area` (the whole side) with the background `name`; false for an unknown name.
bool paintBackground(QPainter& p, const QRectF& area, const QString& name,
                     const PaintParams& params);
// Draws the motif `name` into `box`; false for an unknown name.
bool paintMotif(QPainter& p, const QRectF& box, const QString& name, const PaintParams& params);

QStringList backgroundPainterNames();
QStringList motifPainterNames();

}  // namespace bb
