// The personal-card state of the open card: the address list chosen for it (and the one being
// read), which of its rows a merge takes and how often, and the record the card shows. The
// window owns one session and draws the card filled from the record shown.
#pragma once

#include "merge/AddressList.h"
#include "merge/ColumnMapping.h"
#include "merge/MergeSelection.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace bb {

class AddressListLoader;

inline constexpr int kMergeCopiesMin = 1;
inline constexpr int kMergeCopiesMax = 1000;

class MergeSession : public QObject {
    Q_OBJECT
public:
    enum class Rows { All, Range, Ticked };

    explicit MergeSession(QObject* parent = nullptr);
    ~MergeSession() override;

    // ---- the list ----
    // The list as the card is filled from it: the list read, with the columns the mapping
    // adds (see mappedList); its rows and the numbers of its own columns are the list's.
    const std::shared_ptr<const AddressList>& list() const { return list_; }
    // The list as read, with its own columns only.
    const std::shared_ptr<const AddressList>& sourceList() const { return source_; }
    bool hasList() const { return list_ != nullptr; }
    int rowCount() const { return list_ ? list_->rowCount() : 0; }
    // Takes `list` for the card, mapped as the mapping chooser says: all rows chosen, nothing
    // ticked, the first record shown.
    void setList(std::shared_ptr<const AddressList> list);
    // Takes a list made in the program (the address book's) as setList does, cancelling a
    // file still being read.
    void useList(std::shared_ptr<const AddressList> list);
    // No list (another card): also cancels a read.
    void clear();

    // ---- which column fills which field ----
    const ColumnMapping& mapping() const { return mapping_; }
    // Maps the list anew; the rows chosen, the ticks and the record shown stay.
    void setMapping(const ColumnMapping& mapping);
    // Chooses the mapping of each list taken; without one the address fields are guessed.
    using MappingChooser = std::function<ColumnMapping(const AddressList&)>;
    void setMappingChooser(MappingChooser chooser) { chooser_ = std::move(chooser); }

    // ---- reading a list in the background ----
    // The list chosen so far stays until the read succeeds.
    void loadList(const QString& path);
    void cancelLoad();
    bool isLoading() const;
    QString loadingPath() const;
    int loadProgress() const { return loadProgress_; }
    // The first rows of the list being read, as soon as the reader has them; null before.
    const std::shared_ptr<const AddressList>& loadingRows() const { return loadingRows_; }
    AddressListLoader& loader() { return *loader_; }

    // ---- the rows a merge takes ----
    Rows rowChoice() const { return rowChoice_; }
    void setRowChoice(Rows choice);
    const QString& rangeText() const { return rangeText_; }
    void setRangeText(const QString& text);
    bool isTicked(int row) const;
    void setTicked(int row, bool on);
    int tickedCount() const { return tickedCount_; }
    int copies() const { return copies_; }
    void setCopies(int copies);  // clamped to kMergeCopiesMin..kMergeCopiesMax
    // The cards of the current choice; nullopt with a German reason in `error` when it takes
    // no row (no list, a bad range, nothing ticked).
    std::optional<MergePlan> plan(QString* error = nullptr) const;

    // ---- the record the card shows ----
    int shownRecord() const { return shown_; }
    void showRecord(int row);  // clamped to the list's rows
    // Fills a text from the record shown; empty without a list or rows.
    std::function<QString(const QString&)> fillFunction() const;

signals:
    void changed();       // anything above
    void listChanged();   // another list (or none)
    void shownChanged();  // what the card shows: the list or the record
    void loadFailed(const QString& path, const QString& error);

private:
    void loaded(const AddressListResult& result);

    std::shared_ptr<const AddressList> source_;
    std::shared_ptr<const AddressList> list_;  // source_ mapped
    ColumnMapping mapping_;
    MappingChooser chooser_;
    AddressListLoader* loader_ = nullptr;
    std::shared_ptr<const AddressList> loadingRows_;
    QString requestedPath_;  // of the last read started
    int loadProgress_ = 0;
    Rows rowChoice_ = Rows::All;
    QString rangeText_;
    std::vector<char> ticked_;  // per row of list_
    int tickedCount_ = 0;
    int copies_ = kMergeCopiesMin;
    int shown_ = 0;
};

// "Datensatz 3 von 120" for the 0-based `shown` of `count` records.
QString recordCaption(int shown, int count);

// The lines of the merge dialog about the card's fields and the list's columns; empty when
// there is nothing to say.
struct FieldNotes {
    QString missing;  // "Felder der Karte ohne Spalte: Titel, Firma"
    QString unused;   // "Spalten, die die Karte nicht verwendet: E-Mail"
};
FieldNotes fieldNotes(const QStringList& cardFields, const AddressList& list);

// The column that names a merge's exported pictures by default: "Name", "Nachname" or
// "Vorname", the first the list has; -1 (the record number) without any.
int defaultNameColumn(const AddressList& list);

}  // namespace bb
