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

QJsonObject objectJson(const CardObjectRecord& rec) {
    const Tobs& o = rec.object;
    QJsonObject j;
    j.insert(QStringLiteral("slot"), rec.slot);
    j.insert(QStringLiteral("X"), o.X);
    j.insert(QStringLiteral("Y"), o.Y);
    j.insert(QStringLiteral("Width"), o.Width);
    j.insert(QStringLiteral("Height"), o.Height);
    j.insert(QStringLiteral("KeepAspect"), rec.flags.KeepAspect);
    j.insert(QStringLiteral("Kind"), o.Kind);
    j.insert(QStringLiteral("Color"), qint64(o.Color));
    j.insert(QStringLiteral("FigureKind"), o.FigureKind);
    j.insert(QStringLiteral("Alignment"), o.Alignment);
    j.insert(QStringLiteral("BorderColor"), qint64(o.BorderColor));
    j.insert(QStringLiteral("FillMode"), o.FillMode);
    j.insert(QStringLiteral("Shadow"), rec.flags.Shadow);
    j.insert(QStringLiteral("RoundFrame"), rec.flags.RoundFrame);
    j.insert(QStringLiteral("ShadowDX"), o.ShadowDX);
    j.insert(QStringLiteral("ShadowDY"), o.ShadowDY);
    j.insert(QStringLiteral("Transparent"), rec.flags.Transparent);
    j.insert(QStringLiteral("AutoTransparent"), rec.flags.AutoTransparent);
    j.insert(QStringLiteral("LineWidth"), o.LineWidth);
    j.insert(QStringLiteral("Rotation"), o.Rotation);
    j.insert(QStringLiteral("Content"), o.Content);
    j.insert(QStringLiteral("FontColor"), qint64(o.FontColor));
    j.insert(QStringLiteral("FontHeight"), o.FontHeight);
    j.insert(QStringLiteral("FontName"), o.FontName);
    j.insert(QStringLiteral("FontPitch"), o.FontPitch);
    j.insert(QStringLiteral("FontSize"), o.FontSize);
    j.insert(QStringLiteral("FontStyle"), o.FontStyle);
    return j;
}

QJsonObject sideJson(const CardSideData& side) {
    QJsonArray objects;
    for (const CardObjectRecord& rec : side.objects) objects.append(objectJson(rec));
    QJsonObject j;
    j.insert(QStringLiteral("BackgroundMode"), side.BackgroundMode);
    j.insert(QStringLiteral("BackgroundFile"), side.BackgroundFile);
    j.insert(QStringLiteral("BackgroundColor"), qint64(side.BackgroundColor));
    j.insert(QStringLiteral("objects"), objects);
    return j;
}

QJsonObject formatJson(const CardFormat& f) {
    QJsonObject j;
    j.insert(QStringLiteral("LeftMargin"), f.LeftMargin);
    j.insert(QStringLiteral("TopMargin"), f.TopMargin);
    j.insert(QStringLiteral("PitchX"), f.PitchX);
    j.insert(QStringLiteral("PitchY"), f.PitchY);
    j.insert(QStringLiteral("CardWidth"), f.CardWidth);
    j.insert(QStringLiteral("CardHeight"), f.CardHeight);
    j.insert(QStringLiteral("CardsAcross"), f.CardsAcross);
    j.insert(QStringLiteral("CardsDown"), f.CardsDown);
    j.insert(QStringLiteral("TypeName"), f.TypeName);
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
    root.insert(QStringLiteral("CardFormat"), formatJson(data.Format));
    root.insert(QStringLiteral("SideWidthUnits"), data.SideWidthUnits);
    root.insert(QStringLiteral("SideHeightUnits"), data.SideHeightUnits);
    root.insert(QStringLiteral("ZoomFactor"), data.ZoomFactor);
    root.insert(QStringLiteral("UnitsPerPixel"), data.UnitsPerPixel);
    root.insert(QStringLiteral("outside"), sideJson(data.outside));
    root.insert(QStringLiteral("inside"), sideJson(data.inside));
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace bb::cli
