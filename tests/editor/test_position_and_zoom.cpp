// The "Position und Größe" fields of the property panel, in millimetres on the card as the
// rulers count them, and "Ganze Karte zeigen".
#include "EditingFixture.h"

#include "editor/RulerMath.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>

using namespace bb;
using bbtest::EditingFixture;

namespace {

class PositionPanel : public EditingFixture {
protected:
    QDoubleSpinBox* field(const char* name) {
        return ed->panel().findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
    }
    // Types into a field as a user does: everything selected, the text, Enter.
    void typeInto(QDoubleSpinBox* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // The millimetres the top ruler shows at view pixel `px`.
    double rulerMm(int px) {
        return topRulerTicks(100, px, view(0)->width(), doc->format.cardWidth).start;
    }
};

TEST_F(PositionPanel, TypedMillimetresWithCommaPlaceTheObjectWhereTheRulerShowsThem) {
    CardObject& o = put(1, KindFigure, 1600, 1600, 200, 100);
    click(0, 1650, 1650);
    ASSERT_EQ(ed->selectedSlot(), 1);
    QGroupBox* group = ed->panel().findChild<QGroupBox*>(QStringLiteral("GeometryGroup"));
    ASSERT_TRUE(group);
    EXPECT_TRUE(group->isVisibleTo(&ed->panel()));
    QDoubleSpinBox* x = field("PosXEdit");
    QDoubleSpinBox* w = field("WidthEdit");
    // Shown with a German decimal comma.
    const double shownX = cardPositionMm(o.x, doc->sideWidthUnits, doc->format.cardWidth);
    EXPECT_EQ(x->text(), QLocale(QLocale::German).toString(shownX, 'f', 2) + " mm");
    EXPECT_TRUE(x->text().contains(QLatin1Char(',')));

    typeInto(x, QStringLiteral("12,50"));
    const int32_t cardLeft = doc->sideWidthUnits / 3;
    EXPECT_NEAR((o.x - cardLeft) * 25.39995 / 20000, 12.5, 0.0015);  // not 1250 mm
    EXPECT_EQ(o.width, 20000);                                       // a move keeps the size
    // The ruler shows the object's left edge at 12.50 mm, to within its pixel.
    const double pixelMm = doc->format.cardWidth / (view(0)->width() / 3);
    EXPECT_NEAR(rulerMm(pixelBox(*doc, o).left), 12.5, pixelMm);
    EXPECT_EQ(x->text(), QStringLiteral("12,50 mm"));

    // One step, and undoing it puts the object back.
    EditHistory& h = ed->history();
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Position ändern"));
    const int32_t movedX = o.x;
    h.undo();
    EXPECT_EQ(o.x, 160000);
    h.redo();
    EXPECT_EQ(o.x, movedX);

    typeInto(field("PosYEdit"), QStringLiteral("-3,25"));
    EXPECT_NEAR(cardPositionMm(o.y, doc->sideHeightUnits, doc->format.cardHeight), -3.25, 0.001);

    // Width with the aspect locked: the height follows in proportion.
    ed->panel().findChild<QCheckBox*>(QStringLiteral("AspectLockCheck"))->setChecked(true);
    const double widthMm = w->value();
    typeInto(w, QLocale(QLocale::German).toString(widthMm * 2, 'f', 2));
    EXPECT_NEAR(double(o.width) / o.height, 2.0, 0.001);
    EXPECT_NEAR(o.height, 20000, 10);
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Größe ändern"));
    ed->panel().findChild<QCheckBox*>(QStringLiteral("AspectLockCheck"))->setChecked(false);
    typeInto(field("HeightEdit"), QStringLiteral("5"));
    EXPECT_NEAR(cardLengthMm(o.height, doc->sideHeightUnits, doc->format.cardHeight), 5, 0.001);
    EXPECT_NEAR(o.width, 40000, 10);
}

TEST_F(PositionPanel, FieldsFollowADragAndTheSelection) {
    CardObject& a = put(1, KindFigure, 1600, 1600, 200, 100);
    put(2, KindText, 1900, 1700, 100, 50);
    click(0, 1650, 1650);
    QDoubleSpinBox* x = field("PosXEdit");
    const double before = x->value();
    press(0, 1650, 1650);
    move(0, 1700, 1650);
    mouse(0, QEvent::MouseMove, Qt::LeftButton, 1700, 1650);
    release(0, 1700, 1650);
    EXPECT_EQ(a.x, 165000);
    view(0)->paintView();
    const double step = cardLengthMm(5000, doc->sideWidthUnits, doc->format.cardWidth);
    EXPECT_NEAR(x->value() - before, step, 0.006);

    // Another object: the fields show it, even the one that had the focus.
    x->setFocus();
    click(0, 1950, 1710);
    view(0)->paintView();
    EXPECT_NEAR(x->value(), cardPositionMm(190000, doc->sideWidthUnits, doc->format.cardWidth),
                0.006);
    // Nothing selected: no fields.
    click(0, 100, 100);
    view(0)->paintView();
    EXPECT_FALSE(ed->panel().geometryGroup->isVisibleTo(&ed->panel()));
}

using WholeCard = EditingFixture;

TEST_F(WholeCard, CtrlZeroOnAZoomedViewShowsTheWholeCardCentred) {
    EditorView* v = view(0);
    QScrollArea* box = v->scrollBox();
    // Zoomed in far, on a corner of the card.
    for (int i = 0; i < 3; ++i)
        ed->navigation().zoomClick(0, v->width() / 3 + 5, v->height() / 3 + 5, true);
    const auto cardVisible = [&] {
        const QRect card(v->width() / 3, v->height() / 3, v->width() / 3, v->height() / 3);
        const QRect seen(v->scrollX(), v->scrollY(), box->viewport()->width(),
                         box->viewport()->height());
        return seen.contains(card);
    };
    ASSERT_FALSE(cardVisible());

    QTest::keyClick(v, Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(cardVisible());
    // As large as fits: a step closer would not show it whole.
    const QRect seen(0, 0, box->viewport()->width(), box->viewport()->height());
    const double cardPixels = v->width() / 3.0, cardHeight = v->height() / 3.0;
    EXPECT_TRUE(cardPixels * 1.5 > seen.width() || cardHeight * 1.5 > seen.height());
    // Centred: equal room on both sides, to a pixel.
    const int left = v->width() / 3 - v->scrollX();
    const int right = v->scrollX() + seen.width() - 2 * v->width() / 3;
    EXPECT_LE(std::abs(left - right), 2);
}

}  // namespace
