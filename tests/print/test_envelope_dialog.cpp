// "Umschläge drucken" and "Absender": the envelopes the dialog orders for the rows chosen, the
// choices it keeps, what it refuses, and the sender kept in the settings.
#include "print/ui/EnvelopeDialog.h"

#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "merge/MergeSession.h"
#include "print/PrinterTarget.h"
#include "print/SenderSettings.h"
#include "print/ui/SenderDialog.h"

#include "PdfPages.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

using namespace bb;

namespace {

// Makes each envelope's recipient lines from the order, as the real layout fills its
// template, and records what it was asked to print.
class RecordingMaker : public EnvelopeMaker {
public:
    std::vector<EnvelopeKind> kinds() const override {
        return {{"C6", "C6", {162, 114}, true},
                {"DL", "DL", {220, 110}, true},
                {"Q155", "quadratisch", {155, 155}, false}};
    }
    QString defaultTemplate() const override {
        return QStringLiteral("{Vorname} {Nachname}\n{Ort}");
    }
    void paintPreview(QPainter& painter, const QRectF& target, const EnvelopeOrder& order,
                      int row) const override {
        previewRows.push_back(row);
        painter.fillRect(target, Qt::black);
        (void)order;
    }
    bool print(PrinterTarget& target, const EnvelopeOrder& order,
               const EnvelopePlacement& placement, QString*) const override {
        record(order, placement);
        printedTo = &target;
        return true;
    }
    bool writePdf(const QString& path, const EnvelopeOrder& order,
                  const EnvelopePlacement& placement, QString*) const override {
        record(order, placement);
        pdfPath = path;
        return true;
    }

    void record(const EnvelopeOrder& order, const EnvelopePlacement& placement) const {
        orders.push_back(order);
        placements.push_back(placement);
        faces.clear();
        const FieldFiller filler(*order.list);
        for (int row : order.rows)
            faces.push_back(filler.fill(order.recipientTemplate, order.list->rows[size_t(row)]));
    }

    mutable std::vector<EnvelopeOrder> orders;
    mutable std::vector<EnvelopePlacement> placements;
    mutable QStringList faces;
    mutable QString pdfPath;
    mutable const PrinterTarget* printedTo = nullptr;
    mutable std::vector<int> previewRows;
};

std::shared_ptr<const AddressList> threeRows() {
    auto list = std::make_shared<AddressList>();
    list->columns = {"Vorname", "Nachname", "Ort"};
    list->rows = {{"Ada", "Quellwasser", "Kleinhausen"},
                  {"Bruno", "Tannfeld", "Mittelstadt"},
                  {"Clara", "Wiesengrund", "Oberdorf"}};
    return list;
}

struct Fixture {
    bbtest::TempFolder dir;
    QSettings settings{dir.file(QStringLiteral("s.ini")), QSettings::IniFormat};
    bbtest::ScriptedDialogs dialogs;
    MergeSession session;
    PrinterTarget printer;
    RecordingMaker maker;

    std::unique_ptr<EnvelopeDialog> dialog() {
        return std::make_unique<EnvelopeDialog>(maker, session, printer, settings, dialogs);
    }
    void answerSave(const QString& name) {
        FileDialogResult r;
        r.path = dir.file(name);
        dialogs.saveAnswers.push_back(r);
    }
};

template <typename T>
T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

}  // namespace

