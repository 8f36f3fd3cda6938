#include "editor/EditorCommands.h"

#include "editor/CommandRegistry.h"
#include "editor/EditorController.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectCommands.h"
#include "editor/VerseDialog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <functional>

namespace bb {

namespace {

using Command = CommandRegistry::Command;

Command command(const char* id, const char* caption, const char* name, const char* hint,
                std::function<void()> run) {
    return CommandRegistry::make(QString::fromLatin1(id), QString::fromUtf8(caption),
                                 QString::fromLatin1(name), QString::fromUtf8(hint),
                                 std::move(run));
}

void defineClipboard(EditorController& ed, CommandRegistry& r) {
    const auto selection = [&ed] { return ed.selected() != nullptr; };
    Command cut = command("edit.cut", "&Ausschneiden", "AusschneidenItem",
                          "Schneidet das Objekt aus und legt es in die Zwischenablage",
                          [&ed] { ed.clipboard().cut(); });
    cut.keys = {QKeySequence(Qt::CTRL | Qt::Key_X)};
    cut.enabled = selection;
    r.define(cut);
    Command copy =
        command("edit.copy", "&Kopieren", "KopierenItem",
                "Kopiert das Objekt in die Zwischenablage", [&ed] { ed.clipboard().copy(); });
    copy.keys = {QKeySequence(Qt::CTRL | Qt::Key_C)};
    copy.enabled = selection;
    r.define(copy);
    Command paste =
        command("edit.paste", "&Einfügen", "EinfuegenItem",
                "Fügt den Inhalt der Zwischenablage ein", [&ed] { ed.clipboard().paste(); });
    paste.keys = {QKeySequence(Qt::CTRL | Qt::Key_V)};
    paste.enabled = [] {
        return ObjectClipboard::canPaste(QGuiApplication::clipboard()->mimeData());
    };
    r.define(paste);
    Command duplicate =
        command("edit.duplicate", "&Duplizieren", "DuplizierenItem",
                "Erstellt eine Kopie des Objekts", [&ed] { ed.clipboard().duplicate(); });
    duplicate.keys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)};
    duplicate.enabled = selection;
    r.define(duplicate);
}

void defineObjectCommands(EditorController& ed, CommandRegistry& r) {
    Command del = command("object.delete", "&Löschen...", "Lschen1", "Löscht das Objekt",
                          [&ed] { ed.commands().deleteSelected(); });
    del.keys = {QKeySequence(Qt::Key_Delete)};
    r.define(del);
    struct Plain {
        const char* id;
        const char* caption;
        const char* name;
        const char* hint;
        void (ObjectCommands::*run)();
        bool checkable;
    };
    static const Plain plain[] = {
        {"object.toFront", "Nach v&orne", "Nachvorne1",
         "Bringt das Objekt nach vorne, so daß es immer sichtbar ist",
         &ObjectCommands::bringToFront, false},
        {"object.toBack", "Nach hi&nten", "NachHinen1",
         "Bringt das Objekt nach hinten, also hinter alle anderen Objekte",
         &ObjectCommands::sendToBack, false},
        {"object.color", "&Farbe...", "FarbeM", "Ändert die Farbe das Objekts",
         &ObjectCommands::chooseColor, false},
        {"object.font", "&Schriftart...", "SchriftartM", "Ändert die Schriftart",
         &ObjectCommands::chooseFont, false},
        {"object.textEffects", "&Texteffekte...", "Texteffekte1", "",
         &ObjectCommands::editTextEffects, false},
        {"object.transparency", "Transparen&z...", "Transparenz1", "",
         &ObjectCommands::editTransparency, false},
        {"object.findPicture", "Bild suchen...", "BildSuchenM",
         "Sucht die Datei eines Bildes, das nicht gefunden wurde", &ObjectCommands::findPicture,
         false},
        {"object.keepAspect", "Se&itenverhältnis beibehalten", "SverhM",
         "Hiermit wird das Bild nicht verzerrt, sollte immer an sein",
         &ObjectCommands::toggleKeepAspect, true},
        {"object.rotateLeft", "Nach links rotieren", "Nachlinksrotieren1", "",
         &ObjectCommands::rotateLeft, false},
        {"object.rotateRight", "Nach rechts rotieren", "Nachrechtsrotieren1", "",
         &ObjectCommands::rotateRight, false},
        {"object.pictureSettings", "Bildeinstellungen...", "BildeinstellungenM",
         "Helligkeit, Kontrast, Farbton, Ecken und Rand des Bildes",
         &ObjectCommands::editPictureSettings, false},
        {"object.crop", "Zuschneiden", "ZuschneidenM",
         "Zeigt einen Ausschnitt des Bildes: Bild im Rahmen ziehen, mit dem Mausrad zoomen, "
         "Eingabetaste beendet",
         &ObjectCommands::cropPicture, false},
    };
    for (const Plain& p : plain) {
        Command c = command(p.id, p.caption, p.name, p.hint,
                            [&ed, run = p.run] { (ed.commands().*run)(); });
        c.checkable = p.checkable;
        r.define(c);
    }
}

