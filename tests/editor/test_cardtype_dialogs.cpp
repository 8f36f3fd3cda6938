// The new-card dialog and the card-type editor against a real "Visiten.dat" in a temporary
// program folder; questions are answered by the scripted dialogs.
#include "document/CardTypeFields.h"
#include "document/Catalogue.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/NewCardDialog.h"
#include "pictures/AtomicWrite.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>

using namespace bb;

namespace {

class CardTypeDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        newCard.setProgramFolder(folder.path());
        newCard.setTypeEditor(&typeEditor);
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
    void typeFormAnswers(std::function<void(CardTypeEditDialog&)> edit) {
        typeEditor.setModalHook([edit](CardTypeEditDialog& f) {
            if (edit) edit(f);
            return int(QDialog::Accepted);
        });
    }

    bbtest::TempFolder folder;
    bbtest::ScriptedDialogs dialogs;
    CardTypeEditDialog typeEditor{dialogs};
    NewCardDialog newCard{dialogs};
    CardFormat format;
};

}  // namespace

TEST_F(CardTypeDialogs, FirstRunOkWithoutSelectionComplainsAndClosingWritesAnEmptyCatalogue) {
    ASSERT_FALSE(QFile::exists(folder.file(QStringLiteral("Visiten.dat"))));
    const CardFormat before = format;
    bool stillOpenAfterOk = false;
    newCard.setModalHook([&](NewCardDialog& d) {
        EXPECT_EQ(d.typeList->topLevelItemCount(), 0);
        d.confirmChoice();
        stillOpenAfterOk = d.types().isEmpty() && d.result() != QDialog::Accepted;
        d.reject();
    });
    EXPECT_EQ(newCard.runModal(format), QDialog::Rejected);
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
    typeFormAnswers([&](CardTypeEditDialog& f) {
        proposedName = f.nameEdit->text();
        f.widthEdit->setValue(90);
        f.heightEdit->setValue(55);
        f.horizontalGapEdit->setValue(5);
        f.verticalGapEdit->setValue(0);
        f.leftMarginEdit->setValue(10);
        f.topMarginEdit->setValue(12.5);
        f.cardsAcrossEdit->setValue(2);
        f.cardsDownEdit->setValue(5);
    });
    newCard.setModalHook([](NewCardDialog& d) { d.addType(); });  // then cancelled: still saved
    newCard.runModal(format);
    EXPECT_EQ(proposedName, QStringLiteral("Kein Name0"));
    const QList<CardFormat> stored = loadCardTypes(folder.path());
    ASSERT_EQ(stored.size(), 1);
    EXPECT_DOUBLE_EQ(stored[0].pitchX, 95);
    EXPECT_DOUBLE_EQ(stored[0].pitchY, 55);
    EXPECT_DOUBLE_EQ(stored[0].cardWidth, 90);
    EXPECT_DOUBLE_EQ(stored[0].leftMargin, 10);
    EXPECT_DOUBLE_EQ(stored[0].topMargin, 12.5);
    EXPECT_EQ(stored[0].cardsAcross, 2);
    EXPECT_EQ(stored[0].cardsDown, 5);
    EXPECT_EQ(stored[0].typeName, QStringLiteral("Kein Name0"));
    EXPECT_EQ(catalogueBytes().size(), 8 + 112);

    // "Ä&ndern" fills the dialog with the gap, not the pitch; "&Neu" proposes the next name.
    double shownGap = -1;
    QString secondName;
    newCard.setModalHook([&](NewCardDialog& d) {
        typeFormAnswers([&](CardTypeEditDialog& f) { shownGap = f.horizontalGapEdit->value(); });
        d.changeType();
        typeEditor.setModalHook([&](CardTypeEditDialog& f) {
            secondName = f.nameEdit->text();
            return int(QDialog::Rejected);
        });
        d.addType();
        d.confirmChoice();
    });
    EXPECT_EQ(newCard.runModal(format), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(shownGap, 5);
    EXPECT_EQ(secondName, QStringLiteral("Kein Name1"));
    // OK copied the selected type into the card format.
    EXPECT_DOUBLE_EQ(format.pitchX, 95);
    EXPECT_DOUBLE_EQ(format.cardHeight, 55);
    EXPECT_EQ(format.typeName, QStringLiteral("Kein Name0"));
    EXPECT_EQ(loadCardTypes(folder.path()).size(), 1);  // the cancelled "&Neu" added nothing
}

TEST_F(CardTypeDialogs, LongNameIsCutToFiftyCharacters) {
    const QString sixty = QString(60, QLatin1Char('x'));
    typeFormAnswers([&](CardTypeEditDialog& f) {
        f.nameEdit->setMaxLength(100);  // even a longer entry is cut when read back
        f.nameEdit->setText(sixty);
    });
    newCard.setModalHook([](NewCardDialog& d) {
        d.addType();
        d.confirmChoice();
    });
    ASSERT_EQ(newCard.runModal(format), QDialog::Accepted);
    EXPECT_EQ(format.typeName, sixty.left(50));
    const QList<CardFormat> stored = loadCardTypes(folder.path());
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].typeName, sixty.left(50));
}

