// The "Serienkarten" dialog; see MergeDialog.h.
#include "merge/ui/MergeDialog.h"

#include "document/CardDocument.h"
#include "document/UserDialogs.h"
#include "merge/AddressBook.h"
#include "merge/ColumnMapping.h"
#include "merge/MergeFields.h"
#include "merge/MergeSession.h"
#include "merge/ui/AddressListModel.h"
#include "merge/ui/RowChoiceBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace bb {

namespace {

const QString kCaption = QStringLiteral("Serienkarten");

void makeRed(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(190, 0, 0));
    label->setPalette(p);
}

QString counted(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

QLabel* wrappingLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The file's name, or what the address book's marker stands for.
QString listName(const QString& path) {
    if (path == kAddressBookListAll) return QStringLiteral("Adressbuch");
    if (path == kAddressBookListTicked)
        return QStringLiteral("Adressbuch (dieses Jahr angekreuzt)");
    return QFileInfo(path).fileName();
}

}  // namespace

MergeDialog::MergeDialog(MergeSession& session, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), session_(session), dialogs_(dialogs) {
    setObjectName(QStringLiteral("SerienkartenDlg"));
    setWindowTitle(kCaption);
    resize(720, 560);
    QHBoxLayout* listRow = buildListRow();
    buildTable();
    // The records and the mapping share the room of a tab each, so the dialog fits a small
    // screen.
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("MergeTabs"));
    tabs_->addTab(table_, QStringLiteral("Datensätze"));
    tabs_->addTab(buildMapping(), QStringLiteral("Spalten zuordnen"));
    QHBoxLayout* choices = buildChoices();
    QHBoxLayout* buttons = buildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(listRow);
    layout->addWidget(warningsLabel_);
    layout->addWidget(loadRow_);
    layout->addWidget(tabs_, 1);
    layout->addWidget(missingLabel_);
    layout->addWidget(emptyFieldsLabel_);
    layout->addWidget(unusedLabel_);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    connect(&session_, &MergeSession::changed, this, &MergeDialog::refresh);
    connect(&session_, &MergeSession::loadFailed, this, &MergeDialog::loadFailed);
    refresh();
}

// The chosen list, what reading it said and the progress of reading it.
QHBoxLayout* MergeDialog::buildListRow() {
    auto* chooseBtn = new QPushButton(QStringLiteral("Adressliste wählen..."), this);
    chooseBtn->setObjectName(QStringLiteral("ChooseListBtn"));
    chooseBtn->setStatusTip(
        QStringLiteral("Wählt die Adressliste (CSV oder vCard) für diese Karte"));
    // The address book "Adressen" as the list, all of it or this year's ticked entries.
    auto* bookBtn = new QPushButton(QStringLiteral("Adressbuch verwenden"), this);
    bookBtn->setObjectName(QStringLiteral("adressbuchVerwenden"));
    bookBtn->setStatusTip(QStringLiteral("Nimmt die Adressen des Adressbuchs als Liste"));
    auto* tickedOnly = new QCheckBox(QStringLiteral("nur für dieses Jahr angekreuzte"), this);
    tickedOnly->setObjectName(QStringLiteral("nurAngekreuzte"));
    tickedOnly->setChecked(true);
    tickedOnly->setStatusTip(
        QStringLiteral("Nimmt nur die Adressen, die für dieses Jahr angekreuzt sind"));
    connect(bookBtn, &QPushButton::clicked, this,
            [this, tickedOnly] { emit addressBookRequested(tickedOnly->isChecked()); });
    listLabel_ = wrappingLabel("ListLabel", this);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(chooseBtn);
    listRow->addWidget(bookBtn);
    listRow->addWidget(tickedOnly);
    listRow->addWidget(listLabel_, 1);
    warningsLabel_ = wrappingLabel("ReadWarningsLabel", this);

    loadRow_ = new QWidget(this);
    loadRow_->setObjectName(QStringLiteral("LoadRow"));
    loadProgress_ = new QProgressBar(loadRow_);
    loadProgress_->setObjectName(QStringLiteral("LoadProgress"));
    loadProgress_->setRange(0, 100);
    auto* cancelLoadBtn = new QPushButton(QStringLiteral("Abbrechen"), loadRow_);
    cancelLoadBtn->setObjectName(QStringLiteral("CancelLoadBtn"));
    cancelLoadBtn->setStatusTip(QStringLiteral("Bricht das Lesen der Adressliste ab"));
    auto* loadLayout = new QHBoxLayout(loadRow_);
    loadLayout->setContentsMargins(0, 0, 0, 0);
    loadLayout->addWidget(new QLabel(QStringLiteral("Die Liste wird gelesen:"), loadRow_));
    loadLayout->addWidget(loadProgress_, 1);
    loadLayout->addWidget(cancelLoadBtn);
    connect(chooseBtn, &QPushButton::clicked, this, &MergeDialog::chooseList);
    connect(cancelLoadBtn, &QPushButton::clicked, &session_, &MergeSession::cancelLoad);
    return listRow;
}

