// The "Drucken" tab for the tab's tests: the print tests' card (red outside, blue inside), the
// dialogs answered from scripts and a program folder of its own. The side selector switches the
// card's side and notes each choice.
#pragma once

#include "PdfPages.h"

#include "document/RenderContext.h"
#include "print/Calibration.h"
#include "print/ui/PrintTab.h"
#include "print/ui/SheetPreview.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QFile>
#include <QSpinBox>

#include <memory>
#include <vector>

namespace printtest {

struct TabFixture {
    bbtest::TempFolder dir;
    bbtest::ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    std::unique_ptr<bb::CardDocument> doc = std::make_unique<bb::CardDocument>();
    std::unique_ptr<bb::PrintTab> tab;
    std::vector<int> sidesSelected;
    int editedSide = bb::SideOutside;  // the side the editor would show

    // `storedCalibration`: the calibration file's bytes, written before the tab starts.
    explicit TabFixture(const QByteArray& storedCalibration = {}) {
        if (!storedCalibration.isEmpty()) {
            QFile f(bb::calibrationPath(dir.path()));
            f.open(QIODevice::WriteOnly);
            f.write(storedCalibration);
        }
        doc->format = twoByFive();
        colourSides(*doc);
        tab = std::make_unique<bb::PrintTab>(*doc, ctx, dialogs, dir.path());
        tab->setSideSelector([this](int side) {
            sidesSelected.push_back(side);
            editedSide = side;
        });
        tab->setSideSource([this] { return editedSide; });
    }
    QSpinBox* spin(const char* name) { return tab->findChild<QSpinBox*>(name); }
    QAbstractButton* button(const char* name) { return tab->findChild<QAbstractButton*>(name); }
    bb::SheetPreview* preview() { return tab->findChild<bb::SheetPreview*>("VPaint"); }
    // Answers the next file question with `name` in the folder; returns its path.
    QString answerFile(const char* name) {
        dialogs.saveAnswers.push_back({dir.file(name), 1});
        return dir.file(name);
    }
};

}  // namespace printtest
