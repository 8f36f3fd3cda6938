#include "content/DesignPreviews.h"

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/UserDialogs.h"
#include "pictures/AtomicWrite.h"
#include "render/Preview.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMetaObject>

#include <algorithm>
#include <memory>

namespace bb {

namespace {

// A design that cannot be read gives no preview, without a message box on a worker thread.
class QuietDialogs : public UserDialogs {
public:
    int message(const QString&, const QString&, MsgIcon, int buttons) override {
        return (buttons & BtnCancel) ? BtnCancel : (buttons & BtnNo) ? BtnNo : BtnOk;
    }
    FileDialogResult openFile(const FileDialogRequest&) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {}; }
    bool chooseColor(QColor&, const QString&) override { return false; }
    bool chooseFont(QFont&, QColor&, const QString&) override { return false; }
};

// A cached preview file: read only when it is a regular file with a PNG that fits the box.
QImage readCached(const QString& file, QSize box) {
    const QFileInfo info(file);
    if (info.isSymLink() || !info.isFile()) return {};
    QImageReader reader(file, "PNG");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > box.width() ||
        size.height() > box.height())
        return {};
    return reader.read();
}

void writeCached(const QString& folder, const QString& file, const QImage& image) {
    if (!QDir().mkpath(folder)) return;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return;
    // A failed write leaves the cache without this preview; it is drawn again next time.
    writeFileAtomically(file, png);
}

}  // namespace

QImage renderDesignPreview(const QString& cardPath, QSize box) {
    if (box.isEmpty()) return {};
    QuietDialogs dialogs;
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    fc.isModified = [] { return false; };
    auto doc = std::make_unique<CardDocument>();
    if (!openCardFile(*doc, cardPath, fc)) return {};
    const CardFormat& f = doc->format;
    // The front is the right half of the outside.
    const double frontInches = f.cardWidth / 2 / kNominalMmPerInch;
    const double heightInches = f.cardHeight / kNominalMmPerInch;
    if (!(frontInches > 0) || !(heightInches > 0)) return {};
    const double dpi = std::min(box.width() / frontInches, box.height() / heightInches);
    const QImage side = renderSide(*doc, SideOutside, ctx, dpi);
    if (side.isNull()) return {};
    const int half = side.width() / 2;
    return side.copy(half, 0, std::min(side.width() - half, box.width()),
                     std::min(side.height(), box.height()));
}

DesignPreviews::DesignPreviews(QString cacheFolder, QSize box, QObject* parent)
    : QObject(parent),
      cacheFolder_(std::move(cacheFolder)),
      box_(box),
      renderer_(renderDesignPreview) {
    pool_.setMaxThreadCount(1);
}

DesignPreviews::~DesignPreviews() {
    cancel();
}

void DesignPreviews::setRenderer(Renderer renderer) {
    cancel();
    renderer_ = renderer ? std::move(renderer) : Renderer(renderDesignPreview);
}

QString DesignPreviews::cacheKey(const QString& cardPath, QSize box) {
    const QFileInfo info(cardPath);
    if (!info.exists()) return {};
    return QStringLiteral("%1|%2|%3|%4x%5")
        .arg(info.absoluteFilePath())
        .arg(info.size())
        .arg(info.lastModified().toMSecsSinceEpoch())
        .arg(box.width())
        .arg(box.height());
}

QString DesignPreviews::cacheFile(const QString& cacheFolder, const QString& key) {
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    return QDir(cacheFolder).filePath(QString::fromLatin1(hash.toHex()) + QStringLiteral(".png"));
}

QImage DesignPreviews::preview(const QString& cardPath) {
    const QString key = cacheKey(cardPath, box_);
    if (key.isEmpty()) return {};
    const auto held = held_.constFind(cardPath);
    if (held != held_.constEnd() && held->key == key) return held->image;
    const auto asked = pending_.constFind(cardPath);
    if (asked != pending_.constEnd() && *asked == key) return {};
    pending_.insert(cardPath, key);
    quint64 generation = 0;
    {
        std::lock_guard lock(mutex_);
        generation = generation_;
    }
    pool_.start([this, cardPath, key, generation] { make(cardPath, key, generation); });
    return {};
}

void DesignPreviews::make(const QString& cardPath, const QString& key, quint64 generation) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
    }
    const QString file = cacheFolder_.isEmpty() ? QString() : cacheFile(cacheFolder_, key);
    QImage image = file.isEmpty() ? QImage() : readCached(file, box_);
    if (image.isNull()) {
        image = renderer_(cardPath, box_);
        ++drawn_;
        if (!image.isNull() && !file.isEmpty()) writeCached(cacheFolder_, file, image);
    }
    QMetaObject::invokeMethod(
        this,
        [this, cardPath, key, generation, image] { deliver(cardPath, key, generation, image); },
        Qt::QueuedConnection);
}

void DesignPreviews::deliver(const QString& cardPath, const QString& key, quint64 generation,
                             const QImage& image) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) return;
    }
    if (pending_.value(cardPath) == key) pending_.remove(cardPath);
    held_.insert(cardPath, Held{key, image});
    emit previewReady(cardPath, image);
}

void DesignPreviews::cancel() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
    }
    pool_.clear();
    pool_.waitForDone();
    pending_.clear();
}

}  // namespace bb
