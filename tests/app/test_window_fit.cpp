// What the user reads in the window and its dialogs: no label, button or check box is cut at
// the start size, every button explains itself in the status line, and the window comes back
// where the user left it.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>

#include <functional>

using namespace bb;
using bbtest::WindowTest;

namespace {

// Controls of the program, not the inner parts of Qt's own controls (a tab bar's scroll
// buttons, a tool bar's extension button, a spin box's editor).
bool isOwnControl(const QWidget* w) {
    const QWidget* p = w->parentWidget();
    if (!p || w->objectName().startsWith(QLatin1String("qt_"))) return false;
    if (p->objectName().startsWith(QLatin1String("qt_")) && !qobject_cast<const QStackedWidget*>(p))
        return false;
    return !p->inherits("QTabBar") && !p->inherits("QAbstractSpinBox") &&
           !p->inherits("QComboBox") && !p->inherits("QScrollBar");
}

QString describe(const QWidget* w) {
    QString text;
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (const auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    return QStringLiteral("%1 %2 \"%3\" in %4")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text,
             w->window()->objectName());
}

// Calls `visit` once with every page of every tab widget under `root` shown in turn (the
// tab widgets above it showing the page that holds it, hidden tabs shown).
void forEveryPage(QWidget* root, const std::function<void()>& visit) {
    visit();
    for (QTabWidget* tabs : root->findChildren<QTabWidget*>()) {
        for (QWidget* w = tabs; w && w != root; w = w->parentWidget())
            if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
                if (auto* outer = qobject_cast<QTabWidget*>(stack->parentWidget()))
                    outer->setCurrentWidget(w);
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setTabVisible(i, true);
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            visit();
        }
    }
}

// Labels and buttons that are shown narrower than their text needs.
QStringList cutControls(QWidget* root) {
    QStringList cut;
    forEveryPage(root, [&] {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (w->window() != root || !w->isVisible() || !isOwnControl(w)) continue;
            const auto* label = qobject_cast<QLabel*>(w);
            const bool textual =
                (label && label->pixmap().isNull()) || qobject_cast<QAbstractButton*>(w);
            if (!textual) continue;
            // A wrapping label needs its height for its width, any other its width.
            const bool fits = label && label->wordWrap()
                                  ? w->height() >= w->heightForWidth(w->width())
                                  : w->width() >= w->sizeHint().width();
            if (!fits)
                cut << describe(w) + QStringLiteral(" (%1 × %2, needs %3 × %4)")
                                         .arg(w->width())
                                         .arg(w->height())
                                         .arg(w->sizeHint().width())
                                         .arg(w->heightForWidth(w->width()));
        }
    });
    return cut;
}

TEST_F(WindowTest, NoLabelOrButtonIsCutInTheWindowOrItsDialogs) {
    auto w = make();
    w->show();
    ASSERT_TRUE(settle(*w));
    QStringList cut = cutControls(w.get());
    for (QDialog* d : w->findChildren<QDialog*>()) {
        d->show();
        QApplication::processEvents();
        cut << cutControls(d);
        d->hide();
    }
    cut.removeDuplicates();
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QStringLiteral("\n")).toStdString();
    dialogs.answers = {BtnNo};
    w->close();
}

// Every button's status tip reaches the status line when the mouse enters the button.
QStringList buttonsWithoutStatus(MainWindow& w, QWidget* root) {
    QStringList missing;
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>()) {
        if (b->window() != root || !isOwnControl(b)) continue;
        w.statusBar()->clearMessage();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(b, &enter);
        if (b->statusTip().isEmpty() || w.statusBar()->currentMessage() != b->statusTip())
            missing << describe(b);
    }
    return missing;
}

TEST_F(WindowTest, EveryButtonShowsWhatItDoesInTheStatusLine) {
    auto w = make();
    w->show();
    ASSERT_TRUE(settle(*w));
    QStringList missing = buttonsWithoutStatus(*w, w.get());
    for (QDialog* d : w->findChildren<QDialog*>()) missing << buttonsWithoutStatus(*w, d);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral("\n")).toStdString();
    // A dialog closed by a click on a button takes its tip out of the status line.
    QDialog& about = w->aboutDialog();
    about.show();
    QAbstractButton* button = about.findChild<QAbstractButton*>();
    ASSERT_NE(button, nullptr);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(button, &enter);
    ASSERT_EQ(w->statusBar()->currentMessage(), button->statusTip());
    about.hide();
    EXPECT_TRUE(w->statusBar()->currentMessage().isEmpty());
    dialogs.answers = {BtnNo};
    w->close();
}

TEST_F(WindowTest, FirstStartFillsFourFifthsOfTheScreenAndLaterStartsComeBackAsLeft) {
    bbtest::TemporarySettings settings;
    const QRect left(QPoint(23, 40), QSize(765, 552));
    {
        auto w = make(true);
        const QRect screen = w->screen()->availableGeometry();
        EXPECT_NEAR(w->width(), screen.width() * 4 / 5, 1);
        EXPECT_NEAR(w->height(), screen.height() * 4 / 5, 1);
        EXPECT_LE((w->geometry().center() - screen.center()).manhattanLength(), 2);
        w->show();
        ASSERT_TRUE(settle(*w));
        w->setGeometry(left);
        dialogs.answers = {BtnNo};
        ASSERT_TRUE(w->close());
    }
    auto w = make(true);
    w->show();
    EXPECT_EQ(w->geometry(), left)
        << w->geometry().x() << ',' << w->geometry().y() << ' ' << w->width() << 'x' << w->height();
    dialogs.answers = {BtnNo};
    w->close();
}

}  // namespace
