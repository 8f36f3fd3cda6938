#include "browser/ui/BrowserTab.h"

#include "browser/CardBrowser.h"
#include "browser/PreviewGrid.h"
#include "browser/ui/PreviewGridWidget.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeView>
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
    : QWidget(parent), browser_(std::make_unique<CardBrowser>(dialogs)) {
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

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    rightLayout->addWidget(title_);
    rightLayout->addWidget(scroll_, 1);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(tree_);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    setTitleActive(false);

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
}

BrowserTab::~BrowserTab() {
    // The children outlive this body: their last signals (focus leaving the grid, the
    // tree's selection) must not reach the half-destroyed tab.
    grid_->disconnect(this);
    tree_->selectionModel()->disconnect(this);
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
    }
    settingFolder_ = false;
    browser_->folderChanging();
    browser_->changeFolder(path);
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
    browser_->folderChanging();
    browser_->changeFolder(path);
}

void BrowserTab::openSelected() {
    const QString path = browser_->entryPath(browser_->selectedIndex);
    if (!path.isEmpty()) emit openRequested(path);
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