void defineKindCommands(EditorController& ed, CommandRegistry& r) {
    struct Item {
        const char* name;
        const char* caption;
        const char* hint;
    };
    static const Item alignments[3] = {
        {"Linksbnig1", "Linksbündig", ""},
        {"Zentriert1", "Zentriert", ""},
        {"Rechtsbndig1", "Rechtsbündig", ""},
    };
    for (int i = 0; i < 3; ++i) {
        Command c = command("", alignments[i].caption, alignments[i].name, alignments[i].hint,
                            [&ed, i] { ed.commands().setAlignment(i); });
        c.id = alignmentCommand(i);
        c.checkable = true;
        r.define(c);
    }
    static const Item figures[10] = {
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
        Command c = command("", figures[k].caption, figures[k].name, figures[k].hint,
                            [&ed, k] { ed.commands().setFigureKind(k); });
        c.id = figureCommand(k);
        c.checkable = true;
        r.define(c);
    }
}

void defineCentring(EditorController& ed, CommandRegistry& r) {
    using C = EditorController::CentreOn;
    struct Item {
        const char* id;
        const char* name;
        const char* caption;
        const char* hint;
        C where;
    };
    static const Item items[] = {
        {"centre.cardHorizontally", "KarteWaagerechtM", "Auf der Karte &waagerecht zentrieren",
         "Setzt das Objekt waagerecht in die Mitte der Karte", C::CardHorizontally},
        {"centre.cardVertically", "KarteSenkrechtM", "Auf der Karte &senkrecht zentrieren",
         "Setzt das Objekt senkrecht in die Mitte der Karte", C::CardVertically},
        {"centre.halfHorizontally", "HaelfteWaagerechtM", "Auf der &Hälfte waagerecht zentrieren",
         "Setzt das Objekt waagerecht in die Mitte der Kartenhälfte, in der es liegt",
         C::HalfHorizontally},
        {"centre.halfMiddle", "HaelfteMitteM", "In die &Mitte der Hälfte",
         "Setzt das Objekt in die Mitte der Kartenhälfte, in der es liegt", C::HalfMiddle},
    };
    for (const Item& i : items)
        r.define(command(i.id, i.caption, i.name, i.hint,
                         [&ed, where = i.where] { ed.centreSelected(where); }));
}

void defineArrange(EditorController& ed, CommandRegistry& r) {
    struct Item {
        const char* id;
        const char* name;
        const char* caption;
        const char* hint;
        int edge;  // an AlignEdge, or -1 / -2 to distribute across / down
    };
    static const Item items[] = {
        {"arrange.left", "LinkeKantenM", "&Linke Kanten",
         "Richtet die Objekte an ihrer linken Kante aus", int(AlignEdge::Left)},
        {"arrange.centre", "WaagerechteMittenM", "Waagerechte Mitt&en",
         "Richtet die Objekte an ihrer waagerechten Mitte aus", int(AlignEdge::Centre)},
        {"arrange.right", "RechteKantenM", "&Rechte Kanten",
         "Richtet die Objekte an ihrer rechten Kante aus", int(AlignEdge::Right)},
        {"arrange.top", "ObereKantenM", "&Obere Kanten",
         "Richtet die Objekte an ihrer oberen Kante aus", int(AlignEdge::Top)},
        {"arrange.middle", "SenkrechteMittenM", "Senkrechte Mi&tten",
         "Richtet die Objekte an ihrer senkrechten Mitte aus", int(AlignEdge::Middle)},
        {"arrange.bottom", "UntereKantenM", "&Untere Kanten",
         "Richtet die Objekte an ihrer unteren Kante aus", int(AlignEdge::Bottom)},
        {"arrange.distributeAcross", "WaagerechtVerteilenM", "Waagerecht &verteilen",
         "Setzt gleiche Abstände zwischen die Objekte, von links nach rechts", -1},
        {"arrange.distributeDown", "SenkrechtVerteilenM", "Se&nkrecht verteilen",
         "Setzt gleiche Abstände zwischen die Objekte, von oben nach unten", -2},
    };
    const auto several = [&ed] { return ed.selection().size() > 2; };
    for (const Item& i : items) {
        Command c = command(i.id, i.caption, i.name, i.hint, [&ed, edge = i.edge] {
            if (edge >= 0)
                ed.alignSelected(AlignEdge(edge));
            else
                ed.distributeSelected(edge == -1);
        });
        c.enabled = i.edge >= 0 ? std::function<bool()>([&ed] { return ed.selected() != nullptr; })
                                : std::function<bool()>(several);
        r.define(c);
    }
}

