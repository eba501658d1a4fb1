#pragma once

#include "storage/config_data_manager.h"

#include <QString>

#include <memory>

class QSettings;

namespace app {

// The per-user settings store: an INI file, $XDG_CONFIG_HOME/Ardenholt/Tillane.conf,
// one group per section. Every write is put on disk before it returns.
class ConfigDataStorage : public IConfigDataStorage {
public:
    // The program's store (organisation "Ardenholt", application "Tillane").
    ConfigDataStorage();
    // A store in the given INI file instead.
    explicit ConfigDataStorage(const QString& iniFile);
    ~ConfigDataStorage();
    ConfigDataStorage(const ConfigDataStorage&) = delete;
    ConfigDataStorage& operator=(const ConfigDataStorage&) = delete;

    void WriteInt(const std::string& section, const std::string& key, int value) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    // The default when the key was never written or does not hold a number.
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;

    // Where the values are kept.
    QString FileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

// Makes the program's ConfigDataStorage the one GetConfigDataManager works on. Start-up
// calls it once, before anything reads or writes a setting; the core cannot make the
// store itself because it knows nothing of Qt.
void InstallSettingsStore();

} // namespace app
