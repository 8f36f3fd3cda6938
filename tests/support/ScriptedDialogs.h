// A UserDialogs fake: answers from a script and records every question asked.
#pragma once

#include "document/UserDialogs.h"

#include <QList>
#include <QStringList>

#include <deque>

namespace bbtest {

struct RecordedMessage {
    QString text;
    QString caption;
    bb::MsgIcon icon;
    int buttons;
};

class ScriptedDialogs : public bb::UserDialogs {
public:
    // Answers for message(); when the script is empty the answer is `defaultAnswer`.
    std::deque<int> answers;
    int defaultAnswer = bb::BtnOk;
    // A result's `checked` ticks the request's check box; it is dropped when the request
    // offered none.
    std::deque<bb::FileDialogResult> openAnswers, saveAnswers;
    std::deque<QColor> colorAnswers;  // invalid colour = cancel
    std::deque<std::pair<QFont, QColor>> fontAnswers;

    QList<RecordedMessage> messages;
    QList<bb::FileDialogRequest> openRequests, saveRequests;

    int message(const QString& text, const QString& caption, bb::MsgIcon icon,
                int buttons) override;
    bb::FileDialogResult openFile(const bb::FileDialogRequest& request) override;
    bb::FileDialogResult saveFile(const bb::FileDialogRequest& request) override;
    bool chooseColor(QColor& color, const QString& caption) override;
    bool chooseFont(QFont& font, QColor& color, const QString& caption) override;

    QStringList texts() const;
};

}  // namespace bbtest
