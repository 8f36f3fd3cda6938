#include "editor/ObjectCommands.h"

#include "document/DrawnValues.h"
#include "document/TextRuns.h"
#include "document/UserDialogs.h"
#include "editor/EditorController.h"
#include "editor/PictureSettingsDialog.h"
#include "editor/PropertyPanel.h"
#include "editor/RulerMath.h"
#include "editor/TextEffectsDialog.h"
#include "editor/TextEntryDialog.h"
#include "editor/TransparencyDialog.h"
#include "pictures/DibFilters.h"
#include "pictures/PictureOps.h"
#include "render/Ornaments.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QSpinBox>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace bb {

namespace {
// Successive changes of the line width of one object (a spin box stepping) are one step.
constexpr int kLineWidthMergeKey = 1;
}  // namespace

ObjectCommands::ObjectCommands(EditorController& editor, UserDialogs& dialogs,
                               QWidget* dialogParent)
    : editor_(editor), dialogs_(dialogs), ownsDialogs_(dialogParent == nullptr) {
    textEntryDialog_ = new TextEntryDialog(dialogParent);
    textEntryDialog_->chooseColor = [this](QColor& c) {
        return dialogs_.chooseColor(c, QStringLiteral("Farbe"));
    };
    textEffectsDialog_ = new TextEffectsDialog(dialogs_, dialogParent);
    transparencyDialog_ = new TransparencyDialog(dialogs_, dialogParent);
    pictureSettingsDialog_ = new PictureSettingsDialog(dialogParent);
}

ObjectCommands::~ObjectCommands() {
    if (ownsDialogs_) {
        delete pictureSettingsDialog_;
        delete transparencyDialog_;
        delete textEffectsDialog_;
        delete textEntryDialog_;
    }
}

template <typename F>
void ObjectCommands::forSelected(bool (*applies)(const CardObject&, int), F change) {
    CardObject* current = editor_.selected();
    if (!current) return;
    const int kind = current->kind;
    bool changed = false;
    for (int slot : editor_.selection()) {
        CardObject& o = *editor_.editedSlots()[slot];
        if (!applies(o, kind)) continue;
        change(o);
        changed = true;
    }
    if (changed) editor_.repaintBoth();
}

namespace {

// The objects a property of the panel's sheet reaches: those of the current object's kind.
bool sameKind(const CardObject& o, int kind) {
    return o.kind == kind;
}

// Figures and texts have a colour of their own, and so have ornaments that take one.
bool coloured(const CardObject& o, int) {
    return o.kind == KindFigure || o.kind == KindText || isRecolourableOrnament(o);
}

bool isText(const CardObject& o, int) {
    return o.kind == KindText;
}

}  // namespace

void ObjectCommands::deleteSelected() {
    const std::vector<int> picks = editor_.selection();
    if (picks.empty()) return;
    const QString question =
        picks.size() == 1 ? QStringLiteral("Wollen Sie das Element löschen?")
                          : QStringLiteral("Wollen Sie die %1 Elemente löschen?").arg(picks.size());
    if (dialogs_.message(question, QStringLiteral("Element löschen"), MsgIcon::Question,
                         BtnYes | BtnNo) != BtnYes)
        return;
    EditHistory::Step step(editor_.history(), QStringLiteral("Objekt löschen"));
    for (int slot : picks) CardDocument::freeObject(*editor_.editedSlots()[slot]);
    editor_.edited().select(0);
    editor_.repaintBoth();
}

void ObjectCommands::setDrawingOrder(const std::vector<int>& order) {
    SlotTable& t = editor_.editedSlots();
    std::vector<int> used;
    for (int s = 1; s <= kSlotCount; ++s)
        if (t[s]->used()) used.push_back(s);
    // The same used slots in another order, nothing else.
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != used || order.empty()) return;
    std::vector<CardObject*> records;
    records.reserve(order.size());
    for (int s : order) records.push_back(t[s]);
    const CardObject* current = editor_.selected();
    std::vector<const CardObject*> chosen;
    for (int s : editor_.selection()) chosen.push_back(t[s]);
    EditHistory::Step step(editor_.history(), QStringLiteral("Reihenfolge ändern"));
    for (size_t i = 0; i < used.size(); ++i) t[used[i]] = records[i];
    // The selection follows its objects to their new slots.
    std::vector<int> selection;
    int currentSlot = 0;
    for (int s : used) {
        if (std::find(chosen.begin(), chosen.end(), t[s]) != chosen.end()) selection.push_back(s);
        if (t[s] == current) currentSlot = s;
    }
    editor_.setSelection(selection, currentSlot);
    editor_.repaintBoth();
}

