// "Zuschneiden": cropping the selected picture inside its fixed frame on the card. The mouse
// drags the photo within the frame, the wheel zooms it about the mouse, Enter (or a press
// outside the frame) ends and keeps the crop, Escape puts back the crop it began with. The
// whole session is one undo step; the picture file is never changed.
#pragma once

#include <QPoint>
#include <QRectF>

namespace bb {

class EditorController;
struct CardObject;

class CropSession {
public:
    explicit CropSession(EditorController& editor) : editor_(editor) {}

    bool running() const { return running_; }
    // Starts on the selected picture; false without one.
    bool start();
    // Keeps the crop (Enter) or puts back the one the session began with (Escape).
    void end();
    void cancel();

    // The mouse and keys while the session runs; each returns true when it took the event. A
    // press outside the frame ends the session and is left to the editor.
    bool press(int side, int x, int y);
    bool move(int x, int y);
    bool release(int x, int y);
    bool wheel(int side, QPoint angleDelta, int x, int y);
    bool key(int key);

private:
    CardObject* picture();
    // (x, y) of the view in the frame's own upright pixels.
    QPointF inFrame(const CardObject& o, int x, int y) const;

    EditorController& editor_;
    bool running_ = false;
    int side_ = 0;
    int slot_ = 0;
    QRectF startCrop_;
    bool dragging_ = false;
    QPointF last_;
};

}  // namespace bb
