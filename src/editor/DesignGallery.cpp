#include "editor/DesignGallery.h"

#include "content/DesignPreviews.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

namespace {

constexpr int kTileBox = kDesignTileBox;
constexpr int kPathRole = Qt::UserRole;
constexpr int kOwnRole = Qt::UserRole + 1;

// A folded card's front standing in the middle of the tile box.
QRectF cardFrontRect() {
    const double h = kTileBox - 6;
    const double w = h * 105.0 / 148.0;
    return {(kTileBox - w) / 2, 3, w, h};
}

// The tile until the preview arrives: a pale card.
QIcon placeholderIcon() {
    QPixmap pixmap(kTileBox, kTileBox);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.setBrush(QColor(240, 240, 240));
    p.drawRect(cardFrontRect());
    p.end();
    return QIcon(pixmap);
}

// "Leere Karte": a white card with a plus.
QIcon blankIcon() {
    QPixmap pixmap(kTileBox, kTileBox);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardFrontRect();
    p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    p.setBrush(Qt::white);
    p.drawRect(card);
    p.setPen(QPen(QColor(120, 120, 120), 3));
    const QPointF c = card.center();
    p.drawLine(c - QPointF(14, 0), c + QPointF(14, 0));
    p.drawLine(c - QPointF(0, 14), c + QPointF(0, 14));
    p.end();
    return QIcon(pixmap);
}

// The preview centred in the tile box, so every tile has the same size.
QIcon previewIcon(const QImage& image) {
    QPixmap pixmap(kTileBox, kTileBox);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QImage shown =
        image.width() > kTileBox || image.height() > kTileBox
            ? image.scaled(kTileBox, kTileBox, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image;
    const QPointF at((kTileBox - shown.width()) / 2.0, (kTileBox - shown.height()) / 2.0);
    p.drawImage(at, shown);
    p.setPen(QPen(QColor(180, 180, 180), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(at, QSizeF(shown.size())).adjusted(0, 0, -1, -1));
    p.end();
    return QIcon(pixmap);
}

int occasionRank(const QStringList& order, const QString& occasion) {
    const qsizetype i = order.indexOf(occasion);
    return i >= 0 ? int(i) : int(order.size());
}

}  // namespace

DesignGallery::DesignGallery(QWidget* parent) : QWidget(parent), placeholder_(placeholderIcon()) {
    setObjectName(QStringLiteral("vorlagenGalerie"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("vorlagenSuche"));
    searchEdit->setPlaceholderText(QStringLiteral("z. B. Hochzeit, Baby, Weihnachten"));
    searchEdit->setStatusTip(
        QStringLiteral("Zeigt nur die Vorlagen, deren Name, Anlass oder Stichwort dies enthält"));
    auto* searchLabel = new QLabel(QStringLiteral("&Vorlage suchen:"), this);
    searchLabel->setBuddy(searchEdit);
    auto* search = new QHBoxLayout;
    search->addWidget(searchLabel);
    search->addWidget(searchEdit, 1);
    outer->addLayout(search);

    occasionList = new QListWidget(this);
    occasionList->setObjectName(QStringLiteral("vorlagenAnlaesse"));
    occasionList->setStatusTip(QStringLiteral("Zeigt die Vorlagen eines Anlasses"));
    occasionList->setMaximumWidth(220);

    tiles = new QListWidget(this);
    tiles->setObjectName(QStringLiteral("vorlagenListe"));
    tiles->setViewMode(QListView::IconMode);
    tiles->setMovement(QListView::Static);
    tiles->setResizeMode(QListView::Adjust);
    tiles->setIconSize(QSize(kTileBox, kTileBox));
    tiles->setGridSize(QSize(kTileBox + 30, kTileBox + 48));
    tiles->setWordWrap(true);
    tiles->setUniformItemSizes(true);
    tiles->setSelectionMode(QAbstractItemView::SingleSelection);
    tiles->setContextMenuPolicy(Qt::CustomContextMenu);
    tiles->setMinimumSize(4 * (kTileBox + 30) + 24, 2 * (kTileBox + 48) + 8);
    tiles->setStatusTip(
        QStringLiteral("Doppelklick beginnt eine neue Karte mit der gewählten Vorlage"));

    auto* pick = new QHBoxLayout;
    pick->addWidget(occasionList);
    pick->addWidget(tiles, 1);
    outer->addLayout(pick, 1);

    setTabOrder(searchEdit, tiles);
    setTabOrder(tiles, occasionList);
    connect(searchEdit, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(occasionList, &QListWidget::currentRowChanged, this, [this] { applyFilter(); });
    connect(tiles, &QListWidget::itemActivated, this, [this] { activateCurrent(); });
    connect(tiles, &QWidget::customContextMenuRequested, this, &DesignGallery::showContextMenu);
}

void DesignGallery::setPreviews(DesignPreviews* previews) {
    if (previews_) disconnect(previews_, nullptr, this, nullptr);
    previews_ = previews;
    if (previews_)
        connect(previews_, &DesignPreviews::previewReady, this, &DesignGallery::previewArrived);
}

void DesignGallery::setDesigns(const QList<DesignEntry>& designs) {
    const QStringList order = designOccasions();
    designs_ = designs;
    std::stable_sort(designs_.begin(), designs_.end(),
                     [&order](const DesignEntry& a, const DesignEntry& b) {
                         return occasionRank(order, a.occasion) < occasionRank(order, b.occasion);
                     });

    {
        const QSignalBlocker quiet(occasionList);
        occasionList->clear();
        auto* all = new QListWidgetItem(QStringLiteral("Alle Vorlagen"), occasionList);
        all->setData(kPathRole, QString());
        for (const QString& occasion : order) {
            const bool any =
                std::any_of(designs_.cbegin(), designs_.cend(),
                            [&](const DesignEntry& d) { return d.occasion == occasion; });
            // The user's own designs always have their place, so that one knows where a
            // design saved with "Als Vorlage speichern..." goes.
            if (!any && occasion != QLatin1String(kOwnDesignsOccasion)) continue;
            auto* item = new QListWidgetItem(occasion, occasionList);
            item->setData(kPathRole, occasion);
        }
        occasionList->setCurrentRow(0);
    }
    {
        const QSignalBlocker quiet(searchEdit);
        searchEdit->clear();
    }

    tiles->clear();
    auto* blank = new QListWidgetItem(blankIcon(), QString::fromLatin1(kBlankCardTile), tiles);
    blank->setData(kPathRole, QString());
    blank->setToolTip(QStringLiteral("Eine leere Karte; danach wählen Sie den Kartentyp"));
    for (const DesignEntry& d : designs_) {
        QImage image = previews_ ? previews_->preview(d.cardPath) : QImage();
        auto* item =
            new QListWidgetItem(image.isNull() ? placeholder_ : previewIcon(image), d.name, tiles);
        item->setData(kPathRole, d.cardPath);
        item->setData(kOwnRole, d.own);
        item->setToolTip(d.occasion + QStringLiteral(": ") + d.name);
    }
    selectBlank();
}

void DesignGallery::setOccasion(const QString& occasion) {
    for (int i = 0; i < occasionList->count(); ++i) {
        if (occasionList->item(i)->data(kPathRole).toString() == occasion) {
            occasionList->setCurrentRow(i);
            return;
        }
    }
    // An occasion without designs: none of them is shown.
    occasionList->setCurrentRow(-1);
    occasionList->clearSelection();
    applyFilter();
}

QString DesignGallery::occasion() const {
    const QListWidgetItem* item = occasionList->currentItem();
    return item ? item->data(kPathRole).toString() : QString();
}

void DesignGallery::applyFilter() {
    const QListWidgetItem* chosenOccasion = occasionList->currentItem();
    const QString occasion = chosenOccasion ? chosenOccasion->data(kPathRole).toString()
                                            : QStringLiteral("\n");  // matches no design
    QSet<QString> shown;
    for (const DesignEntry& d : filterDesigns(designs_, searchEdit->text().trimmed(), occasion))
        shown.insert(d.cardPath);
    for (int i = 1; i < tiles->count(); ++i) {
        QListWidgetItem* item = tiles->item(i);
        item->setHidden(!shown.contains(item->data(kPathRole).toString()));
    }
    QListWidgetItem* current = tiles->currentItem();
    if (!current || current->isHidden()) selectBlank();
}

QStringList DesignGallery::shownNames() const {
    QStringList names;
    for (int i = 0; i < tiles->count(); ++i)
        if (!tiles->item(i)->isHidden()) names << tiles->item(i)->text();
    return names;
}

bool DesignGallery::blankSelected() const {
    const QListWidgetItem* item = tiles->currentItem();
    return item && tiles->row(item) == 0;
}

const DesignEntry* DesignGallery::currentDesign() const {
    const QListWidgetItem* item = tiles->currentItem();
    if (!item || item->isHidden() || tiles->row(item) == 0) return nullptr;
    const QString path = item->data(kPathRole).toString();
    for (const DesignEntry& d : designs_)
        if (d.cardPath == path) return &d;
    return nullptr;
}

void DesignGallery::selectBlank() {
    if (tiles->count() > 0) tiles->setCurrentRow(0);
}

bool DesignGallery::selectDesign(const QString& cardPath) {
    QListWidgetItem* item = itemFor(cardPath);
    if (!item || item->isHidden()) return false;
    tiles->setCurrentItem(item);
    tiles->scrollToItem(item);
    return true;
}

void DesignGallery::activateCurrent() {
    if (blankSelected()) {
        emit blankChosen();
    } else if (const DesignEntry* d = currentDesign()) {
        emit designChosen(d->cardPath);
    }
}

QListWidgetItem* DesignGallery::itemFor(const QString& cardPath) const {
    for (int i = 1; i < tiles->count(); ++i)
        if (tiles->item(i)->data(kPathRole).toString() == cardPath) return tiles->item(i);
    return nullptr;
}

void DesignGallery::previewArrived(const QString& cardPath, const QImage& image) {
    if (image.isNull()) return;  // the plain card stays
    if (QListWidgetItem* item = itemFor(cardPath)) item->setIcon(previewIcon(image));
}

void DesignGallery::showContextMenu(const QPoint& pos) {
    QListWidgetItem* item = tiles->itemAt(pos);
    if (!item || !item->data(kOwnRole).toBool()) return;
    tiles->setCurrentItem(item);
    const QString path = item->data(kPathRole).toString();
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Vorlage &löschen..."));
    remove->setObjectName(QStringLiteral("VorlageLoeschenItem"));
    if (menu.exec(tiles->viewport()->mapToGlobal(pos)) == remove) emit deleteRequested(path);
}

}  // namespace bb
