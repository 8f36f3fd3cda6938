// Screenshots of the real window on an X display (run under Xvfb by app_screenshot_xvfb):
// the started window, and the editor tab with a card of two objects, checked for the card
// frame and the rulers at their computed places. The pictures stay in the build tree.
#include "AppTestSupport.h"

#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/Ruler.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

using namespace bb;

namespace {

class Screenshot : public bbtest::WindowTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs an X display; run by the ctest app_screenshot_xvfb";
        QDir().mkpath(QStringLiteral(BB_ARTEFACT_DIR));
    }
    static QImage grabScreen(const QString& name) {
        QCoreApplication::processEvents();
        QTest::qWait(300);
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        shot.save(QStringLiteral(BB_ARTEFACT_DIR) + QLatin1Char('/') + name);
        return shot.convertToFormat(QImage::Format_RGB32);
    }
    static QRgb at(const QImage& img, QPoint p) { return img.pixel(p) & 0xFFFFFF; }
};

}  // namespace

TEST_F(Screenshot, StartedWindowAndEditorTabWithTwoObjects) {
    auto w = make(false, true);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->startupLayoutDone; }, bbtest::kHangGuardMs));
    const QImage started = grabScreen(QStringLiteral("started-window.png"));
    ASSERT_FALSE(started.isNull());
    // The window is on the screen where Qt placed it: its info panel shows the format text.
    const QPoint origin = w->mapToGlobal(QPoint(0, 0));
    EXPECT_TRUE(started.rect().contains(origin));

    CardDocument& doc = w->document();
    const int32_t cardX = doc.sideWidthUnits / 3, cardY = doc.sideHeightUnits / 3;
    putFigure(*w, 1, cardX + 8000, cardY + 8000, 30000, 15000, 0x0000FF);  // red
    CardObject& text = *w->editing().editedSlots()[2];
    text.kind = KindText;
    text.content = QStringLiteral("Herzliche Grüße");
    text.fontName = QStringLiteral("Arial");
    text.fontSize = 18;
    text.color = 0x800000;  // dark blue
    text.x = cardX + 8000;
    text.y = cardY + 30000;
    text.width = 60000;
    text.height = 12000;
    // Large enough that the whole card is in view after centring.
    w->resize(1200, 960);
    w->mainTabs()->setCurrentWidget(&w->editorTab());
    QCoreApplication::processEvents();
    w->views().centreViews();
    w->views().paintBoth();
    const QImage editor = grabScreen(QStringLiteral("editor-tab.png"));

    EditorView* v = w->views().outsideView();
    const int W = v->width(), H = v->height();
    const int posX = v->scrollX(), posY = v->scrollY();
    const QPoint vp = v->scrollBox()->viewport()->mapToGlobal(QPoint(0, 0));
    const QSize vis = v->scrollBox()->viewport()->size();
    // Card frame corners in screen pixels, from the paint arithmetic.
    const int l = vp.x() + W / 3 - posX, t = vp.y() + H / 3 - posY;
    const int r = vp.x() + W * 2 / 3 - posX - 1, b = vp.y() + H * 2 / 3 - posY - 1;
    ASSERT_GT(l, vp.x());
    ASSERT_GT(t, vp.y());
    ASSERT_LT(r + 5, vp.x() + vis.width());
    ASSERT_LT(b + 5, vp.y() + vis.height());
    const int midY = (t + b) / 2;
    EXPECT_EQ(at(editor, QPoint(l, midY)), 0u);
    EXPECT_EQ(at(editor, QPoint(l - 1, midY)), 0xFFFFFFu);
    EXPECT_EQ(at(editor, QPoint(r, midY)), 0u);
    EXPECT_EQ(at(editor, QPoint(l + 150, t)), 0u);
    EXPECT_EQ(at(editor, QPoint(l + 150, b)), 0u);
    EXPECT_EQ(at(editor, QPoint(r + 3, midY)), 0x808080u);  // shadow
    EXPECT_EQ(at(editor, QPoint(l + 150, b + 3)), 0x808080u);
    EXPECT_EQ(at(editor, QPoint(vp.x() + W / 2 - posX, b - 20)), 0u);  // fold line
    // The red figure where its units put it.
    const QPoint fig(vp.x() + doc.screenPixels(cardX + 8000) - posX + 10,
                     vp.y() + doc.screenPixels(cardY + 8000) - posY + 10);
    EXPECT_EQ(at(editor, fig), 0xFF0000u);

    // Rulers: every major line lies where the scale puts it, and the 0 mm line of the top
    // ruler is above the card's left edge, that of the left ruler beside its top edge.
    Ruler* top = v->topRuler();
    Ruler* left = v->leftRuler();
    const QPoint tg = top->mapToGlobal(QPoint(0, 0));
    const QPoint lg = left->mapToGlobal(QPoint(0, 0));
    int checked = 0;
    for (const RulerTick& tick : top->scale().ticks) {
        if (tick.kind != TickKind::Major) continue;
        EXPECT_EQ(at(editor, tg + QPoint(tick.pos, 17)), 0u) << tick.value;
        if (tick.value == 0) {
            EXPECT_EQ(tg.x() + tick.pos, l);
            ++checked;
        }
    }
    for (const RulerTick& tick : left->scale().ticks) {
        if (tick.kind != TickKind::Major || tick.pos < 0 || tick.pos >= left->height()) continue;
        EXPECT_EQ(at(editor, lg + QPoint(17, tick.pos)), 0u) << tick.value;
        if (tick.value == 0) {
            EXPECT_EQ(lg.y() + tick.pos, t);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2);
    dialogs.answers = {BtnNo};
    w->close();
}
