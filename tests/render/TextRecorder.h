// A paint device that paints nothing and keeps the text items painted on it, so that tests
// can read the lines a render breaks a text into at any scale without looking at pixels.
#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>
#include <QTextItem>

#include <map>
#include <ostream>

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace rendertest {

class TextRecorder : public QPaintDevice {
public:
    TextRecorder(int w, int h) : engine_(this), w_(w), h_(h) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

    // The painted lines from top to bottom: the items of each baseline from left to right,
    // joined and without surrounding spaces.
    QStringList lines() const {
        QStringList result;
        for (const auto& [y, items] : items_) {
            QString line;
            for (const auto& [x, text] : items) line += text;
            result << line.trimmed();
        }
        return result;
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth:
                return w_;
            case PdmHeight:
                return h_;
            case PdmWidthMM:
                return w_ * 254 / 960;
            case PdmHeightMM:
                return h_ * 254 / 960;
            case PdmDepth:
                return 32;
            case PdmNumColors:
                return 0x7FFFFFFF;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:  // resolutions
                return 96;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(TextRecorder* owner) : QPaintEngine(AllFeatures), owner_(owner) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&,
                       Qt::ImageConversionFlags) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            owner_->items_[qRound(p.y() * 64)].emplace(p.x(), item.text());
        }
        Type type() const override { return User; }

    private:
        TextRecorder* owner_;
    };

    mutable Engine engine_;
    int w_, h_;
    std::map<int, std::multimap<qreal, QString>> items_;  // by baseline in 1/64 pixel
};

}  // namespace rendertest
