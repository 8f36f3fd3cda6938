#include "document/EditHistory.h"

#include "pictures/PictureOps.h"

#include <QUndoCommand>

#include <optional>

namespace bb {

namespace {

bool sameBackground(const Background& a, const Background& b) {
    return a.backgroundMode == b.backgroundMode && a.backgroundFile == b.backgroundFile &&
           a.backgroundColor == b.backgroundColor &&
           a.backgroundPicture.sharedId() == b.backgroundPicture.sharedId();
}

bool sameFormat(const CardFormat& a, const CardFormat& b) {
    return a.leftMargin == b.leftMargin && a.topMargin == b.topMargin && a.pitchX == b.pitchX &&
           a.pitchY == b.pitchY && a.cardWidth == b.cardWidth && a.cardHeight == b.cardHeight &&
           a.cardsAcross == b.cardsAcross && a.cardsDown == b.cardsDown && a.typeName == b.typeName;
}

bool editable(int side) {
    return side == SideOutside || side == SideInside;
}

SlotTable& liveSlots(CardDocument& d, int side) {
    return d.sideSlots(side);
}

Background& liveBackground(CardDocument& d, int side) {
    return d.sideBackground(side);
}

const CardObject kFreeRecord{};

}  // namespace

// The document as a step began: every used record of both sides (free records are fresh ones),
// the backgrounds, the format and the selection.
struct EditHistory::Capture {
    struct Side {
        std::vector<int32_t> index;  // by slot: position in `used`, or -1 for a free slot
        std::vector<CardObject> used;
        Background background;
    };
    CardFormat format;
    Side sides[2];
    int32_t editedSide = SideOutside;  // the edited side and selection as the step began
    int32_t selectedSlot = 0;
    std::vector<int32_t> selectedAlso;
    struct Turn {
        int side, slot, quarters;  // quarters: +1 per right turn, -1 per left turn
    };
    std::vector<Turn> turns;

    const CardObject& before(int side, int slot) const {
        const int32_t i = sides[side].index[slot];
        return i < 0 ? kFreeRecord : sides[side].used[i];
    }
};

// One recorded step: the records, backgrounds and format that differ, before and after.
class EditHistory::Command : public QUndoCommand {
public:
    struct ObjectChange {
        int side, slot;
        CardObject before, after;
        int quarters = 0;  // the picture was turned; before and after hold no picture
    };
    struct BackgroundChange {
        int side;
        Background before, after;
    };

    Command(EditHistory& h, const QString& text, int mergeKey)
        : QUndoCommand(text), history_(h), mergeKey_(mergeKey) {}

    std::vector<ObjectChange> objects;
    std::vector<BackgroundChange> backgrounds;
    std::optional<std::pair<CardFormat, CardFormat>> format;
    int32_t selectedBefore = 0, selectedAfter = 0;
    std::vector<int32_t> alsoBefore, alsoAfter;  // the rest of the selection

    bool empty() const { return objects.empty() && backgrounds.empty() && !format; }

    int id() const override { return mergeKey_ == 0 ? -1 : std::abs(mergeKey_); }

    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = dynamic_cast<const Command*>(other);
        // Only a follower of the group (a positive key) joins; -K starts a new group.
        if (!next || next->mergeKey_ <= 0 || format || next->format || !backgrounds.empty() ||
            !next->backgrounds.empty() || objects.size() != next->objects.size())
            return false;
        for (size_t i = 0; i < objects.size(); ++i) {
            const ObjectChange& a = objects[i];
            const ObjectChange& b = next->objects[i];
            if (a.side != b.side || a.slot != b.slot || a.quarters != 0 || b.quarters != 0)
                return false;
        }
        for (size_t i = 0; i < objects.size(); ++i) objects[i].after = next->objects[i].after;
        selectedAfter = next->selectedAfter;
        alsoAfter = next->alsoAfter;
        return true;
    }

    void undo() override { apply(true); }
    void redo() override {
        // The first redo is QUndoStack::push: the command has already happened.
        if (!pushed_) {
            pushed_ = true;
            return;
        }
        apply(false);
    }

private:
    void apply(bool back);

    EditHistory& history_;
    int mergeKey_;
    bool pushed_ = false;
};

