// The user's settings store, one object for the whole program: the main window makes it and
// hands it to every part that keeps a choice between runs (scanner, JPEG quality, folders).
#pragma once

#include <QSettings>
#include <QString>

#include <memory>
#include <span>
#include <utility>

class QTemporaryDir;

namespace bb {

class SettingsStore {
public:
    // The user's store of the program (organisation "Tovarin", application
    // "Brisella-Bildwerker").
    static std::unique_ptr<SettingsStore> forUser();
    // A store in the ini file `fileName`.
    static std::unique_ptr<SettingsStore> inFile(const QString& fileName);
    // A store that starts empty and is forgotten when it goes: nothing of the user's store is
    // read or written (tests, and a window told to leave the settings alone).
    static std::unique_ptr<SettingsStore> forThisRunOnly();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QSettings& settings() { return *settings_; }
    QVariant value(const QString& key, const QVariant& fallback = {}) const {
        return settings_->value(key, fallback);
    }
    void setValue(const QString& key, const QVariant& value) { settings_->setValue(key, value); }
    bool contains(const QString& key) const { return settings_->contains(key); }

    // Keys that earlier versions used, each with the key that replaced it (old, new).
    using Rename = std::pair<const char*, const char*>;
    // Moves each old key's value to its new key, unless the new key holds a value already,
    // and removes the old key: done once, a stored choice survives the update, and an old
    // version run afterwards cannot bring back a stale value.
    void takeOverRenamedKeys(std::span<const Rename> renames);

private:
    explicit SettingsStore(std::unique_ptr<QSettings> settings,
                           std::unique_ptr<QTemporaryDir> folder = nullptr);

    std::unique_ptr<QTemporaryDir> folder_;  // holds the file of a store for this run only
    std::unique_ptr<QSettings> settings_;
};

}  // namespace bb
