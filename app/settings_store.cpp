#include "app/settings_store.h"

#include <QSettings>
#include <QStandardPaths>

namespace app {

namespace {

QString SettingsKey(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

} // namespace

// Qt names an INI file made from organisation and application "Tillane.ini"; the
// program's file is the Linux convention's "Tillane.conf", in INI format all the same.
ConfigDataStorage::ConfigDataStorage()
    : ConfigDataStorage(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                        + QStringLiteral("/Ardenholt/Tillane.conf"))
{
}

ConfigDataStorage::ConfigDataStorage(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

ConfigDataStorage::~ConfigDataStorage() = default;

void ConfigDataStorage::WriteInt(const std::string& section, const std::string& key, int value)
{
    m_settings->setValue(SettingsKey(section, key), value);
    m_settings->sync();
}

void ConfigDataStorage::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    m_settings->setValue(SettingsKey(section, key), QString::fromStdString(value));
    m_settings->sync();
}

int ConfigDataStorage::ReadInt(const std::string& section, const std::string& key, int defaultValue)
{
    const QVariant value = m_settings->value(SettingsKey(section, key));
    if (!value.isValid())
        return defaultValue;
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    return isNumber ? number : defaultValue;
}

std::string ConfigDataStorage::ReadString(const std::string& section, const std::string& key,
                                          const std::string& defaultValue)
{
    const QVariant value = m_settings->value(SettingsKey(section, key));
    return value.isValid() ? value.toString().toStdString() : defaultValue;
}

QString ConfigDataStorage::FileName() const
{
    return m_settings->fileName();
}

void InstallSettingsStore()
{
    // Lives until the program ends, like the manager that uses it.
    static ConfigDataStorage storage;
    InstallConfigDataStorage(storage);
}

} // namespace app
