#include "render/Export.h"

#include "document/FileErrors.h"
#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "merge/MergeSelection.h"

#include "document/FolderFile.h"
#include "render/PicturePrefetch.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSet>

#include <cmath>
#include <cstring>
#include <utility>

namespace bb {

namespace {

int truncPixels(double mm) {
    const double px = mm / kNominalMmPerInch * kExportResolution;
    if (!(px > 0) || px > kMaxDibSide) return 0;  // also refuses NaN
    return int(std::trunc(px));
}

}  // namespace

QSize exportPictureSize(const CardFormat& format) {
    return QSize(truncPixels(format.cardWidth), truncPixels(format.cardHeight));
}

DibImage renderExportPicture(const CardDocument& doc, int side, const RenderContext& ctx) {
    const QSize size = exportPictureSize(doc.format);
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0 || !dibSizeAllowed(w, h, 24)) return {};

    QImage bitmap(w, h, QImage::Format_RGB32);
    if (bitmap.isNull()) return {};
    bitmap.fill(Qt::white);  // the paper under the side
    {
        const RenderContext output = atOutputDpi(ctx, kExportResolution);
        QPainter painter(&bitmap);
        // areaWidth = w, scrollX = w (and the same vertically) puts the card at the corner.
        drawOutputSide(painter, doc, side, output, w, h, w, h, output.outputScale);
    }

    DibImage picture = newDib(w, h, 24);
    if (picture.isNull()) return {};
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        uint8_t* dst = picture.rowFromTop(y);
        for (int x = 0; x < w; ++x) {
            const QRgb c = src[x];
            dst[3 * x] = uint8_t(qBlue(c));
            dst[3 * x + 1] = uint8_t(qGreen(c));
            dst[3 * x + 2] = uint8_t(qRed(c));
        }
    }
    picture.markModified();
    return picture;
}

bool hasExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.lastIndexOf(QLatin1Char('.')) > 0;
}

QString exportFileName(const QString& chosen, int filterIndex) {
    if (chosen.isEmpty() || hasExtension(chosen)) return chosen;
    return chosen + saveFormatExtension(filterIndex, false);
}

QString scanFileName(const QString& chosen, int filterIndex) {
    if (chosen.isEmpty() || hasExtension(chosen)) return chosen;
    return chosen + saveFormatExtension(filterIndex, true);
}

QString mergeSideSuffix(int side) {
    return side == SideInside ? QStringLiteral(" - Innenseite") : QStringLiteral(" - Außenseite");
}

QStringList mergeExportNames(const AddressList& list, const std::vector<int>& rows, int nameColumn,
                             int filterIndex, const QString& sideSuffix) {
    const QString extension = saveFormatExtension(filterIndex, false);
    if (extension.isEmpty()) return {};
    QStringList values;
    for (int row : rows) {
        if (row < 0 || row >= list.rowCount()) return {};
        const QStringList& cells = list.rows[size_t(row)];
        const QString cell = nameColumn >= 0 && nameColumn < cells.size()
                                 ? cells.at(nameColumn).trimmed()
                                 : QString();
        values << (cell.isEmpty() ? QStringLiteral("Datensatz %1").arg(row + 1) : cell);
    }
    return uniqueFileNames(values, sideSuffix + extension, QStringLiteral("Karte"));
}

namespace {

// Writes one picture under `planned` or, where that name is held by anything but a regular
// file, under the next name that is free in the folder and not planned for another picture.
// The name written, or empty with the reason in `why`.
QString writeMergePicture(const QString& folder, const QString& planned, const QByteArray& bytes,
                          QSet<QString>& taken, QString& why) {
    constexpr int kMaxNumber = 9999;
    QString name = planned;
    bool replace = true;  // only the planned name replaces a picture of an earlier export
    for (int n = 2;;) {
        switch (writeFileInFolder(folder, name, bytes, replace, &why)) {
            case FolderWrite::Written:
                return name;
            case FolderWrite::Failed:
                return {};
            case FolderWrite::NameTaken:
                break;
        }
        replace = false;
        do {
            if (n > kMaxNumber) {
                why = QStringLiteral("kein freier Name");
                return {};
            }
            name = numberedFileName(planned, n++);
        } while (taken.contains(name.toCaseFolded()) ||
                 folderEntry(folder, name) != FolderEntry::None);
        taken.insert(name.toCaseFolded());
    }
}

}  // namespace

