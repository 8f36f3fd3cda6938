// Typing on a selected text: the caret logic over the content string, and the editor's hook
// that starts, feeds and ends a session from the views' keys and mouse.
#include "EditingFixture.h"

#include "editor/InlineTextEditor.h"
#include "editor/TextEntryDialog.h"
#include "editor/ToolPalette.h"
#include "render/TextRenderer.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

using namespace bb;
using bbtest::EditingFixture;
using Outcome = InlineTextEditor::Outcome;

namespace {

struct Typing {
    InlineTextEditor ed;
    QString content;
    explicit Typing(QString text) : content(std::move(text)) { ed.start(content); }
    Outcome key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return ed.applyKey(content, k, mods, QString());
    }
    Outcome type(const QString& text) { return ed.applyKey(content, 0, Qt::NoModifier, text); }
};

TEST(InlineTextEditor, InsertsAtTheEndAndDeletesAroundTheCaret) {
    Typing t(QStringLiteral("Hallo"));
    EXPECT_EQ(t.ed.caret(), 5);  // starting replaces nothing
    EXPECT_EQ(t.type(QStringLiteral(" Welt")), Outcome::Changed);
    EXPECT_EQ(t.content, QStringLiteral("Hallo Welt"));
    EXPECT_EQ(t.key(Qt::Key_Home), Outcome::Moved);
    EXPECT_EQ(t.key(Qt::Key_Backspace), Outcome::Moved);  // nothing before the start
    EXPECT_EQ(t.content, QStringLiteral("Hallo Welt"));
    EXPECT_EQ(t.key(Qt::Key_Delete), Outcome::Changed);
    EXPECT_EQ(t.content, QStringLiteral("allo Welt"));
    // A key without text, and a control character, are not the text's.
    EXPECT_EQ(t.key(Qt::Key_F5), Outcome::Ignored);
    EXPECT_EQ(t.type(QStringLiteral("\x1b")), Outcome::Ignored);

    // One character each: a line break stored as carriage return and line feed, and a
    // character outside the basic plane.
    Typing pair(QStringLiteral("a\r\nb") + QString::fromUtf8("\xF0\x9F\x8E\x82"));
    pair.key(Qt::Key_Backspace);
    EXPECT_EQ(pair.content, QStringLiteral("a\r\nb"));
    pair.key(Qt::Key_Left);
    EXPECT_EQ(pair.ed.caret(), 3);
    pair.key(Qt::Key_Backspace);
    EXPECT_EQ(pair.content, QStringLiteral("ab"));
}

TEST(InlineTextEditor, ShiftSelectsTypingReplacesEnterBreaksEscapeEnds) {
    Typing t(QStringLiteral("Liebe Oma"));
    for (int i = 0; i < 3; ++i) t.key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(t.ed.selectionStart(), 6);
    EXPECT_EQ(t.ed.selectionEnd(), 9);
    t.type(QStringLiteral("Anna"));
    EXPECT_EQ(t.content, QStringLiteral("Liebe Anna"));
    EXPECT_FALSE(t.ed.hasSelection());

    // Left without Shift only drops the selection, at its start.
    t.key(Qt::Key_Home, Qt::ShiftModifier);
    t.key(Qt::Key_Left);
    EXPECT_EQ(t.ed.caret(), 0);
    EXPECT_FALSE(t.ed.hasSelection());
    t.key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);  // the word "Liebe"
    t.key(Qt::Key_Backspace);
    EXPECT_EQ(t.content, QStringLiteral(" Anna"));

    // Enter breaks the line as the text dialog stores it, replacing the selection.
    t.key(Qt::Key_Right, Qt::ShiftModifier);
    t.key(Qt::Key_Return);
    t.type(QStringLiteral("Für"));
    EXPECT_EQ(t.content, QStringLiteral("\rFürAnna"));
    EXPECT_EQ(splitTextLines(t.content), QStringList({"", "FürAnna"}));
    // Up and Down by the text's lines when no layout is given, keeping the column.
    t.key(Qt::Key_Up);
    EXPECT_EQ(t.ed.caret(), 0);
    t.key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(t.ed.caret(), 1);

    EXPECT_EQ(t.key(Qt::Key_Escape), Outcome::Finished);
    EXPECT_FALSE(t.ed.active());
    EXPECT_EQ(t.type(QStringLiteral("x")), Outcome::Ignored);
    EXPECT_EQ(t.content, QStringLiteral("\rFürAnna"));

    // A content shortened elsewhere meanwhile: the positions come back into it.
    Typing s(QStringLiteral("lang genug"));
    s.content = QStringLiteral("ku");
    s.type(QStringLiteral("rz"));
    EXPECT_EQ(s.content, QStringLiteral("kurz"));
}

