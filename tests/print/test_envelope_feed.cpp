// Envelope feeds: where the envelope lies on the printed page for every way it can go in, the
// feed's text form and settings, and the test page that shows how to put it in.
#include "print/EnvelopeFeed.h"

#include "PdfPages.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QSettings>

#include <gtest/gtest.h>

#include <vector>

using namespace bb;

namespace {

const std::vector<QSizeF> kEnvelopes{{162, 114}, {220, 110},       {229, 162},
                                     {155, 155}, {241.3, 104.775}, {184.15, 133.35}};

std::vector<EnvelopeFeed> everyFeed() {
    std::vector<EnvelopeFeed> feeds;
    for (auto edge : {EnvelopeFeed::LongEdge, EnvelopeFeed::ShortEdge})
        for (auto face : {EnvelopeFeed::FaceUp, EnvelopeFeed::FaceDown})
            for (auto align : {EnvelopeFeed::Centre, EnvelopeFeed::Left, EnvelopeFeed::Right})
                for (auto lead : {EnvelopeFeed::Head, EnvelopeFeed::Tail})
                    feeds.push_back({edge, face, align, lead});
    return feeds;
}

::testing::AssertionResult inside(QPointF p, QSizeF paper) {
    const double e = 1e-6;
    if (p.x() >= -e && p.y() >= -e && p.x() <= paper.width() + e && p.y() <= paper.height() + e)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.x() << ", " << p.y() << ") outside "
                                         << paper.width() << " × " << paper.height();
}

int darkPixels(const QImage& img, const QRect& area) {
    int n = 0;
    const QRect a = area & img.rect();
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x) n += printtest::dark(img.pixel(x, y));
    return n;
}

}  // namespace

TEST(EnvelopePlacement, EveryFeedKeepsTheEnvelopeOnThePaperWithItsLeadingEdgeFirst) {
    for (const QSizeF env : kEnvelopes)
        for (const EnvelopeFeed& feed : everyFeed())
            for (const bool onA4 : {false, true}) {
                SCOPED_TRACE(feedText(feed).toStdString() + (onA4 ? " A4 " : " ") +
                             std::to_string(env.width()));
                if (!feedFits(env, feed, onA4)) continue;
                const EnvelopePlacement p = envelopePlacement(env, feed, onA4);
                const QTransform& t = p.envelopeToPaperMm;
                EXPECT_EQ(p.landscape, p.paperMm.width() > p.paperMm.height());
                const QRectF e(QPointF(), env);
                for (QPointF c : {e.topLeft(), e.topRight(), e.bottomLeft(), e.bottomRight()})
                    EXPECT_TRUE(inside(t.map(c), p.paperMm));
                // Area kept: a turn, never a mirror or a scale.
                EXPECT_NEAR(t.determinant(), 1.0, 1e-9);

                // The edge that leads lands on the page's top edge.
                const bool longEdge = feed.edge == EnvelopeFeed::LongEdge;
                const bool head = feed.lead == EnvelopeFeed::Head;
                const QLineF leading = longEdge ? (head ? QLineF(e.topLeft(), e.topRight())
                                                        : QLineF(e.bottomLeft(), e.bottomRight()))
                                                : (head ? QLineF(e.topLeft(), e.bottomLeft())
                                                        : QLineF(e.topRight(), e.bottomRight()));
                EXPECT_NEAR(t.map(leading.p1()).y(), 0.0, 1e-9);
                EXPECT_NEAR(t.map(leading.p2()).y(), 0.0, 1e-9);

                // The address reads along the page (rightwards or leftwards) with the long
                // edge first, down or up it with the short edge first.
                const QPointF reading = t.map(QPointF(1, 0)) - t.map(QPointF(0, 0));
                const QPointF expected =
                    longEdge ? QPointF(head ? 1 : -1, 0) : QPointF(0, head ? 1 : -1);
                EXPECT_NEAR(reading.x(), expected.x(), 1e-9);
                EXPECT_NEAR(reading.y(), expected.y(), 1e-9);

                if (!onA4) {
                    EXPECT_EQ(p.paperMm, longEdge ? env : env.transposed());
                }
            }
}

TEST(EnvelopePlacement, OnA4TheEnvelopeLiesAgainstTheGuideThePersonChose) {
    const QSizeF c6(162, 114);
    EnvelopeFeed feed{EnvelopeFeed::ShortEdge, EnvelopeFeed::FaceUp, EnvelopeFeed::Centre,
                      EnvelopeFeed::Head};
    const auto onPage = [&] {
        return envelopePlacement(c6, feed, true).envelopeToPaperMm.mapRect(QRectF(QPointF(), c6));
    };
    EXPECT_EQ(envelopePlacement(c6, feed, true).paperMm, QSizeF(210, 297));
    EXPECT_FALSE(envelopePlacement(c6, feed, true).landscape);
    EXPECT_NEAR(onPage().left(), (210 - 114) / 2.0, 1e-9);
    EXPECT_NEAR(onPage().top(), 0.0, 1e-9);

    feed.align = EnvelopeFeed::Left;
    EXPECT_NEAR(onPage().left(), 0.0, 1e-9);
    feed.align = EnvelopeFeed::Right;
    EXPECT_NEAR(onPage().right(), 210.0, 1e-9);
    // Address side down: the guide on the person's left is on the printed page's right.
    feed.face = EnvelopeFeed::FaceDown;
    EXPECT_NEAR(onPage().left(), 0.0, 1e-9);
    feed.align = EnvelopeFeed::Left;
    EXPECT_NEAR(onPage().right(), 210.0, 1e-9);
    feed.align = EnvelopeFeed::Centre;
    EXPECT_NEAR(onPage().center().x(), 105.0, 1e-9);

    // A portrait size given is the same envelope.
    EXPECT_EQ(envelopePlacement(c6.transposed(), feed, true).envelopeToPaperMm,
              envelopePlacement(c6, feed, true).envelopeToPaperMm);
}

