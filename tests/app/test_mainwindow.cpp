// The main window: start-up state, menus and tool bar, the save questions of new, open, exit
// and close, save as onto an existing file, save and open, the card-format command, persisted
// options, the general error display and the about box.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"
#include "app/GuideWindow.h"
#include "browser/CardBrowser.h"
#include "document/CardFile.h"
#include "document/Catalogue.h"
#include "editor/BackgroundDialog.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/ColorCombo.h"
#include "editor/EditorController.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/NewCardDialog.h"
#include "editor/ObjectCommands.h"
#include "editor/TextEntryDialog.h"
#include "editor/ToolPalette.h"
#include "print/PrinterTarget.h"
#include "print/ui/PrintTab.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDeadlineTimer>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <functional>
#include <stdexcept>
#include <utility>

using namespace bb;
using bbtest::WindowTest;

namespace {

// The save question about a new card.
const QString kQuestion = QStringLiteral("Änderungen an „NONAME01“ speichern?");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST_F(WindowTest, StartsWithEmptyCardTabsMenusAndInfoPanel) {
    auto w = make();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0"));
    QTabWidget* tabs = w->mainTabs();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Karte öffnen"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Editor"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Drucken"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(w->programFolder(), folder.path() + QLatin1Char('/'));

    CardDocument& doc = w->document();
    EXPECT_DOUBLE_EQ(doc.unitsPerPixel, 312);  // 30000 div 96
    EXPECT_DOUBLE_EQ(doc.zoomFactor, 1.0);
    EXPECT_EQ(doc.sideWidthUnits, 472441);
    EXPECT_EQ(w->views().outsideView()->size(), QSize(472441 / 312, 354331 / 312));
    EXPECT_EQ(w->cardFormatCaption(), cardFormatText(doc.format, QLocale()));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("InfoPanel"))->text(), w->cardFormatCaption());

    struct Item {
        const char* name;
        const char* text;
        QKeySequence key;
        const char* hint;
    };
    const Item items[] = {
        {"Neu1", "&Neu...", QKeySequence(Qt::CTRL | Qt::Key_N), "Neue Karte erstellen"},
        {"OpenItem", "Ö&ffnen...", QKeySequence(Qt::CTRL | Qt::Key_O), "Karte öffnen"},
        {"SaveItem", "&Speichern", QKeySequence(Qt::CTRL | Qt::Key_S), "Aktuelle Karte speichern"},
        {"Speichernunter1", "Speichern &unter...", QKeySequence(Qt::CTRL | Qt::Key_U),
         "Aktuelle Karte unter speziellem Namen speichern"},
        {"Scannerauswhlen1", "Scanner auswählen...", {}, "Läßt sie den aktiven Scanner auswählen"},
        {"Bildeinscannen1", "Bild einscannen...", {}, "Läßt sie ein Bild einscannen und speichern"},
        {"PrintSetup1", "Drucker &einrichten...", QKeySequence(Qt::CTRL | Qt::Key_E),
         "Richtet den Drucker ein"},
        {"Druckerkalibrieren1", "Drucker &kalibrieren...", {}, ""},
        {"PrintItem", "&Drucken...", QKeySequence(Qt::CTRL | Qt::Key_D), "Druckt die Karte"},
        {"BeideSeitenItem",
         "Beide Sei&ten drucken",
         {},
         "Druckt Außen- und Innenseite auf Vorder- und Rückseite"},
        {"AusrichtungItem",
         "Ausrichtungsseite drucken",
         {},
         "Druckt ein Blatt mit Kreuzen auf beiden Seiten, die zeigen, wie der Drucker die "
         "Blätter wendet"},
        {"ExitItem", "&Beenden", QKeySequence(Qt::ALT | Qt::Key_X), "Anwendung verlassen"},
        {"Hintergrundbild1", "&Hintergrundbild...", QKeySequence(Qt::CTRL | Qt::Key_H),
         "Ändert die Einstellungen des Hintergrundbildes"},
        {"Etikettenformat1",
         "&Kartenformat...",
         {},
         "Verändert die Einstellungen der Größe und der Abstände"},
        {"About1", "Inf&o...", QKeySequence(Qt::CTRL | Qt::Key_I),
         "Informationen über das Programm"},
    };
    for (const Item& it : items) {
        auto* a = w->findChild<QAction*>(QString::fromLatin1(it.name));
        ASSERT_NE(a, nullptr) << it.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(it.text)) << it.name;
        EXPECT_EQ(a->shortcut(), it.key) << it.name;
        EXPECT_EQ(a->statusTip(), QString::fromUtf8(it.hint)) << it.name;
    }
    const std::pair<const char*, const char*> buttons[] = {
        {"NewBtn", "Neue Datei erstellen"},
        {"SpeedItem4", "Öffnet eine Visitenkarte"},
        {"SpeedItem5", "Speichert die Vistenkarte"},
        {"SpeedItem6", "Hintergrund auswählen"}};
    for (auto [name, hint] : buttons) {
        auto* b = w->findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(hint));
    }

    // The status line shows the hint of the item under the mouse.
    w->findChild<QAction*>(QStringLiteral("SaveItem"))->showStatusText(w.get());
    EXPECT_EQ(w->statusBar()->currentMessage(), QStringLiteral("Aktuelle Karte speichern"));
    // showProgress moves the progress bar, kept inside 0..100.
    w->showProgress(40);
    auto* bar = w->findChild<QWidget*>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->property("value").toInt(), 40);
    w->showProgress(400);
    EXPECT_EQ(bar->property("value").toInt(), 100);
}

