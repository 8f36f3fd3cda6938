// The gallery's previews of card designs, drawn from the designs themselves in the background
// and kept twice: in memory for this run and as PNG files in the user's cache folder for the
// next. A preview is known by the card file's path, its size and modification time and the
// preview box, so a changed design is drawn again. Damaged cache files are drawn again and
// replaced; every cache file is written atomically.
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <mutex>

namespace bb {

// The front of the card at `cardPath` (the right half of its outside) drawn to fit `box`; a
// null image when the card cannot be read or gives no pixels. Safe on any thread.
QImage renderDesignPreview(const QString& cardPath, QSize box);

class DesignPreviews : public QObject {
    Q_OBJECT
public:
    // Draws the preview of a card into a box; called on a worker thread.
    using Renderer = std::function<QImage(const QString& cardPath, QSize box)>;

    // `cacheFolder` holds the preview files (made when the first is written); empty keeps
    // previews in memory only. One worker thread: the window keeps the other core.
    DesignPreviews(QString cacheFolder, QSize box, QObject* parent = nullptr);
    // Drops the queued previews and waits for the one being made.
    ~DesignPreviews() override;
    DesignPreviews(const DesignPreviews&) = delete;
    DesignPreviews& operator=(const DesignPreviews&) = delete;

    // Replaces how previews are drawn (tests count the drawings or hold them at a gate).
    void setRenderer(Renderer renderer);

    QSize box() const { return box_; }
    const QString& cacheFolder() const { return cacheFolder_; }

    // GUI thread only. The preview of the card at `cardPath` when this run has it for the
    // file as it is now; otherwise a null image, and previewReady() follows once it has been
    // read from the cache folder or drawn.
    QImage preview(const QString& cardPath);
    // Drops the queued previews and waits for the one being made; its result is not
    // delivered. Previews already made stay in memory.
    void cancel();
    // Previews asked for and not yet delivered.
    int pending() const { return int(pending_.size()); }
    // How many previews were drawn (not taken from a cache) since this object was made.
    int drawCount() const { return drawn_.load(); }

    // The key of a preview: path, file size, modification time and box; empty when the file
    // does not exist.
    static QString cacheKey(const QString& cardPath, QSize box);
    // The cache file of a key inside `cacheFolder`.
    static QString cacheFile(const QString& cacheFolder, const QString& key);

signals:
    // A preview arrived; a null image when the card could not be drawn.
    void previewReady(const QString& cardPath, const QImage& image);

private:
    struct Held {
        QString key;
        QImage image;
    };
    void make(const QString& cardPath, const QString& key, quint64 generation);
    void deliver(const QString& cardPath, const QString& key, quint64 generation,
                 const QImage& image);

    QString cacheFolder_;
    QSize box_;
    Renderer renderer_;
    QThreadPool pool_;
    std::mutex mutex_;  // guards generation_ for the worker
    quint64 generation_ = 0;
    std::atomic<int> drawn_{0};
    QHash<QString, QString> pending_;  // card path → key asked for (GUI thread)
    QHash<QString, Held> held_;        // card path → newest preview (GUI thread)
};

}  // namespace bb
