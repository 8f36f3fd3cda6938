#include "editor/ObjectList.h"

#include "editor/EditorController.h"
#include "editor/FigureNames.h"
#include "editor/ObjectCommands.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

namespace {

constexpr int kSlotRole = Qt::UserRole + 1;
// The length of a text's start in its row.
constexpr int kNameLength = 24;

}  // namespace

ObjectList::ObjectList(EditorController& editor, QWidget* parent)
    : QWidget(parent), editor_(&editor) {
    setObjectName(QStringLiteral("EbenenPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    auto* title = new QLabel(QStringLiteral("Ebenen (Haken: gesperrt)"), this);
    title->setObjectName(QStringLiteral("EbenenLabel"));
    layout->addWidget(title);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("EbenenListe"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setDragDropMode(QAbstractItemView::InternalMove);
    list_->setDefaultDropAction(Qt::MoveAction);
    // Long names end in "…" within the column's width; a few rows always show.
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setMinimumHeight(6 * list_->fontMetrics().height());
    list_->setStatusTip(
        QStringLiteral("Die Objekte dieser Seite, das vorderste oben; ziehen "
                       "ändert die Reihenfolge, der Haken sperrt ein Objekt"));
    layout->addWidget(list_);
    connect(list_, &QListWidget::itemSelectionChanged, this, &ObjectList::selectionChosen);
    // A drop moves rows one by one: the new order is read once the drop is over.
    connect(list_->model(), &QAbstractItemModel::rowsMoved, this, &ObjectList::rowsMoved,
            Qt::QueuedConnection);
    connect(list_, &QListWidget::itemChanged, this, &ObjectList::lockChanged);
}

QString ObjectList::rowText(const CardObject& o) {
    switch (o.kind) {
        case KindText: {
            QString start = o.content.simplified();
            if (start.size() > kNameLength)
                start = start.left(kNameLength).trimmed() + QChar(0x2026);
            return QStringLiteral("Text: ") + start;
        }
        case KindPicture:
            return QStringLiteral("Bild: ") + QFileInfo(o.content).fileName();
        default:
            return QStringLiteral("Figur: ") +
                   QString::fromUtf8(o.figureKind >= 0 && o.figureKind < 10
                                         ? kFigureKindNames[o.figureKind]
                                         : "Figur");
    }
}

int ObjectList::slotOf(const QListWidgetItem* item) {
    return item ? item->data(kSlotRole).toInt() : 0;
}

std::vector<ObjectList::Row> ObjectList::currentRows() const {
    std::vector<Row> rows;
    const SlotTable& t = editor_->editedSlots();
    // The front object (the last slot) at the top.
    for (int s = kSlotCount; s >= 1; --s) {
        const CardObject& o = *t[s];
        if (!o.used()) continue;
        QString text = rowText(o);
        if (o.extras.group > 0) text += QStringLiteral(" (Gruppe %1)").arg(o.extras.group);
        rows.push_back({s, text, o.extras.locked});
    }
    return rows;
}

void ObjectList::detach() {
    editor_ = nullptr;
    disconnect(list_, nullptr, this, nullptr);
    disconnect(list_->model(), nullptr, this, nullptr);
}

void ObjectList::refresh() {
    if (!editor_) return;
    std::vector<Row> rows = currentRows();
    const std::vector<int> selection = editor_->selection();
    const int side = editor_->editedSide();
    if (rows == shown_ && selection == shownSelection_ && side == shownSide_) return;
    updating_ = true;
    const bool sameSlots = side == shownSide_ && rows.size() == shown_.size() &&
                           std::equal(rows.begin(), rows.end(), shown_.begin(),
                                      [](const Row& a, const Row& b) { return a.slot == b.slot; });
    if (sameSlots && int(rows.size()) == list_->count()) {
        // The same objects in the same order: only changed names and locks are written.
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] == shown_[i]) continue;
            QListWidgetItem* item = list_->item(int(i));
            item->setText(rows[i].text);
            item->setCheckState(rows[i].locked ? Qt::Checked : Qt::Unchecked);
        }
    } else {
        list_->clear();
        for (const Row& r : rows) {
            auto* item = new QListWidgetItem(r.text, list_);
            item->setData(kSlotRole, r.slot);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled |
                           Qt::ItemIsUserCheckable);
            item->setCheckState(r.locked ? Qt::Checked : Qt::Unchecked);
        }
    }
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        item->setSelected(std::binary_search(selection.begin(), selection.end(), slotOf(item)));
    }
    updating_ = false;
    shown_ = std::move(rows);
    shownSelection_ = selection;
    shownSide_ = side;
}

void ObjectList::selectionChosen() {
    if (updating_ || !editor_) return;
    std::vector<int> chosen;
    for (const QListWidgetItem* item : list_->selectedItems()) chosen.push_back(slotOf(item));
    const int current = slotOf(list_->currentItem());
    editor_->endTextEditing();
    editor_->setSelection(chosen, current);
    editor_->repaintBoth();
}

void ObjectList::rowsMoved() {
    if (updating_ || !editor_) return;
    // Top to bottom is front to back: the drawing order is the rows read upwards.
    std::vector<int> order;
    for (int i = list_->count() - 1; i >= 0; --i) order.push_back(slotOf(list_->item(i)));
    editor_->commands().setDrawingOrder(order);
    // The rows show the side as it now is, also when the order was refused.
    shown_.clear();
    refresh();
}

void ObjectList::lockChanged(QListWidgetItem* item) {
    if (updating_ || !item || !editor_) return;
    editor_->commands().setLocked(slotOf(item), item->checkState() == Qt::Checked);
}

}  // namespace bb
