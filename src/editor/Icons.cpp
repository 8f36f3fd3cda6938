#include "editor/Icons.h"

#include <QAction>
#include <QFile>
#include <QHash>
#include <QMenu>
#include <QWidget>

static void initIconResources() {
    // The artwork is compiled into this static library; the linker keeps it only when named.
    Q_INIT_RESOURCE(icons);
}

namespace bb {

namespace {

// Control objectName -> icon name from the freedesktop icon naming scheme (the tool
// palette's tools use names that the common themes add to it).
const QHash<QString, QString>& iconTable() {
    static const QHash<QString, QString> table = {
        // "Datei"
        {QStringLiteral("Neu1"), QStringLiteral("document-new")},
        {QStringLiteral("OpenItem"), QStringLiteral("document-open")},
        {QStringLiteral("SaveItem"), QStringLiteral("document-save")},
        {QStringLiteral("Speichernunter1"), QStringLiteral("document-save-as")},
        {QStringLiteral("ZuletztMenu"), QStringLiteral("document-open-recent")},
        {QStringLiteral("ListeLeerenItem"), QStringLiteral("edit-clear")},
        {QStringLiteral("Scannerauswhlen1"), QStringLiteral("scanner")},
        {QStringLiteral("Bildeinscannen1"), QStringLiteral("scanner")},
        {QStringLiteral("PrintSetup1"), QStringLiteral("printer")},
        {QStringLiteral("Druckerkalibrieren1"), QStringLiteral("document-page-setup")},
        {QStringLiteral("PrintItem"), QStringLiteral("document-print")},
        {QStringLiteral("SerienkartenItem"), QStringLiteral("x-office-address-book")},
        {QStringLiteral("ExitItem"), QStringLiteral("application-exit")},
        // "Bearbeiten"
        {QStringLiteral("Rueckgaengig1"), QStringLiteral("edit-undo")},
        {QStringLiteral("Wiederherstellen1"), QStringLiteral("edit-redo")},
        {QStringLiteral("AusschneidenItem"), QStringLiteral("edit-cut")},
        {QStringLiteral("KopierenItem"), QStringLiteral("edit-copy")},
        {QStringLiteral("EinfuegenItem"), QStringLiteral("edit-paste")},
        {QStringLiteral("AusrichtenItem1"), QStringLiteral("format-justify-center")},
        {QStringLiteral("GanzeKarte1"), QStringLiteral("zoom-fit-best")},
        {QStringLiteral("SchmuckEinfuegen1"), QStringLiteral("emblem-favorite")},
        // "Einstellungen"
        {QStringLiteral("Hintergrundbild1"), QStringLiteral("preferences-desktop-wallpaper")},
        {QStringLiteral("Etikettenformat1"), QStringLiteral("document-properties")},
        {QStringLiteral("Raster1"), QStringLiteral("view-grid")},
        {QStringLiteral("AdressenItem"), QStringLiteral("x-office-address-book")},
        // "Hilfe"
        {QStringLiteral("AnleitungItem"), QStringLiteral("help-contents")},
        {QStringLiteral("About1"), QStringLiteral("help-about")},
        // The editor's tool bar.
        {QStringLiteral("NewBtn"), QStringLiteral("document-new")},
        {QStringLiteral("SpeedItem4"), QStringLiteral("document-open")},
        {QStringLiteral("SpeedItem5"), QStringLiteral("document-save")},
        {QStringLiteral("SpeedItem6"), QStringLiteral("preferences-desktop-wallpaper")},
        {QStringLiteral("SchmuckBtn"), QStringLiteral("emblem-favorite")},
        // The tool palette.
        {QStringLiteral("SpeedItem3"), QStringLiteral("edit-select")},
        {QStringLiteral("SpeedZoom"), QStringLiteral("zoom-in")},
        {QStringLiteral("SpeedHand"), QStringLiteral("transform-browse")},
        {QStringLiteral("SpeedItem1"), QStringLiteral("draw-rectangle")},
        {QStringLiteral("SpeedItem2"), QStringLiteral("insert-text")},
        {QStringLiteral("SpeedItem10"), QStringLiteral("insert-image")},
        {QStringLiteral("SpeedInhalt"), QStringLiteral("draw-text")},
    };
    return table;
}

int decorateActions(const QList<QAction*>& actions) {
    int given = 0;
    for (QAction* a : actions) {
        if (!a->icon().isNull()) continue;
        const QString name = iconNameFor(a->objectName());
        if (name.isEmpty()) continue;
        a->setIcon(themedIcon(name));
        ++given;
    }
    return given;
}

}  // namespace

QString iconNameFor(const QString& objectName) {
    return iconTable().value(objectName);
}

QIcon fallbackIcon(const QString& iconName) {
    static const bool loaded = (initIconResources(), true);
    Q_UNUSED(loaded);
    const QString path = QStringLiteral(":/icons/%1.svg").arg(iconName);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon themedIcon(const QString& iconName) {
    return QIcon::fromTheme(iconName, fallbackIcon(iconName));
}

int decorateWindow(QWidget& window) {
    int given = decorateActions(window.findChildren<QAction*>());
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        // A submenu's entry goes by its action's name, else by the menu's own.
        QAction* entry = menu->menuAction();
        if (entry->icon().isNull()) {
            QString name = iconNameFor(entry->objectName());
            if (name.isEmpty()) name = iconNameFor(menu->objectName());
            if (!name.isEmpty()) {
                entry->setIcon(themedIcon(name));
                ++given;
            }
        }
        // Menus that are filled anew (the recent cards) get their icons when they open.
        QObject::connect(menu, &QMenu::aboutToShow, menu,
                         [menu] { decorateActions(menu->actions()); });
    }
    return given;
}

}  // namespace bb
