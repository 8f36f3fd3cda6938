// The grid spacing and the snapping switch: set in the window's menus, kept in the user's
// settings (never in the card) and back in the next run.
#include "AppTestSupport.h"

#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/GridDialog.h"
#include "editor/ScanController.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

using namespace bb;
using bbtest::WindowTest;

namespace {

QSettings userSettings() {
    return QSettings(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the grid dialog with `mm` and OK, or with Cancel when `ok` is false.
void answerGrid(MainWindow& w, double mm, bool ok) {
    w.editing().setRunModal([mm, ok](QDialog& d) {
        auto* edit = d.findChild<QDoubleSpinBox*>(QStringLiteral("RasterED"));
        if (!edit) return int(QDialog::Rejected);
        edit->setValue(mm);
        return int(ok ? QDialog::Accepted : QDialog::Rejected);
    });
}

}  // namespace

TEST_F(WindowTest, GridSpacingAndSnappingSwitchComeBackInTheNextRun) {
    bbtest::TemporarySettings settings;
    userSettings().remove(QStringLiteral("Raster"));
    {
        auto w = make(true);
        EXPECT_FALSE(w->editing().snapOptions().enabled);
        EXPECT_DOUBLE_EQ(w->editing().snapOptions().gridMm, 5.0);
        auto* item = w->findChild<QAction*>(QStringLiteral("Raster1"));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("&Raster..."));
        answerGrid(*w, 2.5, true);
        item->trigger();
        EXPECT_DOUBLE_EQ(w->editing().snapOptions().gridMm, 2.5);
        EXPECT_DOUBLE_EQ(userSettings().value(QStringLiteral("Raster/AbstandMm")).toDouble(), 2.5);
        // Cancel keeps the spacing.
        answerGrid(*w, 7.0, false);
        item->trigger();
        EXPECT_DOUBLE_EQ(w->editing().snapOptions().gridMm, 2.5);
    }
    EXPECT_DOUBLE_EQ(make(true)->editing().snapOptions().gridMm, 2.5);
    // A window that keeps no settings leaves them alone.
    {
        auto w = make(false);
        EXPECT_DOUBLE_EQ(w->editing().snapOptions().gridMm, 5.0);
        answerGrid(*w, 9.0, true);
        w->editGrid();
        EXPECT_DOUBLE_EQ(w->editing().snapOptions().gridMm, 9.0);
    }
    EXPECT_DOUBLE_EQ(userSettings().value(QStringLiteral("Raster/AbstandMm")).toDouble(), 2.5);
    // Stored values that are no spacing give the default or the nearest usable one.
    userSettings().setValue(QStringLiteral("Raster/AbstandMm"), QStringLiteral("viel"));
    EXPECT_DOUBLE_EQ(make(true)->editing().snapOptions().gridMm, 5.0);
    userSettings().setValue(QStringLiteral("Raster/AbstandMm"), -3.0);
    EXPECT_DOUBLE_EQ(make(true)->editing().snapOptions().gridMm, GridDialog::kMinMm);
    userSettings().remove(QStringLiteral("Raster"));

    // The snapping switch.
    {
        auto w = make(true);
        QAction* snap = w->snapAction();
        ASSERT_NE(snap, nullptr);
        EXPECT_EQ(snap->text(), QStringLiteral("Am Ra&ster ausrichten"));
        EXPECT_TRUE(w->editMenu()->actions().contains(snap));
        EXPECT_TRUE(snap->isCheckable());
        EXPECT_FALSE(snap->isChecked());
        snap->trigger();
        EXPECT_TRUE(w->editing().snapOptions().enabled);
        EXPECT_TRUE(userSettings().value(QStringLiteral("Raster/Ausrichten")).toBool());

        // The centring commands of the object menu, in a submenu of their own, then lining up
        // and spreading out after a separator.
        QMenu* centre = w->editMenu()->findChild<QMenu*>(QStringLiteral("Ausrichten1"));
        ASSERT_NE(centre, nullptr);
        ASSERT_EQ(centre->actions().size(), 13);
        EXPECT_TRUE(centre->actions()[4]->isSeparator());
    }
    auto w = make(true);
    EXPECT_TRUE(w->snapAction()->isChecked());
    EXPECT_TRUE(w->editing().snapOptions().enabled);
    w->snapAction()->trigger();
    EXPECT_FALSE(w->editing().snapOptions().enabled);
    EXPECT_FALSE(userSettings().value(QStringLiteral("Raster/Ausrichten")).toBool());
    userSettings().remove(QStringLiteral("Raster"));
}

TEST_F(WindowTest, ShowingTheGridComesBackAndGuidesLeaveWithTheCardButNeverEnterItsFile) {
    bbtest::TemporarySettings settings;
    userSettings().remove(QStringLiteral("Raster"));
    {
        auto w = make(true);
        QAction* show = w->findChild<QAction*>(QStringLiteral("RasterAnzeigen1"));
        ASSERT_NE(show, nullptr);
        EXPECT_EQ(show->text(), QStringLiteral("Raster an&zeigen"));
        EXPECT_TRUE(
            w->findChild<QMenu*>(QStringLiteral("Einstellungen1"))->actions().contains(show));
        EXPECT_TRUE(show->isCheckable());
        EXPECT_FALSE(show->isChecked());
        EXPECT_FALSE(w->editing().gridShown());
        show->trigger();
        EXPECT_TRUE(w->editing().gridShown());
        EXPECT_TRUE(userSettings().value(QStringLiteral("Raster/Anzeigen")).toBool());
    }
    auto w = make(true);
    EXPECT_TRUE(w->gridShownAction()->isChecked());
    EXPECT_TRUE(w->editing().gridShown());

    // A guide pulled into the view changes nothing in the saved card, and the next card
    // opened starts without it.
    EditorController& ed = w->editing();
    putFigure(w->document(), 1, 31200, 31200, 15600, 15600, 0xFF);
    const QString path = folder.file(QStringLiteral("karte.kar"));
    dialogs.saveAnswers = {{path, 1}};
    ASSERT_TRUE(w->saveCardAs());
    const QByteArray saved = fileBytes(path);
    const QRect part = w->views().outsideView()->visiblePart();
    ASSERT_FALSE(part.isEmpty());
    ed.rulerPress(0, true, part.center().x(), part.top() - 5);
    ed.rulerMove(0, part.center().x(), part.center().y());
    ed.rulerRelease(0, part.center().x(), part.center().y());
    ASSERT_EQ(ed.guides().side(0).ys.size(), 1u);
    ASSERT_TRUE(w->saveCard());
    EXPECT_EQ(fileBytes(path), saved);
    ASSERT_TRUE(w->openCard(path));
    EXPECT_TRUE(ed.guides().empty());
    userSettings().remove(QStringLiteral("Raster"));
}

TEST_F(WindowTest, TheScannerAndTheJpegQualityAreKeptInTheWindowsOneStore) {
    bbtest::TemporarySettings settings;
    // What an earlier version stored under the quality dialog's old keys.
    userSettings().setValue(QStringLiteral("TJPEGQForm/QualED1.Position"), 30);
    userSettings().setValue(QStringLiteral("TJPEGQForm/QualED2.Value"), 30);
    {
        auto w = make(true);
        w->scanController().rememberDevice(QStringLiteral("test:1"));
        EXPECT_EQ(userSettings().value(QStringLiteral("Scanner/Device")).toString(),
                  QStringLiteral("test:1"));
        EXPECT_EQ(userSettings().value(QStringLiteral("JpegQuality/Slider")).toInt(), 30);
        EXPECT_EQ(userSettings().value(QStringLiteral("JpegQuality/Number")).toInt(), 30);
        EXPECT_FALSE(userSettings().contains(QStringLiteral("TJPEGQForm/QualED1.Position")));
    }
    EXPECT_EQ(make(true)->scanController().rememberedDevice(), QStringLiteral("test:1"));
    // A window that keeps no settings neither reads nor writes the user's.
    {
        auto w = make(false);
        EXPECT_TRUE(w->scanController().rememberedDevice().isEmpty());
        w->scanController().rememberDevice(QStringLiteral("test:9"));
        EXPECT_EQ(w->scanController().rememberedDevice(), QStringLiteral("test:9"));
    }
    EXPECT_EQ(userSettings().value(QStringLiteral("Scanner/Device")).toString(),
              QStringLiteral("test:1"));
}

TEST_F(WindowTest, SenderIsEnteredInTheSettingsMenuAndKeptForTheNextRun) {
    bbtest::TemporarySettings settings;
    userSettings().remove(QStringLiteral("Absender"));
    {
        auto w = make(true);
        auto* item = w->findChild<QAction*>(QStringLiteral("AbsenderItem"));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("A&bsender..."));
        EXPECT_TRUE(w->menuBar()
                        ->findChild<QMenu*>(QStringLiteral("Einstellungen1"))
                        ->actions()
                        .contains(item));
        w->editing().setRunModal([](QDialog& d) {
            EXPECT_EQ(d.objectName(), QStringLiteral("AbsenderDlg"));
            d.findChild<QLineEdit*>(QStringLiteral("SenderNameEdit"))
                ->setText(QStringLiteral("Emil Probe"));
            d.findChild<QLineEdit*>(QStringLiteral("SenderStreetEdit"))
                ->setText(QStringLiteral("Holzweg 9"));
            return int(QDialog::Accepted);
        });
        item->trigger();
    }
    EXPECT_EQ(userSettings().value(QStringLiteral("Absender/Name")).toString(),
              QStringLiteral("Emil Probe"));
    userSettings().remove(QStringLiteral("Absender"));
}
