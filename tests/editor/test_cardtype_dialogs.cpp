// The new-card dialog and the card-type editor against a real "Visiten.dat" in a temporary
// program folder; questions are answered by the scripted dialogs.
#include "document/Catalogue.h"
#include "editor/TNewETypForm.h"
#include "editor/TneuForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

using namespace bb;

namespace {

class CardTypeDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        neu.setProgramFolder(folder.path());
        neu.setTypeForm(&typeForm);
    }
    QByteArray catalogueBytes() const {
        QFile f(folder.file(QStringLiteral("Visiten.dat")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static int32_t int32At(const QByteArray& b, int offset) {
        int32_t v = 0;
        std::memcpy(&v, b.constData() + offset, 4);
        return v;
    }
    // The card-type dialog "answers" by setting its fields and pressing OK.
    void typeFormAnswers(std::function<void(TNewETypForm&)> edit) {
        typeForm.setModalHook([edit](TNewETypForm& f) {
            if (edit) edit(f);
            return int(QDialog::Accepted);
        });
    }

    bbtest::TempFolder folder;
    bbtest::ScriptedDialogs dialogs;
    TNewETypForm typeForm;
    TneuForm neu{dialogs};
    CardFormat format;
};

}  // namespace

TEST_F(CardTypeDialogs, FirstRunOkWithoutSelectionComplainsAndClosingWritesAnEmptyCatalogue) {
    ASSERT_FALSE(QFile::exists(folder.file(QStringLiteral("Visiten.dat"))));
    const CardFormat before = format;
    bool stillOpenAfterOk = false;
    neu.setModalHook([&](TneuForm& d) {
        EXPECT_EQ(d.ComboBox1->count(), 0);
        d.OKBtnClick();
        stillOpenAfterOk = d.types().isEmpty() && d.result() != QDialog::Accepted;
        d.reject();
    });
    EXPECT_EQ(neu.runModal(format), QDialog::Rejected);
    EXPECT_TRUE(stillOpenAfterOk);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Sie haben keinen Visitenkartentyp ausgewählt."));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Fehler"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnOk);
    EXPECT_EQ(format, before);
    const QByteArray b = catalogueBytes();
    ASSERT_EQ(b.size(), 8);
    EXPECT_EQ(int32At(b, 0), 64687);
    EXPECT_EQ(int32At(b, 4), 0);
}

TEST_F(CardTypeDialogs, NewTypeStoresPitchesAndChangeShowsTheGapAgain) {
    QString proposedName;
    typeFormAnswers([&](TNewETypForm& f) {
        proposedName = f.NameED->text();
        f.BrED->setValue(90);
        f.HoED->setValue(55);
        f.AHED->setValue(5);
        f.AVED->setValue(0);
        f.RLED->setValue(10);
        f.ROED->setValue(12.5);
        f.AnzHED->setValue(2);
        f.AnzVED->setValue(5);
    });
    neu.setModalHook([](TneuForm& d) { d.NeuBtnClick(); });  // then cancelled: still saved
    neu.runModal(format);
    EXPECT_EQ(proposedName, QStringLiteral("Kein Name0"));
    const QList<CardFormat> stored = LoadEttTypes(folder.path());
    ASSERT_EQ(stored.size(), 1);
    EXPECT_DOUBLE_EQ(stored[0].PitchX, 95);
    EXPECT_DOUBLE_EQ(stored[0].PitchY, 55);
    EXPECT_DOUBLE_EQ(stored[0].CardWidth, 90);
    EXPECT_DOUBLE_EQ(stored[0].LeftMargin, 10);
    EXPECT_DOUBLE_EQ(stored[0].TopMargin, 12.5);
    EXPECT_EQ(stored[0].CardsAcross, 2);
    EXPECT_EQ(stored[0].CardsDown, 5);
    EXPECT_EQ(stored[0].TypeName, QStringLiteral("Kein Name0"));
    EXPECT_EQ(catalogueBytes().size(), 8 + 112);

    // "Ä&ndern" fills the dialog with the gap, not the pitch; "&Neu" proposes the next name.
    double shownGap = -1;
    QString secondName;
    neu.setModalHook([&](TneuForm& d) {
        typeFormAnswers([&](TNewETypForm& f) { shownGap = f.AHED->value(); });
        d.AendernBtnClick();
        typeForm.setModalHook([&](TNewETypForm& f) {
            secondName = f.NameED->text();
            return int(QDialog::Rejected);
        });
        d.NeuBtnClick();
        d.OKBtnClick();
    });
    EXPECT_EQ(neu.runModal(format), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(shownGap, 5);
    EXPECT_EQ(secondName, QStringLiteral("Kein Name1"));
    // OK copied the selected type into the card format.
    EXPECT_DOUBLE_EQ(format.PitchX, 95);
    EXPECT_DOUBLE_EQ(format.CardHeight, 55);
    EXPECT_EQ(format.TypeName, QStringLiteral("Kein Name0"));
    EXPECT_EQ(LoadEttTypes(folder.path()).size(), 1);  // the cancelled "&Neu" added nothing
}

TEST_F(CardTypeDialogs, LongNameIsCutToFiftyCharacters) {
    const QString sixty = QString(60, QLatin1Char('x'));
    typeFormAnswers([&](TNewETypForm& f) {
        f.NameED->setMaxLength(100);  // even a longer entry is cut when read back
        f.NameED->setText(sixty);
    });
    neu.setModalHook([](TneuForm& d) {
        d.NeuBtnClick();
        d.OKBtnClick();
    });
    ASSERT_EQ(neu.runModal(format), QDialog::Accepted);
    EXPECT_EQ(format.TypeName, sixty.left(50));
    const QList<CardFormat> stored = LoadEttTypes(folder.path());
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].TypeName, sixty.left(50));
}

