#include "editor/NewCardDialog.h"

#include "content/DesignCards.h"
#include "content/DesignPreviews.h"
#include "document/CardPaper.h"
#include "document/Catalogue.h"
#include "document/FileErrors.h"
#include "document/UserDialogs.h"
#include "editor/CardTypeEditDialog.h"
#include "editor/DesignGallery.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace bb {

namespace {

// A length the way the type list shows it: German decimal comma, no trailing zeros.
QString lengthText(double mm) {
    QString s = QLocale(QLocale::German).toString(mm, 'f', 2);
    if (s.contains(QLatin1Char(','))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char(','))) s.chop(1);
    }
    return s;
}

QString sizeText(double width, double height) {
    return QStringLiteral("%1 × %2 mm").arg(lengthText(width), lengthText(height));
}

}  // namespace

QStringList cardTypeRow(const CardFormat& f) {
    QStringList row;
    row << f.typeName << sizeText(f.cardWidth, f.cardHeight)
        << sizeText(f.cardWidth / 2, f.cardHeight)
        << QString::number(qint64(std::max(1, f.cardsAcross)) * std::max(1, f.cardsDown))
        << cardPaperText(cardPaper(f));
    return row;
}

// The sheet of the selected type, drawn to scale: the paper (its orientation as printed), the
// cards and the fold line down each card's middle.
class SheetPicture : public QWidget {
public:
    explicit SheetPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("BlattBild"));
        setMinimumSize(190, 190);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    }
    void setFormat(const std::optional<CardFormat>& format) {
        format_ = format;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!format_) return;
        const CardFormat& f = *format_;
        const CardPaper paper = cardPaper(f);
        // A type no common paper holds is drawn on a sheet as large as its grid.
        QSizeF sheet = paper.known() ? paper.sheetMm() : gridExtentMm(f);
        if (!(sheet.width() > 0 && sheet.height() > 0)) return;
        const QRectF area = QRectF(rect()).adjusted(8, 8, -8, -8);
        const double scale = std::min(area.width() / sheet.width(), area.height() / sheet.height());
        if (!(scale > 0) || !std::isfinite(scale)) return;
        const QSizeF shown = sheet * scale;
        const QPointF origin(area.center().x() - shown.width() / 2,
                             area.center().y() - shown.height() / 2);

        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF paperRect(origin, shown);
        p.fillRect(paperRect.translated(3, 3), palette().color(QPalette::Shadow));
        p.fillRect(paperRect, Qt::white);
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawRect(paperRect);

        p.save();
        p.setClipRect(paperRect);
        const int across = std::clamp(f.cardsAcross, 1, 50);
        const int down = std::clamp(f.cardsDown, 1, 50);
        const QPen edge(palette().color(QPalette::Highlight).darker(130), 1);
        QPen fold(QColor(90, 90, 90), 1, Qt::DashLine);
        for (int row = 0; row < down; ++row) {
            for (int column = 0; column < across; ++column) {
                const QRectF card(origin.x() + (f.leftMargin + column * f.pitchX) * scale,
                                  origin.y() + (f.topMargin + row * f.pitchY) * scale,
                                  f.cardWidth * scale, f.cardHeight * scale);
                p.setPen(edge);
                p.setBrush(palette().color(QPalette::Highlight).lighter(185));
                p.drawRect(card);
                p.setPen(fold);
                p.drawLine(QPointF(card.center().x(), card.top()),
                           QPointF(card.center().x(), card.bottom()));
            }
        }
        p.restore();
    }

private:
    std::optional<CardFormat> format_;
};

namespace {

// A push button of the dialog in layout `l`, which Enter does not press unless it is the
// default.
QPushButton* addButton(QWidget* parent, QBoxLayout* l, const QString& text, const char* name,
                       const QString& tip) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setStatusTip(tip);
    b->setAutoDefault(false);
    l->addWidget(b);
    return b;
}

}  // namespace

