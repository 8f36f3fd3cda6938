// "Etiketten drucken": the addresses of the merge session's chosen rows on a label sheet. The
// sheet (a shipped one or the person's own, edited in a small dialog), the labels already used
// (counted, or clicked on the preview), the copies of each address and the address template;
// a preview of the first sheet; printing on the program's printer or saving a PDF file.
#pragma once

#include "print/LabelPrint.h"

#include <QDialog>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QSpinBox;

namespace bb {

class MergeSession;
class PrinterTarget;
class UserDialogs;

// The first sheet of a label job with the labels' outlines, the used ones shaded. A click on a
// label that is free marks it and every label before it used; a click on a used label frees
// it and those after it.
class LabelSheetPreview : public QWidget {
    Q_OBJECT
public:
    explicit LabelSheetPreview(QWidget* parent = nullptr);
    void setJob(const LabelJob& job);
    // Where the label at `position` lies in the widget.
    QRectF labelRect(int position) const;
    QSize sizeHint() const override;

signals:
    void usedChosen(int used);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double pxPerMm() const;
    QPointF sheetOrigin() const;

    LabelJob job_;
};

class LabelDialog : public QDialog {
    Q_OBJECT
public:
    // `settings` (may be null) keeps the own sheet, the chosen sheet and the template;
    // `printer` (may be null: then "Drucken" saves a PDF file) is the program's printer.
    LabelDialog(MergeSession& session, UserDialogs& dialogs, QSettings* settings,
                PrinterTarget* printer, QWidget* parent = nullptr);

    // Takes the session's current rows and copies; call before showing the dialog.
    void prepare();

    const LabelSheet& sheet() const { return sheet_; }
    int used() const;
    int copies() const;
    QString labelTemplate() const;
    // The labels as they would print now; no labels when the session chooses no row.
    const LabelJob& job() const { return job_; }
    // Tests answer the own-sheet dialog through this (exec by default).
    void setRunModal(std::function<int(QDialog&)> run) { runModal_ = std::move(run); }

    // "Als PDF...": asks for the file and writes it whole; false when cancelled or failed.
    bool savePdf();
    // "Drucken": on the program's printer, or as a PDF file where it prints to one.
    bool print();

private:
    void layOut(QPushButton* standard, QPushButton* close);
    void connectControls(QPushButton* standard, QPushButton* close);
    void sheetChosen(int index);
    void editCustomSheet();
    void refresh();
    void say(const QString& text);

    MergeSession& session_;
    UserDialogs& dialogs_;
    QSettings* settings_;
    PrinterTarget* printer_;
    std::function<int(QDialog&)> runModal_;
    LabelSheet sheet_;
    LabelJob job_;
    MergePlan plan_;
    QString planError_;
    QComboBox* sheetCombo_ = nullptr;
    QPushButton* customButton_ = nullptr;
    QSpinBox* used_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QPlainTextEdit* template_ = nullptr;
    LabelSheetPreview* preview_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* pdfButton_ = nullptr;
};

// The small dialog of the own sheet's measures; its OK button stays refused while the labels
// do not fit the paper or overlap, with the reason shown.
class CustomSheetDialog : public QDialog {
    Q_OBJECT
public:
    explicit CustomSheetDialog(const LabelSheet& sheet, QWidget* parent = nullptr);
    LabelSheet sheet() const;
    QString problem() const;

private:
    void check();

    LabelSheet base_;
    QList<QWidget*> fields_;
    QLabel* problem_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace bb
