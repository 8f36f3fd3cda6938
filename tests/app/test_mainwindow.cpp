// The main window: start-up state, menus and tool bar, the save questions of new, exit and
// close, save as onto an existing file, save and open, the card-format command, persisted
// options, the general error display and the about box.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"
#include "browser/CardBrowser.h"
#include "document/Catalogue.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/EditorTab.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/NewCardDialog.h"
#include "print/ui/PrintTab.h"

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
#include <QMutex>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QToolButton>
#include <QWaitCondition>

#include <atomic>
#include <functional>
#include <stdexcept>

using namespace bb;
using bbtest::WindowTest;

namespace {

const QString kQuestion = QStringLiteral("Wollen Sie vorher speichern?");

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

TEST_F(WindowTest, OneShotTimerCentresTheViewsAndOnlyThenNewCardAsks) {
    auto w = make();
    w->mainTabs()->setCurrentIndex(1);
    w->show();
    EXPECT_TRUE(w->startupLayoutPending);
    // Before the layout ran, "Neu" does not ask.
    w->newCardDialog().setModalHook([](NewCardDialog&) {});
    w->newCard();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->startupLayoutDone; }, 3000));
    EditorView* v = w->views().outsideView();
    const QSize visible = v->scrollBox()->viewport()->size();
    EXPECT_EQ(v->scrollX(), (v->width() - visible.width()) / 2);
    EXPECT_EQ(v->scrollY(), (v->height() - visible.height()) / 2);
    EXPECT_GT(v->scrollX(), 0);
    w->newCard();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Neue Grußkarte"));
}

TEST_F(WindowTest, ViewsBehindHiddenTabsAreCentredWhenFirstShown) {
    auto w = make();
    w->show();  // starts on "Karte öffnen": the editor's views are not laid out yet
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->startupLayoutDone; }, 3000));
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
    putFigure(doc, 3, 1000, 1000, 5000, 5000, 0xFF);
    w->startupLayoutDone = true;
    int cleared = 0;
    QObject::connect(w.get(), &MainWindow::documentCleared, [&] { ++cleared; });
    dialogs.answers = {BtnNo};
    w->newCardDialog().setModalHook([](NewCardDialog& d) { d.confirmChoice(); });
    w->newCard();
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" - NONAME01")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0 - NONAME01"));
    EXPECT_EQ(doc.fileName, QString());
    EXPECT_EQ(doc.workingSlots[3]->kind, KindFree);
    EXPECT_EQ(doc.format, business);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(w->cardFormatCaption(), cardFormatText(business, QLocale()));
    EXPECT_EQ(doc.sideWidthUnits, sideUnits(90));
    EXPECT_EQ(w->views().outsideView()->width(), int(sideUnits(90) / 312));

    // A new-card dialog ending with Cancel changes nothing.
    putFigure(doc, 1, 0, 0, 10, 10, 0);
    dialogs.answers = {BtnNo};
    w->newCardDialog().setModalHook([](NewCardDialog& d) { d.reject(); });
    w->newCard();
    EXPECT_EQ(doc.workingSlots[1]->kind, KindFigure);
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

// Holds the card browser's worker before its next step until the walk is asked to stop, so
// that a test sees a walk that is certainly still running.
class WalkGate {
public:
    std::function<void()> hook() {
        return [this] {
            reached_ = true;
            QMutexLocker lock(&mutex_);
            while (!QThread::currentThread()->isInterruptionRequested())
                opened_.wait(&mutex_, QDeadlineTimer(10));
        };
    }
    bool reached() const { return reached_; }

private:
    std::atomic<bool> reached_{false};
    QMutex mutex_;
    QWaitCondition opened_;
};