void ObjectCommands::moveSelectionInOrder(bool toFront) {
    const std::vector<int> chosen = editor_.selection();
    std::vector<int> rest;
    const SlotTable& t = editor_.editedSlots();
    for (int s = 1; s <= kSlotCount; ++s)
        if (t[s]->used() && std::find(chosen.begin(), chosen.end(), s) == chosen.end())
            rest.push_back(s);
    std::vector<int> order = toFront ? rest : chosen;
    const std::vector<int>& then = toFront ? chosen : rest;
    order.insert(order.end(), then.begin(), then.end());
    setDrawingOrder(order);
}

void ObjectCommands::bringToFront() {
    if (editor_.selection().size() > 1) {
        moveSelectionInOrder(true);
        return;
    }
    EditHistory::Step step(editor_.history(), QStringLiteral("Nach vorne"));
    if (!editor_.selected()) return;
    std::swap(editor_.editedSlots()[editor_.selectedSlot()], editor_.editedSlots()[kSlotCount]);
    editor_.edited().select(kSlotCount);
    editor_.repaintBoth();
}

void ObjectCommands::sendToBack() {
    if (editor_.selection().size() > 1) {
        moveSelectionInOrder(false);
        return;
    }
    EditHistory::Step step(editor_.history(), QStringLiteral("Nach hinten"));
    if (!editor_.selected()) return;
    std::swap(editor_.editedSlots()[editor_.selectedSlot()], editor_.editedSlots()[1]);
    editor_.edited().select(1);
    editor_.repaintBoth();
}

void ObjectCommands::group() {
    const std::vector<int> picks = editor_.selection();
    if (picks.size() < 2) return;
    SlotTable& t = editor_.editedSlots();
    // A number no other group of the side has.
    int32_t fresh = 1;
    for (int s = 1; s <= kSlotCount; ++s)
        if (t[s]->used()) fresh = std::max(fresh, t[s]->extras.group + 1);
    EditHistory::Step step(editor_.history(), QStringLiteral("Gruppieren"));
    for (int s : picks) t[s]->extras.group = fresh;
    editor_.repaintBoth();
}

void ObjectCommands::ungroup() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Gruppierung aufheben"));
    for (int s : editor_.selection()) editor_.editedSlots()[s]->extras.group = 0;
    editor_.repaintBoth();
}

bool ObjectCommands::selectionGrouped() {
    for (int s : editor_.selection())
        if (editor_.editedSlots()[s]->extras.group > 0) return true;
    return false;
}

void ObjectCommands::setLocked(int slot, bool locked) {
    SlotTable& t = editor_.editedSlots();
    if (slot < 1 || slot > kSlotCount || !t[slot]->used() || t[slot]->extras.locked == locked)
        return;
    EditHistory::Step step(editor_.history(), locked ? QStringLiteral("Objekt sperren")
                                                     : QStringLiteral("Objekt entsperren"));
    t[slot]->extras.locked = locked;
    editor_.repaintBoth();
}

void ObjectCommands::setFigureKind(int kind) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Figur ändern"));
    forSelected(sameKind, [kind](CardObject& o) { o.figureKind = kind; });
}

void ObjectCommands::setFillMode(int mode) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Füllung ändern"));
    forSelected(sameKind, [mode](CardObject& o) { o.fillMode = mode; });
}

void ObjectCommands::setLineWidth(int width) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Linienstärke ändern"),
                           kLineWidthMergeKey);
    forSelected(sameKind, [width](CardObject& o) { o.lineWidth = width; });
}

void ObjectCommands::setColor(ColorRef c) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Farbe ändern"));
    forSelected(coloured, [c](CardObject& o) { setObjectColour(o, c); });
}

void ObjectCommands::setBorderColor(ColorRef c) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Randfarbe ändern"));
    forSelected(sameKind, [c](CardObject& o) { o.borderColor = c; });
}

