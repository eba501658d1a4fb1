#include "storage/configuration.h"

#include "storage/data_file.h"
#include "storage/file_locations.h"
#include "storage/text_file.h"
#include "storage/xml_document.h"

#include <memory>

namespace app {

void Configuration::Storage::Load(IConfiguration& configuration)
{
    std::string text = ReadDataFile();
    if (text.empty())
        return;
    CXmlDocument document;
    if (!document.SetDocument(std::move(text)))
        throw Exception::BadlyFormedXml();
    if (!DataFile::FindRoot(document))
        return;
    const std::optional<DataFile::Cashflow> cashflow = DataFile::ReadCashflow(document);
    if (cashflow && !cashflow->durationText.empty())
        configuration.SetInt("CashFlow", "Duration", static_cast<int>(DataFile::DurationFromText(cashflow->durationText)));
}

std::string Configuration::Storage::ReadDataFile()
{
    // Any failure ends the reading quietly with what was read so far; telling a missing
    // file from an unreadable one is the loader's business (DataFile::LoadFile).
    return TextFile::Read(m_dataFile ? *m_dataFile : std::filesystem::path(GetDataFilePath())).text;
}

} // namespace app

namespace {

std::unique_ptr<app::Configuration>& TheConfiguration()
{
    static std::unique_ptr<app::Configuration> configuration;
    return configuration;
}

} // namespace

app::IConfiguration& GetConfiguration(app::Configuration::IStorage& storage)
{
    std::unique_ptr<app::Configuration>& configuration = TheConfiguration();
    if (!configuration)
        configuration = std::make_unique<app::Configuration>(storage);
    return *configuration;
}

app::IConfiguration& GetConfiguration()
{
    static app::Configuration::Storage storage;
    return GetConfiguration(storage);
}
