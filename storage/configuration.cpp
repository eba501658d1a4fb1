#include "storage/configuration.h"

#include "common/decimal.h"

namespace app {

namespace {

constexpr const char* kDurationSection = "CashFlow";
constexpr const char* kDurationKey = "Duration";
constexpr const char* kDefaultDuration = "13";

} // namespace

Configuration::Configuration(IStorage& storage)
{
    storage.Load(*this);
}

void Configuration::SetInt(const std::string& section, const std::string& key, int value)
{
    SetString(section, key, std::to_string(value));
}

int Configuration::GetInt(const std::string& section, const std::string& key)
{
    return Utility::ReadDecimal(GetString(section, key));
}

void Configuration::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    m_table[section][key] = value;
}

std::string Configuration::GetString(const std::string& section, const std::string& key)
{
    std::string& value = m_table[section][key];
    if (value.empty() && section == kDurationSection && key == kDurationKey)
        value = kDefaultDuration;
    return value;
}

} // namespace app
