// The editor views: what a repaint draws where (frame, shadow, fold line, objects, marks),
// the zoom rules, events reaching the input handler in view pixels, and the side
// tabs.
#include "AppTestSupport.h"

#include "document/RenderContext.h"
#include "editor/EditorInput.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/Ruler.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

using namespace bb;

namespace {

struct Recorder : EditorInput {
    struct Event {
        int side;
        QString what;
        int x, y;
    };
    QList<Event> events;
    int beforePaints = 0;
    QList<QPoint> markOffsets;
    QList<int> keys;
    void mousePress(int side, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) override {
        events.append({side, QStringLiteral("press"), x, y});
    }
    void mouseRelease(int side, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) override {
        events.append({side, QStringLiteral("release"), x, y});
    }
    void doubleClick(int side, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) override {
        events.append({side, QStringLiteral("double"), x, y});
    }
    void keyPress(QKeyEvent& e) override { keys.append(e.key()); }
    void beforePaint() override { ++beforePaints; }
    void drawMarks(int, QPainter& p, int ox, int oy) override {
        markOffsets.append(QPoint(ox, oy));
        p.fillRect(5, 5, 3, 3, Qt::blue);  // visible in the bitmap at its own pixels
    }
};

class Views : public ::testing::Test {
protected:
    void SetUp() override {
        doc.unitsPerPixel = 312;
        ctx.screenDpi = 96;
        tab = std::make_unique<EditorTab>(doc, ctx);
        tab->resize(700, 600);
        tab->show();
        tab->views().layoutFromDocument();
        QCoreApplication::processEvents();
    }
    EditorView* outside() { return tab->views().outsideView(); }

    CardDocument doc;
    RenderContext ctx;
    std::unique_ptr<EditorTab> tab;
};

QRgb px(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}

}  // namespace

TEST_F(Views, RepaintDrawsFrameShadowFoldLineAndObjectsShiftedByTheScroll) {
    EditorView* v = outside();
    const int W = v->width(), H = v->height();
    ASSERT_EQ(W, 472441 / 312);
    // A red filled rectangle inside the card, left of the fold.
    CardObject& o = *tab->views().edited().table(doc)[7];
    o.kind = KindFigure;
    o.figureKind = 3;
    o.color = 0x0000FF;  // red in the low byte
    o.lineWidth = 1;
    o.x = doc.sideWidthUnits / 3 + 20000;
    o.y = doc.sideHeightUnits / 3 + 20000;
    o.width = 20000;
    o.height = 20000;
    v->setScroll(W / 3 - 40, H / 3 - 30);
    v->paintView();
    const int posX = v->scrollX(), posY = v->scrollY();
    ASSERT_EQ(v->frameOrigin(), QPoint(posX, posY));
    const QImage& f = v->frame();
    ASSERT_EQ(f.size(), v->scrollBox()->viewport()->size());
    const int l = W / 3 - posX, t = H / 3 - posY, r = W * 2 / 3 - posX, b = H * 2 / 3 - posY;
    const QRgb black = 0, white = 0xFFFFFF, grey = 0x808080;
    ASSERT_LT(r + 5, f.width());
    ASSERT_LT(b + 5, f.height());
    // Frame: outline on l and r − 1 (the device rule), white outside.
    EXPECT_EQ(px(f, l, t + 200), black);
    EXPECT_EQ(px(f, l - 1, t + 200), white);
    EXPECT_EQ(px(f, r - 1, t + 200), black);
    EXPECT_EQ(px(f, l + 100, t), black);
    EXPECT_EQ(px(f, l + 100, b - 1), black);
    // Shadow: 5 pixels right of and below the card, starting 5 pixels in.
    EXPECT_EQ(px(f, r, t + 5), grey);
    EXPECT_EQ(px(f, r + 4, b + 4), grey);
    EXPECT_EQ(px(f, r + 5, t + 100), white);
    EXPECT_EQ(px(f, r, t + 4), white);
    EXPECT_EQ(px(f, l + 5, b), grey);
    EXPECT_EQ(px(f, l + 4, b + 1), white);
    // Fold line through the middle of the whole area.
    EXPECT_EQ(px(f, W / 2 - posX, t + 200), black);
    EXPECT_EQ(px(f, W / 2 - posX + 1, t + 200), white);
    // The object at its screen position less the scroll.
    const int ox = doc.screenPixels(o.x) - posX, oy = doc.screenPixels(o.y) - posY;
    EXPECT_EQ(px(f, ox + 10, oy + 10), 0xFF0000u);
    // Rulers painted for the same scroll: the top ruler's 0 is the card's left edge.
    const RulerScale& s = v->topRuler()->scale();
    const auto zero = std::find_if(s.ticks.begin(), s.ticks.end(), [](const RulerTick& t) {
        return t.kind == TickKind::Major && t.value == 0;
    });
    ASSERT_NE(zero, s.ticks.end());
    EXPECT_EQ(zero->pos - 20, l);
}

