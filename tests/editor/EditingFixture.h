// A window with the editor tab and the editing layer installed, driven by real mouse and key
// events; dialogs are answered by the script in `answer`.
#pragma once

#include "document/CardDocument.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/ObjectCommands.h"
#include "editor/ObjectMenu.h"
#include "editor/PropertyPanel.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include <functional>
#include <memory>

namespace bbtest {

class EditingFixture : public ::testing::Test {
protected:
    void SetUp() override {
        doc = std::make_unique<bb::CardDocument>();
        doc->zoomFactor = 1.0;
        doc->unitsPerPixel = 100.0;  // one view pixel is exactly 100 units
        ctx.screenDpi = 96;
        ctx.fontDpi = 96;
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        tab = new bb::EditorTab(*doc, ctx, window.get());
        layout->addWidget(tab);
        ed = std::make_unique<bb::EditorController>(tab->views(), dialogs, folder.path(), nullptr);
        ed->install(*tab);
        ed->setRunModal([this](QDialog& d) {
            ++dialogRuns;
            lastDialog = &d;
            return answer ? answer(d) : int(QDialog::Rejected);
        });
        QObject::connect(ed.get(), &bb::EditorController::menuOpened,
                         [this](QMenu* m, QPoint) { menus.push_back(m); });
        window->resize(900, 700);
        tab->views().layoutFromDocument();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::processEvents();
        tab->views().paintBoth();
    }

    void TearDown() override {
        for (QMenu* m : menus) m->close();
        ed.reset();
        window.reset();
    }

    bb::EditorView* view(int side) { return tab->views().view(side); }

    // An object in `slot` with its box given in view pixels.
    bb::CardObject& put(int slot, int32_t kind, int x, int y, int w, int h) {
        bb::CardObject& o = *ed->editedSlots()[slot];
        o.kind = kind;
        o.x = x * 100;
        o.y = y * 100;
        o.width = w * 100;
        o.height = h * 100;
        return o;
    }

    void mouse(int side, QEvent::Type type, Qt::MouseButton button, int x, int y) {
        bb::EditorView* v = view(side);
        const QPointF local(x, y);
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                ? Qt::NoButton
                : Qt::MouseButtons(button);
        QMouseEvent e(type, local, v->mapToGlobal(local),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(v, &e);
    }
    void press(int side, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        mouse(side, QEvent::MouseButtonPress, b, x, y);
    }
    void release(int side, int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        mouse(side, QEvent::MouseButtonRelease, b, x, y);
    }
    void move(int side, int x, int y) { mouse(side, QEvent::MouseMove, Qt::NoButton, x, y); }
    void click(int side, int x, int y) {
        press(side, x, y);
        release(side, x, y);
    }

    TempFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<bb::CardDocument> doc;
    bb::RenderContext ctx;
    std::unique_ptr<QWidget> window;
    bb::EditorTab* tab = nullptr;
    std::unique_ptr<bb::EditorController> ed;
    std::function<int(QDialog&)> answer;
    int dialogRuns = 0;
    QDialog* lastDialog = nullptr;
    std::vector<QMenu*> menus;
};

}  // namespace bbtest
