// The clipboard commands of the menu "&Bearbeiten", and card files dropped onto the window,
// which open as "Öffnen..." opens them.
#include "AppTestSupport.h"

#include "document/CardFile.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/ObjectClipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QMap>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QUrl>

using namespace bb;
using namespace bbtest;

TEST_F(WindowTest, DroppedCardFileOpensAfterTheSaveQuestion) {
    auto w = make();
    // A saved card with one blue figure.
    putFigure(*w, 3, 100000, 100000, 20000, 20000, 0xFF0000);
    const QString card = folder.file(QStringLiteral("Einladung.kar"));
    dialogs.saveAnswers = {{card, 1}};
    ASSERT_TRUE(w->saveCardAs());
    CardDocument::freeObject(*w->editing().editedSlots()[3]);
    putFigure(*w, 5, 1000, 1000, 2000, 2000, 0x00FF00);
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
    EXPECT_TRUE(w->editing().editedSlots()[5]->used());

    // Dragged over an editor view, which takes only picture files, the card reaches the window.
    w->mainTabs()->setCurrentWidget(&w->editorTab());
    QDragEnterEvent overView(QPoint(20, 20), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->views().outsideView(), &overView);
    EXPECT_TRUE(overView.isAccepted());
    w->mainTabs()->setCurrentIndex(0);

    // A real drop event: the card opens once the drop has ended, in the editor tab.
    dialogs.answers = {BtnNo};
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &event);
    EXPECT_TRUE(event.isAccepted());
    ASSERT_TRUE(runUntil([&] { return w->editing().editedSlots()[3]->used(); }));
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_FALSE(w->editing().editedSlots()[5]->used());
    EXPECT_EQ(w->editing().editedSlots()[3]->color, 0xFF0000u);
    EXPECT_EQ(w->mainTabs()->currentWidget(), &w->editorTab());
}

TEST_F(WindowTest, ClipboardItemsWorkOnTheEditorTabWithKeysNoOtherItemTakes) {
    auto w = make();
    CardDocument& doc = w->document();
    const QMap<QString, QKeySequence> items = {
        {QStringLiteral("AusschneidenItem"), QKeySequence(Qt::CTRL | Qt::Key_X)},
        {QStringLiteral("KopierenItem"), QKeySequence(Qt::CTRL | Qt::Key_C)},
        {QStringLiteral("EinfuegenItem"), QKeySequence(Qt::CTRL | Qt::Key_V)},
        {QStringLiteral("DuplizierenItem"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)}};
    for (auto it = items.begin(); it != items.end(); ++it) {
        auto* a = w->findChild<QAction*>(it.key());
        ASSERT_TRUE(a) << it.key().toStdString();
        EXPECT_TRUE(w->editMenu()->actions().contains(a));
        EXPECT_EQ(a->shortcut(), it.value());
    }
    // Every key of the window's own items is taken once (the object menu only shows them).
    QMap<QKeySequence, QString> taken;
    for (const QAction* a : w->findChildren<QAction*>()) {
        if (a->shortcutContext() == Qt::WidgetShortcut) continue;
        for (const QKeySequence& key : a->shortcuts()) {
            EXPECT_FALSE(taken.contains(key))
                << key.toString().toStdString() << " " << a->objectName().toStdString() << " "
                << taken.value(key).toStdString();
            taken.insert(key, a->objectName());
        }
    }

    putFigure(*w, 1, 100000, 100000, 20000, 20000, 0xFF);
    w->editing().selectSlot(1);
    QGuiApplication::clipboard()->clear();
    // Away from the editor the commands leave the card and the clipboard alone.
    w->mainTabs()->setCurrentIndex(0);
    w->findChild<QAction*>(QStringLiteral("KopierenItem"))->trigger();
    w->findChild<QAction*>(QStringLiteral("DuplizierenItem"))->trigger();
    const QMimeData* board = QGuiApplication::clipboard()->mimeData();
    EXPECT_FALSE(board && board->hasFormat(kObjectMimeType));
    EXPECT_EQ(doc.usedCount(w->editing().editedSlots()), 1);

    w->mainTabs()->setCurrentWidget(&w->editorTab());
    w->findChild<QAction*>(QStringLiteral("KopierenItem"))->trigger();
    w->findChild<QAction*>(QStringLiteral("EinfuegenItem"))->trigger();
    EXPECT_EQ(doc.usedCount(w->editing().editedSlots()), 2);
    EXPECT_EQ(w->editing().selectedSlot(), 2);
    EXPECT_EQ(w->undoAction()->text(), QStringLiteral("&Rückgängig: Objekt einfügen"));
    EXPECT_TRUE(w->windowTitle().startsWith(QLatin1Char('*')));
}
