// The ornament catalogue, the drawing of ornaments from their SVG and their 1.0 pictures.
#include "render/Ornaments.h"

#include "document/CardExtension.h"
#include "document/FolderFile.h"
#include "pictures/PictureOps.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QtGlobal>

#include <algorithm>
#include <map>
#include <memory>

static void initOrnamentResource() {
    // The ornaments are compiled into this static library; the linker keeps them only when named.
    Q_INIT_RESOURCE(ornaments);
}

namespace bb {

namespace {

constexpr qint64 kMaxCatalogueBytes = 1024 * 1024;
constexpr qint64 kMaxSvgBytes = 4 * 1024 * 1024;
// Loaded drawings kept for reuse; a full cache starts afresh.
constexpr size_t kCachedDrawings = 96;

QByteArray readSmallFile(const QString& path, qint64 limit) {
    QFile f(path);
    // Only regular files (a resource or an installed file), never a device or a pipe.
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly) || f.size() > limit) return {};
    return f.readAll();
}

QString colourHex(uint32_t colorRef) {
    const QColor c = toQColor(colorRef);
    return QStringLiteral("%1%2%3")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'));
}

// One loaded drawing, used by one painter at a time.
struct Drawing {
    QMutex mutex;
    std::unique_ptr<QSvgRenderer> renderer;
};

class DrawingCache {
public:
    std::shared_ptr<Drawing> get(const QString& name, const QColor& colour) {
        const QString key =
            name + QLatin1Char('|') + (colour.isValid() ? colour.name() : QString());
        QMutexLocker lock(&mutex_);
        if (auto it = drawings_.find(key); it != drawings_.end()) return it->second;
        QByteArray svg = ornamentSvg(name);
        if (svg.isEmpty()) return {};
        if (colour.isValid()) svg = recolouredSvg(svg, colour);
        auto drawing = std::make_shared<Drawing>();
        drawing->renderer = std::make_unique<QSvgRenderer>(svg);
        if (!drawing->renderer->isValid()) return {};
        // Drawn from whichever thread asks; it belongs to none.
        drawing->renderer->moveToThread(nullptr);
        if (drawings_.size() >= kCachedDrawings) drawings_.clear();
        drawings_.emplace(key, drawing);
        return drawing;
    }

private:
    QMutex mutex_;
    std::map<QString, std::shared_ptr<Drawing>> drawings_;
};

DrawingCache& drawingCache() {
    static DrawingCache cache;
    return cache;
}

const QString& resourceFolder() {
    static const QString folder = [] {
        initOrnamentResource();
        return QStringLiteral(":/ornaments");
    }();
    return folder;
}

}  // namespace

std::vector<OrnamentInfo> readOrnamentCatalogue(const QString& folder) {
    std::vector<OrnamentInfo> out;
    const QString csvPath = folder + QStringLiteral("/ornaments.csv");
    const QByteArray csv = readSmallFile(csvPath, kMaxCatalogueBytes);
    if (csv.isEmpty()) {
        qWarning("Schmuck: Katalog %s fehlt oder ist nicht lesbar", qUtf8Printable(csvPath));
        return out;
    }
    const QList<QByteArray> lines = csv.split('\n');
    if (lines.first().trimmed() != "name,category,label,recolourable") {
        qWarning("Schmuck: Katalog %s hat keine gültige Kopfzeile", qUtf8Printable(csvPath));
        return out;
    }
    QSet<QString> seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty()) continue;
        const QList<QByteArray> fields = line.split(',');
        const auto skip = [&](const char* why) {
            qWarning("Schmuck: Zeile %lld des Katalogs ausgelassen: %s", qlonglong(i + 1), why);
        };
        if (fields.size() != 4) {
            skip("nicht vier Felder");
            continue;
        }
        OrnamentInfo info;
        info.name = QString::fromUtf8(fields[0].trimmed());
        info.category = QString::fromUtf8(fields[1].trimmed());
        info.label = QString::fromUtf8(fields[2].trimmed());
        const QByteArray flag = fields[3].trimmed();
        if (!isOrnamentName(info.name)) {
            skip("ungültiger Name");
            continue;
        }
        if (info.category.isEmpty() || info.label.isEmpty() || (flag != "0" && flag != "1")) {
            skip("Kategorie, Bezeichnung oder Umfärbbarkeit fehlt");
            continue;
        }
        if (seen.contains(info.name)) {
            skip("Name doppelt");
            continue;
        }
        info.recolourable = flag == "1";
        const QByteArray svg = readSmallFile(
            folder + QStringLiteral("/svg/") + info.name + QStringLiteral(".svg"), kMaxSvgBytes);
        // currentColor is drawn as some colour; what counts is that the drawing loads.
        QSvgRenderer check(info.recolourable ? recolouredSvg(svg, Qt::black) : svg);
        if (svg.isEmpty() || !check.isValid()) {
            skip("SVG fehlt oder lädt nicht");
            continue;
        }
        info.size = check.viewBoxF().size();
        if (info.size.isEmpty()) info.size = check.defaultSize();
        if (info.size.isEmpty()) {
            skip("SVG ohne Größe");
            continue;
        }
        seen.insert(info.name);
        out.push_back(std::move(info));
    }
    return out;
}

