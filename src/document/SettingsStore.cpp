#include "document/SettingsStore.h"

#include <QTemporaryDir>

namespace bb {

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings,
                             std::unique_ptr<QTemporaryDir> folder)
    : folder_(std::move(folder)), settings_(std::move(settings)) {}

SettingsStore::~SettingsStore() {
    settings_.reset();  // written before its folder goes
}

std::unique_ptr<SettingsStore> SettingsStore::forUser() {
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::make_unique<QSettings>(
        QStringLiteral("Tovarin"), QStringLiteral("Brisella-Bildwerker"))));
}

std::unique_ptr<SettingsStore> SettingsStore::inFile(const QString& fileName) {
    return std::unique_ptr<SettingsStore>(
        new SettingsStore(std::make_unique<QSettings>(fileName, QSettings::IniFormat)));
}

std::unique_ptr<SettingsStore> SettingsStore::forThisRunOnly() {
    auto folder = std::make_unique<QTemporaryDir>();
    // Without a temporary folder the file name is empty: nothing can be written, and the
    // values stay in memory.
    const QString file =
        folder->isValid() ? folder->filePath(QStringLiteral("settings.ini")) : QString();
    return std::unique_ptr<SettingsStore>(new SettingsStore(
        std::make_unique<QSettings>(file, QSettings::IniFormat), std::move(folder)));
}

void SettingsStore::takeOverRenamedKeys(std::span<const Rename> renames) {
    for (const auto& [from, to] : renames) {
        const QString oldKey = QLatin1String(from);
        if (!settings_->contains(oldKey)) continue;
        if (!settings_->contains(QLatin1String(to)))
            settings_->setValue(QLatin1String(to), settings_->value(oldKey));
        settings_->remove(oldKey);
    }
}

}  // namespace bb