TEST_F(CardTypeDialogs, DeletingAsksAndOnlyOkRemoves) {
    CardFormat one;
    one.TypeName = QStringLiteral("Einzige");
    ASSERT_TRUE(SaveEttTypes(folder.path(), {one}));
    dialogs.answers = {BtnCancel, BtnOk};
    neu.setModalHook([](TneuForm& d) {
        d.LoeschenBtnClick();
        EXPECT_EQ(d.types().size(), 1);
        d.LoeschenBtnClick();
        EXPECT_EQ(d.types().size(), 0);
        EXPECT_EQ(d.ComboBox1->count(), 0);
        d.LoeschenBtnClick();  // nothing selected: no question
        d.AendernBtnClick();   // nothing selected: nothing
    });
    neu.runModal(format);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Hiermit löschen Sie den Visitenkartentyp unwiederrufbar."));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Hinweis"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnOk | BtnCancel);
    const QByteArray b = catalogueBytes();
    ASSERT_EQ(b.size(), 8);
    EXPECT_EQ(int32At(b, 4), 0);
}

TEST_F(CardTypeDialogs, ForeignCatalogueReadsEmptyAndIsReplacedOnClose) {
    QFile f(folder.file(QStringLiteral("Visiten.dat")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x01\x02\x03\x04\x05\x00\x00\x00garbage", 15));
    f.close();
    neu.setModalHook([](TneuForm& d) { EXPECT_EQ(d.ComboBox1->count(), 0); });
    neu.runModal(format);
    EXPECT_EQ(catalogueBytes().size(), 8);
}

TEST(CardTypeEditor, FreshValuesRangesAndConversion) {
    TNewETypForm f;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Kartentyp bearbeiten"));
    EXPECT_EQ(f.NameED->text(), QStringLiteral("Kein Name"));
    EXPECT_DOUBLE_EQ(f.BrED->value(), 90);
    EXPECT_DOUBLE_EQ(f.HoED->value(), 55);
    EXPECT_EQ(f.AnzHED->value(), 2);
    EXPECT_EQ(f.AnzVED->value(), 5);
    EXPECT_DOUBLE_EQ(f.RLED->maximum(), 3000);
    EXPECT_DOUBLE_EQ(f.ROED->maximum(), 1000);
    EXPECT_DOUBLE_EQ(f.BrED->maximum(), 3000);
    EXPECT_DOUBLE_EQ(f.HoED->maximum(), 1000);
    EXPECT_DOUBLE_EQ(f.AHED->maximum(), 3000);
    EXPECT_DOUBLE_EQ(f.AVED->maximum(), 1000);
    EXPECT_EQ(f.AnzHED->minimum(), 1);
    EXPECT_EQ(f.AnzVED->maximum(), 50);
    EXPECT_EQ(f.BrED->decimals(), 2);

    // A format with values beyond the fields' ranges (a damaged catalogue) is held inside
    // them; not-a-number lengths show as 0.
    CardFormat wild;
    wild.CardWidth = 5000;
    wild.PitchX = 4000;
    wild.CardHeight = std::nan("");
    wild.CardsAcross = 80;
    wild.CardsDown = -3;
    f.fill(wild);
    EXPECT_DOUBLE_EQ(f.BrED->value(), 3000);
    EXPECT_DOUBLE_EQ(f.HoED->value(), 0);
    EXPECT_EQ(f.AnzHED->value(), 50);
    EXPECT_EQ(f.AnzVED->value(), 1);
    EXPECT_DOUBLE_EQ(f.AHED->value(), 0);  // 4000 − 5000 held at the minimum
}
