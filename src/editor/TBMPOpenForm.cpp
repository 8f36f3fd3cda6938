#include "editor/TBMPOpenForm.h"

#include "pictures/PictureOps.h"

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
#include <QToolButton>
#include <QVBoxLayout>

namespace bb {

QString SubProgPath(const QString& path, const QString& programFolder) {
    QString folder = QDir::cleanPath(programFolder);
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    // Only a path that starts with the folder can lie in it (paths compare case-sensitively
    // on this file system).
    if (programFolder.isEmpty() || !path.startsWith(folder)) return path;
    const QString rest = path.mid(folder.size());
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

class OpenPreviewBox : public QWidget {
public:
    OpenPreviewBox(TBMPOpenForm& form, QWidget* parent) : QWidget(parent), form_(form) {}

protected:
    void paintEvent(QPaintEvent*) override { form_.paintPreview(this); }

private:
    TBMPOpenForm& form_;
};

TBMPOpenForm::TBMPOpenForm(const QString& programFolder, QWidget* parent)
    : QDialog(parent), programFolder_(programFolder) {
    setObjectName(QStringLiteral("BMPOpenForm"));
    setWindowTitle(QStringLiteral("Bild öffnen"));
    setSizeGripEnabled(true);
    PreviewBitmap = QImage(100, 100, QImage::Format_RGB32);
    PreviewBitmap.fill(Qt::white);

    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Suchen in:"), this));
    FolderCombo = new QComboBox(this);
    FolderCombo->setObjectName(QStringLiteral("DirectoryComboBox1"));
    top->addWidget(FolderCombo, 1);
    UpBtn = new QToolButton(this);
    UpBtn->setObjectName(QStringLiteral("UpBtn"));
    UpBtn->setText(QStringLiteral(".."));
    UpBtn->setToolTip(QStringLiteral("Übergeordneter Ordner"));
    top->addWidget(UpBtn);
    grid->addLayout(top, 0, 0, 1, 2);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    model_->setNameFilterDisables(false);
    model_->setNameFilters({QStringLiteral("*")});
    FileListBox1 = new QListView(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setViewMode(QListView::ListMode);
    FileListBox1->setFlow(QListView::TopToBottom);
    FileListBox1->setWrapping(true);
    FileListBox1->setResizeMode(QListView::Adjust);
    FileListBox1->setDragEnabled(false);
    FileListBox1->setModel(model_);
    grid->addWidget(FileListBox1, 1, 0);

    auto* right = new QVBoxLayout;
    PreviewBox = new OpenPreviewBox(*this, this);
    PreviewBox->setObjectName(QStringLiteral("PreviewBox"));
    PreviewBox->setMinimumSize(160, 160);
    right->addWidget(PreviewBox, 1);
    VSchauCheck = new QCheckBox(QStringLiteral("Vorschau"), this);
    VSchauCheck->setObjectName(QStringLiteral("VSchauCheck"));
    VSchauCheck->setChecked(true);
    right->addWidget(VSchauCheck);
    grid->addLayout(right, 1, 1);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Dateiname:"), this), 0, 0);
    FileNameEdit = new QLineEdit(this);
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    fields->addWidget(FileNameEdit, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Dateityp:"), this), 1, 0);
    FilterComboBox1 = new QComboBox(this);
    FilterComboBox1->setObjectName(QStringLiteral("FilterComboBox1"));
    fields->addWidget(FilterComboBox1, 1, 1);
    auto* open = new QPushButton(QStringLiteral("&Öffnen"), this);
    open->setObjectName(QStringLiteral("OpenBtn"));
    open->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("A&bbrechen"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    fields->addWidget(open, 0, 2);
    fields->addWidget(cancel, 1, 2);
    grid->addLayout(fields, 2, 0, 1, 2);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    connect(open, &QPushButton::clicked, this, &TBMPOpenForm::OpenBtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(UpBtn, &QToolButton::clicked, this, &TBMPOpenForm::upClick);
    connect(FilterComboBox1, &QComboBox::activated, this, &TBMPOpenForm::filterChosen);
    connect(VSchauCheck, &QCheckBox::toggled, PreviewBox, qOverload<>(&QWidget::update));
    connect(FolderCombo, &QComboBox::activated, this,
            [this](int i) { setFolder(FolderCombo->itemData(i).toString()); });
    // The model reads folders in the background: lay the list out again once a folder has
    // arrived, or a list shown before its rows came stays empty.
    connect(model_, &QFileSystemModel::directoryLoaded, FileListBox1,
            [this] { FileListBox1->doItemsLayout(); });
    connect(FileListBox1, &QListView::doubleClicked, this,
            [this](const QModelIndex& i) { itemDoubleClicked(model_->fileName(i)); });
    connect(FileListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) {
                if (i.isValid() && !model_->isDir(i)) fileSelected(model_->fileName(i));
            });
    resize(600, 420);
}

void TBMPOpenForm::prepare(const QString& folder, const QString& filter) {
    setFolder(folder);
    // The type list is refilled; the mask in use changes only when the user picks a type.
    const QStringList parts = filter.split(QLatin1Char('|'));
    FilterComboBox1->clear();
    masks_.clear();
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        FilterComboBox1->addItem(parts[i]);
        masks_ << parts[i + 1];
    }
    FileNameEdit->clear();
}

void TBMPOpenForm::setFolder(const QString& folder) {
    folder_ = QDir::cleanPath(folder.isEmpty() ? QDir::rootPath() : folder);
    model_->setRootPath(folder_);
    FileListBox1->setRootIndex(model_->index(folder_));
    FolderCombo->clear();
    QDir d(folder_);
    QStringList chain;
    for (;;) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp()) break;
    }
    for (const QString& p : chain) FolderCombo->addItem(p, p);
    FolderCombo->setCurrentIndex(FolderCombo->count() - 1);
}

QStringList TBMPOpenForm::nameFilters() const {
    return model_->nameFilters();
}

void TBMPOpenForm::filterChosen(int index) {
    if (index < 0 || index >= masks_.size()) return;
    model_->setNameFilters(masks_[index].split(QLatin1Char(';'), Qt::SkipEmptyParts));
}

void TBMPOpenForm::upClick() {
    QDir d(folder_);
    if (d.cdUp()) setFolder(d.absolutePath());
}

static QString joinFolder(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void TBMPOpenForm::fileSelected(const QString& name) {
    FileNameEdit->setText(name);
    OpenFileNow(name);
}

void TBMPOpenForm::itemDoubleClicked(const QString& name) {
    const QString path = joinFolder(folder_, name);
    if (QFileInfo(path).isDir()) {
        setFolder(path);
        return;
    }
    ChosenPicturePath = SubProgPath(path, programFolder_);
    OpenFileNow(name);
    accept();
}

void TBMPOpenForm::OpenBtnClick() {
    const QString name = FileNameEdit->text().trimmed();
    if (name.isEmpty()) return;  // nothing chosen yet: stay open
    // A full path typed into the field is taken as it is; a folder is opened in the list.
    const QString path = QFileInfo(name).isAbsolute() ? name : joinFolder(folder_, name);
    if (QFileInfo(path).isDir()) {
        setFolder(path);
        FileNameEdit->clear();
        return;
    }
    ChosenPicturePath = SubProgPath(path, programFolder_);
    accept();
}

void TBMPOpenForm::OpenFileNow(const QString& name) {
    const QString path = joinFolder(folder_, name);
    if (!VSchauCheck->isChecked() || !LoadBit(PreviewBitmap, path, programFolder_))
        PreviewBitmap = QImage();
    PreviewBox->update();
}

void TBMPOpenForm::paintPreview(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), box->palette().color(QPalette::Dark));
    if (!VSchauCheck->isChecked() || PreviewBitmap.isNull()) return;
    const QRect r =
        openPreviewRect(box->width(), box->height(), PreviewBitmap.width(), PreviewBitmap.height());
    if (!r.isEmpty()) p.drawImage(r, PreviewBitmap);
}

}  // namespace bb
