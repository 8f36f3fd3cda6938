#include "content/DesignBuilder.h"

#include "content/DesignLibrary.h"
#include "content/DesignPainters.h"
#include "content/SideBuilder.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/CardPaper.h"
#include "document/ConsoleDialogs.h"
#include "pictures/AtomicWrite.h"
#include "pictures/PictureFormat.h"
#include "render/Preview.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace bb {

namespace {

// A fault in the description; it names the design and what is wrong.
struct DescriptionError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString& why) {
    throw DescriptionError(why.toStdString());
}

// Font sizes in the description are meant for a half of this size.
constexpr double kReferenceHalfWidth = 105.0;
constexpr double kReferenceHeight = 148.5;

QColor colourOf(const QJsonValue& v, const QString& where) {
    const QColor c = QColor::fromString(v.toString());
    if (!c.isValid()) fail(QStringLiteral("%1: no colour \"%2\"").arg(where, v.toString()));
    return c;
}

ColorRef refOf(const QJsonValue& v, const QString& where) {
    return fromQColor(colourOf(v, where));
}

PaintParams paramsOf(const QJsonObject& o, const QString& where) {
    PaintParams pp;
    for (const QJsonValue c : o.value(QStringLiteral("colours")).toArray())
        pp.colours << colourOf(c, where);
    pp.seed = quint32(o.value(QStringLiteral("seed")).toInt(1));
    pp.count = o.value(QStringLiteral("count")).toInt(0);
    pp.mirror = o.value(QStringLiteral("mirror")).toBool(false);
    return pp;
}

// The side being built: the card's geometry, its background picture and its objects.
struct SideContext {
    CardDocument& doc;
    int side;
    QString dir;       // the output folder
    QString baseName;  // the design's file name, for picture names
    double pxPerMm;
    QImage background;  // as the card will show it (after JPEG coding)
    QStringList& failed;
    int pictures = 0;

    double halfWidth() const { return doc.format.cardWidth / 2; }
    double height() const { return doc.format.cardHeight; }
};

// A box [half, x, y, w, h] in card millimetres.
QRectF boxOf(const SideContext& s, const QJsonValue& v, const QString& where) {
    const QJsonArray a = v.toArray();
    if (a.size() != 5) fail(QStringLiteral("%1: a box is [half, x, y, width, height]").arg(where));
    const QString half = a[0].toString();
    double left = 0, width = s.halfWidth();
    const bool outside = s.side == SideOutside;
    if (half == QLatin1String("full")) {
        width = s.doc.format.cardWidth;
    } else if (half == (outside ? QLatin1String("front") : QLatin1String("right"))) {
        left = s.halfWidth();
    } else if (half != (outside ? QLatin1String("back") : QLatin1String("left"))) {
        fail(QStringLiteral("%1: no half \"%2\" on this side").arg(where, half));
    }
    return {left + a[1].toDouble() * width, a[2].toDouble() * s.height(), a[3].toDouble() * width,
            a[4].toDouble() * s.height()};
}

QRectF pixelsOf(const SideContext& s, const QRectF& mm) {
    return {mm.x() * s.pxPerMm, mm.y() * s.pxPerMm, mm.width() * s.pxPerMm,
            mm.height() * s.pxPerMm};
}

