// The window's dialogs behind the UserDialogs seam, operated as a user would.
#include "app/QtUserDialogs.h"
#include "editor/ColorCombo.h"
#include "editor/FontDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

using namespace bb;

namespace {

TEST(QtDialogsTest, TheFontChoiceIncludesTheColour) {
    QtUserDialogs dialogs;
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    QColor color(Qt::black);
    bool seen = false;
    // Runs inside the dialog's own event loop, once it is shown.
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Schriftart"));
        EXPECT_EQ(d->sizeEdit->value(), 12);
        d->sizeEdit->setValue(20);
        d->colorBox->setColor(rgbRef(0, 128, 0));
        d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    ASSERT_TRUE(dialogs.chooseFont(font, color, QStringLiteral("Schriftart")));
    EXPECT_TRUE(seen);
    EXPECT_EQ(font.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(font.pointSize(), 20);
    EXPECT_EQ(color, QColor(0, 128, 0));

    // Cancel keeps both.
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<FontDialog*>(QApplication::activeModalWidget())) {
            d->sizeEdit->setValue(30);
            d->reject();
        }
    });
    EXPECT_FALSE(dialogs.chooseFont(font, color, QStringLiteral("Schriftart")));
    EXPECT_EQ(font.pointSize(), 20);
    EXPECT_EQ(color, QColor(0, 128, 0));
}

}  // namespace
