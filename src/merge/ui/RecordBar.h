// The record bar above the editor's views and the print preview: "Datensatz 3 von 120" with
// buttons to the first, previous, next and last record of the session's list. Hidden while
// the card has no list.
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace bb {

class MergeSession;

class RecordBar : public QWidget {
    Q_OBJECT
public:
    explicit RecordBar(MergeSession& session, QWidget* parent = nullptr);

    QString caption() const;

private:
    void refresh();

    MergeSession& session_;
    QToolButton* first_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* last_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* listName_ = nullptr;
};

}  // namespace bb