void paintSideBackground(SideContext& s, const QJsonObject& sideJson, const QString& where) {
    const QJsonObject bg = sideJson.value(QStringLiteral("background")).toObject();
    Background& target = s.side == SideOutside ? s.doc.outsideBackground : s.doc.insideBackground;
    const QJsonArray motifs = sideJson.value(QStringLiteral("motifs")).toArray();
    if (bg.contains(QStringLiteral("colour")) && motifs.isEmpty()) {
        target.backgroundMode = BgColor;
        target.backgroundColor = refOf(bg.value(QStringLiteral("colour")), where);
        s.background =
            QImage(qMax(1, int(std::lround(s.doc.format.cardWidth * s.pxPerMm))),
                   qMax(1, int(std::lround(s.height() * s.pxPerMm))), QImage::Format_RGB32);
        s.background.fill(colourOf(bg.value(QStringLiteral("colour")), where));
        return;
    }
    QImage img(int(std::lround(s.doc.format.cardWidth * s.pxPerMm)),
               int(std::lround(s.height() * s.pxPerMm)), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        const QString painter = bg.value(QStringLiteral("painter")).toString();
        if (bg.contains(QStringLiteral("colour")))
            p.fillRect(img.rect(), colourOf(bg.value(QStringLiteral("colour")), where));
        else if (!paintBackground(p, QRectF(img.rect()), painter, paramsOf(bg, where)))
            fail(QStringLiteral("%1: no background painter \"%2\"").arg(where, painter));
        for (const QJsonValue m : motifs) {
            const QJsonObject mo = m.toObject();
            const QString name = mo.value(QStringLiteral("painter")).toString();
            const QRectF box = pixelsOf(s, boxOf(s, mo.value(QStringLiteral("box")), where));
            if (!paintMotif(p, box, name, paramsOf(mo, where)))
                fail(QStringLiteral("%1: no motif painter \"%2\"").arg(where, name));
        }
    }
    const QString file = QStringLiteral("%1-%2.jpg")
                             .arg(s.baseName, s.side == SideOutside ? QStringLiteral("aussen")
                                                                    : QStringLiteral("innen"));
    target.backgroundMode = BgStretched;
    target.backgroundFile = file;
    target.backgroundPicture = writePicture(img, s.dir, file, s.failed, DibJPG);
    s.background = target.backgroundPicture.isNull()
                       ? img
                       : target.backgroundPicture.toQImage().convertToFormat(QImage::Format_RGB32);
}

uint8_t styleOf(const QString& style) {
    uint8_t bits = 0;
    if (style.contains(QLatin1String("bold"))) bits |= StyleBold;
    if (style.contains(QLatin1String("italic"))) bits |= StyleItalic;
    return bits;
}

int alignmentOf(const QString& align) {
    if (align == QLatin1String("left")) return 0;
    if (align == QLatin1String("right")) return 2;
    return 1;
}

void addText(SideContext& s, const QJsonObject& o, const QRectF& box, const QString& where) {
    const double scale =
        std::min(s.halfWidth() / kReferenceHalfWidth, s.height() / kReferenceHeight);
    // Points; the card stores the font's pixel height at 96 pixels per inch.
    const int size = std::max(
        6, int(std::lround(o.value(QStringLiteral("size")).toDouble(14) * 96 / 72 * scale)));
    const QString content = o.value(QStringLiteral("text")).toString();
    if (content.isEmpty()) fail(QStringLiteral("%1: a text without text").arg(where));
    SideBuilder b(s.doc, s.side);
    CardObject& t =
        b.text(content, box.x(), box.y(), box.width(), box.height(), size,
               refOf(o.value(QStringLiteral("colour")), where),
               alignmentOf(o.value(QStringLiteral("align")).toString()),
               o.value(QStringLiteral("font")).toString(QStringLiteral("Liberation Serif")),
               styleOf(o.value(QStringLiteral("style")).toString()));
    t.extras.lineSpacing = o.value(QStringLiteral("lineSpacing")).toInt(100);
    t.extras.letterSpacing = o.value(QStringLiteral("letterSpacing")).toInt(0);
    if (o.contains(QStringLiteral("shadow"))) {
        t.shadow = true;
        t.shadowColor = int32_t(refOf(o.value(QStringLiteral("shadow")), where));
        t.shadowDx = t.shadowDy = 2;
    }
}

