#include "editor/ObjectMenu.h"

#include "document/CardObject.h"
#include "editor/EditorController.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectCommands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

#include <functional>

namespace bb {

ObjectMenu::ObjectMenu(EditorController& ed, QWidget* menuParent, QObject* parent)
    : QObject(parent) {
    objectMenu_ = new QMenu(menuParent);
    objectMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    objectMenu_->setToolTipsVisible(false);
    const auto add = [this](const char* name, const char* caption, const char* hint,
                            std::function<void()> command) {
        auto* a = objectMenu_->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setStatusTip(QString::fromUtf8(hint));
        QObject::connect(a, &QAction::triggered, objectMenu_, [command] { command(); });
        return a;
    };
    const auto sep = [this](const char* name) {
        objectMenu_->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    const auto withKey = [](QAction* a, const QKeySequence& key) {
        // Shown in the menu only; the window's menu items take the keys.
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
    };
    withKey(add("Ausschneiden1", "Auss&chneiden",
                "Schneidet das Objekt aus und legt es in die Zwischenablage",
                [&ed] { ed.clipboard().cut(); }),
            QKeySequence(Qt::CTRL | Qt::Key_X));
    withKey(add("Kopieren1", "Ko&pieren", "Kopiert das Objekt in die Zwischenablage",
                [&ed] { ed.clipboard().copy(); }),
            QKeySequence(Qt::CTRL | Qt::Key_C));
    withKey(add("Einfuegen1", "Einfü&gen", "Fügt den Inhalt der Zwischenablage ein",
                [&ed] { ed.clipboard().paste(); }),
            QKeySequence(Qt::CTRL | Qt::Key_V));
    withKey(add("Duplizieren1", "&Duplizieren", "Erstellt eine Kopie des Objekts",
                [&ed] { ed.clipboard().duplicate(); }),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    sep("N10");
    QAction* del = add("Lschen1", "&Löschen...", "Löscht das Objekt",
                       [&ed] { ed.commands().deleteSelected(); });
    del->setShortcut(QKeySequence(Qt::Key_Delete));
    del->setShortcutContext(Qt::WidgetShortcut);  // the key itself is the views' own
    sep("N2");
    add("Nachvorne1", "Nach v&orne", "Bringt das Objekt nach vorne, so daß es immer sichtbar ist",
        [&ed] { ed.commands().bringToFront(); });
    add("NachHinen1", "Nach hi&nten",
        "Bringt das Objekt nach hinten, also hinter alle anderen Objekte",
        [&ed] { ed.commands().sendToBack(); });
    arrangeMenu_ = objectMenu_->addMenu(QStringLiteral("A&usrichten"));
    arrangeMenu_->setObjectName(QStringLiteral("AusrichtenM"));
    arrangeMenu_->menuAction()->setObjectName(QStringLiteral("AusrichtenItem"));
    addCentringItems(ed, arrangeMenu_);
    sep("N3");
    add("FarbeM", "&Farbe...", "Ändert die Farbe das Objekts",
        [&ed] { ed.commands().chooseColor(); });
    add("SchriftartM", "&Schriftart...", "Ändert die Schriftart",
        [&ed] { ed.commands().chooseFont(); });
    add("Texteffekte1", "&Texteffekte...", "", [&ed] { ed.commands().editTextEffects(); });
    sep("N6");
    alignItems_[0] = add("Linksbnig1", "Linksbündig", "", [&ed] { ed.commands().setAlignment(0); });
    alignItems_[1] = add("Zentriert1", "Zentriert", "", [&ed] { ed.commands().setAlignment(1); });
    alignItems_[2] =
        add("Rechtsbndig1", "Rechtsbündig", "", [&ed] { ed.commands().setAlignment(2); });
    for (QAction* a : alignItems_) a->setCheckable(true);
    sep("N4");
    add("Transparenz1", "Transparen&z...", "", [&ed] { ed.commands().editTransparency(); });
    add("BildSuchenM", "Bild suchen...", "Sucht die Datei eines Bildes, das nicht gefunden wurde",
        [&ed] { ed.commands().findPicture(); });
    add("SverhM", "Se&itenverhältnis beibehalten",
        "Hiermit wird das Bild nicht verzerrt, sollte immer an sein",
        [&ed] { ed.commands().toggleKeepAspect(); })
        ->setCheckable(true);
    sep("N9");
    add("Nachlinksrotieren1", "Nach links rotieren", "", [&ed] { ed.commands().rotateLeft(); });
    add("Nachrechtsrotieren1", "Nach rechts rotieren", "", [&ed] { ed.commands().rotateRight(); });
    sep("N5");
    struct Fig {
        const char* name;
        const char* caption;
        const char* hint;
    };
    static const Fig figs[10] = {
        {"KreisM", "&Kreis", "Das Objekt ist ein Kreis"},
        {"EllipseM", "&Ellipse", "Das Objekt ist eine Ellipse"},
        {"QuadratM", "&Quadrat", "Das Objekt ist ein Quadrat"},
        {"RechteckM", "&Rechteck", "Das Objekt ist ein Rechteck"},
        {"Rund1M", "Quadrat &abgerundet", "Das Objekt ist ein abgerundetes Quadrat"},
        {"Rund2M", "Rechteck a&bgerundet", "Das Objekt ist ein abgerundetes Rechteck"},
        {"Liniehorizontal1", "Linie &horizontal", "Das Objekt ist eine horizontale Linie"},
        {"Linievertikal1", "Linie &vertikal", "Das Objekt ist eine vertikale Linie"},
        {"Lnieschrghoch1", "Linie schräg hoch", ""},
        {"Linieschrgrunter1", "Linie schräg runter", ""},
    };
    for (int k = 0; k < 10; ++k) {
        figureItems_[k] = add(figs[k].name, figs[k].caption, figs[k].hint,
                              [&ed, k] { ed.commands().setFigureKind(k); });
        figureItems_[k]->setCheckable(true);
    }

    viewMenu_ = new QMenu(menuParent);
    viewMenu_->setObjectName(QStringLiteral("PBoxPopup"));
    auto* bg = viewMenu_->addAction(QStringLiteral("&Hintergrundbild..."));
    bg->setObjectName(QStringLiteral("Hintergrundbild1"));
    bg->setStatusTip(QStringLiteral("Ändert die Einstellungen des Hintergrundbildes"));
    connect(bg, &QAction::triggered, viewMenu_, [&ed] { ed.editBackground(); });
    auto* paste = viewMenu_->addAction(QStringLiteral("&Einfügen"));
    paste->setObjectName(QStringLiteral("EinfuegenV"));
    paste->setStatusTip(QStringLiteral("Fügt den Inhalt der Zwischenablage ein"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    paste->setShortcutContext(Qt::WidgetShortcut);
    connect(paste, &QAction::triggered, viewMenu_, [&ed] { ed.clipboard().paste(); });
    auto* whole = viewMenu_->addAction(QStringLiteral("&Ganze Karte zeigen"));
    whole->setObjectName(QStringLiteral("GanzeKarteM"));
    whole->setStatusTip(QStringLiteral("Zeigt die ganze Karte so groß wie möglich in der Mitte"));
    whole->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    whole->setShortcutContext(Qt::WidgetShortcut);  // the key itself is the views' own
    connect(whole, &QAction::triggered, viewMenu_, [&ed] { ed.showWholeCard(); });
    // The menu's side is set when it opens.
    auto* guides = viewMenu_->addAction(QStringLiteral("Hi&lfslinien entfernen"));
    guides->setObjectName(QStringLiteral("HilfslinienM"));
    guides->setStatusTip(QStringLiteral("Entfernt alle Hilfslinien dieser Seite"));
    connect(guides, &QAction::triggered, viewMenu_,
            [&ed, guides] { ed.removeGuides(guides->data().toInt()); });
}

ObjectMenu::~ObjectMenu() {
    // Menus without a parent widget are ours to delete.
    if (!objectMenu_->parent()) delete objectMenu_;
    if (!viewMenu_->parent()) delete viewMenu_;
}

void ObjectMenu::addCentringItems(EditorController& ed, QMenu* menu) {
    using C = EditorController::CentreOn;
    struct Item {
        const char* name;
        const char* caption;
        const char* hint;
        C where;
    };
    static const Item items[] = {
        {"KarteWaagerechtM", "Auf der Karte &waagerecht zentrieren",
         "Setzt das Objekt waagerecht in die Mitte der Karte", C::CardHorizontally},
        {"KarteSenkrechtM", "Auf der Karte &senkrecht zentrieren",
         "Setzt das Objekt senkrecht in die Mitte der Karte", C::CardVertically},
        {"HaelfteWaagerechtM", "Auf der &Hälfte waagerecht zentrieren",
         "Setzt das Objekt waagerecht in die Mitte der Kartenhälfte, in der es liegt",
         C::HalfHorizontally},
        {"HaelfteMitteM", "In die &Mitte der Hälfte",
         "Setzt das Objekt in die Mitte der Kartenhälfte, in der es liegt", C::HalfMiddle},
    };
    for (const Item& i : items) {
        auto* a = menu->addAction(QString::fromUtf8(i.caption));
        a->setObjectName(QString::fromLatin1(i.name));
        a->setStatusTip(QString::fromUtf8(i.hint));
        const C where = i.where;
        QObject::connect(a, &QAction::triggered, menu, [&ed, where] { ed.centreSelected(where); });
    }
}

QAction* ObjectMenu::item(const QString& name) const {
    for (QMenu* m : {objectMenu_, viewMenu_, arrangeMenu_})
        for (QAction* a : m->actions())
            if (a->objectName() == name) return a;
    return nullptr;
}

void ObjectMenu::prepare(const CardObject& o) {
    const bool fig = o.kind == KindFigure, txt = o.kind == KindText, pic = o.kind == KindPicture;
    const auto en = [this](const char* name, bool on) {
        if (QAction* a = item(QString::fromLatin1(name))) a->setEnabled(on);
    };
    en("FarbeM", fig || txt);
    en("SchriftartM", txt);
    en("Texteffekte1", txt);
    for (QAction* a : alignItems_) a->setEnabled(txt);
    en("Transparenz1", pic);
    en("SverhM", pic);
    // Only a picture whose file was not found offers to look for it.
    item(QStringLiteral("BildSuchenM"))->setVisible(pic && o.picture.isStandIn());
    en("Nachlinksrotieren1", txt || pic);
    en("Nachrechtsrotieren1", txt || pic);
    for (QAction* a : figureItems_) a->setEnabled(fig);
    en("Einfuegen1", ObjectClipboard::canPaste(QGuiApplication::clipboard()->mimeData()));
    en("Lschen1", true);
    en("Nachvorne1", true);
    en("NachHinen1", true);
    if (txt)
        for (int i = 0; i < 3; ++i) alignItems_[i]->setChecked(o.alignment == i);
    item(QStringLiteral("SverhM"))->setChecked(o.keepAspect);
    // One mark among all ten figure kinds, the two diagonal lines included.
    for (int k = 0; k < 10; ++k) figureItems_[k]->setChecked(o.figureKind == k);
}

}  // namespace bb