// The table of the list's records and the notes under it.
void MergeDialog::buildTable() {
    model_ = new AddressListModel(session_, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("RecordTable"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    // Fixed row heights and sizes measured on a few rows: a long list costs only what shows.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setResizeContentsPrecision(50);
    table_->horizontalHeader()->setStretchLastSection(true);
    // A bold header of the current column would no longer fit the width measured for it.
    table_->horizontalHeader()->setHighlightSections(false);
    // The corner button is Qt's own part of the table, and named the way Qt names its parts.
    for (QAbstractButton* b : table_->findChildren<QAbstractButton*>())
        if (b->inherits("QTableCornerButton"))
            b->setObjectName(QStringLiteral("qt_table_corner_button"));

    missingLabel_ = wrappingLabel("MissingFieldsLabel", this);
    makeRed(missingLabel_);
    emptyFieldsLabel_ = wrappingLabel("EmptyFieldsLabel", this);
    unusedLabel_ = wrappingLabel("UnusedColumnsLabel", this);
    // The row picked in the table is the record the card shows.
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && model_->list() == session_.sourceList())
                    session_.showRecord(current.row());
            });
}

// "Spalten zuordnen": a combo per field with "(keine)" and the list's columns; its rows are
// made by refreshMapping.
QWidget* MergeDialog::buildMapping() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("spaltenZuordnung"));
    auto* intro = new QLabel(
        QStringLiteral("Welche Spalte der Liste füllt welches Feld? Die Zuordnung gilt für "
                       "diese Liste und wird gemerkt."),
        page);
    intro->setWordWrap(true);
    auto* rows = new QWidget;
    mappingForm_ = new QFormLayout(rows);
    mappingForm_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("MappingScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(rows);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(intro);
    layout->addWidget(scroll, 1);
    return page;
}

// Which rows, how many copies, which sides, and the column that names exported pictures.
QHBoxLayout* MergeDialog::buildChoices() {
    rows_ = new RowChoiceBox(session_, this);

    copiesSpin_ = new QSpinBox(this);
    copiesSpin_->setObjectName(QStringLiteral("CopiesSpin"));
    copiesSpin_->setRange(kMergeCopiesMin, kMergeCopiesMax);
    nameColumnCombo_ = new QComboBox(this);
    nameColumnCombo_->setObjectName(QStringLiteral("NameColumnCombo"));
    nameColumnCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    sidesCombo_ = new QComboBox(this);
    sidesCombo_->setObjectName(QStringLiteral("SidesCombo"));
    sidesCombo_->addItem(QStringLiteral("Außenseite"), int(MergeSides::Outside));
    sidesCombo_->addItem(QStringLiteral("Innenseite"), int(MergeSides::Inside));
    sidesCombo_->addItem(QStringLiteral("Beide Seiten"), int(MergeSides::Both));
    sidesCombo_->setStatusTip(
        QStringLiteral("Welche Seiten gedruckt oder als Bilder gespeichert werden; beide "
                       "Seiten drucken Außen- und Innenseite auf Vorder- und Rückseite"));
    sidesCombo_->setToolTip(sidesCombo_->statusTip());
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Seiten:"), sidesCombo_);
    form->addRow(QStringLiteral("Exemplare je Datensatz:"), copiesSpin_);
    form->addRow(QStringLiteral("Dateiname aus Spalte:"), nameColumnCombo_);
    auto* choices = new QHBoxLayout;
    choices->addWidget(rows_, 1);
    choices->addLayout(form);
    connect(copiesSpin_, &QSpinBox::valueChanged, &session_, &MergeSession::setCopies);
    connect(sidesCombo_, &QComboBox::activated, this, [this] { sidesChosen_ = true; });
    return choices;
}

