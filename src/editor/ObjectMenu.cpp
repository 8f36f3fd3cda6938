#include "editor/ObjectMenu.h"

#include "document/CardObject.h"
#include "editor/CommandRegistry.h"
#include "editor/EditorCommands.h"
#include "editor/EditorController.h"
#include "render/Ornaments.h"

#include <QAction>
#include <QMenu>

namespace bb {

ObjectMenu::ObjectMenu(EditorController& ed, QWidget* menuParent, QObject* parent)
    : QObject(parent) {
    CommandRegistry& registry = ed.commandRegistry();
    registry_ = &registry;
    objectMenu_ = new QMenu(menuParent);
    objectMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    objectMenu_->setToolTipsVisible(false);
    addClipboardItems(registry);
    separator("N10");
    // The Delete key itself is the views' own: the item only shows it.
    plug(registry, QStringLiteral("object.delete"), objectMenu_);
    separator("N2");
    addArrangeItems(registry);
    separator("N3");
    addPropertyItems(registry);
    separator("N5");
    addFigureItems(registry);
    separator("N12");
    addGroupItems(registry);
    buildViewMenu(registry, menuParent);
}

ObjectMenu::~ObjectMenu() {
    // Menus without a parent widget are ours to delete.
    if (!objectMenu_->parent()) delete objectMenu_;
    if (!viewMenu_->parent()) delete viewMenu_;
}

QAction* ObjectMenu::plug(CommandRegistry& registry, const QString& id, QMenu* menu) {
    // The object menu's own commands act through the menu only; their keys are shown.
    QAction* a = registry.action(id, objectMenu_, Qt::WidgetShortcut);
    menu->addAction(a);
    return a;
}

void ObjectMenu::separator(const char* name) {
    objectMenu_->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void ObjectMenu::addClipboardItems(CommandRegistry& registry) {
    // The window's "&Bearbeiten" commands under letters of this menu; the window's items take
    // the keys, this menu shows them.
    struct Face {
        const QString& id;
        const char* caption;
        const char* name;
    };
    const Face faces[] = {
        {cmd::kCut, "Auss&chneiden", "Ausschneiden1"},
        {cmd::kCopy, "Ko&pieren", "Kopieren1"},
        {cmd::kPaste, "Einfü&gen", "Einfuegen1"},
        {cmd::kDuplicate, "&Duplizieren", "Duplizieren1"},
    };
    for (const Face& f : faces) {
        CommandRegistry::Face face;
        face.caption = QString::fromUtf8(f.caption);
        face.objectName = QString::fromLatin1(f.name);
        face.showKeys = true;
        objectMenu_->addAction(registry.face(f.id, objectMenu_, face));
    }
}

void ObjectMenu::addArrangeItems(CommandRegistry& registry) {
    plug(registry, QStringLiteral("object.toFront"), objectMenu_);
    plug(registry, QStringLiteral("object.toBack"), objectMenu_);
    arrangeMenu_ = objectMenu_->addMenu(QStringLiteral("A&usrichten"));
    arrangeMenu_->setObjectName(QStringLiteral("AusrichtenM"));
    arrangeMenu_->menuAction()->setObjectName(QStringLiteral("AusrichtenItem"));
    // The same centring commands as the window's "Ausri&chten".
    for (const QString& id : centringCommands())
        arrangeMenu_->addAction(registry.face(id, arrangeMenu_, {}));
    arrangeMenu_->addSeparator()->setObjectName(QStringLiteral("N11"));
    for (const QString& id : arrangeCommands())
        arrangeMenu_->addAction(registry.face(id, arrangeMenu_, {}));
}

void ObjectMenu::addGroupItems(CommandRegistry& registry) {
    // Every letter of these captions is taken in this menu: they go without one; the window's
    // items take the keys, this menu shows them.
    const struct {
        const QString& id;
        const char* caption;
        const char* name;
    } faces[] = {
        {cmd::kGroup, "Gruppieren", "GruppierenM"},
        {cmd::kUngroup, "Gruppierung aufheben", "GruppeAufhebenM"},
    };
    for (const auto& f : faces) {
        CommandRegistry::Face face;
        face.caption = QString::fromUtf8(f.caption);
        face.objectName = QString::fromLatin1(f.name);
        face.showKeys = true;
        objectMenu_->addAction(registry.face(f.id, objectMenu_, face));
    }
}

void ObjectMenu::addPropertyItems(CommandRegistry& registry) {
    plug(registry, QStringLiteral("object.color"), objectMenu_);
    plug(registry, QStringLiteral("object.font"), objectMenu_);
    plug(registry, QStringLiteral("object.textEffects"), objectMenu_);
    CommandRegistry::Face verse;
    verse.caption = QStringLiteral("Spruch einf&ügen...");
    verse.objectName = QStringLiteral("SpruchEinfuegenM");
    objectMenu_->addAction(registry.face(cmd::kInsertVerse, objectMenu_, verse));
    separator("N6");
    for (int i = 0; i < 3; ++i) alignItems_[i] = plug(registry, alignmentCommand(i), objectMenu_);
    separator("N4");
    plug(registry, QStringLiteral("object.transparency"), objectMenu_);
    plug(registry, QStringLiteral("object.findPicture"), objectMenu_);
    plug(registry, QStringLiteral("object.keepAspect"), objectMenu_);
    separator("N9");
    plug(registry, QStringLiteral("object.rotateLeft"), objectMenu_);
    plug(registry, QStringLiteral("object.rotateRight"), objectMenu_);
    plug(registry, QStringLiteral("object.pictureSettings"), objectMenu_);
    plug(registry, QStringLiteral("object.crop"), objectMenu_);
}

void ObjectMenu::addFigureItems(CommandRegistry& registry) {
    for (int k = 0; k < 10; ++k) figureItems_[k] = plug(registry, figureCommand(k), objectMenu_);
}

void ObjectMenu::buildViewMenu(CommandRegistry& registry, QWidget* menuParent) {
    viewMenu_ = new QMenu(menuParent);
    viewMenu_->setObjectName(QStringLiteral("PBoxPopup"));
    viewMenu_->addAction(registry.face(cmd::kBackground, viewMenu_, {}));
    CommandRegistry::Face paste;
    paste.objectName = QStringLiteral("EinfuegenV");
    paste.showKeys = true;
    viewMenu_->addAction(registry.face(cmd::kPaste, viewMenu_, paste));
    CommandRegistry::Face whole;
    whole.objectName = QStringLiteral("GanzeKarteM");
    whole.statusTip = QStringLiteral("Zeigt die ganze Karte so groß wie möglich in der Mitte");
    whole.ownStatusTip = true;
    whole.showKeys = true;  // the key itself is the views' own
    viewMenu_->addAction(registry.face(cmd::kWholeCard, viewMenu_, whole));
    // The menu's side is set when it opens.
    viewMenu_->addAction(registry.action(cmd::kRemoveGuides, viewMenu_));
    CommandRegistry::Face verse;
    verse.caption = QStringLiteral("&Spruch einfügen...");
    verse.objectName = QStringLiteral("SpruchEinfuegenV");
    viewMenu_->addAction(registry.face(cmd::kInsertVerse, viewMenu_, verse));
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
    en("FarbeM", fig || txt || isRecolourableOrnament(o));
    en("SchriftartM", txt);
    en("Texteffekte1", txt);
    en("SpruchEinfuegenM", txt);
    for (QAction* a : alignItems_) a->setEnabled(txt);
    en("Transparenz1", pic);
    en("BildeinstellungenM", pic);
    en("ZuschneidenM", pic);
    en("SverhM", pic);
    // Only a picture whose file was not found offers to look for it.
    item(QStringLiteral("BildSuchenM"))->setVisible(pic && o.picture.isStandIn());
    en("Nachlinksrotieren1", txt || pic);
    en("Nachrechtsrotieren1", txt || pic);
    for (QAction* a : figureItems_) a->setEnabled(fig);
    en("Einfuegen1", registry_->applies(cmd::kPaste));
    en("Lschen1", true);
    en("Nachvorne1", true);
    en("NachHinen1", true);
    en("GruppierenM", registry_->applies(cmd::kGroup));
    en("GruppeAufhebenM", registry_->applies(cmd::kUngroup));
    for (QAction* a : arrangeMenu_->actions())
        if (!a->isSeparator()) a->setEnabled(registry_->applies(registry_->commandOf(a)));
    if (txt)
        for (int i = 0; i < 3; ++i) alignItems_[i]->setChecked(o.alignment == i);
    item(QStringLiteral("SverhM"))->setChecked(o.keepAspect);
    // One mark among all ten figure kinds, the two diagonal lines included.
    for (int k = 0; k < 10; ++k) figureItems_[k]->setChecked(o.figureKind == k);
}

}  // namespace bb