void addFigure(SideContext& s, const QJsonObject& o, const QRectF& box, const QString& where) {
    const QString shape = o.value(QStringLiteral("shape")).toString();
    int32_t kind = FigRectangle;
    QRectF r = box;
    if (shape == QLatin1String("line")) {
        kind = FigLineHorizontal;
        r.setHeight(0);
    } else if (shape == QLatin1String("roundrect")) {
        kind = FigRoundRect;
    } else if (shape == QLatin1String("ellipse")) {
        kind = FigEllipse;
    } else if (shape != QLatin1String("rect")) {
        fail(QStringLiteral("%1: no figure \"%2\"").arg(where, shape));
    }
    const QString mode = o.value(QStringLiteral("mode")).toString(QStringLiteral("fill"));
    const int32_t fill = mode == QLatin1String("border") ? FillBorderOnly
                         : mode == QLatin1String("both") ? FillWithBorder
                                                         : FillSolid;
    const ColorRef colour = refOf(o.value(QStringLiteral("colour")), where);
    const ColorRef border = o.contains(QStringLiteral("border"))
                                ? refOf(o.value(QStringLiteral("border")), where)
                                : colour;
    SideBuilder(s.doc, s.side)
        .figure(kind, r.x(), r.y(), r.width(), r.height(), colour, fill, border,
                o.value(QStringLiteral("width")).toInt(1));
}

// A motif as a picture object of its own: drawn over the piece of the background it covers,
// so that it sits on the card seamlessly and can still be moved or replaced.
void addPicture(SideContext& s, const QJsonObject& o, const QRectF& box, const QString& where) {
    const QRect px = pixelsOf(s, box).toAlignedRect().intersected(s.background.rect());
    if (px.isEmpty()) fail(QStringLiteral("%1: a picture outside the card").arg(where));
    QImage img = s.background.copy(px);
    {
        QPainter p(&img);
        const QString name = o.value(QStringLiteral("painter")).toString();
        // A margin inside the picture keeps the motif's soft edges off the picture's edge.
        const QRectF inner = QRectF(img.rect())
                                 .adjusted(img.width() * 0.06, img.height() * 0.06,
                                           -img.width() * 0.06, -img.height() * 0.06);
        if (!paintMotif(p, inner, name, paramsOf(o, where)))
            fail(QStringLiteral("%1: no motif painter \"%2\"").arg(where, name));
    }
    const QString file = QStringLiteral("%1-bild%2.png").arg(s.baseName).arg(++s.pictures);
    const DibImage dib = writePicture(img, s.dir, file, s.failed, DibPNG);
    CardObject& pic = SideBuilder(s.doc, s.side)
                          .picture(file, dib, px.x() / s.pxPerMm, px.y() / s.pxPerMm,
                                   px.width() / s.pxPerMm, px.height() / s.pxPerMm);
    pic.keepAspect = true;
}

void buildSide(SideContext& s, const QJsonObject& sideJson, const QString& where) {
    paintSideBackground(s, sideJson, where);
    for (const QJsonValue v : sideJson.value(QStringLiteral("objects")).toArray()) {
        const QJsonObject o = v.toObject();
        const QString type = o.value(QStringLiteral("type")).toString();
        const QRectF box = boxOf(s, o.value(QStringLiteral("box")), where);
        if (type == QLatin1String("text"))
            addText(s, o, box, where);
        else if (type == QLatin1String("figure"))
            addFigure(s, o, box, where);
        else if (type == QLatin1String("picture"))
            addPicture(s, o, box, where);
        else
            fail(QStringLiteral("%1: no object type \"%2\"").arg(where, type));
    }
}

CardFormat cardTypeNamed(const QString& name, const QString& where) {
    for (const StarterType& t : starterCatalogue())
        if (t.format.typeName == name) return t.format;
    fail(QStringLiteral("%1: no card type \"%2\"").arg(where, name));
}

