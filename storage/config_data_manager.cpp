#include "storage/config_data_manager.h"

#include <stdexcept>

namespace app {

void ConfigDataManager::WriteInt(const std::string& section, const std::string& key, int value)
{
    m_storage.WriteInt(section, key, value);
}

void ConfigDataManager::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    m_storage.WriteString(section, key, value);
}

int ConfigDataManager::ReadInt(const std::string& section, const std::string& key, int defaultValue)
{
    return m_storage.ReadInt(section, key, defaultValue);
}

std::string ConfigDataManager::ReadString(const std::string& section, const std::string& key,
                                          const std::string& defaultValue)
{
    return m_storage.ReadString(section, key, defaultValue);
}

} // namespace app

namespace {

IConfigDataStorage* g_installedStorage = nullptr;

} // namespace

void InstallConfigDataStorage(IConfigDataStorage& storage)
{
    if (!g_installedStorage)
        g_installedStorage = &storage;
}

IConfigDataManager& GetConfigDataManager()
{
    if (!g_installedStorage)
        throw std::logic_error("no settings store installed before GetConfigDataManager");
    static app::ConfigDataManager manager(*g_installedStorage);
    return manager;
}
