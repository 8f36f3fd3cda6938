#include "editor/OrnamentDialog.h"

#include "editor/ObjectClipboard.h"
#include "render/Ornaments.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

namespace {

constexpr int kPreviewPixels = 64;
const int kNameRole = Qt::UserRole;

QString allCategories() {
    return QStringLiteral("Alle");
}

// The previews' list: a dragged preview carries its ornament's name.
class PreviewList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QStringList mimeTypes() const override { return {ObjectClipboard::ornamentMimeType()}; }
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
        if (items.isEmpty()) return nullptr;
        auto* mime = new QMimeData;
        mime->setData(ObjectClipboard::ornamentMimeType(),
                      items.first()->data(kNameRole).toString().toUtf8());
        return mime;
    }
};

}  // namespace

OrnamentDialog::OrnamentDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SchmuckDialog"));
    setWindowTitle(QStringLiteral("Schmuck einfügen"));
    auto* outer = new QVBoxLayout(this);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("SchmuckSuche"));
    search_->setPlaceholderText(QStringLiteral("Suchen (z. B. Herz, Stern, Kerze)"));
    search_->setClearButtonEnabled(true);
    outer->addWidget(search_);
    auto* row = new QHBoxLayout;
    categories_ = new QListWidget(this);
    categories_->setObjectName(QStringLiteral("SchmuckKategorien"));
    categories_->addItem(allCategories());
    categories_->addItems(ornamentCategories());
    categories_->setFixedWidth(categories_->sizeHintForColumn(0) + 24);
    row->addWidget(categories_);
    previews_ = new PreviewList(this);
    previews_->setObjectName(QStringLiteral("SchmuckVorschau"));
    previews_->setViewMode(QListView::IconMode);
    previews_->setIconSize(QSize(kPreviewPixels, kPreviewPixels));
    previews_->setGridSize(QSize(kPreviewPixels + 40, kPreviewPixels + 36));
    previews_->setResizeMode(QListView::Adjust);
    previews_->setMovement(QListView::Static);
    previews_->setWordWrap(true);
    previews_->setDragEnabled(true);
    previews_->setDragDropMode(QAbstractItemView::DragOnly);
    previews_->setMinimumSize(5 * (kPreviewPixels + 40) + 24, 3 * (kPreviewPixels + 36));
    row->addWidget(previews_, 1);
    outer->addLayout(row, 1);
    auto* hint = new QLabel(
        QStringLiteral("Doppelklick fügt den Schmuck in der Mitte ein; er lässt sich auch auf "
                       "die Karte ziehen."),
        this);
    hint->setWordWrap(true);
    outer->addWidget(hint);
    auto* buttons = new QDialogButtonBox(this);
    insertButton_ = buttons->addButton(QStringLiteral("&Einfügen"), QDialogButtonBox::ApplyRole);
    insertButton_->setObjectName(QStringLiteral("SchmuckEinfuegen"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(QStringLiteral("Schließen"));
    outer->addWidget(buttons);

    categories_->setCurrentRow(0);
    fillPreviews();
    connect(categories_, &QListWidget::currentRowChanged, this, [this] { fillPreviews(); });
    connect(search_, &QLineEdit::textChanged, this, [this] { fillPreviews(); });
    connect(previews_, &QListWidget::itemDoubleClicked, this, [this] { insertChosen(); });
    connect(previews_, &QListWidget::currentItemChanged, this,
            [this] { insertButton_->setEnabled(!chosenName().isEmpty()); });
    connect(insertButton_, &QPushButton::clicked, this, [this] { insertChosen(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

bool OrnamentDialog::matches(const QString& label, const QString& category, const QString& search) {
    const QString haystack = label + QLatin1Char(' ') + category;
    for (const QString& word : search.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (!haystack.contains(word, Qt::CaseInsensitive)) return false;
    return true;
}

void OrnamentDialog::fillPreviews() {
    const QListWidgetItem* current = categories_->currentItem();
    const QString category = current ? current->text() : allCategories();
    const QString chosen = chosenName();
    previews_->clear();
    for (const OrnamentInfo& info : ornamentCatalogue()) {
        if (category != allCategories() && info.category != category) continue;
        if (!matches(info.label, info.category, search_->text())) continue;
        auto* item =
            new QListWidgetItem(previewOf(info.name, info.recolourable), info.label, previews_);
        item->setData(kNameRole, info.name);
        item->setToolTip(info.label + QStringLiteral(" (") + info.category + QLatin1Char(')'));
        if (info.name == chosen) previews_->setCurrentItem(item);
    }
    // Something is always chosen while anything is shown, so that "Einfügen" is ready.
    if (!previews_->currentItem() && previews_->count() > 0) previews_->setCurrentRow(0);
    insertButton_->setEnabled(!chosenName().isEmpty());
}

QIcon OrnamentDialog::previewOf(const QString& name, bool recolourable) {
    if (const auto it = previewIcons_.constFind(name); it != previewIcons_.constEnd()) return *it;
    // Recolourable ornaments in the colour they get when inserted.
    const QColor colour = recolourable ? toQColor(kOrnamentDefaultColour) : QColor();
    const qreal ratio = devicePixelRatio();
    QPixmap pixmap = QPixmap::fromImage(
        ornamentImage(name, QSize(kPreviewPixels, kPreviewPixels) * ratio, colour));
    pixmap.setDevicePixelRatio(ratio);
    QIcon icon(pixmap);
    previewIcons_.insert(name, icon);
    return icon;
}

void OrnamentDialog::setCategory(const QString& category) {
    const QList<QListWidgetItem*> found = categories_->findItems(category, Qt::MatchExactly);
    categories_->setCurrentItem(found.isEmpty() ? categories_->item(0) : found.first());
}

void OrnamentDialog::setSearch(const QString& text) {
    search_->setText(text);
}

QStringList OrnamentDialog::shownNames() const {
    QStringList out;
    for (int i = 0; i < previews_->count(); ++i)
        out << previews_->item(i)->data(kNameRole).toString();
    return out;
}

QString OrnamentDialog::chosenName() const {
    const QListWidgetItem* item = previews_->currentItem();
    return item ? item->data(kNameRole).toString() : QString();
}

void OrnamentDialog::choose(const QString& name) {
    for (int i = 0; i < previews_->count(); ++i) {
        if (previews_->item(i)->data(kNameRole).toString() == name) {
            previews_->setCurrentRow(i);
            return;
        }
    }
}

void OrnamentDialog::insertChosen() {
    const QString name = chosenName();
    if (!name.isEmpty()) emit insertRequested(name);
}

}  // namespace bb