// The commands of the window.
QHBoxLayout* MergeDialog::buildButtons() {
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setToolTip(tip);
        b->setStatusTip(tip);
        return b;
    };
    printBtn_ = button("MergePrintBtn", QStringLiteral("Drucken"),
                       QStringLiteral("Druckt eine Karte je Datensatz mit den Einstellungen "
                                      "des Druck-Registers"));
    exportBtn_ =
        button("MergeExportBtn", QStringLiteral("Bilder exportieren..."),
               QStringLiteral("Speichert die gewählten Seiten einmal je Datensatz als Bild"));
    removeBtn_ = button("RemoveListBtn", QStringLiteral("Liste entfernen"),
                        QStringLiteral("Die Karte wird wieder ohne Adressliste gezeigt"));
    auto* closeBtn =
        button("CloseBtn", QStringLiteral("Schließen"), QStringLiteral("Schließt das Fenster"));
    closeBtn->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(printBtn_);
    buttons->addWidget(exportBtn_);
    buttons->addWidget(removeBtn_);
    buttons->addStretch();
    buttons->addWidget(closeBtn);
    connect(printBtn_, &QPushButton::clicked, this, &MergeDialog::requestPrint);
    connect(exportBtn_, &QPushButton::clicked, this, &MergeDialog::requestExport);
    connect(removeBtn_, &QPushButton::clicked, this, &MergeDialog::removeRequested);
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

void MergeDialog::prepare(const QStringList& cardFields, const QString& listFolder, int shownSide) {
    cardFields_ = cardFields;
    listFolder_ = listFolder;
    // Fields the card has gained since the list was mapped get their guess.
    if (const auto& source = session_.sourceList())
        session_.setMapping(guessMapping(*source, mappingFields(cardFields_), session_.mapping()));
    if (!sidesChosen_)
        sidesCombo_->setCurrentIndex(sidesCombo_->findData(
            int(shownSide == SideInside ? MergeSides::Inside : MergeSides::Outside)));
    refresh();
    // The table starts at the record the card shows.
    if (model_->list() && model_->list() == session_.sourceList()) {
        const QModelIndex shown = model_->index(session_.shownRecord(), 1);
        table_->setCurrentIndex(shown);
        table_->scrollTo(shown);
    }
}

MergeSides MergeDialog::sides() const {
    return MergeSides(sidesCombo_->currentData().toInt());
}

void MergeDialog::chooseList() {
    FileDialogRequest r;
    r.caption = QStringLiteral("Adressliste wählen");
    r.directory =
        session_.hasList() ? QFileInfo(session_.list()->path).absolutePath() : listFolder_;
    r.filter = kAddressListFilter;
    const FileDialogResult chosen = dialogs_.openFile(r);
    if (!chosen.path.isEmpty()) session_.loadList(chosen.path);
}

void MergeDialog::loadFailed(const QString& path, const QString& error) {
    // Reads the window started itself (a remembered list) report in its status line.
    if (!isVisible()) return;
    dialogs_.message(QStringLiteral("Die Adressliste \"%1\" konnte nicht gelesen werden.\n%2")
                         .arg(QFileInfo(path).fileName(), error),
                     kCaption, MsgIcon::Warning, BtnOk);
}

void MergeDialog::refresh() {
    refreshList();
    refreshMapping();
    refreshNotes();
    refreshChoice();
}

