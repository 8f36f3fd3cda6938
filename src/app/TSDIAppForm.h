// The main window: owns the one card, builds the tabs "Karte öffnen", "Editor" and "Drucken",
// the menus, the information panel and the status line, and runs the life of the card: new,
// open, save, save as, exit and closing with the question whether to save.
#pragma once

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace bb {

class BrowserTab;
class EditorController;
class EditorTab;
class EditorViews;
class ExportController;
class PrintTab;
class ScanController;
class TAboutBox;
class TNewETypForm;
class TneuForm;
class UserDialogs;

class TSDIAppForm : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        QString programFolder;       // where "Visiten.dat" and "options.dat" live
        int screenDpi = 0;           // 0: the screen's logical horizontal dpi
        bool installStarter = true;  // build "Visiten.dat" from the starter list if missing
        bool useSettings = true;     // restore and save placement and print options
    };

    TSDIAppForm(UserDialogs& dialogs, const Options& options, QWidget* parent = nullptr);
    ~TSDIAppForm() override;  // FormDestroy

    CardDocument& document() { return *doc_; }
    RenderContext& renderContext() { return ctx_; }
    const QString& ProgramFolder() const { return programFolder_; }
    EditorTab& editorTab() { return *editor_; }
    EditorViews& views();
    EditorController& editing() { return *editing_; }
    BrowserTab* browserTab() const { return browser_; }
    PrintTab* printTab() const { return print_; }
    TneuForm& neuForm() { return *neuForm_; }
    TNewETypForm& newETypForm() { return *newETypForm_; }
    TAboutBox& aboutBox() { return *aboutBox_; }
    QTabWidget* pageControl() const { return PageControl1; }
    QString cardFormatCaption() const;
    QAction* backgroundAction() const { return SpeedItem6; }
    QAction* backgroundMenuAction() const { return Hintergrundbild1; }

    // Commands (menus and tool bar).
    void Neu1Click();
    void OpenItemClick();
    bool SaveItemClick();
    bool Speichernunter1Click();
    void ExitItemClick();
    void Etikettenformat1Click();
    void About1Click();
    // Opens a card by path (the open dialog's choice, the browser's double click).
    bool openCard(const QString& path);
    // WMUser: ProgressBar1 := percent (0..100).
    void WMUser(int percent);
    // The general error display for failures that no command handles.
    void showGeneralError(const QString& text);
    // Runs a command and shows any exception that escapes it in the general error display.
    void runCommand(const std::function<void()>& command);

    // Connects the background dialog (tool button "Hintergrund", menu "&Hintergrundbild...").
    void setBackgroundCommand(std::function<void()> command);

    // Start-up state.
    bool CloseConfirmed = false;
    bool StartupLayoutPending = false;
    bool StartupLayoutDone = false;
    QTimer* timer2() const { return Timer2; }

signals:
    // After every clearall: the editing layer resets its mouse state and drag mode.
    void documentCleared();
    // After a card was opened, a new card made or the card format changed.
    void documentReplaced();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void Timer2Timer();
    bool FormCloseQuery();
    bool FormClose();
    void buildMenus();
    void buildToolBar();
    void buildTabs();
    void buildInfoPanel();
    void PageControl1Change(int index);
    void showCardFormatText();
    void setTitleFromDocument();
    void afterSave(bool ok);
    void repaintAll();
    void restoreSettings();
    void saveSettings();
    CardFileContext& fileContext();

    UserDialogs& dialogs_;
    Options options_;
    QString programFolder_;
    std::unique_ptr<CardDocument> doc_;
    RenderContext ctx_;
    std::unique_ptr<CardFileContext> fileContext_;

    QTabWidget* PageControl1 = nullptr;
    EditorTab* editor_ = nullptr;
    BrowserTab* browser_ = nullptr;
    PrintTab* print_ = nullptr;
    QLabel* InfoPanel = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* Timer2 = nullptr;

    TneuForm* neuForm_ = nullptr;
    TNewETypForm* newETypForm_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    ExportController* export_ = nullptr;
    ScanController* scan_ = nullptr;
    EditorController* editing_ = nullptr;  // selection, tools, menus, panel, object dialogs

    QAction* Neu1 = nullptr;
    QAction* OpenItem = nullptr;
    QAction* SaveItem = nullptr;
    QAction* Speichernunter1 = nullptr;
    QAction* ScannerSelect1 = nullptr;
    QAction* ScanImage1 = nullptr;
    QAction* PrinterSetup1 = nullptr;
    QAction* Kalibrieren1 = nullptr;
    QAction* PrintItem = nullptr;
    QAction* ExitItem = nullptr;
    QAction* Hintergrundbild1 = nullptr;
    QAction* Etikettenformat1 = nullptr;
    QAction* About1 = nullptr;
    QAction* NewBtn = nullptr;
    QAction* SpeedItem4 = nullptr;
    QAction* SpeedItem5 = nullptr;
    QAction* SpeedItem6 = nullptr;
    std::function<void()> backgroundCommand_;
};

}  // namespace bb