TEST_F(CardTypeDialogs, DeletingAsksAndOnlyOkRemoves) {
    CardFormat one;
    one.typeName = QStringLiteral("Einzige");
    ASSERT_TRUE(saveCardTypes(folder.path(), {one}));
    dialogs.answers = {BtnCancel, BtnOk};
    newCard.setModalHook([](NewCardDialog& d) {
        d.deleteType();
        EXPECT_EQ(d.types().size(), 1);
        d.deleteType();
        EXPECT_EQ(d.types().size(), 0);
        EXPECT_EQ(d.typeList->topLevelItemCount(), 0);
        d.deleteType();  // nothing selected: no question
        d.changeType();  // nothing selected: nothing
    });
    newCard.runModal(format);
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
    newCard.setModalHook([](NewCardDialog& d) { EXPECT_EQ(d.typeList->topLevelItemCount(), 0); });
    newCard.runModal(format);
    EXPECT_EQ(catalogueBytes().size(), 8);
}

// A catalogue that cannot be written back keeps the earlier file and says which and why,
// once per closing.
TEST_F(CardTypeDialogs, ACatalogueThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(saveCardTypes(folder.path(), {CardFormat()}));
    const QByteArray before = catalogueBytes();
    newCard.setModalHook([](NewCardDialog&) {});
    {
        const InjectedWriteFault fault(WriteStep::Sync, ENOSPC);
        newCard.runModal(format);
    }
    EXPECT_EQ(catalogueBytes(), before);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Die Kartentypen konnten nicht gespeichert werden.\n") +
                          folder.file(QStringLiteral("Visiten.dat")) +
                          QStringLiteral(": Kein Speicherplatz mehr auf dem Gerät")});
}

