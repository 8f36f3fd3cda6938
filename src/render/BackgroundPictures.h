// Pictures for the editor's views, decoded on worker threads: a view asks for a picture at the
// size it draws it and gets the pixels when they are ready, the previous size of the same picture
// meanwhile (stretched), or nothing (the renderer draws the loading box). When a decode arrives,
// arrived() asks the views to repaint. The window therefore never waits for a photo to decode,
// neither when a card opens nor when the view zooms or switches sides.
#pragma once

#include "pictures/PicturePixels.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <mutex>

namespace bb {

class BackgroundPictures : public QObject, public PicturePixels {
    Q_OBJECT
public:
    // Makes the pixels of a picture at a size; called on a worker thread. Returns the picture
    // itself when it cannot do better (a picture that fails to decode is its own stand-in).
    using Decoder = std::function<DibImage(const DibImage&, QSize)>;

    // `decoder` defaults to scaledPicture; tests pass one they hold at a gate. `threads` 0
    // leaves one core to the window (at least one worker).
    explicit BackgroundPictures(Decoder decoder = {}, int threads = 0, QObject* parent = nullptr);
    // Drops the queued decodes and waits for the running ones (each is one bounded decode).
    ~BackgroundPictures() override;
    BackgroundPictures(const BackgroundPictures&) = delete;
    BackgroundPictures& operator=(const BackgroundPictures&) = delete;

    // GUI thread only.
    DibImage pixels(const DibImage& picture, QSize size) const override;

    // Forgets every result and drops the queued decodes; running ones finish unseen.
    void clear();
    // Decodes queued or running.
    int pending() const;
    // Replaces the decoder and forgets everything (tests hold the window's decodes at a gate).
    void setDecoder(Decoder decoder, int threads = 0);

signals:
    // Pixels of a picture arrived: the views should draw again.
    void arrived();

private:
    struct Key {
        const void* picture = nullptr;
        int width = 0, height = 0;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& k, size_t seed = 0) {
            return qHashMulti(seed, k.picture, k.width, k.height);
        }
    };
    struct Result {
        DibImage source;  // keeps the picture, and so its identity, while the result is held
        QSize size;
        DibImage pixels;
    };

    void request(const DibImage& picture, QSize size) const;
    void deliver(Key key, quint64 generation, DibImage source, QSize size, DibImage pixels);
    void dropUnused() const;

    Decoder decoder_;
    mutable QThreadPool pool_;
    mutable std::mutex mutex_;              // guards pending_ and generation_ (worker threads)
    mutable QHash<Key, DibImage> pending_;  // queued or running, with the picture asked for
    quint64 generation_ = 0;
    // The newest pixels of each picture (one size per picture), GUI thread only.
    mutable QHash<const void*, Result> results_;
};

}  // namespace bb
