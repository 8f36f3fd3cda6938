// The main window: owns the one card, builds the tabs "Karte öffnen", "Editor" and "Drucken",
// the menus, the information panel and the status line, and runs the life of the card: new,
// open, save, save as, exit and closing with the question whether to save.
#pragma once

#include "app/RecentCards.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QSettings;
class QMimeData;
class QProgressBar;
class QTabWidget;
class QTemporaryDir;
class QTimer;

namespace bb {

class BrowserTab;
class CommandRegistry;
class EditorController;
class EditorTab;
class EditorViews;
class ExportController;
class OrnamentDialog;
class PrintTab;
class ScanController;
class SettingsStore;
class AboutDialog;
class Autosave;
class OrphanedRecovery;
struct RecoveryQuestion;
enum class RecoveryAnswer;
class CardTypeEditDialog;
class GridDialog;
class GuideWindow;
class CardEnvelopeMaker;
class EnvelopeDialog;
class LabelDialog;
class MailLauncher;
class MergeDialog;
class MergeSession;
enum class MergeSides;
class NewCardDialog;
class UserDialogs;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        QString programFolder;       // where "Visiten.dat" and "options.dat" live
        QString cardFolder;          // where the user's cards live; empty: the program folder
        int screenDpi = 0;           // 0: the screen's logical horizontal dpi
        bool installStarter = true;  // build "Visiten.dat" from the starter list if missing
        bool useSettings = true;     // restore and save placement and print options
        QString recoveryFolder;      // where unsaved changes are kept; empty: nowhere
        int autosaveSeconds = 120;   // between two recovery copies
        // The program's writable data folder, which holds "Eigene Vorlagen"; empty: the
        // user's (userDataFolder).
        QString dataFolder;
        // The folders of the designs that come with the program; empty: those installed or
        // in the build tree (shippedContentFolders).
        QStringList designFolders;
    };

    MainWindow(UserDialogs& dialogs, const Options& options, QWidget* parent = nullptr);
    ~MainWindow() override;

    CardDocument& document() { return *doc_; }
    RenderContext& renderContext() { return ctx_; }
    const QString& programFolder() const { return programFolder_; }
    EditorTab& editorTab() { return *editor_; }
    EditorViews& views();
    EditorController& editing() { return *editing_; }
    BrowserTab* browserTab() const { return browser_; }
    PrintTab* printTab() const { return print_; }
    NewCardDialog& newCardDialog() { return *newCardDialog_; }
    CardTypeEditDialog& cardTypeEditDialog() { return *cardTypeEditDialog_; }
    AboutDialog& aboutDialog() { return *aboutDialog_; }
    QTabWidget* mainTabs() const { return mainTabs_; }
    QString cardFormatCaption() const;
    // The program's commands, from which the menus, the tool bar and the context menus take
    // their items.
    CommandRegistry& commands();
    QAction* undoAction() const;
    QAction* redoAction() const;
    // The menu "&Bearbeiten".
    QMenu* editMenu() const { return editMenu_; }
    QAction* snapAction() const;
    QAction* gridShownAction() const;
    ScanController& scanController() { return *scan_; }

    // Commands (menus and tool bar).
    void newCard();
    void openCardWithDialog();
    bool saveCard();
    bool saveCardAs();
    // "Als Vorlage speichern...": asks for a name and keeps the card with its pictures among
    // the user's own designs; the open card stays as it is.
    void saveAsDesign();
    // Answers the name question of "Als Vorlage speichern..." instead of the dialog (tests);
    // nothing means cancelled.
    void setDesignNameAsker(std::function<std::optional<QString>(const QString&)> asker) {
        designNameAsker_ = std::move(asker);
    }
    // The folder of the user's own designs (not made here).
    QString ownDesignsFolder() const;
    // Opens a copy of the design at `path` as a new card without a file; false when it
    // cannot be read.
    bool startFromDesign(const QString& path);
    void exitProgram();
    void editCardFormat();
    void showAbout();
    // "&Anleitung" (F1): the guide in a window of its own.
    void showGuide();
    GuideWindow* guideWindow() const { return guide_; }
    // "Schmuck einfügen...": the ornaments' dialog, beside the window; made on first use.
    void showOrnaments();
    OrnamentDialog* ornamentDialog() const { return ornamentDialog_; }
    // "Adressen...": the address book, kept in the data folder.
    void openAddressBook();
    QString addressBookFolder() const;
    // The address book (all entries or this year's ticked ones) as the card's list; false
    // when the book cannot be read, after saying why (`quiet`: in the status bar).
    bool useAddressBook(bool tickedOnly, bool quiet = false);
    // At start, when the person asked for it: the birthdays of the next 30 days beside the
    // window; nothing when there are none.
    void showUpcomingBirthdays();
    // A card named on the command line: opened, and the editor shown.
    bool openCardFromCommandLine(const QString& path);
    // "Zuletzt geöffnet": the cards opened or saved last, kept in the settings.
    RecentCards& recentCards() { return recent_; }
    QMenu* recentMenu() const { return recentMenu_; }
    // "Raster...": the grid spacing that dragged objects snap to, kept in the user's settings.
    void editGrid();
    // "Absender...": the user's address for envelopes, kept in the user's settings.
    void editSender();
    // Opens a card by path (the open dialog's choice, the browser's double click).
    bool openCard(const QString& path);
    // Opens the first card file among dropped files; false when there is none or it failed.
    bool openDroppedCard(const QMimeData& mime);
    // Shows a progress of 0..100 percent in the status bar.
    void showProgress(int percent);
    // The general error display for failures that no command handles.
    void showGeneralError(const QString& text);
    // Runs a command and shows any exception that escapes it in the general error display.
    void runCommand(const std::function<void()>& command);

    // Recovery copies of the card; null without a recovery folder.
    Autosave* autosave() const { return autosave_; }
    // Offers each card left behind by a program that ended abnormally: restore, discard or
    // keep for later. A restored card is open as unsaved under its own file name.
    void offerRecovery();
    // Answers the recovery question instead of the dialog (tests).
    void setRecoveryAsker(std::function<RecoveryAnswer(const RecoveryQuestion&)> asker) {
        recoveryAsker_ = std::move(asker);
    }

    // Personal cards: the address list of the open card and the record the views and the
    // print preview show; "Serienkarten..." opens the dialog.
    MergeSession& mergeSession() { return *merge_; }
    void openMergeDialog();
    // "Etiketten drucken...": the list's addresses on label sheets; without a list the person
    // is asked to choose one first.
    void openLabelDialog();
    LabelDialog* labelDialog() const { return labelDialog_; }

    // "Als PDF speichern...": asks for the layout, marks and bleed, then the file.
    void saveAsPdf();
    // "Per E-Mail senden...": asks which sides and how, writes the files into a folder of
    // this run (mailFolder) and hands them to the desktop's mail program; where that fails,
    // offers to show the folder.
    void sendByMail();
    // Runs the option dialogs of both instead of exec() (tests); returns the dialog's result.
    void setSendDialogHook(std::function<int(QDialog&)> hook) { sendDialogHook_ = std::move(hook); }
    // Answers the offer to show the folder of a mail's files instead of the message (tests):
    // given its text, true shows the folder.
    void setMailFolderAsker(std::function<bool(const QString&)> asker) {
        mailFolderAsker_ = std::move(asker);
    }
    MailLauncher& mailLauncher();
    // The private folder of this run that holds the files of mails; empty before the first.
    QString mailFolder() const;

    // Start-up state.
    bool closeConfirmed = false;
    bool startupLayoutPending = false;
    bool startupLayoutDone = false;

