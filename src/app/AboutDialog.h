// "Info": product line, what the program is, copyright with the current year, where the
// starter card types come from, and a button that shows the user guide.
#pragma once

#include <QDialog>

class QLabel;

namespace bb {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The text lines shown, after "XXXX" was replaced by the year (tests).
    QStringList lines() const;

signals:
    // "&Anleitung": the box has closed, and the window shows its guide.
    void guideRequested();

private:
    QList<QLabel*> lines_;
};

}  // namespace bb
