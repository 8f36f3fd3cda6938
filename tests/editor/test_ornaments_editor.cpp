// Ornaments in the editor: inserting one (one step, selected, 40 mm on its longer side, in the
// card's middle or where dropped), its colour with its 1.0 picture name, and the dialog's
// categories and search.
#include "EditingFixture.h"
#include "editor/ObjectClipboard.h"
#include "editor/OrnamentDialog.h"
#include "editor/RulerMath.h"
#include "render/Ornaments.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

using namespace bb;
using namespace bbtest;

namespace {

const OrnamentInfo& firstWhere(bool recolourable) {
    for (const OrnamentInfo& info : ornamentCatalogue())
        if (info.recolourable == recolourable) return info;
    static const OrnamentInfo none;
    return none;
}

class OrnamentEditing : public EditingFixture {};

}  // namespace

TEST_F(OrnamentEditing, InsertedAsOneStepSelectedFortyMillimetresLongInTheCardsMiddle) {
    const OrnamentInfo& info = firstWhere(true);
    ASSERT_FALSE(info.name.isEmpty());
    const int steps = ed->history().stack().count();
    const int slot = ed->clipboard().insertOrnament(info.name);
    ASSERT_GT(slot, 0);
    EXPECT_EQ(ed->history().stack().count(), steps + 1);
    EXPECT_EQ(ed->selectedSlot(), slot);
    const CardObject& o = *ed->editedSlots()[slot];
    EXPECT_EQ(o.kind, KindPicture);
    EXPECT_EQ(o.extras.ornament, info.name);
    EXPECT_EQ(o.content, ornamentPictureName(info, o.color));
    EXPECT_TRUE(o.transparent);
    EXPECT_FALSE(o.picture.isNull());
    const CardDocument& d = ed->doc();
    const double w = cardLengthMm(o.width, d.sideWidthUnits, d.format.cardWidth);
    const double h = cardLengthMm(o.height, d.sideHeightUnits, d.format.cardHeight);
    EXPECT_NEAR(std::max(w, h), 40.0, 0.1);
    EXPECT_NEAR(w / h, info.size.width() / info.size.height(), 0.01);
    // On the card (the middle of its visible part).
    EXPECT_GE(o.x, d.sideWidthUnits / 3);
    EXPECT_LE(o.x + o.width, d.sideWidthUnits * 2 / 3 + 1);
    EXPECT_GE(o.y, d.sideHeightUnits / 3);
    EXPECT_LE(o.y + o.height, d.sideHeightUnits * 2 / 3 + 1);

    // Undone, the slot is free again.
    ed->history().undo();
    EXPECT_FALSE(ed->editedSlots()[slot]->used());

    // Dropped at a place: its middle there; near the card's edge, kept on the card. An unknown
    // name makes nothing.
    const QPoint at(d.sideWidthUnits / 2 + 3000, d.sideHeightUnits / 2 - 2000);
    const int dropped = ed->clipboard().insertOrnament(info.name, &at);
    ASSERT_GT(dropped, 0);
    const CardObject& placed = *ed->editedSlots()[dropped];
    EXPECT_NEAR(placed.x + placed.width / 2.0, at.x(), 1.0);
    EXPECT_NEAR(placed.y + placed.height / 2.0, at.y(), 1.0);
    const QPoint corner(d.sideWidthUnits / 3 + 100, d.sideHeightUnits / 3 + 100);
    const CardObject& kept = *ed->editedSlots()[ed->clipboard().insertOrnament(info.name, &corner)];
    EXPECT_EQ(kept.x, d.sideWidthUnits / 3);
    EXPECT_EQ(kept.y, d.sideHeightUnits / 3);
    EXPECT_EQ(ed->clipboard().insertOrnament(QStringLiteral("gibt-es-nicht")), 0);
}

TEST_F(OrnamentEditing, TheColourOfARecolourableOrnamentRenamesItsPictureAFixedOneHasNone) {
    const OrnamentInfo& free = firstWhere(true);
    const OrnamentInfo& fixed = firstWhere(false);
    const int slot = ed->clipboard().insertOrnament(free.name);
    ASSERT_GT(slot, 0);
    ed->commands().setColor(rgbRef(0x10, 0x20, 0x30));
    const CardObject& o = *ed->editedSlots()[slot];
    EXPECT_EQ(o.color, rgbRef(0x10, 0x20, 0x30));
    EXPECT_TRUE(o.content.endsWith(QStringLiteral("-102030.png"))) << o.content.toStdString();
    // Undone with the colour.
    ed->history().undo();
    EXPECT_EQ(ed->editedSlots()[slot]->content, ornamentPictureName(free, kOrnamentDefaultColour));

    const int other = ed->clipboard().insertOrnament(fixed.name);
    ASSERT_GT(other, 0);
    ed->commands().setColor(rgbRef(0x10, 0x20, 0x30));
    EXPECT_EQ(ed->editedSlots()[other]->color, 0u);
    EXPECT_EQ(ed->editedSlots()[other]->content, ornamentPictureName(fixed, 0));
}

TEST(OrnamentDialogTest, CategoriesAndSearchChooseThePreviewsAndInsertNamesTheChosen) {
    OrnamentDialog dialog;
    EXPECT_EQ(size_t(dialog.shownNames().size()), ornamentCatalogue().size());
    const QString category = ornamentCategories().value(1);
    dialog.setCategory(category);
    ASSERT_FALSE(dialog.shownNames().isEmpty());
    for (const QString& name : dialog.shownNames())
        EXPECT_EQ(findOrnament(name)->category, category);
    dialog.setCategory(QStringLiteral("Alle"));
    dialog.setSearch(QStringLiteral("HERZ"));
    ASSERT_FALSE(dialog.shownNames().isEmpty());
    for (const QString& name : dialog.shownNames()) {
        const OrnamentInfo* info = findOrnament(name);
        EXPECT_TRUE(info->label.contains(QStringLiteral("herz"), Qt::CaseInsensitive) ||
                    info->category.contains(QStringLiteral("herz"), Qt::CaseInsensitive));
    }
    dialog.setSearch(QStringLiteral("xyzzy"));
    EXPECT_TRUE(dialog.shownNames().isEmpty());

    EXPECT_TRUE(OrnamentDialog::matches(QStringLiteral("Herz rot"), QStringLiteral("Herzen"),
                                        QStringLiteral("rot herz")));
    EXPECT_FALSE(OrnamentDialog::matches(QStringLiteral("Herz rot"), QStringLiteral("Herzen"),
                                         QStringLiteral("herz blau")));

    dialog.setSearch(QString());
    const QString wanted = ornamentCatalogue().back().name;
    dialog.choose(wanted);
    QSignalSpy spy(&dialog, &OrnamentDialog::insertRequested);
    auto* insert = dialog.findChild<QPushButton*>(QStringLiteral("SchmuckEinfuegen"));
    ASSERT_NE(insert, nullptr);
    ASSERT_TRUE(insert->isEnabled());
    insert->click();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.first().first().toString(), wanted);
}