TEST_F(WindowTest, OneShotTimerCentresTheViewsAndNewCardAsksOnlyAboutChanges) {
    auto w = make();
    w->mainTabs()->setCurrentIndex(1);
    w->show();
    EXPECT_TRUE(w->startupLayoutPending);
    // Before the layout ran, "Neu" does not ask.
    w->newCardDialog().setModalHook([](NewCardDialog&) {});
    w->newCard();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->startupLayoutDone; }, bbtest::kHangGuardMs));
    EditorView* v = w->views().outsideView();
    const QSize visible = v->scrollBox()->viewport()->size();
    EXPECT_EQ(v->scrollX(), (v->width() - visible.width()) / 2);
    EXPECT_EQ(v->scrollY(), (v->height() - visible.height()) / 2);
    EXPECT_GT(v->scrollX(), 0);
    w->newCard();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    putFigure(w->document(), 1, 100, 200, 300, 400, 0xFF);
    w->newCard();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Neue Grußkarte"));
}

TEST_F(WindowTest, ViewsBehindHiddenTabsAreCentredWhenFirstShown) {
    auto w = make();
    w->show();  // starts on "Karte öffnen": the editor's views are not laid out yet
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->startupLayoutDone; }, bbtest::kHangGuardMs));
    w->mainTabs()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    for (int side : {0, 1}) {
        if (side == 1) {
            w->editorTab().sideTabs()->setCurrentIndex(1);
            QCoreApplication::processEvents();
        }
        EditorView* v = w->views().view(side);
        const QSize visible = v->scrollBox()->viewport()->size();
        EXPECT_EQ(v->scrollX(), (v->width() - visible.width()) / 2) << side;
        EXPECT_EQ(v->scrollY(), (v->height() - visible.height()) / 2) << side;
    }
}

TEST_F(WindowTest, SaveOnNewCardOpensSaveDialogAndCancellingStopsTheNewCard) {
    auto w = make();
    w->startupLayoutDone = true;
    putFigure(w->document(), 1, 100, 200, 300, 400, 0xFF);
    int dialogShown = 0;
    w->newCardDialog().setModalHook([&](NewCardDialog&) { ++dialogShown; });
    dialogs.answers = {BtnYes};
    w->newCard();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, kQuestion);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Neue Grußkarte"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo | BtnCancel);
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Grußkarten|*.kar"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("kar"));
    EXPECT_EQ(dialogs.saveRequests[0].directory, w->programFolder());
    EXPECT_EQ(dialogShown, 0);

    dialogs.answers = {BtnCancel};
    w->newCard();
    EXPECT_EQ(dialogShown, 0);
    EXPECT_EQ(dialogs.saveRequests.size(), 1);
}

TEST_F(WindowTest, NewCardClearsTheCardSetsTheFormatAndTitle) {
    CardFormat business;
    business.cardWidth = 90;
    business.cardHeight = 55;
    business.pitchX = 95;
    business.pitchY = 55;
    business.cardsAcross = 2;
    business.cardsDown = 5;
    business.typeName = QStringLiteral("Visitenkarte");
    ASSERT_TRUE(saveCardTypes(folder.path(), {business}));
    auto w = make();
    CardDocument& doc = w->document();
    doc.fileName = QStringLiteral("/somewhere/alt.kar");
    putFigure(*w, 3, 1000, 1000, 5000, 5000, 0xFF);
    w->startupLayoutDone = true;
    int cleared = 0;
    QObject::connect(w.get(), &MainWindow::documentCleared, [&] { ++cleared; });
    dialogs.answers = {BtnNo};
    w->newCardDialog().setModalHook([](NewCardDialog& d) { d.confirmChoice(); });
    w->newCard();
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" - NONAME01")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0 - NONAME01"));
    EXPECT_EQ(doc.fileName, QString());
    EXPECT_EQ(w->editing().editedSlots()[3]->kind, KindFree);
    EXPECT_EQ(doc.format, business);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(w->cardFormatCaption(), cardFormatText(business, QLocale()));
    EXPECT_EQ(doc.sideWidthUnits, sideUnits(90));
    EXPECT_EQ(w->views().outsideView()->width(), int(sideUnits(90) / 312));

    // A new-card dialog ending with Cancel changes nothing.
    putFigure(*w, 1, 0, 0, 10, 10, 0);
    dialogs.answers = {BtnNo};
    w->newCardDialog().setModalHook([](NewCardDialog& d) { d.reject(); });
    w->newCard();
    EXPECT_EQ(w->editing().editedSlots()[1]->kind, KindFigure);
}

