// The application object: shows any exception that escapes an event handler in the general
// error display instead of ending the program.
#pragma once

#include <QApplication>

#include <functional>

namespace bb {

class BrisellaApplication : public QApplication {
public:
    BrisellaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    void setErrorDisplay(std::function<void(const QString&)> display) {
        display_ = std::move(display);
    }

private:
    std::function<void(const QString&)> display_;
};

// Loads Qt's own German translation (qtbase_de.qm) so that standard buttons and dialogs read
// German. False when the translation is not installed.
bool installGermanQtTranslation(QCoreApplication& app);

}  // namespace bb
