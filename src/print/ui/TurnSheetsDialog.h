// The question between the outsides and the insides of a two-sided print on a printer that
// cannot print both sides: turn the printed sheets and put them back in. A small drawing shows
// how the sheet turns and which edge goes into the printer first.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

namespace bb {

inline const QString kTurnSheetsText =
    QStringLiteral("Bitte die Blätter wenden und wieder einlegen");

// The drawing: the printed front of a sheet, a bent arrow turning it about its vertical middle
// like a book page, and the blank back with its top edge marked as the edge that goes in first.
class TurnSheetsPicture : public QWidget {
public:
    explicit TurnSheetsPicture(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
};

class TurnSheetsDialog : public QDialog {
    Q_OBJECT

public:
    explicit TurnSheetsDialog(QWidget* parent = nullptr);
};

}  // namespace bb
