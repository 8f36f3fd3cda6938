// The tool bar of the editor: seven mutually exclusive tools in one group, the content tool
// among them but never shown.
#pragma once

#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace bb {

enum EditorTool : int {
    ToolPointer = 0,  // SpeedItem3 "Zeiger"
    ToolZoom,         // SpeedZoom "Lupe"
    ToolHand,         // SpeedHand "Hand"
    ToolFigure,       // SpeedItem1 "Figur"
    ToolText,         // SpeedItem2 "Text"
    ToolPicture,      // SpeedItem10 "Bild"
    ToolContent,      // SpeedInhalt "Inhalt" (hidden)
};

class ToolPalette : public QWidget {
    Q_OBJECT
public:
    explicit ToolPalette(QWidget* parent = nullptr);

    EditorTool current() const { return current_; }
    // Puts the button of `tool` down, as if it had been clicked.
    void setCurrent(EditorTool tool);
    QToolButton* button(EditorTool tool) const;
    bool isCreationTool() const {
        return current_ == ToolFigure || current_ == ToolText || current_ == ToolPicture;
    }

signals:
    void toolChanged(int tool);

private:
    QButtonGroup* group_ = nullptr;
    QToolButton* buttons_[7] = {};
    EditorTool current_ = ToolPointer;
};

}  // namespace bb