TEST_F(WindowTest, CloseBoxWithCancelKeepsTheCardAndNoCloses) {
    auto w = make();
    w->show();
    ASSERT_TRUE(settle(*w));
    CardObject& o = putFigure(w->document(), 1, 100, 200, 300, 400, 0xFF);
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(o.kind, KindFigure);
    EXPECT_EQ(o.x, 100);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, kQuestion);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Programm beenden"));
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo | BtnCancel);

    // Yes with a cancelled save dialog keeps the window too.
    dialogs.answers = {BtnYes};
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());

    dialogs.answers = {BtnNo};
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
}

TEST_F(WindowTest, QuittingWhileTheBrowserWalksStopsTheWalkAndAlwaysAsks) {
    bbtest::WalkGate gate(0);  // holds every walk before its first step until it is stopped
    const auto walkingWindow = [&] {
        auto w = make();
        putFigure(w->document(), 1, 100, 200, 300, 400, 0xFF);
        w->browserTab()->browser().setWalkStepHook(gate.hook());
        w->browserTab()->refresh();  // the next walk passes the gate
        w->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return gate.holding(); }, bbtest::kHangGuardMs));
        EXPECT_TRUE(w->browserTab()->workerRunning());
        return w;
    };

    // "&Beenden": one question, then the walk is stopped and the window closes.
    auto w = walkingWindow();
    dialogs.answers = {BtnNo};
    w->exitProgram();
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->browserTab()->workerRunning());
    EXPECT_FALSE(w->closeConfirmed);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Programm beenden"));

    // The close box asks every time; Cancel keeps the window and lets the walk go on.
    dialogs.messages.clear();
    auto w2 = walkingWindow();
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(w2->close());
    EXPECT_TRUE(w2->isVisible());
    EXPECT_TRUE(w2->browserTab()->workerRunning());
    dialogs.answers = {BtnNo};
    EXPECT_TRUE(w2->close());
    EXPECT_FALSE(w2->browserTab()->workerRunning());
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text, kQuestion);
}

TEST_F(WindowTest, ExitWithNoEndsWithoutASecondQuestion) {
    auto w = make();
    w->show();
    ASSERT_TRUE(settle(*w));
    putFigure(w->document(), 1, 100, 200, 300, 400, 0xFF);
    dialogs.answers = {BtnNo};
    w->exitProgram();
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Programm beenden"));

    // Cancel, and Yes with a failed save, keep the program running.
    auto w2 = make();
    w2->show();
    ASSERT_TRUE(settle(*w2));
    putFigure(w2->document(), 1, 100, 200, 300, 400, 0xFF);
    dialogs.answers = {BtnCancel};
    w2->exitProgram();
    EXPECT_TRUE(w2->isVisible());
    dialogs.answers = {BtnYes};
    w2->exitProgram();
    EXPECT_TRUE(w2->isVisible());
    EXPECT_FALSE(w2->closeConfirmed);
    dialogs.answers = {BtnNo};
    w2->close();
}

