// The card designs ("Vorlagen") a new card can start from: the designs that come with the
// program, listed by the index file in each shipped designs folder, and the user's own designs,
// plain card files in their own folder.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace bb {

struct DesignEntry {
    QString name;      // display name
    QString occasion;  // one of designOccasions(); "Eigene Vorlagen" for the user's own
    QStringList keywords;
    QString cardPath;  // absolute path of the .kar
    bool own = false;
};

// The occasion the user's own designs are listed under.
inline constexpr const char* kOwnDesignsOccasion = "Eigene Vorlagen";

// The name of the index file in a shipped designs folder.
inline constexpr const char* kDesignIndexName = "designs.json";

// Shipped designs from the index of each folder (first folder wins per file name), then the
// user's own designs: every regular *.kar file in ownFolder, named by its base name. A damaged
// or missing index, an entry naming a missing file or a path outside its folder, a link, or an
// index file too large to be one is left out with a warning.
QList<DesignEntry> listDesigns(const QStringList& shippedFolders, const QString& ownFolder);

// Entries whose name, occasion or keywords contain the search word (case-insensitive) and,
// when occasion is set, of that occasion. Order kept.
QList<DesignEntry> filterDesigns(const QList<DesignEntry>& all, const QString& search,
                                 const QString& occasion = {});

// The occasions in display order (the fixed list, then "Eigene Vorlagen").
QStringList designOccasions();

}  // namespace bb