NewCardDialog::NewCardDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("neuForm"));
    setWindowTitle(QStringLiteral("Neue Karte erstellen"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    gallery = new DesignGallery(pages_);
    pages_->addWidget(gallery);
    pages_->addWidget(buildTypeBox());
    outer->addWidget(pages_, 1);
    outer->addLayout(buildDialogButtons());

    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    setPreviewCacheFolder(cache.isEmpty() ? QString()
                                          : cache + QStringLiteral("/vorlagen-vorschau"));
    connect(gallery, &DesignGallery::blankChosen, this, &NewCardDialog::showTypes);
    connect(gallery, &DesignGallery::designChosen, this, &NewCardDialog::chooseDesign);
    connect(gallery, &DesignGallery::deleteRequested, this, &NewCardDialog::deleteOwnDesignAsked);

    // The list has the focus first, so typing a letter jumps to a type; the search follows.
    setTabOrder(typeList, searchEdit);
    connect(searchEdit, &QLineEdit::textChanged, this, [this] { applySearch(); });
    connect(typeList, &QTreeWidget::currentItemChanged, this, [this] { showSelectedSheet(); });
    connect(typeList, &QTreeWidget::itemDoubleClicked, this, [this] { confirmChoice(); });
}

QGroupBox* NewCardDialog::buildTypeBox() {
    auto* box = new QGroupBox(QStringLiteral("Kartentyp"), this);
    auto* bl = new QVBoxLayout(box);

    typeList = new QTreeWidget(box);
    typeList->setObjectName(QStringLiteral("TypListe"));
    typeList->setColumnCount(CardTypeColumnCount);
    typeList->setHeaderLabels({QStringLiteral("Kartentyp"), QStringLiteral("Offen"),
                               QStringLiteral("Gefaltet"), QStringLiteral("Pro Blatt"),
                               QStringLiteral("Papier")});
    typeList->setRootIsDecorated(false);
    typeList->setUniformRowHeights(true);
    typeList->setAllColumnsShowFocus(true);
    typeList->setSelectionMode(QAbstractItemView::SingleSelection);
    typeList->header()->setStretchLastSection(false);
    // Every column as wide as its texts: the longest names (50 characters) stay readable.
    typeList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    typeList->setMinimumWidth(780);
    typeList->setMinimumHeight(300);

    searchEdit = new QLineEdit(box);
    searchEdit->setObjectName(QStringLiteral("SuchenED"));
    searchEdit->setPlaceholderText(QStringLiteral("Name oder Teil davon"));
    searchEdit->setStatusTip(QStringLiteral("Zeigt nur die Kartentypen, deren Name dies enthält"));
    auto* searchLabel = new QLabel(QStringLiteral("&Suchen:"), box);
    searchLabel->setBuddy(searchEdit);
    auto* search = new QHBoxLayout;
    search->addWidget(searchLabel);
    search->addWidget(searchEdit, 1);
    bl->addLayout(search);

    sheetPicture_ = new SheetPicture(box);
    auto* pick = new QHBoxLayout;
    pick->addWidget(typeList, 3);
    pick->addWidget(sheetPicture_, 1);
    bl->addLayout(pick, 1);

    auto* edit = new QHBoxLayout;
    connect(addButton(this, edit, QStringLiteral("&Neu"), "NeuBtn",
                      QStringLiteral("Legt einen neuen Kartentyp an")),
            &QPushButton::clicked, this, &NewCardDialog::addType);
    connect(addButton(this, edit, QStringLiteral("Ä&ndern"), "AendernBtn",
                      QStringLiteral("Ändert den gewählten Kartentyp")),
            &QPushButton::clicked, this, &NewCardDialog::changeType);
    connect(addButton(this, edit, QStringLiteral("&Löschen"), "LoeschenBtn",
                      QStringLiteral("Löscht den gewählten Kartentyp")),
            &QPushButton::clicked, this, &NewCardDialog::deleteType);
    edit->addStretch(1);
    bl->addLayout(edit);
    return box;
}

QBoxLayout* NewCardDialog::buildDialogButtons() {
    auto* bottom = new QHBoxLayout;
    backButton_ = addButton(this, bottom, QStringLiteral("&Zurück"), "ZurueckBtn",
                            QStringLiteral("Zeigt wieder die Vorlagen"));
    connect(backButton_, &QPushButton::clicked, this, &NewCardDialog::showGallery);
    bottom->addStretch(1);
    QPushButton* ok = addButton(
        this, bottom, QStringLiteral("&OK"), "OKBtn",
        QStringLiteral("Beginnt eine neue Karte mit der gewählten Vorlage oder dem Kartentyp"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &NewCardDialog::okPressed);
    connect(addButton(this, bottom, QStringLiteral("&Abbrechen"), "CancelBtn",
                      QStringLiteral("Behält die bisherige Karte")),
            &QPushButton::clicked, this, &QDialog::reject);
    return bottom;
}

void NewCardDialog::setPreviewCacheFolder(const QString& folder) {
    auto* previews = new DesignPreviews(folder, QSize(kDesignTileBox, kDesignTileBox), this);
    gallery->setPreviews(previews);
    delete previews_;
    previews_ = previews;
}

void NewCardDialog::listDesigns() {
    gallery->setDesigns(designSource_ ? designSource_() : QList<DesignEntry>());
}

bool NewCardDialog::galleryShown() const {
    return pages_->currentWidget() == gallery;
}

void NewCardDialog::showGallery() {
    pages_->setCurrentWidget(gallery);
    backButton_->setVisible(false);
    gallery->searchEdit->setFocus();
}

void NewCardDialog::showTypes() {
    pages_->setCurrentIndex(1);
    backButton_->setVisible(true);
    typeList->setFocus();
}

void NewCardDialog::okPressed() {
    if (galleryShown())
        gallery->activateCurrent();
    else
        confirmChoice();
}

void NewCardDialog::chooseDesign(const QString& cardPath) {
    if (!open_ || cardPath.isEmpty()) return;
    chosenDesign_ = cardPath;
    // Closing writes the catalogue back (done), unchanged.
    accept();
}

void NewCardDialog::deleteOwnDesignAsked(const QString& cardPath) {
    const QString name = QFileInfo(cardPath).completeBaseName();
    if (dialogs_.message(QStringLiteral("Die eigene Vorlage „%1“ löschen?").arg(name),
                         QStringLiteral("Vorlage löschen"), MsgIcon::Question,
                         BtnYes | BtnNo) != BtnYes)
        return;
    if (!deleteOwnDesign(ownDesignsFolder_, cardPath))
        dialogs_.message(QStringLiteral("Die Vorlage „%1“ konnte nicht gelöscht werden.").arg(name),
                         QStringLiteral("Vorlage löschen"), MsgIcon::Warning, BtnOk);
    listDesigns();
}

int NewCardDialog::runModal(CardFormat& format) {
    target_ = &format;
    chosenDesign_.clear();
    types_ = loadCardTypes(programFolder_);
    {
        const QSignalBlocker quiet(searchEdit);
        searchEdit->clear();
    }
    reloadCardTypes();
    if (!types_.isEmpty()) selectType(0);
    // The dialog shows at once; the previews fill in as they are made.
    listDesigns();
    showGallery();
    open_ = true;
    setResult(Rejected);
    if (hook_) {
        hook_(*this);
        if (open_) done(Rejected);
    } else {
        exec();
    }
    target_ = nullptr;
    return result();
}

int NewCardDialog::currentType() const {
    const QTreeWidgetItem* item = typeList->currentItem();
    if (!item || item->isHidden()) return -1;
    const int i = item->data(TypeNameColumn, Qt::UserRole).toInt();
    return i >= 0 && i < types_.size() ? i : -1;
}

void NewCardDialog::selectType(int i) {
    QTreeWidgetItem* item = typeList->topLevelItem(i);
    if (!item) return;
    if (item->isHidden()) searchEdit->clear();  // shows every row again
    typeList->setCurrentItem(item);
    typeList->scrollToItem(item);
}

int NewCardDialog::visibleTypeCount() const {
    int n = 0;
    for (int i = 0; i < typeList->topLevelItemCount(); ++i)
        if (!typeList->topLevelItem(i)->isHidden()) ++n;
    return n;
}

void NewCardDialog::reloadCardTypes() {
    typeList->clear();
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < types_.size(); ++i) {
        auto* item = new QTreeWidgetItem(cardTypeRow(types_[i]));
        item->setData(TypeNameColumn, Qt::UserRole, i);
        item->setToolTip(TypeNameColumn, types_[i].typeName);
        for (int c = UnfoldedColumn; c < CardTypeColumnCount; ++c)
            item->setTextAlignment(c, c == PaperColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                       : Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    typeList->addTopLevelItems(items);
    applySearch();
}

void NewCardDialog::applySearch() {
    const QString wanted = searchEdit->text().trimmed();
    QTreeWidgetItem* firstShown = nullptr;
    for (int i = 0; i < typeList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = typeList->topLevelItem(i);
        const bool shown = item->text(TypeNameColumn).contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !firstShown) firstShown = item;
    }
    QTreeWidgetItem* current = typeList->currentItem();
    if (!current || current->isHidden()) {
        typeList->setCurrentItem(firstShown);
        if (!firstShown) typeList->clearSelection();
    }
    showSelectedSheet();
}

void NewCardDialog::showSelectedSheet() {
    const int i = currentType();
    sheetPicture_->setFormat(i >= 0 ? std::optional<CardFormat>(types_[i]) : std::nullopt);
}

void NewCardDialog::addType() {
    if (!typeEditor_) return;
    // The other fields keep what the card-type dialog showed last.
    typeEditor_->nameEdit->setText(QStringLiteral("Kein Name") + QString::number(types_.size()));
    if (typeEditor_->runModal() != QDialog::Accepted) return;
    types_.append(typeEditor_->readBack());
    reloadCardTypes();
    selectType(int(types_.size()) - 1);
}

void NewCardDialog::changeType() {
    const int i = currentType();
    if (!typeEditor_ || i < 0) return;
    typeEditor_->fill(types_[i]);
    if (typeEditor_->runModal() != QDialog::Accepted) return;
    types_[i] = typeEditor_->readBack();
    reloadCardTypes();
    selectType(i);
}

void NewCardDialog::deleteType() {
    const int i = currentType();
    if (i < 0) return;
    if (dialogs_.message(QStringLiteral("Hiermit löschen Sie den Visitenkartentyp unwiederrufbar."),
                         QStringLiteral("Hinweis"), MsgIcon::Error, BtnOk | BtnCancel) != BtnOk)
        return;
    types_.removeAt(i);
    reloadCardTypes();
}

void NewCardDialog::confirmChoice() {
    const int i = currentType();
    if (i < 0) {
        dialogs_.message(QStringLiteral("Sie haben keinen Visitenkartentyp ausgewählt."),
                         QStringLiteral("Fehler"), MsgIcon::Error, BtnOk);
        return;
    }
    if (target_) {
        CardFormat f = types_[i];
        f.typeName = f.typeName.left(kTypeNameMax);
        *target_ = f;
    }
    // Closing writes the catalogue back (done).
    accept();
}

void NewCardDialog::done(int r) {
    // Every closing writes the catalogue back and drops it from memory.
    if (open_) {
        open_ = false;
        writeCardTypes();
        clearCardTypes();
        typeList->clear();
        sheetPicture_->setFormat(std::nullopt);
        // Previews still being made are not needed any more; those made stay for next time.
        previews_->cancel();
    }
    QDialog::done(r);
}

void NewCardDialog::writeCardTypes() {
    int error = 0;
    if (saveCardTypes(programFolder_, types_, &error)) return;
    dialogs_.message(QStringLiteral("Die Kartentypen konnten nicht gespeichert werden.\n") +
                         fileFailureLine(QDir(programFolder_).filePath(kCatalogueFileName), error),
                     kAppTitle, MsgIcon::Warning, BtnOk);
}

}  // namespace bb
