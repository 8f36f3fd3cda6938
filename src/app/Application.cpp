#include "app/Application.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <exception>

namespace bb {

BrisellaApplication::BrisellaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool BrisellaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (display_) display_(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        if (display_) display_(QStringLiteral("Unbekannter Fehler"));
    }
    return false;
}

bool installGermanQtTranslation(QCoreApplication& app) {
    auto* tr = new QTranslator(&app);
    if (!tr->load(QStringLiteral("qtbase_de"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete tr;
        return false;
    }
    app.installTranslator(tr);
    return true;
}

}  // namespace bb
