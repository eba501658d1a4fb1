#pragma once

#include "model/utility.h"

#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace app {

// The run-time configuration: text settings by section and key, kept only in memory.
// Seeded once from the data file when it is made; the program reads one setting from
// it, the projection length ("CashFlow", "Duration", "13" when nothing set it).
class IConfiguration {
public:
    // SetString with the decimal text of the value.
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
    // The decimal value of GetString, read like atoi (empty text gives 0).
    virtual int GetInt(const std::string& section, const std::string& key) = 0;
    virtual void SetString(const std::string& section, const std::string& key, const std::string& value) = 0;
    // The value, creating the section and key (empty) when they are new.
    virtual std::string GetString(const std::string& section, const std::string& key) = 0;

protected:
    ~IConfiguration() = default;
};

// The settings table behind IConfiguration. Section and key names are compared byte for
// byte, so "cashflow" is not "CashFlow". The program has one, from GetConfiguration.
class Configuration final : public IConfiguration, private virtual Utility::NonCopyable {
public:
    // Where the configuration is seeded from when it is made.
    class IStorage {
    public:
        // Seeds the configuration; may throw Storage::Exception::BadlyFormedXml.
        virtual void Load(IConfiguration& configuration) = 0;
        // The data file's text, lines joined; empty when it cannot be read.
        virtual std::string ReadDataFile() = 0;

    protected:
        ~IStorage() = default;
    };

    // Seeds from the data file: its CASHFLOW element's Duration.
    class Storage : public IStorage {
    public:
        struct Exception {
            // The data file holds text that is not a well-formed document.
            class BadlyFormedXml : public std::exception {
            public:
                const char* what() const noexcept override { return "badly formed data file"; }
            };
        };

        // Reads the program's data file, wherever GetDataFilePath says it is at the time.
        Storage() = default;
        // Reads the given file instead.
        explicit Storage(std::filesystem::path dataFile) : m_dataFile(std::move(dataFile)) {}

        // Sets ("CashFlow", "Duration") from the data file when the file names a
        // Duration; a value outside 1 to 99, or not a number, seeds 13. A missing or
        // empty file seeds nothing. Throws BadlyFormedXml for a non-empty text that is not
        // a well-formed document.
        void Load(IConfiguration& configuration) override;
        std::string ReadDataFile() override;

    private:
        std::optional<std::filesystem::path> m_dataFile;
    };

    // Asks the storage to seed the new configuration; an exception from Load passes on.
    explicit Configuration(IStorage& storage);

    void SetInt(const std::string& section, const std::string& key, int value) override;
    int GetInt(const std::string& section, const std::string& key) override;
    void SetString(const std::string& section, const std::string& key, const std::string& value) override;
    std::string GetString(const std::string& section, const std::string& key) override;

private:
    std::map<std::string, std::map<std::string, std::string>> m_table;
};

} // namespace app

// The program's single run-time configuration, made and seeded from the data file on the
// first call and kept until the program ends. When seeding throws, nothing is kept and
// the exception passes to the caller; the next call tries again.
app::IConfiguration& GetConfiguration();
// The same configuration, seeded from `storage` instead of the data file when this is the
// first call (start-up, which has read the data file already).
app::IConfiguration& GetConfiguration(app::Configuration::IStorage& storage);
