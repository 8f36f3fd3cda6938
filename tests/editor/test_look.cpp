// The editor's look: icons without an icon theme, a small view in the middle of its box on the
// work area's colour, the property column's width, and a dark palette.
#include "EditingFixture.h"

#include "editor/Icons.h"
#include "editor/Ruler.h"
#include "editor/ToolPalette.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolButton>

#include <algorithm>

using namespace bb;
using bbtest::EditingFixture;

namespace {

// Whether the icon draws something at the size of a menu icon.
bool draws(const QIcon& icon) {
    const QImage img = icon.pixmap(22).toImage();
    int opaque = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) opaque += qAlpha(img.pixel(x, y)) > 0;
    return opaque > 20;
}

}  // namespace

TEST(LookIcons, ToolsAndWindowCommandsHaveIconsWithoutAnIconTheme) {
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName(QStringLiteral("keines"));

    ToolPalette palette;
    for (int t = ToolPointer; t <= ToolContent; ++t) {
        QToolButton* b = palette.button(EditorTool(t));
        EXPECT_TRUE(draws(b->icon())) << b->objectName().toStdString();
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }

    // The window's main commands, by the objectNames of its menus and tool bar.
    const char* const named[] = {"Neu1",
                                 "OpenItem",
                                 "SaveItem",
                                 "Speichernunter1",
                                 "PrintItem",
                                 "PrintSetup1",
                                 "Bildeinscannen1",
                                 "ExitItem",
                                 "Rueckgaengig1",
                                 "Wiederherstellen1",
                                 "AusschneidenItem",
                                 "KopierenItem",
                                 "EinfuegenItem",
                                 "GanzeKarte1",
                                 "Hintergrundbild1",
                                 "Etikettenformat1",
                                 "AnleitungItem",
                                 "About1",
                                 "NewBtn",
                                 "SpeedItem4",
                                 "SpeedItem5",
                                 "SpeedItem6"};
    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Datei"));
    for (const char* name : named) menu->addAction(QString::fromLatin1(name))->setObjectName(name);
    QAction* plain = menu->addAction(QStringLiteral("Beide Seiten drucken"));
    plain->setObjectName(QStringLiteral("BeideSeitenItem"));
    EXPECT_EQ(decorateWindow(window), int(std::size(named)));
    for (QAction* a : menu->actions())
        if (a != plain) {
            EXPECT_TRUE(draws(a->icon())) << a->objectName().toStdString();
        }
    EXPECT_TRUE(plain->icon().isNull());

    // An entry the menu adds later has its icon when the menu opens.
    QAction* late = menu->addAction(QStringLiteral("Liste leeren"));
    late->setObjectName(QStringLiteral("ListeLeerenItem"));
    emit menu->aboutToShow();
    EXPECT_TRUE(draws(late->icon()));
}

class Look : public EditingFixture {};

TEST_F(Look, SmallViewStandsInTheMiddleOfItsBoxOnTheWorkAreaColour) {
    doc->unitsPerPixel = 2000;  // the whole work area smaller than the box
    tab->views().layoutFromDocument();
    window->resize(1100, 800);
    QApplication::processEvents();
    EditorView* v = view(0);
    QWidget* port = v->scrollBox()->viewport();
    ASSERT_LT(v->width(), port->width());
    ASSERT_LT(v->height(), port->height());
    EXPECT_LE(std::abs(v->geometry().center().x() - port->rect().center().x()), 1);
    EXPECT_LE(std::abs(v->geometry().center().y() - port->rect().center().y()), 1);

    // No grey strip: the box's ground beside the view has the work area's colour.
    v->paintView();
    const QImage shot = port->grab().toImage();
    const QRgb base = v->palette().color(QPalette::Base).rgb();
    EXPECT_EQ(shot.pixel(2, 2), base);
    EXPECT_EQ(shot.pixel(shot.width() - 3, shot.height() / 3), base);
    EXPECT_EQ(shot.pixel(v->x() + 3, v->y() + 3), base);  // the view's own work area

    // The bitmap holds the whole view, and the top ruler's 0 stands over the card's left edge.
    EXPECT_EQ(v->frameOrigin(), QPoint(0, 0));
    EXPECT_EQ(v->frame().size(), v->size());
    const RulerScale& s = v->topRuler()->scale();
    const auto zero = std::find_if(s.ticks.begin(), s.ticks.end(), [](const RulerTick& t) {
        return t.kind == TickKind::Major && t.value == 0;
    });
    ASSERT_NE(zero, s.ticks.end());
    EXPECT_EQ(zero->pos - Ruler::kThickness, v->x() + v->width() / 3);
}

TEST_F(Look, PropertyColumnKeepsItsWidthWhateverIsSelected) {
    PropertyPanel& p = ed->panel();
    put(1, KindFigure, 2000, 2000, 200, 100);
    put(2, KindText, 2300, 2000, 200, 100);
    const int width = tab->propertyColumn()->width();
    EXPECT_TRUE(p.noSelectionLabel->isVisible());
    EXPECT_FALSE(p.sheetTabs->isVisible());
    for (int slot : {1, 2, 0}) {
        ed->selectSlot(slot);
        ed->repaintBoth();
        QApplication::processEvents();
        EXPECT_EQ(tab->propertyColumn()->width(), width) << slot;
        EXPECT_EQ(p.noSelectionLabel->isVisible(), slot == 0) << slot;
        EXPECT_EQ(p.sheetTabs->isVisible(), slot != 0) << slot;
    }
}

TEST_F(Look, DarkPaletteDarkensRulersAndWorkAreaButTheCardStaysWhite) {
    doc->unitsPerPixel = 1000;
    tab->views().layoutFromDocument();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    tab->setPalette(dark);
    QApplication::processEvents();
    EditorView* v = view(0);
    v->paintView();

    const QImage& ruler = v->topRuler()->image();
    long light = 0;
    for (int x = 0; x < ruler.width(); ++x) light += qGray(ruler.pixel(x, ruler.height() / 2));
    EXPECT_LT(light / ruler.width(), 100);

    const QImage& f = v->frame();
    const QPoint o = v->frameOrigin();
    const int W = v->width(), H = v->height();
    EXPECT_LT(qGray(f.pixel(W / 6 - o.x(), H / 6 - o.y())), 60);                       // work area
    EXPECT_EQ(f.pixel(W / 3 + 10 - o.x(), H / 3 + 10 - o.y()) & 0xFFFFFF, 0xFFFFFFu);  // card
}