TEST_F(WindowTest, TheSaveQuestionComesOnlyAfterChangesAndNamesTheCard) {
    auto w = make();
    w->show();
    ASSERT_TRUE(settle(*w));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->startupLayoutDone; }, bbtest::kHangGuardMs));
    int newDialogs = 0;
    w->newCardDialog().setModalHook([&](NewCardDialog& d) {
        ++newDialogs;
        d.reject();
    });

    // Nothing changed: "Neu" goes straight to its dialog.
    w->newCard();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(newDialogs, 1);

    // A changed new card is asked about under the name its title shows.
    putFigure(w->document(), 1, 100, 200, 300, 400, 0xFF);
    dialogs.answers = {BtnCancel};
    w->newCard();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Änderungen an „NONAME01“ speichern?"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Neue Grußkarte"));
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo | BtnCancel);
    EXPECT_EQ(newDialogs, 1);
    dialogs.answers = {BtnCancel};
    w->exitProgram();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Programm beenden"));
    EXPECT_TRUE(w->isVisible());

    // Right after saving nothing is asked, neither by "Neu", nor by opening, nor by quitting.
    const QString card = folder.file(QStringLiteral("Geburtstag.kar"));
    dialogs.saveAnswers = {{card, 1}};
    ASSERT_TRUE(w->saveCardAs());
    dialogs.messages.clear();
    w->newCard();
    EXPECT_EQ(newDialogs, 2);
    EXPECT_TRUE(w->openCard(card));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // A change to the opened card: opening and closing name it.
    putFigure(w->document(), 2, 500, 500, 300, 300, 0xFF00);
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(w->openCard(card));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Änderungen an „Geburtstag.kar“ speichern?"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Grußkarte öffnen"));
    dialogs.answers = {BtnCancel};
    EXPECT_FALSE(w->close());
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Änderungen an „Geburtstag.kar“ speichern?"));
    EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Programm beenden"));

    // Saved again, the window closes without a word.
    ASSERT_TRUE(w->saveCard());
    dialogs.messages.clear();
    w->exitProgram();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(WindowTest, SaveAsOntoExistingFileAnsweringNoWritesNothing) {
    auto w = make();
    const QString path = folder.file(QStringLiteral("alt.kar"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    putFigure(w->document(), 1, 0, 0, 100, 100, 0);
    dialogs.saveAnswers = {{path, 1}};
    dialogs.answers = {BtnNo};
    EXPECT_FALSE(w->saveCardAs());
    EXPECT_EQ(readAll(path), QByteArray("old contents"));
    EXPECT_EQ(w->document().fileName, QString());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Vorhandene Datei Überschreiben?"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo);

    // Answering Yes replaces it with a card file.
    dialogs.saveAnswers = {{path, 1}};
    dialogs.answers = {BtnYes};
    EXPECT_TRUE(w->saveCardAs());
    EXPECT_TRUE(readAll(path).startsWith("Tovarin Brisella-Bildwerker 1.0"));
}

TEST_F(WindowTest, SaveFromInsideThenOpenRestoresTheCardAndTitle) {
    auto w = make();
    CardDocument& doc = w->document();
    putFigure(*w, 5, 150000, 120000, 40000, 20000, 0xFF);
    w->editorTab().selectSide(1);
    EXPECT_EQ(w->editing().editedSide(), 1);
    putFigure(*w, 2, 160000, 130000, 10000, 10000, 0xFF00);
    const QString path = folder.file(QStringLiteral("karte.kar"));
    dialogs.saveAnswers = {{path, 1}};
    EXPECT_TRUE(w->saveCard());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0 - karte.kar"));
    // The inside stays shown and edited.
    EXPECT_EQ(w->editing().editedSide(), 1);
    EXPECT_EQ(w->editorTab().sideTabs()->currentIndex(), 1);
    EXPECT_EQ(w->editing().editedSlots()[2], doc.insideSlots[2]);
    // A second save uses the name without asking.
    EXPECT_TRUE(w->saveCard());
    EXPECT_EQ(dialogs.saveRequests.size(), 1);

    w->startupLayoutDone = true;
    w->newCardDialog().setModalHook([](NewCardDialog& d) {
        d.addType();
        d.confirmChoice();
    });
    w->cardTypeEditDialog().setModalHook(
        [](CardTypeEditDialog&) { return int(QDialog::Accepted); });
    w->newCard();
    EXPECT_EQ(doc.insideSlots[2]->kind, KindFree);

    dialogs.openAnswers = {{path, 1}};
    w->openCardWithDialog();  // empty working side: no question
    ASSERT_EQ(dialogs.openRequests.size(), 1);
    EXPECT_EQ(dialogs.openRequests[0].directory, w->programFolder());
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("Grußkarten|*.kar"));
    EXPECT_EQ(doc.outsideSlots[5]->kind, KindFigure);
    EXPECT_EQ(doc.outsideSlots[5]->x, 150000);
    EXPECT_EQ(doc.insideSlots[2]->kind, KindFigure);
    EXPECT_EQ(doc.format.cardWidth, 200);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0 - karte.kar"));
    EXPECT_TRUE(dialogs.messages.isEmpty());  // saved before "Neu": nothing to ask
}

TEST_F(WindowTest, CardFormatCommandChangesFormatAndViewsAndAsksAboutTheObjects) {
    auto w = make();
    CardDocument& doc = w->document();
    const double mm = 20000 / kNominalMmPerInch;
    const auto setWidth = [&](double width) {
        w->cardTypeEditDialog().setModalHook([width](CardTypeEditDialog& f) {
            f.widthEdit->setValue(width);
            return int(QDialog::Accepted);
        });
    };
    // An empty card: no question.
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        EXPECT_DOUBLE_EQ(f.widthEdit->value(), 200);  // filled from the card
        f.widthEdit->setValue(100);
        f.horizontalGapEdit->setValue(3);
        return int(QDialog::Accepted);
    });
    w->editCardFormat();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_DOUBLE_EQ(doc.format.cardWidth, 100);
    EXPECT_DOUBLE_EQ(doc.format.pitchX, 103);
    EXPECT_EQ(doc.sideWidthUnits, sideUnits(100));
    EXPECT_EQ(w->views().outsideView()->width(), int(sideUnits(100) / 312));
    EXPECT_EQ(w->cardFormatCaption(), cardFormatText(doc.format, QLocale()));

    // "Nein": the figure keeps its size and its place on the card, 10 mm from its left edge.
    CardObject& o = putFigure(*w, 1, int32_t(110 * mm), int32_t(160 * mm), int32_t(50 * mm),
                              int32_t(40 * mm), 0);
    dialogs.answers = {BtnNo};
    setWidth(148);
    w->editCardFormat();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Sollen Texte, Bilder und Figuren an das neue Format angepasst "
                             "werden?"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnYes | BtnNo);
    EXPECT_NEAR(o.x, 158 * mm, 1);
    EXPECT_NEAR(o.y, 160 * mm, 1);
    EXPECT_EQ(o.width, int32_t(50 * mm));

    // "Ja", with an object on the inside while the outside is shown: it takes the new size.
    w->editorTab().selectSide(1);
    CardObject& inner = putFigure(*w, 1, int32_t(148 * mm), int32_t(150 * mm), int32_t(148 * mm),
                                  int32_t(150 * mm), 0);
    w->editorTab().selectSide(0);
    dialogs.answers = {BtnYes};
    setWidth(74);
    w->editCardFormat();
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_NEAR(inner.x, 74 * mm, 1);
    EXPECT_NEAR(inner.width, 74 * mm, 1);
    EXPECT_EQ(inner.height, int32_t(150 * mm));
    EXPECT_NEAR(o.x, 79 * mm, 1);

    // A cancelled dialog and an unchanged size ask nothing.
    const CardFormat before = doc.format;
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        f.widthEdit->setValue(50);
        return int(QDialog::Rejected);
    });
    w->editCardFormat();
    EXPECT_EQ(doc.format, before);
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        f.horizontalGapEdit->setValue(7);
        return int(QDialog::Accepted);
    });
    w->editCardFormat();
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_NEAR(inner.x, 74 * mm, 1);
}

