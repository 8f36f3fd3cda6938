// The text dialog and typing on the card beyond plain text: selected characters formatted,
// spacing and the arc set for the whole text, misspelt words marked with their corrections
// offered on a right click, in the dialog and on the card.
#include "EditingFixture.h"

#include "editor/TextEntryDialog.h"
#include "editor/TextSession.h"
#include "render/Renderer.h"
#include "render/TextRenderer.h"
#include "spell/SpellChecker.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

using namespace bb;
using bbtest::EditingFixture;

namespace {

class TextDialog : public EditingFixture {
protected:
    CardObject& text(const QString& content) {
        CardObject& t = put(1, KindText, 100, 100, 300, 80);
        t.content = content;
        t.fontName = QStringLiteral("Liberation Sans");
        t.fontSize = 12;
        ed->edited().slot = 1;
        return t;
    }
    TextEntryDialog& dialog() { return ed->commands().textEntryDialog(); }
    void select(int from, int to) {
        QTextCursor c = dialog().textEdit()->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        dialog().textEdit()->setTextCursor(c);
    }
    void pressButton(const char* button) {
        dialog().findChild<QToolButton*>(QString::fromLatin1(button))->click();
    }
    QAction* entry(QMenu& menu, const QString& text) {
        for (QAction* a : menu.actions())
            if (a->text() == text) return a;
        return nullptr;
    }
};

}  // namespace

TEST_F(TextDialog, SelectedCharactersGetTheirFormatAndSpansFollowTheTyping) {
    CardObject& t = text(QStringLiteral("Alles Gute\rzum Fest"));
    answer = [&](QDialog&) {
        select(6, 10);  // "Gute"
        pressButton("FettBtn");
        pressButton("GroesserBtn");
        // Typing before the word moves its format along; typing inside it takes it.
        QTextCursor c = dialog().textEdit()->textCursor();
        c.setPosition(0);
        c.insertText(QStringLiteral("\U0001F389 "));
        c.setPosition(11);
        c.insertText(QStringLiteral("x"));
        // "Fest", in the second paragraph, in red.
        dialog().chooseColor = [](QColor& colour) {
            colour = QColor(200, 0, 0);
            return true;
        };
        select(19, 23);
        pressButton("FarbeBtn");
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, QStringLiteral("\U0001F389 Alles Guxte\rzum Fest"));
    ASSERT_EQ(t.extras.runs.size(), 2u);
    EXPECT_EQ(t.extras.runs[0].start, 9);
    EXPECT_EQ(t.extras.runs[0].length, 5);
    EXPECT_TRUE(t.extras.runs[0].fontStyle & StyleBold);
    EXPECT_EQ(t.extras.runs[0].fontSize, 14);
    EXPECT_EQ(t.extras.runs[1].start, 19);
    EXPECT_EQ(t.extras.runs[1].fontColor, rgbRef(200, 0, 0));
    EXPECT_EQ(t.content.mid(19, 4), QStringLiteral("Fest"));

    // Cancel keeps the object as it was, also after formatting; the next opening shows the
    // spans again and bold on bold takes it off.
    const CardObject before = t;
    answer = [&](QDialog&) {
        EXPECT_EQ(dialog().runs().size(), 2u);
        select(9, 14);
        pressButton("FettBtn");
        return int(QDialog::Rejected);
    };
    ed->commands().editText();
    EXPECT_TRUE(t == before);
    answer = [&](QDialog&) {
        select(9, 14);
        pressButton("FettBtn");
        pressButton("KleinerBtn");
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    ASSERT_EQ(t.extras.runs.size(), 1u);  // back to the text's own font: only "Fest" is left
    EXPECT_EQ(t.extras.runs[0].start, 19);
    // One undo step brings the formatting back.
    ed->history().undo();
    EXPECT_EQ(t.extras.runs.size(), 2u);
}

TEST_F(TextDialog, SpacingAndTheArcAreSetForTheWholeText) {
    CardObject& t = text(QStringLiteral("Für Anna"));
    answer = [&](QDialog& d) {
        d.findChild<QSpinBox*>(QStringLiteral("ZeilenabstandEdit"))->setValue(150);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("ZeichenabstandEdit"))->setValue(12.5);
        d.findChild<QCheckBox*>(QStringLiteral("BogentextCheck"))->setChecked(true);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("BogenradiusEdit"))->setValue(35.5);
        d.findChild<QCheckBox*>(QStringLiteral("BogenUntenCheck"))->setChecked(true);
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.extras.lineSpacing, 150);
    EXPECT_EQ(t.extras.letterSpacing, 125);
    EXPECT_EQ(t.extras.arcRadius, 3550);
    EXPECT_TRUE(t.extras.arcDown);
    // Shown again as stored; the arc switched off sets the text in lines again.
    answer = [&](QDialog& d) {
        EXPECT_EQ(d.findChild<QSpinBox*>(QStringLiteral("ZeilenabstandEdit"))->value(), 150);
        EXPECT_DOUBLE_EQ(d.findChild<QDoubleSpinBox*>(QStringLiteral("BogenradiusEdit"))->value(),
                         35.5);
        d.findChild<QCheckBox*>(QStringLiteral("BogentextCheck"))->setChecked(false);
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.extras.arcRadius, 0);
    EXPECT_FALSE(t.extras.arcDown);
    EXPECT_EQ(t.extras.lineSpacing, 150);
}

