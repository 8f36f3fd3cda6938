// The dialogs the user sees: QMessageBox, QFileDialog, QColorDialog and the program's own
// FontDialog behind the UserDialogs seam. Button texts and the standard dialogs come out German
// through Qt's own translation, which main() loads.
#pragma once

#include "document/UserDialogs.h"

class QWidget;

namespace bb {

class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int message(const QString& text, const QString& caption, MsgIcon icon, int buttons) override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;
    bool chooseColor(QColor& color, const QString& caption) override;
    bool chooseFont(QFont& font, QColor& color, const QString& caption) override;

    // "Grußkarten|*.kar|Alle|*.*" → "Grußkarten (*.kar)", "Alle (*.*)"; a description that
    // already names its patterns ("Windows-Bitmap (*.bmp)") keeps them once.
    static QStringList qtFilters(const QString& filter);

private:
    QWidget* parent_;
};

}  // namespace bb
