// The "Adressen" dialog and its entry form; see AddressBookDialog.h.
#include "merge/ui/AddressBookDialog.h"

#include "document/FolderFile.h"
#include "document/UserDialogs.h"
#include "merge/ui/MergeDialog.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace bb {

namespace {

const QString kCaption = QStringLiteral("Adressen");
const QString kExportFilter =
    QStringLiteral("CSV UTF-8|*.csv|CSV Windows-1252|*.csv|vCard 3.0|*.vcf|vCard 4.0|*.vcf");

// The table's columns after the tick: every field but the note.
constexpr std::array kShownFields = {
    AddressField::Anrede,  AddressField::Vorname, AddressField::Nachname,  AddressField::Firma,
    AddressField::Strasse, AddressField::Plz,     AddressField::Ort,       AddressField::Land,
    AddressField::EMail,   AddressField::Telefon, AddressField::Geburtstag};

constexpr int kSortRole = Qt::UserRole;

}  // namespace

// The book's entries as rows: the tick "dieses Jahr" (checkable), then the fields.
class AddressBookModel : public QAbstractTableModel {
public:
    AddressBookModel(AddressBook& book, int year, std::function<void()> ticked, QObject* parent)
        : QAbstractTableModel(parent), book_(book), year_(year), ticked_(std::move(ticked)) {}

    void reset() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(book_.entries.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(kShownFields.size()) + 1;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        if (section == 0) return QStringLiteral("dieses Jahr");
        return addressBookFieldName(kShownFields[size_t(section - 1)]);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= int(book_.entries.size())) return {};
        const AddressEntry& e = book_.entries[size_t(index.row())];
        if (index.column() == 0) {
            if (role == Qt::CheckStateRole) return e.tickedIn(year_) ? Qt::Checked : Qt::Unchecked;
            if (role == kSortRole) return e.tickedIn(year_) ? 0 : 1;
            return {};
        }
        const AddressField field = kShownFields[size_t(index.column() - 1)];
        if (role == Qt::DisplayRole) return e[field];
        if (role == kSortRole) {
            // Birthdays in the order of the year, without a date last.
            if (field == AddressField::Geburtstag) {
                const auto b = parseBirthday(e[field]);
                return b ? b->month * 100 + b->day : 10000;
            }
            return e[field].toLower();
        }
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
        AddressEntry& e = book_.entries[size_t(index.row())];
        e.tickedYear = value.toInt() == Qt::Checked ? year_ : 0;
        emit dataChanged(index, index, {Qt::CheckStateRole, kSortRole});
        ticked_();
        return true;
    }

private:
    AddressBook& book_;
    int year_;
    std::function<void()> ticked_;
};

// ---- the form ----