TEST_F(TextDialog, MisspeltWordsOfferCorrectionsAndTheWordListInTheDialog) {
    if (!ed->spellChecker().available()) GTEST_SKIP() << "no German dictionary installed";
    const QString list = folder.path() + QStringLiteral("/Woerterbuch.txt");
    ed->setPersonalWordList(list);
    CardObject& t = text(QStringLiteral("Zum Geburstag, liebe Omma"));
    answer = [&](QDialog&) {
        QPlainTextEdit* memo = dialog().textEdit();
        const QRect first = memo->cursorRect([&] {
            QTextCursor c(memo->document());
            c.setPosition(6);
            return c;
        }());
        std::unique_ptr<QMenu> menu(dialog().contextMenuAt(first.center()));
        QAction* fix = entry(*menu, QStringLiteral("Geburtstag"));
        EXPECT_TRUE(fix);
        if (fix) fix->trigger();
        const QRect last = memo->cursorRect([&] {
            QTextCursor c(memo->document());
            c.setPosition(int(memo->document()->toRawText().size()) - 1);
            return c;
        }());
        std::unique_ptr<QMenu> other(dialog().contextMenuAt(last.center()));
        QAction* add = entry(*other, QStringLiteral("Zum Wörterbuch hinzufügen"));
        EXPECT_TRUE(add);
        if (add) add->trigger();
        // A correct word offers only the memo's own entries.
        std::unique_ptr<QMenu> plain(dialog().contextMenuAt(memo->cursorRect().topLeft()));
        EXPECT_FALSE(entry(*plain, QStringLiteral("Zum Wörterbuch hinzufügen")));
        return int(QDialog::Accepted);
    };
    ed->commands().editText();
    EXPECT_EQ(t.content, QStringLiteral("Zum Geburtstag, liebe Omma"));
    EXPECT_TRUE(ed->spellChecker().isCorrect(QStringLiteral("Omma")));
    QFile stored(list);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("Omma\n"));
}

TEST_F(TextDialog, OnTheCardMisspeltWordsAreUnderlinedOnScreenAndCorrectedByARightClick) {
    if (!ed->spellChecker().available()) GTEST_SKIP() << "no German dictionary installed";
    CardObject& t = text(QStringLiteral("Liebe Omma"));
    t.color = rgbRef(0, 0, 0);
    QTest::keyClicks(view(0), QStringLiteral(" und Opa"));
    ASSERT_TRUE(ed->textEditing());
    // The overlay of the session marks "Omma" in red; the card's own drawing does not.
    const auto redPixels = [&](bool overlay) {
        QImage image(900, 700, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        if (overlay)
            ed->textSession().drawCaret(p);
        else
            drawCardSide(p, *doc, SideOutside, ctx, 900, 700, 0, 0, 1.0 / 100, true);
        p.end();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 150 && c.green() < 100 && c.blue() < 100;
            }
        return n;
    };
    EXPECT_GT(redPixels(true), 10);
    EXPECT_EQ(redPixels(false), 0);

    // A right click on the word offers "Oma"; choosing it corrects the text.
    const QLineF caretIn = textCaretLine(t, ctx, 1.0 / 100, QRect(100, 100, 300, 80), 8);
    press(0, int(caretIn.center().x()), int(caretIn.center().y()), Qt::RightButton);
    release(0, int(caretIn.center().x()), int(caretIn.center().y()), Qt::RightButton);
    ASSERT_FALSE(menus.empty());
    QAction* oma = entry(*menus.back(), QStringLiteral("Oma"));
    ASSERT_TRUE(oma);
    oma->trigger();
    EXPECT_EQ(t.content, QStringLiteral("Liebe Oma und Opa"));
    EXPECT_TRUE(ed->textEditing());
}

TEST_F(TextDialog, WhileTypingColourAndFontGoToTheSelectedCharactersOnly) {
    CardObject& t = text(QStringLiteral("Liebe Oma"));
    t.color = rgbRef(0, 0, 0);
    QTest::keyClicks(view(0), QStringLiteral("!"));
    for (int i = 0; i < 4; ++i) QTest::keyClick(view(0), Qt::Key_Left, Qt::ShiftModifier);
    dialogs.colorAnswers.push_back(QColor(0, 120, 0));
    ed->commands().chooseColor();
    QFont serif(QStringLiteral("Liberation Serif"));
    serif.setPointSize(20);
    serif.setItalic(true);
    dialogs.fontAnswers.emplace_back(serif, QColor(0, 0, 200));
    ed->commands().chooseFont();
    EXPECT_EQ(t.color, rgbRef(0, 0, 0));  // the text's own colour and font stay
    EXPECT_EQ(t.fontName, QStringLiteral("Liberation Sans"));
    ASSERT_EQ(t.extras.runs.size(), 1u);
    const TextRun& r = t.extras.runs[0];
    EXPECT_EQ(r.start, 6);
    EXPECT_EQ(r.length, 4);  // "Oma!"
    EXPECT_EQ(r.fontName, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(r.fontSize, 20);
    EXPECT_TRUE(r.fontStyle & StyleItalic);
    EXPECT_EQ(r.fontColor, rgbRef(0, 0, 200));
    // Without a selection the commands change the whole text as before.
    QTest::keyClick(view(0), Qt::Key_End);
    dialogs.colorAnswers.push_back(QColor(90, 0, 0));
    ed->commands().chooseColor();
    EXPECT_EQ(t.color, rgbRef(90, 0, 0));
    EXPECT_EQ(t.extras.runs.size(), 1u);
}