TEST_F(CardTypeDialogs, TheListShowsSizesPaperAndFiltersByName) {
    CardFormat fold;  // a plain folded A5 card, landscape on A4
    fold.typeName = QStringLiteral("Klappkarte Grün");
    fold.cardWidth = 297;
    fold.cardHeight = 210;
    fold.pitchX = 297;
    fold.pitchY = 210;
    CardFormat business;
    business.typeName = QStringLiteral("Visitenkarten grün");
    business.cardWidth = 85;
    business.cardHeight = 55;
    business.pitchX = 95;
    business.pitchY = 55;
    business.cardsAcross = 2;
    business.cardsDown = 5;
    business.leftMargin = 15;
    business.topMargin = 10;
    CardFormat other = business;
    other.typeName = QStringLiteral("Etiketten");
    ASSERT_TRUE(saveCardTypes(folder.path(), {business, fold, other}));
    newCard.setModalHook([&](NewCardDialog& d) {
        QTreeWidget* list = d.typeList;
        ASSERT_EQ(list->topLevelItemCount(), 3);
        const QTreeWidgetItem* row = list->topLevelItem(1);
        EXPECT_EQ(row->text(TypeNameColumn), QStringLiteral("Klappkarte Grün"));
        EXPECT_EQ(row->text(UnfoldedColumn), QStringLiteral("297 × 210 mm"));
        EXPECT_EQ(row->text(FoldedColumn), QStringLiteral("148,5 × 210 mm"));
        EXPECT_EQ(row->text(PerSheetColumn), QStringLiteral("1"));
        EXPECT_EQ(row->text(PaperColumn), QStringLiteral("A4 quer"));
        EXPECT_EQ(list->topLevelItem(0)->text(PerSheetColumn), QStringLiteral("10"));
        EXPECT_EQ(list->topLevelItem(0)->text(PaperColumn), QStringLiteral("A4"));
        EXPECT_EQ(d.currentType(), 0);

        // Case does not count, umlauts are matched as typed; the selection moves to a row
        // the search still shows.
        d.searchEdit->setText(QStringLiteral("GRÜN"));
        EXPECT_EQ(d.visibleTypeCount(), 2);
        EXPECT_EQ(d.currentType(), 0);
        d.searchEdit->setText(QStringLiteral("klappkarte"));
        EXPECT_EQ(d.visibleTypeCount(), 1);
        EXPECT_EQ(d.currentType(), 1);
        d.searchEdit->setText(QStringLiteral("grun"));
        EXPECT_EQ(d.visibleTypeCount(), 0);
        EXPECT_EQ(d.currentType(), -1);
        d.confirmChoice();  // nothing shown, nothing chosen
        EXPECT_EQ(d.result(), QDialog::Rejected);
        d.searchEdit->setText(QStringLiteral("Etik"));
        d.deleteType();  // deletes what the search shows, not a hidden row
        EXPECT_EQ(d.types().size(), 2);
        EXPECT_EQ(d.types()[1].typeName, QStringLiteral("Klappkarte Grün"));
        d.searchEdit->setText(QStringLiteral("grün"));
        d.typeList->setCurrentItem(d.typeList->topLevelItem(1));
        d.confirmChoice();
    });
    dialogs.answers = {BtnOk};
    ASSERT_EQ(newCard.runModal(format), QDialog::Accepted);
    EXPECT_EQ(format, fold);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Sie haben keinen Visitenkartentyp ausgewählt."));
    EXPECT_EQ(loadCardTypes(folder.path()).size(), 2);

    // The next opening shows every type again.
    newCard.setModalHook([](NewCardDialog& d) {
        EXPECT_TRUE(d.searchEdit->text().isEmpty());
        EXPECT_EQ(d.visibleTypeCount(), 2);
    });
    newCard.runModal(format);
}

TEST(CardTypeEditor, FreshValuesRangesAndConversion) {
    bbtest::ScriptedDialogs dialogs;
    CardTypeEditDialog f(dialogs);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Kartentyp bearbeiten"));
    EXPECT_EQ(f.nameEdit->text(), QStringLiteral("Kein Name"));
    EXPECT_DOUBLE_EQ(f.widthEdit->value(), 90);
    EXPECT_DOUBLE_EQ(f.heightEdit->value(), 55);
    EXPECT_EQ(f.cardsAcrossEdit->value(), 2);
    EXPECT_EQ(f.cardsDownEdit->value(), 5);
    EXPECT_DOUBLE_EQ(f.leftMarginEdit->maximum(), 3000);
    EXPECT_DOUBLE_EQ(f.topMarginEdit->maximum(), 1000);
    EXPECT_DOUBLE_EQ(f.widthEdit->maximum(), 3000);
    EXPECT_DOUBLE_EQ(f.heightEdit->maximum(), 1000);
    EXPECT_DOUBLE_EQ(f.horizontalGapEdit->maximum(), 3000);
    EXPECT_DOUBLE_EQ(f.verticalGapEdit->maximum(), 1000);
    EXPECT_EQ(f.cardsAcrossEdit->minimum(), 1);
    EXPECT_EQ(f.cardsDownEdit->maximum(), 50);
    EXPECT_EQ(f.widthEdit->decimals(), 2);

    // A format with values beyond the fields' ranges (a damaged catalogue) is held inside
    // them; not-a-number lengths show as 0.
    CardFormat wild;
    wild.cardWidth = 5000;
    wild.pitchX = 4000;
    wild.cardHeight = std::nan("");
    wild.cardsAcross = 80;
    wild.cardsDown = -3;
    f.fill(wild);
    EXPECT_DOUBLE_EQ(f.widthEdit->value(), 3000);
    EXPECT_DOUBLE_EQ(f.heightEdit->value(), 0);
    EXPECT_EQ(f.cardsAcrossEdit->value(), 50);
    EXPECT_EQ(f.cardsDownEdit->value(), 1);
    EXPECT_DOUBLE_EQ(f.horizontalGapEdit->value(), 0);  // 4000 − 5000 held at the minimum
}

