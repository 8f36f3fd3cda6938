// Pictures decoded before an output draws them; see PicturePrefetch.h.
#include "render/PicturePrefetch.h"

#include "pictures/ScaledPictures.h"
#include "render/Renderer.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QSet>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>

namespace bb {

namespace {

// A paint engine that draws nothing: the picture pass only needs the painter's state.
class NothingEngine : public QPaintEngine {
public:
    NothingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice* /*device*/) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& /*state*/) override {}
    void drawPixmap(const QRectF& /*r*/, const QPixmap& /*pm*/, const QRectF& /*sr*/) override {}
    void drawImage(const QRectF& /*r*/, const QImage& /*pm*/, const QRectF& /*sr*/,
                   Qt::ImageConversionFlags /*flags*/) override {}
    void drawTiledPixmap(const QRectF& /*r*/, const QPixmap& /*pixmap*/,
                         const QPointF& /*s*/) override {}
    void drawRects(const QRect* /*rects*/, int /*rectCount*/) override {}
    void drawRects(const QRectF* /*rects*/, int /*rectCount*/) override {}
    void drawLines(const QLine* /*lines*/, int /*lineCount*/) override {}
    void drawLines(const QLineF* /*lines*/, int /*lineCount*/) override {}
    void drawEllipse(const QRectF& /*r*/) override {}
    void drawEllipse(const QRect& /*r*/) override {}
    void drawPath(const QPainterPath& /*path*/) override {}
    void drawPoints(const QPointF* /*points*/, int /*pointCount*/) override {}
    void drawPoints(const QPoint* /*points*/, int /*pointCount*/) override {}
    void drawPolygon(const QPointF* /*points*/, int /*pointCount*/,
                     PolygonDrawMode /*mode*/) override {}
    void drawPolygon(const QPoint* /*points*/, int /*pointCount*/,
                     PolygonDrawMode /*mode*/) override {}
    void drawTextItem(const QPointF& /*p*/, const QTextItem& /*textItem*/) override {}
    Type type() const override { return User; }
};

// A device of another device's size and resolution that draws nothing. Its painter takes the
// other painter's whole transform (device pixel ratio included) as its own, so every size
// maps to the same device pixels.
class NothingDevice : public QPaintDevice {
public:
    explicit NothingDevice(const QPaintDevice* like)
        : width_(like ? like->width() : 0),
          height_(like ? like->height() : 0),
          widthMM_(like ? like->widthMM() : 0),
          heightMM_(like ? like->heightMM() : 0),
          dpiX_(like ? like->logicalDpiX() : 96),
          dpiY_(like ? like->logicalDpiY() : 96) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return width_;
            case PdmHeight:
                return height_;
            case PdmWidthMM:
                return widthMM_;
            case PdmHeightMM:
                return heightMM_;
            case PdmNumColors:
                return INT_MAX;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return dpiX_;
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return dpiY_;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:
                return QPaintDevice::metric(metric);
        }
    }

private:
    int width_, height_, widthMM_, heightMM_, dpiX_, dpiY_;
    mutable NothingEngine engine_;
};

// Answers every picture with "not ready" and notes what was asked for.
class RequestRecorder : public PicturePixels {
public:
    DibImage pixels(const DibImage& picture, QSize size) const override {
        requests.push_back({picture, size});
        return {};
    }
    mutable std::vector<PictureRequest> requests;
};

using HeldKey = std::pair<const void*, QSize>;

// One decode: every request of the same file (or the same pixels), turn and size shares it.
struct DecodeJob {
    DibImage picture;
    QSize size;
    std::vector<HeldKey> askedAs;  // the shared pixels and size of every request it answers
    DibImage result;
    bool ready = false;
};

// The decodes of one prefetch, shared with the pool's threads that help with them: each thread
// takes the next job not yet taken, so the calling thread alone finishes them when the pool
// is busy with other work.
struct DecodeRun {
    std::vector<DecodeJob> jobs;
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable changed;
    size_t finished = 0;

    void work() {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            DibImage result = scaledPicture(jobs[i].picture, jobs[i].size);
            const std::lock_guard lock(mutex);
            jobs[i].result = std::move(result);
            jobs[i].ready = true;
            ++finished;
            changed.notify_all();
        }
    }
};

// How long an output waits for a decode that a helping thread has begun; a picture not ready
// by then is decoded by the draw itself.
constexpr auto kHelperWait = std::chrono::minutes(2);