void MergeDialog::refreshList() {
    const bool loading = session_.isLoading();
    loadRow_->setVisible(loading);
    loadProgress_->setValue(session_.loadProgress());
    // While a list is read its first rows show; the list chosen before stays the card's.
    const std::shared_ptr<const AddressList>& shown =
        loading && session_.loadingRows() ? session_.loadingRows() : session_.sourceList();
    if (shown != model_->list()) {
        model_->setList(shown);
        table_->resizeColumnsToContents();
    } else {
        model_->ticksChanged();
    }

    const std::shared_ptr<const AddressList>& list = session_.sourceList();
    if (loading && session_.loadingRows() != shown) {
        listLabel_->setText(QStringLiteral("%1 wird gelesen ...")
                                .arg(QFileInfo(session_.loadingPath()).fileName()));
    } else if (loading) {
        listLabel_->setText(QStringLiteral("%1: die ersten Datensätze")
                                .arg(QFileInfo(session_.loadingPath()).fileName()));
    } else if (list) {
        listLabel_->setText(QStringLiteral("%1: %2, %3")
                                .arg(listName(list->path),
                                     counted(list->rowCount(), "Datensatz", "Datensätze"),
                                     counted(int(list->columns.size()), "Spalte", "Spalten")));
    } else {
        listLabel_->setText(QStringLiteral("Keine Adressliste gewählt."));
    }
    listLabel_->setToolTip(list ? list->path : QString());

    const QStringList warnings = list && !loading ? list->warnings : QStringList();
    warningsLabel_->setVisible(!warnings.isEmpty());
    if (!warnings.isEmpty())
        warningsLabel_->setText(QStringLiteral("Beim Lesen ausgebessert: ") + warnings.first() +
                                (warnings.size() > 1
                                     ? QStringLiteral(" (und %1 weitere)").arg(warnings.size() - 1)
                                     : QString()));

    // The name column offers the columns of the list chosen.
    if (columnsOf_ != list) {
        columnsOf_ = list;
        const QSignalBlocker quiet(nameColumnCombo_);
        nameColumnCombo_->clear();
        nameColumnCombo_->addItem(QStringLiteral("(Datensatznummer)"), -1);
        if (list) {
            for (int c = 0; c < int(list->columns.size()); ++c)
                nameColumnCombo_->addItem(list->columns.at(c), c);
            nameColumnCombo_->setCurrentIndex(nameColumnCombo_->findData(defaultNameColumn(*list)));
        }
    }
}

void MergeDialog::refreshMapping() {
    const std::shared_ptr<const AddressList>& list = session_.sourceList();
    const QStringList fields = list ? mappingFields(cardFields_) : QStringList();
    const QStringList columns = list ? list->columns : QStringList();
    if (fields != mappingFields_ || columns != mappingColumns_) {
        mappingFields_ = fields;
        mappingColumns_ = columns;
        while (mappingForm_->rowCount() > 0) mappingForm_->removeRow(0);
        columnCombos_.clear();
        for (const QString& field : fields) {
            auto* combo = new QComboBox;
            combo->setObjectName(QStringLiteral("ColumnCombo:") + field);
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(12);
            combo->addItem(QStringLiteral("(keine)"), QString());
            for (const QString& column : columns) combo->addItem(column, column);
            combo->setStatusTip(QStringLiteral("Die Spalte, aus der {%1} gefüllt wird").arg(field));
            connect(combo, &QComboBox::activated, this,
                    [this, field, combo] { chooseColumn(field, combo->currentData().toString()); });
            mappingForm_->addRow(QStringLiteral("{%1}").arg(field), combo);
            columnCombos_.emplace_back(field, combo);
        }
        if (fields.isEmpty())
            mappingForm_->addRow(new QLabel(QStringLiteral("Noch keine Adressliste gewählt.")));
    }
    for (const auto& [field, combo] : columnCombos_) {
        const QSignalBlocker quiet(combo);
        const int c = list->columnOf(session_.mapping().columnOf(field));
        combo->setCurrentIndex(c < 0 ? 0 : c + 1);
    }
}