void defineSelection(EditorController& ed, CommandRegistry& r) {
    // Ctrl+A reaches the editor as its key, so that typing on a text selects the text.
    Command all = command("edit.selectAll", "A&lles auswählen", "AllesAuswaehlen1",
                          "Wählt alle Objekte dieser Seite aus", [&ed] {
                              QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
                              ed.keyPress(key);
                          });
    all.keys = {QKeySequence(Qt::CTRL | Qt::Key_A)};
    r.define(all);
    Command group = command("object.group", "Gru&ppieren", "Gruppieren1",
                            "Fasst die ausgewählten Objekte zu einer Gruppe zusammen",
                            [&ed] { ed.commands().group(); });
    group.keys = {QKeySequence(Qt::CTRL | Qt::Key_G)};
    group.enabled = [&ed] { return ed.selection().size() > 1; };
    r.define(group);
    Command ungroup = command("object.ungroup", "Gruppierung auf&heben", "GruppeAufheben1",
                              "Löst die Gruppen der ausgewählten Objekte auf",
                              [&ed] { ed.commands().ungroup(); });
    ungroup.keys = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)};
    ungroup.enabled = [&ed] { return ed.commands().selectionGrouped(); };
    r.define(ungroup);
}

void defineVerseCommand(EditorController& ed, CommandRegistry& r) {
    r.define(command("edit.insertVerse", "Spr&uch einfügen...", "SpruchEinfuegen1",
                     "Setzt einen Spruch aus der Sammlung in den gewählten Text oder als neuen "
                     "Text auf die Karte",
                     [&ed] { runVerseDialog(ed, OwnVerses::defaultPath()); }));
}

void defineViewCommands(EditorController& ed, CommandRegistry& r) {
    Command background =
        command("settings.background", "&Hintergrundbild...", "Hintergrundbild1",
                "Ändert die Einstellungen des Hintergrundbildes", [&ed] { ed.editBackground(); });
    background.keys = {QKeySequence(Qt::CTRL | Qt::Key_H)};
    r.define(background);
    Command whole = command("view.wholeCard", "&Ganze Karte zeigen", "GanzeKarte1",
                            "Zeigt die ganze Karte so groß wie möglich in der Mitte des Editors",
                            [&ed] { ed.showWholeCard(); });
    whole.keys = {QKeySequence(Qt::CTRL | Qt::Key_0)};
    r.define(whole);
    // The side whose guides go is the data of the item that was chosen.
    r.define(command("view.removeGuides", "Hi&lfslinien entfernen", "HilfslinienM",
                     "Entfernt alle Hilfslinien dieser Seite", [&ed, &r] {
                         if (QAction* a = r.action(cmd::kRemoveGuides))
                             ed.removeGuides(a->data().toInt());
                     }));
}

}  // namespace

QStringList clipboardCommands() {
    return {cmd::kCut, cmd::kCopy, cmd::kPaste, cmd::kDuplicate};
}

QStringList centringCommands() {
    return {QStringLiteral("centre.cardHorizontally"), QStringLiteral("centre.cardVertically"),
            QStringLiteral("centre.halfHorizontally"), QStringLiteral("centre.halfMiddle")};
}

QStringList arrangeCommands() {
    return {QStringLiteral("arrange.left"),
            QStringLiteral("arrange.centre"),
            QStringLiteral("arrange.right"),
            QStringLiteral("arrange.top"),
            QStringLiteral("arrange.middle"),
            QStringLiteral("arrange.bottom"),
            QStringLiteral("arrange.distributeAcross"),
            QStringLiteral("arrange.distributeDown")};
}

QString figureCommand(int kind) {
    return QStringLiteral("figure.%1").arg(kind);
}

QString alignmentCommand(int alignment) {
    return QStringLiteral("align.%1").arg(alignment);
}

void defineEditorCommands(EditorController& editor, CommandRegistry& registry) {
    defineClipboard(editor, registry);
    defineObjectCommands(editor, registry);
    defineKindCommands(editor, registry);
    defineCentring(editor, registry);
    defineArrange(editor, registry);
    defineSelection(editor, registry);
    defineViewCommands(editor, registry);
    defineVerseCommand(editor, registry);
}

}  // namespace bb