const std::vector<OrnamentInfo>& ornamentCatalogue() {
    static const std::vector<OrnamentInfo> catalogue = readOrnamentCatalogue(resourceFolder());
    return catalogue;
}

const OrnamentInfo* findOrnament(const QString& name) {
    if (name.isEmpty()) return nullptr;
    for (const OrnamentInfo& info : ornamentCatalogue())
        if (info.name == name) return &info;
    return nullptr;
}

QStringList ornamentCategories() {
    QStringList out;
    for (const OrnamentInfo& info : ornamentCatalogue())
        if (!out.contains(info.category)) out << info.category;
    return out;
}

QByteArray ornamentSvg(const QString& name) {
    if (!findOrnament(name)) return {};
    return readSmallFile(resourceFolder() + QStringLiteral("/svg/") + name + QStringLiteral(".svg"),
                         kMaxSvgBytes);
}

QByteArray recolouredSvg(const QByteArray& svg, const QColor& colour) {
    QByteArray out = svg;
    return out.replace("currentColor", colour.name(QColor::HexRgb).toLatin1());
}

QColor ornamentColour(const OrnamentInfo& info, uint32_t colorRef) {
    return info.recolourable ? toQColor(colorRef & 0xFFFFFF) : QColor();
}

bool drawOrnament(QPainter& p, const QString& name, const QRectF& target, const QColor& colour) {
    if (target.isEmpty()) return findOrnament(name) != nullptr;
    const std::shared_ptr<Drawing> drawing = drawingCache().get(name, colour);
    if (!drawing) return false;
    QMutexLocker lock(&drawing->mutex);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    drawing->renderer->render(&p, target);
    p.restore();
    return true;
}

QRectF fitAspect(const QSizeF& size, const QRectF& box) {
    if (size.isEmpty() || box.isEmpty()) return box;
    const QSizeF fitted = size.scaled(box.size(), Qt::KeepAspectRatio);
    QRectF r(QPointF(), fitted);
    r.moveCenter(box.center());
    return r;
}

QImage ornamentImage(const QString& name, const QSize& size, const QColor& colour) {
    const OrnamentInfo* info = findOrnament(name);
    if (!info || size.isEmpty()) return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawOrnament(p, name, fitAspect(info->size, QRectF(QPointF(), QSizeF(size))), colour);
    p.end();
    return image;
}

QString ornamentPictureName(const OrnamentInfo& info, uint32_t colorRef) {
    QString name = QStringLiteral("Schmuck-") + info.name;
    if (info.recolourable) name += QLatin1Char('-') + colourHex(colorRef & 0xFFFFFF);
    return name + QStringLiteral(".png");
}

QImage ornamentPicture(const OrnamentInfo& info, uint32_t colorRef) {
    const QSizeF s = info.size.scaled(QSizeF(kOrnamentPicturePixels, kOrnamentPicturePixels),
                                      Qt::KeepAspectRatio);
    const QSize size(std::max(1, qRound(s.width())), std::max(1, qRound(s.height())));
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    if (drawn.isNull()) return {};
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        if (!drawOrnament(p, info.name, QRectF(QPointF(), QSizeF(size)),
                          ornamentColour(info, colorRef)))
            return {};
    }
    QImage out(size, QImage::Format_RGB888);
    if (out.isNull()) return {};
    for (int y = 0; y < size.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            const QRgb px = in[x];
            const int a = qAlpha(px);
            int r = 255, g = 255, b = 255;
            // Mostly covered pixels are the ornament on white; the rest is the ground.
            if (a >= 128) {
                r = qRed(px) + 255 - a;
                g = qGreen(px) + 255 - a;
                b = qBlue(px) + 255 - a;
                if (r == 255 && g == 255 && b == 255) r = g = b = 254;
            }
            line[3 * x] = uchar(r);
            line[3 * x + 1] = uchar(g);
            line[3 * x + 2] = uchar(b);
        }
    }
    return out;
}