TEST(EnvelopeDialog, OrdersOneEnvelopePerChosenRowInTheOrderOfTheCards) {
    Fixture f;
    f.session.setList(threeRows());
    f.session.setCopies(3);  // copies of a card share one envelope
    SenderFields sender;
    sender.name = QStringLiteral("Emil Probe");
    sender.place = QStringLiteral("12345 Musterdorf");
    storeSender(f.settings, sender);
    auto d = f.dialog();
    d->prepare();

    auto* range = child<QLineEdit>(*d, "RangeEdit");
    range->setText(QStringLiteral("3,1"));
    emit range->textEdited(range->text());
    EXPECT_EQ(f.session.rowChoice(), MergeSession::Rows::Range);
    EXPECT_EQ(child<QLabel>(*d, "PlanLabel")->text(), QStringLiteral("2 Umschläge"));

    child<QCheckBox>(*d, "WindowCheck")->setChecked(true);
    f.answerSave(QStringLiteral("u.pdf"));
    child<QPushButton>(*d, "EnvelopePdfBtn")->click();
    ASSERT_EQ(f.maker.orders.size(), 1u);
    const EnvelopeOrder& o = f.maker.orders.front();
    EXPECT_EQ(o.rows, (std::vector<int>{2, 0}));
    EXPECT_EQ(f.maker.faces,
              (QStringList{"Clara Wiesengrund\nOberdorf", "Ada Quellwasser\nKleinhausen"}));
    EXPECT_EQ(o.sizeId, QStringLiteral("C6"));
    EXPECT_TRUE(o.window);
    EXPECT_EQ(o.sender, sender);
    EXPECT_EQ(f.maker.pdfPath, f.dir.file(QStringLiteral("u.pdf")));

    // "Drucken" orders the same envelopes on the window's printer, and says so afterwards.
    int used = 0;
    QObject::connect(d.get(), &EnvelopeDialog::printerUsed, [&used] { ++used; });
    f.answerSave(QStringLiteral("gedruckt.pdf"));
    child<QPushButton>(*d, "EnvelopePrintBtn")->click();
    ASSERT_EQ(f.maker.orders.size(), 2u);
    EXPECT_EQ(f.maker.printedTo, &f.printer);
    EXPECT_EQ(f.maker.orders.back().rows, (std::vector<int>{2, 0}));
    EXPECT_EQ(used, 1);

    // Ticked rows go in the list's order.
    f.session.setTicked(1, true);
    f.session.setTicked(0, true);
    f.session.setRowChoice(MergeSession::Rows::Ticked);
    ASSERT_TRUE(d->order().has_value());
    EXPECT_EQ(d->order()->rows, (std::vector<int>{0, 1}));
}

TEST(EnvelopeDialog, RefusesWhatCannotBePrintedAndSaysWhy) {
    Fixture f;
    auto d = f.dialog();
    // Without a list there is nothing to print.
    EXPECT_FALSE(d->order().has_value());
    EXPECT_FALSE(child<QPushButton>(*d, "EnvelopePrintBtn")->isEnabled());
    EXPECT_FALSE(d->savePdf());
    EXPECT_FALSE(f.dialogs.messages.isEmpty());

    f.session.setList(threeRows());
    EXPECT_TRUE(child<QPushButton>(*d, "EnvelopePrintBtn")->isEnabled());
    f.session.setRowChoice(MergeSession::Rows::Ticked);
    EXPECT_FALSE(child<QPushButton>(*d, "EnvelopePrintBtn")->isEnabled());
    f.session.setRowChoice(MergeSession::Rows::All);

    // A square envelope has no window variant: the tick is off and ignored.
    auto* size = child<QComboBox>(*d, "SizeCombo");
    auto* window = child<QCheckBox>(*d, "WindowCheck");
    window->setChecked(true);
    size->setCurrentIndex(2);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(d->order()->window);

    // A DL envelope long edge first does not fit an A4 tray: nothing is written.
    size->setCurrentIndex(1);
    auto* edge = child<QComboBox>(*d, "FeedEdgeCombo");
    edge->setCurrentIndex(edge->findData(int(EnvelopeFeed::LongEdge)));
    child<QCheckBox>(*d, "A4Check")->setChecked(true);
    f.dialogs.messages.clear();
    EXPECT_FALSE(d->savePdf());
    EXPECT_TRUE(f.maker.orders.empty());
    ASSERT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_TRUE(f.dialogs.messages.front().text.contains(QStringLiteral("kurze Kante")));
    EXPECT_TRUE(f.dialogs.saveRequests.isEmpty());
}

