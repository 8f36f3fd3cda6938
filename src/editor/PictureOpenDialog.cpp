#include "editor/PictureOpenDialog.h"

#include "pictures/PictureOps.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace bb {

QString nameInProgramFolder(const QString& path, const QString& programFolder) {
    QString folder = QDir::cleanPath(programFolder);
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    // Only a path that starts with the folder can lie in it (paths compare case-sensitively
    // on this file system).
    if (programFolder.isEmpty() || !path.startsWith(folder)) return path;
    QString rest = path.mid(folder.size());
    if (rest.contains(QLatin1Char('/'))) return path;
    return rest;
}

QRect openPreviewRect(int boxWidth, int boxHeight, int bw, int bh) {
    if (bw < 1 || bh < 1 || boxWidth < 1 || boxHeight < 1) return {};
    qint64 w = boxWidth;
    qint64 h = qint64(boxWidth) * bh / bw;
    if (boxHeight < h) {
        h = boxHeight;
        w = qint64(boxHeight) * bw / bh;
    }
    return QRect(0, 0, int(w), int(h));
}

// The file list's model: folders show a folder icon and a trailing "/", files a file icon, so
// that they look different with or without an icon theme. The bare name is fileNameOf().
class PictureFolderModel : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;

    QVariant data(const QModelIndex& index, int role) const override {
        if (index.isValid() && index.column() == 0) {
            if (role == Qt::DisplayRole && isDir(index))
                return fileNameOf(index) + QLatin1Char('/');
            if (role == Qt::DecorationRole) {
                QStyle* style = QApplication::style();
                return style->standardIcon(isDir(index) ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
            }
        }
        return QFileSystemModel::data(index, role);
    }

    // The name without the folder mark (fileName() reads the display text).
    QString fileNameOf(const QModelIndex& index) const {
        return QFileSystemModel::data(index, FileNameRole).toString();
    }
};

class OpenPreviewBox : public QWidget {
public:
    OpenPreviewBox(PictureOpenDialog& form, QWidget* parent) : QWidget(parent), dialog_(form) {}

protected:
    void paintEvent(QPaintEvent*) override { dialog_.paintPreview(this); }

private:
    PictureOpenDialog& dialog_;
};

PictureOpenDialog::PictureOpenDialog(const QString& programFolder, QWidget* parent)
    : QDialog(parent), programFolder_(programFolder) {
    startFolder_.setCardFolder(programFolder_);
    setObjectName(QStringLiteral("BMPOpenForm"));
    setWindowTitle(QStringLiteral("Bild öffnen"));
    setSizeGripEnabled(true);
    previewBitmap = QImage(100, 100, QImage::Format_RGB32);
    previewBitmap.fill(Qt::white);

    auto* grid = new QGridLayout(this);
    buildFolderRow(*grid);
    buildFileList(*grid);
    buildPreview(*grid);
    buildNameFields(*grid);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    connectBrowsing();
    resize(600, 420);
}

void PictureOpenDialog::buildFolderRow(QGridLayout& grid) {
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Suchen in:"), this));
    folderCombo = new QComboBox(this);
    folderCombo->setObjectName(QStringLiteral("DirectoryComboBox1"));
    top->addWidget(folderCombo, 1);
    upButton = new QToolButton(this);
    upButton->setObjectName(QStringLiteral("UpBtn"));
    upButton->setText(QStringLiteral(".."));
    upButton->setToolTip(QStringLiteral("Übergeordneter Ordner"));
    upButton->setStatusTip(QStringLiteral("Wechselt in den übergeordneten Ordner"));
    top->addWidget(upButton);
    grid.addLayout(top, 0, 0, 1, 2);
}

void PictureOpenDialog::buildFileList(QGridLayout& grid) {
    model_ = new PictureFolderModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    model_->setNameFilterDisables(false);
    model_->setNameFilters({QStringLiteral("*")});
    fileList = new QListView(this);
    fileList->setObjectName(QStringLiteral("FileListBox1"));
    fileList->setViewMode(QListView::ListMode);
    fileList->setFlow(QListView::TopToBottom);
    fileList->setWrapping(true);
    fileList->setResizeMode(QListView::Adjust);
    fileList->setDragEnabled(false);
    fileList->setModel(model_);
    grid.addWidget(fileList, 1, 0);
}

void PictureOpenDialog::buildPreview(QGridLayout& grid) {
    auto* right = new QVBoxLayout;
    previewBox = new OpenPreviewBox(*this, this);
    previewBox->setObjectName(QStringLiteral("PreviewBox"));
    previewBox->setMinimumSize(160, 160);
    right->addWidget(previewBox, 1);
    previewCheck = new QCheckBox(QStringLiteral("Vorschau"), this);
    previewCheck->setObjectName(QStringLiteral("VSchauCheck"));
    previewCheck->setChecked(true);
    previewCheck->setStatusTip(QStringLiteral("Zeigt das gewählte Bild in der Vorschau"));
    right->addWidget(previewCheck);
    grid.addLayout(right, 1, 1);
}

