// "Etiketten drucken": the session's rows on the chosen sheet, used labels clicked on the
// preview, copies and the template reaching the labels, the own sheet refused while it does not
// fit and kept once it does, and the PDF written where the person chose.
#include "merge/MergeSession.h"
#include "print/ui/LabelDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace bb;

namespace {

std::shared_ptr<const AddressList> fiveAddresses() {
    auto list = std::make_shared<AddressList>();
    list->columns = {"Vorname", "Nachname", "Straße", "PLZ", "Ort"};
    for (int i = 1; i <= 5; ++i)
        list->rows.push_back({QStringLiteral("Vorname%1").arg(i), QStringLiteral("Zunft%1").arg(i),
                              QStringLiteral("Gasse %1").arg(i), "99999", "Irgendwo"});
    return list;
}

class LabelDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.setList(fiveAddresses());
        dialog.prepare();
        // The preview is laid out without showing the dialog.
        preview()->resize(300, 424);
    }
    LabelSheetPreview* preview() { return dialog.findChild<LabelSheetPreview*>("labelPreview"); }
    QSpinBox* spin(const char* name) { return dialog.findChild<QSpinBox*>(name); }
    void clickLabel(int position) {
        QTest::mouseClick(preview(), Qt::LeftButton, {},
                          preview()->labelRect(position).center().toPoint());
    }

    bbtest::TempFolder dir;
    QSettings settings{dir.file("einstellungen.ini"), QSettings::IniFormat};
    bbtest::ScriptedDialogs dialogs;
    MergeSession session;
    LabelDialog dialog{session, dialogs, &settings, nullptr};
};

}  // namespace

TEST_F(LabelDialogTest, PreviewClicksCopiesAndTemplateReachTheLabels) {
    EXPECT_EQ(dialog.objectName(), "LabelDialog");
    EXPECT_EQ(dialog.windowTitle(), "Etiketten drucken");
    auto* combo = dialog.findChild<QComboBox*>("sheetCombo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), int(labelSheets().size()) + 1);
    EXPECT_EQ(combo->itemText(combo->count() - 1), "Eigenes Format...");
    ASSERT_EQ(dialog.job().labels.size(), 5u);
    EXPECT_EQ(dialog.job().labels[0].text.lines.value(0), "Vorname1 Zunft1");

    // A free label marks itself and those before it used; a used one frees itself and after.
    clickLabel(3);
    EXPECT_EQ(dialog.used(), 4);
    EXPECT_EQ(dialog.job().labels[0].place.position, 4);
    clickLabel(1);
    EXPECT_EQ(dialog.used(), 1);
    // The last label of a sheet always stays free.
    const int last = dialog.sheet().perSheet() - 1;
    clickLabel(last);
    EXPECT_EQ(dialog.used(), last);

    spin("copiesSpin")->setValue(2);
    ASSERT_EQ(dialog.job().labels.size(), 10u);
    EXPECT_EQ(dialog.job().pages, 2);
    EXPECT_EQ(dialog.job().labels[1].place.row, 0);
    EXPECT_EQ(dialog.job().labels[2].place.row, 1);

    dialog.findChild<QPlainTextEdit*>("templateEdit")->setPlainText("{Ort}\n{Nachname}");
    EXPECT_EQ(dialog.job().labels[0].text.lines, QStringList({"Irgendwo", "Zunft1"}));
    EXPECT_EQ(settings.value("Etiketten/Vorlage").toString(), "{Ort}\n{Nachname}");

    // Another sheet is remembered, and the used labels are bounded by it.
    combo->setCurrentIndex(combo->findData("3474"));
    emit combo->activated(combo->currentIndex());
    EXPECT_EQ(dialog.sheet().id, "3474");
    EXPECT_EQ(spin("usedSpin")->maximum(), 23);
    EXPECT_EQ(settings.value("Etiketten/Bogen").toString(), "3474");

    // No row chosen: nothing to print, and the reason is shown.
    session.setRowChoice(MergeSession::Rows::Ticked);
    dialog.prepare();
    EXPECT_TRUE(dialog.job().labels.empty());
    EXPECT_FALSE(dialog.findChild<QPushButton*>("pdfButton")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QLabel*>("summary")->text().isEmpty());
}

TEST_F(LabelDialogTest, OwnSheetIsRefusedUntilItFitsThenKept) {
    QString seenProblem;
    bool okWhileOverlapping = true;
    dialog.setRunModal([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "CustomSheetDialog");
        const auto set = [&d](const char* name, double v) {
            if (auto* box = d.findChild<QDoubleSpinBox*>(name)) box->setValue(v);
            if (auto* box = d.findChild<QSpinBox*>(name)) box->setValue(int(v));
        };
        set("breite", 100);
        set("hoehe", 50);
        set("randLinks", 5);
        set("randOben", 10);
        set("abstandX", 90);  // narrower than the labels
        set("abstandY", 55);
        set("spalten", 2);
        set("zeilen", 5);
        set("eckenradius", 0);
        seenProblem = d.findChild<QLabel*>("problem")->text();
        auto* ok = d.findChild<QPushButton*>("okButton");
        okWhileOverlapping = ok && ok->isEnabled();
        set("abstandX", 100);
        return int(QDialog::Accepted);
    });
    auto* combo = dialog.findChild<QComboBox*>("sheetCombo");
    combo->setCurrentIndex(combo->findData(kCustomLabelSheetId));
    emit combo->activated(combo->currentIndex());
    EXPECT_TRUE(seenProblem.contains("überlappen")) << seenProblem.toStdString();
    EXPECT_FALSE(okWhileOverlapping);
    EXPECT_EQ(dialog.sheet().id, kCustomLabelSheetId);
    EXPECT_EQ(dialog.sheet().perSheet(), 10);
    EXPECT_EQ(dialog.job().labels.front().rectMm, QRectF(5, 10, 100, 50));
    const LabelSheet kept = customLabelSheet(settings);
    EXPECT_EQ(kept.pitchMm, QPointF(100, 55));
    EXPECT_EQ(kept.columns, 2);
}

TEST_F(LabelDialogTest, PdfIsWrittenWhereChosenAndPrintWithoutPrinterSavesOne) {
    const QString pdf = dir.file("etiketten.pdf");
    dialogs.saveAnswers.push_back({pdf, 1});
    dialog.findChild<QPushButton*>("pdfButton")->click();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
    EXPECT_TRUE(dialog.findChild<QLabel*>("status")->text().contains("5 Etiketten"));
    // Cancelled: nothing written, nothing said.
    QFile::remove(pdf);
    dialogs.saveAnswers.push_back({QString(), 1});
    EXPECT_FALSE(dialog.print());
    EXPECT_FALSE(QFile::exists(pdf));
}
