// The envelope dialog's envelopes made with the catalogue and layout: one face per chosen row
// in the order of the cards, the sender and template of the order, the window and the picture.
#include "print/CardEnvelopeMaker.h"

#include "merge/AddressList.h"
#include "print/EnvelopePrint.h"
#include "print/Envelopes.h"

#include "PdfPages.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace bb;

namespace {

EnvelopeOrder threeRowOrder() {
    auto list = std::make_shared<AddressList>();
    list->columns = {"Vorname", "Nachname", "Straße", "PLZ", "Ort", "Land"};
    list->rows = {{"Ada", "Quellwasser", "Am Bach 1", "11111", "Kleinhausen", ""},
                  {"Bruno", "Tannfeld", "Waldweg 2", "22222", "Mittelstadt", "Deutschland"},
                  {"Clara", "Wiesengrund", "Seestraße 3", "3333", "Oberdorf", "Schweiz"}};
    EnvelopeOrder o;
    o.sizeId = QStringLiteral("C6");
    o.window = true;
    o.recipientTemplate = kDefaultRecipientTemplate;
    o.sender.name = QStringLiteral("Emil Probe");
    o.sender.place = QStringLiteral("12345 Musterdorf");
    o.list = list;
    o.rows = {2, 0};
    return o;
}

}  // namespace

TEST(CardEnvelopes, OneFacePerChosenRowInTheOrderOfTheCards) {
    const CardEnvelopeMaker maker;
    const EnvelopeOrder order = threeRowOrder();
    QString why;
    const std::vector<EnvelopeFace> faces = maker.faces(order, order.rows, &why);
    ASSERT_EQ(faces.size(), 2u) << why.toStdString();
    EXPECT_EQ(faces[0].recipient.lines,
              (QStringList{"Clara Wiesengrund", "Seestraße 3", "3333 Oberdorf", "SCHWEIZ"}));
    EXPECT_EQ(faces[1].recipient.lines,
              (QStringList{"Ada Quellwasser", "Am Bach 1", "11111 Kleinhausen"}));
    const EnvelopeSize* c6 = findEnvelope(QStringLiteral("C6"));
    ASSERT_NE(c6, nullptr);
    EXPECT_EQ(faces[0].sizeMm, c6->sizeMm);
    // A window envelope carries the sender as its one line above the address.
    EXPECT_TRUE(faces[0].senderLine.lines.join(' ').contains(QStringLiteral("Emil Probe")));

    // The catalogue's sizes are offered with their windows.
    const std::vector<EnvelopeKind> kinds = maker.kinds();
    ASSERT_EQ(kinds.size(), envelopeSizes().size());
    EXPECT_TRUE(std::any_of(kinds.begin(), kinds.end(),
                            [](const EnvelopeKind& k) { return k.id == "C6" && k.hasWindow; }));

    EnvelopeOrder unknown = order;
    unknown.sizeId = QStringLiteral("Z99");
    EXPECT_TRUE(maker.faces(unknown, unknown.rows, &why).empty());
    EXPECT_TRUE(why.contains(QStringLiteral("Z99")));
}

TEST(CardEnvelopes, PictureOnlyWhenOrderedAndPdfHasOnePagePerRow) {
    int asked = 0;
    CardEnvelopeMaker maker([&asked] {
        ++asked;
        QImage card(40, 30, QImage::Format_RGB32);
        card.fill(Qt::red);
        return card;
    });
    EnvelopeOrder order = threeRowOrder();
    order.window = false;
    EXPECT_TRUE(maker.faces(order, order.rows).front().picture.isNull());
    EXPECT_EQ(asked, 0);
    order.picture = true;
    EXPECT_FALSE(maker.faces(order, order.rows).front().picture.isNull());
    EXPECT_FALSE(maker.faces(order, order.rows).back().picture.isNull());
    EXPECT_EQ(asked, 1);  // made once, not per envelope
    maker.forgetPicture();
    maker.faces(order, order.rows);
    EXPECT_EQ(asked, 2);

    // The preview draws the address side of the record asked for.
    QImage preview(324, 228, QImage::Format_RGB32);
    preview.fill(Qt::white);
    {
        QPainter p(&preview);
        maker.paintPreview(p, QRectF(0, 0, 324, 228), order, 1);
    }
    int dark = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x) dark += qGray(preview.pixel(x, y)) < 100;
    EXPECT_GT(dark, 50);

    bbtest::TempFolder dir;
    const QString pdf = dir.file(QStringLiteral("u.pdf"));
    QString why;
    ASSERT_TRUE(maker.writePdf(pdf, order,
                               envelopePlacement(QSizeF(162, 114), EnvelopeFeed{}, false), &why))
        << why.toStdString();
    if (printtest::havePdftoppm()) {
        EXPECT_EQ(printtest::pdfPageCount(pdf), 2);
    }
}