void PictureOpenDialog::buildNameFields(QGridLayout& grid) {
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Dateiname:"), this), 0, 0);
    fileNameEdit = new QLineEdit(this);
    fileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    fields->addWidget(fileNameEdit, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Dateityp:"), this), 1, 0);
    filterCombo = new QComboBox(this);
    filterCombo->setObjectName(QStringLiteral("FilterComboBox1"));
    fields->addWidget(filterCombo, 1, 1);
    auto* open = new QPushButton(QStringLiteral("&Öffnen"), this);
    open->setObjectName(QStringLiteral("OpenBtn"));
    open->setDefault(true);
    open->setStatusTip(QStringLiteral("Öffnet das gewählte Bild"));
    auto* cancel = new QPushButton(QStringLiteral("A&bbrechen"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setStatusTip(QStringLiteral("Schließt das Fenster, ohne ein Bild zu öffnen"));
    fields->addWidget(open, 0, 2);
    fields->addWidget(cancel, 1, 2);
    grid.addLayout(fields, 2, 0, 1, 2);
    connect(open, &QPushButton::clicked, this, &PictureOpenDialog::openChosen);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PictureOpenDialog::connectBrowsing() {
    connect(upButton, &QToolButton::clicked, this, &PictureOpenDialog::goToParentFolder);
    connect(filterCombo, &QComboBox::activated, this, &PictureOpenDialog::filterChosen);
    connect(previewCheck, &QCheckBox::toggled, previewBox, qOverload<>(&QWidget::update));
    connect(folderCombo, &QComboBox::activated, this,
            [this](int i) { setFolder(folderCombo->itemData(i).toString()); });
    // The model reads folders in the background: lay the list out again once a folder has
    // arrived, or a list shown before its rows came stays empty.
    connect(model_, &QFileSystemModel::directoryLoaded, fileList,
            [this] { fileList->doItemsLayout(); });
    connect(fileList, &QListView::doubleClicked, this,
            [this](const QModelIndex& i) { itemDoubleClicked(model_->fileNameOf(i)); });
    connect(fileList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) {
                if (i.isValid() && !model_->isDir(i)) fileSelected(model_->fileNameOf(i));
            });
}

void PictureOpenDialog::prepare(const QString& folder, const QString& filter) {
    setFolder(folder);
    // The type list is refilled; the type chosen last time stays chosen when it still exists,
    // and the list shows at once what the chosen type's mask lets through.
    const int chosen = filterCombo->currentIndex();
    const QStringList parts = filter.split(QLatin1Char('|'));
    filterCombo->clear();
    masks_.clear();
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filterCombo->addItem(parts[i]);
        masks_ << parts[i + 1];
    }
    const int index = chosen >= 0 && chosen < masks_.size() ? chosen : 0;
    filterCombo->setCurrentIndex(index);
    filterChosen(index);
    fileNameEdit->clear();
}

void PictureOpenDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Typing starts in the name field; in the folder box a typed "/" would jump to the root.
    fileNameEdit->setFocus(Qt::OtherFocusReason);
}

void PictureOpenDialog::setFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder.isEmpty() ? QDir::rootPath() : folder);
    model_->setRootPath(folder_);
    fileList->setRootIndex(model_->index(folder_));
    folderCombo->clear();
    QDir d(folder_);
    QStringList chain;
    for (;;) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp()) break;
    }
    for (const QString& p : chain) folderCombo->addItem(p, p);
    folderCombo->setCurrentIndex(folderCombo->count() - 1);
}

QStringList PictureOpenDialog::nameFilters() const {
    return model_->nameFilters();
}

void PictureOpenDialog::filterChosen(int index) {
    if (index < 0 || index >= masks_.size()) return;
    model_->setNameFilters(masks_[index].split(QLatin1Char(';'), Qt::SkipEmptyParts));
}

void PictureOpenDialog::goToParentFolder() {
    QDir d(folder_);
    if (d.cdUp()) setFolder(d.absolutePath());
}

static QString joinFolder(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void PictureOpenDialog::fileSelected(const QString& name) {
    fileNameEdit->setText(name);
    showPreviewOf(name);
}

void PictureOpenDialog::itemDoubleClicked(const QString& name) {
    const QString path = joinFolder(folder_, name);
    if (QFileInfo(path).isDir()) {
        setFolder(path);
        return;
    }
    chosenPath = nameInProgramFolder(path, programFolder_);
    startFolder_.remember(path);
    showPreviewOf(name);
    accept();
}

void PictureOpenDialog::openChosen() {
    const QString name = fileNameEdit->text().trimmed();
    if (name.isEmpty()) return;  // nothing chosen yet: stay open
    // A full path typed into the field is taken as it is; a folder is opened in the list.
    const QString path = QFileInfo(name).isAbsolute() ? name : joinFolder(folder_, name);
    if (QFileInfo(path).isDir()) {
        setFolder(path);
        fileNameEdit->clear();
        return;
    }
    chosenPath = nameInProgramFolder(path, programFolder_);
    startFolder_.remember(path);
    accept();
}

void PictureOpenDialog::showPreviewOf(const QString& name) {
    const QString path = joinFolder(folder_, name);
    if (!previewCheck->isChecked() || !loadBitmapOrBlank(previewBitmap, path, programFolder_))
        previewBitmap = QImage();
    previewBox->update();
}

void PictureOpenDialog::paintPreview(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), box->palette().color(QPalette::Dark));
    if (!previewCheck->isChecked() || previewBitmap.isNull()) return;
    const QRect r =
        openPreviewRect(box->width(), box->height(), previewBitmap.width(), previewBitmap.height());
    if (!r.isEmpty()) p.drawImage(r, previewBitmap);
}

}  // namespace bb
