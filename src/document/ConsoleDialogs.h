// The dialog seam of the command-line tool: messages go to standard error.
#pragma once

#include "document/UserDialogs.h"

namespace bb {

// Prints messages to standard error and answers every question with its first "go on"
// button (Yes, else OK). Used by the command-line tool.
class ConsoleDialogs : public UserDialogs {
public:
    int message(const QString& text, const QString& caption, MsgIcon icon, int buttons) override;
    FileDialogResult openFile(const FileDialogRequest&) override { return {}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {}; }
    bool chooseColor(QColor&, const QString&) override { return false; }
    bool chooseFont(QFont&, QColor&, const QString&) override { return false; }
    int messageCount() const { return count_; }

private:
    int count_ = 0;
};

}  // namespace bb