// A reduced copy is one decode per file, turn and size; a picture not yet decoded and drawn
// from its own pixels is one decode whatever the sizes it is drawn at.
QString decodeKey(const DibImage& picture, QSize size, bool reduced) {
    if (!reduced) return QStringLiteral("@%1").arg(quintptr(picture.sharedId()));
    const QString file = picture.sourceFile();
    const QString what = file.isEmpty()
                             ? QStringLiteral("@%1").arg(quintptr(picture.sharedId()))
                             : QStringLiteral("%1|%2").arg(file).arg(picture.sourceTurn());
    return QStringLiteral("%1|%2x%3").arg(what).arg(size.width()).arg(size.height());
}

// Runs the jobs on up to the ideal thread count, the calling thread taking its share.
void decodeInParallel(const std::shared_ptr<DecodeRun>& run) {
    const size_t threads =
        std::min<size_t>(size_t(std::max(1, QThread::idealThreadCount())), run->jobs.size());
    for (size_t t = 1; t < threads; ++t)
        QThreadPool::globalInstance()->start([run] { run->work(); });
    run->work();
    std::unique_lock lock(run->mutex);
    run->changed.wait_for(lock, kHelperWait, [&run] { return run->finished == run->jobs.size(); });
}

}  // namespace

std::vector<PictureRequest> sidePictureRequests(const QPainter& painter, const CardDocument& doc,
                                                int side, const RenderContext& ctx, int areaWidth,
                                                int areaHeight, int scrollX, int scrollY,
                                                double scale, bool editorMode) {
    auto recorder = std::make_shared<RequestRecorder>();
    RenderContext recording = ctx;
    recording.pictures = recorder;
    NothingDevice device(painter.device());
    {
        QPainter pass(&device);
        pass.setWorldTransform(painter.deviceTransform());
        if (painter.hasClipping()) pass.setClipRegion(painter.clipRegion());
        drawCardSidePictures(pass, doc, side, recording, areaWidth, areaHeight, scrollX, scrollY,
                             scale, editorMode);
    }
    std::vector<PictureRequest> unique;
    QSet<std::pair<const void*, QSize>> seen;
    for (PictureRequest& r : recorder->requests) {
        const auto id = std::pair(r.picture.sharedId(), r.size);
        if (seen.contains(id)) continue;
        seen.insert(id);
        unique.push_back(std::move(r));
    }
    return unique;
}

DibImage PreparedPictures::pixels(const DibImage& picture, QSize size) const {
    if (auto it = held_.constFind(std::pair(picture.sharedId(), size)); it != held_.constEnd())
        return *it;
    return scaledPicture(picture, size);
}

std::shared_ptr<const PreparedPictures> preparePictures(
    const std::vector<PictureRequest>& requests) {
    auto prepared = std::make_shared<PreparedPictures>();
    auto run = std::make_shared<DecodeRun>();
    std::vector<DecodeJob>& jobs = run->jobs;
    QHash<QString, size_t> jobOf;
    QSet<HeldKey> seen;
    for (const PictureRequest& r : requests) {
        const bool reduced = drawsReduced(r.picture, r.size);
        // Drawn from its own pixels, already in memory.
        if (!reduced && !r.picture.isDeferred()) continue;
        const HeldKey id(r.picture.sharedId(), r.size);
        if (seen.contains(id)) continue;
        seen.insert(id);
        bool exact = false;
        const DibImage cached = cachedScaledPicture(r.picture, r.size, &exact);
        if (!cached.isNull() && exact) {
            prepared->held_.insert(id, cached);
            continue;
        }
        const QString key = decodeKey(r.picture, r.size, reduced);
        if (auto it = jobOf.constFind(key); it != jobOf.constEnd()) {
            jobs[*it].askedAs.push_back(id);
            continue;
        }
        jobOf.insert(key, jobs.size());
        jobs.push_back({r.picture, r.size, {id}, {}, false});
    }
    decodeInParallel(run);
    const std::lock_guard lock(run->mutex);
    for (const DecodeJob& job : jobs) {
        if (!job.ready) continue;
        for (const HeldKey& id : job.askedAs) prepared->held_.insert(id, job.result);
        ++prepared->decoded_;
    }
    return prepared;
}

void drawOutputSide(QPainter& painter, const CardDocument& doc, int side, const RenderContext& ctx,
                    int areaWidth, int areaHeight, int scrollX, int scrollY, double scale) {
    const auto prepared = preparePictures(sidePictureRequests(
        painter, doc, side, ctx, areaWidth, areaHeight, scrollX, scrollY, scale, false));
    drawCardSide(painter, doc, side, withPreparedPictures(ctx, prepared), areaWidth, areaHeight,
                 scrollX, scrollY, scale, false);
}

}  // namespace bb