void EditHistory::Command::apply(bool back) {
    CardDocument& d = history_.doc_;
    // A step on one side shows that side, so that the user sees what was undone.
    int onlySide = -1;
    bool oneSide = !format;
    for (const ObjectChange& c : objects) {
        if (onlySide >= 0 && c.side != onlySide) oneSide = false;
        onlySide = c.side;
    }
    for (const BackgroundChange& c : backgrounds) {
        if (onlySide >= 0 && c.side != onlySide) oneSide = false;
        onlySide = c.side;
    }
    EditedSide& edited = history_.editedSide();
    if (oneSide && onlySide >= 0 && onlySide != edited.side && editable(edited.side))
        edited.side = onlySide;

    if (format) {
        d.format = back ? format->first : format->second;
        d.updateSideUnits();
    }
    for (const BackgroundChange& c : backgrounds)
        liveBackground(d, c.side) = back ? c.before : c.after;
    for (const ObjectChange& c : objects) {
        CardObject& record = *liveSlots(d, c.side)[c.slot];
        if (c.quarters == 0) {
            record = back ? c.before : c.after;
            continue;
        }
        // Turn the picture that is there instead of keeping a copy of each turned picture.
        DibImage picture = record.picture;
        record = back ? c.before : c.after;
        const int quarters = ((back ? -c.quarters : c.quarters) % 4 + 4) % 4;
        if (quarters == 1) turnPictureRight(picture);
        if (quarters == 2) turnPictureHalf(picture);
        if (quarters == 3) turnPictureLeft(picture);
        record.picture = picture;
    }
    const auto usedSlot = [&](int32_t slot) {
        return slot > 0 && slot <= kSlotCount && edited.table(d)[slot]->used();
    };
    const int32_t slot = back ? selectedBefore : selectedAfter;
    edited.select(usedSlot(slot) ? slot : 0);
    if (edited.slot != 0) {
        for (int32_t s : back ? alsoBefore : alsoAfter)
            if (usedSlot(s) && s != edited.slot) edited.also.push_back(s);
    }
    // Back at the saved state the content is the saved one (a turned-back picture is a new
    // copy with the same pixels).
    if (history_.stack_.index() + (back ? -1 : 1) == history_.stack_.cleanIndex()) d.markSaved();
    emit history_.applied(format.has_value());
}

EditHistory::EditHistory(CardDocument& doc, QObject* parent) : QObject(parent), doc_(doc) {
    connect(&stack_, &QUndoStack::indexChanged, this, &EditHistory::updateModified);
    connect(&stack_, &QUndoStack::cleanChanged, this, &EditHistory::updateModified);
}

EditHistory::~EditHistory() = default;

void EditHistory::begin() {
    if (depth_++ > 0) return;
    auto c = std::make_unique<Capture>();
    c->format = doc_.format;
    c->editedSide = edited_->side;
    c->selectedSlot = edited_->slot;
    c->selectedAlso = edited_->also;
    for (int side : {SideOutside, SideInside}) {
        Capture::Side& s = c->sides[side];
        const SlotTable& table = liveSlots(doc_, side);
        s.index.assign(kSlotCount + 1, -1);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (!table[slot]->used() && *table[slot] == kFreeRecord) continue;
            s.index[slot] = static_cast<int32_t>(s.used.size());
            s.used.push_back(*table[slot]);
        }
        s.background = liveBackground(doc_, side);
    }
    open_ = std::move(c);
}

void EditHistory::noteQuarterTurn(int slot, bool left) {
    if (!open_ || !editable(edited_->side)) return;
    for (Capture::Turn& t : open_->turns) {
        if (t.side == edited_->side && t.slot == slot) {
            t.quarters += left ? -1 : 1;
            return;
        }
    }
    open_->turns.push_back({edited_->side, slot, left ? -1 : 1});
}

void EditHistory::end(const QString& text, int mergeKey) {
    if (depth_ == 0) return;
    if (--depth_ > 0) return;
    const std::unique_ptr<Capture> before = std::move(open_);
    if (!before) return;
    auto cmd = std::make_unique<Command>(*this, text, mergeKey);
    if (!sameFormat(before->format, doc_.format))
        cmd->format = std::make_pair(before->format, doc_.format);
    for (int side : {SideOutside, SideInside}) {
        const Background& now = liveBackground(doc_, side);
        if (!sameBackground(before->sides[side].background, now))
            cmd->backgrounds.push_back({side, before->sides[side].background, now});
        const SlotTable& table = liveSlots(doc_, side);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const CardObject& was = before->before(side, slot);
            if (was == *table[slot]) continue;
            cmd->objects.push_back({side, slot, was, *table[slot], 0});
        }
    }
    for (const Capture::Turn& t : before->turns) {
        if (t.quarters % 4 == 0) continue;
        for (Command::ObjectChange& c : cmd->objects) {
            if (c.side != t.side || c.slot != t.slot) continue;
            c.quarters = t.quarters;
            c.before.picture = DibImage();
            c.after.picture = DibImage();
        }
    }
    if (cmd->empty()) {
        // A change made outside any step still counts.
        updateModified();
        return;
    }
    cmd->selectedBefore = before->editedSide == edited_->side ? before->selectedSlot : 0;
    cmd->selectedAfter = edited_->slot;
    if (before->editedSide == edited_->side) cmd->alsoBefore = before->selectedAlso;
    cmd->alsoAfter = edited_->also;
    stack_.push(cmd.release());
}

void EditHistory::undo() {
    if (canUndo()) stack_.undo();
}

void EditHistory::redo() {
    if (canRedo()) stack_.redo();
}

void EditHistory::clear() {
    depth_ = 0;
    open_.reset();
    stack_.clear();
    updateModified();
}

void EditHistory::markSaved() {
    stack_.setClean();
    updateModified();
}

void EditHistory::updateModified() {
    const bool modified = isModified();
    if (modified == modified_) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

bool EditHistory::isModified() const {
    return !stack_.isClean() || doc_.hasUnsavedChanges();
}

}  // namespace bb