TEST_F(WindowTest, ADamagedCardThatClearsTheDocumentEndsTheDrag) {
    auto w = make();
    CardDocument& doc = w->document();
    EditorController& ed = w->editing();
    const QString path = folder.file(QStringLiteral("kaputt.kar"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(cardSignature() + QByteArray("\x01\x02"));
    f.close();
    for (int side : {0, 1}) {
        w->editorTab().selectSide(side);
        // A figure at view pixels 100..150 is selected and a drag begun.
        putFigure(*w, 2, 31200, 31200, 15600, 15600, 0xFF);
        ed.mousePress(side, Qt::LeftButton, Qt::NoModifier, 120, 120);
        ed.mouseRelease(side, Qt::LeftButton, Qt::NoModifier, 120, 120);
        ed.mousePress(side, Qt::LeftButton, Qt::NoModifier, 120, 120);
        ASSERT_EQ(ed.cursorNumber(), CursorDrag) << side;

        // The file is refused after the document was cleared.
        dialogs.answers = {BtnNo};
        EXPECT_FALSE(w->openCard(path));
        ASSERT_EQ(doc.usedCount(w->editing().editedSlots()), 0) << side;

        // The release that ends the old press creates a text instead of ending a drag.
        ed.tools().setCurrent(ToolText);
        ed.mouseMove(side, Qt::LeftButton, Qt::NoModifier, 300, 300);
        ed.mouseRelease(side, Qt::LeftButton, Qt::NoModifier, 300, 300);
        EXPECT_EQ(w->editing().editedSlots()[1]->kind, KindText) << side;
        doc.clearAll();
    }
}

TEST_F(WindowTest, OpeningAnotherCardAsksAboutChangesOnTheSideNotShown) {
    auto w = make();
    CardDocument& doc = w->document();
    EditorController& ed = w->editing();
    std::function<int(QDialog&)> answer;
    ed.setRunModal([&](QDialog& d) { return answer ? answer(d) : int(QDialog::Rejected); });
    // A card with a figure on the inside, saved.
    const QString other = folder.file(QStringLiteral("andere.kar"));
    w->editorTab().selectSide(1);
    putFigure(*w, 1, 150000, 120000, 20000, 20000, 0xFF);
    dialogs.saveAnswers = {{other, 1}};
    ASSERT_TRUE(w->saveCardAs());

    // Each change is made on the inside; then the outside tab is clicked and a card is opened
    // from the browser.
    const auto opensOnlyAfterAsking = [&](const char* change) {
        w->editorTab().selectSide(0);
        dialogs.messages.clear();
        dialogs.answers = {BtnCancel};
        emit w->browserTab()->openRequested(other);
        EXPECT_EQ(dialogs.texts(),
                  QStringList{QStringLiteral("Änderungen an „andere.kar“ speichern?")})
            << change;
        EXPECT_TRUE(doc.hasUnsavedChanges()) << change;
        dialogs.answers = {BtnNo};
        emit w->browserTab()->openRequested(other);
        EXPECT_FALSE(doc.hasUnsavedChanges()) << change;
        EXPECT_EQ(doc.insideSlots[1]->x, 150000) << change;
        w->editorTab().selectSide(1);
        dialogs.messages.clear();
    };
    dialogs.messages.clear();
    emit w->browserTab()->openRequested(other);
    EXPECT_TRUE(dialogs.messages.isEmpty());  // nothing changed yet

    // A new text, written through the text entry.
    ed.tools().setCurrent(ToolText);
    ed.mouseRelease(1, Qt::LeftButton, Qt::NoModifier, 300, 200);
    ASSERT_EQ(w->editing().editedSlots()[2]->kind, KindText);
    answer = [&](QDialog&) {
        ed.commands().textEntryDialog().textEdit()->setPlainText(QStringLiteral("Alles Gute"));
        return int(QDialog::Accepted);
    };
    ed.commands().editText();
    answer = nullptr;
    opensOnlyAfterAsking("text");

    // The figure selected and dragged with the mouse (150000 units is pixel 480 at 312 units a
    // pixel).
    const auto dragFigureTo = [&](int x, int y) {
        ed.mousePress(1, Qt::LeftButton, Qt::NoModifier, 500, 400);
        ed.mouseRelease(1, Qt::LeftButton, Qt::NoModifier, 500, 400);
        ed.mousePress(1, Qt::LeftButton, Qt::NoModifier, 500, 400);
        ed.mouseMove(1, Qt::LeftButton, Qt::NoModifier, x, y);
        ed.mouseRelease(1, Qt::LeftButton, Qt::NoModifier, x, y);
    };
    dragFigureTo(530, 430);
    ASSERT_NE(w->editing().editedSlots()[1]->x, 150000);
    opensOnlyAfterAsking("drag");

    // A coloured background through the background dialog.
    answer = [&](QDialog& d) {
        auto* b = qobject_cast<BackgroundDialog*>(&d);
        if (!b) return int(QDialog::Rejected);
        b->modeButton(BgColor)->setChecked(true);
        b->colorCombo()->setColor(rgbRef(255, 0, 0));
        return int(QDialog::Accepted);
    };
    ed.editBackground();
    answer = nullptr;
    ASSERT_EQ(w->editing().editedBackground().backgroundMode, BgColor);
    opensOnlyAfterAsking("background");

    // Another card type of the same size.
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        f.horizontalGapEdit->setValue(5);
        return int(QDialog::Accepted);
    });
    w->editCardFormat();
    opensOnlyAfterAsking("card type");

    // A saved change asks nothing.
    dragFigureTo(510, 400);
    ASSERT_TRUE(doc.hasUnsavedChanges());
    ASSERT_TRUE(w->saveCard());
    EXPECT_EQ(w->editing().editedSide(), 1);
    w->editorTab().selectSide(0);
    emit w->browserTab()->openRequested(other);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(WindowTest, PrintOptionsAndPlacementComeBackInTheNextRun) {
    bbtest::TemporarySettings settings;
    QSettings(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker")).clear();
    for (bool cut : {true, false}) {
        {
            auto w = make(true);
            w->show();
            w->printTab()->setCutLines(cut);
            w->printTab()->setFoldLines(!cut);
            w->resize(700 + cut, 610);
            ASSERT_TRUE(settle(*w));
            dialogs.answers = {BtnNo};
            ASSERT_TRUE(w->close());
        }
        auto w = make(true);
        EXPECT_EQ(w->printTab()->cutLines(), cut);
        EXPECT_EQ(w->printTab()->foldLines(), !cut);
        EXPECT_EQ(w->size(), QSize(700 + cut, 610));
        QSettings s(QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"));
        EXPECT_EQ(s.value(QStringLiteral("FormStorage1/SchneidBtn.Checked")).toBool(), cut);
    }
}

TEST_F(WindowTest, UnhandledFailureReachesTheGeneralErrorDisplay) {
    auto w = make();
    bool after = false;
    w->runCommand([&] {
        throw std::runtime_error("Der Drucker meldet einen Fehler");
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Der Drucker meldet einen Fehler"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Brisella-Bildwerker 1.0"));
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs.messages[0].buttons, BtnOk);
}

TEST_F(WindowTest, AboutBoxShowsTheYearAndOurAddress) {
    auto w = make();
    AboutDialog& box = w->aboutDialog();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info"));
    const QStringList lines = box.lines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("Tovarin Brisella-Bildwerker 1.0"));
    const QString joined = lines.join(QLatin1Char('\n'));
    EXPECT_FALSE(joined.contains(QStringLiteral("XXXX")));
    EXPECT_TRUE(joined.contains(QString::number(QDate::currentDate().year())));
    // The button shows the user guide inside the program.
    auto* button = box.findChild<QPushButton*>(QStringLiteral("WebBtn"));
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_NE(w->guideWindow(), nullptr);
    EXPECT_TRUE(w->guideWindow()->isVisible());
    EXPECT_TRUE(w->guideWindow()->browser()->source().isLocalFile());
}

TEST_F(WindowTest, QuarterFoldMenuItemFollowsThePaper) {
    auto w = make();
    PrinterTarget& target = w->printTab()->printerTarget();
    target.usePdf(QString());
    auto* datei = w->findChild<QMenu*>(QStringLiteral("Datei1"));
    auto* item = w->findChild<QAction*>(QStringLiteral("ViertelfalzItem"));
    ASSERT_NE(datei, nullptr);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&Viertelfalz..."));
    // The new card's 200 × 150 mm is taller than half of A4.
    emit datei->aboutToShow();
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(item->statusTip(), QStringLiteral("Die Karte ist für einen halben Bogen zu groß"));
    w->document().format.cardHeight = 100;
    emit datei->aboutToShow();
    ASSERT_TRUE(item->isEnabled());
    dialogs.saveAnswers.push_back({folder.file(QStringLiteral("viertelfalz.pdf")), 1});
    item->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{kNoPrinterNotice});
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("viertelfalz.pdf"))).size() > 0);
}

