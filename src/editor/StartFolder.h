// The folder a file dialog starts in: the folder the user took a file from (or saved one to)
// last, while it still exists; otherwise the folder of the open card, and for a card not yet
// saved the card folder. The folder used last can be kept in the settings store, so that the
// next run of the program starts there too.
#pragma once

#include <QString>

#include <utility>

namespace bb {

class SettingsStore;

class StartFolder {
public:
    explicit StartFolder(QString settingsKey) : key_(std::move(settingsKey)) {}

    // Where the user's cards live: the dialogs of a card not yet saved start there.
    void setCardFolder(const QString& folder) { cardFolder_ = folder; }
    const QString& cardFolder() const { return cardFolder_; }
    // Keeps the folder used last in `store` (the program's; tests leave it out), and takes the
    // one stored by an earlier run. Null keeps it for this object's life only. The store
    // outlives this object.
    void keepIn(SettingsStore* store);

    // The folder to start in for the card saved as `cardFileName` (empty for a new card).
    QString folderFor(const QString& cardFileName) const;
    // Notes the folder of `filePath`, a file the user has just chosen.
    void remember(const QString& filePath);

private:
    QString key_;
    QString cardFolder_;
    QString last_;
    SettingsStore* store_ = nullptr;
};

}  // namespace bb