QJsonObject buildDesign(const QJsonObject& d, const QString& dir, double dpi) {
    const QString file = d.value(QStringLiteral("file")).toString();
    static const QRegularExpression fileName(QStringLiteral("^[a-z0-9]+(-[a-z0-9]+)*$"));
    if (!fileName.match(file).hasMatch())
        fail(QStringLiteral("design \"%1\": the file name is lower-case ASCII words with \"-\"")
                 .arg(file));
    const QString name = d.value(QStringLiteral("name")).toString();
    const QString occasion = d.value(QStringLiteral("occasion")).toString();
    if (name.isEmpty() || !designOccasions().contains(occasion) ||
        occasion == QLatin1String(kOwnDesignsOccasion))
        fail(QStringLiteral("design \"%1\": no name or no known occasion").arg(file));
    auto doc = std::make_unique<CardDocument>();
    doc->format = cardTypeNamed(d.value(QStringLiteral("card")).toString(), file);
    doc->updateSideUnits();
    QStringList failed;
    for (const int side : {int(SideOutside), int(SideInside)}) {
        const QString key =
            side == SideOutside ? QStringLiteral("outside") : QStringLiteral("inside");
        SideContext s{*doc, side, dir, file, dpi / kNominalMmPerInch, {}, failed};
        buildSide(s, d.value(key).toObject(), file + QLatin1Char('/') + key);
    }
    if (!failed.isEmpty())
        fail(QStringLiteral("cannot write %1").arg(failed.join(QStringLiteral(", "))));
    ConsoleDialogs dialogs;
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, dir, &createCardPreview, {}, {}};
    const QString cardName = file + QStringLiteral(".kar");
    const QString cardPath = QDir(dir).filePath(cardName);
    if (!saveCardFile(*doc, cardPath, fc)) fail(QStringLiteral("cannot write %1").arg(cardPath));
    // An opened card draws its pictures from their files, which can differ from the pictures
    // drawn here in the last bit of the preview; saved once more as opened, the design saves
    // unchanged byte for byte.
    auto opened = std::make_unique<CardDocument>();
    if (!openCardFile(*opened, cardPath, fc) || !saveCardFile(*opened, cardPath, fc))
        fail(QStringLiteral("cannot write %1").arg(cardPath));
    QJsonArray keywords;
    for (const QString& k : d.value(QStringLiteral("keywords")).toString().split(QLatin1Char(',')))
        if (!k.trimmed().isEmpty()) keywords.append(k.trimmed());
    return QJsonObject{{QStringLiteral("file"), cardName},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("occasion"), occasion},
                       {QStringLiteral("keywords"), keywords}};
}

}  // namespace

DesignBuildResult buildDesigns(const QString& descriptionPath, const QString& outDir) {
    DesignBuildResult result;
    QFile f(descriptionPath);
    if (!f.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot read %1").arg(descriptionPath);
        return result;
    }
    QJsonParseError parseError{};
    const QJsonDocument description = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !description.isObject()) {
        result.error = QStringLiteral("%1: %2").arg(descriptionPath, parseError.errorString());
        return result;
    }
    if (!QDir().mkpath(outDir)) {
        result.error = QStringLiteral("cannot create the folder %1").arg(outDir);
        return result;
    }
    const double dpi =
        std::clamp(description.object().value(QStringLiteral("dpi")).toDouble(150), 30.0, 300.0);
    QJsonArray index;
    QSet<QString> seen;
    try {
        for (const QJsonValue v : description.object().value(QStringLiteral("designs")).toArray()) {
            const QString file = v.toObject().value(QStringLiteral("file")).toString();
            if (seen.contains(file)) fail(QStringLiteral("design \"%1\" twice").arg(file));
            seen.insert(file);
            index.append(buildDesign(v.toObject(), outDir, dpi));
            result.files << file + QStringLiteral(".kar");
        }
    } catch (const DescriptionError& e) {
        result.error = QString::fromStdString(e.what());
        return result;
    }
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("designs"), index}})
                                 .toJson(QJsonDocument::Indented);
    const QString indexPath = QDir(outDir).filePath(QString::fromLatin1(kDesignIndexName));
    if (!writeFileAtomically(indexPath, bytes).ok) {
        result.error = QStringLiteral("cannot write %1").arg(indexPath);
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace bb
