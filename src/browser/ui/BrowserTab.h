// The tab "Karte öffnen": a folder tree on the left and, under the title bar
// "Kartenvorschau", a scrollable grid with the stored preview and the file name of every card
// file in the chosen folder. A preview worker fills the grid one file at a time while the
// window stays usable; a double click or Enter asks the window to open the selected card.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QFileSystemModel;
class QLabel;
class QModelIndex;
class QScrollArea;
class QTreeView;

namespace bb {

class CardBrowser;
class PreviewGridWidget;
class UserDialogs;

class BrowserTab : public QWidget {
    Q_OBJECT
public:
    explicit BrowserTab(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~BrowserTab() override;

    // Selects `folder` in the tree and shows its cards (a running walk is stopped first and
    // the new folder's walk starts when it has ended).
    void setFolder(const QString& folder);
    QString folder() const;
    // Empties the grid and walks the selected folder again (activating the tab does this).
    void refresh();

    // True while a preview worker exists.
    bool workerRunning() const;
    // Asks a running worker to stop before its next step and cancels any pending restart.
    void requestStop();
    // Stops a running walk and waits until its worker has ended; the window does this when
    // it closes.
    void stopWalk();

    // The browser state (entries, selection, worker flags), for the window and for tests.
    CardBrowser& browser() { return *browser_; }
    const CardBrowser& browser() const { return *browser_; }

signals:
    // Double click or Enter on a card: the window opens `path` (openCardFile) and shows the
    // editor tab.
    void openRequested(const QString& path);

private:
    void folderSelected(const QModelIndex& current);
    void openSelected();
    void setTitleActive(bool active);

    std::unique_ptr<CardBrowser> browser_;
    QFileSystemModel* folders_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLabel* title_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PreviewGridWidget* grid_ = nullptr;
    bool settingFolder_ = false;
};

}  // namespace bb