void ObjectCommands::setAlignment(int alignment) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Ausrichtung ändern"));
    forSelected(sameKind, [alignment](CardObject& o) { o.alignment = alignment; });
}

void ObjectCommands::toggleKeepAspect() {
    const CardObject* o = editor_.selected();
    if (o) setKeepAspect(!o->keepAspect);
}

void ObjectCommands::setKeepAspect(bool on) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Seitenverhältnis ändern"));
    forSelected(sameKind, [on](CardObject& o) { o.keepAspect = on; });
}

void ObjectCommands::setRoundFrame(bool on) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Runden Rahmen ändern"));
    forSelected(sameKind, [on](CardObject& o) { o.roundFrame = on; });
}

void ObjectCommands::moveSelectedTo(bool horizontal, double mm) {
    CardObject* o = editor_.selected();
    if (!o) return;
    EditHistory::Step step(editor_.history(), QStringLiteral("Position ändern"));
    const CardDocument& d = editor_.doc();
    const std::vector<int> picks = editor_.selection();
    if (picks.size() > 1) {
        // Several objects move as one block: its left (top) edge goes there.
        int64_t edge = INT64_MAX;
        for (int s : picks) {
            const CardObject& m = *editor_.editedSlots()[s];
            edge = std::min<int64_t>(edge, horizontal ? m.x : m.y);
        }
        const int64_t to = horizontal
                               ? cardPositionUnits(mm, d.sideWidthUnits, d.format.cardWidth)
                               : cardPositionUnits(mm, d.sideHeightUnits, d.format.cardHeight);
        editor_.moveSlots(picks, horizontal ? to - edge : 0, horizontal ? 0 : to - edge,
                          QStringLiteral("Position ändern"));
        return;
    }
    if (horizontal)
        o->x = cardPositionUnits(mm, d.sideWidthUnits, d.format.cardWidth);
    else
        o->y = cardPositionUnits(mm, d.sideHeightUnits, d.format.cardHeight);
    editor_.repaintBoth();
}

void ObjectCommands::resizeSelectedTo(bool horizontal, double mm, bool keepAspect) {
    CardObject* o = editor_.selected();
    if (!o) return;
    EditHistory::Step step(editor_.history(), QStringLiteral("Größe ändern"));
    const CardDocument& d = editor_.doc();
    const int32_t before = horizontal ? o->width : o->height;
    const int32_t after = horizontal ? cardLengthUnits(mm, d.sideWidthUnits, d.format.cardWidth)
                                     : cardLengthUnits(mm, d.sideHeightUnits, d.format.cardHeight);
    (horizontal ? o->width : o->height) = after;
    if (keepAspect && before > 0) {
        int32_t& other = horizontal ? o->height : o->width;
        const double scaled = std::round(double(other) * after / before);
        other = int32_t(std::clamp(scaled, 0.0, double(INT32_MAX)));
    }
    editor_.repaintBoth();
}

void ObjectCommands::chooseColor() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Farbe ändern"));
    CardObject* o = editor_.selected();
    if (!o) return;
    // While typing on the text, the colour is the selected characters'.
    const bool characters = o->kind == KindText && editor_.textSession().hasSelection();
    TextSession& session = editor_.textSession();
    QColor c =
        toQColor(characters ? formatAt(*o, session.editor().selectionStart()).fontColor : o->color);
    if (!dialogs_.chooseColor(c, QStringLiteral("Farbe"))) return;
    if (characters) {
        session.formatSelection(QStringLiteral("Farbe ändern"),
                                [&](TextRun& r) { r.fontColor = fromQColor(c); });
        return;
    }
    if (!editor_.selected()) return;
    const ColorRef chosen = fromQColor(c);
    forSelected(coloured, [chosen](CardObject& t) { setObjectColour(t, chosen); });
    // The colour boxes show the new colour at once.
    if ((o = editor_.selected())) editor_.panel().loadSelectionControls(*o);
}

