// "Info": product line, what the program is, copyright with the current year, where the
// starter card types come from, and a button that opens the user guide.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;

namespace bb {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The address the guide button opens: the installed user guide, else the sources' one.
    static QUrl webAddress();
    // The text lines shown, after "XXXX" was replaced by the year (tests).
    QStringList lines() const;

private:
    QList<QLabel*> lines_;
};

}  // namespace bb
