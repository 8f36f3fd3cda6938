// The thumbnail grid (the paint box inside the scroll box): paints the entries of a
// CardBrowser, selects with the mouse and the arrow keys and holds the keyboard focus for the
// browser.
#pragma once

#include "browser/PreviewGrid.h"

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

    // The grid's colours for `palette`: the classic light look for a light palette; for a
    // dark one (text lighter than the window) shades of the window colour, the highlight for
    // the selected cell and the palette's text colours for the names.
    static GridColours coloursFor(const QPalette& palette);

signals:
    // The selection moved (mouse or keys): the scroll box brings it into view.
    void selectionMoved(int index);
    void openSelected();
    void focusChanged(bool focused);
    // Delete on a selected card.
    void deleteRequested();
    // A context menu for the selected card (right click on it, or the menu key) at `globalPos`.
    void menuRequested(const QPoint& globalPos);

protected:
    // A cell's tool tip is its whole file name (a long one is shortened in the cell).
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintGrid(QPainter& painter, const QRect& exposed);
    // Selects entry `index` and repaints the cells whose look changed.
    void select(int index);

    CardBrowser& browser_;
    QImage cell_;  // one cell is drawn here, then copied to the screen
    GridColours colours_;
};

}  // namespace bb
