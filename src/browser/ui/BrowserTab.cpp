#include "browser/ui/BrowserTab.h"

#include "browser/CardBrowser.h"
#include "browser/CardFileActions.h"
#include "browser/PreviewGrid.h"
#include "browser/ui/PreviewGridWidget.h"
#include "document/UserDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace bb {

namespace {

// Keeps the grid as wide as the scroll box's client area and gives the focus to the grid
// when the scroll box is pressed outside it.
class ViewportWatcher : public QObject {
public:
    ViewportWatcher(PreviewGridWidget* grid, QObject* parent) : QObject(parent), grid_(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            grid_->fitToWidth(static_cast<QWidget*>(watched)->width());
        } else if (event->type() == QEvent::MouseButtonPress) {
            grid_->setFocus(Qt::MouseFocusReason);  // a press beside the cells focuses the grid
        }
        return false;
    }

private:
    PreviewGridWidget* grid_;
};

}  // namespace

BrowserTab::BrowserTab(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), browser_(std::make_unique<CardBrowser>()) {
    buildTree();
    places_ = new QListWidget;
    places_->setObjectName(QStringLiteral("BrowserPlaces"));
    places_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    places_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    places_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    places_->setIconSize(QSize(16, 16));
    connect(places_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!settingFolder_ && item) setFolder(item->data(Qt::UserRole).toString());
    });
    buildPlaces();

    buildPreview();
    arrangeParts();
    setTitleActive(false);
    connectParts();
    buildCardMenu();
}

// The folder tree of the whole file system, folders only.
void BrowserTab::buildTree() {
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setReadOnly(true);
    folders_->setRootPath(QDir::rootPath());

    tree_ = new QTreeView;
    tree_->setObjectName(QStringLiteral("JamShellTree1"));
    tree_->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c) tree_->hideColumn(c);
    tree_->header()->hide();
    tree_->setRootIndex(folders_->index(QDir::rootPath()));
    // The model fills and sorts the tree a folder at a time: the chosen folder is scrolled
    // into view again as its parents arrive, until the user moves the tree.
    const auto rescroll = [this] {
        if (scrollPending_ && tree_->currentIndex().isValid())
            tree_->scrollTo(tree_->currentIndex());
    };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, rescroll);
    connect(folders_, &QFileSystemModel::rowsInserted, this, rescroll);
    connect(folders_, &QFileSystemModel::layoutChanged, this, rescroll);
    tree_->viewport()->installEventFilter(this);
    tree_->verticalScrollBar()->installEventFilter(this);
}

// The title over the previews and the scrolled grid of previews.
void BrowserTab::buildPreview() {
    title_ = new QLabel(QStringLiteral("Kartenvorschau"));
    title_->setObjectName(QStringLiteral("PreviewTitle"));
    title_->setAutoFillBackground(true);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    title_->setContentsMargins(4, 2, 4, 2);

    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("ScrollBox4"));
    scroll_->setWidgetResizable(false);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_ = new PreviewGridWidget(*browser_);
    scroll_->setWidget(grid_);
    scroll_->viewport()->installEventFilter(new ViewportWatcher(grid_, this));
}

// The places and the tree on the left, the previews on the right.
void BrowserTab::arrangeParts() {
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(title_);
    rightLayout->addWidget(scroll_, 1);

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(2);
    leftLayout->addWidget(places_);
    leftLayout->addWidget(tree_, 1);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("BrowserSplitter"));
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

// The tree's choice, the browser's list and the grid's requests.
void BrowserTab::connectParts() {
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!settingFolder_) folderSelected(current);
            });
    connect(browser_.get(), &CardBrowser::listCleared, this, [this] {
        grid_->fitToWidth(scroll_->viewport()->width());
        grid_->update();
    });
    connect(browser_.get(), &CardBrowser::entryAdded, this, [this](int index) {
        grid_->fitToWidth(scroll_->viewport()->width());
        grid_->updateEntry(index);
    });
    connect(grid_, &PreviewGridWidget::selectionMoved, this, [this](int index) {
        QScrollBar* bar = scroll_->verticalScrollBar();
        bar->setValue(
            scrollIntoView(index, grid_->columns(), bar->value(), scroll_->viewport()->height()));
    });
    connect(grid_, &PreviewGridWidget::openSelected, this, &BrowserTab::openSelected);
    connect(grid_, &PreviewGridWidget::focusChanged, this, &BrowserTab::setTitleActive);
    connect(grid_, &PreviewGridWidget::deleteRequested, this, &BrowserTab::trashSelected);
    connect(grid_, &PreviewGridWidget::menuRequested, this, &BrowserTab::showCardMenu);
    connect(browser_.get(), &CardBrowser::entriesChanged, this, [this] {
        grid_->fitToWidth(scroll_->viewport()->width());
        grid_->update();
    });
}