TEST(EnvelopeDialog, KeepsItsChoicesAndPlacesTheEnvelopeByTheFeed) {
    Fixture f;
    f.session.setList(threeRows());
    {
        auto d = f.dialog();
        EXPECT_EQ(child<QPlainTextEdit>(*d, "TemplateEdit")->toPlainText(),
                  f.maker.defaultTemplate());
        child<QComboBox>(*d, "SizeCombo")->setCurrentIndex(2);
        child<QPlainTextEdit>(*d, "TemplateEdit")->setPlainText(QStringLiteral("{Ort}"));
        auto* edge = child<QComboBox>(*d, "FeedEdgeCombo");
        edge->setCurrentIndex(edge->findData(int(EnvelopeFeed::LongEdge)));
        auto* lead = child<QComboBox>(*d, "FeedLeadCombo");
        lead->setCurrentIndex(lead->findData(int(EnvelopeFeed::Head)));
        EXPECT_TRUE(lead->currentText().contains(QStringLiteral("Oberkante")));
        auto* face = child<QComboBox>(*d, "FeedFaceCombo");
        face->setCurrentIndex(face->findData(int(EnvelopeFeed::FaceDown)));
        auto* align = child<QComboBox>(*d, "FeedAlignCombo");
        align->setCurrentIndex(align->findData(int(EnvelopeFeed::Left)));
        child<QCheckBox>(*d, "A4Check")->setChecked(true);
    }
    const EnvelopeFeed expected{EnvelopeFeed::LongEdge, EnvelopeFeed::FaceDown, EnvelopeFeed::Left,
                                EnvelopeFeed::Head};
    EXPECT_EQ(loadFeed(f.settings), expected);

    auto d = f.dialog();
    EXPECT_EQ(d->feed(), expected);
    EXPECT_TRUE(d->onA4());
    ASSERT_NE(d->currentKind(), nullptr);
    EXPECT_EQ(d->currentKind()->id, QStringLiteral("Q155"));
    EXPECT_EQ(child<QPlainTextEdit>(*d, "TemplateEdit")->toPlainText(), QStringLiteral("{Ort}"));
    child<QPushButton>(*d, "TemplateDefaultBtn")->click();
    EXPECT_EQ(child<QPlainTextEdit>(*d, "TemplateEdit")->toPlainText(), f.maker.defaultTemplate());

    f.answerSave(QStringLiteral("q.pdf"));
    ASSERT_TRUE(d->savePdf());
    ASSERT_EQ(f.maker.placements.size(), 1u);
    const EnvelopePlacement& p = f.maker.placements.front();
    EXPECT_EQ(p.paperMm, QSizeF(kA4WidthMm, kA4HeightMm));
    EXPECT_EQ(p.envelopeToPaperMm,
              envelopePlacement(QSizeF(155, 155), expected, true).envelopeToPaperMm);
}

TEST(EnvelopeDialog, PreviewShowsTheRecordOfTheCard) {
    Fixture f;
    f.session.setList(threeRows());
    f.session.showRecord(1);
    auto d = f.dialog();
    d->resize(900, 600);
    QWidget* preview = d->findChild<QWidget*>(QStringLiteral("EnvelopePreview"));
    ASSERT_NE(preview, nullptr);
    const QImage shot = preview->grab().toImage();
    ASSERT_FALSE(f.maker.previewRows.empty());
    EXPECT_EQ(f.maker.previewRows.back(), 1);
    // The maker's drawing lands in the middle of the preview.
    EXPECT_TRUE(printtest::dark(shot.pixel(shot.width() / 2, shot.height() / 2)));
}

