// Card files dropped onto the main window open as "Öffnen..." opens them.
#include "AppTestSupport.h"

#include "document/CardFile.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

using namespace bb;
using namespace bbtest;

TEST_F(WindowTest, DroppedCardFileOpensAfterTheSaveQuestion) {
    auto w = make();
    CardDocument& doc = w->document();
    // A saved card with one blue figure.
    putFigure(doc, 3, 100000, 100000, 20000, 20000, 0xFF0000);
    const QString card = folder.file(QStringLiteral("Einladung.kar"));
    dialogs.saveAnswers = {{card, 1}};
    ASSERT_TRUE(w->saveCardAs());
    CardDocument::freeObject(*doc.workingSlots[3]);
    putFigure(doc, 5, 1000, 1000, 2000, 2000, 0x00FF00);
    dialogs.messages.clear();

    QMimeData text;
    const QString notes = folder.file(QStringLiteral("Notiz.txt"));
    QFile f(notes);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    text.setUrls({QUrl::fromLocalFile(notes)});
    EXPECT_FALSE(w->openDroppedCard(text));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Cancel keeps the card being edited.
    QMimeData drop;
    drop.setUrls({QUrl::fromLocalFile(notes), QUrl::fromLocalFile(card)});
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(w->openDroppedCard(drop));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Grußkarte öffnen"));
    EXPECT_TRUE(doc.workingSlots[5]->used());

    // A real drop event: the card opens once the drop has ended, in the editor tab.
    dialogs.answers = {BtnNo};
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &event);
    EXPECT_TRUE(event.isAccepted());
    ASSERT_TRUE(runUntil([&] { return doc.workingSlots[3]->used(); }));
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_FALSE(doc.workingSlots[5]->used());
    EXPECT_EQ(doc.workingSlots[3]->color, 0xFF0000u);
    EXPECT_EQ(w->mainTabs()->currentWidget(), &w->editorTab());
}
