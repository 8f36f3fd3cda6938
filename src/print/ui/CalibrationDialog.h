// The printer calibration dialog: four measured values of the 100 mm test square. The
// fields are where the values live while the program runs; they are loaded from
// "options.dat" when the dialog is made and written back every time it closes.
#pragma once

#include "print/SheetLayout.h"

#include <QDialog>
#include <QString>

class QDoubleSpinBox;

namespace bb {

class PrinterTarget;
class UserDialogs;

class CalibrationDialog : public QDialog {
    Q_OBJECT

public:
    CalibrationDialog(const QString& programFolder, PrinterTarget& printer, UserDialogs& dialogs,
                      QWidget* parent = nullptr);

    // The four values as the fields show them.
    Calibration values() const;
    // Puts values into the fields: each brought into its range, then two decimals.
    void setValues(const Calibration& c);
    // Writes the fields to "options.dat" (whole or not at all); false, after a message naming
    // the file and the reason, when the file cannot be written (the values then still apply
    // until the program ends).
    bool save() const;
    QString filePath() const { return path_; }

    QDoubleSpinBox* leftEdit = nullptr;
    QDoubleSpinBox* topEdit = nullptr;
    QDoubleSpinBox* widthEdit = nullptr;
    QDoubleSpinBox* heightEdit = nullptr;

public slots:
    // "Testrechteck drucken...": prints the 100 mm test square.
    void printTestPage();
    // Loads "options.dat" into the fields; keeps the current values when it is missing.
    void load();

protected:
    // Every way of closing (the button "Zurück...", the close box, Escape) saves.
    void done(int result) override;

private:
    QString path_;
    PrinterTarget& printer_;
    UserDialogs& dialogs_;
};

}  // namespace bb
