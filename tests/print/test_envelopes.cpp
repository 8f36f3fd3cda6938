// Envelopes: the catalogue, the recipient block from a list row, and where the blocks land on
// the envelope, checked on the data and, for window envelopes, on the text positions of the
// PDF against the measures of DIN 5008 and DIN 680.
#include "EnvelopePdfText.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "pictures/AtomicWrite.h"
#include "print/EnvelopeLayout.h"
#include "print/EnvelopePrint.h"
#include "print/Envelopes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>

#include <cerrno>

using namespace bb;
using namespace envtest;

namespace {

// DIN 5008: the address field is 85 × 45 mm, a 17.7 mm zone for notes and the sender line
// above the 27.3 mm address zone; the text starts 5 mm inside the field.
constexpr double kNoteZone = 17.7;
constexpr double kAddressZone = 27.3;
constexpr double kIndent = 5;

std::shared_ptr<const AddressList> list(const QByteArray& csv) {
    const AddressListResult r = parseCsv(csv);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    return r.list;
}

const QByteArray kList =
    "Anrede;Vorname;Nachname;Straße;PLZ;Ort;Land\n"
    "Frau;Wilma;Querbeet;Klatschmohnweg 4;34567;Auenfeld;Deutschland\n"
    ";Oskar;Tannhuber;;34568;Birkenstein;\n"
    "Herrn;Ludo;Zwirbel;Brunnengasse 2;5020;Wolkenbach;Österreich\n";

SenderAddress testSender() {
    return {{QStringLiteral("Ida Pfefferkorn"), QStringLiteral("Lindenhang 12"),
             QStringLiteral("34560 Auenfeld")},
            QStringLiteral("Deutschland")};
}

QStringList linesOfRow(const AddressList& l, int row, const QString& senderCountry,
                       const QString& tmpl = kDefaultRecipientTemplate) {
    return recipientLines(templateForList(tmpl, l), FieldFiller(l), l.rows[size_t(row)],
                          senderCountry);
}

TEST(EnvelopeCatalogue, EverySizeIsLandscapeAndEveryWindowLiesOnItsEnvelope) {
    const auto& sizes = envelopeSizes();
    ASSERT_GE(sizes.size(), 8u);
    for (const QString id : {"C6", "DL", "C5", "C6/5", "B6", "Q155", "US10", "A7"})
        EXPECT_NE(findEnvelope(id), nullptr) << id.toStdString();
    for (const QString id : {"C6", "DL", "C5", "C6/5"})
        EXPECT_TRUE(findEnvelope(id)->hasWindow()) << id.toStdString();
    for (const EnvelopeSize& e : sizes) {
        EXPECT_GE(e.sizeMm.width(), e.sizeMm.height()) << e.id.toStdString();
        if (e.windowMm) {
            EXPECT_TRUE(QRectF(QPointF(), e.sizeMm).contains(*e.windowMm)) << e.id.toStdString();
        }
        // The paper handed to printers is the envelope turned upright.
        const QSizeF paper = e.pageSize().size(QPageSize::Millimeter);
        EXPECT_NEAR(paper.width(), e.sizeMm.height(), 0.5) << e.id.toStdString();
        EXPECT_NEAR(paper.height(), e.sizeMm.width(), 0.5) << e.id.toStdString();
    }
    // Inches are converted.
    EXPECT_NEAR(findEnvelope("us10")->sizeMm.width(), 241.3, 0.01);
    EXPECT_NEAR(findEnvelope("US10")->sizeMm.height(), 104.775, 0.01);
    EXPECT_NEAR(findEnvelope("A7")->sizeMm.width(), 184.15, 0.01);
    EXPECT_EQ(findEnvelope("C7"), nullptr);
}

TEST(EnvelopeCatalogue, BadLinesAreRefusedWithTheirLineAndTheRestKept) {
    const EnvelopeCatalogue c = parseEnvelopeCatalogue(
        "# comment\n"
        "C6;C6;162;114;din;20,54,90,45;iso_c6_114x162mm\n"
        "X1;zu wenig;162;114;din\n"                // 3: fields missing
        "X2;hoch;114;162;din;;m\n"                 // 4: portrait
        "X3;Text;breit;114;din;;m\n"               // 5: no number
        "X4;Fenster;162;114;din;100,80,90,45;m\n"  // 6: window off the envelope
        "c6;doppelt;162;114;din;;m\n"              // 7: id again (case ignored)
        "X5;Anordnung;162;114;schräg;;m\n"         // 8: unknown layout
        "X6;kein Papiername;162;114;din;;\n"       // 9: no media
        "US;Zoll;9.5in;4.125in;centred;;na_number-10_4.125x9.5in\n");
    ASSERT_EQ(c.sizes.size(), 2u);
    EXPECT_EQ(c.sizes[0].id, "C6");
    EXPECT_EQ(c.sizes[1].id, "US");
    ASSERT_EQ(c.errors.size(), 7) << c.errors.join('\n').toStdString();
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(c.errors[i].startsWith(QStringLiteral("Zeile %1:").arg(i + 3)))
            << c.errors[i].toStdString();
}

TEST(RecipientLines, EmptyFieldsCloseUpAndMissingColumnsNeverShow) {
    const auto l = list(kList);
    // No salutation, no street, no country: the lines close up.
    EXPECT_EQ(linesOfRow(*l, 1, "Deutschland"),
              QStringList({"Oskar Tannhuber", "34568 Birkenstein"}));
    // A list without a "Anrede" column: no "{Anrede}" on the envelope.
    const auto bare = list("Vorname;Nachname;PLZ;Ort\nPia;Holunder;34569;Kleeau\n");
    EXPECT_EQ(linesOfRow(*bare, 0, ""), QStringList({"Pia Holunder", "34569 Kleeau"}));
    // Literal braces and text around fields stay.
    EXPECT_EQ(linesOfRow(*l, 0, "Deutschland", "z. Hd. {Vorname} {{privat}}\n{Ort}"),
              QStringList({"z. Hd. Wilma {privat}", "Auenfeld"}));
}

TEST(RecipientLines, TheCountryIsWrittenOnlyAbroadInCapitalsOnTheLastLine) {
    const auto l = list(kList);
    EXPECT_EQ(linesOfRow(*l, 0, "Deutschland").last(), "34567 Auenfeld");
    for (const QString home : {"Germany", "DE", "d", " deutschland ", ""})
        EXPECT_EQ(linesOfRow(*l, 0, home).size(), 4) << home.toStdString();
    EXPECT_EQ(
        linesOfRow(*l, 2, "Deutschland"),
        QStringList({"Herrn", "Ludo Zwirbel", "Brunnengasse 2", "5020 Wolkenbach", "ÖSTERREICH"}));
    // From Austria, the Austrian address is domestic and the German one abroad.
    EXPECT_EQ(linesOfRow(*l, 2, "Austria").last(), "5020 Wolkenbach");
    EXPECT_EQ(linesOfRow(*l, 0, "AT").last(), "DEUTSCHLAND");
    EXPECT_TRUE(sameCountry("Schweiz", "CH"));
    EXPECT_FALSE(sameCountry("Schweiz", "Deutschland"));
}

TEST(SenderFile, LinesTheCountryLineAndRefusedFiles) {
    bbtest::TempFolder dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.file(name);
    };
    QString error;
    const SenderAddress s = readSenderFile(
        write("ok.txt",
              "\xEF\xBB\xBFIda Pfefferkorn\r\n\r\nLindenhang 12\nland:  Österreich \n"
              "34560 Auenfeld\n"),
        &error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(s.lines, QStringList({"Ida Pfefferkorn", "Lindenhang 12", "34560 Auenfeld"}));
    EXPECT_EQ(s.country, "Österreich");

    for (const QString& bad :
         {write("latin1.txt",
                "Stra\xDF"
                "e 1\n"),
          write("empty.txt", "\n\n"), write("onlyland.txt", "Land: Deutschland\n"),
          dir.file("missing.txt")}) {
        error.clear();
        EXPECT_TRUE(readSenderFile(bad, &error).lines.isEmpty());
        EXPECT_FALSE(error.isEmpty()) << bad.toStdString();
    }
}

void expectInside(const QRectF& outer, const QRectF& inner, const char* what) {
    EXPECT_TRUE(outer.adjusted(-0.01, -0.01, 0.01, 0.01).contains(inner))
        << what << ": " << inner.x() << "," << inner.y() << " " << inner.width() << "x"
        << inner.height() << " not in " << outer.x() << "," << outer.y() << " " << outer.width()
        << "x" << outer.height();
}

TEST(EnvelopeFaceLayout, EveryBlockStaysOutOfTheStampAreaAndTheCodeZone) {
    const auto l = list(kList);
    for (const EnvelopeSize& e : envelopeSizes()) {
        for (const bool window : {false, true}) {
            if (window && !e.hasWindow()) continue;
            const EnvelopeFace f =
                envelopeFace(e, window, testSender(), linesOfRow(*l, 2, "Deutschland"));
            const std::string id = e.id.toStdString() + (window ? " window" : "");
            EXPECT_TRUE(f.warnings.isEmpty()) << id << f.warnings.join(' ').toStdString();
            EXPECT_EQ(f.recipient.lines.size(), 5) << id;
            for (const EnvelopeBlock* b : {&f.recipient, &f.sender, &f.senderLine}) {
                if (b->lines.isEmpty()) continue;
                EXPECT_FALSE(b->rectMm.intersects(f.stampAreaMm)) << id;
                EXPECT_LE(b->rectMm.bottom(), e.sizeMm.height() - 15 + 0.01) << id;
            }
            if (window) {
                expectInside(*e.windowMm, f.recipient.rectMm, id.c_str());
                EXPECT_TRUE(f.sender.lines.isEmpty()) << id;  // the sender line says it
            } else if (e.german) {
                // Deutsche Post: 15 mm from both sides, below the 40 mm of the stamp area.
                EXPECT_GE(f.recipient.rectMm.left(), 15) << id;
                EXPECT_LE(f.recipient.rectMm.right(), e.sizeMm.width() - 15 + 0.01) << id;
                EXPECT_GE(f.recipient.rectMm.top(), 40) << id;
                EXPECT_EQ(f.sender.lines.size(), 3) << id;
            } else {
                EXPECT_NEAR(f.recipient.rectMm.center().x(), e.sizeMm.width() / 2, 0.01) << id;
            }
        }
    }
}

TEST(EnvelopeFaceLayout, APictureKeepsClearOfAddressSenderStampAndCodeZone) {
    EnvelopeStyle style;
    style.picture = QImage(40, 20, QImage::Format_RGB32);
    style.picture.fill(Qt::red);
    const QStringList address = {"Pia Holunder", "Kleeweg 3", "34569 Kleeau"};
    for (const EnvelopeSize& e : envelopeSizes()) {
        for (const bool window : {false, true}) {
            if (window && !e.hasWindow()) continue;
            const std::string id = e.id.toStdString() + (window ? " window" : "");
            const EnvelopeFace f = envelopeFace(e, window, testSender(), address, style);
            if (f.pictureMm.isEmpty()) {
                EXPECT_FALSE(f.warnings.isEmpty()) << id;
                continue;
            }
            EXPECT_NEAR(f.pictureMm.width() / f.pictureMm.height(), 2.0, 0.01) << id;
            EXPECT_FALSE(f.pictureMm.intersects(f.stampAreaMm)) << id;
            EXPECT_FALSE(f.pictureMm.intersects(f.sender.rectMm)) << id;
            EXPECT_LE(f.pictureMm.bottom(), e.sizeMm.height() - 15 + 0.01) << id;
            // Deutsche Post: 20 mm between a picture and the address (or the window).
            const QRectF keepClear =
                (window ? *e.windowMm : f.recipient.rectMm).adjusted(-19.99, -19.99, 19.99, 19.99);
            EXPECT_FALSE(f.pictureMm.intersects(keepClear)) << id;
        }
    }
}

TEST(EnvelopeFaceLayout, ALongAddressShrinksThenLosesItsFirstLinesButNeverLeavesTheWindow) {
    const EnvelopeSize& c6 = *findEnvelope("C6");
    const QStringList six = {"Familie",    "Wilma und Kuno Querbeet", "c/o Gärtnerei Blattgrün",
                             "Hinterhaus", "Klatschmohnweg 4",        "34567 Auenfeld"};
    const EnvelopeFace fits = envelopeFace(c6, true, testSender(), six);
    EXPECT_TRUE(fits.warnings.isEmpty());
    EXPECT_EQ(fits.recipient.lines, six);
    EXPECT_LE(fits.recipient.pointSize, 11);
    EXPECT_GE(fits.recipient.pointSize, 8);

    QStringList twelve = six;
    for (int i = 0; i < 6; ++i) twelve.prepend(QStringLiteral("Zusatzzeile %1").arg(i + 1));
    const EnvelopeFace cut = envelopeFace(c6, true, testSender(), twelve);
    EXPECT_EQ(cut.recipient.pointSize, 8);
    ASSERT_FALSE(cut.warnings.isEmpty());
    // The town is kept; the block still fits its zone at that size.
    EXPECT_EQ(cut.recipient.lines.last(), "34567 Auenfeld");
    const double spacing = lineSpacingMm(envelopeFont(cut.fontFamily, 8, false));
    EXPECT_LE(cut.recipient.lines.size() * spacing, kAddressZone + 0.01);
    expectInside(*c6.windowMm, cut.recipient.rectMm, "cut");

    // A line wider than the window is cut short too.
    const EnvelopeFace wide = envelopeFace(
        c6, true, testSender(), {QString(200, QLatin1Char('W')), QStringLiteral("34567 Auenfeld")});
    ASSERT_FALSE(wide.warnings.isEmpty());
    EXPECT_LE(textWidthMm(envelopeFont(wide.fontFamily, wide.recipient.pointSize, false),
                          wide.recipient.lines.first()),
              wide.recipient.rectMm.width() + 0.01);
}

// The window envelopes as printed: the address and the sender line read back from the PDF.
class WindowEnvelopePdf : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowEnvelopePdf, AddressInTheAddressZoneAndSenderLineAboveIt) {
    if (!havePdftotext()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const EnvelopeSize& e = *findEnvelope(GetParam());
    const auto l = list(kList);
    const EnvelopeFace face = envelopeFace(e, true, testSender(), linesOfRow(*l, 0, "Deutschland"));
    bbtest::TempFolder dir;
    const QString pdf = dir.file("window.pdf");
    QString error;
    ASSERT_TRUE(writeEnvelopePdf(pdf, {face}, {}, &error)) << error.toStdString();
    const auto pages = pdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const PdfTextPage& page = pages[0];
    EXPECT_NEAR(page.sizeMm.width(), e.sizeMm.width(), 0.2);
    EXPECT_NEAR(page.sizeMm.height(), e.sizeMm.height(), 0.2);

    const QRectF window = *e.windowMm;
    const double fieldLeft = window.left();
    const double addressTop = window.top() + kNoteZone;
    // The first line of the address ("Frau") starts at the 5 mm indent, at the zone's top.
    const PdfWord* first = page.find("Frau");
    ASSERT_NE(first, nullptr);
    EXPECT_NEAR(first->mm.left(), fieldLeft + kIndent, 0.3);
    EXPECT_GE(first->mm.top(), addressTop - 0.3);
    EXPECT_LE(first->mm.top(), addressTop + 1.5);
    // Every word of the address lies in the address zone, inside the window.
    const QRectF addressZone(fieldLeft, addressTop, 85, kAddressZone);
    for (const QString word :
         {"Frau", "Wilma", "Querbeet", "Klatschmohnweg", "34567", "Auenfeld"}) {
        const PdfWord* w = page.findLast(word);  // the sender line comes first
        ASSERT_NE(w, nullptr) << word.toStdString();
        expectInside(addressZone, w->mm, qPrintable(word));
        expectInside(window, w->mm, qPrintable(word));
    }
    // The sender line: in the note zone, ending above the address, in small type.
    const PdfWord* sender = page.find("Pfefferkorn,");
    ASSERT_NE(sender, nullptr);
    expectInside(QRectF(fieldLeft, window.top(), 85, kNoteZone + 0.3), sender->mm, "sender");
    EXPECT_LE(sender->mm.bottom(), first->mm.top() + 0.3);
    EXPECT_LT(sender->mm.height(), first->mm.height());
    EXPECT_NEAR(page.find("Ida")->mm.left(), fieldLeft + kIndent, 0.3);
    // Nothing is written in the stamp area.
    for (const PdfWord& w : page.words)
        EXPECT_FALSE(w.mm.intersects(face.stampAreaMm)) << w.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(DinWindows, WindowEnvelopePdf, ::testing::Values("C6", "DL", "C5"),
                         [](const auto& info) { return std::string(info.param); });

TEST(EnvelopePdf, OnePagePerFaceInOrderAndTheEarlierFileKeptWhenTheWriteFails) {
    if (!havePdftotext()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const auto l = list(kList);
    const EnvelopeSize& dl = *findEnvelope("DL");
    std::vector<EnvelopeFace> faces;
    for (const int row : {2, 0, 1})
        faces.push_back(envelopeFace(dl, false, testSender(), linesOfRow(*l, row, "DE")));
    bbtest::TempFolder dir;
    const QString pdf = dir.file("order.pdf");
    QString error;
    ASSERT_TRUE(writeEnvelopePdf(pdf, faces, {}, &error)) << error.toStdString();
    const auto pages = pdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[0].find("Zwirbel"), nullptr);
    EXPECT_NE(pages[1].find("Querbeet"), nullptr);
    EXPECT_NE(pages[2].find("Tannhuber"), nullptr);
    // The sender sits in the upper left, the address lower right, both as real text.
    EXPECT_LT(pages[0].find("Pfefferkorn")->mm.bottom(), 40);
    EXPECT_GT(pages[0].find("Zwirbel")->mm.left(), dl.sizeMm.width() / 2 - 15);

    // A full disk: the earlier file stays as it was.
    QFile before(pdf);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();
    {
        InjectedWriteFault full(WriteStep::Write, ENOSPC);
        int errorNumber = 0;
        EXPECT_FALSE(writeEnvelopePdf(pdf, {faces[0]}, {}, &error, &errorNumber));
        EXPECT_EQ(errorNumber, ENOSPC);
        EXPECT_FALSE(error.isEmpty());
    }
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    EXPECT_EQ(before.readAll(), old);
}

TEST(EnvelopePdf, APlacementTurnsTheEnvelopeOntoOtherPaper) {
    if (!havePdftotext()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const EnvelopeSize& c6 = *findEnvelope("C6");
    const EnvelopeFace face =
        envelopeFace(c6, false, testSender(), {"Pia Holunder", "34569 Kleeau"});
    // Upright A4, the envelope turned a quarter clockwise with its top edge at x = 150 mm.
    EnvelopePlacement onA4;
    onA4.paperMm = QSizeF(210, 297);
    onA4.envelopeToPaperMm = QTransform(0, 1, -1, 0, 150, 20);
    bbtest::TempFolder dir;
    const QString pdf = dir.file("a4.pdf");
    QString error;
    ASSERT_TRUE(writeEnvelopePdf(pdf, {face}, onA4, &error)) << error.toStdString();
    const auto pages = pdfTextPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].sizeMm.width(), 210, 0.5);
    EXPECT_NEAR(pages[0].sizeMm.height(), 297, 0.5);
    // The address's first line starts where the transform takes its upper left corner.
    const QPointF expected = onA4.envelopeToPaperMm.map(face.recipient.rectMm.topLeft());
    const PdfWord* pia = pages[0].find("Pia");
    ASSERT_NE(pia, nullptr);
    // Turned text: the box's right edge is the top of the line, its top the line's start.
    EXPECT_NEAR(pia->mm.right(), expected.x(), 1.0);
    EXPECT_NEAR(pia->mm.top(), expected.y(), 0.5);
}

}  // namespace
