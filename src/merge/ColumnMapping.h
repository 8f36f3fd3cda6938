// Which column of an address list fills which field. Lists from other programs name their
// columns in their own way ("Given Name", "First Name", "Vorname"); a mapping ties each field
// of the card and of an address ("{Vorname}", "{PLZ}", ...) to one column, guessed from the
// usual German and English names and remembered per list in the user's settings (group
// "Spaltenzuordnung"), never in the card or the list.
#pragma once

#include "merge/AddressList.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

class QSettings;

namespace bb {

// The fields an address is made of, in the order an address block uses them: "Anrede",
// "Vorname", "Nachname", "Firma", "Straße", "PLZ", "Ort", "Land", "E-Mail", "Geburtstag".
QStringList addressFieldNames();

// The fields a mapping offers for a card: the card's own fields, then the address fields the
// card does not use (compared by fieldKey).
QStringList mappingFields(const QStringList& cardFields);

struct ColumnMapping {
    // Field name → column name of the list, in the order the fields are offered; an empty
    // column leaves the field unmapped. Each field is listed once (by fieldKey).
    std::vector<std::pair<QString, QString>> fieldToColumn;

    // The column of `field`; empty when it is unmapped or not listed.
    QString columnOf(const QString& field) const;
    bool has(const QString& field) const;
    // Maps `field` to `column` (empty: unmapped), adding the field at the end when new.
    void set(const QString& field, const QString& column);
    bool isEmpty() const { return fieldToColumn.empty(); }

    friend bool operator==(const ColumnMapping&, const ColumnMapping&) = default;
};

// Maps each of `fields` to a column of `list`: the entries of `kept` first (as given; their
// columns are taken), then a column named like the field (even one a kept entry uses), then the
// field's usual names in German and English and as common address programs export them ("First
// Name", "Home Postal Code", "Address 1 - Street", ...), weaker names such as "Name" last. Names
// are compared without regard to case, spaces and punctuation ("E-mail Address" = "email address",
// "Strasse" = "Straße"). A column serves one field at most; a field without a column is listed
// unmapped.
ColumnMapping guessMapping(const AddressList& list, const QStringList& fields,
                           const ColumnMapping& kept = {});

// `list` with, for each mapped field whose column has another name, the column's cells under
// the field's name: a column of that name is filled with them, or one is added at the end.
// The list's own columns keep their places, so the column numbers of `list` stay valid, and
// their names, so fields named like them still fill; only a field chosen to have no column
// ("(keine)") no longer finds the column named like it, which is renamed.
std::shared_ptr<const AddressList> mappedList(const AddressList& list,
                                              const ColumnMapping& mapping);
// The same, but hands back `list` itself when the mapping changes nothing.
std::shared_ptr<const AddressList> mappedList(std::shared_ptr<const AddressList> list,
                                              const ColumnMapping& mapping);

// The columns of `list` the card neither uses itself nor through a field mapped to it, in
// their order.
QStringList unusedColumns(const QStringList& cardFields, const AddressList& list,
                          const ColumnMapping& mapping);

// At most this many lists' mappings are remembered; the one chosen longest ago goes first.
inline constexpr int kRememberedMappingsMax = 100;

// The mapping remembered for the list at `list.path`, without the entries whose column the
// list no longer has (those fields are guessed again). Empty when there is none.
ColumnMapping rememberedMapping(QSettings& settings, const AddressList& list);
// Remembers `mapping` for the list at `listPath` (made absolute) as the most recent entry.
void rememberMapping(QSettings& settings, const QString& listPath, const ColumnMapping& mapping);

}  // namespace bb