void ObjectCommands::chooseFont() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Schriftart ändern"));
    CardObject* o = editor_.selected();
    if (!o) return;
    // While typing on the text, the font is the selected characters'.
    TextSession& session = editor_.textSession();
    const bool characters = o->kind == KindText && session.hasSelection();
    const TextRun format = formatAt(*o, characters ? session.editor().selectionStart() : 0);
    FontChoice preset;
    preset.color = characters ? format.fontColor : o->color;
    preset.height = o->fontHeight;
    preset.name = characters ? format.fontName : o->fontName;
    preset.pitch = o->fontPitch;
    preset.style = characters ? format.fontStyle : o->fontStyle;
    preset.size = characters ? format.fontSize : o->fontSize;
    QFont font = preset.toQFont();
    QColor color = toQColor(preset.color);
    if (!dialogs_.chooseFont(font, color, QStringLiteral("Schriftart"))) return;
    const FontChoice chosen =
        FontChoice::fromQFont(font, color, editor_.views().ctx().screenDpi, preset.pitch);
    if (characters) {
        session.formatSelection(QStringLiteral("Schriftart ändern"), [&](TextRun& r) {
            r.fontName = chosen.name;
            r.fontSize = chosen.size;
            r.fontStyle = chosen.style;
            r.fontColor = chosen.color;
        });
        return;
    }
    editor_.creator().setNewTextFont(chosen);
    if (!editor_.selected()) return;
    // Every selected text takes the font.
    forSelected(isText, [&chosen](CardObject& t) {
        t.color = chosen.color;
        t.fontHeight = chosen.height;
        t.fontName = chosen.name;
        t.fontPitch = chosen.pitch;
        t.fontStyle = chosen.style;
        t.fontSize = chosen.size;
    });
    if ((o = editor_.selected())) editor_.panel().loadSelectionControls(*o);
}

void ObjectCommands::editText() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Text ändern"));
    CardObject* o = editor_.selected();
    if (!o) return;
    textEntryDialog_->setSpellChecker(&editor_.spellChecker());
    textEntryDialog_->setText(*o);
    if (editor_.modal(*textEntryDialog_) != QDialog::Accepted) return;
    if ((o = editor_.selected())) {
        textEntryDialog_->storeInto(*o);
        growTextToFit(editor_.doc(), *o, editor_.views().ctx());
        editor_.repaintBoth();
    }
}

void ObjectCommands::editTextEffects() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Texteffekte ändern"));
    CardObject* o = editor_.selected();
    if (!o) return;
    TextEffectsDialog& f = *textEffectsDialog_;
    f.outlineCheck->setChecked(o->outline);
    f.shadowCheck->setChecked(o->shadow);
    f.outlineColor = o->outlineColor;
    f.shadowColor = ColorRef(o->shadowColor);
    f.shadowDxEdit->setValue(o->shadowDx);
    f.shadowDyEdit->setValue(o->shadowDy);
    const CardFormat& format = editor_.doc().format;
    f.setShadowLimits(sideTenthsMm(format.cardWidth), sideTenthsMm(format.cardHeight));
    // A scripted OK with distances out of range is refused like the real one.
    if (editor_.modal(f) != QDialog::Accepted || !f.confirmValues()) return;
    if (!(o = editor_.selected())) return;
    o->outline = f.outlineCheck->isChecked();
    o->shadow = f.shadowCheck->isChecked();
    o->outlineColor = f.outlineColor;
    o->shadowColor = int32_t(f.shadowColor);
    o->shadowDx = f.shadowDxEdit->value();
    o->shadowDy = f.shadowDyEdit->value();
    editor_.repaintBoth();
}

void ObjectCommands::editTransparency() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Transparenz ändern"));
    CardObject* o = editor_.selected();
    if (!o) return;
    TransparencyDialog& f = *transparencyDialog_;
    f.transparentCheck->setChecked(o->transparent);
    f.autoCheck->setChecked(o->autoTransparent);
    f.color = ColorRef(o->transparentColor);
    if (editor_.modal(f) != QDialog::Accepted) return;
    if (!(o = editor_.selected())) return;
    o->transparent = f.transparentCheck->isChecked();
    o->autoTransparent = f.autoCheck->isChecked();
    o->transparentColor = int32_t(f.color);
    settleObject(*o);
    editor_.repaintBoth();
}

