// Shared set-up of the main-window tests: a window over a temporary program folder with
// scripted dialogs, settings kept in Qt's test location.
#pragma once

#include "app/TSDIAppForm.h"
#include "browser/ui/BrowserTab.h"
#include "document/CardDocument.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace bbtest {

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    std::unique_ptr<bb::TSDIAppForm> make(bool useSettings = false, bool starter = false) {
        bb::TSDIAppForm::Options o;
        o.programFolder = folder.path();
        o.screenDpi = 96;
        o.installStarter = starter;
        o.useSettings = useSettings;
        return std::make_unique<bb::TSDIAppForm>(dialogs, o);
    }

    // Waits until the card browser's first walk of the program folder has ended (a close
    // while it runs is refused).
    static bool settle(bb::TSDIAppForm& w);

    // A filled rectangle in the working side's slot `slot`, in document units.
    static bb::Tobs& putFigure(bb::CardDocument& doc, int slot, int32_t x, int32_t y, int32_t w,
                               int32_t h, uint32_t color) {
        bb::Tobs& o = *doc.WorkingSlots[slot];
        o.Kind = bb::KindFigure;
        o.FigureKind = 3;
        o.FillMode = bb::FillSolid;
        o.Color = color;
        o.LineWidth = 1;
        o.X = x;
        o.Y = y;
        o.Width = w;
        o.Height = h;
        return o;
    }

    TempFolder folder;
    ScriptedDialogs dialogs;
};

inline bool WindowTest::settle(bb::TSDIAppForm& w) {
    return QTest::qWaitFor([&] { return !w.browserTab()->workerRunning(); }, 5000);
}

}  // namespace bbtest
