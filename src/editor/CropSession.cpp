#include "editor/CropSession.h"

#include "editor/EditMath.h"
#include "editor/EditorController.h"

#include <cmath>

namespace bb {

namespace {
// One notch of the wheel (120) zooms by this factor.
constexpr double kWheelStep = 1.1;
}  // namespace

CardObject* CropSession::picture() {
    if (!running_ || editor_.editedSide() != side_ || editor_.selectedSlot() != slot_)
        return nullptr;
    CardObject* o = editor_.selected();
    return o && o->kind == KindPicture ? o : nullptr;
}

bool CropSession::start() {
    if (running_) return true;
    CardObject* o = editor_.selected();
    if (!o || o->kind != KindPicture || o->picture.isNull()) return false;
    running_ = true;
    side_ = editor_.editedSide();
    slot_ = editor_.selectedSlot();
    startCrop_ = o->extras.crop;
    dragging_ = false;
    editor_.history().begin();
    editor_.repaintBoth();
    return true;
}

void CropSession::end() {
    if (!running_) return;
    if (CardObject* o = picture()) o->extras.crop = storedCrop(o->extras.crop);
    running_ = false;
    dragging_ = false;
    editor_.history().end(QStringLiteral("Zuschneiden"));
    editor_.repaintBoth();
}

void CropSession::cancel() {
    if (!running_) return;
    if (CardObject* o = picture()) o->extras.crop = startCrop_;
    running_ = false;
    dragging_ = false;
    editor_.history().end(QStringLiteral("Zuschneiden"));
    editor_.repaintBoth();
}

QPointF CropSession::inFrame(const CardObject& o, int x, int y) const {
    const PixelBox b = pixelBox(editor_.doc(), o);
    return unturnPoint(b, o.extras.fineAngle, QPointF(x, y)) - QPointF(b.left, b.top);
}

bool CropSession::press(int side, int x, int y) {
    CardObject* o = picture();
    if (!o) {
        end();
        return false;
    }
    const PixelBox b = pixelBox(editor_.doc(), *o);
    if (side != side_ || !turnedContains(b, o->extras.fineAngle, x, y)) {
        end();
        return false;
    }
    dragging_ = true;
    last_ = inFrame(*o, x, y);
    return true;
}

bool CropSession::move(int x, int y) {
    if (!running_) return false;
    CardObject* o = picture();
    if (!o || !dragging_) return true;
    const QPointF now = inFrame(*o, x, y);
    const PixelBox b = pixelBox(editor_.doc(), *o);
    o->extras.crop =
        cropDragged(o->extras.crop, now.x() - last_.x(), now.y() - last_.y(), b.width, b.height);
    last_ = now;
    editor_.repaintView(side_);
    return true;
}

bool CropSession::release(int x, int y) {
    if (!running_) return false;
    move(x, y);
    dragging_ = false;
    return true;
}

bool CropSession::wheel(int side, QPoint angleDelta, int x, int y) {
    CardObject* o = picture();
    if (!o || side != side_ || angleDelta.y() == 0) return running_;
    const PixelBox b = pixelBox(editor_.doc(), *o);
    if (b.width <= 0 || b.height <= 0) return true;
    const QPointF at = inFrame(*o, x, y);
    const QPointF fraction(std::clamp(at.x() / b.width, 0.0, 1.0),
                           std::clamp(at.y() / b.height, 0.0, 1.0));
    const double factor = std::pow(kWheelStep, angleDelta.y() / 120.0);
    o->extras.crop = cropZoomed(o->extras.crop, factor, fraction);
    editor_.repaintView(side_);
    return true;
}

bool CropSession::key(int key) {
    if (!running_) return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        end();
        return true;
    }
    if (key == Qt::Key_Escape) {
        cancel();
        return true;
    }
    return false;
}

}  // namespace bb