// The menu of a card in the grid.
void BrowserTab::buildCardMenu() {
    cardMenu_ = new QMenu(this);
    cardMenu_->setObjectName(QStringLiteral("BrowserCardMenu"));
    const auto item = [this](const char* name, const QString& text, const char* icon,
                             void (BrowserTab::*slot)()) {
        QAction* action = cardMenu_->addAction(text, this, slot);
        action->setObjectName(QLatin1String(name));
        if (icon) action->setIcon(QIcon::fromTheme(QLatin1String(icon)));
        return action;
    };
    QAction* open =
        item("BrowserOpen", QStringLiteral("Öffnen"), "document-open", &BrowserTab::openSelected);
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    item("BrowserRename", QStringLiteral("Umbenennen..."), nullptr, &BrowserTab::renameSelected);
    item("BrowserDuplicate", QStringLiteral("Duplizieren"), "edit-copy",
         &BrowserTab::duplicateSelected);
    cardMenu_->addSeparator();
    item("BrowserTrash", QStringLiteral("In den Papierkorb verschieben"), "user-trash",
         &BrowserTab::trashSelected);
    cardMenu_->addSeparator();
    item("BrowserShowInFileManager", QStringLiteral("Im Dateimanager zeigen"),
         "system-file-manager", &BrowserTab::showSelectedInFileManager);
}

BrowserTab::~BrowserTab() {
    // The children outlive this body: their last signals (focus leaving the grid, the
    // tree's selection) must not reach the half-destroyed tab.
    grid_->disconnect(this);
    tree_->selectionModel()->disconnect(this);
    places_->disconnect(this);
    folders_->disconnect(this);
    tree_->viewport()->removeEventFilter(this);
    tree_->verticalScrollBar()->removeEventFilter(this);
    // On close: no restart, the running worker stops, the entries are freed.
    browser_->disconnect(this);
    browser_.reset();
}

void BrowserTab::setFolder(const QString& folder) {
    const QString path = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
    const QModelIndex index = path.isEmpty() ? QModelIndex() : folders_->index(path);
    settingFolder_ = true;
    if (index.isValid()) {
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
        scrollPending_ = true;
    }
    markPlace(path);
    settingFolder_ = false;
    browser_->folderChanging();
    browser_->changeFolder(path);
}

void BrowserTab::setCardFolder(const QString& folder) {
    cardFolder_ = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
    buildPlaces();
    setFolder(cardFolder_);
}

void BrowserTab::buildPlaces() {
    struct Place {
        QString caption, path, icon;
        QStyle::StandardPixmap fallback;
    };
    std::vector<Place> places;
    if (!cardFolder_.isEmpty()) {
        const QString name = QFileInfo(cardFolder_).fileName();
        places.push_back({name.isEmpty() ? QStringLiteral("Grußkarten") : name, cardFolder_,
                          QStringLiteral("folder-documents"), QStyle::SP_DirIcon});
    }
    places.push_back({QStringLiteral("Persönlicher Ordner"), QDir::homePath(),
                      QStringLiteral("user-home"), QStyle::SP_DirHomeIcon});
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        places.push_back({QStringLiteral("Bilder"), QDir(pictures).absolutePath(),
                          QStringLiteral("folder-pictures"), QStyle::SP_DirIcon});
    places.push_back({QStringLiteral("Dateisystem"), QDir::rootPath(),
                      QStringLiteral("drive-harddisk"), QStyle::SP_DriveHDIcon});

    const bool was = settingFolder_;
    settingFolder_ = true;
    places_->clear();
    for (const Place& place : places) {
        auto* item = new QListWidgetItem(
            QIcon::fromTheme(place.icon, style()->standardIcon(place.fallback)), place.caption);
        item->setData(Qt::UserRole, place.path);
        item->setToolTip(place.path);
        places_->addItem(item);
    }
    // Exactly as high as its rows.
    places_->setFixedHeight(places_->sizeHintForRow(0) * places_->count() +
                            2 * places_->frameWidth());
    markPlace(browser_->selectedFolder());
    settingFolder_ = was;
}

void BrowserTab::markPlace(const QString& folder) {
    const bool was = settingFolder_;
    settingFolder_ = true;
    places_->setCurrentItem(nullptr);
    for (int i = 0; i < places_->count(); ++i) {
        if (places_->item(i)->data(Qt::UserRole).toString() == folder) {
            places_->setCurrentRow(i);
            break;
        }
    }
    settingFolder_ = was;
}

QString BrowserTab::folder() const {
    return browser_->selectedFolder();
}

void BrowserTab::refresh() {
    browser_->folderChanging();
    browser_->changeFolder(browser_->selectedFolder());
}

