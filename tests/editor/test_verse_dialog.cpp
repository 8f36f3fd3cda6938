// "Spruch einfügen...": the dialog's filters, search and own texts, and the chosen text put
// into a selected text, at the caret while typing, or as a new text, each one undo step.
#include "editor/EditMath.h"
#include "editor/EditingFixture.h"
#include "editor/ObjectCreation.h"
#include "editor/TextSession.h"
#include "editor/VerseDialog.h"
#include "render/TextRenderer.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace bb;

namespace {

class VerseDialogTest : public bbtest::EditingFixture {
protected:
    QString ownFile() const { return folder.file(QStringLiteral("sprueche.txt")); }

    template <class W>
    static W* child(QDialog& d, const char* name) {
        W* w = d.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void choose(QDialog& d, const char* combo, const QString& item) {
        auto* c = child<QComboBox>(d, combo);
        const int index = c->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        c->setCurrentIndex(index);
    }
    // Answers the dialog by searching for `word` and taking the first text found.
    void answerWithSearch(const QString& word, QString* chosen) {
        answer = [word, chosen](QDialog& d) {
            child<QLineEdit>(d, "SpruchSuche")->setText(word);
            *chosen = static_cast<VerseDialog&>(d).chosenText();
            return int(QDialog::Accepted);
        };
    }
    static QString onCard(QString text) {
        return text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    }
};

TEST_F(VerseDialogTest, FiltersAndSearchNarrowTheList) {
    OwnVerses own(ownFile());
    VerseDialog d(own);
    auto* list = child<QListWidget>(d, "SpruchListe");
    EXPECT_EQ(size_t(list->count()), shippedVerses().size());

    choose(d, "AnlassCombo", QStringLiteral("Trauer"));
    const size_t mourning = d.shown().size();
    EXPECT_EQ(mourning, filterVerses(shippedVerses(), {QStringLiteral("Trauer"), {}, {}}).size());
    for (const Verse& v : d.shown()) EXPECT_EQ(v.occasion, QStringLiteral("Trauer"));

    choose(d, "TonCombo", QStringLiteral("religiös"));
    EXPECT_LT(d.shown().size(), mourning);
    for (const Verse& v : d.shown()) EXPECT_EQ(v.tone, QStringLiteral("religiös"));

    child<QLineEdit>(d, "SpruchSuche")->setText(QStringLiteral("hirte"));
    ASSERT_EQ(d.shown().size(), 1u);
    EXPECT_EQ(list->count(), 1);
    EXPECT_TRUE(d.chosenText().startsWith(QStringLiteral("Der HERR ist mein Hirte")));
    EXPECT_TRUE(child<QLabel>(d, "SpruchHerkunft")->text().contains(QStringLiteral("Ps 23,1")));

    // Back to every occasion and tone: the search alone still narrows, umlauts forgiven.
    choose(d, "AnlassCombo", QStringLiteral("Alle"));
    choose(d, "TonCombo", QStringLiteral("Alle"));
    child<QLineEdit>(d, "SpruchSuche")->setText(QStringLiteral("gruesse"));
    EXPECT_FALSE(d.shown().empty());
    for (const Verse& v : d.shown())
        EXPECT_TRUE(verseSearchKey(v.text).contains(QStringLiteral("grusse")));
    child<QLineEdit>(d, "SpruchSuche")->setText(QStringLiteral("xyzzy"));
    EXPECT_EQ(list->count(), 0);
}

TEST_F(VerseDialogTest, OwnTextsAreSavedListedFirstAndDeleted) {
    OwnVerses own(ownFile());
    VerseDialog d(own);
    choose(d, "AnlassCombo", QStringLiteral("Danke"));
    child<QPlainTextEdit>(d, "SpruchVorschau")->setPlainText(QStringLiteral("Mein eigener Dank"));
    child<QPushButton>(d, "EigenerSpruchBtn")->click();
    ASSERT_FALSE(d.shown().empty());
    EXPECT_TRUE(d.shown().front().own);
    EXPECT_EQ(d.shown().front().occasion, QStringLiteral("Danke"));

    choose(d, "AnlassCombo", VerseDialog::ownOccasionItem());
    ASSERT_EQ(d.shown().size(), 1u);
    OwnVerses reread(ownFile());
    ASSERT_TRUE(reread.load());
    ASSERT_EQ(reread.verses().size(), 1u);
    EXPECT_EQ(reread.verses()[0].text, QStringLiteral("Mein eigener Dank"));

    auto* remove = child<QPushButton>(d, "EigenenSpruchLoeschenBtn");
    EXPECT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_TRUE(d.shown().empty());
    ASSERT_TRUE(reread.load());
    EXPECT_TRUE(reread.verses().empty());

    // A shipped text cannot be deleted.
    choose(d, "AnlassCombo", QStringLiteral("Alle"));
    EXPECT_FALSE(remove->isEnabled());
}

TEST_F(VerseDialogTest, ReplacesTheSelectedTextInOneStep) {
    CardObject& t = put(1, KindText, 100, 100, 150, 30);
    t.content = QStringLiteral("Alt");
    t.fontName = QStringLiteral("DejaVu Sans");
    t.fontSize = 12;
    ed->selectSlot(1);
    QString chosen;
    answerWithSearch(QStringLiteral("hirte"), &chosen);
    ASSERT_TRUE(runVerseDialog(*ed, ownFile()));
    ASSERT_FALSE(chosen.isEmpty());
    CardObject& after = *ed->editedSlots()[1];
    EXPECT_EQ(after.content, onCard(chosen));
    EXPECT_EQ(ed->history().stack().undoText(), QStringLiteral("Spruch einfügen"));
    ed->history().undo();
    EXPECT_EQ(ed->editedSlots()[1]->content, QStringLiteral("Alt"));
    EXPECT_FALSE(ed->history().canUndo());
}

TEST_F(VerseDialogTest, WhileTypingGoesInAtTheCaret) {
    CardObject& t = put(1, KindText, 100, 100, 150, 30);
    t.content = QStringLiteral("Alt");
    ed->selectSlot(1);
    ed->textSession().begin();  // the caret at the end
    ASSERT_TRUE(ed->textEditing());
    ASSERT_TRUE(insertVerseText(*ed, QStringLiteral("Frohes Fest!\nEuer Team")));
    EXPECT_EQ(ed->editedSlots()[1]->content, QStringLiteral("AltFrohes Fest!\rEuer Team"));
    ed->history().undo();
    EXPECT_EQ(ed->editedSlots()[1]->content, QStringLiteral("Alt"));
}

TEST_F(VerseDialogTest, WithoutASelectedTextANewTextFitsItsLines) {
    ed->selectSlot(0);
    FontChoice font = ed->creator().newTextFont();
    font.name = QStringLiteral("DejaVu Serif");
    font.size = 18;
    ed->creator().setNewTextFont(font);
    QString chosen;
    answerWithSearch(QStringLiteral("Götterfunken"), &chosen);
    ASSERT_TRUE(runVerseDialog(*ed, ownFile()));
    ASSERT_EQ(chosen.count(QLatin1Char('\n')), 3);
    const int slot = ed->selectedSlot();
    ASSERT_GT(slot, 0);
    const CardObject& o = *ed->editedSlots()[slot];
    EXPECT_EQ(o.kind, KindText);
    EXPECT_EQ(o.content, onCard(chosen));
    EXPECT_EQ(o.fontName, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(o.fontSize, 18);
    // Each line of the verse stays one line on the card, and the frame lies on the card.
    const double scale = doc->zoomFactor / doc->unitsPerPixel;
    EXPECT_EQ(textLinesAt(o, ed->views().ctx(), scale).size(), 4);
    const CardGeometry card = cardGeometry(*doc);
    EXPECT_GE(o.x, card.left);
    EXPECT_LE(o.x + o.width, card.right);
    EXPECT_GE(o.y, card.top);
    EXPECT_LE(o.y + o.height, card.bottom);

    ed->history().undo();
    EXPECT_EQ(ed->editedSlots()[slot]->kind, KindFree);
    EXPECT_FALSE(ed->history().canUndo());
}

TEST_F(VerseDialogTest, CancelChangesNothingAndMenusOfferTheCommand) {
    CardObject& t = put(1, KindText, 100, 100, 150, 30);
    t.content = QStringLiteral("Alt");
    ed->selectSlot(1);
    answer = [](QDialog&) { return int(QDialog::Rejected); };
    EXPECT_FALSE(runVerseDialog(*ed, ownFile()));
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(ed->editedSlots()[1]->content, QStringLiteral("Alt"));
    EXPECT_FALSE(ed->history().canUndo());

    QAction* item = ed->menus().item(QStringLiteral("SpruchEinfuegenM"));
    ASSERT_NE(item, nullptr);
    ed->menus().prepare(*ed->editedSlots()[1]);
    EXPECT_TRUE(item->isEnabled());
    CardObject& f = put(2, KindFigure, 10, 10, 20, 20);
    ed->menus().prepare(f);
    EXPECT_FALSE(item->isEnabled());
    EXPECT_NE(ed->menus().item(QStringLiteral("SpruchEinfuegenV")), nullptr);
}

}  // namespace
