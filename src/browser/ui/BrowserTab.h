// The tab "Karte öffnen": a folder tree on the left and, under the title bar
// "Kartenvorschau", a scrollable grid with the stored preview and the file name of every card
// file in the chosen folder. A preview worker fills the grid one file at a time while the
// window stays usable; a double click or Enter asks the window to open the selected card.
// Above the tree a short list of places (the card folder, home, pictures, the file system)
// selects that folder in the tree. A right click on a card offers opening, renaming,
// duplicating, the trash and the file manager; Delete moves the selected card to the trash
// after a question. The grid follows changes in the folder it shows.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QMenu;
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
    // The card folder: the first of the places and the folder shown (selected and scrolled
    // into view in the tree).
    void setCardFolder(const QString& folder);
    // Empties the grid and walks the selected folder again (activating the tab does this).
    void refresh();

    // True while a preview worker exists.
    bool workerRunning() const;
    // Asks a running worker to stop before its next step and cancels any pending restart.
    void requestStop();
    // Stops a running walk and waits until its worker has ended; the window does this when
    // it closes.
    void stopWalk();

    // The card commands on the selected card (the context menu's items).
    void openSelected();
    void renameSelected();
    void duplicateSelected();
    // Asks, then moves the card to the trash.
    void trashSelected();
    void showSelectedInFileManager();
    // Asks for a card's new name (the current file name is given); empty for cancel. Unset,
    // a Qt input dialog asks.
    void setNameAsker(std::function<QString(const QString& current)> asker) {
        nameAsker_ = std::move(asker);
    }

    // The browser state (entries, selection, worker flags), for the window and for tests.
    CardBrowser& browser() { return *browser_; }
    const CardBrowser& browser() const { return *browser_; }

signals:
    // Double click or Enter on a card: the window opens `path` (openCardFile) and shows the
    // editor tab.
    void openRequested(const QString& path);
    // After a card of the grid was renamed from `from` to `to` (full paths).
    void cardRenamed(const QString& from, const QString& to);
    // After the card `path` was moved to the trash.
    void cardTrashed(const QString& path);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void folderSelected(const QModelIndex& current);
    void setTitleActive(bool active);
    void buildPlaces();
    void buildTree();
    void buildPreview();
    void arrangeParts();
    void connectParts();
    void buildCardMenu();
    void markPlace(const QString& folder);
    void showCardMenu(const QPoint& globalPos);
    void scrollToSelection();
    void report(const QString& text);

    UserDialogs& dialogs_;
    std::unique_ptr<CardBrowser> browser_;
    QString cardFolder_;
    QListWidget* places_ = nullptr;
    QMenu* cardMenu_ = nullptr;
    std::function<QString(const QString&)> nameAsker_;
    bool scrollPending_ = false;  // the tree shows the folder again when its parents load
    QFileSystemModel* folders_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLabel* title_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PreviewGridWidget* grid_ = nullptr;
    bool settingFolder_ = false;
};

}  // namespace bb
