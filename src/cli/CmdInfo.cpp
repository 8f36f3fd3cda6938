// brisella-cli info CARD.kar: prints the card file's data as one JSON object, without
// loading any picture.
#include "cli/Commands.h"
#include "document/CardFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace bb::cli {

namespace {

static_assert(bb::CardObject::kFieldCount == 32,
              "a new object field must be shown here when the card file stores it");

QJsonObject runJson(const TextRun& r) {
    QJsonObject j;
    j.insert(QStringLiteral("Start"), r.start);
    j.insert(QStringLiteral("Length"), r.length);
    j.insert(QStringLiteral("FontName"), r.fontName);
    j.insert(QStringLiteral("FontSize"), r.fontSize);
    j.insert(QStringLiteral("FontStyle"), r.fontStyle);
    j.insert(QStringLiteral("FontColor"), qint64(r.fontColor));
    return j;
}

// The properties the extension area gave the object, each only when it differs from its
// start value, so a 1.0 card shows exactly the 1.0 fields. Lengths in millimetres.
void insertExtras(QJsonObject& j, const CardObject& o) {
    const ObjectExtras& x = o.extras;
    const ObjectExtras fresh;
    if (x.fineAngle != fresh.fineAngle)
        j.insert(QStringLiteral("Angle"), totalAngle(o.rotation, x.fineAngle));
    if (x.group != fresh.group) j.insert(QStringLiteral("Group"), x.group);
    if (x.locked) j.insert(QStringLiteral("Locked"), true);
    if (!x.crop.isEmpty()) {
        j.insert(QStringLiteral("Crop"), QJsonObject{{QStringLiteral("X"), x.crop.x()},
                                                     {QStringLiteral("Y"), x.crop.y()},
                                                     {QStringLiteral("Width"), x.crop.width()},
                                                     {QStringLiteral("Height"), x.crop.height()}});
    }
    if (x.brightness != fresh.brightness) j.insert(QStringLiteral("Brightness"), x.brightness);
    if (x.contrast != fresh.contrast) j.insert(QStringLiteral("Contrast"), x.contrast);
    if (x.saturation != fresh.saturation) j.insert(QStringLiteral("Saturation"), x.saturation);
    if (x.tone != fresh.tone) {
        j.insert(QStringLiteral("Tone"),
                 x.tone == ToneGrey ? QStringLiteral("Schwarzweiß") : QStringLiteral("Sepia"));
    }
    if (x.cornerRadius != fresh.cornerRadius)
        j.insert(QStringLiteral("CornerRadius"), x.cornerRadius / 100.0);
    if (x.feather != fresh.feather) j.insert(QStringLiteral("Feather"), x.feather / 100.0);
    if (!x.ornament.isEmpty()) j.insert(QStringLiteral("Ornament"), x.ornament);
    if (x.lineSpacing != fresh.lineSpacing) j.insert(QStringLiteral("LineSpacing"), x.lineSpacing);
    if (x.letterSpacing != fresh.letterSpacing)
        j.insert(QStringLiteral("LetterSpacing"), x.letterSpacing);
    if (!x.runs.empty()) {
        QJsonArray runs;
        for (const TextRun& r : x.runs) runs.append(runJson(r));
        j.insert(QStringLiteral("Runs"), runs);
    }
    if (x.arcRadius != fresh.arcRadius) j.insert(QStringLiteral("ArcRadius"), x.arcRadius / 100.0);
    if (x.arcDown) j.insert(QStringLiteral("ArcDown"), true);
    if (!x.unknown.isEmpty())
        j.insert(QStringLiteral("UnknownProperties"), QString::fromLatin1(x.unknown.toHex()));
}

// The record as the file stores it: the shared slots by their figure names, the flags as the
// bytes they are.
QJsonObject objectJson(const CardObjectRecord& rec) {
    const CardObject& o = rec.object;
    const SharedSlots shared = sharedSlotsOf(o);
    QJsonObject j;
    j.insert(QStringLiteral("slot"), rec.slot);
    j.insert(QStringLiteral("X"), o.x);
    j.insert(QStringLiteral("Y"), o.y);
    j.insert(QStringLiteral("Width"), o.width);
    j.insert(QStringLiteral("Height"), o.height);
    j.insert(QStringLiteral("KeepAspect"), rec.flags.keepAspect);
    j.insert(QStringLiteral("Kind"), o.kind);
    j.insert(QStringLiteral("Color"), qint64(o.color));
    j.insert(QStringLiteral("FigureKind"), o.figureKind);
    j.insert(QStringLiteral("Alignment"), o.alignment);
    j.insert(QStringLiteral("BorderColor"), qint64(shared.borderColor));
    j.insert(QStringLiteral("FillMode"), shared.fillMode);
    j.insert(QStringLiteral("Shadow"), rec.flags.shadow);
    j.insert(QStringLiteral("RoundFrame"), rec.flags.roundFrame);
    j.insert(QStringLiteral("ShadowDX"), o.shadowDx);
    j.insert(QStringLiteral("ShadowDY"), o.shadowDy);
    j.insert(QStringLiteral("Transparent"), rec.flags.transparent);
    j.insert(QStringLiteral("AutoTransparent"), rec.flags.autoTransparent);
    j.insert(QStringLiteral("LineWidth"), shared.lineWidth);
    j.insert(QStringLiteral("Rotation"), o.rotation);
    j.insert(QStringLiteral("Content"), o.content);
    j.insert(QStringLiteral("FontColor"), qint64(o.fontColor));
    j.insert(QStringLiteral("FontHeight"), o.fontHeight);
    j.insert(QStringLiteral("FontName"), o.fontName);
    j.insert(QStringLiteral("FontPitch"), o.fontPitch);
    j.insert(QStringLiteral("FontSize"), o.fontSize);
    j.insert(QStringLiteral("FontStyle"), o.fontStyle);
    insertExtras(j, o);
    return j;
}

QJsonObject sideJson(const CardSideData& side) {
    QJsonArray objects;
    for (const CardObjectRecord& rec : side.objects) objects.append(objectJson(rec));
    QJsonObject j;
    j.insert(QStringLiteral("BackgroundMode"), side.backgroundMode);
    j.insert(QStringLiteral("BackgroundFile"), side.backgroundFile);
    j.insert(QStringLiteral("BackgroundColor"), qint64(side.backgroundColor));
    j.insert(QStringLiteral("objects"), objects);
    return j;
}

QJsonObject formatJson(const CardFormat& f) {
    QJsonObject j;
    j.insert(QStringLiteral("LeftMargin"), f.leftMargin);
    j.insert(QStringLiteral("TopMargin"), f.topMargin);
    j.insert(QStringLiteral("PitchX"), f.pitchX);
    j.insert(QStringLiteral("PitchY"), f.pitchY);
    j.insert(QStringLiteral("CardWidth"), f.cardWidth);
    j.insert(QStringLiteral("CardHeight"), f.cardHeight);
    j.insert(QStringLiteral("CardsAcross"), f.cardsAcross);
    j.insert(QStringLiteral("CardsDown"), f.cardsDown);
    j.insert(QStringLiteral("TypeName"), f.typeName);
    return j;
}

}  // namespace

