// "Bild öffnen": what the file list shows (pictures and folders only, folders marked as
// such), the type chosen last time, and where typed text goes.
#include "editor/PictureOpenDialog.h"
#include "pictures/DibFilters.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QIcon>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

using namespace bb;

namespace {

class PictureOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"brisella-bildwerker", "karte.kar", "Visiten.dat", "bild.bmp", "foto.JPG"}) {
            QFile f(dir.file(QString::fromLatin1(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Fotos")));
    }

    // Opens the dialog's list on the test folder and returns the texts the list shows once
    // the folder has been read and the list shows `expected` (the model reads, sorts and
    // filters in steps of its own), or when the hang guard ends the wait.
    std::string shownAfterLoading(PictureOpenDialog& d, const QString& filter,
                                  const std::string& expected) {
        auto* model = qobject_cast<QFileSystemModel*>(d.fileList->model());
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        d.prepare(dir.path(), filter);
        const QString folder = QDir::cleanPath(dir.path());
        (void)QTest::qWaitFor(
            [&] {
                for (const QList<QVariant>& args : loaded)
                    if (args.value(0).toString() == folder) return shown(d) == expected;
                return false;
            },
            bbtest::kHangGuardMs);
        return shown(d);
    }

    // The list's texts in order, joined by " | ".
    static std::string shown(const PictureOpenDialog& d) {
        QStringList texts;
        const QAbstractItemModel* model = d.fileList->model();
        const QModelIndex root = d.fileList->rootIndex();
        for (int r = 0; r < model->rowCount(root); ++r)
            texts << model->index(r, 0, root).data().toString();
        texts.sort();
        return texts.join(QStringLiteral(" | ")).toStdString();
    }

    bbtest::TempFolder dir;
};

TEST_F(PictureOpenTest, AllPictureFilesShowsPicturesAndFoldersOnlyFromTheStart) {
    PictureOpenDialog d(dir.path());
    const std::string pictures = "Fotos/ | bild.bmp | foto.JPG";
    EXPECT_EQ(shownAfterLoading(d, pictureOpenFilter(), pictures), pictures);
    EXPECT_EQ(d.filterCombo->currentText(), QStringLiteral("Alle Bilddateien"));

    // Folders and files carry different icons, theme or not.
    auto* model = d.fileList->model();
    const QModelIndex root = d.fileList->rootIndex();
    QList<qint64> folderIcons, fileIcons;
    for (int r = 0; r < model->rowCount(root); ++r) {
        const QModelIndex i = model->index(r, 0, root);
        const qint64 key = i.data(Qt::DecorationRole).value<QIcon>().cacheKey();
        (i.data().toString().endsWith(u'/') ? folderIcons : fileIcons) << key;
    }
    ASSERT_EQ(folderIcons.size(), 1);
    ASSERT_EQ(fileIcons.size(), 2);
    EXPECT_NE(folderIcons[0], fileIcons[0]);
    // The names the dialog works with stay bare.
    d.itemDoubleClicked(QStringLiteral("Fotos"));
    EXPECT_EQ(d.folder(), QDir::cleanPath(dir.file(QStringLiteral("Fotos"))));
}

TEST_F(PictureOpenTest, TheTypeChosenLastTimeStaysChosenAndFilters) {
    PictureOpenDialog d(dir.path());
    const QString filter = QStringLiteral("Alle|*.bmp;*.jpg|Bitmap|*.bmp");
    const std::string all = "Fotos/ | bild.bmp | foto.JPG";
    EXPECT_EQ(shownAfterLoading(d, filter, all), all);
    d.filterCombo->setCurrentIndex(1);
    d.filterChosen(1);
    d.prepare(dir.path(), filter);
    // The model filters again once it has sorted.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return shown(d) == "Fotos/ | bild.bmp"; }, bbtest::kHangGuardMs))
        << shown(d);
    EXPECT_EQ(d.filterCombo->currentIndex(), 1);
}

TEST_F(PictureOpenTest, TypingAfterOpeningGoesIntoTheNameField) {
    PictureOpenDialog d(dir.path());
    d.prepare(dir.path(), pictureOpenFilter());
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, QStringLiteral("/tmp/bild.bmp"));
    EXPECT_EQ(d.fileNameEdit->text().toStdString(), "/tmp/bild.bmp");
    EXPECT_EQ(d.folder().toStdString(), QDir::cleanPath(dir.path()).toStdString());
}

}  // namespace
