// The gallery's previews: drawn once and then taken from memory or from the cache folder, drawn
// again for a changed design or a damaged cache file, and never delivered after a cancel.
#include "content/DesignPreviews.h"
#include "support/DesignFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>

#include <gtest/gtest.h>

#include <atomic>

using namespace bb;
using namespace bbtest;

namespace {

const QSize kBox(60, 60);

// The previews delivered by a DesignPreviews, in order.
struct Arrivals {
    explicit Arrivals(DesignPreviews& p) {
        QObject::connect(&p, &DesignPreviews::previewReady, &p,
                         [this](const QString& path, const QImage& image) {
                             paths << path;
                             images << image;
                         });
    }
    qsizetype size() const { return paths.size(); }
    QStringList paths;
    QList<QImage> images;
};

class DesignPreviewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"rosen", "tannen", "kerzen"}) {
            ASSERT_TRUE(writeDesignCard(designs(), QString::fromLatin1(name), qRgb(200, 220, 240)));
            cards << QDir(designs()).filePath(QString::fromLatin1(name) + QStringLiteral(".kar"));
        }
    }
    QString designs() const { return tmp.file(QStringLiteral("vorlagen")); }
    QString cache() const { return tmp.file(QStringLiteral("cache")); }

    // A preview object whose drawings are counted: a plain picture, no card reading.
    std::unique_ptr<DesignPreviews> make() {
        auto p = std::make_unique<DesignPreviews>(cache(), kBox);
        p->setRenderer([](const QString&, QSize box) {
            QImage image(box.width() / 2, box.height(), QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            return image;
        });
        return p;
    }
    // Asks for every card and waits until each preview arrived; returns those given at once.
    int fetchAll(DesignPreviews& previews) {
        Arrivals arrived(previews);
        int atOnce = 0;
        for (const QString& card : cards)
            if (!previews.preview(card).isNull()) ++atOnce;
        EXPECT_TRUE(runUntil([&] { return arrived.size() + atOnce == cards.size(); }));
        for (const QImage& image : arrived.images) EXPECT_FALSE(image.isNull());
        return atOnce;
    }

    TempFolder tmp;
    QStringList cards;
};

TEST_F(DesignPreviewsTest, DrawnOnceThenTakenFromMemoryAndFromTheCacheFolder) {
    {
        auto previews = make();
        EXPECT_EQ(fetchAll(*previews), 0);
        EXPECT_EQ(previews->drawCount(), 3);
        // The dialog opened again in the same run: everything at once, nothing drawn.
        EXPECT_EQ(fetchAll(*previews), 3);
        EXPECT_EQ(previews->drawCount(), 3);
        EXPECT_EQ(previews->pending(), 0);
    }
    // The next run reads the cache folder.
    auto next = make();
    EXPECT_EQ(fetchAll(*next), 0);
    EXPECT_EQ(next->drawCount(), 0);
}

TEST_F(DesignPreviewsTest, ChangedDesignAndDamagedCacheFileAreDrawnAgain) {
    EXPECT_EQ(fetchAll(*make()), 0);
    // A changed design: its size and time differ, so its key does.
    ASSERT_TRUE(writeDesignCard(designs(), QStringLiteral("rosen"), qRgb(10, 20, 30)));
    QFile grown(cards[0]);
    ASSERT_TRUE(grown.open(QIODevice::Append));
    grown.write("x");
    grown.close();
    // A damaged cache file of another design.
    const QString damaged =
        DesignPreviews::cacheFile(cache(), DesignPreviews::cacheKey(cards[1], kBox));
    ASSERT_TRUE(QFileInfo::exists(damaged));
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\x89PNG kaputt");
    f.close();

    auto previews = make();
    EXPECT_EQ(fetchAll(*previews), 0);
    EXPECT_EQ(previews->drawCount(), 2);
    EXPECT_FALSE(QImage(damaged).isNull());  // replaced by a whole preview
    EXPECT_TRUE(DesignPreviews::cacheKey(tmp.file(QStringLiteral("fehlt.kar")), kBox).isEmpty());
}

TEST_F(DesignPreviewsTest, CancelledPreviewsAreNotDeliveredAndAreAskedForAgain) {
    DesignPreviews previews(QString(), kBox);  // memory only
    QSemaphore gate;
    std::atomic<bool> entered{false};
    previews.setRenderer([&](const QString&, QSize box) {
        entered = true;
        gate.acquire();
        QImage image(box, QImage::Format_RGB32);
        image.fill(Qt::red);
        return image;
    });
    Arrivals arrived(previews);
    for (const QString& card : cards) EXPECT_TRUE(previews.preview(card).isNull());
    ASSERT_TRUE(runUntil([&] { return entered.load(); }));
    gate.release(int(cards.size()));  // whatever runs may finish; nothing is delivered
    previews.cancel();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(arrived.size(), 0);
    EXPECT_EQ(previews.pending(), 0);

    gate.release(int(cards.size()));
    EXPECT_TRUE(previews.preview(cards[0]).isNull());
    ASSERT_TRUE(runUntil([&] { return arrived.size() == 1; }));
    EXPECT_EQ(arrived.paths[0], cards[0]);
}

TEST_F(DesignPreviewsTest, RealPreviewShowsTheFrontWithinTheBox) {
    const QImage image = renderDesignPreview(cards[0], QSize(80, 80));
    ASSERT_FALSE(image.isNull());
    EXPECT_LE(image.width(), 80);
    EXPECT_LE(image.height(), 80);
    // A folded 210 × 148 mm card: its front is upright.
    EXPECT_LT(image.width(), image.height());
    // The background picture fills the front.
    EXPECT_EQ(image.pixelColor(2, 2), QColor(200, 220, 240));
    EXPECT_TRUE(renderDesignPreview(tmp.file(QStringLiteral("fehlt.kar")), QSize(80, 80)).isNull());
}

}  // namespace