void ObjectCommands::findPicture() {
    const CardObject* o = editor_.selected();
    if (!o || o->kind != KindPicture || !o->picture.isStandIn()) return;
    const CardDocument& d = editor_.doc();
    const QString name = pictureFilePart(o->content);
    const qsizetype folderPart = o->content.size() - name.size() - 1;
    FileDialogRequest r;
    r.caption = QStringLiteral("Bild suchen");
    // The card's folder; a card not yet saved offers the folder the picture was named in.
    r.directory = !d.fileName.isEmpty() ? QFileInfo(d.fileName).absolutePath()
                  : folderPart > 0      ? o->content.left(folderPart)
                                        : QString();
    r.filter = pictureOpenFilter();
    r.initialName = name;
    r.confirmOverwrite = false;
    const QString path = dialogs_.openFile(r).path;
    if (path.isEmpty()) return;
    PictureError why = PictureError::None;
    DibImage picture = loadPictureFile(path, &why);
    if (picture.isNull()) {
        dialogs_.message(pictureLoadMessage(path, why), QString(), MsgIcon::Error, BtnOk);
        return;
    }
    EditHistory::Step step(editor_.history(), QStringLiteral("Bild suchen"));
    CardObject* target = editor_.selected();
    if (!target || target->kind != KindPicture) return;
    turnByRotation(picture, target->rotation);
    target->picture = std::move(picture);
    target->content = path;
    settleObject(*target);
    editor_.repaintBoth();
}

void ObjectCommands::rotate(bool left) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Objekt drehen"));
    CardObject* o = editor_.selected();
    if (!o) return;
    CardDocument& d = editor_.doc();
    if (o->kind == KindPicture) {
        // A picture that cannot be turned (no memory for the copy) keeps its box and turn.
        if (!o->picture.isNull() &&
            !(left ? turnPictureLeft(o->picture) : turnPictureRight(o->picture)))
            return;
        if (!o->picture.isNull()) {
            editor_.history().noteQuarterTurn(editor_.selectedSlot(), left);
            o->extras.crop = cropAfterQuarterTurn(o->extras.crop, left);
        }
        const int w = d.screenPixels(o->width);
        o->width = d.fromView(d.screenPixels(o->height));
        o->height = d.fromView(w);
    }
    o->rotation += left ? -1 : 1;
    if (o->rotation < 0) o->rotation = 3;
    if (o->rotation > 3) o->rotation = 0;
    settleObject(*o);
    editor_.repaintBoth();
}

void ObjectCommands::editPictureSettings() {
    EditHistory::Step step(editor_.history(), QStringLiteral("Bildeinstellungen"));
    CardObject* o = editor_.selected();
    if (!o || o->kind != KindPicture) return;
    const CardDocument& d = editor_.doc();
    PictureSettingsDialog& f = *pictureSettingsDialog_;
    f.load(*o, cardLengthMm(o->width, d.sideWidthUnits, d.format.cardWidth),
           cardLengthMm(o->height, d.sideHeightUnits, d.format.cardHeight));
    if (editor_.modal(f) != QDialog::Accepted) return;
    if (!(o = editor_.selected()) || o->kind != KindPicture) return;
    f.store(o->extras);
    editor_.repaintBoth();
}

void ObjectCommands::cropPicture() {
    editor_.cropSession().start();
}

void ObjectCommands::setAngle(double degrees) {
    if (!std::isfinite(degrees)) return;
    EditHistory::Step step(editor_.history(), QStringLiteral("Objekt drehen"));
    if (turnSelectedTo(degrees)) editor_.repaintBoth();
}

bool ObjectCommands::turnSelectedTo(double degrees) {
    CardObject* o = editor_.selected();
    if (!o || !std::isfinite(degrees)) return false;
    const int turns = quarterTurnsTo(*o, degrees);
    if (o->kind == KindPicture && !o->picture.isNull() && turns != 0) {
        // Two turns right for a half turn; each noted so that undo turns the picture back.
        const bool left = turns < 0;
        for (int i = 0; i < std::abs(turns); ++i) {
            if (!(left ? turnPictureLeft(o->picture) : turnPictureRight(o->picture))) return false;
            editor_.history().noteQuarterTurn(editor_.selectedSlot(), left);
            o->extras.crop = cropAfterQuarterTurn(o->extras.crop, left);
        }
    }
    setObjectAngle(*o, degrees);
    settleObject(*o);
    return true;
}

}  // namespace bb