// Tests and the end-to-end script find controls by their object names: every control a user
// can operate, in the window and in the dialogs it owns, has one.
TEST_F(WindowTest, EveryControlHasAnObjectName) {
    auto w = make();
    // Controls a user operates; the inner parts of a control (a spin box's line edit, a combo
    // box's list, a view's scroll bars and header, Qt's own "qt_" helpers) are not counted.
    const auto isControl = [](const QObject* o) {
        return qobject_cast<const QAbstractButton*>(o) || qobject_cast<const QLineEdit*>(o) ||
               qobject_cast<const QAbstractSpinBox*>(o) || qobject_cast<const QComboBox*>(o) ||
               qobject_cast<const QSlider*>(o) || qobject_cast<const QPlainTextEdit*>(o) ||
               qobject_cast<const QTabWidget*>(o) || qobject_cast<const QAbstractItemView*>(o) ||
               qobject_cast<const QMenu*>(o);
    };
    const auto isPart = [](const QObject* o) {
        const QObject* p = o->parent();
        for (int up = 0; p && up < 2; ++up, p = p->parent())  // parent and grandparent
            if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
                qobject_cast<const QTabBar*>(p) || p->objectName().startsWith(QLatin1String("qt_")))
                return true;
        return qobject_cast<const QHeaderView*>(o) != nullptr;
    };
    QStringList unnamed;
    for (const QObject* o : w->findChildren<QObject*>()) {
        if (!o->objectName().isEmpty() || !isControl(o) || isPart(o)) continue;
        QString what = QString::fromLatin1(o->metaObject()->className());
        if (const auto* b = qobject_cast<const QAbstractButton*>(o)) what += u' ' + b->text();
        if (const auto* m = qobject_cast<const QMenu*>(o)) what += u' ' + m->title();
        unnamed << what + QStringLiteral(" in ") + o->parent()->objectName();
    }
    for (const QAction* a : w->findChildren<QAction*>())
        if (!a->isSeparator() && !a->text().isEmpty() && a->objectName().isEmpty() && !a->menu())
            unnamed << QStringLiteral("QAction ") + a->text();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

