// A design as the gallery finds it, made in a test folder: a folded card with a background
// picture and a motif beside it, and the index that lists it.
#pragma once

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <memory>

namespace bbtest {

// Writes `file`.kar with "hintergrund-<file>.png" and "motiv-<file>.png" into `folder`; the
// card refers to both by bare name, as the designs do. True when it was saved.
inline bool writeDesignCard(const QString& folder, const QString& file, QRgb colour) {
    using namespace bb;
    QDir().mkpath(folder);
    QImage background(40, 30, QImage::Format_RGB32);
    background.fill(colour);
    QImage motif(8, 8, QImage::Format_RGB32);
    motif.fill(qRgb(200, 30, 60));
    const QString bgName = QStringLiteral("hintergrund-%1.png").arg(file);
    const QString motifName = QStringLiteral("motiv-%1.png").arg(file);
    if (!background.save(QDir(folder).filePath(bgName), "PNG") ||
        !motif.save(QDir(folder).filePath(motifName), "PNG"))
        return false;
    auto doc = std::make_unique<CardDocument>();
    doc->format.typeName = QStringLiteral("Klappkarte A6");
    doc->format.cardWidth = 210;
    doc->format.cardHeight = 148;
    doc->updateSideUnits();
    doc->outsideBackground.backgroundMode = BgStretched;
    doc->outsideBackground.backgroundFile = bgName;
    CardObject& text = *doc->insideSlots[1];
    text.kind = KindText;
    text.content = QStringLiteral("Alles Liebe, {Vorname}!");
    text.x = 20000;
    text.y = 10000;
    text.width = 40000;
    text.height = 8000;
    CardObject& picture = *doc->outsideSlots[1];
    picture.kind = KindPicture;
    picture.content = motifName;
    picture.x = 90000;
    picture.y = 20000;
    picture.width = 10000;
    picture.height = 10000;
    ScriptedDialogs dialogs;
    RenderContext ctx;
    CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    return saveCardFile(*doc, QDir(folder).filePath(file + QStringLiteral(".kar")), fc);
}

// The index of a designs folder: (file, name, occasion, keywords) per design.
struct IndexedDesign {
    QString file, name, occasion, keywords;
};
inline void writeDesignIndex(const QString& folder, const QList<IndexedDesign>& designs) {
    QJsonArray list;
    for (const IndexedDesign& d : designs) {
        list.append(QJsonObject{{QStringLiteral("file"), d.file + QStringLiteral(".kar")},
                                {QStringLiteral("name"), d.name},
                                {QStringLiteral("occasion"), d.occasion},
                                {QStringLiteral("keywords"), d.keywords}});
    }
    QFile f(QDir(folder).filePath(QStringLiteral("designs.json")));
    if (f.open(QIODevice::WriteOnly))
        f.write(QJsonDocument(QJsonObject{{QStringLiteral("designs"), list}}).toJson());
}

// Every file of `folder` with its bytes, to see that nothing there changed.
inline QMap<QString, QByteArray> folderBytes(const QString& folder) {
    QMap<QString, QByteArray> out;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile f(info.absoluteFilePath());
        out.insert(info.fileName(), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }
    return out;
}

}  // namespace bbtest