using InlineTextEditing = EditingFixture;

TEST_F(InlineTextEditing, TypingOnTheSelectedTextEditsItUntilEscapeOrAClickOutside) {
    CardObject& t = put(1, KindText, 100, 100, 200, 60);
    t.content = QStringLiteral("Hallo");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    put(2, KindFigure, 400, 300, 40, 40);
    EditorView* v = view(0);

    // Without a session the editor's keys keep their meaning: Down selects the next object.
    ed->edited().slot = 1;
    QTest::keyClick(v, Qt::Key_Down);
    EXPECT_EQ(ed->selectedSlot(), 2);
    QTest::keyClicks(v, QStringLiteral("xy"));  // a figure takes no text
    EXPECT_FALSE(ed->textEditing());

    click(0, 150, 130);
    ASSERT_EQ(ed->selectedSlot(), 1);
    QTest::keyClicks(v, QStringLiteral(" Du"));
    EXPECT_TRUE(ed->textEditing());
    EXPECT_EQ(t.content, QStringLiteral("Hallo Du"));
    QTest::keyClick(v, Qt::Key_Return);
    QTest::keyClick(v, Qt::Key_Down);  // in the text now: a caret move, the selection stays
    EXPECT_EQ(ed->selectedSlot(), 1);
    QTest::keyClick(v, Qt::Key_Up);  // from the new empty line's start to the first line's
    EXPECT_EQ(ed->inlineText().caret(), 0);
    QTest::keyClick(v, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(v, Qt::Key_Delete);  // nothing after the caret: the object stays
    EXPECT_TRUE(t.used());
    QTest::keyClicks(v, QStringLiteral("!"));
    EXPECT_EQ(t.content, QStringLiteral("Hallo Du\r!"));

    QTest::keyClick(v, Qt::Key_Escape);
    EXPECT_FALSE(ed->textEditing());
    QTest::keyClick(v, Qt::Key_Delete);  // the editor's Delete again: asks, is refused
    EXPECT_TRUE(t.used());

    // A click inside a session places the caret; a click outside ends it.
    QTest::keyClicks(v, QStringLiteral("?"));
    EXPECT_EQ(t.content, QStringLiteral("Hallo Du\r!?"));
    click(0, 101, 105);
    EXPECT_EQ(ed->inlineText().caret(), 0);
    QTest::keyClicks(v, QStringLiteral(">"));
    EXPECT_EQ(t.content, QStringLiteral(">Hallo Du\r!?"));
    click(0, 600, 600);
    EXPECT_FALSE(ed->textEditing());
    EXPECT_EQ(ed->selectedSlot(), 0);
}

TEST_F(InlineTextEditing, ADragInsideSelectsAndTheObjectStaysWhereItIs) {
    CardObject& t = put(1, KindText, 100, 100, 300, 60);
    t.content = QStringLiteral("Frohe Ostern");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    t.alignment = 1;
    ed->edited().slot = 1;
    QTest::keyClicks(view(0), QStringLiteral("!"));
    ASSERT_TRUE(ed->textEditing());
    const QLineF start = ed->textCaretInView();
    // The centred line ends right of the middle by half its advance.
    EXPECT_GT(start.x1(), 250);
    EXPECT_LT(start.x1(), 400);

    press(0, int(start.x1()) - 1, int(start.center().y()));
    // To the box's middle: the middle of the centred line.
    mouse(0, QEvent::MouseMove, Qt::NoButton, 250, int(start.center().y()));
    release(0, 250, int(start.center().y()));
    EXPECT_EQ(t.x, 10000);
    EXPECT_GT(ed->inlineText().selectionStart(), 4);
    EXPECT_LT(ed->inlineText().selectionStart(), 9);
    EXPECT_EQ(ed->inlineText().selectionEnd(), 13);  // up to the "!" typed last
    QTest::keyClicks(view(0), QStringLiteral("X"));
    EXPECT_TRUE(t.content.startsWith(QStringLiteral("Frohe")));
    EXPECT_TRUE(t.content.endsWith(QStringLiteral("X")));
    EXPECT_LT(t.content.size(), 12);

    // The double click still opens the text dialog, and ends the session first.
    answer = [](QDialog&) { return int(QDialog::Rejected); };
    press(0, 200, 120);
    release(0, 200, 120);
    press(0, 200, 120);
    mouse(0, QEvent::MouseButtonDblClick, Qt::LeftButton, 200, 120);
    release(0, 200, 120);
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_FALSE(ed->textEditing());
}

TEST_F(InlineTextEditing, OneSessionIsOneUndoStep) {
    CardObject& t = put(1, KindText, 100, 100, 200, 60);
    t.content = QStringLiteral("Hallo");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    ed->edited().slot = 1;
    EditHistory& h = ed->history();
    const int steps = h.stack().count();

    QTest::keyClicks(view(0), QStringLiteral(" Welt"));
    QTest::keyClick(view(0), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(view(0), Qt::Key_Backspace);
    QTest::keyClick(view(0), Qt::Key_Return);
    QTest::keyClick(view(0), Qt::Key_Escape);
    EXPECT_EQ(t.content, QStringLiteral("Hallo Wel\r"));
    EXPECT_EQ(h.stack().count(), steps + 1);
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Text ändern"));

    // A second session is a step of its own.
    QTest::keyClicks(view(0), QStringLiteral("!"));
    click(0, 600, 600);
    EXPECT_EQ(h.stack().count(), steps + 2);
    h.undo();
    EXPECT_EQ(t.content, QStringLiteral("Hallo Wel\r"));
    h.undo();
    EXPECT_EQ(t.content, QStringLiteral("Hallo"));
    h.redo();
    EXPECT_EQ(t.content, QStringLiteral("Hallo Wel\r"));

    // An undo in the middle of a session ends it; typing on begins a new step.
    ed->edited().slot = 1;
    QTest::keyClicks(view(0), QStringLiteral("ab"));
    h.undo();
    EXPECT_FALSE(ed->textEditing());
    EXPECT_EQ(t.content, QStringLiteral("Hallo Wel\r"));
    QTest::keyClicks(view(0), QStringLiteral("c"));
    EXPECT_EQ(t.content, QStringLiteral("Hallo Wel\rc"));
    h.undo();
    EXPECT_EQ(t.content, QStringLiteral("Hallo Wel\r"));
}

// ---- the text tool ----

TEST_F(InlineTextEditing, TheTextToolOnATextEditsItWhereItStands) {
    CardObject& t = put(1, KindText, 100, 100, 200, 60);
    t.content = QStringLiteral("Hallo");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    ed->tools().setCurrent(ToolText);
    move(0, 400, 300);
    EXPECT_EQ(ed->cursorNumber(), CursorMultiDrag);
    move(0, 101, 105);
    EXPECT_EQ(ed->cursorNumber(), CursorIBeam);  // over a text the tool edits it
    click(0, 101, 105);
    EXPECT_EQ(doc->usedCount(ed->editedSlots()), 1);  // no new frame
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_EQ(ed->tools().current(), ToolPointer);
    ASSERT_TRUE(ed->textEditing());
    EXPECT_EQ(ed->inlineText().caret(), 0);  // at the click
    QTest::keyClicks(view(0), QStringLiteral("Oh, "));
    EXPECT_EQ(t.content, QStringLiteral("Oh, Hallo"));

    // Beside the text the tool makes a new one, typed into at once.
    ed->tools().setCurrent(ToolText);
    click(0, 400, 300);
    ASSERT_EQ(doc->usedCount(ed->editedSlots()), 2);
    EXPECT_EQ(ed->selectedSlot(), 2);
    ASSERT_TRUE(ed->textEditing());
    QTest::keyClicks(view(0), QStringLiteral("Neu"));
    EXPECT_EQ(ed->editedSlots()[2]->content, QStringLiteral("Neu"));
    EXPECT_EQ(t.content, QStringLiteral("Oh, Hallo"));
}

TEST_F(InlineTextEditing, ANewTextFrameFitsALineOfItsFontWhateverTheZoom) {
    const auto newText = [&](double unitsPerPixel) {
        doc->unitsPerPixel = unitsPerPixel;
        tab->views().layoutFromDocument();
        ed->tools().setCurrent(ToolText);
        click(0, 200, 200);
        const CardObject& o = *ed->editedSlots()[ed->selectedSlot()];
        EXPECT_EQ(o.kind, KindText);
        return std::make_pair(o.width, o.height);
    };
    const auto [width, height] = newText(100.0);
    EXPECT_EQ(newText(300.0), std::make_pair(width, height));
    EXPECT_EQ(newText(60.0), std::make_pair(width, height));

    const CardObject& o = *ed->editedSlots()[1];
    const double line = textLineHeightUnits(o, ctx);
    EXPECT_GE(height, line);
    EXPECT_LT(height, 2 * line);
    // Room for a few words: far wider than the 50 view pixels a figure gets.
    EXPECT_GE(width, 10 * fontHeightUnits(o.fontSize, ctx));
    const CardGeometry card = cardGeometry(*doc);
    EXPECT_LE(width, card.fold - card.left);
}

TEST_F(InlineTextEditing, TheFrameGrowsWithTheTypedTextAndNeverCutsItOff) {
    ed->tools().setCurrent(ToolText);
    click(0, 150, 150);
    CardObject& o = *ed->editedSlots()[1];
    ASSERT_TRUE(ed->textEditing());
    const int32_t startWidth = o.width, startHeight = o.height;
    const double scale = doc->zoomFactor / doc->unitsPerPixel;
    const auto fits = [&] {
        const QSizeF room = textExtent(o, ctx, scale);
        const PixelBox box = pixelBox(*doc, o);
        return room.width() <= box.width && room.height() <= box.height;
    };

    QTest::keyClicks(view(0), QStringLiteral("Liebe Oma, herzlichen Glueckwunsch zum Geburtstag "
                                             "und alles Gute zum neuen Lebensjahr!"));
    EXPECT_GT(textLinesAt(o, ctx, scale).size(), 1);
    EXPECT_GT(o.height, startHeight);
    EXPECT_EQ(o.width, startWidth);  // words wrap; the width stays
    EXPECT_TRUE(fits());
    QTest::keyClick(view(0), Qt::Key_Return);
    QTest::keyClick(view(0), Qt::Key_Return);
    QTest::keyClicks(view(0), QStringLiteral("Dein Max"));
    EXPECT_TRUE(fits());
    // A word longer than the frame widens it.
    QTest::keyClick(view(0), Qt::Key_Return);
    QTest::keyClicks(view(0), QString(60, QLatin1Char('W')));
    EXPECT_GT(o.width, startWidth);
    EXPECT_TRUE(fits());
    // The whole session, growth included, is one step.
    const int32_t grownHeight = o.height;
    QTest::keyClick(view(0), Qt::Key_Escape);
    ed->history().undo();
    EXPECT_TRUE(o.content.isEmpty());
    EXPECT_EQ(o.height, startHeight);
    ed->history().redo();
    EXPECT_EQ(o.height, grownHeight);
}

}  // namespace

// ---- any character ----

TEST(InlineTextEditor, EmojiSequencesAndMarksAreOneCharacterForCaretAndBackspace) {
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA");
    const QString accented = QStringLiteral("e\u0301");
    Typing t(QStringLiteral("a") + family + flag + accented);
    const int end = int(t.content.size());
    t.key(Qt::Key_Left);
    EXPECT_EQ(t.ed.caret(), end - 2);  // before the letter with its mark
    t.key(Qt::Key_Left);
    EXPECT_EQ(t.ed.caret(), end - 2 - 4);  // before the flag's two regional letters
    t.key(Qt::Key_Backspace);              // the whole family of five code points
    EXPECT_EQ(t.content, QStringLiteral("a") + flag + accented);
    t.key(Qt::Key_Delete);
    EXPECT_EQ(t.content, QStringLiteral("a") + accented);
    t.key(Qt::Key_End);
    t.key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(t.ed.selectedText(t.content), accented);

    // Typed emoji, joiners and variation selectors included, are text; controls are not.
    EXPECT_TRUE(InlineTextEditor::typesText(family, Qt::NoModifier));
    EXPECT_TRUE(InlineTextEditor::typesText(QStringLiteral("\u2764\uFE0F"), Qt::NoModifier));
    EXPECT_FALSE(InlineTextEditor::typesText(QStringLiteral("\u200D"), Qt::NoModifier));
    EXPECT_FALSE(InlineTextEditor::typesText(family, Qt::ControlModifier));
    t.type(QStringLiteral("\U0001F382"));
    EXPECT_EQ(t.content, QStringLiteral("a\U0001F382"));

    // Inserted text (clipboard, input method) keeps every character; its line breaks become
    // the text's carriage returns and controls are left out.
    EXPECT_EQ(t.ed.insert(t.content, QStringLiteral("x\r\ny\nz\u2029\x07\t") + family),
              Outcome::Changed);
    EXPECT_EQ(t.content, QStringLiteral("a\U0001F382x\ry\rz\r\t") + family);
}

TEST_F(InlineTextEditing, ClipboardAndInputMethodTextComeInWholeAndSpansFollowTheEdits) {
    CardObject& t = put(1, KindText, 100, 100, 300, 80);
    t.content = QStringLiteral("Hallo");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    ed->edited().slot = 1;
    EditorView* v = view(0);

    // The desktop's character picker commits an emoji: it starts a session and is typed.
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    QInputMethodEvent pick;
    pick.setCommitString(QStringLiteral(" ") + family);
    QApplication::sendEvent(v, &pick);
    ASSERT_TRUE(ed->textEditing());
    EXPECT_EQ(t.content, QStringLiteral("Hallo ") + family);
    EXPECT_TRUE(v->inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_TRUE(v->inputMethodQuery(Qt::ImCursorRectangle).toRectF().height() > 5);

    // Ctrl+V pastes the clipboard's text into the text (not a new object).
    QGuiApplication::clipboard()->setText(QStringLiteral(" \U0001F384\nFest"));
    QTest::keyClick(v, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t.content, QStringLiteral("Hallo ") + family + QStringLiteral(" \U0001F384\rFest"));
    EXPECT_TRUE(t.used());
    EXPECT_EQ(ed->selectedSlot(), 1);

    // The selected "Hallo" made bold with Ctrl+B, bigger with Ctrl+>: one span.
    QTest::keyClick(v, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 5; ++i) QTest::keyClick(v, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(v, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(v, Qt::Key_Greater, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(t.extras.runs.size(), 1u);
    EXPECT_EQ(t.extras.runs[0].start, 0);
    EXPECT_EQ(t.extras.runs[0].length, 5);
    EXPECT_TRUE(t.extras.runs[0].fontStyle & StyleBold);
    EXPECT_EQ(t.extras.runs[0].fontSize, 14);
    // Ctrl+C copies the selection; typing before the span moves it along.
    QTest::keyClick(v, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Hallo"));
    QTest::keyClick(v, Qt::Key_Home);
    QTest::keyClicks(v, QStringLiteral(">> "));
    EXPECT_EQ(t.extras.runs[0].start, 3);
    EXPECT_EQ(t.extras.runs[0].length, 5);
    // Bold again on the same characters takes it off; the span goes with it when nothing
    // else differs from the object's font.
    QTest::keyClick(v, Qt::Key_Home);
    QTest::keyClick(v, Qt::Key_Right);
    QTest::keyClick(v, Qt::Key_Right);
    QTest::keyClick(v, Qt::Key_Right);
    for (int i = 0; i < 5; ++i) QTest::keyClick(v, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(v, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(v, Qt::Key_Less, Qt::ControlModifier);
    EXPECT_TRUE(t.extras.runs.empty());
    // Cut removes the selected characters, and an undo brings them back.
    QTest::keyClick(v, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(t.content.left(4), QStringLiteral(">>  "));
    ed->history().undo();
    EXPECT_TRUE(t.content.startsWith(QStringLiteral(">> Hallo")));
}

TEST_F(InlineTextEditing, UpAndDownGoAcrossTheLinesOfATurnedText) {
    CardObject& t = put(1, KindText, 100, 100, 80, 300);
    t.content = QStringLiteral("Hallo\rWelt");
    t.fontName = QStringLiteral("Liberation Sans");
    t.fontSize = 12;
    t.rotation = 1;  // the lines run downwards, the second one left of the first
    ed->edited().slot = 1;
    QTest::keyClicks(view(0), QStringLiteral("!"));
    ASSERT_EQ(ed->inlineText().caret(), 11);
    QTest::keyClick(view(0), Qt::Key_Up);
    EXPECT_GE(ed->inlineText().caret(), 4);  // the first line, about as far along
    EXPECT_LE(ed->inlineText().caret(), 5);
    QTest::keyClick(view(0), Qt::Key_Up);
    EXPECT_EQ(ed->inlineText().caret(), 0);
    QTest::keyClick(view(0), Qt::Key_Down);
    QTest::keyClick(view(0), Qt::Key_Down);
    EXPECT_EQ(ed->inlineText().caret(), 11);
}