TEST_F(WindowTest, UndoItemsAndTitleFollowTheHistoryAlsoForACardTypeChange) {
    auto w = make();
    EditorController& ed = w->editing();
    putFigure(*w, 1, 31200, 31200, 15600, 15600, 0xFF);
    const QString path = folder.file(QStringLiteral("karte.kar"));
    dialogs.saveAnswers = {{path, 1}};
    ASSERT_TRUE(w->saveCardAs());
    const QString savedTitle = w->windowTitle();
    EXPECT_FALSE(savedTitle.startsWith('*'));
    EXPECT_FALSE(w->undoAction()->isEnabled());

    ed.selectSlot(1);
    ed.commands().setColor(rgbRef(1, 2, 3));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("*") + savedTitle);
    EXPECT_TRUE(w->undoAction()->isEnabled());
    EXPECT_EQ(w->undoAction()->text(), QStringLiteral("&Rückgängig: Farbe ändern"));
    EXPECT_FALSE(w->redoAction()->isEnabled());

    w->undoAction()->trigger();
    EXPECT_EQ(w->windowTitle(), savedTitle);
    EXPECT_EQ(w->redoAction()->text(), QStringLiteral("&Wiederherstellen: Farbe ändern"));
    EXPECT_EQ(w->undoAction()->text(), QStringLiteral("&Rückgängig"));
    // Opening asks nothing: the card is the saved one again.
    dialogs.messages.clear();
    ASSERT_TRUE(w->openCard(path));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(w->undoAction()->isEnabled()) << "opening starts a new history";

    // A narrower card with the objects fitted, and back with one undo.
    const QString caption = w->cardFormatCaption();
    const QSize box = w->views().paintBoxSize();
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        f.widthEdit->setValue(f.widthEdit->value() / 2);
        return int(QDialog::Accepted);
    });
    dialogs.answers = {BtnYes};
    w->editCardFormat();
    ASSERT_NE(w->cardFormatCaption(), caption);
    const int32_t fittedWidth = w->editing().editedSlots()[1]->width;
    ASSERT_NE(fittedWidth, 15600);
    EXPECT_EQ(w->undoAction()->text(), QStringLiteral("&Rückgängig: Kartenformat ändern"));
    w->redoAction()->trigger();  // nothing to redo: no change
    w->undoAction()->trigger();
    EXPECT_EQ(w->cardFormatCaption(), caption);
    EXPECT_EQ(w->views().paintBoxSize(), box);
    EXPECT_EQ(w->editing().editedSlots()[1]->width, 15600);
    EXPECT_EQ(w->windowTitle(), savedTitle);
    w->redoAction()->trigger();
    EXPECT_EQ(w->editing().editedSlots()[1]->width, fittedWidth);
    EXPECT_TRUE(w->windowTitle().startsWith('*'));
}

