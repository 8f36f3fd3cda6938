// The rows a merge takes ("Alle Datensätze", a range, the ticked ones), bound to the window's
// merge session: a click or a typed range changes the session, refresh() shows the session's
// choice again. Cards, envelopes and their dialogs share it, so a choice made in one is the
// choice of the others; each writes what the choice makes into the plan line.
#pragma once

#include <QGroupBox>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace bb {

class MergeSession;

class RowChoiceBox : public QGroupBox {
    Q_OBJECT
public:
    RowChoiceBox(MergeSession& session, QWidget* parent);

    // Shows the session's choice; the person's own typing is not put back over itself (the
    // cursor would jump).
    void refresh();
    // The plan line under the choice: what it makes, or in red why it takes no row.
    void showPlan(const QString& text);
    void showRefusal(const QString& why);

private:
    MergeSession& session_;
    QButtonGroup* choice_ = nullptr;
    QLineEdit* range_ = nullptr;
    QLabel* plan_ = nullptr;
};

}  // namespace bb