bool BrowserTab::workerRunning() const {
    return browser_->workerRunning();
}

void BrowserTab::requestStop() {
    browser_->requestStop();
}

void BrowserTab::stopWalk() {
    browser_->stopWalk();
}

void BrowserTab::folderSelected(const QModelIndex& current) {
    const QString path = current.isValid() ? folders_->filePath(current) : QString();
    scrollPending_ = false;
    markPlace(path);
    browser_->folderChanging();
    browser_->changeFolder(path);
}

void BrowserTab::openSelected() {
    const QString path = browser_->entryPath(browser_->selectedIndex);
    if (!path.isEmpty()) emit openRequested(path);
}

void BrowserTab::renameSelected() {
    const QString path = browser_->entryPath(browser_->selectedIndex);
    if (path.isEmpty()) return;
    const QString current = QFileInfo(path).fileName();
    QString typed;
    if (nameAsker_) {
        typed = nameAsker_(current);
    } else {
        QInputDialog ask(this);
        ask.setObjectName(QStringLiteral("RenameDialog"));
        ask.setWindowTitle(QStringLiteral("Karte umbenennen"));
        ask.setLabelText(QStringLiteral("Neuer Name der Karte:"));
        ask.setTextValue(current);
        // Wide enough for a long name; the name without ".kar" is selected (after the
        // dialog's own select-all on showing), ready to be typed over.
        if (auto* edit = ask.findChild<QLineEdit*>()) {
            edit->setMinimumWidth(320);
            const int base = int(QFileInfo(current).completeBaseName().size());
            QTimer::singleShot(0, edit, [edit, base] { edit->setSelection(0, base); });
        }
        if (ask.exec() == QDialog::Accepted) typed = ask.textValue();
    }
    const CardFileResult result = renameCardFile(path, typed);
    if (!result.error.isEmpty()) return report(result.error);
    if (!result.ok()) return;
    browser_->synchronize(QFileInfo(result.path).fileName());
    scrollToSelection();
    emit cardRenamed(path, result.path);
}

void BrowserTab::duplicateSelected() {
    const QString path = browser_->entryPath(browser_->selectedIndex);
    if (path.isEmpty()) return;
    const CardFileResult result = duplicateCardFile(path);
    if (!result.error.isEmpty()) return report(result.error);
    browser_->synchronize(QFileInfo(result.path).fileName());
    scrollToSelection();
}

void BrowserTab::trashSelected() {
    const QString path = browser_->entryPath(browser_->selectedIndex);
    if (path.isEmpty()) return;
    if (dialogs_.message(trashQuestion(path), kAppTitle, MsgIcon::Question, BtnYes | BtnNo) !=
        BtnYes)
        return;
    const QString error = trashCardFile(path);
    if (!error.isEmpty()) return report(error);
    browser_->synchronize();
    emit cardTrashed(path);
}

void BrowserTab::showSelectedInFileManager() {
    const QString path = browser_->entryPath(browser_->selectedIndex);
    if (path.isEmpty()) return;
    const QString folder = QFileInfo(path).absolutePath();
    showInFileManager(path, this, [this, folder] {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
            report(QStringLiteral("Der Ordner „%1“ konnte nicht im Dateimanager geöffnet werden.")
                       .arg(QDir::toNativeSeparators(folder)));
    });
}

void BrowserTab::showCardMenu(const QPoint& globalPos) {
    cardMenu_->popup(globalPos);
}

void BrowserTab::scrollToSelection() {
    QScrollBar* bar = scroll_->verticalScrollBar();
    bar->setValue(scrollIntoView(browser_->selectedIndex, grid_->columns(), bar->value(),
                                 scroll_->viewport()->height()));
}

void BrowserTab::report(const QString& text) {
    dialogs_.message(text, kAppTitle, MsgIcon::Warning, BtnOk);
}

void BrowserTab::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A new desktop palette (a dark theme): the caption takes its colours again.
    if (event->type() == QEvent::PaletteChange) setTitleActive(grid_->hasFocus());
}

bool BrowserTab::eventFilter(QObject* watched, QEvent* event) {
    // The user moves the tree: it is no longer brought back to the chosen folder.
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::Wheel) scrollPending_ = false;
    return QWidget::eventFilter(watched, event);
}

void BrowserTab::setTitleActive(bool active) {
    // KeyEdit2Enter / KeyEdit2Exit: the caption colours of an active or inactive window.
    QPalette p = title_->palette();
    const QPalette app = palette();
    if (active) {
        p.setColor(QPalette::Window, app.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::WindowText, app.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        p.setColor(QPalette::Window, app.color(QPalette::Active, QPalette::Dark));
        p.setColor(QPalette::WindowText, app.color(QPalette::Active, QPalette::Light));
    }
    title_->setPalette(p);
}

}  // namespace bb