AddressEntryDialog::AddressEntryDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("AddressEntryDialog"));
    auto* form = new QFormLayout;
    const QStringList& names = addressBookFieldNames();
    for (int f = 0; f < kAddressFieldCount; ++f) {
        if (f == int(AddressField::Notiz)) continue;
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("feld") + names[f]);
        if (f == int(AddressField::Geburtstag))
            edit->setPlaceholderText(QStringLiteral("TT.MM.JJJJ oder TT.MM."));
        edits_[size_t(f)] = edit;
        form->addRow(names[f] + u':', edit);
    }
    note_ = new QPlainTextEdit(this);
    note_->setObjectName(QStringLiteral("feldNotiz"));
    note_->setTabChangesFocus(true);
    form->addRow(QStringLiteral("Notiz:"), note_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddressEntryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddressEntryDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void AddressEntryDialog::setEntry(const AddressEntry& entry) {
    entry_ = entry;
    for (int f = 0; f < kAddressFieldCount; ++f)
        if (edits_[size_t(f)]) edits_[size_t(f)]->setText(entry.fields[size_t(f)]);
    note_->setPlainText(entry[AddressField::Notiz]);
}

AddressEntry AddressEntryDialog::entry() const {
    AddressEntry e = entry_;
    for (int f = 0; f < kAddressFieldCount; ++f)
        if (edits_[size_t(f)])
            e.fields[size_t(f)] = edits_[size_t(f)]->text().trimmed().left(kAddressFieldMaxChars);
    e[AddressField::Notiz] = note_->toPlainText().left(kAddressFieldMaxChars);
    if (const auto b = parseBirthday(e[AddressField::Geburtstag]))
        e[AddressField::Geburtstag] = birthdayText(*b);
    return e;
}

bool AddressEntryDialog::check() {
    const QString birthday = edits_[size_t(AddressField::Geburtstag)]->text().trimmed();
    if (birthday.isEmpty() || parseBirthday(birthday)) return true;
    dialogs_.message(QStringLiteral("„%1“ ist kein Geburtstag. Bitte als Tag und Monat "
                                    "(14.03.) oder mit Jahr (14.03.1985) eingeben.")
                         .arg(birthday),
                     kCaption, MsgIcon::Warning, BtnOk);
    return false;
}

void AddressEntryDialog::accept() {
    if (check()) QDialog::accept();
}

// ---- the book ----

AddressBookDialog::AddressBookDialog(UserDialogs& dialogs, const QString& folder, int year,
                                     QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), folder_(folder), year_(year) {
    setObjectName(QStringLiteral("AddressBookDialog"));
    setWindowTitle(kCaption);
    resize(860, 520);
    editor_ = [this](AddressEntry& entry, const QString& caption) {
        AddressEntryDialog form(dialogs_, this);
        form.setWindowTitle(caption);
        form.setEntry(entry);
        if (form.exec() != QDialog::Accepted) return false;
        entry = form.entry();
        return true;
    };

    QTableView* table = buildTable();
    QHBoxLayout* buttons = buildButtons();
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Suchen:"), this));
    top->addWidget(search_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    updateButtons();
}

// The search field and the table, sorted by last name, filtered by the search.
QTableView* AddressBookDialog::buildTable() {
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("adressSuche"));
    search_->setPlaceholderText(QStringLiteral("Suchen"));
    search_->setClearButtonEnabled(true);

    model_ = new AddressBookModel(
        book_, year_, [this] { save(); }, this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(kSortRole);
    proxy_->setFilterKeyColumn(-1);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("adressTabelle"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(3, Qt::AscendingOrder);  // by last name
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    connect(search_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.column() != 0) editEntry();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AddressBookDialog::updateButtons);
    connect(proxy_, &QAbstractItemModel::modelReset, this, &AddressBookDialog::updateButtons);
    connect(proxy_, &QAbstractItemModel::rowsRemoved, this, &AddressBookDialog::updateButtons);
    connect(proxy_, &QAbstractItemModel::rowsInserted, this, &AddressBookDialog::updateButtons);
    return table_;
}

// The commands and the start setting.
QHBoxLayout* AddressBookDialog::buildButtons() {
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setStatusTip(tip);
        return b;
    };
    auto* newBtn = button("adressNeu", QStringLiteral("Neu..."),
                          QStringLiteral("Nimmt eine neue Adresse auf"));
    editBtn_ = button("adressBearbeiten", QStringLiteral("Bearbeiten..."),
                      QStringLiteral("Ändert die gewählte Adresse"));
    deleteBtn_ = button("adressLoeschen", QStringLiteral("Löschen"),
                        QStringLiteral("Löscht die gewählten Adressen"));
    auto* importBtn = button("adressImportieren", QStringLiteral("Importieren..."),
                             QStringLiteral("Übernimmt Adressen aus einer CSV- oder vCard-Datei"));
    exportBtn_ = button("adressExportieren", QStringLiteral("Exportieren..."),
                        QStringLiteral("Speichert die gezeigten Adressen als CSV oder vCard"));
    auto* closeBtn = button("adressSchliessen", QStringLiteral("Schließen"), QString());
    birthdays_ = new QCheckBox(QStringLiteral("Geburtstage beim Start zeigen"), this);
    birthdays_->setObjectName(QStringLiteral("geburtstageBeimStart"));
    birthdays_->setStatusTip(
        QStringLiteral("Zeigt beim Start die Geburtstage der nächsten 30 Tage"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {newBtn, editBtn_, deleteBtn_, importBtn, exportBtn_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(birthdays_);
    buttons->addWidget(closeBtn);

    connect(newBtn, &QPushButton::clicked, this, &AddressBookDialog::addEntry);
    connect(editBtn_, &QPushButton::clicked, this, &AddressBookDialog::editEntry);
    connect(deleteBtn_, &QPushButton::clicked, this, &AddressBookDialog::deleteEntries);
    connect(importBtn, &QPushButton::clicked, this, &AddressBookDialog::importFile);
    connect(exportBtn_, &QPushButton::clicked, this, &AddressBookDialog::exportFile);
    connect(closeBtn, &QPushButton::clicked, this, &AddressBookDialog::accept);
    connect(birthdays_, &QCheckBox::toggled, this, &AddressBookDialog::birthdaysAtStartChanged);
    return buttons;
    updateButtons();
}

AddressBookDialog::~AddressBookDialog() = default;

bool AddressBookDialog::loadBook() {
    AddressBookLoad load = loadAddressBook(folder_);
    if (!load.ok()) {
        const QString path = QDir::toNativeSeparators(QDir(folder_).filePath(kAddressBookFileName));
        const int answer = dialogs_.message(
            QStringLiteral("Das Adressbuch %1 kann nicht gelesen werden:\n%2\n\n"
                           "Die Datei bleibt, wie sie ist. Soll ein neues, leeres Adressbuch "
                           "begonnen werden? Die alte Datei wird dann unter einem anderen "
                           "Namen im selben Ordner aufbewahrt.")
                .arg(path, load.error),
            kCaption, MsgIcon::Warning, BtnYes | BtnNo);
        if (answer != BtnYes) return false;
        QString why;
        if (setAsideAddressBook(folder_, &why).isEmpty()) {
            dialogs_.message(why, kCaption, MsgIcon::Error, BtnOk);
            return false;
        }
        load.book = {};
    }
    book_ = std::move(load.book);
    model_->reset();
    return true;
}

bool AddressBookDialog::birthdaysAtStart() const {
    return birthdays_->isChecked();
}

void AddressBookDialog::setBirthdaysAtStart(bool on) {
    const QSignalBlocker block(birthdays_);
    birthdays_->setChecked(on);
}

bool AddressBookDialog::save() {
    QString why;
    if (saveAddressBook(folder_, book_, &why)) return true;
    dialogs_.message(QStringLiteral("Die Änderung konnte nicht gespeichert werden:\n%1").arg(why),
                     kCaption, MsgIcon::Error, BtnOk);
    return false;
}

void AddressBookDialog::changed() {
    model_->reset();
    save();
}

std::vector<int> AddressBookDialog::selectedEntries() const {
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows.push_back(proxy_->mapToSource(index).row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void AddressBookDialog::updateButtons() {
    const qsizetype selected = table_->selectionModel()->selectedRows().size();
    editBtn_->setEnabled(selected == 1);
    deleteBtn_->setEnabled(selected > 0);
    exportBtn_->setEnabled(proxy_->rowCount() > 0);
}

void AddressBookDialog::addEntry() {
    if (int(book_.entries.size()) >= kAddressBookMaxEntries) {
        dialogs_.message(
            QStringLiteral("Das Adressbuch ist voll (%1 Einträge).").arg(kAddressBookMaxEntries),
            kCaption, MsgIcon::Warning, BtnOk);
        return;
    }
    AddressEntry entry;
    if (!editor_(entry, QStringLiteral("Neue Adresse"))) return;
    book_.entries.push_back(std::move(entry));
    changed();
    // The new entry is the one selected, wherever sorting puts it.
    const QModelIndex at = proxy_->mapFromSource(model_->index(int(book_.entries.size()) - 1, 1));
    if (at.isValid()) {
        table_->selectionModel()->select(
            at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        table_->scrollTo(at);
    }
}

void AddressBookDialog::editEntry() {
    const std::vector<int> rows = selectedEntries();
    if (rows.size() != 1) return;
    AddressEntry entry = book_.entries[size_t(rows.front())];
    if (!editor_(entry, QStringLiteral("Adresse bearbeiten"))) return;
    book_.entries[size_t(rows.front())] = std::move(entry);
    changed();
}

void AddressBookDialog::deleteEntries() {
    const std::vector<int> rows = selectedEntries();
    if (rows.empty()) return;
    const QString question =
        rows.size() == 1
            ? QStringLiteral("Soll die Adresse „%1“ gelöscht werden?")
                  .arg(book_.entries[size_t(rows.front())].displayName())
            : QStringLiteral("Sollen die %1 gewählten Adressen gelöscht werden?").arg(rows.size());
    if (dialogs_.message(question, kCaption, MsgIcon::Question, BtnYes | BtnNo) != BtnYes) return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        book_.entries.erase(book_.entries.begin() + *it);
    changed();
}

void AddressBookDialog::importFile() {
    FileDialogRequest request;
    request.caption = QStringLiteral("Adressen importieren");
    request.directory = QDir::homePath();
    request.filter = kAddressListFilter;
    const FileDialogResult chosen = dialogs_.openFile(request);
    if (chosen.path.isEmpty()) return;
    const AddressImport read = importAddressFile(chosen.path);
    if (!read.ok()) {
        dialogs_.message(
            QStringLiteral("Die Adressen konnten nicht importiert werden:\n%1").arg(read.error),
            kCaption, MsgIcon::Warning, BtnOk);
        return;
    }
    // An entry already in the book (the same fields) is not taken twice.
    QSet<QString> known;
    const auto key = [](const AddressEntry& e) {
        return QStringList(e.fields.begin(), e.fields.end()).join(QChar(0x1F));
    };
    for (const AddressEntry& e : book_.entries) known.insert(key(e));
    int taken = 0, twice = 0, beyond = 0;
    for (const AddressEntry& e : read.entries) {
        if (known.contains(key(e))) {
            ++twice;
        } else if (int(book_.entries.size()) >= kAddressBookMaxEntries) {
            ++beyond;
        } else {
            known.insert(key(e));
            book_.entries.push_back(e);
            ++taken;
        }
    }
    if (taken > 0) changed();
    QString report = QStringLiteral("%1 Adressen übernommen.").arg(taken);
    if (twice > 0) report += QStringLiteral(" %1 standen schon im Adressbuch.").arg(twice);
    if (beyond > 0)
        report += QStringLiteral(" %1 passten nicht mehr hinein (höchstens %2 Einträge).")
                      .arg(beyond)
                      .arg(kAddressBookMaxEntries);
    if (!read.warnings.isEmpty()) report += u'\n' + read.warnings.join(u'\n');
    dialogs_.message(report, kCaption, MsgIcon::Information, BtnOk);
}

void AddressBookDialog::exportFile() {
    // What the table shows (all entries, or those the search finds), in its order.
    std::vector<AddressEntry> shown;
    for (int r = 0; r < proxy_->rowCount(); ++r)
        shown.push_back(book_.entries[size_t(proxy_->mapToSource(proxy_->index(r, 0)).row())]);
    if (shown.empty()) return;
    FileDialogRequest request;
    request.caption = QStringLiteral("Adressen exportieren");
    request.directory = QDir::homePath();
    request.filter = kExportFilter;
    request.defaultSuffix = QStringLiteral("csv");
    request.initialName = QStringLiteral("Adressen.csv");
    const FileDialogResult chosen = dialogs_.saveFile(request);
    if (chosen.path.isEmpty()) return;
    static constexpr std::array kFormats = {AddressExchange::CsvUtf8, AddressExchange::CsvCp1252,
                                            AddressExchange::VCard3, AddressExchange::VCard4};
    const AddressExchange format = kFormats[size_t(std::clamp(chosen.filterIndex, 1, 4) - 1)];
    const bool vcard = format == AddressExchange::VCard3 || format == AddressExchange::VCard4;
    const AddressExport out = exportAddresses(shown, format);
    if (!out.ok()) {
        dialogs_.message(out.error, kCaption, MsgIcon::Warning, BtnOk);
        return;
    }
    const QFileInfo info(chosen.path);
    QString name = info.fileName();
    // The suffix of the chosen format when the name has none of its own.
    if (info.suffix().isEmpty()) name += vcard ? QStringLiteral(".vcf") : QStringLiteral(".csv");
    QString why;
    if (writeFileInFolder(info.absolutePath(), name, out.bytes, true, &why) !=
        FolderWrite::Written) {
        if (why.isEmpty())
            why = QStringLiteral("%1 ist keine gewöhnliche Datei.")
                      .arg(QDir::toNativeSeparators(QDir(info.absolutePath()).filePath(name)));
        dialogs_.message(
            QStringLiteral("Die Adressen konnten nicht exportiert werden:\n%1").arg(why), kCaption,
            MsgIcon::Error, BtnOk);
    }
}

}  // namespace bb
