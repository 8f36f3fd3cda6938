// The font dialog: its controls operated as a user would, what it gives back, and that it
// offers scalable fonts only.
#include "editor/ColorCombo.h"
#include "editor/FontDialog.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace bb;

namespace {

int standardIndex(const QString& name) {
    for (int i = 0; i < ColorCombo::kStandardCount; ++i)
        if (ColorCombo::standardName(i) == name) return i;
    return -1;
}

TEST(FontDialogTest, ControlsChooseFontSizeStyleEffectsAndColour) {
    bbtest::ScriptedDialogs dialogs;
    FontDialog d(&dialogs);
    QFont preset(QStringLiteral("Times New Roman"));
    preset.setPointSize(12);
    d.setChoice(preset, QColor(0, 0, 0));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

    // Only scalable families are offered.
    ASSERT_GT(d.familyBox->count(), 0);
    for (int i = 0; i < d.familyBox->count(); ++i)
        EXPECT_TRUE(QFontDatabase::isSmoothlyScalable(d.familyBox->itemText(i)) ||
                    QFontDatabase::isScalable(d.familyBox->itemText(i)))
            << d.familyBox->itemText(i).toStdString();

    const QString family = d.familyBox->itemText(d.familyBox->count() - 1);
    d.familyBox->setFocus();
    QTest::keyClick(d.familyBox, Qt::Key_End);
    EXPECT_EQ(d.familyBox->currentText(), family);
    d.sizeEdit->setFocus();
    d.sizeEdit->selectAll();
    QTest::keyClicks(d.sizeEdit, QStringLiteral("24"));
    d.styleBox->setFocus();
    QTest::keyClick(d.styleBox, Qt::Key_End);  // "Fett Kursiv"
    QTest::mouseClick(d.underlineCheck, Qt::LeftButton);
    QTest::mouseClick(d.strikeOutCheck, Qt::LeftButton);
    QTest::mouseClick(d.strikeOutCheck, Qt::LeftButton);
    emit d.colorBox->activated(standardIndex(QStringLiteral("Rot")));
    // The sample shows the choice.
    EXPECT_EQ(d.sampleLabel->font().family(), family);
    EXPECT_TRUE(d.sampleLabel->font().underline());
    EXPECT_EQ(d.sampleLabel->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const QFont f = d.chosenFont();
    EXPECT_EQ(f.family(), family);
    EXPECT_EQ(f.pointSize(), 24);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_FALSE(f.strikeOut());
    EXPECT_EQ(d.chosenColor(), QColor(255, 0, 0));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(FontDialogTest, PresetComesBackUnchangedAndEveryControlIsNamed) {
    FontDialog d;
    QFont preset(QStringLiteral("Keine Solche Schrift"));
    preset.setPointSize(1638);
    preset.setItalic(true);
    preset.setStrikeOut(true);
    d.setChoice(preset, QColor(1, 2, 3));
    const QFont f = d.chosenFont();
    // A family that is not installed is not renamed by opening and confirming.
    EXPECT_EQ(f.family(), QStringLiteral("Keine Solche Schrift"));
    EXPECT_EQ(f.pointSize(), 1638);
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.bold());
    EXPECT_TRUE(f.strikeOut());
    EXPECT_FALSE(f.underline());
    EXPECT_EQ(d.chosenColor(), QColor(1, 2, 3));
    EXPECT_EQ(d.styleBox->currentText(), QStringLiteral("Kursiv"));

    QStringList unnamed;
    for (const QWidget* w : d.findChildren<QWidget*>()) {
        const bool control = qobject_cast<const QAbstractButton*>(w) ||
                             qobject_cast<const QComboBox*>(w) ||
                             qobject_cast<const QSpinBox*>(w) || qobject_cast<const QLabel*>(w);
        const bool part = qobject_cast<const QComboBox*>(w->parentWidget()) ||
                          qobject_cast<const QSpinBox*>(w->parentWidget());
        if (control && !part && w->objectName().isEmpty())
            unnamed << QString::fromLatin1(w->metaObject()->className());
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u',').toStdString();
}

}  // namespace