TEST_F(WindowTest, WholeCardItemOpensTheEditorAndFitsTheCard) {
    auto w = make();
    w->resize(1000, 760);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    ASSERT_TRUE(settle(*w));
    CardDocument& doc = w->views().doc();
    doc.unitsPerPixel = 50;  // close in: the card is larger than the view
    w->views().layoutFromDocument();
    auto* item = w->findChild<QAction*>(QStringLiteral("GanzeKarte1"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    ASSERT_NE(w->mainTabs()->currentWidget(), &w->editorTab());
    item->trigger();
    EXPECT_EQ(w->mainTabs()->currentWidget(), &w->editorTab());
    EditorView* v = w->views().outsideView();
    const auto wholeCardVisible = [&] {
        const QRect card(v->width() / 3, v->height() / 3, v->width() / 3, v->height() / 3);
        return QRect(QPoint(v->scrollX(), v->scrollY()), v->scrollBox()->viewport()->size())
            .contains(card);
    };
    EXPECT_TRUE(QTest::qWaitFor(wholeCardVisible, bbtest::kHangGuardMs));
    EXPECT_GT(doc.unitsPerPixel, 50);
}

TEST_F(WindowTest, NoControlTakesTheKeyOfAMenuOrItem) {
    auto w = make();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // The keys of the items (Alt+X is "Beenden") and the Alt keys of the menu bar.
    QList<QKeySequence> taken;
    for (const QAction* a : w->findChildren<QAction*>()) {
        if (!a->shortcut().isEmpty() && a->shortcutContext() != Qt::WidgetShortcut)
            taken << a->shortcut();
    }
    for (const QAction* a : w->menuBar()->actions()) taken << QKeySequence::mnemonic(a->text());
    QStringList clashes;
    // Controls of the window itself; a dialog's keys count in the dialog only.
    const auto check = [&](const QWidget* control, const QString& text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (control->window() == w.get() && !key.isEmpty() && taken.contains(key)) clashes << text;
    };
    for (const QLabel* l : w->findChildren<QLabel*>())
        if (l->buddy()) check(l, l->text());
    for (const QAbstractButton* b : w->findChildren<QAbstractButton*>()) check(b, b->text());
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(QStringLiteral(", ")).toStdString();
}
