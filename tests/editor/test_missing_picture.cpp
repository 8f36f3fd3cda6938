// "Bild suchen..." on a picture whose file was not found: offered for it only, loads the chosen
// file turned as the object is into the same box, as one step that undo takes back.
#include "EditingFixture.h"

#include "document/EditHistory.h"
#include "pictures/PictureOps.h"
#include "render/Renderer.h"

#include <QAction>
#include <QImage>
#include <QUndoStack>

#include <tuple>

using namespace bb;

namespace {

using MissingPictures = bbtest::EditingFixture;

TEST_F(MissingPictures, FindPictureRelinksAsOneUndoableStep) {
    const QString found = folder.file(QStringLiteral("foto.png"));
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(found));
    doc->fileName = folder.file(QStringLiteral("karte.kar"));
    CardObject& o = put(1, KindPicture, 10, 10, 120, 80);
    o.content = QStringLiteral("/gibt/es/nicht/foto.png");
    o.rotation = 1;
    ASSERT_FALSE(loadPictureOrBlank(o.picture, o.content, folder.path()));
    const CardObject before = o;
    ed->edited().slot = 1;
    ed->history().clear();
    const auto placeholderPixels = [this] {
        const QImage f = view(SideOutside)->frame();
        int n = 0;
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) n += f.pixel(x, y) == kMissingPictureFrame.rgb();
        return n;
    };
    ed->repaintBoth();
    EXPECT_GT(placeholderPixels(), 200);  // the view shows it

    QAction* find = ed->menus().item(QStringLiteral("BildSuchenM"));
    ed->menus().prepare(o);
    EXPECT_TRUE(find->isVisible());
    dialogs.openAnswers.push_back({found, 1});
    find->trigger();
    ASSERT_EQ(dialogs.openRequests.size(), 1);
    EXPECT_EQ(dialogs.openRequests[0].directory, folder.path());  // the card's folder
    EXPECT_EQ(o.content, found);
    EXPECT_EQ(o.picture.width(), 20);  // turned a quarter, as the object says
    EXPECT_EQ(std::tie(o.x, o.y, o.width, o.height),
              std::tie(before.x, before.y, before.width, before.height));
    EXPECT_EQ(ed->history().stack().undoText(), QStringLiteral("Bild suchen"));
    EXPECT_EQ(placeholderPixels(), 0);
    ed->menus().prepare(o);
    EXPECT_FALSE(find->isVisible());

    ed->history().undo();
    const CardObject& back = *ed->editedSlots()[1];
    EXPECT_TRUE(back.picture.isStandIn());
    EXPECT_EQ(back.content, before.content);
}

}  // namespace
