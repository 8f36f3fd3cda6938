// The window never waits for a photo: while the background decoder is held, the views draw the
// photo's loading box and typing goes on; when the pixels arrive, the photo is drawn.
#include "EditingFixture.h"
#include "pictures/ScaledPictures.h"
#include "render/BackgroundPictures.h"
#include "render/Renderer.h"

#include <atomic>
#include <semaphore>

using namespace bb;
using bbtest::EditingFixture;

namespace {

QColor pixelAt(const EditorView& v, int x, int y) {
    const QPoint p = QPoint(x, y) - v.frameOrigin();
    const qreal dpr = v.frame().devicePixelRatio();
    return v.frame().pixelColor(int(p.x() * dpr), int(p.y() * dpr));
}

}  // namespace

using PhotoLoading = EditingFixture;

TEST_F(PhotoLoading, TheViewDrawsALoadingBoxAndTakesTypingUntilThePhotoArrives) {
    QImage image(2400, 1600, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    const QString path = folder.path() + QStringLiteral("/foto.jpg");
    ASSERT_TRUE(image.save(path, "JPEG", 95));

    std::counting_semaphore<8> gate{0};
    std::atomic<int> decodes{0};
    BackgroundPictures& pictures = *tab->views().pictures();
    pictures.setDecoder(
        [&](const DibImage& picture, QSize size) {
            ++decodes;
            gate.acquire();
            return scaledPicture(picture, size);
        },
        1);
    // On leaving (also after a failed assertion): the gate opens and the window's own decoder
    // returns before this test's gate goes away.
    struct Restore {
        BackgroundPictures& pictures;
        std::counting_semaphore<8>& gate;
        ~Restore() {
            gate.release(8);
            pictures.setDecoder({});
        }
    } restore{pictures, gate};
    int arrived = 0;
    QObject::connect(&pictures, &BackgroundPictures::arrived, [&arrived] { ++arrived; });

    CardObject& photo = put(1, KindPicture, 100, 100, 240, 160);
    photo.content = path;
    photo.picture = deferredPictureFile(path, image.size(), 0);
    ASSERT_FALSE(photo.picture.isNull());
    CardObject& text = put(2, KindText, 400, 300, 200, 60);
    text.content = QStringLiteral("Hallo");
    text.fontName = QStringLiteral("Liberation Sans");
    text.fontSize = 12;

    tab->views().paintBoth();
    EditorView* v = view(0);
    EXPECT_EQ(pixelAt(*v, 220, 180), kLoadingPictureFill);
    // The worker reaches the gate: the decode is certainly running while we type.
    ASSERT_TRUE(bbtest::runUntil([&] { return decodes.load() == 1; }));

    // Typing into the text while the photo is still being decoded.
    click(0, 450, 330);
    ASSERT_EQ(ed->selectedSlot(), 2);
    QTest::keyClicks(v, QStringLiteral(" Oma"));
    EXPECT_EQ(text.content, QStringLiteral("Hallo Oma"));
    EXPECT_EQ(pixelAt(*v, 220, 180), kLoadingPictureFill);
    EXPECT_EQ(arrived, 0);

    gate.release();
    ASSERT_TRUE(bbtest::runUntil([&, before = arrived] { return arrived > before; }));
    ASSERT_TRUE(bbtest::runUntil([&] { return pixelAt(*v, 220, 180) != kLoadingPictureFill; }));
    const QColor drawn = pixelAt(*v, 220, 180);
    EXPECT_NEAR(drawn.red(), 200, 12);
    EXPECT_NEAR(drawn.green(), 30, 12);
    EXPECT_NEAR(drawn.blue(), 40, 12);
    // Only the shown size was decoded, and the photo itself still holds no pixels.
    EXPECT_EQ(decodes.load(), 1);
    EXPECT_TRUE(photo.picture.isDeferred());
}