signals:
    // After every clearAll: the editing layer resets its mouse state and drag mode.
    void documentCleared();
    // After a card was opened, a new card made or the card format changed.
    void documentReplaced();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // Shows the status tips of the window's dialogs in its status line.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // After a card was opened into the document (ok) or refused: the title, views and panels
    // follow; `clearsBefore` is the document's clear count before the attempt.
    bool showOpenedCard(bool ok, uint64_t clearsBefore);
    void createContents();
    void scheduleStartupLayout();
    void finishStartupLayout();
    bool confirmClose();
    // "Änderungen an „Name.kar“ speichern?" for the open card (its title name).
    QString saveQuestion() const;
    // Asks the save question with `caption` when the card changed since it was last saved,
    // opened or cleared; BtnNo without asking otherwise. Returns BtnYes, BtnNo or BtnCancel.
    int askToSaveChanges(const QString& caption);
    // The menus (MainWindowFile.cpp, MainWindowEdit.cpp, MainWindowSettings.cpp) and the
    // editor's tool bar, from the command registry.
    void buildMenus();
    // Defines a command of the window and adds its action to `menu`.
    QAction* addCommand(QMenu* menu, const QString& id, const QString& caption, const char* name,
                        const QList<QKeySequence>& keys, const QString& hint,
                        std::function<void()> run);
    // Adds the action of a command defined elsewhere (the editor's) to `menu`.
    QAction* addCommand(QMenu* menu, const QString& id);
    QAction* commandAction(const QString& id) const;
    void buildFileMenu();
    void addPrintItems(QMenu* datei);
    // "Als PDF speichern..." and "Per E-Mail senden..." (MainWindowSend.cpp).
    void addSendItems(QMenu* datei);
    int runSendDialog(QDialog& dialog);
    // The card's name for files and the mail's subject: its file's name, else "Karte".
    QString sendName() const;
    void buildEditMenu();
    void addSelectionItems();
    void addClipboardItems();
    // Adds the commands `ids` to "Bearbeiten", enabled while the editor is shown.
    void addEditorItems(const QStringList& ids);
    void buildSettingsMenu();
    void buildHelpMenu();
    void buildToolBar();
    void buildTabs();
    void buildInfoPanel();
    void mainTabChanged(int index);
    void showCardFormatText();
    void setTitleFromDocument();
    // Undo and redo: the menu items follow the history, the title its unsaved state.
    void connectHistory();
    void updateHistoryActions();
    void afterHistoryApplied(bool formatChanged);
    void afterSave(bool ok);
    void repaintAll();
    void restoreSettings();
    void placeForFirstStart();
    void saveSettings();
    // Writes the snapping switch and the grid spacing to the user's settings.
    void storeSnapSettings();
    void buildRecentMenu(QMenu* datei);
    void fillRecentMenu();
    void noteRecent(const QString& path);
    void storeRecent();
    // The open card and the recent list follow a card renamed in the browser.
    void cardRenamed(const QString& from, const QString& to);
    void cardTrashed(const QString& path);
    CardFileContext& fileContext();
    void setUpAutosave();
    bool restoreRecovered(OrphanedRecovery& recovery);
    // Personal cards (MainWindowMerge.cpp).
    void setUpMerge();
    // Draws the texts filled from the record shown, except while a text is typed on.
    void updateMergeFill();
    void rememberMergeList();
    // Reads the list remembered for the card just opened, in the background.
    void restoreMergeList();
    void exportMerge(const std::vector<int>& rows, int nameColumn, MergeSides sides);
    // "Umschläge drucken..." (MainWindowEnvelopes.cpp): without a list, the merge dialog first.
    void openEnvelopeDialog();

    UserDialogs& dialogs_;
    Options options_;
    QString programFolder_;
    QString cardFolder_;
    std::unique_ptr<CardDocument> doc_;
    RenderContext ctx_;
    std::unique_ptr<CardFileContext> fileContext_;

    QTabWidget* mainTabs_ = nullptr;
    EditorTab* editor_ = nullptr;
    BrowserTab* browser_ = nullptr;
    GridDialog* gridDialog_ = nullptr;
    PrintTab* print_ = nullptr;
    QLabel* infoPanel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTimer* startupLayoutTimer_ = nullptr;

    NewCardDialog* newCardDialog_ = nullptr;
    CardTypeEditDialog* cardTypeEditDialog_ = nullptr;
    AboutDialog* aboutDialog_ = nullptr;
    OrnamentDialog* ornamentDialog_ = nullptr;
    ExportController* export_ = nullptr;
    ScanController* scan_ = nullptr;
    // The one settings store of the program; with useSettings off, one for this run only.
    std::unique_ptr<SettingsStore> settings_;
    EditorController* editing_ = nullptr;  // selection, tools, menus, panel, object dialogs

    QMenu* editMenu_ = nullptr;
    bool dialogTipShown_ = false;  // the status line shows a tip of one of the dialogs
    QMenu* centreMenu_ = nullptr;
    Autosave* autosave_ = nullptr;
    std::function<RecoveryAnswer(const RecoveryQuestion&)> recoveryAsker_;
    std::function<std::optional<QString>(const QString&)> designNameAsker_;
    RecentCards recent_;
    QMenu* recentMenu_ = nullptr;
    GuideWindow* guide_ = nullptr;
    MergeSession* merge_ = nullptr;
    MergeDialog* mergeDialog_ = nullptr;
    LabelDialog* labelDialog_ = nullptr;
    bool mergeRestorePending_ = false;  // a card was cleared: its successor's list is read
    bool mergeExporting_ = false;       // the merge's export fills the texts itself meanwhile
    std::shared_ptr<CardEnvelopeMaker> envelopeMaker_;  // made with the envelope dialog
    EnvelopeDialog* envelopeDialog_ = nullptr;
    std::shared_ptr<MailLauncher> mailLauncher_;
    std::shared_ptr<QTemporaryDir> mailFolder_;  // removed with the window
    std::function<int(QDialog&)> sendDialogHook_;
    std::function<bool(const QString&)> mailFolderAsker_;
};

}  // namespace bb
