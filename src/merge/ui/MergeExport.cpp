// The merge's picture export command; see MergeExport.h.
#include "merge/ui/MergeExport.h"

#include "document/FolderFile.h"
#include "document/UserDialogs.h"
#include "merge/AddressList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace bb {

namespace {

const QString kCaption = QStringLiteral("Serienkarten");

QString picturesWritten(int n) {
    return n == 1 ? QStringLiteral("1 Bild wurde gespeichert.")
                  : QStringLiteral("%1 Bilder wurden gespeichert.").arg(n);
}

// The names the export plans for the rows of each chosen side.
QStringList plannedNames(const AddressList& list, const std::vector<int>& rows, int nameColumn,
                         int filterIndex, MergeSides sides) {
    if (sides != MergeSides::Both) return mergeExportNames(list, rows, nameColumn, filterIndex);
    return mergeExportNames(list, rows, nameColumn, filterIndex, mergeSideSuffix(SideOutside)) +
           mergeExportNames(list, rows, nameColumn, filterIndex, mergeSideSuffix(SideInside));
}

// The failures of a run: the first few, then how many more.
QString failureList(const QStringList& failures) {
    constexpr int kShown = 5;
    QStringList shown = failures.mid(0, kShown);
    if (failures.size() > kShown)
        shown << QStringLiteral("… und %1 weitere").arg(failures.size() - kShown);
    return shown.join(QLatin1Char('\n'));
}

}  // namespace

MergeExportResult exportMergePictures(const CardDocument& doc, const RenderContext& ctx,
                                      UserDialogs& dialogs, const AddressList& list,
                                      const std::vector<int>& rows, int nameColumn,
                                      MergeSides sides, QWidget* parent) {
    if (rows.empty()) return {};
    // The export's own save dialog chooses the format; its folder takes all the pictures,
    // which are named after the rows (the name offered is the first one's).
    FileDialogRequest request;
    request.caption = QStringLiteral("Bilder exportieren: Ordner und Format wählen");
    request.directory = list.path.isEmpty() ? QString() : QFileInfo(list.path).absolutePath();
    request.filter = saveFilter();
    request.filterIndex = 1;
    request.initialName =
        QFileInfo(plannedNames(list, {rows.front()}, nameColumn, 1, sides).value(0))
            .completeBaseName();
    request.confirmOverwrite = false;
    const FileDialogResult chosen = dialogs.saveFile(request);
    if (chosen.path.isEmpty()) return {};
    const QString folder = QFileInfo(chosen.path).absolutePath();
    // Pictures of the same names already there (perhaps a photo called "Weber.jpg") are only
    // replaced when the user says so. A link or anything else under such a name is never
    // replaced; its picture takes the next free name.
    int existing = 0;
    for (const QString& name : plannedNames(list, rows, nameColumn, chosen.filterIndex, sides))
        if (folderEntry(folder, name) == FolderEntry::RegularFile) ++existing;
    if (existing > 0 &&
        dialogs.message(QStringLiteral("Im Ordner %1 gibt es schon %2 der Bilder mit diesen "
                                       "Namen.\nSollen sie ersetzt werden?")
                            .arg(QDir::toNativeSeparators(folder))
                            .arg(existing),
                        kCaption, MsgIcon::Warning, BtnYes | BtnNo) != BtnYes)
        return {};

    const int pictures = int(rows.size()) * (sides == MergeSides::Both ? 2 : 1);
    QProgressDialog progress(QStringLiteral("Die Bilder werden gespeichert ..."),
                             QStringLiteral("Abbrechen"), 0, pictures, parent);
    progress.setObjectName(QStringLiteral("MergeExportProgress"));
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setValue(0);
    MergeExportResult result = exportMergedSides(
        doc, ctx, list, rows, nameColumn, folder, chosen.filterIndex, sides,
        [&](int done, int total) {
            progress.setLabelText(
                QStringLiteral("Bild %1 von %2 gespeichert").arg(done).arg(total));
            progress.setValue(done);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.reset();

    const int written = int(result.files.size());
    if (!result.failures.isEmpty())
        dialogs.message(QStringLiteral("%1 von %2 Bildern konnten nicht gespeichert werden:\n")
                                .arg(result.failures.size())
                                .arg(result.failures.size() + written) +
                            failureList(result.failures) + QLatin1Char('\n') +
                            picturesWritten(written),
                        kCaption, MsgIcon::Error, BtnOk);
    else if (!result.error.isEmpty())
        dialogs.message(result.error + QLatin1Char('\n') + picturesWritten(written), kCaption,
                        MsgIcon::Error, BtnOk);
    else if (result.cancelled)
        dialogs.message(QStringLiteral("Der Export wurde abgebrochen. ") + picturesWritten(written),
                        kCaption, MsgIcon::Information, BtnOk);
    else
        dialogs.message(picturesWritten(written) + QStringLiteral("\nOrdner: ") +
                            QDir::toNativeSeparators(folder),
                        kCaption, MsgIcon::Information, BtnOk);
    return result;
}

}  // namespace bb
