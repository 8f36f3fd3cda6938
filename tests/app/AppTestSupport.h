// Shared set-up of the main-window tests: a window over a temporary program folder with
// scripted dialogs, settings kept in Qt's test location.
#pragma once

#include "app/MainWindow.h"
#include "browser/ui/BrowserTab.h"
#include "document/CardDocument.h"
#include "editor/EditorController.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace bbtest {

// The user's settings in a temporary folder for one test, Qt's test location again after it:
// test cases run as processes side by side, and settings they share would race.
class TemporarySettings {
public:
    TemporarySettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    }
    ~TemporarySettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

private:
    TempFolder dir_;
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    std::unique_ptr<bb::MainWindow> make(bool useSettings = false, bool starter = false) {
        bb::MainWindow::Options o;
        o.programFolder = folder.path();
        o.screenDpi = 96;
        o.installStarter = starter;
        o.useSettings = useSettings;
        return std::make_unique<bb::MainWindow>(dialogs, o);
    }

    // Waits until the card browser's first walk of the program folder has ended (a close
    // while it runs is refused).
    static bool settle(bb::MainWindow& w);

    // A filled rectangle in slot `slot` of `side`, in document units.
    static bb::CardObject& putFigure(bb::CardDocument& doc, int slot, int32_t x, int32_t y,
                                     int32_t w, int32_t h, uint32_t color,
                                     int side = bb::SideOutside) {
        bb::CardObject& o = *doc.sideSlots(side)[slot];
        o.kind = bb::KindFigure;
        o.figureKind = 3;
        o.fillMode = bb::FillSolid;
        o.color = color;
        o.lineWidth = 1;
        o.x = x;
        o.y = y;
        o.width = w;
        o.height = h;
        return o;
    }
    // The same on the side the window's editor shows.
    static bb::CardObject& putFigure(bb::MainWindow& w, int slot, int32_t x, int32_t y, int32_t wd,
                                     int32_t h, uint32_t color) {
        return putFigure(w.document(), slot, x, y, wd, h, color, w.editing().editedSide());
    }

    TempFolder folder;
    ScriptedDialogs dialogs;
};

inline bool WindowTest::settle(bb::MainWindow& w) {
    return QTest::qWaitFor([&] { return !w.browserTab()->workerRunning(); }, bbtest::kHangGuardMs);
}

}  // namespace bbtest
