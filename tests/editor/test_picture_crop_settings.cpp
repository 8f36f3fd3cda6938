// Cropping a picture inside its frame and the "Bildeinstellungen" dialog: the crop arithmetic,
// the session driven by mouse, wheel and keys, and the dialog's values, preview and undo.
#include "EditingFixture.h"

#include "editor/CropSession.h"
#include "editor/EditMath.h"
#include "editor/PictureSettingsDialog.h"
#include "pictures/DibImage.h"

#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

using namespace bb;
using bbtest::EditingFixture;

namespace {

void expectRect(const QRectF& a, const QRectF& b) {
    EXPECT_NEAR(a.left(), b.left(), 1e-9);
    EXPECT_NEAR(a.top(), b.top(), 1e-9);
    EXPECT_NEAR(a.width(), b.width(), 1e-9);
    EXPECT_NEAR(a.height(), b.height(), 1e-9);
}

TEST(CropArithmetic, DraggingMovesThePhotoWithTheMouseWithinThePicture) {
    // Half the picture shown in a 100 × 50 box: 10 pixels right shows 5 % further left.
    expectRect(cropDragged(QRectF(0.25, 0.25, 0.5, 0.5), 10, -5, 100, 50),
               QRectF(0.2, 0.3, 0.5, 0.5));
    // Never beyond the picture's edge, and the whole picture cannot move at all.
    expectRect(cropDragged(QRectF(0.25, 0.25, 0.5, 0.5), 1000, 1000, 100, 50),
               QRectF(0, 0, 0.5, 0.5));
    expectRect(cropDragged(QRectF(), 30, 30, 100, 50), QRectF(0, 0, 1, 1));
}

TEST(CropArithmetic, ZoomKeepsThePointUnderTheMouseAndItsBounds) {
    // Twice as close about the box's centre: the middle half.
    expectRect(cropZoomed(QRectF(), 2, QPointF(0.5, 0.5)), QRectF(0.25, 0.25, 0.5, 0.5));
    // About the top-left corner: that corner stays.
    expectRect(cropZoomed(QRectF(), 4, QPointF(0, 0)), QRectF(0, 0, 0.25, 0.25));
    // About a point at 3/4 of a half crop: the picture point 0.25 + 0.75 · 0.5 stays at 3/4.
    const QRectF z = cropZoomed(QRectF(0.25, 0, 0.5, 0.5), 2, QPointF(0.75, 0.5));
    EXPECT_NEAR(z.left() + 0.75 * z.width(), 0.625, 1e-9);
    EXPECT_NEAR(z.width(), 0.25, 1e-9);
    // Out beyond the whole picture stops at the whole picture; in stops at a hundredth.
    expectRect(cropZoomed(QRectF(0.4, 0.4, 0.2, 0.2), 0.01, QPointF(0.5, 0.5)), QRectF(0, 0, 1, 1));
    EXPECT_NEAR(cropZoomed(QRectF(), 1e6, QPointF(0.5, 0.5)).width(), 0.01, 1e-12);
    EXPECT_TRUE(storedCrop(QRectF(0, 0, 1, 1)).isEmpty());
    expectRect(storedCrop(QRectF(0, 0, 0.5, 1)), QRectF(0, 0, 0.5, 1));
}

class PictureEditing : public EditingFixture {
protected:
    CardObject& addPicture() {
        CardObject& o = put(2, KindPicture, 150, 150, 100, 50);
        o.picture = newDib(40, 20, 24);
        o.keepAspect = false;
        ed->selectSlot(2);
        tab->views().paintBoth();
        return o;
    }
    void key(int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        ed->keyPress(e);
    }
};

TEST_F(PictureEditing, DoubleClickCropsByDragAndWheelEnterKeepsOneStep) {
    CardObject& o = addPicture();
    const int steps = ed->history().stack().count();
    // A click and the double click that follows it, as a platform without a second press
    // delivers them.
    click(SideOutside, 200, 175);
    ed->doubleClick(SideOutside, Qt::LeftButton, Qt::NoModifier, 200, 175);
    ASSERT_TRUE(ed->cropSession().running());
    // Two notches in about the centre: 1/1.21 of the picture.
    ASSERT_TRUE(ed->wheel(SideOutside, Qt::NoModifier, QPoint(0, 240), 200, 175));
    EXPECT_NEAR(o.extras.crop.width(), 1 / 1.21, 1e-9);
    EXPECT_NEAR(o.extras.crop.center().x(), 0.5, 1e-9);
    // Dragging the photo 10 pixels left shows more of its right part; the frame stays.
    const QRectF zoomed = o.extras.crop;
    press(SideOutside, 200, 175);
    move(SideOutside, 190, 175);
    release(SideOutside, 190, 175);
    EXPECT_NEAR(o.extras.crop.left(), zoomed.left() + 0.1 * zoomed.width(), 1e-9);
    EXPECT_EQ(o.x, 15000);
    EXPECT_EQ(o.width, 10000);
    key(Qt::Key_Return);
    EXPECT_FALSE(ed->cropSession().running());
    EXPECT_EQ(ed->history().stack().count(), steps + 1);
    const QRectF kept = o.extras.crop;
    ed->history().undo();
    EXPECT_TRUE(o.extras.crop.isEmpty());
    ed->history().redo();
    expectRect(o.extras.crop, kept);
}

TEST_F(PictureEditing, EscapePutsBackTheCropAndLeavesNoStep) {
    CardObject& o = addPicture();
    o.extras.crop = QRectF(0.1, 0.1, 0.5, 0.5);
    const int steps = ed->history().stack().count();
    ed->commands().cropPicture();
    ASSERT_TRUE(ed->cropSession().running());
    ed->wheel(SideOutside, Qt::NoModifier, QPoint(0, -120), 200, 175);
    EXPECT_NE(o.extras.crop, QRectF(0.1, 0.1, 0.5, 0.5));
    key(Qt::Key_Delete);  // other keys do nothing while cropping
    EXPECT_TRUE(o.used());
    key(Qt::Key_Escape);
    EXPECT_FALSE(ed->cropSession().running());
    EXPECT_EQ(o.extras.crop, QRectF(0.1, 0.1, 0.5, 0.5));
    EXPECT_EQ(ed->history().stack().count(), steps);
}

TEST_F(PictureEditing, ASettingsDialogOkIsOneStepCancelChangesNothing) {
    CardObject& o = addPicture();
    o.extras.contrast = 15;
    PictureSettingsDialog& dlg = ed->commands().pictureSettingsDialog();
    int step = 0;
    answer = [&](QDialog&) {
        // The dialog shows the object's values; its preview follows each change.
        EXPECT_EQ(dlg.contrastEdit->value(), 15);
        EXPECT_EQ(dlg.contrastSlider->value(), 15);
        EXPECT_NEAR(double(dlg.previewImage().width()) / dlg.previewImage().height(), 2.0, 0.05);
        const QImage before = dlg.previewImage();
        dlg.brightnessSlider->setValue(40);
        EXPECT_EQ(dlg.brightnessEdit->value(), 40);
        dlg.sepiaRadio->setChecked(true);
        dlg.cornerEdit->setValue(2.5);
        dlg.featherEdit->setValue(1);
        EXPECT_NE(dlg.previewImage(), before);
        return ++step == 1 ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    const int steps = ed->history().stack().count();
    ed->commands().editPictureSettings();
    EXPECT_EQ(o.extras.brightness, 40);
    EXPECT_EQ(o.extras.contrast, 15);
    EXPECT_EQ(o.extras.tone, ToneSepia);
    EXPECT_EQ(o.extras.cornerRadius, 250);
    EXPECT_EQ(o.extras.feather, 100);
    EXPECT_EQ(ed->history().stack().count(), steps + 1);
    // Cancel keeps what the object has, though the dialog's controls were changed.
    o.extras.brightness = -5;
    ed->commands().editPictureSettings();
    EXPECT_EQ(o.extras.brightness, -5);
    EXPECT_EQ(ed->history().stack().count(), steps + 1);
    ed->history().undo();
    EXPECT_EQ(o.extras.tone, ToneColour);
    EXPECT_EQ(o.extras.cornerRadius, 0);
}

}  // namespace
