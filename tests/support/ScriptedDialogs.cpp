#include "support/ScriptedDialogs.h"

namespace bbtest {

int ScriptedDialogs::message(const QString& text, const QString& caption, bb::MsgIcon icon,
                             int buttons) {
    messages.append({text, caption, icon, buttons});
    if (answers.empty()) return defaultAnswer;
    const int a = answers.front();
    answers.pop_front();
    return a;
}

bb::FileDialogResult ScriptedDialogs::openFile(const bb::FileDialogRequest& request) {
    openRequests.append(request);
    if (openAnswers.empty()) return {};
    auto a = openAnswers.front();
    openAnswers.pop_front();
    // A tick counts only where the dialog offered the box.
    if (request.checkBoxText.isEmpty()) a.checked = false;
    return a;
}

bb::FileDialogResult ScriptedDialogs::saveFile(const bb::FileDialogRequest& request) {
    saveRequests.append(request);
    if (saveAnswers.empty()) return {};
    auto a = saveAnswers.front();
    saveAnswers.pop_front();
    // A tick counts only where the dialog offered the box.
    if (request.checkBoxText.isEmpty()) a.checked = false;
    return a;
}

bool ScriptedDialogs::chooseColor(QColor& color, const QString&) {
    if (colorAnswers.empty()) return false;
    const QColor a = colorAnswers.front();
    colorAnswers.pop_front();
    if (!a.isValid()) return false;
    color = a;
    return true;
}

bool ScriptedDialogs::chooseFont(QFont& font, QColor& color, const QString&) {
    if (fontAnswers.empty()) return false;
    auto a = fontAnswers.front();
    fontAnswers.pop_front();
    font = a.first;
    color = a.second;
    return true;
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
}

}  // namespace bbtest
