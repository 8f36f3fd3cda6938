// The personal-card state of the open card; see MergeSession.h.
#include "merge/MergeSession.h"

#include "merge/AddressListLoader.h"
#include "merge/MergeFields.h"

#include <algorithm>

namespace bb {

MergeSession::MergeSession(QObject* parent)
    : QObject(parent), loader_(new AddressListLoader(this)) {
    connect(loader_, &AddressListLoader::firstRows, this,
            [this](std::shared_ptr<const AddressList> rows) {
                loadingRows_ = std::move(rows);
                emit changed();
            });
    connect(loader_, &AddressListLoader::progress, this, [this](int percent) {
        loadProgress_ = percent;
        emit changed();
    });
    connect(loader_, &AddressListLoader::finished, this, &MergeSession::loaded);
}

MergeSession::~MergeSession() = default;

void MergeSession::setList(std::shared_ptr<const AddressList> list) {
    source_ = std::move(list);
    mapping_ = !source_   ? ColumnMapping()
               : chooser_ ? chooser_(*source_)
                          : guessMapping(*source_, addressFieldNames());
    list_ = mappedList(source_, mapping_);
    rowChoice_ = Rows::All;
    rangeText_.clear();
    ticked_.assign(size_t(rowCount()), 0);
    tickedCount_ = 0;
    shown_ = 0;
    emit listChanged();
    emit shownChanged();
    emit changed();
}

void MergeSession::setMapping(const ColumnMapping& mapping) {
    if (mapping == mapping_) return;
    mapping_ = mapping;
    list_ = mappedList(source_, mapping_);
    emit shownChanged();
    emit changed();
}

void MergeSession::clear() {
    const QSignalBlocker quiet(loader_);
    loader_->cancel();
    loadingRows_.reset();
    loadProgress_ = 0;
    setList(nullptr);
}

void MergeSession::useList(std::shared_ptr<const AddressList> list) {
    {
        // A file still being read must not replace the list taken now.
        const QSignalBlocker quiet(loader_);
        loader_->cancel();
    }
    loadingRows_.reset();
    loadProgress_ = 0;
    setList(std::move(list));
}

void MergeSession::loadList(const QString& path) {
    requestedPath_ = path;
    loadingRows_.reset();
    loadProgress_ = 0;
    loader_->load(path);
    emit changed();
}

void MergeSession::cancelLoad() {
    loader_->cancel();
}

bool MergeSession::isLoading() const {
    return loader_->isLoading();
}

QString MergeSession::loadingPath() const {
    return loader_->path();
}

void MergeSession::loaded(const AddressListResult& result) {
    loadingRows_.reset();
    loadProgress_ = 0;
    if (result.ok()) {
        setList(result.list);
        return;
    }
    emit changed();
    if (!result.cancelled) emit loadFailed(requestedPath_, result.error);
}

void MergeSession::setRowChoice(Rows choice) {
    if (choice == rowChoice_) return;
    rowChoice_ = choice;
    emit changed();
}

void MergeSession::setRangeText(const QString& text) {
    if (text == rangeText_) return;
    rangeText_ = text;
    emit changed();
}

bool MergeSession::isTicked(int row) const {
    return row >= 0 && row < int(ticked_.size()) && ticked_[size_t(row)];
}

void MergeSession::setTicked(int row, bool on) {
    if (row < 0 || row >= int(ticked_.size()) || bool(ticked_[size_t(row)]) == on) return;
    ticked_[size_t(row)] = on;
    tickedCount_ += on ? 1 : -1;
    emit changed();
}

void MergeSession::setCopies(int copies) {
    copies = std::clamp(copies, kMergeCopiesMin, kMergeCopiesMax);
    if (copies == copies_) return;
    copies_ = copies;
    emit changed();
}

std::optional<MergePlan> MergeSession::plan(QString* error) const {
    const auto fail = [error](const QString& message) -> std::optional<MergePlan> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (!list_) return fail(QStringLiteral("Es ist keine Adressliste gewählt."));
    if (list_->rows.empty()) return fail(QStringLiteral("Die Adressliste hat keine Datensätze."));
    MergePlan plan;
    plan.copies = copies_;
    switch (rowChoice_) {
        case Rows::All:
            plan.rows = everyRow(rowCount());
            break;
        case Rows::Range: {
            QString why;
            std::optional<std::vector<int>> rows = parseRowRanges(rangeText_, rowCount(), &why);
            if (!rows) return fail(why);
            plan.rows = std::move(*rows);
            break;
        }
        case Rows::Ticked:
            for (int i = 0; i < int(ticked_.size()); ++i)
                if (ticked_[size_t(i)]) plan.rows.push_back(i);
            if (plan.rows.empty()) return fail(QStringLiteral("Es ist kein Datensatz angekreuzt."));
            break;
    }
    return plan;
}

void MergeSession::showRecord(int row) {
    row = std::clamp(row, 0, std::max(0, rowCount() - 1));
    if (row == shown_) return;
    shown_ = row;
    emit shownChanged();
    emit changed();
}

std::function<QString(const QString&)> MergeSession::fillFunction() const {
    if (!list_ || shown_ >= list_->rowCount()) return {};
    return [list = list_, filler = FieldFiller(*list_), row = shown_](const QString& text) {
        return filler.fill(text, list->rows[size_t(row)]);
    };
}

QString recordCaption(int shown, int count) {
    return QStringLiteral("Datensatz %1 von %2").arg(count > 0 ? shown + 1 : 0).arg(count);
}

FieldNotes fieldNotes(const QStringList& cardFields, const AddressList& list) {
    const FieldMatch match = matchFields(cardFields, list);
    FieldNotes notes;
    if (!match.missing.isEmpty())
        notes.missing = QStringLiteral("Felder der Karte ohne Spalte: ") +
                        match.missing.join(QStringLiteral(", "));
    if (!match.unused.isEmpty())
        notes.unused = QStringLiteral("Spalten, die die Karte nicht verwendet: ") +
                       match.unused.join(QStringLiteral(", "));
    return notes;
}

int defaultNameColumn(const AddressList& list) {
    for (const char* name : {"Name", "Nachname", "Vorname"})
        if (const int c = list.columnOf(QLatin1String(name)); c >= 0) return c;
    return -1;
}

}  // namespace bb
