// "Bild öffnen": picks a picture file with a live preview. Used by the picture tool and by
// the background dialog.
#pragma once

#include "editor/StartFolder.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QStringList>

class QCheckBox;
class QGridLayout;
class QComboBox;
class QLineEdit;
class QListView;
class QToolButton;

namespace bb {

class PictureFolderModel;

// The path as the program remembers it: the bare file name when the file lies directly in
// the program folder, otherwise the path unchanged.
QString nameInProgramFolder(const QString& path, const QString& programFolder);

// Where a bw × bh bitmap is drawn in a preview box: at its top-left corner, as wide as the
// box (or as high, when that is the tighter bound), aspect ratio kept. Empty for no bitmap.
QRect openPreviewRect(int boxWidth, int boxHeight, int bitmapWidth, int bitmapHeight);

class PictureOpenDialog : public QDialog {
    Q_OBJECT
public:
    PictureOpenDialog(const QString& programFolder, QWidget* parent = nullptr);

    // What the callers do before showing it: folder, the open filter ("description|mask|...")
    // and an empty file name.
    void prepare(const QString& folder, const QString& filter);
    QString folder() const { return folder_; }
    void setFolder(const QString& folder);
    // Where the callers start it: the folder a picture was chosen in last, else the open
    // card's folder, else the card folder (the program folder until one is set).
    StartFolder& startFolder() { return startFolder_; }
    QString chosenPath;
    QImage previewBitmap;
    QStringList nameFilters() const;

    // Handlers of the file list, the buttons and the type box.
    void fileSelected(const QString& name);       // selection change on a file
    void itemDoubleClicked(const QString& name);  // a folder opens, a file is chosen
    void openChosen();                            // "&Öffnen"
    void goToParentFolder();                      // "Übergeordneter Ordner"
    void filterChosen(int index);                 // "Dateityp:"
    void showPreviewOf(const QString& name);

    QLineEdit* fileNameEdit = nullptr;
    QComboBox* filterCombo = nullptr;
    QComboBox* folderCombo = nullptr;
    QCheckBox* previewCheck = nullptr;
    QListView* fileList = nullptr;
    QWidget* previewBox = nullptr;
    QToolButton* upButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The rows of the dialog: folder choice, file list, preview, file name and type.
    void buildFolderRow(QGridLayout& grid);
    void buildFileList(QGridLayout& grid);
    void buildPreview(QGridLayout& grid);
    void buildNameFields(QGridLayout& grid);
    // What the folder, type and file controls do when used.
    void connectBrowsing();
    void paintPreview(QWidget* box);

    QString programFolder_;
    QString folder_;
    StartFolder startFolder_{QStringLiteral("Ordner/Bilder")};
    QStringList masks_;
    PictureFolderModel* model_ = nullptr;
    friend class OpenPreviewBox;
};

}  // namespace bb
