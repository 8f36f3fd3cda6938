// The one seam for every question, message and standard dialog. The window shows real
// dialogs; the command-line tool prints; tests script the answers and record the questions.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace bb {

enum class MsgIcon { None, Information, Question, Warning, Error };

enum MsgButton : int {
    BtnNone = 0,
    BtnOk = 1,
    BtnCancel = 2,
    BtnYes = 4,
    BtnNo = 8,
};

struct FileDialogRequest {
    QString caption;
    QString directory;
    QString filter;         // "Grußkarten|*.kar" style: description|pattern pairs
    QString defaultSuffix;  // without the dot, e.g. "kar"
    QString initialName;
    int filterIndex = 1;  // 1-based entry of `filter`
    bool confirmOverwrite = true;
    // A check box shown below the file list ("Bilder in den Kartenordner kopieren"); none
    // when empty. `checked` is its state when the dialog opens.
    QString checkBoxText;
    bool checked = false;
};

struct FileDialogResult {
    QString path;          // empty when cancelled
    int filterIndex = 1;   // the entry chosen, 1-based
    bool checked = false;  // the request's check box was ticked
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Shows a modal message; `buttons` is an OR of MsgButton. Returns the button pressed.
    virtual int message(const QString& text, const QString& caption, MsgIcon icon, int buttons) = 0;
    virtual FileDialogResult openFile(const FileDialogRequest& request) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest& request) = 0;
    // Colour and font choosers; false when cancelled.
    virtual bool chooseColor(QColor& color, const QString& caption) = 0;
    virtual bool chooseFont(QFont& font, QColor& color, const QString& caption) = 0;
};

// The application title used as caption of many messages.
inline const QString kAppTitle = QStringLiteral("Brisella-Bildwerker 1.0");
inline const QString kProductTitle = QStringLiteral("Tovarin Brisella-Bildwerker 1.0");

}  // namespace bb
