#include "editor/EditorInput.h"

#include <QVariant>

namespace bb {

// A view without an editing layer only shows the card.
void EditorInput::mousePress(int, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void EditorInput::mouseMove(int, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {}
void EditorInput::mouseRelease(int, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void EditorInput::doubleClick(int, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void EditorInput::keyPress(QKeyEvent&) {}
bool EditorInput::takesShortcut(const QKeyEvent&) {
    return false;
}
void EditorInput::inputMethod(QInputMethodEvent&) {}
QVariant EditorInput::inputMethodQuery(Qt::InputMethodQuery) {
    return {};
}
bool EditorInput::wheel(int, Qt::KeyboardModifiers, QPoint, int, int) {
    return false;
}
void EditorInput::beforePaint() {}
void EditorInput::drawMarks(int, QPainter&, int, int) {}
void EditorInput::drawOverlay(int, QPainter&) {}
void EditorInput::drawAids(int, QPainter&, int, int) {}
void EditorInput::rulerPress(int, bool, int, int) {}
void EditorInput::rulerMove(int, int, int) {}
void EditorInput::rulerRelease(int, int, int) {}

}  // namespace bb
