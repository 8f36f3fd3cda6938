// The question at start-up about a card left behind by a program that did not end normally:
// "Wiederherstellen", "Verwerfen" or "Später" (keep the file for the next start).
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace bb {

enum class RecoveryAnswer { Restore, Discard, Later };

struct RecoveryQuestion {
    QString cardFile;        // the card's own file, empty when it was never saved
    QDateTime savedAt;       // when the copy was made
    bool canRestore = true;  // false once another card was restored at this start
};

class RecoveryDialog : public QDialog {
    Q_OBJECT
public:
    explicit RecoveryDialog(const RecoveryQuestion& question, QWidget* parent = nullptr);
    // The question's text, also for tests.
    static QString text(const RecoveryQuestion& question);
    RecoveryAnswer answer() const { return answer_; }
    // Shows the dialog and returns the answer; closing it is "Später".
    static RecoveryAnswer ask(const RecoveryQuestion& question, QWidget* parent);

private:
    RecoveryAnswer answer_ = RecoveryAnswer::Later;
};

}  // namespace bb
