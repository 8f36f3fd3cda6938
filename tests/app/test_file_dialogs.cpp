// The file dialogs the user sees: every file type of a save dialog is listed once, with its
// pattern once, and the chosen type comes back as its number.
#include "app/QtUserDialogs.h"
#include "render/Export.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

using namespace bb;

namespace {

// Runs `request` through the real save dialog; the dialog's type list is read and the dialog
// answered from inside its own event loop.
QStringList typesShown(const FileDialogRequest& request) {
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = dialog->nameFilters();
            dialog->reject();
        }
    });
    QtUserDialogs dialogs;
    EXPECT_TRUE(dialogs.saveFile(request).path.isEmpty());
    return shown;
}

TEST(QtFileDialogs, PictureSaveTypesNameTheirPatternOnce) {
    FileDialogRequest r;
    r.caption = QStringLiteral("Speichern unter");
    r.filter = saveFilter();
    const QStringList shown = typesShown(r);
    ASSERT_GE(shown.size(), 11);
    EXPECT_EQ(shown[0].toStdString(), "Windows-Bitmap (*.bmp)");
    for (const QString& type : shown)
        EXPECT_EQ(type.count(QStringLiteral("(*.")), 1) << type.toStdString();

    r.filter = QStringLiteral("Grußkarten|*.kar");
    EXPECT_EQ(typesShown(r).join(u'|').toStdString(), "Grußkarten (*.kar)");
}

}  // namespace