TEST_F(WindowTest, QuittingWhileTheBrowserWalksStopsTheWalkAndAlwaysAsks) {
    WalkGate gate;  // outlives the windows and their workers
    const auto walkingWindow = [&] {
        auto w = make();
        w->browserTab()->browser().setWalkStepHook(gate.hook());
        w->browserTab()->refresh();  // the next walk passes the gate
        w->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return gate.reached(); }, 5000));
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
    dialogs.answers = {BtnNo};
    w->exitProgram();
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Programm beenden"));

    // Cancel, and Yes with a failed save, keep the program running.
    auto w2 = make();
    w2->show();
    ASSERT_TRUE(settle(*w2));
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
    putFigure(doc, 5, 150000, 120000, 40000, 20000, 0xFF);
    w->editorTab().selectSide(1);
    EXPECT_EQ(doc.currentSide, 1);
    putFigure(doc, 2, 160000, 130000, 10000, 10000, 0xFF00);
    const QString path = folder.file(QStringLiteral("karte.kar"));
    dialogs.saveAnswers = {{path, 1}};
    EXPECT_TRUE(w->saveCard());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0 - karte.kar"));
    // Saving leaves the editor on the outside, and the side tabs show it.
    EXPECT_EQ(doc.currentSide, 0);
    EXPECT_EQ(w->editorTab().sideTabs()->currentIndex(), 0);
    // A second save uses the name without asking.
    EXPECT_TRUE(w->saveCard());
    EXPECT_EQ(dialogs.saveRequests.size(), 1);

    w->startupLayoutDone = true;
    dialogs.answers = {BtnNo};
    w->newCardDialog().setModalHook([](NewCardDialog& d) {
        d.addType();
        d.confirmChoice();
    });
    w->cardTypeEditDialog().setModalHook(
        [](CardTypeEditDialog&) { return int(QDialog::Accepted); });
    w->newCard();
    EXPECT_EQ(doc.workingSlots[5]->kind, KindFree);

    dialogs.openAnswers = {{path, 1}};
    w->openCardWithDialog();  // empty working side: no question
    ASSERT_EQ(dialogs.openRequests.size(), 1);
    EXPECT_EQ(dialogs.openRequests[0].directory, w->programFolder());
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("Grußkarten|*.kar"));
    EXPECT_EQ(doc.workingSlots[5]->kind, KindFigure);
    EXPECT_EQ(doc.workingSlots[5]->x, 150000);
    EXPECT_EQ(doc.insideSlots[2]->kind, KindFigure);
    EXPECT_EQ(doc.format.cardWidth, 200);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Tovarin Brisella-Bildwerker 1.0 - karte.kar"));
    EXPECT_EQ(dialogs.messages.size(), 1);  // only the question of "Neu"
}

TEST_F(WindowTest, CardFormatCommandChangesFormatAndViewsButNotTheObjects) {
    auto w = make();
    CardDocument& doc = w->document();
    CardObject& o = putFigure(doc, 1, 123456, 98765, 1000, 1000, 0);
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        EXPECT_DOUBLE_EQ(f.widthEdit->value(), 200);  // filled from the card
        f.widthEdit->setValue(100);
        f.horizontalGapEdit->setValue(3);
        return int(QDialog::Accepted);
    });
    w->editCardFormat();
    EXPECT_DOUBLE_EQ(doc.format.cardWidth, 100);
    EXPECT_DOUBLE_EQ(doc.format.pitchX, 103);
    EXPECT_EQ(o.x, 123456);
    EXPECT_EQ(o.y, 98765);
    EXPECT_EQ(o.kind, KindFigure);
    EXPECT_EQ(doc.sideWidthUnits, sideUnits(100));
    EXPECT_EQ(w->views().outsideView()->width(), int(sideUnits(100) / 312));
    EXPECT_EQ(w->cardFormatCaption(), cardFormatText(doc.format, QLocale()));

    const CardFormat before = doc.format;
    w->cardTypeEditDialog().setModalHook([](CardTypeEditDialog& f) {
        f.widthEdit->setValue(50);
        return int(QDialog::Rejected);
    });
    w->editCardFormat();
    EXPECT_EQ(doc.format, before);
}

TEST_F(WindowTest, PrintOptionsAndPlacementComeBackInTheNextRun) {
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
    // The button opens the user guide, which exists.
    EXPECT_TRUE(AboutDialog::webAddress().isLocalFile());
    EXPECT_TRUE(QFileInfo::exists(AboutDialog::webAddress().toLocalFile()));
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
