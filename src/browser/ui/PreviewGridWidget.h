// The thumbnail grid (the paint box inside the scroll box): paints the entries of a
// CardBrowser, selects with the mouse and the arrow keys and holds the keyboard focus for the
// browser.
#pragma once

#include <QImage>
#include <QWidget>

namespace bb {

class CardBrowser;

class PreviewGridWidget : public QWidget {
    Q_OBJECT
public:
    explicit PreviewGridWidget(CardBrowser& browser, QWidget* parent = nullptr);

    int columns() const;
    // Takes the scroll box's client width and the height the entries need.
    void fitToWidth(int clientWidth);
    // Repaints only the cell of entry `index`.
    void updateEntry(int index);

signals:
    // The selection moved (mouse or keys): the scroll box brings it into view.
    void selectionMoved(int index);
    void openSelected();
    void focusChanged(bool focused);

protected:
    // A cell's tool tip is its whole file name (a long one is shortened in the cell).
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void paintGrid(QPainter& painter, const QRect& exposed);

    CardBrowser& browser_;
    QImage cell_;  // one cell is drawn here, then copied to the screen
};

}  // namespace bb