TEST(EnvelopePlacement, WideEnvelopesLongEdgeFirstDoNotFitOnA4) {
    const EnvelopeFeed longFirst{EnvelopeFeed::LongEdge, EnvelopeFeed::FaceUp, EnvelopeFeed::Centre,
                                 EnvelopeFeed::Head};
    EnvelopeFeed shortFirst = longFirst;
    shortFirst.edge = EnvelopeFeed::ShortEdge;
    QString why;
    EXPECT_FALSE(feedFits({220, 110}, longFirst, true, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("220 mm"))) << why.toStdString();
    EXPECT_FALSE(feedFits({229, 162}, longFirst, true));
    EXPECT_TRUE(feedFits({220, 110}, shortFirst, true));
    EXPECT_TRUE(feedFits({162, 114}, longFirst, true));
    EXPECT_TRUE(feedFits({229, 162}, longFirst, false));
}

TEST(EnvelopeFeedText, EveryFeedReadsBackAndBadWordsAreNamed) {
    for (const EnvelopeFeed& feed : everyFeed()) {
        const std::optional<EnvelopeFeed> back = parseFeed(feedText(feed));
        ASSERT_TRUE(back.has_value()) << feedText(feed).toStdString();
        EXPECT_EQ(*back, feed) << feedText(feed).toStdString();
    }
    const std::optional<EnvelopeFeed> loose = parseFeed(QStringLiteral(" Long , DOWN ,center"));
    ASSERT_TRUE(loose.has_value());
    EXPECT_EQ(*loose, (EnvelopeFeed{EnvelopeFeed::LongEdge, EnvelopeFeed::FaceDown,
                                    EnvelopeFeed::Centre, EnvelopeFeed::Tail}));

    for (const char* bad : {"", "long,up", "long,up,centre,head,x", "long,sideways,centre",
                            "diagonal,up,left", "short,up,middle", "short,up,left,first"}) {
        QString why;
        EXPECT_FALSE(parseFeed(QString::fromLatin1(bad), &why).has_value()) << bad;
        EXPECT_FALSE(why.isEmpty()) << bad;
    }
    QString why;
    parseFeed(QStringLiteral("short,up,middle"), &why);
    EXPECT_TRUE(why.contains(QStringLiteral("\"middle\""))) << why.toStdString();
}

TEST(EnvelopeFeedSettings, FeedAndA4ChoiceSurviveTheSettingsAndGarbageGivesTheDefault) {
    bbtest::TempFolder dir;
    const QString file = dir.file(QStringLiteral("s.ini"));
    const EnvelopeFeed chosen{EnvelopeFeed::LongEdge, EnvelopeFeed::FaceDown, EnvelopeFeed::Right,
                              EnvelopeFeed::Head};
    {
        QSettings s(file, QSettings::IniFormat);
        EXPECT_EQ(loadFeed(s), EnvelopeFeed{});
        EXPECT_FALSE(loadOnA4(s));
        storeFeed(s, chosen);
        storeOnA4(s, true);
    }
    {
        QSettings s(file, QSettings::IniFormat);
        EXPECT_EQ(loadFeed(s), chosen);
        EXPECT_TRUE(loadOnA4(s));
        s.setValue(QStringLiteral("Umschlag/Einzug"), QStringLiteral("quer,irgendwie"));
        EXPECT_EQ(loadFeed(s), EnvelopeFeed{});
    }
}

TEST(EnvelopeTestPage, DrawsTheFeedArrowOnEveryKindOfPage) {
    const double pxPerMm = 4;
    for (const bool onA4 : {false, true})
        for (const EnvelopeFeed& feed : everyFeed()) {
            if (feed.face == EnvelopeFeed::FaceDown) continue;  // the same pictures mirrored
            SCOPED_TRACE(feedText(feed).toStdString() + (onA4 ? " A4" : ""));
            const QSizeF c6(162, 114);
            const QSizeF paper = envelopePlacement(c6, feed, onA4).paperMm;
            QImage img((paper * pxPerMm).toSize(), QImage::Format_RGB32);
            img.fill(Qt::white);
            {
                QPainter p(&img);
                drawFeedTestPage(p, pxPerMm, c6, feed, onA4);
            }
            const QRectF arrow = feedArrowRectMm(c6, feed, onA4);
            const QRect arrowPx =
                QRectF(arrow.topLeft() * pxPerMm, arrow.size() * pxPerMm).toAlignedRect();
            // The arrow's head at the top is wider than its shaft at the bottom.
            const QRect headPx(arrowPx.left(), arrowPx.top(), arrowPx.width(), 5 * 4);
            const QRect tailPx(arrowPx.left(), arrowPx.bottom() - 5 * 4, arrowPx.width(), 5 * 4);
            EXPECT_GT(darkPixels(img, headPx), darkPixels(img, tailPx));
            EXPECT_GT(darkPixels(img, tailPx), 0);
            // The instructions are written below the arrow.
            const QRect below(0, arrowPx.bottom() + 8, img.width(),
                              img.height() - arrowPx.bottom() - 8);
            EXPECT_GT(darkPixels(img, below), 500);
        }
}