TEST_F(Views, ZoomSuppressesPainting) {
    Recorder rec;
    tab->views().setInput(&rec);
    EditorView* v = outside();
    v->paintView();
    const int renders = v->renderCount();
    const qint64 ruler = v->topRuler()->image().cacheKey();
    const int before = rec.beforePaints;
    tab->views().zoomInProgress = true;
    v->paintView();
    EXPECT_EQ(v->renderCount(), renders);
    EXPECT_NE(v->topRuler()->image().cacheKey(), ruler);  // rulers still follow
    EXPECT_EQ(rec.beforePaints, before + 1);
    tab->views().zoomInProgress = false;
    tab->views().setInput(nullptr);
}

TEST_F(Views, MarksDrawIntoTheBitmapAndEventsArriveInViewPixels) {
    Recorder rec;
    tab->views().setInput(&rec);
    EditorView* v = outside();
    v->setScroll(300, 200);
    rec.markOffsets.clear();
    v->paintView();
    ASSERT_FALSE(rec.markOffsets.isEmpty());
    EXPECT_EQ(rec.markOffsets.last(), QPoint(v->scrollX(), v->scrollY()));
    EXPECT_EQ(px(v->frame(), 6, 6), 0x0000FFu);

    const QPoint inView(v->scrollX() + 17, v->scrollY() + 23);
    QTest::mousePress(v, Qt::LeftButton, {}, inView);
    QTest::mouseRelease(v, Qt::LeftButton, {}, inView);
    QTest::mouseDClick(v, Qt::LeftButton, {}, inView);
    QTest::keyClick(v, Qt::Key_Delete);
    ASSERT_GE(rec.events.size(), 3);
    EXPECT_EQ(rec.events[0].what, QStringLiteral("press"));
    EXPECT_EQ(rec.events[0].side, 0);
    EXPECT_EQ(QPoint(rec.events[0].x, rec.events[0].y), inView);
    EXPECT_EQ(rec.events[1].what, QStringLiteral("release"));
    EXPECT_TRUE(std::any_of(rec.events.begin(), rec.events.end(),
                            [](auto& e) { return e.what == QStringLiteral("double"); }));
    EXPECT_TRUE(rec.keys.contains(Qt::Key_Delete));
    tab->views().setInput(nullptr);
}

TEST_F(Views, SideTabsSwitchTheWorkingSideAndTheInsideFollowsTheOutsideSize) {
    CardObject& o = *tab->views().edited().table(doc)[1];
    o.kind = KindFigure;
    tab->selectSide(1);
    EXPECT_EQ(tab->sideTabs()->currentIndex(), 1);
    EXPECT_EQ(tab->views().edited().side, 1);
    EXPECT_EQ(tab->views().edited().table(doc)[1], doc.insideSlots[1]);
    EXPECT_EQ(doc.outsideSlots[1]->kind, KindFigure);
    EXPECT_EQ(tab->views().insideView()->size(), outside()->size());
    // The tab itself switches sides too.
    tab->sideTabs()->setCurrentIndex(0);
    EXPECT_EQ(tab->views().edited().side, 0);
    EXPECT_EQ(tab->views().edited().table(doc)[1]->kind, KindFigure);

    // A new card format resizes the outside view; the inside takes it at its next paint.
    doc.format.cardWidth = 90;
    tab->views().layoutFromDocument();
    tab->views().paintBoth();
    EXPECT_EQ(outside()->width(), sideUnits(90) / 312);
    EXPECT_EQ(tab->views().insideView()->size(), outside()->size());
    // Centring puts the middle of the area in the middle of the visible part.
    tab->views().centreViews();
    const QSize vis = outside()->scrollBox()->viewport()->size();
    EXPECT_EQ(outside()->scrollX(), (outside()->width() - vis.width()) / 2);
}