MergeExportResult exportMergedSides(const CardDocument& doc, const RenderContext& ctx,
                                    const AddressList& list, const std::vector<int>& rows,
                                    int nameColumn, const QString& folder, int filterIndex,
                                    MergeSides sides, const MergeExportProgress& progress) {
    MergeExportResult result;
    std::vector<int> sideList;
    if (sides != MergeSides::Inside) sideList.push_back(SideOutside);
    if (sides != MergeSides::Outside) sideList.push_back(SideInside);
    const bool suffixed = sideList.size() > 1;
    std::vector<QStringList> names;
    QSet<QString> taken;
    for (int side : sideList) {
        names.push_back(mergeExportNames(list, rows, nameColumn, filterIndex,
                                         suffixed ? mergeSideSuffix(side) : QString()));
        if (names.back().size() != qsizetype(rows.size())) {
            result.error = QStringLiteral("Die Bilder konnten nicht benannt werden.");
            return result;
        }
        for (const QString& name : names.back()) taken.insert(name.toCaseFolded());
    }
    const QDir dir(folder);
    const FieldFiller filler(list);
    const int total = int(rows.size() * sideList.size());
    int done = 0;
    for (size_t s = 0; s < sideList.size(); ++s) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const QStringList& row = list.rows[size_t(rows[i])];
            const QString& planned = names[s].at(qsizetype(i));
            DibImage picture = renderExportPicture(
                doc, sideList[s], withFilledTexts(ctx, [&filler, &row](const QString& text) {
                    return filler.fill(text, row);
                }));
            QByteArray bytes;
            const PictureFormat* format = pictureFormatForFilterIndex(filterIndex);
            const bool encoded = format && !picture.isNull() && format->write(picture, {}, bytes);
            releaseDib(picture);
            QString why;
            const QString written =
                encoded ? writeMergePicture(folder, planned, bytes, taken, why) : QString();
            if (written.isEmpty()) {
                // One picture that fails never stops the others.
                result.failures << QStringLiteral(
                                       "Datensatz %1: Das Bild \"%2\" konnte nicht "
                                       "geschrieben werden%3.")
                                       .arg(rows[i] + 1)
                                       .arg(QDir::toNativeSeparators(dir.filePath(planned)),
                                            why.isEmpty() ? QString()
                                                          : QStringLiteral(" (%1)").arg(why));
                if (result.error.isEmpty()) result.error = result.failures.back();
            } else {
                result.files << dir.filePath(written);
            }
            if (progress && !progress(++done, total)) {
                result.cancelled = true;
                return result;
            }
        }
    }
    return result;
}

MergeExportResult exportMergedSide(const CardDocument& doc, int side, const RenderContext& ctx,
                                   const AddressList& list, const std::vector<int>& rows,
                                   int nameColumn, const QString& folder, int filterIndex,
                                   const MergeExportProgress& progress) {
    return exportMergedSides(doc, ctx, list, rows, nameColumn, folder, filterIndex,
                             side == SideInside ? MergeSides::Inside : MergeSides::Outside,
                             progress);
}

QString saveFailedText(const QString& fileName, int error) {
    QString text = QStringLiteral("Fehler: Datei konnte nicht gespeichert werden!");
    if (error != 0) text += QLatin1Char('\n') + fileFailureLine(fileName, error);
    return text;
}

int exportSide(const CardDocument& doc, int side, const RenderContext& ctx, const QString& fileName,
               int typeCode, int* error) {
    if (error) *error = 0;
    DibImage picture = renderExportPicture(doc, side, ctx);
    if (picture.isNull()) return 0;
    const int result = savePictureFile(picture, fileName, typeCode, error);
    releaseDib(picture);
    return result;
}

}  // namespace bb