void MergeDialog::chooseColumn(const QString& field, const QString& column) {
    ColumnMapping mapping = session_.mapping();
    if (mapping.has(field) && mapping.columnOf(field) == column) return;
    mapping.set(field, column);
    session_.setMapping(mapping);
    emit mappingChosen();
}

void MergeDialog::refreshNotes() {
    const std::shared_ptr<const AddressList>& shown = model_->list();
    // The session's list is judged as it fills the card, i.e. mapped.
    const bool own = shown && shown == session_.sourceList();
    const std::shared_ptr<const AddressList>& list = own ? session_.list() : shown;
    FieldNotes notes;
    if (list) notes = fieldNotes(cardFields_, *list);
    if (own) {
        const QStringList unused = unusedColumns(cardFields_, *shown, session_.mapping());
        notes.unused.clear();
        if (!unused.isEmpty())
            notes.unused = QStringLiteral("Spalten, die die Karte nicht verwendet: ") +
                           unused.join(QStringLiteral(", "));
    }
    if (!list && !cardFields_.isEmpty())
        notes.unused =
            QStringLiteral("Felder der Karte: ") + cardFields_.join(QStringLiteral(", "));
    if (list && cardFields_.isEmpty())
        notes.unused = QStringLiteral(
            "Die Karte hat noch keine Felder. Ein Feld wird in einen "
            "Text geschrieben, zum Beispiel: Liebe {Vorname}");
    missingLabel_->setText(notes.missing);
    missingLabel_->setVisible(!notes.missing.isEmpty());
    unusedLabel_->setText(notes.unused);
    unusedLabel_->setVisible(!notes.unused.isEmpty());

    // Rows that leave a field of the card empty: a card would show a gap there. Not while a
    // list is still read (its rows keep growing).
    if (!list || session_.isLoading()) {
        emptyFieldsLabel_->hide();
        return;
    }
    if (list != emptyNoteList_ || cardFields_ != emptyNoteFields_) {
        emptyNoteList_ = list;
        emptyNoteFields_ = cardFields_;
        emptyNote_ = emptyFieldsNote(cardFields_, *list);
    }
    emptyFieldsLabel_->setText(emptyNote_);
    emptyFieldsLabel_->setVisible(!emptyNote_.isEmpty());
}

void MergeDialog::refreshChoice() {
    const bool hasList = session_.hasList();
    rows_->refresh();
    {
        const QSignalBlocker quiet(copiesSpin_);
        copiesSpin_->setValue(session_.copies());
    }
    QString why;
    const std::optional<MergePlan> plan = session_.plan(&why);
    if (plan) {
        rows_->showPlan(QStringLiteral("%1 × %2 = %3")
                            .arg(counted(int(plan->rows.size()), "Datensatz", "Datensätze"),
                                 counted(plan->copies, "Exemplar", "Exemplare"),
                                 counted(plan->cardCount(), "Karte", "Karten")));
    } else {
        rows_->showRefusal(hasList ? why : QString());
    }
    // Without a list there is nothing to choose.
    rows_->setEnabled(hasList);
    copiesSpin_->setEnabled(hasList);
    nameColumnCombo_->setEnabled(hasList);
    printBtn_->setEnabled(plan.has_value());
    exportBtn_->setEnabled(plan.has_value());
    removeBtn_->setEnabled(hasList);
}

void MergeDialog::requestPrint() {
    QString why;
    if (const std::optional<MergePlan> plan = session_.plan(&why))
        emit printRequested(*plan, sides());
    else
        dialogs_.message(why, kCaption, MsgIcon::Information, BtnOk);
}

void MergeDialog::requestExport() {
    QString why;
    if (const std::optional<MergePlan> plan = session_.plan(&why))
        emit exportRequested(plan->rows, nameColumnCombo_->currentData().toInt(), sides());
    else
        dialogs_.message(why, kCaption, MsgIcon::Information, BtnOk);
}

}  // namespace bb
