#pragma once

#include "model/utility.h"

#include <string>

// The profile store: per-user settings addressed by section and key (the main window's
// frame rectangle, the widths of the list columns). Every write reaches the platform's
// settings store at once; nothing is cached.
class IConfigDataManager {
public:
    virtual void WriteInt(const std::string& section, const std::string& key, int value) = 0;
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    // The stored value, or defaultValue when none is stored.
    virtual int ReadInt(const std::string& section, const std::string& key, int defaultValue) = 0;
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;

protected:
    ~IConfigDataManager() = default;
};

// The platform's per-user settings store itself. The program has one (the platform layer's
// ConfigDataStorage); tests give the manager one of their own.
class IConfigDataStorage {
public:
    virtual void WriteInt(const std::string& section, const std::string& key, int value) = 0;
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual int ReadInt(const std::string& section, const std::string& key, int defaultValue) = 0;
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;

protected:
    ~IConfigDataStorage() = default;
};

namespace app {

// Forwards every operation straight to the settings store it was given, which it does
// not own.
class ConfigDataManager final : public IConfigDataManager, private virtual Utility::NonCopyable {
public:
    explicit ConfigDataManager(IConfigDataStorage& storage) : m_storage(storage) {}

    void WriteInt(const std::string& section, const std::string& key, int value) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;

private:
    IConfigDataStorage& m_storage;
};

} // namespace app

// The core knows no settings store of its own: the platform layer installs the program's
// one at start-up (see app/settings_store.h), before anything asks for the
// manager. Installing twice keeps the first store.
void InstallConfigDataStorage(IConfigDataStorage& storage);

// The program's single profile store, built on first call over the installed settings
// store and kept until the program ends. Throws std::logic_error when no store has been
// installed (a start-up mistake, not a user's).
IConfigDataManager& GetConfigDataManager();