QByteArray ornamentPicturePng(const OrnamentInfo& info, uint32_t colorRef) {
    const QImage image = ornamentPicture(info, colorRef);
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) return {};
    return bytes;
}

void makeOrnamentObject(CardObject& o, const OrnamentInfo& info, uint32_t colorRef) {
    o.kind = KindPicture;
    o.extras.ornament = info.name;
    o.color = info.recolourable ? (colorRef & 0xFFFFFF) : 0;
    o.content = ornamentPictureName(info, o.color);
    o.keepAspect = true;
    o.transparent = true;
    o.autoTransparent = false;
    o.transparentColor = int32_t(kOrnamentGround);
    // A small copy of the 1.0 picture, so that everything that works on the object's picture
    // (turning, the picture budget) has one; drawing uses the vector.
    QImage small = ornamentPicture(info, o.color);
    if (!small.isNull())
        small = small.scaled(small.size().scaled(256, 256, Qt::KeepAspectRatio),
                             Qt::IgnoreAspectRatio, Qt::FastTransformation);
    DibImage picture = small.isNull() ? DibImage() : dibFromQImage(small);
    if (picture.isNull()) makeStandIn(picture);
    o.picture = picture;
}

bool isRecolourableOrnament(const CardObject& o) {
    if (o.kind != KindPicture) return false;
    const OrnamentInfo* info = findOrnament(o.extras.ornament);
    return info && info->recolourable;
}

void setObjectColour(CardObject& o, uint32_t colorRef) {
    o.color = colorRef;
    if (o.kind != KindPicture) return;
    if (const OrnamentInfo* info = findOrnament(o.extras.ornament))
        o.content = ornamentPictureName(*info, o.color);
}

QStringList writeOrnamentPictures(CardDocument& doc, const QString& cardPath) {
    QStringList problems;
    const QString folder = QFileInfo(cardPath).absolutePath();
    QSet<QString> done;
    for (int side : {int(SideOutside), int(SideInside)}) {
        for (CardObject* o : doc.sideSlots(side)) {
            if (!o || o->kind != KindPicture || o->extras.ornament.isEmpty()) continue;
            const OrnamentInfo* info = findOrnament(o->extras.ornament);
            if (!info) continue;
            const QString name = ornamentPictureName(*info, o->color);
            o->content = name;
            if (done.contains(name)) continue;
            done.insert(name);
            const QByteArray png = ornamentPicturePng(*info, o->color);
            if (png.isEmpty()) {
                problems << name + QStringLiteral(": nicht gezeichnet");
                continue;
            }
            if (folderEntry(folder, name) == FolderEntry::RegularFile &&
                readSmallFile(folder + QLatin1Char('/') + name, kMaxSvgBytes) == png)
                continue;
            QString why;
            if (writeFileInFolder(folder, name, png, true, &why) != FolderWrite::Written)
                problems << name + QStringLiteral(": ") +
                                (why.isEmpty() ? QStringLiteral("Name belegt") : why);
        }
    }
    return problems;
}

QString writeOrnamentSvg(const QString& folder, const OrnamentInfo& info) {
    const QByteArray svg = ornamentSvg(info.name);
    if (svg.isEmpty()) return QStringLiteral("SVG nicht gefunden");
    const QString file = info.name + QStringLiteral(".svg");
    QString why;
    switch (writeFileInFolder(folder, file, svg, true, &why)) {
        case FolderWrite::Written:
            return {};
        case FolderWrite::NameTaken:
            return QStringLiteral("%1 ist keine gewöhnliche Datei").arg(file);
        default:
            return why.isEmpty() ? QStringLiteral("Schreiben fehlgeschlagen") : why;
    }
}

OrnamentFiles writeOrnamentSvgs(const CardDocument& doc, const QString& cardPath) {
    OrnamentFiles out;
    const QString folder = QFileInfo(cardPath).absolutePath();
    QSet<QString> done;
    for (int side : {int(SideOutside), int(SideInside)}) {
        for (const CardObject* o : doc.sideSlots(side)) {
            if (!o || o->kind != KindPicture) continue;
            const OrnamentInfo* info = findOrnament(o->extras.ornament);
            if (!info || done.contains(info->name)) continue;
            done.insert(info->name);
            const QString why = writeOrnamentSvg(folder, *info);
            if (why.isEmpty())
                out.written << info->name + QStringLiteral(".svg");
            else
                out.failed << info->name + QStringLiteral(".svg: ") + why;
        }
    }
    return out;
}

}  // namespace bb