TEST(CardTypeEditor, OkIsRefusedOnlyForCardsWithoutSizeAndWarnsBeyondEveryPaper) {
    CardTypeFields geha{QStringLiteral("Geha"), 23, 25, 165, 121, 46, 5, 1, 2};
    EXPECT_EQ(cardTypeProblem(geha), QString());
    EXPECT_EQ(cardTypePaperWarning(geha), QString());
    CardTypeFields v = geha;
    v.width = 0;
    EXPECT_EQ(cardTypeProblem(v),
              QStringLiteral("Breite und Höhe der Karte müssen größer als 0 mm sein."));
    v = geha;
    v.height = std::nan("");
    EXPECT_FALSE(cardTypeProblem(v).isEmpty());
    v = geha;
    v.hgap = std::nan("");
    EXPECT_FALSE(cardTypeProblem(v).isEmpty());
    // A landscape A3 sheet holds two of these; three are still a card type, with a warning.
    v = CardTypeFields{QStringLiteral("quer"), 10, 10, 200, 270, 0, 0, 2, 1};
    EXPECT_EQ(cardTypeProblem(v), QString());
    EXPECT_EQ(cardTypePaperWarning(v), QString());
    v.across = 3;
    EXPECT_EQ(cardTypeProblem(v), QString());
    EXPECT_EQ(cardTypePaperWarning(v),
              QStringLiteral("Kein bekanntes Papier fasst diese Karten: Ränder, Karten und "
                             "Abstände brauchen 610,00 mm × 280,00 mm, das größte bekannte "
                             "Blatt (A3) ist 297 mm × 420 mm groß. Gedruckt werden kann dieser "
                             "Kartentyp nur auf einem Drucker mit größerem Papier."));
    // The largest card the fields allow.
    v = CardTypeFields{QStringLiteral("Banner"), 0, 0, 3000, 1000, 0, 0, 1, 1};
    EXPECT_EQ(cardTypeProblem(v), QString());
    EXPECT_FALSE(cardTypePaperWarning(v).isEmpty());

    // The dialog keeps itself open on OK and says why; a scripted OK counts as Cancel.
    bbtest::ScriptedDialogs dialogs;
    CardTypeEditDialog f(dialogs);
    f.widthEdit->setValue(0);
    f.accept();
    EXPECT_NE(f.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Kartentyp bearbeiten"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnOk);

    // An existing type beyond A3 can be renamed: the warning's OK keeps it, Abbrechen goes
    // back to the fields.
    CardFormat large;
    large.typeName = QStringLiteral("Plakat");
    large.cardWidth = 500;
    large.cardHeight = 700;
    large.pitchX = 500;
    large.pitchY = 700;
    large.cardsAcross = 1;
    large.cardsDown = 1;
    f.fill(large);
    f.setModalHook([](CardTypeEditDialog& d) {
        d.nameEdit->setText(QStringLiteral("Großes Plakat"));
        return int(QDialog::Accepted);
    });
    dialogs.answers = {BtnCancel};
    EXPECT_EQ(f.runModal(), QDialog::Rejected);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].buttons, BtnOk | BtnCancel);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(QStringLiteral("Kein bekanntes Papier")));
    dialogs.answers = {BtnOk};
    EXPECT_EQ(f.runModal(), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages.size(), 3);
    CardFormat renamed = large;
    renamed.typeName = QStringLiteral("Großes Plakat");
    EXPECT_EQ(f.readBack(), renamed);

    // A layout on A4 passes without any message.
    f.setModalHook([](CardTypeEditDialog& d) {
        d.widthEdit->setValue(90);
        d.heightEdit->setValue(55);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(f.runModal(), QDialog::Accepted);
    EXPECT_EQ(dialogs.messages.size(), 3);
}