TEST(EnvelopeDialog, SenderIsEditedFromTheDialogAndKeptInTheSettings) {
    Fixture f;
    f.session.setList(threeRows());
    auto d = f.dialog();
    EXPECT_EQ(child<QLabel>(*d, "SenderLabel")->text(),
              QStringLiteral("(kein Absender eingetragen)"));
    d->setRunModal([](QDialog& dlg) {
        dlg.findChild<QLineEdit*>(QStringLiteral("SenderNameEdit"))
            ->setText(QStringLiteral("  Frieda   Beispiel "));
        dlg.findChild<QLineEdit*>(QStringLiteral("SenderPlaceEdit"))
            ->setText(QStringLiteral("99999 Nirgendwo"));
        EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("SenderCountryEdit"))->text(),
                  kDefaultSenderCountry);
        dlg.findChild<QLineEdit*>(QStringLiteral("SenderCountryEdit"))->clear();
        return int(QDialog::Accepted);
    });
    child<QPushButton>(*d, "SenderBtn")->click();
    EXPECT_EQ(child<QLabel>(*d, "SenderLabel")->text(),
              QStringLiteral("Frieda Beispiel\n99999 Nirgendwo\nDeutschland"));

    QSettings again(f.settings.fileName(), QSettings::IniFormat);
    const SenderFields kept = loadSender(again);
    EXPECT_EQ(kept.name, QStringLiteral("Frieda Beispiel"));
    EXPECT_EQ(kept.street, QString());
    EXPECT_EQ(senderLines(kept), (QStringList{"Frieda Beispiel", "99999 Nirgendwo"}));
    EXPECT_EQ(kept.country, kDefaultSenderCountry);  // an emptied country is the usual one
    EXPECT_EQ(d->order()->sender, kept);

    // Cancelled: nothing changes.
    d->setRunModal([](QDialog& dlg) {
        dlg.findChild<QLineEdit*>(QStringLiteral("SenderNameEdit"))->setText(QStringLiteral("X"));
        return int(QDialog::Rejected);
    });
    child<QPushButton>(*d, "SenderBtn")->click();
    EXPECT_EQ(loadSender(f.settings), kept);

    // A sender from abroad keeps its country; pasted line breaks stay on their line.
    SenderDialog dialog;
    SenderFields abroad;
    abroad.name = QStringLiteral("Jan\nMuster");
    abroad.country = QStringLiteral("Österreich");
    dialog.fill(abroad);
    storeSender(f.settings, dialog.fields());
    EXPECT_EQ(loadSender(f.settings).name, QStringLiteral("Jan Muster"));
    EXPECT_EQ(loadSender(f.settings).country, QStringLiteral("Österreich"));
}

TEST(EnvelopeDialog, TestPageGoesToThePdfFileChosen) {
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm missing";
    Fixture f;
    auto d = f.dialog();
    child<QComboBox>(*d, "SizeCombo")->setCurrentIndex(1);  // DL
    auto* edge = child<QComboBox>(*d, "FeedEdgeCombo");
    edge->setCurrentIndex(edge->findData(int(EnvelopeFeed::LongEdge)));
    f.answerSave(QStringLiteral("einzug.pdf"));
    ASSERT_TRUE(d->printTestPage()) << f.dialogs.texts().join('\n').toStdString();
    const QString pdf = f.dialogs.saveRequests.isEmpty() ? QString() : f.dir.file("einzug.pdf");
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(printtest::pdfPageCount(pdf), 1);
    // DL long edge first: a landscape page of the envelope, the feed arrow drawn on it.
    const QImage page = printtest::pdfPage(pdf, 1, 40);
    EXPECT_NEAR(double(page.width()) / page.height(), 2.0, 0.03);
    const QRectF arrow = feedArrowRectMm(QSizeF(220, 110), d->feed(), false);
    const double px = 40 / 25.4;
    const QRect arrowPx = QRectF(arrow.topLeft() * px, arrow.size() * px).toAlignedRect();
    EXPECT_TRUE(
        printtest::columnRun(page, arrowPx.center().x(), arrowPx.top(), arrowPx.bottom()).dark > 0);
}
