// Lengths in millimetres are shown with the German decimal comma whatever the desktop's
// language, and a typed point means the comma, never a thousands separator.
#include "EditingFixture.h"

#include "editor/CardTypeEditDialog.h"
#include "editor/GridDialog.h"

#include <QDoubleSpinBox>
#include <QTest>

using namespace bb;

namespace {

// Types into a field as a user does: everything selected, the text, Enter.
void typeInto(QDoubleSpinBox* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QDoubleSpinBox* field(const QObject& owner, const char* name) {
    return owner.findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
}

}  // namespace

TEST(GermanNumbers, GridAndCardTypeDialogsShowAndTakeTheDecimalComma) {
    GridDialog grid;
    QDoubleSpinBox* spacing = field(grid, "RasterED");
    ASSERT_TRUE(spacing);
    EXPECT_EQ(spacing->text(), QStringLiteral("5,0 mm"));
    typeInto(spacing, QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(grid.spacing(), 2.5);
    // A point is the decimal comma too: 7.5 mm, not 75 mm.
    typeInto(spacing, QStringLiteral("7.5"));
    EXPECT_DOUBLE_EQ(grid.spacing(), 7.5);
    EXPECT_EQ(spacing->text(), QStringLiteral("7,5 mm"));

    bbtest::ScriptedDialogs dialogs;
    CardTypeEditDialog type(dialogs);
    QDoubleSpinBox* width = field(type, "BrED");
    ASSERT_TRUE(width);
    EXPECT_EQ(width->text(), QStringLiteral("90,00"));
    EXPECT_EQ(field(type, "RLED")->text(), QStringLiteral("0,00"));
    typeInto(width, QStringLiteral("85.25"));
    EXPECT_DOUBLE_EQ(width->value(), 85.25);
    EXPECT_EQ(width->text(), QStringLiteral("85,25"));
    // No thousands separator, even for the longest sheets.
    typeInto(field(type, "AHED"), QStringLiteral("2500,5"));
    EXPECT_EQ(field(type, "AHED")->text(), QStringLiteral("2500,50"));
}

using GermanPanel = bbtest::EditingFixture;

TEST_F(GermanPanel, PositionTypedWithAPointMovesTheObjectByMillimetres) {
    CardObject& o = put(1, KindFigure, 1600, 1600, 200, 100);
    click(0, 1650, 1650);
    ASSERT_EQ(ed->selectedSlot(), 1);
    QDoubleSpinBox* x = field(ed->panel(), "PosXEdit");
    ASSERT_TRUE(x);
    x->setFocus();
    typeInto(x, QStringLiteral("12.5"));
    const int32_t cardLeft = doc->sideWidthUnits / 3;
    EXPECT_NEAR((o.x - cardLeft) * 25.39995 / 20000, 12.5, 0.0015);  // not 125 mm
    EXPECT_EQ(x->text(), QStringLiteral("12,50 mm"));
}