int runInfo(const QStringList& args) {
    const Command& self = findCommand("info");
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usageError(self, QStringLiteral("expected exactly one card file"));
    CardFileData data;
    const CardReadStatus status = readCardFileData(args[0], data);
    if (status != CardReadStatus::Ok) {
        printError(args[0] + QStringLiteral(": ") + cardReadMessage(status));
        return kExitFailure;
    }
    QJsonObject preview;
    preview.insert(QStringLiteral("width"), data.preview.width);
    preview.insert(QStringLiteral("height"), data.preview.height);
    preview.insert(QStringLiteral("bitCount"), data.preview.bitCount);
    preview.insert(QStringLiteral("headerSize"), data.preview.headerSize);
    preview.insert(QStringLiteral("colourCount"), data.preview.colourCount);

    QJsonObject root;
    root.insert(QStringLiteral("signature"), data.signature);
    root.insert(QStringLiteral("preview"), preview);
    root.insert(QStringLiteral("CardFormat"), formatJson(data.format));
    root.insert(QStringLiteral("SideWidthUnits"), data.sideWidthUnits);
    root.insert(QStringLiteral("SideHeightUnits"), data.sideHeightUnits);
    root.insert(QStringLiteral("ZoomFactor"), data.zoomFactor);
    root.insert(QStringLiteral("UnitsPerPixel"), data.unitsPerPixel);
    root.insert(QStringLiteral("outside"), sideJson(data.outside));
    root.insert(QStringLiteral("inside"), sideJson(data.inside));
    if (data.extension.present) {
        QJsonObject ext;
        ext.insert(QStringLiteral("Version"), qint64(data.extension.version));
        ext.insert(QStringLiteral("UnknownChunks"), qint64(data.extension.unknownChunks.size()));
        ext.insert(QStringLiteral("Overruled"), data.extensionOverruled);
        if (!data.extension.problem.isEmpty())
            ext.insert(QStringLiteral("Problem"), data.extension.problem);
        root.insert(QStringLiteral("Extension"), ext);
    }
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace bb::cli
